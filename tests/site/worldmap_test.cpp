// The world map of the site editor: projection, view, picking texts and the
// coastline table. Expected positions were computed by hand (Python) from the
// map's projection constants, not taken from this code.
#include "site/Coastline.h"
#include "site/Worldmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
double Rad(double deg) {
    return deg * kPi / 180.0;
}

struct Pt {
    int x, y;
};
std::vector<std::vector<Pt>> Polylines() {
    std::vector<std::vector<Pt>> out;
    std::size_t i = 0;
    while (kCoastline[i] != 9999) {
        int n = kCoastline[i++];
        std::vector<Pt> l;
        for (int k = 0; k < n; ++k, i += 2)
            l.push_back({kCoastline[i], kCoastline[i + 1]});
        out.push_back(l);
    }
    return out;
}

} // namespace

TEST(WorldMap, ProjectionFixedPoints) {
    double x0, y0, lng, lat;
    TWorldMap::Project(0.0, 0.0, x0, y0);
    EXPECT_NEAR(x0, 87.0, 1e-12);
    EXPECT_NEAR(y0, 815.0, 1e-9);
    TWorldMap::Project(kPi, 0.0, x0, y0);
    EXPECT_NEAR(x0, 1063.5, 1e-9);
    // Tokyo, 139.5167 E 35.68333 N: (843.8781, 607.3581).
    TWorldMap::Project(Rad(139.5167), Rad(35.68333), x0, y0);
    EXPECT_NEAR(x0, 843.8781, 1e-4);
    EXPECT_NEAR(y0, 607.3581, 1e-4);

    // Inverse: east of 1063.5 is the western hemisphere.
    TWorldMap::Unproject(1063.5, 815.0, lng, lat);
    EXPECT_NEAR(lng, kPi, 1e-12);
    EXPECT_NEAR(lat, 0.0, 1e-12);
    TWorldMap::Unproject(1064.0, 607.3581079637341, lng, lat);
    EXPECT_NEAR(lng, Rad(-179.9078341), 1e-9);
    EXPECT_NEAR(lat, Rad(35.68333), 1e-9);
    TWorldMap::Unproject(87.0, 815.0, lng, lat);
    EXPECT_EQ(lng, 0.0);
    // The inverse constant is 1/716.32 to the double's precision.
    for (double y : {0.0, 300.0, 1184.0}) {
        TWorldMap::Unproject(500.0, y, lng, lat);
        TWorldMap::Project(lng, lat, x0, y0);
        EXPECT_NEAR(y0, y, 1e-6);
        EXPECT_NEAR(x0, 500.0, 1e-9);
    }
}

TEST(WorldMap, ZoomStepsAndLimits) {
    TWorldMap m;
    EXPECT_DOUBLE_EQ(m.Zoom, 0.8);
    m.ZoomIn();
    EXPECT_NEAR(m.Zoom, 1.2, 1e-12);
    m.ZoomIn();
    EXPECT_DOUBLE_EQ(m.Zoom, 1.5);
    m.ZoomIn();
    EXPECT_DOUBLE_EQ(m.Zoom, 1.5);
    m.Zoom = 0.8;
    const double out[] = {0.5333333333333333, 0.35555555555555557, 0.23703703703703705, 0.2, 0.2};
    for (double z : out) {
        m.ZoomOut();
        EXPECT_NEAR(m.Zoom, z, 1e-12);
    }
}

TEST(WorldMap, CentreScrollAndWrap) {
    TWorldMap m;
    m.Centre(0.0, 0.0);
    EXPECT_EQ(m.Cx, 87);
    EXPECT_EQ(m.Cy, 815); // a site on the equator
    m.Centre(Rad(139.5167), Rad(35.68333));
    EXPECT_EQ(m.Cx, 843);
    EXPECT_EQ(m.Cy, 607);
    // West of the seam at 16.04 W: 87 - 1953 * 70.7 / 360 = -296.6 -> -296 + 1953.
    m.Centre(Rad(-70.7), Rad(-29.0));
    EXPECT_EQ(m.Cx, 1657);
    // Poles and nonsense stay on the map instead of overflowing.
    m.Centre(Rad(10.0), Rad(-90.0));
    EXPECT_EQ(m.Cy, 1184);
    m.Centre(Rad(10.0), Rad(90.0));
    EXPECT_EQ(m.Cy, 0);
    m.Centre(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(m.Cx, 87);
    EXPECT_EQ(m.Cy, 815);

    // Scrolling on a 385 x 221 image: the clicked point becomes the centre.
    m.Cx = 500;
    m.Cy = 600;
    m.Zoom = 0.8;
    m.Scroll(192 + 40, 110 - 8, 385, 221);
    EXPECT_EQ(m.Cx, 550);
    EXPECT_EQ(m.Cy, 590);
    // Past the top and bottom edges the centre stops at 0 and 1184.
    m.Zoom = 0.2;
    m.Scroll(192, 0, 385, 221); // 590 - 550
    EXPECT_EQ(m.Cy, 40);
    m.Scroll(192, 0, 385, 221);
    EXPECT_EQ(m.Cy, 0);
    m.Cy = 1100;
    m.Scroll(192, 220, 385, 221);
    EXPECT_EQ(m.Cy, 1184);
    // Past x 0 and 1953 it wraps around.
    m.Cx = 100;
    m.Scroll(0, 110, 385, 221); // 100 - 960 = -860 -> 1093
    EXPECT_EQ(m.Cx, 1093);
    m.Cx = 1900;
    m.Scroll(384, 110, 385, 221); // 1900 + 960 = 2860 -> 907
    EXPECT_EQ(m.Cx, 907);
}

TEST(WorldMap, PickingGivesTheInputTexts) {
    TWorldMap m;
    m.Zoom = 0.8;
    m.Cx = 87;
    m.Cy = 815;
    double lng, lat;
    std::string d, mn;
    // Exactly on Greenwich and the equator.
    m.Pick(192, 110, 385, 221, lng, lat);
    TWorldMap::DegreeTexts(lng, d, mn);
    EXPECT_EQ(d, "+0");
    EXPECT_EQ(mn, "00.00");
    TWorldMap::DegreeTexts(lat, d, mn);
    EXPECT_EQ(d, "+0");
    EXPECT_EQ(mn, "00.00");
    // One pixel west: x0 = 85.75, 1.25 / 1953 * 360 deg = 0 deg 13.82 min west.
    m.Pick(191, 110, 385, 221, lng, lat);
    EXPECT_LT(lng, 0.0);
    TWorldMap::DegreeTexts(lng, d, mn);
    EXPECT_EQ(d, "-0");
    EXPECT_EQ(mn, "13.82");
    // Far from the centre: x0 = 1135, y0 = 425 -> 166 deg 49.22 W, 58 deg 08.15 N.
    m.Cx = 1000;
    m.Cy = 500;
    m.Pick(300, 50, 385, 221, lng, lat);
    TWorldMap::DegreeTexts(lng, d, mn);
    EXPECT_EQ(d, "-166");
    EXPECT_EQ(mn, "49.22");
    TWorldMap::DegreeTexts(lat, d, mn);
    EXPECT_EQ(d, "+58");
    EXPECT_EQ(mn, "08.15");
    // Picking does not move the view.
    EXPECT_EQ(m.Cx, 1000);
    EXPECT_EQ(m.Cy, 500);
    // Three figures of degrees east.
    TWorldMap::DegreeTexts(Rad(135.0 + 53.5 / 60.0), d, mn);
    EXPECT_EQ(d, "+135");
    EXPECT_EQ(mn, "53.50");
}

TEST(WorldMap, CoastlineTableIsWellFormed) {
    auto lines = Polylines();
    std::size_t points = 0;
    for (const auto& l : lines) {
        ASSERT_GE(l.size(), 2u);
        points += l.size();
        for (const auto& p : l) {
            ASSERT_GE(p.x, 1);
            ASSERT_LE(p.x, 1953);
            ASSERT_GE(p.y, 2);
            ASSERT_LE(p.y, 1184);
        }
        // No segment crosses the whole map (the seam is cut, not bridged).
        for (std::size_t k = 1; k < l.size(); ++k)
            ASSERT_LT(std::abs(l[k].x - l[k - 1].x), 200);
    }
    EXPECT_GT(lines.size(), 250u);
    EXPECT_GT(points, 4000u);
    EXPECT_LT(points, 9000u);
    EXPECT_EQ(kCoastline[kCoastlineSize - 1], 9999);
}

TEST(WorldMap, CoastlinePassesKnownCapes) {
    // Map positions of capes computed by hand from their longitude and latitude.
    struct Cape {
        const char* name;
        double x0, y0;
    } capes[] = {
        {"Cape Agulhas", 195.5, 1016.97},
        {"Land's End", 56.02, 499.99},
        {"Cape York", 860.23, 873.38},
        {"Europa Point", 58.0, 604.5},
    };
    auto lines = Polylines();
    for (const auto& c : capes) {
        double best = 1e9;
        for (const auto& l : lines)
            for (const auto& p : l)
                best = std::min(best, std::hypot(p.x - 1 - c.x0, p.y - 1 - c.y0));
        EXPECT_LT(best, 4.0) << c.name;
    }
}

TEST(WorldMap, DrawsFrameAndCoastInRed) {
    QImage img(385, 221, QImage::Format_RGB32);
    TWorldMap m;
    m.Zoom = 1.5;
    m.Centre(Rad(20.0), Rad(-34.83)); // Cape Agulhas at the image centre
    m.Draw(img);
    const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
    EXPECT_EQ(img.pixel(0, 0), red);
    EXPECT_EQ(img.pixel(384, 220), red);
    EXPECT_EQ(img.pixel(384, 100), red);
    int near = 0;
    for (int y = 106; y <= 115; ++y)
        for (int x = 188; x <= 197; ++x)
            near += img.pixel(x, y) == red;
    EXPECT_GT(near, 0);
    // 60 pixels further south (40 map units, about 2 degrees) is open sea.
    for (int y = 165; y <= 175; ++y)
        for (int x = 180; x <= 205; ++x)
            ASSERT_EQ(img.pixel(x, y), black) << x << "," << y;

    // The wrapped copy: centred near the seam's east side, the coast of
    // West Africa (x0 about 0..60) appears to the right of the seam.
    m.Zoom = 0.2;
    m.Cx = 1900;
    m.Cy = 815;
    m.Draw(img);
    int right = 0;
    for (int y = 1; y < 220; ++y)
        for (int x = 203; x < 384; ++x)
            right += img.pixel(x, y) == red;
    EXPECT_GT(right, 20);
}
