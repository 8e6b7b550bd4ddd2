// Command-line options of quenlira-chart. Each option is one row of a table
// in Chartoptions.cpp, so that later charts add their own rows there.
#pragma once

#include <ctime>
#include <string>
#include <vector>

// A site --site can name besides the three built-in ones: the user's own,
// from the settings file.
struct TChartSite {
    std::string Name;
    double LonDeg = 0, LatDeg = 0;
    double ZoneHours = 0; // local time minus UTC, summer time included
};

// What --out asks for, by its ending.
enum class TChartFormat { Png, Pdf, Jpeg, Svg };

struct TChartOptions {
    std::string Chart = "planisphere"; // planisphere, atlas or window
    // The site's name as --site gave it, matched without regard to case
    // against the built-in sites, then against UserSites; after parsing, the
    // name of the site found.
    std::string SiteName;
    std::vector<TChartSite> UserSites;
    bool HaveZone = false; // a named site knows its local time
    double ZoneHours = 0;
    bool HaveLon = false, HaveLat = false;
    double LonDeg = 0; // east positive
    double LatDeg = 0;
    bool HaveDate = false, HaveTime = false;
    int Year = 2000, Month = 1, Day = 1;
    int Hour = 0, Minute = 0;
    double Second = 0;
    int Width = 280, Height = 280;
    bool HaveSize = false;
    bool Ring = false;
    // The atlas: centre, scale, sensitivity and the eight display switches
    // (Milky Way, constellations, Bayer, Flamsteed, star names, deep-sky,
    // grid, realistic colours), starting as the program's window starts.
    bool HaveRa = false, HaveDec = false;
    double RaHours = 1.4835 * 12.0 / 3.14159265358979323846;
    double DecDeg = 0;
    int CenterBody = -1; // 0-9 in the body order of the atlas, -1 none
    // --center: any object by name, put into the centre fields above by
    // ResolveChartCentre (Chartfind.h); CenterLabel then names it for titles.
    std::string CenterName;
    std::string CenterLabel;
    // The object --center found, marked on the charts as the chosen one:
    // kind and number as the atlas numbers a pick (0: none; 1: the place
    // TargetRa, TargetDec, J2000 radians, as for a comet).
    int TargetKind = 0, TargetNumber = 0;
    double TargetRa = 0, TargetDec = 0;
    // --where: print the place of this object instead of drawing.
    std::string WhereName;
    // --elements: comet and asteroid element files besides the folder Minor/.
    std::vector<std::string> Elements;
    int Scale = 1000;
    bool HaveScale = false;
    // --finder NAME: a finder chart of the object (CenterName): Telrad rings
    // and the --fov rings about it, the object marked, a limiting magnitude
    // that suits the field (or --limit), labels for the bright stars only.
    bool Finder = false;
    int Limit = 0; // magnitude x 100 given with --limit; 0 none
    bool HaveLimit = false;
    struct TFov {
        double Radius = 0; // radians
        std::string Label;
    };
    std::vector<TFov> Fov;
    int Sensitivity = 0;
    int Switches[8] = {1, 1, 0, 0, 1, 0, 1, 1};
    unsigned SwitchesGiven = 0; // bit n: switch n + 1 set by --show or --hide
    std::string DeepSky; // empty: Unsta.dat beside the program
    int Language = 1;
    std::string Stars; // empty: Star.dat beside the program
    // empty: Tycho.dat beside the program when it is there; "none": no deep stars
    std::string DeepStars;
    std::string Out;
    TChartFormat Format = TChartFormat::Png;
    // Pages (PDF, SVG): the paper, its orientation (empty: landscape for the
    // atlas, portrait for the planisphere); printed black on white unless
    // ScreenColours. JPEG pictures: black on white with PrintColours.
    std::string Paper = "a4";
    std::string Orientation;
    bool PrintColours = false;
    bool ScreenColours = false;
    bool Help = false;
    bool Version = false;
    // --tonight: the night's times and what to observe, as text instead of
    // a picture. The date is then the local date of the evening.
    bool Tonight = false;
    bool Csv = false;
    std::string Horizon; // a horizon profile file, empty: flat
    bool HorizonLine = false; // the atlas draws the horizon
    bool HaveTz = false;
    double TzHours = 0;
    double MinAltDeg = 20;
    double MagLimit = 10;
    std::vector<std::string> Groups;
    std::string Constellation;
};

// Fills `o` from the arguments; the empty text when they are fine, else what
// is wrong with them.
std::string ParseChartOptions(int argc, const char* const* argv, TChartOptions& o);

// Names of the display switches, in the atlas's order (index 0 is switch 1).
extern const char* const kChartSwitchNames[8];

// The atlas panel's size when --size is not given.
constexpr int kAtlasDefaultWidth = 800, kAtlasDefaultHeight = 600;

// The --help text, and the --version text.
std::string ChartUsage();
std::string ChartVersion();

// The centre of the atlas as words for a title ("RA 5h35m Dec -1°00'" or the
// body's name).
std::string ChartCentreText(const TChartOptions& o);

// MJD (UT) of the chosen moment: the date and time given, the parts left out
// taken from `now` (UTC).
double ChartMjd(const TChartOptions& o, std::time_t now);
