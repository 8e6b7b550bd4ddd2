#pragma once
// TSkyPass: one object's night at a site: its rising and setting over the
// observer's horizon, its meridian crossing, and its best time (where it
// stands highest in the dark window) with its altitude then.
#include <functional>

#include "plan/Clsnight.h"

class TSkyPass {
public:
    enum State { Crosses = 0, AlwaysUp = 1, NeverRises = -1 };

    // A place of date (radians) at an instant, for objects that move.
    using TPlaceAt = std::function<void(double mjd, double& ra, double& dec)>;

    // A fixed place of date.
    void Compute(const TNight& night, double ra, double dec);
    // A moving object; the Moon with night.MoonPlace. semi: the apparent
    // radius (radians) whose upper limb rises and sets.
    void Compute(const TNight& night, const TPlaceAt& place, double semi = 0.0);

    int Up = NeverRises;
    TNight::TEvent Rise, Set, Transit;
    bool HaveBest = false;
    double BestMjd = 0.0;
    double BestAlt = 0.0; // true altitude, radians
    double TransitAlt = 0.0;
};
