// The desk side file: what F12 chose comes back at the next start; a file
// that is damaged or from a later version gives the defaults and a reason,
// and is never half believed.
#include "app/Clsdesk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Tempfolder.h"

namespace {

class Desk : public TTempFolder {
protected:
    void Write(const std::string& text) {
        std::ofstream(dir / TDesk::kFileName, std::ios::binary) << text;
    }
    // Loads into a desk that starts with night on, so that "the defaults"
    // must really be put back.
    bool Load(TDesk& d, std::string& why) {
        d.Night = true;
        return d.Load(dir.string(), why);
    }
};

} // namespace

TEST_F(Desk, NightVisionIsKeptAndAMissingFileMeansDay) {
    TDesk d;
    std::string why;
    EXPECT_TRUE(Load(d, why)) << why;
    EXPECT_FALSE(d.Night);

    d.Night = true;
    ASSERT_TRUE(d.Save(dir.string(), why)) << why;
    TDesk back;
    EXPECT_TRUE(back.Load(dir.string(), why)) << why;
    EXPECT_TRUE(back.Night);
    d.Night = false;
    ASSERT_TRUE(d.Save(dir.string(), why)) << why;
    EXPECT_TRUE(Load(back, why)) << why;
    EXPECT_FALSE(back.Night);

    // Written by hand: comments, spaces, CR LF and keys of a later minor
    // change are fine.
    Write("# mine\r\n version = 1 \r\nnight= on\r\nscale=2\r\n");
    EXPECT_TRUE(back.Load(dir.string(), why)) << why;
    EXPECT_TRUE(back.Night);
}

TEST_F(Desk, DamagedOrLaterFilesGiveTheDefaultsAndSayWhy) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"version=2\nnight=off\n", "later version"},
        {"version=99999999999\nnight=on\n", "not a number"},
        {"night=on\n", "no version"},
        {"version=1\nnight=maybe\n", "on or off"},
        {"version=1\nnight=on\ngarbage\n", "not key=value"},
        {"version=one\nnight=on\n", "not a number"},
        {"\x01\x02\xff\xfe night=on version=1", "no version"},
        {"\x01\x02\xff\xfe\n", "not key=value"},
    };
    for (const auto& c : cases) {
        Write(c.text);
        TDesk d;
        std::string why;
        EXPECT_FALSE(Load(d, why)) << c.text;
        EXPECT_FALSE(d.Night) << c.text;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.text << " -> " << why;
        EXPECT_NE(why.find(TDesk::kFileName), std::string::npos) << why;
        for (unsigned char ch : why)
            EXPECT_GE(ch, 0x20) << "a control character in the message: " << why;
    }
    // Not a file at all, or far too long to be one of ours.
    std::filesystem::remove(dir / TDesk::kFileName);
    std::filesystem::create_directory(dir / TDesk::kFileName);
    TDesk d;
    std::string why;
    EXPECT_FALSE(Load(d, why));
    EXPECT_FALSE(d.Night);
    EXPECT_FALSE(why.empty());
    std::filesystem::remove(dir / TDesk::kFileName);
    Write("version=1\nnight=on\n" + std::string(100000, '#'));
    EXPECT_FALSE(Load(d, why));
    EXPECT_FALSE(d.Night);
}
