// The atlas with its deep star layer: which deep stars it draws (counted here
// from the sky with distance and bearing written out independently), that the
// default view is drawn exactly as without the layer, and how picking numbers
// the deep stars.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "catalog/Clsdeepstar.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"

#include "Skyoffsets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr int kW = 1639, kH = 1080;

class AtlasDeep : public ::testing::Test {
protected:
    void SetUp() override {
        hip = std::make_unique<TStar>("Star.dat");
        std::string why;
        deep = TDeepStar::Open(TDeepStar::FileName, why);
        ASSERT_GT(hip->Count, 100000) << hip->Error;
        ASSERT_NE(deep, nullptr) << why;
        atlas.Star[0] = hip.get();
        atlas.Star[1] = deep.get();
        for (int n = 1; n <= 8; ++n)
            atlas.SetSwitch(n, n == 5 || n == 8); // names and realistic colours
    }
    void View(double ra, double dec, int scale) {
        atlas.SetViewWidth(kW);
        atlas.SetViewHeight(kH);
        atlas.SetScale(scale);
        atlas.SetSensitivity(0);
        atlas.SetCenterRa(ra);
        atlas.SetCenterDec(dec);
    }
    // Deep stars inside the view and bright enough for a sprite.
    int Expected(double ra0, double dec0, int scale) {
        const int limit = TAtlas::LimitingMag(scale, 0, hip->MagMax);
        int n = 0;
        for (int i = 0; i < deep->Count; ++i) {
            const TStarRecord& r = (*deep)[i];
            if (std::fabs(r.dec - dec0) > 0.2) continue;
            double x, y;
            AzimuthalOffsets(ra0, dec0, r.ra, r.dec, x, y);
            const int px = static_cast<int>(scale * x + kW / 2);
            const int py = static_cast<int>(scale * y + kH / 2);
            if (px > 0 && px < kW && py > 0 && py < kH && TAtlas::StarClass(r.mag, limit, 0) >= 0)
                ++n;
        }
        return n;
    }
    TAtlas atlas{1, kW, kH};
    std::unique_ptr<TStar> hip, deep;
};

} // namespace

TEST_F(AtlasDeep, DrawsTheDeepStarsOfTheFieldOnlyPastMagnitudeNine) {
    // The Pleiades at 20000 and M13's field at 50000.
    const struct {
        double ra, dec;
        int scale, atLeast;
    } fields[] = {{(3 + 47.4 / 60) * 15 * kDeg, 24.117 * kDeg, 20000, 150},
                  {(16 + 41.7 / 60) * 15 * kDeg, 36.461 * kDeg, 50000, 10}};
    for (const auto& f : fields) {
        View(f.ra, f.dec, f.scale);
        atlas.Draw();
        const int want = Expected(f.ra, f.dec, f.scale);
        EXPECT_GE(want, f.atLeast);
        // A star on a pixel border may round to either side.
        EXPECT_NEAR(atlas.StarsDrawn[1], want, 2) << f.scale;
    }

    // The default view: the limit (8.69) stays short of 9, so no deep star,
    // and the picture is the one drawn without the layer, byte for byte.
    View(1.4835, 0.0, 1000);
    atlas.Draw();
    EXPECT_EQ(atlas.StarsDrawn[1], 0);
    const int hipDrawn = atlas.StarsDrawn[0];
    const TDIB& dib = atlas.GetDib();
    std::vector<unsigned char> with(dib.GetBits(), dib.GetBits() + static_cast<size_t>(dib.GetStride()) * dib.GetHeight());
    atlas.Star[1] = nullptr;
    atlas.Draw();
    EXPECT_EQ(atlas.StarsDrawn[0], hipDrawn);
    EXPECT_TRUE(std::memcmp(with.data(), dib.GetBits(), with.size()) == 0);

    // Two steps of sensitivity carry the same view past 9: deep stars appear.
    atlas.Star[1] = deep.get();
    atlas.SetSensitivity(2);
    atlas.Draw();
    EXPECT_GT(atlas.StarsDrawn[1], 100);
}

TEST_F(AtlasDeep, PickNumbersDeepStarsPastStarDatAndResolvesThem) {
    const double ra0 = (3 + 47.4 / 60) * 15 * kDeg, dec0 = 24.117 * kDeg;
    View(ra0, dec0, 20000);
    atlas.Draw();
    // The deep star nearest the centre of the Pleiades.
    const auto [first, last] = TDeepStar::DecBand(*deep, dec0 - 0.01, dec0 + 0.01);
    int star = -1;
    double best = 1e9;
    for (int i = first; i < last; ++i) {
        double x, y;
        AzimuthalOffsets(ra0, dec0, (*deep)[i].ra, (*deep)[i].dec, x, y);
        if (std::hypot(x, y) < best) best = std::hypot(x, y), star = i;
    }
    ASSERT_GE(star, 0);
    int px, py;
    atlas.ToPixel((*deep)[star].ra, (*deep)[star].dec, px, py);
    TPickEntry list[TAtlas::MaxPick];
    int n = atlas.Pick(px, py, 0, list);
    const int number = hip->Count + star;
    bool found = false;
    for (int i = 0; i < n; ++i)
        found = found || (list[i].kind == 2 && list[i].number == number);
    EXPECT_TRUE(found) << "deep record " << star << " at " << px << "," << py;

    int cat = -1;
    EXPECT_EQ(atlas.StarRecordOf(number, &cat), &(*deep)[star]);
    EXPECT_EQ(cat, 1);
    EXPECT_EQ(atlas.StarNumberOf(1, star), number);
    EXPECT_EQ(atlas.StarRecordOf(17, &cat), &(*hip)[17]);
    EXPECT_EQ(cat, 0);
    EXPECT_EQ(atlas.StarRecordOf(hip->Count + deep->Count), nullptr);
    EXPECT_EQ(atlas.StarRecordOf(-1), nullptr);

    // Where the atlas draws no deep star it picks none either.
    View(ra0, dec0, 1000);
    atlas.Draw();
    atlas.ToPixel((*deep)[star].ra, (*deep)[star].dec, px, py);
    n = atlas.Pick(px, py, 3, list);
    for (int i = 0; i < n; ++i)
        EXPECT_FALSE(list[i].kind == 2 && list[i].number >= hip->Count) << list[i].number;
}
