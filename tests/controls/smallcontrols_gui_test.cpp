// TFocusArrow's triangles and TFocusControl's keyboard handling.
#include "controls/Focusarrow.h"
#include "controls/Focuscontrol.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

QRgb Px(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xffffff;
}

// A 13 x 13 arrow: w = h = 12.
TEST(FocusArrow, TrianglesPointTheWayTheirDirectionSays) {
    QWidget back;
    back.setStyleSheet("background: #00ff00");
    back.resize(20, 20);
    TFocusArrow a(&back);
    a.setGeometry(0, 0, 13, 13);
    a.SetFCol(RGBColor(255, 255, 255));
    a.SetFBCol(RGBColor(255, 0, 0));
    back.show();

    // Up: (0, 8), (6, 0), (12, 8). Tip outlined, inside filled, corner untouched.
    QImage img = a.grab().toImage();
    EXPECT_EQ(Px(img, 6, 0), 0xffffffu);
    EXPECT_EQ(Px(img, 6, 5), 0xff0000u);
    EXPECT_NE(Px(img, 0, 0), 0xff0000u);
    EXPECT_NE(Px(img, 0, 0), 0xffffffu);
    EXPECT_NE(Px(img, 6, 11), 0xff0000u);

    // Right: (4, 0), (12, 6), (4, 12).
    a.SetDir(3);
    img = a.grab().toImage();
    EXPECT_EQ(Px(img, 12, 6), 0xffffffu);
    EXPECT_EQ(Px(img, 7, 6), 0xff0000u);
    EXPECT_NE(Px(img, 1, 6), 0xff0000u);

    // Down-left: (10, 12), (0, 12), (0, 2); the opposite corner stays empty.
    a.SetDir(6);
    img = a.grab().toImage();
    EXPECT_EQ(Px(img, 0, 12), 0xffffffu);
    EXPECT_EQ(Px(img, 3, 9), 0xff0000u);
    EXPECT_NE(Px(img, 11, 1), 0xff0000u);

    // Every direction gives a triangle inside the control; none beyond 8.
    for (int d = 1; d <= 8; ++d) {
        a.SetDir(d);
        QPolygon c = a.Corners();
        ASSERT_EQ(c.size(), 3);
        for (QPoint p : c) {
            EXPECT_GE(p.x(), 0);
            EXPECT_LE(p.x(), 12);
            EXPECT_GE(p.y(), 0);
            EXPECT_LE(p.y(), 12);
        }
    }
    a.SetDir(9);
    EXPECT_TRUE(a.Corners().isEmpty());
}

TEST(FocusControl, ArrowKeysReachItAndTabMovesTheFocusOn) {
    QWidget w;
    TFocusControl a(&w), b(&w);
    a.setGeometry(0, 0, 10, 10);
    b.setGeometry(20, 0, 10, 10);
    std::vector<std::string> log;
    a.OnKeyDown = [&](QWidget*, int& key, Qt::KeyboardModifiers) {
        log.push_back("down " + std::to_string(key));
    };
    a.OnKeyUp = [&](QWidget*, int& key, Qt::KeyboardModifiers) {
        log.push_back("up " + std::to_string(key));
    };
    a.OnEnter = [&](QWidget*) { log.push_back("enter a"); };
    a.OnExit = [&](QWidget*) { log.push_back("exit a"); };
    b.OnEnter = [&](QWidget*) { log.push_back("enter b"); };
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    a.setFocus();
    QTest::keyClick(&a, Qt::Key_Down);
    QTest::keyClick(&a, Qt::Key_Right);
    EXPECT_TRUE(a.hasFocus()) << "arrow keys must not move the focus";
    QTest::keyPress(&a, Qt::Key_Tab);
    EXPECT_TRUE(b.hasFocus());
    const std::vector<std::string> want = {"enter a",
                                           "down " + std::to_string(Qt::Key_Down),
                                           "up " + std::to_string(Qt::Key_Down),
                                           "down " + std::to_string(Qt::Key_Right),
                                           "up " + std::to_string(Qt::Key_Right),
                                           "exit a",
                                           "enter b"};
    EXPECT_EQ(log, want);
}

} // namespace
