// Night vision in the real program under Xvfb with a window manager: started
// with --night, the chart window at full screen with the telescope window and
// the save dialog over it, the whole screen (each window grabbed and pasted
// in stacking order) has no pixel with green or blue above red or above a
// small bound. By day the same screen is full of them, F12's choice is kept
// in Desk.txt, and the next start without --night opens in night vision.
// Skipped with a message when Xvfb or xdotool is missing.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QRegion>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>

#include "Program.h"

namespace {

using namespace e2e;

// Dim greys where a style blends a little white into red stay below this.
constexpr int kBound = 48;

struct TCount {
    long notRed = 0; // green or blue above red, or above kBound
    long red = 0;    // plainly red: the screen is not just black
    QRect where;    // around the pixels that are not red
    QRgb firstColour = 0;
};

// The frame the window manager draws around a window: its colours are not
// the program's.
QRegion Frame(const XServer& x, const QString& id) {
    const QRect in = x.Geometry(id);
    const QString extents = x.Run({"-id", id, "_NET_FRAME_EXTENTS"}, "xprop").out;
    QList<int> e;
    for (const QRegularExpressionMatch& m : QRegularExpression("\\d+").globalMatch(
             extents.section('=', 1)))
        e << m.captured(0).toInt();
    if (e.size() != 4) return {};
    return QRegion(in.adjusted(-e[0], -e[2], e[1], e[3])).subtracted(QRegion(in));
}

TCount Count(const QImage& shot, const QRegion& skip = {}) {
    TCount c;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            if (skip.contains(QPoint(x, y))) continue;
            const QRgb p = shot.pixel(x, y);
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            if (g > r || b > r || std::max(g, b) > kBound) {
                if (!c.notRed++) c.firstColour = p;
                c.where |= QRect(x, y, 1, 1);
            } else if (r >= 128) {
                ++c.red;
            }
        }
    return c;
}

std::string Where(const TCount& c) {
    return QString("within %1,%2 %3x%4, the first #%5")
        .arg(c.where.x())
        .arg(c.where.y())
        .arg(c.where.width())
        .arg(c.where.height())
        .arg(c.firstColour & 0xffffff, 6, 16, QChar('0'))
        .toStdString();
}

QString DeskText(const Program& program) {
    QFile f(program.File("Desk.txt"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(NightVision, EveryWindowRedOnBlack) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();
    const QString bin = QCoreApplication::applicationDirPath();

    XServer x;
    ASSERT_TRUE(x.Start("1280x800")) << "Xvfb did not start";
    Program program(x);
    const QString missing = program.Install();
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    ASSERT_TRUE(program.Start({"--night"}));
    const QString chart = program.OpenChart();
    ASSERT_FALSE(chart.isEmpty()) << "no chart window; output: " << program.Errors();

    // Full screen (F2) and the telescope window (F11), moved out from under
    // the save dialog (Ctrl+S), which opens in the middle too.
    x.Run({"windowfocus", "--sync", chart});
    x.Run({"key", "F2"});
    QThread::msleep(1500);
    x.Run({"key", "F11"});
    QStringList scope;
    ASSERT_TRUE(WaitFor([&] { return !(scope = x.Visible("^Telescope$")).isEmpty(); }, 5000))
        << "F11 opened no telescope window";
    x.Run({"windowmove", "--sync", scope[0], "20", "380"});
    const auto openDialog = [&] {
        x.Run({"windowfocus", "--sync", chart});
        x.Run({"key", "ctrl+s"});
        if (!WaitFor([&] { return !x.Visible("^Save charts$").isEmpty(); }, 5000)) return false;
        QThread::msleep(1500);
        return true;
    };
    const auto closeDialog = [&] {
        const QStringList dialog = x.Visible("^Save charts$");
        if (!dialog.isEmpty()) {
            x.Run({"windowfocus", "--sync", dialog[0]});
            x.Run({"key", "Escape"});
        }
        return WaitFor([&] { return x.Visible("^Save charts$").isEmpty(); }, 5000);
    };
    const auto frames = [&] {
        QRegion r;
        for (const QString& title : {"^Telescope$", "^Save charts$"})
            for (const QString& id : x.Visible(title))
                r += Frame(x, id);
        return r;
    };
    const auto f12 = [&](const char* expect) {
        x.Run({"windowfocus", "--sync", chart});
        x.Run({"key", "F12"});
        return WaitFor([&] { return DeskText(program).contains(expect); }, 5000);
    };
    ASSERT_TRUE(openDialog()) << "the save dialog did not open";
    QImage shot = x.Shoot();
    ASSERT_FALSE(shot.isNull());
    shot.save(bin + "/nightvision_e2e_night.png");
    TCount night = Count(shot, frames());
    EXPECT_EQ(night.notRed, 0) << Where(night) << " (see nightvision_e2e_night.png)";
    EXPECT_GT(night.red, 2000) << "hardly anything red on the screen";

    // By day the same screen has its colours back, and the choice is kept.
    ASSERT_TRUE(closeDialog()) << "Escape left the save dialog open";
    EXPECT_TRUE(f12("night=off")) << DeskText(program).toStdString();
    ASSERT_TRUE(openDialog());
    shot = x.Shoot();
    shot.save(bin + "/nightvision_e2e_day.png");
    EXPECT_GT(Count(shot, frames()).notRed, 10000) << "by day the charts and dialog have their colours";
    ASSERT_TRUE(closeDialog());
    EXPECT_TRUE(f12("night=on")) << DeskText(program).toStdString();
    program.End();

    // The next start without --night opens in night vision.
    ASSERT_TRUE(program.Start());
    const QString opening = program.WaitForOpening();
    ASSERT_FALSE(opening.isEmpty());
    QThread::msleep(1000);
    shot = x.Shoot();
    shot.save(bin + "/nightvision_e2e_opening.png");
    night = Count(shot.copy(x.Geometry(opening)));
    EXPECT_EQ(night.notRed, 0) << Where(night) << " (see nightvision_e2e_opening.png)";
    program.End();
}
