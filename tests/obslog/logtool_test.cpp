// quenlira-log from the command line: export, import, lists, and bad input
// answered with status 2 and the reason, leaving the database as it was.
#include "Logfixture.h"
#include "obslog/Clsobslog.h"

#include <cstdio>
#include <sys/wait.h>

namespace {

struct TRun {
    int Status = -1;
    std::string Out;
};

// Runs the tool (built beside the tests) with stderr joined to stdout.
TRun Tool(const std::string& args) {
    TRun r;
    FILE* p = popen(("./quenlira-log " + args + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.Out.append(buf, n);
    const int st = pclose(p);
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

} // namespace

using LogTool = LogFolder;

TEST_F(LogTool, ExportsImportsAndListsWithoutADisplay) {
    if (!std::filesystem::exists("quenlira-log")) GTEST_SKIP() << "quenlira-log not built";
    const std::string db = " --database '" + path + "' ";
    {
        TLogDb d;
        std::string err;
        ASSERT_TRUE(d.Open(path, err)) << err;
        TObsLog log(d);
        TLogSite site{0, "Backyard", 0.1, 0.9, 30.0, 0};
        TObservation o;
        o.SiteId = log.AddSite(site, err);
        o.Begin = 1796735742;
        o.Object.Name = "M 13";
        o.Object.Type = "GC";
        o.Seeing = 3;
        o.Notes = "Resolved to the core";
        ASSERT_GT(log.Add(o, err), 0) << err;
    }
    TRun r = Tool(db + "list");
    EXPECT_EQ(r.Status, 0) << r.Out;
    EXPECT_NE(r.Out.find("2026-12-08T13:15:42+00:00\tM 13\tBackyard"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("S3\t\tResolved to the core"), std::string::npos) << r.Out;

    r = Tool(db + "export --oal '" + dir + "/log.xml'");
    ASSERT_EQ(r.Status, 0) << r.Out;
    const std::string other = " --database '" + dir + "/other.db' ";
    r = Tool(other + "import '" + dir + "/log.xml'");
    EXPECT_EQ(r.Status, 0) << r.Out;
    EXPECT_NE(r.Out.find("1 observations added, 0 already"), std::string::npos) << r.Out;
    EXPECT_EQ(Tool(other + "export --oal -").Out, Tool(db + "export --oal -").Out);

    Spit(dir + "/list.csv", "name,RA,Dec,kind,magnitude,note\nM 13,16:41:41.6,+36:27:41,globular "
                            "cluster,5.8,high at midnight\nM 92,17:17:07.4,+43:08:09,,6.4,\n");
    r = Tool(db + "import --csv '" + dir + "/list.csv' --list 'Summer globulars'");
    EXPECT_EQ(r.Status, 0) << r.Out;
    r = Tool(db + "lists");
    EXPECT_EQ(r.Out, "Summer globulars\t2\n");
    r = Tool(db + "export --csv - --list 'Summer globulars'");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "name,RA,Dec,kind,magnitude,note\r\n"
                     "M 13,16:41:41.6,+36:27:41,globular cluster,5.80,high at midnight\r\n"
                     "M 92,17:17:07.4,+43:08:09,,6.40,\r\n");
}

TEST_F(LogTool, BadInputGivesStatusTwoWithTheReason) {
    if (!std::filesystem::exists("quenlira-log")) GTEST_SKIP() << "quenlira-log not built";
    const std::string db = " --database '" + path + "' ";
    EXPECT_EQ(Tool(db + "frobnicate").Status, 2);
    EXPECT_EQ(Tool(db + "export").Status, 2);
    EXPECT_EQ(Tool(db + "import").Status, 2);
    Spit(dir + "/bad.xml", "<oal:observations version=\"2.1\" xmlns:oal=\"x\"><observers>");
    TRun r = Tool(db + "import '" + dir + "/bad.xml'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Out.find("Not a readable XML file"), std::string::npos) << r.Out;
    r = Tool(db + "import '" + dir + "/missing.xml'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Out.find("missing.xml"), std::string::npos) << r.Out;
    Spit(dir + "/bad.csv", "name,RA,Dec\nM1,99:00:00,+10:00:00\n");
    r = Tool(db + "import --csv '" + dir + "/bad.csv' --list L");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Out.find("Line 2"), std::string::npos) << r.Out;
    // Nothing was made by the refusals.
    EXPECT_FALSE(std::filesystem::exists(path));
    // A database that is no database: status 1, the file as it was.
    Spit(path, "not a database, a letter");
    r = Tool(db + "list");
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find("not a database"), std::string::npos) << r.Out;
    EXPECT_EQ(Slurp(path), "not a database, a letter");
}
