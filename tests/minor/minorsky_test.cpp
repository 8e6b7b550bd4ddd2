// What the charts are handed: the bodies brighter than a limit, a comet's tail, a track
// with its date ticks, the switch's side file, and a read stopped when the window closes.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "astro/Clssun.h"
#include "minor/Minorlist.h"
#include "minor/Minorplace.h"
#include "minor/Minorsettings.h"
#include "minor/Minorsky.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

TMinorBody Body(const char* name, bool comet, double q, double e, double i, double node,
                double peri, double T, double h) {
    TMinorBody b;
    b.Name = name;
    b.Comet = comet;
    b.q = q;
    b.e = e;
    b.i = i * kDeg;
    b.Node = node * kDeg;
    b.Peri = peri * kDeg;
    b.T = T;
    b.Epoch = T;
    b.HasMag = true;
    if (comet) {
        b.M1 = h;
        b.K1 = 10.0;
        b.Designation = std::string("C/") + name;
    } else {
        b.H = h;
    }
    return b;
}

void Unit(double ra, double dec, double (&v)[3]) {
    v[0] = std::cos(dec) * std::cos(ra);
    v[1] = std::cos(dec) * std::sin(ra);
    v[2] = std::sin(dec);
}

TMinorList Sky() {
    TMinorList list;
    list.Bodies.push_back(Body("Vesta", false, 2.1497, 0.0894, 7.144, 103.70, 151.53, 61300.0, 3.2));
    list.Bodies.push_back(Body("Faint", false, 2.5, 0.1, 5.0, 80.0, 70.0, 61300.0, 18.0));
    // A bright comet near perihelion: a long tail.
    list.Bodies.push_back(Body("2026 X1", true, 0.6, 0.999, 60.0, 20.0, 100.0, 61390.0, 5.0));
    return list;
}

} // namespace

TEST(MinorSky, TheBrightOnesBrightestFirstAndALowerLimitFiltersWithoutPlacingAgain) {
    const TMinorList list = Sky();
    TMinorSky sky;
    const double mjd = 61382.0; // 2026-12-08
    sky.Update(&list, mjd, 12.0);
    ASSERT_EQ(sky.Marks.size(), 2u); // the H 18 body is far too faint
    EXPECT_LE(sky.Marks[0].Mag, sky.Marks[1].Mag);
    for (const TMinorSky::TMark& m : sky.Marks) {
        TMinorPlace p;
        p.Compute(list.Bodies[m.Index], mjd);
        EXPECT_DOUBLE_EQ(m.Mag, p.Mag);
        EXPECT_DOUBLE_EQ(m.Ra, p.Ra);
        EXPECT_EQ(m.Label, m.Comet ? "C/2026 X1" : "Vesta");
    }
    // Vesta is never fainter than about 8.5: a limit of 3 leaves the comet or nothing.
    const double cometMag = sky.Marks[0].Comet ? sky.Marks[0].Mag : sky.Marks[1].Mag;
    const int placed = sky.Placed;
    sky.Update(&list, mjd, std::floor(cometMag) + 0.99);
    EXPECT_EQ(sky.Placed, placed);
    for (const TMinorSky::TMark& m : sky.Marks) EXPECT_TRUE(m.Comet);
    // A fainter limit than the last, or another moment, places them again: the bound lets
    // the faint body through at magnitude 30.
    sky.Update(&list, mjd, 30.0);
    EXPECT_EQ(sky.Marks.size(), 3u);
    EXPECT_EQ(sky.Placed, 3);
    sky.Update(&list, mjd + 1, 12.0);
    EXPECT_EQ(sky.Marks.size(), 2u);
    EXPECT_EQ(sky.Placed, 2); // the bound keeps the H 18 body out without placing it
}

TEST(MinorSky, ATailLiesOnTheGreatCircleFromTheSunThroughTheHeadAndAwayFromIt) {
    const TMinorList list = Sky();
    for (double mjd : {61340.0, 61382.0, 61390.0, 61430.0}) {
        TMinorPlace p;
        p.Compute(list.Bodies[2], mjd);
        ASSERT_TRUE(p.Valid);
        ASSERT_GT(p.TailAu, 0.0);
        TSun sun;
        sun.SetMjd(mjd);
        double s[3], h[3], t[3];
        Unit(sun.Ra, sun.Dec, s);
        Unit(p.Ra, p.Dec, h);
        Unit(p.TailRa, p.TailDec, t);
        // The Sun, the comet and its tail lie in one plane with the Earth.
        const double n[3] = {s[1] * h[2] - s[2] * h[1], s[2] * h[0] - s[0] * h[2],
                             s[0] * h[1] - s[1] * h[0]};
        const double nn = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        const double off = (n[0] * t[0] + n[1] * t[1] + n[2] * t[2]) / nn;
        // The Sun of the chart carries its own aberration and light time (20").
        EXPECT_LT(std::fabs(off), 1e-4) << mjd;
        const double dot = [&] { return s[0] * t[0] + s[1] * t[1] + s[2] * t[2]; }();
        const double dotH = s[0] * h[0] + s[1] * h[1] + s[2] * h[2];
        EXPECT_LT(dot, dotH) << "the tail end is farther from the Sun than the head, " << mjd;
    }
    // An asteroid has none.
    TMinorPlace a;
    a.Compute(list.Bodies[0], 61382.0);
    EXPECT_EQ(a.TailAu, 0.0);
    EXPECT_EQ(a.TailRa, a.Ra);
}

TEST(MinorSky, ATrackRunsInTimeWithItsDateTicksAtMidnight) {
    const TMinorList list = Sky();
    EXPECT_EQ(TMinorSky::TickDays(3), 1);
    EXPECT_EQ(TMinorSky::TickDays(15), 2);
    EXPECT_EQ(TMinorSky::TickDays(40), 5);
    EXPECT_EQ(TMinorSky::TickDays(300), 30);
    // 2026-12-08 07:12 UT, 15 days each way, a tick every 2 days on even MJDs: from
    // MJD 61368 (2026-11-24) to 61396 (2026-12-22).
    const auto track = TMinorSky::Track(list.Bodies[0], 61382.3, 15.0, 60, 2);
    std::vector<std::string> ticks;
    for (std::size_t k = 0; k < track.size(); ++k) {
        if (k > 0) EXPECT_GT(track[k].Mjd, track[k - 1].Mjd);
        if (!track[k].Tick.empty()) {
            EXPECT_EQ(std::fmod(track[k].Mjd, 2.0), 0.0);
            ticks.push_back(track[k].Tick);
        }
    }
    ASSERT_EQ(ticks.size(), 15u);
    EXPECT_EQ(ticks.front(), "11-24");
    EXPECT_EQ(ticks[4], "12-02");
    EXPECT_EQ(ticks.back(), "12-22");
    EXPECT_EQ(track.size(), 61u + 15u);
    EXPECT_NEAR(track.front().Mjd, 61367.3, 1e-9);
    // Vesta moves less than a degree a day.
    for (std::size_t k = 1; k < track.size(); ++k)
        EXPECT_LT(std::fabs(track[k].Dec - track[k - 1].Dec), 1.0 * kDeg);
}

TEST(MinorSettings, KeptAndReadBackAndNonsenseLeftAtTheDefault) {
    TMinorSettings s;
    s.Show = false;
    s.Url = "http://127.0.0.1:8080/CometEls.txt";
    s.TrackDays = 40;
    TMinorSettings r;
    r.FromText(s.ToText());
    EXPECT_FALSE(r.Show);
    EXPECT_EQ(r.Url, s.Url);
    EXPECT_EQ(r.TrackDays, 40);

    TMinorSettings bad;
    bad.FromText("show=maybe\r\nurl=file:///etc/passwd\nurl=http://a b\ntrack-days=0\n"
                 "track-days=9x\ntrack-days=99999999999999\n=\nnonsense\n");
    const TMinorSettings def;
    EXPECT_EQ(bad.Show, def.Show);
    EXPECT_EQ(bad.Url, def.Url);
    EXPECT_EQ(bad.TrackDays, def.TrackDays);
}

TEST(MinorList, AReadStopsWhenCancelled) {
    const std::string dir = testing::TempDir() + "quenlira-minor-cancel";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/CometEls.txt")
        << "0001P         1986 02  9.4589  0.585978  0.967143  111.8657   58.8601  162.2422  "
           "20250621   4.0  6.0  1P/Halley                                                MPC 75324\n";
    TMinorList open;
    open.AddFolder(dir);
    EXPECT_EQ(open.Bodies.size(), 1u);
    std::atomic<bool> cancel{true};
    TMinorList closing;
    closing.Cancel = &cancel;
    closing.AddFolder(dir);
    EXPECT_TRUE(closing.Bodies.empty());
    EXPECT_FALSE(closing.AddFile(dir + "/CometEls.txt"));
    ASSERT_FALSE(closing.Errors.empty());
    EXPECT_NE(closing.Errors.back().find("cancelled"), std::string::npos);
}
