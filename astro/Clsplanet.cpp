// Analytic theory of the Sun, the Moon and the planets: mean elements with a few
// perturbation terms per planet, Kepler's equation, the geocentric reduction, nutation,
// annual aberration and the rotation to the equator.
#include "astro/Clsplanet.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "astro/Clsmjd.h"
#include "astro/Planetmag.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kRad = kPi / 180.0;                 // degrees to radians
constexpr double kArcsec = kRad / 3600.0;            // arc seconds to radians
constexpr double kAberration = 9.890199094634533e-5; // 20.4 arc seconds
constexpr double kDaysPerCentury = 36525.0;
constexpr double kEpochMjd = 15019.5; // 1900 January 0.5

// The fractional part; rates are applied as whole revolutions removed first so that the
// large multiples of 360 degrees never reach the polynomial terms.
double frac(double x) {
    return x - std::floor(x);
}

double turns(double x) {
    return x - std::floor(x / kTwoPi) * kTwoPi;
}

struct TTableRow {
    double L0, Lr, L2, L3;
    double peri[4], ecc[4], inc[4], node[4];
    double a, diam1, v0;
};

// Mercury, Venus, Mars, Jupiter, Saturn, Uranus, Neptune, Pluto.
constexpr TTableRow kElements[TPlanet::PlanetCount] = {
    {178.179078,
     415.2057519,
     0.0003011,
     0.0,
     {75.899697, 1.5554889, 0.0002947, 0.0},
     {0.20561421, 0.00002046, 0.00000003, 0.0},
     {7.002881, 0.0018608, -0.0000183, 0.0},
     {47.145944, 1.1852083, 0.0001739, 0.0},
     0.3870986,
     6.74,
     -0.42},
    {342.767053,
     162.5533664,
     0.0003097,
     0.0,
     {130.163833, 1.4080361, -0.0009764, 0.0},
     {0.00682069, -0.00004774, 0.000000091, 0.0},
     {3.393631, 0.0010058, -0.000001, 0.0},
     {75.779647, 0.89985, 0.00041, 0.0},
     0.7233316,
     16.92,
     -4.4},
    {293.737334,
     53.17137642,
     0.0003107,
     0.0,
     {334.218203, 1.8407584, 0.0001299, -0.00000119},
     {0.0933129, 0.000092064, 0.000000077, 0.0},
     {1.850333, -0.000675, 0.0000126, 0.0},
     {48.786442, 0.7709917, -0.0000014, -0.00000533},
     1.5236883,
     9.36,
     -1.52},
    {238.049257,
     8.434172183,
     0.0003347,
     -0.00000165,
     {12.720972, 1.6099617, 0.00105627, -0.00000343},
     {0.04833475, 0.00016418, -0.0000004676, -0.0000000017},
     {1.308736, -0.0056961, 0.0000039, 0.0},
     {99.443414, 1.01053, 0.00035222, -0.00000851},
     5.202561,
     196.74,
     -9.4},
    {266.564377,
     3.398638567,
     0.0003245,
     -0.0000058,
     {91.098214, 1.9584158, 0.00082636, 0.00000461},
     {0.05589232, -0.0003455, -0.000000728, 0.00000000074},
     {2.492519, -0.0039189, -0.00001549, 0.00000004},
     {112.790414, 0.8731951, -0.00015218, -0.00000531},
     9.554747,
     165.6,
     -8.88},
    {244.19747,
     1.194065406,
     0.000316,
     -0.0000006,
     {171.548692, 1.4844328, 0.0002372, -0.00000061},
     {0.0463444, -0.00002658, 0.000000077, 0.0},
     {0.772464, 0.0006253, 0.0000395, 0.0},
     {73.477111, 0.4986678, 0.0013117, 0.0},
     19.21814,
     65.8,
     -7.19},
    {84.457994,
     0.6107942056,
     0.0003205,
     -0.0000006,
     {46.727364, 1.4245744, 0.00039082, -0.000000605},
     {0.00899704, 0.00000633, -0.000000002, 0.0},
     {1.779242, -0.0095436, -0.0000091, 0.0},
     {130.681389, 1.098935, 0.00024987, -0.000004718},
     30.10957,
     62.2,
     -6.87},
    {95.3113544,
     0.3980332167,
     0.0,
     0.0,
     {224.017, 0.0, 0.0, 0.0},
     {0.25515, 0.0, 0.0, 0.0},
     {17.1329, 0.0, 0.0, 0.0},
     {110.191, 0.0, 0.0, 0.0},
     39.8151,
     8.2,
     -1.0},
};

double cubic(const double (&c)[4], double T) {
    return c[0] + T * (c[1] + T * (c[2] + T * c[3]));
}

} // namespace

thread_local double TPlanet::obl_d = 0.0, TPlanet::obl_val = 0.0;
thread_local bool TPlanet::obl_set = false;
thread_local double TPlanet::nut_d = 0.0, TPlanet::nut_eps = 0.0, TPlanet::nut_psi = 0.0;
thread_local bool TPlanet::nut_set = false;
thread_local double TPlanet::rot_d = 0.0, TPlanet::rot_sin = 0.0, TPlanet::rot_cos = 0.0;
thread_local bool TPlanet::rot_set = false;

double TPlanet::AtnEx(double y, double x) {
    if (x == 0.0) {
        // Straight up or down the y axis; the origin itself falls back to 2pi.
        if (y > 0.0) return kPi / 2.0;
        if (y < 0.0) return 1.5 * kPi;
        return kTwoPi;
    }
    const double r = std::atan(y / x);
    if (x <= 0.0) return r + kPi;
    if (y <= 0.0) return r + kTwoPi;
    return r;
}

void TPlanet::range(double& x, double period) {
    if (!std::isfinite(x) || period <= 0.0) return;
    x -= std::floor(x / period) * period;
    if (x >= period) x -= period; // rounding of a value just below a multiple
    if (x < 0.0) x = 0.0;
}

void TPlanet::pelement(double d, TElement (&el)[PlanetCount]) {
    const double T = d / kDaysPerCentury;
    for (int k = 0; k < PlanetCount; ++k) {
        const TTableRow& row = kElements[k];
        TElement& w = el[k];
        w.L = row.L0 + 360.0 * frac(row.Lr * T) + row.L2 * T * T + row.L3 * T * T * T;
        range(w.L, 360.0);
        w.n = row.Lr * 0.009856263 + (row.L2 + row.L3) / kDaysPerCentury;
        w.Peri = cubic(row.peri, T);
        w.e = cubic(row.ecc, T);
        w.i = cubic(row.inc, T);
        w.Node = cubic(row.node, T);
        w.a = row.a;
        w.Diam1 = row.diam1;
        w.V0 = row.v0;
    }
}

void TPlanet::anomaly(double M, double e, double& nu, double& E) {
    range(M, kTwoPi);
    E = M;
    // Newton's method converges in a few steps for the eccentricities of the table; the
    // bound only guards against a non-finite argument.
    for (int k = 0; k < 100; ++k) {
        const double delta = E - e * std::sin(E) - M;
        if (!(std::fabs(delta) >= 1e-6)) break;
        E -= delta / (1.0 - e * std::cos(E));
    }
    nu = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
}

void TPlanet::masun(double d, double& M) {
    const double T = d / kDaysPerCentury;
    M = (358.47583 + 360.0 * frac(99.99736042 * T) - (0.00015 + 0.0000033 * T) * T * T) * kRad;
}

void TPlanet::sunpos(double d, double& lon, double& R) {
    const double T = d / kDaysPerCentury;
    const double L = 279.69668 + 360.0 * frac(100.0021359 * T) + 0.0003025 * T * T;
    const double M = 358.47583 + 360.0 * frac(99.99736042 * T) - (0.00015 + 0.0000033 * T) * T * T;
    const double e = 0.016751 - 0.0000418 * T - 0.000000126 * T * T;
    double nu, E;
    anomaly(M * kRad, e, nu, E);

    const double A = (153.23 + 360.0 * frac(62.55209472 * T)) * kRad;
    const double B = (216.57 + 360.0 * frac(125.1041894 * T)) * kRad;
    const double C = (312.69 + 360.0 * frac(91.56766028 * T)) * kRad;
    const double D = (350.74 + 360.0 * frac(1236.853095 * T) - 0.00144 * T * T) * kRad;
    const double Ep = (231.19 + 20.2 * T) * kRad;
    const double H = (353.4 + 360.0 * frac(183.1353208 * T)) * kRad;
    const double dl = 0.00134 * std::cos(A) + 0.00154 * std::cos(B) + 0.002 * std::cos(C) +
                      0.00179 * std::sin(D) + 0.00178 * std::sin(Ep);
    const double dr = 0.00000543 * std::sin(A) + 0.00001575 * std::sin(B) +
                      0.00001627 * std::sin(C) + 0.00003076 * std::cos(D) +
                      0.00000927 * std::sin(H);

    lon = (L - M + dl) * kRad + nu;
    range(lon, kTwoPi);
    R = 1.0000002 * (1.0 - e * std::cos(E)) + dr;
}

void TPlanet::obliquity(double d, double& eps0) {
    if (obl_set && d == obl_d) {
        eps0 = obl_val;
        return;
    }
    const double T = d / kDaysPerCentury;
    eps0 = (23.45229444 - (46.845 * T + 0.0059 * T * T - 0.00181 * T * T * T) / 3600.0) * kRad;
    obl_d = d;
    obl_val = eps0;
    obl_set = true;
}

void TPlanet::nutation(double d, double& deps, double& dpsi) {
    if (nut_set && d == nut_d) {
        deps = nut_eps;
        dpsi = nut_psi;
        return;
    }
    const double T = d / kDaysPerCentury;
    const double T2 = T * T;
    const double L = (279.697 + 360.0 * frac(100.0021358 * T) + 0.000303 * T2) * kRad;
    const double Lp = (270.434 + 360.0 * frac(1336.855231 * T) - 0.001133 * T2) * kRad;
    const double M = (358.476 + 360.0 * frac(99.99736056 * T) - 0.00015 * T2) * kRad;
    const double Mp = (296.105 + 360.0 * frac(1325.552359 * T) + 0.009192 * T2) * kRad;
    const double Om = (259.183 + 0.002078 * T2 - 360.0 * frac(5.372616667 * T)) * kRad;

    const double psi = (-17.2327 - 0.01737 * T) * std::sin(Om) +
                       (-1.2729 - 0.00013 * T) * std::sin(2 * L) + 0.2088 * std::sin(2 * Om) -
                       0.2037 * std::sin(2 * Lp) + (0.1261 - 0.00031 * T) * std::sin(M) +
                       0.0675 * std::sin(Mp) - (0.0497 - 0.00012 * T) * std::sin(2 * L + M) -
                       0.0342 * std::sin(2 * Lp - Om) - 0.0261 * std::sin(2 * Lp + Mp) +
                       0.0214 * std::sin(2 * L - M) - 0.0149 * std::sin(2 * L - 2 * Lp + Mp) +
                       0.0124 * std::sin(2 * L - Om) + 0.0114 * std::sin(2 * Lp - Mp);
    const double eps = (9.21 + 0.00091 * T) * std::cos(Om) +
                       (0.5522 - 0.00029 * T) * std::cos(2 * L) - 0.0904 * std::cos(2 * Om) +
                       0.0884 * std::cos(2 * Lp) + 0.0216 * std::cos(2 * L + M) +
                       0.0183 * std::cos(2 * Lp - Om) + 0.0113 * std::cos(2 * Lp + Mp) -
                       0.0093 * std::cos(2 * L - M) - 0.0066 * std::cos(2 * L - Om);
    deps = eps * kArcsec;
    dpsi = psi * kArcsec;
    nut_d = d;
    nut_eps = deps;
    nut_psi = dpsi;
    nut_set = true;
}

void TPlanet::ecleq_aux(int direction, double& lonOut, double d, double lon, double lat,
                        double& latOut) {
    if (!rot_set || d != rot_d) {
        double eps0, deps, dpsi;
        obliquity(d, eps0);
        nutation(d, deps, dpsi);
        rot_sin = std::sin(eps0 + deps);
        rot_cos = std::cos(eps0 + deps);
        rot_d = d;
        rot_set = true;
    }
    const double s = direction < 0 ? -1.0 : 1.0;
    const double sinLat = std::sin(lat);
    double cosLat = std::cos(lat);
    if (std::fabs(cosLat) < 1e-20) cosLat = 1e-20;
    const double sinLon = std::sin(lon), cosLon = std::cos(lon);

    double sl = sinLat * rot_cos - s * cosLat * rot_sin * sinLon;
    if (sl > 1.0) sl = 1.0;
    if (sl < -1.0) sl = -1.0;
    latOut = std::asin(sl);

    const double num = s * (sinLat / cosLat) * rot_sin + sinLon * rot_cos;
    double out;
    if (cosLon == 0.0) {
        out = num > 0.0 ? kPi / 2.0 : (num < 0.0 ? -kPi / 2.0 : 0.0);
    } else {
        out = std::atan(num / cosLon);
        if (cosLon < 0.0) out += kPi;
    }
    range(out, kTwoPi);
    lonOut = out;
}

void TPlanet::ecl_eq(double d, double beta, double lambda, double& ra, double& dec) {
    ecleq_aux(-1, ra, d, lambda, beta, dec);
}

void TPlanet::eq_ecl(double d, double ra, double dec, double& beta, double& lambda) {
    ecleq_aux(1, lambda, d, ra, dec, beta);
}

void TPlanet::elongation(double lsun, double beta, double lambda, double& E) {
    double c = std::cos(beta) * std::cos(lsun - lambda);
    if (c > 1.0) c = 1.0;
    if (c < -1.0) c = -1.0;
    E = std::acos(c);
    if (lambda > lsun + kPi || (lambda > lsun - kPi && lambda < lsun)) E = -E;
}

void TPlanet::p_mercury(const double (&M)[PlanetCount], double& dl, double& dr) {
    const double Me = M[Mercury], V = M[Venus], J = M[Jupiter];
    dl = 0.00204 * std::cos(5 * V - 2 * Me + 0.21328) + 0.00103 * std::cos(2 * V - Me - 2.8046) +
         0.00091 * std::cos(2 * J - Me - 0.64582) + 0.00078 * std::cos(5 * V - 3 * Me + 0.17692);
    dr = 0.000007525 * std::cos(2 * J - Me + 0.925251) +
         0.000006802 * std::cos(5 * V - 3 * Me - 4.53642) +
         0.000005457 * std::cos(2 * V - 2 * Me - 1.24246) +
         0.000003569 * std::cos(5 * V - Me - 1.35699);
}

void TPlanet::p_venus(double T, double msun, const double (&M)[PlanetCount], double& dl, double& dr,
                      double& dlp, double& dM) {
    const double S = msun, V = M[Venus], J = M[Jupiter];
    dlp = dM = 0.00077 * std::sin(4.1406 + 2.6227 * T) * kRad;
    dl = 0.00313 * std::cos(2 * S - 2 * V - 2.587) + 0.00198 * std::cos(3 * S - 3 * V + 0.044768) +
         0.00136 * std::cos(S - V - 2.0788) + 0.00096 * std::cos(3 * S - 2 * V - 2.3721) +
         0.00082 * std::cos(J - V - 3.6318);
    dr = 0.000022501 * std::cos(2 * S - 2 * V - 1.01592) +
         0.000019045 * std::cos(3 * S - 3 * V + 1.61577) + 0.000006887 * std::cos(J - V - 2.06106) +
         0.000005172 * std::cos(S - V - 0.508065) + 0.00000362 * std::cos(5 * S - 4 * V - 1.81877) +
         0.000003283 * std::cos(4 * S - 4 * V + 1.10851) +
         0.000003074 * std::cos(2 * J - 2 * V - 0.962846);
}

void TPlanet::p_mars(double msun, const double (&M)[PlanetCount], double& dl, double& dr,
                     double& dlp, double& dM) {
    const double S = msun, Ma = M[Mars], V = M[Venus], J = M[Jupiter];
    const double A = 3 * J - 8 * Ma + 4 * S;
    dlp = dM = -(0.01133 * std::sin(A) + 0.00933 * std::cos(A)) * kRad;
    dl = 0.00705 * std::cos(J - Ma - 0.85448) + 0.00607 * std::cos(2 * J - Ma - 3.2873) +
         0.00445 * std::cos(2 * J - 2 * Ma - 3.3492) + 0.00388 * std::cos(S - 2 * Ma + 0.35771) +
         0.00238 * std::cos(S - Ma + 0.61256) + 0.00204 * std::cos(2 * S - 3 * Ma + 2.7688) +
         0.00177 * std::cos(3 * Ma - V - 1.0053) + 0.00136 * std::cos(2 * S - 4 * Ma + 2.6894) +
         0.00104 * std::cos(J + 0.30749);
    dr = 0.000053227 * std::cos(J - Ma + 0.717864) +
         0.000050989 * std::cos(2 * J - 2 * Ma - 1.77997) +
         0.000038278 * std::cos(2 * J - Ma - 1.71617) + 0.000015996 * std::cos(S - Ma - 0.969618) +
         0.000014764 * std::cos(2 * S - 3 * Ma + 1.19768) +
         0.000008966 * std::cos(J - 2 * Ma + 0.761225) +
         0.000007914 * std::cos(3 * J - 2 * Ma - 2.43887) +
         0.000007004 * std::cos(2 * J - 3 * Ma - 1.79573) +
         0.00000662 * std::cos(S - 2 * Ma + 1.97575) +
         0.00000493 * std::cos(3 * J - 3 * Ma - 1.33069) +
         0.000004693 * std::cos(3 * S - 5 * Ma + 3.32665) +
         0.000004571 * std::cos(2 * S - 4 * Ma + 4.27086) +
         0.000004409 * std::cos(3 * J - Ma - 2.02158);
}

namespace {

// One term of the Moon's series: multiples of D, M, M', F, the coefficient (degrees) and
// the power of the eccentricity factor E that multiplies it.
struct TMoonTerm {
    int D, M, Mp, F;
    double coef;
    int epow;
};

// Longitude, sine terms.
constexpr TMoonTerm kMoonLon[] = {
    {0, 0, 1, 0, 6.288750, 0},   {2, 0, -1, 0, 1.274020, 0},  {2, 0, 0, 0, 0.658309, 0},
    {0, 0, 2, 0, 0.213616, 0},   {0, 1, 0, 0, -0.185596, 1},  {0, 0, 0, 2, -0.114336, 0},
    {2, 0, -2, 0, 0.058793, 0},  {2, -1, -1, 0, 0.057212, 1}, {2, 0, 1, 0, 0.053320, 0},
    {2, -1, 0, 0, 0.045874, 1},  {0, -1, 1, 0, 0.041024, 1},  {1, 0, 0, 0, -0.034718, 0},
    {0, 1, 1, 0, -0.030465, 1},  {2, 0, 0, -2, 0.015326, 0},  {0, 0, 1, 2, -0.012528, 0},
    {0, 0, -1, 2, -0.010980, 0}, {4, 0, -1, 0, 0.010674, 0},  {0, 0, 3, 0, 0.010034, 0},
    {4, 0, -2, 0, 0.008548, 0},  {2, 1, -1, 0, -0.007910, 1}, {2, 1, 0, 0, -0.006783, 1},
    {-1, 0, 1, 0, 0.005162, 0},  {1, 1, 0, 0, 0.005000, 1},   {4, 0, 0, 0, 0.003862, 0},
    {2, -1, 1, 0, 0.004049, 1},  {2, 0, 2, 0, 0.003996, 0},   {2, 0, -3, 0, 0.003665, 0},
    {0, -1, 2, 0, 0.002695, 1},  {-2, 0, 1, -2, 0.002602, 0}, {2, -1, -2, 0, 0.002396, 1},
    {1, 0, 1, 0, -0.002349, 0},  {2, -2, 0, 0, 0.002249, 2},  {0, 1, 2, 0, -0.002125, 1},
    {0, 2, 0, 0, -0.002079, 2},  {2, -2, -1, 0, 0.002059, 2}, {2, 0, 1, -2, -0.001773, 0},
    {2, 0, 0, 2, -0.001595, 0},  {4, -1, -1, 0, 0.001220, 1}, {0, 0, 2, 2, -0.001110, 0},
    {-3, 0, 1, 0, 0.000892, 0},  {2, 1, 1, 0, -0.000811, 1},  {4, -1, -2, 0, 0.000761, 1},
    {-2, -2, 1, 0, 0.000704, 2}, {2, 1, -2, 0, 0.000693, 1},  {2, -1, 0, -2, 0.000598, 1},
    {4, 0, 1, 0, 0.000550, 0},   {0, 0, 4, 0, 0.000538, 0},   {4, -1, 0, 0, 0.000521, 1},
    {-1, 0, 2, 0, 0.000486, 0},  {0, -2, 1, 0, 0.000717, 2},
};

// Latitude, sine terms.
constexpr TMoonTerm kMoonLat[] = {
    {0, 0, 0, 1, 5.128190, 0},   {0, 0, 1, 1, 0.280606, 0},    {0, 0, 1, -1, 0.277693, 0},
    {2, 0, 0, -1, 0.173238, 0},  {2, 0, -1, 1, 0.055413, 0},   {2, 0, -1, -1, 0.046272, 0},
    {2, 0, 0, 1, 0.032573, 0},   {0, 0, 2, 1, 0.017198, 0},    {2, 0, 1, -1, 0.009267, 0},
    {0, 0, 2, -1, 0.008823, 0},  {2, -1, 0, -1, 0.008247, 1},  {2, 0, -2, -1, 0.004323, 0},
    {2, 0, 1, 1, 0.004200, 0},   {-2, -1, 0, 1, 0.003372, 1},  {2, -1, -1, 1, 0.002472, 1},
    {2, -1, 0, 1, 0.002222, 1},  {2, -1, -1, -1, 0.002072, 1}, {0, -1, 1, 1, 0.001877, 1},
    {4, 0, -1, -1, 0.001828, 0}, {0, 1, 0, 1, -0.001803, 1},   {0, 0, 0, 3, -0.001750, 0},
    {0, -1, 1, -1, 0.001570, 1}, {1, 0, 0, 1, -0.001487, 0},   {0, 1, 1, 1, -0.001481, 1},
    {0, -1, -1, 1, 0.001417, 1}, {0, -1, 0, 1, 0.001350, 1},   {-1, 0, 0, 1, 0.001330, 0},
    {0, 0, 3, 1, 0.001106, 0},   {4, 0, 0, -1, 0.001020, 0},   {4, 0, -1, 1, 0.000833, 0},
    {0, 0, 1, -3, 0.000781, 0},  {4, 0, -2, 1, 0.000670, 0},   {2, 0, 0, -3, 0.000606, 0},
    {2, 0, 2, -1, 0.000597, 0},  {2, -1, 1, -1, 0.000492, 1},  {-2, 0, 2, -1, 0.000450, 0},
    {0, 0, 3, -1, 0.000439, 0},  {2, 0, 2, 1, 0.000423, 0},    {2, 0, -3, -1, 0.000422, 0},
    {2, 1, -1, 1, -0.000367, 1}, {2, 1, 0, 1, -0.000353, 1},   {4, 0, 0, 1, 0.000331, 0},
    {2, -1, 1, 1, 0.000317, 1},  {2, -2, 0, -1, 0.000306, 2},  {0, 0, 1, 3, -0.000283, 0},
};

// Horizontal parallax, cosine terms.
constexpr TMoonTerm kMoonPar[] = {
    {0, 0, 1, 0, 0.051818, 0},   {2, 0, -1, 0, 0.009531, 0},  {2, 0, 0, 0, 0.007843, 0},
    {0, 0, 2, 0, 0.002824, 0},   {2, 0, 1, 0, 0.000857, 0},   {2, -1, 0, 0, 0.000533, 1},
    {2, -1, -1, 0, 0.000401, 1}, {0, -1, 1, 0, 0.000320, 1},  {1, 0, 0, 0, -0.000271, 0},
    {0, 1, 1, 0, -0.000264, 1},  {0, 0, -1, 2, -0.000198, 0}, {0, 0, 3, 0, 0.000173, 0},
    {4, 0, -1, 0, 0.000167, 0},  {0, 1, 0, 0, -0.000111, 1},  {4, 0, -2, 0, 0.000103, 0},
    {-2, 0, 2, 0, -0.000084, 0}, {2, 1, 0, 0, -0.000083, 1},  {2, 0, 2, 0, 0.000079, 0},
    {4, 0, 0, 0, 0.000072, 0},   {2, -1, 1, 0, 0.000064, 1},  {2, 1, -1, 0, -0.000063, 1},
    {1, 1, 0, 0, 0.000041, 1},   {0, -1, 2, 0, 0.000035, 1},  {-2, 0, 3, 0, -0.000033, 0},
    {1, 0, 1, 0, -0.000030, 0},  {-2, 0, 0, 2, -0.000029, 0}, {0, 1, 2, 0, -0.000029, 1},
    {2, -2, 0, 0, 0.000026, 2},  {-2, 0, 1, 2, -0.000023, 0}, {4, -1, -1, 0, 0.000019, 1},
};

static_assert(std::size(kMoonLon) == 50 && std::size(kMoonLat) == 45 && std::size(kMoonPar) == 30);

// Sum of a series in the order listed; cosine terms when cosine is set.
double moonSeries(const TMoonTerm* terms, std::size_t count, double D, double M, double Mp,
                  double F, double E, bool cosine) {
    double sum = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        const TMoonTerm& t = terms[k];
        const double arg = t.D * D + t.M * M + t.Mp * Mp + t.F * F;
        double c = t.coef;
        if (t.epow == 1)
            c *= E;
        else if (t.epow == 2)
            c *= E * E;
        sum += c * (cosine ? std::cos(arg) : std::sin(arg));
    }
    return sum;
}

} // namespace

void TPlanet::moon(double d, double& lambda, double& beta, double& parallax) {
    const double T = d / kDaysPerCentury;
    const double T2 = T * T, T3 = T2 * T;
    double Lp = 270.434164 + 360.0 * frac(0.03660110147508504 * d) - 0.001133 * T2 + 0.0000019 * T3;
    double M = 358.475833 + 360.0 * frac(0.0027377785240207627 * d) - 0.00015 * T2 - 0.0000033 * T3;
    double Mp = 296.104608 + 360.0 * frac(0.03629164569502507 * d) + 0.009192 * T2 + 0.0000144 * T3;
    double D = 350.737486 + 360.0 * frac(0.03386319219153473 * d) - 0.001436 * T2 + 0.0000019 * T3;
    double F = 11.250889 + 360.0 * frac(0.036748195688121134 * d) - 0.003211 * T2 - 0.0000003 * T3;
    const double Om =
        259.183275 - 360.0 * frac(0.00014709422766069893 * d) + 0.002078 * T2 + 0.000022 * T3;
    // The secular terms above follow an older tidal acceleration of the Moon. Delta T
    // (TMjd::DeltaT) assumes that of the modern lunar ephemerides, -25.858"/cy^2: the
    // difference, fitted against one of them (ELP/MPP02 in the form of Meeus) over
    // -1000..3000, slows the Moon along its orbit by 1.60" T^2 (T from J2000) in every
    // argument that carries its mean motion.
    const double Tc = T - 1.0;
    const double slow = (-0.0004442 + 0.00000087 * Tc) * Tc * Tc;
    Lp += slow;
    Mp += slow;
    D += slow;
    F += slow;

    const double s1 = std::sin((51.2 + 20.2 * T) * kRad);
    const double s2 = std::sin(Om * kRad);
    const double s3 = 0.003964 * std::sin((346.56 + 132.87 * T - 0.0091731 * T2) * kRad);
    const double s4 = std::sin((Om + 275.05 - 2.3 * T) * kRad);
    Lp += 0.000233 * s1 + s3 + 0.001964 * s2;
    M -= 0.001778 * s1;
    Mp += 0.000817 * s1 + s3 + 0.002541 * s2;
    D += 0.002011 * s1 + s3 + 0.001964 * s2;
    F += s3 - 0.024691 * s2 - 0.004328 * s4;
    const double E = 1.0 - 0.002495 * T - 0.00000752 * T2;

    const double Dr = D * kRad, Mr = M * kRad, Mpr = Mp * kRad, Fr = F * kRad;
    const double lon = Lp + moonSeries(kMoonLon, std::size(kMoonLon), Dr, Mr, Mpr, Fr, E, false);
    lambda = lon * kRad;
    range(lambda, kTwoPi);
    const double lat = moonSeries(kMoonLat, std::size(kMoonLat), Dr, Mr, Mpr, Fr, E, false) *
                       (1.0 - 0.0004664 * std::cos(Om * kRad) -
                        0.0000754 * std::cos((Om + 275.05 - 2.3 * T) * kRad));
    beta = lat * kRad;
    parallax =
        (0.950724 + moonSeries(kMoonPar, std::size(kMoonPar), Dr, Mr, Mpr, Fr, E, true)) * kRad;
}

void TPlanet::aux_jsun(double T, double& nu, double& P, double& Q, double& S, double& V,
                       double& W) {
    nu = T / 5.0 + 0.1;
    P = turns(4.14473 + 52.9691 * T);
    Q = turns(4.641118 + 21.32991 * T);
    S = turns(4.250177 + 7.478172 * T);
    V = turns(5.0 * Q - 2.0 * P);
    W = turns(2.0 * P - 6.0 * Q + 3.0 * S);
}

void TPlanet::p_jupiter(double T, double e, double& dlp, double& de, double& dM, double& da) {
    double nu, P, Q, S, V, W;
    aux_jsun(T, nu, P, Q, S, V, W);
    const double n2 = nu * nu;
    const double z = Q - P;
    const double sQ = std::sin(Q), cQ = std::cos(Q), s2Q = std::sin(2 * Q), c2Q = std::cos(2 * Q);
    const double sz = std::sin(z), cz = std::cos(z), s2z = std::sin(2 * z), c2z = std::cos(2 * z);
    const double s3z = std::sin(3 * z), c3z = std::cos(3 * z), s4z = std::sin(4 * z);
    const double c4z = std::cos(4 * z), c5z = std::cos(5 * z);
    const double sV = std::sin(V), cV = std::cos(V), s2V = std::sin(2 * V), sW = std::sin(W);

    const double A = -0.003767 * c2z * sQ + (-0.033839 - 0.001125 * nu) * cz * sQ -
                     0.004261 * cQ * s2z + (-0.006333 + 0.001161 * nu) * cQ * cz + 0.002178 * cQ -
                     0.006675 * c2z * cQ - 0.002664 * c3z * cQ - 0.002572 * s2Q * sz -
                     0.003567 * s2Q * s2z + 0.002094 * c2Q * cz + 0.003342 * c2Q * c2z +
                     (0.331364 - 0.010281 * nu - 0.004692 * n2) * sV +
                     (0.003228 - 0.064436 * nu + 0.002075 * n2) * cV +
                     (-0.003083 - 0.000275 * nu + 0.000489 * n2) * s2V + 0.002472 * sW +
                     0.013619 * sz + 0.018472 * s2z + 0.006717 * s3z + 0.002775 * s4z +
                     0.006417 * s2z * sQ + (0.007275 - 0.001253 * nu) * sQ * sz +
                     0.002439 * s3z * sQ + (-0.035681 - 0.001208 * nu) * cQ * sz;

    const double ecc = (-956 - 73 * nu) * s2Q * sz + 448 * s2Q * s2z + 137 * s2Q * s3z +
                       (-997 + 108 * nu) * cz * s2Q + 480 * c2z * s2Q + 148 * c3z * s2Q +
                       (-956 + 99 * nu) * c2Q * sz + 490 * c2Q * s2z + 158 * c2Q * s3z + 179 * c2Q +
                       (1024 + 75 * nu) * c2Q * cz - 437 * c2Q * c2z - 132 * c2Q * c3z +
                       (3606 + 130 * nu - 43 * n2) * sV + (1289 - 580 * nu) * cV - 6764 * sQ * sz -
                       1110 * s2z * sQ - 224 * s3z * sQ - 204 * sQ + (1284 + 116 * nu) * cz * sQ +
                       188 * c2z * sQ + (1460 + 130 * nu) * cQ * sz + 224 * cQ * s2z - 817 * cQ +
                       6074 * cQ * cz + 992 * c2z * cQ + 508 * c3z * cQ + 230 * c4z * cQ +
                       108 * c5z * cQ;

    const double B = (0.007192 - 0.003147 * nu) * sV - 0.004344 * sQ +
                     (-0.020428 - 0.000675 * nu + 0.000197 * n2) * cV + 0.034036 * cz * sQ +
                     (0.007269 + 0.000672 * nu) * sQ * sz + 0.005614 * c2z * sQ +
                     0.002964 * c3z * sQ + 0.037761 * cQ * sz + 0.006158 * cQ * s2z -
                     0.006603 * cQ * cz - 0.005356 * s2Q * sz + 0.002722 * s2Q * s2z +
                     0.004483 * cz * s2Q - 0.002642 * c2z * s2Q + 0.004403 * c2Q * sz -
                     0.002536 * c2Q * s2z + 0.005547 * c2Q * cz - 0.002689 * c2Q * c2z;

    const double axis = 205 * cz - 263 * cV + 693 * c2z + 312 * c3z + 147 * c4z + 299 * sQ * sz +
                        181 * c2z * sQ + 204 * cQ * s2z + 111 * cQ * s3z - 337 * cQ * cz -
                        111 * c2z * cQ;

    dlp = A * kRad;
    dM = (A - B / e) * kRad;
    de = ecc * 1e-7;
    da = axis * 1e-6;
}

void TPlanet::p_saturn(double T, double e, double& dlp, double& de, double& dM, double& da,
                       double& db) {
    double nu, P, Q, S, V, W;
    aux_jsun(T, nu, P, Q, S, V, W);
    const double n2 = nu * nu;
    const double z = Q - P, psi = S - Q;
    const double sQ = std::sin(Q), cQ = std::cos(Q), s2Q = std::sin(2 * Q), c2Q = std::cos(2 * Q);
    const double s3Q = std::sin(3 * Q), c3Q = std::cos(3 * Q), s4Q = std::sin(4 * Q);
    const double c4Q = std::cos(4 * Q);
    const double sz = std::sin(z), cz = std::cos(z), s2z = std::sin(2 * z), c2z = std::cos(2 * z);
    const double s3z = std::sin(3 * z), c3z = std::cos(3 * z), s4z = std::sin(4 * z);
    const double c4z = std::cos(4 * z), s5z = std::sin(5 * z), c5z = std::cos(5 * z);
    const double s2p = std::sin(2 * psi), c2p = std::cos(2 * psi);
    const double s3p = std::sin(3 * psi), c3p = std::cos(3 * psi);
    const double sV = std::sin(V), cV = std::cos(V), s2V = std::sin(2 * V), c2V = std::cos(2 * V);
    const double sW = std::sin(W);

    const double A =
        (0.085581 + 0.002494 * nu) * cQ * sz + 0.014394 * c2z * cQ +
        (0.025328 - 0.003117 * nu) * cQ * cz + 0.006319 * c3z * cQ + 0.006369 * s2Q * sz +
        0.009156 * s2Q * s2z + 0.007525 * s2Q * s3p - 0.005236 * c2Q * cz - 0.007736 * c2Q * c2z -
        0.007528 * c2Q * c3p + 0.007581 * s2V - 0.007986 * sW - 0.148811 * sz - 0.040786 * s2z +
        (-0.814181 + 0.01815 * nu - 0.016714 * n2) * sV +
        (-0.010497 + 0.160906 * nu - 0.0041 * n2) * cV - 0.015208 * s3z - 0.006339 * s4z -
        0.006244 * sQ - 0.0165 * s2z * sQ + (0.008931 + 0.002728 * nu) * sQ * sz -
        0.005775 * s3z * sQ + (0.081344 + 0.003206 * nu) * cz * sQ + 0.015019 * c2z * sQ;

    const double ecc =
        (128 + 226 * nu) * c2Q * s2z + 224 * c2Q * s3z + (-1594 + 282 * nu) * c2Q * cz +
        (2162 - 207 * nu) * c2Q * c2z + 561 * c2Q * c3z + 343 * c2Q * c4z + 469 * c2Q * s3p -
        242 * c2Q * c3p - 205 * s3Q * sz + 262 * s3Q * s3z + 208 * c3Q * cz - 271 * c3Q * c3z -
        382 * c3z * s4Q - 376 * c4Q * s3z - 12696 * cQ * sz - 4200 * cQ * s2z - 1503 * cQ * s3z -
        619 * cQ * s4z - 268 * cQ * s5z + (-282 - 1306 * nu) * cQ * cz +
        (-86 + 230 * nu) * c2z * cQ + 461 * cQ * s2p - 350 * s2Q + (2211 - 286 * nu) * s2Q * sz -
        2208 * s2Q * s2z
        // second column
        - 568 * s2Q * s3z - 346 * s2Q * s4z + (-2780 - 222 * nu) * cz * s2Q +
        (2022 + 263 * nu) * c2z * s2Q + 248 * c3z * s2Q + 242 * s2Q * s3p + 467 * c3p * s2Q -
        490 * c2Q + (-2842 - 279 * nu) * c2Q * sz + (-7927 + 2548 * nu + 91 * n2) * sV +
        (13381 + 1226 * nu - 253 * n2) * cV + (248 - 121 * nu) * s2V + (-305 - 91 * nu) * c2V +
        412 * s2z + 12415 * sQ + (390 - 617 * nu) * sQ * sz + (165 - 204 * nu) * s2z * sQ +
        26599 * cz * sQ - 4687 * c2z * sQ - 1870 * c3z * sQ - 821 * c4z * sQ - 377 * c5z * sQ +
        497 * c2p * sQ + (163 - 611 * nu) * cQ;

    const double B =
        (0.077108 + 0.007186 * nu - 0.001533 * n2) * sV - 0.007075 * sz +
        (0.045803 - 0.014766 * nu - 0.000536 * n2) * cV - 0.072586 * cQ - 0.075825 * sQ * sz -
        0.024839 * s2z * sQ - 0.008631 * s3z * sQ - 0.150383 * cQ * cz + 0.026897 * c2z * cQ +
        0.010053 * c3z * cQ + (-0.013597 - 0.001719 * nu) * s2Q * sz + 0.011981 * c2Q * s2z +
        (-0.007742 + 0.001517 * nu) * cz * s2Q + (0.013586 - 0.001375 * nu) * c2z * s2Q +
        (-0.013667 + 0.001239 * nu) * c2Q * sz + (0.014861 + 0.001136 * nu) * c2Q * cz +
        (-0.013064 - 0.001628 * nu) * c2Q * c2z;

    const double axis = 495 * c2z * s2Q + 688 * s2z * sQ + 250 * c3z * s2Q - 393 * s3z * sQ -
                        856 * c2Q * sz - 228 * s4z * sQ + 441 * c2Q * s2z + 2138 * cz * sQ +
                        296 * c2Q * c2z - 999 * c2z * sQ + 211 * c2Q * c3z - 642 * c3z * sQ -
                        427 * s3Q * sz - 325 * c4z * sQ + 398 * s3Q * s3z - 890 * cQ +
                        344 * c3Q * cz +
                        2206 * cQ * sz
                        // second column
                        - 427 * c3Q * c3z + 572 * sV - 1590 * cQ * s2z + 2933 * cV -
                        647 * cQ * s3z + 33629 * cz - 344 * cQ * s4z - 3081 * c2z + 2885 * cQ * cz -
                        1423 * c3z + (2172 + 102 * nu) * c2z * cQ - 671 * c4z + 296 * c3z * cQ -
                        320 * c5z - 267 * s2Q * s2z + 1098 * sQ - 778 * cz * s2Q - 2812 * sQ * sz;

    const double lat = 0.000747 * cz * sQ + 0.001069 * cQ * cz + 0.002108 * s2Q * s2z +
                       0.001261 * c2z * s2Q + 0.001236 * c2Q * s2z - 0.002075 * c2Q * c2z;

    dlp = A * kRad;
    dM = (A - B / e) * kRad;
    de = ecc * 1e-7;
    da = axis * 1e-6;
    db = lat * kRad;
}

void TPlanet::p_uranus(double T, double e, double& dl, double& dr, double& dlp, double& de,
                       double& dM, double& da, double& db) {
    double nu, P, Q, S, V, W;
    aux_jsun(T, nu, P, Q, S, V, W);
    const double n2 = nu * nu;
    const double G = turns(1.46205 + 3.81337 * T);
    const double H = 2.0 * G - S;
    const double z = S - P, eta = S - Q, th = G - S;
    const double sH = std::sin(H), cH = std::cos(H), s2H = std::sin(2 * H), c2H = std::cos(2 * H);
    const double sS = std::sin(S), cS = std::cos(S), s2S = std::sin(2 * S), c2S = std::cos(2 * S);
    const double se = std::sin(eta), ce = std::cos(eta);
    const double sth = std::sin(th), cth = std::cos(th), s2th = std::sin(2 * th);
    const double c2th = std::cos(2 * th);

    const double A = (0.864319 - 0.001583 * nu) * sH + (0.082222 - 0.006833 * nu) * cH +
                     0.036017 * s2H - 0.003019 * c2H + 0.008122 * std::sin(W);
    const double B = 0.120303 * sH + 0.006197 * s2H + (0.019472 - 0.000947 * nu) * cH;
    de = ((-3349 + 163 * nu) * sH + 20981 * cH + 1311 * c2H) * 1e-7;
    da = -0.003825 * cH;
    dl = (0.010122 - 0.000988 * nu) * std::sin(S + eta) +
         (-0.038581 + 0.002031 * nu - 0.00191 * n2) * std::cos(S + eta) +
         (0.034964 - 0.001038 * nu + 0.000868 * n2) * std::cos(2 * S + eta) +
         0.005594 * std::sin(S + 3 * th) - 0.014808 * std::sin(z) - 0.005794 * se + 0.002347 * ce +
         0.009872 * sth + 0.008803 * s2th - 0.004308 * std::sin(3 * th);
    db = ((0.000458 * se - 0.000642 * ce - 0.000517 * std::cos(4 * th)) * sS -
          (0.000347 * se + 0.000853 * ce + 0.000517 * std::sin(4 * eta)) * cS +
          0.000403 * (c2th * s2S + s2th * c2S)) *
         kRad;
    dr = (-25948 + 4985 * std::cos(z) - 1230 * cS + 3354 * ce + 904 * c2th +
          894 * (cth - std::cos(3 * th)) + (5795 * cS - 1165 * sS + 1388 * c2S) * se +
          (1351 * cS + 5702 * sS + 1388 * s2S) * ce) *
         1e-6;
    dlp = A * kRad;
    dM = (A - B / e) * kRad;
}

void TPlanet::p_neptune(double T, double e, double& dl, double& dr, double& dlp, double& de,
                        double& dM, double& da, double& db) {
    double nu, P, Q, S, V, W;
    aux_jsun(T, nu, P, Q, S, V, W);
    const double G = turns(1.46205 + 3.81337 * T);
    const double H = 2.0 * G - S;
    const double z = G - P, eta = G - Q, th = G - S;
    const double sH = std::sin(H), cH = std::cos(H), s2H = std::sin(2 * H), c2H = std::cos(2 * H);
    const double sG = std::sin(G), cG = std::cos(G);
    const double s2th = std::sin(2 * th), c2th = std::cos(2 * th);

    const double A =
        (-0.589833 + 0.001089 * nu) * sH + (-0.056094 + 0.004658 * nu) * cH - 0.024286 * s2H;
    const double B = 0.024039 * sH - 0.025303 * cH + 0.006206 * s2H - 0.005992 * c2H;
    de = (4389 * sH + 1129 * s2H + 4262 * cH + 1089 * c2H) * 1e-7;
    da = (8189 * cH - 817 * sH + 781 * c2H) * 1e-6;
    dl = -0.009556 * std::sin(z) - 0.005178 * std::sin(eta) + 0.002572 * s2th -
         0.002972 * c2th * sG - 0.002833 * s2th * cG;
    db = (0.000336 * c2th * sG + 0.000364 * s2th * cG) * kRad;
    dr = (-40596 + 4992 * std::cos(z) + 2744 * std::cos(eta) + 2044 * std::cos(th) + 1051 * c2th) *
         1e-6;
    dlp = A * kRad;
    dM = (A - B / e) * kRad;
}

void TPlanet::plans(double d, int planet, double& l, double& b, double& r, double& delta,
                    double& lambda, double& beta, double& diam1, double& v0) {
    if (planet < 0 || planet >= PlanetCount) planet = 0;
    const double T = d / kDaysPerCentury;
    TElement el[PlanetCount];
    pelement(d, el);
    double Lsun, R, Msun;
    sunpos(d, Lsun, R);
    masun(d, Msun);
    const double LE = Lsun + kPi; // the Earth seen from the Sun
    const TElement& p = el[planet];

    // The first pass gives the geometric place and distance; the second repeats it for the
    // planet as it was when the light now arriving left it (light time, 0.005775518 days
    // per AU). Against ERFA this takes Mercury from 47" to 16" and Venus and Mars from
    // about 50" to about 33" at most; the distance stays the geometric one.
    double geometricDelta = 0.0;
    for (int pass = 0; pass < 2; ++pass) {
        const double tau = pass == 0 ? 0.0 : 0.005775518 * geometricDelta;
        double M[PlanetCount];
        for (int k = 0; k < PlanetCount; ++k)
            M[k] = (el[k].L - el[k].Peri - el[k].n * tau) * kRad;

        double dl = 0.0, dlp = 0.0, dM = 0.0, de = 0.0, da = 0.0, dr = 0.0, db = 0.0;
        switch (planet) {
        case Mercury:
            p_mercury(M, dl, dr);
            break;
        case Venus:
            p_venus(T, Msun, M, dl, dr, dlp, dM);
            break;
        case Mars:
            p_mars(Msun, M, dl, dr, dlp, dM);
            break;
        case Jupiter:
            p_jupiter(T, p.e, dlp, de, dM, da);
            break;
        case Saturn:
            p_saturn(T, p.e, dlp, de, dM, da, db);
            break;
        case Uranus:
            p_uranus(T, p.e, dl, dr, dlp, de, dM, da, db);
            break;
        case Neptune:
            p_neptune(T, p.e, dl, dr, dlp, de, dM, da, db);
            break;
        default:
            break; // Pluto: fixed elements, no perturbations
        }

        const double e = p.e + de;
        double nu, E;
        anomaly(M[planet] + dM, e, nu, E);
        r = (1.0 - e * e) * (p.a + da) / (1.0 + e * std::cos(nu)) + dr;

        const double node = p.Node * kRad, inc = p.i * kRad;
        const double u = (nu / kRad + p.Peri + (dlp - dM) / kRad) * kRad - node;
        const double su = std::sin(u), cu = std::cos(u);
        b = std::asin(su * std::sin(inc)) + db;
        l = std::atan(std::cos(inc) * su / cu) + node + dl * kRad;
        if (cu < 0.0) l += kPi;
        range(l, kTwoPi);
        const double rho = r * std::cos(b);

        delta = std::sqrt(R * R + r * r - 2.0 * R * r * std::cos(b) * std::cos(l - LE));
        if (pass == 0) geometricDelta = delta;

        const double D = l - LE;
        const double sD = std::sin(D), cD = std::cos(D);
        if (planet == Mercury || planet == Venus)
            lambda = std::atan(-rho * sD / (R - rho * cD)) + LE + kPi;
        else
            lambda = std::atan(R * sD / (rho - R * cD)) + l;
        range(lambda, kTwoPi);

        if (std::fabs(sD) > 1e-12) {
            beta = std::atan(rho * std::tan(b) * std::sin(lambda - l) / (R * sD));
        } else {
            // Exactly at conjunction or opposition the sine rule degenerates; the projected
            // geocentric distance is then |rho - R cos D|.
            const double proj = std::fabs(rho - R * cD);
            beta = std::atan2(r * std::sin(b), proj);
        }
    }
    delta = geometricDelta;
    diam1 = p.Diam1;
    v0 = p.V0;
}

namespace {
// A planet's pole (J2000 right ascension and declination, degrees) as a unit vector in
// ecliptic coordinates of date, tc centuries from J2000: the precession in longitude is
// enough at the accuracy of a magnitude.
void poleEcliptic(double ra, double dec, double tc, double& x, double& y, double& z) {
    const double eps = 23.4392911 * kRad;
    const double cx = std::cos(dec * kRad) * std::cos(ra * kRad);
    const double cy = std::cos(dec * kRad) * std::sin(ra * kRad);
    const double cz = std::sin(dec * kRad);
    const double ex = cx, ey = cy * std::cos(eps) + cz * std::sin(eps);
    z = -cy * std::sin(eps) + cz * std::cos(eps);
    const double p = 1.3969713 * tc * kRad;
    x = ex * std::cos(p) - ey * std::sin(p);
    y = ex * std::sin(p) + ey * std::cos(p);
}
} // namespace

void TPlanet::body_cir(int body, double mjd) {
    // The theory runs on dynamical time; mjd is the UT of the moment.
    const double d = TMjd::TT(mjd) - kEpochMjd;
    Result = TBodyRecord{};
    TBodyRecord& res = Result;
    double deps, dpsi;
    nutation(d, deps, dpsi);

    if (body == Sun) {
        double Lsun, R;
        sunpos(d, Lsun, R);
        double lam = Lsun + dpsi - kAberration;
        range(lam, kTwoPi);
        res.EarthDistKm = R * AUKm;
        res.Diam = 2.0 * 0.00465242 / R;
        res.Mag = -26.8;
        res.HelioLon = lam - kPi;
        range(res.HelioLon, kTwoPi);
        ecl_eq(d, 0.0, lam, res.Ra, res.Dec);
        res.GeoLon = lam;
        return;
    }

    if (body == Moon) {
        double lam, bet, par;
        moon(d, lam, bet, par);
        lam += dpsi;
        range(lam, kTwoPi);
        const double sp = std::sin(par);
        res.EarthDistKm = 6378.14 / sp;
        res.Diam = sp * 31.22512 * kRad;
        ecl_eq(d, bet, lam, res.Ra, res.Dec);
        double Lsun, R;
        sunpos(d, Lsun, R);
        range(Lsun, kTwoPi);
        elongation(Lsun, bet, lam, res.Elong);
        const double dm = res.EarthDistKm * 6.684585813036146e-9;
        res.SunDistKm = std::sqrt(dm * dm + R * R - 2.0 * dm * R * std::cos(res.Elong)) * AUKm;
        // The 1.000001 keeps the logarithm finite at conjunction.
        res.Mag =
            2.5 * (std::log10(kPi) - std::log10((1.000001 - std::cos(res.Elong)) * kPi / 2.0)) -
            12.0;
        res.Phase = std::fabs(res.Elong) / kPi * 100.0;
        res.GeoLon = lam;
        res.GeoLat = bet;
        return;
    }

    if (body < 0 || body >= PlanetCount) return; // no such body: the record stays empty

    double l, b, r, delta, lam, bet, diam1, v0;
    plans(d, body, l, b, r, delta, lam, bet, diam1, v0);
    double Lsun, R;
    sunpos(d, Lsun, R);
    lam += dpsi;
    const double D = Lsun - lam;
    lam -= kAberration * std::cos(D) / std::cos(bet);
    bet -= kAberration * std::sin(D) * std::sin(bet);
    range(lam, kTwoPi);
    ecl_eq(d, bet, lam, res.Ra, res.Dec);
    res.EarthDistKm = delta * AUKm;
    res.SunDistKm = r * AUKm;
    elongation(Lsun, bet, lam, res.Elong);
    res.Diam = diam1 / delta * kArcsec;
    double k = (1.0 + std::cos(lam - l)) / 2.0;
    res.Phase = 100.0 * k;
    const double alpha = TPlanetMag::PhaseAngle(r, delta, R);
    double subEarth = 0.0, subSun = 0.0;
    if (body == Saturn || body == Uranus) {
        // Latitudes of the Earth and the Sun over the ring plane (Saturn) or the equator
        // (Uranus): the pole against the vectors from the planet.
        const double tc = (d - (51544.5 - kEpochMjd)) / kDaysPerCentury;
        double px, py, pz;
        poleEcliptic(body == Saturn ? 40.58 : 257.311, body == Saturn ? 83.54 : -15.175, tc, px,
                     py, pz);
        const double x = r * std::cos(b) * std::cos(l), y = r * std::cos(b) * std::sin(l),
                     z = r * std::sin(b);
        const double LE = Lsun + kPi;
        const double ex = R * std::cos(LE) - x, ey = R * std::sin(LE) - y, ez = -z;
        const double en = std::sqrt(ex * ex + ey * ey + ez * ez);
        subEarth = std::asin(std::clamp((px * ex + py * ey + pz * ez) / en, -1.0, 1.0));
        subSun = std::asin(std::clamp(-(px * x + py * y + pz * z) / r, -1.0, 1.0));
    }
    res.Mag = TPlanetMag::Planet(body, r, delta, alpha, subEarth, subSun,
                                 2000.0 + (d - (51544.5 - kEpochMjd)) / 365.25);
    if (!std::isfinite(res.Mag)) {
        // Pluto keeps the plain law; its lit part is never thin.
        if (k < 1e-6) k = 1e-6;
        res.Mag = v0 + 5.0 * std::log10(r * delta / std::sqrt(k));
    }
    res.HelioLon = l;
    res.HelioLat = b;
    res.GeoLon = lam;
    res.GeoLat = bet;
}

namespace {

const char* const kNames[4][15] = {
    {"水星", "金星", "火星", "木星", "土星", "天王星", "海王星", "冥王星", "太陽", "月",
     "ガリレオ衛星", "イオ", "エウロパ", "ガニメデ", "カリスト"},
    {"MERCURY", "VENUS", "MARS", "JUPITER", "SATURN", "URANUS", "NEPTUNE", "PLUTO", "SUN", "MOON",
     "GALILEO", "IO", "EUROPA", "GANYMEDE", "CALLISTO"},
    {"Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Sun", "Moon",
     "Galileo", "Io", "Europa", "Ganymede", "Callisto"},
    {"MER", "VEN", "MAR", "JUP", "SAT", "URA", "NEP", "PLU", "SUN", "MON", "", "", "", "", ""},
};

} // namespace

const char* TPlanet::GetName(int body, int form) {
    if (body < 0 || body > 14 || form < 0 || form > 3) return "";
    return kNames[form][body];
}

void TPlanet::GetNameA(int body, int form, std::string& text) {
    text = GetName(body, form);
}
