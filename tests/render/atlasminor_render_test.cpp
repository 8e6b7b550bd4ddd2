// Comets and asteroids on the atlas and the planisphere: where they are drawn (against
// spherical trigonometry written out here), a comet's tail, what the limit and the switch
// leave out, their labels, picking, and a track.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/Clsatlas.h"
#include "render/Clshayami.h"

#include "Skyoffsets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kJ2000 = 51544.5;
constexpr double kFar = 1e6; // AU: no parallax to speak of
const unsigned long kAsteroid = RGB(255, 192, 128), kComet = RGB(128, 255, 255),
                    kTail = RGB(80, 160, 160), kTrack = RGB(192, 112, 48);

TMinorSky::TMark Mark(int index, bool comet, double ra, double dec, double mag) {
    TMinorSky::TMark m;
    m.Index = index;
    m.Comet = comet;
    m.Ra = m.TailRa = ra;
    m.Dec = m.TailDec = dec;
    m.EarthAu = kFar;
    m.Mag = mag;
    m.Label = comet ? "C/2026 X1" : "Vesta";
    return m;
}

class AtlasMinor : public ::testing::Test {
protected:
    TAtlas atlas{1, 900, 600};
    const double ra0 = 1.0, dec0 = 0.2;
    std::vector<TMinorSky::TMark> marks;
    void SetUp() override {
        atlas.SetMJD(kJ2000); // the place of date is the J2000 place
        atlas.SetViewWidth(600);
        atlas.SetViewHeight(400);
        atlas.SetScale(1000);
        atlas.SetCenterRa(ra0);
        atlas.SetCenterDec(dec0);
        for (int n = 1; n <= 8; ++n) atlas.SetSwitch(n, 0);
    }
    unsigned long At(int x, int y) { return atlas.GetDib().Idx2Col(atlas.GetDib().GetIdx(x, y)); }
    void Pixel(double ra, double dec, int& px, int& py) {
        double x, y;
        AzimuthalOffsets(ra0, dec0, ra, dec, x, y);
        px = static_cast<int>(1000 * x + 300);
        py = static_cast<int>(1000 * y + 200);
    }
    int Count(unsigned long colour, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += At(x, y) == colour;
        return n;
    }
};

} // namespace

TEST_F(AtlasMinor, DotsCometsTailsLimitLabelsAndPicking) {
    marks.push_back(Mark(7, false, ra0 + 0.05, dec0 + 0.03, 5.0));
    // The comet's tail points 0.04 rad further east and south.
    TMinorSky::TMark comet = Mark(3, true, ra0 - 0.08, dec0 - 0.05, 4.0);
    comet.TailRa = comet.Ra - 0.04;
    comet.TailDec = comet.Dec - 0.02;
    marks.push_back(comet);
    marks.push_back(Mark(9, false, ra0, dec0 + 0.1, 40.0)); // past any limit
    atlas.MinorMarks = &marks;
    atlas.Draw();

    int ax, ay, cx, cy, fx, fy, tx, ty;
    Pixel(marks[0].Ra, marks[0].Dec, ax, ay);
    Pixel(comet.Ra, comet.Dec, cx, cy);
    Pixel(marks[2].Ra, marks[2].Dec, fx, fy);
    Pixel(comet.TailRa, comet.TailDec, tx, ty);
    EXPECT_EQ(At(ax, ay), kAsteroid);
    EXPECT_GE(Count(kAsteroid, ax - 2, ay - 2, ax + 2, ay + 2), 4);
    EXPECT_EQ(Count(kAsteroid, fx - 3, fy - 3, fx + 3, fy + 3), 0);
    // The comet: a ring, and its tail half way out to the tail's end.
    EXPECT_GE(Count(kComet, cx - 4, cy - 4, cx + 4, cy + 4), 12);
    const int mx = (cx + tx) / 2, my = (cy + ty) / 2;
    EXPECT_GE(Count(kTail, mx - 2, my - 2, mx + 2, my + 2), 2) << mx << "," << my;
    // ... and nothing on the Sun's side.
    const int sx = 2 * cx - mx, sy = 2 * cy - my;
    EXPECT_EQ(Count(kTail, sx - 2, sy - 2, sx + 2, sy + 2), 0);

    // No labels while star names are off; with them, under the dot.
    const int below = Count(RGB(200, 200, 200), ax - 20, ay + 6, ax + 20, ay + 20);
    EXPECT_EQ(below, 0);
    atlas.SetSwitch(5, 1);
    atlas.Draw();
    EXPECT_GT(Count(RGB(200, 200, 200), ax - 20, ay + 6, ax + 20, ay + 20), 5);

    TPickEntry list[TAtlas::MaxPick];
    int n = atlas.Pick(ax, ay, 2, list);
    bool picked = false;
    for (int i = 0; i < n; ++i) picked = picked || (list[i].kind == 6 && list[i].number == 7);
    EXPECT_TRUE(picked);
    n = atlas.Pick(fx, fy, 2, list);
    for (int i = 0; i < n; ++i) EXPECT_NE(list[i].kind, 6);

    // Switched off: nothing of them is drawn or picked.
    atlas.MinorMarks = nullptr;
    atlas.Draw();
    EXPECT_EQ(Count(kAsteroid, ax - 2, ay - 2, ax + 2, ay + 2), 0);
    EXPECT_EQ(Count(kComet, cx - 4, cy - 4, cx + 4, cy + 4), 0);
    n = atlas.Pick(ax, ay, 2, list);
    for (int i = 0; i < n; ++i) EXPECT_NE(list[i].kind, 6);
}

TEST_F(AtlasMinor, AShortTailIsLeftOutAndATrackIsDrawnWithItsTicks) {
    TMinorSky::TMark comet = Mark(0, true, ra0, dec0, 4.0);
    comet.TailRa = comet.Ra - 0.002; // 2 pixels at this scale
    marks.push_back(comet);
    atlas.MinorMarks = &marks;
    std::vector<TMinorSky::TTrackPoint> track;
    for (int k = 0; k <= 10; ++k)
        track.push_back({51540.0 + k, ra0 + 0.1 - 0.02 * k, dec0 - 0.1, kFar,
                         k % 5 == 0 ? "01-0" + std::to_string(k / 5 + 1) : ""});
    atlas.MinorTrack = &track;
    atlas.Draw();
    EXPECT_EQ(Count(kTail, 290, 190, 310, 210), 0);
    int x0, y0, x1, y1;
    Pixel(track[2].Ra, track[2].Dec, x0, y0);
    Pixel(track[3].Ra, track[3].Dec, x1, y1);
    EXPECT_GE(Count(kTrack, (x0 + x1) / 2 - 1, (y0 + y1) / 2 - 1, (x0 + x1) / 2 + 1, (y0 + y1) / 2 + 1), 1);
    // A tick across the track at its fifth day, and its date beside it.
    Pixel(track[5].Ra, track[5].Dec, x0, y0);
    EXPECT_GE(Count(kTrack, x0 - 1, y0 - 4, x0 + 1, y0 - 3), 1);
    EXPECT_GT(Count(kTrack, x0 + 5, y0 - 8, x0 + 40, y0 + 8), 5);
}

TEST(HayamiMinor, OnlyThoseAsBrightAsItsStars) {
    THayami h(1, 280, 280);
    h.SetLat(35.0 * kPi / 180);
    h.SetLng(139.0 * kPi / 180);
    h.SetMJD(kJ2000);
    // Two bodies near the zenith of the moment.
    const double lst = std::fmod(TMjd::MeanSiderealTime(kJ2000) + h.Lng, 2 * kPi);
    std::vector<TMinorSky::TMark> marks = {Mark(0, false, lst + 0.3, h.Lat, 4.5),
                                           Mark(1, false, lst - 0.3, h.Lat, 5.5)};
    h.MinorMarks = &marks;
    h.DrawHayami(0);
    auto colourNear = [&](const TMinorSky::TMark& m) {
        double zd = kPi;
        int x = 0, y = 0;
        h.HeightG(static_cast<float>(m.Ra), static_cast<float>(m.Dec), h.Lat, h.Lst, 280, 280, zd, x, y);
        int n = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                n += h.DIB.Idx2Col(h.DIB.GetIdx(x + dx, y + dy)) == RGB(255, 128, 80);
        return n;
    };
    EXPECT_GT(colourNear(marks[0]), 0);
    EXPECT_EQ(colourNear(marks[1]), 0);
}
