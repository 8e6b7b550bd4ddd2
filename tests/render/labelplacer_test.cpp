// Labels giving way: the places a label tries, what keeps it off, and the
// chosen object's label that always shows.
#include <gtest/gtest.h>

#include "render/Clslabelplacer.h"

namespace {
using TBox = TLabelPlacer::TBox;

// A 20 x 10 label beside a symbol of reach 3 at (100, 100).
bool PlaceBeside(TLabelPlacer& p, int px, int py, int rank, TBox& got,
                 TLabelPlacer::TSide first = TLabelPlacer::Right, bool force = false) {
    TBox places[8];
    TLabelPlacer::Beside(px, py, 3, 20, 10, first, places);
    return p.Place(places, 8, rank, force, got);
}
} // namespace

TEST(LabelPlacer, LabelsTakeTheFreeSidesInTurnAndAFifthIsLeftOut) {
    TLabelPlacer p;
    p.Reset(400, 300);
    TBox got;
    // Labels of objects on the same spot take the four sides in turn, clear
    // of the symbol's box (reach 3 about the pixel); the corners overlap them.
    const TBox symbol{97, 97, 104, 104};
    std::vector<TBox> taken;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(PlaceBeside(p, 100, 100, 500, got)) << i;
        EXPECT_FALSE(got.Overlaps(symbol)) << i;
        for (const TBox& t : taken)
            EXPECT_FALSE(got.Overlaps(t)) << i;
        taken.push_back(got);
    }
    // The first went to the right: two pixels of gap past the reach, centred.
    EXPECT_EQ(taken[0].x0, 105);
    EXPECT_EQ(taken[0].y0, 95);
    EXPECT_EQ(taken[1].x1, 95); // then the left, above and below
    EXPECT_EQ(taken[2].y1, 95);
    EXPECT_EQ(taken[3].y0, 105);
    EXPECT_FALSE(PlaceBeside(p, 100, 100, 500, got));
    EXPECT_EQ(p.Labels().size(), 4u);
    // A corner place is taken when the sides are not free: a label filling
    // the right side of an object at (160, 100) leaves it the lower right.
    TBox wall[1] = {{165, 90, 185, 103}};
    ASSERT_TRUE(p.Place(wall, 1, 0, false, got));
    TBox places[8];
    TLabelPlacer::Beside(160, 100, 3, 20, 10, TLabelPlacer::Right, places);
    places[1] = places[2] = places[3] = wall[0]; // left, above and below taken too
    ASSERT_TRUE(p.Place(places, 8, 500, false, got));
    EXPECT_EQ(got.x0, 164); // upper right: (164, 87) overlaps the wall; lower right
    EXPECT_EQ(got.y0, 104);
    // Forced, it goes over the first place all the same.
    ASSERT_TRUE(PlaceBeside(p, 100, 100, 500, got, TLabelPlacer::Right, true));
    EXPECT_EQ(got.x0, 105);
}

TEST(LabelPlacer, BrighterSymbolsKeepLabelsOffFainterOnesDoNot) {
    TLabelPlacer p;
    p.Reset(400, 300);
    // A star of rank 300 where the label's first place would be.
    p.Block({110, 98, 113, 101}, 300);
    TBox got;
    // A fainter object's label (rank 800) goes elsewhere ...
    ASSERT_TRUE(PlaceBeside(p, 100, 100, 800, got));
    EXPECT_EQ(got.x1, 95); // the left
    // ... a brighter one's (rank 200) may cover the fainter star's symbol.
    p.Reset(400, 300);
    p.Block({110, 98, 113, 101}, 300);
    ASSERT_TRUE(PlaceBeside(p, 100, 100, 200, got));
    EXPECT_EQ(got.x0, 105);
}

TEST(LabelPlacer, LabelsStayWholeOnTheChart) {
    TLabelPlacer p;
    p.Reset(400, 300);
    TBox got;
    // At the right edge the right side does not fit: the left does.
    ASSERT_TRUE(PlaceBeside(p, 390, 150, 0, got));
    EXPECT_EQ(got.x1, 385);
    // In the top-left corner only below-right places remain.
    ASSERT_TRUE(PlaceBeside(p, 2, 2, 0, got, TLabelPlacer::Above));
    EXPECT_GE(got.x0, 0);
    EXPECT_GE(got.y0, 0);
    // A label wider than the chart: none, unless forced, and then moved onto it.
    TBox wide[1] = {{-10, 10, 500, 20}};
    EXPECT_FALSE(p.Place(wide, 1, 0, false, got));
    TBox off[1] = {{390, 295, 410, 305}};
    ASSERT_TRUE(p.Place(off, 1, 0, true, got));
    EXPECT_EQ(got.x1, 400);
    EXPECT_EQ(got.y1, 300);
    // Boxes touching edge to edge do not overlap (right and bottom excluded).
    EXPECT_FALSE((TBox{0, 0, 10, 10}).Overlaps(TBox{10, 0, 20, 10}));
    EXPECT_TRUE((TBox{0, 0, 10, 10}).Overlaps(TBox{9, 9, 20, 20}));
}

TEST(LabelPlacer, BoxesAcrossCellBordersAreFound) {
    // A label spanning several cells blocks a later one in any of them.
    TLabelPlacer p;
    p.Reset(1000, 1000);
    TBox got;
    TBox big[1] = {{60, 60, 200, 140}};
    ASSERT_TRUE(p.Place(big, 1, 0, false, got));
    for (const TBox& b : {TBox{190, 130, 210, 150}, TBox{61, 61, 62, 62}, TBox{127, 127, 129, 129}}) {
        TBox one[1] = {b};
        EXPECT_FALSE(p.Place(one, 1, 0, false, got)) << b.x0;
    }
    TBox clear[1] = {{200, 140, 260, 150}};
    EXPECT_TRUE(p.Place(clear, 1, 0, false, got));
}
