// The night's times against ERFA: the Sun's and the Moon's apparent places
// (ERFA's Earth ephemeris, its Moon series and the IAU 2006/2000A frame),
// apparent sidereal time, and a root search written in the test, for five
// sites and ten dates, the polar day and night at Tromsø and the equator
// among them. Allowed: one minute.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "astro/Clslocation.h"
#include "plan/Clsnight.h"
#include "tests/plan/Ephemref.h"

namespace {

using ref::kDeg;
constexpr double kRefraction = 34.0 / 60.0 * kDeg;

struct SiteCase {
    const char* name;
    double lat, lon, zone;
};
const SiteCase kSites[] = {{"Tokyo", 35.6833, 139.5167, 9},
                           {"Greenwich", 51.4779, 0.0, 0},
                           {"Tromso", 69.6492, 18.9553, 1},
                           {"equator, Ecuador", 0.0, -78.45, -5},
                           {"Sydney", -33.8688, 151.2093, 10}};
struct Date {
    int y, m, d;
};
const Date kDates[] = {{2026, 1, 10}, {2026, 2, 20}, {2026, 3, 20}, {2026, 4, 15}, {2026, 5, 25},
                       {2026, 6, 21}, {2026, 8, 5},  {2026, 9, 23}, {2026, 10, 30}, {2026, 12, 21}};

const ref::Crossing* First(const std::vector<ref::Crossing>& cs, bool rising) {
    for (const auto& c : cs)
        if (c.rising == rising) return &c;
    return nullptr;
}

// One event of the night against the reference's first crossing of its kind.
void Check(const char* what, const TNight::TEvent& got, const std::vector<ref::Crossing>& cs,
           bool rising, const std::string& where, double& worst, int& count) {
    const ref::Crossing* want = First(cs, rising);
    ASSERT_EQ(got.Found, want != nullptr) << what << " " << where;
    if (!want) return;
    const double err = std::fabs(got.Mjd - want->mjd) * 86400.0;
    EXPECT_LT(err, 60.0) << what << " " << where;
    worst = std::max(worst, err);
    ++count;
}

} // namespace

TEST(Night, TwilightSunAndMoonAgreeWithErfa) {
    double worst = 0.0;
    int count = 0;
    for (const SiteCase& sc : kSites) {
        TLocation site;
        site.Lat = sc.lat * kDeg;
        site.Lon = sc.lon * kDeg;
        const ref::Site rs{site.Lat, site.Lon};
        for (const Date& dt : kDates) {
            TNight night;
            night.Compute(site, THorizon(), dt.y, dt.m, dt.d, sc.zone);
            double djm0, djm;
            eraCal2jd(dt.y, dt.m, dt.d, &djm0, &djm);
            const double start = djm + 0.5 - sc.zone / 24.0, end = start + 1.0;
            const ref::Frame frame(start + 0.5);
            const std::string where = std::string(sc.name) + " " + std::to_string(dt.y) + "-" +
                                      std::to_string(dt.m) + "-" + std::to_string(dt.d);

            auto sunAlt = [&](double m, double& semi) {
                double v[3];
                ref::Sun(frame, m, v);
                semi = std::asin(695700.0 / (ref::Length(v) * ref::kAuKm));
                return ref::Altitude(frame, rs, m, v, 0.0);
            };
            const auto riseSet = ref::Crossings(
                [&](double m) {
                    double semi;
                    const double h = sunAlt(m, semi);
                    return h + kRefraction + semi;
                },
                start, end);
            Check("sunset", night.Sunset, riseSet, false, where, worst, count);
            Check("sunrise", night.Sunrise, riseSet, true, where, worst, count);
            const TNight::TEvent* dusk[3] = {&night.CivilDusk, &night.NauticalDusk, &night.AstroDusk};
            const TNight::TEvent* dawn[3] = {&night.CivilDawn, &night.NauticalDawn, &night.AstroDawn};
            for (int k = 0; k < 3; ++k) {
                const double level = -6.0 * (k + 1) * kDeg;
                const auto cs = ref::Crossings(
                    [&](double m) {
                        double semi;
                        return sunAlt(m, semi) - level;
                    },
                    start, end);
                Check("dusk", *dusk[k], cs, false, where + " level " + std::to_string(k), worst, count);
                Check("dawn", *dawn[k], cs, true, where + " level " + std::to_string(k), worst, count);
            }
            const auto moon = ref::Crossings(
                [&](double m) {
                    double v[3];
                    ref::Moon(frame, m, v);
                    const double semi = std::asin(1737.4 / (ref::Length(v) * ref::kAuKm));
                    return ref::Altitude(frame, rs, m, v, ref::Length(v)) + kRefraction + semi;
                },
                start, end);
            Check("moonrise", night.Moonrise, moon, true, where, worst, count);
            Check("moonset", night.Moonset, moon, false, where, worst, count);
        }
    }
    std::printf("%d events compared, largest difference %.1f s\n", count, worst);
}

TEST(Night, PolarDayAndNightSaySo) {
    TLocation tromso;
    tromso.Lat = 69.6492 * kDeg;
    tromso.Lon = 18.9553 * kDeg;
    auto has = [](const TNight& n, const std::string& word) {
        return std::any_of(n.Notes.begin(), n.Notes.end(),
                           [&](const std::string& s) { return s.find(word) != std::string::npos; });
    };
    TNight june;
    june.Compute(tromso, THorizon(), 2026, 6, 21, 2);
    EXPECT_FALSE(june.Sunset.Found);
    EXPECT_FALSE(june.Sunrise.Found);
    EXPECT_FALSE(june.CivilDusk.Found);
    EXPECT_FALSE(june.HaveDark);
    EXPECT_TRUE(has(june, "polar day"));
    EXPECT_TRUE(has(june, "no dark window"));
    EXPECT_EQ(june.EventText(june.Sunset), "none");
    EXPECT_GT(june.DarkestSunAlt, 0.0); // the midnight Sun

    TNight december;
    december.Compute(tromso, THorizon(), 2026, 12, 21, 1);
    EXPECT_FALSE(december.Sunset.Found);
    EXPECT_TRUE(has(december, "polar night"));
    // Dark enough for the list all the same: astronomical night most of the day.
    EXPECT_TRUE(december.HaveDark);
    EXPECT_EQ(december.DarkKind, "astronomical");
    EXPECT_GT((december.DarkEnd - december.DarkStart) * 24.0, 12.0);

    // A white night further south: the Sun sets but it never gets dark.
    TLocation stockholm;
    stockholm.Lat = 59.33 * kDeg;
    stockholm.Lon = 18.07 * kDeg;
    TNight white;
    white.Compute(stockholm, THorizon(), 2026, 6, 21, 2);
    EXPECT_TRUE(white.Sunset.Found);
    EXPECT_TRUE(white.CivilDusk.Found);
    EXPECT_FALSE(white.NauticalDusk.Found);
    EXPECT_EQ(white.DarkKind, "civil");
    EXPECT_TRUE(has(white, "no nautical darkness"));
}

TEST(Night, DarkestMomentMoonPhaseAndMoonlessHours) {
    // Greenwich, 2026 January 3 is full Moon (10:03 UT) and January 18 new
    // Moon (19:52 UT) by the published phase tables.
    TLocation g;
    g.Lat = 51.4779 * kDeg;
    g.Lon = 0.0;
    TNight full, fresh;
    full.Compute(g, THorizon(), 2026, 1, 3, 0);
    fresh.Compute(g, THorizon(), 2026, 1, 18, 0);
    EXPECT_EQ(full.MoonPhase, "full");
    EXPECT_GT(full.MoonIllumination, 0.97);
    EXPECT_EQ(fresh.MoonPhase, "new");
    EXPECT_LT(fresh.MoonIllumination, 0.03);
    // Near full Moon the Moon is up through the dark; near new Moon it is not.
    EXPECT_LT(full.MoonlessHours, 1.0);
    EXPECT_NEAR(fresh.MoonlessHours, (fresh.DarkEnd - fresh.DarkStart) * 24.0, 0.05);
    // The darkest moment lies halfway between astronomical dusk and dawn to a
    // few minutes (the equation of time moves little in a night).
    EXPECT_NEAR(full.Darkest, 0.5 * (full.AstroDusk.Mjd + full.AstroDawn.Mjd), 5.0 / 1440.0);
    EXPECT_LT(full.DarkestSunAlt, -60.0 * kDeg);
}
