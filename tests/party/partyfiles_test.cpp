// The party command files byte for byte, their names, the command log and the
// party settings file. Expected bytes are written out by hand from the file
// format; angles come from degrees, minutes and seconds worked out by hand.
#include "party/Commandlog.h"
#include "party/Partycommand.h"
#include "party/Partysettings.h"
#include "Tempfolder.h"
#include "Partytest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;

double HmsRad(int h, int m, double s) {
    return (h + m / 60.0 + s / 3600.0) * 15.0 * kPi / 180.0;
}
double DmsRad(int sign, int d, int m, double s) {
    return sign * (d + m / 60.0 + s / 3600.0) * kPi / 180.0;
}

TPartyView ExampleView() {
    TPartyView v;
    v.Ra = HmsRad(5, 35, 17.3);
    v.Dec = DmsRad(-1, 5, 23, 28.4);
    v.ObjKind = 4;
    v.ObjNo = 41;
    v.Scale = 1500;
    v.AutoDrive = 0;
    v.Year = 2001, v.Month = 5, v.Day = 9, v.Hour = 21, v.Minute = 30;
    v.Sens = 0;
    return v;
}

using TempFolder = TTempFolder;

} // namespace

TEST_F(TempFolder, SyncGotoAndStopFilesAreByteExact) {
    std::string why;
    const fs::path sync = dir / "S000123-200105092130451.pty";
    bool taken = false;
    ASSERT_TRUE(TPartyCommand::WriteFile(sync.string(), TPartyCommand::SyncLines(ExampleView()),
                                         why, taken))
        << why;
    EXPECT_EQ(ReadAll(sync), "CENTER , 05h35m17.3s , -5.23m28.4s\r\n"
                             "OBJECT , 4 , 41\r\n"
                             "SCALE , 1500\r\n"
                             "TIME , 2001/05/09 , 21:30:00\r\n"
                             "SENS , 0\r\n"
                             "DISP01 , ON\r\nDISP02 , ON\r\nDISP03 , OFF\r\nDISP04 , OFF\r\n"
                             "DISP05 , ON\r\nDISP06 , OFF\r\nDISP07 , ON\r\nDISP08 , ON\r\n");

    // Auto drive, a star on the equator at +41 16 09, negative numbers.
    TPartyView v = ExampleView();
    v.AutoDrive = 1;
    v.Ra = -HmsRad(1, 0, 0); // one hour west of 0h reads 23h
    v.Dec = 0.0;
    v.ObjKind = 99, v.ObjNo = 0, v.Sens = -5, v.Scale = 1200000;
    for (int& d : v.Disp)
        d = 0;
    auto lines = TPartyCommand::SyncLines(v);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], "CENTER , 23h00m00.0s ,  0.00m00.0s");
    EXPECT_EQ(lines[1], "OBJECT , 99 , 0");
    EXPECT_EQ(lines[2], "SCALE , 1200000");
    EXPECT_EQ(lines[3], "TIME , NOW");
    EXPECT_EQ(lines[4], "SENS , -5");
    EXPECT_EQ(lines[12], "DISP08 , OFF");
    v.Dec = DmsRad(-1, 0, 30, 0);
    EXPECT_EQ(TPartyCommand::SyncLines(v)[0], "CENTER , 23h00m00.0s , -0.30m00.0s");
    v.Dec = DmsRad(1, 41, 16, 9);
    EXPECT_EQ(TPartyCommand::SyncLines(v)[0], "CENTER , 23h00m00.0s ,  41.16m09.0s");
    // Stepped time: month, day, hour and minute always take two digits.
    v.AutoDrive = 0, v.Year = 1999, v.Month = 12, v.Day = 1, v.Hour = 0, v.Minute = 5;
    EXPECT_EQ(TPartyCommand::SyncLines(v)[3], "TIME , 1999/12/01 , 00:05:00");

    const fs::path go = dir / "g.pty", stop = dir / "s.pty";
    ASSERT_TRUE(TPartyCommand::WriteFile(go.string(), TPartyCommand::GotoLines(ExampleView()), why,
                                         taken));
    ASSERT_TRUE(TPartyCommand::WriteFile(stop.string(), TPartyCommand::StopLines(), why, taken));
    EXPECT_EQ(ReadAll(go), "OBJECT , 4 , 41\r\nGOTO\r\n");
    EXPECT_EQ(ReadAll(stop), "STOP\r\n");
    // A file that exists is another command: never replaced, never appended
    // to; no temporary is left.
    EXPECT_FALSE(TPartyCommand::WriteFile(go.string(), TPartyCommand::StopLines(), why, taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(ReadAll(go), "OBJECT , 4 , 41\r\nGOTO\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

TEST_F(TempFolder, AFileThatCannotBeWrittenSaysWhyAndLeavesNothing) {
    std::string why;
    bool taken = false;
    EXPECT_FALSE(TPartyCommand::WriteFile((dir / "missing" / "A-1.pty").string(),
                                          TPartyCommand::StopLines(), why, taken));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(taken);
    // A folder where the command file should be: the name is taken, the
    // temporary is cleaned up.
    fs::create_directories(dir / "A-2.pty" / "x");
    why.clear();
    EXPECT_FALSE(TPartyCommand::WriteFile((dir / "A-2.pty").string(), TPartyCommand::StopLines(),
                                          why, taken));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(PartyCommandNames, SequenceCountsCommandsWithinOneSecond) {
    TPartyCommand c;
    const std::int64_t t = LocalMs(2001, 5, 9, 21, 30, 45, 100);
    EXPECT_EQ(c.MakeCommandFileName("/share/", "A", t), "/share/A-200105092130450.pty");
    EXPECT_EQ(c.MakeCommandFileName("/share/", "B", t + 300), "/share/B-200105092130451.pty");
    EXPECT_EQ(c.MakeCommandFileName("/share/", "A", t + 899), "/share/A-200105092130452.pty");
    for (int k = 3; k < 10; ++k)
        c.MakeCommandFileName("", "A", t + 899);
    // The eleventh within the second is 10: its name is one character longer.
    EXPECT_EQ(c.MakeCommandFileName("", "S000123", t + 899), "S000123-2001050921304510.pty");
    // A new second starts again at 0; an empty folder leaves the name relative.
    EXPECT_EQ(c.MakeCommandFileName("", "A", t + 900), "A-200105092130460.pty");
    EXPECT_EQ(c.MakeCommandFileName("", "A", LocalMs(2001, 12, 31, 23, 59, 59)),
              "A-200112312359590.pty");
    EXPECT_EQ(c.LastStamp(), "200112312359590");
}

TEST(PartyCommandLog, KeepsTheLastThreeLines) {
    TCommandLog log;
    log.Add("SYNC A");
    log.Add("GOTO B");
    EXPECT_EQ(log.Text(), "SYNC A\r\nGOTO B\r\n");
    log.Add("STOP C");
    log.Add("SYNC D");
    EXPECT_EQ(log.Text(), "GOTO B\r\nSTOP C\r\nSYNC D\r\n");
    // A message of several lines counts line by line.
    log.Add("one\r\ntwo");
    EXPECT_EQ(log.Text(), "SYNC D\r\none\r\ntwo\r\n");
    log.Add("a\r\nb\r\nc\r\nd");
    EXPECT_EQ(log.Text(), "b\r\nc\r\nd\r\n");
}

TEST(PartyIds, OnlyPlainFileNamePartsPass) {
    for (const char* ok : {"", "   ", "S000123", "A", "a.b", ".", "\xE6\x98\x9F\xE7\xA9\xBA"})
        EXPECT_EQ(TPartySettings::IdProblem(ok), "") << ok;
    for (const char* bad :
         {"../x", "a/b", "a\\b", "a\nb", ".......", "..", "tab\t", "a:b", "S0001234", "\xFF\xFE"})
        EXPECT_NE(TPartySettings::IdProblem(bad), "") << bad;
}

TEST_F(TempFolder, SettingsSurviveARestartAndADamagedFileIsReadAsFarAsValid) {
    const std::string path = (dir / "StarParty.dat").string();
    std::string why;
    TPartySettings s;
    s.Mode = 3;
    s.Folder = "/mnt/party share/\xE6\x98\x9F/";
    s.Ids[0] = "S000001";
    s.Ids[19] = "last";
    ASSERT_TRUE(s.Save(path, why)) << why;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    TPartySettings r;
    ASSERT_TRUE(r.Load(path, why));
    EXPECT_EQ(r, s);

    // The empty file made at start, and no file at all, are the start values.
    std::ofstream(path, std::ios::trunc).close();
    ASSERT_TRUE(r.Load(path, why));
    EXPECT_EQ(r, TPartySettings());
    ASSERT_TRUE(r.Load((dir / "none.dat").string(), why));
    EXPECT_EQ(r, TPartySettings());

    // Read up to the bad line; what follows keeps the start values.
    std::ofstream(path, std::ios::binary) << "Mode=3\r\nFolder=/x/\r\n# note\r\n\r\nID01=A\r\n"
                                             "ID02=../up\r\nID03=C\r\n";
    why.clear();
    EXPECT_FALSE(r.Load(path, why));
    EXPECT_NE(why.find("line 6"), std::string::npos) << why;
    EXPECT_EQ(r.Mode, 3);
    EXPECT_EQ(r.Folder, "/x/");
    EXPECT_EQ(r.Ids[0], "A");
    EXPECT_EQ(r.Ids[1], "");
    EXPECT_EQ(r.Ids[2], "");
    for (const char* text : {"Mode=4\nID01=A\n", "garbage\n", "ID21=A\n", "Folder=\xC3\n"}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        EXPECT_FALSE(r.Load(path, why)) << text;
        EXPECT_EQ(r, TPartySettings()) << text;
    }
}
