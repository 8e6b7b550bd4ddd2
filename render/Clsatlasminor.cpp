// The atlas's comets and asteroids: asteroids as dots, comets as a small ring with a tail
// away from the Sun where it is long enough to be seen, labels as the stars' names, and
// the selected body's track with its date ticks.
#include "render/Clsatlas.h"

#include <cmath>

#include "render/Atlasshared.h"

using namespace atlasdetail;

namespace {
constexpr unsigned long kAsteroid = RGB(255, 192, 128);
constexpr unsigned long kComet = RGB(128, 255, 255);
constexpr unsigned long kTail = RGB(80, 160, 160);
constexpr unsigned long kTrack = RGB(192, 112, 48);
constexpr int kShortestTail = 5; // pixels; shorter tails are not drawn
} // namespace

bool TAtlas::MinorPixel(double ra, double dec, double au, int& px, int& py) {
    double tra, tdec;
    Topocentric(ra, dec, au * 149597870.7, tra, tdec);
    return ToPixel(tra, tdec, px, py);
}

void TAtlas::DrawMinor(int names) {
    MinorShown.clear();
    if (!MinorMarks) return;
    TSurface* s = Dib.GetSurface();
    const int limit = Limit();
    for (const TMinorSky::TMark& m : *MinorMarks) {
        if (!(m.Mag * 100.0 <= limit)) continue;
        int px, py;
        if (!MinorPixel(m.Ra, m.Dec, m.EarthAu, px, py)) continue;
        if (!(px > -40 && px < ViewW + 40 && py > -40 && py < ViewH + 40)) continue;
        if (m.Comet) {
            int tx, ty;
            if (MinorPixel(m.TailRa, m.TailDec, m.EarthAu, tx, ty)) {
                double dx = tx - px, dy = ty - py;
                const double len = std::hypot(dx, dy);
                // A tail across the whole chart says nothing more than a long one.
                const double most = 0.4 * std::max(ViewW, ViewH);
                if (len >= kShortestTail) {
                    if (len > most) {
                        dx *= most / len;
                        dy *= most / len;
                    }
                    // A narrow fan: the axis and two edges a tenth of its length aside.
                    const double ex = -dy * 0.1, ey = dx * 0.1;
                    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kTail, kBlack);
                    for (int side = -1; side <= 1; ++side) {
                        s->MoveTo(px, py);
                        s->LineTo(static_cast<int>(std::lround(px + dx + side * ex)),
                                  static_cast<int>(std::lround(py + dy + side * ey)));
                    }
                    Draw_.DrawEnd(s);
                }
            }
            Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kComet, kBlack);
            s->Ellipse(px - 3, py - 3, px + 4, py + 4);
            Draw_.DrawEnd(s);
        } else {
            Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kAsteroid, kAsteroid);
            s->Ellipse(px - 1, py - 1, px + 3, py + 3);
            Draw_.DrawEnd(s);
        }
        if (px >= 0 && px < ViewW && py >= 0 && py < ViewH) MinorShown.push_back({m.Index, px, py});
        // Its mark keeps fainter objects' labels off; its name gives way as
        // a star's does.
        const int rank = static_cast<int>(std::lround(m.Mag * 100.0));
        Placer.Block({px - 3, py - 3, px + 4, py + 4}, rank);
        if (names == 1 && px > 0 && px < ViewW && py > 0 && py < ViewH)
            AddLabel(rank, kNameFont, kLabelGrey, px, py, 3, TLabelPlacer::Below, m.Label);
    }
}

void TAtlas::DrawMinorTrack() {
    if (!MinorTrack || MinorTrack->size() < 2) return;
    TSurface* s = Dib.GetSurface();
    struct TAt {
        int x, y;
        bool on;
    };
    std::vector<TAt> at;
    for (const TMinorSky::TTrackPoint& p : *MinorTrack) {
        TAt a{0, 0, false};
        a.on = MinorPixel(p.Ra, p.Dec, p.EarthAu, a.x, a.y) && std::abs(a.x) < 100000 &&
               std::abs(a.y) < 100000;
        at.push_back(a);
    }
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kTrack, kTrack);
    for (std::size_t k = 1; k < at.size(); ++k) {
        if (!at[k - 1].on || !at[k].on) continue;
        s->MoveTo(at[k - 1].x, at[k - 1].y);
        s->LineTo(at[k].x, at[k].y);
    }
    // Ticks across the track, 4 pixels each way.
    for (std::size_t k = 0; k < at.size(); ++k) {
        if ((*MinorTrack)[k].Tick.empty() || !at[k].on) continue;
        const std::size_t a = k > 0 ? k - 1 : k, b = k + 1 < at.size() ? k + 1 : k;
        double dx = at[b].x - at[a].x, dy = at[b].y - at[a].y;
        const double len = std::hypot(dx, dy);
        if (len < 1e-9) dx = 1, dy = 0;
        else dx /= len, dy /= len;
        s->MoveTo(static_cast<int>(std::lround(at[k].x - 4 * dy)),
                  static_cast<int>(std::lround(at[k].y + 4 * dx)));
        s->LineTo(static_cast<int>(std::lround(at[k].x + 4 * dy)),
                  static_cast<int>(std::lround(at[k].y - 4 * dx)));
    }
    Draw_.DrawEnd(s);
    Draw_.TextStart(s, LabelFace, 7, 4, 0);
    s->SetTextColor(kTrack);
    s->SetBkMode(TSurface::TRANSPARENT);
    int lastX = -1000, lastY = -1000;
    for (std::size_t k = 0; k < at.size(); ++k) {
        if ((*MinorTrack)[k].Tick.empty() || !at[k].on) continue;
        if (!(at[k].x >= 0 && at[k].x < ViewW && at[k].y >= 0 && at[k].y < ViewH)) continue;
        // Dates closer than a label's width are not all written.
        if (std::abs(at[k].x - lastX) < 34 && std::abs(at[k].y - lastY) < 12) continue;
        s->TextOut(at[k].x + 6, at[k].y - 5, (*MinorTrack)[k].Tick);
        lastX = at[k].x;
        lastY = at[k].y;
    }
    Draw_.TextEnd(s);
}
