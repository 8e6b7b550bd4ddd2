#include "tools/chart/Chartoptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "astro/Clsmjd.h"

namespace {

struct Site {
  const char* Key;
  double LonDeg, LatDeg;
};
// The three sites a new settings file starts with.
const Site kSites[] = {{"greenwich", 0.1, 52.21667},
                       {"lascampanas", -70.7, -29.0},
                       {"tokyo", 139.5167, 35.68333}};

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

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return days[m - 1];
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

struct Option {
  const char* Name;
  const char* Arg;  // null: a switch without a value
  const char* Help;
  std::function<std::string(const std::string&, TChartOptions&)> Set;
};

const std::vector<Option>& Options() {
  static const std::vector<Option> table = {
      {"--chart", "KIND", "chart to draw: planisphere (default)",
       [](const std::string& v, TChartOptions& o) -> std::string {
         if (v != "planisphere") return "unknown chart '" + v + "' (known: planisphere)";
         o.Chart = v;
         return "";
       }},
      {"--site", "NAME", "greenwich, lascampanas or tokyo (the default sites)",
       [](const std::string& v, TChartOptions& o) -> std::string {
         for (const Site& s : kSites)
           if (v == s.Key) {
             o.LonDeg = s.LonDeg;
             o.LatDeg = s.LatDeg;
             o.HaveLon = o.HaveLat = true;
             return "";
           }
         return "unknown site '" + v + "' (known: greenwich, lascampanas, tokyo)";
       }},
      {"--lon", "DEG", "east longitude in degrees, -180 to 360",
       [](const std::string& v, TChartOptions& o) -> std::string {
         double d;
         if (!Number(v, d) || d < -180 || d > 360) return "longitude '" + v + "' is not a number of degrees from -180 to 360";
         o.LonDeg = d;
         o.HaveLon = true;
         return "";
       }},
      {"--lat", "DEG", "latitude in degrees, north positive, -90 to 90",
       [](const std::string& v, TChartOptions& o) -> std::string {
         double d;
         if (!Number(v, d) || d < -90 || d > 90) return "latitude '" + v + "' is not a number of degrees from -90 to 90";
         o.LatDeg = d;
         o.HaveLat = true;
         return "";
       }},
      {"--date", "YYYY-MM-DD", "date in UTC (default today)",
       [](const std::string& v, TChartOptions& o) -> std::string {
         const auto p = Split(v, '-');
         int y, m, d;
         if (p.size() != 3 || p[0].size() != 4 || !Integer(p[0], y) || !Integer(p[1], m) ||
             !Integer(p[2], d) || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
           return "date '" + v + "' is not a calendar date YYYY-MM-DD";
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
      {"--size", "N|WxH", "picture size in pixels, 16 to 8000 (default 280)",
       [](const std::string& v, TChartOptions& o) -> std::string {
         auto p = Split(v, 'x');
         if (p.size() == 1) p.push_back(p[0]);
         int w, h;
         if (p.size() != 2 || !Integer(p[0], w) || !Integer(p[1], h) || w < 16 || h < 16 ||
             w > 8000 || h > 8000)
           return "size '" + v + "' is not N or WxH with 16 to 8000 pixels";
         o.Width = w;
         o.Height = h;
         return "";
       }},
      {"--ring", nullptr, "draw the horizon ring",
       [](const std::string&, TChartOptions& o) -> std::string {
         o.Ring = true;
         return "";
       }},
      {"--japanese", nullptr, "Japanese names instead of abbreviations",
       [](const std::string&, TChartOptions& o) -> std::string {
         o.Language = 0;
         return "";
       }},
      {"--stars", "FILE", "star catalogue (default Star.dat beside the program)",
       [](const std::string& v, TChartOptions& o) -> std::string {
         o.Stars = v;
         return "";
       }},
      {"--out", "FILE.png", "the picture to write (required; also -o)",
       [](const std::string& v, TChartOptions& o) -> std::string {
         if (v.empty()) return "the output file name is empty";
         o.Out = v;
         return "";
       }},
      {"--help", nullptr, "this text",
       [](const std::string&, TChartOptions& o) -> std::string {
         o.Help = true;
         return "";
       }},
  };
  return table;
}

}  // namespace

std::string ChartUsage() {
  std::string s =
      "Usage: quenlira-chart --site NAME | --lon DEG --lat DEG [options] --out FILE.png\n"
      "Draws the sky over a site at a moment and writes it as a PNG picture.\n\n";
  for (const Option& o : Options()) {
    std::string left = std::string("  ") + o.Name + (o.Arg ? std::string(" ") + o.Arg : "");
    if (left.size() < 26) left.resize(26, ' ');
    s += left + " " + o.Help + "\n";
  }
  s += "\nExample: quenlira-chart --site tokyo --date 2026-12-07 --time 12:00 --size 600 -o sky.png\n"
       "Exit status: 0 written, 1 catalogue or file error, 2 bad arguments.\n";
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
  if (o.Help) return "";
  if (!o.HaveLon || !o.HaveLat) return "give the site: --site NAME, or both --lon and --lat";
  if (o.Out.empty()) return "give the picture file with --out FILE.png";
  return "";
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
