#include "astro/Clsdegree.h"

#include "astro/Basicfnc.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kTurn = 6.28318530717958; // the turn the texts have always been reduced by
constexpr double kTwoPi = 6.283185307179586;
constexpr double kDegPerRad = 57.29577951308238;
const char* const kDegreeSign = "\xC2\xB0"; // U+00B0

// Beyond this many turns the step-by-step reduction would take too long; fmod is exact enough.
constexpr double kLoopLimit = 1.0e6;

double Wrap(double x, double turn, double low) {
    if (!std::isfinite(x)) return 0.0;
    if (std::fabs(x) > kLoopLimit * turn) x = std::fmod(x, turn);
    while (x < low)
        x += turn;
    while (x > turn)
        x -= turn;
    return x;
}

int ClampDecimals(int decimals) {
    return decimals < 0 ? 0 : (decimals > 9 ? 9 : decimals);
}

std::int64_t Scale(int decimals) {
    std::int64_t a = 1;
    for (int i = 0; i < decimals; ++i)
        a *= 10;
    return a;
}

// "." and exactly d digits of the fraction rem (in [0, 1)), truncated; "" for d = 0.
std::string DecimalPart(double rem, int d) {
    if (d == 0) return std::string();
    std::int64_t a = Scale(d);
    std::int64_t digits = static_cast<std::int64_t>(std::floor(static_cast<double>(a) * rem));
    if (digits < 0) digits = 0;
    if (digits >= a) digits = a - 1;
    return "." + std::to_string(digits + a).substr(1);
}

std::string TwoDigits(int v) {
    return StrRight(std::to_string(v + 100), 2);
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number field: leading blanks, digits, and (when fraction is allowed) one "." with more
// digits. At least one digit. Signs are handled by the callers; anything else is malformed.
bool ParseNumber(const std::string& field, bool fraction, double& value) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ')
        ++i;
    std::size_t start = i;
    bool digits = false, point = false;
    for (; i < field.size(); ++i) {
        if (IsDigit(field[i]))
            digits = true;
        else if (field[i] == '.' && fraction && !point)
            point = true;
        else
            return false;
    }
    if (!digits) return false;
    double v = 0.0;
    const char* first = field.data() + start;
    const char* last = field.data() + field.size();
    auto res = std::from_chars(first, last, v);
    if (res.ec != std::errc() || res.ptr != last) return false;
    value = v;
    return true;
}

// Substring by 1-based start, clipped to the text.
std::string Copy(const std::string& s, std::size_t start1, std::size_t count) {
    if (start1 < 1 || start1 > s.size()) return std::string();
    return s.substr(start1 - 1, count);
}

} // namespace

std::string TDegrees::GetMark() const {
    return kDegreeSign;
}

std::string TDegrees::TextTime(int form, int decimals) const {
    int d = ClampDecimals(decimals);
    double a = static_cast<double>(Scale(d));
    double x = Wrap(Rad, kTurn, 0.0) * kDegPerRad;
    switch (form) {
    case 0:
        x += 7.5 / a;
        break;
    case 1:
        x += 0.125 / a;
        break;
    case 2:
        x += 0.0020833333333333333 / a;
        break;
    default:
        break; // 10, 11, 12 truncate
    }
    int h = static_cast<int>(std::floor(x / 15.0));
    double r = x / 15.0 - h;
    std::string hours = TwoDigits(h), minutes, seconds;
    if (form > 0) {
        r *= 60.0;
        int m = static_cast<int>(std::floor(r));
        r -= m;
        minutes = TwoDigits(m);
    }
    if (form > 1) {
        r *= 60.0;
        int s = static_cast<int>(std::floor(r));
        r -= s;
        seconds = TwoDigits(s);
    }
    std::string dec = DecimalPart(r, d);
    switch (form) {
    case 0:
        return hours + dec + "h";
    case 1:
        return hours + "h" + minutes + dec + "m";
    case 2:
        return hours + "h" + minutes + "m" + seconds + dec + "s";
    case 10:
        return hours;
    case 11:
        return hours + ":" + minutes;
    case 12:
        return hours + ":" + minutes + ":" + seconds;
    default:
        return std::string();
    }
}

std::string TDegrees::TextDeg(int form, int decimals) const {
    int d = ClampDecimals(decimals);
    double a = static_cast<double>(Scale(d));
    double x = Wrap(Rad * kDegPerRad, 360.0, -360.0);
    int sign = x < 0.0 ? -1 : (x > 0.0 ? 1 : 0);
    x = std::fabs(x);
    switch (form) {
    case 0:
        x += 0.5 / a;
        break;
    case 1:
    case 3:
        x += 0.008333333333333333 / a;
        break;
    case 2:
    case 4:
        x += 0.0001388888888888889 / a;
        break;
    default:
        break;
    }
    std::string mark = Lng == 2 ? std::string(".") : std::string(kDegreeSign);
    std::string body;
    if (form >= 0 && form <= 2) {
        int deg = static_cast<int>(std::floor(x));
        x -= deg;
        std::string degrees = std::to_string(deg);
        if (form == 0) {
            body = degrees + DecimalPart(x, d) + mark;
        } else {
            x *= 60.0;
            int m = static_cast<int>(std::floor(x));
            x -= m;
            if (form == 1) {
                body = degrees + mark + TwoDigits(m) + DecimalPart(x, d) + MarkMin;
            } else {
                x *= 60.0;
                int s = static_cast<int>(std::floor(x));
                x -= s;
                body = degrees + mark + TwoDigits(m) + MarkMin + TwoDigits(s) + DecimalPart(x, d) +
                       MarkSec;
            }
        }
    } else if (form == 3 || form == 4) {
        x *= form == 3 ? 60.0 : 3600.0;
        int whole = static_cast<int>(std::floor(x));
        x -= whole;
        body = std::to_string(whole) + DecimalPart(x, d) + (form == 3 ? MarkMin : MarkSec);
    }
    return (sign == -1 ? "-" : " ") + body;
}

std::string TDegrees::Right(const std::string& text, int n) {
    return StrRight(text, n);
}

double TDegrees::Tim2Rad(const std::string& text) {
    bool ok = false;
    return Tim2Rad(text, ok);
}

double TDegrees::Tim2Rad(const std::string& text, bool& ok) {
    ok = false;
    std::string t = Trim(text);
    if (!t.empty() && !IsDigit(t.back())) t.pop_back();
    double hours = 0.0, minutes = 0.0, seconds = 0.0;
    if ((t.size() >= 6 && t[5] == '.') || t.size() == 5) {
        if (!ParseNumber(Copy(t, 1, 2), false, hours) ||
            !ParseNumber(Copy(t, 4, std::string::npos), true, minutes))
            return 0.0;
    } else {
        if (!ParseNumber(Copy(t, 1, 2), false, hours) ||
            !ParseNumber(Copy(t, 4, 2), false, minutes) ||
            !ParseNumber(Copy(t, 7, std::string::npos), true, seconds))
            return 0.0;
        minutes += seconds / 60.0;
    }
    ok = true;
    return (hours * 15.0 + minutes * 0.25) / kDegPerRad;
}

double TDegrees::Deg2Rad(const std::string& text) {
    bool ok = false;
    return Deg2Rad(text, ok);
}

double TDegrees::Deg2Rad(const std::string& text, bool& ok) {
    ok = false;
    std::string t = Trim(text);
    if (!t.empty() && !IsDigit(t.back()) && t.back() != 'm') t.pop_back();
    double sign = 1.0;
    if (!t.empty() && t[0] == '-') {
        t[0] = ' ';
        sign = -1.0;
    } else if (!t.empty() && t[0] == '+') {
        t.erase(0, 1);
    }
    double degrees = 0.0, fraction = 0.0;
    std::size_t point = t.find('.');
    if (point != std::string::npos) {
        if (!ParseNumber(t.substr(0, point), false, degrees)) return 0.0;
        std::string r = t.substr(point + 1);
        if (r.find('m') != std::string::npos) {
            if (r.back() == 'm') {
                double minutes = 0.0;
                if (!ParseNumber(r.substr(0, r.size() - 1), true, minutes)) return 0.0;
                fraction = minutes / 60.0;
            } else {
                double minutes = 0.0, seconds = 0.0;
                if (!ParseNumber(Copy(r, 1, 2), false, minutes) ||
                    !ParseNumber(Copy(r, 4, std::string::npos), true, seconds))
                    return 0.0;
                fraction = minutes / 60.0 + seconds / 3600.0;
            }
        } else {
            double f = 0.0;
            // "0." followed by R: R must be bare digits.
            if (!r.empty() && (r[0] == ' ' || !ParseNumber("0." + r, true, f))) return 0.0;
            fraction = f;
        }
    } else {
        if (!ParseNumber(t, false, degrees)) return 0.0;
    }
    ok = true;
    return sign * (degrees + fraction) / kDegPerRad;
}

double TDegrees::Dsub(double a, double b) {
    double d = a - b;
    if (d < 0.0) d += kTwoPi;
    return d;
}

double TDegrees::AdjustDeg(double x) {
    return Wrap(x, kTurn, 0.0);
}
