#include "minor/Minorplace.h"

#include <cmath>
#include <limits>

#include "astro/Clsmjd.h"
#include "astro/Clsplanet.h"
#include "astro/Eclprecess.h"
#include "minor/Twobody.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kAberration = 9.890199094634533e-5; // as the planets: 20.4"
constexpr double kLightDaysPerAU = 0.0057755183;
constexpr double kEpsJ2000 = 23.4392911 * kPi / 180.0; // the ecliptic the MPC refers to
} // namespace

double TMinorPlace::AsteroidMag(double H, double G, double r, double delta, double alpha) {
    const double t = std::tan(std::fmin(std::fabs(alpha), kPi * 0.999) / 2.0);
    const double phi1 = std::exp(-3.33 * std::pow(t, 0.63));
    const double phi2 = std::exp(-1.87 * std::pow(t, 1.22));
    const double f = (1.0 - G) * phi1 + G * phi2;
    return H + 5.0 * std::log10(r * delta) - 2.5 * std::log10(std::fmax(f, 1e-30));
}

double TMinorPlace::BrightestPossible(const TMinorBody& b) {
    const double aphelionEarth = 1.0167;
    if (b.Comet || !b.HasMag || !(b.q > aphelionEarth + 0.05)) return -std::numeric_limits<double>::infinity();
    // r >= q, delta >= q - 1.0167, and the phase law only dims: H + 5 log(r delta).
    return b.H + 5.0 * std::log10(b.q * (b.q - aphelionEarth));
}

double TMinorPlace::TailLength(const TMinorBody& b, double r) {
    if (!b.Comet || !b.HasMag || !(r > 0.0)) return 0.0;
    return std::fmin(0.5, 0.2 * std::pow(10.0, (6.0 - b.M1) / 5.0) / (r * r));
}

double TMinorPlace::CometMag(double M1, double K1, double r, double delta) {
    return M1 + 5.0 * std::log10(delta) + K1 * std::log10(r);
}

void TMinorPlace::Compute(const TMinorBody& b, double mjd) {
    *this = TMinorPlace{};
    const double tt = TMjd::TT(mjd);
    const double d = tt - 15019.5;
    TPlanet theory;
    double Lsun, R;
    theory.sunpos(d, Lsun, R);
    // The Earth from the Sun, mean ecliptic and equinox of date.
    const double E[3] = {-R * std::cos(Lsun), -R * std::sin(Lsun), 0.0};

    double P[3], G[3], delta = 0.0, tau = 0.0;
    for (int it = 0; it < 4; ++it) {
        if (!TTwoBody::Place(b, tt - tau, P)) return;
        TEclPrecess::VectorToDate(tt, P);
        for (int k = 0; k < 3; ++k) G[k] = P[k] - E[k];
        delta = std::sqrt(G[0] * G[0] + G[1] * G[1] + G[2] * G[2]);
        tau = delta * kLightDaysPerAU;
    }
    const double r = std::sqrt(P[0] * P[0] + P[1] * P[1] + P[2] * P[2]);
    if (!(delta > 1e-9) || !(r > 1e-9) || !std::isfinite(delta) || !std::isfinite(r)) return;

    // Astrometric J2000: the geometric vector with light time, turned back to J2000.
    double GJ[3] = {G[0], G[1], G[2]};
    TEclPrecess::VectorToJ2000(tt, GJ);
    const double ce = std::cos(kEpsJ2000), se = std::sin(kEpsJ2000);
    const double qx = GJ[0], qy = GJ[1] * ce - GJ[2] * se, qz = GJ[1] * se + GJ[2] * ce;
    RaJ2000 = std::atan2(qy, qx);
    if (RaJ2000 < 0.0) RaJ2000 += kTwoPi;
    DecJ2000 = std::asin(qz / delta);

    // Apparent of date as the planets: nutation in longitude, annual aberration, the
    // true obliquity.
    double lam = std::atan2(G[1], G[0]);
    double bet = std::asin(G[2] / delta);
    double deps, dpsi;
    theory.nutation(d, deps, dpsi);
    lam += dpsi;
    const double D = Lsun - lam;
    lam -= kAberration * std::cos(D) / std::cos(bet);
    bet -= kAberration * std::sin(D) * std::sin(bet);
    TPlanet::range(lam, kTwoPi);
    theory.ecl_eq(d, bet, lam, Ra, Dec);
    TailRa = Ra;
    TailDec = Dec;
    TailAu = std::fmin(TailLength(b, r), 0.5 * delta);
    if (TailAu > 0.0) {
        // Straight out from the Sun, reduced as the head is.
        double T[3];
        for (int k = 0; k < 3; ++k) T[k] = G[k] + TailAu * P[k] / r;
        const double t = std::sqrt(T[0] * T[0] + T[1] * T[1] + T[2] * T[2]);
        double tl = std::atan2(T[1], T[0]) + dpsi;
        double tb = std::asin(T[2] / t);
        const double Dt = Lsun - tl;
        tl -= kAberration * std::cos(Dt) / std::cos(tb);
        tb -= kAberration * std::sin(Dt) * std::sin(tb);
        TPlanet::range(tl, kTwoPi);
        theory.ecl_eq(d, tb, tl, TailRa, TailDec);
    }
    GeoLon = lam;
    GeoLat = bet;
    HelioLon = std::atan2(P[1], P[0]);
    if (HelioLon < 0.0) HelioLon += kTwoPi;
    HelioLat = std::asin(P[2] / r);
    double ls = Lsun;
    TPlanet::range(ls, kTwoPi);
    theory.elongation(ls, bet, lam, Elong);
    SunDist = r;
    EarthDist = delta;
    double c = (r * r + delta * delta - R * R) / (2.0 * r * delta);
    PhaseAngle = std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
    if (!b.HasMag) Mag = std::numeric_limits<double>::quiet_NaN();
    else if (b.Comet) Mag = CometMag(b.M1, b.K1, r, delta);
    else Mag = AsteroidMag(b.H, b.G, r, delta, PhaseAngle);
    Valid = std::isfinite(Ra) && std::isfinite(Dec) && std::isfinite(RaJ2000) && std::isfinite(DecJ2000);
    if (!Valid) *this = TMinorPlace{};
}
