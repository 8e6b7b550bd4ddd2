// A simulated equatorial mount with setting circles, built from plain rotation
// matrices (nothing from the program's spherical geometry): its polar axis
// points anywhere near the pole, the hour circle has any zero point, and the
// circles are fixed to the ground, so the sky turns under them.
#pragma once

#include <array>
#include <cmath>

namespace sim {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
// Earth's rotation against the stars, radians per day of UT.
constexpr double kSidereal = 1.00273790935 * 2.0 * kPi;

using Vec = std::array<double, 3>;
using Mat = std::array<Vec, 3>;

inline Vec Unit(double lon, double lat) {
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}
inline void Angles(const Vec& v, double& lon, double& lat) {
    lon = std::atan2(v[1], v[0]);
    if (lon < 0) lon += 2 * kPi;
    lat = std::asin(std::fmax(-1.0, std::fmin(1.0, v[2])));
}
inline Vec Mul(const Mat& m, const Vec& v) {
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}
inline Mat Transpose(const Mat& m) {
    Mat t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            t[i][j] = m[j][i];
    return t;
}
// Rotation turning the unit vector p onto the z axis (Rodrigues).
inline Mat OntoZ(const Vec& p) {
    Vec k{p[1], -p[0], 0.0}; // p x z
    const double s = std::hypot(k[0], k[1]);
    const double c = p[2];
    if (s < 1e-15) return Mat{Vec{1, 0, 0}, Vec{0, 1, 0}, Vec{0, 0, 1}};
    k = {k[0] / s, k[1] / s, 0.0};
    Mat r;
    const Mat kx{Vec{0, -k[2], k[1]}, Vec{k[2], 0, -k[0]}, Vec{-k[1], k[0], 0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = (i == j ? c : 0.0) + s * kx[i][j] + (1 - c) * k[i] * k[j];
    return r;
}

// Hour angle and declination of a point of the horizon sky (azimuth from
// north through east) at latitude lat.
inline void HorizonToEquator(double lat, double az, double alt, double& ha, double& dec) {
    const double sd = std::sin(lat) * std::sin(alt) + std::cos(lat) * std::cos(alt) * std::cos(az);
    dec = std::asin(std::fmax(-1.0, std::fmin(1.0, sd)));
    ha = std::atan2(-std::cos(alt) * std::sin(az),
                    std::cos(lat) * std::sin(alt) - std::sin(lat) * std::cos(alt) * std::cos(az));
}

struct Mount {
    double Lst0 = 0.0, Mjd0 = 0.0; // the sidereal time at one instant
    double RaZero = 0.0;           // zero point of the hour circle
    Mat Tilt{Vec{1, 0, 0}, Vec{0, 1, 0}, Vec{0, 0, 1}};

    // poleAz/poleAlt: where the polar axis points in the horizon sky; an
    // aligned mount has azimuth 0 and altitude = latitude.
    Mount(double lat, double poleAz, double poleAlt, double raZero, double lst0, double mjd0)
        : Lst0(lst0), Mjd0(mjd0), RaZero(raZero) {
        double ha, dec;
        HorizonToEquator(lat, poleAz, poleAlt, ha, dec);
        Tilt = OntoZ(Unit(-ha, dec)); // ground frame: longitude = -hour angle
    }
    double Lst(double mjd) const { return Lst0 + (mjd - Mjd0) * kSidereal; }

    // What the circles read with the telescope on the seen place (ra, dec).
    void Read(double mjd, double ra, double dec, double& cRa, double& cDc) const {
        double lon;
        Angles(Mul(Tilt, Unit(ra - Lst(mjd), dec)), lon, cDc);
        cRa = std::fmod(lon + RaZero + 4 * kPi, 2 * kPi);
    }
    // Where in the sky the telescope points for circle readings (cRa, cDc).
    void Sky(double mjd, double cRa, double cDc, double& ra, double& dec) const {
        double lon;
        Angles(Mul(Transpose(Tilt), Unit(cRa - RaZero, cDc)), lon, dec);
        ra = std::fmod(lon + Lst(mjd) + 4 * kPi, 2 * kPi);
    }
};

// Difference of two circle right ascensions, radians in (-pi, pi].
inline double RaDiff(double a, double b) {
    double d = std::fmod(a - b, 2 * kPi);
    if (d > kPi) d -= 2 * kPi;
    if (d <= -kPi) d += 2 * kPi;
    return d;
}

} // namespace sim
