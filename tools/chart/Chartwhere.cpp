#include "tools/chart/Chartwhere.h"

#include <cmath>
#include <cstdio>

#include "astro/Clsjupiter.h"
#include "astro/Clslocation.h"
#include "astro/Clsmjd.h"
#include "astro/Clsplanet.h"
#include "astro/Eclprecess.h"
#include "astro/Planetmag.h"
#include "catalog/Clsfind.h"
#include "minor/Minorlist.h"
#include "minor/Minorplace.h"
#include "tools/chart/Chartfind.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kEpsJ2000 = 23.4392911 * kDeg;
constexpr double kAberration = 9.890199094634533e-5;

// Ecliptic of date (mean) to the equator of J2000.
void eclipticDateToJ2000(double tt, double lon, double lat, double& ra, double& dec) {
    TEclPrecess::ToJ2000(tt, lon, lat);
    const double x = std::cos(lat) * std::cos(lon);
    const double y = std::cos(lat) * std::sin(lon) * std::cos(kEpsJ2000) - std::sin(lat) * std::sin(kEpsJ2000);
    const double z = std::cos(lat) * std::sin(lon) * std::sin(kEpsJ2000) + std::sin(lat) * std::cos(kEpsJ2000);
    ra = std::atan2(y, x);
    if (ra < 0) ra += 2 * kPi;
    dec = std::asin(std::fmax(-1.0, std::fmin(1.0, z)));
}

void line(std::string& out, const char* key, double v, int decimals = 6) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s: %.*f\n", key, decimals, v);
    out += buf;
}

struct Place {
    double ra = 0, dec = 0, ra2000 = 0, dec2000 = 0;
    bool hasDistance = false;
    double au = 0;
    bool hasMag = false;
    double mag = 0;
    bool hasPhase = false;
    double phase = 0;
};

// A body 0-9 in the atlas's order.
void body(int n, double mjd, Place& p) {
    TPlanet t;
    t.body_cir(n, mjd);
    const TBodyRecord r = t.Result;
    p.ra = r.Ra;
    p.dec = r.Dec;
    p.hasDistance = true;
    p.au = r.EarthDistKm / TPlanet::AUKm;
    p.hasMag = true;
    p.mag = r.Mag;
    const double tt = TMjd::TT(mjd), d = tt - 15019.5;
    double Lsun, R;
    t.sunpos(d, Lsun, R);
    double lam = Lsun, bet = 0.0;
    if (n == TPlanet::Moon) {
        double par;
        t.moon(d, lam, bet, par);
        p.hasPhase = true;
        p.phase = kPi - std::fabs(r.Elong);
    } else if (n != TPlanet::Sun) {
        double l, b, rr, delta, diam1, v0;
        t.plans(d, n, l, b, rr, delta, lam, bet, diam1, v0);
        p.hasPhase = true;
        p.phase = TPlanetMag::PhaseAngle(rr, delta, R) * kDeg;
    }
    eclipticDateToJ2000(tt, lam, bet, p.ra2000, p.dec2000);
}
} // namespace

void ChartApparent(double mjd, double ra2000, double dec2000, double& ra, double& dec) {
    const double tt = TMjd::TT(mjd), d = tt - 15019.5;
    // To the ecliptic of J2000, then to that of date.
    const double x = std::cos(dec2000) * std::cos(ra2000);
    const double y = std::cos(dec2000) * std::sin(ra2000);
    const double z = std::sin(dec2000);
    const double ey = y * std::cos(kEpsJ2000) + z * std::sin(kEpsJ2000);
    const double ez = -y * std::sin(kEpsJ2000) + z * std::cos(kEpsJ2000);
    double lam = std::atan2(ey, x), bet = std::asin(std::fmax(-1.0, std::fmin(1.0, ez)));
    TEclPrecess::ToDate(tt, lam, bet);
    TPlanet t;
    double deps, dpsi, Lsun, R;
    t.nutation(d, deps, dpsi);
    t.sunpos(d, Lsun, R);
    lam += dpsi;
    const double D = Lsun - lam;
    lam -= kAberration * std::cos(D) / std::cos(bet);
    bet -= kAberration * std::sin(D) * std::sin(bet);
    TPlanet::range(lam, 2 * kPi);
    t.ecl_eq(d, bet, lam, ra, dec);
}

bool ChartWhere(const TChartOptions& o, const std::string& folder, const TMinorList& minor,
                double mjd, std::string& out, std::string& why) {
    Place p;
    std::string label;
    const int k = minor.Find(o.WhereName);
    TFindIndex::THit hit;
    std::string findWhy;
    const bool found = k < 0 && FindChartObject(o, folder, o.WhereName, hit, findWhy);
    if (k >= 0) {
        TMinorPlace m;
        m.Compute(minor.Bodies[k], mjd);
        label = minor.Bodies[k].Label();
        if (!m.Valid) {
            why = label + ": the place is not computable at this moment";
            return false;
        }
        p.ra = m.Ra;
        p.dec = m.Dec;
        p.ra2000 = m.RaJ2000;
        p.dec2000 = m.DecJ2000;
        p.hasDistance = true;
        p.au = m.EarthDist;
        p.hasMag = std::isfinite(m.Mag);
        p.mag = m.Mag;
        p.hasPhase = true;
        p.phase = m.PhaseAngle;
    } else if (!found) {
        why = findWhy;
        return false;
    } else {
        label = hit.Name;
        if (hit.Kind == TFindIndex::Body) {
            body(hit.Number, mjd, p);
        } else if (hit.Kind == TFindIndex::Satellite) {
            // Jupiter's place with the moon's offset from it.
            body(TPlanet::Jupiter, mjd, p);
            TJupiter j;
            j.SetMjd(mjd);
            const int s = hit.Number - 11;
            p.ra2000 += j.SatRa[s] - j.Ra;
            p.dec2000 += j.SatDec[s] - j.Dec;
            p.ra = j.SatRa[s];
            p.dec = j.SatDec[s];
            p.hasMag = true;
            p.mag = j.SatMag[s];
            p.hasPhase = false;
        } else if (hit.HasPlace) {
            p.ra2000 = hit.Ra;
            p.dec2000 = hit.Dec;
            ChartApparent(mjd, hit.Ra, hit.Dec, p.ra, p.dec);
            p.hasMag = hit.HasMag;
            p.mag = hit.Mag;
        } else {
            why = "'" + o.WhereName + "' has no place of its own";
            return false;
        }
    }
    // Seen from the site. The hour angle takes the apparent sidereal time, the mean one
    // plus the equation of the equinoxes, which the site's routines leave to the caller.
    TLocation site;
    site.Lat = o.LatDeg * kDeg;
    site.Lon = o.LonDeg * kDeg;
    TPlanet t;
    const double d = TMjd::TT(mjd) - 15019.5;
    double deps, dpsi, eps0;
    t.nutation(d, deps, dpsi);
    t.obliquity(d, eps0);
    const double eqeq = dpsi * std::cos(eps0 + deps);
    double ra = p.ra - eqeq, dec = p.dec;
    if (p.hasDistance) {
        double dist;
        site.Parallax(mjd, ra, dec, p.au * TPlanet::AUKm, ra, dec, dist);
    }
    double az, alt;
    site.AziAlt(mjd, ra, dec, az, alt);

    out = "name: " + label + "\n";
    line(out, "ra-date", p.ra / kDeg);
    line(out, "dec-date", p.dec / kDeg);
    line(out, "ra-j2000", p.ra2000 / kDeg);
    line(out, "dec-j2000", p.dec2000 / kDeg);
    line(out, "alt", alt / kDeg);
    line(out, "az", az / kDeg);
    if (p.hasMag) line(out, "mag", p.mag, 2);
    if (p.hasDistance) line(out, "distance-au", p.au, 8);
    if (p.hasPhase) line(out, "phase-angle", p.phase / kDeg, 3);
    return true;
}
