// --center NAME of quenlira-chart: any object the chart window's find field
// finds, through the same name index over the catalogues.
#pragma once

#include <string>

#include "tools/chart/Chartoptions.h"

// Puts the atlas centre of o.CenterName into o: a body as CenterBody, any
// other object as RaHours/DecDeg (a moon of Jupiter at its place for mjd);
// CenterLabel becomes the object's name. The catalogues are those Run reads
// (o.Stars, o.DeepSky, else beside the program in folder), the Hipparcos
// numbers Starhip.dat beside the stars. False when nothing has that name;
// then why names the nearest names.
bool ResolveChartCentre(TChartOptions& o, const std::string& folder, double mjd, std::string& why);
