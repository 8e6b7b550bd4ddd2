// The receiving side: command files written by the commander's own writer read
// back to the view they carry, the order and choice of files in a folder, and
// files that must be refused. Angles come from degrees, minutes and seconds
// worked out by hand.
#include "party/Partycommand.h"
#include "party/Partydiskfolder.h"
#include "party/Partyreader.h"
#include "party/Partysettings.h"
#include "Tempfolder.h"
#include "Partytest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;
// Half the last written digit: 0.05 s of time, 0.05 arc seconds.
constexpr double kRaTol = 0.05 / 3600 * 15 * kPi / 180;
constexpr double kDecTol = 0.05 / 3600 * kPi / 180;

double HmsRad(int h, int m, double s) {
    return (h + m / 60.0 + s / 3600.0) * 15.0 * kPi / 180.0;
}
double DmsRad(int sign, int d, int m, double s) {
    return sign * (d + m / 60.0 + s / 3600.0) * kPi / 180.0;
}

void ExpectSameView(const TPartyView& a, const TPartyView& b) {
    EXPECT_NEAR(a.Ra, b.Ra, kRaTol);
    EXPECT_NEAR(a.Dec, b.Dec, kDecTol);
    EXPECT_EQ(a.ObjKind, b.ObjKind);
    EXPECT_EQ(a.ObjNo, b.ObjNo);
    EXPECT_EQ(a.Scale, b.Scale);
    EXPECT_EQ(a.AutoDrive, b.AutoDrive);
    if (a.AutoDrive == 0) {
        EXPECT_EQ(a.Year, b.Year);
        EXPECT_EQ(a.Month, b.Month);
        EXPECT_EQ(a.Day, b.Day);
        EXPECT_EQ(a.Hour, b.Hour);
        EXPECT_EQ(a.Minute, b.Minute);
    }
    EXPECT_EQ(a.Sens, b.Sens);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(a.Disp[k], b.Disp[k]) << k;
}

class ReaderFolder : public TTempFolder {
protected:
    void SetUp() override {
        TTempFolder::SetUp();
        folder = dir.string() + "/";
    }
    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string folder;
};

} // namespace

// Sync in stepped time and in auto drive, goto and stop, each written by the
// commander and read back by the receiver, in the order they were sent: eleven
// commands within one second (the last with sequence 10) and one in the next.
TEST_F(ReaderFolder, CommanderFilesReadBackInTheOrderSent) {
    TPartyView stepped;
    stepped.Ra = HmsRad(5, 35, 17.3);
    stepped.Dec = DmsRad(-1, 5, 23, 28.4);
    stepped.ObjKind = 4, stepped.ObjNo = 41, stepped.Scale = 1500, stepped.AutoDrive = 0;
    stepped.Year = 2001, stepped.Month = 5, stepped.Day = 9, stepped.Hour = 21;
    stepped.Minute = 30, stepped.Sens = -3;
    const int disp[8] = {0, 1, 1, 0, 1, 1, 0, 1};
    std::copy(disp, disp + 8, stepped.Disp);
    TPartyView now;
    now.Ra = HmsRad(23, 59, 59.96); // written 24h00m00.0s
    now.Dec = DmsRad(1, 41, 16, 9.0);
    now.ObjKind = 3, now.ObjNo = 9, now.Scale = 1200000, now.AutoDrive = 1, now.Sens = 5;

    TPartyCommand writer;
    const std::int64_t t0 = LocalMs(2001, 5, 9, 21, 30, 45);
    std::vector<std::vector<std::string>> sent;
    for (int k = 0; k < 11; ++k) {
        std::vector<std::string> lines = k % 4 == 0   ? TPartyCommand::SyncLines(stepped)
                                         : k % 4 == 1 ? TPartyCommand::GotoLines(stepped)
                                         : k % 4 == 2 ? TPartyCommand::SyncLines(now)
                                                      : TPartyCommand::StopLines();
        std::string why, path;
        ASSERT_TRUE(writer.Create(folder, "S000123", t0, lines, path, why)) << why;
        sent.push_back(lines);
    }
    std::string why, path;
    ASSERT_TRUE(writer.Create(folder, "S000123", t0 + 1000, TPartyCommand::StopLines(), path, why));
    // Other stations' files and what is not a command file at all.
    ASSERT_TRUE(writer.Create(folder, "S00012", t0 + 1000, TPartyCommand::StopLines(), path, why));
    Put("S000123-2001050921304501.pty", "STOP\r\n"); // a leading zero: not the writer's
    Put("S000123-200105092130450.PTY", "STOP\r\n");
    Put("S000123-20010509213045.pty", "STOP\r\n"); // no sequence number
    Put("xS000123-200105092130450.pty", "STOP\r\n");
    fs::create_directory(dir / "S000123-200105092130459.pty.d");
    fs::create_directory(dir / "S000123-200105092130470.pty");

    // The receiver's own picking and ordering of names.
    TPartyDiskFolder disk(folder);
    std::vector<std::string> names;
    ASSERT_TRUE(disk.List(names, why)) << why;
    std::vector<std::pair<TPartyStamp, std::string>> all;
    for (const std::string& name : names) {
        TPartyStamp at;
        if (TPartyReader::ParseName(name, "S000123", at)) all.push_back({at, name});
    }
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), 13u); // the folder named like a file is refused when read
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(all[k].second, "S000123-20010509213045" + std::to_string(k) + ".pty");
        EXPECT_EQ(all[k].first.Seq, static_cast<unsigned>(k));
        std::string bytes;
        ASSERT_TRUE(disk.Read(all[k].second, TPartyReader::kMaxBytes, bytes, why)) << why;
        TPartyOrder order;
        ASSERT_TRUE(TPartyReader::Parse(bytes, order, why)) << k << ": " << why;
        if (k % 4 == 0) {
            EXPECT_EQ(order.Kind, TPartyOrder::Sync);
            ExpectSameView(order.View, stepped);
        } else if (k % 4 == 1) {
            EXPECT_EQ(order.Kind, TPartyOrder::Goto);
            EXPECT_EQ(order.View.ObjKind, 4);
            EXPECT_EQ(order.View.ObjNo, 41);
        } else if (k % 4 == 2) {
            EXPECT_EQ(order.Kind, TPartyOrder::Sync);
            EXPECT_NEAR(order.View.Ra, 0.0, kRaTol); // 24h wraps to 0h
            order.View.Ra = now.Ra;
            ExpectSameView(order.View, now);
        } else {
            EXPECT_EQ(order.Kind, TPartyOrder::Stop);
        }
    }
    EXPECT_EQ(all[11].second, "S000123-200105092130460.pty");
    std::string bytes;
    EXPECT_FALSE(disk.Read(all[12].second, TPartyReader::kMaxBytes, bytes, why));
    EXPECT_EQ(why, "a folder, not a regular file");

    TPartyDiskFolder missing(folder + "none/");
    EXPECT_FALSE(missing.List(names, why));
    EXPECT_FALSE(why.empty());
}

// The example sync file of the file format, taken apart by hand.
TEST(PartyReader, ExampleSyncFileGivesTheHandWorkedView) {
    const std::string file = "CENTER , 05h35m17.3s , -5.23m28.4s\r\nOBJECT , 4 , 41\r\n"
                             "SCALE , 1500\r\nTIME , 2001/05/09 , 21:30:00\r\nSENS , 0\r\n"
                             "DISP01 , ON\r\nDISP02 , ON\r\nDISP03 , OFF\r\nDISP04 , OFF\r\n"
                             "DISP05 , ON\r\nDISP06 , OFF\r\nDISP07 , ON\r\nDISP08 , ON\r\n";
    TPartyOrder o;
    std::string why;
    ASSERT_TRUE(TPartyReader::Parse(file, o, why)) << why;
    EXPECT_EQ(o.Kind, TPartyOrder::Sync);
    EXPECT_NEAR(o.View.Ra, 83.82208333333 * kPi / 180, 1e-12); // 5.5881389 h
    EXPECT_NEAR(o.View.Dec, -5.39122222222 * kPi / 180, 1e-12);
    EXPECT_EQ(o.View.Scale, 1500);
    EXPECT_EQ(o.View.AutoDrive, 0);
    EXPECT_EQ(o.View.Year * 10000 + o.View.Month * 100 + o.View.Day, 20010509);
    EXPECT_EQ(o.View.Hour * 100 + o.View.Minute, 2130);
    const int disp[8] = {1, 1, 0, 0, 1, 0, 1, 1};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(o.View.Disp[k], disp[k]);
    // A positive declination has a blank for its sign; LF-only lines are read too.
    double dec = 0;
    ASSERT_TRUE(TPartyReader::ParseDec(" 41.16m09.0s", dec));
    EXPECT_NEAR(dec, (41 + 16 / 60.0 + 9 / 3600.0) * kPi / 180, 1e-12);
    ASSERT_TRUE(TPartyReader::ParseDec("-0.30m00.0s", dec));
    EXPECT_NEAR(dec, -0.5 * kPi / 180, 1e-12);
    ASSERT_TRUE(TPartyReader::Parse("OBJECT , 2 , 0\nGOTO\n", o, why)) << why;
    EXPECT_EQ(o.Kind, TPartyOrder::Goto);
    // A Julian leap day, as the clock steps to it.
    std::string julian = file;
    julian.replace(julian.find("2001/05/09"), 10, "1500/02/29");
    ASSERT_TRUE(TPartyReader::Parse(julian, o, why)) << why;
    EXPECT_EQ(o.View.Year * 10000 + o.View.Month * 100 + o.View.Day, 15000229);
}

// Every kind of damage is refused with a reason that names it.
TEST(PartyReader, MalformedFilesAreRefusedWithTheReason) {
    const std::string good = "CENTER , 05h35m17.3s , -5.23m28.4s\r\nOBJECT , 4 , 41\r\n"
                             "SCALE , 1500\r\nTIME , NOW\r\nSENS , 0\r\n"
                             "DISP01 , ON\r\nDISP02 , ON\r\nDISP03 , OFF\r\nDISP04 , OFF\r\n"
                             "DISP05 , ON\r\nDISP06 , OFF\r\nDISP07 , ON\r\nDISP08 , ON\r\n";
    auto with = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    struct Case {
        std::string bytes, reason;
    } cases[] = {
        {with("SCALE , 1500", "SCALE , 15x0"), "line 3: bad number"},
        {with("SCALE , 1500", "SCALE , 200"), "out of range"},
        {with("SENS , 0", "SENS , 6"), "out of range"},
        {with("SENS , 0", "SENS , "), "line 5: bad number"},
        {with("OBJECT , 4 , 41", "OBJECT , 4 , 4.1"), "bad number"},
        {with("05h35m17.3s", "05h65m17.3s"), "bad right ascension"},
        {with("-5.23m28.4s", "-91.00m00.0s"), "bad declination"},
        {with("TIME , NOW", "TIME , 2001/02/29 , 21:30:00"), "bad date"},
        {with("TIME , NOW", "TIME , 1582/10/10 , 21:30:00"), "bad date"},
        {with("TIME , NOW", "TIME , 1700/02/29 , 21:30:00"), "bad date"},
        {with("TIME , NOW", "TIME , 2001/13/01 , 21:30:00"), "the month"},
        {with("TIME , NOW", "TIME , 2001/05/09 , 24:00:00"), "the hour"},
        {with("TIME , NOW", "TIME , LATER"), "neither NOW"},
        {with("DISP03 , OFF", "DISP03 , MAYBE"), "DISP03 is neither ON nor OFF"},
        {with("DISP03 , OFF", "DISP09 , OFF"), "line 8: unknown keyword \"DISP09\""},
        {"JUMP , 1\r\n", "line 1: unknown keyword \"JUMP\""},
        {"\r\n", "unknown keyword"},
        {good.substr(0, good.find("SENS")), "line 5: missing"},
        {good.substr(0, good.size() - 2), "no line end (truncated)"},
        {"", "empty"},
        {"OBJECT , 4 , 41\r\n", "line 2: missing, GOTO expected"},
        {"STOP\r\nSTOP\r\n", "line 2: unexpected line"},
        {"STOP , now\r\n", "STOP has 1 fields"},
        {"ST\x81 \r\n", "not Shift-JIS"},
        {"ST\x80OP\r\n", "not Shift-JIS"},
        {good + std::string(4097 - good.size(), '\n'), "larger than 4 KB"},
    };
    for (const Case& c : cases) {
        TPartyOrder o;
        std::string why;
        EXPECT_FALSE(TPartyReader::Parse(c.bytes, o, why)) << c.reason;
        EXPECT_NE(why.find(c.reason), std::string::npos)
            << "wanted \"" << c.reason << "\", got \"" << why << "\"";
    }
    // Exactly 4 KB is still a command; valid double-byte Shift-JIS is text
    // (and then simply no keyword).
    TPartyOrder o;
    std::string why;
    EXPECT_FALSE(TPartyReader::Parse(good + std::string(4096 - good.size(), '\n'), o, why));
    EXPECT_NE(why.find("unexpected line"), std::string::npos) << why;
    EXPECT_FALSE(TPartyReader::Parse("\x90\xaf\r\n", o, why));
    EXPECT_NE(why.find("unknown keyword"), std::string::npos) << why;

    // Objects: a station knows only what its catalogues hold.
    EXPECT_TRUE(TPartyReader::ObjectExists(2, 9, 10, 5));
    EXPECT_FALSE(TPartyReader::ObjectExists(2, 10, 10, 5));
    EXPECT_FALSE(TPartyReader::ObjectExists(4, 5, 10, 5));
    EXPECT_TRUE(TPartyReader::ObjectExists(3, 9, 0, 0));
    EXPECT_FALSE(TPartyReader::ObjectExists(3, 10, 0, 0));
    EXPECT_TRUE(TPartyReader::ObjectExists(5, 14, 0, 0));
    EXPECT_FALSE(TPartyReader::ObjectExists(5, 10, 0, 0));
    EXPECT_FALSE(TPartyReader::ObjectExists(1, 0, 10, 5));
    EXPECT_FALSE(TPartyReader::ObjectExists(99, 0, 10, 5));
}

// The receiver's ID and its last command survive a restart in StarParty.dat.
TEST_F(ReaderFolder, OwnIdAndLastCommandAreKept) {
    const std::string path = (dir / "StarParty.dat").string();
    TPartySettings s;
    s.Mode = 2;
    s.Folder = folder;
    s.OwnId = "S000123";
    s.LastStamp = "20010509213045";
    s.LastSeq = 10;
    std::string why;
    ASSERT_TRUE(s.Save(path, why)) << why;
    TPartySettings r;
    ASSERT_TRUE(r.Load(path, why)) << why;
    EXPECT_EQ(r, s);
    // Found by the fuzz target: a sequence number without its stamp came back as 0.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "Mode=2\r\nLastSeq=10\r\n";
    ASSERT_TRUE(r.Load(path, why)) << why;
    ASSERT_TRUE(r.Save(path, why)) << why;
    TPartySettings back;
    ASSERT_TRUE(back.Load(path, why)) << why;
    EXPECT_EQ(back, r);
    EXPECT_EQ(back.LastSeq, 10u);
    for (const char* text :
         {"OwnID=../x\n", "OwnID=12345678\n", "LastStamp=2001\n", "LastSeq=-1\n"}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        EXPECT_FALSE(r.Load(path, why)) << text;
    }
}
