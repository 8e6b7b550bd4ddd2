// The chart tool's pictures compared byte for byte with reference pictures
// that were looked at and found right (tests/render/reference/). A faster
// drawing must give exactly the same file: a single pixel off fails here.
// QUENLIRA_WRITE_REFERENCES=1 writes the references anew instead of
// comparing, for a change that is meant to alter the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalog/Clsstar.h"
#include "render/Clspng.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartrun.h"

namespace {

const std::filesystem::path kReference =
    std::filesystem::path(QUENLIRA_TESTS_DIR) / "render" / "reference";

struct View {
    const char* file;
    std::vector<const char*> args; // after --date 2026-12-07 --time 12:00 unless given
};

// The pictures of docs/pictures, the default planispheres, the poles, right
// ascension 0, every scale from the widest to the closest and the sizes of
// a 1920-pixel and a 4K screen's chart panel.
const std::vector<View>& Views() {
    static const std::vector<View> views = {
        // docs/pictures
        {"atlas-orion-1000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "640x480", "--ra", "5:35", "--dec", "-1",
          "--scale", "1000", "--show", "bayer"}},
        {"atlas-pleiades-20000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "640x480", "--ra", "3:47", "--dec",
          "24:07", "--scale", "20000", "--show", "deepsky,bayer,flamsteed"}},
        {"atlas-jupiter-300000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "640x480", "--center-body", "jupiter",
          "--scale", "300000"}},
        {"atlas-jupiter-1200000-plain",
         {"--site", "tokyo", "--chart", "atlas", "--size", "320x240", "--center-body", "jupiter",
          "--scale", "1200000", "--hide", "realistic"}},
        {"atlas-saturn-300000",
         {"--site", "tokyo", "--chart", "atlas", "--date", "2019-07-09", "--center-body", "saturn",
          "--scale", "300000"}},
        {"atlas-saturn-1200000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "320x240", "--date", "2019-07-09",
          "--center-body", "saturn", "--scale", "1200000"}},
        {"atlas-moon-first-quarter",
         {"--site", "tokyo", "--chart", "atlas", "--size", "640x480", "--date", "2024-03-17",
          "--center-body", "moon", "--scale", "30000"}},
        {"atlas-north-pole",
         {"--site", "tokyo", "--chart", "atlas", "--size", "640x480", "--ra", "2:00", "--dec", "80",
          "--scale", "1000", "--show", "bayer"}},
        {"window-orion",
         {"--site", "tokyo", "--chart", "window", "--size", "640x480", "--ra", "5:35", "--dec",
          "0"}},
        // The three default planispheres, one with its horizon ring.
        {"planisphere-greenwich", {"--site", "greenwich", "--size", "400"}},
        {"planisphere-lascampanas", {"--site", "lascampanas", "--size", "400", "--ring"}},
        {"planisphere-tokyo", {"--site", "tokyo", "--size", "400", "--japanese"}},
        // Every switch on from here.
        {"all-north-pole-1000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "800x600", "--ra", "0", "--dec", "90",
          "--scale", "1000", "--show", "all"}},
        {"all-south-pole-1000",
         {"--site", "lascampanas", "--chart", "atlas", "--size", "800x600", "--ra", "12", "--dec",
          "-90", "--scale", "1000", "--show", "all"}},
        {"all-ra0-1000",
         {"--site", "greenwich", "--chart", "atlas", "--size", "1639x1080", "--ra", "0:10", "--dec",
          "20", "--scale", "1000", "--show", "all"}},
        {"all-ra0-20000",
         {"--site", "greenwich", "--chart", "atlas", "--size", "800x600", "--ra", "23:59", "--dec",
          "-0:20", "--scale", "20000", "--show", "all"}},
        {"all-300",
         {"--site", "tokyo", "--chart", "atlas", "--size", "800x600", "--ra", "12", "--dec", "30",
          "--scale", "300", "--show", "all"}},
        {"all-orion-1000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "1639x1080", "--ra", "5.6667", "--dec",
          "0", "--scale", "1000", "--show", "all"}},
        {"all-orion-1000-japanese",
         {"--site", "tokyo", "--chart", "atlas", "--size", "800x600", "--ra", "5.6667", "--dec",
          "0", "--scale", "1000", "--show", "all", "--japanese", "--sensitivity", "2"}},
        {"all-orion-1000-4k",
         {"--site", "tokyo", "--chart", "atlas", "--size", "3840x2160", "--ra", "5.6667", "--dec",
          "0", "--scale", "1000", "--show", "all"}},
        {"all-sagittarius-5000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "1639x1080", "--ra", "18", "--dec",
          "-25", "--scale", "5000", "--show", "all"}},
        {"all-orion-50000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "1639x1080", "--ra", "5.6667", "--dec",
          "0", "--scale", "50000", "--show", "all"}},
        {"all-jupiter-300000",
         {"--site", "tokyo", "--chart", "atlas", "--size", "800x600", "--center-body", "jupiter",
          "--scale", "300000", "--show", "all"}},
        {"all-saturn-1200000-plain",
         {"--site", "tokyo", "--chart", "atlas", "--size", "800x600", "--date", "2019-07-09",
          "--center-body", "saturn", "--scale", "1200000", "--show", "all", "--hide", "realistic"}},
    };
    return views;
}

TChartOptions Options(const View& v, const std::string& out) {
    std::vector<const char*> args = {"quenlira-chart"};
    bool date = false;
    for (const char* a : v.args)
        date = date || std::string(a) == "--date";
    if (!date) args.insert(args.end(), {"--date", "2026-12-07"});
    args.insert(args.end(), {"--time", "12:00"});
    args.insert(args.end(), v.args.begin(), v.args.end());
    args.insert(args.end(), {"-o", out.c_str()});
    TChartOptions o;
    const std::string err = ParseChartOptions(static_cast<int>(args.size()), args.data(), o);
    EXPECT_EQ(err, "") << v.file;
    return o;
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Rewriting() {
    const char* w = std::getenv("QUENLIRA_WRITE_REFERENCES");
    return w && std::string(w) == "1";
}

// Draws `run`'s picture again into a PNG and compares it with the reference.
void Compare(const TDIB& picture, const std::string& file) {
    const std::filesystem::path ref = kReference / (file + ".png");
    if (Rewriting()) {
        std::string error;
        ASSERT_TRUE(WritePng(picture, ref.string(), error)) << error;
        return;
    }
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("quenlira-ref-" + file + ".png");
    std::string error;
    ASSERT_TRUE(WritePng(picture, out.string(), error)) << error;
    const std::string want = ReadAll(ref), got = ReadAll(out);
    ASSERT_FALSE(want.empty()) << "no reference " << ref;
    // Kept on a difference, so that the two pictures can be looked at.
    EXPECT_TRUE(want == got) << file << " differs from its reference; the new picture is " << out;
    if (want == got) std::filesystem::remove(out);
}

} // namespace

TEST(ChartReference, EveryViewIsTheReferencePictureByteForByte) {
    for (const View& v : Views()) {
        SCOPED_TRACE(v.file);
        const TChartOptions o = Options(v, "x.png");
        TChartRun run;
        std::string error;
        // The date and time are given, so "now" plays no part.
        ASSERT_TRUE(run.Run(o, ".", ChartMjd(o, 0), error)) << error;
        Compare(run.Picture(), v.file);
        // Drawn again on two threads, however small: the same picture.
        TAtlas* atlas = run.Atlas();
        if (atlas && &run.Picture() == &atlas->GetDib() && !Rewriting()) {
            atlas->SplitFrom = atlas->Split() ? INT_MAX : 0;
            atlas->Draw();
            Compare(run.Picture(), v.file);
        }
    }
}

// Markers with their tracks (dotted with arrows, solid) drawn over the atlas,
// and the same atlas drawn a second time: a redraw must not depend on what
// the first drawing left behind.
TEST(ChartReference, MarkersAndARedrawAreTheReferencePicture) {
    const View v{"all-markers-5000",
                 {"--site", "tokyo", "--chart", "atlas", "--size", "800x600", "--ra", "5:35",
                  "--dec", "-5", "--scale", "5000", "--show", "all"}};
    const TChartOptions o = Options(v, "x.png");
    TChartRun run;
    std::string error;
    ASSERT_TRUE(run.Run(o, ".", ChartMjd(o, 0), error)) << error;
    TAtlas& atlas = *run.Atlas();
    constexpr double kH = 3.14159265358979323846 / 12, kD = 3.14159265358979323846 / 180;
    const double places[6][2] = {{5.50, -3.0}, {5.58, -4.5}, {5.62, -6.0},
                                 {5.70, -7.0}, {5.40, -9.0}, {5.90, -2.0}};
    atlas.SetMarkerCount(7);
    for (int i = 0; i < 6; ++i) {
        TMarker m;
        m.id = i < 4 ? 7 : 8;
        m.seq = i + 1;
        m.next = i + 2;
        m.shape = 1 + i % 5;
        m.filled = i % 2;
        m.ra = places[i][0] * kH;
        m.dec = places[i][1] * kD;
        m.colour = RGB(255, 128, 0);
        m.lineStyle = i < 4 ? 1 : 0;
        m.lineColour = RGB(0, 200, 255);
        m.name = "M" + std::to_string(i + 1);
        atlas.SetMarker(i + 1, m);
    }
    // A track leaving the chart: its line is cut at the edge.
    TMarker far;
    far.id = 8;
    far.seq = 7;
    far.ra = 7.5 * kH;
    far.dec = 10 * kD;
    far.name = "far";
    atlas.SetMarker(7, far);
    const int shown[] = {7, 8, 0};
    atlas.SetMarkerList(shown);
    atlas.Draw();
    atlas.Draw();
    Compare(atlas.GetDib(), v.file);
}

// Picking gives the sky point and every star whose pixel lies in the
// tolerance square: checked against a plain walk over the whole catalogue,
// at the widest, the default and a close scale, near a pole and across
// right ascension 0.
TEST(ChartReference, PickFindsExactlyTheStarsInTheSquare) {
    struct Case {
        const char* ra;
        const char* dec;
        const char* scale;
    };
    const Case cases[] = {{"5.6667", "0", "1000"},
                          {"0:02", "10", "300"},
                          {"23:58", "-20", "20000"},
                          {"2:00", "88", "1000"},
                          {"3:47", "24:07", "50000"}};
    for (const Case& c : cases) {
        const View v{"pick",
                     {"--site", "tokyo", "--chart", "atlas", "--size", "800x600", "--ra", c.ra,
                      "--dec", c.dec, "--scale", c.scale, "--show", "all"}};
        SCOPED_TRACE(std::string(c.ra) + " " + c.dec + " " + c.scale);
        const TChartOptions o = Options(v, "x.png");
        TChartRun run;
        std::string error;
        ASSERT_TRUE(run.Run(o, ".", ChartMjd(o, 0), error)) << error;
        TAtlas& atlas = *run.Atlas();
        const TStar& stars = *atlas.Star[0];
        // Every star on the chart and a margin round it, by pixel.
        constexpr int W = 800, H = 600, M = 4;
        std::vector<std::vector<int>> at((W + 2 * M) * (H + 2 * M));
        auto cell = [&](int x, int y) -> std::vector<int>& {
            return at[(y + M) * (W + 2 * M) + x + M];
        };
        for (int i = 0; i < stars.Count; ++i) {
            int x, y;
            if (!atlas.ToPixel(stars.Records[i].ra, stars.Records[i].dec, x, y)) continue;
            if (x >= -M && x < W + M && y >= -M && y < H + M) cell(x, y).push_back(i);
        }
        // A coarse grid over the chart, and the pixels of stars themselves.
        std::vector<std::pair<int, int>> points;
        for (int py = 0; py < H; py += 40)
            for (int px = 3; px < W; px += 40)
                points.push_back({px, py});
        for (int y = 0, seen = 0; y < H; ++y)
            for (int x = 0; x < W && points.size() < 600; ++x)
                if (!cell(x, y).empty() && ++seen % 7 == 0) points.push_back({x + seen % 3 - 1, y});
        int found = 0;
        TPickEntry list[TAtlas::MaxPick];
        for (const auto& [px, py] : points) {
            std::vector<int> want;
            for (int y = py - 2; y <= py + 2; ++y)
                for (int x = px - 2; x <= px + 2; ++x)
                    want.insert(want.end(), cell(x, y).begin(), cell(x, y).end());
            std::sort(want.begin(), want.end());
            const int n = atlas.Pick(px, py, 2, list);
            ASSERT_GE(n, 1);
            EXPECT_EQ(list[0].kind, 1);
            std::vector<int> got;
            for (int k = 1; k < n; ++k)
                if (list[k].kind == 2) got.push_back(list[k].number);
            // Record order, as the information panel lists them.
            EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
            ASSERT_EQ(got, want) << px << "," << py;
            found += static_cast<int>(got.size());
        }
        EXPECT_GT(found, 0);
    }
}
