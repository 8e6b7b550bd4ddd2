#include "party/Partywatch.h"

#include "party/Partycommand.h"
#include "party/Partydiskfolder.h"
#include "party/Partysettings.h"

#include <algorithm>
#include <ctime>

namespace {

bool Blank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

// Milliseconds of a 14-digit local stamp; false when it is no date.
bool StampMs(const std::string& s, std::int64_t& ms) {
    if (s.size() != 14) return false;
    std::tm tm = TPartyCommand::StampFields(s);
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

std::string Extra(const TPartyRow& row) {
    std::string t;
    if (row.LagMs > TPartyWatch::kLagMs)
        t += "\nthe latest command has not been handled for " + Age(row.LagMs);
    if (row.TwoStations) t += "\ntwo stations answer with this ID";
    for (const std::string& x : row.Status.Trouble)
        t += "\n" + x;
    return t;
}

} // namespace

std::vector<TPartyRow> TPartyWatch::Look(const std::string& folder,
                                         const std::vector<std::string>& ids, std::int64_t nowMs,
                                         const std::vector<TPartySent>& sent) {
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
        if (!listed) continue;
        // A sync engine's conflict copy of the status file: two stations wrote it.
        const std::string copy = "Receiver-" + row.Id + ".sync-conflict-";
        for (const std::string& name : names)
            if (name.compare(0, copy.size(), copy) == 0) row.TwoStations = true;
        for (const std::string& t : row.Status.Trouble)
            if (t.rfind("another station", 0) == 0) row.TwoStations = true;
        const TPartySent* mine = k < sent.size() && !sent[k].Name.empty() ? &sent[k] : nullptr;
        if (mine) row.Checked = mine->Name;
        if (mine && std::find(names.begin(), names.end(), mine->Name) != names.end()) {
            std::string bytes, readWhy;
            if (disk.Read(mine->Name, mine->Bytes.size() + 16, bytes, readWhy) && bytes != mine->Bytes)
                row.Replaced = true;
        }
        if (!row.Seen) continue;
        for (const std::string& name : names) {
            TPartyStamp at;
            if (TPartyReader::ParseName(name, row.Id, at) && row.Status.Mark < at &&
                at.Stamp <= latest)
                ++row.Behind;
        }
        // Handled, when the station says which files it handled; by its mark
        // otherwise (an older receiver), or when the list is full.
        TPartyStamp at;
        if (mine && TPartyReader::ParseName(mine->Name, row.Id, at)) {
            const auto& h = row.Status.Handled;
            const bool handled = std::find(h.begin(), h.end(), mine->Name) != h.end();
            const bool byList = !h.empty() && h.size() < TPartyStatus::kHandled;
            if (!handled && (byList || row.Status.Mark < at) && nowMs > mine->AtMs)
                row.LagMs = nowMs - mine->AtMs;
        }
    }
    return rows;
}

std::string TPartyWatch::RowText(const TPartyRow& row, std::int64_t nowMs) {
    if (Blank(row.Id)) return "";
    if (!row.Seen) return row.Why.empty() ? "not seen" : "status unreadable";
    std::string text;
    if (row.TwoStations) text += "! two stations, ";
    if (row.LagMs > kLagMs)
        text += "! " + Age(row.LagMs) + " behind, ";
    else if (row.Behind > 1)
        text += "! " + std::to_string(row.Behind) + " behind, ";
    for (const std::string& t : row.Status.Trouble) {
        // Its clock or its files; the tool tip says what.
        if (t.rfind("clock", 0) == 0) text += "! clock, ";
        if (t.rfind("files", 0) == 0) text += "! files, ";
    }
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
        return (row.Why.empty() ? row.Id + " has written no status file"
                                : TPartyStatus::FileName(row.Id) + ": " + row.Why) +
               (row.TwoStations ? "\ntwo stations answer with this ID" : "");
    const TPartyStatus& s = row.Status;
    return row.Id + ": " + s.State + "\nlast applied: " +
           (s.Applied.Empty() ? std::string("none")
                              : s.Applied.Stamp + " " + std::to_string(s.Applied.Seq) + " " +
                                    s.Command) +
           "\ncommand files after its mark: " + std::to_string(row.Behind) +
           "\nstatus written (UT): " + s.Written + Extra(row);
}
