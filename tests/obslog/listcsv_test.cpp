// Observing lists as CSV: written with sexagesimal places worked out by
// hand, read back, and read from the forms other programs write.
#include "obslog/Clslistcsv.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr double Deg = M_PI / 180;
}

TEST(ListCsv, WritesHeaderAndSexagesimalPlacesAndReadsThemBack) {
    std::vector<TListEntry> in(3);
    // M1: RA 5h34m31.94s = 83.633083 deg, Dec +22d00m52.2s.
    in[0].Object = {"M1", "GN", 83.633083 * Deg, (22 + 52.2 / 3600) * Deg, 8.4, "Tau", 4, 1};
    in[0].Note = "Crab, \"wait for dark\"";
    // South of the equator by less than a degree: the sign must survive.
    in[1].Object = {"NGC 7009", "PN", 316.0450 * Deg, -(11 + 21.8 / 60) * Deg, 8.0, "Aqr", 4, 2};
    in[1].Note = "two lines\nof note";
    in[2].Object = {"Mars", "planet", std::nullopt, std::nullopt, std::nullopt, "", 3, 2};
    const std::string csv = TListCsv::Write(in);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "name,RA,Dec,kind,magnitude,note\r");
    EXPECT_NE(csv.find("M1,05:34:31.9,+22:00:52,nebula,8.40,\"Crab, \"\"wait for dark\"\"\"\r\n"),
              std::string::npos)
        << csv;
    EXPECT_NE(
        csv.find("NGC 7009,21:04:10.8,-11:21:48,planetary nebula,8.00,\"two lines\nof note\"\r\n"),
        std::string::npos)
        << csv;
    EXPECT_NE(csv.find("Mars,,,planet,,\r\n"), std::string::npos) << csv;

    std::vector<TListEntry> out;
    std::string err;
    ASSERT_TRUE(TListCsv::Read(csv, out, err)) << err;
    ASSERT_EQ(out.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i].Object.Name, in[i].Object.Name);
        EXPECT_EQ(out[i].Object.Type, in[i].Object.Type);
        EXPECT_EQ(out[i].Note, in[i].Note);
        EXPECT_EQ(out[i].Position, i + 1);
    }
    // A tenth of a second of time and a second of arc.
    EXPECT_NEAR(*out[0].Object.Ra, *in[0].Object.Ra, 0.1 * 15 / 3600 * Deg);
    EXPECT_NEAR(*out[1].Object.Dec, *in[1].Object.Dec, 1.0 / 3600 * Deg);
    EXPECT_DOUBLE_EQ(*out[1].Object.Magnitude, 8.0);
    EXPECT_FALSE(out[2].Object.Ra.has_value());
}

TEST(ListCsv, ReadsOtherProgramsFormsAndRefusesWhatIsNoList) {
    std::vector<TListEntry> out;
    std::string err;
    // Columns in another order, extra columns, decimal degrees, a byte
    // order mark, the letters form of sexagesimal, a blank line.
    const std::string other = "\xEF\xBB\xBFNote;x,Dec,RA,Name,Kind,Magnitude,Catalog\n"
                              "first,-5.391,83.822,M42,Nebula,4,Messier\n\n"
                              "\"\",+41 16 09,0h42m44.3s,M31,galaxy,,\n";
    ASSERT_TRUE(TListCsv::Read(other, out, err)) << err;
    ASSERT_EQ(out.size(), 2u);
    EXPECT_DOUBLE_EQ(*out[0].Object.Ra, 83.822 * Deg);
    EXPECT_DOUBLE_EQ(*out[0].Object.Dec, -5.391 * Deg);
    EXPECT_EQ(out[0].Object.Type, "GN");
    EXPECT_EQ(out[0].Note, ""); // "Note;x" is no note column
    EXPECT_NEAR(*out[1].Object.Ra, (42 / 60.0 + 44.3 / 3600) * 15 * Deg, 1e-12);
    EXPECT_NEAR(*out[1].Object.Dec, (41 + 16 / 60.0 + 9 / 3600.0) * Deg, 1e-12);
    EXPECT_EQ(out[1].Object.Type, "GX");
    EXPECT_FALSE(out[1].Object.Magnitude.has_value());

    auto refused = [&](const std::string& text, const std::string& why) {
        err.clear();
        EXPECT_FALSE(TListCsv::Read(text, out, err)) << text;
        EXPECT_NE(err.find(why), std::string::npos) << err;
    };
    refused("RA,Dec\n1,2\n", "no \"name\" column");
    refused("name,RA,Dec\nM1,25:00:00,+10:00:00\n", "Line 2");
    refused("name,RA,Dec\nM1,05:00:00,+95:00:00\n", "not a place");
    refused("name,RA,Dec\nM1,05:00:00,+10:00:00\n,1,2\n", "Line 3: no name");
    refused("name,magnitude\nM1,bright\n", "not a number");
    refused("name,note\nM1,\"never closed\n", "quote is not closed");
    refused(std::string(TListCsv::MaxBytes + 1, 'x'), "larger than");
}
