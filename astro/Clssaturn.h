// Saturn for one instant, with the orientation of its ring and the shape of the
// globe as seen from the Earth.
#pragma once

#include "astro/Clsplanet.h"

class TSaturn : public TPlanet {
public:
    double GlobeRatio = 0.0; // apparent minor / major axis of the globe's outline
    double Ra = 0.0;         // apparent right ascension of date, radians
    double Dec = 0.0;        // apparent declination of date, radians
    double SunDist = 0.0;    // distance from the Sun, AU
    double EarthDist = 0.0;  // distance from the Earth, AU
    double SunDistKm = 0.0;  // the same in km
    double EarthDistKm = 0.0;
    double Elong = 0.0;        // signed elongation, east of the Sun positive, radians
    double HelioLon = 0.0;     // heliocentric ecliptic longitude, radians
    double HelioLat = 0.0;     // heliocentric ecliptic latitude, radians
    double GeoLon = 0.0;       // apparent geocentric ecliptic longitude, radians
    double GeoLat = 0.0;       // apparent geocentric ecliptic latitude, radians
    double Diam = 0.0;         // apparent equatorial diameter, radians
    double Phase = 0.0;        // illuminated fraction x 100
    double Mag = 0.0;          // visual magnitude
    double RingPA = 0.0;       // position angle of the ring's axis, radians
    double RingTiltSin = 0.0;  // sine of the tilt of the ring plane towards the observer
    double AxisRatio = 0.8923; // polar / equatorial radius of the globe

    // Recomputes every field for mjd (UT).
    void SetMjd(double mjd);
    // form 0 Japanese, 1 upper case, 2 mixed case, 3 three-letter code; otherwise "".
    using TPlanet::GetName;
    const char* GetName(int form) const;
    // Radius of ring edge `ring` (1-4) in equatorial radii; t runs from 0 at the outer
    // edge to 1 at the inner edge. Any other ring: 0.
    static double GetRingR(int ring, double t);
    // Parameter angle of the projected ring ellipse where it meets the globe's limb,
    // radians in (0, pi/2], or 0 when the ring passes clear of the globe.
    double GetRingDeg(int ring, double t) const;
};
