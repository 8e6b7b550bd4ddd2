// TPartyWatch: what the commander sees of its participants, read from the
// shared folder: each receiver's status file, and how many command files for
// it lie after the last one it handled. Plain C++; the commander window runs
// it away from its thread, as the folder may be a slow network share.
#pragma once

#include "party/Partystatus.h"

#include <cstdint>
#include <string>
#include <vector>

struct TPartyRow {
    std::string Id;
    bool Seen = false; // its status file was read
    std::string Why;   // why it could not be ("" when there is none)
    TPartyStatus Status;
    int Behind = 0; // command files for it after its mark
};

class TPartyWatch {
public:
    // One row per ID (blank IDs give blank rows).
    static std::vector<TPartyRow> Look(const std::string& folder,
                                       const std::vector<std::string>& ids, std::int64_t nowMs);
    // The row's short text by the commander's clock nowMs: "SYNC 17:36:46, 12 s",
    // "not seen", "! 3 behind, SYNC ...".
    static std::string RowText(const TPartyRow& row, std::int64_t nowMs);
    // Everything the status file says, for the row's tool tip.
    static std::string RowTip(const TPartyRow& row);
};
