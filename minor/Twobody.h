// Two-body motion about the Sun for any conic: ellipses, the parabola and hyperbolas, from
// the elements at perihelion, by the universal variable of Stumpff's functions, so one
// Kepler equation serves every eccentricity and none is singular at e = 1. Perturbations
// by the planets are not modelled.
#pragma once

#include "minor/Minorbody.h"

class TTwoBody {
public:
    static constexpr double Gauss = 0.01720209895; // k, AU^(3/2) per day

    // Heliocentric place (AU, ecliptic and equinox of J2000) of b at tt (MJD, TT). False,
    // with p untouched, when it is not computable: elements that are no orbit, or a time
    // so far out on a hyperbola that the numbers overflow.
    static bool Place(const TMinorBody& b, double tt, double (&p)[3]);

    // Stumpff's functions c0..c3 of x.
    static void Stumpff(double x, double (&c)[4]);
};
