// Site, horizon, refraction and parallax checked against the IAU's ERFA
// routines, standard unit conversions and published refraction formulae.

#include <gtest/gtest.h>

#include <erfa.h>

#include <cmath>
#include <numbers>

#include "astro/Clslocation.h"
#include "astro/Clsmjd.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDeg = kPi / 180.0;
constexpr double kArcSec = kDeg / 3600.0;

double angleDiff(double a, double b) {
    return std::remainder(a - b, kTwoPi);
}

} // namespace

TEST(LocationUnits, DefaultsAndConversions) {
    // 1 ft = 0.3048 m, 1 inHg = 33.8639 hPa, 1 mmHg = 1.333224 hPa; the site's
    // factors are rounded to about 1e-4.
    TLocation s;
    EXPECT_NEAR(s.GetFeet(), 50.0 / 0.3048, 1e-3);
    EXPECT_DOUBLE_EQ(s.GetTempF(), 68.0);
    EXPECT_NEAR(s.GetIHG(), 1000.0 / 33.8639, 5e-3);
    EXPECT_NEAR(s.GetMHG(), 1000.0 / 1.333224, 1e-2);
    EXPECT_NEAR(s.Lat, 35.5 * kDeg, 1e-15);
    s.SetFeet(1000.0);
    EXPECT_NEAR(s.GetMeter(), 304.8, 1e-3);
    EXPECT_NEAR(s.HeightR * 6378.0, 0.3048, 1e-3);
    s.SetTempF(212.0);
    EXPECT_NEAR(s.GetTempC(), 100.0, 1e-12);
    s.SetIHG(29.92);
    EXPECT_NEAR(s.GetMHG(), 760.0, 0.15);
    s.SetMHG(760.0);
    EXPECT_NEAR(s.GetHPA(), 1013.25, 0.01);
    EXPECT_NEAR(s.GetIHG(), 29.92, 0.005);
}

TEST(LocationRange, ReducesByWholePeriods) {
    EXPECT_DOUBLE_EQ(TLocation::range(0.0, kTwoPi, -0.1), kTwoPi - 0.1);
    EXPECT_DOUBLE_EQ(TLocation::range(0.0, kTwoPi, kTwoPi), 0.0);
    EXPECT_NEAR(TLocation::range(0.0, kTwoPi, -7.0 * kPi), kPi, 1e-12);
    EXPECT_NEAR(TLocation::range(-kPi, kPi, 3.0 * kPi + 0.5), -kPi + 0.5, 1e-12);
    EXPECT_NEAR(TLocation::range(10.0, 20.0, 1234.5), 14.5, 1e-9);
    // Never the upper end, even for values a rounding error below a period.
    for (double x : {-1e-18, -1e-300, 4.0 * kPi - 1e-16}) {
        const double r = TLocation::range(0.0, kTwoPi, x);
        EXPECT_GE(r, 0.0);
        EXPECT_LT(r, kTwoPi);
    }
}

// ---------------------------------------------------------------------------
// Horizontal coordinates

TEST(LocationHorizon, AgreesWithErfa) {
    TLocation s;
    for (double lat : {35.5, -33.9, 0.0, 66.0, 89.0}) {
        s.Lat = lat * kDeg; // also checks that the cached sines follow Lat
        for (double ha = 0.05; ha < kTwoPi; ha += 0.37) {
            for (double dec = -1.5; dec <= 1.5; dec += 0.29) {
                const double lst = 2.0, ra = lst - ha;
                double az, alt, refAz, refAlt;
                s.AziAlt2(lst, ra, dec, az, alt);
                eraHd2ae(ha, dec, s.Lat, &refAz, &refAlt);
                ASSERT_NEAR(alt, refAlt, 1e-12) << lat << " " << ha << " " << dec;
                ASSERT_NEAR(angleDiff(az, refAz), 0.0, 1e-9) << lat << " " << ha << " " << dec;
                // And back to the equator (ERFA gives the hour angle).
                const double mjd = 60000.3;
                double a2, h2, ra2, dec2;
                s.AziAlt(mjd, ra, dec, a2, h2);
                s.AziAlt2RaDc(mjd, a2, h2, ra2, dec2);
                ASSERT_NEAR(dec2, dec, 1e-9);
                ASSERT_NEAR(angleDiff(ra2, ra), 0.0, 1e-9 / std::max(std::cos(dec), 1e-3));
                ASSERT_GE(ra2, 0.0);
                ASSERT_LT(ra2, kTwoPi);
                double refHa, refDec;
                eraAe2hd(a2, h2, s.Lat, &refHa, &refDec);
                ASSERT_NEAR(angleDiff(s.SiderealTime(mjd) - ra2, refHa), 0.0,
                            1e-9 / std::max(std::cos(dec), 1e-3));
            }
        }
    }
}

TEST(LocationHorizon, SiderealTimeFromMjdFollowsErfa) {
    // Mean sidereal time with a rounded rate: within about 1 s of the IAU 1982
    // mean sidereal time in 1950-2050.
    TLocation s;
    s.Lon = -71.0833 * kDeg;
    for (double mjd = 33282.0; mjd < 69807.0; mjd += 101.3) {
        const double ref = eraAnp(eraGmst82(2400000.5, mjd) + s.Lon);
        ASSERT_NEAR(angleDiff(s.SiderealTime(mjd), ref), 0.0, 1.5 * kTwoPi / 86400.0);
    }
}

TEST(LocationHorizon, MeridianZenithAndPoles) {
    TLocation s;
    double az, alt;
    // On the meridian south of the zenith: azimuth pi, altitude 90 - lat + dec.
    s.AziAlt2(1.0, 1.0, 0.2, az, alt);
    EXPECT_DOUBLE_EQ(az, kPi);
    EXPECT_NEAR(alt, kPi / 2.0 - s.Lat + 0.2, 1e-12);
    // North of the zenith: azimuth 0 (acos near 1 magnifies rounding).
    s.AziAlt2(1.0, 1.0, 1.2, az, alt);
    EXPECT_NEAR(az, 0.0, 1e-7);
    // In the zenith: a finite azimuth, altitude 90.
    s.AziAlt2(1.0, 1.0, s.Lat, az, alt);
    EXPECT_TRUE(std::isfinite(az));
    EXPECT_NEAR(alt, kPi / 2.0, 1e-7);
    // At the pole: altitude = declination, azimuth finite.
    s.Lat = kPi / 2.0;
    s.AziAlt2(1.0, 3.0, 0.4, az, alt);
    EXPECT_NEAR(alt, 0.4, 1e-12);
    EXPECT_TRUE(std::isfinite(az));
    // Horizontal to equatorial in the zenith and the nadir.
    s.Lat = 0.6;
    double ra, dec;
    s.AziAlt2RaDc(51544.0, 1.0, kPi / 2.0, ra, dec);
    EXPECT_NEAR(dec, 0.6, 1e-9);
    EXPECT_NEAR(angleDiff(ra, s.SiderealTime(51544.0)), 0.0, 1e-9);
    s.AziAlt2RaDc(51544.0, 1.0, -kPi / 2.0, ra, dec);
    EXPECT_NEAR(dec, -0.6, 1e-9);
    // The celestial pole: azimuth 0 at altitude = latitude.
    s.AziAlt2RaDc(51544.0, 0.0, 0.6, ra, dec);
    EXPECT_DOUBLE_EQ(dec, kPi / 2.0);
}

// On the horizon of a site on the equator the east-west component of the
// direction is exactly zero; the east point must still come out east (hour
// angle -6 h), not as the west point twelve hours away.
TEST(LocationHorizon, HorizonPointsOfAnEquatorSite) {
    TLocation s;
    s.Lat = 0.0;
    const double mjd = 60000.3;
    const double lst = s.SiderealTime(mjd);
    for (double az : {kPi / 2.0, 3.0 * kPi / 2.0, 1.0, 4.0}) {
        double ra, dec, refHa, refDec;
        s.AziAlt2RaDc(mjd, az, 0.0, ra, dec);
        eraAe2hd(az, 0.0, 0.0, &refHa, &refDec);
        EXPECT_NEAR(angleDiff(lst - ra, refHa), 0.0, 1e-9) << az;
        EXPECT_NEAR(dec, refDec, 1e-9) << az;
    }
    double ra, dec;
    s.AziAlt2RaDc(mjd, kPi / 2.0, 0.0, ra, dec);
    EXPECT_NEAR(angleDiff(ra, lst + kPi / 2.0), 0.0, 1e-9); // rising due east
    EXPECT_NEAR(dec, 0.0, 1e-12);
}

// ---------------------------------------------------------------------------
// Refraction

TEST(LocationRefraction, WorkedValuesAndFormulae) {
    TLocation s;
    EXPECT_NEAR((s.Refract(0.0)) / kDeg, 159.4 / 293.0, 1e-12); // 32.64'
    EXPECT_DOUBLE_EQ(s.Refract(-6.0 * kDeg), -6.0 * kDeg);
    EXPECT_DOUBLE_EQ(s.Refract(-5.0 * kDeg), -5.0 * kDeg);
    // At 15 degrees the tangent form holds.
    EXPECT_NEAR(s.Refract(15.0 * kDeg) - 15.0 * kDeg,
                7.888888e-5 * 1000.0 / (293.0 * std::tan(15.0 * kDeg)), 1e-15);
    // High altitudes: 58.294" tan z - 0.0668" tan^3 z at 1010 hPa and 10 C,
    // scaled to 1000 hPa and 20 C.
    const double scale = (1000.0 / 1010.0) * (283.0 / 293.0);
    for (double h = 30.0; h < 89.5; h += 4.0) {
        const double tz = 1.0 / std::tan(h * kDeg);
        const double ref = (58.294 * tz - 0.0668 * tz * tz * tz) * scale;
        EXPECT_NEAR((s.Refract(h * kDeg) - h * kDeg) / kArcSec, ref, 0.5) << h;
    }
    // Low altitudes: Saemundsson's 1.02' cot(h + 10.3/(h + 5.11)), within 1.5'.
    for (double h = 2.0; h < 15.0; h += 1.0) {
        const double ref = 1.02 / std::tan((h + 10.3 / (h + 5.11)) * kDeg) * scale;
        EXPECT_NEAR((s.Refract(h * kDeg) - h * kDeg) / kDeg * 60.0, ref, 1.5) << h;
    }
    // Cold dense air bends more.
    s.SetTempC(-10.0);
    s.SetHPA(1030.0);
    EXPECT_NEAR(s.Refract(0.0) / kDeg, 1030.0 * 0.1594 / 263.0, 1e-12);
}

TEST(LocationRefraction, InverseReturnsTrueAltitude) {
    TLocation s;
    for (double h = -4.99; h < 89.9; h += 0.731) {
        const double back = s.RefractInv(s.Refract(h * kDeg));
        ASSERT_NEAR(back / kDeg, h, 1.2e-8) << h;
    }
    // Below -5 degrees nothing is added, so nothing is taken away.
    EXPECT_DOUBLE_EQ(s.RefractInv(-0.2), -0.2);
    EXPECT_TRUE(std::isfinite(s.RefractInv(kPi / 2.0)));
}

// ---------------------------------------------------------------------------
// Geocentric place of the site and parallax

TEST(LocationGeocentric, AgreesWithTheWgs84Ellipsoid) {
    TLocation s;
    for (double lat = -90.0; lat <= 90.0; lat += 7.5) {
        for (double h : {0.0, 1000.0, 4000.0}) {
            double xyz[3];
            ASSERT_EQ(eraGd2gc(1, 0.0, lat * kDeg, h, xyz), 0);
            const double refLat = std::atan2(xyz[2], xyz[0]);
            // The height term is linearised; 0.1" holds up to mountain heights.
            EXPECT_NEAR(s.GetChisinFai(lat * kDeg, h), refLat, 0.1 * kArcSec) << lat << " " << h;
            if (h == 0.0) {
                // A 1960s ellipsoid (a = 6378.16 km) against WGS84 (6378.137 km).
                EXPECT_NEAR(s.GetChisinDist(lat * kDeg), std::hypot(xyz[0], xyz[2]) / 1000.0, 0.03)
                    << lat;
            }
        }
    }
}

namespace {

// Topocentric place of a body by vectors: geocentric position minus the
// site's WGS84 position turned by the local sidereal time theta (the site's
// own, which is checked against ERFA above, so that its 1 s offset does not
// hide the geometry here).
void erfaTopocentric(double theta, double lat, double height, double ra, double dec, double distKm,
                     double& ra2, double& dec2, double& dist2) {
    double site[3];
    eraGd2gc(1, 0.0, lat, height, site);
    const double sx = site[0] / 1000.0 * std::cos(theta), sy = site[0] / 1000.0 * std::sin(theta),
                 sz = site[2] / 1000.0;
    double p[3];
    eraS2c(ra, dec, p);
    double q[3] = {p[0] * distKm - sx, p[1] * distKm - sy, p[2] * distKm - sz};
    eraP2s(q, &ra2, &dec2, &dist2);
}

} // namespace

TEST(LocationParallax, MoonAndMarsAgreeWithVectors) {
    // Mars as in Meeus' example 40.a and two Moon places, from Palomar (1706 m)
    // and from a site at sea level.
    struct Body {
        double ra, dec, km;
    } bodies[] = {{339.530208 * kDeg, -15.771083 * kDeg, 0.37276 * 149597870.7},
                  {1.2, 0.35, 384400.0},
                  {4.5, -0.45, 356500.0}};
    struct Site {
        double lat, lon, height;
    } sites[] = {{33.356, -116.8625, 1706.0}, {-29.26, 20.5, 0.0}};
    for (const auto& st : sites) {
        TLocation s;
        s.Lat = st.lat * kDeg;
        s.Lon = st.lon * kDeg;
        s.SetMeter(st.height);
        for (const auto& b : bodies) {
            for (double mjd = 52879.0; mjd < 52880.0; mjd += 0.09) {
                double ra2, dec2, d2, rRa, rDec, rD;
                s.Parallax(mjd, b.ra, b.dec, b.km, ra2, dec2, d2);
                erfaTopocentric(s.SiderealTime(mjd), s.Lat, s.Meter, b.ra, b.dec, b.km, rRa, rDec,
                                rD);
                // The ellipsoids differ by a few tens of metres; the site's distance
                // from the centre leaves out the height, which moves the body by at
                // most height / distance.
                const double angleTol = 0.1 * kArcSec + s.Meter / 1000.0 / b.km;
                ASSERT_NEAR(angleDiff(ra2, rRa) * std::cos(dec2), 0.0, angleTol) << mjd;
                ASSERT_NEAR(dec2, rDec, angleTol) << mjd;
                ASSERT_NEAR(d2, rD, 0.05 + s.Meter / 1000.0);
                ASSERT_GT(ra2, 0.0);
                ASSERT_LE(ra2, kTwoPi);
            }
        }
    }
}

TEST(LocationParallax, BodyOnTheSitesMeridianAtRaZero) {
    // Equatorial site whose sidereal time is exactly 0 at MJD 40000: a body at
    // ra 0 then lies straight above the site's meridian and y = 0 exactly.
    TLocation s;
    s.Lat = 0.0;
    s.Lon = kTwoPi - TMjd::MeanSiderealTime(40000.0);
    for (int i = 0; i < 200 && s.SiderealTime(40000.0) != 0.0; ++i) {
        s.Lon = std::nextafter(s.Lon, s.SiderealTime(40000.0) > kPi ? 10.0 : -10.0);
    }
    ASSERT_EQ(s.SiderealTime(40000.0), 0.0);
    const double r = 60.0 * 6378.16, dec = 0.3;
    double ra2, dec2, d2;
    s.Parallax(40000.0, 0.0, dec, r, ra2, dec2, d2);
    const double rho = s.GetChisinDist(0.0);
    EXPECT_NEAR(dec2, std::atan2(r * std::sin(dec), r * std::cos(dec) - rho), 1e-12);
    EXPECT_NEAR(angleDiff(ra2, 0.0), 0.0, 1e-15);
    EXPECT_NEAR(d2, std::hypot(r * std::sin(dec), r * std::cos(dec) - rho), 1e-6);
}
