// The atlas as a finder chart: field-of-view rings about the centre.
#include "render/Clsatlas.h"

#include <cmath>
#include <vector>

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
    // Labels keep off each other and off the middle, where the object is.
    struct TBox {
        int l, t, r, b;
    };
    std::vector<TBox> taken{{cx - kTargetLabelX, cy - kTargetLabelX, cx + kTargetLabelX,
                             cy + kTargetLabelX}};
    for (const TRing& ring : Rings) {
        // The projection keeps distances from the centre: a circle of the
        // ring's radius times the scale.
        const double r = ring.Radius * scale;
        if (!(r >= 2) || r > 4.0 * (ViewW + ViewH)) continue;
        const int ri = static_cast<int>(std::lround(r));
        s->Ellipse(cx - ri, cy - ri, cx + ri + 1, cy + ri + 1);
        // The label just outside the ring, up and to the right where there
        // is room, else further round; none where the ring has no room.
        const int w = s->GetTextExtent(ring.Label).cx, h = 12;
        for (const int deg : {45, 25, 65, 5, 85, 135, 115, 155, -20, -45}) {
            const double a = deg * kPi / 180;
            const int x = cx + static_cast<int>(std::lround(r * std::cos(a)));
            const int y = cy - static_cast<int>(std::lround(r * std::sin(a)));
            TBox b;
            b.l = std::cos(a) >= 0 ? x + 2 : x - 2 - w;
            b.t = std::sin(a) >= 0 ? y - 1 - h : y + 1;
            b.r = b.l + w;
            b.b = b.t + h;
            if (b.l < 0 || b.t < 0 || b.r > ViewW || b.b > ViewH) continue;
            bool clear = true;
            for (const TBox& o : taken)
                clear = clear && (b.r <= o.l || b.l >= o.r || b.b <= o.t || b.t >= o.b);
            if (!clear) continue;
            s->TextOut(b.l, b.t, ring.Label);
            taken.push_back(b);
            break;
        }
    }
    Draw_.TextEnd(s);
    Draw_.DrawEnd(s);
}
