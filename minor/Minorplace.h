// Where a comet or an asteroid is seen from the Earth's centre at one moment, reduced as
// the planets are (light time, nutation, annual aberration, the same Sun and Delta T), and
// how bright it is.
#pragma once

#include "minor/Minorbody.h"

class TMinorPlace {
public:
    bool Valid = false;       // false: not computable at this moment (the fields are 0)
    double Ra = 0.0, Dec = 0.0; // apparent geocentric place of date, radians
    double RaJ2000 = 0.0, DecJ2000 = 0.0; // astrometric geocentric J2000 (light time only)
    double GeoLon = 0.0, GeoLat = 0.0;    // apparent ecliptic place of date
    double HelioLon = 0.0, HelioLat = 0.0; // heliocentric, ecliptic of date
    double SunDist = 0.0, EarthDist = 0.0; // AU
    double Elong = 0.0;      // signed elongation, east of the Sun positive
    double PhaseAngle = 0.0; // Sun-body-Earth, radians
    double Mag = 0.0;        // visual magnitude; NaN when the file gives none
    // A comet's tail: the apparent place of date of its far end, a point TailAu from the
    // head straight away from the Sun (0 for asteroids; then TailRa, TailDec are Ra, Dec).
    double TailAu = 0.0;
    double TailRa = 0.0, TailDec = 0.0;

    // All of the above for b at mjd (UT).
    void Compute(const TMinorBody& b, double mjd);

    // No brighter than this can the body ever be seen from the Earth (at perihelion, at
    // opposition, the Earth at its farthest from the Sun): a redraw skips the bodies for
    // which even this is fainter than its limit. -infinity for comets, near-Earth orbits and
    // bodies without a magnitude, which are always placed.
    static double BrightestPossible(const TMinorBody& b);

    // How long a comet's tail is drawn, AU: longer for an intrinsically bright comet and
    // near the Sun, where it sheds the most gas and dust (a rough rule for the chart only).
    static double TailLength(const TMinorBody& b, double r);

    // The IAU H, G system (Bowell et al. 1989); alpha in radians.
    static double AsteroidMag(double H, double G, double r, double delta, double alpha);
    // A comet's total magnitude, M1 + 5 log delta + K1 log r.
    static double CometMag(double M1, double K1, double r, double delta);
};
