#include "astro/Planetmag.h"

#include <cmath>
#include <limits>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

double mercury(double a) {
    return -0.613 +
           a * (6.3280e-02 +
                a * (-1.6336e-03 +
                     a * (3.3644e-05 + a * (-3.4265e-07 + a * (1.6893e-09 + a * -3.0334e-12)))));
}

double venus(double a) {
    // Past 163.7 degrees the thin crescent brightens by forward scattering in the clouds.
    if (a < 163.7) return -4.384 + a * (-1.044e-03 + a * (3.687e-04 + a * (-2.814e-06 + a * 8.938e-09)));
    return 236.05828 + a * (-2.81914 + a * 8.39034e-03);
}

double mars(double a) {
    if (a <= 50.0) return -1.601 + a * (2.267e-02 + a * -1.302e-04);
    return -0.367 + a * (-0.02573 + a * 3.445e-04);
}

double jupiter(double a) {
    if (a <= 12.0) return -9.395 + a * (-3.7e-04 + a * 6.16e-04);
    const double x = a / 180.0;
    const double f = 1.0 + x * (-1.507 + x * (-0.363 + x * (-0.062 + x * (2.809 + x * -1.876))));
    return -9.428 - 2.5 * std::log10(std::fmax(f, 1e-6));
}

double saturn(double a, double subEarth, double subSun) {
    // The rings shine in sunlight only when the Earth sees their lit face; the tilt that
    // counts is the geometric mean of the two latitudes.
    const double product = subEarth * subSun;
    if (product > 0.0) {
        const double beta = std::sqrt(product);
        if (a <= 6.5 && beta <= 27.0 * kDeg) {
            const double s = std::sin(beta);
            return -8.914 - 1.825 * s + 0.026 * a - 0.378 * s * std::exp(-2.25 * a);
        }
    }
    if (a <= 6.0) return -8.95 + a * (-3.7e-04 + a * 6.16e-04);
    return -8.94 + a * (2.446e-04 + a * (2.672e-04 + a * (-1.506e-06 + a * 4.767e-09)));
}

double uranus(double a, double subEarth, double subSun) {
    // Planetographic latitudes (the oblate figure, f = 0.0229), in degrees.
    const double k = 1.0 / ((1.0 - 0.0229) * (1.0 - 0.0229));
    const double e = std::atan(k * std::tan(std::fabs(subEarth))) / kDeg;
    const double s = std::atan(k * std::tan(std::fabs(subSun))) / kDeg;
    double v = -7.110 - 0.00084 * (e + s) / 2.0;
    if (a > 3.1) v += a * (6.587e-3 + a * 1.045e-4);
    return v;
}

double neptune(double a, double year) {
    double v = -7.00;
    if (year < 1980.0) v = -6.89;
    else if (year < 2000.0) v = -6.89 - 0.0054 * (year - 1980.0);
    if (a > 1.9) v += a * (7.944e-3 + a * 9.617e-5);
    return v;
}
} // namespace

double TPlanetMag::Planet(int body, double r, double delta, double alpha, double subEarth,
                          double subSun, double year) {
    if (!(r > 0.0) || !(delta > 0.0)) return std::numeric_limits<double>::quiet_NaN();
    const double dist = 5.0 * std::log10(r * delta);
    switch (body) {
    case 0: return dist + mercury(alpha);
    case 1: return dist + venus(alpha);
    case 2: return dist + mars(alpha);
    case 3: return dist + jupiter(alpha);
    case 4: return dist + saturn(alpha, subEarth, subSun);
    case 5: return dist + uranus(alpha, subEarth, subSun);
    case 6: return dist + neptune(alpha, year);
    default: return std::numeric_limits<double>::quiet_NaN();
    }
}

double TPlanetMag::PhaseAngle(double r, double delta, double sunEarth) {
    if (!(r > 0.0) || !(delta > 0.0)) return 0.0;
    double c = (r * r + delta * delta - sunEarth * sunEarth) / (2.0 * r * delta);
    c = std::fmax(-1.0, std::fmin(1.0, c));
    return std::acos(c) / kDeg;
}
