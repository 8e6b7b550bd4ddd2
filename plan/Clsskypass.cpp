#include "plan/Clsskypass.h"

#include <algorithm>
#include <cmath>
#include <vector>

void TSkyPass::Compute(const TNight& night, double ra, double dec) {
    Compute(night, [ra, dec](double, double& r, double& d) {
        r = ra;
        d = dec;
    });
}

void TSkyPass::Compute(const TNight& night, const TPlaceAt& place, double semi) {
    const TNightGrid& g = night.Grid;
    const TLocation& site = night.Site;
    const THorizon& horizon = night.Horizon;
    const int n = static_cast<int>(g.Mjd.size());
    auto altAt = [&](double m) {
        double ra, dec, az, alt;
        place(m, ra, dec);
        site.AziAlt(m, ra, dec, az, alt);
        return alt;
    };
    // Rising and setting: the altitude against the profile's level.
    std::vector<double> over(n), sinH(n), alt(n);
    for (int i = 0; i < n; ++i) {
        double ra, dec, az, a;
        place(g.Mjd[i], ra, dec);
        site.AziAlt2(g.Lst[i], ra, dec, az, a);
        alt[i] = a;
        over[i] = a - horizon.RiseAltitude(az) + semi;
        sinH[i] = std::sin(g.Lst[i] - ra);
    }
    const auto cs = g.Crossings(over, [&](double m) {
        double ra, dec, az, a;
        place(m, ra, dec);
        site.AziAlt(m, ra, dec, az, a);
        return a - horizon.RiseAltitude(az) + semi;
    });
    Rise = Set = {};
    for (const TCrossing& c : cs) {
        if (c.Rising && !Rise.Found) Rise = {true, c.Mjd};
        if (!c.Rising && !Set.Found) Set = {true, c.Mjd};
    }
    Up = cs.empty() ? (over[0] > 0.0 ? AlwaysUp : NeverRises) : Crosses;

    // The meridian: the hour angle passing zero.
    Transit = {};
    const auto ts = g.Crossings(sinH, [&](double m) {
        double ra, dec;
        place(m, ra, dec);
        return std::sin(site.SiderealTime(m) - ra);
    });
    for (const TCrossing& c : ts)
        if (c.Rising && !Transit.Found) {
            Transit = {true, c.Mjd};
            TransitAlt = altAt(c.Mjd);
        }

    // Best time: the highest sample of the dark window, then a golden-section
    // search a step either side (the altitude has one top in there).
    HaveBest = night.HaveDark;
    if (!HaveBest) return;
    const double a = night.DarkStart, b = night.DarkEnd;
    double bestM = a, bestA = altAt(a);
    const double endA = altAt(b);
    if (endA > bestA) {
        bestM = b;
        bestA = endA;
    }
    for (int i = 0; i < n; ++i)
        if (g.Mjd[i] > a && g.Mjd[i] < b && alt[i] > bestA) {
            bestA = alt[i];
            bestM = g.Mjd[i];
        }
    double lo = std::max(a, bestM - TNightGrid::kStep), hi = std::min(b, bestM + TNightGrid::kStep);
    const double r = 0.6180339887498949;
    double x1 = hi - r * (hi - lo), x2 = lo + r * (hi - lo);
    double f1 = altAt(x1), f2 = altAt(x2);
    for (int k = 0; k < 30 && hi - lo > 0.5 / 86400.0; ++k) {
        if (f1 < f2) {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + r * (hi - lo);
            f2 = altAt(x2);
        } else {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - r * (hi - lo);
            f1 = altAt(x1);
        }
    }
    const double mid = 0.5 * (lo + hi), midA = altAt(mid);
    if (midA > bestA) {
        bestA = midA;
        bestM = mid;
    }
    BestMjd = bestM;
    BestAlt = bestA;
}
