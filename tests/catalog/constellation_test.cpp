// The built-in constellation and Milky Way tables.
#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsmilky.h"

namespace {
constexpr double kDeg = M_PI / 180.0;
}

TEST(Constellation, NamesCarryTheSerpensPart) {
    TConstellation c;
    EXPECT_EQ(c.GetNameSciA(74), "Serpens(Caput)");
    EXPECT_EQ(c.GetNameSciA(89), "Serpens(Cauda)");
    EXPECT_EQ(c.GetNameJpnA(89), "へび(尾部)");
    EXPECT_EQ(c.GetNameJpnA(74), "へび(頭部)");
    EXPECT_EQ(c.GetNameSciA(60), "Orion");
    EXPECT_EQ(c.GetNameJpnA(60), "オリオン");
    EXPECT_STREQ(c.Rows[74].abbr, "Ser");
    EXPECT_STREQ(c.Rows[89].abbr, "Ser");
    EXPECT_STREQ(c.Rows[83].abbr, "UMa");
    EXPECT_STREQ(c.Rows[20].abbr, "CMa");

    // Row 0 is empty, and rows out of range give empty texts rather than garbage.
    EXPECT_EQ(c.GetNameSciA(0), "");
    EXPECT_EQ(c.GetNameJpnA(0), "");
    EXPECT_STREQ(c.Rows[0].abbr, "");
    EXPECT_EQ(c.Rows[0].ra, 0.0);
    EXPECT_EQ(c.GetNameSciA(90), "");
    EXPECT_EQ(c.GetNameSciA(-1), "");

    // The C forms share one buffer per function: the next call overwrites it.
    const char* p = c.GetNameSciC(74);
    EXPECT_STREQ(p, "Serpens(Caput)");
    EXPECT_STREQ(c.GetNameJpnC(36), "エリダヌス");
    EXPECT_STREQ(p, "Serpens(Caput)");
    c.GetNameSciC(1);
    EXPECT_STREQ(p, "Andromeda");
}

TEST(Constellation, LabelPositionsFromHoursMinutesAndDegrees) {
    EXPECT_NEAR(TConstellation::tim2deg(29), 7.25 * kDeg, 1e-12);
    EXPECT_NEAR(TConstellation::tim2deg(2330), 352.5 * kDeg, 1e-12);
    EXPECT_NEAR(TConstellation::tim2deg(1035), 158.75 * kDeg, 1e-12);
    TConstellation c;
    EXPECT_NEAR(c.Rows[14].ra, 7.25 * kDeg, 1e-12); // Cassiopeia 0029
    EXPECT_NEAR(c.Rows[84].dec, 82 * kDeg, 1e-12);  // Ursa Minor +82
    EXPECT_NEAR(c.Rows[58].dec, -77 * kDeg, 1e-12); // Octans -77
    EXPECT_NEAR(c.Rows[89].ra, 18.25 * 15 * kDeg, 1e-12);
}

TEST(Constellation, JapaneseOrderIsAPermutation) {
    TConstellation c;
    std::set<int> seen;
    for (int n = 1; n <= 89; ++n)
        seen.insert(c.GetJOrder(n));
    EXPECT_EQ(seen.size(), 89u);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 89);
    EXPECT_EQ(c.GetJOrder(1), 1);  // アンドロメダ comes first
    EXPECT_EQ(c.GetJOrder(4), 89); // わし last
}

TEST(Constellation, FigureSegmentsAreShortArcsOnTheSphere) {
    TConstellation c;
    ASSERT_EQ(c.LineCount, static_cast<int>(c.Lines.size()));
    EXPECT_GT(c.LineCount, 500);
    for (const TConstellationLine& l : c.Lines) {
        ASSERT_GE(l.ra1, 0.0);
        ASSERT_LT(l.ra1, 2 * M_PI);
        ASSERT_LE(std::fabs(l.dec1), M_PI / 2);
        double cosd = std::sin(l.dec1) * std::sin(l.dec2) +
                      std::cos(l.dec1) * std::cos(l.dec2) * std::cos(l.ra1 - l.ra2);
        // No figure line is longer than 45 degrees (Eridanus and Hydra have long
        // chains, but of short steps).
        EXPECT_GT(cosd, std::cos(45 * kDeg)) << l.ra1 << " " << l.dec1;
    }
    // The figures run in constellation order: the first belongs to Andromeda,
    // whose stars lie between RA 0h and 3h, Dec +20 and +55.
    EXPECT_LT(c.Lines[0].ra1, 3 * 15 * kDeg);
    EXPECT_GT(c.Lines[0].dec1, 20 * kDeg);
    EXPECT_LT(c.Lines[0].dec1, 55 * kDeg);
}

TEST(Milky, TwoClosedOutlinesAlongTheGalacticEquator) {
    TMilky m;
    ASSERT_EQ(m.Count[0], static_cast<int>(m.Outline[0].size()));
    ASSERT_EQ(m.Count[1], static_cast<int>(m.Outline[1].size()));
    EXPECT_NEAR(m.Count[0], 90, 10);
    EXPECT_NEAR(m.Count[1], 170, 10);
    // Galactic latitude from the IAU definition of the galactic pole (J2000:
    // RA 192.85948, Dec +27.12825). Outline 0 is the southern edge of the band,
    // outline 1 the northern one; neither strays far from the galactic equator.
    const double pra = 192.85948 * kDeg, pdec = 27.12825 * kDeg;
    for (int k = 0; k < 2; ++k) {
        double lo = 90, hi = -90, ra_span = 0, mean = 0;
        for (const TMilkyPoint& p : m.Outline[k]) {
            double b = std::asin(std::sin(p.dec) * std::sin(pdec) +
                                 std::cos(p.dec) * std::cos(pdec) * std::cos(p.ra - pra)) /
                       kDeg;
            mean += b / m.Count[k];
            lo = std::min(lo, b);
            hi = std::max(hi, b);
            ra_span = std::max(ra_span, p.ra);
        }
        EXPECT_GT(lo, -40) << k;
        EXPECT_LT(hi, 40) << k;
        EXPECT_GT(ra_span, 6.0) << k; // each edge runs round the whole sky
        EXPECT_LT(k == 0 ? mean : -mean, -3) << k;
    }
}

TEST(Milky, EdgesRunOppositeWaysRoundTheGalacticPole) {
    // The charts fill the band by walking the chart's border clockwise from
    // where an edge leaves it, which needs the southern edge to run eastwards
    // round the galactic pole (galactic longitude increasing) and the northern
    // edge westwards. Measured as the sum of the turns between neighbouring
    // vertices about the pole.
    TMilky m;
    const double pra = 192.85948 * kDeg, pdec = 27.12825 * kDeg;
    const double px = std::cos(pdec) * std::cos(pra), py = std::cos(pdec) * std::sin(pra),
                 pz = std::sin(pdec);
    double turn[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const auto& ol = m.Outline[k];
        for (size_t i = 0; i < ol.size(); ++i) {
            const TMilkyPoint& a = ol[i];
            const TMilkyPoint& b = ol[(i + 1) % ol.size()];
            const double ax = std::cos(a.dec) * std::cos(a.ra),
                         ay = std::cos(a.dec) * std::sin(a.ra), az = std::sin(a.dec);
            const double bx = std::cos(b.dec) * std::cos(b.ra),
                         by = std::cos(b.dec) * std::sin(b.ra), bz = std::sin(b.dec);
            turn[k] +=
                (ay * bz - az * by) * px + (az * bx - ax * bz) * py + (ax * by - ay * bx) * pz;
        }
    }
    // A full turn sums to about 2 pi times the edge's distance from the pole.
    EXPECT_GT(turn[0], 5.0);  // south edge: eastwards
    EXPECT_LT(turn[1], -5.0); // north edge: westwards
}
