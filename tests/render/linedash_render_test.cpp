// A dotted polyline that leaves the raster and comes back keeps its dot
// pattern in step, as if the part off the raster had been drawn.
#include <gtest/gtest.h>

#include "render/Clsdib.h"
#include "render/Clsdraw.h"
#include "render/Clssurface.h"

namespace {

// Draws the same dotted polyline, shifted by (ox, oy), into a raster.
void Polyline(TDIB& dib, int ox, int oy) {
    dib.AddColor(RGB(0, 0, 0));
    dib.AddColor(RGB(255, 0, 0));
    dib.Create(ox + 60, oy + 40);
    TSurface* s = dib.GetSurface();
    TDraw d;
    d.DrawStart(s, TSurface::PS_DOT, 1, RGB(255, 0, 0), RGB(255, 0, 0));
    s->MoveTo(ox + 5, oy + 10);
    s->LineTo(ox + 50, oy + 10);  // on the small raster
    s->LineTo(ox + 50, oy - 300); // leaves it upwards
    s->LineTo(ox + 40, oy - 300); // wholly off it
    s->LineTo(ox + 40, oy + 30);  // comes back
    s->LineTo(ox + 5, oy + 30);
    d.DrawEnd(s);
}

TEST(LineDash, PatternStaysInStepAcrossTheRasterEdge) {
    TDIB small, big;
    Polyline(small, 0, 0);
    Polyline(big, 0, 400); // the whole polyline on the raster
    int dots = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            EXPECT_EQ(small.GetIdx(x, y), big.GetIdx(x, y + 400)) << x << "," << y;
            dots += small.GetIdx(x, y) == 1;
        }
    EXPECT_GT(dots, 40);
}

} // namespace
