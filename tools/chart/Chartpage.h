// A chart as one printed page (PDF, through cairo), and the black-on-white
// colours people print charts in.
#pragma once

#include <string>

class TDIB;
struct TChartOptions;

struct TChartPage {
    std::string Paper = "a4"; // a4 or letter
    bool Landscape = false;
    std::string Title;         // one line above the chart
    bool PrintColours = false; // black on white
    // Page size in points (1/72 inch) for the paper and orientation.
    void Size(double& widthPt, double& heightPt) const;
    // Where the chart may go: below the title, inside the margins (points).
    void ChartArea(double& left, double& top, double& width, double& height) const;
};

// Pixels per inch of paper a chart is drawn with when --size is not given:
// labels of 8 points come out about 5 points high, stars of 5 pixels 0.8 mm.
constexpr int kPageDrawPpi = 150;
// The chart is never printed coarser than this many dots per inch: each
// pixel of a smaller picture becomes a square of whole dots.
constexpr int kPageMinDpi = 300;

// The page that fits `o`: its paper, the orientation asked for or, by
// default, landscape for a chart wider than tall.
TChartPage PageFor(const TChartOptions& o, int chartWidth, int chartHeight);

// The chart size that fills the chart area of an A4 or Letter page at
// kPageDrawPpi (a square for the planisphere), for a PDF without --size.
void PagePixels(const TChartOptions& o, int& width, int& height);

// "Tokyo 139.52°E 35.68°N  ·  2026-12-07 21:00 local (UTC+9)  ·  centre ...  ·  scale ..."
std::string PageTitle(const TChartOptions& o, double mjd, double printedPpi);

// A colour (0x00BBGGRR) as printed: black paper becomes white, the brightest
// marks black, dim fills (the Milky Way) light grey.
unsigned long PrintColour(unsigned long rgb);

// One page with the title and the chart, scaled to fill the chart area and
// printed at kPageMinDpi or finer. False, with the reason, when not written.
bool WriteChartPdf(const TDIB& dib, const TChartPage& page, const std::string& path,
                   std::string& error);
