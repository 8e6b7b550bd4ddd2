// Visual magnitudes of the planets by the formulas of Mallama & Hilton (2018), the ones
// the Astronomical Almanac uses. Each depends on the distances and the phase angle; Saturn
// adds its rings' tilt towards the Earth and the Sun, Uranus the latitude of the Earth and
// the Sun over its equator, Neptune a secular fading before 2000.
//
// Mars's small corrections for its rotation and its season (a few hundredths of a
// magnitude) are not applied.
#pragma once

class TPlanetMag {
public:
    // V magnitude of planet `body` (0 Mercury ... 6 Neptune as TPlanet numbers them) at
    // heliocentric distance r and geocentric distance delta (AU) and phase angle alpha
    // (degrees). subEarth and subSun are the planet-centred latitudes (radians) of the Earth
    // and the Sun over Saturn's ring plane or Uranus's equator, year the decimal year (for
    // Neptune). Pluto and anything else: NaN, the caller keeps its own law.
    static double Planet(int body, double r, double delta, double alpha, double subEarth,
                         double subSun, double year);
    // The phase angle (degrees) from the three sides of the Sun-body-Earth triangle.
    static double PhaseAngle(double r, double delta, double sunEarth);
};
