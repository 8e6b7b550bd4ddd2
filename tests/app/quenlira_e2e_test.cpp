// The real program in a real X server (Xvfb), driven by xdotool: a first
// start in an empty folder, a second instance, choosing a site with the
// keyboard, zooming and panning the atlas, stepping the clock, full screen and
// back, and closing the chart window, which writes the settings file.
// Skipped with a message when Xvfb or xdotool is missing.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "Program.h"
#include "app/Qvsky.h"

#include <chrono>
#include <cstring>
#include <cmath>
#include <functional>
#include <unistd.h>

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>

namespace {

using namespace e2e;

// Pixels that differ between two screenshots within a rectangle.
int Changed(const QImage& a, const QImage& b, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}


// Asks a window to close as a window manager would (WM_DELETE_WINDOW).
bool AskToClose(const QString& display, unsigned long window) {
    Display* d = XOpenDisplay(display.toLocal8Bit().constData());
    if (!d) return false;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    const bool ok = XSendEvent(d, window, False, NoEventMask, &e) != 0;
    XFlush(d);
    XCloseDisplay(d);
    return ok;
}

} // namespace

TEST(Program, StartsChoosesASiteAndShowsTheChart) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();

    // A screen larger than the window, so that full screen shows.
    XServer x;
    ASSERT_TRUE(x.Start("1600x1000")) << "Xvfb did not start";

    // The program folder is the executable's folder: the program is copied
    // into an empty one, with the catalogues installed beside it.
    Program program(x);
    const QString missing = program.Install();
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    const QDir folder(program.Folder());
    // A user's option file: two filled red circles beside M42, joined by a line.
    folder.mkdir("Option");
    {
        QFile opt(folder.filePath("Option/test.opt"));
        ASSERT_TRUE(opt.open(QIODevice::WriteOnly));
        opt.write("Trip\r\n"
                  "1,1,1,053517,-051328,RED,ALPHA,2,2,RED,WHITE,WHITE,WHITE,WHITE,WHITE\r\n"
                  "2,1,1,053817,-053328,RED,BETA,0,0,RED,WHITE,WHITE,WHITE,WHITE,WHITE\r\n");
    }
    QProcess& first = program.Process();
    ASSERT_TRUE(program.Start());

    // The opening window appears and the first-start files are there.
    QStringList open;
    ASSERT_TRUE(WaitFor([&] { return !(open = x.Visible("^Quenlira III$")).isEmpty(); }, 30000))
        << "no opening window on " << x.Display().toStdString()
        << (x.Alive() ? "" : " (Xvfb ended)") << "; program "
        << (first.waitForFinished(200) ? "ended" : "running")
        << ", output: " << first.readAllStandardError().toStdString()
        << "; windows: " << x.Run({"search", "--name", "."}).out.toStdString()
        << "; visible: " << x.Run({"search", "--onlyvisible", "--name", "."}).out.toStdString();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(QFileInfo(folder.filePath("Sysinfo.dat")).size(), 13096);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("StarParty.dat")));
    EXPECT_EQ(QFileInfo(folder.filePath("StarParty.dat")).size(), 0);
    EXPECT_TRUE(QFileInfo(folder.filePath("Option")).isDir());
    EXPECT_EQ(x.Run({"getwindowpid", open[0]}).out.toLongLong(), first.processId());

    // The window carries the program's icon and the class the menu entry
    // names, so a task bar groups it under the entry.
    {
        // The source folder, from the build folder's cache.
        QFile cache(QCoreApplication::applicationDirPath() + "/../CMakeCache.txt");
        ASSERT_TRUE(cache.open(QIODevice::ReadOnly));
        const QString source = QRegularExpression("CMAKE_HOME_DIRECTORY:INTERNAL=(.*)")
                                   .match(QString::fromUtf8(cache.readAll()))
                                   .captured(1)
                                   .trimmed();
        QFile desktop(source + "/data/quenlira.desktop");
        ASSERT_TRUE(desktop.open(QIODevice::ReadOnly)) << desktop.fileName().toStdString();
        const QRegularExpressionMatch wm =
            QRegularExpression("StartupWMClass=(\\S+)").match(QString::fromUtf8(desktop.readAll()));
        ASSERT_TRUE(wm.hasMatch());
        EXPECT_TRUE(x.Run({"-id", open[0], "WM_CLASS"}, "xprop")
                        .out.endsWith("\"" + wm.captured(1) + "\""))
            << x.Run({"-id", open[0], "WM_CLASS"}, "xprop").out.toStdString();
        EXPECT_TRUE(x.Run({"-id", open[0], "_NET_WM_ICON"}, "xprop").out.contains("Icon (64 x 64)"));
    }

    // A second start shows "Already Run!" and ends with 0, creating no window
    // of its own; the running window, minimised here, comes back to the front.
    x.Run({"windowminimize", "--sync", open[0]});
    ASSERT_TRUE(x.Visible("^Quenlira III$").isEmpty());
    QProcess second;
    ASSERT_TRUE(program.StartAnother(second));
    QStringList box;
    ASSERT_TRUE(WaitFor([&] { return !(box = x.Visible("^Quenlira3$")).isEmpty(); }, 15000));
    EXPECT_TRUE(WaitFor([&] { return x.Visible("^Quenlira III$") == open; }, 5000))
        << "the running window did not come back";
    x.Run({"windowfocus", "--sync", box[0]});
    x.Run({"key", "Return"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Choose the third site with the keyboard: down twice, then Enter.
    const QString chart = program.EnterChart(open[0], {"Down", "Down", "Return"});
    ASSERT_FALSE(chart.isEmpty())
        << "the chart window did not replace the opening window; visible: "
        << x.Visible("^Quenlira III$").join(' ').toStdString() << ", opening "
        << open[0].toStdString() << ", focus " << x.Run({"getwindowfocus"}).out.toStdString();

    auto shoot = [&] { return x.Shoot(); };
    QImage shot = shoot();
    ASSERT_FALSE(shot.isNull());
    const QString png = QCoreApplication::applicationDirPath() + "/quenlira_e2e.png";
    shot.save(png);
    // The chart window: planisphere, atlas and the site's texts.
    int red = 0;
    for (int yy = 0; yy < shot.height(); ++yy)
        for (int xx = 0; xx < shot.width(); ++xx) {
            QRgb p = shot.pixel(xx, yy);
            red += qRed(p) > 150 && qGreen(p) < 60 && qBlue(p) < 60;
        }
    EXPECT_GT(red, 200) << "screenshot: " << png.toStdString();

    // Where the charts are on the screen.
    const QRect bounds = x.Geometry(chart);
    ASSERT_FALSE(bounds.isEmpty());
    const QRect hayami(bounds.topLeft(), QSize(280, 280));
    const QRect atlas(bounds.left() + 300, bounds.top() + 20, 400, 400);
    x.Run({"windowfocus", "--sync", chart});
    // The information memo of the one-column layout, under the object's name.
    ASSERT_GE(bounds.height(), TfrmQVSKY::kOneColumnHeight);
    const QRect memo = QRect(17, 690, 250, 203).translated(bounds.topLeft());

    // A right click on Betelgeuse (J2000 5h55m10.3s +7d24'25"), where the
    // azimuthal equidistant chart about the start centre (1.4835 rad, 0) at
    // 1000 pixels per radian puts it, east to the left.
    {
        const double ra = (5 + 55 / 60.0 + 10.3 / 3600) * 15 * M_PI / 180;
        const double dec = (7 + 24 / 60.0 + 25 / 3600.0) * M_PI / 180;
        const double c = std::acos(std::cos(dec) * std::cos(ra - 1.4835));
        const double k = c / std::sin(c);
        const int w = bounds.width() - 281, h = bounds.height() - 20;
        const int px = static_cast<int>(-1000 * k * std::cos(dec) * std::sin(ra - 1.4835) + w / 2);
        const int py = static_cast<int>(-1000 * k * std::sin(dec) + h / 2);
        x.Run({"mousemove", "--sync", QString::number(bounds.left() + 281 + px),
               QString::number(bounds.top() + py), "click", "3"});
        QStringList pop;
        ASSERT_TRUE(WaitFor([&] { return !(pop = x.Visible("^Search$")).isEmpty(); }, 5000))
            << "no pop-up after a right click on Betelgeuse";
        const QRect at = x.Geometry(pop[0]);
        // Rows of 16 pixels under the header, brightest first: Betelgeuse, then
        // the clicked point (sorted as 20 mag).
        x.Run({"mousemove", "--sync", QString::number(at.left() + 30),
               QString::number(at.top() + 16 + 8), "click", "1"});
        QThread::msleep(800);
        const QString text = ReadRed(shoot(), memo, program.Folder());
        EXPECT_TRUE(text.contains("Betelgeuse")) << "memo read as: " << text.toStdString();
    }

    // M42 from the Messier list: F6, the next tab (keypad +), 41 rows down, Enter.
    {
        x.Run({"windowfocus", "--sync", chart});
        QStringList keys{"key", "--delay", "20", "F6", "KP_Add"};
        for (int i = 0; i < 41; ++i)
            keys << "Down";
        keys << "Return";
        x.Run(keys);
        QThread::msleep(800);
        const QImage m42 = shoot();
        m42.save(QCoreApplication::applicationDirPath() + "/quenlira_e2e_m42.png");
        const QString text = ReadRed(m42, memo, program.Folder());
        EXPECT_TRUE(text.contains("M42")) << "memo read as: " << text.toStdString();
        shot = m42;

        // The "Option" list (tab 4, menu 3): a click on the mark of the first
        // file shows its objects, pure red, beside the centre.
        x.Run({"key", "--delay", "100", "KP_Add", "KP_Add", "Right", "Right"});
        QThread::msleep(500);
        const QImage before = shoot();
        x.Run({"mousemove", "--sync", QString::number(bounds.left() + 78 + 10),
               QString::number(bounds.top() + 394 + 14 + 7), "click", "1"});
        QThread::msleep(800);
        const QImage marked = shoot();
        marked.save(QCoreApplication::applicationDirPath() + "/quenlira_e2e_option.png");
        auto red = [&](const QImage& img) {
            int n = 0;
            for (int y = bounds.top(); y < bounds.top() + 700; ++y)
                for (int xx = bounds.left() + 300; xx < bounds.left() + 1000; ++xx)
                    n += img.pixel(xx, y) == qRgb(255, 0, 0);
            return n;
        };
        EXPECT_GT(red(marked), red(before) + 30) << "the option file's objects did not appear";
        shot = marked;
        x.Run({"key", "F9"});
    }

    // Page Up zooms and the arrow keys pan the atlas; the planisphere stays.
    auto keyThenShot = [&](const QStringList& keys) {
        x.Run(QStringList{"key", "--delay", "100"} + keys);
        QThread::msleep(700);
        return shoot();
    };
    QImage zoomed = keyThenShot({"Prior"});
    EXPECT_GT(Changed(shot, zoomed, atlas), 2000) << "Page Up did not zoom the atlas";
    EXPECT_EQ(Changed(shot, zoomed, hayami.adjusted(0, 0, 0, -30)), 0);
    QImage panned = keyThenShot({"Left", "Up"});
    EXPECT_GT(Changed(zoomed, panned, atlas), 2000) << "the arrow keys did not pan the atlas";

    // F5 gives the keyboard to the clock; Left selects the hours and Up steps
    // one: the planisphere turns by 15 degrees once the clock is let go.
    QImage stepped = keyThenShot({"F5", "Left", "Up"});
    stepped.save(QCoreApplication::applicationDirPath() + "/quenlira_e2e_stepped.png");
    EXPECT_GT(Changed(panned, stepped, hayami), 3000) << "the clock step did not redraw";

    // F2: the window covers the screen; F2 again: back to its bounds.
    ASSERT_LT(bounds.width() * bounds.height(), 1600 * 1000) << "the window covers the screen already";
    x.Run({"key", "F9", "F2"});
    EXPECT_TRUE(WaitFor(
        [&] {
            return x.Geometry(chart).size() == QSize(1600, 1000);
        },
        5000))
        << x.Run({"-id", chart}, "xwininfo").out.toStdString();
    x.Run({"key", "F2"});
    EXPECT_TRUE(WaitFor(
        [&] {
            return x.Geometry(chart) == bounds;
        },
        5000))
        << x.Run({"-id", chart}, "xwininfo").out.toStdString();

    // Closing the chart ends the program and writes the settings file again.
    const QString settings = folder.filePath("Sysinfo.dat");
    const QDateTime written = QFileInfo(settings).lastModified();
    QThread::msleep(1100); // file times count whole seconds on some file systems
    ASSERT_TRUE(AskToClose(x.Display(), chart.toULong()));
    ASSERT_TRUE(first.waitForFinished(10000)) << "the program did not end on closing";
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_GT(QFileInfo(settings).lastModified(), written);
    EXPECT_EQ(QFileInfo(settings).size(), 13096);
}
