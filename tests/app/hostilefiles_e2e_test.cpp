// The real program under Xvfb in a folder where files are not what their
// names say: a FIFO and /dev/zero among the option files, a 100 MB option
// file, and a folder named StarParty.dat. The program must come up as usual
// within seconds, stay small, and name each file in its messages.
// Skipped with a message when Xvfb or xdotool is missing.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "Program.h"

#include <chrono>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace e2e;

// Resident memory of a process, MB (0 when it is gone).
double ResidentMb(qint64 pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}


// The message window's one button, "OK", sits centred at its foot.
void ClickOk(const XServer& x, const QString& window) {
    const QRect r = x.Geometry(window);
    x.Run({"mousemove", "--sync", QString::number(r.center().x()),
           QString::number(r.bottom() - 15), "click", "1"});
}

} // namespace

TEST(HostileFiles, TheProgramComesUpSmallAndNamesEachFile) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();
    XServer x;
    ASSERT_TRUE(x.Start("1600x1000")) << "Xvfb did not start";
    Program program(x);
    const QString missing = program.Install();
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    const QDir folder(program.Folder());
    folder.mkdir("Option");
    {
        QFile opt(folder.filePath("Option/a.opt"));
        ASSERT_TRUE(opt.open(QIODevice::WriteOnly));
        opt.write("Trip\r\n"
                  "1,1,1,053517,-051328,RED,ALPHA,0,0,RED,WHITE,WHITE,WHITE,WHITE,WHITE\r\n");
    }
    ASSERT_EQ(::mkfifo(folder.filePath("Option/b.opt").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", folder.filePath("Option/z.opt")));
    {
        QFile big(folder.filePath("Option/m.opt"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(100 << 20)); // sparse: 100 MB that take no room
    }
    ASSERT_TRUE(folder.mkdir("StarParty.dat"));

    program.Environment().insert("QUENLIRA_TIMING", "1");
    QProcess& p = program.Process();
    const auto started = Clock::now();
    ASSERT_TRUE(program.Start());
    double peak = 0;
    auto watch = [&](const std::function<bool()>& ok) {
        return [&, ok] {
            peak = std::max(peak, ResidentMb(p.processId()));
            return ok();
        };
    };
    auto seconds = [](Clock::time_point from) {
        return std::chrono::duration<double>(Clock::now() - from).count();
    };
    const QString shots = QCoreApplication::applicationDirPath();

    // First the party settings: a message that names the file and its kind.
    QStringList mes;
    ASSERT_TRUE(WaitFor(watch([&] { return !(mes = x.Visible("^Message$")).isEmpty(); }), 20000))
        << "no message about StarParty.dat; program "
        << (p.state() == QProcess::Running ? "running" : "ended")
        << ", output: " << p.readAllStandardError().toStdString();
    const double toMessage = seconds(started);
    QThread::msleep(500);
    QImage shot = x.Shoot();
    shot.save(shots + "/hostilefiles_e2e_party.png");
    const QString partyText = ReadRed(shot, x.Geometry(mes[0]), program.Folder());
    if (!partyText.startsWith("(no")) {
        EXPECT_TRUE(partyText.contains("StarParty.dat")) << partyText.toStdString();
        EXPECT_TRUE(partyText.contains("folder")) << partyText.toStdString();
    }
    ClickOk(x, mes[0]);

    // The opening window; the first site; the chart window within seconds.
    QStringList open;
    ASSERT_TRUE(
        WaitFor(watch([&] { return !(open = x.Visible("^Quenlira III$")).isEmpty(); }), 20000));
    x.Run({"windowfocus", "--sync", open[0]});
    QThread::msleep(300);
    const auto chosen = Clock::now();
    x.Run({"key", "Return"});
    QStringList chart;
    ASSERT_TRUE(WaitFor(watch([&] {
                            chart = x.Visible("^Quenlira III$");
                            return chart.size() == 1 && chart[0] != open[0];
                        }),
                        20000))
        << "no chart window";
    const double toChart = seconds(chosen);
    EXPECT_LT(toChart, 8.0); // 0.2 s on a quiet machine; room for a loaded one

    // Then the option files' message, one line for each file refused.
    ASSERT_TRUE(WaitFor(watch([&] { return !(mes = x.Visible("^Message$")).isEmpty(); }), 10000))
        << "no message about the option files";
    QThread::msleep(500);
    shot = x.Shoot();
    shot.save(shots + "/hostilefiles_e2e_options.png");
    const QString optText = ReadRed(shot, x.Geometry(mes[0]), program.Folder());
    // (tesseract reads the file names, short as they are, less surely than
    // the reasons.)
    if (!optText.startsWith("(no")) {
        for (const char* part : {"b.opt", "m.opt", "FIFO", "larger than", "character device"})
            EXPECT_TRUE(optText.contains(part)) << part << " in: " << optText.toStdString();
    }
    // The log holds the same lines exactly.
    QFile log(folder.filePath("Err3.Log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const std::string logged = QString::fromUtf8(log.readAll()).toStdString();
    for (const char* line : {"0 b.opt: cannot be read (it is a FIFO (named pipe), not a plain file)\n",
                             "0 m.opt: cannot be read (it is larger than 4194304 bytes)\n",
                             "0 z.opt: cannot be read (it is a character device, not a plain file)\n"})
        EXPECT_NE(logged.find(line), std::string::npos) << line << " in: " << logged;
    ClickOk(x, mes[0]);
    QThread::msleep(800);
    peak = std::max(peak, ResidentMb(p.processId()));
    x.Shoot().save(shots + "/hostilefiles_e2e_chart.png");

    EXPECT_LT(toMessage, 10.0);
    EXPECT_GT(peak, 10.0); // the measure works
    EXPECT_LT(peak, 150.0);
    std::printf("first window after %.2f s, chart %.2f s after the choice, peak resident %.1f MB\n",
                toMessage, toChart, peak);
    EXPECT_EQ(p.state(), QProcess::Running);
    program.End();
    // Nothing was put in the folder's place.
    EXPECT_TRUE(QFileInfo(folder.filePath("StarParty.dat")).isDir());
}
