// The chart tool's PDF and JPEG files, read back with other programs: poppler
// (pdfinfo, pdftotext, pdfimages, pdftoppm) for the page, libjpeg for the
// picture; and a site of the user's found by name in the user's settings.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <sys/wait.h>

#include <array>
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

// The chart on the page: the largest box of the page that is not paper white,
// below the title line.
void ChartBox(const Ppm& page, int top, int& x0, int& y0, int& x1, int& y1) {
    x0 = page.W, y0 = page.H, x1 = -1, y1 = -1;
    for (int y = top; y < page.H; ++y)
        for (int x = 0; x < page.W; ++x) {
            const unsigned char* c = page.At(x, y);
            if (c[0] < 250 || c[1] < 250 || c[2] < 250) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
}

const std::vector<const char*> kOrion = {"--site", "tokyo", "--chart", "atlas", "--size",
                                         "400x300", "--date", "2026-12-07", "--time", "12:00",
                                         "--ra", "5:35", "--dec", "-1", "--show", "bayer"};

} // namespace

TEST(ChartPage, PdfIsOnePageOfTheChosenPaperWithTheChartAndItsTitle) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    for (const char* p : {"pdfinfo", "pdftotext", "pdfimages", "pdftoppm"})
        ASSERT_TRUE(Have(p)) << p << " is missing (poppler-utils)";
    TempDir tmp;
    const std::string pdf = (tmp.Path / "orion.pdf").string();
    std::string out;
    ASSERT_EQ(Shell("./quenlira-chart" + Join(kOrion) + " -o " + pdf, &out), 0) << out;

    // A4 (210 x 297 mm = 595.276 x 841.890 points), turned for the wide chart.
    ASSERT_EQ(Shell("pdfinfo " + pdf, &out), 0) << out;
    EXPECT_NE(out.find("Pages:           1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Page size:       841.89 x 595.276 pts (A4)"), std::string::npos) << out;
    ASSERT_EQ(Shell("pdftotext -layout " + pdf + " -", &out), 0) << out;
    // Tokyo keeps UTC+9: 12:00 UTC is 21:00 there.
    for (const char* want : {"Tokyo", "139.52", "35.68", "2026-12-07 21:00 local time (UTC+9)",
                             "RA 5h35m", "Dec \u22121\u00b000'", "scale 1000"})
        EXPECT_NE(out.find(want), std::string::npos) << want << " not in: " << out;
    // The picture on the page has at least 300 dots per inch.
    ASSERT_EQ(Shell("pdfimages -list " + pdf, &out), 0) << out;
    std::istringstream list(out);
    std::string line;
    std::getline(list, line);
    std::getline(list, line);
    int page = 0, num = 0, w = 0, h = 0, xppi = 0, yppi = 0;
    std::string type, colour, enc, interp, comp, bpc, object, id;
    ASSERT_TRUE(static_cast<bool>(list >> page >> num >> type >> w >> h >> colour >> comp >> bpc >>
                                  enc >> interp >> object >> id >> xppi >> yppi))
        << out;
    EXPECT_GE(xppi, 300);
    EXPECT_GE(yppi, 300);
    EXPECT_EQ(w * 3, h * 4); // the chart's own shape

    // Printed at 144 dpi: every pixel of the chart where it should be, in its colour.
    ASSERT_EQ(Shell("pdftoppm -r 144 " + pdf + " " + (tmp.Path / "page").string(), &out), 0) << out;
    Ppm shot;
    ASSERT_TRUE(shot.Read(tmp.Path / "page-1.ppm"));
    EXPECT_EQ(shot.W, 1684); // 841.89 points at 2 pixels each
    TChartRun run;
    Draw(kOrion, run);
    const TDIB& chart = run.Picture();
    int x0, y0, x1, y1;
    ChartBox(shot, 100, x0, y0, x1, y1); // below the title's line

    ASSERT_GT(x1, x0);
    const double sx = (x1 + 1 - x0) / 400.0, sy = (y1 + 1 - y0) / 300.0;
    EXPECT_NEAR(sx, sy, 0.02); // not stretched
    EXPECT_GT(sx * 400, 0.8 * 1684 - 144); // fills most of the page's width (less the margins)
    int same = 0, total = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const unsigned long c = chart.Idx2Col(chart.GetIdx(x, y));
            const unsigned char* p = shot.At(x0 + static_cast<int>((x + 0.5) * sx),
                                             y0 + static_cast<int>((y + 0.5) * sy));
            ++total;
            same += std::abs(p[0] - GetRValue(c)) <= 2 && std::abs(p[1] - GetGValue(c)) <= 2 &&
                    std::abs(p[2] - GetBValue(c)) <= 2;
        }
    EXPECT_GT(same, total * 99 / 100) << same << " of " << total;

    // Letter, upright, black on white.
    const std::string print = (tmp.Path / "print.pdf").string();
    ASSERT_EQ(Shell("./quenlira-chart" + Join(kOrion) +
                      " --paper letter --orientation portrait --print-colours -o " + print,
                  &out),
              0)
        << out;
    ASSERT_EQ(Shell("pdfinfo " + print, &out), 0);
    EXPECT_NE(out.find("Page size:       612 x 792 pts (letter)"), std::string::npos) << out;
    ASSERT_EQ(Shell("pdftoppm -r 72 " + print + " " + (tmp.Path / "print").string(), &out), 0);
    Ppm paper;
    ASSERT_TRUE(paper.Read(tmp.Path / "print-1.ppm"));
    // The chart's black sky is white paper: the corners of the chart, and by
    // far the most of its pixels, are white; the stars and lines are dark.
    int white = 0, dark = 0, area = 0;
    for (int y = 60; y < paper.H - 36; ++y)
        for (int x = 36; x < paper.W - 36; ++x) {
            const unsigned char* p = paper.At(x, y);
            ++area;
            white += p[0] > 245 && p[1] > 245 && p[2] > 245;
            dark += p[0] < 128 && p[0] == p[1] && p[1] == p[2];
        }
    EXPECT_GT(white, area * 8 / 10);
    EXPECT_GT(dark, 50);
}

TEST(ChartPage, PdfWithoutSizeFillsThePageAndJpegHoldsTheChart) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    TempDir tmp;
    std::string out;
    const std::string pdf = (tmp.Path / "sky.pdf").string();
    ASSERT_EQ(Shell("./quenlira-chart --site lascampanas --date 2026-12-08 --time 02:00 -o " + pdf,
                  &out),
              0)
        << out;
    if (Have("pdfimages")) {
        ASSERT_EQ(Shell("pdfimages -list " + pdf, &out), 0);
        // The planisphere, square, as wide as A4 less its margins: 7.27 inches.
        int w = 0, h = 0, xppi = 0;
        std::istringstream list(out.substr(out.find("\n", out.find("---")) + 1));
        std::string skip;
        list >> skip >> skip >> skip >> w >> h;
        for (int i = 0; i < 7; ++i)
            list >> skip;
        list >> xppi;
        EXPECT_EQ(w, h) << out;
        EXPECT_GE(xppi, 300) << out;
        EXPECT_GE(w, static_cast<int>(7.2 * 300)) << out;
    }

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
    EXPECT_NE(out.find(".png, .pdf or .jpg"), std::string::npos) << out;
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
