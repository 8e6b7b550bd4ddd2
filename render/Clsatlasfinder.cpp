// The atlas as a finder chart: field-of-view rings about the centre.
#include "render/Clsatlas.h"

#include <cmath>

#include "render/Atlasshared.h"

using namespace atlasdetail;

namespace {
constexpr unsigned long kRingColour = RGB(255, 80, 80);
} // namespace

void TAtlas::DrawFinder() {
    if (Rings.empty()) return;
    TSurface* s = Dib.GetSurface();
    const int scale = Scale == 0 ? 200 : Scale;
    const int cx = ViewW / 2, cy = ViewH / 2;
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kRingColour, kRingColour);
    s->SelectBrush(TBrush{true, 0});
    Draw_.TextStart(s, LabelFace, 8, 4, 0);
    s->SetTextColor(kRingColour);
    s->SetBkMode(TSurface::TRANSPARENT);
    for (const TRing& ring : Rings) {
        // The projection keeps distances from the centre: a circle of the
        // ring's radius times the scale.
        const double r = ring.Radius * scale;
        if (!(r >= 2) || r > 4.0 * (ViewW + ViewH)) continue;
        const int ri = static_cast<int>(std::lround(r));
        s->Ellipse(cx - ri, cy - ri, cx + ri + 1, cy + ri + 1);
        // The label just outside the ring, up and to the right.
        const int lx = cx + static_cast<int>(r * 0.7071) + 2;
        const int ly = cy - static_cast<int>(r * 0.7071) - 12;
        if (lx < ViewW && ly > 0) s->TextOut(lx, ly, ring.Label);
    }
    Draw_.TextEnd(s);
    Draw_.DrawEnd(s);
}
