// TFlatScroll driven with the mouse: thumb geometry, parts, dragging past the
// ends and press-and-hold paging on a stepped clock. The expected values are
// worked out by hand from the bar's geometry rules.
#include "controls/Flatscroll.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct FlatScrollTest : ::testing::Test {
    TFlatScroll bar;
    TSteppedTimer* clock = nullptr;
    int changes = 0;
    void SetUp() override {
        auto t = std::make_unique<TSteppedTimer>();
        clock = t.get();
        bar.SetRepeatTimer(std::move(t));
        bar.OnChange = [this](QWidget*) { ++changes; };
        bar.resize(16, 200);
        bar.show();
    }
    void Press(int y) { QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(8, y)); }
    void Move(int y) { QTest::mouseMove(&bar, QPoint(8, y)); }
    void Release(int y) { QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, y)); }
};

// Height 200 with 14-pixel arrow boxes: L = 200 - 28 + 2 = 174; range 99;
// thumb = trunc(174 * 10 / 100) = 17; the free track is 174 - 17 = 157.
TEST_F(FlatScrollTest, ThumbOfTheWorkedExampleAndDraggingPastBothEnds) {
    bar.SetMin(1);
    bar.SetMax(100);
    bar.SetPS(10);
    bar.SetValue(1);
    EXPECT_EQ(bar.TrackLength(), 174);
    EXPECT_EQ(bar.ThumbSize(), 17);
    EXPECT_EQ(bar.ThumbTop(), 14);

    Press(20); // on the thumb (14 .. 30): no step, no repetition
    EXPECT_EQ(bar.GetValue(), 1);
    EXPECT_FALSE(clock->Active());
    Move(99); // 1 + trunc(79 / 157 * 99) = 1 + 49
    EXPECT_EQ(bar.GetValue(), 50);
    Move(400);
    EXPECT_EQ(bar.GetValue(), 100);
    // At the maximum the thumb would run into the lower box (14 + 174 > 187)
    // and is pulled up to 200 - 17 - 14 + 1 = 170.
    EXPECT_EQ(bar.ThumbTop(), 170);
    Move(-40);
    EXPECT_EQ(bar.GetValue(), 1);
    Release(-40);
    Move(400); // released: no more dragging
    EXPECT_EQ(bar.GetValue(), 1);

    // The painted thumb: outline along its top row, body below.
    bar.SetValue(100);
    QImage img = bar.grab().toImage();
    EXPECT_EQ(img.pixel(5, 170) & 0xffffff, 0xffffffu);
    EXPECT_EQ(img.pixel(5, 175) & 0xffffff, 0x000000u);
    EXPECT_EQ(img.pixel(5, 186) & 0xffffff, 0xffffffu);
}

TEST_F(FlatScrollTest, PageAtLeastTheRangeFillsTheTrack) {
    bar.SetMin(0);
    bar.SetMax(9);
    bar.SetPS(10);
    EXPECT_EQ(bar.ThumbSize(), 174);
    for (int y = 15; y <= 186; ++y)
        ASSERT_EQ(bar.PosSts(y), 0) << y;
    // A range of nothing at all must not divide by zero either.
    bar.SetMax(0);
    bar.SetPS(0);
    EXPECT_EQ(bar.ThumbSize(), 174);
}

TEST_F(FlatScrollTest, PartsUnderThePointer) {
    bar.SetMin(0);
    bar.SetMax(100);
    bar.SetPS(10);
    bar.SetValue(50); // top = trunc(174 * 0.5 + 14) = 101, size trunc(1740 / 101) = 17
    EXPECT_EQ(bar.ThumbTop(), 101);
    EXPECT_EQ(bar.PosSts(1), -1);
    EXPECT_EQ(bar.PosSts(14), -1);
    EXPECT_EQ(bar.PosSts(15), -2);
    EXPECT_EQ(bar.PosSts(100), -2);
    EXPECT_EQ(bar.PosSts(101), 0);
    EXPECT_EQ(bar.PosSts(117), 0);
    EXPECT_EQ(bar.PosSts(118), 2);
    EXPECT_EQ(bar.PosSts(187), 2);
    EXPECT_EQ(bar.PosSts(188), 1);
    EXPECT_EQ(bar.PosSts(0), 1);
}

// Range 0 .. 100, page 10: thumb top = trunc(1.74 v + 14), size 17. A press
// at y 150 pages down by 10 at once, again after 200 ms, then every 50 ms
// until the thumb covers the pointer: v 70 gives 135 .. 151.
TEST_F(FlatScrollTest, HoldingOnTheTrackPagesUntilTheThumbReachesThePointer) {
    bar.SetMin(0);
    bar.SetMax(100);
    bar.SetPS(10);
    bar.SetValue(0);
    Press(150);
    EXPECT_EQ(bar.GetValue(), 10);
    clock->Advance(199);
    EXPECT_EQ(bar.GetValue(), 10);
    clock->Advance(1);
    EXPECT_EQ(bar.GetValue(), 20);
    EXPECT_EQ(clock->Interval(), 50);
    clock->Advance(49);
    EXPECT_EQ(bar.GetValue(), 20);
    clock->Advance(1);
    EXPECT_EQ(bar.GetValue(), 30);
    clock->Advance(200);
    EXPECT_EQ(bar.GetValue(), 70);
    clock->Advance(500);
    EXPECT_EQ(bar.GetValue(), 70) << "stops once the thumb is under the pointer";
    EXPECT_EQ(changes, 7);

    // Pointer taken above the thumb while still held: paging turns round and
    // runs until the thumb (v 0: 14 .. 30) covers y 30.
    Move(30);
    clock->Advance(50);
    EXPECT_EQ(bar.GetValue(), 60);
    clock->Advance(1000);
    EXPECT_EQ(bar.GetValue(), 0);
    Release(30);
    EXPECT_FALSE(clock->Active());
}

// Paging by 20 moves the thumb (size 17) by about 35 pixels, so it can jump
// over a pointer resting in the track: v 20 gives 48 .. 64, v 40 gives
// 83 .. 99, and a pointer at 70 lies between. The thumb stays at v 40 rather
// than paging back and forth around the pointer.
TEST_F(FlatScrollTest, AThumbThatJumpsOverARestingPointerStops) {
    bar.SetMin(0);
    bar.SetMax(100);
    bar.SetPS(10);
    bar.SetLCng(20);
    bar.SetValue(0);
    Press(70);
    EXPECT_EQ(bar.GetValue(), 20);
    clock->Advance(200);
    EXPECT_EQ(bar.GetValue(), 40);
    clock->Advance(50);
    EXPECT_EQ(bar.GetValue(), 40);
    clock->Advance(50 * 10);
    EXPECT_EQ(bar.GetValue(), 40);
    Release(70);
}

TEST_F(FlatScrollTest, HoldingAnArrowStepsByTheSmallChangeAndStopsAtTheEnd) {
    bar.SetMin(0);
    bar.SetMax(100);
    bar.SetPS(10);
    bar.SetValue(5);
    bar.SetSCng(2);
    Press(5);
    EXPECT_EQ(bar.GetValue(), 3);
    EXPECT_EQ(clock->Interval(), 200);
    clock->Advance(200);
    EXPECT_EQ(bar.GetValue(), 1);
    clock->Advance(50);
    EXPECT_EQ(bar.GetValue(), 0);
    clock->Advance(500);
    EXPECT_EQ(bar.GetValue(), 0);
    Release(5);
    EXPECT_FALSE(clock->Active());
    changes = 0;

    Press(195); // lower arrow box
    EXPECT_EQ(bar.GetValue(), 2);
    Release(195);
    clock->Advance(1000);
    EXPECT_EQ(bar.GetValue(), 2) << "released: no repetition";
    EXPECT_EQ(changes, 1);
}

} // namespace
