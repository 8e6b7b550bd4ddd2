// The MPC's one-line formats against lines written out by hand from its format
// descriptions ("Export Format for Minor-Planet Orbits" for MPCORB.DAT, "Export Format
// for Comet Orbits" for CometEls.txt), column by column.
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "minor/Minorlist.h"
#include "minor/Minorplace.h"
#include "minor/Mpcpacked.h"
#include "minor/Mpcreader.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// Columns: 1-7 designation, 9-13 H, 15-19 G, 21-25 epoch, 27-35 M, 38-46 peri, 49-57
// node, 60-68 incl, 71-79 e, 81-91 n, 93-103 a, ..., 167-194 readable designation.
const char* const kCeres =
    "00001    3.34  0.12 K2555 188.70269   73.27343   80.25221   10.58780  0.0794013  0.21424651 "
    "  2.7660512  0 E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (1) Ceres        "
    "           20241101";
const char* const kTilde =
    "~0000   17.91  0.15 K2555  12.34567  101.20000  200.30000    5.40000  0.1234567  0.26000000 "
    "  2.4300000  0 E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (620000) 2013 SY13"
    "4         20241101";
const char* const kYR4 =
    "K24Y04R 23.92  0.15 K2533  46.59843  134.36225  271.36710    3.40814  0.6616014  0.24671011 "
    "  2.5158012  0 E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 2024 YR4         "
    "           20241101";
const char* const kSurvey =
    "PLS2040 16.20  0.15 K2555 250.00000   10.00000   20.00000    8.00000  0.1500000  0.19000000 "
    "  3.0000000  0 E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 2040 P-L         "
    "           20241101";
const char* const kNoG =
    "A0345   15.10       K2555   1.00000    2.00000    3.00000    4.00000  0.0500000  0.25000000 "
    "  2.5000000  0 E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (100345) 2000 AB1 "
    "          20241101";

// Columns: 1-4 number, 5 type, 6-12 packed provisional, 15-18/20-21/23-29 perihelion
// year, month, day (TT), 31-39 q, 42-49 e, 52-59 peri, 62-69 node, 72-79 incl, 82-89
// epoch, 92-95 H, 97-100 the slope n, 103-158 name, 160-168 reference.
const char* const kHalley =
    "0001P         1986 02  9.4589  0.574761  0.967882  111.8623   59.0920  162.1921  20250621 "
    "  4.0  6.0  1P/Halley                                                MPC 75324";
const char* const kPonsBrooks =
    "0012P         2024 04 21.1437  0.780824  0.954599  198.9846  255.8557   74.1908  20240422 "
    "  5.0  4.0  12P/Pons-Brooks                                          MPC 75324";
const char* const kTsuchinshan =
    "    CK23A030  2024 09 27.7386  0.391423  1.000112  308.4916   21.5590  139.1111  20240917 "
    "  8.0  3.2  C/2023 A3 (Tsuchinshan-ATLAS)                            MPC 75324";
const char* const kBorisov =
    "0002I         2019 12  8.5505  2.006548  3.356633  209.1240  308.1510   44.0529  20191223 "
    " 11.0  4.0  2I/Borisov                                               MPC 75324";

const char* const kAsteroidHalley =
    "02688   12.70  0.15 K2555 300.00000  100.00000  150.00000    6.00000  0.1800000  0.20000000 "
    "  2.9000000  0 E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 (2688) Halley    "
    "           20241101";

TEST(MinorList, FindsBodiesByTheNamesObserversType) {
    char dir[] = "/tmp/quenlira-minorlist-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string d = dir;
    std::ofstream(d + "/MPCORB.DAT") << kAsteroidHalley << "\n" << kCeres << "\n" << kYR4 << "\n";
    std::ofstream(d + "/CometEls.txt") << kHalley << "\n" << kPonsBrooks << "\n" << kTsuchinshan << "\n";
    TMinorList list;
    list.AddFolder(d);
    list.AddFolder(d + "/none"); // missing: nothing, no error
    ASSERT_EQ(list.Bodies.size(), 6u);
    EXPECT_TRUE(list.Errors.empty());
    // Read through every body, then through the sorted names: the same answers.
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "every body" : "the index");
        if (pass == 1) list.BuildIndex();
        auto label = [&](const char* q) {
            const int k = list.Find(q);
            return k < 0 ? std::string("-") : list.Bodies[k].Label();
        };
        EXPECT_EQ(label("1 Ceres"), "(1) Ceres");
        EXPECT_EQ(label("(1) Ceres"), "(1) Ceres");
        EXPECT_EQ(label("ceres"), "(1) Ceres");
        EXPECT_EQ(label("2024 YR4"), "2024 YR4");
        EXPECT_EQ(label("2024yr4"), "2024 YR4");
        EXPECT_EQ(label("K24Y04R"), "2024 YR4");
        EXPECT_EQ(label("1P"), "1P/Halley");
        EXPECT_EQ(label("1P/Halley"), "1P/Halley");
        EXPECT_EQ(label("Halley"), "1P/Halley"); // the comet before (2688) Halley
        EXPECT_EQ(label("2688 Halley"), "(2688) Halley");
        EXPECT_EQ(label("C/2023 A3"), "C/2023 A3 (Tsuchinshan-ATLAS)");
        EXPECT_EQ(label("2023 A3"), "C/2023 A3 (Tsuchinshan-ATLAS)");
        EXPECT_EQ(label("Tsuchinshan-ATLAS"), "C/2023 A3 (Tsuchinshan-ATLAS)");
        EXPECT_EQ(label("12P/Pons-Brooks"), "12P/Pons-Brooks");
        EXPECT_EQ(label("12P"), "12P/Pons-Brooks");
        EXPECT_EQ(label("1"), "-");
        EXPECT_EQ(label("Cere"), "-");
        EXPECT_EQ(label(""), "-");
        auto suggested = [&](const char* q) {
            std::vector<std::string> out;
            for (int k : list.Suggest(q, 10)) out.push_back(list.Bodies[k].Label());
            std::sort(out.begin(), out.end());
            return out;
        };
        EXPECT_EQ(suggested("cer"), std::vector<std::string>{"(1) Ceres"});
        EXPECT_EQ(suggested("1 Cer"), std::vector<std::string>{"(1) Ceres"});
        EXPECT_EQ(suggested("12P/Pons"), std::vector<std::string>{"12P/Pons-Brooks"});
        EXPECT_EQ(suggested("hal"), (std::vector<std::string>{"(2688) Halley", "1P/Halley"}));
        EXPECT_EQ(suggested("2024 y"), std::vector<std::string>{"2024 YR4"});
        EXPECT_TRUE(suggested("xyz").empty());
    }
    std::filesystem::remove_all(d);
}

TEST(MpcPacked, NumbersDesignationsAndEpochs) {
    EXPECT_EQ(TMpcPacked::Number("00001"), 1);
    EXPECT_EQ(TMpcPacked::Number("99999"), 99999);
    EXPECT_EQ(TMpcPacked::Number("A0345"), 100345);
    EXPECT_EQ(TMpcPacked::Number("a0017"), 360017);
    EXPECT_EQ(TMpcPacked::Number("z9999"), 619999);
    EXPECT_EQ(TMpcPacked::Number("~0000"), 620000);
    EXPECT_EQ(TMpcPacked::Number("~000z"), 620061);
    EXPECT_EQ(TMpcPacked::Number("~AZaz"), 620000 + ((10 * 62 + 35) * 62 + 36) * 62 + 61);
    EXPECT_EQ(TMpcPacked::Number("0000 "), 0);
    EXPECT_EQ(TMpcPacked::Number("~00-0"), 0);
    EXPECT_EQ(TMpcPacked::Number("00000"), 0);

    EXPECT_EQ(TMpcPacked::Provisional("K24Y04R", false), "2024 YR4");
    EXPECT_EQ(TMpcPacked::Provisional("J95X00A", false), "1995 XA");
    EXPECT_EQ(TMpcPacked::Provisional("J98SA8Q", false), "1998 SQ108");
    EXPECT_EQ(TMpcPacked::Provisional("K07Tf8A", false), "2007 TA418");
    EXPECT_EQ(TMpcPacked::Provisional("I98U01B", false), "1898 UB1");
    EXPECT_EQ(TMpcPacked::Provisional("PLS2040", false), "2040 P-L");
    EXPECT_EQ(TMpcPacked::Provisional("T1S3138", false), "3138 T-1");
    EXPECT_EQ(TMpcPacked::Provisional("T3S4101", false), "4101 T-3");
    EXPECT_EQ(TMpcPacked::Provisional("K23A030", true), "2023 A3");
    EXPECT_EQ(TMpcPacked::Provisional("J94P01b", true), "1994 P1-B");
    EXPECT_EQ(TMpcPacked::Provisional("K19L02D", true), "2019 LD2");
    EXPECT_EQ(TMpcPacked::Provisional("K23A030", false), "");
    EXPECT_EQ(TMpcPacked::Provisional("K24I04R", false), ""); // no half-month I
    EXPECT_EQ(TMpcPacked::Provisional("K24Y0", false), "");

    int y, m, d;
    ASSERT_TRUE(TMpcPacked::Epoch("K205V", y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20200531);
    ASSERT_TRUE(TMpcPacked::Epoch("J9611", y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 19960101);
    ASSERT_TRUE(TMpcPacked::Epoch("K24CA", y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20241210);
    EXPECT_FALSE(TMpcPacked::Epoch("K24D1", y, m, d));
    EXPECT_FALSE(TMpcPacked::Epoch("K24CW", y, m, d));
    // 2000 January 1.5 is MJD 51544.5; 1858 November 17 is MJD 0.
    EXPECT_DOUBLE_EQ(TMpcPacked::Mjd(2000, 1, 1.5), 51544.5);
    EXPECT_DOUBLE_EQ(TMpcPacked::Mjd(1858, 11, 17.0), 0.0);
}

TEST(MpcReader, AsteroidLinesOfEachKind) {
    TMpcReader r;
    r.ParseText(std::string(kCeres) + "\n" + kTilde + "\r\n" + kYR4 + "\n" + kSurvey + "\n" + kNoG + "\n");
    ASSERT_EQ(r.Bodies.size(), 5u) << (r.Errors.empty() ? "" : r.Errors[0]);
    EXPECT_EQ(r.Skipped, 0u);
    const TMinorBody& c = r.Bodies[0];
    EXPECT_FALSE(c.Comet);
    EXPECT_EQ(c.Number, 1);
    EXPECT_EQ(c.Name, "Ceres");
    EXPECT_EQ(c.Label(), "(1) Ceres");
    EXPECT_DOUBLE_EQ(c.H, 3.34);
    EXPECT_DOUBLE_EQ(c.G, 0.12);
    EXPECT_DOUBLE_EQ(c.Epoch, TMpcPacked::Mjd(2025, 5, 5));
    EXPECT_NEAR(c.q, 2.7660512 * (1 - 0.0794013), 1e-12);
    EXPECT_NEAR(c.i, 10.58780 * kDeg, 1e-12);
    EXPECT_NEAR(c.Node, 80.25221 * kDeg, 1e-12);
    EXPECT_NEAR(c.Peri, 73.27343 * kDeg, 1e-12);
    // Perihelion lies M / n before the epoch (M = 188.7 is taken as -171.3).
    EXPECT_NEAR(c.T, c.Epoch - (188.70269 - 360.0) / 0.21424651, 0.05);

    EXPECT_EQ(r.Bodies[1].Number, 620000);
    EXPECT_EQ(r.Bodies[1].Designation, "2013 SY134");
    EXPECT_EQ(r.Bodies[1].Label(), "(620000) 2013 SY134");
    EXPECT_EQ(r.Bodies[2].Number, 0);
    EXPECT_EQ(r.Bodies[2].Designation, "2024 YR4");
    EXPECT_EQ(r.Bodies[2].Label(), "2024 YR4");
    EXPECT_DOUBLE_EQ(r.Bodies[2].Epoch, TMpcPacked::Mjd(2025, 3, 3));
    EXPECT_EQ(r.Bodies[3].Designation, "2040 P-L");
    // A blank G is the usual 0.15.
    EXPECT_EQ(r.Bodies[4].Number, 100345);
    EXPECT_TRUE(r.Bodies[4].HasMag);
    EXPECT_DOUBLE_EQ(r.Bodies[4].G, 0.15);
}

TEST(MpcReader, CometLinesAndTheirMagnitudeLaw) {
    TMpcReader r;
    r.ParseText(std::string(kHalley) + "\n" + kPonsBrooks + "\n" + kTsuchinshan + "\n" + kBorisov);
    ASSERT_EQ(r.Bodies.size(), 4u) << (r.Errors.empty() ? "" : r.Errors[0]);
    const TMinorBody& h = r.Bodies[0];
    EXPECT_TRUE(h.Comet);
    EXPECT_EQ(h.Number, 1);
    EXPECT_EQ(h.Designation, "1P");
    EXPECT_EQ(h.Name, "Halley");
    EXPECT_EQ(h.Label(), "1P/Halley");
    EXPECT_NEAR(h.T, TMpcPacked::Mjd(1986, 2, 9.4589), 1e-9);
    EXPECT_DOUBLE_EQ(h.q, 0.574761);
    EXPECT_DOUBLE_EQ(h.e, 0.967882);
    EXPECT_DOUBLE_EQ(h.Epoch, TMpcPacked::Mjd(2025, 6, 21));
    // The MPC writes m = H + 5 log delta + 2.5 n log r and gives H and n: "4.0 6.0" is the
    // classic 4.0 + 5 log delta + 15 log r of Halley, not an asteroid's H, G.
    EXPECT_DOUBLE_EQ(h.M1, 4.0);
    EXPECT_DOUBLE_EQ(h.K1, 15.0);
    EXPECT_NEAR(TMinorPlace::CometMag(h.M1, h.K1, 2.0, 1.5), 4.0 + 5 * 0.176091 + 15 * 0.301030, 1e-5);

    EXPECT_EQ(r.Bodies[1].Label(), "12P/Pons-Brooks");
    EXPECT_DOUBLE_EQ(r.Bodies[1].K1, 10.0);
    EXPECT_EQ(r.Bodies[2].Designation, "C/2023 A3");
    EXPECT_EQ(r.Bodies[2].Name, "Tsuchinshan-ATLAS");
    EXPECT_EQ(r.Bodies[2].Label(), "C/2023 A3 (Tsuchinshan-ATLAS)");
    EXPECT_DOUBLE_EQ(r.Bodies[2].e, 1.000112);
    EXPECT_DOUBLE_EQ(r.Bodies[2].K1, 8.0);
    EXPECT_EQ(r.Bodies[3].Designation, "2I");
    EXPECT_EQ(r.Bodies[3].Name, "Borisov");
}

TEST(MpcReader, AsteroidMagnitudeWorkedByHand) {
    // H = 3.34, G = 0.12, r = 2.5, delta = 1.6, alpha = 20 deg: tan 10 deg = 0.176327,
    // phi1 = exp(-3.33 x 0.176327^0.63) = 0.32758, phi2 = exp(-1.87 x 0.176327^1.22) =
    // 0.79842; -2.5 log(0.88 phi1 + 0.12 phi2) = 1.0389; 5 log 4 = 3.0103.
    EXPECT_NEAR(TMinorPlace::AsteroidMag(3.34, 0.12, 2.5, 1.6, 20 * kDeg), 7.389, 0.002);
    EXPECT_NEAR(TMinorPlace::AsteroidMag(3.34, 0.12, 1.0, 1.0, 0.0), 3.34, 1e-12);
}

TEST(MpcReader, MalformedLinesAreSkippedCountedAndNamed) {
    std::string text = "MINOR PLANET CENTER ORBIT DATABASE (MPCORB)\nheader text\n"
                       "-------------------------------------------\n";
    text += std::string(kCeres) + "\n\n";
    std::string bad = kCeres;
    bad[22] = 'X'; // an epoch month that does not exist
    text += bad + "\n";
    std::string badE = kCeres;
    badE.replace(70, 9, "1.5000000"); // an ellipse line with e > 1
    text += badE + "\n";
    text += std::string(kHalley).substr(0, 60) + "\n"; // cut short
    std::string noQ = kHalley;
    noQ.replace(30, 9, " -0.50000");
    text += noQ + "\n";
    text += std::string(5000, 'x') + "\n";
    text += std::string("\0\0\0", 3) + kBorisov + "\n";
    for (int k = 0; k < 20; ++k) text += "garbage line\n";
    text += kTsuchinshan;
    TMpcReader r;
    r.ParseText(text);
    ASSERT_EQ(r.Bodies.size(), 2u);
    EXPECT_EQ(r.Bodies[0].Name, "Ceres");
    EXPECT_EQ(r.Bodies[1].Name, "Tsuchinshan-ATLAS");
    EXPECT_EQ(r.Skipped, 26u);
    ASSERT_EQ(r.Errors.size(), TMpcReader::MaxErrors);
    EXPECT_EQ(r.Errors[0], "line 6: no epoch");
    EXPECT_EQ(r.Errors[1], "line 7: elements out of range");
}

TEST(MpcReader, FilesThatAreNoElementFilesAreRefused) {
    char dir[] = "/tmp/quenlira-minor-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string d = dir;
    {
        std::ofstream(d + "/CometEls.txt") << kHalley << "\n" << kBorisov << "\n";
    }
    TMpcReader r;
    std::string error;
    ASSERT_TRUE(r.ReadFile(d + "/CometEls.txt", error)) << error;
    EXPECT_EQ(r.Bodies.size(), 2u);

    ASSERT_EQ(mkfifo((d + "/fifo").c_str(), 0600), 0);
    TMpcReader f;
    EXPECT_FALSE(f.ReadFile(d + "/fifo", error));
    EXPECT_NE(error.find("FIFO"), std::string::npos) << error;
    ASSERT_EQ(symlink("/dev/zero", (d + "/zero").c_str()), 0);
    EXPECT_FALSE(f.ReadFile(d + "/zero", error));
    EXPECT_FALSE(error.empty());
    // A sparse file past the cap is refused from its size alone.
    {
        std::FILE* big = std::fopen((d + "/MPCORB.DAT").c_str(), "w");
        ASSERT_NE(big, nullptr);
        ASSERT_EQ(ftruncate(fileno(big), off_t(TMpcReader::MaxFileBytes) + 1), 0);
        std::fclose(big);
    }
    EXPECT_FALSE(f.ReadFile(d + "/MPCORB.DAT", error));
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
    EXPECT_FALSE(f.ReadFile(d + "/missing", error));
    EXPECT_TRUE(f.Bodies.empty());
    for (const char* n : {"/CometEls.txt", "/fifo", "/zero", "/MPCORB.DAT"}) unlink((d + n).c_str());
    rmdir(dir);
}

} // namespace
