#include "scope/Clsscopeset.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxFile = 16 * 1024; // the file is a few short lines
constexpr std::size_t kMaxField = 256;

std::string Trim(const std::string& s) {
    const auto a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    const auto b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

bool Printable(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7f) return false;
    return true;
}

bool ReadPort(const std::string& s, int& port) {
    if (s.empty() || s.size() > 5) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > 65535) return false;
    port = v;
    return true;
}

} // namespace

std::string TScopeSettings::Text() const {
    std::ostringstream o;
    o << "host=" << Host << "\n"
      << "port=" << Port << "\n"
      << "device=" << Device << "\n"
      << "party-goto=" << (PartyGoto == Follow ? "follow" : PartyGoto == Ignore ? "ignore" : "ask")
      << "\n";
    return o.str();
}

bool TScopeSettings::FromText(const std::string& text, std::string& why) {
    TScopeSettings s;
    std::istringstream in(text);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) {
        ++n;
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find('=');
        const std::string where = "line " + std::to_string(n) + ": ";
        if (eq == std::string::npos) {
            why = where + "no '=' in \"" + line.substr(0, 40) + "\"";
            return false;
        }
        const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        if (value.size() > kMaxField || !Printable(value)) {
            why = where + "the value of " + key.substr(0, 20) + " is too long or not text";
            return false;
        }
        if (key == "host") {
            if (value.empty()) {
                why = where + "the host is empty";
                return false;
            }
            s.Host = value;
        } else if (key == "port") {
            if (!ReadPort(value, s.Port)) {
                why = where + "the port is not a number from 1 to 65535";
                return false;
            }
        } else if (key == "device") {
            s.Device = value;
        } else if (key == "party-goto") {
            if (value == "ask")
                s.PartyGoto = Ask;
            else if (value == "follow")
                s.PartyGoto = Follow;
            else if (value == "ignore")
                s.PartyGoto = Ignore;
            else {
                why = where + "party-goto is ask, follow or ignore";
                return false;
            }
        }
        // Other keys belong to a later version: left alone.
    }
    *this = s;
    return true;
}

bool TScopeSettings::Load(const std::string& folder, std::string& why) {
    const std::filesystem::path path = std::filesystem::path(folder) / kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return true;
    if (!std::filesystem::is_regular_file(path, ec)) {
        why = path.string() + " is not a file";
        return false;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFile) {
        why = path.string() + " is too large to be the telescope settings";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
        why = path.string() + " cannot be read";
        return false;
    }
    std::string reason;
    if (!FromText(text.str(), reason)) {
        why = path.string() + ", " + reason;
        return false;
    }
    return true;
}

bool TScopeSettings::Save(const std::string& folder, std::string& why) const {
    const std::filesystem::path path = std::filesystem::path(folder) / kFileName;
    const std::filesystem::path temp =
        std::filesystem::path(folder) / (std::string(kFileName) + "." + std::to_string(getpid()));
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << Text();
        out.flush();
        if (!out) {
            why = "cannot write " + temp.string();
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        why = "cannot replace " + path.string() + ": " + ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

bool TScopeSettings::ParseTarget(const std::string& text, std::string& host, int& port,
                                 std::string& device, std::string& why) {
    if (text.size() > kMaxField || !Printable(text)) {
        why = "the telescope address is too long or not text";
        return false;
    }
    std::string rest = text;
    std::string dev;
    const auto slash = rest.find('/');
    if (slash != std::string::npos) {
        dev = rest.substr(slash + 1);
        rest = rest.substr(0, slash);
    }
    std::string h = rest;
    int p = kDefaultPort;
    const auto colon = rest.rfind(':');
    if (colon != std::string::npos) {
        h = rest.substr(0, colon);
        if (!ReadPort(rest.substr(colon + 1), p)) {
            why = "\"" + text + "\": the port is not a number from 1 to 65535";
            return false;
        }
    }
    if (h.empty()) {
        why = "\"" + text + "\": no host (HOST:PORT[/DEVICE], e.g. localhost:7624)";
        return false;
    }
    host = h;
    port = p;
    device = dev;
    return true;
}
