// The atlas's sky layers: Milky Way, constellations, stars, deep-sky objects, lines and grid.
#include "render/Clsatlas.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
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
#include "catalog/Clsnames.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Atlassprites.h"
#include "render/Clsbandstitch.h"
#include "render/Clsdrawtarget.h"
#include "render/Clsfont.h"
#include "render/Clshayami.h"
#include "render/Atlasshared.h"

using namespace atlasdetail;

namespace {
// Grid labels may lie over the stars fainter than magnitude 6.5 and the
// deep-sky symbols ranked past that; they keep clear of the rest.
constexpr int kGridCover = 650;
// Stars from this magnitude (x 100) on, the dots past what the eye sees,
// may lie under any label: in a wide view they are most of the stars, and
// keeping clear of each would leave few deep-sky objects named.
constexpr int kFaintestBlock = 700;
// Deep-sky ellipses up to this half axis (pixels) are symbols labels keep off.
constexpr int kSmallEllipse = 15;
} // namespace
// ---------------------------------------------------------------- drawing

void TAtlas::Draw() {
    // The stars at their places of the moment (J2000 equator), before any
    // thread reads them.
    for (TStar* star : Star)
        if (star) star->MoveTo(Mjd.GetMJD());
    ComputeWindow();
    // On a large raster the stars are placed on the second thread while
    // this one draws the layers beneath them. The placing reads the window
    // and the centre's sines, made ready here, and writes only what the
    // stars' drawing reads after the wait.
    CentreTrig();
    // A chosen deep-sky object shows with the layer off, alone.
    const bool deepTarget =
        TargetKind == 4 && Nebula && TargetNumber >= 0 && TargetNumber < Nebula->Count;
    const bool deepLayer = Switch[5] || deepTarget;
    NebulaOnly = Switch[5] ? -1 : TargetNumber;
    if (!deepLayer) NebulaShown.clear();
    Pending.clear();
    Placer.Reset(ViewW, ViewH);
    TargetLabelled = false;
    const bool split = Split();
    if (split) {
        if (!Helper) Helper = std::make_unique<TWorker>();
        Helper->Start([this] { PlaceStars(); });
    }
    {
        TWorker::TJoin join(split ? Helper.get() : nullptr);
        Clear();
        if (Switch[0]) DrawMilkyWay();
        if (deepLayer) DrawNebulae(false);
        if (Switch[1]) DrawConstellationLines();
        if (deepLayer) DrawNebulae(true);
        if (split)
            Helper->Wait();
        else
            PlaceStars();
    }
    DrawStars();
    DrawMinorTrack();
    DrawMinor(Switch[4]);
    DrawBodies(Switch[4], Switch[7]);
    if (Switch[6]) DrawGridLayer(split);
    if (Switch[1]) DrawConstellationNames();
    if (Switch[4]) DrawStarNames();
    AddTargetLabel();
    WriteLabels();
    if (ShowHorizon) DrawHorizon();
    DrawMarkers();
    DrawTargetMark();
    DrawFinder();
}

bool TAtlas::Split() const {
    const double pixels = static_cast<double>(RasterW) * RasterH;
    const double scale = Scale == 0 ? 200 : Scale;
    // A drawing target (a vector page) takes its operations on one thread.
    if (Dib.GetSurface()->Target()) return false;
    return pixels >= SplitFrom || (pixels >= SplitFrom / 3.0 && pixels >= scale * scale);
}

void TAtlas::DrawGridLayer(bool split) {
    TSurface* s = Dib.GetSurface();
    if (!split) {
        DrawLines(s, Draw_);
        DrawGrid(s, Draw_);
        return;
    }
    // Both halves draw every line and label, each painting its own rows:
    // the pixels are those of one drawing over the whole raster. What the
    // two share (the centre's sines, the window, the fonts) is made ready
    // before and only read while they run.
    const int half = RasterH / 2;
    TSurface lower(*s, half, RasterH);
    TDraw lowerDraw;
    lowerDraw.SetChar(Draw_.GetChar());
    TWorker::TJoin join(Helper.get());
    Helper->Start([&] {
        DrawLines(&lower, lowerDraw);
        DrawGrid(&lower, lowerDraw);
    });
    s->SetBand(0, half);
    struct TWhole {
        TSurface* s;
        ~TWhole() { s->SetBand(0, INT_MAX); }
    } whole{s};
    DrawLines(s, Draw_);
    DrawGrid(s, Draw_);
    Helper->Wait();
}

void TAtlas::Clear() {
    TSurface* s = Dib.GetSurface();
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kBlack, kBlack);
    s->Rectangle(0, 0, RasterW, RasterH);
    Draw_.DrawEnd(s);
}

void TAtlas::AddLabel(int rank, int font, unsigned long colour, int x, int y, int reach, int place,
                      const std::string& text, int kind, int number, bool opaque,
                      unsigned long background, int cover) {
    if (text.empty()) return;
    const bool forced = kind != 0 && kind == TargetKind && number == TargetNumber;
    if (forced) {
        // Before every other label, and clear of the target mark.
        if (TargetLabelled) return;
        TargetLabelled = true;
        rank = INT_MIN + 1;
        reach = std::max(reach, 14);
    }
    if (cover == INT_MIN) cover = rank;
    Pending.push_back(
        {rank, cover, font, place, x, y, reach, colour, opaque, forced, background, text});
}

void TAtlas::WriteLabels() {
    Drawn.clear();
    TSurface* s = Dib.GetSurface();
    // No label over the target mark.
    double tra, tdec;
    int tx, ty;
    if (TargetPlace(tra, tdec) && ToPixel(tra, tdec, tx, ty))
        Placer.Block({tx - 13, ty - 13, tx + 14, ty + 14});
    std::shared_ptr<TFont> fonts[kLabelFonts];
    const std::string faces[kLabelFonts] = {LabelFace, LabelFace,
                                            Language == 0 ? LabelFace : std::string("Symbol"),
                                            LatinFace};
    const int points[kLabelFonts] = {8, 9, 9, 8};
    for (int k = 0; k < kLabelFonts; ++k) {
        Draw_.TextStart(s, faces[k], points[k], 4, 0);
        fonts[k] = s->GetFont();
        Draw_.TextEnd(s);
    }
    // By rank, and in the order given within a rank: one key of both.
    LabelOrder.resize(Pending.size());
    for (size_t i = 0; i < Pending.size(); ++i)
        LabelOrder[i] = (static_cast<uint64_t>(static_cast<uint32_t>(Pending[i].Rank) ^ 0x80000000u)
                         << 32) |
                        i;
    std::sort(LabelOrder.begin(), LabelOrder.end());
    const std::shared_ptr<TFont> oldFont = s->GetFont();
    const int oldMode = s->GetBkMode();
    const unsigned long oldText = s->GetTextColor(), oldBack = s->GetBkColor();
    int selected = -1;
    unsigned long colour = ~0ul;
    for (const uint64_t key : LabelOrder) {
        const TPendingLabel& l = Pending[static_cast<uint32_t>(key)];
        TFont& font = *fonts[l.Font];
        const int w = font.TextWidth(l.Text), h = font.Ascent() + font.Descent();
        TLabelPlacer::TBox places[8];
        int n = 5;
        auto at = [&](int k, int x, int y) { places[k] = {x, y, x + w, y + h}; };
        if (l.Place == kAlongX || l.Place == kAlongY) {
            // Along its line: the line's own place first, then a step either way.
            const int dx = l.Place == kAlongX ? w + 4 : 0, dy = l.Place == kAlongY ? h + 2 : 0;
            for (int k = 0; k < 5; ++k) {
                const int step = (k + 1) / 2 * (k % 2 ? 1 : -1);
                at(k, l.X + step * dx, l.Y + step * dy);
            }
        } else if (l.Place == kCentred) {
            at(0, l.X - w / 2, l.Y);
            at(1, l.X - w / 2, l.Y - h);
            at(2, l.X - w / 2, l.Y + h);
            at(3, l.X - w, l.Y);
            at(4, l.X, l.Y);
        } else {
            TLabelPlacer::Beside(l.X, l.Y, l.Reach, w, h, static_cast<TLabelPlacer::TSide>(l.Place),
                                 places);
            n = 8;
        }
        TLabelPlacer::TBox box;
        if (!Placer.Place(places, n, l.Cover, l.Forced, box)) continue;
        if (l.Font != selected) {
            s->SelectFont(fonts[l.Font]);
            selected = l.Font;
        }
        if (l.Colour != colour) {
            s->SetTextColor(l.Colour);
            colour = l.Colour;
        }
        s->SetBkMode(l.Opaque ? TSurface::OPAQUE : TSurface::TRANSPARENT);
        if (l.Opaque) s->SetBkColor(l.Background);
        s->TextOut(box.x0, box.y0, l.Text);
        Drawn.push_back({l.Text, box.x0, box.y0, w, h});
    }
    s->SelectFont(oldFont);
    s->SetBkMode(oldMode);
    s->SetTextColor(oldText);
    s->SetBkColor(oldBack);
}

namespace {
// Whether a corner of the view lies beyond the near hemisphere's disc.
bool BeyondHemisphere(int scale, int viewW, int viewH) {
    const double r = kPi / 2 * (scale == 0 ? 200 : scale), cx = viewW / 2, cy = viewH / 2;
    const double far = std::max(cx * cx, (viewW - cx) * (viewW - cx)) +
                       std::max(cy * cy, (viewH - cy) * (viewH - cy));
    return far > r * r;
}
} // namespace

void TAtlas::DrawMilkyWay() {
    std::vector<std::vector<TBandVertex>> outlines(2);
    for (int k = 0; k < 2; ++k) {
        outlines[k].reserve(Milky.Outline[k].size());
        for (const TMilkyPoint& p : Milky.Outline[k]) {
            int px, py;
            const bool vis = ToPixel(p.ra, p.dec, px, py);
            TBandVertex v;
            v.x = px;
            v.y = py;
            if (!vis)
                v.Kind = BAND_FAR;
            else if (px >= 0 && px <= ViewW && py >= 0 && py <= ViewH)
                v.Kind = BAND_VISIBLE;
            else
                v.Kind = BAND_OUTSIDE;
            outlines[k].push_back(v);
        }
    }
    const auto pieces = StitchBand(outlines, ViewW, ViewH);
    if (pieces.empty()) return;
    TSurface* s = Dib.GetSurface();
    // The band's outline is closed along the view's edges, so at the widest
    // scales its fill reaches the corners beyond the near hemisphere (the
    // disc of radius pi/2 x scale about the centre): a page cuts it there as
    // it is drawn, the raster gives those pixels back after (ClipToSky).
    const double r = kPi / 2 * (Scale == 0 ? 200 : Scale);
    TDrawTarget* target = s->Target();
    const bool rim = target && BeyondHemisphere(Scale, ViewW, ViewH);
    if (rim)
        target->ClipEllipse(static_cast<int>(std::floor(ViewW / 2 - r)),
                            static_cast<int>(std::floor(ViewH / 2 - r)),
                            static_cast<int>(std::ceil(ViewW / 2 + r)),
                            static_cast<int>(std::ceil(ViewH / 2 + r)));
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(24, 8, 40), RGB(24, 8, 40));
    s->PolyPolygon(pieces);
    Draw_.DrawEnd(s);
    if (rim) target->EndClip();
    // The rows and columns the band can have painted (its outline, pen
    // included) bound the clip.
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (const auto& piece : pieces)
        for (const TPoint& p : piece) {
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    ClipToSky(static_cast<uint8_t>(Dib.Col2Idx(RGB(24, 8, 40))),
              static_cast<uint8_t>(Dib.Col2Idx(kBlack)), x0 - 1, y0 - 1, x1 + 2, y1 + 2);
}

void TAtlas::ClipToSky(uint8_t fill, uint8_t background, int left, int top, int right,
                       int bottom) {
    // The pixels beyond the near hemisphere's disc given back (see DrawMilkyWay).
    if (!BeyondHemisphere(Scale, ViewW, ViewH) || Dib.GetSurface()->Target()) return;
    const int scale = Scale == 0 ? 200 : Scale;
    const double r = kPi / 2 * scale, cx = ViewW / 2, cy = ViewH / 2;
    uint8_t* bits = Dib.GetBits();
    const int stride = Dib.GetStride();
    const int w = std::min({ViewW, RasterW, right});
    const int x0 = std::max(left, 0);
    if (x0 >= w) return;
    // Only the spans left and right of the disc are visited, eight pixels at
    // a time: the bytes equal to `fill` are found without a branch per pixel
    // and a word with none of them is left alone.
    constexpr uint64_t kOnes = 0x0101010101010101ULL, kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    const uint64_t fillWord = kOnes * fill, backWord = kOnes * background;
    auto giveBack = [&](uint8_t* p, int n) {
        int i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            const uint64_t x = word ^ fillWord; // zero bytes where the fill is
            const uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
            if (zero == 0) continue;
            const uint64_t mask = (zero >> 7) * 0xFF;
            word = (word & ~mask) | (backWord & mask);
            std::memcpy(p + i, &word, 8);
        }
        for (; i < n; ++i)
            if (p[i] == fill) p[i] = background;
    };
    for (int y = std::max(top, 0); y < std::min({ViewH, RasterH, bottom}); ++y) {
        const double dy = y + 0.5 - cy;
        uint8_t* row = bits + static_cast<std::ptrdiff_t>(y) * stride;
        if (dy * dy >= r * r) {
            giveBack(row + x0, w - x0);
            continue;
        }
        const double half = std::sqrt(r * r - dy * dy);
        auto inside = [&](int x) { return std::fabs(x + 0.5 - cx) <= half; };
        // The span's ends worked out, then settled by the very test a pixel
        // at a time would make, so rounding cannot move the edge.
        int lo = std::clamp(static_cast<int>(std::ceil(cx - half - 0.5)), x0, w);
        while (lo > x0 && inside(lo - 1)) --lo;
        while (lo < w && !inside(lo)) ++lo;
        int hi = std::clamp(static_cast<int>(std::floor(cx + half - 0.5)) + 1, lo, w);
        while (hi < w && inside(hi)) ++hi;
        while (hi > lo && !inside(hi - 1)) --hi;
        giveBack(row + x0, lo - x0);
        giveBack(row + hi, w - hi);
    }
}

void TAtlas::DrawConstellationLines() {
    TSurface* s = Dib.GetSurface();
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(48, 48, 128), RGB(48, 48, 128));
    const bool wrap = RaMax < RaMin;
    auto raIn = [&](double ra) {
        return wrap ? (ra > RaMin || ra < RaMax) : (ra > RaMin && ra < RaMax);
    };
    for (const TConstellationLine& l : Constellation.Lines) {
        const bool dec1In = l.dec1 > DecMin && l.dec1 < DecMax;
        const bool dec2In = l.dec2 > DecMin && l.dec2 < DecMax;
        if (!dec1In && !dec2In) continue;
        if (!raIn(l.ra1) && !raIn(l.ra2)) continue;
        int x1, y1, x2, y2;
        if (!ToPixel(l.ra1, l.dec1, x1, y1) || !ToPixel(l.ra2, l.dec2, x2, y2)) continue;
        const bool in1 = x1 > 0 && x1 < ViewW && y1 > 0 && y1 < ViewH;
        const bool in2 = x2 > 0 && x2 < ViewW && y2 > 0 && y2 < ViewH;
        if (!in1 && !in2) continue;
        s->MoveTo(x1, y1);
        s->LineTo(x2, y2);
    }
    Draw_.DrawEnd(s);
}

int TAtlas::LimitingMag(int scale, int sensitivity, int faintest) {
    const int f = std::max(scale, 250) / 250;
    const float g = 6000.0f * static_cast<float>(f) * static_cast<float>(f);
    int l = static_cast<int>(((std::log10(g) - 1.079) * 1.9723865877712031317 + 1.0) * 100.0);
    if (faintest < l) l = faintest;
    return l + 21 * sensitivity;
}

int TAtlas::StarClass(int mag, int limit, int sensitivity) {
    // Class k takes the magnitudes above T(k - 1) up to T(k), with
    // T(k) = 21 sensitivity + k (limit / 12): worked out, not searched.
    const int t0 = 21 * sensitivity;
    if (mag <= t0) return 0;
    const int step = limit / 12;
    if (step <= 0) return -1;
    const long long k = (static_cast<long long>(mag) - t0 + step - 1) / step;
    return k <= 12 ? static_cast<int>(k) : -1;
}

int TAtlas::Limit() {
    if (FixedLimit != 0) return FixedLimit;
    int faintest = -100000;
    bool any = false;
    for (int c = 0; c < StarCount; ++c) {
        if (!Star[c] || Star[c]->Count == 0) continue;
        faintest = std::max<int>(faintest, Star[c]->MagMax);
        any = true;
    }
    // Without a catalogue there is nothing to lower the limit to.
    if (!any) faintest = 100000;
    return LimitingMag(Scale == 0 ? 200 : Scale, Sens, faintest);
}

namespace {
// The inked pixels of every star sprite, (column, row, level) from its
// top-left corner, made once from the sprite pictures.
struct SpriteDot {
    int8_t c, r, level;
};
const std::vector<SpriteDot>& SpriteDots(bool realistic, int cls) {
    static const auto table = [] {
        std::vector<std::vector<SpriteDot>> t(26);
        for (int set = 0; set < 2; ++set)
            for (int k = 0; k < 13; ++k) {
                const quenlira::sprites::Sprite& sp =
                    set == 1 ? quenlira::sprites::kRealistic[k] : quenlira::sprites::kPlain[k];
                for (int r = 0; r < sp.size; ++r)
                    for (int c = 0; c < sp.size; ++c) {
                        const int level = sp.rows[r][c] - '0';
                        if (level != 0)
                            t[set * 13 + k].push_back({static_cast<int8_t>(c),
                                                       static_cast<int8_t>(r),
                                                       static_cast<int8_t>(level)});
                    }
            }
        return t;
    }();
    return table[(realistic ? 13 : 0) + cls];
}

// The letters of a Bayer code (letter x 100 + superscript) and the digits
// of a Flamsteed number, made once: thousands are written on each drawing.
const std::string& BayerText(int type, unsigned short code) {
    static const auto table = [] {
        std::array<std::vector<std::string>, 2> t;
        for (int k = 0; k < 2; ++k)
            for (int c = 0; c < 2500; ++c)
                t[k].push_back(TStar::GetBayer(k + 1, static_cast<unsigned short>(c)));
        return t;
    }();
    static thread_local std::string other;
    if (code < 2500 && (type == 1 || type == 2)) return table[type - 1][code];
    other = TStar::GetBayer(type, code);
    return other;
}

const std::string& NumberText(int n) {
    static const auto table = [] {
        std::vector<std::string> t;
        for (int k = 0; k < 1000; ++k)
            t.push_back(std::to_string(k));
        return t;
    }();
    static thread_local std::string other;
    if (n >= 0 && n < 1000) return table[n];
    other = std::to_string(n);
    return other;
}

// A floor under the projection's stretch rho / sin(rho) of a point whose
// cosine of the distance rho from the centre is m: 1 + sin^2(rho) / 6, the
// first terms of a series of positive terms, on the near side; 1 beyond it.
double StretchFloor(double m) {
    return m > 0.0 ? 1.0 + (1.0 - m) * (1.0 + m) / 6.0 : 1.0;
}

// The view centre's sines and cosines.
struct TCentreTrig {
    double sinRa, cosRa, sinDec, cosDec;
};

// Whether a place can lie on the chart. The projected offsets are at least
// as long as the place's east and north components about the centre, and
// the projection stretches both by rho / sin(rho) >= StretchFloor (rho the
// distance from the centre; in wide views that alone puts many places past
// the edge): a place whose component reaches past eastReach or northReach
// (radians) is off the chart without projecting it. Gives back the east and
// meridian (cos dec cos h) components that PlacePixel takes.
bool WithinReach(const TStarIndex::Place& p, const TCentreTrig& c, double eastReach,
                 double northReach, double& east, double& meridian) {
    east = c.sinRa * p.UnitX - c.cosRa * p.UnitY;
    meridian = c.cosRa * p.UnitX + c.sinRa * p.UnitY;
    const double north = c.sinDec * meridian - c.cosDec * p.SinDec;
    if (std::fabs(east) > eastReach || std::fabs(north) > northReach) return false;
    const double stretch = StretchFloor(p.SinDec * c.sinDec + c.cosDec * meridian);
    return std::fabs(east) * stretch <= eastReach && std::fabs(north) * stretch <= northReach;
}

// The set cells of each deep-sky symbol.
const std::vector<SpriteDot>& SymbolDots(int sym) {
    static const auto table = [] {
        std::vector<std::vector<SpriteDot>> t(6);
        for (int k = 0; k < 6; ++k)
            for (int r = 0; r < 9; ++r)
                for (int c = 0; c < 10; ++c)
                    if (quenlira::sprites::kSymbols[k][r][c] == '#')
                        t[k].push_back({static_cast<int8_t>(c), static_cast<int8_t>(r),
                                        static_cast<int8_t>(1)});
        return t;
    }();
    return table[sym];
}
} // namespace

void TAtlas::DrawSprite(int cls, int spect, bool realistic, int px, int py) {
    const quenlira::sprites::Sprite& sp =
        realistic ? quenlira::sprites::kRealistic[cls] : quenlira::sprites::kPlain[cls];
    const int off = sp.size == 4 ? 1 : sp.size / 2;
    const int set = realistic ? 0 : 1;
    const int col = SpectColumn(spect);
    const int rasterW = Dib.GetWidth(), rasterH = Dib.GetHeight();
    const int w = std::min(ViewW, rasterW), h = std::min(ViewH, rasterH);
    const unsigned char* colours = StarColour[set][0] + col;
    const std::vector<SpriteDot>& dots = SpriteDots(realistic, cls);
    if (px - off >= 0 && py - off >= 0 && px - off + sp.size <= w && py - off + sp.size <= h) {
        // Wholly on the chart: no cell needs its own test.
        const ptrdiff_t stride = Dib.GetStride();
        uint8_t* corner = Dib.Row(py - off) + (px - off);
        for (const SpriteDot& d : dots)
            corner[d.r * stride + d.c] = colours[(d.level - 1) * 8];
        return;
    }
    for (const SpriteDot& d : dots) {
        const int x = px + d.c - off, y = py + d.r - off;
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(w) ||
            static_cast<unsigned>(y) >= static_cast<unsigned>(h))
            continue;
        Dib.Row(y)[x] = colours[(d.level - 1) * 8];
    }
}

double TAtlas::NearHalfWidth(int z) const {
    // A star is drawn only within 90 degrees of the centre, where the cosine
    // m of its distance from the centre is not negative. At either edge of
    // the zone the hour angles h with m >= -0.02 are those with
    // cos h >= (-0.02 - sin dec sin dec0) / (cos dec cos dec0); across the
    // half-degree zone m changes by less than 0.009, so no star with m >= 0
    // is left out.
    constexpr double kZone = kPi / TStarIndex::Zones, kSlack = 0.02;
    const double edges[2] = {-kPi / 2 + z * kZone, -kPi / 2 + (z + 1) * kZone};
    double widest = -1.0;
    for (const double d : edges) {
        const double a = std::cos(d) * CosDec0, b = std::sin(d) * SinDec0;
        if (a < 1e-9) {
            if (b >= -kSlack) return kPi;
            continue;
        }
        const double t = (-kSlack - b) / a;
        if (t <= -1.0) return kPi;
        if (t <= 1.0) widest = std::max(widest, std::acos(t));
    }
    // A hair more, for the rounding of the catalogue's places.
    return widest < 0.0 ? -1.0 : widest + 1e-6;
}

void TAtlas::PlaceStars() {
    StarsPlaced.clear();
    const int limit = Limit();
    const int scale = Scale == 0 ? 200 : Scale;
    const int z0 = TStarIndex::ZoneOf(DecMin), z1 = TStarIndex::ZoneOf(DecMax);
    const TCentreTrig view{std::sin(CenterRa), std::cos(CenterRa), SinDec0, CosDec0};
    const double eastMax = scale > 0 ? (ViewW / 2 + 2.0) / scale : HUGE_VAL;
    const double northMax = scale > 0 ? (ViewH / 2 + 2.0) / scale : HUGE_VAL;
    // The deep catalogue first, so that Star.dat's brighter sprites and their
    // letters are drawn over its faint stars.
    for (int c = StarCount - 1; c >= 0; --c) {
        const TStar* cat = Star[c];
        // The deep catalogue only where the limit reaches past DeepFrom.
        if (c > 0 && limit <= DeepFrom) continue;
        if (!cat || cat->Count <= 0 || z0 < 0 || z1 < 0) continue;
        const TStarIndex& zones = StarZones(c);
        // Only the zones of the window are looked at; the stars found there
        // are drawn in catalogue order, as a walk over every record would.
        StarMarks.assign((static_cast<size_t>(cat->Count) + 63) / 64, 0);
        // The window's right ascensions: one stretch of each zone, or two
        // when the window takes in right ascension 0.
        auto mark = [&](const TStarIndex::Entry* e, const TStarIndex::Entry* end) {
            for (; e < end; ++e) {
                if (e->mag > limit) continue;
                if (!(e->dec > DecMin && e->dec < DecMax)) continue;
                StarMarks[static_cast<size_t>(e->record) >> 6] |= uint64_t{1} << (e->record & 63);
            }
        };
        // The same, with the window's right ascensions tested one by one.
        const bool wrap = RaMax < RaMin;
        auto markIn = [&](const TStarIndex::Entry* e, const TStarIndex::Entry* end) {
            for (; e < end; ++e) {
                const double ra = e->ra;
                if (wrap ? (ra > RaMin || ra < RaMax) : (ra > RaMin && ra < RaMax)) mark(e, e + 1);
            }
        };
        const double centre = WrapTwoPi(CenterRa);
        const double windowWidth = wrap ? RaMax - RaMin + kTwoPi : RaMax - RaMin;
        for (int z = z0; z <= z1; ++z) {
            const double near = NearHalfWidth(z);
            if (near < 0.0) continue;
            // Worth it where the window is wider than the near side (wide views).
            if (2.0 * near < windowWidth) {
                // Only the near side's stretch of the zone, and any places
                // outside 0..2 pi, against the window.
                zones.ForEachInBand(z, centre - near, centre + near, markIn);
                continue;
            }
            if (RaMax >= RaMin) {
                mark(zones.After(z, RaMin), zones.Before(z, RaMax));
            } else {
                mark(zones.After(z, RaMin), zones.End(z));
                mark(zones.Begin(z), zones.Before(z, RaMax));
            }
        }
        for (size_t w = 0; w < StarMarks.size(); ++w)
            for (uint64_t bits = StarMarks[w]; bits != 0; bits &= bits - 1) {
                const int i = static_cast<int>(w * 64 + std::countr_zero(bits));
                const TStarRecord& r = cat->Records[i];
                // Past the view's edge with two pixels to spare: not projected.
                const TStarIndex::Place p = zones.PlaceOf(i, r.ra, r.dec);
                double east, meridian;
                if (!WithinReach(p, view, eastMax, northMax, east, meridian)) continue;
                int px, py;
                if (!PlacePixel(p.SinDec, p.CosDec, east, meridian, CenterRa - r.ra, px, py))
                    continue;
                if (px > 0 && px < ViewW && py > 0 && py < ViewH)
                    StarsPlaced.push_back({c, i, px, py});
            }
    }
}

void TAtlas::DrawStars() {
    const int limit = Limit();
    const bool realistic = Switch[7] != 0;
    const bool bayer = Switch[2] != 0, flamsteed = Switch[3] != 0;
    TSurface* s = Dib.GetSurface();
    for (int c = 0; c < MaxStarCatalogues; ++c)
        StarsDrawn[c] = 0;
    // Each star on the chart: its sprite, which keeps fainter objects'
    // labels off, and its letters.
    for (const TStarPlaced& p : StarsPlaced) {
        const TStarRecord& r = Star[p.c]->Records[p.record];
        const int cls = StarClass(r.mag, limit, Sens);
        int reach = 1;
        if (cls >= 0) {
            const int size = quenlira::sprites::kPlain[cls].size, off = size == 4 ? 1 : size / 2;
            reach = std::max(off, size - off - 1);
            if (r.mag < kFaintestBlock)
                Placer.Block({p.px - off, p.py - off, p.px - off + size, p.py - off + size}, r.mag);
        }
        if (cls >= 0 && s->Target()) {
            // On a page a star is a disc sized by its magnitude, not a sprite.
            s->Target()->Star(p.px + 0.5, p.py + 0.5, StarDiscDiameter(r.mag, limit),
                              kStarColours[realistic ? 0 : 1][0][SpectColumn(r.spect)]);
            ++StarsDrawn[p.c];
        } else if (cls >= 0) {
            DrawSprite(cls, r.spect, realistic, p.px, p.py);
            ++StarsDrawn[p.c];
        }
        if (r.mag > LabelLimit) continue;
        if (bayer && r.bayer != 0)
            AddLabel(r.mag + 1, kLetterFont, kLabelGrey, p.px, p.py, reach,
                     TLabelPlacer::UpperRight, BayerText(Language == 0 ? 1 : 2, r.bayer));
        if (flamsteed && r.flamsteed != 0)
            AddLabel(r.mag + 2, kLetterFont, kLabelGrey, p.px, p.py, reach,
                     TLabelPlacer::LowerRight, NumberText(r.flamsteed));
    }
}

void TAtlas::DrawConstellationNames() {
    // Over the fainter stars, as their boxes always were, but clear of the
    // brightest and of the bodies.
    for (int n = 1; n <= 89; ++n) {
        const TConstellationRow& row = Constellation.Rows[n];
        int px, py;
        if (!ToPixel(row.ra, row.dec, px, py)) continue;
        if (!(px > 0 && px < ViewW && py > 0 && py < ViewH)) continue;
        AddLabel(150, kNameFont, RGB(0, 204, 0), px, py, 0, kCentred,
                 Language == 0 ? Constellation.GetNameJpnC(n) : Constellation.GetNameSciC(n), 0, 0,
                 true, RGB(0, 112, 0));
    }
}

namespace {
// How far a star's sprite reaches from its pixel.
int SpriteReach(int cls) {
    if (cls < 0) return 1;
    const int size = quenlira::sprites::kPlain[cls].size, off = size == 4 ? 1 : size / 2;
    return std::max(off, size - off - 1);
}
} // namespace

void TAtlas::DrawStarNames() {
    const int limit = Limit();
    for (int c = 0; c < StarCount; ++c) {
        const TStar* cat = Star[c];
        if (!cat || cat->Count == 0) continue;
        for (int i = 0; i < cat->NamedCount; ++i) {
            const TNamedStar& n = cat->Named[i];
            if (n.record < 0 || n.record >= cat->Count) continue;
            int px, py;
            if (!ToPixel(n.ra, n.dec, px, py)) continue;
            if (!(px > 0 && px < ViewW && py > 0 && py < ViewH)) continue;
            if (cat->Records[n.record].mag > LabelLimit) continue;
            const int mag = cat->Records[n.record].mag;
            AddLabel(mag, kNameFont, kLabelGrey, px, py, SpriteReach(StarClass(mag, limit, Sens)),
                     TLabelPlacer::Below, Language == 0 ? n.nameJpn : n.nameSci, 2,
                     StarNumberOf(c, n.record));
        }
    }
    AddListNames();
}

void TAtlas::AddListNames() {
    const TStar* cat = Star[0];
    if (!Names || Names->Hip.empty() || !cat || cat->Count == 0) return;
    if (ListNamedSource != Names) {
        // Made once for a name list: the records it names that have no
        // built-in name.
        ListNamedSource = Names;
        ListNamed.clear();
        std::vector<char> builtIn(static_cast<size_t>(cat->Count), 0);
        for (int i = 0; i < cat->NamedCount; ++i)
            if (cat->Named[i].record >= 0 && cat->Named[i].record < cat->Count)
                builtIn[cat->Named[i].record] = 1;
        for (int r = 0; r < cat->Count; ++r)
            if (!builtIn[r] && !Names->StarName(r).empty()) ListNamed.push_back(r);
    }
    const int limit = Limit();
    for (const int r : ListNamed) {
        if (r >= cat->Count) continue;
        const TStarRecord& rec = cat->Records[r];
        const int cls = StarClass(rec.mag, limit, Sens);
        if (cls < 0 || rec.mag > LabelLimit) continue;
        int px, py;
        if (!ToPixel(rec.ra, rec.dec, px, py)) continue;
        if (!(px > 0 && px < ViewW && py > 0 && py < ViewH)) continue;
        AddLabel(rec.mag, kNameFont, kLabelGrey, px, py, SpriteReach(cls), TLabelPlacer::Below,
                 Names->StarName(r), 2, r);
    }
}

void TAtlas::AddTargetLabel() {
    // A chosen star's name (or letter, number or HIP number) with the
    // names switch off or none of its own; the other kinds add theirs
    // where they are drawn.
    if (TargetLabelled || TargetKind != 2) return;
    int c = 0;
    const TStarRecord* r = StarRecordOf(TargetNumber, &c);
    if (!r || c != 0) return;
    int px, py;
    if (!ToPixel(r->ra, r->dec, px, py)) return;
    std::string text;
    if (Names) {
        const std::string abbr =
            r->con >= 1 && r->con < TConstellation::RowCount ? Constellation.Rows[r->con].abbr : "";
        text = Names->StarLabel(*Star[0], TargetNumber, abbr.c_str());
    }
    for (int i = 0; text.empty() && i < Star[0]->NamedCount; ++i)
        if (Star[0]->Named[i].record == TargetNumber)
            text = Language == 0 ? Star[0]->Named[i].nameJpn : Star[0]->Named[i].nameSci;
    AddLabel(r->mag, kNameFont, kLabelGrey, px, py, 3, TLabelPlacer::Below, text, 2,
             TargetNumber);
}

std::vector<int> TAtlas::SymbolsShown() const {
    std::vector<int> kinds;
    if (!Nebula) return kinds;
    const int scale = Scale == 0 ? 200 : Scale;
    for (const std::array<int, 3>& shown : NebulaShown) {
        const TNebulaRecord& r = Nebula->Records[shown[0]];
        const bool outline = shown[0] < static_cast<int>(Nebula->OutlineIndex.size()) &&
                             Nebula->OutlineIndex[shown[0]] > 0;
        // Only the small ones are drawn as symbols; the rest by their shape.
        if (outline || HalfAxisPixels(scale, r.major) > 4) continue;
        const int k = quenlira::sprites::SymbolOfType(r.type);
        if (std::find(kinds.begin(), kinds.end(), k) == kinds.end()) kinds.push_back(k);
    }
    std::sort(kinds.begin(), kinds.end());
    return kinds;
}

void TAtlas::DrawNebulae(bool secondPass) {
    if (!Nebula || Nebula->Count == 0) return;
    const TNebula& neb = *Nebula;
    TSurface* s = Dib.GetSurface();

    // The deep-sky window reaches at least 5 degrees from the centre each way.
    const double decLo = std::min(DecMin, CenterDec - kFiveDeg);
    const double decHi = std::max(DecMax, CenterDec + kFiveDeg);
    double raLo = RaMin, raHi = RaMax;
    bool all = RaMin == 0.0 && RaMax == kTwoPi;
    if (!all) {
        const double lo = std::min(AngleDiff(RaMin, CenterRa), -kFiveDeg);
        double hi = AngleDiff(RaMax, CenterRa);
        if (hi < lo) hi += kTwoPi;
        hi = std::max(hi, kFiveDeg);
        if (hi - lo >= kTwoPi) all = true;
        raLo = WrapTwoPi(CenterRa + lo);
        raHi = WrapTwoPi(CenterRa + hi);
    }
    auto pass = [&](double ra, double dec) {
        if (!(dec > decLo && dec < decHi)) return false;
        if (all) return true;
        if (raHi >= raLo) return ra > raLo && ra < raHi;
        return ra > raLo || ra < raHi;
    };
    const int scale = Scale == 0 ? 200 : Scale;
    const unsigned char nebulaIdx = Dib.NearestIdx(kNebulaColour);
    const int labelLimit = Limit() + 300;

    // Sines and cosines of the places, once per catalogue.
    if (NebulaTrigSource != neb.Records || NebulaTrigCount != neb.Count) {
        NebulaTrigSource = neb.Records;
        NebulaTrigCount = neb.Count;
        NebulaPlaces.resize(static_cast<size_t>(neb.Count));
        NebulaLabel.assign(static_cast<size_t>(neb.Count), std::string());
        for (int i = 0; i < neb.Count; ++i) {
            // Numbers from 20000 up are no catalogue numbers: such an object
            // is known by its designation only, and without one it has no label.
            const int no = neb.Records[i].no;
            std::string& label = NebulaLabel[i];
            label = neb.GetMessier(i);
            if (label.empty() && no < 20000)
                label = no >= 10001 ? "IC" + std::to_string(no - 10000) : std::to_string(no);
            NebulaPlaces[i] = TStarIndex::Compute(neb.Records[i].ra, neb.Records[i].dec);
        }
    }
    CentreTrig();
    const TCentreTrig view{std::sin(CenterRa), std::cos(CenterRa), SinDec0, CosDec0};
    // The objects on the chart are found in the first pass and kept for the
    // second of the same drawing.
    if (!secondPass) {
        NebulaShown.clear();
        const int first = NebulaOnly >= 0 ? NebulaOnly : 0;
        const int end = NebulaOnly >= 0 ? std::min(NebulaOnly + 1, neb.Count) : neb.Count;
        for (int i = first; i < end; ++i) {
            const TNebulaRecord& r = neb.Records[i];
            if (!pass(r.ra, r.dec)) continue;
            const int rad = HalfAxisPixels(scale, r.major);
            const TStarIndex::Place& p = NebulaPlaces[i];
            // Past the view's edge with the object's own size and two pixels
            // to spare: not projected.
            const double eastReach = scale > 0 ? (ViewW / 2 + rad + 2.0) / scale : HUGE_VAL;
            const double northReach = scale > 0 ? (ViewH / 2 + rad + 2.0) / scale : HUGE_VAL;
            double east, meridian;
            if (!WithinReach(p, view, eastReach, northReach, east, meridian)) continue;
            int px, py;
            // The projection puts a point on the far side at the centre: in wide
            // views such objects pass the window, and would pile up there.
            if (!PlacePixel(p.SinDec, p.CosDec, east, meridian, CenterRa - r.ra, px, py)) continue;
            if (!(-rad < px && px < ViewW + rad && -rad < py && py < ViewH + rad)) continue;
            NebulaShown.push_back({i, px, py});
        }
    }
    for (const std::array<int, 3>& shown : NebulaShown) {
        const int i = shown[0], px = shown[1], py = shown[2];
        const TNebulaRecord& r = neb.Records[i];
        const int rad = HalfAxisPixels(scale, r.major);
        const int outline = i < static_cast<int>(neb.OutlineIndex.size()) ? neb.OutlineIndex[i] : 0;
        if (!secondPass) {
            if (outline > 0) {
                const TNebulaOutline& o = neb.Outlines[outline];
                const unsigned long colour = o.kind == 1   ? RGB(48, 0, 40)
                                             : o.kind == 2 ? RGB(24, 8, 40)
                                                           : kBlack;
                Draw_.DrawStart(s, TSurface::PS_SOLID, 1, colour, colour);
                // A point beyond 90 degrees from the centre has no place on
                // the chart (the projection gives the centre): the outline is
                // cut short there instead.
                FillOutline(s, o, [this](double ra, double dec, TPoint& p) {
                    return ToPixel(ra, dec, p.x, p.y);
                });
                Draw_.DrawEnd(s);
            }
        } else if (outline == 0) {
            if (rad > 4) {
                if (r.no < 20000) {
                    double ratio = r.major > 0 ? r.minor / r.major : 0.0;
                    if (ratio == 0.0 || !std::isfinite(ratio)) ratio = 1.0;
                    // A minor axis longer than the major one is a damaged
                    // record; drawn as given it reached past the int range.
                    ratio = std::min(ratio, 1.0);
                    double theta = r.pa * kPi / 180.0 - kPi / 2;
                    if (r.pa == 0) {
                        theta = 0.0;
                        ratio = 1.0;
                    }
                    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kNebulaColour, kNebulaColour);
                    // The outline's 22 points: the circle's sines and cosines
                    // are the same for every object.
                    static const auto circle = [] {
                        std::array<std::array<double, 2>, 22> t{};
                        for (int k = 0; k <= 21; ++k)
                            t[k] = {std::cos(k * kPi / 10), std::sin(k * kPi / 10)};
                        return t;
                    }();
                    const double sinTheta = std::sin(theta), cosTheta = std::cos(theta);
                    for (int k = 0; k <= 21; ++k) {
                        const double a = rad * ratio * circle[k][0], b = rad * circle[k][1];
                        const int x = static_cast<int>(px + sinTheta * a - cosTheta * b);
                        const int y = static_cast<int>(py + sinTheta * b + cosTheta * a);
                        if (k == 0)
                            s->MoveTo(x, y);
                        else
                            s->LineTo(x, y);
                    }
                    Draw_.DrawEnd(s);
                }
            } else {
                // The colour's index is looked up once rather than per pixel:
                // at wide views thousands of symbols are drawn.
                const int W = Dib.GetWidth(), H = Dib.GetHeight();
                if (TDrawTarget* t = s->Target())
                    t->Symbol(quenlira::sprites::SymbolOfType(r.type), px + 0.5, py + 0.5,
                              kNebulaColour);
                else
                    for (const SpriteDot& d :
                         SymbolDots(quenlira::sprites::SymbolOfType(r.type))) {
                        const int x = px + d.c - 4, y = py + d.r - 4;
                        if (static_cast<unsigned>(x) < static_cast<unsigned>(W) &&
                            static_cast<unsigned>(y) < static_cast<unsigned>(H))
                            Dib.Row(y)[x] = nebulaIdx;
                    }
            }
        }
        if (!secondPass) continue;
        // Messier objects before the NGC and IC numbers, the brighter and
        // the larger first; a small symbol keeps fainter labels off.
        const bool messier = !NebulaLabel[i].empty() && NebulaLabel[i][0] == 'M';
        const int rank = (r.mag != 0 ? r.mag : 1500) - 10 * std::min(rad, 50) - (messier ? 200 : 0);
        // Objects three magnitudes past the stars' limit are not offered a
        // label: in a wide view they are thousands, and the brighter ones
        // would take their places anyway. One without a magnitude is.
        const bool offered =
            r.mag == 0 || rank <= labelLimit || (TargetKind == 4 && TargetNumber == i);
        // A small ellipse is as much a symbol as the smallest; the large ones
        // and the outlines are shapes that labels may lie across.
        int reach = 5;
        if (outline == 0 && rad <= 4) {
            Placer.Block({px - 4, py - 4, px + 6, py + 5}, rank);
        } else if (outline == 0 && rad <= kSmallEllipse) {
            Placer.Block({px - rad, py - rad, px + rad + 1, py + rad + 1}, rank);
            reach = rad;
        }
        if (offered)
            AddLabel(rank, kDeepFont, kNebulaColour, px, py, reach, TLabelPlacer::Right,
                     NebulaLabel[i], 4, i);
    }
}

void TAtlas::ClippedLine(TSurface* s, double x0, double y0, double x1, double y1, bool& endKept) {
    const double ex = x1, ey = y1;
    endKept = false;
    if (!ClipToRect(x0, y0, x1, y1, ViewW, ViewH)) return;
    endKept = x1 == ex && y1 == ey;
    s->MoveTo(static_cast<int>(x0), static_cast<int>(y0));
    s->LineTo(static_cast<int>(x1), static_cast<int>(y1));
}

void TAtlas::DrawLines(TSurface* s, TDraw& draw) {
    // Right ascension over the window in 100 steps, unwrapped through 0.
    double lo = RaMin, hi = RaMax;
    if (hi < lo) hi += kTwoPi;
    const double step = (hi - lo) / 100.0;
    if (!(step > 0)) return;
    const double start = std::floor(lo / step) * step;
    const double eps = THayami::Obliquity(Mjd.GetMJD());
    for (int pass = 0; pass < 2; ++pass) {
        const unsigned long colour = pass == 0 ? RGB(112, 16, 16) : RGB(112, 112, 16);
        draw.DrawStart(s, TSurface::PS_SOLID, 1, colour, colour);
        bool havePrev = false;
        double prevX = 0, prevY = 0;
        for (double ra = start; ra <= hi + step / 10; ra += step) {
            const double dec = pass == 0 ? 0.0 : std::atan(std::tan(eps) * std::sin(ra));
            double x, y;
            const bool vis = Project(Projection, &x, &y, CenterDec, CenterRa, dec, ra);
            const int scale = Scale == 0 ? 200 : Scale;
            const double fx = scale * x + ViewW / 2, fy = scale * y + ViewH / 2;
            if (vis && havePrev) {
                bool kept;
                ClippedLine(s, prevX, prevY, fx, fy, kept);
            }
            havePrev = vis;
            prevX = fx;
            prevY = fy;
        }
        draw.DrawEnd(s);
    }
}

void TAtlas::GridSpacing(int scale, double raWidth, double& raMain, double& raMinor,
                         double& decMain, double& decMinor) {
    const double widthDeg = raWidth / kDeg;
    const double minute = kTwoPi / (24 * 60);
    if (widthDeg < 2) {
        raMain = minute;
        raMinor = minute / 6;
    } else if (widthDeg < 12) {
        raMain = 10 * minute;
        raMinor = minute;
    } else {
        raMain = 60 * minute;
        raMinor = 10 * minute;
    }
    const double arcmin = kDeg / 60;
    if (scale < 4500) {
        decMain = 10 * kDeg;
        decMinor = kDeg;
    } else if (scale <= 45000) {
        decMain = kDeg;
        decMinor = 10 * arcmin;
    } else if (scale <= 120000) {
        decMain = 10 * arcmin;
        decMinor = arcmin;
    } else {
        decMain = arcmin;
        decMinor = arcmin / 6;
    }
}

void TAtlas::DrawGrid(TSurface* s, TDraw& draw) {
    const int scale = Scale == 0 ? 200 : Scale;
    double lo = RaMin, hi = RaMax;
    if (hi < lo) hi += kTwoPi;
    double raMain, raMinor, decMain, decMinor;
    GridSpacing(scale, hi - lo, raMain, raMinor, decMain, decMinor);
    const double arcmin = kDeg / 60;
    // Declination range: whole spacings around the window, short of the poles.
    auto decRange = [&](double spacing, double& d0, double& d1) {
        d0 = std::floor(DecMin / spacing) * spacing;
        d1 = std::ceil(DecMax / spacing) * spacing;
        d0 = std::max(d0, -kPi / 2 + decMain);
        d1 = std::min(d1, kPi / 2 - decMain);
    };

    // A polyline of projected points; points on the far side lift the pen.
    // Every meridian of a pass is stepped through the same declinations and
    // every parallel through the same right ascensions, so the sines and
    // cosines of those are taken once per pass (the very values ToPixel
    // would take, so the pixels are the same).
    struct Polyline {
        TAtlas* a;
        TSurface* s;
        bool down = false;
        void Add(const TAngleTrig& ra, const TAngleTrig& dec, int& px, int& py, bool& vis) {
            vis = a->PlaceTrig(ra, dec, px, py);
            if (!vis) {
                down = false;
                return;
            }
            if (down)
                s->LineTo(px, py);
            else
                s->MoveTo(px, py);
            down = true;
        }
    };
    CentreTrig();
    std::vector<TAngleTrig> steps;
    auto inView = [&](int px, int py) { return px > 0 && px < ViewW && py > 0 && py < ViewH; };
    // Labels: top-left corner, text, and whether they move along x (a
    // parallel's) or along y (a meridian's).
    struct TGridLabel {
        TPoint at;
        std::string text;
        bool alongX;
    };
    std::vector<TGridLabel> labels;
    // Minor lines dotted and darker (pass 0), main lines solid.
    auto gridPen = [&](int pass) {
        const unsigned long colour = pass == 0 ? RGB(64, 34, 34) : RGB(96, 51, 51);
        draw.DrawStart(s, pass == 0 ? TSurface::PS_DOT : TSurface::PS_SOLID, 1, colour, colour);
    };

    // Meridians: minor ones dotted, then main ones with their labels.
    for (int pass = 0; pass < 2; ++pass) {
        const double spacing = pass == 0 ? raMinor : raMain;
        gridPen(pass);
        double d0, d1;
        decRange(decMain, d0, d1);
        const double dstep = pass == 0 ? decMain / 6 : 6 * kPi / scale;
        const double r0 = std::floor(lo / spacing) * spacing;
        const double r1 = std::ceil(hi / spacing) * spacing + spacing / 10;
        const long nra = static_cast<long>((r1 - r0) / spacing) + 1;
        const long nd = static_cast<long>((d1 - d0) / dstep + 1e-9);
        steps.clear();
        for (long j = 0; j <= nd && j < 200000; ++j)
            steps.push_back(DecTrig(d0 + j * dstep));
        for (long i = 0; i < nra && i < 100000; ++i) {
            const double ra = r0 + i * spacing;
            if (ra > r1) break;
            Polyline pl{this, s};
            int inside = 0;
            const TAngleTrig raTrig = RaTrig(ra);
            for (const TAngleTrig& dec : steps) {
                int px, py;
                bool vis;
                pl.Add(raTrig, dec, px, py, vis);
                if (pass == 1 && vis && inView(px, py) && ++inside == 5) {
                    const double h = WrapTwoPi(ra) / kTwoPi * 24.0;
                    int hh = static_cast<int>(h + 1e-9);
                    int mm = static_cast<int>(std::lround((h - hh) * 60.0));
                    if (mm == 60) {
                        mm = 0;
                        hh = (hh + 1) % 24;
                    }
                    char text[16];
                    std::snprintf(text, sizeof text, "%2dh%02dm", hh, mm);
                    labels.push_back({{px - 10, py}, text, false});
                }
            }
        }
        draw.DrawEnd(s);
    }

    // Parallels: minor ones dotted (the equator excepted), then main ones.
    const double rstep = raMain / 6;
    const double r0 = std::floor(lo / raMain) * raMain;
    const double r1 = std::ceil(hi / raMain) * raMain + raMain / 10;
    const long nra = static_cast<long>((r1 - r0) / rstep + 1e-9);
    steps.clear();
    for (long j = 0; j <= nra && j < 200000; ++j)
        steps.push_back(RaTrig(r0 + j * rstep));
    for (int pass = 0; pass < 2; ++pass) {
        const double spacing = pass == 0 ? decMinor : decMain;
        gridPen(pass);
        double d0, d1;
        decRange(spacing, d0, d1);
        const long ndec = static_cast<long>(std::lround((d1 - d0) / spacing));
        for (long i = 0; i <= ndec && i < 100000; ++i) {
            const double dec = d0 + i * spacing;
            const bool equator = std::fabs(dec) < spacing * 1e-6;
            if (pass == 0 && equator) continue;
            Polyline pl{this, s};
            bool labelled = pass == 0;
            bool wasRight = false;
            const TAngleTrig decTrig = DecTrig(dec);
            for (const TAngleTrig& ra : steps) {
                int px, py;
                bool vis;
                if (equator) {
                    vis = PlaceTrig(ra, decTrig, px, py);
                } else {
                    pl.Add(ra, decTrig, px, py, vis);
                }
                if (!vis) continue;
                if (px >= ViewW / 2) wasRight = true;
                if (!labelled && wasRight && px < ViewW / 2) {
                    labelled = true;
                    const double a = std::fabs(dec) / arcmin + 0.5;
                    const long minutes = static_cast<long>(a);
                    char text[48];
                    std::snprintf(text, sizeof text, "%s%ld%s%02ld'",
                                  (dec < 0 && minutes >= 1) ? "\u2212" : " ", minutes / 60,
                                  Language == 0 ? "ﾟ" : "°", minutes % 60);
                    // Above its line, not across it: a minus sign there
                    // would read as a piece of the line.
                    labels.push_back({{px, py - 13}, text, true});
                }
            }
        }
        draw.DrawEnd(s);
    }

    // Both threads work the labels out; this one hands them on, written
    // last of all, over none but faint stars and deep-sky objects.
    if (s != Dib.GetSurface()) return;
    for (const TGridLabel& l : labels)
        AddLabel(INT_MAX - 1, kDeepFont, RGB(128, 34, 34), l.at.x, l.at.y, 0,
                 l.alongX ? kAlongX : kAlongY, l.text, 0, 0, true, kBlack, kGridCover);
}
