// Filling a band of the sky (the Milky Way) whose outlines run partly off a
// chart: the visible runs of each outline are cut at the raster's edges and
// joined into closed polygons along the border, walking round the raster
// centre, so that the band stays one continuous area where it leaves the chart.
#pragma once

#include <vector>

#include "render/Clssurface.h"

// Where a projected outline vertex lies.
enum TBandKind {
    BAND_VISIBLE = 0, // on the raster
    BAND_OUTSIDE = 1, // projected, but off the raster
    BAND_FAR = 2,     // too far from the chart centre to be projected usefully
};

struct TBandVertex {
    double x = 0;
    double y = 0;
    int Kind = BAND_VISIBLE;
};

struct TBandPoint {
    double x = 0;
    double y = 0;
};

// Intersection of the segments (ax,ay)-(bx,by) and (cx,cy)-(dx,dy). True, with
// the point in (x, y), when they cross within both; parallel segments do not.
bool Kouten(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy,
            double& x, double& y);

// Angle at the centre (cx, cy) from the direction of A to the direction of B,
// counter-clockwise on the screen, in [0, 2pi).
double NAIKAKU(double cx, double cy, double ax, double ay, double bx, double by);

// The polygons that fill the band on a raster of the given size. Outlines that
// lie wholly on the raster come back as pieces of their own; fill all the
// pieces together by the alternate rule.
std::vector<std::vector<TPoint>> StitchBand(const std::vector<std::vector<TBandVertex>>& outlines,
                                            int width, int height);
