// Precession of ecliptic coordinates between J2000 and the mean ecliptic and equinox of
// another date (J. Meeus, "Astronomical Algorithms", ch. 21, from Lieske's angles). Orbital
// elements come referred to J2000; the planet theory works in the frame of date.
#pragma once

class TEclPrecess {
public:
    // lon, lat (radians) of J2000 to those of the mean ecliptic of tt (MJD, TT).
    static void ToDate(double tt, double& lon, double& lat);
    // The reverse.
    static void ToJ2000(double tt, double& lon, double& lat);
    // The same on a vector (any length).
    static void VectorToDate(double tt, double (&v)[3]);
    static void VectorToJ2000(double tt, double (&v)[3]);
};
