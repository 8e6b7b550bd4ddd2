// The shipped deep star layer (Tycho.dat): its size and order, that it repeats
// no Star.dat star, and ten named Tycho-2 stars at their published places.
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "catalog/Clsdeepstar.h"
#include "catalog/Clsstar.h"

namespace {

constexpr double kDeg = M_PI / 180.0;
constexpr double kArcsec = kDeg / 3600.0;

double Separation(double ra1, double dec1, double ra2, double dec2) {
    // Haversine: exact for the arc-second distances compared here.
    const double s1 = std::sin((dec2 - dec1) / 2), s2 = std::sin((ra2 - ra1) / 2);
    return 2 * std::asin(std::sqrt(s1 * s1 + std::cos(dec1) * std::cos(dec2) * s2 * s2));
}

const TStar& Deep() {
    static std::string why;
    static std::unique_ptr<TStar> s = TDeepStar::Open(TDeepStar::FileName, why);
    if (!s) ADD_FAILURE() << why;
    return *s;
}

} // namespace

TEST(DeepStarCatalogue, TychoStarsToMagnitudeTenAndAHalfInDeclinationOrder) {
    const TStar& s = Deep();
    ASSERT_GT(s.Count, 0);
    EXPECT_EQ(s.Count, 473666);
    int magMin = 99999, fainter9 = 0;
    std::map<int, int> classes;
    for (int i = 0; i < s.Count; ++i) {
        const TStarRecord& r = s[i];
        magMin = std::min<int>(magMin, r.mag);
        if (r.mag >= 900) ++fainter9;
        ++classes[r.spect];
        ASSERT_EQ(r.bayer, 0) << i;
        ASSERT_EQ(r.flamsteed, 0) << i;
        if (i > 0) {
            ASSERT_LE(s[i - 1].dec, r.dec) << i;
        }
    }
    EXPECT_EQ(s.MagMax, 1045);
    // A few components of bright stars that Hipparcos did not list apart
    // (the brightest 4.15); almost nine tenths lie past magnitude 9.
    EXPECT_EQ(magMin, 415);
    EXPECT_EQ(fainter9, 425695);
    // Every class from O to M, from the colour.
    for (int c = 1; c <= 7; ++c)
        EXPECT_GT(classes[c], 0) << c;
}

TEST(DeepStarCatalogue, RepeatsNoStarDatStar) {
    const TStar& deep = Deep();
    const TStar hip("Star.dat");
    ASSERT_GT(hip.Count, 0);
    // Star.dat sorted by declination, searched within 2" of every deep star.
    std::vector<int> order(hip.Count);
    for (int i = 0; i < hip.Count; ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return hip[a].dec < hip[b].dec; });
    const double lim = 2 * kArcsec;
    int doubles = 0;
    for (int i = 0; i < deep.Count; ++i) {
        const TStarRecord& d = deep[i];
        auto it = std::lower_bound(order.begin(), order.end(), d.dec - lim,
                                   [&](int k, double v) { return hip[k].dec < v; });
        for (; it != order.end() && hip[*it].dec <= d.dec + lim; ++it) {
            const TStarRecord& h = hip[*it];
            if (Separation(d.ra, d.dec, h.ra, h.dec) <= lim && std::abs(h.mag - d.mag) <= 30)
                ++doubles;
        }
    }
    EXPECT_EQ(doubles, 0);
}

TEST(DeepStarCatalogue, NamedTycho2StarsAtTheirPublishedPlaces) {
    // Exoplanet hosts of magnitude 9.5-10.4 that are Tycho-2 but not
    // Hipparcos stars: J2000 places (epoch 2000) and V as published,
    // constellation by the IAU boundaries.
    struct Known {
        const char* name;
        int h, m;
        double s;
        int sign, d, dm;
        double ds, v;
        int con;
    };
    const Known known[] = {
        {"HAT-P-1 A (ADS 16402 A)", 22, 57, 45.9211, +1, 38, 40, 27.200, 10.0, 45},
        {"HAT-P-8", 22, 52, 9.8629, +1, 35, 26, 49.605, 10.36, 62},
        {"HAT-P-14", 17, 20, 27.8775, +1, 38, 14, 31.911, 9.98, 40},
        {"HAT-P-22 (HD 233731)", 10, 22, 43.5923, +1, 50, 7, 42.062, 9.73, 83},
        {"HAT-P-30 (WASP-51)", 8, 15, 47.9802, +1, 5, 50, 12.351, 10.35, 42},
        {"HAT-P-67 A", 17, 6, 26.5608, +1, 44, 46, 37.068, 10.07, 40},
        {"WASP-8", 23, 59, 36.07119, -1, 35, 1, 52.9236, 9.9, 71},
        {"WASP-13", 9, 20, 24.7145, +1, 33, 52, 56.696, 10.42, 51},
        {"WASP-76", 1, 46, 31.86, +1, 2, 42, 2.03, 9.52, 67},
        {"BD+20 2457 (2MASS J10164485+1953290)", 10, 16, 44.85, +1, 19, 53, 29.0, 9.75, 46},
    };
    const TStar& s = Deep();
    ASSERT_GT(s.Count, 0);
    for (const Known& k : known) {
        const double ra = (k.h + k.m / 60.0 + k.s / 3600.0) * 15 * kDeg;
        const double dec = k.sign * (k.d + k.dm / 60.0 + k.ds / 3600.0) * kDeg;
        // Only the declination band can hold the star.
        const auto [first, last] = TDeepStar::DecBand(s, dec - 5 * kArcsec, dec + 5 * kArcsec);
        int best = -1;
        double bd = 1e9;
        for (int i = first; i < last; ++i) {
            const double d = Separation(s[i].ra, s[i].dec, ra, dec);
            if (d < bd) bd = d, best = i;
        }
        ASSERT_GE(best, 0) << k.name;
        EXPECT_LT(bd / kArcsec, 1.0) << k.name;
        EXPECT_NEAR(s[best].mag / 100.0, k.v, 0.3) << k.name;
        EXPECT_EQ(s[best].con, k.con) << k.name;
    }
}
