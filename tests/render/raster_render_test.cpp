// The 8-bit raster and its drawing operations, checked pixel by pixel
// against positions worked out by hand.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <chrono>
#include <climits>
#include <future>
#include <thread>
#include <cstdio>
#include <filesystem>

#include <cmath>
#include <set>
#include <string>

#include "render/Clsdib.h"
#include "render/Clsdraw.h"
#include "render/Clsfont.h"
#include "render/Clspalette.h"
#include "render/Clspng.h"
#include "render/Clssurface.h"

#include "Fulldisk.h"

namespace {

constexpr unsigned long kBlack = RGB(0, 0, 0);
constexpr unsigned long kRed = RGB(255, 0, 0);
constexpr unsigned long kGreen = RGB(0, 255, 0);
constexpr unsigned long kBlue = RGB(0, 0, 255);
constexpr unsigned long kWhite = RGB(255, 255, 255);

// A raster with black 0, red 1, green 2, blue 3, white 4, filled black.
struct Canvas {
    TDIB dib;
    TSurface* s = nullptr;
    Canvas(int w, int h) {
        for (unsigned long c : {kBlack, kRed, kGreen, kBlue, kWhite})
            dib.AddColor(c);
        dib.Create(w, h);
        dib.FillIdx(0);
        s = dib.GetSurface();
    }
    int at(int x, int y) const { return dib.GetIdx(x, y); }
    int count(int idx) const {
        int n = 0;
        for (int y = 0; y < dib.GetHeight(); ++y)
            for (int x = 0; x < dib.GetWidth(); ++x)
                n += at(x, y) == idx;
        return n;
    }
    // Bounding box of the pixels not black: left, top, right, bottom (inclusive).
    std::array<int, 4> inkBox() const {
        std::array<int, 4> b{1 << 30, 1 << 30, -1, -1};
        for (int y = 0; y < dib.GetHeight(); ++y)
            for (int x = 0; x < dib.GetWidth(); ++x)
                if (at(x, y) != 0) {
                    b[0] = std::min(b[0], x);
                    b[1] = std::min(b[1], y);
                    b[2] = std::max(b[2], x);
                    b[3] = std::max(b[3], y);
                }
        return b;
    }
    void pen(unsigned long colour, int width = 1) {
        s->SelectPen(TPen{TSurface::PS_SOLID, width, colour});
    }
    void brush(unsigned long colour) { s->SelectBrush(TBrush{false, colour}); }
    void noBrush() { s->SelectBrush(TBrush{true, 0}); }
};

} // namespace

TEST(RasterMemory, RowsArePaddedToFourBytesAndFillReachesThePadding) {
    TDIB dib;
    dib.AddColor(kBlack);
    dib.Create(13, 5);
    EXPECT_EQ(dib.GetStride(), 16);
    EXPECT_EQ(dib.GetWidth(), 13);
    EXPECT_EQ(dib.GetHeight(), 5);
    EXPECT_EQ(dib.GetHeader().biHeight, -5); // rows stored top-down
    EXPECT_EQ(dib.GetHeader().biBitCount, 8);
    dib.FillIdx(7);
    for (int i = 0; i < 16 * 5; ++i)
        ASSERT_EQ(dib.GetBits()[i], 7) << "byte " << i;

    TDIB exact;
    exact.Create(16, 2);
    EXPECT_EQ(exact.GetStride(), 16);
    exact.Create(1, 1);
    EXPECT_EQ(exact.GetStride(), 4);
}

TEST(RasterMemory, DotIdxWritesInsideAndRefusesOutside) {
    TDIB dib;
    dib.Create(13, 5);
    dib.FillIdx(1);
    EXPECT_FALSE(dib.DotIdx(13, 0, 9));
    EXPECT_FALSE(dib.DotIdx(0, -1, 9));
    EXPECT_FALSE(dib.DotIdx(-1, 2, 9));
    EXPECT_FALSE(dib.DotIdx(3, 5, 9));
    for (int i = 0; i < 16 * 5; ++i)
        ASSERT_EQ(dib.GetBits()[i], 1);
    EXPECT_TRUE(dib.DotIdx(12, 4, 9));
    EXPECT_EQ(dib.GetBits()[4 * 16 + 12], 9);
    EXPECT_TRUE(dib.DotIdx(0, 0, 8));
    EXPECT_EQ(dib.GetBits()[0], 8);
}

TEST(ColourTable, RepeatsSkippedAndTheTableStopsAt256) {
    TDIB dib;
    dib.AddColor(RGB(1, 2, 3));
    dib.AddColor(RGB(1, 2, 3));
    dib.AddColor(RGB(200, 100, 50));
    EXPECT_EQ(dib.GetColCount(), 2);
    // Entries are blue, green, red, reserved.
    EXPECT_EQ(dib.GetColTbl()[0].rgbBlue, 3);
    EXPECT_EQ(dib.GetColTbl()[0].rgbGreen, 2);
    EXPECT_EQ(dib.GetColTbl()[0].rgbRed, 1);
    EXPECT_EQ(dib.Col2Idx(RGB(200, 100, 50)), 1);
    EXPECT_EQ(dib.Idx2Col(1), 0x3264C8u);
    EXPECT_EQ(dib.Col2Idx(RGB(9, 9, 9)), 255); // never added

    TDIB full;
    for (int i = 0; i < 256; ++i)
        full.AddColor(RGB(i, 255 - i, 7));
    EXPECT_EQ(full.GetColCount(), 256);
    full.AddColor(RGB(1, 1, 1)); // the 257th distinct colour
    EXPECT_EQ(full.GetColCount(), 256);
    EXPECT_EQ(full.Col2Idx(RGB(1, 1, 1)), 255);
    EXPECT_EQ(full.Col2Idx(RGB(100, 155, 7)), 100);
}

TEST(ColourTable, AddPaletteSharesIndicesAndPaletteMergesTables) {
    TDIB a, b;
    a.AddColor(kRed);
    a.AddColor(kGreen);
    b.AddPalette(&a);
    b.AddColor(kBlue);
    EXPECT_EQ(b.Col2Idx(kRed), 0);
    EXPECT_EQ(b.Col2Idx(kGreen), 1);
    EXPECT_EQ(b.Col2Idx(kBlue), 2);

    TDIB c;
    c.AddColor(kGreen);
    c.AddColor(kBlue);
    TPalette pal;
    EXPECT_EQ(pal.GetPalette(), nullptr);
    // The unused, zeroed entries of a table are black and join once.
    pal.AddColorTable(a.GetColTbl());
    EXPECT_EQ(pal.GetCount(), 3);
    pal.AddColorTable(c.GetColTbl());
    ASSERT_EQ(pal.GetCount(), 4);
    const TLogPalette* lp = pal.GetPalette();
    ASSERT_NE(lp, nullptr);
    EXPECT_EQ(lp->palVersion, 0x300);
    ASSERT_EQ(lp->palPalEntry.size(), 4u);
    EXPECT_EQ(lp->palPalEntry[0].peRed, 255);
    EXPECT_EQ(lp->palPalEntry[2].peBlue, 0);
    EXPECT_EQ(lp->palPalEntry[3].peBlue, 255);
    EXPECT_EQ(lp->palPalEntry[3].peFlags, TPalette::PC_NOCOLLAPSE);
}

TEST(Lines, EndPixelExcludedAndCurrentPointMoves) {
    Canvas c(20, 20);
    c.pen(kRed);
    c.s->MoveTo(2, 5);
    c.s->LineTo(8, 5);
    for (int x = 2; x < 8; ++x)
        EXPECT_EQ(c.at(x, 5), 1) << x;
    EXPECT_EQ(c.at(8, 5), 0);
    EXPECT_EQ(c.at(1, 5), 0);
    EXPECT_EQ(c.s->GetCurrentPosition().x, 8);
    // The next segment starts where the last one stopped and draws its start.
    c.s->LineTo(8, 9);
    for (int y = 5; y < 9; ++y)
        EXPECT_EQ(c.at(8, y), 1) << y;
    EXPECT_EQ(c.at(8, 9), 0);
    EXPECT_EQ(c.count(1), 10);

    Canvas d(20, 20);
    d.pen(kGreen);
    d.s->MoveTo(10, 10);
    d.s->LineTo(5, 5); // a diagonal drawn backwards
    for (int i = 6; i <= 10; ++i)
        EXPECT_EQ(d.at(i, i), 2) << i;
    EXPECT_EQ(d.at(5, 5), 0);
    EXPECT_EQ(d.count(2), 5);
    // A shallow line takes one pixel per column; its last pixel, column 9, is at
    // 9 x 3 / 10 = 2.7, row 3.
    Canvas e(20, 20);
    e.pen(kGreen);
    e.s->MoveTo(0, 0);
    e.s->LineTo(10, 3);
    for (int x = 0; x < 10; ++x) {
        int n = 0;
        for (int y = 0; y < 20; ++y)
            n += e.at(x, y) == 2;
        EXPECT_EQ(n, 1) << x;
    }
    EXPECT_EQ((e.inkBox()), (std::array<int, 4>{0, 0, 9, 3}));
}

TEST(Lines, EndPointsFarOutsideTheRasterEndQuicklyOnTheRightPixels) {
    // End points millions of pixels away (an ellipse of a damaged deep-sky
    // record) used to be stepped pixel by pixel, with differences that
    // overflowed an int: the drawing never ended.
    auto draw = [] {
        Canvas c(40, 20);
        c.pen(kRed);
        c.s->MoveTo(INT_MIN, 7);
        c.s->LineTo(INT_MAX, 7);
        c.pen(kGreen);
        c.s->MoveTo(-1000000000, -1000000000);
        c.s->LineTo(1000000000, 1000000000);
        c.pen(kBlue);
        // x = 3 + 10 (y + 2e9) / 4e9: column 8 on every row of the raster.
        c.s->MoveTo(3, -2000000000);
        c.s->LineTo(13, 2000000000);
        std::vector<int> px(40 * 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                px[y * 40 + x] = c.at(x, y);
        return px;
    };
    std::packaged_task<std::vector<int>()> task(draw);
    auto result = task.get_future();
    std::thread(std::move(task)).detach();
    ASSERT_EQ(result.wait_for(std::chrono::seconds(20)), std::future_status::ready)
        << "the lines did not end";
    const std::vector<int> px = result.get();
    auto at = [&](int x, int y) { return px[y * 40 + x]; };
    // Drawn in turn: row 7 red, the diagonal green, column 8 blue.
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(at(x, 7), x == 7 ? 2 : x == 8 ? 3 : 1) << x;
    for (int i = 0; i < 20; ++i) {
        if (i != 8) {
            EXPECT_EQ(at(i, i), 2) << i;
        }
        EXPECT_EQ(at(8, i), 3) << i;
    }
    EXPECT_EQ(std::count(px.begin(), px.end(), 1), 38);
    EXPECT_EQ(std::count(px.begin(), px.end(), 2), 19);
    EXPECT_EQ(std::count(px.begin(), px.end(), 3), 20);
}

TEST(Lines, WidePenCoversItsWidthAcrossTheLine) {
    Canvas c(30, 30);
    c.pen(kBlue, 3);
    c.s->MoveTo(5, 10);
    c.s->LineTo(15, 10);
    for (int y = 9; y <= 11; ++y)
        EXPECT_EQ(c.at(10, y), 3) << y;
    EXPECT_EQ(c.at(10, 8), 0);
    EXPECT_EQ(c.at(10, 12), 0);
    const auto box = c.inkBox();
    EXPECT_EQ(box[0], 4); // square ends reach half the width past the points
    EXPECT_EQ(box[2], 16);
}

TEST(Shapes, RectangleOutlineAndFillStayInsideTheBox) {
    Canvas c(20, 20);
    c.pen(kRed);
    c.brush(kGreen);
    c.s->Rectangle(2, 3, 10, 8);
    EXPECT_EQ((c.inkBox()), (std::array<int, 4>{2, 3, 9, 7}));
    for (int x = 2; x <= 9; ++x) {
        EXPECT_EQ(c.at(x, 3), 1);
        EXPECT_EQ(c.at(x, 7), 1);
    }
    for (int y = 3; y <= 7; ++y) {
        EXPECT_EQ(c.at(2, y), 1);
        EXPECT_EQ(c.at(9, y), 1);
    }
    EXPECT_EQ(c.count(2), 6 * 3); // inside the one-pixel frame
    // Black fill over the whole raster, as charts clear themselves.
    c.pen(kBlack);
    c.brush(kBlack);
    c.s->Rectangle(0, 0, 20, 20);
    EXPECT_EQ(c.count(0), 400);
}

TEST(Shapes, EllipseTouchesEachSideOfItsBoxAndNoMore) {
    Canvas c(60, 40);
    c.pen(kRed);
    c.brush(kGreen);
    c.s->Ellipse(10, 5, 50, 25); // 40 x 20
    EXPECT_EQ((c.inkBox()), (std::array<int, 4>{10, 5, 49, 24}));
    EXPECT_EQ(c.at(30, 15), 2); // centre filled by the brush
    EXPECT_EQ(c.at(10, 15), 1);
    EXPECT_EQ(c.at(49, 15), 1);
    EXPECT_EQ(c.at(10, 5), 0); // the box's corners are outside
    EXPECT_EQ(c.at(49, 24), 0);
    // Mirror symmetric about both axes of the box.
    for (int y = 5; y < 25; ++y)
        for (int x = 10; x < 50; ++x) {
            ASSERT_EQ(c.at(x, y), c.at(59 - x, y)) << x << "," << y;
            ASSERT_EQ(c.at(x, y), c.at(x, 29 - y)) << x << "," << y;
        }
    // Area near pi a b = 628.3.
    const int area = c.count(1) + c.count(2);
    EXPECT_NEAR(area, 628.3, 628.3 * 0.03);

    // The star dot of the charts: box x-2 .. x+3 gives a 5-pixel-wide disc.
    Canvas d(10, 10);
    d.pen(kWhite);
    d.brush(kWhite);
    d.s->Ellipse(3, 3, 8, 8);
    EXPECT_EQ((d.inkBox()), (std::array<int, 4>{3, 3, 7, 7}));
    EXPECT_EQ(d.at(5, 5), 4);
    EXPECT_EQ(d.at(3, 5), 4);
    EXPECT_EQ(d.at(3, 3), 0);
}

TEST(Shapes, ArcRunsCounterClockwiseFromStartToEnd) {
    Canvas c(41, 41);
    c.pen(kRed);
    // From the right (3 o'clock) to the top: the upper right quarter only.
    c.s->Arc(0, 0, 41, 41, 40, 20, 20, 0);
    int upperRight = 0, elsewhere = 0;
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x)
            if (c.at(x, y)) (x >= 20 && y <= 20 ? upperRight : elsewhere)++;
    EXPECT_GT(upperRight, 20);
    EXPECT_EQ(elsewhere, 0);

    // From the top to the right is the other three quarters.
    Canvas d(41, 41);
    d.pen(kRed);
    d.s->Arc(0, 0, 41, 41, 20, 0, 40, 20);
    EXPECT_EQ(d.at(0, 20), 1);
    EXPECT_EQ(d.at(20, 40), 1);
    EXPECT_EQ(d.at(34, 5), 0);

    // Equal start and end: the whole outline, as an unfilled ellipse draws it.
    Canvas e(41, 41), f(41, 41);
    e.pen(kRed);
    e.s->Arc(0, 0, 40, 40, 5, 5, 5, 5);
    f.pen(kRed);
    f.noBrush();
    f.s->Ellipse(0, 0, 40, 40);
    EXPECT_EQ(e.count(1), f.count(1));
    EXPECT_GT(e.count(1), 100);
    EXPECT_EQ(e.at(20, 20), 0);
}

TEST(Shapes, PolygonFillsByTheAlternateRule) {
    // A five-pointed star drawn in one stroke crosses itself: the inner
    // pentagon is wound twice and stays empty under the alternate rule.
    Canvas c(101, 101);
    c.pen(kRed);
    c.brush(kGreen);
    TPoint pts[5];
    const double pi = 3.14159265358979;
    for (int k = 0; k < 5; ++k) {
        const double a = pi / 2 + (2 * k) * 2 * pi / 5; // every second corner
        pts[k] = TPoint{static_cast<int>(std::lround(50 + 45 * std::cos(a))),
                        static_cast<int>(std::lround(50 - 45 * std::sin(a)))};
    }
    c.s->Polygon(pts, 5);
    EXPECT_EQ(c.at(50, 50), 0); // centre: inside the inner pentagon
    EXPECT_EQ(c.at(50, 58), 0);
    EXPECT_EQ(c.at(50, 20), 2); // inside the top point
    EXPECT_EQ(c.at(50, 3), 0);  // beyond it
    EXPECT_EQ(c.at(50, 5), 1);  // the top corner itself is on the outline

    // A square: pen on the outline at all four corners, brush inside.
    Canvas d(30, 30);
    d.pen(kRed);
    d.brush(kBlue);
    const TPoint sq[4] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    d.s->Polygon(sq, 4);
    EXPECT_EQ((d.inkBox()), (std::array<int, 4>{10, 10, 20, 20}));
    for (const TPoint& p : sq)
        EXPECT_EQ(d.at(p.x, p.y), 1);
    EXPECT_EQ(d.count(3), 9 * 9);
}

TEST(Shapes, FrameRgnDrawsTheStrokeInsideTheRegion) {
    Canvas c(40, 40);
    TRegion r;
    r.Pieces.push_back({{10, 10}, {30, 10}, {30, 30}, {10, 30}}); // pixels 10..29
    c.s->FrameRgn(r, kRed, 3, 2);
    for (int x : {10, 11, 12, 27, 28, 29})
        EXPECT_EQ(c.at(x, 20), 1) << x;
    for (int x : {9, 13, 26, 30})
        EXPECT_EQ(c.at(x, 20), 0) << x;
    for (int y : {10, 11, 28, 29})
        EXPECT_EQ(c.at(20, y), 1) << y;
    for (int y : {9, 12, 27, 30})
        EXPECT_EQ(c.at(20, y), 0) << y;
}

TEST(Shapes, ColoursLandAsTheNearestTableEntry) {
    Canvas c(4, 4);
    c.s->SetPixel(0, 0, RGB(250, 10, 10));
    c.s->SetPixel(1, 0, kBlue);
    c.s->SetPixel(2, 0, RGB(200, 220, 210));
    c.s->SetPixel(9, 9, kBlue); // off the raster: ignored
    EXPECT_EQ(c.at(0, 0), 1);
    EXPECT_EQ(c.at(1, 0), 3);
    EXPECT_EQ(c.at(2, 0), 4);
    // A colour added after Create is in the table but not on the surface: it
    // is drawn as the nearest of the colours the raster was created with.
    c.dib.AddColor(RGB(250, 250, 0));
    EXPECT_EQ(c.dib.Col2Idx(RGB(250, 250, 0)), 5);
    c.s->SetPixel(3, 0, RGB(250, 250, 0));
    EXPECT_NE(c.at(3, 0), 5);
    c.dib.Create(4, 4); // a new raster takes the whole table
    c.s = c.dib.GetSurface();
    c.s->SetPixel(3, 0, RGB(250, 250, 0));
    EXPECT_EQ(c.at(3, 0), 5);
}

TEST(DrawingState, DrawStartAndTextStartPutBackWhatTheyReplaced) {
    Canvas c(10, 10);
    TDraw draw;
    EXPECT_EQ(draw.GetChar(), 128);
    const TPen before = c.s->GetPen();
    draw.DrawStart(c.s, TSurface::PS_SOLID, 2, kRed, kBlue);
    EXPECT_EQ(c.s->GetPen().Colour, kRed);
    EXPECT_EQ(c.s->GetPen().Width, 2);
    EXPECT_EQ(c.s->GetBrush().Colour, kBlue);
    EXPECT_EQ(c.s->GetBkMode(), TSurface::TRANSPARENT);
    draw.DrawEnd(c.s);
    EXPECT_EQ(c.s->GetPen().Colour, before.Colour);
    EXPECT_EQ(c.s->GetPen().Width, before.Width);

    const auto defaultFont = c.s->GetFont();
    draw.SetChar(0);
    draw.TextStart(c.s, "Arial", 7, 7, 0);
    ASSERT_TRUE(c.s->GetFont());
    EXPECT_EQ(c.s->GetFont()->Desc().Height, 9); // 7 x 96 / 72 = 9.33
    EXPECT_EQ(c.s->GetFont()->Desc().Weight, 700);
    EXPECT_EQ(c.s->GetFont()->Family(), "Liberation Sans");
    draw.TextEnd(c.s);
    EXPECT_EQ(c.s->GetFont(), defaultFont);
}

TEST(Text, TwelvePointsMakeASixteenPixelFont) {
    Canvas c(60, 40);
    TDraw draw;
    draw.SetChar(0);
    draw.TextStart(c.s, "Arial", 12, 4, 0);
    EXPECT_EQ(c.s->GetFont()->Desc().Height, 16);
    c.s->SetTextColor(kWhite);
    c.s->SetBkMode(TSurface::TRANSPARENT);
    c.s->TextOut(5, 5, "H");
    // Liberation Sans capitals are 1409/2048 of the em: 11 pixels at 16.
    const auto box = c.inkBox();
    ASSERT_GE(box[2], 0);
    EXPECT_GE(box[3] - box[1] + 1, 11);
    EXPECT_LE(box[3] - box[1] + 1, 12);
    // The top of the text cell is the point given: ascent 0.905 em = 15 pixels
    // to the baseline, so the capital's foot sits on row 5 + 15 - 1.
    EXPECT_EQ(box[3], 5 + 15 - 1);
    // Widths add up and the label centring uses the same measure.
    const int one = c.s->GetTextExtent("H").cx;
    EXPECT_EQ(c.s->GetTextExtent("HHH").cx, 3 * one);
    EXPECT_GT(one, 8);
    EXPECT_LT(one, 14);
    draw.TextEnd(c.s);
}

TEST(Text, OpaqueModePaintsTheBackgroundBoxTransparentDoesNot) {
    Canvas c(60, 40);
    TDraw draw;
    draw.SetChar(0);
    draw.TextStart(c.s, "Arial", 12, 4, 0);
    c.s->SetTextColor(kRed);
    c.s->SetBkColor(kBlue);
    c.s->SetBkMode(TSurface::OPAQUE);
    c.s->TextOut(4, 6, "Ig");
    const TSize ext = c.s->GetTextExtent("Ig");
    EXPECT_GE(ext.cy, 16);
    for (int y = 6; y < 6 + ext.cy; ++y)
        for (int x = 4; x < 4 + ext.cx; ++x)
            ASSERT_TRUE(c.at(x, y) == 1 || c.at(x, y) == 3) << x << "," << y;
    EXPECT_EQ(c.at(3, 10), 0);
    EXPECT_EQ(c.at(4 + ext.cx, 10), 0);
    EXPECT_EQ(c.at(10, 5), 0);
    EXPECT_GT(c.count(1), 10);
    EXPECT_EQ(c.count(1) + c.count(3), ext.cx * ext.cy);

    Canvas d(60, 40);
    draw.TextStart(d.s, "Arial", 12, 4, 0);
    d.s->SetTextColor(kRed);
    d.s->SetBkColor(kBlue);
    d.s->SetBkMode(TSurface::TRANSPARENT);
    d.s->TextOut(4, 6, "Ig");
    EXPECT_EQ(d.count(3), 0);
    EXPECT_EQ(d.count(1), c.count(1));
    draw.TextEnd(d.s);
    draw.TextEnd(c.s);
}

namespace {
// The ink of one text as a set of pixel positions relative to its box.
std::set<std::pair<int, int>> Ink(const std::string& face, const std::string& text,
                                  uint8_t charset = 0) {
    Canvas c(80, 40);
    TDraw draw;
    draw.SetChar(charset);
    draw.TextStart(c.s, face, 14, 4, 0);
    c.s->SetTextColor(kWhite);
    c.s->SetBkMode(TSurface::TRANSPARENT);
    c.s->TextOut(10, 5, text);
    draw.TextEnd(c.s);
    std::set<std::pair<int, int>> ink;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            if (c.at(x, y)) ink.insert({x, y});
    return ink;
}
} // namespace

TEST(Text, FacesResolveToInstalledStandIns) {
    EXPECT_EQ(TFont::Make(TFontDesc{"Times New Roman", 16})->Family(), "Liberation Serif");
    EXPECT_EQ(TFont::Make(TFontDesc{"Arial", 16})->Family(), "Liberation Sans");
    // "Symbol" keys are Greek letters: "a" is alpha, "b" beta, "W" Omega.
    EXPECT_EQ(Ink("Symbol", "abgW"), Ink("DejaVu Sans", "\u03b1\u03b2\u03b3\u03a9"));
    EXPECT_NE(Ink("Symbol", "a"), Ink("DejaVu Sans", "a"));
    // The Japanese face draws kanji and kana; a Latin face falls back for them.
    const auto kanji = Ink("\uff2d\uff33 \u30b4\u30b7\u30c3\u30af", "\u5317\u6975\u661f", 128);
    EXPECT_GT(kanji.size(), 60u);
    EXPECT_GT(Ink("Arial", "\u3078\u3073", 128).size(), 20u);
}

TEST(Export, PngKeepsIndicesAndColourTable) {
    Canvas c(13, 3); // a width with row padding
    c.dib.DotIdx(0, 0, 1);
    c.dib.DotIdx(12, 2, 3);
    c.dib.DotIdx(5, 1, 200); // an index past the colours in use
    const std::string path =
        (std::filesystem::temp_directory_path() / "quenlira_png_test.png").string();
    std::string error;
    ASSERT_TRUE(WritePng(c.dib, path, error)) << error;

    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&img, path.c_str()));
    img.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(img));
    ASSERT_TRUE(png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr));
    EXPECT_EQ(img.width, 13u);
    EXPECT_EQ(img.height, 3u);
    auto px = [&](int x, int y) {
        const unsigned char* p = &rgb[(y * 13 + x) * 3];
        return RGB(p[0], p[1], p[2]);
    };
    EXPECT_EQ(px(0, 0), kRed);
    EXPECT_EQ(px(12, 2), kBlue);
    EXPECT_EQ(px(1, 0), kBlack);
    std::remove(path.c_str());

    EXPECT_FALSE(WritePng(c.dib, "/nonexistent-folder/x.png", error));
    EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos);
    TDIB empty;
    EXPECT_FALSE(WritePng(empty, path, error));
}

TEST(Export, AFailedWriteKeepsWhatWasThereAndSaysWhy) {
    // A write error used to remove the output path, even a picture that was
    // there before, and as root a device node given as the output.
    Canvas c(300, 300);
    unsigned state = 12345;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            state = state * 1103515245u + 12345u;
            c.dib.DotIdx(x, y, static_cast<unsigned char>(state >> 24));
        }
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("quenlira_png_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string picture = (dir / "sky.png").string();
    {
        std::FILE* f = std::fopen(picture.c_str(), "wb");
        std::fputs("OLD", f);
        std::fclose(f);
    }
    auto listing = [&] {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.insert(e.path().filename().string());
        return names;
    };
    auto content = [&](const std::string& p) {
        std::FILE* f = std::fopen(p.c_str(), "rb");
        std::string s;
        for (int ch; f && (ch = std::fgetc(f)) != EOF;)
            s += static_cast<char>(ch);
        if (f) std::fclose(f);
        return s;
    };

    TFullDisk disk;
    ASSERT_TRUE(disk.Full());
    std::string error;
    const bool written = WritePng(c.dib, picture, error);
    disk.Room();
    EXPECT_FALSE(written);
    EXPECT_NE(error.find(picture), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    EXPECT_EQ(content(picture), "OLD");
    EXPECT_EQ(listing(), (std::set<std::string>{"sky.png"}));

    // With room it replaces the old picture, and nothing else is left.
    ASSERT_TRUE(WritePng(c.dib, picture, error)) << error;
    EXPECT_EQ(content(picture).substr(1, 3), "PNG");
    EXPECT_EQ(listing(), (std::set<std::string>{"sky.png"}));

    // A device that is always full (a node of our own like /dev/full).
    const std::string full = (dir / "full").string();
    if (::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        EXPECT_FALSE(WritePng(c.dib, full, error));
        EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
        struct stat st {};
        ASSERT_EQ(::stat(full.c_str(), &st), 0) << "the device node was removed";
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    fs::remove_all(dir);
}
