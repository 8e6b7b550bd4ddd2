// TPartyReader: the receiving side of a star party. Tells the command files
// addressed to one participant by their names and where they stand in the
// order of commands, and turns one file's bytes into the order it carries.
// Plain C++ without Qt, so that the reading can run away from the window's
// thread.
#pragma once

#include "party/Partyview.h"

#include <cstdint>
#include <string>

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

class TPartyReader {
public:
    static constexpr std::size_t kMaxBytes = 4096;

    // The place of a file name in the order of commands for id, or false when
    // the name is not one of id's command files: id + "-" + 14 digits +
    // sequence number without leading zeros + ".pty".
    static bool ParseName(const std::string& name, const std::string& id, TPartyStamp& at);

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
