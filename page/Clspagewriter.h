// The one page writer of the program: a chart as a page to print, PDF or
// SVG through cairo, drawn as vectors through a TPageTarget, with a legend
// (where, when, centre, scale bar, limiting magnitude, magnitude key with the
// chart's own discs, the deep-sky symbols used) and the grid's right
// ascensions and declinations along the chart's border. The chart window's
// Ctrl+S and quenlira-chart both write their pages here.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TDrawTarget;

struct TPaper {
    std::string Name = "a4"; // a4, letter or a3
    bool Landscape = true;
    // Page size in points (1/72 inch); false for a paper not known.
    bool Size(double& widthPt, double& heightPt) const;
    static bool Known(const std::string& name);
};

enum class TPageFormat { Pdf, Svg };

struct TPageContent {
    std::string Title; // the document's title
    bool Print = true; // black on white; false: the screen's colours
    // The chart: its size in pixels and its drawing through the target.
    int Width = 0, Height = 0;
    bool Round = false; // the planisphere: a disc, no border labels
    std::function<void(TDrawTarget&)> Draw;
    // For the border labels: the sky (radians) under a chart pixel, and the
    // grid's main spacings; none when Sky is empty.
    std::function<bool(double x, double y, double& ra, double& dec)> Sky;
    double RaStep = 0, DecStep = 0;
    // The legend: lines of text (site, date and times, centre), the scale
    // bar, the limiting magnitude (x 100) and the deep-sky symbols shown.
    std::vector<std::string> Lines;
    double PixelsPerDegree = 0; // 0: no scale bar
    bool HaveLimit = false;
    int Limit = 0;
    std::vector<int> Symbols;
};

// Pixels per inch of paper a page's chart is drawn with, so that its labels
// keep their size in points.
constexpr double kPagePpi = 96;

// The chart size in pixels that fills the chart area of the paper (a square
// for a round chart).
void PageChartPixels(const TPaper& paper, bool round, int& width, int& height);

// The legend's name of a deep-sky symbol (the atlas's kinds 0-5).
const char* SymbolName(int kind);

// Writes the pages (an SVG file holds the first only); false, with the
// reason, when not written (an existing file is then left as it was).
bool WritePage(const std::string& path, TPageFormat format, const TPaper& paper,
               const std::vector<TPageContent>& pages, std::string& error);
