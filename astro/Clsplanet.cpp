#include "astro/Clsplanet.h"

#include <cmath>

thread_local double TPlanet::obl_d = 0.0, TPlanet::obl_val = 0.0;
thread_local bool TPlanet::obl_set = false;
thread_local double TPlanet::nut_d = 0.0, TPlanet::nut_eps = 0.0, TPlanet::nut_psi = 0.0;
thread_local bool TPlanet::nut_set = false;
thread_local double TPlanet::rot_d = 0.0, TPlanet::rot_sin = 0.0, TPlanet::rot_cos = 0.0;
thread_local bool TPlanet::rot_set = false;

void TPlanet::body_cir(int, double) { Result = TBodyRecord{}; }
void TPlanet::plans(double, int, double& l, double& b, double& r, double& delta, double& lambda,
                    double& beta, double& diam1, double& v0) {
    l = b = r = delta = lambda = beta = diam1 = v0 = 0.0;
}
void TPlanet::sunpos(double, double& lon, double& R) { lon = 0.0; R = 1.0; }
void TPlanet::masun(double, double& M) { M = 0.0; }
void TPlanet::moon(double, double& lambda, double& beta, double& parallax) {
    lambda = beta = parallax = 0.0;
}
void TPlanet::nutation(double, double& deps, double& dpsi) { deps = dpsi = 0.0; }
void TPlanet::obliquity(double, double& eps0) { eps0 = 0.0; }
void TPlanet::ecl_eq(double, double, double, double& ra, double& dec) { ra = dec = 0.0; }
void TPlanet::eq_ecl(double, double, double, double& beta, double& lambda) { beta = lambda = 0.0; }
void TPlanet::ecleq_aux(int, double& lonOut, double, double, double, double& latOut) {
    lonOut = latOut = 0.0;
}
void TPlanet::elongation(double, double, double, double& E) { E = 0.0; }
void TPlanet::anomaly(double, double, double& nu, double& E) { nu = E = 0.0; }
void TPlanet::pelement(double, TElement (&el)[PlanetCount]) {
    for (auto& e : el) e = TElement{};
}
void TPlanet::range(double& x, double period) { x -= std::floor(x / period) * period; }
void TPlanet::p_mercury(const double (&)[PlanetCount], double& dl, double& dr) { dl = dr = 0.0; }
void TPlanet::p_venus(double, double, const double (&)[PlanetCount], double& dl, double& dr,
                      double& dlp, double& dM) {
    dl = dr = dlp = dM = 0.0;
}
void TPlanet::p_mars(double, const double (&)[PlanetCount], double& dl, double& dr, double& dlp,
                     double& dM) {
    dl = dr = dlp = dM = 0.0;
}
void TPlanet::aux_jsun(double, double& nu, double& P, double& Q, double& S, double& V, double& W) {
    nu = P = Q = S = V = W = 0.0;
}
void TPlanet::p_jupiter(double, double, double& dlp, double& de, double& dM, double& da) {
    dlp = de = dM = da = 0.0;
}
void TPlanet::p_saturn(double, double, double& dlp, double& de, double& dM, double& da,
                       double& db) {
    dlp = de = dM = da = db = 0.0;
}
void TPlanet::p_uranus(double, double, double& dl, double& dr, double& dlp, double& de, double& dM,
                       double& da, double& db) {
    dl = dr = dlp = de = dM = da = db = 0.0;
}
void TPlanet::p_neptune(double, double, double& dl, double& dr, double& dlp, double& de,
                        double& dM, double& da, double& db) {
    dl = dr = dlp = de = dM = da = db = 0.0;
}
const char* TPlanet::GetName(int, int) { return ""; }
void TPlanet::GetNameA(int body, int form, std::string& text) { text = GetName(body, form); }
double TPlanet::AtnEx(double y, double x) {
    const double pi = 3.14159265358979323846;
    if (x == 0.0) return y > 0.0 ? pi / 2 : (y < 0.0 ? 3 * pi / 2 : 2 * pi);
    double r = std::atan(y / x);
    if (x <= 0.0) return r + pi;
    if (y <= 0.0) return r + 2 * pi;
    return r;
}
