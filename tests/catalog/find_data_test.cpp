// The name index over the real catalogues: well-known objects typed as an
// observer would type them must come first. The expected objects are written
// down from outside the program: Hipparcos numbers and J2000 places of the
// stars from the Hipparcos catalogue (ESA SP-1200) as the public star-name
// lists give them, Messier/NGC places from the SEDS Messier and NGC lists,
// rounded to the minute as a printed atlas writes them.
#include <gtest/gtest.h>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsfind.h"
#include "catalog/Clsnames.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;

double Hours(int h, double m) {
    return (h + m / 60.0) * 15.0 * kPi / 180.0;
}
double Degrees(int sign, int d, double m) {
    return sign * (d + m / 60.0) * kPi / 180.0;
}

double Separation(double ra1, double dec1, double ra2, double dec2) {
    const double c =
        std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(std::clamp(c, -1.0, 1.0)) * 180.0 / kPi;
}

struct TStarCase {
    const char* query;
    std::uint32_t hip;
    int rah;
    double ram;
    int sign, decd;
    double decm;
};

// Proper names as the tables write them, Bayer and Flamsteed designations in
// several writings, Hipparcos numbers.
const TStarCase kStars[] = {
    {"Sirius", 32349, 6, 45.15, -1, 16, 43.0},      {"Canopus", 30438, 6, 23.95, -1, 52, 41.7},
    {"Arcturus", 69673, 14, 15.66, 1, 19, 10.9},    {"Vega", 91262, 18, 36.93, 1, 38, 47.0},
    {"Capella", 24608, 5, 16.69, 1, 45, 59.9},      {"Rigel", 24436, 5, 14.54, -1, 8, 12.1},
    {"Procyon", 37279, 7, 39.30, 1, 5, 13.5},       {"Betelgeuse", 27989, 5, 55.17, 1, 7, 24.4},
    {"Achernar", 7588, 1, 37.71, -1, 57, 14.2},     {"Altair", 97649, 19, 50.78, 1, 8, 52.1},
    {"Aldebaran", 21421, 4, 35.92, 1, 16, 30.6},    {"Antares", 80763, 16, 29.41, -1, 26, 25.9},
    {"Spica", 65474, 13, 25.19, -1, 11, 9.7},       {"Pollux", 37826, 7, 45.32, 1, 28, 1.6},
    {"Fomalhaut", 113368, 22, 57.65, -1, 29, 37.3}, {"Deneb", 102098, 20, 41.43, 1, 45, 16.8},
    {"Regulus", 49669, 10, 8.37, 1, 11, 58.0},      {"Castor", 36850, 7, 34.60, 1, 31, 53.3},
    {"Polaris", 11767, 2, 31.81, 1, 89, 15.9},      {"Mizar", 65378, 13, 23.92, 1, 54, 55.5},
    {"Alcor", 65477, 13, 25.22, 1, 54, 59.3},       {"Albireo", 95947, 19, 30.71, 1, 27, 57.6},
    {"Algol", 14576, 3, 8.17, 1, 40, 57.3},         {"Mira", 10826, 2, 19.35, -1, 2, 58.6},
    {"Dubhe", 54061, 11, 3.73, 1, 61, 45.1},        {"Thuban", 68756, 14, 4.39, 1, 64, 22.6},
    {"Hamal", 9884, 2, 7.17, 1, 23, 27.8},          {"Alphard", 46390, 9, 27.59, -1, 8, 39.5},
    {"Denebola", 57632, 11, 49.06, 1, 14, 34.3},    {"Bellatrix", 25336, 5, 25.13, 1, 6, 20.9},
    {"Cor Caroli", 63125, 12, 56.03, 1, 38, 19.1},  {"Schedar", 3179, 0, 40.51, 1, 56, 32.2},
    {"Alphecca", 76267, 15, 34.71, 1, 26, 42.9},    {"Alcyone", 17702, 3, 47.49, 1, 24, 6.3},
    {"Ras Algethi", 84345, 17, 14.65, 1, 14, 23.4}, {"Ras Alhague", 86032, 17, 34.94, 1, 12, 33.6},
    {"alf Cen", 71683, 14, 39.61, -1, 60, 50.0},    {"beta Crucis", 62434, 12, 47.72, -1, 59, 41.3},
    {"γ Cas", 4427, 0, 56.71, 1, 60, 43.0},         {"delta Cep", 110991, 22, 29.17, 1, 58, 24.9},
    {"zet Ori", 26727, 5, 40.76, -1, 1, 56.6},      {"omicron Ceti", 10826, 2, 19.35, -1, 2, 58.6},
    {"beta Per", 14576, 3, 8.17, 1, 40, 57.3},      {"Alpha Orionis", 27989, 5, 55.17, 1, 7, 24.4},
    {"58 Ori", 27989, 5, 55.17, 1, 7, 24.4},        {"61 Cygni", 104214, 21, 6.91, 1, 38, 44.8},
    {"HIP 71681", 71681, 14, 39.59, -1, 60, 50.1},  {"hip 91262", 91262, 18, 36.93, 1, 38, 47.0},
};

struct TPlaceCase {
    const char* query;
    int rah;
    double ram;
    int sign, decd;
    double decm;
    double tolerance; // degrees: large objects are placed differently by each list
};

const TPlaceCase kDeepSky[] = {
    {"M1", 5, 34.5, 1, 22, 1, 0.3},
    {"Crab Nebula", 5, 34.5, 1, 22, 1, 0.3},
    {"M13", 16, 41.7, 1, 36, 28, 0.3},
    {"M31", 0, 42.7, 1, 41, 16, 0.3},
    {"Andromeda Galaxy", 0, 42.7, 1, 41, 16, 0.3},
    {"m 42", 5, 35.4, -1, 5, 27, 0.3},
    {"Orion Nebula", 5, 35.4, -1, 5, 27, 0.3},
    {"M45", 3, 47.0, 1, 24, 7, 0.5},
    {"Pleiades", 3, 47.0, 1, 24, 7, 0.5},
    {"Praesepe", 8, 40.1, 1, 19, 59, 0.5},
    {"Ring Nebula", 18, 53.6, 1, 33, 2, 0.3},
    {"Whirlpool", 13, 29.9, 1, 47, 12, 0.3},
    {"Sombrero", 12, 40.0, -1, 11, 37, 0.3},
    {"Dumbbell", 19, 59.6, 1, 22, 43, 0.3},
    {"M81", 9, 55.6, 1, 69, 4, 0.3},
    {"M82", 9, 55.8, 1, 69, 41, 0.3},
    {"M101", 14, 3.2, 1, 54, 21, 0.3},
    {"Lagoon", 18, 3.8, -1, 24, 23, 0.5},
    {"Trifid", 18, 2.6, -1, 23, 2, 0.5},
    {"eagle nebula", 18, 18.8, -1, 13, 47, 0.5},
    {"M17", 18, 20.8, -1, 16, 11, 0.5},
    {"M33", 1, 33.9, 1, 30, 39, 0.3},
    {"M87", 12, 30.8, 1, 12, 23, 0.3},
    {"owl nebula", 11, 14.8, 1, 55, 1, 0.3},
    {"M110", 0, 40.4, 1, 41, 41, 0.3},
    {"NGC 7000", 20, 58.8, 1, 44, 20, 1.0},
    {"ngc7000", 20, 58.8, 1, 44, 20, 1.0},
    {"North America", 20, 58.8, 1, 44, 20, 1.0},
    {"NGC 869", 2, 19.0, 1, 57, 9, 0.3},
    {"ngc 884", 2, 22.4, 1, 57, 7, 0.3},
    {"IC 434", 5, 41.0, -1, 2, 27, 0.5},
    {"Horsehead", 5, 41.0, -1, 2, 27, 0.5},
    {"Rosette", 6, 32.3, 1, 5, 3, 1.0},
    {"Omega Centauri", 13, 26.8, -1, 47, 29, 0.3},
    {"NGC 253", 0, 47.6, -1, 25, 17, 0.3},
    {"Cat's Eye", 17, 58.6, 1, 66, 38, 0.3},
    {"NGC 3242", 10, 24.8, -1, 18, 38, 0.3},
    {"NGC 2392", 7, 29.2, 1, 20, 55, 0.3},
    {"ic 1396", 21, 39.1, 1, 57, 30, 1.0},
    {"LMC", 5, 23.6, -1, 69, 45, 1.5},
    {"Small Magellanic Cloud", 0, 52.7, -1, 72, 50, 1.0},
    {"Hyades", 4, 27.0, 1, 16, 0, 1.5},
};

struct TConstellationCase {
    const char* query;
    const char* abbr;
};
const TConstellationCase kConstellations[] = {
    {"Orion", "Ori"}, {"ursa major", "UMa"}, {"Cygni", "Cyg"},      {"Canum Venaticorum", "CVn"},
    {"Crux", "Cru"},  {"sgr", "Sgr"},        {"Andromedae", "And"}, {"Cassiopeia", "Cas"},
};

struct TBodyCase {
    const char* query;
    int kind, number; // the body index of the solar-system lists
};
const TBodyCase kBodies[] = {
    {"Sun", TFindIndex::Body, 8},
    {"moon", TFindIndex::Body, 9},
    {"Mercury", TFindIndex::Body, 0},
    {"venus", TFindIndex::Body, 1},
    {"Mars", TFindIndex::Body, 2},
    {"Jupiter", TFindIndex::Body, 3},
    {"saturn", TFindIndex::Body, 4},
    {"Uranus", TFindIndex::Body, 5},
    {"Neptune", TFindIndex::Body, 6},
    {"Pluto", TFindIndex::Body, 7},
    {"Io", TFindIndex::Satellite, 11},
    {"Europa", TFindIndex::Satellite, 12},
    {"Ganymede", TFindIndex::Satellite, 13},
    {"callisto", TFindIndex::Satellite, 14},
};

class RealCatalogues : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        star = new TStar("Star.dat");
        nebula = new TNebula("Unsta.dat");
        con = new TConstellation();
        std::string why;
        hip = TFindIndex::ReadHipNumbers("Starhip.dat", star->Count, why);
        EXPECT_TRUE(names.Read(TNameList::FileName, why)) << why;
        EXPECT_EQ(names.Skipped, 0) << why;
        index = new TFindIndex();
        index->Build(star, nebula, con, hip, {}, &names);
    }
    static void TearDownTestSuite() {
        delete index;
        delete con;
        delete nebula;
        delete star;
    }
    static inline TStar* star = nullptr;
    static inline TNebula* nebula = nullptr;
    static inline TConstellation* con = nullptr;
    static inline std::vector<std::uint32_t> hip;
    static inline TNameList names;
    static inline TFindIndex* index = nullptr;
};

} // namespace

// The IAU names an observer misses first, and the nicknames of stars: Hipparcos
// numbers and places from the Hipparcos catalogue as the WGSN list prints them.
const TStarCase kIauStars[] = {
    {"Mimosa", 62434, 12, 47.72, -1, 59, 41.3},        {"Alnitak", 26727, 5, 40.76, -1, 1, 56.6},
    {"Alnilam", 26311, 5, 36.21, -1, 1, 12.1},         {"Mintaka", 25930, 5, 32.01, -1, 0, 17.9},
    {"Saiph", 27366, 5, 47.75, -1, 9, 40.2},           {"Acrux", 60718, 12, 26.59, -1, 63, 5.9},
    {"Gacrux", 61084, 12, 31.16, -1, 57, 6.8},         {"Hadar", 68702, 14, 3.82, -1, 60, 22.4},
    {"Rigil Kentaurus", 71683, 14, 39.61, -1, 60, 50.0}, {"Alkaid", 67301, 13, 47.54, 1, 49, 18.8},
    {"Elnath", 25428, 5, 26.29, 1, 28, 36.5},          {"Alpheratz", 677, 0, 8.39, 1, 29, 5.4},
    {"Almach", 9640, 2, 3.90, 1, 42, 19.8},            {"Shaula", 85927, 17, 33.61, -1, 37, 6.2},
    {"Kochab", 72607, 14, 50.71, 1, 74, 9.3},          {"Izar", 72105, 14, 44.99, 1, 27, 4.5},
    {"Sadr", 100453, 20, 22.23, 1, 40, 15.4},          {"Enif", 107315, 21, 44.19, 1, 9, 52.5},
    {"Markab", 113963, 23, 4.76, 1, 15, 12.3},         {"Nunki", 92855, 18, 55.27, -1, 26, 17.8},
    {"Kaus Australis", 90185, 18, 24.17, -1, 34, 23.1}, {"Wezen", 34444, 7, 8.39, -1, 26, 23.6},
    {"Adhara", 33579, 6, 58.63, -1, 28, 58.3},         {"Alhena", 31681, 6, 37.71, 1, 16, 23.9},
    {"Garnet Star", 107259, 21, 43.50, 1, 58, 46.8},   {"Double Double", 91919, 18, 44.34, 1, 39, 40.2},
    // Names in other languages: Greek and Japanese writings of Sirius.
    {"Σείριος", 32349, 6, 45.15, -1, 16, 43.0},        {"シリウス", 32349, 6, 45.15, -1, 16, 43.0},
};

TEST_F(RealCatalogues, IauStarNamesComeFirst) {
    for (const TStarCase& c : kIauStars) {
        const auto hits = index->Find(c.query);
        ASSERT_FALSE(hits.empty()) << c.query;
        const auto& h = hits[0];
        ASSERT_EQ(h.Kind, TFindIndex::Star) << c.query << " gave " << h.Name;
        EXPECT_EQ(hip[h.Number], c.hip) << c.query << " gave " << h.Name;
        const double sep =
            Separation(h.Ra, h.Dec, Hours(c.rah, c.ram), Degrees(c.sign, c.decd, c.decm));
        EXPECT_LT(sep, 0.05) << c.query;
    }
}

struct TNickCase {
    const char* query;
    int within; // the place among the suggestions: 1 unless several objects share the name
    int rah;
    double ram;
    int sign, decd;
    double decm;
    double tolerance;
};

// Common names of deep-sky objects and asterisms, places from the SEDS
// Messier and NGC lists (Cr 399 and Kemble's Cascade from their discoverers'
// and the observing guides' places).
const TNickCase kNicknames[] = {
    // The Double Cluster is two clusters: either may come first.
    {"Double Cluster", 2, 2, 20.5, 1, 57, 8, 0.5},
    {"h Persei", 1, 2, 19.0, 1, 57, 9, 0.3},
    {"47 Tuc", 1, 0, 24.1, -1, 72, 5, 0.3},
    {"Beehive", 1, 8, 40.1, 1, 19, 59, 0.5},
    {"Hercules Cluster", 1, 16, 41.7, 1, 36, 28, 0.3},
    {"Triangulum Galaxy", 1, 1, 33.9, 1, 30, 39, 0.3},
    {"Helix", 1, 22, 29.6, -1, 20, 50, 0.3},
    {"Eskimo", 1, 7, 29.2, 1, 20, 55, 0.3},
    {"Jewel Box", 1, 12, 53.6, -1, 60, 20, 0.3},
    {"Kemble's Cascade", 1, 3, 57.1, 1, 63, 4, 0.5},
    // Three galaxies make the triplet: M65, M66 and NGC 3628, within 0.4 deg.
    {"Leo Triplet", 3, 11, 19.2, 1, 13, 20, 0.5},
    {"Coathanger", 1, 19, 25.4, 1, 20, 11, 0.5},
    {"Saturn Nebula", 1, 21, 4.2, -1, 11, 22, 0.3},
    {"Cone", 1, 6, 41.1, 1, 9, 53, 0.5},
    {"Sculptor Galaxy", 1, 0, 47.6, -1, 25, 17, 0.3},
    {"Swan", 1, 18, 20.8, -1, 16, 11, 0.5},
    {"Christmas Tree", 1, 6, 41.1, 1, 9, 53, 0.5},
    {"North America Nebula", 1, 20, 58.8, 1, 44, 20, 1.0},
};

TEST_F(RealCatalogues, CommonDeepSkyNamesComeFirst) {
    for (const TNickCase& c : kNicknames) {
        const auto hits = index->Find(c.query, 3);
        ASSERT_FALSE(hits.empty()) << c.query;
        bool found = false;
        for (int k = 0; k < c.within && k < static_cast<int>(hits.size()); ++k) {
            const auto& h = hits[k];
            ASSERT_TRUE(h.Kind == TFindIndex::DeepSky || h.Kind == TFindIndex::Asterism)
                << c.query << " gave " << h.Name;
            const double sep =
                Separation(h.Ra, h.Dec, Hours(c.rah, c.ram), Degrees(c.sign, c.decd, c.decm));
            EXPECT_LT(sep, c.tolerance) << c.query << " gave " << h.Name;
            found = true;
        }
        EXPECT_TRUE(found) << c.query;
    }
}

TEST_F(RealCatalogues, WellKnownStarsComeFirst) {
    ASSERT_GT(star->Count, 100000) << star->Error;
    ASSERT_EQ(static_cast<int>(hip.size()), star->Count);
    for (const TStarCase& c : kStars) {
        const auto hits = index->Find(c.query);
        ASSERT_FALSE(hits.empty()) << c.query;
        const auto& h = hits[0];
        ASSERT_EQ(h.Kind, TFindIndex::Star) << c.query << " gave " << h.Name;
        EXPECT_EQ(hip[h.Number], c.hip) << c.query << " gave " << h.Name;
        const double sep =
            Separation(h.Ra, h.Dec, Hours(c.rah, c.ram), Degrees(c.sign, c.decd, c.decm));
        EXPECT_LT(sep, 0.05) << c.query;
    }
}

TEST_F(RealCatalogues, WellKnownDeepSkyObjectsComeFirst) {
    ASSERT_GT(nebula->Count, 10000) << nebula->Error;
    for (const TPlaceCase& c : kDeepSky) {
        const auto hits = index->Find(c.query);
        ASSERT_FALSE(hits.empty()) << c.query;
        const auto& h = hits[0];
        EXPECT_EQ(h.Kind, TFindIndex::DeepSky) << c.query << " gave " << h.Name;
        const double sep =
            Separation(h.Ra, h.Dec, Hours(c.rah, c.ram), Degrees(c.sign, c.decd, c.decm));
        EXPECT_LT(sep, c.tolerance) << c.query << " gave " << h.Name;
    }
}

TEST_F(RealCatalogues, ConstellationsAndBodiesComeFirst) {
    for (const TConstellationCase& c : kConstellations) {
        const auto hits = index->Find(c.query, 1);
        ASSERT_EQ(hits.size(), 1u) << c.query;
        EXPECT_EQ(hits[0].Kind, TFindIndex::Constellation) << c.query << " gave " << hits[0].Name;
        EXPECT_EQ(hits[0].Also, c.abbr) << c.query;
    }
    for (const TBodyCase& c : kBodies) {
        const auto hits = index->Find(c.query, 1);
        ASSERT_EQ(hits.size(), 1u) << c.query;
        EXPECT_EQ(hits[0].Kind, c.kind) << c.query;
        EXPECT_EQ(hits[0].Number, c.number) << c.query;
    }
}

TEST_F(RealCatalogues, TypingAsItGoes) {
    // The keystrokes of the window's example, and a Messier number before the
    // NGC numbers it begins.
    EXPECT_EQ(index->Find("betelg", 1).at(0).Name, "Betelgeuse");
    EXPECT_EQ(index->Find("m3", 2).at(0).Name, "M3");
    EXPECT_EQ(index->Find("m3", 2).at(0).Rank, TFindIndex::Exact);
    const auto n = index->Find("n", 12);
    ASSERT_EQ(n.size(), 12u);
    EXPECT_EQ(n[0].Name, "Neptune");
    // Names that begin so before the designations that do ("alpha CMa"):
    // Altair is the brightest star whose name begins with "Al".
    EXPECT_EQ(index->Find("al", 1).at(0).Name, "Altair");
    // Bright Bayer stars of Orion before the faint ones.
    const auto ori = index->Find("ori", 12);
    ASSERT_FALSE(ori.empty());
    EXPECT_EQ(ori[0].Kind, TFindIndex::Constellation);
    EXPECT_LT(index->MemoryBytes(), 10u << 20);
}
