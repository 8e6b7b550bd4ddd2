// TDrawTarget: where a TSurface's operations go instead of its raster. A page
// drawn as vectors takes the very drawing the screen's raster takes, the
// same layers in the same order; only what becomes of each operation differs.
// Coordinates are the raster's pixels; colours 0x00BBGGRR as given.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "render/Clsfont.h"
#include "render/Clssurface.h"

class TDrawTarget {
public:
    virtual ~TDrawTarget() = default;
    virtual void Line(int x0, int y0, int x1, int y1, const TPen& pen) = 0;
    // Boxes as the raster takes them: right and bottom edges excluded.
    virtual void Rectangle(int left, int top, int right, int bottom, const TPen& pen,
                           const TBrush& brush) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom, const TPen& pen,
                         const TBrush& brush) = 0;
    virtual void Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye,
                     const TPen& pen) = 0;
    // Pieces filled together by the alternate rule.
    virtual void Polygons(const std::vector<std::vector<TPoint>>& pieces, const TPen& pen,
                          const TBrush& brush) = 0;
    virtual void Pixel(int x, int y, unsigned long colour) = 0;
    // Text with its top-left corner at (x, y): the baseline `ascent` below,
    // `width` the raster font's width of it (for an opaque box).
    virtual void Text(int x, int y, const std::string& text, const TFontDesc& font, int ascent,
                      int width, unsigned long colour, bool opaque, unsigned long background) = 0;
    // A star: a filled disc of `diameter` pixels about (x, y).
    virtual void Star(double x, double y, double diameter, unsigned long colour) = 0;
    // A deep-sky symbol (the atlas's six kinds) about (x, y).
    virtual void Symbol(int kind, double x, double y, unsigned long colour) = 0;
    // What is drawn from now on shows only inside the ellipse in the box,
    // until EndClip.
    virtual void ClipEllipse(int left, int top, int right, int bottom) = 0;
    virtual void EndClip() {} // a target that never clips has nothing to end
};

// A star's disc on a vector page, in pixels: from 1.2 at the chart's limiting
// magnitude to 9 at magnitude -1.5, growing faster towards the bright end so
// that the bright stars, few as they are, stand apart. Magnitudes x 100.
inline double StarDiscDiameter(int mag, int limit) {
    constexpr double kFaint = 1.2, kBright = 9.0, kBrightest = -150.0;
    const double range = limit - kBrightest;
    double t = range > 0 ? (limit - mag) / range : 1.0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return kFaint + (kBright - kFaint) * std::pow(t, 1.4);
}
