#pragma once
// TMilky: the outline of the Milky Way as two closed polygons (the last vertex
// joins the first); filled together with the even-odd rule they give the band.
#include <vector>

struct TMilkyPoint {
    double ra; // radians, J2000
    double dec;
};

class TMilky {
public:
    TMilky();

    // Outline 0 is the south edge of the band, outline 1 the north edge.
    std::vector<TMilkyPoint> Outline[2];
    int Count[2] = {0, 0};
};
