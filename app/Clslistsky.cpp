#include "app/Clslistsky.h"

#include "astro/Clsmjd.h"
#include "astro/Clssun.h"

#include <cmath>

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180;
constexpr double kJ2000 = 51544.0;
} // namespace

TListSky::TListSky(const TLocation& site, double now, double zoneHours) : site_(site), now_(now) {
    // The night that is on now, or the coming one: from the last local noon.
    const double local = now + zoneHours / 24;
    double noon = std::floor(local - 0.5) + 0.5;
    start_ = noon - zoneHours / 24;
    TSun sun;
    const int steps = 24 * 60 / kStepMinutes;
    sunAlt_.resize(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        const double t = start_ + i * kStepMinutes / 1440.0;
        sun.SetMjd(t);
        double az, alt;
        site_.AziAlt(t, sun.Ra, sun.Dec, az, alt);
        sunAlt_[i] = alt;
    }
}

TListSky::TResult TListSky::Evaluate(double ra, double dec) const {
    TResult r;
    // The place of date: the altitude is computed against the equinox of now.
    double raD, decD;
    TMjd::Epoch(ra, dec, kJ2000, now_, 0, 0, raD, decD);
    double az;
    site_.AziAlt(now_, raD, decD, az, r.AltNow);
    for (const double sunLimit : {-12 * kDeg, -6 * kDeg, 0.0}) {
        for (std::size_t i = 0; i < sunAlt_.size(); ++i) {
            if (sunAlt_[i] > sunLimit) continue;
            const double t = start_ + static_cast<double>(i) * kStepMinutes / 1440.0;
            double alt;
            site_.AziAlt(t, raD, decD, az, alt);
            if (alt > 0 && (!r.HasBest || alt > r.BestAlt)) {
                r.HasBest = true;
                r.BestAlt = alt;
                r.BestMjd = t;
            }
        }
        if (r.HasBest) break;
        // Only when there is no darker sky at all is a lighter one taken.
        bool darker = false;
        for (const double s : sunAlt_)
            if (s <= sunLimit) darker = true;
        if (darker) break;
    }
    return r;
}
