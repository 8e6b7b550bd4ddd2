// Two-body places against the classical solutions written out here: Kepler's equation in
// the eccentric anomaly for ellipses, in the hyperbolic anomaly for hyperbolas, Barker's
// equation for the parabola. The program uses one universal variable for all of them.
// Apparent and astrometric places against ERFA.
#include <gtest/gtest.h>

#include <erfa.h>

#include <cmath>
#include <vector>

#include "astro/Clsmjd.h"
#include "astro/Eclprecess.h"
#include "minor/Minorplace.h"
#include "minor/Twobody.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kArcsec = kDeg / 3600.0;
constexpr double k = 0.01720209895;
constexpr double kEps = 23.4392911 * kDeg;

struct Orbit {
    const char* name;
    double q, e, i, node, peri, T; // AU, degrees, MJD TT
};

// Elements close to the real ones (J2000 ecliptic) of numbered asteroids, NEAs, periodic
// and long-period comets, hyperbolic visitors, a sungrazer; and a few made-up edges.
const std::vector<Orbit> kOrbits = {
    {"Ceres", 2.5464, 0.0794, 10.588, 80.252, 73.273, 60700.0},
    {"Pallas", 2.1333, 0.2307, 34.93, 172.89, 310.93, 60120.0},
    {"Vesta", 2.1497, 0.0894, 7.144, 103.70, 151.53, 60220.0},
    {"Juno", 1.9870, 0.2563, 12.99, 169.85, 247.99, 60450.0},
    {"Eros", 1.1334, 0.2227, 10.83, 304.29, 178.93, 60510.0},
    {"Apophis", 0.7461, 0.1911, 3.34, 203.96, 126.60, 60480.0},
    {"2024 YR4", 0.8513, 0.6616, 3.408, 271.37, 134.36, 60640.0},
    {"Phaethon", 0.1400, 0.8898, 22.26, 265.21, 322.19, 60380.0},
    {"Hidalgo", 1.9490, 0.6616, 42.52, 21.35, 56.60, 59980.0},
    {"circular", 3.0000, 0.0, 5.0, 40.0, 0.0, 60000.0},
    {"1P/Halley", 0.574761, 0.967882, 162.1921, 59.0920, 111.8623, 46470.4589},
    {"2P/Encke", 0.3393, 0.8471, 11.35, 334.20, 187.07, 60240.0},
    {"12P/Pons-Brooks", 0.780824, 0.954599, 74.1908, 255.8557, 198.9846, 60421.1437},
    {"67P", 1.2106, 0.6497, 3.87, 36.33, 22.14, 60206.0},
    {"C/1995 O1", 0.9141, 0.99509, 89.43, 282.47, 130.59, 50537.6},
    {"C/2020 F3", 0.2946, 0.99918, 128.94, 61.01, 37.28, 59034.7},
    {"near-parabolic", 1.1, 0.99999, 60.0, 10.0, 20.0, 60000.0},
    {"parabola", 1.5, 1.0, 100.0, 200.0, 300.0, 60100.0},
    {"C/2023 A3", 0.391423, 1.000112, 139.1111, 21.5590, 308.4916, 60580.7386},
    {"1I/'Oumuamua", 0.2556, 1.2011, 122.74, 24.60, 241.81, 57966.0},
    {"2I/Borisov", 2.006548, 3.356633, 44.0529, 308.1510, 209.1240, 58825.5505},
    {"fast hyperbola", 0.5, 8.0, 30.0, 50.0, 70.0, 60000.0},
    {"Kreutz sungrazer", 0.0055, 0.99990, 144.5, 0.5, 86.0, 60000.0},
};

// The classical solutions, in the orbit's plane: x towards perihelion.
void classical(const Orbit& o, double t, double& x, double& y) {
    const double dt = t - o.T;
    if (o.e < 1.0) {
        const double a = o.q / (1.0 - o.e);
        const double M = std::remainder(k / (a * std::sqrt(a)) * dt, 2.0 * kPi);
        double E = o.e > 0.8 ? (M >= 0 ? 1.0 : -1.0) * std::cbrt(6.0 * std::fabs(M)) : M;
        if (std::fabs(E) > kPi) E = M;
        for (int it = 0; it < 100; ++it) {
            const double dE = (E - o.e * std::sin(E) - M) / (1.0 - o.e * std::cos(E));
            E -= dE;
            if (std::fabs(dE) < 1e-15) break;
        }
        x = a * (std::cos(E) - o.e);
        y = a * std::sqrt(1.0 - o.e * o.e) * std::sin(E);
    } else if (o.e > 1.0) {
        const double a = o.q / (o.e - 1.0);
        const double M = k / (a * std::sqrt(a)) * dt;
        double H = std::asinh(M / o.e);
        for (int it = 0; it < 200; ++it) {
            const double dH = (o.e * std::sinh(H) - H - M) / (o.e * std::cosh(H) - 1.0);
            H -= dH;
            if (std::fabs(dH) < 1e-15 * std::fmax(1.0, std::fabs(H))) break;
        }
        x = a * (o.e - std::cosh(H));
        y = a * std::sqrt(o.e * o.e - 1.0) * std::sinh(H);
    } else {
        const double W = 3.0 * k / std::sqrt(2.0 * o.q * o.q * o.q) * dt;
        const double Y = std::cbrt(W / 2.0 + std::sqrt(W * W / 4.0 + 1.0));
        const double s = Y - 1.0 / Y;
        x = o.q * (1.0 - s * s);
        y = 2.0 * o.q * s;
    }
}

void toEcliptic(const Orbit& o, double x, double y, double (&p)[3]) {
    // Rz(node) Rx(i) Rz(peri) applied to (x, y, 0), written with ERFA's rotations.
    double r[3][3];
    eraIr(r);
    eraRz(-o.peri * kDeg, r);
    eraRx(-o.i * kDeg, r);
    eraRz(-o.node * kDeg, r);
    double v[3] = {x, y, 0.0};
    eraRxp(r, v, p);
}

TMinorBody body(const Orbit& o) {
    TMinorBody b;
    b.q = o.q;
    b.e = o.e;
    b.i = o.i * kDeg;
    b.Node = o.node * kDeg;
    b.Peri = o.peri * kDeg;
    b.T = o.T;
    b.Epoch = o.T;
    return b;
}

// The Earth from the Sun at tt, ecliptic of J2000 (ERFA's ephemeris).
void earth(double tt, double (&e)[3], double (&vb)[3], double (&pb)[3]) {
    double pvh[2][3], pvb[2][3];
    eraEpv00(2400000.5, tt, pvh, pvb);
    double r[3][3];
    eraIr(r);
    eraRx(kEps, r); // equator of J2000 to ecliptic
    eraRxp(r, pvh[0], e);
    for (int j = 0; j < 3; ++j) {
        vb[j] = pvb[1][j];
        pb[j] = pvb[0][j];
    }
}

TEST(TwoBody, TwentyThreeOrbitsAtNineDatesAgreeToAnArcSecond) {
    const double offsets[] = {0.0, 0.37, -3.0, 30.0, -200.0, 1000.0, -4000.0, 9000.0, 36525.0};
    int compared = 0;
    for (const Orbit& o : kOrbits) {
        const TMinorBody b = body(o);
        for (double off : offsets) {
            const double t = o.T + off;
            double x, y, want[3], got[3];
            classical(o, t, x, y);
            toEcliptic(o, x, y, want);
            ASSERT_TRUE(TTwoBody::Place(b, t, got)) << o.name << " " << off;
            // Seen from the Sun and from the Earth.
            double e[3], vb[3], pb[3];
            earth(t, e, vb, pb);
            double gw[3], gg[3];
            eraPmp(want, e, gw);
            eraPmp(got, e, gg);
            EXPECT_LT(eraSepp(want, got), 1.0 * kArcsec) << o.name << " " << off;
            EXPECT_LT(eraSepp(gw, gg), 1.0 * kArcsec) << o.name << " " << off;
            EXPECT_NEAR(eraPm(got) / eraPm(want), 1.0, 1e-8) << o.name << " " << off;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 23 * 9);
}

TEST(TwoBody, NeverANumberThatIsNot) {
    // Every eccentricity from the circle to far beyond the parabola, perihelia down to a
    // thousandth of a solar radius, times from now to millennia away.
    const double es[] = {0.0, 1e-9, 0.5, 0.999999, 1.0 - 1e-12, 1.0, 1.0 + 1e-12, 1.000001, 1.5, 30.0, 900.0};
    const double qs[] = {1e-8, 1e-5, 0.01, 1.0, 50.0, 9000.0};
    const double dts[] = {0.0, 1e-9, -0.5, 3.0, -400.0, 1e5, -3e6, 1e9};
    TMinorPlace place;
    for (double e : es)
        for (double q : qs)
            for (double dt : dts) {
                TMinorBody b;
                b.q = q;
                b.e = e;
                b.i = 1.0;
                b.Node = 2.0;
                b.Peri = 3.0;
                b.T = 60000.0;
                b.HasMag = true;
                b.Comet = true;
                b.M1 = 5;
                b.K1 = 10;
                double p[3];
                if (TTwoBody::Place(b, 60000.0 + dt, p)) {
                    EXPECT_TRUE(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))
                        << e << " " << q << " " << dt;
                    // On the conic: r never inside the perihelion.
                    EXPECT_GE(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), q * (1 - 1e-9))
                        << e << " " << q << " " << dt;
                }
                place.Compute(b, 60000.0 + dt);
                if (place.Valid) {
                    for (double v : {place.Ra, place.Dec, place.RaJ2000, place.DecJ2000,
                                     place.EarthDist, place.SunDist, place.PhaseAngle, place.Mag})
                        EXPECT_TRUE(std::isfinite(v)) << e << " " << q << " " << dt;
                } else {
                    EXPECT_EQ(place.Ra, 0.0);
                }
            }
    TMinorBody none; // q = 0: a fall straight into the Sun is no orbit
    double p[3];
    EXPECT_FALSE(TTwoBody::Place(none, 60000.0, p));
    none.q = NAN;
    place.Compute(none, 60000.0);
    EXPECT_FALSE(place.Valid);
}

TEST(MinorPlace, NoBodyOutshinesItsBound) {
    // The bound a redraw skips faint bodies by, against the magnitudes over ten years.
    for (const Orbit& o : kOrbits) {
        TMinorBody b = body(o);
        b.HasMag = true;
        b.H = 10.0;
        const double bound = TMinorPlace::BrightestPossible(b);
        TMinorPlace p;
        for (double t = 60000.0; t < 63650.0; t += 5.0) {
            p.Compute(b, t);
            ASSERT_TRUE(p.Valid);
            EXPECT_GE(p.Mag, bound) << o.name << " " << t;
        }
    }
}

TEST(TwoBody, EclipticPrecessionMatchesErfa) {
    // The J2000 ecliptic to that of date, against ERFA's IAU 2006 ecliptic matrix: Lieske's
    // angles part from it by a few tenths of an arc second a century out.
    for (double tt : {33000.0, 51544.5, 61382.0, 88000.0}) {
        double p[3] = {0.3, -0.8, 0.45};
        double v[3] = {p[0], p[1], p[2]};
        TEclPrecess::VectorToDate(tt, v);
        double eq[3], want[3], rm[3][3], rd[3][3];
        eraEcm06(2400000.5, 51544.5, rm); // ICRS to ecliptic of J2000 (near enough)
        eraTrxp(rm, p, eq);
        eraEcm06(2400000.5, tt, rd);
        eraRxp(rd, eq, want);
        EXPECT_LT(eraSepp(v, want), (0.1 + 0.3 * std::fabs(tt - 51544.5) / 36525.0) * kArcsec) << tt;
        TEclPrecess::VectorToJ2000(tt, v);
        EXPECT_LT(eraSepp(v, p), 1e-6 * kArcsec) << tt;
    }
}

TEST(MinorPlace, ApparentAndAstrometricPlacesAgainstErfa) {
    // The same two-body place, the Earth and the reductions from ERFA: light time, then
    // for the apparent place aberration and the IAU 2006/2000A precession and nutation.
    // The program's own Sun, shared with the planets, puts the Earth up to 4e-5 AU (7")
    // from ERFA's; a near body magnifies that, a far one shrinks it.
    TMinorPlace place;
    for (const Orbit& o : kOrbits) {
        const TMinorBody b = body(o);
        for (double off : {-45.0, 12.0, 160.0}) {
            const double mjd = o.T + off;
            place.Compute(b, mjd);
            ASSERT_TRUE(place.Valid) << o.name;
            const double tt = TMjd::TT(mjd);
            double e[3], vb[3], pb[3];
            earth(tt, e, vb, pb);
            double g[3], tau = 0.0;
            for (int it = 0; it < 4; ++it) {
                double x, y, p[3];
                classical(o, tt - tau, x, y);
                toEcliptic(o, x, y, p);
                eraPmp(p, e, g);
                tau = eraPm(g) * 0.0057755183;
            }
            const double delta = eraPm(g);
            const double tol = 1.0 * kArcsec + 4e-5 / delta;
            double r[3][3], gq[3];
            eraIr(r);
            eraRx(-kEps, r);
            eraRxp(r, g, gq); // ecliptic to equator of J2000
            double ra, dec;
            eraC2s(gq, &ra, &dec);
            double mine[3], want[3];
            eraS2c(place.RaJ2000, place.DecJ2000, mine);
            eraS2c(ra, dec, want);
            EXPECT_LT(eraSepp(mine, want), tol) << o.name << " " << off << " delta " << delta;
            EXPECT_NEAR(place.EarthDist, delta, 6e-5) << o.name;
            // Apparent: aberration by the Earth's velocity, then the true equator and
            // equinox of date.
            double u[3], ab[3], v[3], np[3][3], app[3];
            eraPn(gq, &ra, u);
            for (int j = 0; j < 3; ++j) v[j] = vb[j] / 173.1446326846693;
            const double sun = eraPm(pb);
            eraAb(u, v, sun, std::sqrt(1.0 - eraPdp(v, v)), ab);
            eraPnm06a(2400000.5, tt, np);
            eraRxp(np, ab, app);
            eraS2c(place.Ra, place.Dec, mine);
            EXPECT_LT(eraSepp(mine, app), tol + 1.0 * kArcsec) << o.name << " " << off;
        }
    }
}

} // namespace
