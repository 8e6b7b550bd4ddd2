#include "app/Qvskylog.h"
#include "plan/Clsplanner.h"

#include "app/Qvsky.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"

namespace {

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string Abbr(const TConstellation& c, int row) {
    return row > 0 && row < TConstellation::RowCount ? c.Rows[row].abbr : "";
}

} // namespace

bool SelectedLogObject(TfrmQVSKY& sky, TLogObject& o) {
    o = TLogObject();
    o.Kind = sky.PicKind;
    o.Number = sky.PicIndex;
    switch (sky.PicKind) {
    case 2: {
        if (sky.PicIndex < 0 || sky.PicIndex >= sky.Star->Count) return false;
        const TStarRecord& s = (*sky.Star)[sky.PicIndex];
        o.Name = Trim(sky.NaviName.empty() ? sky.PicName : sky.NaviName);
        o.Type = "star";
        o.Ra = s.ra;
        o.Dec = s.dec;
        if (s.mag < 9990) o.Magnitude = s.mag * 0.01;
        o.Constellation = Abbr(*sky.Constellation, s.con);
        break;
    }
    case 4: {
        if (sky.PicIndex < 0 || sky.PicIndex >= sky.Nebula->Count) return false;
        const TNebulaRecord& n = (*sky.Nebula)[sky.PicIndex];
        const std::string messier = sky.Nebula->GetMessier(sky.PicIndex);
        o.Name = messier.empty() ? sky.Nebula->GetCatalogNo(sky.PicIndex) : messier;
        static const char* const types[] = {"", "GX", "OC", "GC", "GN", "PN", "GN", "DN"};
        o.Type = n.type < 8 ? types[n.type] : "";
        o.Ra = n.ra;
        o.Dec = n.dec;
        if (n.mag != 0) o.Magnitude = n.mag * 0.01;
        o.Constellation = Abbr(*sky.Constellation, n.con);
        break;
    }
    case 3:
    case 5: {
        o.Name = Trim(sky.NaviName.empty() ? sky.PicName : sky.NaviName);
        o.Type = sky.PicKind == 5    ? "moon"
                 : sky.PicIndex == 8 ? "sun"
                 : sky.PicIndex == 9 ? "moon"
                                     : "planet";
        double ra = 0, dec = 0;
        if (sky.PicKind == 5) {
            sky.SatellitePlace(sky.PicIndex, ra, dec);
        } else {
            const TAtlas::BodyPlace p = sky.Atlas->PlaceBody(sky.PicIndex);
            if (!p.present) return !o.Name.empty();
            ra = p.ra;
            dec = p.dec;
        }
        // Where it was at that moment; the chart finds it again by name.
        o.Ra = ra;
        o.Dec = dec;
        break;
    }
    default:
        return false;
    }
    return !o.Name.empty();
}

TLogObject PlanLogObject(const TPlanEntry& e, const TNebula* nebula) {
    TLogObject o;
    o.Name = e.Name;
    o.Ra = e.Ra;
    o.Dec = e.Dec;
    if (e.HasMag) o.Magnitude = e.Mag;
    o.Constellation = e.Constellation;
    if (e.Kind >= 2 && e.Kind <= 4) {
        o.Kind = e.Kind;
        o.Number = e.Number;
    }
    if (e.Kind == 2) {
        o.Type = "star";
    } else if (e.Kind == 3) {
        o.Type = e.Group == "moon" ? "moon" : "planet";
    } else if (e.Kind == TPlanner::kMinorKind) {
        o.Type = e.KindText == "comet" ? "comet" : "minor";
    } else if (e.Kind == 4 && nebula && e.Number >= 0 && e.Number < nebula->Count) {
        const std::string messier = nebula->GetMessier(e.Number);
        o.Name = messier.empty() ? nebula->GetCatalogNo(e.Number) : messier;
        static const char* const types[] = {"", "GX", "OC", "GC", "GN", "PN", "GN", "DN"};
        const int type = (*nebula)[e.Number].type;
        o.Type = type < 8 ? types[type] : "";
    }
    return o;
}

void CentreChartOn(TfrmQVSKY& sky, const TLogObject& o) {
    for (const TFindIndex::THit& h : sky.Names.Find(o.Name, 1))
        if (h.Rank == TFindIndex::Exact) {
            sky.ChooseFound(h);
            return;
        }
    TFindIndex::THit h;
    if (o.Kind >= 2 && o.Kind <= 5) {
        h.Kind = o.Kind;
        h.Number = o.Number;
    } else if (o.Ra && o.Dec) {
        h.Kind = TFindIndex::Marker;
        h.HasPlace = true;
        h.Ra = *o.Ra;
        h.Dec = *o.Dec;
    } else {
        return;
    }
    sky.ChooseFound(h);
}
