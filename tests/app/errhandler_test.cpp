// The fatal-error report and its log "Err3.Log".
#include "app/Errhandler.h"

#include "Hangguard.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

TEST(ErrorReport, TextAndLogLines) {
    EXPECT_EQ(ErrorText(0, "Division by zero"), "Error\r\n\r\nErrorNo.0\r\nDivision by zero");
    EXPECT_EQ(ErrorText(1234, ""), "Error\r\n\r\nErrorNo.1234\r\n");

    std::random_device rd;
    fs::path dir = fs::temp_directory_path() / ("quenlira_err_" + std::to_string(rd()));
    fs::create_directories(dir);
    // Appended, one "%d %s\n" line per error, never rewritten.
    ASSERT_TRUE(AppendErrLog(dir.string(), 0, "File not found"));
    ASSERT_TRUE(AppendErrLog(dir.string() + "/", -3, "second"));
    std::ifstream f(dir / "Err3.Log", std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    EXPECT_EQ(ss.str(), "0 File not found\n-3 second\n");
    // A log that cannot be opened writes nothing and says so.
    EXPECT_FALSE(AppendErrLog((dir / "no such folder").string(), 0, "lost"));
    fs::remove_all(dir);
}

TEST(ErrorReport, HandlerGetsEachErrorOnce) {
    std::vector<std::pair<int, std::string>> seen;
    TApplication::SetErrorHandler([&](int no, const std::string& msg) {
        seen.push_back({no, msg});
        // An error while reporting must not start another report.
        TApplication::HandleError(no + 1, "inside");
    });
    EXPECT_TRUE(TApplication::HasErrorHandler());
    TApplication::HandleError(7, "outer");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::pair<int, std::string>{7, "outer"}));
    // A handler that throws does not take the program down with it.
    TApplication::SetErrorHandler([](int, const std::string&) { throw std::runtime_error("x"); });
    EXPECT_NO_THROW(TApplication::HandleError(1, "again"));
    TApplication::SetErrorHandler(nullptr);
    EXPECT_FALSE(TApplication::HasErrorHandler());
    EXPECT_NO_THROW(TApplication::HandleError(2, "no handler"));
}

TEST(ErrorReport, TheLogIsNeverAFifoOrALinkAndKeepsToItsCap) {
    // A FIFO named Err3.Log hung the report of an error; a link there sent
    // the line into the file it led to; the log grew without end.
    std::random_device rd;
    const fs::path dir = fs::temp_directory_path() / ("quenlira_errcap_" + std::to_string(rd()));
    fs::create_directories(dir);
    const fs::path log = dir / "Err3.Log", outside = dir / "outside";
    ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
    EXPECT_FALSE(ReturnsWithin(std::chrono::seconds(10), log.string(),
                               [&] { return AppendErrLog(dir.string(), 0, "x"); }));
    fs::remove(log);
    std::ofstream(outside) << "keep";
    fs::create_symlink(outside, log);
    EXPECT_FALSE(AppendErrLog(dir.string(), 0, "x"));
    std::ifstream in(outside);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");
    fs::remove(log);

    const std::string line(999, 'e'); // "0 " + 999 + "\n": 1002 bytes a line
    for (int i = 0; i < 2100; ++i)
        ASSERT_TRUE(AppendErrLog(dir.string(), 0, line));
    const auto cap = static_cast<std::uintmax_t>(kErrLogCap);
    EXPECT_LE(fs::file_size(log), cap);
    EXPECT_LE(fs::file_size(dir / "Err3.Log.1"), cap);
    // 1046 lines fill a file; 2100 = 2 x 1046 + 8.
    EXPECT_EQ(fs::file_size(log), 8u * 1002u);
    EXPECT_EQ(fs::file_size(dir / "Err3.Log.1"), 1046u * 1002u);
    fs::remove_all(dir);
}
