// The telescope settings file and the "HOST:PORT[/DEVICE]" address.
#include "Tempfolder.h"
#include "scope/Clsscopeset.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

using ScopeSettingsFile = TTempFolder;

TEST_F(ScopeSettingsFile, MissingMeansDefaultsAndSavedComesBack) {
    TScopeSettings s;
    std::string why;
    ASSERT_TRUE(s.Load(dir.string(), why)) << why;
    EXPECT_EQ(s.Host, "localhost");
    EXPECT_EQ(s.Port, 7624);
    EXPECT_EQ(s.Device, "");
    EXPECT_EQ(s.PartyGoto, TScopeSettings::Ask);

    s.Host = "observatory.local";
    s.Port = 7777;
    s.Device = "EQMod Mount";
    s.PartyGoto = TScopeSettings::Follow;
    ASSERT_TRUE(s.Save(dir.string(), why)) << why;
    TScopeSettings back;
    ASSERT_TRUE(back.Load(dir.string(), why)) << why;
    EXPECT_EQ(back.Host, "observatory.local");
    EXPECT_EQ(back.Port, 7777);
    EXPECT_EQ(back.Device, "EQMod Mount");
    EXPECT_EQ(back.PartyGoto, TScopeSettings::Follow);
    // Only the file itself is left behind.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(ScopeSettingsFile, DamagedFileIsReportedAndChangesNothing) {
    const struct {
        const char* text;
        const char* reason;
    } bad[] = {
        {"host=a\nport=0\n", "port"},
        {"host=a\nport=70000\n", "port"},
        {"port=12ab\n", "port"},
        {"host=\n", "host"},
        {"just words\n", "line 1"},
        {"host=x\nparty-goto=sometimes\n", "party-goto"},
        {"device=a\x01z\n", "device"},
    };
    for (const auto& b : bad) {
        std::ofstream(dir / TScopeSettings::kFileName, std::ios::binary) << b.text;
        TScopeSettings s;
        s.Host = "kept";
        std::string why;
        EXPECT_FALSE(s.Load(dir.string(), why)) << b.text;
        EXPECT_NE(why.find(b.reason), std::string::npos) << b.text << " -> " << why;
        EXPECT_EQ(s.Host, "kept");
    }
    // Comments, blank lines, CR LF and keys of a later version are fine.
    std::ofstream(dir / TScopeSettings::kFileName, std::ios::binary)
        << "# telescope\r\n\r\nhost = scope\r\nport=7625\r\nfocuser=x\r\n";
    TScopeSettings s;
    std::string why;
    ASSERT_TRUE(s.Load(dir.string(), why)) << why;
    EXPECT_EQ(s.Host, "scope");
    EXPECT_EQ(s.Port, 7625);
}

TEST(ScopeTarget, HostPortAndDevice) {
    std::string host, device, why;
    int port = 0;
    ASSERT_TRUE(TScopeSettings::ParseTarget("localhost:7624/Telescope Simulator", host, port,
                                            device, why));
    EXPECT_EQ(host, "localhost");
    EXPECT_EQ(port, 7624);
    EXPECT_EQ(device, "Telescope Simulator");
    ASSERT_TRUE(TScopeSettings::ParseTarget("10.1.1.5", host, port, device, why));
    EXPECT_EQ(host, "10.1.1.5");
    EXPECT_EQ(port, 7624);
    EXPECT_EQ(device, "");
    ASSERT_TRUE(TScopeSettings::ParseTarget("mount:1/EQ/Mod", host, port, device, why));
    EXPECT_EQ(port, 1);
    EXPECT_EQ(device, "EQ/Mod");
    for (const char* bad : {"", ":7624", "host:", "host:0", "host:65536", "host:-1", "host:7x"}) {
        host = "unchanged";
        EXPECT_FALSE(TScopeSettings::ParseTarget(bad, host, port, device, why)) << bad;
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(host, "unchanged");
    }
}

} // namespace
