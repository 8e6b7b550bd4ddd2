#include "party/Partystatus.h"

#include "astro/Basicfnc.h"
#include "catalog/Clsfolders.h"
#include "catalog/Safefile.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

bool Digits(const std::string& s, std::size_t n) {
    if (s.size() != n) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string StampText(const TPartyStamp& s) {
    return s.Empty() ? std::string() : s.Stamp + " " + std::to_string(s.Seq);
}

bool ParseStamp(const std::string& text, TPartyStamp& s) {
    if (text.empty()) {
        s = TPartyStamp();
        return true;
    }
    const std::size_t space = text.find(' ');
    if (space != 14 || !Digits(text.substr(0, 14), 14)) return false;
    const std::string seq = text.substr(15);
    if (seq.empty() || seq.size() > 9 || !Digits(seq, seq.size())) return false;
    s.Stamp = text.substr(0, 14);
    s.Seq = std::stoull(seq);
    return true;
}

// UTF-8 text on one line: the state may quote a file name another station
// chose. Control characters and bytes that are not UTF-8 become "?"; a cut
// never splits a character.
std::string Clean(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size() && out.size() < 300;) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool ok = n > 0 && i + n <= s.size() && !(n == 1 && (c < 32 || c == 127));
        for (std::size_t k = 1; ok && k < n; ++k)
            ok = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        if (ok) {
            out.append(s, i, n);
            i += n;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

// The reason alone of a safe file's message ("Cannot read PATH: reason").
std::string Reason(const std::string& error, const std::string& path) {
    const std::size_t at = error.find(path + ": ");
    return at == std::string::npos ? error : error.substr(at + path.size() + 2);
}

} // namespace

std::string TPartyStatus::FileName(const std::string& id) {
    return "Receiver-" + id + ".txt";
}

std::string TPartyStatus::ToText() const {
    std::string t = "ID=" + Clean(Id) + "\nMark=" + StampText(Mark) + "\nApplied=" + StampText(Applied) +
           "\nCommand=" + Clean(Command) + "\nAppliedAt=" + AppliedAt + "\nState=" + Clean(State) +
                    "\n";
    if (!Station.empty()) t += "Station=" + Clean(Station) + "\n";
    for (const std::string& x : Trouble)
        t += "Trouble=" + Clean(x) + "\n";
    for (const std::string& x : Handled)
        t += "Handled=" + Clean(x) + "\n";
    return t + "Written=" + Written + "\n";
}

bool TPartyStatus::FromText(const std::string& text, std::string& why) {
    *this = TPartyStatus();
    if (text.size() > kMaxBytes) {
        why = "larger than 4 KB";
        return false;
    }
    int lineNo = 0;
    for (const std::string& line : StrLines(text)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        const std::size_t eq = line.find('=');
        auto bad = [&](const std::string& what) {
            why = "line " + std::to_string(lineNo) + ": " + what;
            return false;
        };
        if (eq == std::string::npos) return bad("no \"=\"");
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "ID") {
            Id = Clean(value);
        } else if (key == "Mark") {
            if (!ParseStamp(value, Mark)) return bad("Mark is not a stamp and a number");
        } else if (key == "Applied") {
            if (!ParseStamp(value, Applied)) return bad("Applied is not a stamp and a number");
        } else if (key == "Command") {
            if (value != "" && value != "SYNC" && value != "GOTO" && value != "STOP")
                return bad("unknown command");
            Command = value;
        } else if (key == "AppliedAt" || key == "Written") {
            if (!value.empty() && !Digits(value, 14)) return bad(key + " is not 14 digits");
            (key == "Written" ? Written : AppliedAt) = value;
        } else if (key == "State") {
            State = Clean(value);
        } else if (key == "Station") {
            Station = Clean(value);
        } else if (key == "Trouble") {
            if (Trouble.size() < 20) Trouble.push_back(Clean(value));
        } else if (key == "Handled") {
            if (Handled.size() == kHandled) Handled.erase(Handled.begin());
            Handled.push_back(Clean(value));
        }
        // Other keys: a later version's additions.
    }
    return true;
}

bool TPartyStatus::Write(const std::string& folder, std::string& why) const {
    // Never through a link another station planted under the name.
    const std::string path = PathIn(folder, FileName(Id));
    std::string error;
    if (TSafeFile::WriteAtomic(path, ToText(), error, false)) return true;
    why = Reason(error, path);
    return false;
}

bool TPartyStatus::Read(const std::string& folder, const std::string& id, bool& missing,
                        std::string& why) {
    *this = TPartyStatus();
    const std::string path = PathIn(folder, FileName(id));
    struct stat st {};
    missing = lstat(path.c_str(), &st) != 0 && errno == ENOENT;
    if (missing) return false;
    std::string text, error;
    if (!TSafeFile::ReadAll(path, kMaxBytes, text, error, false)) {
        why = Reason(error, path);
        return false;
    }
    if (!FromText(text, why)) return false;
    if (Id != id) {
        why = "written for " + Id;
        return false;
    }
    return true;
}
