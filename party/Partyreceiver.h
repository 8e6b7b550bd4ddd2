// TPartyReceiver: what a receiving station decides at each look into the
// shared folder. Plain C++ without Qt; one look runs away from the window's
// thread, and the window applies the few steps it hands back.
//
// The rules, so that no command file is dropped without a word whatever the
// clocks and the sync engine do (docs/party-status.md has them with examples):
// - every command file seen is handled once, by its name: applied, or named
//   in the log with the reason; one whose bytes are replaced later (a sync
//   engine's conflict resolution) is seen anew;
// - on its first look a receiver takes what is already there as done;
// - the files of one look are taken in the order stamp, sequence, and collapse
//   to the commander's present state: the newest Sync, then the last Goto or
//   Stop after it; what that passes over is logged;
// - looks follow each other in arrival order: a file that arrives after a
//   newer one was applied is applied as it comes (the commander's clock went
//   back, or another commander's is behind), unless it came in the same
//   delivery (within kBurstMs) and was written just before it (stamps within
//   kOutOfOrderMs, or an earlier file time): then it was delivered out of
//   order and is passed over; or unless it is late: written, by its file
//   time, before the applied one and more than kLateMs ago;
// - a file that is not a regular file, cannot be read or is malformed is
//   logged once; so is one dated more than a day ahead of this station's clock;
// - a file that reads as truncated is looked at again for a short while, as a
//   commander may create a file first and write it afterwards.
#pragma once

#include "party/Partyfolder.h"
#include "party/Partyreader.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One command to apply.
struct TPartyStep {
    std::string Name;
    TPartyStamp At;
    TPartyOrder Order;
};

struct TPartyPlan {
    bool FolderOk = false;
    std::string FolderWhy;         // why the folder could not be listed
    std::vector<TPartyStep> Steps; // in order: at most a Sync, then a Goto or Stop
    bool MarkMoved = false;        // Mark is new: save it
    TPartyStamp Mark;
    std::vector<std::string> Log; // lines for Receiver.log
    std::string Skipped;          // the latest file skipped and why ("" none)
    std::string ClockBack;        // a file dated before the one applied was applied: which
    std::vector<std::string> Handled; // the files decided on in this look, in order
    bool First = false;           // this was the first look
    // The station's own status file, as the look found and wrote it.
    std::string OtherStation; // another station wrote it under this ID
    std::string StatusAnew;   // why it was written out of turn (missing, stale)
    std::string StatusText;   // what was written
    std::string StatusWhy;    // why it could not be written
};

class TPartyReceiver {
public:
    static constexpr std::int64_t kFutureMs = 24LL * 3600 * 1000;
    // How long a truncated file is looked at again before it counts as malformed.
    static constexpr std::int64_t kTruncatedMs = 10000;
    // Passed-over files named one by one in the log; the rest are counted.
    static constexpr std::size_t kNamedPassed = 20;
    // Arrivals this close belong to one delivery of a sync engine.
    static constexpr std::int64_t kBurstMs = 10000;
    // Within one delivery, a file dated this little before the command
    // applied was delivered out of order rather than written after it.
    static constexpr std::int64_t kOutOfOrderMs = 120000;
    // A file written (by its file time) before the command applied and this
    // long before this station's clock has arrived late.
    static constexpr std::int64_t kLateMs = 30LL * 60 * 1000;
    // The mark of a first look into a folder without command files: before
    // every stamp a commander writes.
    static const TPartyStamp kNothingYet;

    // mark: the last command handled (empty: none, the next look is a first look).
    TPartyReceiver(std::string id, TPartyStamp mark);

    // One look: lists the folder, reads what is pending and decides. nowMs is
    // this station's clock (ms since 1970 UT), used only to tell a file dated
    // far ahead and to time the second looks at a truncated file.
    TPartyPlan Look(TPartyFolder& folder, std::int64_t nowMs);

    // Whether name is a sync engine's conflict copy of one of id's command
    // files ("<file>.sync-conflict-yyyymmdd-hhmmss-DEVICE.pty"), and the
    // place of the file it copies.
    static bool ParseCopy(const std::string& name, const std::string& id, TPartyStamp& at);

    const std::string& Id() const { return id_; }
    const TPartyStamp& Mark() const { return mark_; }

private:
    struct TEntry {
        std::string Name;
        TPartyStamp At;
        long long FileMs = 0;
        std::int64_t ArrivedMs = 0;
        enum TState { Unread, Valid, Bad, Truncated } State = Unread;
        TPartyOrder Order;
        std::string Why;
    };
    void Read(TPartyFolder& folder, TEntry& e, std::int64_t nowMs);
    void Skip(TPartyPlan& plan, const TEntry& e);
    void Done(const TEntry& e, bool moveMark = true);

    std::string id_;
    TPartyStamp mark_;
    bool started_ = false;
    TPartyPlan* plan_ = nullptr; // the look under way
    bool folderDown_ = false;
    std::map<std::string, std::int64_t> truncatedSince_; // name -> first seen truncated
    std::map<std::string, long long> handled_;           // name -> its file time then
    std::map<std::string, std::int64_t> arrived_;        // not yet handled: first seen
    bool hasLast_ = false;
    TEntry last_; // the last command applied
};
