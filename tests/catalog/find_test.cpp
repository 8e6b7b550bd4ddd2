// TFindIndex on small hand-made catalogues: how names fold, how suggestions
// rank, and that no query breaks it.
#include <gtest/gtest.h>

#include "Catalogfiles.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsfind.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

#include <memory>
#include <random>

namespace {

TStarRecord StarRec(int con, int bayer, int flam, int mag100, float ra = 1.5f, float dec = 0.1f) {
    TStarRecord r{};
    r.con = static_cast<std::uint8_t>(con);
    r.bayer = static_cast<std::uint16_t>(bayer);
    r.flamsteed = static_cast<std::uint16_t>(flam);
    r.mag = static_cast<std::int16_t>(mag100);
    r.ra = ra;
    r.dec = dec;
    r.spect = 1;
    return r;
}

TNebulaRecord NebRec(int no, int type, int mag100) {
    TNebulaRecord r{};
    r.no = static_cast<std::uint16_t>(no);
    r.ra = 2.0f;
    r.dec = 0.3f;
    r.mag = static_cast<std::int16_t>(mag100);
    r.con = 60;
    r.type = static_cast<std::uint8_t>(type);
    return r;
}

// Orion (row 60) and Canis Major (row 20) with a few stars, some deep-sky
// objects, and Hipparcos numbers for the stars.
class FindIndex : public ::testing::Test {
protected:
    void SetUp() override {
        starFile.Write(std::vector<TStarRecord>{
            StarRec(60, 100, 58, 45),  // 0 Betelgeuse, α Ori
            StarRec(60, 801, 41, 496), // 1 θ1 Ori
            StarRec(60, 802, 43, 495), // 2 θ2 Ori, a hundredth brighter
            StarRec(60, 0, 10, 465),   // 3 10 Ori
            StarRec(60, 0, 0, 900),    // 4 no designation
            StarRec(20, 100, 9, -144), // 5 Sirius
            StarRec(72, 100, 21, 106), // 6 Antares, α Sco
        });
        nebFile.Write(std::vector<TNebulaRecord>{
            NebRec(1952, 4, 840),  // 0 M1 Crab nebula
            NebRec(6720, 5, 880),  // 1 M57 Ring nebula
            NebRec(7000, 4, 400),  // 2 North America nebula
            NebRec(14606, 4, 0),   // 3 IC 4606, named "Antares" in the name table
            NebRec(10, 1, 1300),   // 4 NGC 10
            NebRec(100, 1, 1350),  // 5 NGC 100
            NebRec(1000, 1, 1400), // 6 NGC 1000
            NebRec(5457, 1, 790),  // 7 M101
        });
        star = std::make_unique<TStar>(starFile.Path());
        nebula = std::make_unique<TNebula>(nebFile.Path());
        ASSERT_EQ(star->Count, 7) << star->Error;
        ASSERT_EQ(nebula->Count, 8) << nebula->Error;
        hip = {27989, 26199, 26235, 2798, 279, 32349, 80763};
        markers = {{"Comet Halley 1986", 1.0, 0.2, 5},
                   {"Comet Halley 1986", 1.1, 0.2, 5},
                   {"My variable", 2.0, -0.1, 9}};
        index.Build(star.get(), nebula.get(), &con, hip, markers);
    }

    std::vector<std::string> Names(const std::string& q, int max = 12) const {
        std::vector<std::string> r;
        for (const TFindIndex::THit& h : index.Find(q, max))
            r.push_back(h.Name);
        return r;
    }

    TTempFile starFile{"find_star"}, nebFile{"find_neb"};
    std::unique_ptr<TStar> star;
    std::unique_ptr<TNebula> nebula;
    TConstellation con;
    std::vector<std::uint32_t> hip;
    std::vector<TFindIndex::TMarkerName> markers;
    TFindIndex index;
};

} // namespace

TEST(FindFold, CaseAccentsSpacingAndGreekDoNotMatter) {
    EXPECT_EQ(TFindIndex::Fold("NGC 7000"), "ngc7000");
    EXPECT_EQ(TFindIndex::Fold("ngc-7000"), "ngc7000");
    EXPECT_EQ(TFindIndex::Fold(" m  31 "), "m31");
    EXPECT_EQ(TFindIndex::Fold("\xEF\xBC\xAD\xEF\xBC\x93\xEF\xBC\x91"),
              "m31"); // full-width "Ｍ３１"
    EXPECT_EQ(TFindIndex::Fold("α Ori"), "alphaori");
    EXPECT_EQ(TFindIndex::Fold("Alpha-Orionis"), "alphaorionis");
    EXPECT_EQ(TFindIndex::Fold("α¹ CVn"), "alpha1cvn");
    // Sigma has three forms; omega is the last letter, rho the one before the gap.
    EXPECT_EQ(TFindIndex::Fold("Σσς"), "sigmasigmasigma");
    EXPECT_EQ(TFindIndex::Fold("ΩωΡρΤ"), "omegaomegarhorhotau");
    EXPECT_EQ(TFindIndex::Fold("Bode's galaxy"), "bodesgalaxy");
    EXPECT_EQ(TFindIndex::Fold("Bode’s"), "bodes");
    EXPECT_EQ(TFindIndex::Fold("Épsilon Łódź Straße Æ"), "epsilonlodzstrasse"
                                                         "a");
    EXPECT_EQ(TFindIndex::Fold("オリオン座"), "オリオン座");
    // Bytes that are no UTF-8 are dropped, not read past.
    EXPECT_EQ(TFindIndex::Fold("\xFF\xFEM\xC3 31\xE2\x82"), "m31");
    EXPECT_EQ(TFindIndex::Fold("\xC0\x80"), ""); // an over-long NUL
    EXPECT_EQ(TFindIndex::Fold(""), "");
    EXPECT_EQ(TFindIndex::Fold("  -_-  "), "");
}

TEST_F(FindIndex, DesignationsInEveryWriting) {
    for (const char* q :
         {"Betelgeuse", "betelg", "BETELGEUSE", "α Ori", "alf Ori", "alpha orionis", "Alpha Ori",
          "58 Ori", "58 Orionis", "HIP 27989", "hip27989", "ベテルギウス"}) {
        const auto hits = index.Find(q);
        ASSERT_FALSE(hits.empty()) << q;
        EXPECT_EQ(hits[0].Kind, TFindIndex::Star) << q;
        EXPECT_EQ(hits[0].Number, 0) << q;
    }
    const auto hits = index.Find("betelgeuse");
    EXPECT_EQ(hits[0].Name, "Betelgeuse");
    EXPECT_EQ(hits[0].Also, "α Ori, 58 Ori, HIP 27989");
    EXPECT_EQ(hits[0].KindText, "star");
    EXPECT_TRUE(hits[0].HasMag);
    EXPECT_NEAR(hits[0].Mag, 0.45, 1e-9);
    EXPECT_EQ(hits[0].Rank, TFindIndex::Exact);

    // Messier, NGC and IC in any case and spacing.
    for (const char* q :
         {"M1", "m 1", "messier 1", "NGC1952", "ngc 1952", "crab nebula", "かに星雲"})
        EXPECT_EQ(Names(q, 1), std::vector<std::string>{"M1 Crab Nebula"}) << q;
    EXPECT_EQ(Names("ic4606", 1), std::vector<std::string>{"IC 4606 Antares"});
    EXPECT_EQ(Names("north america", 1), std::vector<std::string>{"NGC 7000 North America Nebula"});

    // Constellations by abbreviation, Latin name, genitive, Japanese name.
    for (const char* q : {"Ori", "orion", "Orionis", "オリオン"}) {
        const auto c = index.Find(q, 1);
        ASSERT_EQ(c.size(), 1u) << q;
        EXPECT_EQ(c[0].Kind, TFindIndex::Constellation) << q;
        EXPECT_EQ(c[0].Number, 60) << q;
    }
    EXPECT_EQ(Names("ursa maj", 1), std::vector<std::string>{"Ursa Major"});
    EXPECT_EQ(Names("Canum Venaticorum", 1), std::vector<std::string>{"Canes Venatici"});
    EXPECT_EQ(Names("Serpens"), (std::vector<std::string>{"Serpens Caput", "Serpens Cauda"}));

    // The solar system, and the user's objects once each.
    const auto io = index.Find("io", 1);
    ASSERT_EQ(io.size(), 1u);
    EXPECT_EQ(io[0].Kind, TFindIndex::Satellite);
    EXPECT_EQ(io[0].Number, 11);
    EXPECT_FALSE(io[0].HasMag); // it changes: the window's to fill in
    EXPECT_EQ(index.Find("moon", 1)[0].Number, 9);
    EXPECT_EQ(index.Find("pluto", 1)[0].KindText, "dwarf planet");
    EXPECT_EQ(Names("halley"), std::vector<std::string>{"Comet Halley 1986"});
    EXPECT_EQ(index.Find("halley")[0].Kind, TFindIndex::Marker);
    EXPECT_EQ(index.Find("halley")[0].Number, 5);
}

TEST_F(FindIndex, ExactThenPrefixThenWordAndBrighterFirst) {
    // "m1": M1 exactly, then M101 (a prefix), then words... Messier before NGC.
    const auto m1 = index.Find("m1");
    ASSERT_GE(m1.size(), 2u);
    EXPECT_EQ(m1[0].Name, "M1 Crab Nebula");
    EXPECT_EQ(m1[0].Rank, TFindIndex::Exact);
    EXPECT_EQ(m1[1].Name, "M101 Pinwheel Galaxy");
    EXPECT_EQ(m1[1].Rank, TFindIndex::Prefix);

    // NGC 10 exactly, then NGC 100 and NGC 1000 as prefixes, brighter first.
    EXPECT_EQ(Names("ngc 10"), (std::vector<std::string>{"NGC 10", "NGC 100", "NGC 1000"}));

    // θ1 and θ2 Ori are both "theta Ori": the brighter first.
    const auto theta = index.Find("theta ori");
    ASSERT_EQ(theta.size(), 2u);
    EXPECT_EQ(theta[0].Number, 2);
    EXPECT_EQ(theta[1].Number, 1);
    EXPECT_EQ(index.Find("θ1 ori").size(), 1u);

    // A word inside a name: "ring" and "nebula" find it, after whole names.
    const auto ring = index.Find("ring");
    ASSERT_FALSE(ring.empty());
    EXPECT_EQ(ring[0].Name, "M57 Ring Nebula");
    EXPECT_EQ(ring[0].Rank, TFindIndex::Prefix); // its name is "Ring nebula"
    const auto america = index.Find("america");
    ASSERT_EQ(america.size(), 1u);
    EXPECT_EQ(america[0].Name, "NGC 7000 North America Nebula");
    EXPECT_EQ(america[0].Rank, TFindIndex::WordPrefix);
    const auto neb = index.Find("neb");
    for (std::size_t i = 1; i < neb.size(); ++i)
        EXPECT_LE(neb[i - 1].Rank, neb[i].Rank);

    // The planets rank before the stars and the stars before NGC numbers.
    EXPECT_EQ(Names("s", 3)[0], "Sun");
    EXPECT_EQ(Names("m", 1)[0], "Moon");

    // max bounds the list.
    EXPECT_EQ(index.Find("n", 2).size(), 2u);
    EXPECT_TRUE(index.Find("n", 0).empty());
}

TEST_F(FindIndex, SharedNamesShowEveryObjectWithItsKind) {
    const auto hits = index.Find("antares");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].Kind, TFindIndex::Star); // the brighter, and a named star
    EXPECT_EQ(hits[0].KindText, "star");
    EXPECT_EQ(hits[1].Kind, TFindIndex::DeepSky);
    EXPECT_EQ(hits[1].KindText, "nebula");
    EXPECT_FALSE(hits[1].HasMag);
}

TEST_F(FindIndex, HipparcosNumbersExactAndAsPrefixes) {
    const auto exact = index.Find("HIP 2798");
    ASSERT_EQ(exact.size(), 2u); // HIP 2798 itself, then HIP 27989 that it begins
    EXPECT_EQ(exact[0].Name, "HIP 2798");
    EXPECT_EQ(exact[0].Rank, TFindIndex::Exact);
    EXPECT_EQ(exact[0].Also, "10 Ori");
    EXPECT_EQ(exact[1].Name, "HIP 27989");
    EXPECT_EQ(exact[1].Also, "Betelgeuse, α Ori, 58 Ori");
    EXPECT_EQ(exact[1].Rank, TFindIndex::Prefix);

    const auto plain = index.Find("hip 279");
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[0].Name, "HIP 279"); // no designation at all
    EXPECT_EQ(plain[0].Also, "");
    EXPECT_NEAR(plain[0].Mag, 9.0, 1e-9);
    EXPECT_EQ(plain[1].Name, "HIP 27989"); // brighter than HIP 2798
    for (const char* q : {"hip 0279", "hip 999999", "hip 120417", "hip", "hip x", "hip 1e5"})
        EXPECT_TRUE(index.Find(q).empty()) << q;
}

TEST_F(FindIndex, AnyTextIsOnlyAQuery) {
    EXPECT_TRUE(index.Find("").empty());
    EXPECT_TRUE(index.Find("   ").empty());
    EXPECT_TRUE(index.Find("xyzzy").empty());
    EXPECT_TRUE(index.Find(std::string(1 << 20, 'a')).empty());
    EXPECT_TRUE(index.Find(std::string("betel\0geuse", 11)).size() <= 12);
    std::mt19937 rng(27);
    for (int n = 0; n < 2000; ++n) {
        std::string q(rng() % 40, '\0');
        for (char& c : q)
            c = static_cast<char>(rng());
        for (const auto& h : index.Find(q))
            EXPECT_FALSE(h.Name.empty());
    }
    // A near miss suggests the names it was near.
    EXPECT_EQ(index.Nearest("Betelgeose"), std::vector<std::string>{"Betelgeuse"});
    EXPECT_EQ(index.Nearest("ngc 7001").at(0), "NGC 7000 North America Nebula");
    EXPECT_TRUE(index.Nearest("qqqqqqqqqqqqqqqqq").empty());
}

TEST_F(FindIndex, MissingSourcesLeaveTheRest) {
    TFindIndex bodiesOnly;
    bodiesOnly.Build(nullptr, nullptr, nullptr, {}, {});
    EXPECT_EQ(bodiesOnly.EntryCount(), 14);
    EXPECT_EQ(bodiesOnly.Find("jup", 1).at(0).Number, 3);
    EXPECT_TRUE(bodiesOnly.Find("betelgeuse").empty());

    // Numbers that do not fit the stars are left out, the names stay.
    TFindIndex noHip;
    noHip.Build(star.get(), nebula.get(), &con, {1, 2}, {});
    EXPECT_TRUE(noHip.Find("hip 27989").empty());
    EXPECT_EQ(noHip.Find("betelgeuse").at(0).Also, "α Ori, 58 Ori");
}

TEST(FindHipFile, RefusesAFileThatDoesNotFit) {
    std::string why;
    const std::string two("\x01\x00\x00\x00\xE0\xD6\x01\x00", 8); // 1 and 120544
    EXPECT_TRUE(TFindIndex::ParseHipNumbers(two, 2, why).empty());
    EXPECT_NE(why.find("120544"), std::string::npos) << why;
    EXPECT_TRUE(TFindIndex::ParseHipNumbers(two.substr(0, 7), 2, why).empty());
    EXPECT_NE(why.find("7 bytes"), std::string::npos) << why;
    EXPECT_TRUE(TFindIndex::ParseHipNumbers(std::string(8, '\0'), 2, why).empty());
    EXPECT_FALSE(why.empty());
    const std::string high("\x01\x00\x00\x00\xA1\xD6\x01\x00", 8); // 1 and 120481
    EXPECT_TRUE(TFindIndex::ParseHipNumbers(high, 2, why).empty());
    const std::string ok("\x01\x00\x00\x00\x95\x6D\x00\x00", 8); // 1 and 28053
    const auto hip = TFindIndex::ParseHipNumbers(ok, 2, why);
    EXPECT_EQ(hip, (std::vector<std::uint32_t>{1, 28053})) << why;
    EXPECT_TRUE(why.empty());
    EXPECT_TRUE(TFindIndex::ReadHipNumbers("/nonexistent/Starhip.dat", 2, why).empty());
    EXPECT_NE(why.find("/nonexistent/Starhip.dat"), std::string::npos);
}
