// Joining the visible runs of a band's outlines along the raster border.
#include <gtest/gtest.h>

#include <cmath>

#include "render/Clsbandstitch.h"
#include "render/Clsdib.h"
#include "render/Clssurface.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

// Fills the stitched pieces on a 100 x 100 raster; 1 = band.
void Fill(const std::vector<std::vector<TBandVertex>>& outlines, TDIB& dib) {
    dib.AddColor(RGB(0, 0, 0));
    dib.AddColor(RGB(255, 255, 255));
    dib.Create(100, 100);
    dib.FillIdx(0);
    TSurface* s = dib.GetSurface();
    s->SelectPen(TPen{TSurface::PS_NULL, 1, 0});
    s->SelectBrush(TBrush{false, RGB(255, 255, 255)});
    s->PolyPolygon(StitchBand(outlines, 100, 100));
}

TBandVertex V(double x, double y) {
    const bool on = x >= 0 && x <= 100 && y >= 0 && y <= 100;
    return TBandVertex{x, y, on ? BAND_VISIBLE : BAND_OUTSIDE};
}
TBandVertex Far(double x, double y) {
    return TBandVertex{x, y, BAND_FAR};
}
} // namespace

TEST(SegmentsAndAngles, KoutenFindsCrossingsWithinBothSegmentsOnly) {
    double x = -1, y = -1;
    ASSERT_TRUE(Kouten(0, 0, 10, 10, 0, 10, 10, 0, x, y));
    EXPECT_DOUBLE_EQ(x, 5);
    EXPECT_DOUBLE_EQ(y, 5);
    ASSERT_TRUE(Kouten(-50, 30, 20, 30, 0, 100, 0, 0, x, y)); // a run leaving by the left edge
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, 30);
    x = y = -1;
    EXPECT_FALSE(Kouten(0, 0, 4, 4, 0, 10, 10, 0, x, y)); // the lines meet beyond the first segment
    EXPECT_FALSE(Kouten(0, 0, 10, 0, 0, 1, 10, 1, x, y)); // parallel
    EXPECT_EQ(x, -1);
}

TEST(SegmentsAndAngles, NaikakuGrowsCounterClockwiseOnTheScreen) {
    // From straight up (row numbers grow downwards).
    EXPECT_NEAR(NAIKAKU(50, 50, 50, 40, 50, 10), 0, 1e-12);
    EXPECT_NEAR(NAIKAKU(50, 50, 50, 40, 10, 50), kPi / 2, 1e-12);
    EXPECT_NEAR(NAIKAKU(50, 50, 50, 40, 50, 90), kPi, 1e-12);
    EXPECT_NEAR(NAIKAKU(50, 50, 50, 40, 90, 50), 3 * kPi / 2, 1e-12);
    EXPECT_NEAR(NAIKAKU(50, 50, 50, 40, 0, 0), kPi / 4, 1e-12);
}

TEST(BandStitch, BandCrossingTheRasterIsFilledBetweenItsEdges) {
    // Upper edge left to right, lower edge right to left, closed far away.
    const std::vector<std::vector<TBandVertex>> outlines = {
        {V(-50, 30), V(20, 30), V(80, 30), V(150, 30), Far(150, -500), Far(-50, -500)},
        {V(150, 70), V(80, 70), V(20, 70), V(-50, 70), Far(-50, 600), Far(150, 600)}};
    TDIB dib;
    Fill(outlines, dib);
    for (int x : {0, 1, 50, 98, 99}) {
        EXPECT_EQ(dib.GetIdx(x, 50), 1) << x;
        EXPECT_EQ(dib.GetIdx(x, 31), 1) << x;
        EXPECT_EQ(dib.GetIdx(x, 69), 1) << x;
        EXPECT_EQ(dib.GetIdx(x, 28), 0) << x;
        EXPECT_EQ(dib.GetIdx(x, 72), 0) << x;
    }
    // The same band whichever vertex the outlines begin with.
    std::vector<std::vector<TBandVertex>> rotated = outlines;
    std::rotate(rotated[0].begin(), rotated[0].begin() + 2, rotated[0].end());
    std::rotate(rotated[1].begin(), rotated[1].begin() + 4, rotated[1].end());
    TDIB again;
    Fill(rotated, again);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(again.GetIdx(x, y), dib.GetIdx(x, y)) << x << "," << y;
}

TEST(BandStitch, BorderWalkTakesTheCornersOnTheBandsSide) {
    // One edge cuts the top-left corner off; the band is the rest of the raster
    // (the far side of the other edge lies off the raster entirely).
    const std::vector<std::vector<TBandVertex>> outlines = {
        {V(-20, 40), V(10, 20), V(40, -20), Far(-300, -300)}};
    TDIB dib;
    Fill(outlines, dib);
    EXPECT_EQ(dib.GetIdx(2, 2), 0);
    EXPECT_EQ(dib.GetIdx(50, 50), 1);
    EXPECT_EQ(dib.GetIdx(99, 99), 1);
    EXPECT_EQ(dib.GetIdx(99, 0), 1);
    EXPECT_EQ(dib.GetIdx(0, 99), 1);
}

TEST(BandStitch, OutlinesWhollyOnTheRasterAreClosedPieces) {
    // A ring inside another: the band is the annulus between them.
    std::vector<TBandVertex> outer, inner;
    for (int k = 0; k < 36; ++k) {
        const double a = k * 2 * kPi / 36;
        outer.push_back(V(50 + 40 * std::cos(a), 50 + 40 * std::sin(a)));
        inner.push_back(V(50 + 20 * std::cos(a), 50 - 20 * std::sin(a)));
    }
    const auto pieces = StitchBand({outer, inner}, 100, 100);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), 36u);
    TDIB dib;
    Fill({outer, inner}, dib);
    EXPECT_EQ(dib.GetIdx(50, 50), 0);
    EXPECT_EQ(dib.GetIdx(50, 20), 1);
    EXPECT_EQ(dib.GetIdx(50, 2), 0);
}

TEST(BandStitch, NothingVisibleGivesNothingAndNeverLoops) {
    EXPECT_TRUE(StitchBand({{Far(0, 0), Far(10, 10), Far(20, 0)}}, 100, 100).empty());
    EXPECT_TRUE(StitchBand({{V(-10, -10), V(-50, -10), V(-30, -40)}}, 100, 100).empty());
    EXPECT_TRUE(StitchBand({}, 100, 100).empty());
    // Two runs of the same direction cannot make a proper band: the walk ends
    // (the guard against a used start) instead of going round for ever.
    const auto odd = StitchBand({{V(-50, 30), V(50, 30), V(150, 30), Far(150, -500)},
                                 {V(-50, 70), V(50, 70), V(150, 70), Far(150, 600)}},
                                100, 100);
    EXPECT_FALSE(odd.empty());
}

TEST(BandStitch, RunTouchingAnEdgeFromOutsideIsLeftOut) {
    // The lower edge dips onto the top border at one vertex and leaves again:
    // that touch must not cut the band's polygon short.
    const std::vector<std::vector<TBandVertex>> outlines = {
        {V(-50, 30), V(20, 30), V(80, 30), V(150, 30), Far(150, -500), Far(-50, -500)},
        {V(150, 70), V(80, 70), V(20, 70), V(-50, 70), Far(-50, 600), Far(150, 600)},
        {V(30, -10), V(40, 0), V(50, -10), Far(40, -300)}};
    TDIB dib;
    Fill(outlines, dib);
    for (int x : {0, 50, 99}) {
        EXPECT_EQ(dib.GetIdx(x, 50), 1) << x;
        EXPECT_EQ(dib.GetIdx(x, 10), 0) << x;
        EXPECT_EQ(dib.GetIdx(x, 90), 0) << x;
    }
}
