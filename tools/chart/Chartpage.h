// quenlira-chart's pages to print: the chart of a run drawn again as vectors
// through the program's one page writer (page/), with its legend; and the
// black-on-white colours JPEG pictures are printed in.
#pragma once

#include <string>

struct TChartOptions;
class TChartRun;

// The chart size in pixels that fills the page of `o` (its paper and
// orientation), for a page without --size.
void PagePixels(const TChartOptions& o, int& width, int& height);

// "Tokyo 139.52°E 35.68°N  ·  2026-12-07 21:00 local time (UTC+9)  ·  centre ...  ·  scale ..."
// printedPpi: chart pixels per inch of paper, for the millimetres of a degree.
std::string PageTitle(const TChartOptions& o, double mjd, double printedPpi);

// A colour (0x00BBGGRR) as printed: black paper becomes white, the brightest
// marks black, dim fills (the Milky Way) light grey.
unsigned long PrintColour(unsigned long rgb);

// The page (PDF or SVG, by o.Format) of the chart `run` drew. False, with
// the reason, when not written.
bool WriteChartPage(TChartRun& run, const TChartOptions& o, double mjd, std::string& error);
