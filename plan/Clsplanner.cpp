#include "plan/Clsplanner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <numbers>

#include "astro/Clsmjd.h"
#include "astro/Clsplanet.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnames.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "minor/Minorlist.h"
#include "minor/Minorplace.h"

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

double Separation(double ra1, double dec1, double ra2, double dec2) {
    const double c = std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(std::clamp(c, -1.0, 1.0));
}

struct TDeepKind {
    const char* text;
    const char* group;
};
const TDeepKind kDeepKinds[8] = {{"deep-sky", "nebula"},         {"galaxy", "galaxy"},
                                 {"open cluster", "cluster"},    {"globular cluster", "cluster"},
                                 {"nebula", "nebula"},           {"planetary nebula", "nebula"},
                                 {"cluster+nebula", "nebula"},   {"dark nebula", "nebula"}};
} // namespace

const char* const TPlanner::ColumnNames[ColumnCount] = {
    "name", "kind", "mag", "size", "con", "best", "alt", "rise", "set", "moon"};

bool TPlanFilter::Accepts(const TPlanEntry& e) const {
    if (!e.Pass.HaveBest || e.Pass.BestAlt < MinAltDeg * kDeg) return false;
    if (e.HasMag && e.Mag > MagLimit) return false;
    if (!Groups.empty() && std::find(Groups.begin(), Groups.end(), e.Group) == Groups.end())
        return false;
    if (!Constellation.empty() && Lower(Constellation) != Lower(e.Constellation)) return false;
    return true;
}

std::string TPlanFilter::ToText(int column, bool ascending) const {
    char buf[64];
    std::string s = "# Quenlira: the planner's filters\n";
    std::snprintf(buf, sizeof buf, "min-alt=%g\nmag-limit=%g\n", MinAltDeg, MagLimit);
    s += buf;
    s += "kinds=";
    for (std::size_t i = 0; i < Groups.size(); ++i)
        s += (i ? "," : "") + Groups[i];
    s += "\nconstellation=" + Constellation + "\n";
    s += "sort=" + std::to_string(column) + "\nascending=" + (ascending ? "1" : "0") + "\n";
    return s;
}

void TPlanFilter::FromText(const std::string& text, int& column, bool& ascending) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t nl = text.find('\n', at);
        std::string line = text.substr(at, nl == std::string::npos ? std::string::npos : nl - at);
        at = nl == std::string::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        char* end = nullptr;
        const double v = std::strtod(value.c_str(), &end);
        const bool number = !value.empty() && end && *end == '\0' && std::isfinite(v);
        if (key == "min-alt" && number && v >= -90 && v <= 90) MinAltDeg = v;
        else if (key == "mag-limit" && number && v >= -30 && v <= 30) MagLimit = v;
        else if (key == "sort" && number && v >= 0 && v < TPlanner::ColumnCount)
            column = static_cast<int>(v);
        else if (key == "ascending" && number) ascending = v != 0;
        else if (key == "constellation" && value.size() <= 3) Constellation = value;
        else if (key == "kinds") {
            Groups.clear();
            std::size_t p = 0;
            while (p <= value.size()) {
                const std::size_t c = value.find(',', p);
                const std::string g = value.substr(p, c == std::string::npos ? std::string::npos : c - p);
                for (const char* known : {"planet", "moon", "minor", "galaxy", "cluster", "nebula",
                                          "star", "double", "marker"})
                    if (g == known) Groups.push_back(g);
                if (c == std::string::npos) break;
                p = c + 1;
            }
        }
    }
}

std::vector<TPlanEntry> TPlanner::Candidates(const TStar* stars, const TNebula* nebula,
                                             const TConstellation* con,
                                             const std::vector<TMarker>& markers,
                                             const TNameList* names,
                                             const std::vector<TDoubleStars::TPair>& doubles) {
    std::vector<TPlanEntry> out;
    auto conName = [con](int row) -> std::string {
        if (!con || row <= 0 || row >= TConstellation::RowCount) return "";
        return con->Rows[row].abbr;
    };

    if (nebula) {
        for (int i = 0; i < nebula->Count; ++i) {
            const TNebulaRecord& r = (*nebula)[i];
            const std::string messier = nebula->GetMessier(i);
            const bool isMessier = messier.size() > 1 && messier[0] == 'M' &&
                                   messier[1] >= '0' && messier[1] <= '9';
            const std::string common = nebula->GetName(i, 1);
            const double mag = r.mag / 100.0;
            if (!isMessier && common.empty() && (r.mag == 0 || mag > kDeepSkyMag)) continue;
            TPlanEntry e;
            e.Kind = 4;
            e.Number = i;
            const std::string no = nebula->GetCatalogNo(i);
            e.Name = isMessier ? messier : no;
            if (!common.empty()) e.Name += " " + common;
            else if (isMessier && no != messier) e.Name += " (" + no + ")";
            const TDeepKind& k = kDeepKinds[r.type < 8 ? r.type : 0];
            e.KindText = k.text;
            e.Group = k.group;
            e.Constellation = conName(r.con);
            e.HasMag = r.mag != 0;
            e.Mag = mag;
            e.SizeArcmin = r.major / kDeg * 60.0;
            e.Ra = r.ra;
            e.Dec = r.dec;
            out.push_back(std::move(e));
        }
    }

    auto star = [&](int record, const std::string& name, bool isDouble) {
        const TStarRecord& r = (*stars)[record];
        TPlanEntry e;
        e.Kind = 2;
        e.Number = record;
        e.Name = name;
        e.KindText = isDouble ? "double star" : "star";
        e.Group = isDouble ? "double" : "star";
        e.Constellation = conName(r.con);
        e.HasMag = r.mag < TStar::MagUnusable;
        e.Mag = r.mag / 100.0;
        e.Ra = r.ra;
        e.Dec = r.dec;
        out.push_back(std::move(e));
    };
    if (stars) {
        for (int k = 0; k < stars->NamedCount; ++k) {
            const TNamedStar& s = stars->Named[k];
            if (s.record < 0 || s.record >= stars->Count) continue;
            star(s.record, s.nameSci, false);
        }
        for (const TDoubleStars::TPair& p : doubles) {
            if (p.Primary < 0 || p.Primary >= stars->Count || p.Companion < 0 ||
                p.Companion >= stars->Count)
                continue;
            const TStarRecord& a = (*stars)[p.Primary];
            const TStarRecord& b = (*stars)[p.Companion];
            // Without the names file a star still has its letter or number.
            static const TNameList kNoNames;
            std::string name = (names ? *names : kNoNames)
                                   .StarLabel(*stars, p.Primary, conName(a.con).c_str());
            if (name.empty()) name = "Star " + std::to_string(p.Primary);
            char buf[32];
            std::snprintf(buf, sizeof buf, " %.1f+%.1f", a.mag / 100.0, b.mag / 100.0);
            star(p.Primary, name, true);
            out.back().KindText += buf; // "double star 3.0+5.1"
            // The separation is what a double's size means.
            out.back().SizeArcmin = p.SepArcsec / 60.0;
        }
    }

    for (const TMarker& m : markers) {
        TPlanEntry e;
        e.Kind = 7;
        e.Number = m.Id;
        e.Name = m.Name;
        e.KindText = "marker";
        e.Group = "marker";
        e.Ra = m.Ra;
        e.Dec = m.Dec;
        out.push_back(std::move(e));
    }
    return out;
}

void TPlanner::Build(const TNight& night, const TStar* stars, const TNebula* nebula,
                     const TConstellation* con, const std::vector<TMarker>& markers) {
    Build(night, Candidates(stars, nebula, con, markers));
}

void TPlanner::Build(const TNight& night, std::vector<TPlanEntry> candidates,
                     const TMinorList* minor) {
    Entries.clear();
    const double when = night.Darkest;
    // The Moon's distance from a place of date at the best time.
    auto moonDist = [&night, when](const TPlanEntry& e, double ra, double dec) {
        double mra, mdec;
        night.MoonPlace(e.Pass.HaveBest ? e.Pass.BestMjd : when, mra, mdec);
        return Separation(ra, dec, mra, mdec) / kDeg;
    };

    // The planets (places of date at the darkest moment; they move little in
    // a night) and the Moon, which moves enough to be followed.
    TPlanet theory;
    for (int body = TPlanet::Mercury; body <= TPlanet::Moon; ++body) {
        if (body == TPlanet::Sun) continue;
        theory.body_cir(body, when);
        TPlanEntry e;
        e.Kind = 3;
        e.Number = body;
        e.Name = TPlanet::GetName(body, 2);
        const bool moon = body == TPlanet::Moon;
        e.KindText = moon ? "moon" : (body == TPlanet::Pluto ? "dwarf planet" : "planet");
        e.Group = moon ? "moon" : "planet";
        e.HasMag = true;
        e.Mag = theory.Result.Mag;
        e.SizeArcmin = theory.Result.Diam / kDeg * 60.0;
        const double raDate = theory.Result.Ra, decDate = theory.Result.Dec;
        TMjd::Epoch(raDate, decDate, when, TMjd::J2000, 0.0, 0.0, e.Ra, e.Dec);
        if (moon) {
            // Its upper limb, as the night's moonrise and moonset.
            e.Pass.Compute(
                night, [&night](double m, double& r, double& d) { night.MoonPlace(m, r, d); },
                0.5 * theory.Result.Diam);
            e.MoonDist = 0.0;
        } else {
            e.Pass.Compute(night, raDate, decDate);
            e.MoonDist = moonDist(e, raDate, decDate);
        }
        Entries.push_back(std::move(e));
    }

    // Comets and asteroids bright enough tonight, placed as the planets are.
    if (minor) {
        for (int i = 0; i < static_cast<int>(minor->Bodies.size()); ++i) {
            const TMinorBody& b = minor->Bodies[i];
            if (TMinorPlace::BrightestPossible(b) > kMinorMag) continue;
            TMinorPlace p;
            p.Compute(b, when);
            if (!p.Valid || !std::isfinite(p.Mag) || p.Mag > kMinorMag) continue;
            TPlanEntry e;
            e.Kind = kMinorKind;
            e.Number = i;
            e.Name = b.Label();
            e.KindText = b.Comet ? "comet" : "asteroid";
            e.Group = "minor";
            e.HasMag = true;
            e.Mag = p.Mag;
            e.Ra = p.RaJ2000;
            e.Dec = p.DecJ2000;
            e.Pass.Compute(night, p.Ra, p.Dec);
            e.MoonDist = moonDist(e, p.Ra, p.Dec);
            Entries.push_back(std::move(e));
        }
    }

    // The fixed sky, carried from J2000 to the night's equinox.
    for (TPlanEntry& e : candidates) {
        double ra, dec;
        TMjd::Epoch(e.Ra, e.Dec, TMjd::J2000, when, 0.0, 0.0, ra, dec);
        e.Pass.Compute(night, ra, dec);
        e.MoonDist = moonDist(e, ra, dec);
        Entries.push_back(std::move(e));
    }
}

std::vector<int> TPlanner::Select(const TPlanFilter& filter, int column, bool ascending) const {
    std::vector<int> rows;
    for (int i = 0; i < static_cast<int>(Entries.size()); ++i)
        if (filter.Accepts(Entries[i])) rows.push_back(i);
    // A value to sort by, and whether the row has one.
    auto key = [&](const TPlanEntry& e, double& v, std::string& s) {
        switch (column) {
        case Name: s = Lower(e.Name); return true;
        case Kind: s = e.KindText; return true;
        case Mag: v = e.Mag; return e.HasMag;
        case Size: v = e.SizeArcmin; return e.SizeArcmin > 0.0;
        case Constellation: s = e.Constellation; return !s.empty();
        case Best: v = e.Pass.BestMjd; return e.Pass.HaveBest;
        case Altitude: v = e.Pass.BestAlt; return e.Pass.HaveBest;
        case Rise: v = e.Pass.Rise.Mjd; return e.Pass.Rise.Found;
        case Set: v = e.Pass.Set.Mjd; return e.Pass.Set.Found;
        case MoonDist: v = e.MoonDist; return e.Kind != 3 || e.Number != TPlanet::Moon;
        }
        return false;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        double va = 0, vb = 0;
        std::string sa, sb;
        const bool ha = key(Entries[a], va, sa), hb = key(Entries[b], vb, sb);
        if (ha != hb) return ha;
        if (!ha) return false;
        if (sa != sb) return ascending ? sa < sb : sb < sa;
        return ascending ? va < vb : vb < va;
    });
    return rows;
}
