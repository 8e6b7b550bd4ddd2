#include "astro/Clssaturn.h"

#include <cmath>

#include "astro/Clsmjd.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
const char* const kNames[4] = {"土星", "SATURN", "Saturn", "SAT"};
} // namespace

void TSaturn::SetMjd(double mjd) {
    Publish(*this, Saturn, mjd);
    AxisRatio = 0.8923;

    const double tc = (TMjd::TT(mjd) - TMjd::J2000) / 36525.0;
    // Pole of the ring plane.
    const double poleRa = (40.58 - 0.04 * tc) * kDeg;
    const double poleDec = 83.54 * kDeg;
    const double sinDec = std::sin(Dec), cosDec = std::cos(Dec);
    const double num = std::sin(poleRa - Ra) * std::cos(poleDec);
    const double den =
        cosDec * std::sin(poleDec) - std::cos(poleRa - Ra) * sinDec * std::cos(poleDec);
    if (den == 0.0)
        RingPA = num > 0.0 ? kPi / 2 : (num < 0.0 ? -kPi / 2 : 0.0);
    else
        RingPA = std::atan(num / den);
    const double s =
        sinDec * std::sin(poleDec) + std::cos(poleRa - Ra) * cosDec * std::cos(poleDec);
    RingTiltSin = s;
    const double k = AxisRatio;
    GlobeRatio = k / std::sqrt(k * k * s * s + 1.0 - s * s);
}

const char* TSaturn::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}

double TSaturn::GetRingR(int ring, double t) {
    switch (ring) {
    case 1:
        return 2.26 - 0.21 * t;
    case 2:
        return 1.9 - 0.37 * t;
    case 3:
        return 1.53 - 0.28 * t;
    case 4:
        return 1.98;
    default:
        return 0.0;
    }
}

double TSaturn::GetRingDeg(int ring, double t) const {
    const double r = GetRingR(ring, t);
    const double s = RingTiltSin;
    const double g = GlobeRatio;
    if ((g - 0.001) * (g - 0.001) < (r * s) * (r * s)) return 0.0;
    // The point of the projected ring at parameter th against the globe's outline: > 0
    // outside, < 0 inside.
    auto f = [&](double th) {
        double a = -r * s * std::sin(th) / g;
        double b = r * std::cos(th);
        return a * a + b * b - 1.0;
    };
    const double step = 10.0 * kDeg;
    double prevTh = 0.0, prevF = f(0.0);
    for (int i = 1; i <= 9; ++i) {
        double th = i * step;
        double fth = f(th);
        if ((prevF > 0.0) != (fth > 0.0)) {
            // False position on the grid interval, which brackets the crossing; a bounded
            // number of steps, since the ends can creep slowly.
            double a = prevTh, fa = prevF, b = th, fb = fth;
            double x = b;
            for (int n = 0; n < 100; ++n) {
                if (fb == fa) break;
                x = a - fa * (b - a) / (fb - fa);
                double fx = f(x);
                if (std::fabs(fx) < 0.0001) break;
                if (fb * fx > 0.0) {
                    b = x;
                    fb = fx;
                } else {
                    a = x;
                    fa = fx;
                }
            }
            return x;
        }
        prevTh = th;
        prevF = fth;
    }
    return 0.0;
}
