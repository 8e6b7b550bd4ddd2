// Where the files live: beside a writable program folder that holds the
// catalogues, else the shared catalogues and the user's data folder.
#include "catalog/Clsfolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(Folders, BesideTheProgramOrInstalledWithTheUsersDataFolder) {
    const fs::path root =
        fs::temp_directory_path() / ("quenlira-folders-" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path build = root / "build", bin = root / "usr" / "bin",
                   share = root / "usr" / "share" / "quenlira", home = root / "home";
    fs::create_directories(build);
    fs::create_directories(bin);
    fs::create_directories(share);
    fs::create_directories(home);
    std::ofstream(build / "Star.dat") << "x";
    std::ofstream(share / "Star.dat") << "x";

    TFolders f = TFolders::Decide(build.string(), nullptr, home.c_str());
    EXPECT_FALSE(f.Installed);
    EXPECT_EQ(f.Catalogs, build.string());
    EXPECT_EQ(f.User, build.string());

    f = TFolders::Decide(bin.string(), "", home.c_str());
    EXPECT_TRUE(f.Installed);
    EXPECT_EQ(fs::path(f.Catalogs), share);
    EXPECT_EQ(fs::path(f.User), home / ".local" / "share" / "quenlira");
    EXPECT_TRUE(fs::is_directory(f.User));

    // $XDG_DATA_HOME wins when absolute; a relative one is ignored.
    const fs::path xdg = root / "xdg";
    f = TFolders::Decide(bin.string(), xdg.c_str(), home.c_str());
    EXPECT_EQ(fs::path(f.User), xdg / "quenlira");
    f = TFolders::Decide(bin.string(), "relative/data", home.c_str());
    EXPECT_EQ(fs::path(f.User), home / ".local" / "share" / "quenlira");

    // No place to write: a reason, no folder.
    f = TFolders::Decide(bin.string(), nullptr, nullptr);
    EXPECT_TRUE(f.User.empty());
    EXPECT_FALSE(f.Error.empty());
    fs::remove_all(root);
}
