// Altitude now and best time tonight for the list window, against the
// sidereal time of Meeus (12.4) and the altitude at transit worked by hand.
#include "app/Clslistsky.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kDeg = M_PI / 180;

// Local mean sidereal time (radians) at mjd UT, east longitude lon.
double Lst(double mjd, double lon) {
    const double d = mjd - 51544.5;
    return std::fmod(280.46061837 + 360.98564736629 * d, 360.0) * kDeg + lon;
}

TLocation Site(double lonDeg, double latDeg) {
    TLocation s;
    s.Lon = lonDeg * kDeg;
    s.Lat = latDeg * kDeg;
    return s;
}

} // namespace

TEST(ListSky, ObjectTransitingAtMidnightIsBestAtMidnightAtItsTransitAltitude) {
    // Tokyo, local midnight of 2026-12-08/09 is 15:00 UT of the 8th.
    const TLocation tokyo = Site(139.5167, 35.68333);
    const double midnight = 61382.0 + 15.0 / 24; // MJD of 2026-12-08 is 61382
    const double ra = Lst(midnight, tokyo.Lon);
    const TListSky sky(tokyo, midnight, 9.0);
    EXPECT_NEAR(sky.NightStart(), 61382.0 + 3.0 / 24 - 0.0, 1e-9); // local noon = 03:00 UT
    const TListSky::TResult r = sky.Evaluate(ra, 20 * kDeg);
    ASSERT_TRUE(r.HasBest);
    // Within the sampling step and the shift from J2000 to the date.
    EXPECT_NEAR((r.BestMjd - midnight) * 1440, 0, 15);
    EXPECT_NEAR(r.BestAlt / kDeg, 90 - (35.68333 - 20), 0.5);
    EXPECT_NEAR(r.AltNow / kDeg, 90 - (35.68333 - 20), 0.5);

    // Twelve hours of right ascension away it culminates at noon: its best
    // dark moment is at an end of the night, low, and it is down now.
    const TListSky::TResult day = sky.Evaluate(std::fmod(ra + M_PI, 2 * M_PI), 20 * kDeg);
    EXPECT_LT(day.AltNow, 0);
    ASSERT_TRUE(day.HasBest);
    EXPECT_GT(std::fabs(day.BestMjd - midnight) * 24, 4);
    // Never above Tokyo's horizon.
    EXPECT_FALSE(sky.Evaluate(ra, -70 * kDeg).HasBest);
}

TEST(ListSky, MidnightSunGivesNoBestTime) {
    // Tromsoe in June: the Sun does not set, so nothing has a dark moment.
    const TLocation tromso = Site(18.96, 69.65);
    const TListSky sky(tromso, 61208.0 + 22.0 / 24, 2.0); // 2026-06-17
    EXPECT_FALSE(sky.Evaluate(0, 60 * kDeg).HasBest);
    // In December the same star has one.
    const TListSky winter(tromso, 61382.0 + 22.0 / 24, 1.0);
    EXPECT_TRUE(winter.Evaluate(0, 60 * kDeg).HasBest);
}
