#include "obslog/Clslogtime.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

// Howard Hinnant's civil-date algorithms.
std::int64_t TLogTime::DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void TLogTime::CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

std::string TLogTime::Format(std::int64_t ut, int offsetMin, bool zulu) {
    const std::int64_t local = ut + offsetMin * 60LL;
    std::int64_t days = local >= 0 ? local / 86400 : -((-local + 86399) / 86400);
    const std::int64_t secs = local - days * 86400;
    std::int64_t y;
    int m, d;
    CivilFromDays(days, y, m, d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld-%02d-%02dT%02d:%02d:%02d", static_cast<long long>(y), m,
                  d, static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
                  static_cast<int>(secs % 60));
    std::string s = buf;
    if (zulu && offsetMin == 0) return s + "Z";
    const int a = offsetMin < 0 ? -offsetMin : offsetMin;
    std::snprintf(buf, sizeof buf, "%c%02d:%02d", offsetMin < 0 ? '-' : '+', a / 60, a % 60);
    return s + buf;
}

namespace {

bool Digits(const std::string& t, std::size_t at, int n, int& v) {
    if (at + n > t.size()) return false;
    v = 0;
    for (int i = 0; i < n; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[at + i]))) return false;
        v = v * 10 + (t[at + i] - '0');
    }
    return true;
}

} // namespace

bool TLogTime::Parse(const std::string& t, std::int64_t& ut, int& offsetMin) {
    int y, mo, d, h, mi, s;
    if (!Digits(t, 0, 4, y) || t.size() < 19 || t[4] != '-' || !Digits(t, 5, 2, mo) ||
        t[7] != '-' || !Digits(t, 8, 2, d) || t[10] != 'T' || !Digits(t, 11, 2, h) ||
        t[13] != ':' || !Digits(t, 14, 2, mi) || t[16] != ':' || !Digits(t, 17, 2, s))
        return false;
    static const int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mo < 1 || mo > 12 || d < 1 || d > monthDays[mo - 1] || h > 24 || mi > 59 || s > 60)
        return false;
    std::size_t at = 19;
    if (at < t.size() && t[at] == '.') {
        ++at;
        if (at >= t.size() || !std::isdigit(static_cast<unsigned char>(t[at]))) return false;
        while (at < t.size() && std::isdigit(static_cast<unsigned char>(t[at])))
            ++at;
    }
    int off = 0;
    if (at < t.size()) {
        if (t[at] == 'Z' && at + 1 == t.size()) {
            off = 0;
        } else if ((t[at] == '+' || t[at] == '-') && at + 6 == t.size() && t[at + 3] == ':') {
            int oh, om;
            if (!Digits(t, at + 1, 2, oh) || !Digits(t, at + 4, 2, om) || oh > 14 || om > 59)
                return false;
            off = (oh * 60 + om) * (t[at] == '-' ? -1 : 1);
        } else {
            return false;
        }
    }
    const std::int64_t local =
        DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + (s > 59 ? 59 : s);
    ut = local - off * 60LL;
    offsetMin = off;
    return true;
}
