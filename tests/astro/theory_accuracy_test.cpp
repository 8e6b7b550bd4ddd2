// Accuracy of the analytic theory against independent references.
//
// The reference is an apparent geocentric place of date: the planets' heliocentric places
// from the full VSOP87 of libnova (ecliptic and equinox J2000), the Earth from ERFA's
// eraEpv00, the Moon from eraMoon98, with light time, annual aberration (eraAb) and the
// IAU 2006/2000A precession-nutation matrix (eraPnm06a). The theory takes its MJD as
// Universal Time and adds Delta T; the reference is computed at the Terrestrial Time of
// the same Delta T model (TMjd::TT), so the differences measure the theory, its secular
// terms and its use of dynamical time, and not the uncertainty of Delta T itself.
//
// The tolerances sit 5-10 % above the largest differences measured over the sample
// instants, so that a mistyped coefficient that moves a body by more than a small fraction
// of the theory's own error shows up here.
#include <gtest/gtest.h>

#include <erfa.h>
#include <libnova/libnova.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/Clsmjd.h"
#include "astro/Clsplanet.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kArcsecPerRad = 180.0 * 3600.0 / kPi;
constexpr double kLightDaysPerAu = 1.0 / 173.1446326846693; // days per AU
constexpr double kAuKm = 149597870.7;

struct Place {
    double ra, dec, distAu;
};

void norm(const double v[3], double u[3]) {
    const double m = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int k = 0; k < 3; ++k)
        u[k] = v[k] / m;
}

double length(const double v[3]) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// GCRS direction -> apparent RA/Dec of date.
void ofDate(double tt, const double dir[3], Place& out) {
    double rnpb[3][3], v[3];
    eraPnm06a(2400000.5, tt, rnpb);
    eraRxp(rnpb, const_cast<double*>(dir), v);
    eraC2s(v, &out.ra, &out.dec);
    out.ra = eraAnp(out.ra);
}

// Annual aberration for a geocentric direction seen from the moving Earth.
void aberrate(const double pvb[2][3], const double pvh[2][3], const double dir[3], double out[3]) {
    double v[3];
    for (int k = 0; k < 3; ++k)
        v[k] = pvb[1][k] * kLightDaysPerAu; // in units of c
    const double v2 = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    double pnat[3];
    norm(dir, pnat);
    eraAb(pnat, v, length(pvh[0]), std::sqrt(1.0 - v2), out);
}

// Heliocentric place of planet 0-6 from VSOP87, as a vector in the ICRS (AU).
void heliocentric(int body, double mjd, double out[3]) {
    using Fn = void (*)(double, struct ln_helio_posn*);
    static const Fn kVsop[7] = {ln_get_mercury_helio_coords, ln_get_venus_helio_coords,
                                ln_get_mars_helio_coords,    ln_get_jupiter_helio_coords,
                                ln_get_saturn_helio_coords,  ln_get_uranus_helio_coords,
                                ln_get_neptune_helio_coords};
    struct ln_helio_posn p;
    kVsop[body](2400000.5 + mjd, &p);
    double ecl[3], m[3][3];
    eraS2p(p.L * kPi / 180.0, p.B * kPi / 180.0, p.R, ecl);
    eraEcm06(2451545.0, 0.0, m); // ICRS -> ecliptic of J2000
    eraTrxp(m, ecl, out);
}

// The reference place of body 0-6, 8 or 9 at the instant mjd (taken as TT).
Place reference(int body, double mjd) {
    double pvh[2][3], pvb[2][3];
    eraEpv00(2400000.5, mjd, pvh, pvb);
    Place out{};
    if (body == TPlanet::Moon) {
        double pv[2][3];
        eraMoon98(2400000.5, mjd, pv);
        out.distAu = length(pv[0]);
        // Geocentric light time only: the annual aberration of a body that travels with
        // the Earth cancels against the Earth's own motion during the light time.
        const double tau = out.distAu * kLightDaysPerAu;
        double g[3];
        for (int k = 0; k < 3; ++k)
            g[k] = pv[0][k] - pv[1][k] * tau;
        ofDate(mjd, g, out);
        return out;
    }
    double g[3];
    if (body == TPlanet::Sun) {
        for (int k = 0; k < 3; ++k)
            g[k] = -pvh[0][k];
        out.distAu = length(g);
    } else {
        double p[3];
        heliocentric(body, mjd, p);
        for (int k = 0; k < 3; ++k)
            g[k] = p[k] - pvh[0][k];
        out.distAu = length(g);
        double tau = out.distAu * kLightDaysPerAu;
        for (int it = 0; it < 3; ++it) {
            heliocentric(body, mjd - tau, p);
            for (int k = 0; k < 3; ++k)
                g[k] = p[k] - pvh[0][k];
            tau = length(g) * kLightDaysPerAu;
        }
    }
    double app[3];
    aberrate(pvb, pvh, g, app);
    ofDate(mjd, app, out);
    return out;
}

double separationArcsec(double ra1, double dec1, double ra2, double dec2) {
    return eraSeps(ra1, dec1, ra2, dec2) * kArcsecPerRad;
}

struct Stats {
    double maxSep = 0.0, sumSq = 0.0, maxDist = 0.0;
    int n = 0;
    double rms() const { return n ? std::sqrt(sumSq / n) : 0.0; }
};

// Instants spread evenly but irregularly (golden-ratio sequence) over [from, to).
double instant(double from, double to, int k) {
    const double g = 0.6180339887498949;
    const double f = k * g - std::floor(k * g);
    return from + (to - from) * f;
}

constexpr double kMjd1800 = -21504.0; // 1800 January 1
constexpr double kMjd2200 = 124593.0; // 2200 January 1
constexpr double kMjd1950 = 33282.0;  // 1950 January 1
constexpr double kMjd2050 = 69807.0;  // 2050 January 1

// The theory at UT instants over [from, to) against the reference at their TT.
Stats measure(int body, double from, double to, int count) {
    TPlanet planet;
    Stats s;
    for (int k = 1; k <= count; ++k) {
        const double mjd = instant(from, to, k);
        planet.body_cir(body, mjd);
        const Place ref = reference(body, TMjd::TT(mjd));
        const double sep = separationArcsec(planet.Result.Ra, planet.Result.Dec, ref.ra, ref.dec);
        const double dist = std::fabs(planet.Result.EarthDistKm / kAuKm - ref.distAu) / ref.distAu;
        s.maxSep = std::max(s.maxSep, sep);
        s.sumSq += sep * sep;
        s.maxDist = std::max(s.maxDist, dist);
        ++s.n;
    }
    return s;
}

// Largest separation ("), rms separation (") and largest relative distance error, each a
// little above what was measured with these sample instants.
struct Limits {
    double maxSep, rmsSep, dist;
};

struct Tolerance {
    int body;
    Limits wide;   // 1800-2200, 400 instants
    Limits modern; // 1950-2050, 200 instants
};

const Tolerance kTolerances[] = {
    {TPlanet::Mercury, {17.1, 5.35, 4.8e-5}, {17.5, 5.3, 4.4e-5}},
    {TPlanet::Venus, {37.9, 7.3, 1.0e-4}, {28.4, 7.0, 8.1e-5}},
    {TPlanet::Mars, {43.2, 9.6, 1.83e-4}, {40.4, 9.0, 1.75e-4}},
    {TPlanet::Jupiter, {40.6, 15.8, 1.34e-4}, {39.2, 13.2, 1.24e-4}},
    {TPlanet::Saturn, {164.0, 56.6, 3.4e-4}, {128.0, 48.1, 3.15e-4}},
    {TPlanet::Uranus, {39.5, 17.2, 1.33e-4}, {42.4, 15.5, 1.18e-4}},
    {TPlanet::Neptune, {36.6, 20.1, 5.3e-5}, {29.3, 20.5, 3.5e-5}},
    {TPlanet::Sun, {13.9, 4.97, 2.2e-5}, {14.5, 4.72, 1.55e-5}},
    {TPlanet::Moon, {13.1, 5.04, 1.04e-4}, {10.4, 3.99, 9.9e-5}},
};

void expectWithin(const char* name, const char* span, const Stats& s, const Limits& lim) {
    EXPECT_LT(s.maxSep, lim.maxSep) << name << " " << span << ": largest separation";
    EXPECT_LT(s.rms(), lim.rmsSep) << name << " " << span << ": rms separation";
    EXPECT_LT(s.maxDist, lim.dist) << name << " " << span << ": relative distance";
}

TEST(TheoryAccuracy, ApparentPlacesAgreeWithTheReferenceOver1800To2200) {
    for (const Tolerance& t : kTolerances) {
        const Stats wide = measure(t.body, kMjd1800, kMjd2200, 400);
        const Stats modern = measure(t.body, kMjd1950, kMjd2050, 200);
        const char* name = TPlanet::GetName(t.body, 2);
        std::printf("%-8s 1800-2200 max %7.2f\" rms %6.2f\" dist %.2e | 1950-2050 max %7.2f\" "
                    "rms %6.2f\" dist %.2e\n",
                    name, wide.maxSep, wide.rms(), wide.maxDist, modern.maxSep, modern.rms(),
                    modern.maxDist);
        expectWithin(name, "1800-2200", wide, t.wide);
        expectWithin(name, "1950-2050", modern, t.modern);
    }
}

// Far from the present the theory runs on Terrestrial Time from Delta T, which grows to
// hours; the Moon's secular terms follow the tidal acceleration that Delta T assumes.
// Twenty years round each year, 100 instants, every body in turn.
TEST(TheoryAccuracy, FarDatesOnDynamicalTime) {
    // Limits on the rms separation ("), about 10 % above the figures measured: Sun,
    // Moon, Mercury ... Neptune. The planets' own series (Jupiter's and Saturn's above
    // all) lose their accuracy over the millennia; the Sun and the Moon keep theirs.
    struct Row {
        int year;
        double rms[9];
    };
    const Row kYears[] = {
        {-1000, {49, 26.5, 55.5, 54.8, 63.9, 1139, 3211, 92.2, 295}},
        {0, {23.5, 9.7, 28.4, 26.6, 45.3, 414, 2025, 87.1, 247}},
        {1000, {8.4, 9.4, 11.6, 12.4, 20.2, 87.1, 325, 29.6, 132}},
        {1500, {6, 6.2, 6.8, 8.6, 12, 19.1, 93.6, 15.9, 32.6}},
        {2000, {4.7, 4, 4.8, 8, 9.3, 15.3, 40.5, 8, 24.8}},
        {2026, {4.7, 4, 5.1, 7.2, 9.5, 14.5, 43.7, 5.4, 25.1}},
        {2500, {6.5, 5.2, 9.2, 10.7, 21.8, 20, 146, 53.2, 38.7}},
        {3000, {9.6, 5.5, 12.8, 12.9, 17, 47.1, 306, 82, 91}},
    };
    const int kBodies[] = {TPlanet::Sun,     TPlanet::Moon,   TPlanet::Mercury,
                           TPlanet::Venus,   TPlanet::Mars,   TPlanet::Jupiter,
                           TPlanet::Saturn,  TPlanet::Uranus, TPlanet::Neptune};
    for (const Row& r : kYears) {
        const double mid = TMjd::J2000 + (r.year - 2000) * 365.25;
        std::printf("%5d dT %8.1fs", r.year, TMjd::DeltaT(mid));
        for (int b = 0; b < 9; ++b) {
            const Stats st = measure(kBodies[b], mid - 3652.5, mid + 3652.5, 100);
            std::printf(" | %s %.1f/%.1f", TPlanet::GetName(kBodies[b], 3), st.rms(), st.maxSep);
            EXPECT_LT(st.rms(), r.rms[b]) << TPlanet::GetName(kBodies[b], 2) << " " << r.year;
        }
        std::printf("\n");
    }
    // The marks asked of the program: the Sun within 12" and the Moon within 3' rms
    // round the years 1000 and 2500, the Moon within 6" over 2000-2050.
    for (const int year : {1000, 2500}) {
        const double mid = TMjd::J2000 + (year - 2000) * 365.25;
        EXPECT_LT(measure(TPlanet::Sun, mid - 3652.5, mid + 3652.5, 100).rms(), 12.0) << year;
        EXPECT_LT(measure(TPlanet::Moon, mid - 3652.5, mid + 3652.5, 100).rms(), 180.0) << year;
    }
    EXPECT_LT(measure(TPlanet::Moon, TMjd::J2000, TMjd::J2000 + 50 * 365.25, 200).rms(), 6.0);
}

// The outer planets' heliocentric places straight from the series, against VSOP87 carried
// to the ecliptic of date: here a wrong factor in a perturbation term is not diluted by the
// geocentric view. Saturn's remaining error is that of the published series itself.
TEST(TheoryAccuracy, HeliocentricPlacesOfTheOuterPlanetsAgreeWithVsop87) {
    struct Limit {
        int body;
        double maxLon, rmsLon, maxLat; // arc seconds
    };
    const Limit kLimits[] = {{TPlanet::Jupiter, 38.6, 15.0, 8.5},
                             {TPlanet::Saturn, 160.0, 56.4, 9.7},
                             {TPlanet::Uranus, 40.1, 17.0, 7.1},
                             {TPlanet::Neptune, 35.7, 20.0, 5.3}};
    TPlanet planet;
    for (const Limit& lim : kLimits) {
        double maxLon = 0, sumSq = 0, maxLat = 0;
        const int count = 400;
        for (int k = 1; k <= count; ++k) {
            const double mjd = instant(kMjd1800, kMjd2200, k);
            double l, b, r, delta, lambda, beta, diam1, v0;
            planet.plans(mjd - 15019.5, lim.body, l, b, r, delta, lambda, beta, diam1, v0);
            double icrs[3], ofDateVec[3], m[3][3];
            heliocentric(lim.body, mjd - 0.005775518 * delta, icrs);
            eraEcm06(2400000.5, mjd, m);
            eraRxp(m, icrs, ofDateVec);
            double lon, lat;
            eraC2s(ofDateVec, &lon, &lat);
            const double dLon = std::fabs(eraAnpm(l - lon)) * kArcsecPerRad;
            maxLon = std::max(maxLon, dLon);
            sumSq += dLon * dLon;
            maxLat = std::max(maxLat, std::fabs(b - lat) * kArcsecPerRad);
        }
        const double rms = std::sqrt(sumSq / count);
        const char* name = TPlanet::GetName(lim.body, 2);
        std::printf("%-8s heliocentric longitude max %7.2f\" rms %6.2f\", latitude max %6.2f\"\n",
                    name, maxLon, rms, maxLat);
        EXPECT_LT(maxLon, lim.maxLon) << name;
        EXPECT_LT(rms, lim.rmsLon) << name;
        EXPECT_LT(maxLat, lim.maxLat) << name;
    }
}

// ERFA has no Pluto. The reference is the worked example of J. Meeus, Astronomical
// Algorithms (2nd ed.), example 37.a: 1992 October 13.0, heliocentric l = 232.74071 deg,
// b = 14.58782 deg (ecliptic and equinox J2000), r = 29.711111 AU, carried here to the
// ecliptic of date with ERFA. Pluto's fixed elements miss it by 4.4' in longitude.
TEST(TheoryAccuracy, PlutoAgreesWithMeeusExample) {
    const double mjd = 48908.0;
    double v[3], icrs[3], ofDateVec[3], m2000[3][3], mDate[3][3];
    eraS2c(232.74071 * kPi / 180.0, 14.58782 * kPi / 180.0, v);
    eraEcm06(2451545.0, 0.0, m2000);
    eraTrxp(m2000, v, icrs);
    eraEcm06(2400000.5, mjd, mDate);
    eraRxp(mDate, icrs, ofDateVec);
    double lon, lat;
    eraC2s(ofDateVec, &lon, &lat);

    TPlanet planet;
    double l, b, r, delta, lambda, beta, diam1, v0;
    planet.plans(mjd - 15019.5, TPlanet::Pluto, l, b, r, delta, lambda, beta, diam1, v0);
    EXPECT_LT(std::fabs(eraAnpm(l - lon)) * kArcsecPerRad, 290.0);
    EXPECT_LT(std::fabs(b - lat) * kArcsecPerRad, 18.0);
    EXPECT_NEAR(r, 29.711111, 0.0055);
}

} // namespace
