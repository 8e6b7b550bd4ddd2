// The program's command line: --help and --version answer without a display,
// Qt's own options are left to Qt, and anything else is refused.
#include "app/Clscmdline.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {
TCmdLine::TAction Act(std::vector<std::string> args, bool strict) {
    args.insert(args.begin(), "quenlira");
    return TCmdLine::Parse(args, strict).Action;
}

// Runs a command with no display at all; its output and exit status.
int Shell(const std::string& command, std::string& out) {
    const std::string line =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command + " 2>&1";
    FILE* p = popen(line.c_str(), "r");
    if (!p) return -1;
    std::array<char, 4096> buf;
    out.clear();
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p))
        out.append(buf.data(), n);
    const int rc = pclose(p);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}
} // namespace

TEST(CommandLine, HelpAndVersionWinOverQtOptionsAndOtherWords) {
    EXPECT_EQ(Act({}, true), TCmdLine::Run);
    EXPECT_EQ(Act({"--help"}, false), TCmdLine::Help);
    EXPECT_EQ(Act({"-platform", "xcb", "-h"}, false), TCmdLine::Help);
    EXPECT_EQ(Act({"--version"}, false), TCmdLine::Version);
    EXPECT_EQ(Act({"--version", "--help"}, true), TCmdLine::Help);
    // Before Qt has looked, words we do not know may be Qt's.
    EXPECT_EQ(Act({"-platform", "offscreen"}, false), TCmdLine::Run);
    // After it, they are the user's mistake, named in the message.
    const TCmdLine bad = TCmdLine::Parse({"quenlira", "--vers"}, true);
    EXPECT_EQ(bad.Action, TCmdLine::Bad);
    EXPECT_NE(bad.Message.find("'--vers'"), std::string::npos);
    EXPECT_EQ(Act({"Sysinfo.dat"}, true), TCmdLine::Bad);
}

TEST(CommandLine, TelescopeAddressIsOursAndCheckedInTheStrictPass) {
    auto parse = [](std::vector<std::string> args, bool strict) {
        args.insert(args.begin(), "quenlira");
        return TCmdLine::Parse(args, strict);
    };
    TCmdLine c = parse({"--telescope", "observatory:7625/EQMod Mount"}, true);
    EXPECT_EQ(c.Action, TCmdLine::Run) << c.Message;
    EXPECT_TRUE(c.Telescope);
    EXPECT_EQ(c.TelescopeHost, "observatory");
    EXPECT_EQ(c.TelescopePort, 7625);
    EXPECT_EQ(c.TelescopeDevice, "EQMod Mount");
    c = parse({"-platform", "xcb", "--telescope=localhost"}, false);
    EXPECT_TRUE(c.Telescope);
    EXPECT_EQ(c.TelescopePort, 7624);
    // No value, or no address: refused with what is wrong, not taken for Qt's.
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--telescope"},
                                                {"--telescope", "host:0"},
                                                {"--telescope=:7624"}}) {
        c = parse(bad, true);
        EXPECT_EQ(c.Action, TCmdLine::Bad) << bad.back();
        EXPECT_NE(c.Message.find("--telescope"), std::string::npos) << c.Message;
        EXPECT_FALSE(c.Telescope);
        EXPECT_EQ(parse(bad, false).Action, TCmdLine::Run); // the first pass leaves it
    }
    // The address is not an unknown word after it.
    EXPECT_EQ(parse({"--telescope", "localhost:7624", "--version"}, true).Action,
              TCmdLine::Version);
}

TEST(CommandLine, BothProgramsAnswerHelpAndVersionWithoutADisplay) {
    if (!std::filesystem::exists("./quenlira") || !std::filesystem::exists("./quenlira-chart"))
        GTEST_SKIP() << "programs not built";
    std::string out;
    EXPECT_EQ(Shell("./quenlira --help", out), 0) << out;
    EXPECT_EQ(out.rfind("Usage: quenlira", 0), 0u) << out;
    EXPECT_NE(out.find("--version"), std::string::npos);
    EXPECT_EQ(Shell("./quenlira --version", out), 0) << out;
    EXPECT_EQ(out, TCmdLine::VersionText());
    EXPECT_NE(out.find(" 3."), std::string::npos) << out; // the project's version, not "unknown"
    EXPECT_EQ(Shell("./quenlira-chart --help", out), 0) << out;
    EXPECT_EQ(out.rfind("Usage: quenlira-chart", 0), 0u) << out;
    EXPECT_EQ(Shell("./quenlira-chart --version", out), 0) << out;
    EXPECT_EQ(out.rfind("quenlira-chart 3.", 0), 0u) << out;
    // A word neither we nor Qt know: refused on the offscreen platform,
    // without a window.
    EXPECT_EQ(
        Shell("env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp ./quenlira --frobnicate", out), 2)
        << out;
    EXPECT_NE(out.find("unknown argument '--frobnicate'"), std::string::npos) << out;
}
