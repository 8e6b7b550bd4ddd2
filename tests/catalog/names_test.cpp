// The names side file: what hostile or careless bytes give, and how the old
// tables' names are written.
#include <gtest/gtest.h>

#include "catalog/Clsnames.h"

TEST(NameList, ReadsNamesAndSkipsWhatMakesNoSense) {
    TNameList n;
    std::string why;
    n.Parse("# comment\r\nS\t32349\tSirius\r\nS\t32349\tSirio\nD\t869\tDouble Cluster\n"
            "P\t59.2667\t63.0667\tKemble's Cascade\n"
            "S\t0\tNobody\nS\t999999\tNobody\nS\t12x\tNobody\nD\t869\n"
            "P\t360\t0\tNowhere\nP\tnan\t0\tNowhere\nQ\t1\tWhat\n\n",
            why);
    ASSERT_NE(n.OfStar(32349), nullptr);
    EXPECT_EQ(*n.OfStar(32349), (std::vector<std::string>{"Sirius", "Sirio"}));
    ASSERT_NE(n.OfDeepSky(869), nullptr);
    EXPECT_EQ(n.OfDeepSky(869)->front(), "Double Cluster");
    ASSERT_EQ(n.Places().size(), 1u);
    EXPECT_NEAR(n.Places()[0].Ra, 59.2667 * 3.14159265358979 / 180, 1e-9);
    EXPECT_EQ(n.Skipped, 7);
    EXPECT_EQ(why, "Names.txt: line 6: no catalogue number");
    EXPECT_EQ(n.OfStar(0), nullptr);
    // Records find their names through the Hipparcos numbers.
    n.Hip = {5, 32349};
    EXPECT_EQ(n.StarName(1), "Sirius");
    EXPECT_EQ(n.StarName(0), "");
    EXPECT_EQ(n.StarName(2), "");
    EXPECT_EQ(n.StarName(-1), "");
}

TEST(NameList, KeepsANameAsFarAsItIsValidText) {
    TNameList n;
    std::string why;
    // A stray byte, an overlong encoding, a surrogate, a control character,
    // a sequence cut by the end of the file.
    n.Parse(std::string("S\t1\tAl\xff" "dra\nS\t2\tB\xc0\xaf" "x\nS\t3\tC\xed\xa0\x80y\n"
                        "S\t4\tD\x01z\nS\t5\t\xe2\x82\nS\t6\tE\xce\xa3\xe2\x82"),
            why);
    EXPECT_EQ(n.OfStar(1)->front(), "Al");
    EXPECT_EQ(n.OfStar(2)->front(), "B");
    EXPECT_EQ(n.OfStar(3)->front(), "C");
    EXPECT_EQ(n.OfStar(4)->front(), "D");
    EXPECT_EQ(n.OfStar(5), nullptr); // nothing valid: no name
    EXPECT_EQ(n.OfStar(6)->front(), "E\xce\xa3");
    EXPECT_EQ(n.Skipped, 1);
    // A long name is cut to whole characters.
    std::string longName;
    for (int i = 0; i < 100; ++i)
        longName += "\xce\xa3"; // 200 bytes
    n.Parse("S\t7\t" + longName, why);
    const std::string& cut = n.OfStar(7)->front();
    EXPECT_EQ(cut.size(), TNameList::MaxName);
    EXPECT_EQ(TNameList::ValidPrefix(cut), cut);
}

TEST(NameList, WritesTheOldTablesNamesAsTheyAreWritten) {
    EXPECT_EQ(TNameList::Spelt("NorthAmerica nebula"), "North America Nebula");
    EXPECT_EQ(TNameList::Spelt("CanisMinor"), "Canis Minor");
    EXPECT_EQ(TNameList::Spelt("Cocoon mebula"), "Cocoon Nebula");
    EXPECT_EQ(TNameList::Spelt("Hubble's var nebula"), "Hubble's Variable Nebula");
    EXPECT_EQ(TNameList::Spelt("Cat's eye nebula"), "Cat's Eye Nebula");
    EXPECT_EQ(TNameList::Spelt("h Per"), "h Per");
    EXPECT_EQ(TNameList::Spelt("x(chi) Per"), "x(chi) Per");
    EXPECT_EQ(TNameList::Spelt("ComaBerenices"), "Coma Berenices");
}
