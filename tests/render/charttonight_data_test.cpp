// quenlira-chart --tonight over the real catalogues: the key lines in their
// order, the polar day told as such, the CSV table, and a bad horizon file
// that warns and falls back to the flat horizon.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/chart/Chartoptions.h"
#include "tools/chart/Charttonight.h"

namespace {

std::string Parse(std::vector<const char*> args, TChartOptions& o) {
    args.insert(args.begin(), "quenlira-chart");
    return ParseChartOptions(static_cast<int>(args.size()), args.data(), o);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

const char* const kKeys[] = {"sunset",           "civil-dusk",        "nautical-dusk",
                             "astronomical-dusk", "astronomical-dawn", "nautical-dawn",
                             "civil-dawn",        "sunrise",           "moonrise",
                             "moonset"};

} // namespace

TEST(ChartTonight, KeyLinesThenTheList) {
    TChartOptions o;
    ASSERT_EQ(Parse({"--tonight", "--site", "tokyo", "--date", "2026-12-07"}, o), "");
    std::string text, warning, error;
    ASSERT_TRUE(ChartTonight(o, ".", 0, text, warning, error)) << error;
    EXPECT_TRUE(warning.empty());
    const auto lines = Lines(text);
    ASSERT_GT(lines.size(), 20u);
    for (int i = 0; i < 10; ++i) {
        // "key: YYYY-MM-DD HH:MM"
        EXPECT_EQ(lines[i].rfind(std::string(kKeys[i]) + ": 2026-12-0", 0), 0u) << lines[i];
        EXPECT_EQ(lines[i].size(), std::string(kKeys[i]).size() + 18) << lines[i];
    }
    // Tokyo sunset on 2026 December 7 is 16:28 by the national observatory's
    // tables (NAOJ, 16:28 for early December).
    EXPECT_EQ(lines[0], "sunset: 2026-12-07 16:28");
    EXPECT_NE(text.find("\nname "), std::string::npos);
    EXPECT_NE(text.find("M42"), std::string::npos);
    EXPECT_NE(text.find("Jupiter"), std::string::npos);
}

TEST(ChartTonight, PolarDayCsvAndABadHorizon) {
    const auto dir = std::filesystem::temp_directory_path() / "quenlira_tonight_test";
    std::filesystem::create_directories(dir);
    const std::string bad = (dir / "bad.hzn").string();
    { std::ofstream(bad) << "0 0\n90 10\n80 5\n"; }
    TChartOptions o;
    ASSERT_EQ(Parse({"--tonight", "--lon", "18.96", "--lat", "69.65", "--tz", "2", "--date",
                     "2026-06-21", "--horizon", bad.c_str(), "--csv", "--min-alt", "10"},
                    o),
              "");
    std::string text, warning, error;
    ASSERT_TRUE(ChartTonight(o, ".", 0, text, warning, error)) << error;
    EXPECT_NE(warning.find("bad.hzn:3"), std::string::npos) << warning;
    const auto lines = Lines(text);
    EXPECT_EQ(lines[0], "sunset: none");
    EXPECT_EQ(lines[7], "sunrise: none");
    EXPECT_NE(text.find("note: polar day"), std::string::npos);
    EXPECT_NE(text.find("horizon: flat"), std::string::npos);
    EXPECT_NE(text.find("\nname,kind,mag,size_arcmin,constellation,best,altitude_deg,rise,set,"
                        "moon_distance_deg\n"),
              std::string::npos);
    std::filesystem::remove_all(dir);

    // A good file: the list's times are over it.
    TChartOptions w;
    const std::string good = (dir / "good.hzn").string();
    std::filesystem::create_directories(dir);
    { std::ofstream(good) << "# wall\n0 25\n359 25\n"; }
    ASSERT_EQ(Parse({"--tonight", "--site", "greenwich", "--date", "2026-12-07", "--horizon",
                     good.c_str(), "--csv", "--kinds", "star"},
                    w),
              "");
    ASSERT_TRUE(ChartTonight(w, ".", 0, text, warning, error)) << error;
    EXPECT_TRUE(warning.empty()) << warning;
    EXPECT_NE(text.find("horizon: " + good), std::string::npos);
    // Sirius (culminating at 21 degrees from the built-in Greenwich site, 52.2 N) never clears a
    // 25-degree wall.
    EXPECT_NE(text.find("Sirius,star,-1.4,,CMa,"), std::string::npos);
    EXPECT_NE(text.find(",never rises,never rises,"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(ChartTonight, OptionsNeedNoPictureAndCheckTheirValues) {
    TChartOptions o;
    EXPECT_EQ(Parse({"--tonight", "--lon", "10", "--lat", "50"}, o), "");
    EXPECT_FALSE(o.HaveZone);
    TChartOptions t;
    EXPECT_NE(Parse({"--tonight", "--lon", "10", "--lat", "50", "--tz", "15"}, t), "");
    TChartOptions k;
    EXPECT_NE(Parse({"--tonight", "--site", "tokyo", "--kinds", "comet"}, k).find("unknown kind"),
              std::string::npos);
    TChartOptions p;
    EXPECT_NE(Parse({"--site", "tokyo"}, p), ""); // a picture still needs --out
}
