#include "obslog/Clslistcsv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

const std::pair<const char*, const char*> Kinds[] = {
    {"star", "star"},           {"sun", "sun"},         {"moon", "moon"},
    {"planet", "planet"},       {"comet", "comet"},     {"minor", "asteroid"},
    {"GX", "galaxy"},           {"OC", "open cluster"}, {"GC", "globular cluster"},
    {"PN", "planetary nebula"}, {"GN", "nebula"},       {"DN", "dark nebula"},
    {"AS", "asterism"},         {"DS", "double star"},  {"QS", "quasar"},
    {"CG", "galaxy cluster"},   {"SC", "star cloud"},   {"MS", "multiple star"},
};

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::string Quote(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos && Trim(s) == s) return s;
    std::string q = "\"";
    for (const char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

// Sexagesimal: whole units, minutes, seconds with one decimal (or none).
std::string Sexa(double v, int width, bool sign, int decimals) {
    const double scale = decimals ? 10.0 : 1.0;
    const char s = v < 0 ? '-' : '+';
    long long t = std::llround(std::fabs(v) * 3600 * scale);
    const long long frac = t % static_cast<long long>(scale);
    t /= static_cast<long long>(scale);
    char buf[48];
    if (decimals)
        std::snprintf(buf, sizeof buf, "%s%0*lld:%02lld:%02lld.%lld",
                      sign ? std::string(1, s).c_str() : "", width, t / 3600, t / 60 % 60, t % 60,
                      frac);
    else
        std::snprintf(buf, sizeof buf, "%s%0*lld:%02lld:%02lld",
                      sign ? std::string(1, s).c_str() : "", width, t / 3600, t / 60 % 60, t % 60);
    return buf;
}

bool Number(const std::string& in, double& v) {
    const std::string s = Trim(in);
    if (s.empty()) return false;
    const char* p = s.data() + (s[0] == '+' ? 1 : 0);
    const auto r = std::from_chars(p, s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

// "05:34:31.9", "5 34 31.9", "5h34m31.9s", "-05°23'28\"": the units of the
// first field; false when it is none of these.
bool Sexagesimal(const std::string& in, double& v) {
    std::string s = Trim(in);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    std::vector<std::string> parts;
    std::string cur;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if ((c >= '0' && c <= '9') || c == '.') {
            cur += s[i];
        } else {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
            // Letters and marks between the parts: h m s d : ' " and the degree sign.
            if (!(c == ':' || c == ' ' || c == 'h' || c == 'm' || c == 's' || c == 'd' ||
                  c == '\'' || c == '"' || c >= 0x80))
                return false;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    if (parts.empty() || parts.size() > 3) return false;
    double total = 0, unit = 1;
    for (const std::string& p : parts) {
        double x;
        if (!Number(p, x) || x < 0) return false;
        total += x * unit;
        unit /= 60;
    }
    v = negative ? -total : total;
    return true;
}

bool Angle(const std::string& text, bool hours, double& rad) {
    double v;
    if (Number(text, v)) { // plain decimal: degrees
        rad = v * M_PI / 180;
        return true;
    }
    if (!Sexagesimal(text, v)) return false;
    rad = v * (hours ? 15.0 : 1.0) * M_PI / 180;
    return true;
}

// One record of fields; at is moved past it. false on a broken quote.
bool NextRecord(const std::string& t, std::size_t& at, std::vector<std::string>& fields) {
    fields.assign(1, "");
    bool quoted = false;
    while (at < t.size()) {
        const char c = t[at++];
        if (quoted) {
            if (c == '"') {
                if (at < t.size() && t[at] == '"') {
                    fields.back() += '"';
                    ++at;
                } else {
                    quoted = false;
                }
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return !quoted;
}

} // namespace

std::string TListCsv::KindWord(const std::string& type) {
    for (const auto& [k, w] : Kinds)
        if (type == k) return w;
    return type;
}

std::string TListCsv::KindFromWord(const std::string& word) {
    const std::string w = Lower(Trim(word));
    for (const auto& [k, name] : Kinds)
        if (w == name || w == Lower(k)) return k;
    return Trim(word);
}

std::string TListCsv::Write(const std::vector<TListEntry>& entries) {
    std::string out = "name,RA,Dec,kind,magnitude,note\r\n";
    for (const TListEntry& e : entries) {
        const TLogObject& o = e.Object;
        std::string ra, dec, mag;
        if (o.Ra && o.Dec) {
            double r = std::fmod(*o.Ra, 2 * M_PI);
            if (r < 0) r += 2 * M_PI;
            ra = Sexa(r * 12 / M_PI, 2, false, 1);
            if (ra.rfind("24:", 0) == 0) ra = "00:00:00.0";
            dec = Sexa(*o.Dec * 180 / M_PI, 2, true, 0);
        }
        if (o.Magnitude) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.2f", *o.Magnitude);
            mag = buf;
        }
        out += Quote(o.Name) + "," + ra + "," + dec + "," + Quote(KindWord(o.Type)) + "," + mag +
               "," + Quote(e.Note) + "\r\n";
    }
    return out;
}

bool TListCsv::Read(const std::string& text, std::vector<TListEntry>& entries, std::string& error) {
    entries.clear();
    if (text.size() > MaxBytes) {
        error = "The list is larger than " + std::to_string(MaxBytes >> 20) + " MB";
        return false;
    }
    std::size_t at = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    std::vector<std::string> f;
    if (!NextRecord(text, at, f)) {
        error = "Line 1: a quote is not closed";
        return false;
    }
    int col[6] = {-1, -1, -1, -1, -1, -1};
    const char* const names[6] = {"name", "ra", "dec", "kind", "magnitude", "note"};
    for (std::size_t i = 0; i < f.size(); ++i)
        for (int k = 0; k < 6; ++k)
            if (Lower(Trim(f[i])) == names[k] && col[k] < 0) col[k] = static_cast<int>(i);
    if (col[0] < 0) {
        error = "Line 1: the header row has no \"name\" column (name,RA,Dec,kind,magnitude,note)";
        return false;
    }
    auto field = [&](int k) {
        return col[k] >= 0 && col[k] < static_cast<int>(f.size()) ? Trim(f[col[k]]) : "";
    };
    int line = 1;
    while (at < text.size()) {
        ++line;
        if (!NextRecord(text, at, f)) {
            error = "Line " + std::to_string(line) + ": a quote is not closed";
            return false;
        }
        if (f.size() == 1 && Trim(f[0]).empty()) continue;
        if (entries.size() >= MaxRows) {
            error = "The list has more than " + std::to_string(MaxRows) + " rows";
            return false;
        }
        TListEntry e;
        e.Object.Name = field(0);
        if (e.Object.Name.empty()) {
            error = "Line " + std::to_string(line) + ": no name";
            return false;
        }
        const std::string ra = field(1), dec = field(2);
        if (!ra.empty() || !dec.empty()) {
            double r, d;
            if (!Angle(ra, true, r) || !Angle(dec, false, d) || r < 0 || r >= 2 * M_PI + 1e-9 ||
                std::fabs(d) > M_PI / 2 + 1e-9) {
                error = "Line " + std::to_string(line) + ": RA \"" + ra + "\" and Dec \"" + dec +
                        "\" are not a place in the sky";
                return false;
            }
            e.Object.Ra = r;
            e.Object.Dec = d;
        }
        e.Object.Type = KindFromWord(field(3));
        const std::string mag = field(4);
        double m;
        if (!mag.empty()) {
            if (!Number(mag, m) || std::fabs(m) > 40) {
                error =
                    "Line " + std::to_string(line) + ": magnitude \"" + mag + "\" is not a number";
                return false;
            }
            e.Object.Magnitude = m;
        }
        e.Note = field(5);
        e.Position = static_cast<int>(entries.size()) + 1;
        entries.push_back(e);
    }
    return true;
}
