// The chart window's search lists (four tabs with their menus) and the
// pop-up of the objects under a right click on the atlas.
#include "app/Qvselobj.h"
#include "app/Qvsky.h"
#include "controls/Look.h"

#include "astro/Clsplanet.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "controls/Flatscroll.h"
#include "controls/Framelabel.h"
#include "controls/Selgrid.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kJ2000 = TMjd::J2000;

// Magnitude as "#0.#0" writes it: at least one integer digit, two decimals.
std::string MagText(double mag) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2fMag", mag);
    return buf;
}

} // namespace

void TfrmQVSKY::SelectTab(int n) {
    if (n < 1 || n > 4) return;
    for (int i = 0; i < 4; ++i) {
        const bool on = i + 1 == n;
        labTab[i]->resize(labTab[i]->width(), on ? 14 : 13);
        labTab[i]->SetFontColor(on ? kCaptionOn : kCaptionOff);
    }
    shpTabDsp->move(labTab[n - 1]->x(), shpTabDsp->y());
    SearchTab = n;
    FillSearchList(n, SearchMenu[n - 1]);
}

void TfrmQVSKY::FillSearchList(int tab, int menu) {
    if (tab < 1 || tab > 4) return;
    // The list as the user leaves it comes back when the menu is shown again.
    // Stored under the list it belongs to, which is not always `tab`'s.
    if (ListTab > 0) SearchAppearance[ListTab - 1][ListMenu - 1] = grdSearch->GetAppearance();
    const std::vector<std::string> captions = TSearchList::MenuCaptions(tab);
    for (int i = 0; i < 9; ++i)
        labMenu[i]->SetCap(captions[i]);
    if (!TSearchList::HasList(tab, menu)) return;
    for (int i = 0; i < 9; ++i)
        labMenu[i]->SetFontColor(i + 1 == menu ? kCaptionOn : kCaptionOff);

    SearchRows.Build(tab, menu, *Nebula, *Star, *Constellation, OptTitle);
    grdSearch->Clear();
    grdSearch->SetMaxCol(static_cast<int>(SearchRows.Columns.size()));
    for (std::size_t c = 0; c < SearchRows.Columns.size(); ++c) {
        grdSearch->SetColWidth(static_cast<int>(c + 1), SearchRows.Columns[c].Width);
        grdSearch->SetTextA(0, static_cast<int>(c + 1), SearchRows.Columns[c].Header);
    }
    if (tab == 4 && menu == 3) grdSearch->SetColMode(1, 2); // the "Disp" marks
    const int rows = std::min<int>(static_cast<int>(SearchRows.Rows.size()), TSelGrid::kMaxRows);
    grdSearch->SetMaxRow(rows);
    for (int r = 0; r < rows; ++r) {
        const TSearchList::Row& row = SearchRows.Rows[r];
        for (std::size_t c = 0; c < row.Cells.size(); ++c)
            grdSearch->SetTextA(r + 1, static_cast<int>(c + 1), row.Cells[c]);
        grdSearch->SetTag(r + 1, row.Tag);
    }
    FitSearchColumns();
    SearchMenu[tab - 1] = menu;
    ListTab = tab;
    ListMenu = menu;
    grdSearch->SetAppearance(SearchAppearance[tab - 1][menu - 1]);
    flsSch->SetMin(1);
    flsSch->SetMax(std::max(1, rows));
    flsSch->SetPS(grdSearch->GetPs());
    flsSch->SetValue(grdSearch->GetDspTop());
    flsSch->update();
    grdSearch->update();
}

void TfrmQVSKY::FitSearchColumns() {
    // Every shown column but the last as wide as its longest text in the font
    // used here ("NGC7840"); the last shown one keeps the rest of the width.
    const int n = static_cast<int>(SearchRows.Columns.size());
    int total = 0, rest = 0;
    for (int c = 1; c <= n; ++c) {
        total += SearchRows.Columns[c - 1].Width;
        if (SearchRows.Columns[c - 1].Width > 0) rest = c;
    }
    int used = 0;
    for (int c = 1; c < rest; ++c) {
        if (SearchRows.Columns[c - 1].Width == 0) continue; // hidden stays hidden
        const int w = std::max(SearchRows.Columns[c - 1].Width, grdSearch->TextWidth(c));
        grdSearch->SetColWidth(c, w);
        used += w;
    }
    if (rest > 0) grdSearch->SetColWidth(rest, std::max(0, total - used));
}

void TfrmQVSKY::SatellitePlace(int number, double& ra, double& dec) {
    // Its own place, carried back to J2000 and seen from the site.
    TJupiter& j = Bodies->Jupiter;
    j.SetMjd(Mjd.GetMJD());
    double ra0 = 0, dec0 = 0, dist = 0;
    TMjd::Epoch(j.SatRa[number - 11], j.SatDec[number - 11], Mjd.GetMJD(), kJ2000, 0, 0, ra0, dec0);
    Location.Parallax(Mjd.GetMJD(), ra0, dec0, j.EarthDistKm, ra, dec, dist);
}

void TfrmQVSKY::ChooseSearchRow(int tag) {
    const int tab = SearchTab, menu = SearchMenu[SearchTab - 1];
    auto centre = [this](double ra, double dec) {
        CenterRa = ra;
        CenterDec = dec;
    };
    if (tab == 1) {
        if (tag >= 0 && tag <= 9) {
            static const int body[10] = {8, 0, 1, 9, 2, 3, 4, 5, 6, 7};
            ShowObjectInfo(3, body[tag]);
            const TAtlas::BodyPlace p = Atlas->PlaceBody(body[tag]);
            if (p.present) centre(p.ra, p.dec);
        } else if (tag >= 10 && tag <= 13) {
            ShowObjectInfo(5, tag + 1);
            double ra = 0, dec = 0;
            SatellitePlace(tag + 1, ra, dec);
            centre(ra, dec);
        } else {
            return;
        }
    } else if (tab == 2 && menu == 1) {
        const int r = TSearchList::MessierRecord(*Nebula, tag);
        if (r < 0) return;
        ShowObjectInfo(4, r);
        centre((*Nebula)[r].ra, (*Nebula)[r].dec);
    } else if (tab == 2 || tab == 3) {
        if (tag < 0 || tag >= Nebula->Count) return;
        ShowObjectInfo(4, tag);
        centre((*Nebula)[tag].ra, (*Nebula)[tag].dec);
    } else if (menu == 1) {
        if (tag < 1 || tag >= TConstellation::RowCount) return;
        centre(Constellation->Rows[tag].ra, Constellation->Rows[tag].dec);
    } else if (menu == 2) {
        if (tag < 0 || tag >= Star->NamedCount) return;
        const TNamedStar& n = Star->Named[tag];
        if (n.record < 0 || n.record >= Star->Count) return;
        ShowObjectInfo(2, n.record);
        centre((*Star)[n.record].ra, (*Star)[n.record].dec);
    } else {
        // The marked files are the ones the atlas shows.
        std::vector<int> shown;
        for (int r = 1; r <= grdSearch->GetMaxRow(); ++r)
            if (grdSearch->GetTextA(r, 1) == "*") shown.push_back(grdSearch->GetTag(r));
        shown.push_back(0);
        Atlas->SetMarkerList(shown.data());
        if (std::find(shown.begin(), shown.end() - 1, tag) != shown.end() - 1) {
            for (int i = 1; i <= Atlas->GetMarkerCount(); ++i)
                if (Atlas->GetMarker(i).id == tag) {
                    centre(Atlas->GetMarker(i).ra, Atlas->GetMarker(i).dec);
                    break;
                }
        }
    }
    RedrawAtlas(true);
    UpdatePointer(CenterRa, CenterDec);
}

void TfrmQVSKY::SearchKey(int& key, Qt::KeyboardModifiers mods) {
    const bool keypad = mods & Qt::KeypadModifier;
    const int tab = SearchTab, menu = SearchMenu[SearchTab - 1];
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (grdSearch->GetMaxRow() > 0) ChooseSearchRow(grdSearch->GetTag(grdSearch->GetSelRow()));
        key = 0;
        return;
    case Qt::Key_Left:
        if (menu > 1 && TSearchList::HasList(tab, menu - 1)) FillSearchList(tab, menu - 1);
        key = 0;
        return;
    case Qt::Key_Right:
        if (menu < 9 && TSearchList::HasList(tab, menu + 1)) FillSearchList(tab, menu + 1);
        key = 0;
        return;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (keypad) {
            const int to = tab + (key == Qt::Key_Plus ? 1 : -1);
            if (to >= 1 && to <= 4) SelectTab(to);
            key = 0;
        }
        return;
    default:
        if (FunctionKey(key, 2)) key = 0;
    }
}

void TfrmQVSKY::PickObjects(int x, int y) {
    TPickEntry list[TAtlas::MaxPick];
    const int n = Atlas->Pick(x, y, 2, list);
    // The clicked point alone is no object: nothing opens on empty sky.
    if (n <= 1) return;
    SelObj->Prepare();
    auto bodyMag = [this](int body) -> double {
        switch (body) {
        case 0:
            return Bodies->Mercury.Mag;
        case 1:
            return Bodies->Venus.Mag;
        case 2:
            return Bodies->Mars.Mag;
        case 3:
            return Bodies->Jupiter.Mag;
        case 4:
            return Bodies->Saturn.Mag;
        case 5:
            return Bodies->Uranus.Mag;
        case 6:
            return Bodies->Neptune.Mag;
        case 7:
            return Bodies->Pluto.Mag;
        case 8:
            return Bodies->Sun.Mag;
        default:
            return Bodies->Moon.Mag;
        }
    };
    for (int i = 0; i < n; ++i) {
        const int kind = list[i].kind, no = list[i].number;
        std::string name;
        if (kind == 1) {
            SelObj->AddRow("ClickPoint", "", 1, 0, 2000);
        } else if (kind == 2) {
            const TStarRecord* star = Atlas->StarRecordOf(no);
            if (star == nullptr) continue;
            const TStarRecord& r = *star;
            const char* abbr = Constellation->Rows[r.con < TConstellation::RowCount ? r.con : 0].abbr;
            // Its name, letter or number; a deep star by its constellation.
            if (Star->Count > 0) name = NameList.StarLabel(*Star, no, abbr);
            if (name.empty()) name = abbr;
            if (name.empty()) name = "  ---  ";
            SelObj->AddRow(name, MagText(r.mag * 0.01), 2, no, r.mag);
        } else if (kind == 3) {
            TPlanet::GetNameA(no, 2, name);
            const double m = bodyMag(no);
            SelObj->AddRow(name, MagText(m), 3, no, static_cast<int>(std::lround(m * 100)));
        } else if (kind == 4) {
            const TNebulaRecord& r = (*Nebula)[no];
            name = Nebula->GetMessier(no);
            if (name.empty()) name = Nebula->GetCatalogNo(no);
            std::string common = TNameList::Spelt(Nebula->GetName(no, 1));
            if (common.empty())
                if (const auto* listed = NameList.OfDeepSky(r.no)) common = listed->front();
            if (!common.empty()) name += name.empty() ? common : " " + common;
            const bool hasMag = r.mag != 0;
            SelObj->AddRow(name, hasMag ? MagText(r.mag * 0.01) : "--.-Mag", 4, no,
                           hasMag ? r.mag : 2000);
        } else if (kind == 5) {
            TPlanet::GetNameA(no, 2, name);
            const double m = Bodies->Jupiter.SatMag[(no - 11) & 3];
            SelObj->AddRow(name, MagText(m), 5, no, static_cast<int>(std::lround(m * 100)));
        } else if (kind == 6) {
            const TMinorList* minor = MinorBodies();
            if (!minor || no < 0 || no >= int(minor->Bodies.size())) continue;
            const auto mark = std::find_if(MinorSky.Marks.begin(), MinorSky.Marks.end(),
                                           [no](const TMinorSky::TMark& m) { return m.Index == no; });
            const double m = mark != MinorSky.Marks.end() ? mark->Mag : 20.0;
            SelObj->AddRow(minor->Bodies[no].Label(), MagText(m), kMinorKind, no,
                           static_cast<int>(std::lround(m * 100)));
        }
    }
    // Beside the click, on the other side near the atlas's right edge or the
    // window's bottom, never above the screen's top.
    const QSize size = SelObj->ListSize();
    const QPoint atlas = mapToGlobal(shpAtlas.topLeft());
    int left = atlas.x() + x + 5;
    if (left + size.width() > atlas.x() + shpAtlas.width()) left -= size.width();
    int top = atlas.y() + y + 22;
    if (top + size.height() > mapToGlobal(QPoint(0, height())).y()) top -= size.height();
    const QScreen* screen = this->screen();
    const int screenTop = screen ? screen->geometry().top() : 0;
    top = std::max(top, screenTop);
    SelObj->setGeometry(QRect(QPoint(left, top), size));
    SelObj->show();
}

void TfrmQVSKY::ShowPickedObject() {
    const int row = SelObj->Chosen;
    if (row <= 0) return;
    SelObj->Chosen = 0;
    if (SelObj->KindOf(row) == kMinorKind) ShowMinorInfo(SelObj->IndexOf(row));
    else ShowObjectInfo(SelObj->KindOf(row), SelObj->IndexOf(row));
}

void TfrmQVSKY::MoonPictureClick() {
    ShowObjectInfo(3, 9);
    const TAtlas::BodyPlace p = Atlas->PlaceBody(9);
    if (!p.present) return;
    CenterRa = p.ra;
    CenterDec = p.dec;
    RedrawAtlas(true);
    UpdatePointer(CenterRa, CenterDec);
}
