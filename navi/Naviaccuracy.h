// TNaviAccuracy: how far the circle readings the navigation shows can be off,
// and what to warn about before a reference star is taken. The circles are
// read to whole minutes of right ascension and tenths of a degree; every
// reading may be off by half of that, and two stars close together turn
// those small errors into a large error of the polar axis. The estimate
// follows each reading's error through the whole solution.
#pragma once

#include "astro/Clslocation.h"
#include "navi/Navistars.h"

#include <string>

class TNaviAccuracy {
public:
    static constexpr double kPi = 3.14159265358979323846;
    static constexpr double kDeg = kPi / 180.0;
    // Half the smallest step of each circle as the user reads and dials it.
    static constexpr double kRaHalfStep = 0.5 * 15.0 / 60.0 * kDeg; // half a minute of time
    static constexpr double kDcHalfStep = 0.05 * kDeg;
    // The shown readings are rounded too: to the minute and to 0.01 degree.
    static constexpr double kShownDcHalfStep = 0.005 * kDeg;
    // With one star the polar axis cannot be found; it is taken as set up by
    // eye on the pole, within this.
    static constexpr double kRoughAlignment = 3.0 * kDeg;
    // Reference stars closer than this fix the polar axis poorly.
    static constexpr double kUsefulSeparation = 20.0 * kDeg;
    // Beyond this the readings are no help in finding the object.
    static constexpr double kUseless = 5.0 * kDeg;

    // For the readings stars.Dial gives for the target (ra, dec) at t: a bound
    // (radians, on the sky) on how far they can be from what the circles read
    // on the target, and a note for the user. False, with the reason in note,
    // when there are no readings to give.
    static bool Estimate(const TNaviStars& stars, const TLocation& site, double ra, double dec,
                         double t, double& bound, std::string& note);

    // The estimate as shown beside the readings ("±0.4°", with the note).
    static std::string Text(bool known, double bound, const std::string& note);

    // What is wrong with taking the target (ra, dec, place of date) as a
    // reference star at t, one warning a line; empty when nothing is.
    static std::string Warnings(const TNaviStars& stars, const TLocation& site,
                                const std::string& name, double ra, double dec, double t);

    // Angle between two places on the sphere, radians.
    static double Separation(double ra1, double dec1, double ra2, double dec2);
};
