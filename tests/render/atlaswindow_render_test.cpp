// The atlas's visible window is only a pre-filter: it must hold every sky
// point that the view shows, or the layers leave those stars out. Wide views
// (the smallest scales on a large screen) reach beyond 90 degrees from the
// centre, where six sampled view points no longer bound the visible sky.
#include <gtest/gtest.h>

#include <cmath>

#include "render/Clsatlas.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int kW = 1639, kH = 1080;

// Visible view pixels (sampled) whose sky point falls outside the window.
int Missed(TAtlas& a, int& firstX, int& firstY) {
  int missed = 0;
  auto probe = [&](int x, int y) {
    double dec, ra, px, py;
    a.Unproject(1, x, y, &dec, &ra, a.GetCenterDec(), a.GetCenterRa());
    if (!a.Project(1, &px, &py, a.GetCenterDec(), a.GetCenterRa(), dec, ra)) return;
    if (a.InWindow(ra, dec)) return;
    if (missed++ == 0) firstX = x, firstY = y;
  };
  for (int y = 1; y < kH; y += 12)
    for (int x = 1; x < kW; x += 12) probe(x, y);
  for (int x = 1; x < kW; x += 3) probe(x, 1), probe(x, kH - 1);
  for (int y = 1; y < kH; y += 3) probe(1, y), probe(kW - 1, y);
  return missed;
}
}  // namespace

TEST(AtlasWindow, HoldsEverySkyPointTheViewShows) {
  TAtlas a(1, kW, kH);
  for (int n = 1; n <= 8; ++n) a.SetSwitch(n, 0);
  a.SetViewWidth(kW);
  a.SetViewHeight(kH);
  // The case that first showed it: scale 400, centre 0h -33 degrees; the top
  // edge at pixel (498, 1) shows declination +46.0, above the top corners
  // and the top middle.
  a.SetScale(400);
  a.SetCenterRa(0.0);
  a.SetCenterDec(-33.0 * kPi / 180);
  a.Draw();
  double dec, ra;
  a.Unproject(1, 498, 1, &dec, &ra, a.GetCenterDec(), a.GetCenterRa());
  EXPECT_NEAR(dec * 180 / kPi, 45.99, 0.02);
  EXPECT_TRUE(a.InWindow(ra, dec));

  for (int scale : {300, 400, 500, 625, 800, 1000, 5000}) {
    for (double decDeg = -85; decDeg <= 85; decDeg += 5) {
      for (double raDeg : {0.0, 200.0}) {
        a.SetScale(scale);
        a.SetCenterRa(raDeg * kPi / 180);
        a.SetCenterDec(decDeg * kPi / 180);
        a.Draw();
        int x = 0, y = 0;
        EXPECT_EQ(Missed(a, x, y), 0)
            << "scale " << scale << " centre " << raDeg << " " << decDeg << " first at " << x
            << "," << y;
      }
    }
  }
}
