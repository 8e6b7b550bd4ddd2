// The search lists built from the real catalogues: every list holds exactly
// the objects of its range, checked against the catalogue records themselves.
#include "app/Clssearchlist.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

struct Catalogues {
    TStar star{"Star.dat"};
    TNebula nebula{"Unsta.dat"};
    TConstellation constellation;
};

TSearchList Build(Catalogues& c, int tab, int menu) {
    TSearchList l;
    l.Build(tab, menu, c.nebula, c.star, c.constellation, {"Comets", "Variables"});
    return l;
}

TEST(SearchLists, DeepSkyListsHoldExactlyTheirRanges) {
    Catalogues c;
    ASSERT_GT(c.nebula.Count, 10000);
    // Messier: 110 rows whose tags find records of the right designation;
    // a few well-known types checked by hand.
    TSearchList m = Build(c, 2, 1);
    ASSERT_EQ(m.Rows.size(), 110u);
    const std::map<int, std::string> known{{31, "Gx"}, {13, "Gb"}, {45, "OC"}, {57, "Pl"},
                                           {1, "Nb"},  {51, "Gx"}, {11, "OC"}};
    for (const TSearchList::Row& r : m.Rows) {
        const int rec = TSearchList::MessierRecord(c.nebula, r.Tag);
        ASSERT_GE(rec, 0) << r.Cells[0];
        EXPECT_EQ(c.nebula.GetMessier(rec), "M" + std::to_string(r.Tag));
        EXPECT_EQ(r.Cells[0], "M" + std::to_string(r.Tag));
        if (known.count(r.Tag)) {
            EXPECT_EQ(r.Cells[1], known.at(r.Tag)) << r.Cells[0];
        }
    }
    // NGC and IC thousands: each record in exactly the list of its number.
    std::multiset<int> seen;
    for (int tab = 2; tab <= 3; ++tab)
        for (int menu = tab == 2 ? 2 : 1; menu <= (tab == 2 ? 9 : 6); ++menu) {
            const int low = tab == 2 ? (menu - 2) * 1000 : 10000 + (menu - 1) * 1000;
            const TSearchList l = Build(c, tab, menu);
            EXPECT_LE(l.Rows.size(), 1000u);
            for (const TSearchList::Row& r : l.Rows) {
                const int no = c.nebula[r.Tag].no;
                EXPECT_TRUE(no >= low && no < low + 1000) << r.Cells[0] << " in " << low;
                EXPECT_EQ(r.Cells[0], (no < 10000 ? "NGC" + std::to_string(no)
                                                  : "IC" + std::to_string(no - 10000)));
                seen.insert(r.Tag);
            }
        }
    int catalogued = 0;
    for (int i = 0; i < c.nebula.Count; ++i)
        catalogued += c.nebula[i].no < 16000;
    EXPECT_EQ(static_cast<int>(seen.size()), catalogued);
    EXPECT_EQ(std::set<int>(seen.begin(), seen.end()).size(), seen.size());
    // The named list: every record with a name, nothing else.
    const TSearchList named = Build(c, 3, 7);
    std::set<int> names;
    for (const TSearchList::Row& r : named.Rows)
        names.insert(r.Tag);
    for (int i = 0; i < c.nebula.Count; ++i)
        EXPECT_EQ(names.count(i) == 1, !c.nebula.GetName(i, 1).empty()) << i;
}

TEST(SearchLists, ConstellationsStarsOptionsAndTheSolarSystem) {
    Catalogues c;
    const TSearchList con = Build(c, 4, 1);
    ASSERT_EQ(con.Rows.size(), 89u);
    EXPECT_TRUE(std::is_sorted(con.Rows.begin(), con.Rows.end(),
                               [](auto& a, auto& b) { return a.Cells[0] < b.Cells[0]; }));
    EXPECT_EQ(con.Rows.front().Cells[0], "And");
    EXPECT_EQ(con.Rows.back().Cells[0], "Vul");
    const TSearchList stars = Build(c, 4, 2);
    ASSERT_EQ(stars.Rows.size(), static_cast<std::size_t>(c.star.NamedCount));
    EXPECT_TRUE(std::is_sorted(stars.Rows.begin(), stars.Rows.end(),
                               [](auto& a, auto& b) { return a.Cells[0] < b.Cells[0]; }));
    EXPECT_EQ(stars.Rows.front().Cells[0], "Achernar");
    const TSearchList opt = Build(c, 4, 3);
    ASSERT_EQ(opt.Rows.size(), 2u);
    EXPECT_EQ(opt.Rows[1].Cells[1], " Variables");
    EXPECT_EQ(opt.Rows[1].Tag, 2);
    const TSearchList sys = Build(c, 1, 1);
    ASSERT_EQ(sys.Rows.size(), 14u);
    EXPECT_EQ(sys.Rows[3].Cells[0], "Moon");
    EXPECT_EQ(sys.Rows[13].Tag, 13);
    EXPECT_TRUE(Build(c, 1, 2).Rows.empty());
    EXPECT_FALSE(TSearchList::HasList(3, 8));
    EXPECT_FALSE(TSearchList::HasList(4, 4));
}

} // namespace
