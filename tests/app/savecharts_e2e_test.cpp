// Ctrl+S in the real program under Xvfb and openbox: the file dialog opens,
// a name is typed, and the charts are written as the name's ending says.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "Xserver.h"

using namespace e2e;

TEST(SaveCharts, CtrlSOpensTheFileDialogAndWritesWhatTheNameSays) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();
    const QString built = QCoreApplication::applicationDirPath() + "/quenlira";
    ASSERT_TRUE(QFileInfo::exists(built));
    XServer x;
    ASSERT_TRUE(x.Start("1400x1000")) << "Xvfb did not start";
    QTemporaryDir folder, runtime, out;
    ASSERT_TRUE(QFile::copy(built, folder.filePath("quenlira")));
    for (const char* cat : {"Star.dat", "Unsta.dat"})
        QFile::copy(QCoreApplication::applicationDirPath() + "/" + cat, folder.filePath(cat));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", x.Display());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("HOME", out.path()); // the dialog starts in the user's folders
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(folder.filePath("quenlira"), {});
    ASSERT_TRUE(program.waitForStarted(5000));

    QStringList open, chart;
    ASSERT_TRUE(WaitFor([&] { return !(open = x.Visible("^Quenlira III$")).isEmpty(); }, 30000))
        << program.readAllStandardError().toStdString();
    x.Run({"windowfocus", "--sync", open[0]});
    QThread::msleep(300);
    x.Run({"key", "Return"});
    ASSERT_TRUE(WaitFor(
        [&] {
            chart = x.Visible("^Quenlira III$");
            return chart.size() == 1 && chart[0] != open[0];
        },
        15000));
    QThread::msleep(800);

    // Each time: Ctrl+S, the dialog, the whole path typed over the offered
    // name, Enter.
    auto save = [&](const QString& path) {
        x.Run({"windowfocus", "--sync", chart[0]});
        QThread::msleep(200);
        x.Run({"key", "ctrl+s"});
        QStringList dialog;
        if (!WaitFor([&] { return !(dialog = x.Visible("^Save charts$")).isEmpty(); }, 15000))
            return QImage();
        QThread::msleep(500);
        const QImage shot = x.Shoot();
        x.Run({"windowfocus", "--sync", dialog[0]});
        x.Run({"key", "ctrl+a"});
        x.Run({"type", "--delay", "20", path});
        x.Run({"key", "Return"});
        WaitFor([&] { return x.Visible("^Save charts$").isEmpty(); }, 10000);
        return shot;
    };
    const QImage dialog = save(out.filePath("both"));
    ASSERT_FALSE(dialog.isNull()) << "no \"Save charts\" dialog";
    dialog.save(QCoreApplication::applicationDirPath() + "/savecharts_dialog.png");
    // The default type: both charts side by side, as PNG.
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(out.filePath("both.png")); }, 10000));
    QThread::msleep(300);
    const QImage both(out.filePath("both.png"));
    ASSERT_FALSE(both.isNull());
    EXPECT_GT(both.width(), 281 + 400);
    EXPECT_GE(both.height(), 280);

    // A name ending in .pdf gets a PDF, whatever type the list shows.
    save(out.filePath("sky.pdf"));
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(out.filePath("sky.pdf")).size() > 1000; }, 10000));
    QFile pdf(out.filePath("sky.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), QByteArray("%PDF-"));
    EXPECT_FALSE(QFileInfo::exists(out.filePath("sky.pdf.png")));

    program.terminate();
    if (!program.waitForFinished(5000)) program.kill();
    program.waitForFinished(2000);
}
