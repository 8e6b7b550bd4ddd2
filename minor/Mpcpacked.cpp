#include "minor/Mpcpacked.h"

#include <cmath>

namespace {
// 0-9, A-Z, a-z as 0..61; -1 for anything else.
int base62(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 36;
    return -1;
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}
int century(char c) {
    return c >= 'A' && c <= 'L' ? c - 'A' + 10 : -1; // I = 18, J = 19, K = 20
}
} // namespace

int TMpcPacked::Number(const std::string& s) {
    if (s.size() != 5) return 0;
    if (s[0] == '~') {
        // From 620000 on: four base-62 digits after the tilde.
        int v = 0;
        for (int k = 1; k < 5; ++k) {
            const int d = base62(s[k]);
            if (d < 0) return 0;
            v = v * 62 + d;
        }
        return 620000 + v;
    }
    const int head = base62(s[0]);
    if (head < 0) return 0;
    int v = head;
    for (int k = 1; k < 5; ++k) {
        if (!digit(s[k])) return 0;
        v = v * 10 + (s[k] - '0');
    }
    return v > 0 ? v : 0;
}

std::string TMpcPacked::Provisional(const std::string& s, bool comet) {
    if (s.size() != 7) return "";
    // The four surveys of the 1960s and 1970s: "PLS2040" is 2040 P-L, "T1S3138" 3138 T-1.
    if (!comet && s[2] == 'S' && (s.compare(0, 2, "PL") == 0 || s.compare(0, 2, "T1") == 0 ||
                                  s.compare(0, 2, "T2") == 0 || s.compare(0, 2, "T3") == 0)) {
        for (int k = 3; k < 7; ++k)
            if (!digit(s[k])) return "";
        const std::string survey = s[0] == 'P' ? "P-L" : std::string("T-") + s[1];
        return s.substr(3) + " " + survey;
    }
    const int c = century(s[0]);
    if (c < 0 || !digit(s[1]) || !digit(s[2])) return "";
    const char half = s[3];
    if (half < 'A' || half > 'Y' || half == 'I') return "";
    const int hi = base62(s[4]);
    if (hi < 0 || !digit(s[5])) return "";
    const int cycle = hi * 10 + (s[5] - '0');
    const std::string year = std::to_string(c) + s.substr(1, 2);
    const char last = s[6];
    if (last >= 'A' && last <= 'Z' && last != 'I') {
        // Asteroid form (also used by some comets): half-month, second letter, cycle.
        return year + " " + half + last + (cycle > 0 ? std::to_string(cycle) : "");
    }
    if (!comet) return "";
    if (cycle == 0) return "";
    std::string d = year + " " + half + std::to_string(cycle);
    if (last >= 'a' && last <= 'z') d += std::string("-") + char(last - 'a' + 'A'); // a fragment
    else if (last != '0') return "";
    return d;
}

bool TMpcPacked::Epoch(const std::string& s, int& year, int& month, int& day) {
    if (s.size() != 5) return false;
    const int c = century(s[0]);
    if (c < 0 || !digit(s[1]) || !digit(s[2])) return false;
    year = c * 100 + (s[1] - '0') * 10 + (s[2] - '0');
    month = base62(s[3]);
    day = base62(s[4]);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

double TMpcPacked::Mjd(int year, int month, double day) {
    // Fliegel and Van Flandern's day count, Gregorian calendar.
    const int a = (14 - month) / 12;
    const int y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    const long jdn = 1 + (153 * m + 2) / 5 + 365L * y + y / 4 - y / 100 + y / 400 - 32045;
    return double(jdn) - 2400001.0 + (day - 1.0);
}
