#include "tools/chart/Chartpage.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "astro/Clsmjd.h"
#include "page/Clschartpage.h"
#include "page/Clspagewriter.h"
#include "render/Clsdib.h"
#include "render/Clsdrawtarget.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartrun.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Format(const char* f, double a) {
    char buf[96];
    std::snprintf(buf, sizeof buf, f, a);
    return buf;
}

TPaper PaperOf(const TChartOptions& o) {
    TPaper p;
    p.Name = o.Paper;
    // By default the atlas lies on its side and the round planisphere stands.
    p.Landscape = o.Orientation.empty() ? o.Chart != "planisphere" : o.Orientation == "landscape";
    return p;
}

std::string Site(const TChartOptions& o) {
    std::string t = o.SiteName.empty() ? "" : o.SiteName + " ";
    t += Format("%.2f\u00b0", std::fabs(o.LonDeg)) + (o.LonDeg < 0 ? "W " : "E ");
    t += Format("%.2f\u00b0", std::fabs(o.LatDeg)) + (o.LatDeg < 0 ? "S" : "N");
    return t;
}

std::string When(double mjd, double zone) {
    int y, m;
    double d;
    TMjd::MJD2DATE(mjd, zone, 0, y, m, d);
    const int day = static_cast<int>(std::floor(d));
    const int minutes = std::min(1439, static_cast<int>(std::floor((d - day) * 1440 + 1e-6)));
    char when[96];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", y, m, day, minutes / 60,
                  minutes % 60);
    return when;
}

} // namespace

void PagePixels(const TChartOptions& o, int& width, int& height) {
    PageChartPixels(PaperOf(o), o.Chart == "planisphere", width, height);
}

std::string PageTitle(const TChartOptions& o, double mjd, double printedPpi) {
    std::string t = Site(o);
    const double zone = o.HaveZone ? o.ZoneHours : 0;
    t += "  \u00b7  " + When(mjd, zone);
    if (o.HaveZone)
        t += Format(" local time (UTC%+g)", zone);
    else
        t += " UTC";
    t += "  \u00b7  centre " + ChartCentreText(o);
    const double mmPerPixel = 25.4 / printedPpi;
    if (o.Chart == "planisphere") {
        // The horizon circle is the chart's width and spans 180 degrees.
        t += Format("  \u00b7  whole sky, 180\u00b0 = %.0f mm", o.Width * mmPerPixel);
    } else {
        t += Format("  \u00b7  scale %.0f", o.Scale) +
             Format(", 1\u00b0 = %.1f mm", o.Scale * kPi / 180 * mmPerPixel);
    }
    return t;
}

unsigned long PrintColour(unsigned long rgb) {
    const int v = std::max({GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)});
    if (v == 0) return RGB(255, 255, 255);
    // Dim fills (the Milky Way, faint shading) become light greys; everything
    // brighter darkens with its brightness, the brightest marks black.
    const int g = v < 64 ? 255 - v : (255 - v) * 3 / 4;
    return RGB(g, g, g);
}

bool WriteChartPage(TChartRun& run, const TChartOptions& o, double mjd, std::string& error) {
    if (o.Chart == "window") {
        error = "a page holds the atlas or the planisphere: give --chart atlas or planisphere "
                "(--chart window is for pictures)";
        return false;
    }
    const TPaper paper = PaperOf(o);
    const bool print = !o.ScreenColours;
    const double zone = o.HaveZone ? o.ZoneHours : 0;
    std::vector<std::string> lines{Site(o)};
    std::string when = When(mjd, zone);
    if (o.HaveZone)
        when += Format(" local time (UTC%+g)", zone) + ",  " + When(mjd, 0) + " UT";
    else
        when += " UT";
    lines.push_back(when);
    // Points per chart pixel on this page, for the title's millimetres.
    int fw = 0, fh = 0;
    PageChartPixels(paper, o.Chart == "planisphere", fw, fh);
    const double fit =
        std::min(static_cast<double>(fw) / o.Width, static_cast<double>(fh) / o.Height);
    const std::string title = PageTitle(o, mjd, kPagePpi / fit);
    TPageContent c = o.Chart == "planisphere" ? PlanispherePage(*run.Hayami(), o.Ring ? 1 : 0, print)
                                              : AtlasPage(*run.Atlas(), print);
    c.Lines = lines;
    c.Title = title;
    c.Lines.push_back(o.Chart == "planisphere"
                          ? "Whole sky: zenith at the centre, horizon at the rim"
                          : "Centre " + ChartCentreText(o));
    return WritePage(o.Out, o.Format == TChartFormat::Svg ? TPageFormat::Svg : TPageFormat::Pdf,
                     paper, {c}, error);
}
