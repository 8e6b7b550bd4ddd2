// Reference places for the planner's tests, from ERFA alone: the Sun's and
// the Moon's apparent altitude, a star's from its J2000 place, and a root
// search over a day written here, not taken from the planner.
#pragma once

#include <erfa.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace ref {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
constexpr double kDeltaT = 69.0 / 86400.0; // TT - UT in 2026, days
constexpr double kLightDaysPerAu = 1.0 / 173.1446326846693;
constexpr double kAuKm = 149597870.7;

struct Site {
    double lat, lon; // radians
};

struct Crossing {
    double mjd;
    bool rising;
};

// Every crossing of f through zero in [a, b): two-minute steps, then bisection.
inline std::vector<Crossing> Crossings(const std::function<double(double)>& f, double a, double b) {
    std::vector<Crossing> out;
    const double step = 2.0 / 1440.0;
    double x0 = a, f0 = f(a);
    while (x0 < b) {
        const double x1 = x0 + step, f1 = f(x1);
        if ((f0 < 0.0) != (f1 < 0.0)) {
            double lo = x0, hi = x1, flo = f0;
            for (int i = 0; i < 30; ++i) {
                const double mid = 0.5 * (lo + hi), fm = f(mid);
                if ((fm < 0.0) == (flo < 0.0)) {
                    lo = mid;
                    flo = fm;
                } else {
                    hi = mid;
                }
            }
            out.push_back({0.5 * (lo + hi), f0 < 0.0});
        }
        x0 = x1;
        f0 = f1;
    }
    return out;
}

// The precession-nutation matrix of a day (it moves well under an arc
// second in a day).
struct Frame {
    double rnpb[3][3];
    double ee; // equation of the equinoxes
    explicit Frame(double mjd) {
        eraPnm06a(2400000.5, mjd + kDeltaT, rnpb);
        ee = eraEe06a(2400000.5, mjd + kDeltaT);
    }
    void OfDate(const double gcrs[3], double out[3]) const {
        eraRxp(const_cast<double(*)[3]>(rnpb), const_cast<double*>(gcrs), out);
    }
};

// Azimuth (north through east) and altitude of a vector of date (any
// length) at a UT instant; topocentric when distAu > 0 (the vector is then
// the body's geocentric place in AU).
inline double Altitude(const Frame& f, const Site& s, double mjd, const double v[3],
                       double distAu, double* azimuth = nullptr) {
    const double gast = eraGmst06(2400000.5, mjd, 2400000.5, mjd + kDeltaT) + f.ee;
    double w[3] = {v[0], v[1], v[2]};
    if (distAu > 0.0) {
        double xyz[3];
        eraGd2gc(1, s.lon, s.lat, 0.0, xyz); // metres, Earth-fixed
        const double c = std::cos(gast), sn = std::sin(gast), au = kAuKm * 1000.0;
        w[0] -= (xyz[0] * c - xyz[1] * sn) / au;
        w[1] -= (xyz[0] * sn + xyz[1] * c) / au;
        w[2] -= xyz[2] / au;
    }
    double ra, dec, az, el;
    eraC2s(w, &ra, &dec);
    eraHd2ae(gast + s.lon - ra, dec, s.lat, &az, &el);
    if (azimuth) *azimuth = az;
    return el;
}

// The Sun's apparent geocentric place of date (AU) at a UT instant.
inline void Sun(const Frame& f, double mjd, double out[3]) {
    double pvh[2][3], pvb[2][3];
    eraEpv00(2400000.5, mjd + kDeltaT, pvh, pvb);
    double g[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]};
    const double r = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
    double u[3] = {g[0] / r, g[1] / r, g[2] / r}, v[3], a[3];
    double v2 = 0;
    for (int k = 0; k < 3; ++k) {
        v[k] = pvb[1][k] * kLightDaysPerAu;
        v2 += v[k] * v[k];
    }
    eraAb(u, v, r, std::sqrt(1.0 - v2), a);
    double d[3];
    f.OfDate(a, d);
    for (int k = 0; k < 3; ++k)
        out[k] = d[k] * r;
}

// The Moon's geocentric place of date (AU) at a UT instant, light time
// taken off.
inline void Moon(const Frame& f, double mjd, double out[3]) {
    double pv[2][3];
    eraMoon98(2400000.5, mjd + kDeltaT, pv);
    const double r = std::sqrt(pv[0][0] * pv[0][0] + pv[0][1] * pv[0][1] + pv[0][2] * pv[0][2]);
    const double tau = r * kLightDaysPerAu;
    double g[3];
    for (int k = 0; k < 3; ++k)
        g[k] = pv[0][k] - pv[1][k] * tau;
    f.OfDate(g, out);
}

inline double Length(const double v[3]) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// A J2000 place carried to the equator of date.
inline void StarOfDate(const Frame& f, double ra2000, double dec2000, double out[3]) {
    double p[3];
    eraS2c(ra2000, dec2000, p);
    f.OfDate(p, out);
}

} // namespace ref
