#include "app/Clsaltgraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "render/Clsdib.h"
#include "render/Clsdraw.h"
#include "render/Clssurface.h"

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;

constexpr unsigned long Rgb(int r, int g, int b) {
    return static_cast<unsigned long>(r) | (static_cast<unsigned long>(g) << 8) |
           (static_cast<unsigned long>(b) << 16);
}
// The sky by the Sun's altitude, darkest at night; the curves on it.
constexpr unsigned long kNight = Rgb(0, 0, 0), kAstro = Rgb(16, 0, 0), kNautical = Rgb(30, 0, 0),
                        kCivil = Rgb(46, 0, 0), kDay = Rgb(64, 0, 0), kGrid = Rgb(96, 0, 0),
                        kHorizonLine = Rgb(128, 0, 0), kProfile = Rgb(176, 0, 0),
                        kOther = Rgb(150, 0, 0), kMoonCurve = Rgb(255, 160, 160),
                        kChosen = Rgb(255, 0, 0), kCursor = Rgb(255, 96, 96),
                        kText = Rgb(255, 0, 0);
} // namespace

TAltGraph::TCurve TAltGraph::Fixed(const TNight& night, const std::string& name, double ra,
                                   double dec) {
    TCurve c;
    c.Name = name;
    const std::size_t n = night.Grid.Mjd.size();
    c.Alt.resize(n);
    c.Az.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        night.Site.AziAlt2(night.Grid.Lst[i], ra, dec, c.Az[i], c.Alt[i]);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        // The hour angle passing zero: the azimuth through south (or north).
        const double h0 = std::sin(night.Grid.Lst[i] - ra), h1 = std::sin(night.Grid.Lst[i + 1] - ra);
        if (h0 < 0.0 && h1 >= 0.0) {
            c.HasTransit = true;
            c.Transit = night.Grid.Mjd[i] +
                        (night.Grid.Mjd[i + 1] - night.Grid.Mjd[i]) * (-h0 / (h1 - h0));
            break;
        }
    }
    return c;
}

TAltGraph::TCurve TAltGraph::Moon(const TNight& night) {
    TCurve c;
    c.Name = "Moon";
    c.Alt = night.MoonAlt;
    c.Az.assign(c.Alt.size(), 0.0);
    return c;
}

double TAltGraph::AltitudeAt(const TNight& night, const std::vector<double>& alt, double mjd) {
    if (alt.empty()) return 0.0;
    const double x = std::clamp((mjd - night.Grid.Start) / TNightGrid::kStep, 0.0,
                                static_cast<double>(alt.size() - 1));
    const std::size_t i = std::min(static_cast<std::size_t>(x), alt.size() - 2);
    const double f = x - static_cast<double>(i);
    return alt[i] + f * (alt[i + 1] - alt[i]);
}

double TAltGraph::TimeAt(int x) const {
    return From + (To - From) * (x - Left) / std::max(1, Right - Left);
}

int TAltGraph::XOf(double mjd) const {
    return Left + static_cast<int>(std::lround((mjd - From) / (To - From) * (Right - Left)));
}

int TAltGraph::YOf(double altRad) const {
    const double a = std::clamp(altRad / kDeg, kMinAlt, kMaxAlt);
    return Bottom - static_cast<int>(std::lround((a - kMinAlt) / (kMaxAlt - kMinAlt) * (Bottom - Top)));
}

void TAltGraph::Draw(TDIB& dib, int w, int h, const TNight& night, const std::vector<TCurve>& curves,
                     bool cursor, double cursorMjd) {
    for (unsigned long c : {kNight, kAstro, kNautical, kCivil, kDay, kGrid, kHorizonLine, kProfile,
                            kOther, kMoonCurve, kChosen, kCursor, kText})
        dib.AddColor(c);
    dib.Create(std::max(w, 64), std::max(h, 48));
    w = dib.GetWidth();
    h = dib.GetHeight();
    dib.FillIdx(static_cast<unsigned char>(dib.Col2Idx(kNight)));
    TSurface* s = dib.GetSurface();
    TDraw pen;
    const int points = h < 260 ? 7 : 8;
    Left = 34;
    Top = 6;
    Right = w - 8;
    Bottom = h - 18;

    From = night.Sunset.Found ? night.Sunset.Mjd - 1.0 / 24.0 : night.Grid.Start;
    To = night.Sunrise.Found ? night.Sunrise.Mjd + 1.0 / 24.0 : night.Grid.End;
    if (night.Sunset.Found && night.Sunrise.Found && To <= From) {
        From = night.Grid.Start;
        To = night.Grid.End;
    }
    if (Whole24) {
        From = night.Grid.Start;
        To = night.Grid.End;
    }
    From = std::max(From, night.Grid.Start);
    To = std::min(To, night.Grid.End);

    // The sky, column by column, by the Sun's altitude.
    for (int x = Left; x < Right; ++x) {
        const double sun = AltitudeAt(night, night.SunAlt, TimeAt(x)) / kDeg;
        const unsigned long c = sun > -0.833 ? kDay
                                : sun > -6   ? kCivil
                                : sun > -12  ? kNautical
                                : sun > -18  ? kAstro
                                             : kNight;
        pen.DrawStart(s, TSurface::PS_SOLID, 1, c, c);
        s->MoveTo(x, Top);
        s->LineTo(x, Bottom + 1);
        pen.DrawEnd(s);
    }

    pen.TextStart(s, "Arial", points, 400, 0);
    s->SetTextColor(kText);
    // Altitude every 10 degrees, the horizon brighter.
    for (int a = -10; a <= 90; a += 10) {
        const int y = YOf(a * kDeg);
        pen.DrawStart(s, a == 0 ? TSurface::PS_SOLID : TSurface::PS_DOT, 1,
                      a == 0 ? kHorizonLine : kGrid, kNight);
        s->MoveTo(Left, y);
        s->LineTo(Right, y);
        pen.DrawEnd(s);
        if (a % 30 == 0) {
            const std::string t = std::to_string(a) + "\u00b0";
            const TSize e = s->GetTextExtent(t);
            s->TextOut(Left - 4 - e.cx, y - e.cy / 2, t);
        }
    }
    // Local hours along the bottom.
    const double zoneDays = night.Zone / 24.0;
    const double firstHour = std::ceil((From + zoneDays) * 24.0) / 24.0 - zoneDays;
    const int labelEvery = (To - From) * 24.0 > 14 ? 3 : (Right - Left) / ((To - From) * 24.0) < 40 ? 2 : 1;
    int hourIndex = 0;
    for (double m = firstHour; m <= To + 1e-9; m += 1.0 / 24.0, ++hourIndex) {
        const int x = XOf(m);
        pen.DrawStart(s, TSurface::PS_DOT, 1, kGrid, kNight);
        s->MoveTo(x, Top);
        s->LineTo(x, Bottom);
        pen.DrawEnd(s);
        const int hour = static_cast<int>(std::lround((m + zoneDays) * 24.0)) % 24;
        if (hour % labelEvery != 0) continue;
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02d", (hour + 24) % 24);
        const TSize e = s->GetTextExtent(buf);
        s->TextOut(x - e.cx / 2, Bottom + 3, buf);
    }

    auto polyline = [&](const std::vector<double>& alt, unsigned long colour, int width, int style) {
        pen.DrawStart(s, style, width, colour, kNight);
        bool started = false;
        for (int x = Left; x <= Right; x += 2) {
            const int y = YOf(AltitudeAt(night, alt, TimeAt(x)));
            if (!started)
                s->MoveTo(x, y);
            else
                s->LineTo(x, y);
            started = true;
        }
        pen.DrawEnd(s);
    };

    // The Moon, then the others, then the chosen object on top.
    polyline(night.MoonAlt, kMoonCurve, 1, TSurface::PS_DOT);
    for (std::size_t k = 1; k < curves.size(); ++k) {
        polyline(curves[k].Alt, kOther, 1, TSurface::PS_SOLID);
        // Its name at its highest point in view.
        int bestX = Left;
        double best = -10.0;
        for (int x = Left; x <= Right; x += 4) {
            const double a = AltitudeAt(night, curves[k].Alt, TimeAt(x));
            if (a > best) {
                best = a;
                bestX = x;
            }
        }
        if (best > 0.0) {
            const TSize e = s->GetTextExtent(curves[k].Name);
            s->SetTextColor(kOther);
            s->TextOut(std::clamp(bestX - e.cx / 2, Left, Right - e.cx), YOf(best) - e.cy - 1,
                       curves[k].Name);
            s->SetTextColor(kText);
        }
    }
    if (!curves.empty()) {
        const TCurve& c = curves[0];
        // The observer's horizon towards the object as it moves.
        if (!night.Horizon.Flat() && c.Az.size() == night.Grid.Mjd.size()) {
            std::vector<double> profile(c.Az.size());
            for (std::size_t i = 0; i < c.Az.size(); ++i)
                profile[i] = night.Horizon.AltitudeAt(c.Az[i]);
            polyline(profile, kProfile, 1, TSurface::PS_DASH);
        }
        polyline(c.Alt, kChosen, 2, TSurface::PS_SOLID);
        if (c.HasTransit && c.Transit >= From && c.Transit <= To) {
            const int x = XOf(c.Transit);
            pen.DrawStart(s, TSurface::PS_DASH, 1, kChosen, kNight);
            s->MoveTo(x, Top);
            s->LineTo(x, Bottom);
            pen.DrawEnd(s);
            s->TextOut(x + 3, Top + 1, "meridian");
        }
        s->TextOut(Left + 4, Top + 1, c.Name);
    }

    // The cursor: its local time, and the chosen object's altitude there.
    if (cursor && cursorMjd >= From && cursorMjd <= To) {
        const int x = XOf(cursorMjd);
        pen.DrawStart(s, TSurface::PS_SOLID, 1, kCursor, kNight);
        s->MoveTo(x, Top);
        s->LineTo(x, Bottom);
        pen.DrawEnd(s);
        std::string t = night.LocalText(cursorMjd).substr(11);
        if (!curves.empty()) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "  %.1f\u00b0", AltitudeAt(night, curves[0].Alt, cursorMjd) / kDeg);
            t += buf;
        }
        const TSize e = s->GetTextExtent(t);
        s->SetTextColor(kCursor);
        s->TextOut(std::clamp(x + 4, Left, Right - e.cx), Bottom - e.cy - 2, t);
    }
    pen.TextEnd(s);

    // The frame.
    pen.DrawStart(s, TSurface::PS_SOLID, 1, kHorizonLine, kNight);
    s->MoveTo(Left, Top);
    s->LineTo(Right, Top);
    s->LineTo(Right, Bottom);
    s->LineTo(Left, Bottom);
    s->LineTo(Left, Top);
    pen.DrawEnd(s);
}
