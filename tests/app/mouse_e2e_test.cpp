// The mouse and keys in the real program under Xvfb with a window manager,
// driven by xdotool: a wheel notch over a star keeps that star under the
// pointer (within 2 px), a drag carries a star along by the drag, Enter
// answers a message and Escape leaves the site list. The stars are found on
// the screenshots by their bright cores, on an atlas with only stars shown.
// Skipped with a message when Xvfb or xdotool is missing.
#include <QCoreApplication>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>

#include "Program.h"

namespace {

using namespace e2e;

int Light(QRgb p) {
    return qRed(p) + qGreen(p) + qBlue(p);
}

// The brightest star within `radius` of `to`: the centre of its core (the
// pixels at least 70 % as bright as its brightest, within 4 pixels of it),
// which the star images have symmetric about the star's place.
bool StarNear(const QImage& img, QPointF to, int radius, QPointF& at) {
    QPoint peak(-1, -1);
    int best = 150;
    for (int y = int(to.y()) - radius; y <= int(to.y()) + radius; ++y)
        for (int x = int(to.x()) - radius; x <= int(to.x()) + radius; ++x) {
            if (!img.rect().contains(x, y) || std::hypot(x - to.x(), y - to.y()) > radius) continue;
            if (Light(img.pixel(x, y)) > best) {
                best = Light(img.pixel(x, y));
                peak = QPoint(x, y);
            }
        }
    if (peak.x() < 0) return false;
    double sx = 0, sy = 0, n = 0;
    for (int y = peak.y() - 4; y <= peak.y() + 4; ++y)
        for (int x = peak.x() - 4; x <= peak.x() + 4; ++x)
            if (img.rect().contains(x, y) && Light(img.pixel(x, y)) * 10 >= best * 7) {
                sx += x;
                sy += y;
                n += 1;
            }
    at = QPointF(sx / n, sy / n);
    return true;
}

QString Num(double v) {
    return QString::number(static_cast<int>(std::lround(v)));
}

} // namespace

TEST(MouseAndKeys, WheelDragEnterAndEscape) {
    if (!XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << XServer::Missing().toStdString();
    const QString bin = QCoreApplication::applicationDirPath();

    XServer x;
    ASSERT_TRUE(x.Start("1600x1000")) << "Xvfb did not start";
    Program program(x);
    const QString missing = program.Install({"Starhip.dat"});
    ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
    ASSERT_TRUE(program.Start());
    const QString chart = program.OpenChart();
    ASSERT_FALSE(chart.isEmpty()) << "no chart window; output: " << program.Errors();
    const QRect bounds = x.Geometry(chart);
    ASSERT_FALSE(bounds.isEmpty());
    x.Run({"windowfocus", "--sync", chart});

    // Stars only: the Milky Way, constellations, star names and grid off
    // (their labels in the one-column layout's switch list).
    for (int sw : {0, 1, 4, 6})
        x.Run({"mousemove", "--sync", Num(bounds.left() + 40), Num(bounds.top() + 524 + 16 * sw + 8),
               "click", "1"});
    QThread::msleep(1000);
    // The atlas, less a margin where stars are cut at its edges.
    const QRect atlas(bounds.left() + 281 + 20, bounds.top() + 20, bounds.width() - 281 - 40,
                      bounds.height() - 20 - 40);
    const QPointF target(atlas.center().x() + 180, atlas.center().y() - 120);

    // A wheel notch up with the pointer on a star: the star stays there.
    QImage shot = x.Shoot();
    shot.save(bin + "/mouse_e2e_before.png");
    QPointF star;
    ASSERT_TRUE(StarNear(shot, target, 80, star)) << "no star on the atlas";
    star = QPointF(std::lround(star.x()), std::lround(star.y()));
    x.Run({"mousemove", "--sync", Num(star.x()), Num(star.y())});
    QThread::msleep(300);
    x.Run({"click", "4"});
    QThread::msleep(1500);
    shot = x.Shoot();
    shot.save(bin + "/mouse_e2e_wheel.png");
    QPointF after;
    ASSERT_TRUE(StarNear(shot, star, 8, after));
    EXPECT_LT(std::hypot(after.x() - star.x(), after.y() - star.y()), 2.0)
        << "the star at " << star.x() << "," << star.y() << " moved to " << after.x() << ","
        << after.y();

    // A drag 150 px left and 90 px down from that star carries it along.
    const QPointF from(std::lround(after.x()), std::lround(after.y()));
    x.Run({"mousemove", "--sync", Num(from.x()), Num(from.y())});
    x.Run({"mousedown", "1"});
    for (int k = 1; k <= 10; ++k) {
        x.Run({"mousemove", "--sync", Num(from.x() - 15 * k), Num(from.y() + 9 * k)});
        QThread::msleep(30);
    }
    x.Run({"mouseup", "1"});
    QThread::msleep(1500);
    shot = x.Shoot();
    shot.save(bin + "/mouse_e2e_drag.png");
    const QPointF to(from.x() - 150, from.y() + 90);
    QPointF dragged;
    ASSERT_TRUE(StarNear(shot, to, 8, dragged));
    EXPECT_LT(std::hypot(dragged.x() - to.x(), dragged.y() - to.y()), 2.0)
        << "the star dragged to " << to.x() << "," << to.y() << " is at " << dragged.x() << ","
        << dragged.y();

    // Stepped time (the clock one hour on), then F4: the message refusing
    // navigation. Enter answers it.
    x.Run({"windowfocus", "--sync", chart});
    x.Run({"key", "--delay", "100", "F5", "Left", "Up", "F9", "F4"});
    QStringList message;
    ASSERT_TRUE(WaitFor([&] { return !(message = x.Visible("^Message$")).isEmpty(); }, 5000))
        << "no message";
    x.Run({"windowfocus", "--sync", message[0]});
    x.Run({"key", "Return"});
    EXPECT_TRUE(WaitFor([&] { return x.Visible("^Message$").isEmpty(); }, 5000))
        << "Enter left the message open";

    // F3 opens the site list over the chart; Escape leaves it, the chart stays.
    x.Run({"windowfocus", "--sync", chart});
    x.Run({"key", "F3"});
    ASSERT_TRUE(WaitFor([&] { return x.Visible("^Quenlira III$").size() == 2; }, 5000))
        << "no site list";
    QThread::msleep(500);
    x.Run({"key", "Escape"});
    EXPECT_TRUE(WaitFor([&] { return x.Visible("^Quenlira III$").size() == 1; }, 5000))
        << "Escape left the site list open";
    EXPECT_EQ(program.Process().state(), QProcess::Running);
    program.End();
}
