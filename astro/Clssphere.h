// Spherical geometry on the celestial sphere: position angles, great-circle
// distances, offsets along a position angle, and the two-star alignment of a
// manually pointed mount. Points are (right ascension, declination) in
// radians; position angles run from north through east.
#pragma once

class TSphere {
public:
    // Position angle of point 2 seen from point 1, in (0, 2*pi] (0 for due north
    // on the same meridian).
    static double PositionAngle(double ra1, double dec1, double ra2, double dec2);

    // Great-circle distance in [0, pi]; pa is PositionAngle(ra1, dec1, ra2, dec2).
    static double AngularDistance(double ra1, double dec1, double ra2, double dec2, double pa);

    // The point at position angle pa and distance rho from (ra, dec).
    static void DLpointB(double ra, double dec, double pa, double rho, double& raOut,
                         double& decOut);

    // The point n/m of the way along the great circle from point 1 to point 2.
    static void Devide(double ra1, double dec1, double ra2, double dec2, double n, double m,
                       double& ra, double& dec);

    // Two-star alignment. Inputs: circle readings of stars j and k, their sky
    // places, the MJD at which each was set and the MJD of now. Outputs: the sky
    // place of the mount's polar axis (P, Pdec) and the celestial pole in circle
    // coordinates (Q, R).
    static void PolePosition(double cRaJ, double cDecJ, double cRaK, double cDecK, double sRaJ,
                             double sDecJ, double sRaK, double sDecK, double tJ, double tK,
                             double tNow, double& P, double& Pdec, double& Q, double& R);

    // Circle coordinates (ra, dec) at which a target (ra', dec') is found, given
    // P, Q, R from PolePosition.
    static void RDobj(double raT, double decT, double P, double Q, double R, double& ra,
                      double& dec);

    // Direction angle of (x, y) in (0, 2*pi]; the positive x axis gives 2*pi.
    static double AtnEx(double y, double x);
};
