// The party settings file where it is not what its name says: a folder, a
// FIFO, a file far too large, or a link planted beside it. Nothing may hang,
// throw or write outside the file.
#include "party/Partysettings.h"
#include "Hangguard.h"
#include "Tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace fs = std::filesystem;

class PartySettingsFile : public TTempFolder {};

TEST_F(PartySettingsFile, SettingsThatAreNoFileGiveStartValuesAndAReasonWithoutHangingOrThrowing) {
    // A folder under the name ended the program (an uncaught "Is a
    // directory"); a FIFO hung the start for good.
    const fs::path folder = dir / "StarParty.dat", fifo = dir / "fifo.dat", big = dir / "big.dat";
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(big, std::ios::binary) << "Mode=3\n" << std::string(1 << 20, '#') << "\n";
    for (const auto& [path, kind] : {std::pair{folder, "folder"}, std::pair{fifo, "FIFO"},
                                     std::pair{big, "larger than"}}) {
        TPartySettings r;
        r.Mode = 2;
        std::string why;
        const bool ok = ReturnsWithin(std::chrono::seconds(10), fifo.string(),
                                      [&] { return r.Load(path.string(), why); });
        EXPECT_FALSE(ok) << path;
        EXPECT_EQ(r, TPartySettings()) << path;
        EXPECT_NE(why.find(path.string()), std::string::npos) << why;
        EXPECT_NE(why.find(kind), std::string::npos) << why;
    }
    // Saving over the folder fails with the reason; the folder stays.
    TPartySettings s;
    std::string why;
    EXPECT_FALSE(s.Save(folder.string(), why));
    EXPECT_NE(why.find(folder.string()), std::string::npos) << why;
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(PartySettingsFile, SavingSettingsNeverWritesThroughALinkLyingInTheFolder) {
    // A link under the name the temporary file used to have: the save wrote
    // the settings into the file it led to and left StarParty.dat the link.
    const fs::path outside = dir / "elsewhere" / "precious", path = dir / "StarParty.dat";
    fs::create_directory(dir / "elsewhere");
    std::ofstream(outside, std::ios::binary) << "keep";
    fs::create_symlink(outside, dir / "StarParty.dat.tmp");
    TPartySettings s;
    s.Mode = 3;
    s.Ids[0] = "S000002";
    std::string why;
    ASSERT_TRUE(s.Save(path.string(), why)) << why;
    std::ifstream in(outside, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_TRUE(fs::is_symlink(dir / "StarParty.dat.tmp"));
    TPartySettings r;
    ASSERT_TRUE(r.Load(path.string(), why)) << why;
    EXPECT_EQ(r, s);
}
