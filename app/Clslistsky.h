// TListSky: what the list window tells of an object beside its name: its
// altitude now and the best time to see it tonight, the moment of the
// coming night (local noon to noon) when it stands highest while the Sun is
// at least 12 degrees down (6, then 0, where the night is lighter). No Qt.
#pragma once

#include "astro/Clslocation.h"

#include <vector>

class TListSky {
public:
    // site: the observing site; now: UT MJD; zoneHours: local clock minus
    // UT (summer time included).
    TListSky(const TLocation& site, double now, double zoneHours);

    struct TResult {
        double AltNow = 0;    // radians, without refraction
        bool HasBest = false; // false: never above the horizon in the dark
        double BestMjd = 0;   // UT
        double BestAlt = 0;   // radians
    };
    // ra, dec: J2000 radians.
    TResult Evaluate(double ra, double dec) const;

    static constexpr int kStepMinutes = 10;
    double NightStart() const { return start_; } // UT MJD of the local noon it starts at

private:
    TLocation site_;
    double now_, start_;
    // Per step of the night, the Sun's altitude (radians).
    std::vector<double> sunAlt_;
};
