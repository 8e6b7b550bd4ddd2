// The chart tool's atlas arguments and its window picture made of the two
// charts side by side.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/Clsdib.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartwindow.h"

namespace {
std::string Parse(std::vector<const char*> args, TChartOptions& o) {
    args.insert(args.begin(), "quenlira-chart");
    return ParseChartOptions(static_cast<int>(args.size()), args.data(), o);
}
} // namespace

TEST(ChartAtlasOptions, CentreScaleSensitivityAndSwitches) {
    TChartOptions o;
    ASSERT_EQ(Parse({"--chart", "atlas", "--site", "tokyo", "--ra", "5:35:24", "--dec", "-0:30",
                     "--scale", "20000", "--sensitivity", "-3", "--show", "bayer,flamsteed",
                     "--hide", "milkyway", "-o", "a.png"},
                    o),
              "");
    EXPECT_NEAR(o.RaHours, 5.59, 1e-12);
    // The sign of the degrees field covers the minutes: -0:30 is half a degree south.
    EXPECT_NEAR(o.DecDeg, -0.5, 1e-12);
    EXPECT_EQ(o.Scale, 20000);
    EXPECT_EQ(o.Sensitivity, -3);
    const int want[8] = {0, 1, 1, 1, 1, 0, 1, 1};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(o.Switches[i], want[i]) << kChartSwitchNames[i];
    // Without --size the atlas gets its own default, the planisphere keeps 280.
    EXPECT_EQ(o.Width, kAtlasDefaultWidth);
    EXPECT_EQ(o.Height, kAtlasDefaultHeight);

    TChartOptions d;
    ASSERT_EQ(Parse({"--site", "tokyo", "--ra", "23.999", "--dec", "-5:23:28.5", "--sensitivity",
                     "+5", "-o", "a.png"},
                    d),
              "");
    EXPECT_NEAR(d.DecDeg, -(5 + 23 / 60.0 + 28.5 / 3600.0), 1e-12);
    EXPECT_EQ(d.Sensitivity, 5);
    EXPECT_EQ(d.Width, 280);

    // The help says "0 to 24": both ends are taken, 24h as the 0h it is.
    for (const char* ra : {"24:00:00", "24", "0"}) {
        TChartOptions e;
        e.RaHours = 7;
        ASSERT_EQ(Parse({"--site", "tokyo", "--ra", ra, "-o", "a.png"}, e), "") << ra;
        EXPECT_EQ(e.RaHours, 0.0) << ra;
    }

    // Switch lists apply in the order given.
    TChartOptions s;
    ASSERT_EQ(Parse({"--site", "tokyo", "--hide", "all", "--show", "grid", "-o", "a.png"}, s), "");
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(s.Switches[i], i == 6 ? 1 : 0) << kChartSwitchNames[i];

    TChartOptions w;
    ASSERT_EQ(Parse({"--chart", "window", "--site", "tokyo", "--size", "640x400", "--center-body",
                     "moon", "-o", "w.png"},
                    w),
              "");
    EXPECT_EQ(w.Width, 640);
    EXPECT_EQ(w.Height, 400);
    EXPECT_EQ(w.CenterBody, 9);
    TChartOptions j;
    ASSERT_EQ(Parse({"--site", "tokyo", "--center-body", "jupiter", "-o", "j.png"}, j), "");
    EXPECT_EQ(j.CenterBody, 3);

    const std::string help = ChartUsage();
    for (const char* opt : {"--ra", "--dec", "--scale", "--sensitivity", "--show", "--hide",
                            "--center-body", "--deepsky", "window"})
        EXPECT_NE(help.find(opt), std::string::npos) << opt;
}

TEST(ChartAtlasOptions, BadAtlasArgumentsSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
        {{"--ra", "24.001"}, "right ascension '24.001'"},
        {{"--ra", "24:00:01"}, "right ascension '24:00:01'"},
        {{"--ra", "-1"}, "right ascension '-1'"},
        {{"--ra", "5:60"}, "right ascension '5:60'"},
        {{"--ra", "5:30:60"}, "right ascension '5:30:60'"},
        {{"--ra", "5:3x"}, "right ascension '5:3x'"},
        {{"--ra", "5:-3"}, "right ascension '5:-3'"},
        {{"--ra", "1:2:3:4"}, "right ascension '1:2:3:4'"},
        {{"--dec", "90:00:01"}, "declination '90:00:01'"},
        {{"--dec", "-91"}, "declination '-91'"},
        {{"--dec", "nan"}, "declination 'nan'"},
        {{"--dec", ""}, "declination ''"},
        {{"--scale", "299"}, "scale '299'"},
        {{"--scale", "1200001"}, "scale '1200001'"},
        {{"--scale", "1e4"}, "scale '1e4'"},
        {{"--sensitivity", "6"}, "sensitivity '6'"},
        {{"--sensitivity", "-6"}, "sensitivity '-6'"},
        {{"--sensitivity", "1.5"}, "sensitivity '1.5'"},
        {{"--sensitivity", "--"}, "sensitivity '--'"},
        {{"--show", "stars"}, "unknown display switch 'stars'"},
        {{"--hide", "grid,"}, "unknown display switch ''"},
        {{"--center-body", "io"}, "unknown body 'io'"},
        {{"--chart", "moon"}, "unknown chart 'moon'"},
        {{"--center-body", "mars", "--ra", "5"}, "not both"},
        {{"--dec", "10", "--center-body", "mars"}, "not both"},
        {{"--scale"}, "--scale needs a value"},
    };
    for (const auto& [extra, want] : cases) {
        std::vector<const char*> args = {"--site", "tokyo", "-o", "x.png"};
        args.insert(args.end(), extra.begin(), extra.end());
        TChartOptions o;
        const std::string err = Parse(args, o);
        EXPECT_NE(err.find(want), std::string::npos) << extra[0] << " got: " << err;
    }
}

TEST(ChartWindow, PanelsSideBySideKeepTheirColours) {
    // Two rasters whose colour tables disagree: index 1 is green on the left
    // and blue on the right, so a copy of raw indices would show.
    TDIB left, right, out;
    left.AddColor(RGB(0, 0, 0));
    left.AddColor(RGB(0, 255, 0));
    left.Create(300, 200); // wider than its panel: cut at 280
    left.FillIdx(1);
    right.AddColor(RGB(10, 20, 30));
    right.AddColor(RGB(0, 0, 255));
    right.AddColor(RGB(0, 255, 0));
    right.Create(50, 320);
    right.FillIdx(1);
    right.DotIdx(0, 0, 2);
    right.DotIdx(49, 319, 0);
    ComposeWindow(left, right, out);

    ASSERT_EQ(out.GetWidth(), 281 + 50);
    ASSERT_EQ(out.GetHeight(), 320);
    auto colour = [&](int x, int y) { return out.Idx2Col(out.GetIdx(x, y)); };
    EXPECT_EQ(colour(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(colour(279, 199), RGB(0, 255, 0));
    EXPECT_EQ(colour(280, 0), RGB(0, 0, 0));   // the gap between the panels
    EXPECT_EQ(colour(100, 250), RGB(0, 0, 0)); // below the shorter planisphere
    EXPECT_EQ(colour(281, 0), RGB(0, 255, 0)); // the atlas's index 2
    EXPECT_EQ(colour(282, 0), RGB(0, 0, 255)); // the atlas's index 1
    EXPECT_EQ(colour(330, 319), RGB(10, 20, 30));
    // Each colour once: the planisphere's first, then the atlas's new ones.
    EXPECT_EQ(out.GetColCount(), 4);
    EXPECT_EQ(out.Idx2Col(0), RGB(0, 0, 0));
    EXPECT_EQ(out.Idx2Col(1), RGB(0, 255, 0));
}
