#include "astro/Clsjupiter.h"

#include <cmath>

#include "astro/Clsmjd.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kLightDaysPerAU = 0.005775518;
const char* const kNames[4] = {"木星", "JUPITER", "Jupiter", "JUP"};

struct Satellite {
    double l0;     // mean longitude at MJD 51544.5, degrees
    double rate;   // degrees per Julian century
    double radius; // orbit radius, Jupiter equatorial radii
    const char* names[6];
};
const Satellite kSats[4] = {
    {19.8, 7432435.4, 5.905, {"イオ", "IO", "Io", "", "Ⅰ", "I"}},
    {214.4, 3702713.1, 9.397, {"エウロパ", "EUROPA", "Europa", "", "Ⅱ", "II"}},
    {221.8, 1837851.9, 14.99, {"ガニメデ", "GANYMEDE", "Ganymede", "", "Ⅲ", "III"}},
    {80.9, 787884.7, 26.37, {"カリスト", "CALLISTO", "Callisto", "", "Ⅳ", "IV"}},
};
const double kSatMag[4] = {5.0, 5.3, 4.6, 5.6};

// atan(num / den) in (-pi/2, pi/2], taking the limit when den is zero.
double atanRatio(double num, double den) {
    if (den == 0.0) return num > 0.0 ? kPi / 2 : (num < 0.0 ? -kPi / 2 : 0.0);
    return std::atan(num / den);
}
} // namespace

void TJupiter::SetMjd(double mjd) {
    Publish(*this, Jupiter, mjd);
    AxisRatio = 0.935;

    const double tc = (TMjd::TT(mjd) - TMjd::J2000) / 36525.0;
    // Jupiter's equator against the Earth's: inclination and node, and its pole.
    const double incl = (25.5 + 0.01 * tc) * kDeg;
    const double node = (1.91 - 0.1 * tc) * kDeg;
    const double poleDec = kPi / 2 - incl;
    const double poleRa = -node - kPi / 2;
    const double sinDec = std::sin(Dec), cosDec = std::cos(Dec);
    AxisPA =
        atanRatio(std::sin(poleRa - Ra) * std::cos(poleDec),
                  cosDec * std::sin(poleDec) - std::cos(poleRa - Ra) * sinDec * std::cos(poleDec));

    // The satellites are seen as they were when their light left them: without this, Io
    // runs some 7 degrees (up to 0.7 Jupiter radii) ahead of where it is seen.
    const double tcSeen = tc - kLightDaysPerAU * EarthDist / 36525.0;
    for (int k = 0; k < 4; ++k) {
        const Satellite& s = kSats[k];
        double l = std::fmod(s.l0 + s.rate * tcSeen, 360.0);
        if (l < 0.0) l += 360.0;
        l *= kDeg;
        // Direction of the satellite from Jupiter in the Earth's equatorial frame.
        double x = std::cos(l), y = std::sin(l) * std::cos(incl), z = std::sin(l) * std::sin(incl);
        double a1 = atanRatio(y, x);
        if (x < 0.0) a1 += kPi;
        double sra = a1 - node;
        double sdec = std::atan(z / std::sqrt(x * x + y * y));
        double cd = std::cos(sra - Ra);
        // Components on the sky, turned half a turn (p south, q west), and along the line
        // of sight away from the Earth (w).
        double p = -(cosDec * std::sin(sdec) - cd * sinDec * std::cos(sdec));
        double q = -std::sin(sra - Ra) * std::cos(sdec);
        double w = cd * cosDec * std::cos(sdec) + sinDec * std::sin(sdec);
        double pa = atanRatio(q, p);
        if (p < 0.0) pa += kPi;
        double theta = atanRatio(std::sqrt(p * p + q * q), w);
        if (w < 0.0) theta += kPi;
        double rho = std::sin(theta) * s.radius;
        SatX[k] = std::sin(pa) * rho;
        SatY[k] = std::cos(pa) * rho;
        SatMag[k] = kSatMag[k];
        DLpointB(Ra, Dec, pa + kPi, rho * Diam / 2, SatRa[k], SatDec[k]);
    }
}

const char* TJupiter::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}

const char* TJupiter::GetGaliName(int sat, int form) {
    if (sat < 11 || sat > 14 || form < 0 || form > 5) return "";
    return kSats[sat - 11].names[form];
}

void TJupiter::DLpointB(double ra, double dec, double pa, double rho, double& raOut,
                        double& decOut) {
    double sinRho = std::sin(rho), cosRho = std::cos(rho);
    double sinPa = std::sin(pa), cosPa = std::cos(pa);
    double sinDec = std::sin(dec), cosDec = std::cos(dec);
    double s = sinDec * cosRho + cosDec * sinRho * cosPa;
    double y, x;
    if (dec == 0.0) {
        y = sinRho * sinPa;
        x = cosRho;
    } else {
        // Both components carry |sin dec|, keeping the quadrant on either side of the
        // equator.
        y = sinDec * sinPa * sinRho;
        x = sinRho * cosPa - cosDec * s;
        if (dec >= 0.0)
            x = -x;
        else
            y = -y;
    }
    double dra = AtnEx(y, x);
    raOut = ra + dra;
    if (raOut >= 6.283185307179586) raOut -= 6.283185307179586;
    // cos of the new declination, sin(pa) sin(rho) / sin(dra), with sin(dra) taken from
    // its components; zero on the meridian through the start point, where the step runs
    // straight along it.
    double num = sinRho * sinPa;
    if (num != 0.0 && y != 0.0) {
        decOut = std::atan(s / (num * std::hypot(y, x) / y));
    } else {
        decOut = dec + rho * cosPa;
    }
}
