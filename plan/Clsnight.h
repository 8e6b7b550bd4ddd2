#pragma once
// TNight: the times of one night at a site. The night of a local date runs
// from local noon of that date to local noon of the next: the Sun's setting,
// the ends of civil, nautical and astronomical twilight (the Sun 6, 12 and 18
// degrees below the horizon), the darkest moment (the Sun's lower
// culmination) and the morning's twilight and sunrise; the Moon's rising and
// setting, its phase, and how much of the dark window it leaves moonless.
// Every time is a root of the altitude found by sampling and bisection, so
// that polar days and nights and white nights come out as "none" with the
// reason in Notes instead of as wrong times.
#include <string>
#include <vector>

#include "astro/Clslocation.h"
#include "astro/Clsplanet.h"
#include "plan/Clshorizon.h"
#include "plan/Clsnightgrid.h"

class TNight {
public:
    struct TEvent {
        bool Found = false;
        double Mjd = 0.0; // UT
    };

    // The night that starts on the local date year-month-day at a site whose
    // clock runs zoneHours ahead of UT (summer time included). The Sun's and
    // the Moon's rising and setting are over the horizon profile.
    void Compute(const TLocation& site, const THorizon& horizon, int year, int month, int day,
                 double zoneHours);

    // Only the frame of a day from `start` (MJD UT): the grid, the site and
    // the horizon, no Sun and no Moon, for risings and settings on a civil
    // date.
    void Frame(const TLocation& site, const THorizon& horizon, double start, double zoneHours);

    TNightGrid Grid;
    TLocation Site;
    THorizon Horizon;
    double Zone = 0.0; // hours

    TEvent Sunset, CivilDusk, NauticalDusk, AstroDusk;
    TEvent AstroDawn, NauticalDawn, CivilDawn, Sunrise;
    TEvent Moonrise, Moonset;
    double Darkest = 0.0;       // the Sun's lower culmination, MJD (UT)
    double DarkestSunAlt = 0.0; // the Sun's altitude then, radians

    // The dark window: astronomical night, or when the Sun does not get that
    // low the darkest twilight it reaches (DarkKind says which).
    bool HaveDark = false;
    double DarkStart = 0.0, DarkEnd = 0.0;
    std::string DarkKind; // "astronomical", "nautical", "civil" or ""

    double MoonIllumination = 0.0; // lit fraction at the darkest moment, 0 to 1
    std::string MoonPhase;         // "waxing crescent", "full" ...
    double MoonlessHours = 0.0;    // of the dark window, the Moon below the horizon

    std::vector<std::string> Notes; // why a time is missing

    // The Sun's and the Moon's (topocentric) true altitude, radians, at each
    // grid instant, and the Moon's topocentric place of date.
    std::vector<double> SunAlt, MoonAlt, MoonRa, MoonDec;

    // The Moon's topocentric place of date at any instant of the night
    // (interpolated between grid instants).
    void MoonPlace(double mjd, double& ra, double& dec) const;

    // Local clock text of an instant, "YYYY-MM-DD HH:MM" (nearest minute).
    std::string LocalText(double mjd) const;
    std::string EventText(const TEvent& e) const { return e.Found ? LocalText(e.Mjd) : "none"; }

private:
    TPlanet theory_;
    void SunAt(double mjd, double& ra, double& dec, double& diam);
    void MoonAt(double mjd, double& ra, double& dec, double& semi);
    double SunAltitude(double mjd);
};
