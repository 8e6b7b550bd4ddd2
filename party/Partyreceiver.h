// TPartyReceiver: what a receiving station decides at each look into the
// shared folder. Plain C++ without Qt; one look runs away from the window's
// thread, and the window applies the few steps it hands back.
//
// The rules, so that clocks that differ and folders that come and go lose no
// command without a word:
// - stamps are compared only with stamps, never with this station's clock:
//   on its first look a receiver takes the newest command file present as its
//   mark and applies only what comes after it, in the order stamp, sequence;
// - what is pending collapses to the commander's present state: the newest
//   Sync, then the last Goto or Stop after it; what that passes over is logged;
// - a file that is not a regular file, cannot be read or is malformed is
//   logged once and never moves the mark; neither does one dated more than a
//   day ahead of this station's clock;
// - a file that reads as truncated is looked at again for a short while, as a
//   commander may create a file first and write it afterwards.
#pragma once

#include "party/Partyfolder.h"
#include "party/Partyreader.h"

#include <cstdint>
#include <map>
#include <set>
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
    bool First = false;           // this was the first look
};

class TPartyReceiver {
public:
    static constexpr std::int64_t kFutureMs = 24LL * 3600 * 1000;
    // How long a truncated file is looked at again before it counts as malformed.
    static constexpr std::int64_t kTruncatedMs = 10000;
    // Passed-over files named one by one in the log; the rest are counted.
    static constexpr std::size_t kNamedPassed = 20;
    // The mark of a first look into a folder without command files: before
    // every stamp a commander writes.
    static const TPartyStamp kNothingYet;

    // mark: the last command handled (empty: none, the next look is a first look).
    TPartyReceiver(std::string id, TPartyStamp mark);

    // One look: lists the folder, reads what is pending and decides. nowMs is
    // this station's clock (ms since 1970 UT), used only to tell a file dated
    // far ahead and to time the second looks at a truncated file.
    TPartyPlan Look(TPartyFolder& folder, std::int64_t nowMs);

    const std::string& Id() const { return id_; }
    const TPartyStamp& Mark() const { return mark_; }

private:
    struct TEntry {
        std::string Name;
        TPartyStamp At;
        enum TState { Unread, Valid, Bad, Truncated } State = Unread;
        TPartyOrder Order;
        std::string Why;
    };
    void Read(TPartyFolder& folder, TEntry& e, std::int64_t nowMs);
    void Skip(TPartyPlan& plan, const TEntry& e);

    std::string id_;
    TPartyStamp mark_;
    bool folderDown_ = false;
    std::map<std::string, std::int64_t> truncatedSince_; // name -> first seen truncated
    std::set<std::string> settled_;                      // skipped for good, logged once
};
