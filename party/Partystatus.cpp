#include "party/Partystatus.h"

#include "catalog/Safefile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Printable ASCII only: the state may quote a file name another station chose.
std::string Clean(const std::string& s) {
    std::string out;
    for (char c : s)
        out += (c >= 32 && c < 127) ? c : '?';
    return out.substr(0, 300);
}

std::string FolderPath(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

} // namespace

std::string TPartyStatus::FileName(const std::string& id) {
    return "Receiver-" + id + ".txt";
}

std::string TPartyStatus::UtStamp(std::int64_t nowMs) {
    std::int64_t s = nowMs / 1000;
    if (nowMs % 1000 < 0) --s;
    const std::time_t t = static_cast<std::time_t>(s);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

std::string TPartyStatus::ToText() const {
    return "ID=" + Clean(Id) + "\nMark=" + StampText(Mark) + "\nApplied=" + StampText(Applied) +
           "\nCommand=" + Clean(Command) + "\nAppliedAt=" + AppliedAt + "\nState=" + Clean(State) +
           "\nWritten=" + Written + "\n";
}

bool TPartyStatus::FromText(const std::string& text, std::string& why) {
    *this = TPartyStatus();
    if (text.size() > kMaxBytes) {
        why = "larger than 4 KB";
        return false;
    }
    int lineNo = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
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
        }
        // Other keys: a later version's additions.
    }
    return true;
}

bool TPartyStatus::Write(const std::string& folder, std::string& why) const {
    const std::string dir = FolderPath(folder);
    const std::string path = dir + FileName(Id);
    std::string temp = dir + "." + FileName(Id) + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    const std::string text = ToText();
    bool ok = fchmod(fd, 0644) == 0;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    if (!ok) why = std::strerror(errno ? errno : EIO);
    if (close(fd) != 0 && ok) {
        ok = false;
        why = std::strerror(errno);
    }
    // rename replaces whatever stands under the name, a link included,
    // without following it.
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        why = std::strerror(errno);
    }
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool TPartyStatus::Read(const std::string& folder, const std::string& id, bool& missing,
                        std::string& why) {
    *this = TPartyStatus();
    const std::string path = FolderPath(folder) + FileName(id);
    struct stat st {};
    missing = lstat(path.c_str(), &st) != 0 && errno == ENOENT;
    if (missing) return false;
    std::string text, error;
    if (!TSafeFile::ReadAll(path, kMaxBytes, text, error, false)) {
        const std::size_t at = error.find(path + ": ");
        why = at == std::string::npos ? error : error.substr(at + path.size() + 2);
        return false;
    }
    if (!FromText(text, why)) return false;
    if (Id != id) {
        why = "written for " + Id;
        return false;
    }
    return true;
}
