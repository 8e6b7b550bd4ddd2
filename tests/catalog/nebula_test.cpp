// TNebula on small hand-made deep-sky files.
#include <gtest/gtest.h>

#include "Catalogfiles.h"
#include "catalog/Clsnebula.h"

namespace {

TNebulaRecord Rec(int no, int type = 4) {
    TNebulaRecord r{};
    r.no = static_cast<std::uint16_t>(no);
    r.ra = 1.0f;
    r.dec = 0.2f;
    r.type = static_cast<std::uint8_t>(type);
    return r;
}

int Entry(const char* desig) {
    for (int e = 0; e < TNebula::NameCount; ++e)
        if (std::string(TNebula::Names[e].desig) == desig) return e;
    return -1;
}

} // namespace

TEST(NebulaFile, MissingOrEmptyFileGivesAnEmptyCatalogue) {
    TNebula missing("/nonexistent/Unsta.dat");
    EXPECT_EQ(missing.Count, 0);
    EXPECT_NE(missing.Error.find("Unsta.dat"), std::string::npos);
    EXPECT_EQ(missing.GetCatalogNo(0), "");
    EXPECT_EQ(missing.GetMessier(0), "");
    EXPECT_EQ(missing.GetName(0, 0), "");

    TTempFile f("nebula_short");
    f.Write(std::vector<TNebulaRecord>{}, 27); // less than one record
    TNebula shortfile(f.Path());
    EXPECT_EQ(shortfile.Count, 0);
    EXPECT_FALSE(shortfile.Error.empty());
}

TEST(NebulaFile, CatalogueNumbersAndNames) {
    TTempFile f("nebula_names");
    f.Write(std::vector<TNebulaRecord>{Rec(224, 1), Rec(10434), Rec(20005), Rec(5), Rec(20000, 1),
                                       Rec(15146), Rec(4571, 1)});
    TNebula n(f.Path());
    ASSERT_EQ(n.Count, 7);
    EXPECT_EQ(n.GetCatalogNo(0), "NGC224");
    EXPECT_EQ(n.GetMessier(0), "M31");
    EXPECT_EQ(n.GetName(0, 0), "アンドロメダ大星雲");
    EXPECT_EQ(n.GetName(0, 1), "Andromeda galaxy");
    EXPECT_EQ(n.GetName(0, 2), "");

    EXPECT_EQ(n.GetCatalogNo(1), "IC434");
    EXPECT_EQ(n.GetName(1, 1), "Horsehead Nebula");

    // An area without any designation: empty catalogue number, but a name.
    EXPECT_EQ(n.GetCatalogNo(2), "");
    EXPECT_EQ(n.GetName(2, 0), "M38近隣");
    EXPECT_EQ(n.GetName(2, 1), "Near M38");

    // NGC 5 has no name entry: everything empty.
    EXPECT_EQ(n.NameIndex[3], 0);
    EXPECT_EQ(n.GetMessier(3), "");
    EXPECT_EQ(n.GetName(3, 0), "");
    EXPECT_EQ(n.GetName(3, 1), "");
    char buf[8] = "x";
    EXPECT_FALSE(n.GetMessier(3, buf));
    EXPECT_STREQ(buf, "");

    EXPECT_EQ(n.GetCatalogNo(4), "LMC");
    EXPECT_TRUE(n.GetMessier(4, buf));
    EXPECT_STREQ(buf, "LMC");
    EXPECT_EQ(n.GetName(5, 1), "Cocoon nebula");
    EXPECT_EQ(n.GetMessier(6), "M91");

    // Records out of range give empty texts, not a crash.
    EXPECT_EQ(n.GetCatalogNo(7), "");
    EXPECT_EQ(n.GetName(-1, 0), "");
}

TEST(NebulaFile, EntryRecordLeadsFromMessierNumbersToRecords) {
    TTempFile f("nebula_entry");
    f.Write(std::vector<TNebulaRecord>{Rec(5), Rec(1952), Rec(20002, 2), Rec(1952)});
    TNebula n(f.Path());
    EXPECT_EQ(n.EntryRecord[1], 3); // M1 twice: the last record wins
    EXPECT_EQ(n.EntryRecord[45], 2);
    EXPECT_EQ(n.EntryRecord[31], 0); // M31 is not in this file
    EXPECT_NE(n.NameIndex[n.EntryRecord[31]], 31);
    EXPECT_EQ(n.NameIndex[n.EntryRecord[45]], 45);
}

TEST(NebulaFile, NameTableHoldsTheMessierListInOrder) {
    EXPECT_EQ(TNebula::Names[0].no, 0);
    for (int m = 1; m <= 110; ++m)
        EXPECT_EQ(std::string(TNebula::Names[m].desig), "M" + std::to_string(m));
    EXPECT_EQ(TNebula::Names[31].no, 224);
    EXPECT_EQ(TNebula::Names[25].no, 14725); // IC 4725
    EXPECT_EQ(TNebula::Names[45].no, 20002);
    EXPECT_EQ(TNebula::Names[TNebula::NameCount].no, TNebula::EndMark);
    EXPECT_EQ(Entry("MEL111"), 134);
    EXPECT_EQ(TNebula::Names[136].no, 20006);
    EXPECT_STREQ(TNebula::Names[136].nameEng, "Coalsack");
}

TEST(NebulaOutline, SharedListsAndPointCounts) {
    TTempFile f("nebula_outline");
    f.Write(std::vector<TNebulaRecord>{Rec(1432), Rec(1435), Rec(20002, 2), Rec(1976), Rec(1982),
                                       Rec(10434), Rec(224, 1), Rec(20006, 7), Rec(11318)});
    TNebula n(f.Path());
    // The Pleiades: three records, one outline of two polygons.
    const TNebulaOutline& a = n.Outlines[n.OutlineIndex[0]];
    const TNebulaOutline& b = n.Outlines[n.OutlineIndex[1]];
    const TNebulaOutline& c = n.Outlines[n.OutlineIndex[2]];
    EXPECT_EQ(n.OutlineIndex[0], 4);
    EXPECT_EQ(n.OutlineIndex[1], 5);
    EXPECT_EQ(n.OutlineIndex[2], 21);
    EXPECT_EQ(a.ra, b.ra);
    EXPECT_EQ(a.ra, c.ra);
    EXPECT_EQ(a.dec, c.dec);
    EXPECT_EQ(a.count, 85);
    EXPECT_EQ(c.count, 85);
    int separators = 0;
    for (int i = 0; i < a.count; ++i)
        separators += a.ra[i] == 10.0 && a.dec[i] == 10.0;
    EXPECT_EQ(separators, 1);
    // M42 and M43 share theirs.
    EXPECT_EQ(n.Outlines[n.OutlineIndex[3]].ra, n.Outlines[n.OutlineIndex[4]].ra);
    EXPECT_EQ(n.Outlines[n.OutlineIndex[3]].count, 53);

    EXPECT_EQ(n.OutlineIndex[5], 18); // IC 434
    EXPECT_EQ(n.Outlines[18].count, 114);
    EXPECT_EQ(n.OutlineIndex[6], 0); // M31 has none
    EXPECT_EQ(n.OutlineIndex[7], 23);
    EXPECT_EQ(n.Outlines[23].kind, 3); // the Coalsack is dark
    EXPECT_EQ(n.Outlines[14].kind, 2); // the Small Magellanic Cloud
    separators = 0;
    const TNebulaOutline& g = n.Outlines[n.OutlineIndex[8]];
    EXPECT_EQ(g.count, 193);
    for (int i = 0; i < g.count; ++i)
        separators += g.ra[i] == 10.0;
    EXPECT_EQ(separators, 4); // IC 1318 in five pieces

    // Every list has the length the outline table gives.
    const int want[25] = {0,   83, 39, 39, 85, 85,  62,  53, 78, 53, 53, 77, 64,
                          193, 35, 38, 47, 19, 114, 107, 83, 85, 38, 53, 38};
    for (int k = 1; k <= TNebula::OutlineCount; ++k)
        EXPECT_EQ(n.Outlines[k].count, want[k]) << k;
}

TEST(NebulaFile, OnlyTheFirst15000RecordsAreIndexed) {
    std::vector<TNebulaRecord> recs(15002, Rec(5));
    recs[14999] = Rec(1952);
    recs[15000] = Rec(224, 1);
    TTempFile f("nebula_many");
    f.Write(recs);
    TNebula n(f.Path());
    EXPECT_EQ(n.Count, 15002);
    EXPECT_EQ(n.NameIndex.size(), 15000u);
    EXPECT_EQ(n.EntryRecord[1], 14999);
    EXPECT_EQ(n.EntryRecord[31], 0);
    EXPECT_EQ(n.GetMessier(15000), "");
    EXPECT_EQ(n.GetCatalogNo(15000), "NGC224");
}
