// Text files and word splitting: bytes on disk are checked against hand-written byte strings
// (Shift-JIS codes from the JIS X 0208 table: 東 93 8C, 京 8B 9E, ° 81 8B).
#include "app/Clscsv.h"
#include "app/Clssqfile.h"
#include "app/Textcode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quenlira_textfile_" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void WriteBytes(const char* name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string ReadBytes(const char* name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
};

std::vector<std::string> AllWords(const std::string& source) {
    TCsv csv;
    csv.SetSrc(source);
    std::vector<std::string> words;
    for (int guard = 0; !csv.GetEos() && guard < 100; ++guard)
        words.push_back(csv.GetWord());
    return words;
}

using Words = std::vector<std::string>;

} // namespace

TEST(Csv, SplitsAtCommasAndLineEnds) {
    EXPECT_EQ(AllWords("A B ,C\r\nD,E\r\n"), (Words{"A B", "C", "D", "E"}));
    EXPECT_EQ(AllWords("A,,B\r\nC,D\r\n"), (Words{"A", "", "B", "C", "D"}));
    // Trailing empty lines do not add words: the last word is the rest, trimmed.
    EXPECT_EQ(AllWords("A,B\r\nC,D\r\n\r\n\r\n"), (Words{"A", "B", "C", "D"}));
    // Quotes are ordinary characters.
    EXPECT_EQ(AllWords("\"a,b\"\r\n"), (Words{"\"a", "b\""}));
}

TEST(Csv, NeedsBothSeparatorsToCut) {
    EXPECT_EQ(AllWords("A,B"), (Words{"A,B"}));
    EXPECT_EQ(AllWords("X\r\nY\r\n"), (Words{"X\r\nY"}));
    TCsv csv;
    csv.SetSrc("A,B");
    EXPECT_FALSE(csv.GetEos());
    EXPECT_EQ(csv.GetWord(), "A,B");
    EXPECT_TRUE(csv.GetEos());
    EXPECT_EQ(csv.GetWord(), "");
    EXPECT_TRUE(csv.GetEos());
}

TEST(Csv, CarriageReturnSwallowsTheNextCharacter) {
    EXPECT_EQ(AllWords("A\rBC,D\r\n"), (Words{"A", "C", "D"}));
    EXPECT_EQ(AllWords("A\r"), (Words{"A"})); // no comma: the whole rest, trimmed
    // A multi-byte character after a lone CR goes whole, leaving valid text behind.
    EXPECT_EQ(AllWords("A\r\xC2\xB0"
                       "B,C\r\n"),
              (Words{"A", "B", "C"}));
}

TEST(Csv, TrimsControlBytesButNotHighBytes) {
    EXPECT_EQ(AllWords("\t\x01 \xE6\x9D\xB1\xE4\xBA\xAC \x1F,x\r\n"),
              (Words{"\xE6\x9D\xB1\xE4\xBA\xAC", "x"}));
}

TEST(Textcode, ShiftJisBothWays) {
    EXPECT_EQ(SjisToUtf8("\x93\x8C\x8B\x9E"), "\xE6\x9D\xB1\xE4\xBA\xAC"); // 東京
    EXPECT_EQ(SjisToUtf8("\xDF"), "\xEF\xBE\x9F");                         // half-width ﾟ
    EXPECT_EQ(SjisToUtf8("a\\b~"), "a\\b~");                               // ASCII stays
    bool exact = false;
    EXPECT_EQ(Utf8ToSjis("\xE6\x9D\xB1\xE4\xBA\xAC", exact), "\x93\x8C\x8B\x9E");
    EXPECT_TRUE(exact);
    EXPECT_EQ(Utf8ToSjis("12\xC2\xB0"), "12\x81\x8B");
}

TEST(Textcode, DamagedTextIsMarkedNotDropped) {
    // 0xA0 is no code page 932 character; a lead byte 0x81 at the end is cut off.
    EXPECT_EQ(SjisToUtf8("a\xA0z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(SjisToUtf8("ab\x81"), "ab\xEF\xBF\xBD");
    bool exact = true;
    EXPECT_EQ(Utf8ToSjis("x\xF0\x9F\x98\x80y", exact), "x?y"); // an emoji has no Shift-JIS form
    EXPECT_FALSE(exact);
    EXPECT_EQ(Utf8ToSjis("x\xFFy", exact), "x?y");
    EXPECT_FALSE(exact);
}

TEST(Textcode, ExactMeansTheTextComesBackUnchanged) {
    // Characters code page 932 takes one way only passed as exact and came
    // back from the file as other characters.
    const char* const oneWay[] = {
        "\xC2\xA5",     // yen sign -> backslash
        "\xE2\x80\xBE", // overline -> tilde
        "\xE2\x88\x92", // minus sign -> full-width hyphen-minus
        "\xE3\x80\x9C", // wave dash -> full-width tilde
        "\xE2\x80\x96", // double vertical line -> parallel to
        "\xE2\x80\x94", // em dash -> horizontal bar
        "\xC2\xA2",     // cent sign -> full-width cent
        "\xC2\xA3",     // pound sign -> full-width pound
        "\xC2\xAC",     // not sign -> full-width not
    };
    for (const char* c : oneWay) {
        bool exact = true;
        const std::string sjis = Utf8ToSjis(std::string("Site ") + c, exact);
        EXPECT_FALSE(exact) << c << " -> " << SjisToUtf8(sjis);
    }
    // Every character of the Basic Multilingual Plane: exact exactly when it
    // survives the way there and back.
    int exactCount = 0;
    for (char32_t u = 0x20; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        std::string c;
        if (u < 0x80) {
            c = static_cast<char>(u);
        } else if (u < 0x800) {
            c = {static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F))};
        } else {
            c = {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (u & 0x3F))};
        }
        bool exact = false;
        const std::string sjis = Utf8ToSjis(c, exact);
        ASSERT_EQ(exact, SjisToUtf8(sjis) == c) << std::hex << static_cast<unsigned>(u);
        exactCount += exact;
    }
    // 95 ASCII, 63 half-width katakana and the double-byte characters of the
    // code page that have a single source: well over 7000 characters.
    EXPECT_GT(exactCount, 7000);
}

TEST_F(TextFileTest, PrintWritesShiftJisWithCrLf) {
    TSqFile f;
    ASSERT_TRUE(f.Open(Path("out.txt"), 2));
    EXPECT_TRUE(f.Print("x", true));
    EXPECT_TRUE(f.Print("", true));
    EXPECT_TRUE(f.Print("a\nb", false));
    EXPECT_TRUE(f.Print("\xE6\x9D\xB1\xE4\xBA\xAC", true));
    f.Close();
    EXPECT_EQ(ReadBytes("out.txt"), "x\r\n\r\na\r\nb\x93\x8C\x8B\x9E\r\n");
}

TEST_F(TextFileTest, LongTextsAreWrittenWhole) {
    std::string longText(5000, 'q');
    longText += "end";
    TSqFile f;
    ASSERT_TRUE(f.Open(Path("long.txt"), 2));
    EXPECT_TRUE(f.Print(longText, true));
    f.Close();
    EXPECT_EQ(ReadBytes("long.txt"), longText + "\r\n");
}

TEST_F(TextFileTest, UnencodableTextIsReported) {
    TSqFile f;
    ASSERT_TRUE(f.Open(Path("bad.txt"), 2));
    EXPECT_FALSE(f.Print("a\xF0\x9F\x98\x80", true));
    EXPECT_TRUE(f.Print("b", true)); // the file stays usable
    f.Close();
    EXPECT_EQ(ReadBytes("bad.txt"), "a?\r\nb\r\n");
}

TEST_F(TextFileTest, InputReadsFieldsUntilTheEnd) {
    WriteBytes("in.txt", "a,b\nc");
    TSqFile f;
    ASSERT_TRUE(f.Open(Path("in.txt"), 1));
    bool ok = false;
    EXPECT_EQ(f.Input(ok), "a");
    EXPECT_TRUE(ok);
    EXPECT_EQ(f.Input(ok), "b");
    EXPECT_TRUE(ok);
    EXPECT_FALSE(f.Eof());
    EXPECT_EQ(f.Input(ok), "c");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(f.Eof()); // the read of c found the end
    EXPECT_EQ(f.Input(ok), "");
    EXPECT_FALSE(ok);
    f.Close();
}

TEST_F(TextFileTest, InputAfterAFinalLineEnd) {
    // CR LF reads as one line end; a file ending in one gives one more empty field with ok
    // still true (the read that finds the end), then ok false.
    WriteBytes("in.txt", " \x93\x8C\x8B\x9E , 12 \r\n");
    TSqFile f;
    ASSERT_TRUE(f.Open(Path("in.txt"), 1));
    bool ok = false;
    EXPECT_EQ(f.Input(ok), "\xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(f.Input(ok), "12");
    EXPECT_TRUE(ok);
    EXPECT_FALSE(f.Eof());
    EXPECT_EQ(f.Input(ok), "");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Input(ok), "");
    EXPECT_FALSE(ok);
    f.Close();
}

TEST_F(TextFileTest, InputStopsAtByteFF) {
    WriteBytes("in.txt", "ab\xFF"
                         "cd,e");
    TSqFile f;
    ASSERT_TRUE(f.Open(Path("in.txt"), 1));
    bool ok = true;
    EXPECT_EQ(f.Input(ok), "ab");
    EXPECT_FALSE(ok);
    EXPECT_EQ(f.Input(ok), "cd"); // reading goes on after it
    EXPECT_TRUE(ok);
    f.Close();
}

TEST_F(TextFileTest, WhatPrintWroteInputReadsBack) {
    TSqFile out;
    ASSERT_TRUE(out.Open(Path("rt.txt"), 2));
    EXPECT_TRUE(out.Print("Tokyo,\xE6\x9D\xB1\xE4\xBA\xAC,139.75", true));
    EXPECT_TRUE(out.Print("35.68", true));
    out.Close();
    TSqFile in;
    ASSERT_TRUE(in.Open(Path("rt.txt"), 1));
    bool ok = false;
    std::vector<std::string> fields;
    for (int guard = 0; guard < 10; ++guard) {
        std::string field = in.Input(ok);
        if (!ok) break;
        fields.push_back(field);
    }
    in.Close();
    EXPECT_EQ(fields, (Words{"Tokyo", "\xE6\x9D\xB1\xE4\xBA\xAC", "139.75", "35.68", ""}));
}

TEST_F(TextFileTest, OpenRefusesWhatItCannotDo) {
    TSqFile f;
    EXPECT_FALSE(f.Open(Path("missing.txt"), 1));
    EXPECT_FALSE(f.Open(Path("x.txt"), 3));
    EXPECT_FALSE(fs::exists(Path("x.txt")));
    EXPECT_FALSE(f.Open(Path("no/such/folder/x.txt"), 2));
    bool ok = true;
    EXPECT_EQ(f.Input(ok), "");
    EXPECT_FALSE(ok);
    EXPECT_FALSE(f.Print("x", true));
    f.Close(); // never opened: nothing happens

    ASSERT_TRUE(f.Open(Path("first.txt"), 2));
    EXPECT_FALSE(f.Open(Path("second.txt"), 2)); // the first stream is kept
    EXPECT_FALSE(fs::exists(Path("second.txt")));
    EXPECT_TRUE(f.Print("1", true));
    f.Close();
    EXPECT_EQ(ReadBytes("first.txt"), "1\r\n");
    {
        TSqFile left;
        ASSERT_TRUE(left.Open(Path("left.txt"), 2));
        EXPECT_TRUE(left.Print("kept", false));
    } // destroyed while open
    EXPECT_EQ(ReadBytes("left.txt"), "kept");
}
