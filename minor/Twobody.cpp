#include "minor/Twobody.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;
}

void TTwoBody::Stumpff(double x, double (&c)[4]) {
    if (std::fabs(x) < 0.1) {
        // The series: c_n = sum (-x)^k / (2k + n)!
        for (int n = 0; n < 4; ++n) {
            double term = 1.0, sum = 0.0;
            for (int f = 2; f <= n; ++f) term /= f;
            for (int k = 0; k < 12; ++k) {
                sum += term;
                term *= -x / double((2 * k + n + 1) * (2 * k + n + 2));
            }
            c[n] = sum;
        }
        return;
    }
    if (x > 0.0) {
        const double s = std::sqrt(x);
        c[0] = std::cos(s);
        c[1] = std::sin(s) / s;
        const double h = std::sin(s / 2.0);
        c[2] = 2.0 * h * h / x;
        c[3] = (1.0 - c[1]) / x;
    } else {
        const double s = std::sqrt(-x);
        c[0] = std::cosh(s);
        c[1] = std::sinh(s) / s;
        const double h = std::sinh(s / 2.0);
        c[2] = -2.0 * h * h / x;
        c[3] = (1.0 - c[1]) / x;
    }
}

bool TTwoBody::Place(const TMinorBody& b, double tt, double (&p)[3]) {
    const double mu = Gauss * Gauss;
    const double q = b.q, e = b.e;
    if (!(q > 0.0) || !(e >= 0.0) || !std::isfinite(q) || !std::isfinite(e) ||
        !std::isfinite(tt - b.T))
        return false;
    const double beta = mu * (1.0 - e) / q; // mu / a: > 0 ellipse, 0 parabola, < 0 hyperbola
    double dt = tt - b.T;
    double lo, hi;
    if (beta > 0.0) {
        // Whole revolutions away: the universal variable then stays within one turn.
        const double period = 2.0 * kPi / std::sqrt(beta * beta * beta) * mu;
        dt = std::remainder(dt, period);
        hi = kPi / std::sqrt(beta);
        lo = -hi;
    } else {
        // r >= q bounds the variable by dt / q; for a parabola or hyperbola c3 >= 1/6 bounds
        // it by the cube root of 6 dt / mu as well.
        const double bound = std::fmin(std::fabs(dt) / q, std::cbrt(6.0 * std::fabs(dt) / mu));
        hi = bound;
        lo = -bound;
    }
    // Kepler's equation F(s) = q G1 + mu G3 - dt = 0, with F'(s) = r > 0: Newton's steps
    // kept inside a shrinking bracket, falling back to halving it.
    double s = dt / q;
    if (s < lo || s > hi) s = 0.5 * (lo + hi);
    double c[4] = {1, 1, 0.5, 1.0 / 6.0};
    for (int it = 0; it < 200; ++it) {
        Stumpff(beta * s * s, c);
        const double G1 = s * c[1], G2 = s * s * c[2], G3 = s * s * s * c[3];
        const double F = q * G1 + mu * G3 - dt;
        const double dF = q * c[0] + mu * G2; // the distance from the Sun
        if (!std::isfinite(F) || !std::isfinite(dF)) return false;
        if (F > 0.0) hi = s;
        else lo = s;
        double next = dF > 0.0 ? s - F / dF : 0.5 * (lo + hi);
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        const double step = std::fabs(next - s);
        s = next;
        if (step <= 1e-15 * (std::fabs(s) + 1e-300) || hi - lo <= 1e-15 * std::fabs(s)) break;
    }
    Stumpff(beta * s * s, c);
    const double G1 = s * c[1], G2 = s * s * c[2];
    // In the orbit's plane, x towards perihelion: the f and g series from perihelion.
    const double x = q - mu * G2;
    const double y = G1 * std::sqrt(mu * q * (1.0 + e));
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    const double co = std::cos(b.Peri), so = std::sin(b.Peri);
    const double cn = std::cos(b.Node), sn = std::sin(b.Node);
    const double ci = std::cos(b.i), si = std::sin(b.i);
    const double xw = x * co - y * so, yw = x * so + y * co; // rotated by the argument of perihelion
    p[0] = xw * cn - yw * ci * sn;
    p[1] = xw * sn + yw * ci * cn;
    p[2] = yw * si;
    return true;
}
