// The atlas's Sun, Moon, planets and Jupiter's moons, and the user's markers.
#include "render/Clsatlas.h"
#include "render/Targetmark.h"

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
#include "render/Atlasshared.h"

using namespace atlasdetail;
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
                // Bodies keep their names before any star or object: the
                // Sun and the Moon first.
                const int rank = -100000 + (body >= 8 ? body - 20 : body);
                Placer.Block({px - radius, py - radius, px + radius + 1, py + radius + 1}, rank);
                if (names == 1 || (TargetKind == 3 && TargetNumber == body))
                    AddLabel(rank, kNameFont, kLabelGrey, px, py, radius, TLabelPlacer::Below,
                             b.name ? b.name : "", 3, body);
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
        SatellitePen(s, realistic);
        s->Ellipse(px - 2, py - 2, px + 2, py + 2);
        Draw_.DrawEnd(s);
        Placer.Block({px - 2, py - 2, px + 3, py + 3}, -90000 + i);
        if (names == 1 || (TargetKind == 5 && TargetNumber == 11 + i))
            AddLabel(-90000 + i, kLatinFont, kLabelGrey, px, py, 2, TLabelPlacer::Below,
                     TJupiter::GetGaliName(11 + i, Language), 5, 11 + i);
    }
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
                ClippedLine(s, fx, fy, ex, ey, endKept);
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

void TAtlas::SatellitePen(TSurface* s, bool realistic) {
    if (realistic)
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, RGB(192, 112, 48), RGB(192, 112, 48));
    else
        Draw_.DrawStart(s, TSurface::PS_SOLID, 1, kYellow, kBlack);
}

// ---------------------------------------------------------------- the chosen object

void TAtlas::SetTarget(int kind, int number, double ra, double dec) {
    TargetKind = kind;
    TargetNumber = number;
    TargetRa = ra;
    TargetDec = dec;
}

bool TAtlas::TargetPlace(double& ra, double& dec) {
    switch (TargetKind) {
    case 0:
        return false;
    case 2: {
        const TStarRecord* r = StarRecordOf(TargetNumber);
        if (!r) return false;
        // Where the star is drawn: its place of the moment.
        ra = r->ra;
        dec = r->dec;
        return true;
    }
    case 3: {
        if (TargetNumber < 0 || TargetNumber >= BodyCount) return false;
        const BodyPlace p = PlaceBody(TargetNumber);
        ra = p.ra;
        dec = p.dec;
        return p.present;
    }
    case 4:
        if (!Nebula || TargetNumber < 0 || TargetNumber >= Nebula->Count) return false;
        ra = Nebula->Records[TargetNumber].ra;
        dec = Nebula->Records[TargetNumber].dec;
        return true;
    case 5: {
        if (!Jupiter || TargetNumber < 11 || TargetNumber > 14) return false;
        BodyData b;
        if (!ReadBody(3, b)) return false;
        Topocentric(Jupiter->SatRa[TargetNumber - 11], Jupiter->SatDec[TargetNumber - 11],
                    b.distKm, ra, dec);
        return true;
    }
    default:
        ra = TargetRa;
        dec = TargetDec;
        return std::isfinite(ra) && std::isfinite(dec);
    }
}

void TAtlas::DrawTargetMark() {
    double ra, dec;
    if (!TargetPlace(ra, dec)) return;
    int px, py;
    if (!ToPixel(ra, dec, px, py)) return;
    constexpr int a = kTargetMarkOut;
    if (px < -a || py < -a || px > ViewW + a || py > ViewH + a) return;
    DrawTargetCorners(Draw_, Dib.GetSurface(), px, py, a, 6, 2, kTargetColour);
}
