#pragma once
// TNightGrid: the instants of one night at which the planner samples
// altitudes (every five minutes from local noon to the next local noon),
// with the site's sidereal time at each, and the search for the instants
// where a sampled quantity crosses a level.
#include <functional>
#include <vector>

#include "astro/Clslocation.h"

struct TCrossing {
    double Mjd = 0.0;
    bool Rising = false; // the quantity goes from below the level to above
};

class TNightGrid {
public:
    static constexpr double kStep = 5.0 / 1440.0; // days
    static constexpr int kSteps = 288;            // 24 hours

    // start: MJD (UT) of local noon of the evening's date.
    void Set(const TLocation& site, double start);

    double Start = 0.0;
    double End = 0.0;
    std::vector<double> Mjd;   // kSteps + 1 instants
    std::vector<double> Lst;   // local mean sidereal time at each, radians

    // Every crossing of f through zero between Start and End: the sign
    // changes between samples (given, one per grid instant), each narrowed by
    // bisection to about a second.
    std::vector<TCrossing> Crossings(const std::vector<double>& samples,
                                     const std::function<double(double)>& f) const;
};
