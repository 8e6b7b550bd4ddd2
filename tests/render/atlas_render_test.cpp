// Star atlas: projection, visible window, magnitude classes, layers, bodies,
// markers and picking. Positions are checked against spherical trigonometry
// written out here independently of the atlas's own formulae.
#include <erfa.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "astro/Clsjupiter.h"
#include "astro/Clsmars.h"
#include "astro/Clsmjd.h"
#include "astro/Clsmoon.h"
#include "astro/Clssaturn.h"
#include "astro/Clssun.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"
#include "tests/catalog/Catalogfiles.h"

#include "Skyoffsets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

double Hms(double h, double m, double s) {
    return (h + m / 60 + s / 3600) * 15 * kDeg;
}
double Dms(double d, double m, double s) {
    const double v = std::fabs(d) + m / 60 + s / 3600;
    return (d < 0 ? -v : v) * kDeg;
}

class AtlasTest : public ::testing::Test {
protected:
    TAtlas atlas{1, 900, 600};
    void View(double ra, double dec, int scale, int w = 600, int h = 400) {
        atlas.SetViewWidth(w);
        atlas.SetViewHeight(h);
        atlas.SetScale(scale);
        atlas.SetCenterRa(ra);
        atlas.SetCenterDec(dec);
    }
    // Colour at a pixel of the atlas raster.
    unsigned long At(int x, int y) { return atlas.GetDib().Idx2Col(atlas.GetDib().GetIdx(x, y)); }
};

TEST_F(AtlasTest, ProjectionAgreesWithDistanceAndBearing) {
    double x, y;
    EXPECT_TRUE(atlas.Project(1, &x, &y, 0.3, 1.0, 0.3, 1.0));
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);
    EXPECT_FALSE(atlas.Project(1, &x, &y, 0.0, 0.0, 0.0, 95 * kDeg));

    const double centres[][2] = {{1.5, 0.1}, {4.0, -0.7}, {0.05, 1.2}, {6.2, -1.3}};
    const double offsets[][2] = {{0.2, 0.1}, {-0.4, 0.3}, {0.9, -0.2}, {-0.05, -0.6}};
    for (const auto& c : centres)
        for (const auto& o : offsets) {
            const double ra = c[0] + o[0], dec = std::clamp(c[1] + o[1], -1.5, 1.5);
            ASSERT_TRUE(atlas.Project(1, &x, &y, c[1], c[0], dec, ra));
            double ex, ey;
            AzimuthalOffsets(c[0], c[1], ra, dec, ex, ey);
            EXPECT_NEAR(x, ex, 1e-12);
            EXPECT_NEAR(y, ey, 1e-12);
        }
}

TEST_F(AtlasTest, UnprojectUndoesProjectIncludingAtThePoles) {
    const double centres[][2] = {{1.5, 0.1}, {4.0, -0.7}, {0.3, kPi / 2}, {2.0, -kPi / 2}};
    for (const auto& c : centres) {
        View(c[0], c[1], 1000);
        for (int px = 20; px < 600; px += 97)
            for (int py = 10; py < 400; py += 83) {
                double dec, ra, x, y;
                atlas.Unproject(1, px, py, &dec, &ra, c[1], c[0]);
                ASSERT_TRUE(atlas.Project(1, &x, &y, c[1], c[0], dec, ra));
                EXPECT_NEAR(1000 * x + 300, px, 1e-6) << c[0] << " " << c[1];
                EXPECT_NEAR(1000 * y + 200, py, 1e-6);
                EXPECT_GE(ra, 0.0);
                EXPECT_LT(ra, 2 * kPi);
            }
        double dec, ra;
        atlas.Unproject(1, 300, 200, &dec, &ra, c[1], c[0]);
        EXPECT_DOUBLE_EQ(dec, c[1]);
        EXPECT_DOUBLE_EQ(ra, c[0]);
    }
}

TEST_F(AtlasTest, PixelRuleAndWindow) {
    View(0, 0, 1000, 100, 100);
    EXPECT_EQ(atlas.PixelX(-0.0005), 49); // trunc(49.5)
    EXPECT_EQ(atlas.PixelX(0.0), 50);
    EXPECT_NEAR(TAtlas::WindowSpan(600, 400, 1000), 0.48481, 5e-6);

    // Around the equator at 6h the window holds the view and no more than needed.
    View(Hms(6, 0, 0), 0.0, 1000);
    atlas.Draw();
    EXPECT_NEAR(atlas.DecMax, 0.2, 1e-3); // half height 200 px at 1000 px/rad
    EXPECT_NEAR(atlas.DecMin, -0.2, 1e-3);
    EXPECT_LT(atlas.RaMin, Hms(6, 0, 0) - 0.29);
    EXPECT_GT(atlas.RaMax, Hms(6, 0, 0) + 0.29);

    // Through 0h the window wraps: its minimum is above its maximum.
    View(0.01, 0.0, 1000);
    atlas.Draw();
    EXPECT_GT(atlas.RaMin, atlas.RaMax);
    EXPECT_TRUE(atlas.InWindow(6.27, 0.0));
    EXPECT_TRUE(atlas.InWindow(0.2, 0.0));
    EXPECT_FALSE(atlas.InWindow(3.0, 0.0));

    // The north pole in view opens every right ascension.
    View(1.0, 80 * kDeg, 1000);
    atlas.Draw();
    EXPECT_EQ(atlas.RaMin, 0.0);
    EXPECT_DOUBLE_EQ(atlas.RaMax, 2 * kPi);
    EXPECT_DOUBLE_EQ(atlas.DecMax, kPi / 2);
}

TEST(AtlasMagnitudes, LimitAndClasses) {
    // F = 4, G = 96000, L = 869; lowered to a catalogue limit of 650.
    EXPECT_EQ(TAtlas::LimitingMag(1000, 0, 9999), 869);
    EXPECT_EQ(TAtlas::LimitingMag(1000, 0, 650), 650);
    EXPECT_EQ(TAtlas::LimitingMag(250, 0, 9999), 632);
    EXPECT_EQ(TAtlas::LimitingMag(10, 0, 9999), 632);
    EXPECT_EQ(TAtlas::LimitingMag(1000, 5, 650), 755);
    // step 54: T1 = 54 < 100 <= T2 = 108
    EXPECT_EQ(TAtlas::StarClass(100, 650, 0), 2);
    EXPECT_EQ(TAtlas::StarClass(0, 650, 0), 0);
    EXPECT_EQ(TAtlas::StarClass(54, 650, 0), 1);
    EXPECT_EQ(TAtlas::StarClass(55, 650, 0), 2);
    EXPECT_EQ(TAtlas::StarClass(648, 650, 0), 12);
    EXPECT_EQ(TAtlas::StarClass(649, 650, 0), -1); // above T12 = 648: labels only
    // Sensitivity +5 moves every threshold by 105.
    EXPECT_EQ(TAtlas::StarClass(105, 755, 5), 0);
    EXPECT_EQ(TAtlas::StarClass(106, 755, 5), 1);
}

// The atlas with the real catalogues beside the test program.
class AtlasSky : public AtlasTest {
protected:
    void SetUp() override {
        stars = std::make_unique<TStar>("Star.dat");
        nebula = std::make_unique<TNebula>("Unsta.dat");
        ASSERT_GT(stars->Count, 100000) << stars->Error;
        ASSERT_GT(nebula->Count, 10000) << nebula->Error;
        atlas.Star[0] = stars.get();
        atlas.Nebula = nebula.get();
    }
    int FindStar(double ra, double dec) {
        for (int i = 0; i < stars->Count; ++i)
            if (std::fabs(stars->Records[i].ra - ra) < 2e-4 &&
                std::fabs(stars->Records[i].dec - dec) < 2e-4)
                return i;
        return -1;
    }
    std::unique_ptr<TStar> stars;
    std::unique_ptr<TNebula> nebula;
};

TEST_F(AtlasSky, BetelgeuseSitsWhereTheSkySaysAndIsPicked) {
    const double ra0 = Hms(5, 35, 0), dec0 = Dms(0, 0, 0);
    View(ra0, dec0, 1000);
    atlas.SetSwitch(8, 1);
    atlas.Draw();
    const double ra = Hms(5, 55, 10.3), dec = Dms(7, 24, 25); // Betelgeuse, J2000
    double ex, ey;
    AzimuthalOffsets(ra0, dec0, ra, dec, ex, ey);
    const int px = static_cast<int>(1000 * ex + 300), py = static_cast<int>(1000 * ey + 200);
    // Its image is a realistic sprite of an M star: the core colour at the centre.
    bool found = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            found = found || At(px + dx, py + dy) == RGB(255, 144, 112);
    EXPECT_TRUE(found) << px << "," << py;

    const int idx = FindStar(ra, dec);
    ASSERT_GE(idx, 0);
    int sx, sy;
    atlas.ToPixel(stars->Records[idx].ra, stars->Records[idx].dec, sx, sy);
    TPickEntry list[TAtlas::MaxPick];
    const int n = atlas.Pick(sx, sy, 0, list);
    ASSERT_GE(n, 2);
    EXPECT_EQ(list[0].kind, 1);
    bool picked = false;
    for (int i = 1; i < n; ++i)
        picked = picked || (list[i].kind == 2 && list[i].number == idx);
    EXPECT_TRUE(picked);
    EXPECT_NEAR(atlas.GetPickRa(), stars->Records[idx].ra, 2e-3);
}

TEST_F(AtlasSky, PickingEmptySkyFaintStarsAndTheHundredLimit) {
    // An empty patch: nothing but the position.
    View(Hms(12, 0, 0), Dms(-89, 0, 0) + 0.3, 50000);
    atlas.Draw();
    TPickEntry list[TAtlas::MaxPick];
    // Find a pixel with no star within tolerance 0.
    int n = atlas.Pick(1, 1, 0, list);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(list[0].kind, 1);
    EXPECT_EQ(list[0].number, 0);

    // A faint star, far below the limiting magnitude at this scale, is picked.
    View(Hms(6, 0, 0), 0.0, 300);
    atlas.Draw();
    const int limit = TAtlas::LimitingMag(300, 0, stars->MagMax);
    int faint = -1;
    for (int i = 0; i < stars->Count && faint < 0; ++i) {
        const TStarRecord& r = stars->Records[i];
        int x, y;
        if (r.mag > limit + 100 && r.mag < 9990 && atlas.ToPixel(r.ra, r.dec, x, y) && x > 50 &&
            x < 550 && y > 50 && y < 350)
            faint = i;
    }
    ASSERT_GE(faint, 0);
    int fx, fy;
    atlas.ToPixel(stars->Records[faint].ra, stars->Records[faint].dec, fx, fy);
    n = atlas.Pick(fx, fy, 0, list);
    bool picked = false;
    for (int i = 0; i < n; ++i)
        picked = picked || (list[i].kind == 2 && list[i].number == faint);
    EXPECT_TRUE(picked);

    // A wide square over the Milky Way holds far more than 99 stars.
    View(Hms(18, 0, 0), Dms(-25, 0, 0), 1000);
    atlas.Draw();
    n = atlas.Pick(300, 200, 60, list);
    EXPECT_EQ(n, TAtlas::MaxPick);
}

TEST_F(AtlasSky, LayersDrawTheirColours) {
    // Orion: constellation lines and names, the Orion nebula's outline.
    View(Hms(5, 35, 0), Dms(-2, 0, 0), 1000);
    atlas.Draw();
    int lines = 0, names = 0, grid = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) {
            const unsigned long c = At(x, y);
            lines += c == RGB(48, 48, 128);
            names += c == RGB(0, 128, 0); // nearest entry to the label background
            grid += c == RGB(96, 51, 51);
        }
    EXPECT_GT(lines, 300);
    EXPECT_GT(names, 50);
    EXPECT_GT(grid, 300);
}

TEST_F(AtlasTest, MilkyWayFillsTheBandAndNotTheSkyBeside) {
    // West edge of the band runs between Orion and Monoceros: at 5h36m, 0
    // deg the band covers the view's east (left) part only. Points checked:
    // 6h40m +5 (Monoceros, in the band) and 5h20m -10 (Orion/Eridanus, not).
    for (int i = 1; i <= 8; ++i)
        atlas.SetSwitch(i, 0);
    atlas.SetSwitch(1, 1);
    const double ra0 = Hms(5, 36, 0);
    View(ra0, 0.0, 1000, 900, 600);
    atlas.Draw();
    const unsigned long band = RGB(24, 8, 40);
    double x, y;
    AzimuthalOffsets(ra0, 0.0, Hms(6, 40, 0), Dms(5, 0, 0), x, y);
    EXPECT_EQ(At(static_cast<int>(1000 * x + 450), static_cast<int>(1000 * y + 300)), band);
    AzimuthalOffsets(ra0, 0.0, Hms(5, 20, 0), Dms(-10, 0, 0), x, y);
    EXPECT_EQ(At(static_cast<int>(1000 * x + 450), static_cast<int>(1000 * y + 300)), RGB(0, 0, 0));
    // From Cygnus the whole width of the band is in view: Deneb's field is in it.
    View(Hms(20, 41, 0), Dms(45, 0, 0), 300, 900, 600);
    atlas.Draw();
    EXPECT_EQ(At(450, 300), band);

    // At the widest scale the sky is a disc of radius 90 deg x 300 = 471
    // pixels: the band stays inside it, also where it runs towards the
    // corners (Cassiopeia and Cygnus from Pisces, 900 x 600 pixels).
    View(0.0, 0.0, 300, 900, 600);
    atlas.Draw();
    const double r = M_PI / 2 * 300;
    int inside = 0, outside = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 900; ++x) {
            if (At(x, y) != band) continue;
            const double d = std::hypot(x + 0.5 - 450, y + 0.5 - 300);
            (d <= r + 1 ? inside : outside)++;
        }
    EXPECT_GT(inside, 10000);
    EXPECT_EQ(outside, 0);

    // An odd-sized view (centre 450, 300 by integer halving): the band is cut
    // exactly at the rim, no pixel beyond it, and it still reaches it.
    View(0.0, 0.0, 300, 901, 601);
    atlas.Draw();
    int beyond = 0, rim = 0;
    for (int y = 0; y < 601; ++y)
        for (int x = 0; x < 901; ++x) {
            if (At(x, y) != band) continue;
            const double dx = x + 0.5 - 450, dy = y + 0.5 - 300;
            if (dx * dx + dy * dy > r * r + 1e-6) ++beyond;
            if (dx * dx + dy * dy > (r - 2) * (r - 2)) ++rim;
        }
    EXPECT_EQ(beyond, 0);
    EXPECT_GT(rim, 100);
}

// The information panel's pictures, drawn on a raster of the panel's own.
TEST_F(AtlasSky, PanelPicturesOfAStarAndADeepSkyObject) {
    TDIB panel;
    for (unsigned long c : {RGB(0, 0, 0), RGB(255, 144, 112), RGB(160, 96, 64), RGB(64, 40, 24),
                            RGB(255, 80, 80), RGB(104, 24, 112), RGB(48, 0, 40)})
        panel.AddColor(c);
    panel.Create(100, 100);
    auto at = [&](int x, int y) { return panel.Idx2Col(panel.GetIdx(x, y)); };

    // An M star, realistic: the 17 x 17 sprite centred on (50, 50), core in
    // the middle, its faint specks at the corners of its box.
    atlas.DrawStarImage(panel.GetSurface(), 1, 1, 50, 50);
    EXPECT_EQ(at(50, 50), RGB(255, 144, 112));
    EXPECT_EQ(at(46, 46), RGB(64, 40, 24)); // cell (4, 4) of the top rows: "00003322..."
    EXPECT_EQ(at(42, 54), RGB(64, 40, 24)); // cell (0, 12): the lone speck at the left
    EXPECT_EQ(at(41, 50), RGB(0, 0, 0));    // outside the 17-cell box
    // Plain: a 15-cell disc in the plain core colour.
    panel.FillIdx(0);
    atlas.DrawStarImage(panel.GetSurface(), 1, 0, 50, 50);
    EXPECT_EQ(at(43, 50), RGB(255, 80, 80));
    EXPECT_EQ(at(42, 50), RGB(0, 0, 0));

    // The Pleiades' outline fills a square of side 0.8 x 100 about the centre:
    // east to the left, north up.
    int pleiades = -1;
    for (int i = 0; i < nebula->Count && pleiades < 0; ++i)
        if (nebula->GetMessier(i) == "M45") pleiades = i;
    ASSERT_GE(pleiades, 0);
    panel.FillIdx(0);
    atlas.DrawNebulaImage(panel.GetSurface(), pleiades, 100, 100, 0.8);
    int minX = 100, maxX = -1, minY = 100, maxY = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (at(x, y) != RGB(0, 0, 0)) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    EXPECT_NEAR(minX, 10, 2);
    EXPECT_NEAR(maxX, 90, 2);
    EXPECT_NEAR(minY, 10, 2);
    EXPECT_NEAR(maxY, 90, 2);
}

TEST_F(AtlasTest, MarkersTracksAndShapes) {
    View(1.0, 0.2, 1000);
    atlas.SetMarkerCount(3);
    TMarker a;
    a.id = 7;
    a.seq = 1;
    a.next = 2;
    a.shape = 4;
    a.filled = 1;
    a.ra = 1.0;
    a.dec = 0.2;
    a.colour = RGB(255, 0, 0);
    a.lineStyle = 0;
    a.lineColour = RGB(0, 255, 0);
    TMarker b = a;
    b.seq = 2;
    b.next = 0;
    b.ra = 1.0 - 0.1; // 0.1 rad west: to the right
    b.shape = 1;
    atlas.SetMarker(1, a);
    atlas.SetMarker(2, b);
    atlas.SetMarker(4000, b); // beyond the table: ignored
    const int shown[] = {7, 0};
    atlas.SetMarkerList(shown);
    atlas.Draw();
    // Filled square around the centre pixel (300, 200).
    EXPECT_EQ(At(300, 200), RGB(255, 0, 0));
    EXPECT_EQ(At(297, 197), RGB(255, 0, 0));
    // The track towards the second marker, about 98 pixels to the right.
    EXPECT_EQ(At(340, 200), RGB(0, 255, 0));
    int ex = static_cast<int>(std::sin(0.1) * std::cos(0.2) * 1000);
    EXPECT_NEAR(ex, 98, 1);
    // Hidden identities draw nothing.
    const int none[] = {8, 0};
    atlas.SetMarkerList(none);
    atlas.Draw();
    EXPECT_NE(At(340, 200), RGB(0, 255, 0));
}

// A damaged deep-sky file: sizes and places that are not numbers must not
// reach the pixel arithmetic. A size that is not a number used to become a
// huge radius, so the object was picked wherever the user clicked.
TEST_F(AtlasTest, DamagedDeepSkyRecordsAreNotPickedAllOverTheSky) {
    const float nan = std::nanf("");
    std::vector<TNebulaRecord> recs(3, TNebulaRecord{});
    recs[0].no = 224; // at the view centre, both axes not numbers
    recs[0].ra = 1.0f;
    recs[0].dec = 0.2f;
    recs[0].major = nan;
    recs[0].minor = nan;
    recs[0].pa = 30;
    recs[0].type = 1;
    recs[1] = recs[0]; // its place not a number
    recs[1].no = 598;
    recs[1].ra = nan;
    recs[1].major = 0.01f;
    recs[1].minor = 0.005f;
    recs[2] = recs[1]; // a sound object of 0.6 degrees at the centre
    recs[2].no = 1068;
    recs[2].ra = 1.0f;
    recs[2].minor = nan;
    TTempFile file("damaged_unsta");
    file.Write(recs);
    // Such a file is refused as a whole now; one such record among many
    // sound ones is dropped at load. Either way none reaches the chart.
    TNebula refused(file.Path());
    EXPECT_EQ(refused.Count, 0);
    EXPECT_NE(refused.Error.find(file.Path()), std::string::npos) << refused.Error;
    TNebulaRecord sound = recs[2];
    sound.minor = 0.005f;
    std::vector<TNebulaRecord> many(300, sound);
    many[1] = recs[0];
    many[2] = recs[1];
    file.Write(many);
    TNebula neb(file.Path());
    ASSERT_EQ(neb.Count, 298);
    atlas.Nebula = &neb;

    View(1.0, 0.2, 1000);
    atlas.Draw();
    TPickEntry list[TAtlas::MaxPick];
    // 0.25 rad from the centre: none of them is there.
    int n = atlas.Pick(550, 200, 2, list);
    EXPECT_EQ(n, 1);
    // At the centre the sound objects are found, the damaged ones are gone.
    n = atlas.Pick(300, 200, 2, list);
    ASSERT_GT(n, 1);
    for (int i = 1; i < n; ++i)
        if (list[i].kind == 4) {
            EXPECT_NE(neb[list[i].number].no, 224);
        }

    // The projection calls a position that is not a number invisible.
    double x = 1, y = 1;
    EXPECT_FALSE(atlas.Project(1, &x, &y, 0.2, 1.0, 0.2, nan));
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);
    EXPECT_FALSE(atlas.Project(1, &x, &y, 0.2, 1.0, nan, 1.0));

    // A view of the whole hemisphere takes every right ascension, so the
    // record without a place reaches the projection; drawing must cope.
    View(1.0, 0.2, 300);
    atlas.Draw();
    atlas.SetSwitch(8, 0);
    View(1.0, 0.2, 20000);
    atlas.Draw();
    atlas.DrawNebulaImage(atlas.GetSurface(), 2, 100, 100, 0.8);
    atlas.Nebula = nullptr;
}

// Objects numbered 20000 and above have no NGC or IC number: the ones
// without a designation (the Coalsack, 20006) get no label, not "IC10006".
TEST_F(AtlasTest, DeepSkyLabelsNeverInventAnIcNumber) {
    std::vector<TNebulaRecord> recs(3, TNebulaRecord{});
    const std::uint16_t numbers[3] = {10001, 20006, 20003}; // IC 1, Coalsack, Melotte 25
    for (int i = 0; i < 3; ++i) {
        recs[i].no = numbers[i];
        recs[i].ra = 0.5f + i;
        recs[i].dec = 0.3f;
        recs[i].type = 2;
    }
    TTempFile file("labels_unsta");
    file.Write(recs);
    TNebula neb(file.Path());
    ASSERT_EQ(neb.Count, 3);
    atlas.Nebula = &neb;
    for (int i = 1; i <= 8; ++i)
        atlas.SetSwitch(i, i == 6);
    // Label pixels lie right of the symbol, which ends at px + 5.
    auto labelPixels = [&](int i) {
        View(recs[i].ra, recs[i].dec, 1000);
        atlas.Draw();
        int n = 0;
        for (int y = 200 - 8; y < 200 + 12; ++y)
            for (int x = 300 + 7; x < 300 + 80; ++x)
                n += At(x, y) == RGB(104, 24, 112);
        return n;
    };
    EXPECT_GT(labelPixels(0), 10); // "IC1"
    EXPECT_EQ(labelPixels(1), 0);
    EXPECT_GT(labelPixels(2), 10); // "MEL25"
    atlas.Nebula = nullptr;
}

// An outline reaching past 90 degrees from the view centre, in the widest
// views: its far points must not be drawn at the view centre, which filled a
// wedge from the Large Magellanic Cloud up to the middle of the chart.
TEST(AtlasOutlines, FarSidePointsOfAnOutlineStayOffTheViewCentre) {
    std::vector<TNebulaRecord> recs(1, TNebulaRecord{});
    recs[0].no = 20000; // the Large Magellanic Cloud, drawn by its outline
    recs[0].ra = static_cast<float>(80.894 * kDeg);
    recs[0].dec = static_cast<float>(-69.756 * kDeg);
    recs[0].major = 0.1f;
    TTempFile file("outline_unsta");
    file.Write(recs);
    TNebula neb(file.Path());
    ASSERT_EQ(neb.Count, 1);
    ASSERT_GT(neb.OutlineIndex[0], 0);

    TAtlas atlas(1, 1000, 1000);
    atlas.Nebula = &neb;
    for (int i = 1; i <= 8; ++i)
        atlas.SetSwitch(i, i == 6);
    // The cloud's centre 89.756 degrees straight below the view centre, at
    // about 470 pixels; its southern half lies beyond 90 degrees.
    atlas.SetViewWidth(1000);
    atlas.SetViewHeight(1000);
    atlas.SetScale(300);
    atlas.SetCenterRa(recs[0].ra);
    atlas.SetCenterDec(recs[0].dec + 89.5 * kDeg);
    atlas.Draw();
    const RGBQUAD* tbl = atlas.GetColTbl();
    auto cloud = [&](int x, int y) {
        const RGBQUAD& q = tbl[atlas.GetDib().GetIdx(x, y)];
        return q.rgbRed == 24 && q.rgbGreen == 8 && q.rgbBlue == 40;
    };
    int near = 0, between = 0;
    for (int y = 0; y < 1000; ++y)
        for (int x = 400; x < 600; ++x) {
            if (!cloud(x, y)) continue;
            if (y >= 940)
                ++near;
            else
                ++between;
        }
    EXPECT_GT(near, 100); // the visible part of the cloud is filled
    EXPECT_EQ(between, 0);
}

// Bodies on a chosen night: 2024-03-17 21:00 UT (Moon near first quarter).
class AtlasBodies : public AtlasTest {
protected:
    void SetUp() override {
        atlas.Jupiter = &jupiter;
        atlas.Saturn = &saturn;
        atlas.Sun = &sun;
        atlas.Moon = &moon;
        atlas.SetLng(0.0);
        atlas.SetLat(51.4769 * kDeg);
        atlas.SetMJD(60386.875);
        for (int i = 1; i <= 8; ++i)
            atlas.SetSwitch(i, 0);
        atlas.SetSwitch(8, 1);
    }
    TJupiter jupiter;
    TSaturn saturn;
    TSun sun;
    TMoon moon;
};

TEST_F(AtlasBodies, JupiterRingOrImageAtRadiusFour) {
    const TAtlas::BodyPlace p = atlas.PlaceBody(3);
    ASSERT_TRUE(p.present);
    // R = trunc(sin(diam) * scale / 2): pick scales that give R = 3 and R = 4.
    const int s3 = static_cast<int>(std::ceil(6.0 / std::sin(p.diam))) + 1;
    const int s4 = static_cast<int>(std::ceil(8.0 / std::sin(p.diam))) + 1;
    ASSERT_EQ(static_cast<int>(std::sin(p.diam) * s3 * 0.5), 3);
    ASSERT_EQ(static_cast<int>(std::sin(p.diam) * s4 * 0.5), 4);
    View(p.ra, p.dec, s3);
    atlas.Draw();
    EXPECT_EQ(At(300, 200), RGB(0, 0, 0));     // ring with black inside
    EXPECT_EQ(At(297, 200), RGB(255, 255, 0)); // the yellow ring
    View(p.ra, p.dec, s4);
    atlas.Draw();
    // The globe, crossed by its belts at this size.
    EXPECT_TRUE(At(300, 200) == RGB(192, 112, 48) || At(300, 200) == RGB(176, 101, 40));
    EXPECT_NE(At(297, 200), RGB(255, 255, 0));
}

TEST_F(AtlasBodies, JupiterSatellitesAtTheirAngularDistances) {
    const TAtlas::BodyPlace p = atlas.PlaceBody(3);
    const int scale = 300000;
    View(p.ra, p.dec, scale, 600, 400);
    atlas.SetSwitch(5, 0);
    atlas.Draw();
    jupiter.SetMjd(60386.875);
    for (int i = 0; i < 4; ++i) {
        double ra, dec;
        TMjd::Epoch(jupiter.SatRa[i], jupiter.SatDec[i], 60386.875, 51544.0, 0, 0, ra, dec);
        double jra, jdec;
        TMjd::Epoch(jupiter.Ra, jupiter.Dec, 60386.875, 51544.0, 0, 0, jra, jdec);
        double ex, ey, jx, jy;
        AzimuthalOffsets(p.ra, p.dec, ra, dec, ex, ey);
        AzimuthalOffsets(p.ra, p.dec, jra, jdec, jx, jy);
        // Relative to the globe centre (parallax moves both alike).
        const int sx = static_cast<int>(300 + scale * (ex - jx)),
                  sy = static_cast<int>(200 + scale * (ey - jy));
        if (sx < 3 || sx > 596 || sy < 3 || sy > 396) continue;
        bool lit = false;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                lit = lit || At(sx + dx, sy + dy) == RGB(192, 112, 48);
        EXPECT_TRUE(lit) << "satellite " << i << " at " << sx << "," << sy;
    }
}

TEST_F(AtlasBodies, MoonBrightLimbFacesTheSun) {
    const TAtlas::BodyPlace m = atlas.PlaceBody(9);
    const int scale = 2000; // the Moon about 9 pixels across
    View(m.ra, m.dec, scale);
    atlas.Draw();
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 150; y < 250; ++y)
        for (int x = 250; x < 350; ++x)
            if (At(x, y) == RGB(160, 160, 80)) {
                sx += x - 300;
                sy += y - 200;
                ++n;
            }
    ASSERT_GT(n, 10);
    // Direction of the Sun from the Moon on the chart (east left, north up).
    sun.SetMjd(60386.875);
    moon.SetMjd(60386.875);
    const double dra = sun.Ra - moon.Ra;
    const double pa = std::atan2(std::sin(dra) * std::cos(sun.Dec),
                                 std::cos(moon.Dec) * std::sin(sun.Dec) -
                                     std::sin(moon.Dec) * std::cos(sun.Dec) * std::cos(dra));
    const double wantX = -std::sin(pa), wantY = -std::cos(pa);
    const double len = std::hypot(sx, sy);
    const double cosAngle = (sx * wantX + sy * wantY) / len;
    EXPECT_GT(cosAngle, std::cos(20 * kDeg));
}

// The atlas is a J2000 chart: a planet computed for its date is carried back to J2000, the
// inverse of what the planisphere does to the stars, so both charts show it among the same
// stars. Checked against ERFA's precession-nutation in the years 1000, 2026 and 3000: the
// difference is nutation (up to 17"), the parallax and the theory's whole-year precession steps.
TEST_F(AtlasBodies, PlanetsCarriedBackToJ2000AtFarDates) {
    TMars mars;
    atlas.Mars = &mars;
    for (double mjd : {-313364.5, 61381.5, 417135.5}) {
        atlas.SetMJD(mjd);
        auto check = [&](int body, auto& planet) {
            const TAtlas::BodyPlace p = atlas.PlaceBody(body);
            ASSERT_TRUE(p.present);
            planet.SetMjd(mjd);
            double m[3][3], v[3], w[3], ra, dec;
            eraPnm06a(2400000.5, mjd, m);
            eraS2c(planet.Ra, planet.Dec, v);
            eraTrxp(m, v, w);
            eraC2s(w, &ra, &dec);
            EXPECT_LT(eraSeps(p.ra, p.dec, ra, dec), 40.0 / 3600 * kDeg) << mjd << " " << body;
        };
        check(2, mars);
        check(3, jupiter);
        check(4, saturn);
    }
    atlas.Mars = nullptr; // the fixture's atlas outlives this Mars
}
} // namespace

// The Galilean moons' names in the 93 x 75 information picture: Ganymede and
// Europa one pixel apart must not share a row, and Callisto at the very edge
// keeps its first letter.
TEST(JupiterNames, WholeInsideThePictureAndApart) {
    const int w = 93, h = 75;
    const std::vector<TSize> sizes{{14, 12}, {42, 12}, {56, 12}, {50, 12}};
    auto check = [&](const std::vector<std::pair<int, int>>& dots) {
        const std::vector<TPoint> at = TAtlas::SpreadLabels(dots, sizes, w, h);
        ASSERT_EQ(at.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_GE(at[i].x, 0);
            EXPECT_GE(at[i].y, 0);
            EXPECT_LE(at[i].x + sizes[i].cx, w);
            EXPECT_LE(at[i].y + sizes[i].cy, h);
            for (int j = 0; j < i; ++j) {
                const bool apart = at[i].x + sizes[i].cx <= at[j].x ||
                                   at[j].x + sizes[j].cx <= at[i].x ||
                                   at[i].y + sizes[i].cy <= at[j].y ||
                                   at[j].y + sizes[j].cy <= at[i].y;
                EXPECT_TRUE(apart) << "labels " << i << " and " << j;
            }
        }
    };
    check({{40, 37}, {60, 37}, {61, 38}, {2, 37}});  // crowded on one line, one at the edge
    check({{45, 37}, {45, 37}, {45, 37}, {45, 37}}); // all behind the planet
    check({{-20, 37}, {120, 37}, {46, 70}, {46, 2}}); // off the picture and at its rims
}
