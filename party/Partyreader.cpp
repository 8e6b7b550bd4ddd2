#include "party/Partyreader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "astro/Basicfnc.h"
#include "astro/Clsmjd.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

bool AllDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        out.push_back(Trim(
            line.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

// A decimal integer of at most nine digits with an optional "-".
bool ParseInt(const std::string& s, int& v) {
    const bool neg = !s.empty() && s[0] == '-';
    const std::string d = neg ? s.substr(1) : s;
    if (!AllDigits(d) || d.size() > 9) return false;
    v = std::stoi(d) * (neg ? -1 : 1);
    return true;
}

// Digits "dd" or "dd.d" into a value.
bool ParseFixed(const std::string& s, int whole, int decimals, double& v) {
    if (static_cast<int>(s.size()) != whole + (decimals ? decimals + 1 : 0)) return false;
    if (!AllDigits(s.substr(0, whole))) return false;
    v = std::stoi(s.substr(0, whole));
    if (decimals) {
        if (s[whole] != '.' || !AllDigits(s.substr(whole + 1))) return false;
        v += std::stoi(s.substr(whole + 1)) / std::pow(10.0, decimals);
    }
    return true;
}

} // namespace

bool TPartyReader::ValidShiftJis(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue; // ASCII, half-width kana
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 >= bytes.size()) return false;
        const unsigned char t = static_cast<unsigned char>(bytes[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
    return true;
}

bool TPartyReader::ParseName(const std::string& name, const std::string& id, TPartyStamp& at) {
    if (id.empty()) return false;
    const std::string front = id + "-", back = ".pty";
    if (name.size() < front.size() + 14 + 1 + back.size()) return false;
    if (name.compare(0, front.size(), front) != 0) return false;
    if (name.compare(name.size() - back.size(), back.size(), back) != 0) return false;
    const std::string digits = name.substr(front.size(), name.size() - front.size() - back.size());
    if (!AllDigits(digits)) return false;
    const std::string seq = digits.substr(14);
    // The writer counts without leading zeros; more than nine digits would
    // mean a billion commands within one second.
    if (seq.size() > 9 || (seq.size() > 1 && seq[0] == '0')) return false;
    at.Stamp = digits.substr(0, 14);
    at.Seq = std::stoull(seq);
    return true;
}

bool TPartyReader::ParseRa(const std::string& t, double& rad) {
    // hh "h" mm "m" ss.s "s"
    if (t.size() != 11 || t[2] != 'h' || t[5] != 'm' || t[10] != 's') return false;
    double h = 0, m = 0, s = 0;
    if (!ParseFixed(t.substr(0, 2), 2, 0, h) || !ParseFixed(t.substr(3, 2), 2, 0, m) ||
        !ParseFixed(t.substr(6, 4), 2, 1, s))
        return false;
    if (m >= 60 || s >= 60) return false;
    const double hours = h + m / 60 + s / 3600;
    // Rounding may write a place just short of 24h as 24h00m00.0s.
    if (hours > 24) return false;
    rad = std::fmod(hours, 24.0) * kPi / 12;
    return true;
}

bool TPartyReader::ParseDec(const std::string& text, double& rad) {
    // [sign] degrees "." mm "m" ss.s "s"; a positive value has a blank sign.
    std::string t = text;
    double sign = 1;
    if (!t.empty() && (t[0] == '-' || t[0] == '+' || t[0] == ' ')) {
        sign = t[0] == '-' ? -1 : 1;
        t = t.substr(1);
    }
    const std::size_t dot = t.find('.');
    if (dot == std::string::npos || dot == 0 || dot > 2) return false;
    const std::string rest = t.substr(dot + 1);
    if (rest.size() != 8 || rest[2] != 'm' || rest[7] != 's') return false;
    double d = 0, m = 0, s = 0;
    if (!AllDigits(t.substr(0, dot))) return false;
    d = std::stoi(t.substr(0, dot));
    if (!ParseFixed(rest.substr(0, 2), 2, 0, m) || !ParseFixed(rest.substr(3, 4), 2, 1, s))
        return false;
    if (m >= 60 || s >= 60) return false;
    const double deg = d + m / 60 + s / 3600;
    if (deg > 90) return false;
    rad = sign * deg * kPi / 180;
    return true;
}

bool TPartyReader::ObjectExists(int kind, int number, int stars, int nebulae) {
    switch (kind) {
    case 2:
        return number >= 0 && number < stars;
    case 3:
        return number >= 0 && number <= 9;
    case 4:
        return number >= 0 && number < nebulae;
    case 5:
        return number >= 11 && number <= 14;
    default:
        return false;
    }
}

bool TPartyReader::Parse(const std::string& bytes, TPartyOrder& order, std::string& why) {
    if (bytes.size() > kMaxBytes) {
        why = "larger than 4 KB";
        return false;
    }
    if (!ValidShiftJis(bytes)) {
        why = "not Shift-JIS text";
        return false;
    }
    if (bytes.empty()) {
        why = "empty (truncated)";
        return false;
    }
    if (bytes.back() != '\n') {
        why = "the last line has no line end (truncated)";
        return false;
    }
    const std::vector<std::string> lines = StrLines(bytes);

    int lineNo = 0;
    auto bad = [&](const std::string& what) {
        why = "line " + std::to_string(lineNo) + ": " + what;
        return false;
    };
    std::vector<std::string> f;
    // The next line, which must begin with keyword and hold `count` fields.
    auto expect = [&](const std::string& keyword, std::size_t count) {
        if (lineNo >= static_cast<int>(lines.size())) {
            ++lineNo;
            return bad("missing, " + keyword + " expected (truncated)");
        }
        f = Fields(lines[lineNo++]);
        if (f[0] != keyword)
            return bad("unknown keyword \"" + f[0] + "\", " + keyword + " expected");
        if (f.size() != count)
            return bad(keyword + " has " + std::to_string(f.size() - 1) + " fields, " +
                       std::to_string(count - 1) + " expected");
        return true;
    };
    auto number = [&](const std::string& text, const std::string& what, int low, int high, int& v) {
        if (!ParseInt(text, v)) return bad("bad number \"" + text + "\" for " + what);
        if (v < low || v > high) return bad(what + " " + text + " is out of range");
        return true;
    };
    auto object = [&]() {
        // Whether the object exists is the station's question: its catalogues decide.
        return number(f[1], "the object kind", -999999999, 999999999, order.View.ObjKind) &&
               number(f[2], "the object number", -999999999, 999999999, order.View.ObjNo);
    };
    auto end = [&]() {
        if (lineNo < static_cast<int>(lines.size())) {
            ++lineNo;
            return bad("unexpected line after the command");
        }
        return true;
    };

    order = TPartyOrder();
    const std::string first = Fields(lines[0])[0];
    if (first == "STOP") {
        order.Kind = TPartyOrder::Stop;
        return expect("STOP", 1) && end();
    }
    if (first == "OBJECT") {
        order.Kind = TPartyOrder::Goto;
        return expect("OBJECT", 3) && object() && expect("GOTO", 1) && end();
    }
    if (first != "CENTER") {
        lineNo = 1;
        return bad("unknown keyword \"" + first + "\"");
    }
    order.Kind = TPartyOrder::Sync;
    TPartyView& v = order.View;
    if (!expect("CENTER", 3)) return false;
    if (!ParseRa(f[1], v.Ra)) return bad("bad right ascension \"" + f[1] + "\"");
    if (!ParseDec(f[2], v.Dec)) return bad("bad declination \"" + f[2] + "\"");
    if (!expect("OBJECT", 3) || !object()) return false;
    if (!expect("SCALE", 2) || !number(f[1], "SCALE", 300, 1200000, v.Scale)) return false;
    if (lineNo < static_cast<int>(lines.size()) && Fields(lines[lineNo]).size() == 2) {
        if (!expect("TIME", 2)) return false;
        if (f[1] != "NOW") return bad("TIME is neither NOW nor a date and a time");
        v.AutoDrive = 1;
    } else {
        if (!expect("TIME", 3)) return false;
        v.AutoDrive = 0;
        const std::string& d = f[1];
        const std::size_t s1 = d.find('/'), s2 = d.find('/', s1 == std::string::npos ? 0 : s1 + 1);
        if (s1 == std::string::npos || s2 == std::string::npos || d.size() - s2 != 3 ||
            s2 - s1 != 3)
            return bad("bad date \"" + d + "\"");
        if (!number(d.substr(0, s1), "the year", 0, 9999, v.Year) ||
            !number(d.substr(s1 + 1, 2), "the month", 1, 12, v.Month) ||
            !number(d.substr(s2 + 1, 2), "the day", 1, 31, v.Day))
            return false;
        // The calendar of the clock: Julian before 1582 October 15, and the ten
        // days of the reform never happened.
        if (!TMjd::DateExists(v.Year, v.Month, v.Day)) return bad("bad date \"" + d + "\"");
        const std::string& t = f[2];
        int sec = 0;
        if (t.size() != 8 || t[2] != ':' || t[5] != ':' || !AllDigits(t.substr(0, 2)) ||
            !AllDigits(t.substr(3, 2)) || !AllDigits(t.substr(6, 2)))
            return bad("bad time \"" + t + "\"");
        if (!number(t.substr(0, 2), "the hour", 0, 23, v.Hour) ||
            !number(t.substr(3, 2), "the minute", 0, 59, v.Minute) ||
            !number(t.substr(6, 2), "the second", 0, 59, sec))
            return false;
    }
    if (!expect("SENS", 2) || !number(f[1], "SENS", -5, 5, v.Sens)) return false;
    for (int k = 0; k < 8; ++k) {
        const std::string key = "DISP0" + std::to_string(k + 1);
        if (!expect(key, 2)) return false;
        if (f[1] != "ON" && f[1] != "OFF") return bad(key + " is neither ON nor OFF");
        v.Disp[k] = f[1] == "ON" ? 1 : 0;
    }
    return end();
}
