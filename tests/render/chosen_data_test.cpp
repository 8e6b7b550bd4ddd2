// The chosen object on the charts: its target mark on the atlas, the
// planisphere and the printed page, and a deep-sky object shown with its
// layer off. The real catalogues beside the test program.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "page/Clschartpage.h"
#include "render/Clsdrawtarget.h"
#include "tools/chart/Chartfind.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartrun.h"

namespace {

constexpr double kMjd2026 = 61381.5; // 2026-12-07 12:00 UT
constexpr unsigned long kCyan = RGB(0, 255, 255), kPlanisphereCyan = RGB(80, 255, 255);
constexpr unsigned long kNebula = RGB(104, 24, 112);

TChartOptions Options(std::vector<const char*> args) {
    args.insert(args.begin(), "quenlira-chart");
    args.insert(args.end(), {"-o", "x.png"});
    TChartOptions o;
    EXPECT_EQ(ParseChartOptions(static_cast<int>(args.size()), args.data(), o), "");
    return o;
}

int Count(const TDIB& d, unsigned long colour) {
    int n = 0;
    for (int y = 0; y < d.GetHeight(); ++y)
        for (int x = 0; x < d.GetWidth(); ++x)
            n += d.Idx2Col(d.GetIdx(x, y)) == colour;
    return n;
}

// The pixels where two pictures differ, by box.
struct TBox {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN, n = 0;
    std::vector<unsigned long> colours;
};
TBox Difference(const TDIB& a, const TDIB& b) {
    TBox box;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const unsigned long ca = a.Idx2Col(a.GetIdx(x, y)), cb = b.Idx2Col(b.GetIdx(x, y));
            if (ca == cb) continue;
            ++box.n;
            box.x0 = std::min(box.x0, x);
            box.x1 = std::max(box.x1, x);
            box.y0 = std::min(box.y0, y);
            box.y1 = std::max(box.y1, y);
            if (std::find(box.colours.begin(), box.colours.end(), ca) == box.colours.end())
                box.colours.push_back(ca);
        }
    return box;
}

// Lines of a page by colour.
struct TLineCounter : TDrawTarget {
    unsigned long Colour;
    int Lines = 0;
    explicit TLineCounter(unsigned long c) : Colour(c) {}
    void Line(int, int, int, int, const TPen& pen) override { Lines += pen.Colour == Colour; }
    void Rectangle(int, int, int, int, const TPen&, const TBrush&) override {}
    void Ellipse(int, int, int, int, const TPen&, const TBrush&) override {}
    void Arc(int, int, int, int, int, int, int, int, const TPen&) override {}
    void Polygons(const std::vector<std::vector<TPoint>>&, const TPen&, const TBrush&) override {}
    void Pixel(int, int, unsigned long) override {}
    void Text(int, int, const std::string&, const TFontDesc&, int, int, unsigned long, bool,
              unsigned long) override {}
    void Star(double, double, double, unsigned long) override {}
    void Symbol(int, double, double, unsigned long) override {}
    void ClipEllipse(int, int, int, int) override {}
};

} // namespace

TEST(ChosenObject, AtlasMarksItAndShowsADeepSkyObjectWithItsLayerOff) {
    // M42 at the centre with the window's start-up switches (deep-sky off).
    TChartOptions chosen = Options({"--chart", "atlas", "--site", "tokyo", "--size", "400x300",
                                    "--scale", "5000", "--center", "M42"});
    std::string why;
    ASSERT_TRUE(ResolveChartCentre(chosen, ".", kMjd2026, why)) << why;
    ASSERT_EQ(chosen.TargetKind, 4);
    TChartOptions plain = chosen;
    plain.TargetKind = 0;
    TChartRun a, b;
    std::string error;
    ASSERT_TRUE(a.Run(chosen, ".", kMjd2026, error)) << error;
    ASSERT_TRUE(b.Run(plain, ".", kMjd2026, error)) << error;
    // Without the choice no deep-sky object is drawn at all.
    EXPECT_EQ(Count(b.Picture(), kNebula), 0);
    EXPECT_GT(Count(a.Picture(), kNebula), 20); // its label "M42"
    // The mark: four cyan corners 12 pixels out from the centre pixel.
    const TDIB& d = a.Picture();
    for (int sx : {-1, 1})
        for (int sy : {-1, 1})
            EXPECT_EQ(d.Idx2Col(d.GetIdx(200 + 12 * sx, 150 + 12 * sy)), kCyan) << sx << sy;
    EXPECT_NE(d.Idx2Col(d.GetIdx(200 + 12, 150)), kCyan); // corners, not a square
    EXPECT_EQ(Count(b.Picture(), kCyan), 0);

    // A star chosen (Betelgeuse) off the centre: the mark goes where the star is.
    TChartOptions star = Options({"--chart", "atlas", "--site", "tokyo", "--size", "400x300",
                                  "--scale", "3000", "--center", "Betelgeuse"});
    ASSERT_TRUE(ResolveChartCentre(star, ".", kMjd2026, why)) << why;
    ASSERT_EQ(star.TargetKind, 2);
    star.RaHours += 0.1; // the star 1.5 degrees west: 78.5 pixels to the right
    TChartRun s;
    ASSERT_TRUE(s.Run(star, ".", kMjd2026, error)) << error;
    int x0 = INT_MAX, x1 = INT_MIN;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            if (s.Picture().Idx2Col(s.Picture().GetIdx(x, y)) == kCyan) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
            }
    EXPECT_NEAR((x0 + x1) / 2.0, 200 + 78.5, 2.0);
}

TEST(ChosenObject, PlanisphereMarksABodyWhereItIsDrawn) {
    // Saturn high in the south-west at 21:00 in Tokyo.
    TChartOptions chosen =
        Options({"--chart", "planisphere", "--site", "tokyo", "--size", "400", "--center",
                 "saturn"});
    std::string why;
    ASSERT_TRUE(ResolveChartCentre(chosen, ".", kMjd2026, why)) << why;
    ASSERT_EQ(chosen.TargetKind, 3);
    TChartOptions plain = chosen;
    plain.TargetKind = 0;
    TChartRun a, b;
    std::string error;
    ASSERT_TRUE(a.Run(chosen, ".", kMjd2026, error)) << error;
    ASSERT_TRUE(b.Run(plain, ".", kMjd2026, error)) << error;
    // What differs is the mark, and Saturn's name moved out of it.
    const TBox box = Difference(a.Picture(), b.Picture());
    ASSERT_GT(box.n, 0);
    EXPECT_NE(std::find(box.colours.begin(), box.colours.end(), kPlanisphereCyan),
              box.colours.end());
    // The cyan of the mark alone: a square of 15 pixels.
    TBox cyan;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            if (a.Picture().Idx2Col(a.Picture().GetIdx(x, y)) == kPlanisphereCyan &&
                b.Picture().Idx2Col(b.Picture().GetIdx(x, y)) != kPlanisphereCyan) {
                cyan.x0 = std::min(cyan.x0, x);
                cyan.x1 = std::max(cyan.x1, x);
                cyan.y0 = std::min(cyan.y0, y);
                cyan.y1 = std::max(cyan.y1, y);
            }
    EXPECT_EQ(cyan.x1 - cyan.x0, 14);
    EXPECT_EQ(cyan.y1 - cyan.y0, 14);
    // Saturn's yellow ring is the one inside the mark.
    const TDIB& d = a.Picture();
    int yellow = 0;
    for (int y = cyan.y0; y <= cyan.y1; ++y)
        for (int x = cyan.x0; x <= cyan.x1; ++x)
            yellow += d.Idx2Col(d.GetIdx(x, y)) == RGB(255, 255, 0);
    EXPECT_GE(yellow, 12);
}

TEST(ChosenObject, ThePageWriterDrawsTheMarkToo) {
    TChartOptions o = Options({"--chart", "atlas", "--site", "tokyo", "--size", "400x300",
                               "--scale", "5000", "--center", "M31"});
    std::string why, error;
    ASSERT_TRUE(ResolveChartCentre(o, ".", kMjd2026, why)) << why;
    TChartRun run;
    ASSERT_TRUE(run.Run(o, ".", kMjd2026, error)) << error;
    TPageContent page = AtlasPage(*run.Atlas(), true);
    TLineCounter lines(kCyan);
    page.Draw(lines);
    EXPECT_EQ(lines.Lines, 8); // two strokes at each corner
    run.Atlas()->SetTarget(0, 0);
    TLineCounter none(kCyan);
    page.Draw(none);
    EXPECT_EQ(none.Lines, 0);
}
