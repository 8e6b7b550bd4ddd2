// Command-line options of quenlira-chart. Each option is one row of a table
// in Chartoptions.cpp, so that later charts add their own rows there.
#pragma once

#include <ctime>
#include <string>

struct TChartOptions {
  std::string Chart = "planisphere";
  bool HaveLon = false, HaveLat = false;
  double LonDeg = 0;  // east positive
  double LatDeg = 0;
  bool HaveDate = false, HaveTime = false;
  int Year = 2000, Month = 1, Day = 1;
  int Hour = 0, Minute = 0;
  double Second = 0;
  int Width = 280, Height = 280;
  bool Ring = false;
  int Language = 1;
  std::string Stars;  // empty: Star.dat beside the program
  std::string Out;
  bool Help = false;
};

// Fills `o` from the arguments; the empty text when they are fine, else what
// is wrong with them.
std::string ParseChartOptions(int argc, const char* const* argv, TChartOptions& o);

// The --help text.
std::string ChartUsage();

// MJD (UT) of the chosen moment: the date and time given, the parts left out
// taken from `now` (UTC).
double ChartMjd(const TChartOptions& o, std::time_t now);
