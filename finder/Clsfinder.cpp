#include "finder/Clsfinder.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180;

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

bool EndsWith(const std::string& s, const std::string& e) {
    return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
}

// "2", "2.5" ... as written: a plain decimal number.
bool Decimal(const std::string& s, double& v) {
    if (s.empty() || s.size() > 20) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.')) return false;
    char* end = nullptr;
    errno = 0;
    v = std::strtod(s.c_str(), &end);
    return errno == 0 && end == s.c_str() + s.size() && std::isfinite(v);
}

std::string Label(double radius, bool minutes) {
    char b[32];
    const double across = 2 * radius / kDeg;
    if (minutes)
        std::snprintf(b, sizeof b, "%g'", std::round(across * 60 * 10) / 10);
    else
        std::snprintf(b, sizeof b, "%g\u00b0", std::round(across * 100) / 100);
    return b;
}
} // namespace

std::vector<TFinder::TRing> TFinder::Telrad() {
    return {{0.25 * kDeg, "0.5\u00b0"}, {1.0 * kDeg, "2\u00b0"}, {2.0 * kDeg, "4\u00b0"}};
}

bool TFinder::ParseField(const std::string& text, TRing& ring, std::string& why) {
    std::string t = Trim(text);
    bool minutes = false;
    for (const char* unit : {"arcmin", "'", "m"})
        if (EndsWith(t, unit)) {
            t = Trim(t.substr(0, t.size() - std::string(unit).size()));
            minutes = true;
            break;
        }
    if (!minutes)
        for (const char* unit : {"\u00b0", "deg", "d"})
            if (EndsWith(t, unit)) {
                t = Trim(t.substr(0, t.size() - std::string(unit).size()));
                break;
            }
    double v;
    if (!Decimal(t, v)) {
        why = "field '" + Trim(text) + "' is not degrees (2, 0.5d) or minutes of arc (30')";
        return false;
    }
    const double across = minutes ? v / 60 : v;
    if (across < 1.0 / 60 - 1e-12 || across > 90) {
        why = "field '" + Trim(text) + "' is not from 1' to 90 degrees";
        return false;
    }
    ring.Radius = across / 2 * kDeg;
    ring.Label = Label(ring.Radius, minutes);
    return true;
}

int TFinder::Scale(const std::vector<TRing>& rings, int chartWidth, int chartHeight) {
    double widest = 2 * kDeg;
    for (const TRing& r : rings)
        widest = std::max(widest, r.Radius);
    // The widest ring's diameter over half the short side: a Telrad's 4
    // degrees on a chart 564 pixels high gives about 4000.
    const double side = std::max(16, std::min(chartWidth, chartHeight));
    return static_cast<int>(std::clamp(side / 2 / (2 * widest), 300.0, 1200000.0));
}

int TFinder::LimitForField(double fieldRadians) {
    const double deg = std::max(fieldRadians / kDeg, 1e-3);
    const double limit = 9.0 + std::log2(10.0 / deg);
    return static_cast<int>(std::lround(std::clamp(limit, 6.0, 13.0) * 100));
}

std::vector<TFinder::TRing> TFinder::ReadRings(const std::string& text,
                                               std::vector<std::string>& problems, bool* shown) {
    if (shown) *shown = true;
    std::vector<TRing> rings;
    size_t at = 0;
    int line = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string l = text.substr(at, end - at);
        at = end + 1;
        ++line;
        const size_t hash = l.find('#');
        if (hash != std::string::npos) l.erase(hash);
        l = Trim(l);
        if (l.empty()) {
            if (end == text.size()) break;
            continue;
        }
        if (l == "on" || l == "off") {
            if (shown) *shown = l == "on";
            if (end == text.size()) break;
            continue;
        }
        TRing r;
        std::string why;
        if (static_cast<int>(rings.size()) >= MaxRings) {
            problems.push_back("line " + std::to_string(line) + ": more than " +
                               std::to_string(MaxRings) + " rings");
            break;
        }
        if (ParseField(l, r, why))
            rings.push_back(r);
        else
            problems.push_back("line " + std::to_string(line) + ": " + why);
        if (end == text.size()) break;
    }
    return rings;
}

std::string TFinder::SetShown(const std::string& text, bool shown) {
    std::string out = shown ? "" : "off\n";
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(at, end - at);
        std::string l = line;
        const size_t hash = l.find('#');
        if (hash != std::string::npos) l.erase(hash);
        l = Trim(l);
        if (l != "on" && l != "off") out += line;
        at = end;
    }
    return out;
}

std::string TFinder::DefaultRings() {
    return "off\n"
           "# Field-of-view rings on the atlas, one a line, across in degrees (2, 0.5d)\n"
           "# or minutes of arc (40'); \"off\" hides them. A Telrad's circles:\n"
           "0.5\n2\n4\n";
}
