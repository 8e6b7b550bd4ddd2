#include "tools/chart/Charttonight.h"

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <numbers>

#include "astro/Clsmjd.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsfind.h"
#include "catalog/Clsnames.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "plan/Clsnight.h"
#include "plan/Clsdoublestars.h"
#include "plan/Clsplanner.h"

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;

std::string Fixed(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// Rise or set in a list cell: the local time, or why there is none.
std::string EventCell(const TNight& night, const TSkyPass& p, const TNight::TEvent& e, bool full) {
    if (p.Up == TSkyPass::AlwaysUp) return "always up";
    if (p.Up == TSkyPass::NeverRises) return "never rises";
    if (!e.Found) return "-";
    const std::string t = night.LocalText(e.Mjd);
    return full ? t : t.substr(11);
}

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}
} // namespace

bool ChartTonight(const TChartOptions& o, const std::string& folder, std::time_t now,
                  std::string& text, std::string& warning, std::string& error) {
    const double zone = o.HaveZone ? o.ZoneHours : 0.0;
    int y = o.Year, m = o.Month, d = o.Day;
    if (!o.HaveDate) {
        double day;
        TMjd::MJD2DATE(now / 86400.0 + 40587.0, zone, 0, y, m, day);
        d = static_cast<int>(day);
    }
    TLocation site;
    site.Lat = o.LatDeg * kDeg;
    site.Lon = o.LonDeg * kDeg;
    THorizon horizon;
    if (!o.Horizon.empty()) horizon.Load(o.Horizon, warning);

    const std::string starPath = o.Stars.empty() ? folder + "/Star.dat" : o.Stars;
    TStar stars(starPath);
    if (stars.Count == 0) {
        error = "no stars in " + starPath + (stars.Error.empty() ? "" : ": " + stars.Error);
        return false;
    }
    const std::string deepPath = o.DeepSky.empty() ? folder + "/Unsta.dat" : o.DeepSky;
    TNebula nebula(deepPath);
    if (nebula.Count == 0) {
        error = "no deep-sky objects in " + deepPath +
                (nebula.Error.empty() ? "" : ": " + nebula.Error);
        return false;
    }
    TConstellation con;

    TNight night;
    night.Compute(site, horizon, y, m, d, zone);
    TPlanner planner;
    // Names beside the catalogues, for the double stars; without them a star
    // goes by its letter or number.
    TNameList names;
    std::string why;
    const auto beside = std::filesystem::path(starPath).parent_path();
    std::error_code ec;
    names.Read((beside / TNameList::FileName).string(), why);
    if (std::filesystem::exists(beside / TFindIndex::HipFileName, ec))
        names.Hip = TFindIndex::ReadHipNumbers((beside / TFindIndex::HipFileName).string(),
                                               stars.Count, why);
    planner.Build(night, TPlanner::Candidates(&stars, &nebula, &con, {}, &names,
                                              TDoubleStars::Find(stars)));

    std::string& s = text;
    s.clear();
    auto line = [&s](const std::string& key, const std::string& value) {
        s += key + ": " + value + "\n";
    };
    line("sunset", night.EventText(night.Sunset));
    line("civil-dusk", night.EventText(night.CivilDusk));
    line("nautical-dusk", night.EventText(night.NauticalDusk));
    line("astronomical-dusk", night.EventText(night.AstroDusk));
    line("astronomical-dawn", night.EventText(night.AstroDawn));
    line("nautical-dawn", night.EventText(night.NauticalDawn));
    line("civil-dawn", night.EventText(night.CivilDawn));
    line("sunrise", night.EventText(night.Sunrise));
    line("moonrise", night.EventText(night.Moonrise));
    line("moonset", night.EventText(night.Moonset));
    line("darkest", night.LocalText(night.Darkest) + " (Sun at " +
                        Fixed(night.DarkestSunAlt / kDeg, 1) + " degrees)");
    line("dark-window", night.HaveDark ? night.DarkKind + ", " + night.LocalText(night.DarkStart) +
                                             " to " + night.LocalText(night.DarkEnd)
                                       : "none");
    line("moon-phase", night.MoonPhase + ", " +
                           Fixed(night.MoonIllumination * 100.0, 0) + "% lit");
    line("moonless-hours", Fixed(night.MoonlessHours, 1));
    char where[96];
    std::snprintf(where, sizeof where, "%.4f %s, %.4f %s, UTC%+g", std::fabs(o.LatDeg),
                  o.LatDeg < 0 ? "S" : "N", std::fabs(o.LonDeg), o.LonDeg < 0 ? "W" : "E", zone);
    line("site", (o.SiteName.empty() ? std::string() : o.SiteName + ", ") + where);
    line("horizon", horizon.Flat() ? std::string("flat") : horizon.Path);
    for (const std::string& n : night.Notes)
        line("note", n);

    TPlanFilter filter;
    filter.MinAltDeg = o.MinAltDeg;
    filter.MagLimit = o.MagLimit;
    filter.Groups = o.Groups;
    filter.Constellation = o.Constellation;
    const auto rows = planner.Select(filter);
    s += "\n";
    if (o.Csv) {
        s += "name,kind,mag,size_arcmin,constellation,best,altitude_deg,rise,set,moon_distance_deg\n";
        for (int r : rows) {
            const TPlanEntry& e = planner.Entries[r];
            s += CsvField(e.Name) + "," + e.KindText + "," + (e.HasMag ? Fixed(e.Mag, 1) : "") +
                 "," + (e.SizeArcmin > 0 ? Fixed(e.SizeArcmin, 1) : "") + "," + e.Constellation +
                 "," + night.LocalText(e.Pass.BestMjd) + "," + Fixed(e.Pass.BestAlt / kDeg, 1) +
                 "," + EventCell(night, e.Pass, e.Pass.Rise, true) + "," +
                 EventCell(night, e.Pass, e.Pass.Set, true) + "," +
                 (e.Kind == 3 && e.Number == 9 ? "" : Fixed(e.MoonDist, 0)) + "\n";
        }
        return true;
    }
    if (!night.HaveDark) {
        s += "no dark window: nothing to list\n";
        return true;
    }
    char buf[256];
    std::snprintf(buf, sizeof buf, "%-36s %-16s %5s %7s %-3s %5s %5s %-11s %-11s %4s\n", "name",
                  "kind", "mag", "size'", "con", "best", "alt", "rise", "set", "moon");
    s += buf;
    for (int r : rows) {
        const TPlanEntry& e = planner.Entries[r];
        std::snprintf(buf, sizeof buf, "%-36.36s %-16s %5s %7s %-3s %5s %5.1f %-11s %-11s %4s\n",
                      e.Name.c_str(), e.KindText.c_str(),
                      e.HasMag ? Fixed(e.Mag, 1).c_str() : "",
                      e.SizeArcmin > 0 ? Fixed(e.SizeArcmin, 1).c_str() : "",
                      e.Constellation.c_str(), night.LocalText(e.Pass.BestMjd).substr(11).c_str(),
                      e.Pass.BestAlt / kDeg, EventCell(night, e.Pass, e.Pass.Rise, false).c_str(),
                      EventCell(night, e.Pass, e.Pass.Set, false).c_str(),
                      e.Kind == 3 && e.Number == 9 ? "" : Fixed(e.MoonDist, 0).c_str());
        s += buf;
    }
    return true;
}
