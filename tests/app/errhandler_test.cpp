// The fatal-error report and its log "Err3.Log".
#include "app/Errhandler.h"

#include <gtest/gtest.h>

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
