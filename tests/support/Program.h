// The program as a person installs it, for the end-to-end tests: the built
// program and its catalogues copied into a folder of its own (its settings,
// party settings and option files go beside it), run on a test X server with
// a private runtime folder (the single-instance lock), and ended with the test.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include "Xserver.h"

namespace e2e {

class Program {
public:
    explicit Program(const XServer& x) : x_(x), env_(QProcessEnvironment::systemEnvironment()) {
        env_.insert("DISPLAY", x.Display());
        env_.insert("QT_QPA_PLATFORM", "xcb");
        env_.insert("XDG_RUNTIME_DIR", runtime_.path());
        process_.setWorkingDirectory(QDir::tempPath());
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() { End(); }

    // Copies the built program, Star.dat, Unsta.dat and the optional
    // catalogues asked for into the program's folder. Empty, or what is
    // missing.
    QString Install(const QStringList& optional = {}) {
        const QString bin = QCoreApplication::applicationDirPath();
        if (!QFile::copy(bin + "/quenlira", File("quenlira")))
            return "cannot copy " + bin + "/quenlira";
        for (const QString& cat : QStringList{"Star.dat", "Unsta.dat"} + optional)
            if (!QFile::copy(bin + "/" + cat, File(cat))) return "cannot copy " + bin + "/" + cat;
        return {};
    }

    // A path in the program's folder.
    QString File(const QString& name) const { return folder_.filePath(name); }
    QString Folder() const { return folder_.path(); }
    QProcessEnvironment& Environment() { return env_; }
    QProcess& Process() { return process_; }

    // Starts the copy Install() made, or another one (an installed program).
    bool Start(const QStringList& args = {}, const QString& executable = {}) {
        process_.setProcessEnvironment(env_);
        process_.start(executable.isEmpty() ? File("quenlira") : executable, args);
        return process_.waitForStarted(5000);
    }

    // A second start of the same program, with the same environment.
    bool StartAnother(QProcess& other) const {
        other.setProcessEnvironment(env_);
        other.start(File("quenlira"), {});
        return other.waitForStarted(5000);
    }

    // The opening window's id once it shows, or empty after ms.
    QString WaitForOpening(int ms = 30000) {
        QStringList open;
        if (!WaitFor([&] { return !(open = x_.Visible("^Quenlira III$")).isEmpty(); }, ms))
            return {};
        return open[0];
    }

    // Types keys into the opening window (Enter takes the first site) and
    // gives the chart window's id once it has replaced the opening window,
    // or empty.
    QString EnterChart(const QString& opening, const QStringList& keys = {"Return"},
                       int ms = 15000) {
        x_.Run({"windowfocus", "--sync", opening});
        QThread::msleep(300);
        x_.Run(QStringList{"key", "--delay", "150"} + keys);
        QStringList chart;
        if (!WaitFor(
                [&] {
                    chart = x_.Visible("^Quenlira III$");
                    return chart.size() == 1 && chart[0] != opening;
                },
                ms))
            return {};
        QThread::msleep(800); // the first drawing
        return chart[0];
    }

    // The opening window passed with Enter: the chart window's id, or empty.
    QString OpenChart() {
        const QString opening = WaitForOpening();
        return opening.isEmpty() ? QString() : EnterChart(opening);
    }

    // What the program wrote to its standard error so far, for messages.
    std::string Errors() { return process_.readAllStandardError().toStdString(); }

    void End() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }

private:
    const XServer& x_;
    QTemporaryDir folder_, runtime_;
    QProcessEnvironment env_;
    QProcess process_;
};

} // namespace e2e
