#include "render/Clsatlas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr double kDeg = kPi / 180.0;
constexpr double kFiveDeg = 0.08726646259971639;
constexpr double kJ2000 = 51544.0;

// The raster's colour table, in the order the indices are used.
constexpr unsigned long kColours[] = {
    RGB(0, 255, 255),   RGB(0, 0, 0),       RGB(0, 0, 255),     RGB(128, 128, 128),
    RGB(255, 0, 255),   RGB(0, 128, 0),     RGB(0, 255, 0),     RGB(192, 192, 192),
    RGB(128, 0, 0),     RGB(0, 0, 128),     RGB(128, 128, 0),   RGB(128, 0, 128),
    RGB(255, 0, 0),     RGB(0, 128, 128),   RGB(255, 255, 255), RGB(255, 255, 0),
    RGB(255, 80, 80),   RGB(255, 128, 80),  RGB(255, 255, 80),  RGB(255, 255, 128),
    RGB(200, 200, 200), RGB(80, 255, 255),  RGB(128, 255, 255), RGB(160, 50, 50),
    RGB(160, 80, 50),   RGB(160, 160, 50),  RGB(160, 160, 80),  RGB(125, 125, 125),
    RGB(50, 160, 160),  RGB(80, 160, 160),  RGB(160, 160, 160), RGB(64, 20, 20),
    RGB(64, 32, 20),    RGB(64, 64, 20),    RGB(64, 64, 32),    RGB(50, 50, 50),
    RGB(20, 64, 64),    RGB(32, 64, 64),    RGB(64, 64, 64),    RGB(255, 144, 112),
    RGB(255, 192, 128), RGB(255, 255, 192), RGB(192, 255, 255), RGB(160, 96, 64),
    RGB(160, 120, 80),  RGB(160, 160, 120), RGB(120, 120, 120), RGB(120, 160, 160),
    RGB(64, 40, 24),    RGB(64, 48, 32),    RGB(64, 64, 48),    RGB(48, 48, 48),
    RGB(48, 64, 64),    RGB(0, 204, 0),     RGB(48, 48, 128),   RGB(24, 8, 40),
    RGB(112, 16, 16),   RGB(112, 112, 16),  RGB(128, 20, 0),    RGB(96, 51, 51),
    RGB(64, 34, 34),    RGB(128, 34, 34),   RGB(104, 24, 112),  RGB(160, 160, 0),
    RGB(48, 0, 40),     RGB(192, 48, 32),   RGB(192, 192, 128), RGB(224, 80, 16),
    RGB(192, 112, 48),  RGB(176, 101, 40),  RGB(224, 128, 64),  RGB(208, 144, 80),
    RGB(192, 128, 64),  RGB(56, 40, 21),    RGB(80, 160, 80),   RGB(112, 160, 192),
    RGB(160, 144, 80)};

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
constexpr unsigned long kBlack = RGB(0, 0, 0);

int SpectColumn(int spect) {
    return (spect >= 1 && spect <= 8) ? spect - 1 : 7;
}

double WrapTwoPi(double a) {
    a = std::fmod(a, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a;
}

// Angle difference a - b brought into (-pi, pi].
double AngleDiff(double a, double b) {
    double d = std::fmod(a - b, kTwoPi);
    if (d <= -kPi) d += kTwoPi;
    if (d > kPi) d -= kTwoPi;
    return d;
}

// The point of a disc of radius r about (cx, cy) nearest to a square, inside r?
bool DiscMeetsSquare(int cx, int cy, int r, int px, int py, int tol) {
    int nx = std::clamp(cx, px - tol, px + tol);
    int ny = std::clamp(cy, py - tol, py + tol);
    long dx = cx - nx, dy = cy - ny;
    return dx * dx + dy * dy <= static_cast<long>(r) * r;
}

// Clips the segment to the rectangle 0..w, 0..h (Liang-Barsky); false when
// nothing of it is left.
bool ClipToRect(double& x0, double& y0, double& x1, double& y1, double w, double h) {
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
int HalfAxisPixels(int scale, float major) {
    if (!(major > 0.0f)) return 0;
    // Single precision as before, so that sound records keep their pixel.
    return static_cast<int>(scale * std::min(major, static_cast<float>(kPi)) * 0.5);
}

} // namespace

TAtlas::TAtlas(int language, int width, int height)
    : Language(language), RasterW(width), RasterH(height) {
    LabelFace = language == 0 ? "ＭＳ ゴシック" : "Arial";
    Draw_.SetChar(language == 0 ? 128 : 0);
    Location.Lon = 139.5 * kDeg;
    Location.Lat = 35.5 * kDeg;
    Mjd.SetMJD(kJ2000);
    for (unsigned long c : kColours)
        Dib.AddColor(c);
    Dib.Create(width, height);
    for (int set = 0; set < 2; ++set)
        for (int level = 0; level < 3; ++level)
            for (int s = 0; s < 8; ++s)
                StarColour[set][level][s] =
                    static_cast<unsigned char>(Dib.Col2Idx(kStarColours[set][level][s]));
}

void TAtlas::SetSwitch(int n, int on) {
    if (n >= 1 && n <= 8) Switch[n - 1] = on;
}

int TAtlas::GetSwitch(int n) const {
    return (n >= 1 && n <= 8) ? Switch[n - 1] : 0;
}

void TAtlas::SetLng(double lng) {
    Location.Lon = lng;
}
void TAtlas::SetLat(double lat) {
    Location.Lat = lat;
}

// ---------------------------------------------------------------- projection

bool TAtlas::Project(int, double* x, double* y, double centreDec, double centreRa, double dec,
                     double ra) {
    if (centreDec != CachedDec) {
        CachedDec = centreDec;
        SinDec0 = std::sin(centreDec);
        CosDec0 = std::cos(centreDec);
    }
    const double h = centreRa - ra;
    const double sinDec = std::sin(dec), cosDec = std::cos(dec), cosH = std::cos(h);
    const double m = sinDec * SinDec0 + cosDec * CosDec0 * cosH;
    // A position that is not a number lies nowhere on the chart.
    if (!std::isfinite(m)) {
        *x = *y = 0.0;
        return false;
    }
    if (m >= 1.0) {
        *x = *y = 0.0;
        return true;
    }
    const double s = std::sqrt(1.0 - m * m);
    const double a = std::atan(m / s);
    if (a < 0.0) {
        *x = *y = 0.0;
        return false;
    }
    const double k = (kPi / 2 - a) / s;
    *x = k * cosDec * std::sin(h);
    *y = k * (cosDec * SinDec0 * cosH - sinDec * CosDec0);
    return true;
}

void TAtlas::Unproject(int, int px, int py, double* dec, double* ra, double centreDec,
                       double centreRa) const {
    const int scale = Scale == 0 ? 200 : Scale;
    const double dx = static_cast<double>(px - ViewW / 2) / scale;
    const double dy = static_cast<double>(py - ViewH / 2) / scale;
    const double rho = std::sqrt(dx * dx + dy * dy);
    if (std::fabs(std::sin(rho)) < 1e-14) {
        *dec = centreDec;
        *ra = centreRa;
        return;
    }
    double r;
    if (std::fabs(std::fabs(centreDec) - kPi / 2) < 1e-14) {
        // At a pole the chart is a polar plot: the direction of (dx, dy) is
        // the hour angle, measured from straight down at the north pole and
        // from straight up at the south pole, so that this undoes Project.
        if (centreDec > 0) {
            *dec = kPi / 2 - rho;
            r = centreRa - std::atan2(dx, dy);
        } else {
            *dec = -(kPi / 2 - rho);
            r = centreRa - std::atan2(dx, -dy);
        }
    } else {
        const double sinPhi = std::sin(centreDec), cosPhi = std::cos(centreDec);
        const double sinH = std::fabs(std::sin(kPi / 2 - rho));
        const double cosH = std::sqrt(std::max(0.0, 1.0 - sinH * sinH));
        // Beyond 90 degrees from the centre the height turns negative.
        const double sinHs = rho > kPi / 2 ? -sinH : sinH;
        double sinD = sinPhi * sinHs - cosPhi * cosH * (dy / rho);
        sinD = std::clamp(sinD, -1.0, 1.0);
        *dec = std::atan2(sinD, std::sqrt(1.0 - sinD * sinD));
        double h = 0.0;
        if (std::fabs(cosH) >= 1e-14 || std::fabs(sinHs) >= 1e-14) {
            const double cx = sinHs - sinPhi * sinD;
            const double cy = (dx / rho) * cosH * cosPhi;
            h = std::atan2(cy, cx);
        }
        r = centreRa - h;
    }
    while (r < 0)
        r += kTwoPi;
    while (r >= kTwoPi)
        r -= kTwoPi;
    *ra = r;
}

int TAtlas::PixelX(double x) const {
    const int scale = Scale == 0 ? 200 : Scale;
    return static_cast<int>(scale * x + ViewW / 2);
}

int TAtlas::PixelY(double y) const {
    const int scale = Scale == 0 ? 200 : Scale;
    return static_cast<int>(scale * y + ViewH / 2);
}

bool TAtlas::ToPixel(double ra, double dec, int& px, int& py) {
    double x, y;
    const bool vis = Project(Projection, &x, &y, CenterDec, CenterRa, dec, ra);
    px = PixelX(x);
    py = PixelY(y);
    return vis;
}

// ---------------------------------------------------------------- window

double TAtlas::WindowSpan(int viewW, int viewH, int scale) {
    if (scale == 0) scale = 200;
    const double half = viewW / 2;
    return std::sqrt(half * half + static_cast<double>(viewH) * viewH) / scale * 55.555555 * kPi /
           180.0;
}

void TAtlas::ComputeWindow() {
    const double d = WindowSpan(ViewW, ViewH, Scale);
    DecMin = std::max(-kPi / 2, CenterDec - d / 2);
    DecMax = std::min(kPi / 2, CenterDec + d / 2);

    const int pts[6][2] = {{0, 0},         {ViewW, 0},     {0, ViewH},
                           {ViewW, ViewH}, {ViewW / 2, 0}, {ViewW / 2, ViewH}};
    const int scale = Scale == 0 ? 200 : Scale;
    double lo = 1e9, hi = -1e9, dmin = 1e9, dmax = -1e9;
    bool beyond = false;
    for (const auto& p : pts) {
        const double dx = p[0] - ViewW / 2, dy = p[1] - ViewH / 2;
        if (std::sqrt(dx * dx + dy * dy) / scale > kPi / 2) beyond = true;
        double dec, ra;
        Unproject(Projection, p[0], p[1], &dec, &ra, CenterDec, CenterRa);
        dmin = std::min(dmin, dec);
        dmax = std::max(dmax, dec);
        const double off = AngleDiff(ra, CenterRa);
        lo = std::min(lo, off);
        hi = std::max(hi, off);
    }
    DecMin = dmin;
    DecMax = dmax;
    RaMin = WrapTwoPi(CenterRa + lo);
    RaMax = WrapTwoPi(CenterRa + hi);
    // A view reaching past 90 degrees from the centre shows the sky up to the
    // edge of the visible hemisphere, which the sampled points no longer
    // bound: take the whole hemisphere (every right ascension, declinations
    // within 90 degrees of the centre's).
    if (beyond) {
        DecMin = std::max(-kPi / 2, CenterDec - kPi / 2);
        DecMax = std::min(kPi / 2, CenterDec + kPi / 2);
        RaMin = 0.0;
        RaMax = kTwoPi;
    }

    // A pole inside the view opens the window to every right ascension.
    for (int pole = 1; pole >= -1; pole -= 2) {
        double x, y;
        if (!Project(Projection, &x, &y, CenterDec, CenterRa, pole * kPi / 2, 0.0)) continue;
        const int px = PixelX(x), py = PixelY(y);
        if (px >= 0 && px <= ViewW && py >= 0 && py <= ViewH) {
            RaMin = 0.0;
            RaMax = kTwoPi;
            if (pole > 0)
                DecMax = kPi / 2;
            else
                DecMin = -kPi / 2;
        }
    }
}

bool TAtlas::InWindow(double ra, double dec) const {
    if (!(dec > DecMin && dec < DecMax)) return false;
    if (RaMax >= RaMin) return ra > RaMin && ra < RaMax;
    return ra > RaMin || ra < RaMax;
}

// ---------------------------------------------------------------- drawing

void TAtlas::Draw() {
    ComputeWindow();
    Clear();
    if (Switch[0]) DrawMilkyWay();
    if (Switch[5]) DrawNebulae(false);
    if (Switch[1]) DrawConstellationLines();
    if (Switch[5]) DrawNebulae(true);
    DrawStars();
    DrawBodies(Switch[4], Switch[7]);
    if (Switch[6]) {
        DrawLines();
        DrawGrid();
    }
    if (Switch[1]) DrawConstellationNames();
    if (Switch[4]) DrawStarNames();
    DrawMarkers();
}

void TAtlas::Clear() {
    TSurface* s = Dib.GetSurface();
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kBlack, kBlack);
    s->Rectangle(0, 0, RasterW, RasterH);
    Draw_.DrawEnd(s);
}

void TAtlas::CentredText(TSurface* s, int x, int y, const std::string& text) {
    const int w = s->GetTextExtent(text).cx;
    s->TextOut(x - w / 2, y, text);
}

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
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(24, 8, 40), RGB(24, 8, 40));
    s->PolyPolygon(pieces);
    Draw_.DrawEnd(s);
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
    int t = 21 * sensitivity;
    if (mag <= t) return 0;
    const int step = limit / 12;
    for (int k = 1; k <= 12; ++k) {
        const int next = t + step;
        if (mag > t && mag <= next) return k;
        t = next;
    }
    return -1;
}

int TAtlas::Limit() {
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

void TAtlas::DrawSprite(int cls, int spect, bool realistic, int px, int py) {
    const quenlira::sprites::Sprite& sp =
        realistic ? quenlira::sprites::kRealistic[cls] : quenlira::sprites::kPlain[cls];
    const int off = sp.size == 4 ? 1 : sp.size / 2;
    const int set = realistic ? 0 : 1;
    const int col = SpectColumn(spect);
    for (int r = 0; r < sp.size; ++r) {
        const int y = py + r - off;
        if (y < 0 || y >= ViewH) continue;
        const char* row = sp.rows[r];
        for (int c = 0; c < sp.size; ++c) {
            const int level = row[c] - '0';
            if (level == 0) continue;
            const int x = px + c - off;
            if (x < 0 || x >= ViewW) continue;
            Dib.DotIdx(x, y, StarColour[set][level - 1][col]);
        }
    }
}

void TAtlas::DrawStars() {
    const int limit = Limit();
    const bool realistic = Switch[7] != 0;
    const bool bayer = Switch[2] != 0, flamsteed = Switch[3] != 0;
    TSurface* s = Dib.GetSurface();
    Draw_.TextStart(s, Language == 0 ? LabelFace : std::string("Symbol"), 9, 4, 0);
    s->SetTextColor(kLabelGrey);
    s->SetBkMode(TSurface::TRANSPARENT);
    for (int c = 0; c < StarCount; ++c) {
        const TStar* cat = Star[c];
        if (!cat) continue;
        for (int i = 0; i < cat->Count; ++i) {
            const TStarRecord& r = cat->Records[i];
            if (r.mag > limit) continue;
            if (!InWindow(r.ra, r.dec)) continue;
            int px, py;
            if (!ToPixel(r.ra, r.dec, px, py)) continue;
            if (!(px > 0 && px < ViewW && py > 0 && py < ViewH)) continue;
            const int cls = StarClass(r.mag, limit, Sens);
            if (cls >= 0) DrawSprite(cls, r.spect, realistic, px, py);
            if (bayer && r.bayer != 0)
                s->TextOut(px + 4, py - 9, TStar::GetBayer(Language == 0 ? 1 : 2, r.bayer));
            if (flamsteed && r.flamsteed != 0)
                s->TextOut(px + 4, py - 1, std::to_string(r.flamsteed));
        }
    }
    Draw_.TextEnd(s);
}

void TAtlas::DrawConstellationNames() {
    TSurface* s = Dib.GetSurface();
    Draw_.TextStart(s, LabelFace, 8, 4, 0);
    s->SetBkMode(TSurface::OPAQUE);
    s->SetBkColor(RGB(0, 112, 0));
    s->SetTextColor(RGB(0, 204, 0));
    for (int n = 1; n <= 89; ++n) {
        const TConstellationRow& row = Constellation.Rows[n];
        int px, py;
        if (!ToPixel(row.ra, row.dec, px, py)) continue;
        if (!(px > 0 && px < ViewW && py > 0 && py < ViewH)) continue;
        CentredText(s, px, py,
                    Language == 0 ? Constellation.GetNameJpnC(n) : Constellation.GetNameSciC(n));
    }
    s->SetBkMode(TSurface::TRANSPARENT);
    Draw_.TextEnd(s);
}

void TAtlas::DrawStarNames() {
    TSurface* s = Dib.GetSurface();
    Draw_.TextStart(s, LabelFace, 8, 4, 0);
    s->SetTextColor(kLabelGrey);
    s->SetBkMode(TSurface::TRANSPARENT);
    for (int c = 0; c < StarCount; ++c) {
        const TStar* cat = Star[c];
        if (!cat || cat->Count == 0) continue;
        for (int i = 0; i < cat->NamedCount; ++i) {
            const TNamedStar& n = cat->Named[i];
            if (n.record < 0) continue;
            int px, py;
            if (!ToPixel(n.ra, n.dec, px, py)) continue;
            if (!(px > 0 && px < ViewW && py > 0 && py < ViewH)) continue;
            CentredText(s, px, py + 8, Language == 0 ? n.nameJpn : n.nameSci);
        }
    }
    Draw_.TextEnd(s);
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

    Draw_.TextStart(s, LabelFace, 9, 4, 0);
    s->SetTextColor(kNebulaColour);
    s->SetBkMode(TSurface::TRANSPARENT);
    for (int i = 0; i < neb.Count; ++i) {
        const TNebulaRecord& r = neb.Records[i];
        if (!pass(r.ra, r.dec)) continue;
        int px, py;
        // The projection puts a point on the far side at the centre: in wide
        // views such objects pass the window, and would pile up there.
        if (!ToPixel(r.ra, r.dec, px, py)) continue;
        const int rad = HalfAxisPixels(scale, r.major);
        if (!(-rad < px && px < ViewW + rad && -rad < py && py < ViewH + rad)) continue;
        const int outline = i < static_cast<int>(neb.OutlineIndex.size()) ? neb.OutlineIndex[i] : 0;
        if (!secondPass) {
            if (outline > 0) {
                const TNebulaOutline& o = neb.Outlines[outline];
                const unsigned long colour = o.kind == 1   ? RGB(48, 0, 40)
                                             : o.kind == 2 ? RGB(24, 8, 40)
                                                           : kBlack;
                Draw_.DrawStart(s, TSurface::PS_SOLID, 1, colour, colour);
                std::vector<TPoint> poly;
                for (int k = 0; k < o.count; ++k) {
                    if (o.ra[k] == 10.0 && o.dec[k] == 10.0) {
                        if (!poly.empty()) s->Polygon(poly.data(), static_cast<int>(poly.size()));
                        poly.clear();
                        continue;
                    }
                    int x, y;
                    // A point beyond 90 degrees from the centre has no place on
                    // the chart (the projection gives the centre): the outline
                    // is cut short there instead.
                    if (!ToPixel(o.ra[k], o.dec[k], x, y)) continue;
                    poly.push_back({x, y});
                }
                if (!poly.empty()) s->Polygon(poly.data(), static_cast<int>(poly.size()));
                Draw_.DrawEnd(s);
            }
        } else if (outline == 0) {
            if (rad > 4) {
                if (r.no < 20000) {
                    double ratio = r.major > 0 ? r.minor / r.major : 0.0;
                    if (ratio == 0.0 || !std::isfinite(ratio)) ratio = 1.0;
                    double theta = r.pa * kPi / 180.0 - kPi / 2;
                    if (r.pa == 0) {
                        theta = 0.0;
                        ratio = 1.0;
                    }
                    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kNebulaColour, kNebulaColour);
                    for (int k = 0; k <= 21; ++k) {
                        const double t = k * kPi / 10;
                        const double a = rad * ratio * std::cos(t), b = rad * std::sin(t);
                        const int x =
                            static_cast<int>(px + std::sin(theta) * a - std::cos(theta) * b);
                        const int y =
                            static_cast<int>(py + std::sin(theta) * b + std::cos(theta) * a);
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
                const int sym = quenlira::sprites::SymbolOfType(r.type);
                for (int row = 0; row < 9; ++row)
                    for (int col = 0; col < 10; ++col)
                        if (quenlira::sprites::kSymbols[sym][row][col] == '#')
                            Dib.DotIdx(px + col - 4, py + row - 4, nebulaIdx);
            }
        }
        // The second pass writes every label again, pixel for pixel in the
        // same colour and over everything drawn in between, so a first-pass
        // label never shows: only the second pass writes them.
        if (!secondPass) continue;
        std::string label = neb.GetMessier(i);
        // Numbers from 20000 up are no catalogue numbers: such an object is
        // known by its designation only, and without one it has no label.
        if (label.empty() && r.no < 20000)
            label = r.no >= 10001 ? "IC" + std::to_string(r.no - 10000) : std::to_string(r.no);
        s->TextOut(px + 7, py - 6, label);
    }
    Draw_.TextEnd(s);
}

void TAtlas::ClippedLine(double x0, double y0, double x1, double y1, bool& endKept) {
    const double ex = x1, ey = y1;
    endKept = false;
    if (!ClipToRect(x0, y0, x1, y1, ViewW, ViewH)) return;
    endKept = x1 == ex && y1 == ey;
    TSurface* s = Dib.GetSurface();
    s->MoveTo(static_cast<int>(x0), static_cast<int>(y0));
    s->LineTo(static_cast<int>(x1), static_cast<int>(y1));
}

void TAtlas::DrawLines() {
    // Right ascension over the window in 100 steps, unwrapped through 0.
    double lo = RaMin, hi = RaMax;
    if (hi < lo) hi += kTwoPi;
    const double step = (hi - lo) / 100.0;
    if (!(step > 0)) return;
    const double start = std::floor(lo / step) * step;
    const double eps = THayami::Obliquity(Mjd.GetMJD());
    TSurface* s = Dib.GetSurface();
    for (int pass = 0; pass < 2; ++pass) {
        const unsigned long colour = pass == 0 ? RGB(112, 16, 16) : RGB(112, 112, 16);
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, colour, colour);
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
                ClippedLine(prevX, prevY, fx, fy, kept);
            }
            havePrev = vis;
            prevX = fx;
            prevY = fy;
        }
        Draw_.DrawEnd(s);
    }
}

void TAtlas::DrawGrid() {
    const int scale = Scale == 0 ? 200 : Scale;
    double lo = RaMin, hi = RaMax;
    if (hi < lo) hi += kTwoPi;
    const double widthDeg = (hi - lo) / kDeg;
    const double minute = kTwoPi / (24 * 60);
    double raMain, raMinor;
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
    double decMain, decMinor;
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
    // Declination range: whole spacings around the window, short of the poles.
    auto decRange = [&](double spacing, double& d0, double& d1) {
        d0 = std::floor(DecMin / spacing) * spacing;
        d1 = std::ceil(DecMax / spacing) * spacing;
        d0 = std::max(d0, -kPi / 2 + decMain);
        d1 = std::min(d1, kPi / 2 - decMain);
    };
    TSurface* s = Dib.GetSurface();

    // A polyline of projected points; points on the far side lift the pen.
    struct Polyline {
        TAtlas* a;
        TSurface* s;
        bool down = false;
        void Add(double ra, double dec, int& px, int& py, bool& vis) {
            vis = a->ToPixel(ra, dec, px, py);
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
    auto inView = [&](int px, int py) { return px > 0 && px < ViewW && py > 0 && py < ViewH; };
    std::vector<std::pair<TPoint, std::string>> labels;

    // Meridians: minor ones dotted, then main ones with their labels.
    for (int pass = 0; pass < 2; ++pass) {
        const double spacing = pass == 0 ? raMinor : raMain;
        const unsigned long colour = pass == 0 ? RGB(64, 34, 34) : RGB(96, 51, 51);
        Draw_.DrawStart(s, pass == 0 ? TSurface::PS_DOT : TSurface::PS_SOLID, 1, colour, colour);
        double d0, d1;
        decRange(decMain, d0, d1);
        const double dstep = pass == 0 ? decMain / 6 : 6 * kPi / scale;
        const double r0 = std::floor(lo / spacing) * spacing;
        const double r1 = std::ceil(hi / spacing) * spacing + spacing / 10;
        const long nra = static_cast<long>((r1 - r0) / spacing) + 1;
        for (long i = 0; i < nra && i < 100000; ++i) {
            const double ra = r0 + i * spacing;
            if (ra > r1) break;
            Polyline pl{this, s};
            int inside = 0;
            const long nd = static_cast<long>((d1 - d0) / dstep + 1e-9);
            for (long j = 0; j <= nd && j < 200000; ++j) {
                const double dec = d0 + j * dstep;
                int px, py;
                bool vis;
                pl.Add(ra, dec, px, py, vis);
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
                    labels.push_back({{px - 10, py}, text});
                }
            }
        }
        Draw_.DrawEnd(s);
    }

    // Parallels: minor ones dotted (the equator excepted), then main ones.
    const double rstep = raMain / 6;
    const double r0 = std::floor(lo / raMain) * raMain;
    const double r1 = std::ceil(hi / raMain) * raMain + raMain / 10;
    const long nra = static_cast<long>((r1 - r0) / rstep + 1e-9);
    for (int pass = 0; pass < 2; ++pass) {
        const double spacing = pass == 0 ? decMinor : decMain;
        const unsigned long colour = pass == 0 ? RGB(64, 34, 34) : RGB(96, 51, 51);
        Draw_.DrawStart(s, pass == 0 ? TSurface::PS_DOT : TSurface::PS_SOLID, 1, colour, colour);
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
            for (long j = 0; j <= nra && j < 200000; ++j) {
                const double ra = r0 + j * rstep;
                int px, py;
                bool vis;
                if (equator) {
                    vis = ToPixel(ra, dec, px, py);
                } else {
                    pl.Add(ra, dec, px, py, vis);
                }
                if (!vis) continue;
                if (px >= ViewW / 2) wasRight = true;
                if (!labelled && wasRight && px < ViewW / 2) {
                    labelled = true;
                    const double a = std::fabs(dec) / arcmin + 0.5;
                    const long minutes = static_cast<long>(a);
                    char text[48];
                    std::snprintf(text, sizeof text, "%s%ld%s%02ld'",
                                  (dec < 0 && minutes >= 1) ? "-" : " ", minutes / 60,
                                  Language == 0 ? "ﾟ" : "°", minutes % 60);
                    labels.push_back({{px, py - 7}, text});
                }
            }
        }
        Draw_.DrawEnd(s);
    }

    Draw_.TextStart(s, LabelFace, 9, 4, 0);
    s->SetTextColor(RGB(128, 34, 34));
    s->SetBkColor(kBlack);
    s->SetBkMode(TSurface::OPAQUE);
    for (const auto& l : labels)
        s->TextOut(l.first.x, l.first.y, l.second);
    s->SetBkMode(TSurface::TRANSPARENT);
    Draw_.TextEnd(s);
}

// ---------------------------------------------------------------- bodies

bool TAtlas::ReadBody(int body, BodyData& out) {
    const double mjd = Mjd.GetMJD();
    auto take = [&](auto* b) {
        if (!b) return false;
        b->SetMjd(mjd);
        out = {b->Ra,        b->Dec,     b->Diam,  b->EarthDistKm,
               b->EarthDist, b->SunDist, b->Elong, b->GetName(Language)};
        return true;
    };
    switch (body) {
    case 0:
        return take(Mercury);
    case 1:
        return take(Venus);
    case 2:
        return take(Mars);
    case 3:
        return take(Jupiter);
    case 4:
        return take(Saturn);
    case 5:
        return take(Uranus);
    case 6:
        return take(Neptune);
    case 7:
        return take(Pluto);
    case 8:
        return take(Sun);
    case 9:
        return take(Moon);
    default:
        return false;
    }
}

double TAtlas::Topocentric(double ra, double dec, double distKm, double& tra, double& tdec) {
    double ra0, dec0, dist;
    TMjd::Epoch(ra, dec, Mjd.GetMJD(), kJ2000, 0.0, 0.0, ra0, dec0);
    Location.Parallax(Mjd.GetMJD(), ra0, dec0, distKm, tra, tdec, dist);
    return dist;
}

TAtlas::BodyPlace TAtlas::PlaceBody(int body) {
    BodyPlace p;
    BodyData b;
    if (!ReadBody(body, b)) return p;
    const double dist = Topocentric(b.ra, b.dec, b.distKm, p.ra, p.dec);
    p.diam = b.diam;
    p.distKm = dist;
    p.present = true;
    return p;
}

void TAtlas::DrawPhase(TSurface* s, int body, const BodyData& b, int realistic, int R, int px,
                       int py) {
    // Position angle of the Sun seen from the body, and the terminator's
    // squeeze k = -cos(phase angle).
    double sunRa = 0, sunDec = 0, sunAu = 1;
    if (Sun) {
        Sun->SetMjd(Mjd.GetMJD());
        sunRa = Sun->Ra;
        sunDec = Sun->Dec;
        sunAu = Sun->EarthDist;
    }
    const double da = sunRa - b.ra;
    const double c1 =
        std::sin(sunDec) * std::cos(b.dec) - std::cos(sunDec) * std::sin(b.dec) * std::cos(da);
    const double c2 = std::sin(da) * std::cos(sunDec);
    double sAng;
    if (std::fabs(c2) < 1e-14) {
        sAng = sunDec >= b.dec ? 0.0 : kPi;
    } else if (std::fabs(c1) < 1e-14) {
        sAng = sunRa <= b.ra ? 3 * kPi / 2 : kPi / 2;
    } else {
        sAng = std::atan(c2 / c1);
        if (c1 <= 0)
            sAng += kPi;
        else if (c2 <= 0)
            sAng += kTwoPi;
    }
    double k = 0.0;
    if (b.sunAu > 0) k = -(b.earthAu - sunAu * std::cos(b.elong)) / b.sunAu;
    k = std::clamp(k, -1.0, 1.0);
    const double rot = kPi - sAng;
    const double cr = std::cos(rot), sr = std::sin(rot);
    auto place = [&](double m, double o) {
        return TPoint{static_cast<int>(px + cr * m - sr * o),
                      static_cast<int>(py + cr * o + sr * m)};
    };
    auto limb = [&](double t) { return place(R * std::cos(t), R * std::sin(t)); };
    auto term = [&](double t) { return place(R * std::cos(t), k * R * std::sin(t)); };
    const double dt = kPi / 20;
    std::vector<TPoint> pts;
    if (realistic) {
        const unsigned long disc = body == 2   ? RGB(224, 80, 16)
                                   : body == 9 ? RGB(160, 160, 80)
                                               : RGB(192, 192, 128);
        for (int i = 0; i <= 40; ++i)
            pts.push_back(limb(i * dt));
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, disc, disc);
        s->Polygon(pts.data(), static_cast<int>(pts.size()));
        Draw_.DrawEnd(s);
        pts.clear();
        for (int i = 20; i <= 40; ++i)
            pts.push_back(limb(i * dt));
        for (int i = 0; i <= 20; ++i)
            pts.push_back(term(i * dt));
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kBlack, kBlack);
        s->Polygon(pts.data(), static_cast<int>(pts.size()));
        Draw_.DrawEnd(s);
    } else {
        auto polyline = [&](auto point, int from, int to) {
            for (int i = from; i <= to; ++i) {
                const TPoint p = point(i * dt);
                if (i == from)
                    s->MoveTo(p.x, p.y);
                else
                    s->LineTo(p.x, p.y);
            }
        };
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(128, 20, 0), kBlack);
        polyline(limb, 20, 40);
        Draw_.DrawEnd(s);
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(160, 160, 0), kBlack);
        polyline(term, 0, 20);
        polyline(limb, 0, 20);
        Draw_.DrawEnd(s);
    }
}

void TAtlas::DrawGlobe(TSurface* s, int px, int py, double R, double k, double P, double step,
                       bool fill) {
    std::vector<TPoint> pts;
    for (double t = 0.0; t <= kTwoPi + step; t += step) {
        const double a = std::cos(t) * R * k, b = std::sin(t) * R;
        pts.push_back({static_cast<int>(px + std::sin(P) * a - std::cos(P) * b),
                       static_cast<int>(py + std::sin(P) * b + std::cos(P) * a)});
    }
    if (fill) {
        s->Polygon(pts.data(), static_cast<int>(pts.size()));
        return;
    }
    s->MoveTo(pts[0].x, pts[0].y);
    for (size_t i = 1; i < pts.size(); ++i)
        s->LineTo(pts[i].x, pts[i].y);
}

void TAtlas::DrawJupiterImage(TSurface* s, int realistic, double R, int px, int py) {
    const double k = Jupiter->AxisRatio, P = Jupiter->AxisPA;
    auto point = [&](double t) {
        const double a = std::cos(t) * R * k, b = std::sin(t) * R;
        return TPoint{static_cast<int>(px + std::sin(P) * a - std::cos(P) * b),
                      static_cast<int>(py + std::sin(P) * b + std::cos(P) * a)};
    };
    auto chords = [&](double sv) {
        TPoint a = point(sv), b = point(-sv);
        s->MoveTo(a.x, a.y);
        s->LineTo(b.x, b.y);
        a = point(sv + kPi);
        b = point(-(sv + kPi));
        s->MoveTo(a.x, a.y);
        s->LineTo(b.x, b.y);
    };
    if (realistic) {
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(192, 112, 48), RGB(192, 112, 48));
        DrawGlobe(s, px, py, R, k, P, kPi / 20, true);
        Draw_.DrawEnd(s);
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(176, 101, 40), RGB(176, 101, 40));
        for (int i = 0;; ++i) {
            const double sv = 1.188097225 + i * 0.001;
            if (!(sv < 1.42352983892)) break;
            chords(sv);
        }
        Draw_.DrawEnd(s);
    } else {
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(160, 160, 0), kBlack);
        DrawGlobe(s, px, py, R, k, P, kPi / 20, false);
        chords(1.188097225);
        chords(1.423519838);
        Draw_.DrawEnd(s);
    }
}

void TAtlas::DrawSaturnImage(TSurface* s, int realistic, double R, int px, int py) {
    const double k = Saturn->AxisRatio, P = Saturn->RingPA, sr = Saturn->RingTiltSin;
    const double diam = Saturn->Diam;
    const double scaleR = diam > 0 ? R / (diam * 0.5) : 0.0; // the caller's scale
    auto arc = [&](double f, double th0) {
        const double r = f * diam * scaleR * 0.5;
        const double end = kTwoPi - th0;
        bool first = true;
        for (double th = th0;; th += kPi / 30) {
            const bool last = th >= end;
            const double t = last ? end : th;
            const double u = r * std::sin(t), v = -r * sr * std::cos(t);
            const int x = static_cast<int>(px - std::cos(P) * u - std::sin(P) * v);
            const int y = static_cast<int>(py + std::sin(P) * u - std::cos(P) * v);
            if (first)
                s->MoveTo(x, y);
            else
                s->LineTo(x, y);
            first = false;
            if (last) break;
        }
    };
    if (realistic) {
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(208, 144, 80), RGB(208, 144, 80));
        DrawGlobe(s, px, py, R, k, P, kPi / 30, true);
        Draw_.DrawEnd(s);
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(192, 128, 64), RGB(192, 128, 64));
        for (int i = 0; i <= 8; ++i)
            arc(TSaturn::GetRingR(1, i * 0.1), Saturn->GetRingDeg(1, i * 0.1));
        for (int i = 0; i <= 9; ++i)
            arc(TSaturn::GetRingR(2, i * 0.1), Saturn->GetRingDeg(2, i * 0.1));
        Draw_.DrawEnd(s);
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(56, 40, 21), RGB(56, 40, 21));
        for (int i = 0; i <= 9; ++i)
            arc(TSaturn::GetRingR(3, i * 0.1), Saturn->GetRingDeg(3, i * 0.1));
        Draw_.DrawEnd(s);
    } else {
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(160, 160, 0), kBlack);
        DrawGlobe(s, px, py, R, k, P, kPi / 30, false);
        arc(TSaturn::GetRingR(1, 0.0), Saturn->GetRingDeg(1, 0.0));
        arc(TSaturn::GetRingR(4, 0.0), Saturn->GetRingDeg(4, 0.0));
        arc(TSaturn::GetRingR(2, 1.0), Saturn->GetRingDeg(2, 1.0));
        Draw_.DrawEnd(s);
    }
}

void TAtlas::DrawImage(TSurface* s, int body, const BodyData& b, int realistic, int scale, int px,
                       int py) {
    const int R = static_cast<int>(std::sin(b.diam) * scale * 0.5);
    const double Rr = scale * b.diam * 0.5;
    switch (body) {
    case 0:
    case 1:
    case 2:
    case 9:
        DrawPhase(s, body, b, realistic, R, px, py);
        return;
    case 3:
        DrawJupiterImage(s, realistic, Rr, px, py);
        return;
    case 4:
        DrawSaturnImage(s, realistic, Rr, px, py);
        return;
    default:
        break;
    }
    unsigned long pen = kYellow, fill = RGB(80, 160, 80);
    if (body == 6) fill = RGB(112, 160, 192);
    if (body == 7) fill = RGB(160, 144, 80);
    if (body == 8) {
        pen = RGB(255, 0, 0);
        fill = RGB(192, 48, 32);
    }
    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, pen, fill);
    s->Ellipse(px - R, py - R, px + R, py + R);
    Draw_.DrawEnd(s);
}

void TAtlas::DrawBodies(int names, int realistic) {
    TSurface* s = Dib.GetSurface();
    const int scale = Scale == 0 ? 200 : Scale;
    for (int body = 0; body < BodyCount; ++body) {
        BodyData b;
        if (!ReadBody(body, b)) continue;
        double tra, tdec;
        Topocentric(b.ra, b.dec, b.distKm, tra, tdec);
        int px, py;
        const bool vis = ToPixel(tra, tdec, px, py);
        if (vis) {
            const int R = static_cast<int>(std::sin(b.diam) * scale * 0.5);
            const int radius = R < 4 ? 3 : R;
            if (-radius < px && px < ViewW + radius && -radius < py && py < ViewH + radius) {
                if (R < 4) {
                    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kYellow, kBlack);
                    s->Ellipse(px - 3, py - 3, px + 3, py + 3);
                    Draw_.DrawEnd(s);
                } else {
                    DrawImage(s, body, b, realistic, scale, px, py);
                }
                if (names == 1) {
                    Draw_.TextStart(s, LabelFace, 8, 4, 0);
                    s->SetTextColor(kLabelGrey);
                    s->SetBkMode(TSurface::TRANSPARENT);
                    CentredText(s, px, py + radius + 2, b.name);
                    Draw_.TextEnd(s);
                }
            }
        }
        if (body == 3 && scale >= 17000) DrawSatellites(names, realistic, b.distKm);
    }
}

void TAtlas::DrawSatellites(int names, int realistic, double jupiterDistKm) {
    TSurface* s = Dib.GetSurface();
    for (int i = 0; i < 4; ++i) {
        double tra, tdec;
        Topocentric(Jupiter->SatRa[i], Jupiter->SatDec[i], jupiterDistKm, tra, tdec);
        int px, py;
        if (!ToPixel(tra, tdec, px, py)) continue;
        if (!(-1 <= px && px < ViewW + 2 && -1 <= py && py < ViewH + 2)) continue;
        if (realistic)
            Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(192, 112, 48), RGB(192, 112, 48));
        else
            Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kYellow, kBlack);
        s->Ellipse(px - 2, py - 2, px + 2, py + 2);
        Draw_.DrawEnd(s);
        if (names == 1) {
            Draw_.TextStart(s, LatinFace, 8, 4, 0);
            s->SetTextColor(kLabelGrey);
            s->SetBkMode(TSurface::TRANSPARENT);
            CentredText(s, px, py + 4, TJupiter::GetGaliName(11 + i, Language));
            Draw_.TextEnd(s);
        }
    }
}

void TAtlas::DrawBodyImage(int body, TSurface* surface, int realistic, int scale, int px, int py) {
    BodyData b;
    if (!ReadBody(body, b)) return;
    DrawImage(surface, body, b, realistic, scale, px, py);
}

void TAtlas::DrawJupiterSystem(TSurface* s, int realistic, int scale, int cx, int cy) {
    if (!Jupiter) return;
    DrawBodyImage(3, s, realistic, scale, cx, cy);
    const BodyPlace jp = PlaceBody(3);
    for (int i = 0; i < 4; ++i) {
        double tra, tdec;
        Topocentric(Jupiter->SatRa[i], Jupiter->SatDec[i], Jupiter->EarthDistKm, tra, tdec);
        double x, y;
        Project(Projection, &x, &y, jp.dec, jp.ra, tdec, tra);
        const int sx = static_cast<int>(scale * x + cx), sy = static_cast<int>(scale * y + cy);
        if (realistic)
            Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(192, 112, 48), RGB(192, 112, 48));
        else
            Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kYellow, kBlack);
        s->Ellipse(sx - 1, sy - 1, sx + 1, sy + 1);
        Draw_.DrawEnd(s);
        Draw_.TextStart(s, LatinFace, 8, 4, 0);
        s->SetTextColor(kLabelGrey);
        s->SetBkMode(TSurface::TRANSPARENT);
        CentredText(s, sx, sy + 3, TJupiter::GetGaliName(11 + i, Language));
        Draw_.TextEnd(s);
    }
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
        std::vector<TPoint> poly;
        for (int k = 0; k < o.count; ++k) {
            if (o.ra[k] == 10.0 && o.dec[k] == 10.0) {
                if (!poly.empty()) s->Polygon(poly.data(), static_cast<int>(poly.size()));
                poly.clear();
                continue;
            }
            const int x =
                static_cast<int>(cx - f * (d / 2) + f * (d - (o.ra[k] - raLo) / raSpan * d));
            const int y =
                static_cast<int>(cy - f * (d / 2) + f * (d - (o.dec[k] - decLo) / decSpan * d));
            poly.push_back({x, y});
        }
        if (!poly.empty()) s->Polygon(poly.data(), static_cast<int>(poly.size()));
    } else if (r.pa != 0 && r.major > 0 && r.minor / r.major != 0.0 && r.minor / r.major != 1.0 &&
               std::isfinite(r.minor / r.major)) {
        const double q = r.minor / r.major;
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

// ---------------------------------------------------------------- markers

void TAtlas::SetMarkerCount(int count) {
    Markers.assign(std::clamp(count, 0, MaxMarkers), TMarker{});
}

void TAtlas::SetMarker(int n, const TMarker& marker) {
    if (n < 1 || n > static_cast<int>(Markers.size())) return;
    Markers[n - 1] = marker;
}

void TAtlas::SetMarkerList(const int* identities) {
    MarkerList.clear();
    if (!identities) return;
    for (const int* p = identities; *p != 0; ++p)
        MarkerList.push_back(*p);
}

void TAtlas::DrawMarkers() {
    if (Markers.empty() || MarkerList.empty()) return;
    auto shown = [&](int id) {
        return std::find(MarkerList.begin(), MarkerList.end(), id) != MarkerList.end();
    };
    TSurface* s = Dib.GetSurface();
    const int scale = Scale == 0 ? 200 : Scale;
    for (const TMarker& m : Markers) {
        if (!shown(m.id)) continue;
        double x, y;
        const bool vis = Project(Projection, &x, &y, CenterDec, CenterRa, m.dec, m.ra);
        const double fx = scale * x + ViewW / 2, fy = scale * y + ViewH / 2;
        const TMarker* next = nullptr;
        for (const TMarker& o : Markers)
            if (o.id == m.id && o.seq == m.next && &o != &m) {
                next = &o;
                break;
            }
        if (vis && next) {
            double nx, ny;
            if (Project(Projection, &nx, &ny, CenterDec, CenterRa, next->dec, next->ra)) {
                const double ex = scale * nx + ViewW / 2, ey = scale * ny + ViewH / 2;
                const bool dotted = m.lineStyle == 1 || m.lineStyle == 3;
                Draw_.DrawStart(s, dotted ? TSurface::PS_DOT : TSurface::PS_SOLID, 1, m.lineColour,
                                m.lineColour);
                bool endKept = false;
                ClippedLine(fx, fy, ex, ey, endKept);
                Draw_.DrawEnd(s);
                if (dotted && endKept) {
                    // Arrowhead at the following point: two 10-pixel strokes at
                    // +-0.55 rad from the line, starting 5 pixels back.
                    const double dir = std::atan2(ey - fy, ex - fx);
                    const double bx = ex - 5 * std::cos(dir), by = ey - 5 * std::sin(dir);
                    Draw_.DrawStart(s, TSurface::PS_SOLID, 1, m.lineColour, m.lineColour);
                    for (int sgn = -1; sgn <= 1; sgn += 2) {
                        const double a = dir + kPi + sgn * 0.55;
                        s->MoveTo(static_cast<int>(bx), static_cast<int>(by));
                        s->LineTo(static_cast<int>(bx + 10 * std::cos(a)),
                                  static_cast<int>(by + 10 * std::sin(a)));
                    }
                    Draw_.DrawEnd(s);
                }
            }
        }
        if (!vis) continue;
        const int px = static_cast<int>(fx), py = static_cast<int>(fy);
        if (!(px > 0 && px < ViewW && py > 0 && py < ViewH)) continue;
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, m.colour, m.filled == 1 ? m.colour : kBlack);
        switch (m.shape) {
        case 1:
            s->Ellipse(px - 3, py - 3, px + 4, py + 4);
            break;
        case 2:
            s->MoveTo(px - 3, py - 3);
            s->LineTo(px + 4, py + 4);
            s->MoveTo(px + 3, py - 3);
            s->LineTo(px - 4, py + 4);
            break;
        case 3: {
            const TPoint t[3] = {{px, py - 4}, {px + 4, py + 3}, {px - 4, py + 3}};
            s->Polygon(t, 3);
            break;
        }
        case 4: {
            const TPoint q[4] = {
                {px - 3, py - 3}, {px + 3, py - 3}, {px + 3, py + 4}, {px - 3, py + 4}};
            s->Polygon(q, 4);
            break;
        }
        case 5: {
            const TPoint a[7] = {{px + 1, py - 1},   {px + 1, py - 13},  {px + 5, py - 9},
                                 {px + 14, py - 18}, {px + 18, py - 14}, {px + 9, py - 5},
                                 {px + 13, py - 1}};
            s->Polygon(a, 7);
            break;
        }
        default:
            break;
        }
        Draw_.DrawEnd(s);
        Draw_.TextStart(s, LabelFace, 9, 4, 0);
        s->SetTextColor(kLabelGrey);
        s->SetBkMode(TSurface::TRANSPARENT);
        s->TextOut(px - 3, py + 4, m.name);
        Draw_.TextEnd(s);
    }
}

// ---------------------------------------------------------------- picking

int TAtlas::Pick(int px, int py, int tolerance, TPickEntry* list) {
    std::vector<TPickEntry> out;
    out.push_back({1, 0});
    Unproject(Projection, px, py, &PickDec, &PickRa, CenterDec, CenterRa);
    const int scale = Scale == 0 ? 200 : Scale;
    auto inSquare = [&](int x, int y) {
        return x >= px - tolerance && x <= px + tolerance && y >= py - tolerance &&
               y <= py + tolerance;
    };

    // Stars: a declination band of 5 degrees around the picked point and a
    // right-ascension band as wide on the sky, which covers the tolerance
    // square at every scale the atlas offers.
    double decLo = PickDec - kFiveDeg, decHi = PickDec + kFiveDeg;
    bool allRa = false;
    if (PickDec > kPi / 2 - kFiveDeg) {
        decLo = kPi / 2 - kFiveDeg;
        decHi = kPi / 2 + 1;
        allRa = true;
    } else if (PickDec < -(kPi / 2 - kFiveDeg)) {
        decLo = -kPi / 2 - 1;
        decHi = -(kPi / 2 - kFiveDeg);
        allRa = true;
    }
    double raHalf = kPi;
    if (!allRa) {
        const double c = std::cos(std::fabs(PickDec) + kFiveDeg);
        raHalf = c > 1e-6 ? std::min(kPi, kFiveDeg / c) : kPi;
        if (raHalf >= kPi) allRa = true;
    }
    for (int c = 0; c < StarCount && out.size() < MaxPick; ++c) {
        const TStar* cat = Star[c];
        if (!cat) continue;
        for (int i = 0; i < cat->Count && out.size() < MaxPick; ++i) {
            const TStarRecord& r = cat->Records[i];
            if (!(r.dec > decLo && r.dec < decHi)) continue;
            if (!allRa && std::fabs(AngleDiff(r.ra, PickRa)) >= raHalf) continue;
            int x, y;
            if (!ToPixel(r.ra, r.dec, x, y)) continue;
            if (inSquare(x, y)) out.push_back({2, i});
        }
    }

    if (Nebula) {
        for (int i = 0; i < Nebula->Count && out.size() < MaxPick; ++i) {
            const TNebulaRecord& r = Nebula->Records[i];
            if (!InWindow(r.ra, r.dec)) continue;
            int x, y;
            if (!ToPixel(r.ra, r.dec, x, y)) continue;
            const int rad = HalfAxisPixels(scale, r.major);
            if (DiscMeetsSquare(x, y, rad, px, py, tolerance)) out.push_back({4, i});
        }
    }

    for (int body = 0; body < BodyCount && out.size() < MaxPick; ++body) {
        const BodyPlace p = PlaceBody(body);
        if (!p.present) continue;
        int x, y;
        if (ToPixel(p.ra, p.dec, x, y)) {
            const int R = static_cast<int>(scale * p.diam * 0.5);
            if (DiscMeetsSquare(x, y, R, px, py, tolerance)) out.push_back({3, body});
        }
        if (body != 3) continue;
        for (int i = 0; i < 4 && out.size() < MaxPick; ++i) {
            double tra, tdec;
            Topocentric(Jupiter->SatRa[i], Jupiter->SatDec[i], Jupiter->EarthDistKm, tra, tdec);
            int sx, sy;
            if (!ToPixel(tra, tdec, sx, sy)) continue;
            if (std::abs(sx - px) <= tolerance + 1 && std::abs(sy - py) <= tolerance + 1)
                out.push_back({5, 11 + i});
        }
    }

    const int n = static_cast<int>(std::min<size_t>(out.size(), MaxPick));
    for (int i = 0; i < n; ++i)
        list[i] = out[i];
    return n;
}
