// TPartyCommand: the party command files, the whole wire protocol of a star
// party. Names are "<folder><id>-<yyyymmddhhnnss><n>.pty" where n counts the
// commands within one second (0, 1, ...) whichever participant they go to.
// A file is a few ASCII lines ending in CR LF, fields separated by " , ".
#pragma once

#include "party/Partyview.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

class TPartyCommand {
public:
    // The path of the next command file for id at the moment nowMs
    // (milliseconds since 1970 UT, shown in local time); advances the sequence.
    std::string MakeCommandFileName(const std::string& folder, const std::string& id,
                                    std::int64_t nowMs);

    // "yyyymmddhhnnss" of nowMs in local time, and in UT.
    static std::string LocalStamp(std::int64_t nowMs);
    static std::string UtcStamp(std::int64_t nowMs);
    // The calendar fields of a 14-digit stamp (no check: callers pass
    // stamps already read as digits); tm_isdst is left for the caller.
    static std::tm StampFields(const std::string& stamp);

    // The lines of each command, without line ends.
    static std::vector<std::string> SyncLines(const TPartyView& view);
    static std::vector<std::string> GotoLines(const TPartyView& view);
    static std::vector<std::string> StopLines();

    // Creates path with the lines, each ending in CR LF, only if the name is
    // free. The bytes go first into a temporary name nobody can predict, in
    // the same folder, that a receiver does not look at (it neither begins
    // with an ID nor ends in ".pty"), so no receiver ever reads half a
    // command and a link planted there is never followed. False with the
    // reason when the file could not be made; taken when the name exists.
    static bool WriteFile(const std::string& path, const std::vector<std::string>& lines,
                          std::string& why, bool& taken);
    // The next command file for id: a name another commander took within the
    // same second moves on to the next sequence number, so no command
    // replaces another. path gets the name written (or last tried).
    bool Create(const std::string& folder, const std::string& id, std::int64_t nowMs,
                const std::vector<std::string>& lines, std::string& path, std::string& why);

    // The stamp and sequence number of the most recent name.
    const std::string& LastStamp() const { return lastStamp_; }
    int Sequence() const { return sequence_; }

private:
    std::string lastStamp_;
    int sequence_ = 0;
};
