#include "app/Clsdesk.h"

#include <filesystem>

#include "catalog/Safefile.h"

namespace {

constexpr std::size_t kMaxFile = 16 * 1024; // a few short lines

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    const auto b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// A short excerpt of what was found, safe to put in a message.
std::string Shown(const std::string& s) {
    std::string out;
    for (unsigned char c : s.substr(0, 30))
        out += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
    return out;
}

} // namespace

std::string TDesk::Text() const {
    return "# Quenlira: the desk (night vision)\n"
           "version=" +
           std::to_string(kVersion) + "\nnight=" + (Night ? "on" : "off") + "\n";
}

bool TDesk::FromText(const std::string& text, std::string& why) {
    TDesk d;
    bool versioned = false;
    std::size_t at = 0;
    int n = 0;
    while (at < text.size()) {
        const std::size_t nl = text.find('\n', at);
        const std::string line =
            Trim(text.substr(at, nl == std::string::npos ? std::string::npos : nl - at));
        at = nl == std::string::npos ? text.size() : nl + 1;
        ++n;
        if (line.empty() || line[0] == '#') continue;
        const std::string where = "line " + std::to_string(n) + ": ";
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            why = where + "\"" + Shown(line) + "\" is not key=value";
            return false;
        }
        const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (key == "version") {
            if (value.empty() || value.size() > 6 ||
                value.find_first_not_of("0123456789") != std::string::npos) {
                why = where + "the version \"" + Shown(value) + "\" is not a number";
                return false;
            }
            if (std::stoi(value) > kVersion) {
                why = "written by a later version of Quenlira (" + value + ")";
                return false;
            }
            versioned = true;
        } else if (key == "night") {
            if (value != "on" && value != "off") {
                why = where + "night is on or off, not \"" + Shown(value) + "\"";
                return false;
            }
            d.Night = value == "on";
        }
    }
    if (!versioned) {
        why = "no version line";
        return false;
    }
    *this = d;
    return true;
}

bool TDesk::Load(const std::string& folder, std::string& why) {
    *this = TDesk();
    const std::string path = folder + "/" + kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;
    std::string text;
    if (!TSafeFile::ReadAll(path, kMaxFile, text, why)) return false;
    std::string reason;
    if (!FromText(text, reason)) {
        why = path + ": " + reason + "; the defaults are used";
        return false;
    }
    return true;
}

bool TDesk::Save(const std::string& folder, std::string& why) const {
    return TSafeFile::WriteAtomic(folder + "/" + kFileName, Text(), why);
}
