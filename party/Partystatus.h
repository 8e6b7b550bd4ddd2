// TPartyStatus: the small file each receiving station keeps in the shared
// folder, "Receiver-<ID>.txt", so that the commander sees who follows. Its
// name is not a command file's, so stations that only read command files
// pass it by. The format is described in docs/party-status.md.
#pragma once

#include "party/Partyreader.h"

#include <cstdint>
#include <string>
#include <vector>

class TPartyStatus {
public:
    static constexpr std::size_t kMaxBytes = 4096;

    std::string Id;
    TPartyStamp Mark;    // the last command handled (applied or passed over)
    TPartyStamp Applied; // the last command applied
    std::string Command; // "SYNC", "GOTO", "STOP"; "" before the first
    std::string AppliedAt; // when, UT by the receiver's clock, "yyyymmddhhnnss"
    std::string State;     // "following", or what keeps it from following
    std::string Written;   // UT of writing, "yyyymmddhhnnss"
    // Which station wrote it: two stations with one ID tell each other apart.
    std::string Station;
    // What keeps it from following well: its clock, its files.
    std::vector<std::string> Trouble;
    // The last command files it handled (applied or named in its log), oldest first.
    std::vector<std::string> Handled;
    static constexpr std::size_t kHandled = 16;

    bool operator==(const TPartyStatus&) const = default;

    static std::string FileName(const std::string& id);

    std::string ToText() const;
    // False with the reason at the first line that cannot be understood.
    bool FromText(const std::string& text, std::string& why);

    // Replaces the file in folder at once: written under a name nobody can
    // predict and renamed over the old one, so a reader never sees half of it
    // and a link planted under its name is replaced, never followed.
    bool Write(const std::string& folder, std::string& why) const;
    // Reads id's file from folder, never through a link. missing: there is none.
    bool Read(const std::string& folder, const std::string& id, bool& missing,
              std::string& why);
};
