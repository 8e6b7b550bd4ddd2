// The horizon on the atlas: where objects appear on the observer's horizon
// (the profile less its refraction, or 34' below the flat horizon), drawn
// round the sky with short ticks every few pixels on the ground's side, so
// that a star below the horizon is seen to be below it.
#include <cmath>
#include <numbers>

#include "plan/Clshorizon.h"
#include "render/Atlasshared.h"
#include "render/Clsatlas.h"

using namespace atlasdetail;

namespace {
constexpr double kHorizonDeg = std::numbers::pi / 180.0;
constexpr unsigned long kHorizonColour = RGB(80, 160, 80);
} // namespace

void TAtlas::DrawHorizon() {
    static const THorizon flat;
    const THorizon& h = Horizon ? *Horizon : flat;
    const double mjd = Mjd.GetMJD();
    TSurface* s = Dib.GetSurface();
    // A point of the horizon line (or below it) on the J2000 chart.
    auto pixel = [&](double az, double below, int& px, int& py) {
        double ra, dec, ra0, dec0;
        Location.AziAlt2RaDc(mjd, az, h.RiseAltitude(az) - below, ra, dec);
        TMjd::Epoch(ra, dec, mjd, kJ2000, 0.0, 0.0, ra0, dec0);
        return ToPixel(ra0, dec0, px, py);
    };
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kHorizonColour, kHorizonColour);
    // Steps fine enough for a profile's corners and for a close zoom.
    const int steps = Scale > 20000 ? 7200 : 1440;
    const double step = 2.0 * std::numbers::pi / steps;
    bool have = false;
    int lastX = 0, lastY = 0;
    double sinceTick = 0.0;
    for (int i = 0; i <= steps; ++i) {
        const double az = i * step;
        int x, y;
        const bool seen = pixel(az, 0.0, x, y);
        const bool near = seen && x > -ViewW && x < 2 * ViewW && y > -ViewH && y < 2 * ViewH;
        if (near && have && std::abs(x - lastX) + std::abs(y - lastY) < ViewW / 2) {
            s->MoveTo(lastX, lastY);
            s->LineTo(x, y);
            sinceTick += std::hypot(x - lastX, y - lastY);
            if (sinceTick >= 8.0 && x >= 0 && x < ViewW && y >= 0 && y < ViewH) {
                // A tick six pixels long towards the ground.
                int gx, gy;
                if (pixel(az, 2.0 * kHorizonDeg, gx, gy)) {
                    const double dx = gx - x, dy = gy - y, len = std::hypot(dx, dy);
                    if (len > 0.5) {
                        s->MoveTo(x, y);
                        s->LineTo(x + static_cast<int>(std::lround(dx / len * 6.0)),
                                  y + static_cast<int>(std::lround(dy / len * 6.0)));
                    }
                }
                sinceTick = 0.0;
            }
        }
        have = near;
        lastX = x;
        lastY = y;
    }
    Draw_.DrawEnd(s);
}
