// TFrameLabel on a real widget: mouse handling, lock and press colours, the
// places of the arrow captions and of the text.
#include "controls/Framelabel.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QRgb Px(QWidget& w, int x, int y) {
    return w.grab().toImage().pixel(x, y) & 0xffffff;
}
constexpr QRgb kWhite = 0xffffff, kBlack = 0x000000, kRed = 0xff0000, kGreen = 0x00ff00,
               kBlue = 0x0000ff;

struct FrameLabelTest : ::testing::Test {
    TFrameLabel lab;
    int downs = 0, ups = 0, moves = 0;
    bool pressedInHandler = false;
    void SetUp() override {
        lab.resize(60, 24);
        lab.OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            ++downs;
            pressedInHandler = lab.Pressed();
        };
        lab.OnMouseUp = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            ++ups;
        };
        lab.OnMouseMove = [this](QWidget*, Qt::KeyboardModifiers, int, int) { ++moves; };
        lab.show();
    }
};

TEST_F(FrameLabelTest, CreatedWhiteFrameOnBlackBody) {
    EXPECT_EQ(Px(lab, 0, 0), kWhite);
    EXPECT_EQ(Px(lab, 59, 23), kWhite);
    EXPECT_EQ(Px(lab, 1, 1), kBlack);
    EXPECT_EQ(Px(lab, 58, 22), kBlack);
}

TEST_F(FrameLabelTest, PressUsesPressedColoursOnlyWhenEnabledAndAnyButtonCounts) {
    lab.SetCFPs(RGBColor(0, 255, 0));
    lab.SetCBPs(RGBColor(0, 0, 255));
    QTest::mousePress(&lab, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_TRUE(lab.Pressed());
    EXPECT_TRUE(pressedInHandler) << "the flag is set before the user's handler runs";
    EXPECT_EQ(Px(lab, 5, 5), kBlack) << "pressed colours are off at creation";
    QTest::mouseRelease(&lab, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_FALSE(lab.Pressed());

    lab.SetPsE(true);
    QTest::mousePress(&lab, Qt::RightButton, {}, QPoint(30, 12));
    EXPECT_EQ(Px(lab, 0, 0), kGreen);
    EXPECT_EQ(Px(lab, 5, 5), kBlue);
    QTest::mouseRelease(&lab, Qt::RightButton, {}, QPoint(30, 12));
    EXPECT_EQ(Px(lab, 0, 0), kWhite);
    EXPECT_EQ(Px(lab, 5, 5), kBlack);
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(ups, 2);
}

TEST_F(FrameLabelTest, LockedLabelIgnoresTheMouseAndUnlockRepaintsNormalColours) {
    lab.SetPsE(true);
    lab.SetCFLk(RGBColor(255, 0, 0));
    lab.SetCBLk(RGBColor(0, 255, 0));
    lab.SetLK(true);
    EXPECT_EQ(Px(lab, 0, 0), kRed);
    EXPECT_EQ(Px(lab, 5, 5), kGreen);
    QTest::mousePress(&lab, Qt::LeftButton, {}, QPoint(30, 12));
    QTest::mouseMove(&lab, QPoint(20, 10));
    QTest::mouseRelease(&lab, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_FALSE(lab.Pressed());
    EXPECT_EQ(Px(lab, 5, 5), kGreen) << "a locked label does not change colour on a press";
    EXPECT_EQ(downs + ups + moves, 0);

    lab.SetLK(false);
    EXPECT_EQ(Px(lab, 0, 0), kWhite);
    EXPECT_EQ(Px(lab, 5, 5), kBlack);
    QTest::mouseMove(&lab, QPoint(21, 11));
    EXPECT_EQ(moves, 1);
}

// The arrowhead sits in a 10 x 10 box at x = left margin + 1 (left),
// width - right margin - 11 (right) or width / 2 + left margin - 5 (centre),
// and likewise for y.
TEST_F(FrameLabelTest, ArrowCaptionsAreDrawnInTheTextColourWhereTheMarginsPutThem) {
    lab.SetFontColor(RGBColor(255, 0, 0));
    lab.SetCap("@U");
    lab.SetAV(-1);
    lab.SetML(3);
    // Box at (4, 1) .. (13, 10): its centre is lit, a point right of it is not.
    EXPECT_EQ(Px(lab, 9, 7), kRed);
    EXPECT_EQ(Px(lab, 20, 7), kBlack);

    lab.SetAlignment(Qt::AlignRight);
    lab.SetMR(4);
    lab.SetAV(1);
    lab.SetMB(2);
    lab.SetCap("@D");
    // x = 60 - 4 - 11 = 45, y = 24 - 2 - 11 = 11: box (45, 11) .. (54, 20).
    EXPECT_EQ(Px(lab, 50, 15), kRed);
    EXPECT_EQ(Px(lab, 9, 7), kBlack);
    EXPECT_EQ(Px(lab, 40, 15), kBlack);

    lab.SetAlignment(Qt::AlignHCenter);
    lab.SetAV(0);
    lab.SetCap("@L");
    // x = 30 + 3 - 5 = 28, y = 12 + 0 - 5 = 7: box (28, 7) .. (37, 16).
    EXPECT_EQ(Px(lab, 33, 12), kRed);
    EXPECT_EQ(Px(lab, 50, 15), kBlack);
}

// Text placement: the lit pixels of a right-aligned caption end just left of
// width - right margin - 1, a left-aligned one starts at left margin + 1.
TEST_F(FrameLabelTest, TextStaysInsideTheMarginsForEachAlignment) {
    lab.resize(120, 24);
    lab.SetFontColor(RGBColor(255, 0, 0));
    lab.SetCap("IIII");
    auto litColumns = [&](int& first, int& last) {
        QImage img = lab.grab().toImage();
        first = 1000, last = -1;
        for (int x = 1; x < 119; ++x)
            for (int y = 1; y < 23; ++y)
                if (qRed(img.pixel(x, y)) > 128) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
    };
    int first, last;
    lab.SetML(10);
    litColumns(first, last);
    EXPECT_GE(first, 11);
    EXPECT_LE(first, 14);
    lab.SetAlignment(Qt::AlignRight);
    lab.SetMR(20);
    lab.SetCap("IIII");
    litColumns(first, last);
    EXPECT_LE(last, 120 - 20 - 1);
    EXPECT_GE(last, 120 - 20 - 5);
}

TEST(FrameLabelSize, AutoSizeTakesTheTextPlusMargins) {
    TFrameLabel lab;
    lab.SetML(5);
    lab.SetMR(7);
    lab.SetMT(2);
    lab.SetMB(3);
    lab.SetAutoSize(true);
    lab.SetCap("Cancel");
    QFontMetrics fm(lab.font());
    EXPECT_EQ(lab.width(), fm.horizontalAdvance("Cancel") + 12);
    EXPECT_EQ(lab.height(), fm.height() + 5);
}

} // namespace
