// The chart window's object information: the memo, the selected object handed
// to navigation, the small picture under it and the click on that picture.
#include "app/Clsobjinfo.h"
#include "app/Qvsky.h"

#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "controls/Calclock.h"
#include "minor/Minorplace.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"
#include "render/Clsdraw.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <cmath>

namespace {

constexpr int kPicX = 45, kPicY = 37; // where the object is drawn in the picture
// Pixels per radian of each body's picture: Mercury .. Pluto, the Sun, the Moon.
constexpr int kBodyScale[10] = {1100000, 250000, 700000, 300000, 300000, 15, 15, 15, 6000, 6000};
// Jupiter's system: Callisto's widest elongation (about 11') still fits.
constexpr int kSatelliteScale = 12000;

} // namespace

void TfrmQVSKY::ShowObjectInfo(int kind, int index) {
    MemoKind = kind;
    MemoIndex = index;
    MemoDate = {Mjd.GetLyy(), Mjd.GetLmm(), Mjd.GetLdd()};
    if (kind == 99) {
        DrawObjectPicture(99, "---", Switch[7], 0);
        return;
    }
    if (kind == 0) {
        // The site is no object on the charts.
        ChooseTarget(0, 0);
        double lng = 0, lat = 0, height = 0, diff = 0, summer = 0;
        std::string name;
        if (CurrentSite) CurrentSite(lng, lat, height, diff, summer, name);
        // The site is no object to navigate to: GoTo refuses until one is chosen.
        NaviRa = NaviDec = 0.0;
        NaviName.clear();
        std::string text = TObjectInfo::SiteText(name, lng, lat, height, diff, summer);
        // A catalogue that failed to load says so where the user looks first.
        if (!CatalogProblem.empty()) text += "\n" + CatalogProblem;
        if (!SiteHorizon.Flat()) text += "\nHorizon: " + SiteHorizon.Path;
        if (!HorizonProblem.empty()) text += "\n" + HorizonProblem;
        memInfo->setPlainText(QString::fromStdString(text).replace("\r\n", "\n"));
        return;
    }
    TObjectInfo info(Location, Mjd, *Bodies, *Constellation);
    info.Star = Star->Count > 0 ? Star.get() : nullptr;
    info.DeepStar = DeepStar.get();
    info.Nebula = Nebula->Count > 0 ? Nebula.get() : nullptr;
    info.Names = &NameList;
    info.DiffUT = DiffUT;
    info.Summer = Summer;
    info.DateText = clkCal->GetDate();
    info.TimeText = clkCal->GetTime();
    info.MoonAge = MoonAgeDays;
    info.PickRa = Atlas->GetPickRa();
    info.PickDec = Atlas->GetPickDec();
    info.Horizon = &SiteHorizon;
    const TObjectInfo::TResult r = info.Build(kind, index);
    if (!r.Valid) return;
    ChooseTarget(kind, index, info.PickRa, info.PickDec);
    memInfo->setPlainText(QString::fromStdString(r.Text).replace("\r\n", "\n"));
    NaviName = r.NaviName;
    NaviRa = r.NaviRa;
    NaviDec = r.NaviDec;
    DrawObjectPicture(r.PicKind, r.PicName, Switch[7], index);
}

void TfrmQVSKY::ShowMinorInfo(int index) {
    const TMinorList* minor = MinorBodies();
    if (!minor || index < 0 || index >= int(minor->Bodies.size())) return;
    const TMinorBody& b = minor->Bodies[index];
    MemoKind = kMinorKind;
    MemoIndex = index;
    MemoDate = {Mjd.GetLyy(), Mjd.GetLmm(), Mjd.GetLdd()};
    TObjectInfo info(Location, Mjd, *Bodies, *Constellation);
    info.DiffUT = DiffUT;
    info.Summer = Summer;
    info.DateText = clkCal->GetDate();
    info.TimeText = clkCal->GetTime();
    info.Horizon = &SiteHorizon;
    const TObjectInfo::TResult r = info.BuildMinor(b);
    TMinorPlace place;
    place.Compute(b, Mjd.GetMJD());
    if (place.Valid)
        ChooseTarget(kMinorKind, index, place.RaJ2000, place.DecJ2000);
    else
        ChooseTarget(0, 0);
    memInfo->setPlainText(QString::fromStdString(r.Text).replace("\r\n", "\n"));
    NaviName = r.NaviName;
    NaviRa = r.NaviRa;
    NaviDec = r.NaviDec;
    labObjName->setText(QString::fromStdString(r.NaviName));
}

void TfrmQVSKY::ChooseTarget(int kind, int number, double ra, double dec) {
    // Only a place target moves with its place.
    const bool byPlace = kind == 1 || kind == kMinorKind;
    if (!byPlace) ra = dec = 0.0;
    const std::array<double, 4> chosen = {double(kind), double(number), ra, dec};
    if (chosen == TargetChosen) return;
    TargetChosen = chosen;
    Atlas->SetTarget(kind == kMinorKind ? 1 : kind, number, ra, dec);
    RedrawPlanisphere();
    RedrawAtlas(false);
}

void TfrmQVSKY::DrawObjectPicture(int kind, const std::string& name, int realistic, int index) {
    labObjName->setText(QString::fromStdString(name));
    PicKind = kind;
    PicIndex = index;
    PicName = name;
    TSurface* s = ObjDib.GetSurface();
    if (!s) return; // before the window was first shown
    ObjDib.FillIdx(static_cast<unsigned char>(ObjDib.Col2Idx(0)));

    TDraw draw;
    draw.SetChar(0);
    const unsigned long north = RGB(128, 0, 0);
    draw.DrawStart(s, TSurface::PS_SOLID, 1, north, north);
    s->MoveTo(81, 25);
    s->LineTo(84, 15);
    s->LineTo(84, 35);
    draw.DrawEnd(s);
    draw.TextStart(s, "Arial", 8, 4, 0);
    s->SetTextColor(north);
    s->SetBkMode(TSurface::TRANSPARENT);
    s->TextOut(80, 5, "N");
    draw.TextEnd(s);

    switch (kind) {
    case 2:
        // Star.dat and the deep layer, numbered as the atlas numbers them.
        if (const TStarRecord* star = Atlas->StarRecordOf(index))
            Atlas->DrawStarImage(s, star->spect, realistic, kPicX, kPicY);
        break;
    case 3: {
        if (index < 0 || index > 9) break;
        const int scale = kBodyScale[index];
        // The Sun and the Moon show each other where the other stands close by.
        if (index == 8 || index == 9) {
            const int other = index == 8 ? 9 : 8;
            const TAtlas::BodyPlace here = Atlas->PlaceBody(index);
            const TAtlas::BodyPlace there = Atlas->PlaceBody(other);
            double x = 0, y = 0;
            if (here.present && there.present &&
                Atlas->Project(Atlas->GetProjection(), &x, &y, here.dec, here.ra, there.dec,
                               there.ra)) {
                const double px = scale * x + kPicX, py = scale * y + kPicY;
                if (px >= 0 && px < kObjInfoW && py >= 0 && py < kObjInfoH) {
                    if (index == 8) Atlas->DrawBodyImage(8, s, realistic, scale, kPicX, kPicY);
                    Atlas->DrawBodyImage(other, s, realistic, scale, static_cast<int>(px),
                                         static_cast<int>(py));
                    if (index == 8) break;
                }
            }
        }
        // A disc too small to draw at its scale shows as the chart's small ring.
        const TAtlas::BodyPlace p = Atlas->PlaceBody(index);
        if (p.present && static_cast<int>(std::sin(p.diam) * scale * 0.5) < 4 && index != 9) {
            draw.DrawStart(s, TSurface::PS_SOLID, 1, RGB(255, 255, 0), RGB(0, 0, 0));
            s->Ellipse(kPicX - 3, kPicY - 3, kPicX + 3, kPicY + 3);
            draw.DrawEnd(s);
        } else {
            Atlas->DrawBodyImage(index, s, realistic, scale, kPicX, kPicY);
        }
        break;
    }
    case 4:
        // The symbol routine centres on half the area given: (45, 37).
        Atlas->DrawNebulaImage(s, index, 2 * kPicX, kObjInfoH, 0.8);
        break;
    case 5:
        Atlas->DrawJupiterSystem(s, realistic, kSatelliteScale, kPicX, kPicY);
        break;
    default:
        break;
    }
    update(shpObjInfo);
}

void TfrmQVSKY::RefreshObjectPicture() {
    DrawObjectPicture(PicKind, PicName, Switch[7], PicIndex);
}

void TfrmQVSKY::ObjectPictureClick() {
    switch (PicKind) {
    case 2:
        ShowObjectInfo(PicKind, PicIndex);
        if (const TStarRecord* star = Atlas->StarRecordOf(PicIndex)) {
            CenterRa = star->ra;
            CenterDec = star->dec;
        }
        break;
    case 4:
        ShowObjectInfo(PicKind, PicIndex);
        if (Nebula->Count > 0 && PicIndex >= 0 && PicIndex < Nebula->Count) {
            CenterRa = (*Nebula)[PicIndex].ra;
            CenterDec = (*Nebula)[PicIndex].dec;
        }
        break;
    case 3:
    case 5: {
        if (PicKind == 3) ShowObjectInfo(PicKind, PicIndex);
        // Where the atlas draws it: seen from the site, carried to J2000.
        const TAtlas::BodyPlace p = Atlas->PlaceBody(PicKind == 3 ? PicIndex : 3);
        if (p.present) {
            CenterRa = p.ra;
            CenterDec = p.dec;
        }
        break;
    }
    default:
        break;
    }
    RedrawAtlas(true);
    UpdatePointer(CenterRa, CenterDec);
}

void TfrmQVSKY::FollowMoment() {
    // A body moves between two moments; a star's rise and set change with
    // the date. The memo is written anew for the displayed moment, where the
    // reader had scrolled it.
    const std::array<int, 3> date = {Mjd.GetLyy(), Mjd.GetLmm(), Mjd.GetLdd()};
    const bool body = MemoKind == 3 || MemoKind == 5 || MemoKind == kMinorKind;
    const bool fixed = MemoKind == 1 || MemoKind == 2 || MemoKind == 4;
    if (!body && !(fixed && date != MemoDate)) return;
    const int scrolled = memInfo->verticalScrollBar()->value();
    if (MemoKind == kMinorKind) ShowMinorInfo(MemoIndex);
    else ShowObjectInfo(MemoKind, MemoIndex);
    memInfo->verticalScrollBar()->setValue(scrolled);
}
