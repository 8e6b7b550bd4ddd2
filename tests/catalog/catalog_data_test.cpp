// The shipped catalogue files, read through the catalogue classes and checked
// against published positions, classes and designations.
#include <cmath>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

namespace {

constexpr double kDeg = M_PI / 180.0;

double Separation(double ra1, double dec1, double ra2, double dec2) {
    double c =
        std::sin(dec1) * std::sin(dec2) + std::cos(dec1) * std::cos(dec2) * std::cos(ra1 - ra2);
    return std::acos(std::min(1.0, std::max(-1.0, c)));
}

const TStar& Stars() {
    static TStar s("Star.dat");
    return s;
}

const TNebula& Nebulae() {
    static TNebula n("Unsta.dat");
    return n;
}

// The catalogue record nearest a J2000 position given in degrees.
int NearestStar(double ra_deg, double dec_deg) {
    const TStar& s = Stars();
    int best = -1;
    double bd = 1e9;
    for (int i = 0; i < s.Count; ++i) {
        double d = Separation(s[i].ra, s[i].dec, ra_deg * kDeg, dec_deg * kDeg);
        if (d < bd) bd = d, best = i;
    }
    return best;
}

int RecordOf(int no) {
    const TNebula& n = Nebulae();
    for (int i = 0; i < n.Count; ++i)
        if (n[i].no == no) return i;
    return -1;
}

} // namespace

TEST(StarCatalogue, HoldsEveryHipparcosStar) {
    const TStar& s = Stars();
    ASSERT_TRUE(s.Error.empty()) << s.Error;
    EXPECT_EQ(s.Count, 118216);
    EXPECT_EQ(s.MagMax, 1378); // the faintest Hipparcos magnitude, 13.78
    int bright = 0;
    for (int i = 0; i < s.Count; ++i) {
        ASSERT_GE(s[i].con, 1);
        ASSERT_LE(s[i].con, 89);
        ASSERT_LT(s[i].mag, 9990);
        bright += s[i].mag <= 650;
    }
    EXPECT_EQ(bright, 8874); // stars to 6.5 mag
}

TEST(StarCatalogue, NamedStarsLieWhereTheyAre) {
    // J2000 positions from the KStars named-star catalogue (independent of the
    // Hipparcos compilation the file is built from); Castor from SIMBAD.
    struct Known {
        const char* name;
        double ra, dec; // degrees
        int mag;        // x100, within 0.2 mag (0.4 for the variables)
    };
    const Known known[37] = {
        {"Achernar", 24.4281, -57.2367, 46},    {"Alphard", 141.8969, -8.6586, 198},
        {"Alcor", 201.3064, 54.9880, 401},      {"Alcyone", 56.8711, 24.1052, 287},
        {"Aldebaran", 68.9800, 16.5098, 85},    {"Algol", 47.0422, 40.9557, 212},
        {"Albireo", 292.6804, 27.9597, 308},    {"Alphecca", 233.6716, 26.7149, 223},
        {"Altair", 297.6945, 8.8674, 77},       {"Antares", 247.3520, -26.4320, 109},
        {"Arcturus", 213.9181, 19.1873, -4},    {"Canopus", 95.9879, -52.6957, -72},
        {"Capella", 79.1721, 45.9990, 8},       {"Castor", 113.6496, 31.8883, 158},
        {"CorCaroli", 194.0077, 38.3183, 288},  {"Schedar", 10.1266, 56.5374, 224},
        {"Sirius", 101.2885, -16.7131, -146},   {"Spica", 201.2984, -11.1612, 98},
        {"Deneb", 310.3580, 45.2803, 125},      {"Denebola", 177.2662, 14.5723, 213},
        {"Dubhe", 165.9326, 61.7511, 179},      {"Thuban", 211.0976, 64.3758, 365},
        {"Hamal", 31.7929, 23.4628, 201},       {"Fomalhaut", 344.4118, -29.6218, 116},
        {"Procyon", 114.8272, 5.2275, 38},      {"Vega", 279.2341, 38.7830, 3},
        {"Betelgeuse", 88.7929, 7.4070, 50},    {"Bellatrix", 81.2828, 6.3497, 164},
        {"Polaris", 37.9462, 89.2641, 202},     {"Pollux", 116.3307, 28.0263, 114},
        {"Mira", 34.8366, -2.9777, 653},        {"Mizar", 200.9809, 54.9254, 227},
        {"RasAlgethi", 258.6619, 14.3904, 308}, {"RasAlhague", 263.7334, 12.5606, 208},
        {"Rastaban", 269.1516, 51.4890, 223},   {"Rigel", 78.6345, -8.2016, 18},
        {"Regulus", 152.0936, 11.9672, 135},
    };
    const TStar& s = Stars();
    ASSERT_EQ(s.NamedCount, 37);
    for (int i = 0; i < 37; ++i) {
        const TNamedStar& n = s.Named[i];
        const Known& k = known[i];
        ASSERT_STREQ(n.nameSci, k.name);
        ASSERT_GE(n.record, 0) << k.name;
        double sep = Separation(n.ra, n.dec, k.ra * kDeg, k.dec * kDeg);
        EXPECT_LT(sep / kDeg * 60, 1.0) << k.name << " is " << sep / kDeg * 60 << "' away";
        // The component the user means: the bright star, not a faint companion.
        const std::set<std::string> variable = {"Algol", "Antares", "Betelgeuse", "Mira",
                                                "RasAlgethi"};
        EXPECT_NEAR(s[n.record].mag, k.mag, variable.count(k.name) ? 40 : 20) << k.name;
        EXPECT_EQ(s[n.record].con, n.con) << k.name;
    }
}

TEST(StarCatalogue, SpectralClassesOfWellKnownStars) {
    // Classes from the MK types in the Bright Star Catalogue: 1 M, 2 K, 3 G,
    // 4 F, 5 A, 6 B, 7 O. Capella (G), Dubhe (K), Izar (K) and Almach (K) have
    // composite spectra whose companion's type is easily taken for theirs.
    const std::map<std::string, int> named = {
        {"Sirius", 5},   {"Arcturus", 2},   {"Vega", 5},       {"Capella", 3},    {"Rigel", 6},
        {"Procyon", 4},  {"Betelgeuse", 1}, {"Altair", 5},     {"Aldebaran", 2},  {"Antares", 1},
        {"Spica", 6},    {"Pollux", 2},     {"Fomalhaut", 5},  {"Deneb", 5},      {"Regulus", 6},
        {"Polaris", 4},  {"Mira", 1},       {"Dubhe", 2},      {"Alphard", 2},    {"Hamal", 2},
        {"Schedar", 2},  {"Bellatrix", 6},  {"Achernar", 6},   {"Alcyone", 6},    {"Algol", 6},
        {"Denebola", 5}, {"Mizar", 5},      {"RasAlgethi", 1}, {"RasAlhague", 5}, {"Rastaban", 2},
        {"Alphecca", 5}, {"Thuban", 5},     {"Albireo", 2},    {"Alcor", 5},
    };
    const TStar& s = Stars();
    for (const TNamedStar& n : s.Named) {
        auto it = named.find(n.nameSci);
        if (it == named.end()) continue;
        EXPECT_EQ(s[n.record].spect, it->second) << n.nameSci;
    }
    struct Other {
        const char* name;
        double ra, dec;
        int spect;
    } others[] = {
        {"zeta Oph (O9.5)", 249.2897, -10.5671, 7},
        {"Almach (K3)", 30.9748, 42.3297, 2},
        {"Izar (K0)", 221.2468, 27.0742, 2},
        {"Naos (O4)", 120.8961, -40.0031, 7},
        {"Mirfak (F5)", 51.0807, 49.8612, 4},
        {"Sun-like alpha Cen A (G2)", 219.9021, -60.8340, 3},
    };
    for (const Other& o : others) {
        int i = NearestStar(o.ra, o.dec);
        EXPECT_EQ(s[i].spect, o.spect) << o.name;
    }
}

TEST(StarCatalogue, ConstellationsFollowTheBoundaries) {
    const TStar& s = Stars();
    // Both sides of RA 0 and the south pole.
    EXPECT_EQ(s[NearestStar(2.0969, 29.0904)].con, 1);     // Alpheratz, And
    EXPECT_EQ(s[NearestStar(3.3090, 15.1836)].con, 62);    // Algenib, Peg
    EXPECT_EQ(s[NearestStar(2.2945, 59.1498)].con, 14);    // Caph, Cas
    EXPECT_EQ(s[NearestStar(317.1950, -88.9565)].con, 58); // sigma Oct
    EXPECT_EQ(s[NearestStar(236.0670, 6.4256)].con, 74);   // Unukalhai, Serpens head
    EXPECT_EQ(s[NearestStar(284.0549, 4.2036)].con, 89);   // theta Ser, Serpens tail
    EXPECT_EQ(s[NearestStar(263.0541, 86.5865)].con, 84);  // delta UMi near the pole
    EXPECT_EQ(s[NearestStar(135.1600, 41.7829)].con, 51);  // 10 UMa lies in Lynx
    EXPECT_EQ(s[NearestStar(135.1600, 41.7829)].flamsteed, 10);
}

TEST(DeepSkyCatalogue, EveryNumberOnceAndTheSpecialObjects) {
    const TNebula& n = Nebulae();
    ASSERT_TRUE(n.Error.empty()) << n.Error;
    EXPECT_GT(n.Count, 12000);
    EXPECT_LE(n.Count, 7840 + 5386 + 9);
    std::set<int> seen;
    for (int i = 0; i < n.Count; ++i) {
        int no = n[i].no;
        ASSERT_TRUE(seen.insert(no).second) << "number " << no << " twice";
        ASSERT_TRUE((no >= 1 && no <= 7840) || (no >= 10001 && no <= 15386) ||
                    (no >= 20000 && no <= 20008))
            << no;
        ASSERT_LE(n[i].type, 7);
        ASSERT_GE(n[i].con, 1);
        ASSERT_LE(n[i].con, 89);
        ASSERT_LE(std::fabs(n[i].dec), M_PI / 2);
        ASSERT_GE(n[i].major, n[i].minor) << no;
    }
    for (int no = 20000; no <= 20008; ++no)
        EXPECT_TRUE(seen.count(no)) << no;
    // NGC 2244, an empty entry in OpenNGC, carries the data of NGC 2239.
    int rosette = RecordOf(2244);
    ASSERT_GE(rosette, 0);
    EXPECT_GT(n[rosette].mag, 0);
    EXPECT_NEAR(n[rosette].major / kDeg * 60, 9.3, 0.1);

    // Sizes in radians, from published dimensions.
    int m31 = RecordOf(224);
    EXPECT_NEAR(n[m31].major / kDeg * 60, 190, 15);
    EXPECT_NEAR(n[m31].mag, 344, 50);
    int lmc = RecordOf(20000);
    EXPECT_NEAR(n[lmc].major / kDeg, 550 / 60.0, 0.1);
    EXPECT_EQ(n[lmc].con, 33);             // Dorado
    EXPECT_EQ(n[RecordOf(20003)].con, 78); // the Hyades in Taurus
    EXPECT_EQ(n[RecordOf(20004)].con, 24); // Melotte 111 in Coma
    EXPECT_EQ(n[RecordOf(20006)].con, 28); // the Coalsack in Crux
    EXPECT_EQ(n[RecordOf(20006)].type, 7);
}

TEST(DeepSkyCatalogue, MessierObjectsResolveToRecordsOfTheirKind) {
    // Kinds from the Messier catalogue: g galaxy, o open cluster or asterism,
    // c globular cluster, n bright nebula or remnant (with or without its
    // cluster), p planetary nebula.
    const char* kinds = "nccccooncc"
                        "occccnnocn"
                        "ocoooopcoc"
                        "gggooooooo"
                        "onnooooogo"
                        "goccccpggg"
                        "gcggggoccc"
                        "ccogcpgncc"
                        "gggggggggg"
                        "gcogggpggg"
                        "ggogggcggg";
    ASSERT_EQ(std::string(kinds).size(), 110u);
    const std::map<char, std::set<int>> allowed = {
        {'g', {1}}, {'o', {2}}, {'c', {3}}, {'n', {4, 6}}, {'p', {5}}};
    const TNebula& n = Nebulae();
    for (int m = 1; m <= 110; ++m) {
        int rec = n.EntryRecord[m];
        ASSERT_EQ(n.NameIndex[rec], m) << "M" << m << " has no record";
        EXPECT_EQ(n.GetMessier(rec), "M" + std::to_string(m));
        EXPECT_TRUE(allowed.at(kinds[m - 1]).count(n[rec].type))
            << "M" << m << " (" << n.GetCatalogNo(rec) << ") has type " << int(n[rec].type);
    }
    // Places of a few, J2000 from the SEDS Messier list, within 5'.
    struct Place {
        int m;
        double ra, dec;
    } places[] = {{1, 83.633, 22.015},  {13, 250.423, 36.461}, {31, 10.685, 41.269},
                  {42, 83.822, -5.391}, {57, 283.396, 33.029}, {104, 189.998, -11.623}};
    for (const Place& p : places) {
        int rec = n.EntryRecord[p.m];
        double sep = Separation(n[rec].ra, n[rec].dec, p.ra * kDeg, p.dec * kDeg);
        EXPECT_LT(sep / kDeg * 60, 5) << "M" << p.m;
    }
    EXPECT_EQ(n[n.EntryRecord[31]].con, 1);  // Andromeda
    EXPECT_EQ(n[n.EntryRecord[5]].con, 74);  // Serpens head
    EXPECT_EQ(n[n.EntryRecord[16]].con, 89); // Serpens tail
    EXPECT_EQ(n[n.EntryRecord[42]].con, 60); // Orion
}

TEST(DeepSkyCatalogue, OutlinesSurroundTheirObjects) {
    const TNebula& n = Nebulae();
    for (int k = 1; k <= TNebula::OutlineCount; ++k) {
        const TNebulaOutline& o = n.Outlines[k];
        int rec = RecordOf(o.no);
        ASSERT_GE(rec, 0) << "outline " << k << " has no record";
        EXPECT_EQ(n.OutlineIndex[rec], k);
        // The record of a shared list may be one of its parts; allow the
        // whole Pleiades or Orion nebula region.
        double reach = std::max(2.5 * n[rec].major, 1.5 * kDeg);
        for (int i = 0; i < o.count; ++i) {
            if (o.ra[i] == 10.0) continue;
            double sep = Separation(o.ra[i], o.dec[i], n[rec].ra, n[rec].dec);
            ASSERT_LT(sep, reach) << "outline " << k << " point " << i;
        }
    }
}

TEST(ConstellationFigures, SegmentEndsAreCatalogueStars) {
    const TStar& s = Stars();
    std::vector<int> bright;
    for (int i = 0; i < s.Count; ++i)
        if (s[i].mag < 750) bright.push_back(i);
    TConstellation c;
    EXPECT_EQ(c.LineCount, 743);
    int misses = 0;
    for (const TConstellationLine& l : c.Lines) {
        for (int end = 0; end < 2; ++end) {
            double ra = end ? l.ra2 : l.ra1, dec = end ? l.dec2 : l.dec1;
            double bd = 1e9;
            for (int i : bright)
                bd = std::min(bd, Separation(s[i].ra, s[i].dec, ra, dec));
            misses += bd / kDeg * 3600 > 2;
        }
    }
    EXPECT_EQ(misses, 0);
}
