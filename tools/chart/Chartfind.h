// --center NAME of quenlira-chart: any object the chart window's find field
// finds, through the same name index over the catalogues.
#pragma once

#include <string>

#include "catalog/Clsfind.h"

#include "tools/chart/Chartoptions.h"

class TMinorList;

// Puts the atlas centre of o.CenterName into o: a body as CenterBody, any
// other object as RaHours/DecDeg (a moon of Jupiter at its place for mjd);
// CenterLabel becomes the object's name. The catalogues are those Run reads
// (o.Stars, o.DeepSky, else beside the program in folder), the Hipparcos
// numbers Starhip.dat beside the stars. False when nothing has that name;
// then why names the nearest names.
// minor: comets and asteroids, looked up before the catalogues (null: none).
bool ResolveChartCentre(TChartOptions& o, const std::string& folder, double mjd, std::string& why,
                        const TMinorList* minor = nullptr);

// A finder chart's view: the scale at which its rings fill half the chart
// (unless --scale), and the limiting magnitude of that field (unless --limit).
void FinderView(TChartOptions& o);

// The object the find field would take first for name, over the catalogues Run reads.
// False when nothing has that name; then why names the nearest names.
bool FindChartObject(const TChartOptions& o, const std::string& folder, const std::string& name,
                     TFindIndex::THit& hit, std::string& why);
