// The planisphere drawn from the real catalogues, checked at places worked
// out independently: bright stars from their catalogue positions, the Milky
// Way from galactic coordinates (ERFA), over each of the three default sites.
#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>

#include "catalog/Clsstar.h"
#include "render/Clshayami.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr int kSize = 500;

struct SiteCase {
    const char* name;
    double lonDeg, latDeg, mjd; // an evening of December 2026
};
const SiteCase kSites[] = {{"Greenwich", 0.1, 52.21667, 61381.0 + 22.0 / 24},
                           {"Las Campanas", -70.7, -29.0, 61382.0 + 2.0 / 24},
                           {"Tokyo", 139.5167, 35.68333, 61381.5}};

double Lst(double mjd, double lng) {
    return eraAnp(eraGmst06(2400000.5, mjd, 2400000.5, mjd + 69.0 / 86400.0) + lng);
}

// Pixel of a sky point (ICRS) and its altitude; the chart is drawn for the equinox of date.
void Place(double ra, double dec, double lst, double lat, double mjd, double& x, double& y,
           double& alt) {
    double m[3][3], v[3], w[3], az;
    eraPnm06a(2400000.5, mjd, m);
    eraS2c(ra, dec, v);
    eraRxp(m, v, w);
    eraC2s(w, &ra, &dec);
    eraHd2ae(lst - ra, dec, lat, &az, &alt);
    const double r = (kPi / 2 - alt) / kPi * kSize;
    x = kSize / 2.0 - r * std::sin(az);
    y = kSize / 2.0 - r * std::cos(az);
}

double Share(const TDIB& dib, double x, double y, int idx) {
    int n = 0, all = 0;
    for (int yy = int(y) - 3; yy <= int(y) + 3; ++yy)
        for (int xx = int(x) - 3; xx <= int(x) + 3; ++xx) {
            ++all;
            n += dib.GetIdx(xx, yy) == idx;
        }
    return double(n) / all;
}
} // namespace

TEST(PlanisphereSky, MilkyWayAndBrightStarsWhereTheyBelong) {
    TStar stars("Star.dat");
    ASSERT_GT(stars.Count, 1000) << stars.Error;
    for (const SiteCase& site : kSites) {
        SCOPED_TRACE(site.name);
        THayami h(1, kSize, kSize);
        h.SetLng(site.lonDeg * kDeg);
        h.SetLat(site.latDeg * kDeg);
        h.SetMJD(site.mjd);
        h.Star = &stars;
        h.DrawHayami(0);
        const double lst = Lst(site.mjd, site.lonDeg * kDeg);
        const double lat = site.latDeg * kDeg;
        const int milky = h.DIB.Col2Idx(RGB(16, 53, 53));

        // Along the galactic equator every point well above the horizon is in the
        // band; at galactic latitude +-45 none is. The band runs unbroken down to
        // the horizon.
        int inBand = 0, tested = 0, nearHorizon = 0;
        for (int l = 0; l < 360; l += 5) {
            // Towards Perseus and Camelopardalis the catalogue's faint outer outline
            // pinches off north of the galactic equator: no band at b = 0 there.
            if (l > 140 && l < 160) continue;
            double ra, dec, x, y, alt;
            eraG2icrs(l * kDeg, 0, &ra, &dec);
            Place(ra, dec, lst, lat, site.mjd, x, y, alt);
            if (alt < 3 * kDeg || alt > 87 * kDeg) continue;
            ++tested;
            if (Share(h.DIB, x, y, milky) > 0.3) ++inBand;
            if (alt < 10 * kDeg) {
                EXPECT_GT(Share(h.DIB, x, y, milky), 0.3)
                    << "galactic longitude " << l << " at altitude " << alt / kDeg;
                ++nearHorizon;
            }
            for (int b : {-45, 45}) {
                eraG2icrs(l * kDeg, b * kDeg, &ra, &dec);
                Place(ra, dec, lst, lat, site.mjd, x, y, alt);
                if (alt < 3 * kDeg) continue;
                EXPECT_LT(Share(h.DIB, x, y, milky), 0.05) << "l " << l << " b " << b;
            }
        }
        EXPECT_GT(tested, 10);
        EXPECT_GT(nearHorizon, 0);
        EXPECT_GE(inBand, tested - 1); // the band's outline is a simplified one

        // Every star brighter than 1.5 that is up is a disc of its class colour
        // centred where its altitude and azimuth put it.
        int discs = 0;
        for (int i = 0; i < stars.Count; ++i) {
            const TStarRecord& r = stars[i];
            if (r.mag >= 150) continue;
            double x, y, alt;
            Place(r.ra, r.dec, lst, lat, site.mjd, x, y, alt);
            if (alt < 5 * kDeg) continue;
            // The disc covers x-2 .. x+2 around the pixel whose corner is the projection.
            const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
            const int idx = h.DIB.GetIdx(px, py);
            EXPECT_NE(idx, 0) << "star " << i;
            EXPECT_NE(idx, milky) << "star " << i;
            ++discs;
        }
        EXPECT_GT(discs, 3);
    }
}
