#include "plan/Clshorizon.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "catalog/Safefile.h"

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kFlatRefraction = 34.0 / 60.0 * kDeg;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == ',' || c == ';';
}

// One number from the front of `s`, with the separators before it skipped.
bool TakeNumber(std::string_view& s, double& v) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || !std::isfinite(v)) return false;
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    return s.empty() || IsSpace(s.front());
}
} // namespace

bool THorizon::Parse(std::string_view text, const std::string& name, std::string& error) {
    points_.clear();
    Path.clear();
    std::vector<TPoint> pts;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        error = name + ":" + std::to_string(lineNo) + ": " + why + "; the flat horizon is used";
        return false;
    };
    while (!text.empty()) {
        ++lineNo;
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        bool blank = true;
        for (char c : line)
            if (!IsSpace(c)) blank = false;
        if (blank) continue;
        TPoint p;
        if (!TakeNumber(line, p.Az) || !TakeNumber(line, p.Alt))
            return fail("not a pair of numbers \"azimuth altitude\" in degrees");
        while (!line.empty() && IsSpace(line.front()))
            line.remove_prefix(1);
        if (!line.empty()) return fail("more than two numbers on the line");
        if (p.Az < 0.0 || p.Az > 360.0) return fail("azimuth outside 0 to 360 degrees");
        if (p.Alt < kMinAlt || p.Alt > kMaxAlt) return fail("altitude outside -30 to 90 degrees");
        if (!pts.empty() && p.Az <= pts.back().Az)
            return fail(p.Az == pts.back().Az ? "azimuth repeated" : "azimuths not in rising order");
        // 360 closes the circle onto 0; anything after it would be out of order.
        pts.push_back(p);
    }
    if (pts.empty()) {
        lineNo = 0;
        error = name + ": no azimuth and altitude pairs; the flat horizon is used";
        return false;
    }
    points_ = std::move(pts);
    Path = name;
    error.clear();
    return true;
}

bool THorizon::Load(const std::string& path, std::string& error) {
    // A horizon has a few hundred lines; a huge file is not one.
    std::string text, why;
    if (!TSafeFile::ReadAll(path, 1u << 22, text, why)) {
        Clear();
        error = why + "; the flat horizon is used";
        return false;
    }
    return Parse(text, path, error);
}

double THorizon::AltitudeAt(double azimuth) const {
    if (points_.empty()) return 0.0;
    double az = std::fmod(azimuth / kDeg, 360.0);
    if (az < 0.0) az += 360.0;
    if (points_.size() == 1) return points_[0].Alt * kDeg;
    // Find the pair around az, going round from the last point to the first.
    const TPoint* a = &points_.back();
    const TPoint* b = &points_.front();
    double a0 = a->Az - 360.0, b0 = b->Az;
    if (az >= points_.front().Az && az <= points_.back().Az) {
        std::size_t lo = 0, hi = points_.size() - 1;
        while (hi - lo > 1) {
            const std::size_t mid = (lo + hi) / 2;
            (points_[mid].Az <= az ? lo : hi) = mid;
        }
        a = &points_[lo];
        b = &points_[hi];
        a0 = a->Az;
        b0 = b->Az;
    } else if (az > points_.back().Az) {
        a0 = a->Az;
        b0 = b->Az + 360.0;
    }
    const double span = b0 - a0;
    const double f = span > 0.0 ? (az - a0) / span : 0.0;
    return (a->Alt + f * (b->Alt - a->Alt)) * kDeg;
}

double THorizon::RiseAltitude(double azimuth) const {
    if (points_.empty()) return -kFlatRefraction;
    const double a = AltitudeAt(azimuth) / kDeg;
    // Bennett's refraction for an apparent altitude, in arc minutes; kept
    // finite for a profile below the horizon (a sea horizon from a height).
    const double ar = std::max(a, -1.0);
    const double r = 1.0 / std::tan((ar + 7.31 / (ar + 4.4)) * kDeg);
    return (a - r / 60.0) * kDeg;
}
