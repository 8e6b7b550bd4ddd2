// Best times, altitudes and risings over a horizon profile against ERFA:
// the J2000 places carried to the date with the IAU 2006/2000A frame,
// apparent sidereal time, and the test's own sampling and root search.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "astro/Clsmjd.h"
#include "plan/Clsplanner.h"
#include "plan/Clsskypass.h"
#include "tests/plan/Ephemref.h"

namespace {

using ref::kDeg;

double Hours(double h, double m, double s) {
    return (h + m / 60.0 + s / 3600.0) * 15.0 * kDeg;
}
double Degrees(double d, double m, double s) {
    const double v = std::fabs(d) + m / 60.0 + s / 3600.0;
    return (d < 0 ? -v : v) * kDeg;
}

struct Object {
    const char* name;
    double ra, dec; // J2000
};
// Places from the Hipparcos catalogue (stars) and SEDS (M31, M42).
const Object kObjects[] = {
    {"Vega", Hours(18, 36, 56.34), Degrees(38, 47, 1.3)},
    {"Betelgeuse", Hours(5, 55, 10.31), Degrees(7, 24, 25.4)},
    {"Sirius", Hours(6, 45, 8.92), Degrees(-16, 42, 58.0)},
    {"Polaris", Hours(2, 31, 49.09), Degrees(89, 15, 50.8)},
    {"Canopus", Hours(6, 23, 57.11), Degrees(-52, 41, 44.4)},
    {"M31", Hours(0, 42, 44.3), Degrees(41, 16, 9)},
    {"M42", Hours(5, 35, 17.3), Degrees(-5, 23, 28)},
    {"Altair", Hours(19, 50, 47.0), Degrees(8, 52, 6.0)},
    {"Achernar", Hours(1, 37, 42.85), Degrees(-57, 14, 12.3)},
    {"Regulus", Hours(10, 8, 22.31), Degrees(11, 58, 2.0)},
};

TLocation Site(double lat, double lon) {
    TLocation s;
    s.Lat = lat * kDeg;
    s.Lon = lon * kDeg;
    return s;
}

} // namespace

TEST(SkyPass, BestTimesAndAltitudesOfTenObjectsAgreeWithErfa) {
    // Tokyo on a December evening: objects that culminate in the dark window
    // (Betelgeuse, M42), before it (Vega, Altair), after it (Regulus), one
    // that stays up (Polaris), one that barely rises (Canopus) and one that
    // never does (Achernar).
    const TLocation site = Site(35.6833, 139.5167);
    TNight night;
    night.Compute(site, THorizon(), 2026, 12, 7, 9);
    ASSERT_TRUE(night.HaveDark);
    std::vector<TPlanner::TMarker> markers;
    for (const Object& o : kObjects)
        markers.push_back({o.name, o.ra, o.dec, static_cast<int>(markers.size())});
    TPlanner planner;
    planner.Build(night, nullptr, nullptr, nullptr, markers);

    const ref::Frame frame(night.Darkest);
    const ref::Site rs{site.Lat, site.Lon};
    double worstT = 0, worstA = 0;
    int checked = 0;
    for (const TPlanEntry& e : planner.Entries) {
        if (e.Kind != 7) continue;
        const Object& o = kObjects[e.Number];
        double v[3];
        ref::StarOfDate(frame, o.ra, o.dec, v);
        double bestM = night.DarkStart, bestA = -10.0;
        for (double m = night.DarkStart; m <= night.DarkEnd + 1e-9; m += 10.0 / 86400.0) {
            const double a = ref::Altitude(frame, rs, m, v, 0.0);
            if (a > bestA) {
                bestA = a;
                bestM = m;
            }
        }
        const double endA = ref::Altitude(frame, rs, night.DarkEnd, v, 0.0);
        if (endA > bestA) {
            bestA = endA;
            bestM = night.DarkEnd;
        }
        ASSERT_TRUE(e.Pass.HaveBest) << o.name;
        const double dt = std::fabs(e.Pass.BestMjd - bestM) * 1440.0;
        const double da = std::fabs(e.Pass.BestAlt - bestA) / kDeg;
        EXPECT_LT(dt, 2.0) << o.name;
        EXPECT_LT(da, 0.1) << o.name;
        worstT = std::max(worstT, dt);
        worstA = std::max(worstA, da);
        ++checked;
    }
    EXPECT_EQ(checked, 10);
    std::printf("ten objects: best time within %.2f min, altitude within %.4f deg\n", worstT, worstA);
    // The kinds of night the list tells apart.
    auto entry = [&](const char* name) {
        for (const TPlanEntry& e : planner.Entries)
            if (e.Name == name) return e;
        return TPlanEntry{};
    };
    EXPECT_EQ(entry("Polaris").Pass.Up, TSkyPass::AlwaysUp);
    EXPECT_EQ(entry("Achernar").Pass.Up, TSkyPass::NeverRises);
    EXPECT_EQ(entry("Sirius").Pass.Up, TSkyPass::Crosses);
}

TEST(SkyPass, WallInTheEastDelaysTheRisingByTheRightAmount) {
    // A 20-degree wall from azimuth 45 to 135 and open ground elsewhere. A
    // star on the equator rises in the east and has to climb over the wall:
    // it appears where its true altitude reaches 20 degrees less the
    // refraction there (Bennett: 2.703 arc minutes).
    THorizon wall;
    std::string error;
    ASSERT_TRUE(wall.Parse("0 0\n44.9 0\n45 20\n135 20\n135.1 0\n360 0\n", "wall.txt", error))
        << error;
    const TLocation site = Site(35.6833, 139.5167);
    TNight flatNight, wallNight;
    flatNight.Compute(site, THorizon(), 2026, 12, 7, 9);
    wallNight.Compute(site, wall, 2026, 12, 7, 9);
    const double ra2000 = Hours(5, 0, 0), dec2000 = 0.0;
    double ra, dec;
    TMjd::Epoch(ra2000, dec2000, TMjd::J2000, flatNight.Darkest, 0, 0, ra, dec);
    TSkyPass flat, walled;
    flat.Compute(flatNight, ra, dec);
    walled.Compute(wallNight, ra, dec);
    ASSERT_TRUE(flat.Rise.Found);
    ASSERT_TRUE(walled.Rise.Found);

    const ref::Frame frame(flatNight.Darkest);
    const ref::Site rs{site.Lat, site.Lon};
    double v[3];
    ref::StarOfDate(frame, ra2000, dec2000, v);
    auto rising = [&](double level) {
        const auto cs = ref::Crossings(
            [&](double m) { return ref::Altitude(frame, rs, m, v, 0.0) - level; },
            flatNight.Grid.Start, flatNight.Grid.End);
        for (const auto& c : cs)
            if (c.rising) return c.mjd;
        return 0.0;
    };
    const double wantFlat = rising(-34.0 / 60.0 * kDeg);
    const double wantWall = rising((20.0 - 2.703 / 60.0) * kDeg);
    EXPECT_NEAR((flat.Rise.Mjd - wantFlat) * 1440.0, 0.0, 1.0);
    EXPECT_NEAR((walled.Rise.Mjd - wantWall) * 1440.0, 0.0, 1.0);
    // About an hour and three quarters later at this latitude.
    const double delay = (walled.Rise.Mjd - flat.Rise.Mjd) * 1440.0;
    EXPECT_NEAR(delay, (wantWall - wantFlat) * 1440.0, 1.0);
    EXPECT_GT(delay, 90.0);
    // It sets in the west, where there is no wall: no change there.
    // (Open ground on the profile takes Bennett's 34.5' of refraction against
    // the flat horizon's 34': a few seconds.)
    EXPECT_NEAR((walled.Set.Mjd - flat.Set.Mjd) * 86400.0, 0.0, 5.0);
    std::printf("rise delayed by %.1f min (reference %.1f min)\n", delay,
                (wantWall - wantFlat) * 1440.0);
}

TEST(Planner, FiltersAndSortOrders) {
    const TLocation site = Site(35.6833, 139.5167);
    TNight night;
    night.Compute(site, THorizon(), 2026, 12, 7, 9);
    std::vector<TPlanner::TMarker> markers;
    for (const Object& o : kObjects)
        markers.push_back({o.name, o.ra, o.dec, static_cast<int>(markers.size())});
    TPlanner planner;
    planner.Build(night, nullptr, nullptr, nullptr, markers);
    TPlanFilter f;
    f.MinAltDeg = 30.0;
    f.Groups = {"marker"};
    const auto rows = planner.Select(f, TPlanner::Altitude, false);
    ASSERT_FALSE(rows.empty());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TPlanEntry& e = planner.Entries[rows[i]];
        EXPECT_EQ(e.Group, "marker");
        EXPECT_GE(e.Pass.BestAlt, 30.0 * kDeg);
        if (i > 0) {
            EXPECT_LE(e.Pass.BestAlt, planner.Entries[rows[i - 1]].Pass.BestAlt);
        }
    }
    // Canopus (under 2 degrees) and Achernar (never up) are left out.
    for (int r : rows)
        EXPECT_NE(planner.Entries[r].Name, "Canopus");
    // Planets pass a magnitude limit by their own magnitude; Neptune (7.8)
    // is out at 6, Jupiter in.
    TPlanFilter p;
    p.MinAltDeg = -90;
    p.MagLimit = 6.0;
    p.Groups = {"planet"};
    bool jupiter = false, neptune = false;
    for (int r : planner.Select(p, TPlanner::Name)) {
        jupiter |= planner.Entries[r].Name == "Jupiter";
        neptune |= planner.Entries[r].Name == "Neptune";
    }
    EXPECT_TRUE(jupiter);
    EXPECT_FALSE(neptune);
    // The list's Moon rises and sets when the night says it does.
    for (const TPlanEntry& e : planner.Entries) {
        if (e.Kind != 3 || e.Number != 9) continue;
        ASSERT_EQ(e.Pass.Rise.Found, night.Moonrise.Found);
        ASSERT_EQ(e.Pass.Set.Found, night.Moonset.Found);
        if (night.Moonrise.Found) {
            EXPECT_NEAR((e.Pass.Rise.Mjd - night.Moonrise.Mjd) * 86400.0, 0.0, 30.0);
        }
        if (night.Moonset.Found) {
            EXPECT_NEAR((e.Pass.Set.Mjd - night.Moonset.Mjd) * 86400.0, 0.0, 30.0);
        }
    }
}
