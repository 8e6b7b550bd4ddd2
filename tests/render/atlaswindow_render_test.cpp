// The atlas's visible window is only a pre-filter: it must hold every sky
// point that the view shows, or the layers leave those stars out. Wide views
// (the smallest scales on a large screen) reach beyond 90 degrees from the
// centre, where six sampled view points no longer bound the visible sky.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "catalog/Clsnebula.h"
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
        for (int x = 1; x < kW; x += 12)
            probe(x, y);
    for (int x = 1; x < kW; x += 3)
        probe(x, 1), probe(x, kH - 1);
    for (int y = 1; y < kH; y += 3)
        probe(1, y), probe(kW - 1, y);
    return missed;
}
} // namespace

TEST(AtlasWindow, HoldsEverySkyPointTheViewShows) {
    TAtlas a(1, kW, kH);
    for (int n = 1; n <= 8; ++n)
        a.SetSwitch(n, 0);
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
                EXPECT_EQ(Missed(a, x, y), 0) << "scale " << scale << " centre " << raDeg << " "
                                              << decDeg << " first at " << x << "," << y;
            }
        }
    }
}

TEST(AtlasWindow, DeepSkyObjectsOnTheFarSideAreNotDrawn) {
    // A two-record deep-sky file: NGC 2 near the centre of a wide view
    // (0h +30, scale 300), NGC 1 on the far side, 110 degrees away, yet
    // inside the window (every right ascension, declination -60 ... +90).
    TNebulaRecord rec[2] = {};
    rec[0].no = 1;
    rec[0].ra = static_cast<float>(kPi);
    rec[0].dec = static_cast<float>(40 * kPi / 180);
    rec[0].type = 1;
    rec[1].no = 2;
    rec[1].ra = static_cast<float>(10 * kPi / 180);
    rec[1].dec = static_cast<float>(30 * kPi / 180);
    rec[1].type = 1;
    const std::string path =
        (std::filesystem::temp_directory_path() / "quenlira_farside_unsta.dat").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(rec, sizeof rec, 1, f);
    std::fclose(f);
    TNebula nebula(path);
    ASSERT_EQ(nebula.Count, 2) << nebula.Error;

    const int w = 900, h = 700;
    TAtlas a(1, w, h);
    a.Nebula = &nebula;
    for (int n = 1; n <= 8; ++n)
        a.SetSwitch(n, n == 6 ? 1 : 0);
    a.SetViewWidth(w);
    a.SetViewHeight(h);
    a.SetScale(300);
    a.SetCenterRa(0.0);
    a.SetCenterDec(30 * kPi / 180);
    a.Draw();
    std::filesystem::remove(path);

    // NGC 2 by distance and bearing: 10 degrees of right ascension at +30 is
    // 8.66 degrees east (left) and 0.33 degrees north of the centre.
    const double dra = 10 * kPi / 180, d0 = 30 * kPi / 180;
    const double rho =
        std::acos(std::sin(d0) * std::sin(d0) + std::cos(d0) * std::cos(d0) * std::cos(dra));
    const double bearing =
        std::atan2(std::sin(dra) * std::cos(d0),
                   std::cos(d0) * std::sin(d0) - std::sin(d0) * std::cos(d0) * std::cos(dra));
    const int nx = static_cast<int>(-300 * rho * std::sin(bearing) + w / 2);
    const int ny = static_cast<int>(-300 * rho * std::cos(bearing) + h / 2);
    const TDIB& d = a.GetDib();
    int nearNgc2 = 0, elsewhere = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (d.Idx2Col(d.GetIdx(x, y)) != RGB(104, 24, 112)) continue;
            // Its symbol (10 x 9 cells) and its label "2" to the upper right.
            if (x >= nx - 5 && x <= nx + 20 && y >= ny - 8 && y <= ny + 6)
                ++nearNgc2;
            else
                ++elsewhere;
        }
    EXPECT_GT(nearNgc2, 10);
    // NGC 1 would have landed on the centre pixel, symbol and label "1".
    EXPECT_EQ(elsewhere, 0);
}
