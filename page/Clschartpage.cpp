#include "page/Clschartpage.h"

#include "render/Clsatlas.h"
#include "render/Clsdrawtarget.h"
#include "render/Clshayami.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

// Draws through the target for one drawing, then the raster again.
struct TTargeted {
    TSurface* s;
    TTargeted(TSurface* surface, TDrawTarget& t) : s(surface) { s->SetTarget(&t); }
    ~TTargeted() { s->SetTarget(nullptr); }
};
} // namespace

TPageContent AtlasPage(TAtlas& a, bool print) {
    TPageContent c;
    c.Print = print;
    c.Width = a.GetViewWidth();
    c.Height = a.GetViewHeight();
    c.Draw = [&a](TDrawTarget& t) {
        TTargeted on(a.GetSurface(), t);
        a.Draw();
    };
    c.Sky = [&a](double x, double y, double& ra, double& dec) {
        a.Unproject(a.GetProjection(), static_cast<int>(x), static_cast<int>(y), &dec, &ra,
                    a.GetCenterDec(), a.GetCenterRa());
        return true;
    };
    double lo = a.RaMin, hi = a.RaMax, raMinor, decMinor;
    if (hi < lo) hi += 2 * kPi;
    TAtlas::GridSpacing(a.GetScale(), hi - lo, c.RaStep, raMinor, c.DecStep, decMinor);
    c.PixelsPerDegree = a.GetScale() * kPi / 180;
    c.HaveLimit = true;
    c.Limit = a.GetLimit();
    c.Symbols = a.SymbolsShown();
    return c;
}

TPageContent PlanispherePage(THayami& h, int flags, bool print) {
    TPageContent c;
    c.Print = print;
    c.Round = true;
    c.Width = h.DIB.GetWidth();
    c.Height = h.DIB.GetHeight();
    c.Draw = [&h, flags](TDrawTarget& t) {
        TTargeted on(h.DIB.GetSurface(), t);
        const bool names = h.StarNames;
        h.StarNames = true;
        h.DrawHayami(flags);
        h.StarNames = names;
    };
    // The planisphere draws the stars to magnitude 4.9.
    c.HaveLimit = true;
    c.Limit = 490;
    return c;
}
