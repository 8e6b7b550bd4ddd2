// The atlas: construction, switches, the projection and the visible window.
#include "render/Clsatlas.h"

#include <algorithm>
#include <bit>
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
#include "render/Atlasshared.h"

using namespace atlasdetail;
namespace {

// An angle with its sine and cosine, worked out again only for another
// angle (told apart by bit pattern, so that -0 keeps its own).
struct TTrigMemo {
    double Angle = 0.0, Sin = 0.0, Cos = 1.0;
    const TTrigMemo& Of(double a) {
        if (std::bit_cast<uint64_t>(a) != std::bit_cast<uint64_t>(Angle)) {
            Angle = a;
            Sin = std::sin(a);
            Cos = std::cos(a);
        }
        return *this;
    }
};
// The last declination and hour angle projected on this thread: grid lines
// hold one coordinate while the other moves. Each drawing thread has its
// own; the values depend on nothing else.
thread_local TTrigMemo tDec, tHour;

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

void TAtlas::CopyView(const TAtlas& from, int factor) {
    for (int c = 0; c < MaxStarCatalogues; ++c)
        Star[c] = from.Star[c];
    StarCount = from.StarCount;
    Nebula = from.Nebula;
    Mercury = from.Mercury;
    Venus = from.Venus;
    Mars = from.Mars;
    Jupiter = from.Jupiter;
    Saturn = from.Saturn;
    Uranus = from.Uranus;
    Neptune = from.Neptune;
    Pluto = from.Pluto;
    Sun = from.Sun;
    Moon = from.Moon;
    MinorMarks = from.MinorMarks;
    MinorTrack = from.MinorTrack;
    Location = from.Location;
    Mjd = from.Mjd;
    LabelFace = from.LabelFace;
    Draw_.SetChar(from.Draw_.GetChar());
    std::copy(std::begin(from.Switch), std::end(from.Switch), std::begin(Switch));
    CenterRa = from.CenterRa;
    CenterDec = from.CenterDec;
    Sens = from.Sens;
    Scale = from.Scale * factor;
    ViewW = from.ViewW * factor;
    ViewH = from.ViewH * factor;
    Markers = from.Markers;
    MarkerList = from.MarkerList;
    Names = from.Names;
    TargetKind = from.TargetKind;
    TargetNumber = from.TargetNumber;
    TargetRa = from.TargetRa;
    TargetDec = from.TargetDec;
    Rings = from.Rings;
    FixedLimit = from.FixedLimit;
    LabelLimit = from.LabelLimit;
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
    CentreTrig(centreDec);
    const TTrigMemo& d = tDec.Of(dec);
    return ProjectTrig(d.Sin, d.Cos, centreRa - ra, *x, *y);
}

bool TAtlas::ProjectTrig(double sinDec, double cosDec, double h, double& x, double& y) {
    const TTrigMemo& hour = tHour.Of(h);
    const double cosH = hour.Cos;
    const double m = sinDec * SinDec0 + cosDec * CosDec0 * cosH;
    // A position that is not a number lies nowhere on the chart.
    if (!std::isfinite(m)) {
        x = y = 0.0;
        return false;
    }
    if (m >= 1.0) {
        x = y = 0.0;
        return true;
    }
    const double s = std::sqrt(1.0 - m * m);
    const double a = std::atan(m / s);
    if (a < 0.0) {
        x = y = 0.0;
        return false;
    }
    const double k = (kPi / 2 - a) / s;
    x = k * cosDec * hour.Sin;
    y = k * (cosDec * SinDec0 * cosH - sinDec * CosDec0);
    return true;
}

namespace {
double DistanceFactor(double m) {
    const double s = std::sqrt(1.0 - m * m);
    return (kPi / 2 - std::atan(m / s)) / s;
}
} // namespace

const TAtlas::TDistanceFit& TAtlas::SharedDistanceFit() {
    static const TDistanceFit fit = [] {
        constexpr int N = TDistanceFit::N, M = 64;
        double c[N];
        for (int j = 0; j < N; ++j) {
            double sum = 0.0;
            for (int i = 0; i < M; ++i) {
                const double th = kPi * (i + 0.5) / M;
                sum += DistanceFactor((std::cos(th) + 1.0) / 2.0) * std::cos(j * th);
            }
            c[j] = 2.0 * sum / M;
        }
        c[0] /= 2.0;
        // Powers of u of each Chebyshev polynomial: T(j+1) = 2u T(j) - T(j-1).
        double t[N][N] = {};
        t[0][0] = 1.0;
        t[1][1] = 1.0;
        for (int j = 1; j + 1 < N; ++j)
            for (int k = 0; k < N; ++k)
                t[j + 1][k] = (k > 0 ? 2.0 * t[j][k - 1] : 0.0) - t[j - 1][k];
        TDistanceFit p;
        for (int j = 0; j < N; ++j)
            for (int k = 0; k < N; ++k)
                p.a[k] += c[j] * t[j][k];
        double worst = 0.0;
        for (int i = 0; i <= 20000; ++i) {
            const double m = 1e-6 + i * (0.98 / 20000);
            const double exact = DistanceFactor(m);
            worst = std::max(worst, std::fabs(p(2.0 * m - 1.0) - exact) / exact);
        }
        p.ok = worst < 1e-11;
        return p;
    }();
    return fit;
}

bool TAtlas::PlaceExact(double sinDec, double cosDec, double h, int& px, int& py) {
    double x, y;
    if (!ProjectTrig(sinDec, cosDec, h, x, y)) return false;
    px = PixelX(x);
    py = PixelY(y);
    return true;
}

const TStarIndex& TAtlas::StarZones(int c) {
    if (StarIndex.size() < static_cast<size_t>(StarCount)) StarIndex.resize(StarCount);
    // Only the main catalogue keeps its places' sines and cosines: the deep
    // one would need 15 MB for them, and its stars are drawn a few at a time.
    StarIndex[c].Build(*Star[c], c == 0);
    return StarIndex[c];
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

void TAtlas::CentreTrig(double centreDec) {
    if (std::bit_cast<uint64_t>(centreDec) != std::bit_cast<uint64_t>(CachedDec)) {
        CachedDec = centreDec;
        SinDec0 = std::sin(centreDec);
        CosDec0 = std::cos(centreDec);
    }
}

bool TAtlas::ToPixel(double ra, double dec, int& px, int& py) {
    CentreTrig();
    // The same sines and cosines Project takes, then the pixel as PlacePixel
    // finds it (Project's own where they could differ).
    const TTrigMemo& d = tDec.Of(dec);
    const double h = CenterRa - ra;
    const TTrigMemo& hour = tHour.Of(h);
    return PlaceTrig({h, hour.Sin, hour.Cos}, {dec, d.Sin, d.Cos}, px, py);
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
