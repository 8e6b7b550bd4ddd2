// Horizon profiles: the layout other planetariums write (azimuth altitude,
// '#' comments, commas or tabs), the profile between the points and across
// north, and every kind of bad file refused with its name and line.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "plan/Clshorizon.h"
#include "plan/Clshorizonsites.h"

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;
}

TEST(Horizon, ReadsPairsWithCommentsAndInterpolatesRoundNorth) {
    const std::string text = "# trees to the south-west, the house in the east\r\n"
                             "\n"
                             "10 4.0   # birch\r\n"
                             "90,\t20\n"
                             "  180 ; 2\n"
                             "350 6\n";
    THorizon h;
    std::string error = "stale";
    ASSERT_TRUE(h.Parse(text, "trees.txt", error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(h.Flat());
    ASSERT_EQ(h.Points().size(), 4u);
    // On a point, halfway between two, and across north from 350 to 10:
    // 6 + (4 - 6) x 10/20 = 5 at 0 degrees.
    EXPECT_NEAR(h.AltitudeAt(90 * kDeg) / kDeg, 20.0, 1e-12);
    EXPECT_NEAR(h.AltitudeAt(50 * kDeg) / kDeg, 12.0, 1e-12);
    EXPECT_NEAR(h.AltitudeAt(135 * kDeg) / kDeg, 11.0, 1e-12);
    EXPECT_NEAR(h.AltitudeAt(0.0) / kDeg, 5.0, 1e-12);
    EXPECT_NEAR(h.AltitudeAt(355 * kDeg) / kDeg, 5.5, 1e-12);
    EXPECT_NEAR(h.AltitudeAt(-5 * kDeg) / kDeg, 5.5, 1e-12);
    EXPECT_NEAR(h.AltitudeAt(5 * kDeg) / kDeg, 4.5, 1e-12);
    // The rise level is the profile less its refraction: Bennett at 20
    // degrees, cot(20 + 7.31/24.4) = 2.703 arc minutes.
    EXPECT_NEAR(h.RiseAltitude(90 * kDeg) / kDeg, 20.0 - 2.703 / 60.0, 0.001 / 60.0);
    // The flat horizon: the almanac's 34 arc minutes.
    THorizon flat;
    EXPECT_TRUE(flat.Flat());
    EXPECT_EQ(flat.AltitudeAt(1.0), 0.0);
    EXPECT_NEAR(flat.RiseAltitude(1.0) / kDeg * 60.0, -34.0, 1e-9);
}

TEST(Horizon, BadFilesNameTheLineAndLeaveTheHorizonFlat) {
    struct Case {
        const char* text;
        const char* says;
    } cases[] = {
        {"0 0\n90 x\n", "h.txt:2: not a pair"},
        {"0 0\n90\n", "h.txt:2: not a pair"},
        {"0 0\n# fine\n90 5 7\n", "h.txt:3: more than two numbers"},
        {"0 0\n90 5\n45 3\n", "h.txt:3: azimuths not in rising order"},
        {"0 0\n90 5\n90 6\n", "h.txt:3: azimuth repeated"},
        {"0 0\n400 5\n", "h.txt:2: azimuth outside"},
        {"0 0\n90 95\n", "h.txt:2: altitude outside"},
        {"0 0\n90 -45\n", "h.txt:2: altitude outside"},
        {"0 nan\n", "h.txt:1: not a pair"},
        {"0 1e999\n", "h.txt:1: not a pair"},
        {"# only comments\n\n", "h.txt: no azimuth and altitude pairs"},
        {"", "h.txt: no azimuth and altitude pairs"},
    };
    for (const Case& c : cases) {
        THorizon h;
        std::string first;
        ASSERT_TRUE(h.Parse("0 0\n180 10\n", "good.txt", first)) << c.text;
        std::string error;
        EXPECT_FALSE(h.Parse(c.text, "h.txt", error)) << c.text;
        EXPECT_EQ(error.rfind(c.says, 0), 0u) << error;
        EXPECT_NE(error.find("flat horizon"), std::string::npos) << error;
        EXPECT_TRUE(h.Flat()) << c.text;
        EXPECT_TRUE(h.Path.empty());
    }
}

TEST(Horizon, FileIsReadAndNeverWritten) {
    const auto dir = std::filesystem::temp_directory_path() / "quenlira_horizon_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "garden.hzn").string();
    const std::string text = "0 1\n120 15\n240 3 # shed\n";
    { std::ofstream(path, std::ios::binary) << text; }
    THorizon h;
    std::string error;
    ASSERT_TRUE(h.Load(path, error)) << error;
    EXPECT_EQ(h.Path, path);
    EXPECT_NEAR(h.AltitudeAt(60 * kDeg) / kDeg, 8.0, 1e-12);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
    EXPECT_FALSE(h.Load((dir / "missing.hzn").string(), error));
    EXPECT_NE(error.find("missing.hzn"), std::string::npos);
    EXPECT_TRUE(h.Flat());
    std::filesystem::remove_all(dir);
}

TEST(HorizonSites, KeptBesideTheSettingsAndReadBack) {
    const auto dir = std::filesystem::temp_directory_path() / "quenlira_horizonsites_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    THorizonSites sites;
    std::string error;
    // No file: no site has a horizon, and that is no error.
    EXPECT_TRUE(sites.Load(dir.string(), error));
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(sites.Get("Tokyo"), "");
    sites.Set("Tokyo", "/home/me/tokyo roof.hzn");
    sites.Set("Garden, north", "garden.txt");
    sites.Set("Bad\tname", "x.txt"); // would not come back: refused
    ASSERT_TRUE(sites.Save(dir.string(), error)) << error;
    THorizonSites again;
    ASSERT_TRUE(again.Load(dir.string(), error));
    EXPECT_EQ(again.Files.size(), 2u);
    EXPECT_EQ(again.Get("Tokyo"), "/home/me/tokyo roof.hzn");
    EXPECT_EQ(again.Get("Garden, north"), "garden.txt");
    again.Set("Tokyo", "");
    EXPECT_EQ(again.Get("Tokyo"), "");
    // A line without a tab is skipped and named; the others are kept.
    {
        std::ofstream(dir / THorizonSites::kFileName) << "# c\nTokyo\troof.txt\nbroken line\n";
    }
    EXPECT_TRUE(again.Load(dir.string(), error));
    EXPECT_EQ(again.Get("Tokyo"), "roof.txt");
    EXPECT_NE(error.find(":3: 1 line(s)"), std::string::npos) << error;
    std::filesystem::remove_all(dir);
}
