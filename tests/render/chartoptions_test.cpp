// Arguments of the chart export tool, and the tool's exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "tools/chart/Chartoptions.h"

namespace {
std::string Parse(std::vector<const char*> args, TChartOptions& o) {
    args.insert(args.begin(), "quenlira-chart");
    return ParseChartOptions(static_cast<int>(args.size()), args.data(), o);
}
} // namespace

TEST(ChartOptions, GoodArgumentsFillTheOptions) {
    TChartOptions o;
    EXPECT_EQ(Parse({"--lon", "-70.7", "--lat=-29", "--date", "2024-02-29", "--time", "23:59:30",
                     "--size", "300x200", "--ring", "-o", "a.png"},
                    o),
              "");
    EXPECT_DOUBLE_EQ(o.LonDeg, -70.7);
    EXPECT_DOUBLE_EQ(o.LatDeg, -29);
    EXPECT_EQ(o.Day, 29);
    EXPECT_EQ(o.Second, 30);
    EXPECT_EQ(o.Width, 300);
    EXPECT_EQ(o.Height, 200);
    EXPECT_TRUE(o.Ring);
    EXPECT_EQ(o.Out, "a.png");

    TChartOptions t;
    EXPECT_EQ(Parse({"--site", "tokyo", "--out", "t.png"}, t), "");
    EXPECT_NEAR(t.LonDeg, 139.5167, 1e-9);
    EXPECT_EQ(t.Width, 280);
    TChartOptions h;
    EXPECT_EQ(Parse({"--help"}, h), "");
    EXPECT_TRUE(h.Help);
    EXPECT_NE(ChartUsage().find("--lon"), std::string::npos);
}

TEST(ChartOptions, BadArgumentsSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
        {{"--lat", "91", "--lon", "0", "-o", "x.png"}, "latitude"},
        {{"--lat", "10", "--lon", "abc", "-o", "x.png"}, "longitude 'abc'"},
        {{"--site", "mars", "-o", "x.png"}, "unknown site"},
        {{"--site", "tokyo", "--date", "2023-02-29", "-o", "x.png"}, "date '2023-02-29'"},
        {{"--site", "tokyo", "--date", "1700-02-29", "-o", "x.png"}, "not a calendar date"},
        {{"--site", "tokyo", "--date", "1582-10-05", "-o", "x.png"}, "does not exist"},
        {{"--site", "tokyo", "--date", "1582-10-14", "-o", "x.png"}, "does not exist"},
        {{"--site", "tokyo", "--date", "12345-01-01", "-o", "x.png"}, "not a calendar date"},
        {{"--site", "tokyo", "--date", "--1000-01-01", "-o", "x.png"}, "not a calendar date"},
        {{"--site", "tokyo", "--date", "1000-2-28", "-o", "x.png"}, "not a calendar date"},
        {{"--site", "tokyo", "--time", "24:00", "-o", "x.png"}, "time '24:00'"},
        {{"--site", "tokyo", "--size", "0", "-o", "x.png"}, "size '0'"},
        {{"--site", "tokyo", "--frobnicate", "-o", "x.png"}, "unknown argument '--frobnicate'"},
        {{"--site", "tokyo", "--size"}, "--size needs a value"},
        {{"--site", "tokyo", "--ring=1", "-o", "x.png"}, "--ring takes no value"},
        {{"--lat", "10", "-o", "x.png"}, "--lon"},
        {{"--site", "tokyo"}, "--out"},
    };
    for (const auto& [args, want] : cases) {
        TChartOptions o;
        const std::string err = Parse(args, o);
        EXPECT_NE(err.find(want), std::string::npos) << "got: " << err;
    }
}

TEST(ChartOptions, NamesInAnyCaseAndTheUsersOwnSites) {
    TChartOptions o;
    EXPECT_EQ(Parse({"--site", "Tokyo", "--chart", "atlas", "--center-body", "JUPITER", "-o",
                     "j.png"},
                    o),
              "");
    EXPECT_NEAR(o.LonDeg, 139.5167, 1e-9);
    EXPECT_EQ(o.CenterBody, 3);
    EXPECT_EQ(o.SiteName, "Tokyo");
    EXPECT_TRUE(o.HaveZone);
    EXPECT_EQ(o.ZoneHours, 9);

    // A site of the user's, by its name in any case; a built-in key wins over
    // a user's site of the same name, so documented commands mean the same
    // everywhere.
    TChartOptions u;
    u.UserSites = {{"Backyard Ridge", -105.25, 40.0, -7}, {"tokyo", 1, 2, 0}};
    EXPECT_EQ(Parse({"--site", "backyard RIDGE", "-o", "b.png"}, u), "");
    EXPECT_DOUBLE_EQ(u.LonDeg, -105.25);
    EXPECT_DOUBLE_EQ(u.LatDeg, 40.0);
    EXPECT_EQ(u.ZoneHours, -7);
    EXPECT_EQ(u.SiteName, "Backyard Ridge");
    TChartOptions k;
    k.UserSites = u.UserSites;
    EXPECT_EQ(Parse({"--site", "TOKYO", "-o", "t.png"}, k), "");
    EXPECT_NEAR(k.LonDeg, 139.5167, 1e-9);
    TChartOptions none;
    none.UserSites = u.UserSites;
    const std::string err = Parse({"--site", "backyard", "-o", "b.png"}, none);
    EXPECT_NE(err.find("\"Backyard Ridge\""), std::string::npos) << err; // the names on offer
    // --lon/--lat after a name make a site of their own, with no local time.
    TChartOptions lon;
    EXPECT_EQ(Parse({"--site", "tokyo", "--lon", "10", "--lat", "20", "-o", "a.png"}, lon), "");
    EXPECT_DOUBLE_EQ(lon.LonDeg, 10);
    EXPECT_FALSE(lon.HaveZone);
}

TEST(ChartOptions, TheOutputNameChoosesTheFormat) {
    const std::vector<std::pair<const char*, TChartFormat>> good = {
        {"a.png", TChartFormat::Png},   {"A.PNG", TChartFormat::Png},
        {"b.pdf", TChartFormat::Pdf},   {"c.jpg", TChartFormat::Jpeg},
        {"d.JPEG", TChartFormat::Jpeg}, {"/dev/null", TChartFormat::Png},
        {"e.svg", TChartFormat::Svg}};
    for (const auto& [name, format] : good) {
        TChartOptions o;
        o.Format = TChartFormat::Jpeg == format ? TChartFormat::Png : TChartFormat::Jpeg;
        EXPECT_EQ(Parse({"--site", "tokyo", "-o", name}, o), "") << name;
        EXPECT_EQ(o.Format, format) << name;
    }
    for (const char* name : {"x.gif", "x", "png", "x.png.txt", ".pdf"}) {
        TChartOptions o;
        const std::string err = Parse({"--site", "tokyo", "-o", name}, o);
        EXPECT_NE(err.find(".png, .pdf, .svg or .jpg"), std::string::npos) << name << ": " << err;
    }
    TChartOptions p;
    EXPECT_EQ(Parse({"--site", "tokyo", "--paper", "Letter", "--orientation", "landscape",
                     "--print-colours", "--screen-colours", "-o", "p.pdf"},
                    p),
              "");
    EXPECT_EQ(p.Paper, "letter");
    EXPECT_EQ(p.Orientation, "landscape");
    EXPECT_TRUE(p.PrintColours);
    EXPECT_TRUE(p.ScreenColours);
    TChartOptions a3;
    EXPECT_EQ(Parse({"--site", "tokyo", "--paper", "A3", "-o", "p.pdf"}, a3), "");
    EXPECT_EQ(a3.Paper, "a3");
    TChartOptions bad;
    EXPECT_NE(Parse({"--site", "tokyo", "--paper", "a5", "-o", "p.pdf"}, bad).find("paper 'a5'"),
              std::string::npos);
    TChartOptions v;
    EXPECT_EQ(Parse({"--version"}, v), "");
    EXPECT_TRUE(v.Version);
}

TEST(ChartOptions, MomentInUniversalTime) {
    TChartOptions o;
    ASSERT_EQ(
        Parse({"--site", "greenwich", "--date", "2000-01-01", "--time", "12:00", "-o", "x.png"}, o),
        "");
    EXPECT_NEAR(ChartMjd(o, 0), 51544.5, 1e-9); // the standard epoch J2000.0
    // Without date and time: the clock's moment (here 1970-01-02 06:00 UTC).
    TChartOptions now;
    ASSERT_EQ(Parse({"--site", "greenwich", "-o", "x.png"}, now), "");
    EXPECT_NEAR(ChartMjd(now, 86400 + 6 * 3600), 40587.0 + 1.25, 1e-9);
    // A date alone keeps the clock's time of day.
    TChartOptions date;
    ASSERT_EQ(Parse({"--site", "greenwich", "--date", "2026-12-07", "-o", "x.png"}, date), "");
    EXPECT_NEAR(ChartMjd(date, 6 * 3600), 61381.25, 1e-9);
    // Far dates: Julian before the reform, short and negative years (astronomical
    // numbering), the reform's two sides one day apart. JD from Meeus, table 7.a.
    const struct {
        const char* date;
        double jd;
    } far[] = {{"1000-02-29", 2086366.5}, {"-1000-02-29", 1355866.5}, {"333-01-27", 1842712.5},
               {"0-01-01", 1721057.5},     {"1582-10-04", 2299159.5}, {"1582-10-15", 2299160.5},
               {"1600-12-31", 2305812.5}};
    for (const auto& f : far) {
        TChartOptions t;
        ASSERT_EQ(Parse({"--site", "greenwich", "--date", f.date, "--time", "00:00", "-o", "x.png"}, t),
                  "")
            << f.date;
        EXPECT_NEAR(ChartMjd(t, 0), f.jd - 2400000.5, 1e-9) << f.date;
    }
}

TEST(ChartOptions, ToolExitsWithStatusTwoOnBadArguments) {
    if (!std::filesystem::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    int rc = std::system("./quenlira-chart --lat 95 --lon 0 -o /dev/null 2>/dev/null");
    EXPECT_EQ(WEXITSTATUS(rc), 2);
    rc = std::system("./quenlira-chart --help >/dev/null");
    EXPECT_EQ(WEXITSTATUS(rc), 0);
    const std::string out =
        (std::filesystem::temp_directory_path() / "quenlira_chart_tool.png").string();
    rc = std::system(
        ("./quenlira-chart --site tokyo --date 2026-12-07 --time 12:00 --size 120 -o " + out)
            .c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 0);
    EXPECT_GT(std::filesystem::file_size(out), 100u);
    std::filesystem::remove(out);
    rc = std::system(
        "./quenlira-chart --site tokyo --stars /nonexistent/Star.dat -o /dev/null 2>/dev/null");
    EXPECT_EQ(WEXITSTATUS(rc), 1);
}
