#include "catalog/Clsnames.h"

#include "catalog/Clsstar.h"
#include "catalog/Safefile.h"

#include <charconv>
#include <cstring>
#include <cmath>
#include <filesystem>

namespace {

const std::string kEmpty;

// The fields of one line, split at tabs.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> f;
    std::size_t at = 0;
    while (f.size() < 8) {
        const std::size_t tab = line.find('\t', at);
        f.push_back(line.substr(at, tab == std::string_view::npos ? line.size() - at : tab - at));
        if (tab == std::string_view::npos) break;
        at = tab + 1;
    }
    return f;
}

bool Number(std::string_view s, long& out) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool Real(std::string_view s, double& out) {
    // from_chars for doubles: no locale, no surprises.
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}

} // namespace

std::string TNameList::Spelt(std::string_view s) {
    std::string r;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i > 0 && s[i] >= 'A' && s[i] <= 'Z' && s[i - 1] >= 'a' && s[i - 1] <= 'z') r += ' ';
        r += s[i];
    }
    // Misspellings and short forms of the old tables.
    static const std::pair<const char*, const char*> kFixes[] = {
        {"mebula", "nebula"},   {"var nebula", "Variable nebula"}, {"Starcloud", "Star Cloud"},
        {"Blackeye", "Black Eye"}, {"(unofficial)", " (unofficial)"}};
    for (const auto& [from, to] : kFixes) {
        const std::size_t at = r.find(from);
        if (at != std::string::npos) r.replace(at, std::strlen(from), to);
    }
    // Every word of an English name begins with a capital ("Cat's eye
    // nebula" -> "Cat's Eye Nebula"), but a lone small letter ("h Per",
    // "x(chi) Per") is a Bayer-like letter and stays.
    for (std::size_t i = 0; i < r.size(); ++i) {
        const bool start = i == 0 || r[i - 1] == ' ';
        const bool word = i + 1 < r.size() && r[i + 1] >= 'a' && r[i + 1] <= 'z';
        if (start && word && r[i] >= 'a' && r[i] <= 'z') r[i] = static_cast<char>(r[i] - 'a' + 'A');
    }
    return r;
}

std::string TNameList::ValidPrefix(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size()) break;
        if (len == 1 && (b < 0x20 || b == 0x7F)) break;
        std::uint32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c >> 6) != 2) ok = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static const std::uint32_t minOf[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < minOf[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) break;
        i += len;
    }
    return std::string(s.substr(0, i));
}

void TNameList::Parse(std::string_view bytes, std::string& why) {
    *this = TNameList();
    why.clear();
    int lineNo = 0;
    auto skip = [&](const char* reason) {
        if (Skipped++ == 0) why = std::string(FileName) + ": line " + std::to_string(lineNo) + ": " + reason;
    };
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string_view> f = Fields(line);
        const bool place = f[0] == "P";
        if ((f[0] != "S" && f[0] != "D" && !place) || f.size() != (place ? 4u : 3u)) {
            skip("not a name line");
            continue;
        }
        std::string name = ValidPrefix(f.back().substr(0, MaxName));
        // A cut name must not end inside a character: ValidPrefix keeps whole ones.
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        if (name.empty()) {
            skip("no name");
            continue;
        }
        if (place) {
            double ra = 0, dec = 0;
            if (!Real(f[1], ra) || !Real(f[2], dec) || ra < 0 || ra >= 360 || dec < -90 || dec > 90) {
                skip("no place on the sky");
                continue;
            }
            if (places_.size() < 10000)
                places_.push_back({name, ra * 3.14159265358979323846 / 180.0,
                                   dec * 3.14159265358979323846 / 180.0});
            continue;
        }
        long n = 0;
        if (!Number(f[1], n) || n <= 0 || n > (f[0] == "S" ? 120416 : 65535)) {
            skip("no catalogue number");
            continue;
        }
        auto& list = f[0] == "S" ? stars_[static_cast<std::uint32_t>(n)] : deep_[static_cast<int>(n)];
        if (list.size() < MaxNamesPerObject) list.push_back(std::move(name));
    }
}

bool TNameList::Read(const std::string& path, std::string& why) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        *this = TNameList();
        why.clear();
        return true;
    }
    std::string bytes;
    if (!TSafeFile::ReadAll(path, MaxBytes, bytes, why)) {
        *this = TNameList();
        return false;
    }
    Parse(bytes, why);
    return true;
}

const std::vector<std::string>* TNameList::OfStar(std::uint32_t hip) const {
    const auto it = stars_.find(hip);
    return it == stars_.end() ? nullptr : &it->second;
}

const std::vector<std::string>* TNameList::OfDeepSky(int number) const {
    const auto it = deep_.find(number);
    return it == deep_.end() ? nullptr : &it->second;
}

std::uint32_t TNameList::HipOf(int record) const {
    return record >= 0 && static_cast<std::size_t>(record) < Hip.size() ? Hip[record] : 0;
}

const std::string& TNameList::StarName(int record) const {
    const std::vector<std::string>* n = OfStar(HipOf(record));
    return n ? n->front() : kEmpty;
}

std::string TNameList::ProperName(const TStar& star, int record) const {
    if (record < 0 || record >= star.Count) return "";
    const TStarRecord& r = star[record];
    const std::string builtIn = star.GetNameSci(r.con, r.flamsteed, r.bayer);
    return builtIn.empty() ? StarName(record) : Spelt(builtIn);
}

std::string TNameList::StarLabel(const TStar& star, int record, const char* abbr) const {
    if (record < 0 || record >= star.Count) return "";
    std::string name = ProperName(star, record);
    if (!name.empty()) return name;
    const TStarRecord& r = star[record];
    const bool con = abbr != nullptr && *abbr != 0;
    if (con && r.bayer / 100 >= 1 && r.bayer / 100 <= 24)
        return TStar::GetBayer(1, r.bayer) + " " + abbr;
    if (con && r.flamsteed != 0) return std::to_string(r.flamsteed) + " " + abbr;
    if (const std::uint32_t hip = HipOf(record)) return "HIP " + std::to_string(hip);
    return "";
}
