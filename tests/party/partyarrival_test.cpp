// What a sync engine between the stations does to the order of commands: a
// commander's clock that goes back at the end of summer time, a second
// commander whose clock is behind, files delivered out of order or late, and
// the conflict copies and temporary files of Syncthing. Files are written by
// the commanders into a staging folder, with their file times set to the
// moment of writing by the writer's clock (as a sync engine carries them
// over), and moved into the shared folder when they "arrive".
#include "party/Partycommand.h"
#include "party/Partydiskfolder.h"
#include "party/Partyreceiver.h"
#include "Tempfolder.h"
#include "Partytest.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
constexpr std::int64_t kSecond = 1000, kMinute = 60 * kSecond;

std::string Joined(const std::vector<std::string>& lines) {
    std::string t;
    for (const std::string& l : lines)
        t += l + "\n";
    return t;
}

class PartyArrival : public TTempFolder {
protected:
    void SetUp() override {
        TTempFolder::SetUp();
        share = dir / "share";
        stage = dir / "stage";
        fs::create_directories(share);
        fs::create_directories(stage);
        const char* tz = std::getenv("TZ");
        hadTz = tz != nullptr;
        if (tz) oldTz = tz;
    }
    void TearDown() override {
        if (hadTz)
            setenv("TZ", oldTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        TTempFolder::TearDown();
    }
    void Zone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }
    // A press on commander c at utMs by its own clock; the file waits in the
    // staging folder with that moment as its file time. Its name.
    std::string Write(TPartyCommand& c, std::int64_t utMs, const std::vector<std::string>& lines) {
        std::string path, why;
        EXPECT_TRUE(c.Create(stage.string() + "/", id, utMs, lines, path, why)) << why;
        SetFileTime(path, utMs);
        return fs::path(path).filename().string();
    }
    static void SetFileTime(const fs::path& p, std::int64_t ms) {
        const timespec t{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
        const timespec both[2] = {t, t};
        ASSERT_EQ(utimensat(AT_FDCWD, p.c_str(), both, 0), 0);
    }
    std::string Sync(TPartyCommand& c, std::int64_t utMs, int scale) {
        TPartyView v;
        v.Scale = scale;
        return Write(c, utMs, TPartyCommand::SyncLines(v));
    }
    std::string Goto(TPartyCommand& c, std::int64_t utMs, int number) {
        TPartyView v;
        v.ObjKind = 4, v.ObjNo = number;
        return Write(c, utMs, TPartyCommand::GotoLines(v));
    }
    std::string Stop(TPartyCommand& c, std::int64_t utMs) {
        return Write(c, utMs, TPartyCommand::StopLines());
    }
    // The sync engine delivers a staged file under a name of its choice.
    void Arrive(const std::string& name, const std::string& as = "") {
        fs::rename(stage / name, share / (as.empty() ? name : as));
    }
    TPartyPlan Look(std::int64_t nowMs) {
        TPartyDiskFolder disk(share.string() + "/");
        return receiver.Look(disk, nowMs);
    }
    static std::vector<std::string> Steps(const TPartyPlan& p) {
        std::vector<std::string> out;
        for (const TPartyStep& s : p.Steps)
            out.push_back(s.Order.Kind == TPartyOrder::Sync
                              ? "SYNC " + std::to_string(s.Order.View.Scale)
                          : s.Order.Kind == TPartyOrder::Goto
                              ? "GOTO " + std::to_string(s.Order.View.ObjNo)
                              : std::string("STOP"));
        return out;
    }

    const std::string id = "S000030";
    fs::path share, stage;
    TPartyReceiver receiver{id, TPartyStamp()};
    bool hadTz = false;
    std::string oldTz;
};

using Plan = std::vector<std::string>;

// 2026-10-25 01:00:00 UT, when 03:00 summer time becomes 02:00 in Berlin.
const std::int64_t kBerlinFallBack = 1792890000000LL;

} // namespace

// The commander's clock turns from 02:59:59 summer time back to 02:00:00:
// the Stop, Sync and Goto written after it carry stamps an hour before the
// Goto applied last, and each is applied as it comes, with a line that says
// why. A restart afterwards takes them as done, as the mark never goes back.
TEST_F(PartyArrival, EndOfSummerTimeOnTheCommanderLosesNoCommand) {
    Zone("Europe/Berlin");
    ASSERT_EQ(TPartyCommand::LocalStamp(kBerlinFallBack - 20 * kSecond), "20261025025940");
    ASSERT_EQ(TPartyCommand::LocalStamp(kBerlinFallBack + 20 * kSecond), "20261025020020");
    TPartyCommand commander;
    const std::int64_t t = kBerlinFallBack;
    Look(t - 60 * kSecond); // the receiver starts on an empty folder
    const std::string go = Goto(commander, t - 20 * kSecond, 42);
    EXPECT_EQ(go, "S000030-202610250259400.pty");
    Arrive(go);
    EXPECT_EQ(Steps(Look(t - 18 * kSecond)), Plan({"GOTO 42"}));

    const std::string stop = Stop(commander, t + 20 * kSecond);
    EXPECT_EQ(stop, "S000030-202610250200200.pty");
    Arrive(stop);
    TPartyPlan p = Look(t + 22 * kSecond);
    EXPECT_EQ(Steps(p), Plan({"STOP"}));
    EXPECT_EQ(Joined(p.Log), stop + ": dated before " + go +
                                 ", applied as it comes (a commander's clock went back or is "
                                 "behind)\n");
    EXPECT_EQ(p.ClockBack, stop + " is dated before " + go);
    EXPECT_FALSE(p.MarkMoved);

    const std::string sync = Sync(commander, t + 40 * kSecond, 2222);
    Arrive(sync);
    EXPECT_EQ(Steps(Look(t + 42 * kSecond)), Plan({"SYNC 2222"}));
    const std::string go2 = Goto(commander, t + 60 * kSecond, 7);
    Arrive(go2);
    EXPECT_EQ(Steps(Look(t + 62 * kSecond)), Plan({"GOTO 7"}));
    // Each once.
    p = Look(t + 64 * kSecond);
    EXPECT_TRUE(p.Steps.empty());
    EXPECT_TRUE(p.Log.empty());

    TPartyReceiver restarted(id, receiver.Mark());
    EXPECT_EQ(receiver.Mark().Stamp, "20261025025940");
    TPartyDiskFolder disk(share.string() + "/");
    p = restarted.Look(disk, t + 70 * kSecond);
    EXPECT_TRUE(p.Steps.empty());
    EXPECT_EQ(p.Log.size(), 4u);
}

// A second commander whose clock is ten minutes behind the first's: its Goto,
// dated before the Sync applied, is applied; the first commander's next Stop
// as well.
TEST_F(PartyArrival, SecondCommanderTenMinutesBehindIsFollowed) {
    const std::int64_t t = LocalMs(2026, 12, 7, 21, 0, 0);
    TPartyCommand first, second;
    Look(t);
    const std::string sync = Sync(first, t + 1 * kSecond, 1500);
    Arrive(sync);
    EXPECT_EQ(Steps(Look(t + 2 * kSecond)), Plan({"SYNC 1500"}));
    const std::string go = Goto(second, t + 30 * kSecond - 10 * kMinute, 5);
    Arrive(go);
    TPartyPlan p = Look(t + 32 * kSecond);
    EXPECT_EQ(Steps(p), Plan({"GOTO 5"}));
    EXPECT_FALSE(p.ClockBack.empty());
    const std::string stop = Stop(first, t + 60 * kSecond);
    Arrive(stop);
    EXPECT_EQ(Steps(Look(t + 62 * kSecond)), Plan({"STOP"}));
}

// Syncthing pulls files in any order. A Goto delivered one poll before the
// older Sync: the receiver ends on the Goto and names the Sync it passed
// over. A file written an hour before the command applied that arrives only
// now is late, and said so.
TEST_F(PartyArrival, OutOfOrderAndLateFilesAreNamedNotApplied) {
    const std::int64_t t = LocalMs(2026, 12, 7, 22, 0, 0);
    TPartyCommand commander;
    Look(t);
    const std::string old = Sync(commander, t - 60 * kMinute, 600);
    const std::string sync = Sync(commander, t + 1 * kSecond, 1500);
    const std::string go = Goto(commander, t + 3 * kSecond, 41);
    Arrive(go);
    EXPECT_EQ(Steps(Look(t + 12 * kSecond)), Plan({"GOTO 41"}));
    Arrive(sync);
    TPartyPlan p = Look(t + 14 * kSecond);
    EXPECT_TRUE(p.Steps.empty());
    EXPECT_EQ(Joined(p.Log), sync + ": passed over, it arrived after the newer " + go +
                                 ", already applied\n");
    // Within one delivery, an older file time tells it too, however far
    // apart the stamps.
    TPartyCommand behind;
    const std::string early = Stop(behind, t + 2 * kSecond - 5 * kMinute);
    Arrive(early);
    p = Look(t + 16 * kSecond);
    EXPECT_TRUE(p.Steps.empty());
    EXPECT_EQ(Joined(p.Log), early + ": passed over, it arrived after the newer " + go +
                                 ", already applied\n");

    Arrive(old);
    p = Look(t + 5 * kMinute);
    EXPECT_TRUE(p.Steps.empty());
    EXPECT_EQ(Joined(p.Log), old + ": not applied, it arrived late: written before " + go +
                                 ", already applied\n");
    EXPECT_TRUE(Look(t + 6 * kMinute).Log.empty());
}

// Two commanders on different nodes chose one name: the sync engine keeps
// the loser as a conflict copy, which is read as a command like any other,
// and when the name's bytes are replaced by the winner's, they are read
// anew. The engine's temporary files are never read.
TEST_F(PartyArrival, ConflictCopiesAreCommandsAndTemporaryFilesAreNot) {
    const std::int64_t t = LocalMs(2026, 12, 7, 23, 0, 0);
    TPartyCommand a, b;
    Look(t);
    const std::string go = Goto(a, t + 1 * kSecond, 41);
    const std::string other = Sync(b, t + 1 * kSecond + 300, 3000);
    ASSERT_EQ(other, "S000030-202612072300011.pty");
    Arrive(go);
    EXPECT_EQ(Steps(Look(t + 2 * kSecond)), Plan({"GOTO 41"}));
    const std::string copy =
        go.substr(0, go.size() - 4) + ".sync-conflict-20261207-230020-ABCDEF7.pty";
    Arrive(other, copy);
    for (const std::string& tmp : {".syncthing." + go + ".tmp", "~syncthing~" + go + ".tmp",
                                  ".syncthing." + copy + ".tmp"}) {
        std::ofstream(share / tmp, std::ios::binary) << "STOP\r\n";
    }
    TPartyPlan p = Look(t + 22 * kSecond);
    EXPECT_EQ(Steps(p), Plan({"SYNC 3000"}));
    ASSERT_EQ(p.Steps.size(), 1u);
    EXPECT_EQ(p.Steps[0].Name, copy);
    EXPECT_TRUE(p.Log.empty());

    // The winner's bytes under the name already applied.
    const std::string stop = Stop(b, t + 40 * kSecond);
    Arrive(stop, go);
    p = Look(t + 42 * kSecond);
    EXPECT_EQ(Steps(p), Plan({"STOP"}));
    EXPECT_EQ(Joined(p.Log), go + ": replaced by another file of that name, read anew\n");
    EXPECT_TRUE(Look(t + 44 * kSecond).Steps.empty());

    TPartyStamp at;
    EXPECT_TRUE(TPartyReceiver::ParseCopy(copy, id, at));
    EXPECT_EQ(at, (TPartyStamp{"20261207230001", 0}));
    for (const char* bad :
         {"S000030-202612072300010.sync-conflict-20261207-230020-ABCDEF7.pty.tmp",
          "S000030-202612072300010.sync-conflict-2026120-230020-ABCDEF7.pty",
          "S000030-202612072300010.sync-conflict-20261207-230020-.pty",
          "S000030-202612072300010.sync-conflict-20261207-230020-abc.pty",
          "S000031-202612072300010.sync-conflict-20261207-230020-ABCDEF7.pty"})
        EXPECT_FALSE(TPartyReceiver::ParseCopy(bad, id, at)) << bad;
}
