// A receiver and commanders on one shared temporary folder, the way a star
// party goes wrong: clocks that differ, two commanders in the same second, a
// folder that drops out, a receiver that was away, damaged and future-dated
// files, a file read while it is being written, a flood, and entries another
// station planted that are not files at all.
#include "party/Partycommand.h"
#include "party/Partydiskfolder.h"
#include "party/Partyreceiver.h"
#include "party/Partystatus.h"
#include "party/Partysettings.h"
#include "party/Partywatch.h"
#include "Tempfolder.h"
#include "Partytest.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
constexpr std::int64_t kMinute = 60 * 1000;

std::string Joined(const std::vector<std::string>& lines) {
    std::string t;
    for (const std::string& l : lines)
        t += l + "\n";
    return t;
}

// The disk folder, counting the files it reads.
class TCountingFolder : public TPartyDiskFolder {
public:
    using TPartyDiskFolder::TPartyDiskFolder;
    bool Read(const std::string& name, std::size_t max, std::string& bytes,
              std::string& why) override {
        ++Reads;
        return TPartyDiskFolder::Read(name, max, bytes, why);
    }
    int Reads = 0;
};

class PartyFolder : public TTempFolder {
protected:
    void SetUp() override {
        TTempFolder::SetUp();
        folder = dir.string() + "/";
        view.AutoDrive = 0, view.Year = 2026, view.Month = 12, view.Day = 7;
    }
    // One press on a commander whose clock reads nowMs; the file's name.
    std::string Send(TPartyCommand& commander, const std::vector<std::string>& lines,
                     std::int64_t nowMs) {
        std::string path, why;
        EXPECT_TRUE(commander.Create(folder, "S000002", nowMs, lines, path, why)) << why;
        return fs::path(path).filename().string();
    }
    std::string Sync(TPartyCommand& c, std::int64_t nowMs, int scale) {
        view.Scale = scale;
        return Send(c, TPartyCommand::SyncLines(view), nowMs);
    }
    std::string Goto(TPartyCommand& c, std::int64_t nowMs, int number) {
        view.ObjKind = 4, view.ObjNo = number;
        return Send(c, TPartyCommand::GotoLines(view), nowMs);
    }
    TPartyPlan Look(TPartyReceiver& r, std::int64_t nowMs) {
        TPartyDiskFolder disk(folder);
        return r.Look(disk, nowMs);
    }
    // "SYNC 1500" / "GOTO 41" / "STOP" for each step of a plan.
    static std::vector<std::string> Steps(const TPartyPlan& p) {
        std::vector<std::string> out;
        for (const TPartyStep& s : p.Steps)
            out.push_back(s.Order.Kind == TPartyOrder::Sync   ? "SYNC " + std::to_string(s.Order.View.Scale)
                          : s.Order.Kind == TPartyOrder::Goto ? "GOTO " + std::to_string(s.Order.View.ObjNo)
                                                              : std::string("STOP"));
        return out;
    }
    std::string folder;
    TPartyView view;
    const std::int64_t t0 = LocalMs(2026, 12, 7, 17, 46, 46);
};

using Plan = std::vector<std::string>;

} // namespace

// A receiver that was already following goes on following a commander whose
// clock is ten minutes behind its own, or ten minutes ahead.
TEST_F(PartyFolder, CommanderClockBehindOrAheadIsFollowed) {
    for (const std::int64_t skew : {-10 * kMinute, 10 * kMinute}) {
        SCOPED_TRACE(skew);
        fs::remove_all(dir);
        fs::create_directories(dir);
        TPartyCommand commander;
        // Yesterday's party left a file; the receiver starts and takes it as done.
        Sync(commander, t0 - 24 * 60 * kMinute, 300);
        TPartyReceiver receiver("S000002", TPartyStamp());
        TPartyPlan first = Look(receiver, t0);
        EXPECT_TRUE(first.First);
        EXPECT_TRUE(first.Steps.empty());
        EXPECT_TRUE(first.MarkMoved);

        Sync(commander, t0 + skew + 1000, 1500);
        EXPECT_EQ(Steps(Look(receiver, t0 + 2000)), Plan({"SYNC 1500"}));
        const std::string go = Goto(commander, t0 + skew + 3000, 41);
        const TPartyPlan p = Look(receiver, t0 + 4000);
        EXPECT_EQ(Steps(p), Plan({"GOTO 41"}));
        EXPECT_EQ(p.Mark.Stamp, go.substr(8, 14));
        // Applied once only.
        EXPECT_TRUE(Look(receiver, t0 + 6000).Steps.empty());
        // And after a restart from the saved mark, nothing again.
        TPartyReceiver again("S000002", receiver.Mark());
        EXPECT_TRUE(Look(again, t0 + 8000).Steps.empty());
    }
}

// The first look takes the newest file present as the mark, whoever's clock
// wrote it; an empty folder marks "nothing yet", so the first file counts.
TEST_F(PartyFolder, FirstLookMarksTheNewestFilePresent) {
    TPartyReceiver empty("S000002", TPartyStamp());
    EXPECT_EQ(Look(empty, t0).Mark, TPartyReceiver::kNothingYet);
    TPartyCommand ahead;
    // Files ahead of the receiver's clock by an hour: still the mark.
    Sync(ahead, t0 + 60 * kMinute, 600);
    const std::string newest = Goto(ahead, t0 + 60 * kMinute, 7);
    EXPECT_EQ(Steps(Look(empty, t0 + 2000)), Plan({"SYNC 600", "GOTO 7"}));
    TPartyReceiver fresh("S000002", TPartyStamp());
    const TPartyPlan p = Look(fresh, t0);
    EXPECT_TRUE(p.Steps.empty());
    EXPECT_EQ(p.Mark.Stamp + std::to_string(p.Mark.Seq), newest.substr(8, 15));
}

// Two commanders press within the same second: the second file takes the
// next sequence number instead of replacing the first, and the receiver
// applies both in the order stamp, sequence.
TEST_F(PartyFolder, TwoWritersInTheSameSecondBothArrive) {
    TPartyReceiver receiver("S000002", TPartyStamp());
    Look(receiver, t0);
    TPartyCommand a, b;
    const std::string first = Sync(a, t0 + 100, 2000);
    const std::string second = Goto(b, t0 + 200, 42);
    EXPECT_EQ(first, "S000002-202612071746460.pty");
    EXPECT_EQ(second, "S000002-202612071746461.pty");
    EXPECT_EQ(ReadAll(dir / first).substr(0, 8), "CENTER ,");
    EXPECT_EQ(ReadAll(dir / second), "OBJECT , 4 , 42\r\nGOTO\r\n");
    EXPECT_EQ(Steps(Look(receiver, t0 + 1000)), Plan({"SYNC 2000", "GOTO 42"}));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

// The folder goes away: the commander is told its command was not written,
// the receiver logs the outage once and its return, and follows again.
TEST_F(PartyFolder, FolderRemovedAndBroughtBack) {
    TPartyCommand commander;
    TPartyReceiver receiver("S000002", TPartyStamp());
    Look(receiver, t0);
    Sync(commander, t0 + 1000, 1000);
    EXPECT_EQ(Steps(Look(receiver, t0 + 2000)), Plan({"SYNC 1000"}));

    fs::rename(dir, dir.string() + ".away");
    std::string path, why;
    EXPECT_FALSE(commander.Create(folder, "S000002", t0 + 3000, TPartyCommand::StopLines(), path,
                                  why));
    EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
    TPartyPlan down = Look(receiver, t0 + 4000);
    EXPECT_FALSE(down.FolderOk);
    EXPECT_EQ(Joined(down.Log), "the folder cannot be read: No such file or directory\n");
    EXPECT_TRUE(Look(receiver, t0 + 6000).Log.empty()); // said once

    fs::rename(dir.string() + ".away", dir);
    Sync(commander, t0 + 7000, 1200);
    TPartyPlan back = Look(receiver, t0 + 8000);
    EXPECT_EQ(Joined(back.Log), "the folder can be read again\n");
    EXPECT_EQ(Steps(back), Plan({"SYNC 1200"}));
    fs::remove_all(dir.string() + ".away");
}

// A receiver restarted after it missed commands catches up with the
// commander's present state: the newest Sync, then the last Goto or Stop after
// it. It does not replay each step, and says what it passed over.
TEST_F(PartyFolder, ReceiverBackFromAPauseCatchesUp) {
    TPartyCommand commander;
    TPartyReceiver before("S000002", TPartyStamp());
    Look(before, t0);
    const std::string done = Sync(commander, t0 + 1000, 1000);
    Look(before, t0 + 2000);
    const TPartyStamp saved = before.Mark();

    // Missed: a Goto, a Sync, a Goto and a Stop.
    const std::string go1 = Goto(commander, t0 + 3000, 1);
    Sync(commander, t0 + 4000, 4000);
    const std::string go2 = Goto(commander, t0 + 5000, 2);
    const std::string stop = Send(commander, TPartyCommand::StopLines(), t0 + 6000);
    TPartyReceiver after("S000002", saved);
    {
        TCountingFolder disk(folder);
        const TPartyPlan p = after.Look(disk, t0 + 60 * kMinute);
        EXPECT_EQ(Steps(p), Plan({"SYNC 4000", "STOP"}));
        EXPECT_EQ(Joined(p.Log), done + ": taken as done, there before this receiver started\n" +
                                     go1 + ": passed over, a newer Sync follows\n" + go2 +
                                     ": passed over, a newer command follows\n");
        EXPECT_EQ(p.Mark.Stamp, stop.substr(8, 14));
        // What the Sync supersedes is not even read.
        EXPECT_EQ(disk.Reads, 3);
    }
    // Missed only a Goto and a Stop: no Sync to apply, the Stop is the state.
    Goto(commander, t0 + 70 * kMinute, 3);
    Send(commander, TPartyCommand::StopLines(), t0 + 71 * kMinute);
    EXPECT_EQ(Steps(Look(after, t0 + 72 * kMinute)), Plan({"STOP"}));
}

// A malformed file far in the future is logged and never moves the mark, so
// the next valid Sync is applied, before and after a restart; a malformed
// file of today is logged once and does not move the mark either.
TEST_F(PartyFolder, DamagedOrFutureFilesNeverMoveTheMark) {
    TPartyCommand commander;
    TPartyReceiver receiver("S000002", TPartyStamp());
    Look(receiver, t0);
    std::ofstream(dir / "S000002-999912312359590.pty", std::ios::binary) << "garbage\r\n";
    TPartyPlan p = Look(receiver, t0 + 2000);
    EXPECT_FALSE(p.MarkMoved);
    EXPECT_EQ(Joined(p.Log), "S000002-999912312359590.pty: skipped, dated more than a day ahead "
                             "of this station's clock\n");
    // A valid file dated 1 day and 1 minute ahead counts as damage too.
    const std::string far = Sync(commander, t0 + 24 * 60 * kMinute + kMinute, 900);
    p = Look(receiver, t0 + 3000);
    EXPECT_EQ(Joined(p.Log), far + ": skipped, dated more than a day ahead of this station's clock\n");
    EXPECT_TRUE(p.Steps.empty());

    TPartyCommand now;
    const std::string sync = Sync(now, t0 + 4000, 1500);
    p = Look(receiver, t0 + 4000);
    EXPECT_EQ(Steps(p), Plan({"SYNC 1500"}));
    EXPECT_EQ(p.Mark.Stamp, sync.substr(8, 14));
    EXPECT_TRUE(p.Log.empty()); // the future files are said once

    TPartyReceiver restarted("S000002", receiver.Mark());
    p = Look(restarted, t0 + 10000);
    EXPECT_TRUE(p.Steps.empty());
    ASSERT_EQ(p.Log.size(), 3u); // the future files again, and what was there before
    EXPECT_EQ(p.Log[2], sync + ": taken as done, there before this receiver started");
    const std::string bad = "S000002-" + TPartyCommand::LocalStamp(t0 + 11000) + "0.pty";
    std::ofstream(dir / bad, std::ios::binary) << "CENTER , 25h00m00.0s ,  0.00m00.0s\r\n";
    p = Look(restarted, t0 + 12000);
    EXPECT_FALSE(p.MarkMoved);
    EXPECT_EQ(Joined(p.Log), bad + ": skipped, line 1: bad right ascension \"25h00m00.0s\"\n");
    EXPECT_EQ(p.Skipped, bad + ": line 1: bad right ascension \"25h00m00.0s\"");
    EXPECT_TRUE(Look(restarted, t0 + 14000).Log.empty());
    Sync(now, t0 + 15000, 1600);
    EXPECT_EQ(Steps(Look(restarted, t0 + 16000)), Plan({"SYNC 1600"}));
}

// A commander that creates the file first and writes it afterwards: a
// receiver that reads it half-written looks again at the next polls and
// applies the whole command; what comes after waits for it. A file that stays
// truncated counts as malformed after a while, and the rest goes on.
TEST_F(PartyFolder, FileWrittenInTwoPartsIsAppliedWhole) {
    TPartyReceiver receiver("S000002", TPartyStamp());
    Look(receiver, t0);
    view.Scale = 2500;
    std::string whole;
    for (const std::string& l : TPartyCommand::SyncLines(view))
        whole += l + "\r\n";
    const std::string name = "S000002-" + TPartyCommand::LocalStamp(t0 + 1000) + "0.pty";
    std::ofstream(dir / name, std::ios::binary) << whole.substr(0, 60);
    TPartyCommand commander;
    Goto(commander, t0 + 1000, 9); // sequence 1 in the same second, written whole
    TPartyPlan p = Look(receiver, t0 + 2000);
    EXPECT_TRUE(p.Steps.empty());
    EXPECT_FALSE(p.MarkMoved);
    EXPECT_TRUE(p.Log.empty());
    EXPECT_TRUE(Look(receiver, t0 + 4000).Steps.empty());
    std::ofstream(dir / name, std::ios::binary | std::ios::app) << whole.substr(60);
    EXPECT_EQ(Steps(Look(receiver, t0 + 6000)), Plan({"SYNC 2500", "GOTO 9"}));

    // Never finished: malformed once the while is over.
    const std::string stuck = "S000002-" + TPartyCommand::LocalStamp(t0 + 7000) + "0.pty";
    std::ofstream(dir / stuck, std::ios::binary) << "OBJECT , 4 , 1\r\n";
    Send(commander, TPartyCommand::StopLines(), t0 + 8000);
    EXPECT_TRUE(Look(receiver, t0 + 8000).Steps.empty());
    EXPECT_TRUE(Look(receiver, t0 + 8000 + TPartyReceiver::kTruncatedMs - 1).Steps.empty());
    p = Look(receiver, t0 + 8000 + TPartyReceiver::kTruncatedMs);
    EXPECT_EQ(Steps(p), Plan({"STOP"}));
    EXPECT_EQ(Joined(p.Log), stuck + ": skipped, line 2: missing, GOTO expected (truncated), still "
                                     "after 10 s\n");
}

// 2000 Sync files at once: the newest supersedes the rest in one look, which
// reads one file and names a bounded number of the others in the log.
TEST_F(PartyFolder, FloodOfSyncsEndsOnTheNewest) {
    TPartyReceiver receiver("S000002", TPartyStamp());
    Look(receiver, t0);
    TPartyCommand commander;
    for (int k = 0; k < 2000; ++k) {
        view.Scale = 300 + k;
        std::string bytes;
        for (const std::string& l : TPartyCommand::SyncLines(view))
            bytes += l + "\r\n";
        std::ofstream(commander.MakeCommandFileName(folder, "S000002", t0 + 1000 + k * 10),
                      std::ios::binary)
            << bytes;
    }
    TCountingFolder disk(folder);
    const TPartyPlan p = receiver.Look(disk, t0 + 30000);
    EXPECT_EQ(Steps(p), Plan({"SYNC 2299"}));
    EXPECT_EQ(disk.Reads, 1);
    ASSERT_EQ(p.Log.size(), TPartyReceiver::kNamedPassed + 1);
    EXPECT_EQ(p.Log.back().substr(0, 32), "1979 more passed over, up to S00");
}

// Floods without a Sync: 500 Goto files end on the last one, and 500 damaged
// files are skipped; either way the log names a bounded number and counts
// the rest, and the mark ends after the last Goto.
TEST_F(PartyFolder, FloodsOfGotosOrDamagedFilesKeepTheLogBounded) {
    TPartyReceiver receiver("S000002", TPartyStamp());
    Look(receiver, t0);
    TPartyCommand commander;
    for (int k = 0; k < 500; ++k)
        Goto(commander, t0 + 1000 + k * 10, k);
    TPartyPlan p = Look(receiver, t0 + 30000);
    EXPECT_EQ(Steps(p), Plan({"GOTO 499"}));
    ASSERT_EQ(p.Log.size(), TPartyReceiver::kNamedPassed + 1);
    EXPECT_EQ(p.Log.back().substr(0, 31), "479 more passed over, up to S00");
    for (int k = 0; k < 500; ++k)
        std::ofstream(commander.MakeCommandFileName(folder, "S000002", t0 + 40000 + k * 10),
                      std::ios::binary)
            << "SPIN , 1\r\n";
    const std::string after = Goto(commander, t0 + 50000, 7);
    p = Look(receiver, t0 + 60000);
    EXPECT_EQ(Steps(p), Plan({"GOTO 7"}));
    ASSERT_EQ(p.Log.size(), TPartyReceiver::kNamedPassed + 1);
    EXPECT_EQ(p.Log.back().substr(0, 27), "480 more skipped, up to S00");
    EXPECT_NE(p.Skipped.find("unknown keyword"), std::string::npos) << p.Skipped;
    EXPECT_EQ(p.Mark.Stamp + std::to_string(p.Mark.Seq) + ".pty", after.substr(8));
}

// Entries another station planted under a command file's name: a FIFO, a
// link to a local file, a folder. None is followed or waited on; each is
// logged once, none moves the mark, and a valid Sync after them is applied.
TEST_F(PartyFolder, EntriesThatAreNotFilesAreRefusedAtOnce) {
    TPartyReceiver receiver("S000002", TPartyStamp());
    Look(receiver, t0);
    const fs::path local = dir.string() + ".local";
    std::ofstream(local, std::ios::binary) << "root:x:0:0:root:/root:/bin/bash\n";
    const std::string fifo = "S000002-" + TPartyCommand::LocalStamp(t0 + 1000) + "0.pty";
    const std::string link = "S000002-" + TPartyCommand::LocalStamp(t0 + 1000) + "1.pty";
    const std::string folderName = "S000002-" + TPartyCommand::LocalStamp(t0 + 1000) + "2.pty";
    ASSERT_EQ(mkfifo((dir / fifo).c_str(), 0600), 0);
    fs::create_symlink(local, dir / link);
    fs::create_directory(dir / folderName);
    TPartyPlan p = Look(receiver, t0 + 2000);
    EXPECT_EQ(Joined(p.Log), fifo + ": skipped, a FIFO, not a regular file\n" + link +
                                 ": skipped, a symbolic link, not followed\n" + folderName +
                                 ": skipped, a folder, not a regular file\n");
    EXPECT_FALSE(p.MarkMoved);
    TPartyCommand commander;
    Sync(commander, t0 + 5000, 777);
    p = Look(receiver, t0 + 6000);
    EXPECT_EQ(Steps(p), Plan({"SYNC 777"}));
    EXPECT_TRUE(p.Log.empty());
    fs::remove(local);
}

// A hostile station plants links named like a commander's temporary files
// and like its next command files, all pointing at a file of the commander's
// user. The commander's Sync changes nothing outside the shared folder, and
// the command file it leaves is a regular file.
TEST_F(PartyFolder, PlantedLinksNeverLeadTheCommanderOutside) {
    const fs::path outside = dir.string() + ".mine";
    std::ofstream(outside, std::ios::binary) << "precious\n";
    for (int s = 0; s < 5; ++s) {
        const std::string stamp = TPartyCommand::LocalStamp(t0 + s * 1000);
        for (int seq = 0; seq < 3; ++seq) {
            const std::string name = "S000002-" + stamp + std::to_string(seq) + ".pty";
            fs::create_symlink(outside, dir / ("." + name + ".part"));
            if (seq < 2) fs::create_symlink(outside, dir / name);
        }
    }
    TPartyCommand commander;
    const std::string name = Sync(commander, t0, 1500);
    EXPECT_EQ(name, "S000002-" + TPartyCommand::LocalStamp(t0) + "2.pty");
    EXPECT_EQ(ReadAll(outside), "precious\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / name)));
    EXPECT_EQ(ReadAll(dir / name).substr(0, 8), "CENTER ,");
    int links = 0;
    for (const auto& e : fs::directory_iterator(dir))
        links += fs::is_symlink(e.symlink_status());
    EXPECT_EQ(links, 25);
    fs::remove(outside);
}

// The status file: written whole, read back, and a link planted under its
// name is replaced, never followed; one that is a link is not read.
TEST_F(PartyFolder, StatusFileIsReplacedWholeAndNeverThroughALink) {
    TPartyStatus s;
    s.Id = "S000002";
    s.Mark = {"20261207173646", 2};
    s.Applied = {"20261207173646", 1};
    s.Command = "GOTO";
    s.AppliedAt = "20261207084650";
    s.State = "command skipped: S000002-202612071736462.pty: line 1: unknown keyword \"X\"";
    s.Written = "20261207084652";
    const fs::path outside = dir.string() + ".mine";
    std::ofstream(outside, std::ios::binary) << "precious\n";
    fs::create_symlink(outside, dir / "Receiver-S000002.txt");
    TPartyStatus back;
    bool missing = true;
    std::string why;
    EXPECT_FALSE(back.Read(folder, "S000002", missing, why));
    EXPECT_FALSE(missing);
    std::string write;
    ASSERT_TRUE(s.Write(folder, write)) << write;
    EXPECT_EQ(ReadAll(outside), "precious\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "Receiver-S000002.txt")));
    EXPECT_EQ(ReadAll(dir / "Receiver-S000002.txt"),
              "ID=S000002\nMark=20261207173646 2\nApplied=20261207173646 1\nCommand=GOTO\n"
              "AppliedAt=20261207084650\nState=command skipped: S000002-202612071736462.pty: "
              "line 1: unknown keyword \"X\"\nWritten=20261207084652\n");
    ASSERT_TRUE(back.Read(folder, "S000002", missing, why)) << why;
    EXPECT_EQ(back, s);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    // Another station's file under this name, and damage, are said as such.
    std::ofstream(dir / "Receiver-S000003.txt", std::ios::binary) << "ID=S000002\n";
    EXPECT_FALSE(back.Read(folder, "S000003", missing, why));
    EXPECT_EQ(why, "written for S000002");
    std::ofstream(dir / "Receiver-S000004.txt", std::ios::binary) << "ID=S000004\nMark=yesterday\n";
    EXPECT_FALSE(back.Read(folder, "S000004", missing, why));
    EXPECT_EQ(why, "line 2: Mark is not a stamp and a number");
    EXPECT_FALSE(back.Read(folder, "S000005", missing, why));
    EXPECT_TRUE(missing);
    fs::remove(outside);
}

// The commander's rows: the last applied command and its age by the
// commander's clock, "not seen", and a mark when more than one command lies
// after the receiver's mark.
TEST_F(PartyFolder, CommanderRowsTellWhoFollows) {
    TPartyCommand commander;
    const std::string first = Sync(commander, t0, 1000);
    TPartyStatus s;
    s.Id = "S000002";
    s.Mark = s.Applied = {first.substr(8, 14), 0};
    s.Command = "SYNC";
    s.State = "following";
    std::string why;
    ASSERT_TRUE(s.Write(folder, why)) << why;
    const std::vector<std::string> ids = {"S000002", "S000009", ""};
    std::vector<TPartyRow> rows = TPartyWatch::Look(folder, ids, t0 + 12000);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(TPartyWatch::RowText(rows[0], t0 + 12000), "SYNC 17:46:46, 12 s");
    EXPECT_EQ(TPartyWatch::RowText(rows[0], t0 + 125000), "SYNC 17:46:46, 2 min");
    EXPECT_EQ(TPartyWatch::RowText(rows[1], t0 + 12000), "not seen");
    EXPECT_EQ(TPartyWatch::RowText(rows[2], t0 + 12000), "");
    // One command in flight is no lag; two are.
    Goto(commander, t0 + 13000, 5);
    rows = TPartyWatch::Look(folder, ids, t0 + 14000);
    EXPECT_EQ(rows[0].Behind, 1);
    EXPECT_EQ(TPartyWatch::RowText(rows[0], t0 + 14000), "SYNC 17:46:46, 14 s");
    Send(commander, TPartyCommand::StopLines(), t0 + 15000);
    std::ofstream(dir / "S000002-999912312359590.pty", std::ios::binary) << "garbage\r\n";
    rows = TPartyWatch::Look(folder, ids, t0 + 16000);
    EXPECT_EQ(TPartyWatch::RowText(rows[0], t0 + 16000), "! 2 behind, SYNC 17:46:46, 16 s");
    EXPECT_NE(TPartyWatch::RowTip(rows[0]).find("command files after its mark: 2"),
              std::string::npos);
}

// IDs beyond ASCII are kept as typed, in file names, status files and rows;
// what a name cannot carry the same way on every station is refused with the
// reason.
TEST_F(PartyFolder, AnyIdIsKeptAsUtf8AndWhatNamesCannotCarryIsRefused) {
    for (const std::string& id : std::vector<std::string>{"Müller", "Ωμέγα", "星見"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(TPartySettings::IdProblem(id), "");
        TPartyCommand commander;
        std::string path, why;
        ASSERT_TRUE(commander.Create(folder, id, t0, TPartyCommand::StopLines(), path, why)) << why;
        TPartyStatus s;
        s.Id = id;
        s.Mark = s.Applied = {TPartyCommand::LocalStamp(t0), 0};
        s.Command = "STOP";
        s.State = "command skipped: " + id + "-x.pty: line 1: unknown keyword";
        ASSERT_TRUE(s.Write(folder, why)) << why;
        EXPECT_EQ(ReadAll(dir / ("Receiver-" + id + ".txt")).substr(0, 4 + id.size()),
                  "ID=" + id + "\n");
        const std::vector<TPartyRow> rows = TPartyWatch::Look(folder, {id}, t0 + 3000);
        ASSERT_TRUE(rows[0].Seen) << rows[0].Why;
        EXPECT_EQ(rows[0].Status.State, s.State);
        EXPECT_EQ(TPartyWatch::RowText(rows[0], t0 + 3000), "STOP 17:46:46, 3 s");
    }
    EXPECT_NE(TPartySettings::IdProblem("Mu\xCC\x88ller"), ""); // u and a combining diaeresis
    EXPECT_NE(TPartySettings::IdProblem(" S1"), "");
    EXPECT_NE(TPartySettings::IdProblem("S1 "), "");
    // A status line never carries a control character or a broken byte.
    TPartyStatus s;
    s.Id = "S1";
    s.State = "a\nb\xFF" "c";
    EXPECT_NE(s.ToText().find("State=a?b?c\n"), std::string::npos) << s.ToText();
}

// A station's status that tells of trouble with its clock or its files, or
// of another station under its ID, is a mark on the commander's row.
TEST_F(PartyFolder, CommanderRowsWarnOfAStationsTrouble) {
    TPartyStatus s;
    s.Id = "S000002";
    s.Mark = s.Applied = {TPartyCommand::LocalStamp(t0), 0};
    s.Command = "GOTO";
    s.Trouble = {"clock: a commander's clock went back: B is dated before A",
                 "files: Receiver.log cannot be written"};
    std::string why;
    ASSERT_TRUE(s.Write(folder, why)) << why;
    std::vector<TPartyRow> rows = TPartyWatch::Look(folder, {"S000002"}, t0 + 2000);
    EXPECT_EQ(TPartyWatch::RowText(rows[0], t0 + 2000), "! clock, ! files, GOTO 17:46:46, 2 s");
    EXPECT_NE(TPartyWatch::RowTip(rows[0]).find("Receiver.log cannot be written"), std::string::npos);
    // A sync engine's conflict copy of the status file: two stations wrote it.
    s.Trouble.clear();
    ASSERT_TRUE(s.Write(folder, why)) << why;
    std::ofstream(dir / "Receiver-S000002.sync-conflict-20261207-174700-ABCDEF7.txt") << "ID=S000002\n";
    rows = TPartyWatch::Look(folder, {"S000002"}, t0 + 2000);
    EXPECT_EQ(TPartyWatch::RowText(rows[0], t0 + 2000), "! two stations, GOTO 17:46:46, 2 s");
}
