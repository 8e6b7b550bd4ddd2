// Files from the user or another station that are not what their names say:
// FIFOs, devices, folders, links planted where a file is about to be written,
// files too large, a disk that fills. Nothing may hang, grow without bound or
// write outside the file meant; every refusal names the file and the reason.
#include "catalog/Safefile.h"

#include "Fulldisk.h"
#include "Hangguard.h"
#include "Tempfolder.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class SafeFile : public TTempFolder {};

TEST_F(SafeFile, ReadingRefusesWhatIsNotAPlainFileAtOnceAndSaysWhat) {
    const fs::path fifo = dir / "b.opt", zero = dir / "z.opt", folder = dir / "StarParty.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", zero);
    fs::create_directory(folder);
    struct Case {
        fs::path path;
        const char* kind;
    } cases[] = {{fifo, "FIFO"}, {zero, "character device"}, {folder, "folder"}};
    for (const Case& c : cases) {
        std::string data = "old", error;
        const bool ok = ReturnsWithin(std::chrono::seconds(5), fifo.string(), [&] {
            return TSafeFile::ReadAll(c.path.string(), 1 << 20, data, error);
        });
        EXPECT_FALSE(ok) << c.path;
        EXPECT_TRUE(data.empty()) << c.path;
        EXPECT_NE(error.find(c.path.string()), std::string::npos) << error;
        EXPECT_NE(error.find(c.kind), std::string::npos) << error;
    }
    std::string data, error;
    EXPECT_FALSE(TSafeFile::ReadAll((dir / "missing").string(), 10, data, error));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

TEST_F(SafeFile, ReadingStopsAtTheCapAndCanRefuseLinks) {
    const fs::path file = dir / "a.opt", link = dir / "l.opt";
    Put(file, std::string(1000, 'x'));
    fs::create_symlink(file, link);
    std::string data, error;
    EXPECT_TRUE(TSafeFile::ReadAll(file.string(), 1000, data, error)) << error;
    EXPECT_EQ(data.size(), 1000u);
    EXPECT_FALSE(TSafeFile::ReadAll(file.string(), 999, data, error));
    EXPECT_NE(error.find("larger than 999 bytes"), std::string::npos) << error;
    EXPECT_TRUE(data.empty());

    bool more = false;
    EXPECT_TRUE(TSafeFile::ReadHead(file.string(), 600, data, more, error)) << error;
    EXPECT_TRUE(more);
    EXPECT_EQ(data, std::string(600, 'x'));

    EXPECT_TRUE(TSafeFile::ReadAll(link.string(), 1000, data, error, true)) << error;
    EXPECT_FALSE(TSafeFile::ReadAll(link.string(), 1000, data, error, false));
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
    EXPECT_NE(error.find(link.string()), std::string::npos) << error;
}

TEST_F(SafeFile, ReplacingNeverWritesThroughAPlantedLinkAndKeepsTheUsersLink) {
    // A link planted under the name a fixed temporary file would have.
    const fs::path outside = dir / "outside", path = dir / "StarParty.dat";
    Put(outside, "precious");
    fs::create_symlink(outside, dir / "StarParty.dat.tmp");
    Put(path, "old");
    fs::permissions(path, fs::perms(0640));
    std::string error;
    ASSERT_TRUE(TSafeFile::WriteAtomic(path.string(), "new", error)) << error;
    EXPECT_EQ(Slurp(outside), "precious");
    EXPECT_EQ(Slurp(path), "new");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"StarParty.dat", "StarParty.dat.tmp",
                                                     "outside"}));

    // A link the user made on purpose (settings in a synced folder) stays.
    const fs::path real = dir / "synced", linked = dir / "Sysinfo.dat";
    Put(real, "one");
    fs::create_symlink("synced", linked);
    ASSERT_TRUE(TSafeFile::WriteAtomic(linked.string(), "two", error)) << error;
    EXPECT_TRUE(fs::is_symlink(linked));
    EXPECT_EQ(Slurp(real), "two");
}

TEST_F(SafeFile, AFailedReplacementLeavesTheOldFileAndSaysWhy) {
    const fs::path path = dir / "Sysinfo.dat", folder = dir / "StarParty.dat";
    Put(path, "old");
    fs::create_directory(folder);
    std::string error;
    EXPECT_FALSE(TSafeFile::WriteAtomic(folder.string(), "x", error));
    EXPECT_NE(error.find(folder.string()), std::string::npos) << error;
    {
        TFullDisk full;
        ASSERT_TRUE(full.Full());
        EXPECT_FALSE(TSafeFile::WriteAtomic(path.string(), std::string(10000, 'n'), error));
    }
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_NE(error.find("large"), std::string::npos) << error; // EFBIG
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"StarParty.dat", "Sysinfo.dat"}));
}

TEST_F(SafeFile, CreatingANewFileNeverReplacesOrFollows) {
    const fs::path outside = dir / "outside", path = dir / "S000002-202612071736460.pty";
    Put(outside, "precious");
    std::string error;
    bool taken = true;
    ASSERT_TRUE(TSafeFile::CreateNew(path.string(), "SYNC\r\n", error, taken)) << error;
    EXPECT_FALSE(taken);
    EXPECT_EQ(Slurp(path), "SYNC\r\n");
    // Other stations read the shared folder: the file is not private.
    EXPECT_NE(fs::status(path).permissions() & fs::perms::others_read, fs::perms::none);

    EXPECT_FALSE(TSafeFile::CreateNew(path.string(), "GOTO\r\n", error, taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(Slurp(path), "SYNC\r\n");

    // A link to a local file, and a dangling one, under the name: neither is
    // followed, the name counts as taken.
    const fs::path planted = dir / "S000002-202612071736461.pty";
    const fs::path dangling = dir / "S000002-202612071736462.pty";
    fs::create_symlink(outside, planted);
    fs::create_symlink(dir / "nowhere", dangling);
    EXPECT_FALSE(TSafeFile::CreateNew(planted.string(), "x", error, taken));
    EXPECT_TRUE(taken);
    EXPECT_FALSE(TSafeFile::CreateNew(dangling.string(), "x", error, taken));
    EXPECT_TRUE(taken);
    EXPECT_EQ(Slurp(outside), "precious");
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"S000002-202612071736460.pty",
                                                     "S000002-202612071736461.pty",
                                                     "S000002-202612071736462.pty", "outside"}));

    EXPECT_FALSE(TSafeFile::CreateNew((dir / "gone" / "x.pty").string(), "x", error, taken));
    EXPECT_FALSE(taken);
    EXPECT_NE(error.find("gone"), std::string::npos) << error;
}

TEST_F(SafeFile, ALogRotatesAtItsCapAndIsNeverALinkOrAFifo) {
    const fs::path log = dir / "Receiver.log";
    std::string error;
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(TSafeFile::AppendCapped(log.string(), "line " + std::to_string(i % 10) + "\n",
                                            40, error))
            << error;
    // Seven-byte lines, a cap of 40: five to a file; the last 25 = 5 x 5.
    EXPECT_EQ(Slurp(log), "line 0\nline 1\nline 2\nline 3\nline 4\n");
    EXPECT_EQ(Slurp(dir / "Receiver.log.1"), "line 5\nline 6\nline 7\nline 8\nline 9\n");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"Receiver.log", "Receiver.log.1"}));
    ASSERT_TRUE(TSafeFile::AppendCapped(log.string(), std::string(100, 'y'), 40, error));
    EXPECT_EQ(Slurp(log), std::string(40, 'y'));

    const fs::path outside = dir / "outside", linked = dir / "Err3.Log", fifo = dir / "f.log";
    Put(outside, "precious");
    fs::create_symlink(outside, linked);
    EXPECT_FALSE(TSafeFile::AppendCapped(linked.string(), "x\n", 1000, error));
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
    EXPECT_EQ(Slurp(outside), "precious");

    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Also with a reader at the other end, where a plain open would succeed.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    for (int round = 0; round < 2; ++round) {
        const bool ok = ReturnsWithin(std::chrono::seconds(5), fifo.string(), [&] {
            return TSafeFile::AppendCapped(fifo.string(), "x\n", 1000, error);
        });
        EXPECT_FALSE(ok);
        EXPECT_NE(error.find("FIFO"), std::string::npos) << error;
        EXPECT_NE(error.find(fifo.string()), std::string::npos) << error;
    }
    if (reader >= 0) ::close(reader);
}
