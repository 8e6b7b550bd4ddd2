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

// Pixels of two pictures that differ in colour (the grab's alpha aside).
int Differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF);
    return n;
}

// On a screen larger than the window the atlas's raster (made for the whole
// screen) is larger than its panel: the saved atlas is the panel, pixel for
// pixel as the window shows it.
TEST(SaveCharts, TheSavedAtlasIsTheAtlasTheWindowShows) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();
    XServer x;
    ASSERT_TRUE(x.Start("1600x1000")) << "Xvfb did not start";
    Program program(x);
    const QString missing = program.Install();
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    QTemporaryDir out;
    program.Environment().insert("HOME", out.path());
    ASSERT_TRUE(program.Start());
    const QString chart = program.OpenChart();
    ASSERT_FALSE(chart.isEmpty()) << "no chart window; output: " << program.Errors();
    // A window clearly smaller than the screen.
    x.Run({"windowsize", "--sync", chart, "1200", "820"});
    QThread::msleep(1500);
    const QRect g = x.Geometry(chart);
    ASSERT_LT(g.width(), 1600);
    const QImage shot = x.Shoot().convertToFormat(QImage::Format_RGB32);

    x.Run({"windowfocus", "--sync", chart});
    QThread::msleep(200);
    x.Run({"key", "ctrl+s"});
    QStringList dialog;
    ASSERT_TRUE(WaitFor([&] { return !(dialog = x.Visible("^Save charts$")).isEmpty(); }, 15000));
    QThread::msleep(500);
    x.Run({"windowfocus", "--sync", dialog[0]});
    x.Run({"key", "ctrl+a"});
    x.Run({"type", "--delay", "20", out.filePath("shown.png")});
    x.Run({"key", "Return"});
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(out.filePath("shown.png")); }, 10000));
    QThread::msleep(300);
    const QImage both = QImage(out.filePath("shown.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(both.isNull());

    // The atlas of the saved pair starts at pixel 281; in the window it
    // takes the rest of the width right of one or two columns of 281.
    const QImage atlas = both.copy(281, 0, both.width() - 281, both.height());
    bool found = false;
    for (const int left : {281, 562}) {
        if (g.width() - left != atlas.width()) continue;
        const QImage shown = shot.copy(g.x() + left, g.y(), atlas.width(), atlas.height());
        found = Differing(shown, atlas) == 0;
        if (!found) {
            shown.save(QCoreApplication::applicationDirPath() + "/savecharts_shown.png");
            atlas.save(QCoreApplication::applicationDirPath() + "/savecharts_saved.png");
        }
    }
    EXPECT_TRUE(found) << "window " << g.width() << "x" << g.height() << ", saved atlas "
                       << atlas.width() << "x" << atlas.height();
    // The planisphere as shown, at its own size.
    EXPECT_EQ(Differing(both.copy(0, 0, 280, 280), shot.copy(g.x(), g.y(), 280, 280)), 0);
}
