#include "party/Partysettings.h"

#include "astro/Basicfnc.h"
#include "catalog/Safefile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <exception>

namespace {

// Number of characters of a UTF-8 text, or -1 when it is not valid UTF-8.
int Utf8Count(const std::string& s) {
    int count = 0;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80         ? 1
                        : (c >> 5) == 6  ? 2
                        : (c >> 4) == 14 ? 3
                        : (c >> 3) == 30 ? 4
                                         : 0;
        if (n == 0 || i + n > s.size()) return -1;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return -1;
        i += n;
        ++count;
    }
    return count;
}

// Whether a UTF-8 text holds a combining mark: a letter written as a base and
// an accent. File systems and sync engines store such names in one form or the
// other, so the same ID would name two different files.
bool HasCombining(const std::string& s) {
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const unsigned char d = static_cast<unsigned char>(s[i + 1]);
        unsigned cp = 0;
        if ((c >> 5) == 6)
            cp = ((c & 0x1Fu) << 6) | (d & 0x3Fu);
        else if ((c >> 4) == 14 && i + 2 < s.size())
            cp = ((c & 0x0Fu) << 12) | ((d & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
        if ((cp >= 0x300 && cp <= 0x36F) || (cp >= 0x1AB0 && cp <= 0x1AFF) ||
            (cp >= 0x1DC0 && cp <= 0x1DFF) || (cp >= 0x20D0 && cp <= 0x20FF) ||
            (cp >= 0xFE20 && cp <= 0xFE2F))
            return true;
    }
    return false;
}

bool HasControl(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
    return false;
}

std::string Blank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos ? std::string() : s;
}

bool AllDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

} // namespace

std::string TPartySettings::IdProblem(const std::string& id) {
    if (Blank(id).empty()) return "";
    int chars = Utf8Count(id);
    if (chars < 0) return "it is not readable text";
    if (HasControl(id)) return "it holds a control character";
    if (chars > kIdLength) return "it is longer than 7 characters";
    if (id.find("..") != std::string::npos) return "it holds \"..\"";
    // A blank at either end cannot be seen on a row, yet makes another ID.
    if (id.front() == ' ' || id.back() == ' ') return "it begins or ends with a blank";
    if (HasCombining(id)) return "it holds a combining accent; type the letter with its accent as one character";
    // Slashes would leave the shared folder; the others are refused by the
    // file systems of the other stations that share it.
    for (char c : std::string("/\\:*?\"<>|"))
        if (id.find(c) != std::string::npos) return std::string("it holds \"") + c + "\"";
    return "";
}

std::string TPartySettings::ToText() const {
    std::string t = "# Quenlira star party settings\n";
    t += "Mode=" + std::to_string(Mode) + "\n";
    t += "Folder=" + Folder + "\n";
    for (int k = 0; k < kIds; ++k) {
        char key[8];
        std::snprintf(key, sizeof key, "ID%02d=", k + 1);
        t += key + Ids[k] + "\n";
    }
    t += "OwnID=" + OwnId + "\n";
    if (!LastStamp.empty() || LastSeq != 0)
        t += "LastStamp=" + LastStamp + "\nLastSeq=" + std::to_string(LastSeq) + "\n";
    return t;
}

bool TPartySettings::FromText(const std::string& text, std::string& why) {
    *this = TPartySettings();
    int lineNo = 0;
    for (const std::string& line : StrLines(text)) {
        ++lineNo;
        auto bad = [&](const std::string& what) {
            why = "line " + std::to_string(lineNo) + ": " + what;
            return false;
        };
        if (Utf8Count(line) < 0) return bad("not UTF-8 text");
        if (line.empty() || line[0] == '#') continue;
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) return bad("no \"=\"");
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (HasControl(value)) return bad("a control character");
        if (key == "Mode") {
            if (value != "1" && value != "2" && value != "3") return bad("mode is not 1, 2 or 3");
            Mode = value[0] - '0';
        } else if (key == "Folder") {
            Folder = value;
        } else if (key.size() == 4 && key.compare(0, 2, "ID") == 0 && std::isdigit(key[2]) &&
                   std::isdigit(key[3]) && std::stoi(key.substr(2)) >= 1 &&
                   std::stoi(key.substr(2)) <= kIds) {
            std::string problem = IdProblem(value);
            if (!problem.empty()) return bad(key + " cannot be used: " + problem);
            Ids[std::stoi(key.substr(2)) - 1] = value;
        } else if (key == "OwnID") {
            std::string problem = IdProblem(value);
            if (!problem.empty()) return bad("OwnID cannot be used: " + problem);
            OwnId = value;
        } else if (key == "LastStamp") {
            if (!value.empty() && (value.size() != 14 || !AllDigits(value)))
                return bad("LastStamp is not 14 digits");
            LastStamp = value;
        } else if (key == "LastSeq") {
            if (!AllDigits(value) || value.size() > 9) return bad("LastSeq is not a number");
            LastSeq = std::stoull(value);
        } else {
            return bad("unknown key \"" + key + "\"");
        }
    }
    return true;
}

bool TPartySettings::Load(const std::string& path, std::string& why) {
    *this = TPartySettings();
    std::string text;
    // Nothing here may end the program: a file that cannot be read leaves
    // the start values and a reason.
    try {
        if (!TSafeFile::ReadAll(path, kMaxBytes, text, why)) {
            if (errno == ENOENT) {
                why.clear();
                return true; // nothing stored yet
            }
            return false;
        }
        return FromText(text, why);
    } catch (const std::exception& e) {
        *this = TPartySettings();
        why = "Cannot read " + path + ": " + e.what();
        return false;
    }
}

bool TPartySettings::Save(const std::string& path, std::string& why) const {
    try {
        return TSafeFile::WriteAtomic(path, ToText(), why);
    } catch (const std::exception& e) {
        why = "Cannot write " + path + ": " + e.what();
        return false;
    }
}
