// A star party across a sync engine: two Syncthing instances on loopback
// (scripts/syncthing_pair.py), a commander writing into one side's folder
// and a receiver looking into the other's. A Sync, a Goto and a Stop each
// reach the receiver, and its status file comes back to the commander's
// row. Skipped, with the reason, where syncthing cannot run.
#include "party/Partycommand.h"
#include "party/Partydiskfolder.h"
#include "party/Partyreceiver.h"
#include "party/Partystatus.h"
#include "party/Partywatch.h"
#include "Tempfolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class PartySyncthing : public TTempFolder {
protected:
    void SetUp() override {
        TTempFolder::SetUp();
        script = fs::path(QUENLIRA_TESTS_DIR).parent_path() / "scripts" / "syncthing_pair.py";
        const std::string cmd = "python3 '" + script.string() + "' start '" + dir.string() +
                                "' 1 > '" + (dir / "start.txt").string() + "' 2>&1";
        const int rc = std::system(cmd.c_str());
        started = true;
        std::ifstream in(dir / "start.txt");
        std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (WIFEXITED(rc) && WEXITSTATUS(rc) == 77) GTEST_SKIP() << said;
        ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << said;
        a = (dir / "A" / "share").string() + "/";
        b = (dir / "B" / "share").string() + "/";
    }
    void TearDown() override {
        if (started)
            std::system(("python3 '" + script.string() + "' stop '" + dir.string() + "'").c_str());
        TTempFolder::TearDown();
    }
    // One poll of the receiver on side B: its look, and its status file.
    std::string ReceiverPoll() {
        TPartyDiskFolder disk(b);
        const TPartyPlan plan = receiver.Look(disk, NowMs());
        std::string applied;
        for (const TPartyStep& s : plan.Steps) {
            static const char* words[] = {"SYNC", "GOTO", "STOP"};
            applied = words[s.Order.Kind];
            status.Applied = s.At;
            status.Command = applied;
        }
        for (const std::string& name : plan.Handled)
            status.Handled.push_back(name);
        status.Mark = plan.Mark;
        status.Written = TPartyCommand::UtcStamp(NowMs());
        std::string why;
        EXPECT_TRUE(status.Write(b, why)) << why;
        return applied;
    }

    fs::path script;
    bool started = false;
    std::string a, b;
    TPartyReceiver receiver{"S000002", TPartyStamp()};
    TPartyStatus status;
};

} // namespace

TEST_F(PartySyncthing, SyncGotoAndStopReachTheReceiverAndItsStatusComesBack) {
    status.Id = "S000002";
    status.State = "following";
    status.Station = "side-B";
    ReceiverPoll();
    TPartyCommand commander;
    TPartyView view;
    view.Scale = 2500;
    view.ObjKind = 3, view.ObjNo = 4;
    const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
        {"SYNC", TPartyCommand::SyncLines(view)},
        {"GOTO", TPartyCommand::GotoLines(view)},
        {"STOP", TPartyCommand::StopLines()}};
    for (const auto& [word, lines] : commands) {
        SCOPED_TRACE(word);
        std::string path, why;
        const std::int64_t sentAt = NowMs();
        ASSERT_TRUE(commander.Create(a, "S000002", sentAt, lines, path, why)) << why;
        std::string got;
        while (got.empty() && NowMs() - sentAt < 30000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            got = ReceiverPoll();
        }
        EXPECT_EQ(got, word);
        std::cout << word << " reached the receiver after " << (NowMs() - sentAt) << " ms\n";
        // The receiver's status file, back on the commander's side.
        std::string bytes;
        for (const std::string& l : lines)
            bytes += l + "\r\n";
        const TPartySent sent{fs::path(path).filename().string(), sentAt, bytes};
        TPartyRow row;
        while (NowMs() - sentAt < 40000) {
            row = TPartyWatch::Look(a, {"S000002"}, NowMs(), {sent})[0];
            if (row.Seen && row.Status.Command == word && row.LagMs == 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        EXPECT_TRUE(row.Seen) << row.Why;
        EXPECT_EQ(row.Status.Command, word);
        EXPECT_EQ(row.LagMs, 0);
        EXPECT_EQ(row.Status.Station, "side-B");
        std::cout << word << ": the commander's row read it back after " << (NowMs() - sentAt)
                  << " ms\n";
    }
}
