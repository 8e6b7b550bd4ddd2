#include "tools/chart/Chartoptions.h"

#include "finder/Clsfinder.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/stat.h>
#include <vector>

#include "astro/Clsmjd.h"

const char* const kChartSwitchNames[8] = {"milkyway", "constellations", "bayer", "flamsteed",
                                          "names",    "deepsky",        "grid",  "realistic"};

namespace {

struct Site {
    const char* Key;
    const char* Name;
    double LonDeg, LatDeg, ZoneHours;
};
// The three sites a new settings file starts with.
const Site kSites[] = {{"greenwich", "Greenwich", 0.1, 52.21667, 0},
                       {"lascampanas", "Las Campanas", -70.7, -29.0, -4},
                       {"tokyo", "Tokyo", 139.5167, 35.68333, 9}};

// Names are matched as people type them: "Tokyo", "JUPITER". Only ASCII
// letters have case; other bytes (Japanese site names) must match exactly.
std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A site name: a built-in key first (so documented commands mean the same
// on every machine), then the user's own sites.
std::string FindSite(TChartOptions& o) {
    const std::string want = Lower(o.SiteName);
    auto take = [&o](const auto& s) {
        o.LonDeg = s.LonDeg;
        o.LatDeg = s.LatDeg;
        o.ZoneHours = s.ZoneHours;
        o.SiteName = s.Name;
        o.HaveLon = o.HaveLat = o.HaveZone = true;
        return std::string();
    };
    for (const Site& s : kSites)
        if (want == s.Key) return take(s);
    for (const TChartSite& s : o.UserSites)
        if (want == Lower(s.Name)) return take(s);
    std::string known = "greenwich, lascampanas, tokyo";
    for (const TChartSite& s : o.UserSites)
        known += ", \"" + s.Name + "\"";
    return "unknown site '" + o.SiteName + "' (known: " + known + ")";
}

// The format the output name asks for, by its ending in any case.
bool FormatOf(const std::string& path, TChartFormat& f) {
    const std::string name = Lower(path);
    auto ends = [&](const char* e) {
        const std::string ext = e;
        return name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
    };
    if (ends(".png")) f = TChartFormat::Png;
    else if (ends(".pdf")) f = TChartFormat::Pdf;
    else if (ends(".svg")) f = TChartFormat::Svg;
    else if (ends(".jpg") || ends(".jpeg")) f = TChartFormat::Jpeg;
    else {
        // A device or pipe (/dev/stdout) has no ending and gets a PNG.
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
            return false;
        f = TChartFormat::Png;
    }
    return true;
}

bool Number(const std::string& s, double& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    v = std::strtod(s.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(v);
}

bool Integer(const std::string& s, int& v) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    v = std::atoi(s.c_str());
    return true;
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts(1);
    for (char c : s) {
        if (c == sep)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool SignedInteger(const std::string& s, int& v) {
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        if (!Integer(s.substr(1), v)) return false;
        if (s[0] == '-') v = -v;
        return true;
    }
    return Integer(s, v);
}

// A decimal number, or sexagesimal "A:B" / "A:B:C" with B and C below 60;
// the sign of the first field carries to the whole (so "-0:30" is -0.5).
bool Sexagesimal(const std::string& s, double& v) {
    const auto p = Split(s, ':');
    if (p.size() == 1) return Number(s, v);
    if (p.size() > 3 || p[0].empty()) return false;
    const bool negative = p[0][0] == '-';
    const std::string head = (p[0][0] == '-' || p[0][0] == '+') ? p[0].substr(1) : p[0];
    int whole;
    if (!Integer(head, whole)) return false;
    double minutes = 0, seconds = 0;
    int m;
    if (!Integer(p[1], m) || m >= 60) return false;
    minutes = m;
    if (p.size() == 3 && (!Number(p[2], seconds) || seconds < 0 || seconds >= 60 ||
                          p[2][0] == '+' || p[2][0] == '-'))
        return false;
    v = whole + minutes / 60.0 + seconds / 3600.0;
    if (negative) v = -v;
    return true;
}

// Body names of --center-body, in the atlas's body order.
const char* const kBodyKeys[10] = {"mercury", "venus",   "mars",  "jupiter", "saturn",
                                   "uranus",  "neptune", "pluto", "sun",     "moon"};

// Sets the listed switches to `on`; "all" stands for every switch.
std::string SetSwitches(const std::string& list, int on, TChartOptions& o) {
    for (const std::string& name : Split(list, ',')) {
        if (name == "all") {
            for (int& sw : o.Switches)
                sw = on;
            o.SwitchesGiven = 0xff;
            continue;
        }
        bool found = false;
        for (int i = 0; i < 8; ++i)
            if (name == kChartSwitchNames[i]) {
                o.Switches[i] = on;
                o.SwitchesGiven |= 1 << i;
                found = true;
            }
        if (!found) {
            std::string known;
            for (const char* k : kChartSwitchNames)
                known += std::string(known.empty() ? "" : ", ") + k;
            return "unknown display switch '" + name + "' (known: all, " + known + ")";
        }
    }
    return "";
}

struct Option {
    const char* Name;
    const char* Arg; // null: a switch without a value
    const char* Help;
    std::function<std::string(const std::string&, TChartOptions&)> Set;
};

// A switch without a value that turns one setting on.
std::function<std::string(const std::string&, TChartOptions&)> Switch(bool TChartOptions::*on) {
    return [on](const std::string&, TChartOptions& o) -> std::string {
        o.*on = true;
        return "";
    };
}

const std::vector<Option>& Options() {
    static const std::vector<Option> table = {
        {"--chart", "KIND",
         "planisphere (default), atlas, or window: both side by side as the program shows them",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v != "planisphere" && v != "atlas" && v != "window")
                 return "unknown chart '" + v + "' (known: planisphere, atlas, window)";
             o.Chart = v;
             return "";
         }},
        {"--site", "NAME",
         "greenwich, lascampanas, tokyo, or a site of yours from Sysinfo.dat by its name, "
         "in any case",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "the site name is empty";
             o.SiteName = v;
             return "";
         }},
        {"--lon", "DEG", "east longitude in degrees, -180 to 360",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double d;
             if (!Number(v, d) || d < -180 || d > 360)
                 return "longitude '" + v + "' is not a number of degrees from -180 to 360";
             o.LonDeg = d;
             o.HaveLon = true;
             o.SiteName.clear();
             return "";
         }},
        {"--lat", "DEG", "latitude in degrees, north positive, -90 to 90",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double d;
             if (!Number(v, d) || d < -90 || d > 90)
                 return "latitude '" + v + "' is not a number of degrees from -90 to 90";
             o.LatDeg = d;
             o.HaveLat = true;
             o.SiteName.clear();
             return "";
         }},
        {"--date", "YYYY-MM-DD",
         "date in UTC (default today); Julian calendar before 1582-10-15, years from -9999 "
         "(0 = 1 BC) to 9999",
         [](const std::string& v, TChartOptions& o) -> std::string {
             // A leading minus belongs to the year (astronomical numbering).
             const bool before = !v.empty() && v[0] == '-';
             const auto p = Split(before ? v.substr(1) : v, '-');
             int y, m, d;
             if (p.size() != 3 || p[0].empty() || p[0].size() > 4 || p[1].size() != 2 ||
                 p[2].size() != 2 || !Integer(p[0], y) || !Integer(p[1], m) || !Integer(p[2], d) ||
                 m < 1 || m > 12 || d < 1 || d > TMjd::MonthDays(before ? -y : y, m))
                 return "date '" + v + "' is not a calendar date YYYY-MM-DD";
             if (before) y = -y;
             if (!TMjd::DateExists(y, m, d))
                 return "date '" + v +
                        "' does not exist: in 1582 October 4 (Julian) was followed by October 15 "
                        "(Gregorian)";
             o.Year = y;
             o.Month = m;
             o.Day = d;
             o.HaveDate = true;
             return "";
         }},
        {"--time", "HH:MM[:SS]", "time of day in UTC (default now)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             const auto p = Split(v, ':');
             int h, m, s = 0;
             if (p.size() < 2 || p.size() > 3 || !Integer(p[0], h) || !Integer(p[1], m) ||
                 (p.size() == 3 && !Integer(p[2], s)) || h > 23 || m > 59 || s > 59)
                 return "time '" + v + "' is not a time of day HH:MM or HH:MM:SS";
             o.Hour = h;
             o.Minute = m;
             o.Second = s;
             o.HaveTime = true;
             return "";
         }},
        {"--size", "N|WxH",
         "planisphere or atlas size in pixels, 16 to 8000 (default 280; the atlas 800x600)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             auto p = Split(v, 'x');
             if (p.size() == 1) p.push_back(p[0]);
             int w, h;
             if (p.size() != 2 || !Integer(p[0], w) || !Integer(p[1], h) || w < 16 || h < 16 ||
                 w > 8000 || h > 8000)
                 return "size '" + v + "' is not N or WxH with 16 to 8000 pixels";
             o.Width = w;
             o.Height = h;
             o.HaveSize = true;
             return "";
         }},
        {"--ring", nullptr, "draw the horizon ring",
         Switch(&TChartOptions::Ring)},
        {"--japanese", nullptr, "Japanese names instead of abbreviations",
         [](const std::string&, TChartOptions& o) -> std::string {
             o.Language = 0;
             return "";
         }},
        {"--ra", "H|H:M[:S]", "atlas centre right ascension in hours, 0 to 24 (default 5.67)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double h;
             if (!Sexagesimal(v, h) || h < 0 || h > 24)
                 return "right ascension '" + v + "' is not hours from 0 to 24 (5.5 or 5:30:00)";
             // 24h is where the circle closes: the same place as 0h.
             o.RaHours = h == 24 ? 0.0 : h;
             o.HaveRa = true;
             return "";
         }},
        {"--dec", "D|D:M[:S]", "atlas centre declination in degrees, -90 to 90 (default 0)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double d;
             if (!Sexagesimal(v, d) || d < -90 || d > 90)
                 return "declination '" + v + "' is not degrees from -90 to 90 (-5.4 or -5:24:00)";
             o.DecDeg = d;
             o.HaveDec = true;
             return "";
         }},
        {"--center-body", "NAME",
         "centre the atlas on a body: mercury, venus, mars, jupiter, saturn, uranus, neptune, "
         "pluto, sun or moon",
         [](const std::string& v, TChartOptions& o) -> std::string {
             for (int i = 0; i < 10; ++i)
                 if (Lower(v) == kBodyKeys[i]) {
                     o.CenterBody = i;
                     return "";
                 }
             return "unknown body '" + v +
                    "' (known: mercury, venus, mars, jupiter, saturn, uranus, neptune, pluto, sun, "
                    "moon)";
         }},
        {"--center", "NAME",
         "centre the atlas on any object by name, as the program's find field finds it: "
         "Betelgeuse, \"alpha Ori\", \"58 Ori\", \"HIP 27989\", M31, \"NGC 7000\", \"Ring "
         "Nebula\", Orion, Io",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "--center needs a name";
             o.CenterName = v;
             return "";
         }},
        {"--where", "NAME",
         "print where an object is for the site and moment, one 'key: value' a line, and "
         "draw nothing: ra-date, dec-date (apparent of date), ra-j2000, dec-j2000 "
         "(astrometric), alt, az (topocentric, no refraction), mag, distance-au, phase-angle; "
         "degrees. Any name --center takes, and comets and asteroids",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "--where needs a name";
             o.WhereName = v;
             return "";
         }},
        {"--elements", "FILE",
         "comet or asteroid elements in the MPC's formats (MPCORB.DAT, CometEls.txt), besides "
         "the program's folder Minor/; may be given more than once",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "the element file name is empty";
             o.Elements.push_back(v);
             return "";
         }},
        {"--scale", "N", "atlas scale in pixels per radian, 300 to 1200000 (default 1000)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             int n;
             if (!Integer(v, n) || n < 300 || n > 1200000)
                 return "scale '" + v + "' is not a whole number from 300 to 1200000";
             o.Scale = n;
             o.HaveScale = true;
             return "";
         }},
        {"--sensitivity", "N",
         "atlas sensitivity, -5 to 5: fainter stars with higher values (default 0)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             int n;
             if (!SignedInteger(v, n) || n < -5 || n > 5)
                 return "sensitivity '" + v + "' is not a whole number from -5 to 5";
             o.Sensitivity = n;
             return "";
         }},
        {"--show", "LIST",
         "turn atlas switches on (comma-separated, or all): milkyway, constellations, bayer, "
         "flamsteed, names, deepsky, grid, realistic",
         [](const std::string& v, TChartOptions& o) { return SetSwitches(v, 1, o); }},
        {"--hide", "LIST",
         "turn atlas switches off; the start is as the program's: milkyway, constellations, "
         "names, grid and realistic on",
         [](const std::string& v, TChartOptions& o) { return SetSwitches(v, 0, o); }},
        {"--stars", "FILE", "star catalogue (default Star.dat beside the program)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             o.Stars = v;
             return "";
         }},
        {"--deepstars", "FILE",
         "deep star layer of the atlas (default Tycho.dat beside the program when there; "
         "none leaves it out)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "the deep star file name is empty";
             o.DeepStars = v;
             return "";
         }},
        {"--deepsky", "FILE", "deep-sky catalogue (default Unsta.dat beside the program)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             o.DeepSky = v;
             return "";
         }},
        {"--out", "FILE",
         "the picture to write (required; also -o): FILE.png, FILE.pdf or FILE.svg (one page "
         "to print, drawn as vectors) or FILE.jpg",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "the output file name is empty";
             if (!FormatOf(v, o.Format))
                 return "cannot write '" + v +
                        "': give a name ending in .png, .pdf, .svg or .jpg (or .jpeg)";
             o.Out = v;
             return "";
         }},
        {"--paper", "SIZE", "page paper: a4 (default), letter or a3",
         [](const std::string& v, TChartOptions& o) -> std::string {
             const std::string p = Lower(v);
             if (p != "a4" && p != "letter" && p != "a3")
                 return "unknown paper '" + v + "' (known: a4, letter, a3)";
             o.Paper = p;
             return "";
         }},
        {"--orientation", "WAY",
         "page: portrait or landscape (default: landscape for the atlas, portrait for the "
         "planisphere)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             const std::string p = Lower(v);
             if (p != "portrait" && p != "landscape")
                 return "unknown orientation '" + v + "' (known: portrait, landscape)";
             o.Orientation = p;
             return "";
         }},
        {"--print-colours", nullptr,
         "JPEG: black on white instead of the screen's colours (pages are so by default)",
         Switch(&TChartOptions::PrintColours)},
        {"--tonight", nullptr,
         "print the night's times and what to observe instead of drawing; --date is the local "
         "date of the evening",
         Switch(&TChartOptions::Tonight)},
        {"--horizon", "FILE",
         "your horizon: lines of azimuth and altitude in degrees, # comments (--tonight, "
         "the planisphere's ground, --horizon-line)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "the horizon file name is empty";
             o.Horizon = v;
             return "";
         }},
        {"--horizon-line", nullptr,
         "the atlas draws the horizon (over --horizon's profile) with ticks on the ground's side",
         Switch(&TChartOptions::HorizonLine)},
        {"--tz", "HOURS",
         "local time minus UTC for a --lon/--lat site, -14 to 14 (default 0; a named site "
         "knows its own)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double h;
             if (!Number(v, h) || h < -14 || h > 14)
                 return "time difference '" + v + "' is not a number of hours from -14 to 14";
             o.TzHours = h;
             o.HaveTz = true;
             return "";
         }},
        {"--csv", nullptr, "with --tonight: the list as comma-separated values with a header row",
         Switch(&TChartOptions::Csv)},
        {"--min-alt", "DEG", "with --tonight: lowest altitude at the best time (default 20)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double d;
             if (!Number(v, d) || d < -90 || d > 90)
                 return "altitude '" + v + "' is not a number of degrees from -90 to 90";
             o.MinAltDeg = d;
             return "";
         }},
        {"--mag-limit", "MAG", "with --tonight: faintest magnitude listed (default 10)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double d;
             if (!Number(v, d) || d < -30 || d > 30)
                 return "magnitude '" + v + "' is not a number from -30 to 30";
             o.MagLimit = d;
             return "";
         }},
        {"--kinds", "LIST",
         "with --tonight: kinds listed (comma-separated): planet, moon, galaxy, cluster, nebula, "
         "star, double, marker (default all)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             o.Groups.clear();
             for (const std::string& k : Split(Lower(v), ',')) {
                 if (k != "planet" && k != "moon" && k != "galaxy" && k != "cluster" &&
                     k != "nebula" && k != "star" && k != "double" && k != "marker")
                     return "unknown kind '" + k +
                            "' (known: planet, moon, galaxy, cluster, nebula, star, double, marker)";
                 o.Groups.push_back(k);
             }
             return "";
         }},
        {"--con", "ABBR", "with --tonight: only objects in this constellation (Ori, UMa ...)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.size() != 3)
                 return "constellation '" + v + "' is not a three-letter abbreviation";
             o.Constellation = v;
             return "";
         }},
        {"--screen-colours", nullptr, "pages: the screen's colours instead of black on white",
         Switch(&TChartOptions::ScreenColours)},
        {"--finder", "NAME",
         "a finder chart of any object the find field takes: the atlas centred on it, the "
         "object marked, Telrad rings (0.5, 2 and 4 degrees), stars to a limit that suits the "
         "field, labels only for the bright stars",
         [](const std::string& v, TChartOptions& o) -> std::string {
             if (v.empty()) return "--finder needs a name";
             o.CenterName = v;
             o.Finder = true;
             o.Chart = "atlas";
             return "";
         }},
        {"--limit", "MAG", "atlas limiting magnitude, -2 to 16 (default: by scale, or the field)",
         [](const std::string& v, TChartOptions& o) -> std::string {
             double d;
             if (!Number(v, d) || d < -2 || d > 16)
                 return "limiting magnitude '" + v + "' is not a number from -2 to 16";
             o.Limit = static_cast<int>(std::lround(d * 100));
             if (o.Limit == 0) o.Limit = 1; // 0 stands for none
             o.HaveLimit = true;
             return "";
         }},
        {"--fov", "FIELD",
         "a field-of-view ring about the atlas centre, in degrees (1.2) or minutes of arc "
         "(40'), 1' to 90 degrees; several allowed",
         [](const std::string& v, TChartOptions& o) -> std::string {
             TFinder::TRing ring;
             std::string why;
             if (!TFinder::ParseField(v, ring, why)) return why;
             if (o.Fov.size() >= TFinder::MaxRings) return "more than 20 --fov rings";
             o.Fov.push_back({ring.Radius, ring.Label});
             return "";
         }},
        {"--help", nullptr, "this text",
         Switch(&TChartOptions::Help)},
        {"--version", nullptr, "the program's version",
         Switch(&TChartOptions::Version)},
    };
    return table;
}

} // namespace

std::string ChartUsage() {
    std::string s =
        "Usage: quenlira-chart --site NAME | --lon DEG --lat DEG [options] --out FILE\n"
        "       quenlira-chart --site NAME | --lon DEG --lat DEG [--tz HOURS] --tonight [options]\n"
        "Draws the sky over a site at a moment and writes it as a PNG or JPEG picture, or\n"
        "as a PDF page to print.\n\n";
    for (const Option& o : Options()) {
        std::string left = std::string("  ") + o.Name + (o.Arg ? std::string(" ") + o.Arg : "");
        if (left.size() < 26) left.resize(26, ' ');
        s += left + " " + o.Help + "\n";
    }
    s += "\nExamples:\n"
         "  quenlira-chart --site tokyo --date 2026-12-07 --time 12:00 --size 600 -o sky.png\n"
         "  quenlira-chart --chart atlas --site tokyo --ra 5:35 --dec -5 --show all -o orion.png\n"
         "  quenlira-chart --chart window --site tokyo --center-body jupiter --scale 300000 -o "
         "w.png\n"
         "  quenlira-chart --chart atlas --site tokyo --center \"ngc 7000\" --scale 5000 -o "
         "na.png\n"
         "  quenlira-chart --chart atlas --site tokyo --print-colours --paper letter -o "
         "orion.pdf\n"
         "In the window chart the planisphere is 280 pixels wide and --size is the atlas's size.\n"
         "A PDF is one page with a title line (site, local time, centre, scale) and the chart\n"
         "printed at 300 dots per inch or finer; without --size the chart fills the page.\n"
         "  quenlira-chart --tonight --site tokyo --date 2026-12-07 --horizon trees.txt\n"
         "  quenlira-chart --tonight --lon 18.96 --lat 69.65 --tz 1 --csv --kinds galaxy\n"
         "With --tonight the text starts with one line 'key: value' for each of sunset,\n"
         "civil-dusk, nautical-dusk, astronomical-dusk, astronomical-dawn, nautical-dawn,\n"
         "civil-dawn, sunrise, moonrise and moonset, in local time as YYYY-MM-DD HH:MM or\n"
         "'none' (a later 'note:' line says why), then the list of objects.\n"
         "Exit status: 0 written, 1 catalogue or file error, 2 bad arguments or a --center\n"
         "name that nothing has (the nearest names are suggested).\n";
    return s;
}

std::string ParseChartOptions(int argc, const char* const* argv, TChartOptions& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool inlineValue = false;
        if (arg == "-o") arg = "--out";
        if (arg == "-h") arg = "--help";
        const size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            inlineValue = true;
        }
        const Option* opt = nullptr;
        for (const Option& c : Options())
            if (arg == c.Name) opt = &c;
        if (!opt) return "unknown argument '" + std::string(argv[i]) + "'";
        if (opt->Arg && !inlineValue) {
            if (i + 1 >= argc) return std::string(opt->Name) + " needs a value " + opt->Arg;
            value = argv[++i];
        } else if (!opt->Arg && inlineValue) {
            return std::string(opt->Name) + " takes no value";
        }
        const std::string err = opt->Set(value, o);
        if (!err.empty()) return err;
    }
    if (o.Help || o.Version) return "";
    if (!o.SiteName.empty()) {
        const std::string err = FindSite(o);
        if (!err.empty()) return err;
    }
    if (!o.HaveLon || !o.HaveLat) return "give the site: --site NAME, or both --lon and --lat";
    if (o.HaveTz) {
        o.ZoneHours = o.TzHours;
        o.HaveZone = true;
    }
    if (o.Tonight) return "";
    if (o.Out.empty() && o.WhereName.empty())
        return "give the picture file with --out FILE.png (or .pdf, .jpg)";
    if (o.CenterBody >= 0 && (o.HaveRa || o.HaveDec))
        return "give the atlas centre either with --center-body or with --ra and --dec, not both";
    if (!o.CenterName.empty() && (o.CenterBody >= 0 || o.HaveRa || o.HaveDec))
        return "give the atlas centre one way: --center, --center-body, or --ra and --dec";
    if (o.Finder) {
        if (o.Chart != "atlas") return "a finder chart is an atlas: leave out --chart";
        // The bright stars go by their letters on a finder chart.
        if (!(o.SwitchesGiven & 1 << 2)) o.Switches[2] = 1;
    }
    if (o.Chart != "planisphere" && !o.HaveSize) {
        o.Width = kAtlasDefaultWidth;
        o.Height = kAtlasDefaultHeight;
    }
    return "";
}

std::string ChartVersion() {
#ifndef QUENLIRA_VERSION
#define QUENLIRA_VERSION "unknown"
#endif
    return std::string("quenlira-chart ") + QUENLIRA_VERSION + "\n";
}

std::string ChartCentreText(const TChartOptions& o) {
    if (o.Chart == "planisphere") return "zenith";
    if (!o.CenterLabel.empty()) return o.CenterLabel;
    if (o.CenterBody >= 0) {
        std::string name = kBodyKeys[o.CenterBody];
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        return name;
    }
    // Rounded to the minute of time and of arc, the way charts are labelled.
    const long m = std::lround(o.RaHours * 60.0);
    const long am = std::lround(std::fabs(o.DecDeg) * 60.0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "RA %ldh%02ldm  Dec %s%ld\u00b0%02ld'", (m / 60) % 24, m % 60,
                  o.DecDeg < 0 && am > 0 ? "\u2212" : "+", am / 60, am % 60);
    return buf;
}

double ChartMjd(const TChartOptions& o, std::time_t now) {
    std::tm utc{};
    gmtime_r(&now, &utc);
    int y = utc.tm_year + 1900, m = utc.tm_mon + 1, d = utc.tm_mday;
    double h = utc.tm_hour, mi = utc.tm_min, s = utc.tm_sec;
    if (o.HaveDate) {
        y = o.Year;
        m = o.Month;
        d = o.Day;
    }
    if (o.HaveTime) {
        h = o.Hour;
        mi = o.Minute;
        s = o.Second;
    }
    return TMjd::JULIAN(y, m, d + (h + (mi + s / 60.0) / 60.0) / 24.0, 0.0, 0);
}
