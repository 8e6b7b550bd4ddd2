// Constants and small helpers shared by the atlas's sources (the projection
// and window, the sky layers, the bodies and markers, picking and pictures).
// Internal to render/: nothing outside the atlas includes it.
#pragma once

#include <algorithm>
#include <cmath>

#include <vector>

#include "astro/Clsmjd.h"
#include "catalog/Clsnebula.h"
#include "render/Clsdib.h"
#include "render/Clssurface.h"

namespace atlasdetail {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDeg = kPi / 180.0;
constexpr double kFiveDeg = 0.08726646259971639;
constexpr double kJ2000 = TMjd::J2000;

// Star colours: [set][level - 1][spectral code - 1] (M K G F A B O other).
constexpr unsigned long kStarColours[2][3][8] = {
    {{RGB(255, 144, 112), RGB(255, 192, 128), RGB(255, 255, 128), RGB(255, 255, 192),
      RGB(192, 192, 192), RGB(192, 255, 255), RGB(128, 255, 255), RGB(255, 255, 255)},
     {RGB(160, 96, 64), RGB(160, 120, 80), RGB(160, 160, 80), RGB(160, 160, 120),
      RGB(120, 120, 120), RGB(120, 160, 160), RGB(80, 160, 160), RGB(160, 160, 160)},
     {RGB(64, 40, 24), RGB(64, 48, 32), RGB(64, 64, 32), RGB(64, 64, 48), RGB(48, 48, 48),
      RGB(48, 64, 64), RGB(32, 64, 64), RGB(64, 64, 64)}},
    {{RGB(255, 80, 80), RGB(255, 128, 80), RGB(255, 255, 80), RGB(255, 255, 128),
      RGB(200, 200, 200), RGB(80, 255, 255), RGB(128, 255, 255), RGB(255, 255, 255)},
     {RGB(160, 50, 50), RGB(160, 80, 50), RGB(160, 160, 50), RGB(160, 160, 80), RGB(125, 125, 125),
      RGB(50, 160, 160), RGB(80, 160, 160), RGB(160, 160, 160)},
     {RGB(64, 20, 20), RGB(64, 32, 20), RGB(64, 64, 20), RGB(64, 64, 32), RGB(50, 50, 50),
      RGB(20, 64, 64), RGB(32, 64, 64), RGB(64, 64, 64)}}};

constexpr unsigned long kLabelGrey = RGB(200, 200, 200);
constexpr unsigned long kNebulaColour = RGB(104, 24, 112);
constexpr unsigned long kYellow = RGB(255, 255, 0);
// The chosen object's mark (an entry of the colour table).
constexpr unsigned long kTargetColour = RGB(0, 255, 255);
// The target mark's corners stand this far out from the object; its labels
// start beyond them.
constexpr int kTargetMarkOut = 12, kTargetLabelX = kTargetMarkOut + 3;
constexpr unsigned long kBlack = RGB(0, 0, 0);

inline int SpectColumn(int spect) {
    return (spect >= 1 && spect <= 8) ? spect - 1 : 7;
}

inline double WrapTwoPi(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a;
}

// Angle difference a - b brought into (-pi, pi].
inline double AngleDiff(double a, double b) {
    // fmod leaves a difference smaller than the full turn as it is (it is
    // exact), so only larger ones need it: picking asks this of every star
    // in a band.
    double d = a - b;
    if (!(std::fabs(d) < kTwoPi)) d = std::fmod(d, kTwoPi);
    if (d <= -kPi) d += kTwoPi;
    if (d > kPi) d -= kTwoPi;
    return d;
}

// The point of a disc of radius r about (cx, cy) nearest to a square, inside r?
inline bool DiscMeetsSquare(int cx, int cy, int r, int px, int py, int tol) {
    int nx = std::clamp(cx, px - tol, px + tol);
    int ny = std::clamp(cy, py - tol, py + tol);
    long dx = cx - nx, dy = cy - ny;
    return dx * dx + dy * dy <= static_cast<long>(r) * r;
}

// Clips the segment to the rectangle 0..w, 0..h (Liang-Barsky); false when
// nothing of it is left.
inline bool ClipToRect(double& x0, double& y0, double& x1, double& y1, double w, double h) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, w - x0, y0, h - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
        } else {
            double t = q[i] / p[i];
            if (p[i] < 0.0) {
                if (t > t1) return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0) return false;
                t1 = std::min(t1, t);
            }
        }
    }
    const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
    const double nx1 = x0 + t1 * dx, ny1 = y0 + t1 * dy;
    x0 = nx0, y0 = ny0, x1 = nx1, y1 = ny1;
    return true;
}

// Half the major axis of a deep-sky object in pixels. An axis from a damaged
// file (not a number, negative, or wider than the sky) must not reach the
// integer conversion: a NaN became a radius that covered the whole chart.
inline int HalfAxisPixels(int scale, float major) {
    if (!(major > 0.0f)) return 0;
    // Single precision as before, so that sound records keep their pixel.
    return static_cast<int>(scale * std::min(major, static_cast<float>(kPi)) * 0.5);
}

// Fills a deep-sky outline as polygons, one for each piece (the pieces are
// parted by a point at (10, 10)); `place(ra, dec, point)` puts each point on
// the raster, or leaves it out by returning false.
template <class Place> void FillOutline(TSurface* s, const TNebulaOutline& o, Place&& place) {
    std::vector<TPoint> poly;
    for (int k = 0; k < o.count; ++k) {
        if (o.ra[k] == 10.0 && o.dec[k] == 10.0) {
            if (!poly.empty()) s->Polygon(poly.data(), static_cast<int>(poly.size()));
            poly.clear();
            continue;
        }
        TPoint p;
        if (place(o.ra[k], o.dec[k], p)) poly.push_back(p);
    }
    if (!poly.empty()) s->Polygon(poly.data(), static_cast<int>(poly.size()));
}

} // namespace atlasdetail
