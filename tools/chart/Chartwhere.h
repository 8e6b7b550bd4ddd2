// quenlira-chart --where NAME: where an object is for the tool's site and moment, as
// "key: value" lines for scripts and for checking. Any name the find field takes, and the
// comets and asteroids of the element files.
#pragma once

#include <string>

#include "tools/chart/Chartoptions.h"

class TMinorList;

// The lines for o.WhereName at mjd (UT): ra-date, dec-date (apparent geocentric of date),
// ra-j2000, dec-j2000 (astrometric geocentric J2000: light time only), alt, az
// (topocentric, no refraction, azimuth from north through east), and where they apply
// mag, distance-au, phase-angle; decimal degrees. False, with why, when nothing has that
// name or its place is not computable.
bool ChartWhere(const TChartOptions& o, const std::string& folder, const TMinorList& minor,
                double mjd, std::string& out, std::string& why);

// The apparent place of date of a J2000 place that does not move (a star, a nebula):
// precession, nutation and annual aberration as the bodies get them. Radians.
void ChartApparent(double mjd, double ra2000, double dec2000, double& ra, double& dec);
