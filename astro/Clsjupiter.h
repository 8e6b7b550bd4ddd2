// Jupiter for one instant, with the position angle of its rotation axis and the
// places of the four Galilean satellites on circular orbits in its equator.
#pragma once

#include "astro/Clsplanet.h"

class TJupiter : public TPlanet {
public:
    double Ra = 0.0;        // apparent right ascension of date, radians
    double Dec = 0.0;       // apparent declination of date, radians
    double SunDist = 0.0;   // distance from the Sun, AU
    double EarthDist = 0.0; // distance from the Earth, AU
    double SunDistKm = 0.0; // the same in km
    double EarthDistKm = 0.0;
    double Elong = 0.0;       // signed elongation, east of the Sun positive, radians
    double HelioLon = 0.0;    // heliocentric ecliptic longitude, radians
    double HelioLat = 0.0;    // heliocentric ecliptic latitude, radians
    double GeoLon = 0.0;      // apparent geocentric ecliptic longitude, radians
    double GeoLat = 0.0;      // apparent geocentric ecliptic latitude, radians
    double Diam = 0.0;        // apparent equatorial diameter, radians
    double Phase = 0.0;       // illuminated fraction x 100
    double Mag = 0.0;         // visual magnitude
    double AxisRatio = 0.935; // polar / equatorial radius of the globe
    // Io, Europa, Ganymede, Callisto. SatX, SatY: offsets from Jupiter's centre in
    // equatorial radii, SatX = sin(PA) * rho and SatY = cos(PA) * rho with PA the
    // satellite's position angle turned half a turn (positive SatX lies west,
    // positive SatY south).
    double SatX[4] = {};
    double SatY[4] = {};
    double SatRa[4] = {}; // apparent places, radians
    double SatDec[4] = {};
    double SatMag[4] = {5.0, 5.3, 4.6, 5.6};
    double AxisPA = 0.0; // position angle of the rotation axis, radians

    // Recomputes every field for mjd (UT).
    void SetMjd(double mjd);
    // form 0 Japanese, 1 upper case, 2 mixed case, 3 three-letter code; otherwise "".
    using TPlanet::GetName;
    const char* GetName(int form) const;
    // sat 11 Io .. 14 Callisto; form 0 Japanese, 1 upper case, 2 mixed case, 4 Roman
    // numeral as one full-width character, 5 Roman numeral in ASCII; otherwise "".
    static const char* GetGaliName(int sat, int form);
    // The point at position angle pa and distance rho from (ra, dec).
    static void DLpointB(double ra, double dec, double pa, double rho, double& raOut,
                         double& decOut);
};
