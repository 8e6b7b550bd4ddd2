// The settings record on disk: sizes, offsets and values worked out by hand
// from the file layout (offsets in hex, doubles as IEEE bytes computed
// separately with Python's struct module).
#include "app/Clssysinfo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <sys/stat.h>
#include <cstring>
#include <set>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Fulldisk.h"
#include "Hangguard.h"

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("quenlira_sysinfo_" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string str() const { return path_.string(); }
    fs::path file() const { return path_ / "Sysinfo.dat"; }

private:
    fs::path path_;
};

std::vector<unsigned char> ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& p, const std::vector<unsigned char>& b) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Bytes at an offset as hex text, for readable comparisons.
std::string Hex(const std::vector<unsigned char>& b, size_t off, size_t n) {
    static const char* d = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += d[b[off + i] >> 4];
        s += d[b[off + i] & 15];
    }
    return s;
}

std::string Str(const std::vector<unsigned char>& b, size_t off) {
    return std::string(reinterpret_cast<const char*>(&b[off]));
}

} // namespace

TEST(SettingsFile, NewFileIsByteExact) {
    TempDir dir;
    TSysInfo rec;
    rec.NewFile();
    std::string msg;
    ASSERT_TRUE(rec.Save(dir.str(), msg)) << msg;
    auto b = ReadAll(dir.file());
    ASSERT_EQ(b.size(), 13096u);

    // Number of sites at 0x1EC; names 80 bytes apart from 0x1F0.
    EXPECT_EQ(Hex(b, 0x1EC, 4), "03 00 00 00");
    EXPECT_EQ(Str(b, 0x1F0), "Old Greenwich Observatory");
    EXPECT_EQ(Str(b, 0x240), "Top of Mt.LasCampanas");
    EXPECT_EQ(Str(b, 0x290), "MusashinoPark,Tokyo");
    // Longitudes from 0x2130, latitudes 0x2450, heights 0x2770, time differences 0x2A90.
    EXPECT_EQ(Hex(b, 0x2130, 8), "ed 61 b7 03 71 98 5c 3f"); // 0.1 deg
    EXPECT_EQ(Hex(b, 0x2138, 8), "dc dc 50 07 40 be f3 bf"); // -70.7 deg
    EXPECT_EQ(Hex(b, 0x2140, 8), "4c 77 58 cb ee 7a 03 40"); // 139.5167 deg
    EXPECT_EQ(Hex(b, 0x2450, 8), "94 d0 70 61 cd 29 ed 3f"); // 52.21667 deg
    EXPECT_EQ(Hex(b, 0x2458, 8), "77 de 1a 03 58 32 e0 bf"); // -29 deg
    EXPECT_EQ(Hex(b, 0x2460, 8), "09 84 70 a4 e8 ed e3 3f"); // 35.68333 deg
    EXPECT_EQ(Hex(b, 0x2770, 8), "00 00 00 00 00 00 3e 40"); // 30 m
    EXPECT_EQ(Hex(b, 0x2778, 8), "00 00 00 00 00 80 6c 40"); // 228 m
    EXPECT_EQ(Hex(b, 0x2780, 8), "00 00 00 00 00 40 77 40"); // 372 m
    EXPECT_EQ(Hex(b, 0x2A90, 8), "00 00 00 00 00 00 00 00"); // 0 h
    EXPECT_EQ(Hex(b, 0x2A98, 8), "00 00 00 00 00 00 10 c0"); // -4 h
    EXPECT_EQ(Hex(b, 0x2AA0, 8), "00 00 00 00 00 00 22 40"); // +9 h
    // Reserved integers 1, 1, 50, 1 and the last chosen site 0.
    EXPECT_EQ(Hex(b, 0x2F40, 16), "01 00 00 00 01 00 00 00 32 00 00 00 01 00 00 00");
    EXPECT_EQ(Hex(b, 0x2F50, 4), "00 00 00 00");

    // Everything else is zero: count the non-zero bytes of the fields above.
    size_t nonzero = 0;
    for (unsigned char c : b)
        nonzero += c != 0;
    size_t expected = 1 + 25 + 21 + 19        // count, three names
                      + 8 + 8 + 8 + 8 + 8 + 8 // longitudes, latitudes
                      + 2 + 3 + 3             // heights 30, 228, 372
                      + 2 + 2                 // -4 h, +9 h
                      + 4;                    // reserved 1, 1, 50, 1
    EXPECT_EQ(nonzero, expected);
    // No temporary file is left behind.
    EXPECT_FALSE(fs::exists(dir.file().string() + ".tmp"));
}

TEST(SettingsFile, FieldsLandAtTheirOffsetsAndRoundTrip) {
    TempDir dir;
    TSysInfo rec;
    rec.NewFile();
    rec.SetMemUse(9, 1);
    rec.SetMemRa(1, 1.5);      // 0x28 + 8
    rec.SetMemDec(0, -0.25);   // 0x78
    rec.SetMemMjd(9, 51544.5); // 0xC8 + 72
    rec.SetMemScale(2, 1000);  // 0x118 + 8
    rec.SetLastSite(3);
    TSite s{"\xE6\x9D\xB1\xE4\xBA\xAC\xE5\xA4\xA9\xE6\x96\x87\xE5\x8F\xB0", // 東京天文台
            2.0,
            -1.0,
            -12.5,
            5.5,
            2.9};
    ASSERT_TRUE(rec.SetSite(100, s));
    std::string msg;
    ASSERT_TRUE(rec.Save(dir.str(), msg)) << msg;
    auto b = ReadAll(dir.file());
    ASSERT_EQ(b.size(), 13096u);
    EXPECT_EQ(Hex(b, 0x24, 4), "01 00 00 00");
    EXPECT_EQ(Hex(b, 0x30, 8), "00 00 00 00 00 00 f8 3f");
    EXPECT_EQ(Hex(b, 0x78, 8), "00 00 00 00 00 00 d0 bf");
    EXPECT_EQ(Hex(b, 0x110, 8), "00 00 00 00 10 2b e9 40");
    EXPECT_EQ(Hex(b, 0x120, 4), "e8 03 00 00");
    EXPECT_EQ(Hex(b, 0x2F50, 4), "03 00 00 00");
    // Site 100: name at 0x1F0 + 99 * 80 = 0x20E0 in Shift-JIS, doubles at +99 * 8 = +0x318
    EXPECT_EQ(Hex(b, 0x20E0, 11), "93 8c 8b 9e 93 56 95 b6 91 e4 00");
    EXPECT_EQ(Hex(b, 0x2448, 8), "00 00 00 00 00 00 00 40");
    EXPECT_EQ(Hex(b, 0x2768, 8), "00 00 00 00 00 00 f0 bf");
    EXPECT_EQ(Hex(b, 0x2A88, 8), "00 00 00 00 00 00 29 c0");
    EXPECT_EQ(Hex(b, 0x2DA8, 8), "00 00 00 00 00 00 16 40");
    EXPECT_EQ(Hex(b, 0x2F3C, 4), "02 00 00 00"); // 2.9 h cut toward zero

    TSysInfo back;
    ASSERT_TRUE(back.Load(dir.str(), msg));
    EXPECT_TRUE(msg.empty()) << msg;
    EXPECT_EQ(back.Bytes(), rec.Bytes());
    TSite t = back.GetSite(100);
    EXPECT_EQ(t.Name, s.Name);
    EXPECT_EQ(t.Summer, 2.0);
    EXPECT_EQ(back.GetSite(2).Name, "Top of Mt.LasCampanas");
}

TEST(SettingsFile, ReservedBytesAreCarriedAsRead) {
    TempDir dir;
    std::vector<unsigned char> b(13096, 0);
    for (size_t i = 0x140; i < 0x1EC; ++i)
        b[i] = static_cast<unsigned char>(i);
    for (size_t i = 0x2F54; i < 13096; ++i)
        b[i] = static_cast<unsigned char>(i * 7);
    b[0x1EC] = 1;
    b[0x1F0] = 'A';
    b[0x2F40] = 9;
    WriteAll(dir.file(), b);
    TSysInfo rec;
    std::string msg;
    ASSERT_TRUE(rec.Load(dir.str(), msg));
    ASSERT_TRUE(rec.AddSite({"B", 0, 0, 0, 0, 0}));
    ASSERT_TRUE(rec.Save(dir.str(), msg));
    auto c = ReadAll(dir.file());
    ASSERT_EQ(c.size(), b.size());
    for (size_t i = 0x140; i < 0x1EC; ++i)
        ASSERT_EQ(c[i], b[i]) << i;
    for (size_t i = 0x2F54; i < 13096; ++i)
        ASSERT_EQ(c[i], b[i]) << i;
    EXPECT_EQ(c[0x2F40], 9);
    EXPECT_EQ(c[0x1EC], 2);
    EXPECT_EQ(Str(c, 0x240), "B");
}

TEST(SettingsFile, SitesAddDeleteAndLimits) {
    TSysInfo rec;
    rec.NewFile();
    // Delete the middle site: Tokyo moves up into slot 2 with all its values.
    rec.DeleteSite(2);
    EXPECT_EQ(rec.GetSiteCount(), 2);
    TSite t = rec.GetSite(2);
    EXPECT_EQ(t.Name, "MusashinoPark,Tokyo");
    EXPECT_DOUBLE_EQ(t.Lng, 2.43502577651717);
    EXPECT_DOUBLE_EQ(t.Height, 372.0);
    EXPECT_DOUBLE_EQ(t.DiffUT, 9.0);
    EXPECT_EQ(rec.GetSite(3).Name, "");

    while (rec.GetSiteCount() < 100)
        ASSERT_TRUE(rec.AddSite({"S" + std::to_string(rec.GetSiteCount() + 1), 0, 0, 0, 0, 0}));
    EXPECT_FALSE(rec.AddSite({"one too many", 0, 0, 0, 0, 0}));
    EXPECT_EQ(rec.GetSiteCount(), 100);
    EXPECT_EQ(rec.GetSite(100).Name, "S100");
    // The summer-time field of site 100 ends right before the reserved integers.
    EXPECT_EQ(rec.GetInt(0x2F40), 1);

    // Deleting the last of them empties its slot.
    rec.DeleteSite(100);
    EXPECT_EQ(rec.GetSiteCount(), 99);
    EXPECT_EQ(rec.GetSite(100).Name, "");
    rec.DeleteSite(0); // out of range: nothing happens
    rec.DeleteSite(100);
    EXPECT_EQ(rec.GetSiteCount(), 99);
}

TEST(SettingsFile, NamesMustFitShiftJisField) {
    // 79 single-byte characters fit with the zero; 80 do not.
    EXPECT_TRUE(TSysInfo::NameFits(std::string(79, 'x')));
    EXPECT_FALSE(TSysInfo::NameFits(std::string(80, 'x')));
    // A kanji takes two bytes: 39 fit (78 bytes), 40 (80 bytes) do not, and a
    // name of 39 kanji and one letter (79 bytes) still fits.
    std::string kanji39, k = "\xE6\x98\x9F"; // 星
    for (int i = 0; i < 39; ++i)
        kanji39 += k;
    EXPECT_TRUE(TSysInfo::NameFits(kanji39));
    EXPECT_TRUE(TSysInfo::NameFits(kanji39 + "a"));
    EXPECT_FALSE(TSysInfo::NameFits(kanji39 + k));
    // Characters that Shift-JIS cannot hold are refused, not mangled.
    EXPECT_FALSE(TSysInfo::NameFits("\xF0\x9F\x94\xAD")); // telescope emoji
    // ... and so are those that would come back as others after a save and
    // a load: the yen sign (a backslash) and the wave dash (a full-width
    // tilde). Their full-width forms are kept as typed.
    EXPECT_FALSE(TSysInfo::NameFits("Shop \xC2\xA5"
                                    "100"));
    EXPECT_FALSE(TSysInfo::NameFits("9\xE3\x80\x9C"
                                    "10"));
    EXPECT_TRUE(TSysInfo::NameFits("9\xEF\xBD\x9E"
                                   "10 \xEF\xBF\xA5"));
    // Half-width katakana is a single byte in Shift-JIS: 79 of them fit.
    std::string kana;
    for (int i = 0; i < 79; ++i)
        kana += "\xEF\xBD\xB1"; // ｱ
    EXPECT_TRUE(TSysInfo::NameFits(kana));
    EXPECT_FALSE(TSysInfo::NameFits(kana + "\xEF\xBD\xB1"));

    TSysInfo rec;
    rec.NewFile();
    EXPECT_FALSE(rec.SetSite(1, {kanji39 + k, 1, 1, 1, 1, 1}));
    EXPECT_EQ(rec.GetSite(1).Name, "Old Greenwich Observatory"); // untouched
    EXPECT_DOUBLE_EQ(rec.GetSite(1).Height, 30.0);
}

TEST(SettingsFile, DamagedFilesAreReadAsFarAsValid) {
    TempDir dir;
    TSysInfo good;
    good.NewFile();
    std::string msg;
    ASSERT_TRUE(good.Save(dir.str(), msg));
    auto b = ReadAll(dir.file());

    // Cut inside the longitudes: the names are there, the rest keeps what the
    // record held before (here: zero).
    WriteAll(dir.file(), std::vector<unsigned char>(b.begin(), b.begin() + 0x2138));
    TSysInfo rec;
    ASSERT_TRUE(rec.Load(dir.str(), msg));
    EXPECT_NE(msg.find("damaged"), std::string::npos) << msg;
    EXPECT_EQ(rec.GetSiteCount(), 3);
    EXPECT_EQ(rec.GetSite(3).Name, "MusashinoPark,Tokyo");
    EXPECT_DOUBLE_EQ(rec.GetSite(1).Lng, 0.0017453292519943279);
    EXPECT_DOUBLE_EQ(rec.GetSite(2).Lng, 0.0);
    EXPECT_EQ(rec.GetInt(0x2F40), 0);

    // An empty file.
    WriteAll(dir.file(), {});
    TSysInfo empty;
    ASSERT_TRUE(empty.Load(dir.str(), msg));
    EXPECT_FALSE(msg.empty());
    EXPECT_EQ(empty.GetSiteCount(), 0);

    // Site counts outside 0..100 are clamped, with a message.
    for (auto [stored, read] : {std::pair{-5, 0}, {101, 100}, {0x7FFFFFFF, 100}}) {
        auto c = b;
        uint32_t u = static_cast<uint32_t>(stored);
        for (int i = 0; i < 4; ++i)
            c[0x1EC + i] = static_cast<unsigned char>(u >> (8 * i));
        WriteAll(dir.file(), c);
        TSysInfo r;
        ASSERT_TRUE(r.Load(dir.str(), msg));
        EXPECT_EQ(r.GetSiteCount(), read) << stored;
        EXPECT_EQ(r.GetInt(0x1EC), read);
        EXPECT_NE(msg.find("sites"), std::string::npos) << msg;
    }

    // A name field without its zero and with bytes that are no Shift-JIS.
    auto c = b;
    for (int i = 0; i < 80; ++i)
        c[0x1F0 + i] = 'z';
    c[0x240] = 0x81; // a lead byte with nothing after it
    c[0x241] = 0;
    WriteAll(dir.file(), c);
    TSysInfo r;
    ASSERT_TRUE(r.Load(dir.str(), msg));
    EXPECT_EQ(r.GetSite(1).Name, std::string(79, 'z'));
    EXPECT_EQ(r.GetSite(2).Name, "\xEF\xBF\xBD");

    // A longer file: the record is its first 13096 bytes.
    c = b;
    c.resize(20000, 0xAA);
    WriteAll(dir.file(), c);
    TSysInfo l;
    ASSERT_TRUE(l.Load(dir.str(), msg));
    EXPECT_FALSE(msg.empty());
    EXPECT_EQ(l.GetSiteCount(), 3);
    EXPECT_EQ(l.Bytes()[13095], 0);

    // A missing file is an error, not an empty record.
    fs::remove(dir.file());
    TSysInfo m;
    EXPECT_FALSE(m.Load(dir.str(), msg));
    EXPECT_FALSE(msg.empty());
}

// Files of the folder other than the settings file (temporary files left).
std::vector<std::string> Others(const fs::path& dir, const std::set<std::string>& known) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (!known.count(e.path().filename().string())) out.push_back(e.path().filename());
    return out;
}

TEST(SettingsFile, FailedSaveKeepsTheOldFileAndSaysWhy) {
    TempDir dir;
    TSysInfo rec;
    rec.NewFile();
    std::string msg;
    ASSERT_TRUE(rec.Save(dir.str(), msg));
    const auto before = ReadAll(dir.file());
    TFullDisk disk;
    ASSERT_TRUE(disk.Full());
    rec.DeleteSite(1);
    const bool saved = rec.Save(dir.str(), msg);
    disk.Room();
    EXPECT_FALSE(saved);
    EXPECT_NE(msg.find(std::strerror(EFBIG)), std::string::npos) << msg;
    EXPECT_EQ(ReadAll(dir.file()), before);
    EXPECT_EQ(Others(dir.str(), {"Sysinfo.dat"}), std::vector<std::string>{});
}

TEST(SettingsFile, SaveFollowsNoLinkAtATemporaryNameAndKeepsALinkedSettingsFile) {
    TempDir dir;
    TSysInfo rec;
    rec.NewFile();
    std::string msg;
    // Links at the temporary names a save used to take, leading to a file
    // of the user's: the save used to overwrite it.
    const fs::path victim = fs::path(dir.str()) / "precious.txt";
    WriteAll(victim, {'k', 'e', 'e', 'p'});
    fs::create_symlink(victim, dir.file().string() + ".tmp");
    ASSERT_TRUE(rec.Save(dir.str(), msg)) << msg;
    EXPECT_EQ(ReadAll(victim), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(ReadAll(dir.file()).size(), TSysInfo::kSize);
    EXPECT_EQ(Others(dir.str(), {"Sysinfo.dat", "Sysinfo.dat.tmp", "precious.txt"}),
              std::vector<std::string>{});

    // Settings kept elsewhere through a relative link, two links deep: the
    // file at the end is replaced, the links stay links.
    TempDir synced;
    fs::remove(dir.file());
    fs::create_symlink(fs::relative(synced.file(), dir.str()), fs::path(dir.str()) / "middle.dat");
    fs::create_symlink("middle.dat", dir.file());
    rec.DeleteSite(2);
    ASSERT_TRUE(rec.Save(dir.str(), msg)) << msg;
    EXPECT_TRUE(fs::is_symlink(dir.file()));
    EXPECT_TRUE(fs::is_symlink(fs::path(dir.str()) / "middle.dat"));
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(synced.file())));
    TSysInfo back;
    ASSERT_TRUE(back.Load(synced.str(), msg));
    EXPECT_EQ(back.GetSiteCount(), 2);
    EXPECT_EQ(back.GetSite(2).Name, "MusashinoPark,Tokyo");
    EXPECT_EQ(Others(synced.str(), {"Sysinfo.dat"}), std::vector<std::string>{});
    // A second save over the file the link now leads to.
    rec.DeleteSite(1);
    ASSERT_TRUE(rec.Save(dir.str(), msg)) << msg;
    ASSERT_TRUE(back.Load(dir.str(), msg));
    EXPECT_EQ(back.GetSiteCount(), 1);
    EXPECT_TRUE(fs::is_symlink(dir.file()));
}

TEST(SettingsFile, WhatIsNotAFileUnderItsNameGivesTheStartValuesAtOnce) {
    // A FIFO named Sysinfo.dat hung the start with no window; /dev/zero
    // linked there would have been read for ever.
    TempDir dir;
    TSysInfo fresh;
    fresh.NewFile();
    auto check = [&](const char* kind) {
        TSysInfo rec;
        rec.SetSiteCount(7);
        std::string msg;
        const bool ok = ReturnsWithin(std::chrono::seconds(10), dir.file().string(),
                                      [&] { return rec.Load(dir.str(), msg); });
        EXPECT_TRUE(ok) << kind;
        EXPECT_EQ(rec.Bytes(), fresh.Bytes()) << kind;
        EXPECT_NE(msg.find(dir.file().string()), std::string::npos) << msg;
        EXPECT_NE(msg.find(kind), std::string::npos) << msg;
        EXPECT_NE(msg.find("start values"), std::string::npos) << msg;
    };
    ASSERT_EQ(::mkfifo(dir.file().c_str(), 0600), 0);
    check("FIFO");
    fs::remove(dir.file());
    fs::create_symlink("/dev/zero", dir.file());
    check("character device");

    // A missing file is still the error it always was.
    fs::remove(dir.file());
    TSysInfo rec;
    std::string msg;
    EXPECT_FALSE(rec.Load(dir.str(), msg));
    EXPECT_NE(msg.find(dir.file().string()), std::string::npos) << msg;
}
