#include "tools/chart/Chartfind.h"

#include <algorithm>
#include <filesystem>

#include "astro/Clsjupiter.h"
#include "astro/Clsmjd.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsfind.h"
#include "catalog/Clsnames.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "finder/Clsfinder.h"
#include "minor/Minorlist.h"
#include "minor/Minorplace.h"

bool FindChartObject(const TChartOptions& o, const std::string& folder, const std::string& name,
                     TFindIndex::THit& hit, std::string& why) {
    const std::string starPath = o.Stars.empty() ? folder + "/Star.dat" : o.Stars;
    const TStar stars(starPath);
    const TNebula nebula(o.DeepSky.empty() ? folder + "/Unsta.dat" : o.DeepSky);
    const TConstellation con;
    std::vector<std::uint32_t> hip;
    const std::string hipPath =
        (std::filesystem::path(starPath).parent_path() / TFindIndex::HipFileName).string();
    std::error_code ec;
    std::string hipWhy;
    if (stars.Count > 0 && std::filesystem::exists(hipPath, ec))
        hip = TFindIndex::ReadHipNumbers(hipPath, stars.Count, hipWhy);
    // Names beside the catalogues; without the file only the built-in ones.
    TNameList names;
    std::string namesWhy;
    names.Read((std::filesystem::path(starPath).parent_path() / TNameList::FileName).string(),
               namesWhy);
    TFindIndex index;
    index.Build(stars.Count > 0 ? &stars : nullptr, nebula.Count > 0 ? &nebula : nullptr, &con, hip,
                {}, &names);
    const std::vector<TFindIndex::THit> hits = index.Find(name, 1);
    if (hits.empty()) {
        why = "no object is called '" + name + "'";
        const std::vector<std::string> near = index.Nearest(name, 3);
        for (std::size_t i = 0; i < near.size(); ++i)
            why += (i == 0 ? "; nearest: " : ", ") + near[i];
        return false;
    }
    hit = hits[0];
    return true;
}

bool ResolveChartCentre(TChartOptions& o, const std::string& folder, double mjd, std::string& why,
                        const TMinorList* minor) {
    constexpr double kPi = 3.14159265358979323846;
    const int k = minor ? minor->Find(o.CenterName) : -1;
    if (k >= 0) {
        // A comet or asteroid at its astrometric J2000 place, as the atlas draws stars.
        TMinorPlace m;
        m.Compute(minor->Bodies[k], mjd);
        if (!m.Valid) {
            why = minor->Bodies[k].Label() + ": the place is not computable at this moment";
            return false;
        }
        o.CenterLabel = minor->Bodies[k].Label();
        o.RaHours = m.RaJ2000 * 12.0 / kPi;
        o.DecDeg = m.DecJ2000 * 180.0 / kPi;
        o.TargetKind = 1;
        o.TargetRa = m.RaJ2000;
        o.TargetDec = m.DecJ2000;
        return true;
    }
    TFindIndex::THit h;
    if (!FindChartObject(o, folder, o.CenterName, h, why)) return false;
    o.CenterLabel = h.Name;
    if (h.Kind == TFindIndex::Body) {
        o.CenterBody = h.Number;
    } else if (h.Kind == TFindIndex::Satellite) {
        // The moon's place of date carried to J2000, as the atlas draws it.
        TJupiter jupiter;
        jupiter.SetMjd(mjd);
        double ra = 0, dec = 0;
        TMjd::Epoch(jupiter.SatRa[h.Number - 11], jupiter.SatDec[h.Number - 11], mjd, 51544.0, 0, 0,
                    ra, dec);
        o.RaHours = ra * 12.0 / kPi;
        o.DecDeg = dec * 180.0 / kPi;
    } else {
        o.RaHours = h.Ra * 12.0 / kPi;
        o.DecDeg = h.Dec * 180.0 / kPi;
    }
    // A constellation is no object to mark.
    if (h.Kind == TFindIndex::Star || h.Kind == TFindIndex::Body ||
        h.Kind == TFindIndex::DeepSky || h.Kind == TFindIndex::Satellite) {
        o.TargetKind = h.Kind;
        o.TargetNumber = h.Number;
        o.TargetRa = o.RaHours * kPi / 12.0;
        o.TargetDec = o.DecDeg * kPi / 180.0;
    }
    return true;
}

void FinderView(TChartOptions& o) {
    std::vector<TFinder::TRing> rings = TFinder::Telrad();
    for (const TChartOptions::TFov& f : o.Fov)
        rings.push_back({f.Radius, f.Label});
    if (!o.HaveScale) o.Scale = TFinder::Scale(rings, o.Width, o.Height);
    if (!o.HaveLimit)
        o.Limit = TFinder::LimitForField(static_cast<double>(std::min(o.Width, o.Height)) / o.Scale);
}
