// Neptune for one instant: apparent place of date, distances, elongation, size,
// phase and magnitude.
#pragma once

#include "astro/Clsplanet.h"

class TNeptune : public TPlanet {
public:
    double Ra = 0.0;        // apparent right ascension of date, radians
    double Dec = 0.0;       // apparent declination of date, radians
    double SunDist = 0.0;   // distance from the Sun, AU
    double EarthDist = 0.0; // distance from the Earth, AU
    double SunDistKm = 0.0; // the same in km
    double EarthDistKm = 0.0;
    double Elong = 0.0;    // signed elongation, east of the Sun positive, radians
    double HelioLon = 0.0; // heliocentric ecliptic longitude, radians
    double HelioLat = 0.0; // heliocentric ecliptic latitude, radians
    double GeoLon = 0.0;   // apparent geocentric ecliptic longitude, radians
    double GeoLat = 0.0;   // apparent geocentric ecliptic latitude, radians
    double Diam = 0.0;     // apparent diameter, radians
    double Phase = 0.0;    // illuminated fraction x 100
    double Mag = 0.0;      // visual magnitude

    // Recomputes every field for mjd (UT).
    void SetMjd(double mjd);
    // form 0 Japanese, 1 upper case, 2 mixed case, 3 three-letter code; otherwise "".
    using TPlanet::GetName;
    const char* GetName(int form) const;
};
