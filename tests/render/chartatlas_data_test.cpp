// The chart tool drawing the atlas and the window picture with the real
// catalogues beside the test program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartrun.h"
#include "tools/chart/Chartwindow.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

TChartOptions Options(std::vector<const char*> args) {
    args.insert(args.begin(), "quenlira-chart");
    TChartOptions o;
    const std::string err = ParseChartOptions(static_cast<int>(args.size()), args.data(), o);
    EXPECT_EQ(err, "");
    return o;
}

unsigned long Colour(const TDIB& d, int x, int y) {
    return d.Idx2Col(d.GetIdx(x, y));
}

// 2026-12-07 12:00 UT and 2024-03-20 12:00 UT (the Moon waxing gibbous).
constexpr double kMjd2026 = 61381.5;
constexpr double kMjd2024 = 60389.5;
} // namespace

TEST(ChartAtlasRun, CentredBodyIsDrawnAtTheCentrePixel) {
    struct Case {
        const char* name;
        double mjd;
        std::set<unsigned long> centre; // colours of its disc
    };
    const std::vector<Case> cases = {
        {"sun", kMjd2026, {RGB(192, 48, 32)}},
        {"mars", kMjd2026, {RGB(224, 80, 16)}},
        {"jupiter", kMjd2026, {RGB(192, 112, 48), RGB(176, 101, 40)}},
        {"saturn", kMjd2026, {RGB(208, 144, 80), RGB(192, 128, 64), RGB(56, 40, 21)}},
        {"uranus", kMjd2026, {RGB(80, 160, 80)}},
        {"neptune", kMjd2026, {RGB(112, 160, 192)}},
        {"moon", kMjd2024, {RGB(160, 160, 80)}},
    };
    for (const Case& c : cases) {
        TChartOptions o =
            Options({"--chart", "atlas", "--site", "tokyo", "--size", "200x160", "--scale",
                     "1200000", "--hide", "names,grid", "--center-body", c.name, "-o", "x.png"});
        TChartRun run;
        std::string error;
        ASSERT_TRUE(run.Run(o, ".", c.mjd, error)) << error;
        const unsigned long got = Colour(run.Picture(), 100, 80);
        EXPECT_TRUE(c.centre.count(got)) << c.name << " centre colour " << std::hex << got;
    }
    // Pluto is too small for a disc at any scale: its 6-pixel ring is round
    // the centre and the centre itself is black.
    TChartOptions o =
        Options({"--chart", "atlas", "--site", "tokyo", "--size", "200x160", "--scale", "1200000",
                 "--hide", "names,grid", "--center-body", "pluto", "-o", "x.png"});
    TChartRun run;
    std::string error;
    ASSERT_TRUE(run.Run(o, ".", kMjd2026, error)) << error;
    EXPECT_EQ(Colour(run.Picture(), 100, 80), RGB(0, 0, 0));
    EXPECT_EQ(Colour(run.Picture(), 97, 80), RGB(255, 255, 0));
    EXPECT_EQ(Colour(run.Picture(), 100, 77), RGB(255, 255, 0));
}

TEST(ChartAtlasRun, WindowPictureHoldsBothChartsWithTheirColours) {
    const std::vector<const char*> common = {"--site", "tokyo", "--size", "600x400",
                                             "--ra",   "5:35",  "--dec",  "0",
                                             "--show", "all",   "-o",     "x.png"};
    auto with = [&](const char* chart) {
        std::vector<const char*> a = {"--chart", chart};
        a.insert(a.end(), common.begin(), common.end());
        return Options(a);
    };
    TChartRun window, atlas, planisphere;
    std::string error;
    ASSERT_TRUE(window.Run(with("window"), ".", kMjd2026, error)) << error;
    ASSERT_TRUE(atlas.Run(with("atlas"), ".", kMjd2026, error)) << error;
    TChartOptions p = with("planisphere");
    p.Width = p.Height = 280;
    ASSERT_TRUE(planisphere.Run(p, ".", kMjd2026, error)) << error;

    const TDIB& w = window.Picture();
    ASSERT_EQ(w.GetWidth(), 281 + 600);
    ASSERT_EQ(w.GetHeight(), 400);
    ASSERT_LE(w.GetColCount(), 256);
    int differ = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 600; ++x)
            differ += Colour(w, 281 + x, y) != Colour(atlas.Picture(), x, y);
        for (int x = 0; x < 280; ++x)
            differ +=
                Colour(w, x, y) != (y < 280 ? Colour(planisphere.Picture(), x, y) : RGB(0, 0, 0));
    }
    EXPECT_EQ(differ, 0);

    // Betelgeuse (J2000 5h55m10.3s +7 24' 25"), an M star, by distance and
    // bearing from the centre at 1000 pixels per radian, east to the left.
    const double ra0 = 5.5833333 * 15 * kDeg, ra = (5 + 55 / 60.0 + 10.3 / 3600) * 15 * kDeg;
    const double dec = (7 + 24 / 60.0 + 25 / 3600.0) * kDeg;
    const double rho = std::acos(std::cos(dec) * std::cos(ra - ra0));
    const double bearing = std::atan2(std::sin(ra - ra0) * std::cos(dec), std::sin(dec));
    const int px = 281 + static_cast<int>(-1000 * rho * std::sin(bearing) + 300);
    const int py = static_cast<int>(-1000 * rho * std::cos(bearing) + 200);
    bool core = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            core = core || Colour(w, px + dx, py + dy) == RGB(255, 144, 112);
    EXPECT_TRUE(core) << px << "," << py;
}

TEST(ChartAtlasRun, ToolWritesTheWindowAndReportsFailures) {
    if (!std::filesystem::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    const std::string out =
        (std::filesystem::temp_directory_path() / "quenlira_chart_window.png").string();
    int rc = std::system(("./quenlira-chart --chart window --site tokyo --date 2026-12-07 --time "
                          "12:00 --size 200x100 --center-body saturn -o " +
                          out)
                             .c_str());
    ASSERT_EQ(WEXITSTATUS(rc), 0);
    // The PNG header: width and height big-endian at bytes 16 and 20.
    std::ifstream f(out, std::ios::binary);
    unsigned char head[24] = {};
    f.read(reinterpret_cast<char*>(head), 24);
    auto be = [&](int at) {
        return (uint32_t(head[at]) << 24) | (uint32_t(head[at + 1]) << 16) |
               (uint32_t(head[at + 2]) << 8) | head[at + 3];
    };
    EXPECT_EQ(be(16), 281u + 200u);
    EXPECT_EQ(be(20), 280u); // the planisphere is taller than this atlas
    std::filesystem::remove(out);

    rc = std::system(
        "./quenlira-chart --chart atlas --site tokyo --scale 100 -o /dev/null 2>/dev/null");
    EXPECT_EQ(WEXITSTATUS(rc), 2);
    rc = std::system("./quenlira-chart --chart atlas --site tokyo --deepsky /nonexistent/Unsta.dat "
                     "-o /dev/null 2>/dev/null");
    EXPECT_EQ(WEXITSTATUS(rc), 1);
}
