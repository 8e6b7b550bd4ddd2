// Every picture in docs/pictures whose row in its README gives a
// quenlira-chart command is drawn again by the built tool from exactly that
// command and must be the same file, byte for byte: the documentation and the
// program cannot part. scripts/regen_pictures.sh reads the rows the same way.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kPictures = fs::path(QUENLIRA_TESTS_DIR) / ".." / "docs" / "pictures";

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Row {
    std::string File;    // first cell
    std::string Command; // inside the backticks of the second cell, when a quenlira-chart one
};

// The table rows: "| file.png | `quenlira-chart ...` | what to see |".
std::vector<Row> Rows(const std::string& readme) {
    std::vector<Row> rows;
    std::istringstream in(readme);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("| ", 0) != 0) continue;
        std::vector<std::string> cells;
        std::string cell;
        for (std::size_t i = 1; i < line.size(); ++i) {
            if (line[i] == '|') {
                cells.push_back(Trim(cell));
                cell.clear();
            } else {
                cell += line[i];
            }
        }
        if (cells.size() < 2 || cells[0].size() < 5 ||
            cells[0].compare(cells[0].size() - 4, 4, ".png") != 0)
            continue;
        Row r{cells[0], ""};
        const std::string start = "`quenlira-chart ";
        if (cells[1].rfind(start, 0) == 0 && cells[1].back() == '`')
            r.Command = cells[1].substr(start.size(), cells[1].size() - start.size() - 1);
        rows.push_back(r);
    }
    return rows;
}

} // namespace

TEST(DocPictures, EveryDocumentedPictureComesOutOfItsCommandByteForByte) {
    if (!fs::exists("./quenlira-chart")) GTEST_SKIP() << "tool not built";
    const std::string readme = ReadAll(kPictures / "README.md");
    ASSERT_FALSE(readme.empty()) << kPictures;
    const std::vector<Row> rows = Rows(readme);

    // Every picture in the folder has its row; every row its picture.
    std::set<std::string> documented;
    for (const Row& r : rows)
        documented.insert(r.File);
    int pictures = 0;
    for (const auto& e : fs::directory_iterator(kPictures))
        if (e.path().extension() == ".png") {
            ++pictures;
            EXPECT_TRUE(documented.count(e.path().filename().string()))
                << e.path().filename() << " has no row in docs/pictures/README.md";
        }
    for (const Row& r : rows)
        EXPECT_TRUE(fs::exists(kPictures / r.File)) << r.File << " is documented but missing";

    const fs::path tmp = fs::temp_directory_path() / ("quenlira-docpictures-" +
                                                      std::to_string(getpid()));
    fs::create_directories(tmp);
    int rebuilt = 0;
    for (const Row& r : rows) {
        if (r.Command.empty()) continue;
        SCOPED_TRACE(r.File);
        // Plain words only, so that the shell sees what the reader sees.
        ASSERT_EQ(r.Command.find_first_of("'\"\\$;&|<>`"), std::string::npos) << r.Command;
        ASSERT_EQ(r.Command.find(" -o"), std::string::npos) << "the output is added, not written";
        const fs::path out = tmp / r.File;
        const std::string cmd = "./quenlira-chart " + r.Command + " -o " + out.string();
        const int rc = std::system(cmd.c_str());
        ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << cmd;
        // Kept on a difference, so that the two can be looked at.
        const bool same = ReadAll(out) == ReadAll(kPictures / r.File);
        EXPECT_TRUE(same) << r.File << " no longer comes out of `quenlira-chart " << r.Command
                          << "`; the new picture is " << out
                          << " (scripts/regen_pictures.sh writes them all anew)";
        if (same) fs::remove(out);
        ++rebuilt;
    }
    // The table was read at all: all but the window test's picture.
    EXPECT_EQ(rebuilt, pictures - 1);
    EXPECT_GE(rebuilt, 13);
    std::error_code ec;
    fs::remove(tmp, ec); // only when empty: a differing picture stays
}
