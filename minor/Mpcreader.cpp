#include "minor/Mpcreader.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "catalog/Safefile.h"
#include "minor/Mpcpacked.h"

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kGauss = 0.01720209895;

std::string trim(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
    return s.substr(a, b - a);
}

// Columns from..to (1-based, inclusive) of a line, "" past its end.
std::string cols(const std::string& line, std::size_t from, std::size_t to) {
    if (from > line.size()) return "";
    return line.substr(from - 1, std::min(to, line.size()) - from + 1);
}

// A number filling its field (blanks around it allowed); false for anything else.
bool number(const std::string& field, double& v) {
    const std::string t = trim(field);
    if (t.empty() || t.size() > 24) return false;
    char buf[32];
    std::memcpy(buf, t.c_str(), t.size() + 1);
    char* end = nullptr;
    errno = 0;
    v = std::strtod(buf, &end);
    return end == buf + t.size() && errno == 0 && std::isfinite(v);
}

bool angle(const std::string& field, double& rad) {
    double v;
    if (!number(field, v) || v < -360.0 || v > 360.0) return false;
    rad = v * kDeg;
    return true;
}
} // namespace

bool TMpcReader::ParseAsteroid(const std::string& raw, TMinorBody& b, std::string& why) {
    const std::string line = raw.size() > 0 && raw.back() == '\r' ? raw.substr(0, raw.size() - 1) : raw;
    b = TMinorBody{};
    if (line.size() < 103) return why = "too short for an asteroid line", false;
    const std::string key = trim(cols(line, 1, 7));
    b.Packed = key;
    if (key.size() == 5) b.Number = TMpcPacked::Number(key);
    else if (key.size() == 7) b.Designation = TMpcPacked::Provisional(key, false);
    if (b.Number == 0 && b.Designation.empty()) return why = "no designation", false;

    int y, m, d;
    if (!TMpcPacked::Epoch(cols(line, 21, 25), y, m, d)) return why = "no epoch", false;
    b.Epoch = TMpcPacked::Mjd(y, m, d);
    double M = 0.0, a = 0.0, n = 0.0;
    if (!angle(cols(line, 27, 35), M) || !angle(cols(line, 38, 46), b.Peri) ||
        !angle(cols(line, 49, 57), b.Node) || !angle(cols(line, 60, 68), b.i) ||
        !number(cols(line, 71, 79), b.e) || !number(cols(line, 81, 91), n) ||
        !number(cols(line, 93, 103), a))
        return why = "elements unreadable", false;
    // Asteroid lines are ellipses by construction.
    if (b.e < 0.0 || b.e >= 1.0 || !(a > 0.0) || a > 1e6 || b.i < 0.0 || b.i > 180.0 * kDeg)
        return why = "elements out of range", false;
    b.q = a * (1.0 - b.e);
    if (!(b.q > 0.0)) return why = "elements out of range", false;
    // The time of perihelion nearest the epoch, with the Sun's own motion for a's n.
    const double nn = kGauss / (a * std::sqrt(a));
    M = std::remainder(M, 2.0 * 3.14159265358979323846);
    b.T = b.Epoch - M / nn;

    double h, g;
    if (number(cols(line, 9, 13), h)) {
        b.HasMag = true;
        b.H = h;
        b.G = number(cols(line, 15, 19), g) ? g : 0.15;
    }
    // The readable designation from column 167: "(1) Ceres", "(433) Eros", "2024 YR4".
    const std::string readable = trim(cols(line, 167, 194));
    if (b.Number > 0) {
        const std::size_t close = readable.find(')');
        if (readable.size() > 2 && readable[0] == '(' && close != std::string::npos) {
            std::string rest = trim(readable.substr(close + 1));
            // An unnamed numbered asteroid carries its provisional designation there.
            if (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') b.Designation = rest;
            else b.Name = rest;
        }
    } else if (!readable.empty()) {
        b.Designation = readable;
    }
    return true;
}

bool TMpcReader::ParseComet(const std::string& raw, TMinorBody& b, std::string& why) {
    const std::string line = raw.size() > 0 && raw.back() == '\r' ? raw.substr(0, raw.size() - 1) : raw;
    b = TMinorBody{};
    b.Comet = true;
    if (line.size() < 102) return why = "too short for a comet line", false;
    const char type = line[4];
    if (std::strchr("CPDXIA", type) == nullptr || type == '\0') return why = "no orbit type", false;
    const std::string num = trim(cols(line, 1, 4));
    const std::string prov = trim(cols(line, 6, 12));
    b.Packed = cols(line, 1, 12);
    if (!num.empty()) {
        for (char c : num)
            if (c < '0' || c > '9') return why = "bad comet number", false;
        b.Number = std::atoi(num.c_str());
        if (b.Number <= 0) return why = "bad comet number", false;
        b.Designation = std::to_string(b.Number) + type;
    } else {
        const std::string d = TMpcPacked::Provisional(prov, true);
        if (d.empty()) return why = "no designation", false;
        b.Designation = std::string(1, type) + "/" + d;
    }

    double year, month, day;
    if (!number(cols(line, 15, 18), year) || !number(cols(line, 20, 21), month) ||
        !number(cols(line, 23, 29), day) || year < 1000 || year > 3000 || month < 1 ||
        month > 12 || day < 0 || day >= 32)
        return why = "no perihelion date", false;
    b.T = TMpcPacked::Mjd(int(year), int(month), day);
    if (!number(cols(line, 31, 39), b.q) || !number(cols(line, 42, 49), b.e) ||
        !angle(cols(line, 52, 59), b.Peri) || !angle(cols(line, 62, 69), b.Node) ||
        !angle(cols(line, 72, 79), b.i))
        return why = "elements unreadable", false;
    if (!(b.q > 0.0) || b.q > 1e4 || b.e < 0.0 || b.e > 1e3 || b.i < 0.0 || b.i > 180.0 * kDeg)
        return why = "elements out of range", false;
    b.Epoch = b.T;
    double ey, em, ed;
    if (number(cols(line, 82, 85), ey) && number(cols(line, 86, 87), em) &&
        number(cols(line, 88, 89), ed) && em >= 1 && em <= 12 && ed >= 1 && ed <= 31)
        b.Epoch = TMpcPacked::Mjd(int(ey), int(em), ed);

    // The MPC gives H and n of m = H + 5 log delta + 2.5 n log r: K1 is 2.5 n.
    double h, n;
    if (number(cols(line, 92, 95), h) && number(cols(line, 97, 100), n)) {
        b.HasMag = true;
        b.M1 = h;
        b.K1 = 2.5 * n;
    }
    // "12P/Pons-Brooks", "C/2023 A3 (Tsuchinshan-ATLAS)", "1P/Halley".
    const std::string full = trim(cols(line, 103, 158));
    const std::size_t open = full.find(" (");
    if (b.Number > 0) {
        const std::size_t slash = full.find('/');
        if (slash != std::string::npos) b.Name = trim(full.substr(slash + 1));
    } else if (open != std::string::npos && full.back() == ')') {
        b.Name = full.substr(open + 2, full.size() - open - 3);
    }
    return true;
}

void TMpcReader::Line(const std::string& raw) {
    ++line_;
    const std::string line = raw.size() > 0 && raw.back() == '\r' ? raw.substr(0, raw.size() - 1) : raw;
    if (line_ == 1 && line.find("MINOR PLANET CENTER") != std::string::npos) inHeader_ = true;
    if (inHeader_) {
        if (line.compare(0, 5, "-----") == 0) inHeader_ = false;
        return;
    }
    if (trim(line).empty()) return;
    TMinorBody b;
    std::string why;
    // An asteroid line has its packed epoch in columns 21-25, where a comet line has the
    // month and day of perihelion; a comet line has its orbit type in column 5.
    int y, m, d;
    const bool ok = !TMpcPacked::Epoch(cols(line, 21, 25), y, m, d) && line.size() > 4 &&
                            std::strchr("CPDXIA", line[4]) != nullptr && line[4] != '\0'
                        ? ParseComet(line, b, why)
                        : ParseAsteroid(line, b, why);
    if (!ok) {
        ++Skipped;
        if (Errors.size() < MaxErrors) Errors.push_back("line " + std::to_string(line_) + ": " + why);
        return;
    }
    Bodies.push_back(std::move(b));
}

void TMpcReader::ParseText(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        Line(text.substr(pos, std::min<std::size_t>(end - pos, 4096)));
        pos = end + 1;
    }
}

bool TMpcReader::ReadFile(const std::string& path, std::string& error) {
    unsigned long long size = 0;
    const int fd = TSafeFile::OpenRegular(path, true, size, error);
    if (fd < 0) return false;
    if (size > MaxFileBytes) {
        ::close(fd);
        error = path + ": refused, larger than " + std::to_string(MaxFileBytes >> 20) + " MB";
        return false;
    }
    std::string carry;
    std::vector<char> buf(1 << 20);
    unsigned long long total = 0;
    for (;;) {
        if (Cancel && Cancel->load()) {
            ::close(fd);
            error = path + ": cancelled";
            return false;
        }
        const ssize_t got = ::read(fd, buf.data(), buf.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            error = path + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        total += std::size_t(got);
        if (total > MaxFileBytes) {
            // The file grew while being read.
            ::close(fd);
            error = path + ": refused, larger than " + std::to_string(MaxFileBytes >> 20) + " MB";
            return false;
        }
        std::size_t pos = 0;
        const char* p = buf.data();
        for (std::size_t k = 0; k < std::size_t(got); ++k) {
            if (p[k] != '\n') continue;
            carry.append(p + pos, k - pos);
            Line(carry.substr(0, 4096));
            carry.clear();
            pos = k + 1;
        }
        // A line longer than any real one is cut rather than grown without bound.
        carry.append(p + pos, std::min<std::size_t>(std::size_t(got) - pos, 8192 - std::min<std::size_t>(carry.size(), 8192)));
    }
    if (!carry.empty()) Line(carry.substr(0, 4096));
    ::close(fd);
    return true;
}
