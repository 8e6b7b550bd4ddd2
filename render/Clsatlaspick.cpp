// The atlas's pictures for the information panel and picking.
#include "render/Clsatlas.h"

#include <algorithm>
#include <array>
#include <vector>
#include <cmath>
#include <cstdio>
#include <cstring>
#include "astro/Clsjupiter.h"
#include "astro/Clsmars.h"
#include "astro/Clsmercury.h"
#include "astro/Clsmoon.h"
#include "astro/Clsneptune.h"
#include "astro/Clspluto.h"
#include "astro/Clssaturn.h"
#include "astro/Clssun.h"
#include "astro/Clsuranus.h"
#include "astro/Clsvenus.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Atlassprites.h"
#include "render/Clsbandstitch.h"
#include "render/Clshayami.h"
#include "render/Atlasshared.h"

using namespace atlasdetail;
void TAtlas::DrawBodyImage(int body, TSurface* surface, int realistic, int scale, int px, int py) {
    BodyData b;
    if (!ReadBody(body, b)) return;
    DrawImage(surface, body, b, realistic, scale, px, py);
}

void TAtlas::DrawJupiterSystem(TSurface* s, int realistic, int scale, int cx, int cy) {
    if (!Jupiter) return;
    DrawBodyImage(3, s, realistic, scale, cx, cy);
    const BodyPlace jp = PlaceBody(3);
    const int w = s->Dib().GetWidth(), h = s->Dib().GetHeight();
    std::vector<std::pair<int, int>> dots;
    for (int i = 0; i < 4; ++i) {
        double tra, tdec;
        Topocentric(Jupiter->SatRa[i], Jupiter->SatDec[i], Jupiter->EarthDistKm, tra, tdec);
        double x, y;
        Project(Projection, &x, &y, jp.dec, jp.ra, tdec, tra);
        const int sx = static_cast<int>(scale * x + cx), sy = static_cast<int>(scale * y + cy);
        SatellitePen(s, realistic);
        s->Ellipse(sx - 1, sy - 1, sx + 1, sy + 1);
        Draw_.DrawEnd(s);
        dots.push_back({sx, sy});
    }
    // The names: whole inside the picture and apart from each other. Each
    // goes under its moon, else above it, else a row further out.
    Draw_.TextStart(s, LatinFace, 8, 4, 0);
    s->SetTextColor(kLabelGrey);
    s->SetBkMode(TSurface::TRANSPARENT);
    std::vector<TSize> sizes;
    for (int i = 0; i < 4; ++i)
        sizes.push_back(s->GetTextExtent(TJupiter::GetGaliName(11 + i, Language)));
    const std::vector<TPoint> at = SpreadLabels(dots, sizes, w, h);
    for (int i = 0; i < 4; ++i)
        s->TextOut(at[i].x, at[i].y, TJupiter::GetGaliName(11 + i, Language));
    Draw_.TextEnd(s);
}

std::vector<TPoint> TAtlas::SpreadLabels(const std::vector<std::pair<int, int>>& dots,
                                         const std::vector<TSize>& sizes, int w, int h) {
    std::vector<TPoint> at;
    std::vector<std::array<int, 4>> placed; // left, top, right, bottom
    for (std::size_t i = 0; i < dots.size() && i < sizes.size(); ++i) {
        const TSize size = sizes[i];
        const int left = std::clamp(dots[i].first - size.cx / 2, 0, std::max(0, w - size.cx));
        const int sy = dots[i].second;
        auto clampTop = [&](int y) { return std::clamp(y, 0, std::max(0, h - size.cy)); };
        int top = clampTop(sy + 3);
        for (int y : {sy + 3, sy - 3 - size.cy, sy + 3 + size.cy, sy - 3 - 2 * size.cy,
                      sy + 3 + 2 * size.cy, sy - 3 - 3 * size.cy}) {
            const int t = clampTop(y);
            bool clear = true;
            for (const auto& r : placed)
                clear = clear && (left + size.cx <= r[0] || left >= r[2] || t + size.cy <= r[1] ||
                                  t >= r[3]);
            if (clear) {
                top = t;
                break;
            }
        }
        placed.push_back({left, top, left + size.cx, top + size.cy});
        at.push_back(TPoint{left, top});
    }
    return at;
}

void TAtlas::DrawStarImage(TSurface* s, int spect, int realistic, int cx, int cy) {
    const quenlira::sprites::Sprite& sp =
        realistic ? quenlira::sprites::kRealistic[0] : quenlira::sprites::kPlain[0];
    const int off = sp.size / 2;
    const int set = realistic ? 0 : 1;
    const int col = SpectColumn(spect);
    for (int r = 0; r < sp.size; ++r)
        for (int c = 0; c < sp.size; ++c) {
            const int level = sp.rows[r][c] - '0';
            if (level != 0)
                s->SetPixel(cx + c - off, cy + r - off, kStarColours[set][level - 1][col]);
        }
}

void TAtlas::DrawNebulaImage(TSurface* s, int record, int w, int h, double f) {
    if (!Nebula || record < 0 || record >= Nebula->Count) return;
    const TNebulaRecord& r = Nebula->Records[record];
    const int cx = w / 2, cy = h / 2;
    const int d = std::min(w, h);
    const int R = static_cast<int>(d * f * 0.5);
    const int outline =
        record < static_cast<int>(Nebula->OutlineIndex.size()) ? Nebula->OutlineIndex[record] : 0;
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kNebulaColour, RGB(48, 0, 40));
    if (outline > 0) {
        const TNebulaOutline& o = Nebula->Outlines[outline];
        double raLo = 1e9, raHi = -1e9, decLo = 1e9, decHi = -1e9;
        for (int k = 0; k < o.count; ++k) {
            if (o.ra[k] == 10.0 && o.dec[k] == 10.0) continue;
            raLo = std::min(raLo, o.ra[k]);
            raHi = std::max(raHi, o.ra[k]);
            decLo = std::min(decLo, o.dec[k]);
            decHi = std::max(decHi, o.dec[k]);
        }
        const double raSpan = raHi > raLo ? raHi - raLo : 1.0;
        const double decSpan = decHi > decLo ? decHi - decLo : 1.0;
        FillOutline(s, o, [&](double ra, double dec, TPoint& p) {
            p.x = static_cast<int>(cx - f * (d / 2) + f * (d - (ra - raLo) / raSpan * d));
            p.y = static_cast<int>(cy - f * (d / 2) + f * (d - (dec - decLo) / decSpan * d));
            return true;
        });
    } else if (r.pa != 0 && r.major > 0 && r.minor / r.major != 0.0 && r.minor / r.major != 1.0 &&
               std::isfinite(r.minor / r.major)) {
        const double q = std::min(1.0, static_cast<double>(r.minor / r.major)); // as in the chart
        const double P = r.pa * kPi / 180 - kPi / 2;
        std::vector<TPoint> poly;
        for (double t = 0.0; t <= kTwoPi + 0.32; t += kPi / 10) {
            const double A = std::cos(t) * R * q, B = std::sin(t) * R;
            poly.push_back({static_cast<int>(cx + std::sin(P) * A - std::cos(P) * B),
                            static_cast<int>(cy + std::sin(P) * B + std::cos(P) * A)});
        }
        s->Polygon(poly.data(), static_cast<int>(poly.size()));
    } else {
        const int sym = quenlira::sprites::SymbolOfType(r.type);
        for (int row = 0; row < 9; ++row)
            for (int col = 0; col < 10; ++col)
                if (quenlira::sprites::kSymbols[sym][row][col] == '#')
                    s->SetPixel(cx - 4 + col, cy - 4 + row, kNebulaColour);
    }
    Draw_.DrawEnd(s);
}

// ---------------------------------------------------------------- picking

const TStarRecord* TAtlas::StarRecordOf(int number, int* catalogue) const {
    if (number < 0) return nullptr;
    for (int c = 0; c < StarCount; ++c) {
        const int count = Star[c] ? Star[c]->Count : 0;
        if (number < count) {
            if (catalogue) *catalogue = c;
            return &Star[c]->Records[number];
        }
        number -= count;
    }
    return nullptr;
}

int TAtlas::StarNumberOf(int c, int i) const {
    for (int k = 0; k < c; ++k)
        i += Star[k] ? Star[k]->Count : 0;
    return i;
}

int TAtlas::Pick(int px, int py, int tolerance, TPickEntry* list) {
    std::vector<TPickEntry> out;
    out.push_back({1, 0});
    Unproject(Projection, px, py, &PickDec, &PickRa, CenterDec, CenterRa);
    auto inSquare = [&](int x, int y) {
        return x >= px - tolerance && x <= px + tolerance && y >= py - tolerance &&
               y <= py + tolerance;
    };

    // Stars: a declination band around the picked point and a right-ascension
    // band as wide on the sky. The projection never shrinks a distance, so a
    // star drawn in the square lies within (tolerance + 1) * sqrt(2) / scale
    // of the point; the band reaches twice as far, and never past 5 degrees.
    const int pickScale = Scale == 0 ? 200 : Scale;
    const double reach = std::clamp(4.0 * (tolerance + 2) / pickScale, 0.0, kFiveDeg);
    double decLo = PickDec - reach, decHi = PickDec + reach;
    bool allRa = false;
    // Near a pole the band takes in the cap beyond the point, at every right
    // ascension.
    if (PickDec > kPi / 2 - reach) {
        decHi = kPi / 2 + 1;
        allRa = true;
    } else if (PickDec < -(kPi / 2 - reach)) {
        decLo = -kPi / 2 - 1;
        allRa = true;
    }
    double raHalf = kPi;
    if (!allRa) {
        const double c = std::cos(std::fabs(PickDec) + reach);
        raHalf = c > 1e-6 ? std::min(kPi, reach / c) : kPi;
        if (raHalf >= kPi) allRa = true;
    }
    // Deep stars only as far as the atlas draws them.
    const int limit = Limit();
    // The centre's sine and cosine for ProjectTrig.
    CentreTrig();
    const int z0 = TStarIndex::ZoneOf(decLo), z1 = TStarIndex::ZoneOf(decHi);
    for (int c = 0; c < StarCount && out.size() < MaxPick; ++c) {
        const TStar* cat = Star[c];
        // The deep catalogue only where the limit reaches past DeepFrom.
        if (c > 0 && limit <= DeepFrom) continue;
        if (!cat || cat->Count <= 0 || z0 < 0 || z1 < 0) continue;
        const TStarIndex& zones = StarZones(c);
        PickHits.clear();
        auto scan = [&](const TStarIndex::Entry* e, const TStarIndex::Entry* end) {
            for (; e < end; ++e) {
                if (!(e->dec > decLo && e->dec < decHi)) continue;
                if (c > 0 && e->mag > limit) continue;
                if (!allRa && std::fabs(AngleDiff(e->ra, PickRa)) >= raHalf) continue;
                double x, y;
                const int i = e->record;
                const TStarIndex::Place p = zones.PlaceOf(i, e->ra, e->dec);
                if (!ProjectTrig(p.SinDec, p.CosDec, CenterRa - e->ra, x, y)) continue;
                if (inSquare(PixelX(x), PixelY(y))) PickHits.push_back(i);
            }
        };
        // Within a zone only the stretch of the right-ascension band (a
        // little wider, the test above deciding) and any place outside
        // 0..2 pi are looked at; the stretches do not overlap.
        const double lo = PickRa - raHalf - 1e-9, hi = PickRa + raHalf + 1e-9;
        for (int z = z0; z <= z1; ++z) {
            if (allRa) {
                scan(zones.Begin(z), zones.End(z));
                continue;
            }
            zones.ForEachInBand(z, lo, hi, scan);
        }
        // In catalogue order, as the information panel lists them.
        std::sort(PickHits.begin(), PickHits.end());
        for (size_t k = 0; k < PickHits.size() && out.size() < MaxPick; ++k)
            out.push_back({2, StarNumberOf(c, PickHits[k])});
    }

    // Deep-sky objects, bodies and satellites are placed once for a view:
    // the pointer moving over the chart picks again and again.
    PlaceForPick();
    for (const PickPlace& p : PickNebulae) {
        if (out.size() >= MaxPick) break;
        if (DiscMeetsSquare(p.x, p.y, p.r, px, py, tolerance)) out.push_back({4, p.number});
    }
    for (const PickPlace& p : PickBodies) {
        if (out.size() >= MaxPick) break;
        if (p.number < 11) {
            if (DiscMeetsSquare(p.x, p.y, p.r, px, py, tolerance)) out.push_back({3, p.number});
        } else if (std::abs(p.x - px) <= tolerance + 1 && std::abs(p.y - py) <= tolerance + 1) {
            out.push_back({5, p.number});
        }
    }

    for (const std::array<int, 3>& m : MinorShown) {
        if (out.size() >= MaxPick) break;
        if (std::abs(m[1] - px) <= tolerance + 2 && std::abs(m[2] - py) <= tolerance + 2)
            out.push_back({6, m[0]});
    }

    const int n = static_cast<int>(std::min<size_t>(out.size(), MaxPick));
    for (int i = 0; i < n; ++i)
        list[i] = out[i];
    return n;
}

void TAtlas::PlaceForPick() {
    const double reals[] = {CenterRa, CenterDec,    DecMin,       DecMax,      RaMin,
                            RaMax,    Mjd.GetMJD(), Location.Lon, Location.Lat};
    const void* pointers[] = {Nebula,  Nebula ? Nebula->Records : nullptr,
                              Mercury, Venus,
                              Mars,    Jupiter,
                              Saturn,  Uranus,
                              Neptune, Pluto,
                              Sun,     Moon};
    const int ints[] = {Scale, ViewW, ViewH, Projection, Nebula ? Nebula->Count : 0};
    std::vector<unsigned char> key(sizeof reals + sizeof pointers + sizeof ints);
    std::memcpy(key.data(), reals, sizeof reals);
    std::memcpy(key.data() + sizeof reals, pointers, sizeof pointers);
    std::memcpy(key.data() + sizeof reals + sizeof pointers, ints, sizeof ints);
    if (key == PickKey) return;
    PickKey = std::move(key);
    PickNebulae.clear();
    PickBodies.clear();
    const int scale = Scale == 0 ? 200 : Scale;
    if (Nebula) {
        for (int i = 0; i < Nebula->Count; ++i) {
            const TNebulaRecord& r = Nebula->Records[i];
            if (!InWindow(r.ra, r.dec)) continue;
            int x, y;
            if (!ToPixel(r.ra, r.dec, x, y)) continue;
            PickNebulae.push_back({i, x, y, HalfAxisPixels(scale, r.major)});
        }
    }
    for (int body = 0; body < BodyCount; ++body) {
        const BodyPlace p = PlaceBody(body);
        if (!p.present) continue;
        int x, y;
        if (ToPixel(p.ra, p.dec, x, y))
            PickBodies.push_back({body, x, y, static_cast<int>(scale * p.diam * 0.5)});
        if (body != 3) continue;
        for (int i = 0; i < 4; ++i) {
            double tra, tdec;
            Topocentric(Jupiter->SatRa[i], Jupiter->SatDec[i], Jupiter->EarthDistKm, tra, tdec);
            int sx, sy;
            if (ToPixel(tra, tdec, sx, sy)) PickBodies.push_back({11 + i, sx, sy, 0});
        }
    }
}
