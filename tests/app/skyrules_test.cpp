// The chart window's display-free rules: zoom and pan limits, the view
// history, the time-difference text and the Moon's age against published
// new-moon times.
#include "app/Clshistory.h"
#include "app/Skyrules.h"
#include "render/Clsatlas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace skyrules;

TEST(SkyRules, ZoomStepsTruncateAndStopAtTheLimits) {
    std::vector<int> in{1000};
    while (in.back() < kMaxScale && in.size() < 100)
        in.push_back(ZoomIn(in.back()));
    EXPECT_EQ(std::vector<int>(in.begin(), in.begin() + 5),
              (std::vector<int>{1000, 1500, 2250, 3375, 5062}));
    EXPECT_EQ(in.back(), 1200000);
    EXPECT_EQ(ZoomIn(1200000), 1200000);
    EXPECT_EQ(ZoomIn(1199999), 1200000); // one step short is allowed, then clamped
    EXPECT_EQ(ZoomOut(400), 300);        // not 266
    EXPECT_EQ(ZoomOut(300), 300);
    EXPECT_EQ(ZoomOut(1200000), 800000);
}

TEST(SkyRules, PanStepsStopAtThePolesAndWrapRightAscension) {
    // A quarter of 400 pixels at scale 1000 is 0.1 rad: from 1.5 it stops at the pole.
    EXPECT_DOUBLE_EQ(StepDec(1.5, 1, 400, 1000), kHalfPi);
    EXPECT_DOUBLE_EQ(StepDec(kHalfPi, 1, 400, 1000), kHalfPi);
    EXPECT_DOUBLE_EQ(StepDec(-1.5, -1, 400, 1000), -kHalfPi);
    EXPECT_DOUBLE_EQ(StepDec(0.2, -1, 400, 1000), 0.1);
    // The span across RA 0: left edge at 0.1 rad, right edge at 6.2 rad.
    const double span = RaSpan(0.1, 6.2);
    EXPECT_NEAR(span, 0.1 + kTwoPi - 6.2, 1e-12);
    EXPECT_NEAR(StepRa(6.27, 1, 0.4), 6.27 + 0.1 - kTwoPi, 1e-12);
    EXPECT_NEAR(StepRa(0.05, -1, 0.4), 0.05 - 0.1 + kTwoPi, 1e-12);
    EXPECT_EQ(StepSensitivity(-4, -99), -5);
    EXPECT_EQ(StepSensitivity(-5, -99), -5);
    EXPECT_EQ(StepSensitivity(5, 99), 5);
    EXPECT_EQ(StepSensitivity(2, -3), -3);
}

TEST(SkyRules, TimeDifferenceTexts) {
    EXPECT_EQ(TimeDifferenceText(1.5), "After 1Day12h00m");
    EXPECT_EQ(TimeDifferenceText(120.25), "After 120Day");
    EXPECT_EQ(TimeDifferenceText(-0.3 / 1440.0), "Before 00m");
    EXPECT_EQ(TimeDifferenceText(0.0), "After 00m");
    EXPECT_EQ(TimeDifferenceText(2.0 / 24 + 5.5 / 1440), "After 02h05m");
    EXPECT_EQ(TimeDifferenceText(-99.999), "Before 99Day23h58m");
    EXPECT_EQ(TimeDifferenceText(3.0 / 1440), "After 03m"); // not 02m from binary fractions
}

TEST(SkyRules, MoonAgeAgainstPublishedNewMoons) {
    // New moons (UT): Meeus' example 49.a (1977 Feb 18 3:37:42 TD, less 48 s),
    // the total solar eclipses of 2017 Aug 21 (18:30) and 2024 Apr 8 (18:21).
    const double newMoon[3] = {43192.15118 - 48.0 / 86400, 57986.0 + 18.5 / 24,
                               60408.0 + (18 + 21.0 / 60) / 24};
    const double after[3] = {3.0, 14.8, 26.3}; // crescent, full, old Moon
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(MoonAge(newMoon[i] + after[i]), after[i], 0.05) << "case " << i;
    EXPECT_EQ(MoonAgeText(14.79), "14.7");
    EXPECT_EQ(MoonAgeText(3.0), "3");
}

TEST(ViewHistory, KeepsAHundredViewsAndForgetsTheForwardOnesOnANewView) {
    TViewHistory h;
    TViewHistory::Entry v;
    EXPECT_FALSE(h.CanBack());
    for (int i = 1; i <= 101; ++i) {
        v.Ra = i;
        EXPECT_TRUE(h.Record(v, 0.0));
    }
    EXPECT_EQ(h.Index(), 100);
    EXPECT_EQ(h.Current().Ra, 101);
    EXPECT_FALSE(h.Record(v, 0.0)); // the same view again adds nothing
    TViewHistory::Entry left;
    int steps = 0;
    while (h.Back(left))
        ++steps;
    EXPECT_EQ(steps, 99);
    EXPECT_EQ(h.Current().Ra, 2); // view 1 was dropped
    EXPECT_TRUE(h.Forward(left));
    EXPECT_EQ(left.Ra, 2);
    EXPECT_TRUE(h.CanForward());
    v.Ra = 500;
    h.Record(v, 0.0);
    EXPECT_FALSE(h.CanForward());
    EXPECT_EQ(h.Top(), 3);
    EXPECT_FALSE(h.Forward(left));
    // In auto drive (entry MJD 0, a displayed moment) every view is recorded;
    // in stepped time the same view at the same moment is not.
    EXPECT_TRUE(h.Record(v, 60000.0));
    v.Mjd = 60000.0;
    EXPECT_TRUE(h.Record(v, 60000.0));
    EXPECT_FALSE(h.Record(v, 60000.0));
}

// The centre that keeps a sky point under the pointer: hand-worked cases on
// the equator and the meridian, then the atlas's own projection of the point
// from the centre found, over the whole chart and near the poles.
TEST(SkyRules, CentreKeepingPutsThePointWhereThePointerIs) {
    const double deg = std::acos(-1.0) / 180;
    double ra = 0, dec = 0;
    // 0.1 rad right of the centre is west: the centre lies 0.1 rad east.
    skyrules::CentreKeeping(0.0, 0.0, 0.1, 0.0, 0.0, ra, dec);
    EXPECT_NEAR(ra, 0.1, 1e-12);
    EXPECT_NEAR(dec, 0.0, 1e-12);
    // 0.1 rad below the centre is south: the centre lies 0.1 rad north.
    skyrules::CentreKeeping(1.0, 80 * deg, 0.0, 0.1, 80 * deg, ra, dec);
    EXPECT_NEAR(ra, 1.0, 1e-12);
    EXPECT_NEAR(dec, 80 * deg + 0.1, 1e-12);

    // The sky point at a pixel as the atlas itself finds it from a centre;
    // from that point and pixel the centre comes back.
    TAtlas atlas(1, 1000, 800);
    atlas.SetViewWidth(1000);
    atlas.SetViewHeight(800);
    struct Case {
        double ra, dec;
        int scale, px, py;
    } cases[] = {{1.4835, 0.0, 1000, 800, 100},    {5.0, 60 * deg, 300, 20, 790},
                 {0.2, -70 * deg, 2000, 999, 0},   {3.0, 89.5 * deg, 5000, 700, 650},
                 {6.2, -45 * deg, 400, 10, 400},    {2.0, -89.9 * deg, 300, 500, 0},
                 {4.0, 30 * deg, 1200000, 999, 799}};
    for (const Case& c : cases) {
        atlas.SetScale(c.scale);
        double pra = 0, pdec = 0;
        atlas.Unproject(1, c.px, c.py, &pdec, &pra, c.dec, c.ra);
        const double x = (c.px - 500.0) / c.scale, y = (c.py - 400.0) / c.scale;
        skyrules::CentreKeeping(pra, pdec, x, y, c.dec + 0.02, ra, dec);
        EXPECT_NEAR(dec, c.dec, 1e-9) << c.ra << " " << c.dec;
        EXPECT_NEAR(std::remainder(ra - c.ra, 2 * std::acos(-1.0)) * std::cos(c.dec), 0.0, 1e-9)
            << c.ra << " " << c.dec;
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 2 * std::acos(-1.0));
    }
    // A point the pointer cannot hold at that distance (zooming in beside
    // the pole) stops the centre at the pole.
    skyrules::CentreKeeping(0.0, 80 * deg, 0.0, 0.5, 85 * deg, ra, dec);
    EXPECT_NEAR(dec, 90 * deg, 1e-12);
}
