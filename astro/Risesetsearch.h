#pragma once

#include <functional>

class TLocation;

// Where a moving body stands at one instant, as the rise/set search needs it.
struct TRiseSetPlace {
    double Ra = 0.0;       // right ascension of date, radians
    double Dec = 0.0;      // declination of date, radians
    double Diameter = 0.0; // apparent diameter, radians
    double Distance = 0.0; // distance from the Earth, AU (0: no parallax, no disc)
};

// Outcome of the search for one rising or setting.
struct TRiseSetEvent {
    bool Found = false;     // the body crosses the horizon and the iteration settled
    double Mjd = 0.0;       // instant of the event, MJD (UT)
    double Time = 0.0;      // UT of the event after 0h of mjd0 - DayShift, radians (2pi = 24 h)
    double LocalTime = 0.0; // local clock time of the event, radians in [0, 2pi)
    int DayShift = 0;       // the event's UT day relative to mjd0 is mjd0 - DayShift
    double Azimuth = 0.0;   // azimuth of the crossing point (north 0, east pi/2)
    int Calls = 0;          // evaluations of the body
};

// Sets the body to the instant mjd (UT) and gives its place.
using TRiseSetPlaceAt = std::function<TRiseSetPlace(double mjd)>;

// Rising (event 0) or setting (otherwise) of a moving body on the local civil
// date whose 0h UT is mjd0 (built with TMjd::JULIAN at zone 0): the body is
// set to the estimated instant and TLocation::RiseSet evaluated again until
// the time settles (at most seven evaluations).
TRiseSetEvent RiseSetSearch(const TLocation& site, int event, double mjd0, double zone, int summer,
                            const TRiseSetPlaceAt& placeAt);
