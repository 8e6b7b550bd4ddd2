// TPartySettings: the star-party settings (mode, shared folder, the twenty
// participant IDs) and their file "StarParty.dat" beside the program.
//
// The file is UTF-8 text, one "key=value" a line; lines starting with "#" and
// blank lines are skipped:
//   Mode=3
//   Folder=/mnt/party/
//   ID01=S000001
//   ...
//   ID20=
//   OwnID=S000123          (this station's ID when it receives)
//   LastStamp=20010509213045 (the last command file it applied: stamp
//   LastSeq=1                 and sequence number)
// An empty file means the start values. A file is read up to its first line
// that cannot be understood; the rest keep their start values.
#pragma once

#include <array>
#include <cstddef>
#include <string>

class TPartySettings {
public:
    static constexpr int kIds = 20;
    static constexpr int kIdLength = 7; // characters
    static constexpr const char* kFileName = "StarParty.dat";

    std::array<std::string, kIds> Ids{};
    std::string Folder;
    int Mode = 1; // 1 Disconnect, 2 Receiver, 3 Commander
    // This station's own participant ID, read in Receiver mode.
    std::string OwnId;
    // The last command file applied in Receiver mode, so that a restart does
    // not apply it again; an empty stamp: none yet.
    std::string LastStamp;
    unsigned long long LastSeq = 0;

    bool operator==(const TPartySettings&) const = default;

    // Why id cannot be the first part of a command file name, or "" when it
    // can. An empty or blank ID is fine: its row simply cannot be commanded.
    static std::string IdProblem(const std::string& id);

    // Far more than twenty IDs and a folder; a larger file is not ours.
    static constexpr std::size_t kMaxBytes = 64u << 10;

    // Reads path. A missing file gives the start values and true. A damaged one
    // keeps what was read before the bad line, gives false and says why. One
    // that cannot be read at all (not a plain file, too large) gives the start
    // values, false and the reason naming the file. Never throws.
    bool Load(const std::string& path, std::string& why);
    // Writes path through a fresh temporary file of unpredictable name in the
    // same folder and a rename, so the old file stays whole until the new one
    // is and nothing already lying in the folder is written through. False
    // with the reason naming the file; never throws.
    bool Save(const std::string& path, std::string& why) const;

    std::string ToText() const;
    // Parses text over the start values; false (with the line and reason) at
    // the first line that cannot be understood.
    bool FromText(const std::string& text, std::string& why);
};
