#include "astro/Eclprecess.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kArcsec = kDeg / 3600.0;

// eta, Pi and p for the ecliptic of J2000 to that of t centuries later.
void angles(double t, double& eta, double& Pi, double& p) {
    eta = (47.0029 - (0.03302 - 0.000060 * t) * t) * t * kArcsec;
    Pi = 174.876384 * kDeg + (-869.8089 + 0.03536 * t) * t * kArcsec;
    p = (5029.0966 + (1.11113 - 0.000006 * t) * t) * t * kArcsec;
}

void rotate(double t, bool back, double& lon, double& lat) {
    double eta, Pi, p;
    angles(t, eta, Pi, p);
    if (!back) {
        const double a = std::cos(eta) * std::cos(lat) * std::sin(Pi - lon) - std::sin(eta) * std::sin(lat);
        const double b = std::cos(lat) * std::cos(Pi - lon);
        const double c = std::cos(eta) * std::sin(lat) + std::sin(eta) * std::cos(lat) * std::sin(Pi - lon);
        lon = Pi + p - std::atan2(a, b);
        lat = std::asin(std::fmax(-1.0, std::fmin(1.0, c)));
    } else {
        // The inverse rotation: the same with eta negated about the moved node.
        const double P2 = Pi + p;
        const double a = std::cos(eta) * std::cos(lat) * std::sin(P2 - lon) + std::sin(eta) * std::sin(lat);
        const double b = std::cos(lat) * std::cos(P2 - lon);
        const double c = std::cos(eta) * std::sin(lat) - std::sin(eta) * std::cos(lat) * std::sin(P2 - lon);
        lon = Pi - std::atan2(a, b);
        lat = std::asin(std::fmax(-1.0, std::fmin(1.0, c)));
    }
    lon = std::fmod(lon, 2.0 * kPi);
    if (lon < 0.0) lon += 2.0 * kPi;
}

void onVector(double tt, bool back, double (&v)[3]) {
    const double r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0) return;
    double lon = std::atan2(v[1], v[0]), lat = std::asin(v[2] / r);
    rotate((tt - 51544.5) / 36525.0, back, lon, lat);
    v[0] = r * std::cos(lat) * std::cos(lon);
    v[1] = r * std::cos(lat) * std::sin(lon);
    v[2] = r * std::sin(lat);
}
} // namespace

void TEclPrecess::ToDate(double tt, double& lon, double& lat) {
    rotate((tt - 51544.5) / 36525.0, false, lon, lat);
}

void TEclPrecess::ToJ2000(double tt, double& lon, double& lat) {
    rotate((tt - 51544.5) / 36525.0, true, lon, lat);
}

void TEclPrecess::VectorToDate(double tt, double (&v)[3]) {
    onVector(tt, false, v);
}

void TEclPrecess::VectorToJ2000(double tt, double (&v)[3]) {
    onVector(tt, true, v);
}
