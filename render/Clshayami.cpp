#include "render/Clshayami.h"

#include "render/Clsdrawtarget.h"
#include "render/Clsfont.h"
#include "render/Targetmark.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "astro/Clsjupiter.h"
#include "astro/Clsmars.h"
#include "astro/Clsmercury.h"
#include "astro/Clsmjd.h"
#include "astro/Clsmoon.h"
#include "astro/Clsneptune.h"
#include "astro/Clspluto.h"
#include "astro/Clssaturn.h"
#include "astro/Clssun.h"
#include "astro/Clsuranus.h"
#include "astro/Clsvenus.h"
#include "catalog/Clsstar.h"
#include "plan/Clshorizon.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
constexpr double kLineLimit = 2 * kPi / 3;         // 120 degrees from the zenith
constexpr double kLabelLimit = 1.6580627893946114; // 95 degrees
constexpr unsigned long kBlack = RGB(0, 0, 0);
constexpr unsigned long kRed = RGB(255, 0, 0);
constexpr unsigned long kBlue = RGB(0, 0, 255);
constexpr unsigned long kYellow = RGB(255, 255, 0);
constexpr unsigned long kWhite = RGB(255, 255, 255);
constexpr unsigned long kGrey = RGB(136, 136, 136);
constexpr unsigned long kLightGrey = RGB(200, 200, 200);
constexpr unsigned long kMilkyWay = RGB(16, 53, 53);
constexpr unsigned long kEquator = RGB(112, 16, 16);
constexpr unsigned long kEcliptic = RGB(112, 112, 16);
constexpr unsigned long kSunPen = RGB(255, 100, 100);
constexpr unsigned long kGround = RGB(24, 44, 24);
constexpr unsigned long kGroundEdge = RGB(80, 160, 80); // the atlas's horizon line
constexpr unsigned long kTarget = RGB(80, 255, 255);
// The equinox of the catalogues, the constellation and the Milky Way tables (the same
// number the atlas carries the bodies back to).
constexpr double kCatalogueEpoch = TMjd::J2000;

unsigned long SpectColour(int code) {
    switch (code) {
    case 1:
        return RGB(255, 100, 100);
    case 2:
        return RGB(255, 128, 80);
    case 3:
        return RGB(255, 255, 80);
    case 4:
        return RGB(255, 255, 128);
    case 5:
        return RGB(200, 200, 200);
    case 6:
        return RGB(80, 255, 255);
    case 7:
        return RGB(128, 128, 255);
    default:
        return RGB(255, 255, 255);
    }
}

// Pixel coordinates far off the chart are kept in a range that stays an int.
int Trunc(double v) {
    if (!(v <= 1e9)) v = 1e9;
    if (v < -1e9) v = -1e9;
    return static_cast<int>(v);
}
} // namespace

THayami::THayami(int language, int width, int height)
    : Lng(138.0 * kPi / 180.0), Lat(35.8 * kPi / 180.0), Language(language) {
    FontName = language == 0 ? "\uff2d\uff33 \u30b4\u30b7\u30c3\u30af" : "Arial";
    Draw.SetChar(language == 0 ? 128 : 0);
    const unsigned long colours[] = {RGB(0, 0, 0),       RGB(255, 0, 0),     RGB(0, 0, 255),
                                     RGB(255, 255, 0),   RGB(255, 255, 255), RGB(255, 100, 100),
                                     RGB(255, 128, 80),  RGB(255, 255, 80),  RGB(255, 255, 128),
                                     RGB(200, 200, 200), RGB(80, 255, 255),  RGB(128, 128, 255),
                                     RGB(255, 255, 255), RGB(136, 136, 136), RGB(16, 53, 53),
                                     RGB(112, 16, 16),   RGB(112, 112, 16)};
    for (unsigned long c : colours)
        DIB.AddColor(c);
    DIB.Create(width, height);
    DIB.FillIdx(0);
    Width = DIB.GetWidth();
    Height = DIB.GetHeight();
}

double THayami::AtnEx(double x, double y) {
    // atan(y / x) with x = 0 read as the limit, so that a point straight up or
    // down still gets its quadrant.
    double a;
    if (x == 0)
        a = y > 0 ? kPi / 2 : (y < 0 ? -kPi / 2 : 0);
    else
        a = std::atan(y / x);
    if (x <= 0) return a + kPi;
    if (y <= 0) return a + kTwoPi;
    return a;
}

void THayami::HeightG(float ra, float dec, double lat, double lst, long width, long height,
                      double& zd, int& x, int& y) {
    if (lat != CacheLat) {
        CacheLat = lat;
        SinLat = std::sin(lat);
        CosLat = std::cos(lat);
    }
    const double h = lst - ra;
    const double sd = std::sin(dec), cd = std::cos(dec), ch = std::cos(h);
    const double m = sd * SinLat + cd * CosLat * ch;
    // At the zenith or nadir (and for a damaged position that is not a number)
    // there is no direction to project along.
    if (!(m > -1 && m < 1)) {
        zd = kPi;
        return;
    }
    const double c = std::sqrt(1 - m * m);
    const double z = kPi / 2 - std::atan(m / c);
    zd = z;
    x = Trunc((z * cd * std::sin(h) / c / kPi + 0.5) * width);
    y = Trunc(((cd * SinLat * ch - sd * CosLat) * z / c / kPi + 0.5) * height);
}

bool THayami::GetPosition(int x, int y, double& dec, double& ra) {
    const int cx = Width / 2, cy = Height / 2;
    const double ddx = x - cx, ddy = y - cy;
    if (std::sqrt(ddx * ddx + ddy * ddy) > cx) return false;
    if (Width <= 0 || Height <= 0) return false;
    const double dx = ddx / Width * 180.0, dy = ddy / Height * 180.0;
    const double z = std::sqrt(dx * dx + dy * dy);
    const double sinLat = std::sin(Lat), cosLat = std::cos(Lat);
    if (z < 1e-14) {
        dec = Lat;
        ra = Lst;
    } else {
        const double sh = std::fabs(std::sin((90.0 - z) * kPi / 180.0));
        const double chh = std::sqrt(1 - sh * sh);
        double sdec = sinLat * sh - cosLat * chh * (dy / z);
        if (sdec > 1) sdec = 1;
        if (sdec < -1) sdec = -1;
        const double cdec = std::sqrt(1 - sdec * sdec);
        dec = cdec < 1e-14 ? (sdec > 0 ? kPi / 2 : -kPi / 2) : std::atan(sdec / cdec);
        // On the rim (the horizon) sin h is 0 but the hour angle is still
        // fixed by its two sides; only where both vanish is it taken as 0.
        // A cosine side of exactly 0 gets its quadrant from the sine side.
        const double hx = sh - sinLat * sdec, hy = (dx / z) * chh * cosLat;
        double hour = 0;
        if (hx != 0)
            hour = AtnEx(hx, hy);
        else if (hy != 0)
            hour = hy > 0 ? kPi / 2 : 3 * kPi / 2;
        ra = Lst - hour;
    }
    if (ra < 0) ra += kTwoPi;
    return true;
}

void THayami::ToDate(double ra, double dec, double& raDate, double& decDate) const {
    TMjd::Epoch(ra, dec, kCatalogueEpoch, MJD, 0.0, 0.0, raDate, decDate);
    raDate -= kTwoPi * std::floor(raDate / kTwoPi);
}

void THayami::ToStandard(double raDate, double decDate, double& ra, double& dec) const {
    TMjd::Epoch(raDate, decDate, MJD, kCatalogueEpoch, 0.0, 0.0, ra, dec);
    ra -= kTwoPi * std::floor(ra / kTwoPi);
}

void THayami::DrawRgn(TSurface* surface, const TRegion& region, unsigned long colour, long width) {
    if (!surface) return;
    surface->FrameRgn(region, colour, static_cast<int>(width), static_cast<int>(width));
}

void THayami::DrawHayami(int flags) {
    TSurface* s = DIB.GetSurface();
    if (!s) return;
    if (Star) Star->MoveTo(MJD); // the stars where they stand at the moment
    // Size from the raster; clear to black.
    Width = DIB.GetWidth();
    Height = DIB.GetHeight();
    Placer.Reset(Width, Height);
    Pending.clear();
    NameBoxes.clear();
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kBlack, kBlack);
    s->Rectangle(0, 0, Width, Height);
    Draw.DrawEnd(s);
    // A vector page cuts everything at the horizon as it is drawn.
    if (s->Target()) s->Target()->ClipEllipse(0, 0, Width - 1, Height - 1);
    // Local sidereal time.
    Lst = std::fmod(TMjd::MeanSiderealTime(MJD) + Lng, kTwoPi);
    if (Lst < 0.0) Lst += kTwoPi;
    // Layers, each drawn over the previous ones.
    DrawMilky();
    if (flags & 1) {
        Draw.DrawStart(s, TSurface::PS_SOLID, 1, kRed, kBlack);
        s->Arc(0, 0, Width - 1, Height - 1, 0, 0, 0, 0);
        Draw.DrawEnd(s);
    }
    DrawLines();
    DrawStars();
    DrawEquator();
    DrawEcliptic();
    DrawPoles();
    DrawMinor();
    BodyMark marks[10];
    DrawBodies(marks);
    // What stands behind the trees is hidden; names stay readable over them.
    DrawGround();
    // The compass letters and the target mark first, then the labels in
    // order of importance, each where nothing more important lies.
    DrawCompass();
    DrawTargetMark(marks);
    AddConstellationNames();
    if (StarNames) AddStarNames();
    AddBodyNames(marks);
    WriteLabels();
    // Nothing beyond the horizon.
    if (!s->Target()) ClipHorizon();
}

void THayami::DrawMilky() {
    TSurface* s = DIB.GetSurface();
    std::vector<std::vector<TBandVertex>> outlines;
    for (int k = 0; k < 2; ++k) {
        const int n = std::min<int>(Milky.Count[k], static_cast<int>(Milky.Outline[k].size()));
        std::vector<TBandVertex> projected;
        for (int i = 0; i < n; ++i) {
            const TMilkyPoint& v = Milky.Outline[k][i];
            double ra, dec;
            ToDate(v.ra, v.dec, ra, dec);
            double zd = kPi;
            int x = 0, y = 0;
            HeightG(static_cast<float>(ra), static_cast<float>(dec), Lat, Lst, Width, Height, zd, x,
                    y);
            TBandVertex b{double(x), double(y), BAND_FAR};
            if (zd <= kLineLimit)
                b.Kind =
                    (x >= 0 && x <= Width && y >= 0 && y <= Height) ? BAND_VISIBLE : BAND_OUTSIDE;
            projected.push_back(b);
        }
        outlines.push_back(std::move(projected));
    }
    const auto pieces = StitchBand(outlines, Width, Height);
    if (pieces.empty()) return;
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kMilkyWay, kMilkyWay);
    s->PolyPolygon(pieces);
    Draw.DrawEnd(s);
}

void THayami::DrawLines() {
    TSurface* s = DIB.GetSurface();
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kBlue, kBlue);
    const int n = std::min<int>(Const.LineCount, static_cast<int>(Const.Lines.size()));
    for (int i = 0; i < n; ++i) {
        const TConstellationLine& l = Const.Lines[i];
        double ra1, dec1, ra2, dec2;
        ToDate(l.ra1, l.dec1, ra1, dec1);
        ToDate(l.ra2, l.dec2, ra2, dec2);
        double z1 = kPi, z2 = kPi;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        HeightG(static_cast<float>(ra1), static_cast<float>(dec1), Lat, Lst, Width, Height, z1, x1,
                y1);
        HeightG(static_cast<float>(ra2), static_cast<float>(dec2), Lat, Lst, Width, Height, z2, x2,
                y2);
        if (z1 > kLineLimit || z2 > kLineLimit) continue;
        if (y1 < 1 || y1 > Height || y2 < 1 || y2 > Height) continue;
        if (x1 < 1 || x1 > Width || x2 < 1 || x2 > Width) continue;
        s->MoveTo(x1, y1);
        s->LineTo(x2, y2);
    }
    Draw.DrawEnd(s);
}

void THayami::DrawStars() {
    if (!Star || !Star->Records) return;
    TSurface* s = DIB.GetSurface();
    for (int i = 0; i < Star->Count; ++i) {
        const TStarRecord& r = Star->Records[i];
        const int m = r.mag;
        if (m > 490) continue;
        double ra, dec;
        ToDate(r.ra, r.dec, ra, dec);
        double zd = kPi;
        int x = 0, y = 0;
        HeightG(static_cast<float>(ra), static_cast<float>(dec), Lat, Lst, Width, Height, zd, x, y);
        if (!(zd < kPi / 2) || y <= 0 || y >= Height) continue;
        const unsigned long colour = SpectColour(r.spect);
        const unsigned char idx = static_cast<unsigned char>(DIB.Col2Idx(colour));
        // Its dot keeps the labels of fainter stars off.
        if (m >= 350)
            Placer.Block({x, y, x + 1, y + 1}, m);
        else if (m >= 250)
            Placer.Block({x, y, x + 2, y + 2}, m);
        else if (m >= 150)
            Placer.Block({x - 1, y - 1, x + 2, y + 2}, m);
        else
            Placer.Block({x - 2, y - 2, x + 3, y + 3}, m);
        if (TDrawTarget* t = s->Target()) {
            t->Star(x + 0.5, y + 0.5, StarDiscDiameter(m, 490), colour);
        } else if (m >= 350) {
            DIB.DotIdx(x, y, idx);
        } else if (m >= 250) {
            DIB.DotIdx(x, y, idx);
            DIB.DotIdx(x + 1, y, idx);
            DIB.DotIdx(x, y + 1, idx);
            DIB.DotIdx(x + 1, y + 1, idx);
        } else if (m >= 150) {
            DIB.DotIdx(x - 1, y, idx);
            DIB.DotIdx(x + 1, y, idx);
            DIB.DotIdx(x, y, idx);
            DIB.DotIdx(x, y - 1, idx);
            DIB.DotIdx(x, y + 1, idx);
        } else {
            Draw.DrawStart(s, TSurface::PS_SOLID, 1, colour, colour);
            s->Ellipse(x - 2, y - 2, x + 3, y + 3);
            Draw.DrawEnd(s);
        }
    }
}

void THayami::DrawEquator() {
    TSurface* s = DIB.GetSurface();
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kEquator, kEquator);
    bool lifted = true;
    for (float ra = 0; ra <= 6.28318530717958; ra += 0.02f) {
        const float r = ra == 0 ? 0.01f : ra;
        double zd = kPi;
        int x = 0, y = 0;
        HeightG(r, 0.0f, Lat, Lst, Width, Height, zd, x, y);
        if (zd > kPi / 2) {
            lifted = true;
            continue;
        }
        if (lifted)
            s->MoveTo(x, y);
        else
            s->LineTo(x, y);
        lifted = false;
    }
    Draw.DrawEnd(s);
}

double THayami::Obliquity(double mjd) {
    const double t = (mjd - 51544.0) / 36525.0;
    return (23.439291 - 0.01300417 * t - 1.64e-7 * t * t + 5.036e-7 * t * t * t) * kPi / 180.0;
}

void THayami::DrawEcliptic() {
    TSurface* s = DIB.GetSurface();
    const double tanEps = std::tan(Obliquity(MJD));
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kEcliptic, kEcliptic);
    bool lifted = true;
    int lastSign = 0;
    for (float ra = 0; ra <= 6.28318530717958; ra += 0.02f) {
        const float r = ra == 0 ? 0.01f : ra;
        const double dec = std::atan(tanEps * std::sin(r));
        double zd = kPi;
        int x = 0, y = 0;
        HeightG(r, static_cast<float>(dec), Lat, Lst, Width, Height, zd, x, y);
        if (zd > kPi / 2) {
            lifted = true;
            continue;
        }
        const int sign = Sgn(dec);
        if (lifted || sign != lastSign)
            s->MoveTo(x, y);
        else
            s->LineTo(x, y);
        lifted = false;
        lastSign = sign;
    }
    Draw.DrawEnd(s);
}

void THayami::DrawPoles() {
    TSurface* s = DIB.GetSurface();
    const int a = Width / 50;
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kRed, kRed);
    for (double dec : {kPi / 2, -kPi / 2}) {
        double zd = kPi;
        int x = 0, y = 0;
        HeightG(0.0f, static_cast<float>(dec), Lat, Lst, Width, Height, zd, x, y);
        // At a pole of the Earth the sky's pole stands at the zenith, where
        // the projection has no direction to go; its place is the centre.
        if (zd >= kPi && dec * Lat > 0 && std::fabs(Lat) > kPi / 2 - 1e-6) {
            zd = 0;
            x = Trunc(0.5 * Width);
            y = Trunc(0.5 * Height);
        }
        if (zd > kPi / 2) continue;
        s->MoveTo(x - a, y - a);
        s->LineTo(x + a + 1, y + a + 1);
        s->MoveTo(x - a, y + a);
        s->LineTo(x + a + 1, y - a - 1);
    }
    Draw.DrawEnd(s);
}

void THayami::DrawBodies(BodyMark (&marks)[10]) {
    TSurface* s = DIB.GetSurface();
    auto one = [&](int i, auto* body, int half, unsigned long pen) {
        BodyMark& m = marks[i];
        m.Half = half;
        m.Pen = pen;
        if (!body) return;
        body->SetMjd(MJD);
        m.Set = true;
        m.Zd = kPi;
        HeightG(static_cast<float>(body->Ra), static_cast<float>(body->Dec), Lat, Lst, Width,
                Height, m.Zd, m.X, m.Y);
        const char* name = body->GetName(Language);
        m.Name = name ? name : "";
        // Exactly at the zenith or nadir the projection gives no position.
        if (m.Zd >= kPi) return;
        Draw.DrawStart(s, TSurface::PS_SOLID, 1, pen, kBlack);
        s->Ellipse(m.X - half, m.Y - half, m.X + half, m.Y + half);
        Draw.DrawEnd(s);
        Placer.Block({m.X - half, m.Y - half, m.X + half, m.Y + half});
    };
    one(0, Mercury, 3, kYellow);
    one(1, Venus, 3, kYellow);
    one(2, Mars, 3, kYellow);
    one(3, Jupiter, 3, kYellow);
    one(4, Saturn, 3, kYellow);
    one(5, Uranus, 3, kYellow);
    one(6, Neptune, 3, kYellow);
    one(7, Pluto, 3, kYellow);
    one(8, Sun, 5, kSunPen);
    one(9, Moon, 5, kYellow);
}

void THayami::DrawMinor() {
    if (!MinorMarks) return;
    TSurface* s = DIB.GetSurface();
    for (const TMinorSky::TMark& m : *MinorMarks) {
        if (!(m.Mag <= kFaintest)) continue;
        double zd = kPi;
        int x = 0, y = 0;
        HeightG(static_cast<float>(m.Ra), static_cast<float>(m.Dec), Lat, Lst, Width, Height, zd, x, y);
        if (!(zd < kPi / 2)) continue;
        if (m.Comet) {
            // The tail's direction, drawn a fixed length: the disc is too small for more.
            double tzd = kPi;
            int tx = 0, ty = 0;
            HeightG(static_cast<float>(m.TailRa), static_cast<float>(m.TailDec), Lat, Lst, Width,
                    Height, tzd, tx, ty);
            const double len = std::hypot(tx - x, ty - y);
            Draw.DrawStart(s, TSurface::PS_SOLID, 1, RGB(80, 255, 255), kBlack);
            if (tzd < kPi && len > 0.5) {
                s->MoveTo(x, y);
                s->LineTo(x + static_cast<int>(std::lround(8 * (tx - x) / len)),
                          y + static_cast<int>(std::lround(8 * (ty - y) / len)));
            }
            s->Ellipse(x - 2, y - 2, x + 3, y + 3);
            Draw.DrawEnd(s);
        } else {
            Draw.DrawStart(s, TSurface::PS_SOLID, 1, RGB(255, 128, 80), RGB(255, 128, 80));
            s->Ellipse(x - 1, y - 1, x + 2, y + 2);
            Draw.DrawEnd(s);
        }
        Placer.Block({x - 2, y - 2, x + 3, y + 3}, static_cast<int>(m.Mag * 100));
        if (StarNames)
            AddLabel(static_cast<int>(m.Mag * 100), 1, RGB(200, 200, 200), x, y, 2,
                     TLabelPlacer::Right, m.Label);
    }
}

void THayami::AddLabel(int rank, int font, unsigned long colour, int x, int y, int reach,
                       int place, const std::string& text, bool forced) {
    if (text.empty()) return;
    Pending.push_back({forced ? INT_MIN + 1 : rank, font, colour, x, y, reach, place, forced, text});
}

bool THayami::InDisc(const TLabelPlacer::TBox& b) const {
    // Every corner pixel inside the horizon's circle (a hair within it).
    const double cx = (Width - 1) / 2.0, cy = (Height - 1) / 2.0;
    const double a = cx - 1.0, c = cy - 1.0;
    if (!(a > 0 && c > 0)) return false;
    for (const double x : {b.x0 + 0.5, b.x1 - 0.5})
        for (const double y : {b.y0 + 0.5, b.y1 - 0.5}) {
            const double u = (x - cx) / a, v = (y - cy) / c;
            if (u * u + v * v > 1.0) return false;
        }
    return true;
}

void THayami::AddStarNames() {
    if (!Star) return;
    for (int i = 0; i < Star->NamedCount; ++i) {
        const TNamedStar& n = Star->Named[i];
        if (n.record < 0 || n.record >= Star->Count) continue;
        double ra, dec;
        ToDate(n.ra, n.dec, ra, dec);
        double zd = kPi;
        int x = 0, y = 0;
        HeightG(static_cast<float>(ra), static_cast<float>(dec), Lat, Lst, Width, Height, zd, x, y);
        if (!(zd < kPi / 2)) continue;
        AddLabel(Star->Records[n.record].mag, 1, RGB(200, 200, 200), x, y, 2, TLabelPlacer::Right,
                 Language == 0 ? n.nameJpn : n.nameSci);
    }
}

void THayami::AddConstellationNames() {
    for (int i = 1; i <= 89 && i < TConstellation::RowCount; ++i) {
        const TConstellationRow& row = Const.Rows[i];
        double ra, dec;
        ToDate(row.ra, row.dec, ra, dec);
        double zd = kPi;
        int x = 0, y = 0;
        HeightG(static_cast<float>(ra), static_cast<float>(dec), Lat, Lst, Width, Height, zd, x, y);
        if (!(zd < kLabelLimit)) continue;
        // Over the fainter stars, clear of the brightest.
        AddLabel(150, 0, kGrey, x, y, 0, kCentred,
                 Language == 0 ? std::string(row.nameJpn ? row.nameJpn : "")
                               : std::string(row.abbr));
    }
}

void THayami::AddBodyNames(const BodyMark (&marks)[10]) {
    for (int i = 0; i < 10; ++i) {
        const BodyMark& m = marks[i];
        if (!m.Set || !(m.Zd < kLabelLimit)) continue;
        // The Sun and the Moon first, then the planets from Mercury out.
        // The chosen body's name goes outside its target mark.
        const bool chosen = TargetOn && TargetBody == i;
        AddLabel(-100000 + (i >= 8 ? i - 20 : i), 1, kLightGrey, m.X, m.Y,
                 chosen ? std::max(m.Half, 8) : m.Half, TLabelPlacer::Right, m.Name, chosen);
    }
}

void THayami::WriteLabels() {
    TSurface* s = DIB.GetSurface();
    std::shared_ptr<TFont> fonts[2];
    const int points[2] = {Language == 0 ? 7 : 8, 7};
    for (int k = 0; k < 2; ++k) {
        Draw.TextStart(s, FontName, points[k], 4, 0);
        fonts[k] = s->GetFont();
        Draw.TextEnd(s);
    }
    std::stable_sort(Pending.begin(), Pending.end(),
                     [](const TPending& a, const TPending& b) { return a.Rank < b.Rank; });
    const std::shared_ptr<TFont> oldFont = s->GetFont();
    const unsigned long oldColour = s->GetTextColor();
    const int oldMode = s->SetBkMode(TSurface::TRANSPARENT);
    for (const TPending& l : Pending) {
        TFont& font = *fonts[l.Font];
        const int w = font.TextWidth(l.Text), h = font.Ascent() + font.Descent();
        TLabelPlacer::TBox places[8];
        int n = 8;
        if (l.Place == kCentred) {
            n = 5;
            const int xs[5] = {l.X - w / 2, l.X - w / 2, l.X - w / 2, l.X - w, l.X};
            const int ys[5] = {l.Y, l.Y - h, l.Y + h, l.Y, l.Y};
            for (int k = 0; k < 5; ++k)
                places[k] = {xs[k], ys[k], xs[k] + w, ys[k] + h};
        } else {
            TLabelPlacer::Beside(l.X, l.Y, l.Reach, w, h, static_cast<TLabelPlacer::TSide>(l.Place),
                                 places);
        }
        // Only places wholly inside the horizon: the rest would be cut.
        int kept = 0;
        for (int k = 0; k < n; ++k)
            if (InDisc(places[k])) places[kept++] = places[k];
        TLabelPlacer::TBox box;
        if (!Placer.Place(places, kept, l.Rank, l.Forced, box)) continue;
        s->SelectFont(fonts[l.Font]);
        s->SetTextColor(l.Colour);
        s->TextOut(box.x0, box.y0, l.Text);
        NameBoxes.push_back({l.Text, box.x0, box.y0, w, h});
    }
    s->SelectFont(oldFont);
    s->SetTextColor(oldColour);
    s->SetBkMode(oldMode);
}

void THayami::DrawCompass() {
    TSurface* s = DIB.GetSurface();
    const int w = Width, h = Height;
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kRed, kRed);
    s->MoveTo(0, h / 2);
    s->LineTo(4, h / 2);
    s->MoveTo(w - 4, h / 2);
    s->LineTo(w, h / 2);
    s->MoveTo(w / 2, 0);
    s->LineTo(w / 2, 4);
    s->MoveTo(w / 2, h);
    s->LineTo(w / 2, h - 4);
    Draw.DrawEnd(s);
    Draw.TextStart(s, FontName, 10, 4, 0);
    s->SetTextColor(kRed);
    const int oldMode = s->SetBkMode(TSurface::TRANSPARENT);
    // Each letter as near its tick as it goes whole inside the horizon,
    // which cuts whatever lies outside; no label covers it.
    struct TLetter {
        const char* text;
        int x, y, dx, dy; // where it starts and the way it moves in
    };
    const TSize e = s->GetTextExtent("E"), wl = s->GetTextExtent("W");
    const TSize n = s->GetTextExtent("N"), sl = s->GetTextExtent("S");
    const TLetter letters[4] = {{"E", 2, h / 2 - e.cy / 2, 1, 0},
                                {"W", w - 2 - wl.cx, h / 2 - wl.cy / 2, -1, 0},
                                {"N", w / 2 - n.cx / 2, 2, 0, 1},
                                {"S", w / 2 - sl.cx / 2, h - 2 - sl.cy, 0, -1}};
    for (const TLetter& l : letters) {
        const TSize size = s->GetTextExtent(l.text);
        TLabelPlacer::TBox b{l.x, l.y, l.x + size.cx, l.y + size.cy};
        for (int step = 0; step < w / 4 && !InDisc(b); ++step)
            b = {b.x0 + l.dx, b.y0 + l.dy, b.x1 + l.dx, b.y1 + l.dy};
        Placer.Block(b);
        s->TextOut(b.x0, b.y0, l.text);
        NameBoxes.push_back({l.text, b.x0, b.y0, size.cx, size.cy});
    }
    s->SetBkMode(oldMode);
    Draw.TextEnd(s);
}

void THayami::SetHorizon(const THorizon* horizon) {
    Horizon = horizon;
    if (!horizon || DIB.Col2Idx(kGround) != 255) return;
    // A raster draws with the colours it had when it was made: made again.
    DIB.AddColor(kGround);
    DIB.AddColor(kGroundEdge);
    DIB.Create(DIB.GetWidth(), DIB.GetHeight());
    DIB.FillIdx(0);
}

void THayami::AziAltPixel(double az, double alt, double& x, double& y) const {
    const double r = (kPi / 2 - alt) / kPi; // of the chart's size; the rim at 1/2
    x = (0.5 - r * std::sin(az)) * Width;
    y = (0.5 - r * std::cos(az)) * Height;
}

void THayami::DrawGround() {
    if (!Horizon || Horizon->Flat()) return;
    TSurface* s = DIB.GetSurface();
    // The profile where objects appear on it (its altitude less refraction,
    // as rising and setting are reckoned), and the rim: the ground lies
    // between the two rings (even-odd), a profile below the horizon outside
    // the rim, where the clip takes it away.
    constexpr int kSteps = 720;
    std::vector<TPoint> edge, rim;
    for (int i = 0; i < kSteps; ++i) {
        const double az = kTwoPi * i / kSteps;
        double x, y;
        AziAltPixel(az, Horizon->RiseAltitude(az), x, y);
        edge.push_back({Trunc(std::floor(x)), Trunc(std::floor(y))});
        AziAltPixel(az, 0.0, x, y);
        rim.push_back({Trunc(std::floor(x)), Trunc(std::floor(y))});
    }
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kGround, kGround);
    s->PolyPolygon({edge, rim});
    Draw.DrawEnd(s);
    Draw.DrawStart(s, TSurface::PS_SOLID, 1, kGroundEdge, kGroundEdge);
    s->MoveTo(edge.back().x, edge.back().y);
    for (const TPoint& p : edge)
        s->LineTo(p.x, p.y);
    Draw.DrawEnd(s);
}

void THayami::DrawTargetMark(const BodyMark (&marks)[10]) {
    if (!TargetOn) return;
    double zd = kPi;
    int x = 0, y = 0;
    if (TargetBody >= 0) {
        const BodyMark& m = marks[TargetBody];
        if (!m.Set) return;
        zd = m.Zd;
        x = m.X;
        y = m.Y;
    } else {
        double ra, dec;
        ToDate(TargetRa, TargetDec, ra, dec);
        HeightG(static_cast<float>(ra), static_cast<float>(dec), Lat, Lst, Width, Height, zd, x, y);
    }
    if (!(zd < kPi / 2)) return;
    constexpr int a = 7;
    Placer.Block({x - a, y - a, x + a + 1, y + a + 1});
    DrawTargetCorners(Draw, DIB.GetSurface(), x, y, a, 3, 1, kTarget);
}

void THayami::ClipHorizon() {
    TDIB scratch;
    scratch.AddColor(kBlack);
    scratch.AddColor(kWhite);
    scratch.Create(Width, Height);
    scratch.FillIdx(0);
    TSurface* ss = scratch.GetSurface();
    TDraw d;
    d.DrawStart(ss, TSurface::PS_SOLID, 1, kWhite, kWhite);
    ss->Ellipse(0, 0, Width - 1, Height - 1);
    d.DrawEnd(ss);
    const unsigned char black = static_cast<unsigned char>(DIB.Col2Idx(kBlack));
    for (int y = 0; y < Height; ++y) {
        const uint8_t* mask = scratch.Row(y);
        uint8_t* row = DIB.Row(y);
        for (int x = 0; x < Width; ++x)
            if (mask[x] == 0) row[x] = black;
    }
}
