// A dotted polyline that leaves the raster and comes back keeps its dot
// pattern in step, as if the part off the raster had been drawn.
#include <gtest/gtest.h>

#include <random>
#include <vector>

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

// Slanted polylines of every pen style that cross all four edges: the part
// on a small raster is, pixel for pixel, the same part of the polyline drawn
// wholly inside a large one.
TEST(LineDash, LinesLeavingTheRasterPaintWhatTheyWouldInside) {
    constexpr int W = 70, H = 50, Off = 400;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coord(-300, 300);
    for (int style : {TSurface::PS_SOLID, TSurface::PS_DASH, TSurface::PS_DOT, TSurface::PS_DASHDOT,
                      TSurface::PS_DASHDOTDOT}) {
        for (int opaque = 0; opaque < 2; ++opaque) {
            std::vector<std::pair<int, int>> points;
            for (int k = 0; k < 40; ++k)
                points.push_back({W / 2 + coord(random), H / 2 + coord(random) / 3});
            auto draw = [&](TDIB& dib, int ox, int oy, int w, int h) {
                dib.AddColor(RGB(0, 0, 0));
                dib.AddColor(RGB(255, 0, 0));
                dib.AddColor(RGB(0, 0, 255));
                dib.Create(w, h);
                TSurface* s = dib.GetSurface();
                TDraw d;
                d.DrawStart(s, style, 1, RGB(255, 0, 0), RGB(255, 0, 0));
                s->SetBkColor(RGB(0, 0, 255));
                s->SetBkMode(opaque ? TSurface::OPAQUE : TSurface::TRANSPARENT);
                s->MoveTo(ox + points[0].first, oy + points[0].second);
                for (const auto& [x, y] : points)
                    s->LineTo(ox + x, oy + y);
                d.DrawEnd(s);
            };
            TDIB small, big;
            draw(small, 0, 0, W, H);
            draw(big, Off, Off, 2 * Off, 2 * Off);
            int painted = 0, differ = 0;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    differ += small.GetIdx(x, y) != big.GetIdx(x + Off, y + Off);
                    painted += small.GetIdx(x, y) != 0;
                }
            EXPECT_EQ(differ, 0) << "style " << style << " opaque " << opaque;
            EXPECT_GT(painted, 100) << "style " << style << " opaque " << opaque;
        }
    }
}

} // namespace
