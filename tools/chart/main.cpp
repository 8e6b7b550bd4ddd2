// quenlira-chart: draws a chart for a site and a moment and writes it as PNG.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
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
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"
#include "render/Clshayami.h"
#include "render/Clspng.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartwindow.h"

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
  const bool planisphere = o.Chart != "atlas", atlasToo = o.Chart != "planisphere";
  const std::string deepPath = o.DeepSky.empty() ? ProgramFolder() + "/Unsta.dat" : o.DeepSky;
  std::unique_ptr<TNebula> nebula;
  if (atlasToo) {
    nebula = std::make_unique<TNebula>(deepPath);
    if (nebula->Count == 0) {
      std::fprintf(stderr, "quenlira-chart: no deep-sky objects in %s%s%s\n", deepPath.c_str(),
                   nebula->Error.empty() ? "" : ": ", nebula->Error.c_str());
      return 1;
    }
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
  auto bodies = [&](auto& chart) {
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
  };

  // The window's planisphere keeps its panel size whatever --size says.
  const int hw = o.Chart == "window" ? kPlanispherePanelWidth : o.Width;
  const int hh = o.Chart == "window" ? kPlanispherePanelWidth : o.Height;
  std::unique_ptr<THayami> hayami;
  if (planisphere) {
    hayami = std::make_unique<THayami>(o.Language, hw, hh);
    hayami->SetLng(o.LonDeg * deg);
    hayami->SetLat(o.LatDeg * deg);
    hayami->SetMJD(mjd);
    hayami->Star = &stars;
    bodies(*hayami);
    hayami->DrawHayami(o.Ring ? 1 : 0);
  }

  std::unique_ptr<TAtlas> atlas;
  if (atlasToo) {
    atlas = std::make_unique<TAtlas>(o.Language, o.Width, o.Height);
    atlas->SetLng(o.LonDeg * deg);
    atlas->SetLat(o.LatDeg * deg);
    atlas->SetMJD(mjd);
    atlas->Star[0] = &stars;
    atlas->Nebula = nebula.get();
    bodies(*atlas);
    double ra = o.RaHours * 15.0 * deg, dec = o.DecDeg * deg;
    if (o.CenterBody >= 0) {
      const TAtlas::BodyPlace p = atlas->PlaceBody(o.CenterBody);
      ra = p.ra;
      dec = p.dec;
    }
    // In the order the chart window hands its view to the atlas.
    atlas->SetViewWidth(o.Width);
    atlas->SetViewHeight(o.Height);
    atlas->SetScale(o.Scale);
    atlas->SetSensitivity(o.Sensitivity);
    for (int n = 1; n <= 8; ++n) atlas->SetSwitch(n, o.Switches[n - 1]);
    atlas->SetCenterRa(ra);
    atlas->SetCenterDec(dec);
    atlas->Draw();
  }

  TDIB window;
  const TDIB* picture = nullptr;
  if (o.Chart == "window") {
    ComposeWindow(hayami->DIB, atlas->GetDib(), window);
    picture = &window;
  } else {
    picture = planisphere ? &hayami->DIB : &atlas->GetDib();
  }
  std::string error;
  if (!WritePng(*picture, o.Out, error)) {
    std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
