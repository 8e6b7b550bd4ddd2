#include "app/Clssysinfo.h"
#include "catalog/Clsfolders.h"
#include "catalog/Safefile.h"

#include "app/Textcode.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>

TSysInfo::TSysInfo() = default;

int32_t TSysInfo::GetInt(std::size_t off) const {
    uint32_t v = uint32_t(raw_[off]) | uint32_t(raw_[off + 1]) << 8 |
                 uint32_t(raw_[off + 2]) << 16 | uint32_t(raw_[off + 3]) << 24;
    return static_cast<int32_t>(v);
}

void TSysInfo::SetInt(std::size_t off, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        raw_[off + i] = static_cast<unsigned char>(u >> (8 * i));
}

double TSysInfo::GetDouble(std::size_t off) const {
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = (u << 8) | raw_[off + i];
    return std::bit_cast<double>(u);
}

void TSysInfo::SetDouble(std::size_t off, double v) {
    uint64_t u = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        raw_[off + i] = static_cast<unsigned char>(u >> (8 * i));
}

void TSysInfo::NewFile() {
    raw_.fill(0);
    SetSiteCount(3);
    const TSite defaults[3] = {
        {"Old Greenwich Observatory", 0.0017453292519943279, 0.9113528159273465, 30.0, 0.0, 0.0},
        {"Top of Mt.LasCampanas", -1.2339477811599897, -0.506145483078355, 228.0, -4.0, 0.0},
        {"MusashinoPark,Tokyo", 2.43502577651717, 0.6227915965756675, 372.0, 9.0, 0.0},
    };
    for (int i = 0; i < 3; ++i)
        SetSite(i + 1, defaults[i]);
    const int32_t reserved[4] = {1, 1, 50, 1};
    for (int i = 0; i < 4; ++i)
        SetInt(kOffReserved2 + 4 * i, reserved[i]);
    SetLastSite(0);
}

bool TSysInfo::Load(const std::string& folder, std::string& message) {
    message.clear();
    std::string path = PathIn(folder, kFileName);
    std::string bytes;
    bool more = false;
    if (!TSafeFile::ReadHead(path, kSize, bytes, more, message)) {
        // Something other than a file under its name (a FIFO would hang the
        // start, a device never end): the start values, and the user is told.
        // The thing itself is left alone until a change is saved over it.
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return false;
        NewFile();
        message += ". The settings take their start values.";
        return true;
    }
    const std::size_t n = bytes.size() + (more ? 1 : 0);
    std::copy(bytes.begin(), bytes.end(), raw_.begin());
    // A short file fills only the leading part; the rest keeps what it held.
    if (n < kSize)
        message = std::string(kFileName) + " is damaged: " + std::to_string(n) +
                  " bytes instead of " + std::to_string(kSize) + "; only the first part was read.";
    else if (n > kSize)
        message = std::string(kFileName) + " is longer than " + std::to_string(kSize) +
                  " bytes; the rest was ignored.";
    int count = GetInt(kOffSiteCount);
    if (count < 0 || count > kMaxSites) {
        int fixed = std::clamp(count, 0, kMaxSites);
        SetSiteCount(fixed);
        if (!message.empty()) message += " ";
        message += std::string(kFileName) + " gives " + std::to_string(count) + " sites; " +
                   std::to_string(fixed) + " were read.";
    }
    const std::string repaired = RepairSites();
    if (!repaired.empty()) {
        if (!message.empty()) message += " ";
        message += repaired;
    }
    return true;
}

std::string TSysInfo::RepairSites() {
    constexpr double kPi = 3.14159265358979323846;
    std::string sites;
    // A value that is not a number becomes 0; one beyond its range the end
    // of the range. A chart drawn for "nan" degrees was empty.
    auto fix = [](double v, double lo, double hi, bool& changed) {
        double r = std::isfinite(v) ? std::clamp(v, lo, hi) : 0.0;
        if (r != v) changed = true;
        return r;
    };
    for (int no = 1; no <= GetSiteCount(); ++no) {
        const int i = no - 1;
        bool changed = false;
        SetDouble(kOffLng + 8 * i, fix(GetDouble(kOffLng + 8 * i), -kPi, kPi, changed));
        SetDouble(kOffLat + 8 * i, fix(GetDouble(kOffLat + 8 * i), -kPi / 2, kPi / 2, changed));
        SetDouble(kOffHeight + 8 * i,
                  fix(GetDouble(kOffHeight + 8 * i), kMinHeight, kMaxHeight, changed));
        SetDouble(kOffDiffUT + 8 * i,
                  fix(GetDouble(kOffDiffUT + 8 * i), -kMaxDiffUT, kMaxDiffUT, changed));
        const int32_t summer = GetInt(kOffSummer + 4 * i);
        if (summer < 0 || summer > kMaxSummer) {
            SetInt(kOffSummer + 4 * i, std::clamp<int32_t>(summer, 0, kMaxSummer));
            changed = true;
        }
        if (!changed) continue;
        if (!sites.empty()) sites += ", ";
        sites += std::to_string(no) + " (" + GetSiteName(no) + ")";
    }
    if (sites.empty()) return {};
    return std::string(kFileName) + " holds impossible values for site " + sites +
           "; they were replaced by safe ones.";
}

bool TSysInfo::Save(const std::string& folder, std::string& message) const {
    message.clear();
    const std::string bytes(reinterpret_cast<const char*>(raw_.data()), kSize);
    return TSafeFile::WriteAtomic(PathIn(folder, kFileName), bytes, message);
}

int TSysInfo::GetMemUse(int s) const {
    return GetInt(kOffMemUse + 4 * s);
}
void TSysInfo::SetMemUse(int s, int v) {
    SetInt(kOffMemUse + 4 * s, v);
}
double TSysInfo::GetMemRa(int s) const {
    return GetDouble(kOffMemRa + 8 * s);
}
void TSysInfo::SetMemRa(int s, double v) {
    SetDouble(kOffMemRa + 8 * s, v);
}
double TSysInfo::GetMemDec(int s) const {
    return GetDouble(kOffMemDec + 8 * s);
}
void TSysInfo::SetMemDec(int s, double v) {
    SetDouble(kOffMemDec + 8 * s, v);
}
double TSysInfo::GetMemMjd(int s) const {
    return GetDouble(kOffMemMjd + 8 * s);
}
void TSysInfo::SetMemMjd(int s, double v) {
    SetDouble(kOffMemMjd + 8 * s, v);
}
int TSysInfo::GetMemScale(int s) const {
    return GetInt(kOffMemScale + 4 * s);
}
void TSysInfo::SetMemScale(int s, int v) {
    SetInt(kOffMemScale + 4 * s, v);
}

int TSysInfo::GetSiteCount() const {
    return std::clamp(GetInt(kOffSiteCount), 0, kMaxSites);
}
void TSysInfo::SetSiteCount(int n) {
    SetInt(kOffSiteCount, std::clamp(n, 0, kMaxSites));
}

int TSysInfo::GetLastSite() const {
    return GetInt(kOffLastSite);
}
void TSysInfo::SetLastSite(int row) {
    SetInt(kOffLastSite, row);
}

std::string TSysInfo::GetSiteName(int no) const {
    if (no < 1 || no > kMaxSites) return {};
    const unsigned char* p = raw_.data() + kOffName + kNameField * (no - 1);
    // A field without its zero is read up to its last byte, which must be the zero.
    size_t len = 0;
    while (len < kNameField - 1 && p[len] != 0)
        ++len;
    // Shift-JIS on disk, UTF-8 in the program.
    return SjisToUtf8(std::string_view(reinterpret_cast<const char*>(p), len));
}

TSite TSysInfo::GetSite(int no) const {
    TSite s;
    if (no < 1 || no > kMaxSites) return s;
    int i = no - 1;
    s.Name = GetSiteName(no);
    s.Lng = GetDouble(kOffLng + 8 * i);
    s.Lat = GetDouble(kOffLat + 8 * i);
    s.Height = GetDouble(kOffHeight + 8 * i);
    s.DiffUT = GetDouble(kOffDiffUT + 8 * i);
    s.Summer = GetInt(kOffSummer + 4 * i);
    return s;
}

bool TSysInfo::NameFits(const std::string& utf8) {
    bool exact = false;
    std::string sjis = Utf8ToSjis(utf8, exact);
    return exact && sjis.size() < kNameField && sjis.find('\0') == std::string::npos;
}

bool TSysInfo::PutName(int no, const std::string& utf8) {
    bool exact = false;
    std::string sjis = Utf8ToSjis(utf8, exact);
    if (!exact || sjis.size() >= kNameField || sjis.find('\0') != std::string::npos) return false;
    unsigned char* p = raw_.data() + kOffName + kNameField * (no - 1);
    std::memset(p, 0, kNameField);
    std::memcpy(p, sjis.data(), sjis.size());
    return true;
}

bool TSysInfo::SetSite(int no, const TSite& s) {
    if (no < 1 || no > kMaxSites || !PutName(no, s.Name)) return false;
    int i = no - 1;
    SetDouble(kOffLng + 8 * i, s.Lng);
    SetDouble(kOffLat + 8 * i, s.Lat);
    SetDouble(kOffHeight + 8 * i, s.Height);
    SetDouble(kOffDiffUT + 8 * i, s.DiffUT);
    // Whole hours, cut toward zero; out-of-range values stay within int32.
    double h = std::clamp(s.Summer, -2147483648.0, 2147483647.0);
    SetInt(kOffSummer + 4 * i, static_cast<int32_t>(h));
    return true;
}

bool TSysInfo::AddSite(const TSite& s) {
    int n = GetSiteCount();
    if (n >= kMaxSites || !SetSite(n + 1, s)) return false;
    SetSiteCount(n + 1);
    return true;
}

void TSysInfo::DeleteSite(int no) {
    int n = GetSiteCount();
    if (no < 1 || no > n) return;
    auto moveUp = [&](std::size_t off, std::size_t size) {
        unsigned char* base = raw_.data() + off;
        std::memmove(base + size * (no - 1), base + size * no, size * (n - no));
        std::memset(base + size * (n - 1), 0, size);
    };
    moveUp(kOffName, kNameField);
    moveUp(kOffLng, 8);
    moveUp(kOffLat, 8);
    moveUp(kOffHeight, 8);
    moveUp(kOffDiffUT, 8);
    moveUp(kOffSummer, 4);
    SetSiteCount(n - 1);
}
