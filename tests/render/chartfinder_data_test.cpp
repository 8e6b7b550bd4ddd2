// quenlira-chart --finder: finder charts of M13 and M57 read back from the
// page and the picture: the object in the centre with no label over it, the
// rings where their radii put them, the legend and the right stars named.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "render/Clsdib.h"
#include "tools/chart/Chartfind.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartrun.h"

namespace fs = std::filesystem;

namespace {

int Shell(const std::string& command, std::string* out = nullptr) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    std::array<char, 4096> buf;
    std::string text;
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p))
        text.append(buf.data(), n);
    const int rc = pclose(p);
    if (out) *out = text;
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

} // namespace

TEST(ChartFinder, M13PageHasTheTargetClearOfLabelsAndTheLegend) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    if (Shell("command -v pdftotext >/dev/null") != 0) GTEST_SKIP() << "poppler-utils missing";
    const fs::path pdf =
        fs::temp_directory_path() / ("finder-" + std::to_string(getpid()) + ".pdf");
    std::string out;
    ASSERT_EQ(Shell("./quenlira-chart --site tokyo --date 2026-06-15 --time 14:00 --finder M13 -o " +
                        pdf.string(),
                    &out),
              0)
        << out;
    ASSERT_EQ(Shell("pdftotext " + pdf.string() + " -", &out), 0) << out;
    // The object's name, the rings' sizes, the legend; eta and pi Her (3.5
    // and 3.2, 2.5 and 5.5 degrees away) go by their letters.
    for (const char* want : {"M13", "0.5\u00b0", "2\u00b0", "4\u00b0", "\u03b7", "\u03c0",
                             "Limiting magnitude", "Scale", "Magnitude"})
        EXPECT_NE(out.find(want), std::string::npos) << want << " not in: " << out;
    // No word within 9 points (12 pixels) of the chart's centre, where M13
    // is: A4 on its side, the chart 1010 x 564 pixels of 0.7504 point from
    // (42.0, 56.0), its centre at (421.0, 267.6).
    ASSERT_EQ(Shell("pdftotext -bbox " + pdf.string() + " -", &out), 0) << out;
    std::istringstream in(out);
    std::string line;
    int words = 0;
    while (std::getline(in, line)) {
        double x0, y0, x1, y1;
        if (std::sscanf(line.c_str(), " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"",
                        &x0, &y0, &x1, &y1) != 4)
            continue;
        ++words;
        const bool over = x0 < 421.0 + 9 && x1 > 421.0 - 9 && y0 < 267.6 + 9 && y1 > 267.6 - 9;
        EXPECT_FALSE(over) << line;
    }
    EXPECT_GT(words, 20);
    fs::remove(pdf);
}

TEST(ChartFinder, RingsLieAtTheirRadiiAboutTheTarget) {
    if (!fs::exists("./Star.dat")) GTEST_SKIP() << "catalogues not beside the test";
    const std::vector<std::string> args = {"quenlira-chart", "--site",  "tokyo",   "--date",
                                           "2026-06-15",     "--time",  "14:00",   "--finder",
                                           "M57",            "--size",  "800x600", "--fov",
                                           "1.5",            "-o",      "x.png"};
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    TChartOptions o;
    ASSERT_EQ(ParseChartOptions(static_cast<int>(argv.size()), argv.data(), o), "");
    std::string why;
    const double mjd = ChartMjd(o, 0);
    ASSERT_TRUE(ResolveChartCentre(o, ".", mjd, why)) << why;
    // M57 lies at 18h53.6m +33 02' (J2000).
    EXPECT_NEAR(o.RaHours, 18 + 53.6 / 60, 0.01);
    EXPECT_NEAR(o.DecDeg, 33 + 2.0 / 60, 0.02);
    FinderView(o);
    // 4 degrees across half of 600 pixels: 300 / (4 pi / 180) = 4297.
    EXPECT_NEAR(o.Scale, 4297, 1);
    // The short side spans 8 degrees: magnitude 9 + log2(10 / 8) = 9.32.
    EXPECT_EQ(o.Limit, 932);
    TChartRun run;
    ASSERT_TRUE(run.Run(o, ".", mjd, why)) << why;
    const TDIB& d = run.Picture();
    const int ringIdx = d.Col2Idx(RGB(255, 80, 80));
    // Rings of 4, 2, 1.5 and 0.5 degrees across: radii of 150, 75, 56.25 and
    // 18.75 pixels about (400, 300), each found left, right, up or down of
    // the centre on at least three of the four (a star may lie over one).
    for (const double r : {150.0, 75.0, 56.25, 18.75}) {
        int found = 0;
        for (const auto& [dx, dy] :
             {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
            bool here = false;
            for (int k = -1; k <= 1; ++k) {
                const int x = 400 + static_cast<int>(std::lround(dx * r)) + (dx != 0 ? k : 0);
                const int y = 300 + static_cast<int>(std::lround(dy * r)) + (dy != 0 ? k : 0);
                here = here || d.GetIdx(x, y) == ringIdx;
            }
            found += here;
        }
        EXPECT_GE(found, 3) << "ring of radius " << r;
    }
}
