// TPartyReader: the receiving side of a star party. Picks the command files
// addressed to one participant out of a folder listing, orders them, and turns
// one file's bytes into the order it carries. Plain C++ without Qt, so that the
// listing and reading can run away from the window's thread.
#pragma once

#include "party/Partyview.h"

#include <cstdint>
#include <string>
#include <vector>

// Where a command file stands in the order of commands: its 14-digit local
// stamp, then its sequence number (numerically: 10 comes after 9).
struct TPartyStamp {
    std::string Stamp; // "yyyymmddhhnnss"; empty: before every file
    std::uint64_t Seq = 0;

    bool operator<(const TPartyStamp& o) const {
        return Stamp != o.Stamp ? Stamp < o.Stamp : Seq < o.Seq;
    }
    bool operator==(const TPartyStamp&) const = default;
    bool Empty() const { return Stamp.empty(); }
};

struct TPartyOrder {
    enum TKind { Sync, Goto, Stop };
    TKind Kind = Stop;
    // Sync: every field; Goto: the object only.
    TPartyView View;
};

// One command file found for the participant, read (or not) by Scan.
struct TPartyFile {
    std::string Name;
    TPartyStamp At;
    bool Read = false; // the bytes could be read
    std::string Bytes; // at most kMaxBytes + 1
    std::string Why;   // why it could not be read
};

struct TPartyScan {
    std::string Folder, Id; // what was looked for
    bool FolderOk = false;
    std::string FolderWhy;         // why the folder could not be listed
    std::vector<TPartyFile> Files; // after `after`, in command order
};

class TPartyReader {
public:
    static constexpr std::size_t kMaxBytes = 4096;

    // The place of a file name in the order of commands for id, or false when
    // the name is not one of id's command files: id + "-" + 14 digits +
    // sequence number without leading zeros + ".pty".
    static bool ParseName(const std::string& name, const std::string& id, TPartyStamp& at);

    // Lists folder (the shared folder text as stored: "" is the current
    // directory, a trailing "/" is optional) and reads id's command files that
    // come after `after`, in command order. Blocks on a slow folder: call it
    // away from the window's thread.
    static TPartyScan Scan(const std::string& folder, const std::string& id,
                           const TPartyStamp& after);

    // The order a command file carries, or false with the reason (a bad
    // number, an unknown keyword, a truncated file, bytes that are not
    // Shift-JIS, a file larger than kMaxBytes).
    static bool Parse(const std::string& bytes, TPartyOrder& order, std::string& why);

    // Whether (kind, number) names an object of a station whose catalogues
    // hold `stars` stars and `nebulae` deep-sky objects: 2 star, 3 Sun, Moon
    // or planet (0..9), 4 deep-sky object, 5 satellite of Jupiter (11..14).
    static bool ObjectExists(int kind, int number, int stars, int nebulae);

    // Right ascension "05h35m17.3s" and declination "-5.23m28.4s" (radians).
    static bool ParseRa(const std::string& text, double& rad);
    static bool ParseDec(const std::string& text, double& rad);
    static bool ValidShiftJis(const std::string& bytes);
};
