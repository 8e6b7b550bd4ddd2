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

#include "Program.h"

using namespace e2e;

TEST(SaveCharts, CtrlSOpensTheFileDialogAndWritesWhatTheNameSays) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();
    XServer x;
    ASSERT_TRUE(x.Start("1400x1000")) << "Xvfb did not start";
    Program program(x);
    const QString missing = program.Install();
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    QTemporaryDir out;
    program.Environment().insert("HOME", out.path()); // the dialog starts in the user's folders
    ASSERT_TRUE(program.Start());
    const QString chart = program.OpenChart();
    ASSERT_FALSE(chart.isEmpty()) << "no chart window; output: " << program.Errors();

    // Each time: Ctrl+S, the dialog, the whole path typed over the offered
    // name, Enter.
    auto save = [&](const QString& path) {
        x.Run({"windowfocus", "--sync", chart});
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
}
