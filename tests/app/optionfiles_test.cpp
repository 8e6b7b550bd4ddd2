// The option files: whole folders of hand-written files read into titles and
// marked objects, positions checked against hand-worked radians, and damaged
// files that must lose only their damaged objects, with the reasons given.
#include "app/Clsoption.h"

#include "Hangguard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// 15 words of one object: number, shape, fill, RA, Dec, colour, name, link,
// style, line colour, five more colours.
std::string Object(const std::string& no, const std::string& ra, const std::string& dec,
                   const std::string& colour = "RED", const std::string& name = "M1",
                   const std::string& link = "0", const std::string& shape = "1") {
    return no + "," + shape + ",1," + ra + "," + dec + "," + colour + "," + name + "," + link +
           ",1,NAVY,WHITE,WHITE,WHITE,WHITE,WHITE";
}

class OptionFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quenlira_opt_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    fs::path dir_;
};

} // namespace

TEST_F(OptionFiles, ReadsTitlesAndObjectsOfAllFilesOfTheFolder) {
    // 20 words after the title: one object, five words over.
    Write("a.opt",
          "Nebulae\r\n" + Object("1", "053432", "+220052", "red", "M1", "2") + "\r\n1,2,3,4,5\r\n");
    // 31 words: two objects and one word over (a word alone on the last line
    // would join the word before it); a track 1 -> 2 with arrows.
    Write("b.opt", "Track\r\n" + Object("1", "235959", "-000030", "NAVY", "p1", "2", "5") + "\r\n" +
                       Object("2", "123000", "+453000", "DKGRAY", "p2", "0", "2") + ",X\r\n");
    // A title alone; then an object on a last line without a line end (the
    // rest of the text is one word, so no whole object remains).
    Write("c.OPT", "Only a title\r\n\r\n\r\n");
    Write("d.opt", "No line end\r\n" + Object("1", "000000", "+000000"));
    // Bare line feeds read as line ends; Shift-JIS and UTF-8 titles both read.
    Write("e.opt", "\x93\x8C\x8B\x9E\n" + Object("7", "120000", "-054523", "YELLOW") + "\n");
    Write("f.opt", "\xE6\x9D\xB1\xE4\xBA\xAC\r\n");
    Write("notes.txt", "Not an option file\r\n" + Object("1", "000000", "+000000") + "\r\n");
    fs::create_directory(dir_ / "g.opt");

    TOptionFiles o;
    o.ReadFolder(dir_.string());
    ASSERT_EQ(o.Titles, (std::vector<std::string>{"Nebulae", "Track", "Only a title", "No line end",
                                                  "東京", "東京"}));
    ASSERT_EQ(o.Objects.size(), 4u);

    const TMarker& m1 = o.Objects[0];
    EXPECT_EQ(m1.id, 1);
    EXPECT_EQ(m1.seq, 1);
    EXPECT_EQ(m1.shape, 1);
    EXPECT_EQ(m1.filled, 1);
    EXPECT_NEAR(m1.ra, 1.459677031084591, 1e-12);    // 5h34m32s = 83.633333 deg
    EXPECT_NEAR(m1.dec, 0.38422453855292943, 1e-12); // +22 00' 52"
    EXPECT_EQ(m1.colour, 0xFFFFFFu);                 // "red" is not a colour name
    EXPECT_EQ(m1.name, "M1");
    EXPECT_EQ(m1.next, 2);
    EXPECT_EQ(m1.lineStyle, 1);
    EXPECT_EQ(m1.lineColour, 0x800000u);

    const TMarker& p1 = o.Objects[1];
    EXPECT_EQ(p1.id, 2);
    EXPECT_EQ(p1.shape, 5);
    EXPECT_NEAR(p1.ra, 6.283112585127419, 1e-12);       // 23h59m59s
    EXPECT_NEAR(p1.dec, -0.0001454441043328608, 1e-15); // -0 00' 30": the sign holds
    EXPECT_EQ(p1.colour, 0x800000u);
    const TMarker& p2 = o.Objects[2];
    EXPECT_EQ(p2.id, 2);
    EXPECT_EQ(p2.seq, 2);
    EXPECT_NEAR(p2.ra, 3.2724923474893677, 1e-12);  // 12h30m
    EXPECT_NEAR(p2.dec, 0.7941248096574199, 1e-12); // +45 30'
    EXPECT_EQ(p2.colour, 0x808080u);

    const TMarker& e = o.Objects[3];
    EXPECT_EQ(e.id, 5);
    EXPECT_EQ(e.seq, 7);
    EXPECT_NEAR(e.dec, -0.10046793913632915, 1e-12); // -5 45' 23"
    EXPECT_EQ(e.colour, 0x00FFFFu);

    // The leftovers and the folder are reported, file by file.
    ASSERT_EQ(o.Problems.size(), 4u) << ::testing::PrintToString(o.Problems);
    EXPECT_EQ(o.Problems[0], "g.opt: cannot be read (it is a folder, not a plain file)");
    EXPECT_EQ(o.Problems[1].rfind("a.opt: 5 words after the last whole object not read", 0), 0u);
    EXPECT_EQ(o.Problems[2].rfind("b.opt: 1 word after", 0), 0u);
    EXPECT_EQ(o.Problems[3].rfind("d.opt: 1 word after", 0), 0u);
}

TEST_F(OptionFiles, MalformedObjectsAreLeftOutAndTheRestKept) {
    std::string text = "Mixed\r\n";
    text += Object("1", "010000", "+100000") + "\r\n";
    text += Object("2", "020000", "+200000", "RED", "two", "x") + "\r\n";   // bad link
    text += Object("", "030000", "+300000") + "\r\n";                       // empty number
    text += Object("4", "ab0000", "+400000") + "\r\n";                      // bad RA
    text += Object("5", "050000", "+5o0000") + "\r\n";                      // bad Dec
    text += Object("6", "060000", "+600000", "RED", "six", "+-1") + "\r\n"; // odd sign
    text += Object("7", "070000", "-700000", "LIME", "\"quoted\"", "99999999999") + "\r\n";
    text += Object("8", "080000", "+000000", "LIME", "eight", "-3") + "\r\n";
    // Garbage after a zero byte is never seen.
    text += std::string("\0,,,\xFF\xFE,,,", 9);
    TOptionFiles o;
    o.Read({{"mixed.opt", text}, {"empty.opt", ""}, {"junk.opt", "\xFF\xFE\r\n\x01,\x80\x81,,"}});
    ASSERT_EQ(o.Titles, (std::vector<std::string>{"Mixed", "", "\xEF\xBF\xBD\xEF\xBF\xBD"}));
    ASSERT_EQ(o.Objects.size(), 2u);
    EXPECT_EQ(o.Objects[0].seq, 1);
    EXPECT_NEAR(o.Objects[0].ra, 15.0 * 3.14159265358979323846 / 180.0, 1e-12);
    EXPECT_EQ(o.Objects[1].seq, 8);
    EXPECT_EQ(o.Objects[1].next, -3);
    EXPECT_NEAR(o.Objects[1].ra, 2.0943951023931953, 1e-12); // 8h = 120 deg
    const std::vector<std::string> expected = {
        "mixed.opt: object 2 (no. 2) left out: word 8 \"x\" is not a whole number",
        "mixed.opt: object 3 left out: word 1 \"\" is not a whole number",
        "mixed.opt: object 4 (no. 4) left out: word 4 \"ab0000\" is not a right ascension "
        "hhmmss",
        "mixed.opt: object 5 (no. 5) left out: word 5 \"+5o0000\" is not a declination sddmmss",
        "mixed.opt: object 6 (no. 6) left out: word 8 \"+-1\" is not a whole number",
        "mixed.opt: object 7 (no. 7) left out: word 8 \"99999999999\" is not a whole number",
        "junk.opt: 1 word after the last whole object not read (an object takes 15 words; "
        "does the last line end with a line break?)",
    };
    EXPECT_EQ(o.Problems, expected);
}

TEST_F(OptionFiles, AtMost3000ObjectsAcrossFiles) {
    // Three files of 1200 objects: the third keeps its first 600.
    for (int f = 1; f <= 3; ++f) {
        std::string text = "List " + std::to_string(f) + "\r\n";
        for (int i = 1; i <= 1200; ++i)
            text += Object(std::to_string(i), "120000", "+000000") + "\r\n";
        Write("list" + std::to_string(f) + ".opt", text);
    }
    TOptionFiles o;
    o.ReadFolder(dir_.string());
    ASSERT_EQ(o.Titles.size(), 3u);
    ASSERT_EQ(o.Objects.size(), 3000u);
    EXPECT_EQ(o.Objects[1199].id, 1);
    EXPECT_EQ(o.Objects[1200].id, 2);
    EXPECT_EQ(o.Objects[2999].id, 3);
    EXPECT_EQ(o.Objects[2999].seq, 600);
    EXPECT_EQ(o.Problems,
              (std::vector<std::string>{"600 objects beyond the first 3000 were not read"}));
}

TEST_F(OptionFiles, WhatIsNotAPlainFileOrIsFarTooLargeIsRefusedAtOnce) {
    // A FIFO hung the start for good; /dev/zero under an option file's name
    // grew the program to 1.9 GB in 10 s; a 100 MB file stalled it for 21 s.
    Write("a.opt", "Good\r\n" + Object("1", "010000", "+100000") + "\r\n");
    ASSERT_EQ(::mkfifo((dir_ / "b.opt").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir_ / "z.opt");
    std::ofstream(dir_ / "c.opt", std::ios::binary)
        << "Big\r\n" << std::string(TOptionFiles::MaxFileBytes, ' ');
    TOptionFiles o;
    ReturnsWithin(std::chrono::seconds(10), (dir_ / "b.opt").string(),
                  [&] { o.ReadFolder(dir_.string()); });
    EXPECT_EQ(o.Titles, (std::vector<std::string>{"Good"}));
    ASSERT_EQ(o.Objects.size(), 1u);
    EXPECT_EQ(o.Problems,
              (std::vector<std::string>{
                  "b.opt: cannot be read (it is a FIFO (named pipe), not a plain file)",
                  "c.opt: cannot be read (it is larger than 4194304 bytes)",
                  "z.opt: cannot be read (it is a character device, not a plain file)"}));
}

TEST_F(OptionFiles, TheFilesTogetherHaveABudget) {
    // Eleven files of 3 MB each: each under the cap, together past it.
    const std::string filler(3u << 20, ' ');
    for (char c = 'a'; c <= 'k'; ++c)
        Write(std::string(1, c) + ".opt", std::string("T") + c + "\r\n" + filler);
    TOptionFiles o;
    o.ReadFolder(dir_.string());
    EXPECT_EQ(o.Titles.size(), 10u);
    ASSERT_EQ(o.Problems.size(), 1u) << ::testing::PrintToString(o.Problems);
    EXPECT_EQ(o.Problems[0], "k.opt: not read, the option files together pass 32 MB");
}
