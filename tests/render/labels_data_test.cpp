// Labels that give way, on the dense views where they used to run into each
// other: the deep-sky layer round M42 at the window's start scale and the
// Virgo cluster at scale 3000, the planisphere with Saturn and Neptune a
// degree apart, and the same views as printed pages. The boxes are taken
// from the texts actually drawn (a page's drawing calls), not from the
// placer's own bookkeeping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/Clsstar.h"
#include "page/Clschartpage.h"
#include "render/Clsdrawtarget.h"
#include "render/Clsfont.h"
#include "tools/chart/Chartfind.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartrun.h"

namespace {

constexpr double kMjd2026 = 61381.5; // 2026-12-07 12:00 UT

TChartOptions Options(std::vector<const char*> args) {
    args.insert(args.begin(), "quenlira-chart");
    args.insert(args.end(), {"--date", "2026-12-07", "--time", "12:00", "-o", "x.png"});
    TChartOptions o;
    EXPECT_EQ(ParseChartOptions(static_cast<int>(args.size()), args.data(), o), "");
    return o;
}

struct TTextBox {
    std::string text;
    int x0, y0, x1, y1;
};

// Every text a drawing writes, as the box its font gives it.
struct TTextRecorder : TDrawTarget {
    std::vector<TTextBox> Boxes;
    void Text(int x, int y, const std::string& text, const TFontDesc& font, int ascent, int width,
              unsigned long, bool, unsigned long) override {
        const int height = ascent + TFont::Make(font)->Descent();
        Boxes.push_back({text, x, y, x + width, y + height});
    }
    void Line(int, int, int, int, const TPen&) override {}
    void Rectangle(int, int, int, int, const TPen&, const TBrush&) override {}
    void Ellipse(int, int, int, int, const TPen&, const TBrush&) override {}
    void Arc(int, int, int, int, int, int, int, int, const TPen&) override {}
    void Polygons(const std::vector<std::vector<TPoint>>&, const TPen&, const TBrush&) override {}
    void Pixel(int, int, unsigned long) override {}
    void Star(double, double, double, unsigned long) override {}
    void Symbol(int, double, double, unsigned long) override {}
    void ClipEllipse(int, int, int, int) override {}
};

bool Overlap(const TTextBox& a, const TTextBox& b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

// The pairs of overlapping boxes, named for the failure message.
std::vector<std::string> Overlapping(const std::vector<TTextBox>& boxes) {
    std::vector<std::string> pairs;
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = i + 1; j < boxes.size(); ++j)
            if (Overlap(boxes[i], boxes[j]))
                pairs.push_back(boxes[i].text + " / " + boxes[j].text);
    return pairs;
}

// The atlas of `o` drawn as a page: the texts it writes, which also lie whole
// on the chart; the raster's own list of labels must be the same boxes.
std::vector<TTextBox> AtlasTexts(const TChartOptions& o, TChartRun& run) {
    std::string error;
    EXPECT_TRUE(run.Run(o, ".", kMjd2026, error)) << error;
    const std::vector<TAtlas::TDrawnLabel> raster = run.Atlas()->DrawnLabels();
    TTextRecorder page;
    AtlasPage(*run.Atlas(), true).Draw(page);
    EXPECT_EQ(page.Boxes.size(), raster.size());
    for (size_t i = 0; i < raster.size() && i < page.Boxes.size(); ++i) {
        EXPECT_EQ(page.Boxes[i].text, raster[i].Text);
        EXPECT_EQ(page.Boxes[i].x0, raster[i].X);
        EXPECT_EQ(page.Boxes[i].y1 - page.Boxes[i].y0, raster[i].H);
    }
    for (const TTextBox& b : page.Boxes) {
        EXPECT_TRUE(b.x0 >= 0 && b.y0 >= 0 && b.x1 <= o.Width && b.y1 <= o.Height) << b.text;
    }
    return page.Boxes;
}

// The bright stars' pixels: no label of a fainter object may cover them,
// and on these views no brighter object is near enough to.
std::vector<TTextBox> BrightStars(TAtlas& atlas, int brighterThan) {
    std::vector<TTextBox> stars;
    const TStar& cat = *atlas.Star[0];
    for (int i = 0; i < cat.Count; ++i) {
        if (cat.Records[i].mag >= brighterThan) continue;
        int px, py;
        if (!atlas.ToPixel(cat.Records[i].ra, cat.Records[i].dec, px, py)) continue;
        stars.push_back({"star " + std::to_string(i), px - 2, py - 2, px + 3, py + 3});
    }
    return stars;
}

} // namespace

TEST(LabelsGiveWay, DenseDeepSkyViewsHaveNoOverlappingLabels) {
    struct View {
        const char* name;
        TChartOptions o;
        size_t atLeast; // labels written
    };
    const std::vector<View> views = {
        // The window's start-up layers and scale with the deep-sky layer on,
        // on a 1920-pixel screen's chart panel, M42 in the middle.
        {"M42 at 1000",
         Options({"--chart", "atlas", "--site", "tokyo", "--size", "1639x1080", "--ra", "5:35:17",
                  "--dec", "-5:23", "--scale", "1000", "--show", "deepsky"}),
         150},
        // The Virgo cluster with every layer on.
        {"Virgo at 3000",
         Options({"--chart", "atlas", "--site", "tokyo", "--size", "1639x1080", "--ra", "12:27",
                  "--dec", "12:40", "--scale", "3000", "--show", "all"}),
         300},
    };
    for (const View& v : views) {
        SCOPED_TRACE(v.name);
        TChartRun run;
        const std::vector<TTextBox> texts = AtlasTexts(v.o, run);
        EXPECT_GE(texts.size(), v.atLeast);
        const std::vector<std::string> pairs = Overlapping(texts);
        EXPECT_EQ(pairs.size(), 0u) << (pairs.empty() ? "" : pairs[0]);
        const std::vector<TTextBox> stars = BrightStars(*run.Atlas(), 200);
        for (const TTextBox& star : stars)
            for (const TTextBox& t : texts)
                EXPECT_FALSE(Overlap(star, t)) << t.text << " over " << star.text;
    }
}

TEST(LabelsGiveWay, TheChosenObjectsLabelShowsInTheThickOfIt) {
    // Galaxies of the Virgo cluster whose labels are crowded out at scale
    // 1000: chosen, each one's label is written, and the others give way.
    for (const char* name : {"NGC 4435", "NGC 4402", "NGC 4388"}) {
        SCOPED_TRACE(name);
        TChartOptions o = Options({"--chart", "atlas", "--site", "tokyo", "--size", "800x600",
                                   "--scale", "1000", "--show", "deepsky", "--center", name});
        std::string why;
        ASSERT_TRUE(ResolveChartCentre(o, ".", kMjd2026, why)) << why;
        TChartOptions plain = o;
        plain.TargetKind = 0;
        const std::string label = std::string(name).substr(4);
        auto count = [&](const std::vector<TTextBox>& texts) {
            int n = 0;
            for (const TTextBox& t : texts)
                n += t.text == label;
            return n;
        };
        TChartRun a, b;
        const std::vector<TTextBox> chosen = AtlasTexts(o, a), left = AtlasTexts(plain, b);
        EXPECT_EQ(count(left), 0);
        EXPECT_EQ(count(chosen), 1);
        EXPECT_TRUE(Overlapping(chosen).empty());
    }
}

TEST(LabelsGiveWay, PlanisphereNamesTwoPlanetsADegreeApartAndKeepsTheCompassWhole) {
    // 2026-12-07 21:00 in Tokyo: Saturn and Neptune about a degree apart.
    TChartOptions o = Options({"--chart", "planisphere", "--site", "tokyo", "--size", "400"});
    TChartRun run;
    std::string error;
    ASSERT_TRUE(run.Run(o, ".", kMjd2026, error)) << error;
    std::vector<TTextBox> boxes;
    int planets = 0;
    for (const THayami::TNameBox& b : run.Hayami()->NameBoxes) {
        boxes.push_back({b.Text, b.X, b.Y, b.X + b.W, b.Y + b.H});
        planets += b.Text == "SATURN" || b.Text == "NEPTUNE";
    }
    EXPECT_EQ(planets, 2);
    const std::vector<std::string> pairs = Overlapping(boxes);
    EXPECT_TRUE(pairs.empty()) << (pairs.empty() ? "" : pairs[0]);
    // Every box (the compass letters among them) whole inside the horizon's
    // circle, which cuts the rest.
    int compass = 0;
    for (const TTextBox& b : boxes) {
        compass += b.text == "N" || b.text == "E" || b.text == "S" || b.text == "W";
        for (const double x : {b.x0 + 0.5, b.x1 - 0.5})
            for (const double y : {b.y0 + 0.5, b.y1 - 0.5}) {
                const double u = (x - 199.5) / 199.5, w = (y - 199.5) / 199.5;
                EXPECT_LE(u * u + w * w, 1.0) << b.text;
            }
    }
    EXPECT_EQ(compass, 4);
    // The page's texts are the same.
    TTextRecorder page;
    PlanispherePage(*run.Hayami(), 0, true).Draw(page);
    EXPECT_TRUE(Overlapping(page.Boxes).empty());
}
