#include "astro/Clssphere.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kTiny = 1e-14;
// Sidereal rotation of the sky, radians per day.
constexpr double kSiderealRate = 1.00273791 * 24.0 * 15.0 * kPi / 180.0;
} // namespace

double TSphere::AtnEx(double y, double x) {
    // Along the y axis atan(y/x) is undefined; give the direction itself.
    if (x == 0.0) {
        if (y > 0.0) return kPi / 2.0;
        if (y < 0.0) return 3.0 * kPi / 2.0;
        return 2.0 * kPi;
    }
    double r = std::atan(y / x);
    if (x <= 0.0) return r + kPi;
    if (y <= 0.0) return r + 2.0 * kPi;
    return r;
}

double TSphere::PositionAngle(double ra1, double dec1, double ra2, double dec2) {
    double dra = ra2 - ra1;
    double y = std::sin(dra) * std::cos(dec2);
    double x = std::cos(dec1) * std::sin(dec2) - std::sin(dec1) * std::cos(dec2) * std::cos(dra);
    if (std::fabs(y) < kTiny) return dec2 < dec1 ? kPi : 0.0;
    if (std::fabs(x) < kTiny) return ra1 < ra2 ? 1.570796326794895 : 4.71238898038469;
    return AtnEx(y, x);
}

double TSphere::AngularDistance(double ra1, double dec1, double ra2, double dec2, double pa) {
    if (ra1 == ra2 || std::fabs(dec1) > kPi / 2.0 || std::fabs(dec2) > kPi / 2.0)
        return std::fabs(dec2 - dec1);
    double dra = ra2 - ra1;
    if (dra == kPi) {
        // Opposite meridians: the great circle runs over the nearer pole.
        double d = kPi - dec1 - dec2;
        return d > kPi ? 2.0 * kPi - d : d;
    }
    // y/x = tan D; both carry the sine of the position angle, so a point west of
    // point 1 lands half a turn further round and is folded back below.
    double cosD = std::cos(dra) * std::cos(dec2) * std::cos(dec1) + std::sin(dec2) * std::sin(dec1);
    double sinPa = std::sin(pa);
    double y = std::sin(dra) * std::cos(dec2);
    double x = cosD * sinPa;
    if (std::fabs(x) < kTiny) {
        // The points are a quarter circle apart, or both lie on one great circle
        // through the pole (position angle 0 or pi) with right ascensions that
        // differ by whole or half turns. Neither ratio is usable; take the
        // distance from its sine and cosine directly.
        double sinD = std::hypot(y, std::cos(dec1) * std::sin(dec2) -
                                        std::sin(dec1) * std::cos(dec2) * std::cos(dra));
        return std::atan2(sinD, cosD);
    }
    double a = AtnEx(y, x);
    return a > kPi ? a - kPi : a;
}

void TSphere::DLpointB(double ra, double dec, double pa, double rho, double& raOut,
                       double& decOut) {
    double sinRho = std::sin(rho), cosRho = std::cos(rho);
    double sinPa = std::sin(pa), cosPa = std::cos(pa);
    double sinDec = std::sin(dec), cosDec = std::cos(dec);
    double s = sinDec * cosRho + cosDec * sinRho * cosPa;
    // Components of the step in right ascension (y along sin, x along cos).
    double y, x;
    if (std::fabs(dec) < kTiny) {
        y = sinRho * sinPa;
        x = cosRho;
    } else {
        // Both components carry |sin dec|, which keeps the quadrant right on
        // either side of the equator.
        y = sinDec * sinPa * sinRho;
        x = sinRho * cosPa - cosDec * s;
        if (dec >= 0.0)
            x = -x;
        else
            y = -y;
    }
    double dra = AtnEx(y, x);
    raOut = ra + dra;
    if (raOut >= 6.28318530717958) raOut -= 2.0 * 3.14159265358979;
    // cos of the new declination by the sine rule, sin(pa) sin(rho) / sin(dra).
    // sin(dra) is taken from its components: the sine of an angle just below
    // 2*pi loses digits. On the meridian through the start point (pa 0 or pi)
    // both vanish and the step runs straight along it.
    double num = sinRho * sinPa;
    double h = std::hypot(y, x);
    if (y != 0.0 && std::fabs(num) * h >= kTiny * std::fabs(y)) {
        decOut = std::atan(s / (num * h / y));
    } else {
        decOut = dec + rho * cosPa;
    }
}

void TSphere::Devide(double ra1, double dec1, double ra2, double dec2, double n, double m,
                     double& ra, double& dec) {
    double pa = PositionAngle(ra1, dec1, ra2, dec2);
    double d = AngularDistance(ra1, dec1, ra2, dec2, pa);
    // An empty division (m = 0) stays at the first point.
    double part = m != 0.0 ? d * n / m : 0.0;
    DLpointB(ra1, dec1, pa, part, ra, dec);
}

void TSphere::PolePosition(double cRaJ, double cDecJ, double cRaK, double cDecK, double sRaJ,
                           double sDecJ, double sRaK, double sDecK, double tJ, double tK,
                           double tNow, double& P, double& Pdec, double& Q, double& R) {
    double a = PositionAngle(cRaJ, cDecJ, cRaK, cDecK);
    // Star k's sky place turned back to the moment star j was set, so that both
    // stars are compared on one sky.
    double b = PositionAngle(sRaJ, sDecJ, sRaK - (tK - tJ) * kSiderealRate, sDecK);
    DLpointB(sRaJ, sDecJ, b - a, kPi / 2.0 - cDecJ, P, Pdec);
    P += (tNow - tJ) * kSiderealRate;
    DLpointB(cRaJ, cDecJ, a - b, kPi / 2.0 - sDecJ, Q, R);
}

void TSphere::RDobj(double raT, double decT, double P, double Q, double R, double& ra,
                    double& dec) {
    DLpointB(Q, R, P - raT, kPi / 2.0 - decT, ra, dec);
}
