// TPartyWatch: what the commander sees of its participants, read from the
// shared folder: each receiver's status file, and how many command files for
// it lie after the last one it handled. Plain C++; the commander window runs
// it away from its thread, as the folder may be a slow network share.
#pragma once

#include "party/Partystatus.h"

#include <cstdint>
#include <string>
#include <vector>

// The last command this commander wrote for a participant.
struct TPartySent {
    std::string Name;       // file name in the shared folder ("" none)
    std::int64_t AtMs = 0;  // when, by this commander's clock
    std::string Bytes;      // what it wrote
};

struct TPartyRow {
    std::string Id;
    bool Seen = false; // its status file was read
    std::string Why;   // why it could not be ("" when there is none)
    TPartyStatus Status;
    int Behind = 0; // command files for it after its mark
    // How long the station has not handled this commander's latest command
    // (0 when it has); the row warns past kLagMs.
    std::int64_t LagMs = 0;
    bool TwoStations = false; // two stations answer with this ID
    bool Replaced = false;    // the latest command's file holds another's bytes now
    std::string Checked;      // the name of the latest command looked at
};

class TPartyWatch {
public:
    // A few polls of the receiver's: longer than that behind is worth a warning.
    static constexpr std::int64_t kLagMs = 10000;
    // One row per ID (blank IDs give blank rows); sent[k]: the last command
    // this commander wrote for ids[k], when known.
    static std::vector<TPartyRow> Look(const std::string& folder,
                                       const std::vector<std::string>& ids, std::int64_t nowMs,
                                       const std::vector<TPartySent>& sent = {});
    // The row's short text by the commander's clock nowMs: "SYNC 17:36:46, 12 s",
    // "not seen", "! 3 behind, SYNC ...".
    static std::string RowText(const TPartyRow& row, std::int64_t nowMs);
    // Everything the status file says, for the row's tool tip.
    static std::string RowTip(const TPartyRow& row);
};
