// The chart tool's PDF and JPEG files, read back with other programs: poppler
// (pdfinfo, pdftotext, pdfimages, pdftoppm) for the page, libjpeg for the
// picture; and a site of the user's found by name in the user's settings.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Clssysinfo.h"
#include "render/Clsdib.h"
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

bool Have(const char* program) {
    return Shell(std::string("command -v ") + program + " >/dev/null") == 0;
}

struct TempDir {
    fs::path Path;
    TempDir() {
        std::string t = (fs::temp_directory_path() / "quenlira-page-XXXXXX").string();
        Path = mkdtemp(t.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
};

// A binary PPM (P6) as pdftoppm writes it.
struct Ppm {
    int W = 0, H = 0;
    std::vector<unsigned char> Rgb;
    bool Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::string magic;
        int max = 0;
        in >> magic >> W >> H >> max;
        in.get();
        if (magic != "P6" || max != 255) return false;
        Rgb.resize(static_cast<std::size_t>(W) * H * 3);
        in.read(reinterpret_cast<char*>(Rgb.data()), static_cast<std::streamsize>(Rgb.size()));
        return static_cast<bool>(in);
    }
    const unsigned char* At(int x, int y) const {
        return &Rgb[(static_cast<std::size_t>(y) * W + x) * 3];
    }
};

// The same chart drawn in this process, to compare with what the files hold.
void Draw(std::vector<const char*> args, TChartRun& run) {
    args.insert(args.begin(), "quenlira-chart");
    args.insert(args.end(), {"-o", "x.png"});
    TChartOptions o;
    ASSERT_EQ(ParseChartOptions(static_cast<int>(args.size()), args.data(), o), "");
    std::string error;
    ASSERT_TRUE(run.Run(o, ".", ChartMjd(o, 0), error)) << error;
}

std::string Join(const std::vector<const char*>& args) {
    std::string s;
    for (const char* a : args)
        s += std::string(" ") + a;
    return s;
}


const std::vector<const char*> kOrion = {"--site", "tokyo", "--chart", "atlas", "--size",
                                         "400x300", "--date", "2026-12-07", "--time", "12:00",
                                         "--ra", "5:35", "--dec", "-1", "--show", "bayer"};

} // namespace

// The lines of `pdfimages -list` after its two header lines: one per picture.
int Pictures(const std::string& pdf) {
    std::string out;
    if (Shell("pdfimages -list " + pdf, &out) != 0) return -1;
    int lines = 0;
    for (char c : out)
        lines += c == '\n';
    return lines - 2;
}

TEST(ChartPage, AtlasPageIsVectorsWithItsLegendAndBorderLabels) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    for (const char* p : {"pdfinfo", "pdftotext", "pdfimages", "pdftoppm"})
        ASSERT_TRUE(Have(p)) << p << " is missing (poppler-utils)";
    TempDir tmp;
    const std::string pdf = (tmp.Path / "orion.pdf").string();
    const std::string orion = " --site tokyo --chart atlas --date 2026-12-07 --time 12:00 --ra 5:35"
                              " --dec -1 --scale 1800 --show bayer,deepsky";
    std::string out;
    ASSERT_EQ(Shell("./quenlira-chart" + orion + " -o " + pdf, &out), 0) << out;

    // A4 (210 x 297 mm = 595.276 x 841.890 points) on its side.
    ASSERT_EQ(Shell("pdfinfo " + pdf, &out), 0) << out;
    EXPECT_NE(out.find("Pages:           1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Page size:       841.89 x 595.276 pts (A4)"), std::string::npos) << out;
    // Drawn as vectors: no picture at all.
    EXPECT_EQ(Pictures(pdf), 0);
    ASSERT_EQ(Shell("pdftotext " + pdf + " -", &out), 0) << out;
    // Tokyo keeps UTC+9: 12:00 UTC is 21:00 there. The stars' names, the
    // Bayer letters as Greek letters, the constellation and the deep-sky
    // objects are text; so is the legend.
    for (const char* want :
         {"Tokyo", "139.52", "35.68", "2026-12-07 21:00 local time (UTC+9)", "2026-12-07 12:00 UT",
          "RA 5h35m", "Dec \u22121\u00b000'", "Betelgeuse", "Rigel", "Ori", "\u03b4", "M42",
          "Limiting magnitude", "Magnitude", "Scale", "Deep-sky objects", "Bright nebula"})
        EXPECT_NE(out.find(want), std::string::npos) << want << " not in: " << out;
    // The border: 1010 pixels of 0.75 point across at 1800 pixels a radian
    // span 32 degrees, RA 5h35m +- 64m at Dec -1: the meridians of 5h and
    // 6h cross the top and bottom edges, those of 4h and 7h do not; the
    // equator crosses both sides.
    ASSERT_EQ(Shell("pdftotext -raw " + pdf + " -", &out), 0) << out;
    auto count = [&](const std::string& w) {
        int n = 0;
        for (size_t at = out.find(w); at != std::string::npos; at = out.find(w, at + 1))
            ++n;
        return n;
    };
    EXPECT_GE(count("5h\n") + count("5h "), 2) << out;
    EXPECT_GE(count("6h\n") + count("6h "), 2) << out;
    EXPECT_EQ(count("4h"), 0) << out;
    EXPECT_EQ(count("7h"), 0) << out;
    EXPECT_GE(count("+0\u00b0"), 2) << out;

    // Black on white by default: most of the chart is paper, the stars and
    // lines dark. The screen's colours on request: most of it is the night.
    auto whiteShare = [&](const std::string& file) {
        Ppm page;
        const std::string stem = (tmp.Path / "shot").string();
        if (Shell("pdftoppm -r 36 " + file + " " + stem) != 0 || !page.Read(stem + "-1.ppm"))
            return -1.0;
        int white = 0, area = 0;
        for (int y = page.H / 5; y < page.H * 3 / 5; ++y)
            for (int x = page.W / 5; x < page.W * 4 / 5; ++x, ++area) {
                const unsigned char* p = page.At(x, y);
                white += p[0] > 230 && p[1] > 230 && p[2] > 230;
            }
        return static_cast<double>(white) / area;
    };
    EXPECT_GT(whiteShare(pdf), 0.8);
    const std::string night = (tmp.Path / "night.pdf").string();
    ASSERT_EQ(Shell("./quenlira-chart" + orion + " --screen-colours -o " + night, &out), 0) << out;
    EXPECT_LT(whiteShare(night), 0.2);

    // The paper asked for, turned as asked; SVG too.
    const std::string letter = (tmp.Path / "letter.pdf").string();
    ASSERT_EQ(Shell("./quenlira-chart" + orion + " --paper letter --orientation portrait -o " + letter,
                    &out),
              0)
        << out;
    ASSERT_EQ(Shell("pdfinfo " + letter, &out), 0);
    EXPECT_NE(out.find("Page size:       612 x 792 pts (letter)"), std::string::npos) << out;
    const std::string a3 = (tmp.Path / "a3.pdf").string();
    ASSERT_EQ(Shell("./quenlira-chart" + orion + " --paper a3 -o " + a3, &out), 0) << out;
    ASSERT_EQ(Shell("pdfinfo " + a3, &out), 0);
    EXPECT_NE(out.find("Page size:       1190.55 x 841.89 pts (A3)"), std::string::npos) << out;
    const std::string svg = (tmp.Path / "orion.svg").string();
    ASSERT_EQ(Shell("./quenlira-chart" + orion + " -o " + svg, &out), 0) << out;
    std::ifstream in(svg);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("width=\"841.8"), std::string::npos) << text.substr(0, 300);
}

TEST(ChartPage, PlanispherePageNamesTheBrightStars) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    if (!Have("pdftotext") || !Have("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
    TempDir tmp;
    std::string out;
    const std::string pdf = (tmp.Path / "sky.pdf").string();
    ASSERT_EQ(Shell("./quenlira-chart --site lascampanas --date 2026-12-08 --time 02:00 -o " + pdf,
                  &out),
              0)
        << out;
    // Upright A4, no picture on it.
    ASSERT_EQ(Shell("pdfinfo " + pdf, &out), 0);
    EXPECT_NE(out.find("Page size:       595.276 x 841.89 pts (A4)"), std::string::npos) << out;
    EXPECT_EQ(Pictures(pdf), 0);
    ASSERT_EQ(Shell("pdftotext " + pdf + " -", &out), 0) << out;
    // At 23:00 local time in early December Orion and Canis Major stand high
    // over Chile; Polaris is below its horizon.
    for (const char* want : {"Sirius", "Canopus", "Rigel", "Achernar", "Ori", "CMa",
                             "Limiting magnitude 4.9", "Las Campanas"})
        EXPECT_NE(out.find(want), std::string::npos) << want << " not in: " << out;
    EXPECT_EQ(out.find("Polaris"), std::string::npos);
    // A page holds one chart: the window's pair is for pictures.
    EXPECT_EQ(Shell("./quenlira-chart --site tokyo --chart window -o " + pdf, &out), 1);
    EXPECT_NE(out.find("--chart window is for pictures"), std::string::npos) << out;
}

TEST(ChartPage, JpegHoldsTheChart) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    TempDir tmp;
    std::string out;
    // JPEG: the chart's size and, within the losses of the format, its colours.
    const std::string jpg = (tmp.Path / "orion.jpg").string();
    ASSERT_EQ(Shell("./quenlira-chart" + Join(kOrion) + " -o " + jpg, &out), 0) << out;
    FILE* f = std::fopen(jpg.c_str(), "rb");
    ASSERT_TRUE(f);
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    ASSERT_EQ(cinfo.output_width, 400u);
    ASSERT_EQ(cinfo.output_height, 300u);
    TChartRun run;
    Draw(kOrion, run);
    std::vector<unsigned char> row(400 * 3);
    double diff = 0;
    for (int y = 0; y < 300; ++y) {
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&cinfo, &r, 1);
        for (int x = 0; x < 400; ++x) {
            const unsigned long c = run.Picture().Idx2Col(run.Picture().GetIdx(x, y));
            diff += std::abs(row[x * 3] - GetRValue(c)) + std::abs(row[x * 3 + 1] - GetGValue(c)) +
                    std::abs(row[x * 3 + 2] - GetBValue(c));
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    EXPECT_LT(diff / (400 * 300 * 3), 6.0);

    // Any other ending is refused, and nothing is written.
    const std::string gif = (tmp.Path / "sky.gif").string();
    EXPECT_EQ(Shell("./quenlira-chart --site tokyo -o " + gif, &out), 2);
    EXPECT_NE(out.find(".png, .pdf, .svg or .jpg"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(gif));
}

// A copy of the tool in a folder of its own, with the catalogues and a
// settings file holding one site of the user's: the tool finds it by name,
// in any case, and draws the same chart as for its longitude and latitude.
TEST(ChartPage, UsersSiteByNameFromTheSettingsFile) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    TempDir tmp;
    for (const char* f : {"quenlira-chart", "Star.dat", "Unsta.dat"})
        fs::copy_file(f, tmp.Path / f);
    TSysInfo info;
    info.NewFile();
    TSite garden;
    garden.Name = "Kiso Garden";
    garden.Lng = 137.625 * 3.14159265358979323846 / 180;
    garden.Lat = 35.797 * 3.14159265358979323846 / 180;
    garden.DiffUT = 9;
    ASSERT_TRUE(info.AddSite(garden));
    std::string why;
    ASSERT_TRUE(info.Save(tmp.Path.string(), why)) << why;
    const std::string tool = (tmp.Path / "quenlira-chart").string();
    const std::string when = " --date 2026-12-07 --time 12:00 --size 200";
    std::string out;
    ASSERT_EQ(Shell(tool + " --site 'kiso GARDEN'" + when + " -o " + (tmp.Path / "a.png").string(),
                  &out),
              0)
        << out;
    ASSERT_EQ(Shell(tool + " --lon 137.625 --lat 35.797" + when + " -o " +
                      (tmp.Path / "b.png").string(),
                  &out),
              0)
        << out;
    std::ifstream a(tmp.Path / "a.png", std::ios::binary), b(tmp.Path / "b.png", std::ios::binary);
    const std::string pa((std::istreambuf_iterator<char>(a)), {}),
        pb((std::istreambuf_iterator<char>(b)), {});
    EXPECT_GT(pa.size(), 1000u);
    EXPECT_EQ(pa, pb);
    // A name that is nobody's lists the user's sites among those known.
    EXPECT_EQ(Shell(tool + " --site Kiso -o " + (tmp.Path / "c.png").string(), &out), 2);
    EXPECT_NE(out.find("\"Kiso Garden\""), std::string::npos) << out;
    // The settings file is only read.
    EXPECT_EQ(fs::file_size(tmp.Path / "Sysinfo.dat"), 13096u);
}

// An SVG page's words are <text> an XML reader finds, not glyph outlines;
// at the widest scales the Milky Way stops at the rim of the near
// hemisphere instead of filling the page's corners beyond it.
TEST(ChartPage, SvgWordsAreTextAndTheWideMilkyWayEndsAtTheRim) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    if (!Have("xmllint") || !Have("pdftoppm")) GTEST_SKIP() << "xmllint or poppler-utils missing";
    TempDir tmp;
    std::string out;
    const std::string svg = (tmp.Path / "orion.svg").string();
    ASSERT_EQ(Shell("./quenlira-chart" + Join(kOrion) + " -o " + svg, &out), 0) << out;
    ASSERT_EQ(Shell("xmllint --noout " + svg, &out), 0) << out;
    ASSERT_EQ(Shell("xmllint --xpath \"//*[local-name()='text']\" " + svg, &out), 0) << out;
    for (const char* want : {"Betelgeuse", "Rigel", "Ori", "Limiting magnitude", "Tokyo", "5h"})
        EXPECT_NE(out.find(want), std::string::npos) << want << " is no <text>";
    std::ifstream in(svg);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.find("glyph"), std::string::npos) << "words drawn as outlines";

    // Scale 300 on A4: the hemisphere's rim, pi/2 x 300 pixels of 0.75
    // point, is 353.4 points about the chart's centre (420.75, 267.5); the
    // chart's corners lie 433 points out. Rendered at 72 dpi, a pixel a point.
    const std::string pdf = (tmp.Path / "wide.pdf").string();
    ASSERT_EQ(Shell("./quenlira-chart --site tokyo --date 2026-12-07 --time 12:00 --chart atlas "
                    "--ra 12 --dec 0 --scale 300 -o " + pdf, &out),
              0)
        << out;
    const std::string stem = (tmp.Path / "wide").string();
    Ppm page;
    ASSERT_TRUE(Shell("pdftoppm -r 72 " + pdf + " " + stem) == 0 && page.Read(stem + "-1.ppm"));
    int beyond = 0, band = 0;
    for (int y = 56; y < 56 + 423; ++y)
        for (int x = 42; x < 42 + 757; ++x) {
            if (std::hypot(x + 0.5 - 420.75, y + 0.5 - 267.5) < 353.4 + 3) continue;
            ++beyond;
            const unsigned char* p = page.At(x, y);
            // The band's light grey (0.86 of white), not the paper or ink.
            band += p[0] >= 205 && p[0] <= 232 && p[0] == p[1] && p[1] == p[2];
        }
    EXPECT_GT(beyond, 30000);
    EXPECT_LT(band, 200) << "of " << beyond << " pixels beyond the rim are the Milky Way's";
}
