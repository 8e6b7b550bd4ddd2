// quenlira-chart: draws a chart for a site and a moment and writes it as PNG.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "astro/Clsjupiter.h"
#include "astro/Clsmars.h"
#include "astro/Clsmercury.h"
#include "astro/Clsmoon.h"
#include "astro/Clsneptune.h"
#include "astro/Clspluto.h"
#include "astro/Clssaturn.h"
#include "astro/Clssun.h"
#include "astro/Clsuranus.h"
#include "astro/Clsvenus.h"
#include "catalog/Clsstar.h"
#include "render/Clshayami.h"
#include "render/Clspng.h"
#include "tools/chart/Chartoptions.h"

namespace {
std::string ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
}
}  // namespace

int main(int argc, char** argv) {
  TChartOptions o;
  const std::string err = ParseChartOptions(argc, argv, o);
  if (!err.empty()) {
    std::fprintf(stderr, "quenlira-chart: %s\nTry 'quenlira-chart --help'.\n", err.c_str());
    return 2;
  }
  if (o.Help) {
    std::fputs(ChartUsage().c_str(), stdout);
    return 0;
  }
  const std::string starPath = o.Stars.empty() ? ProgramFolder() + "/Star.dat" : o.Stars;
  TStar stars(starPath);
  if (stars.Count == 0) {
    std::fprintf(stderr, "quenlira-chart: no stars in %s%s%s\n", starPath.c_str(),
                 stars.Error.empty() ? "" : ": ", stars.Error.c_str());
    return 1;
  }
  const double mjd = ChartMjd(o, std::time(nullptr));
  const double deg = 3.14159265358979323846 / 180.0;

  TMercury mercury;
  TVenus venus;
  TMars mars;
  TJupiter jupiter;
  TSaturn saturn;
  TUranus uranus;
  TNeptune neptune;
  TPluto pluto;
  TSun sun;
  TMoon moon;
  THayami chart(o.Language, o.Width, o.Height);
  chart.SetLng(o.LonDeg * deg);
  chart.SetLat(o.LatDeg * deg);
  chart.SetMJD(mjd);
  chart.Star = &stars;
  chart.Mercury = &mercury;
  chart.Venus = &venus;
  chart.Mars = &mars;
  chart.Jupiter = &jupiter;
  chart.Saturn = &saturn;
  chart.Uranus = &uranus;
  chart.Neptune = &neptune;
  chart.Pluto = &pluto;
  chart.Sun = &sun;
  chart.Moon = &moon;
  chart.DrawHayami(o.Ring ? 1 : 0);

  std::string error;
  if (!WritePng(chart.DIB, o.Out, error)) {
    std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
