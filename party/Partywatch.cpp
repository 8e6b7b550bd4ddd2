#include "party/Partywatch.h"

#include "party/Partycommand.h"
#include "party/Partydiskfolder.h"
#include "party/Partysettings.h"

#include <ctime>

namespace {

bool Blank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

// Milliseconds of a 14-digit local stamp; false when it is no date.
bool StampMs(const std::string& s, std::int64_t& ms) {
    if (s.size() != 14) return false;
    std::tm tm{};
    tm.tm_year = std::stoi(s.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(s.substr(4, 2)) - 1;
    tm.tm_mday = std::stoi(s.substr(6, 2));
    tm.tm_hour = std::stoi(s.substr(8, 2));
    tm.tm_min = std::stoi(s.substr(10, 2));
    tm.tm_sec = std::stoi(s.substr(12, 2));
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return false;
    ms = static_cast<std::int64_t>(t) * 1000;
    return true;
}

std::string Age(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    if (s < 60) return std::to_string(s) + " s";
    if (s < 3600) return std::to_string(s / 60) + " min";
    if (s < 86400) return std::to_string(s / 3600) + " h";
    return std::to_string(s / 86400) + " d";
}

} // namespace

std::vector<TPartyRow> TPartyWatch::Look(const std::string& folder,
                                         const std::vector<std::string>& ids,
                                         std::int64_t nowMs) {
    std::vector<TPartyRow> rows(ids.size());
    std::vector<std::string> names;
    std::string why;
    TPartyDiskFolder disk(folder);
    const bool listed = disk.List(names, why);
    // A file dated far ahead is damage the receiver skips; it is not a
    // command the receiver owes.
    const std::string latest = TPartyCommand::LocalStamp(nowMs + 24LL * 3600 * 1000);
    for (std::size_t k = 0; k < ids.size(); ++k) {
        TPartyRow& row = rows[k];
        row.Id = ids[k];
        if (Blank(row.Id) || !TPartySettings::IdProblem(row.Id).empty()) continue;
        bool missing = false;
        row.Seen = row.Status.Read(folder, row.Id, missing, row.Why);
        if (missing) row.Why.clear();
        if (!row.Seen || !listed) continue;
        for (const std::string& name : names) {
            TPartyStamp at;
            if (TPartyReader::ParseName(name, row.Id, at) && row.Status.Mark < at &&
                at.Stamp <= latest)
                ++row.Behind;
        }
    }
    return rows;
}

std::string TPartyWatch::RowText(const TPartyRow& row, std::int64_t nowMs) {
    if (Blank(row.Id)) return "";
    if (!row.Seen) return row.Why.empty() ? "not seen" : "status unreadable";
    std::string text;
    if (row.Behind > 1) text = "! " + std::to_string(row.Behind) + " behind, ";
    const TPartyStatus& s = row.Status;
    if (s.State.rfind("folder unreadable", 0) == 0) return text + "folder unreadable";
    if (s.Applied.Empty()) return text + "no command yet";
    const std::string& t = s.Applied.Stamp;
    text += (s.Command.empty() ? std::string("last") : s.Command) + " " + t.substr(8, 2) + ":" +
            t.substr(10, 2) + ":" + t.substr(12, 2);
    // The stamp is a commander's local time: its age is told by this
    // commander's clock, whatever the receiver's clock says.
    std::int64_t at = 0;
    if (StampMs(t, at) && nowMs >= at) text += ", " + Age(nowMs - at);
    return text;
}

std::string TPartyWatch::RowTip(const TPartyRow& row) {
    if (Blank(row.Id)) return "";
    if (!row.Seen)
        return row.Why.empty() ? row.Id + " has written no status file"
                               : TPartyStatus::FileName(row.Id) + ": " + row.Why;
    const TPartyStatus& s = row.Status;
    return row.Id + ": " + s.State + "\nlast applied: " +
           (s.Applied.Empty() ? std::string("none")
                              : s.Applied.Stamp + " " + std::to_string(s.Applied.Seq) + " " +
                                    s.Command) +
           "\ncommand files after its mark: " + std::to_string(row.Behind) +
           "\nstatus written (UT): " + s.Written;
}
