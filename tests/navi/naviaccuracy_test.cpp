// How far the navigation's readings can be off, against a simulated mount with
// its own polar-axis tilt whose circles are read as a person reads them (whole
// minutes, tenths of a degree). For stars spread wide, two stars close
// together and a single star, over targets all around the sky and mounts
// tilted every way, the shown bound must never be smaller than the true error
// of the shown (rounded) readings; and the warnings before a star is taken
// must come for close stars and stars below the horizon.
#include "Simmount.h"

#include "astro/Clslocation.h"
#include "navi/Naviaccuracy.h"
#include "navi/Navistars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using sim::kDeg;
constexpr double kT = 61381.85; // 2026-12-07 20:24 UT
constexpr double kMinute = 1.0 / 1440.0;

struct Sight {
    const char* name;
    double az, alt;   // degrees, where the star stands when it is sighted
    double minutes;   // sighted this many minutes before kT
};

class Accuracy : public ::testing::Test {
protected:
    // The place of date (no refraction) of what is seen at (az, alt) at t.
    void PlaceAt(double az, double alt, double t, double& ra, double& dec) const {
        double ha, sdec;
        sim::HorizonToEquator(site.Lat, az * kDeg, alt * kDeg, ha, sdec);
        const double sra = site.SiderealTime(t) - ha;
        ra = sra, dec = sdec;
        for (int i = 0; i < 30; ++i) { // undo refraction
            double r, d;
            TNaviStars::Apparent(site, t, ra, dec, r, d);
            ra += sim::RaDiff(sra, r);
            dec += sdec - d;
        }
        ra = TNaviStars::Wrap(ra);
    }
    // What the mount's circles read on the place of date (ra, dec) at t.
    void Circles(const sim::Mount& m, double ra, double dec, double t, double& cRa,
                 double& cDc) const {
        double sra, sdc;
        TNaviStars::Apparent(site, t, ra, dec, sra, sdc);
        m.Read(t, sra, sdc, cRa, cDc);
    }
    // Stars centred on the mount and their circles read to the minute and
    // the tenth of a degree, as the inputs take them.
    TNaviStars Sighted(const sim::Mount& m, const std::vector<Sight>& sights) const {
        TNaviStars s;
        for (const Sight& g : sights) {
            const double t = kT - g.minutes * kMinute;
            double ra, dec, cRa, cDc;
            PlaceAt(g.az, g.alt, t, ra, dec);
            Circles(m, ra, dec, t, cRa, cDc);
            const double readRa = std::fmod(std::round(cRa / kDeg * 4.0), 1440.0) / 4.0 * kDeg;
            const double readDc = std::round(cDc / kDeg * 10.0) / 10.0 * kDeg;
            std::string name = g.name;
            EXPECT_EQ(s.Add(site, name, ra, dec, t, readRa, readDc), TNaviStars::Added);
        }
        return s;
    }
    // Over targets all around the sky above 10 degrees: the largest true error
    // of the shown readings, and the smallest bound shown; every bound must
    // hold for its own target.
    void Check(const sim::Mount& m, const TNaviStars& s, double& worstError, double& worstBound,
               double& bestBound) const {
        Walk(m, s, worstError, worstBound, bestBound);
        std::printf("%d star(s): largest true error %.3f deg, bound %.3f to %.3f deg\n", s.Count,
                    worstError / kDeg, bestBound / kDeg, worstBound / kDeg);
    }
    void Walk(const sim::Mount& m, const TNaviStars& s, double& worstError, double& worstBound,
              double& bestBound) const {
        worstError = 0, worstBound = 0, bestBound = 1e9;
        for (double az = 0; az < 360; az += 30) {
            for (double alt = 12; alt < 89; alt += 15) {
                double ra, dec;
                PlaceAt(az, alt, kT, ra, dec);
                double dRa, dDc, bound;
                std::string note;
                ASSERT_TRUE(s.Dial(site, ra, dec, kT, dRa, dDc));
                ASSERT_TRUE(TNaviAccuracy::Estimate(s, site, ra, dec, kT, bound, note)) << note;
                // As shown: whole minutes, hundredths of a degree.
                const double shownRa = std::round(dRa / kDeg * 4.0) / 4.0 * kDeg;
                const double shownDc = std::round(dDc / kDeg * 100.0) / 100.0 * kDeg;
                double cRa, cDc;
                Circles(m, ra, dec, kT, cRa, cDc);
                const double error = TNaviAccuracy::Separation(shownRa, shownDc, cRa, cDc);
                EXPECT_LE(error, bound) << "target az " << az << " alt " << alt << ": off by "
                                        << error / kDeg << " deg, bound " << bound / kDeg;
                worstError = std::max(worstError, error);
                worstBound = std::max(worstBound, bound);
                bestBound = std::min(bestBound, bound);
            }
        }
    }
    // Mounts whose polar axis is 2 to 3 degrees off, towards every side.
    std::vector<sim::Mount> Mounts() const {
        std::vector<sim::Mount> out;
        const double tilts[][2] = {{2.0, 0.0}, {2.5, 90.0}, {3.0, 200.0}, {2.2, 300.0}};
        for (const auto& [tilt, towards] : tilts) {
            // The axis tilt away from the pole by `tilt` towards the azimuth-like angle `towards`.
            const double az = tilt * std::sin(towards * kDeg) / std::cos(site.Lat);
            const double alt = site.Lat / kDeg + tilt * std::cos(towards * kDeg);
            out.emplace_back(site.Lat, az * kDeg, alt * kDeg, 1.0 + towards * 0.01,
                             site.SiderealTime(kT), kT);
        }
        return out;
    }
    TLocation site;
};

} // namespace

TEST_F(Accuracy, StarsSpreadWideGiveASmallBoundThatHolds) {
    for (const sim::Mount& m : Mounts()) {
        const TNaviStars s =
            Sighted(m, {{"Vega", 60, 40, 25}, {"Capella", 180, 55, 12}, {"Deneb", 290, 30, 4}});
        double error, worst, best;
        Check(m, s, error, worst, best);
        // The rounding alone puts the readings a tenth of a degree or so off;
        // the bound says so without crying wolf.
        EXPECT_GT(error, 0.03 * kDeg);
        EXPECT_LT(worst, 1.0 * kDeg);
    }
}

TEST_F(Accuracy, TwoStarsCloseTogetherGiveALargeBoundThatHolds) {
    // 2 degrees apart: the readings were off by about 2 degrees without a word.
    for (const sim::Mount& m : Mounts()) {
        const TNaviStars s = Sighted(m, {{"Mizar", 120, 45, 10}, {"Alkaid", 122.83, 45, 10}});
        ASSERT_NEAR(TNaviAccuracy::Separation(s.Stars[0].CatRa, s.Stars[0].CatDc,
                                              s.Stars[1].CatRa, s.Stars[1].CatDc) / kDeg,
                    2.0, 0.05);
        double error, worst, best;
        Check(m, s, error, worst, best);
        // Small near the two stars, large away from them, as it should be.
        EXPECT_GT(worst, 3.0 * kDeg);
        EXPECT_GT(error, 0.5 * kDeg);
        double ra, dec, bound;
        std::string note;
        PlaceAt(300, 40, kT, ra, dec);
        ASSERT_TRUE(TNaviAccuracy::Estimate(s, site, ra, dec, kT, bound, note));
        if (bound > TNaviAccuracy::kUseless) {
            EXPECT_NE(note.find("add a reference star"), std::string::npos) << note;
        }
    }
}

TEST_F(Accuracy, OneStarBoundHoldsForAMountTiltedUpToThreeDegrees) {
    for (const sim::Mount& m : Mounts()) {
        for (const Sight& star : {Sight{"Altair", 150, 40, 15}, Sight{"Polaris-ish", 10, 70, 5}}) {
            const TNaviStars s = Sighted(m, {star});
            double error, worst, best;
            Check(m, s, error, worst, best);
            // A tilt of 2 to 3 degrees shows in the readings.
            EXPECT_GT(error, 1.0 * kDeg) << star.name;
        }
    }
    double ra, dec, bound;
    std::string note;
    const TNaviStars s = Sighted(Mounts()[0], {{"Altair", 150, 40, 15}});
    PlaceAt(100, 30, kT, ra, dec);
    ASSERT_TRUE(TNaviAccuracy::Estimate(s, site, ra, dec, kT, bound, note));
    EXPECT_NE(note.find("within 3\xC2\xB0 of the pole"), std::string::npos) << note;
}

TEST_F(Accuracy, NoReadingsComeWithTheReason) {
    double ra, dec, bound;
    std::string note;
    PlaceAt(100, 30, kT, ra, dec);
    TNaviStars none;
    EXPECT_FALSE(TNaviAccuracy::Estimate(none, site, ra, dec, kT, bound, note));
    EXPECT_NE(note.find("No reference star"), std::string::npos) << note;

    // Two readings of one place: no plane, no axis.
    TNaviStars same;
    std::string a = "A", b = "B";
    same.Add(site, a, 1.0, 0.5, kT, 2.0, 0.5);
    same.Add(site, b, 1.0, 0.5, kT, 2.0, 0.5);
    EXPECT_FALSE(TNaviAccuracy::Estimate(same, site, ra, dec, kT, bound, note));
    EXPECT_NE(note.find("too close together"), std::string::npos) << note;
    EXPECT_EQ(TNaviAccuracy::Text(false, 0, note), note);

    // 0.05 degrees apart: whatever comes out is far too uncertain, and says so.
    const sim::Mount& m = Mounts()[1];
    const TNaviStars close = Sighted(m, {{"Mizar", 120, 45, 10}, {"Alcor", 120.07, 45, 10}});
    const bool known = TNaviAccuracy::Estimate(close, site, ra, dec, kT, bound, note);
    EXPECT_FALSE(note.empty());
    if (known) {
        EXPECT_GT(bound, TNaviAccuracy::kUseless);
    }
    const std::string text = TNaviAccuracy::Text(known, bound, note);
    EXPECT_NE(text.find("close together"), std::string::npos) << text;
}

TEST_F(Accuracy, StarsCloseTogetherOrBelowTheHorizonAreWarnedOf) {
    const sim::Mount& m = Mounts()[0];
    const TNaviStars s = Sighted(m, {{"Mizar", 120, 45, 10}});
    // The candidates where they stood when Mizar was sighted.
    const double t = kT - 10 * kMinute;
    double ra, dec;
    PlaceAt(122.83, 45, t, ra, dec);
    std::string w = TNaviAccuracy::Warnings(s, site, "Alkaid", ra, dec, kT);
    EXPECT_NE(w.find("Alkaid is only 2.0\xC2\xB0 from Mizar"), std::string::npos) << w;
    PlaceAt(120.07, 45, t, ra, dec);
    w = TNaviAccuracy::Warnings(s, site, "Alcor", ra, dec, kT);
    EXPECT_NE(w.find("only 0.05\xC2\xB0 from Mizar"), std::string::npos) << w;

    // Far enough: nothing to say.
    PlaceAt(250, 50, kT, ra, dec);
    EXPECT_EQ(TNaviAccuracy::Warnings(s, site, "Arcturus", ra, dec, kT), "");

    // 53 degrees below the horizon (worked out from the place itself).
    PlaceAt(200, -53, kT, ra, dec);
    double az, alt;
    site.AziAlt(kT, ra, dec, az, alt);
    ASSERT_NEAR(alt / kDeg, -53, 0.01);
    w = TNaviAccuracy::Warnings(s, site, "Canopus", ra, dec, kT);
    EXPECT_NE(w.find("Canopus is 53\xC2\xB0 below the horizon"), std::string::npos) << w;
    // Just above it: no warning.
    PlaceAt(200, 2, kT, ra, dec);
    EXPECT_EQ(TNaviAccuracy::Warnings(s, site, "Canopus", ra, dec, kT), "");
}
