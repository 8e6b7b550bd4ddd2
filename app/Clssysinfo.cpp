#include "app/Clssysinfo.h"
#include "catalog/Clsfolders.h"

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
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        message = "Can not read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::array<unsigned char, kSize + 1> buf{};
    size_t n = std::fread(buf.data(), 1, buf.size(), f);
    bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) {
        message = "Can not read " + path;
        return false;
    }
    // A short file fills only the leading part; the rest keeps what it held.
    std::copy_n(buf.begin(), std::min(n, kSize), raw_.begin());
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

namespace {

// Where a save must land: the file itself, or, when it is a symbolic link
// (settings kept in a synced folder), the file the links lead to, so that
// the link stays.
std::string SaveTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(target.c_str(), buf.data(), buf.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) break;
        std::string next(buf.data(), static_cast<std::size_t>(n));
        if (next.empty()) break;
        if (next[0] != '/') {
            const std::size_t slash = target.rfind('/');
            if (slash != std::string::npos) next = target.substr(0, slash + 1) + next;
        }
        target = next;
    }
    return target;
}

} // namespace

bool TSysInfo::Save(const std::string& folder, std::string& message) const {
    message.clear();
    const std::string path = SaveTarget(PathIn(folder, kFileName));
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    // A new name each time, created exclusively: a file or a link already
    // at that name is never followed or overwritten.
    std::string tmp = dir + "." + kFileName + ".XXXXXX";
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) {
        message = "Can not write the settings in " + (dir.empty() ? std::string(".") : dir) + ": " +
                  std::strerror(errno);
        return false;
    }
    // The permissions the file had, or the usual ones for a new file.
    struct stat old {};
    mode_t mode;
    if (::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0644 & ~mask;
    }
    auto fail = [&](const std::string& what) {
        message = what + ": " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    };
    if (::fchmod(fd, mode) != 0) return fail("Can not write " + path);
    size_t done = 0;
    while (done < kSize) {
        ssize_t w = ::write(fd, raw_.data() + done, kSize - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (w == 0) errno = ENOSPC;
            return fail("Can not write " + path);
        }
        done += static_cast<size_t>(w);
    }
    if (::fsync(fd) != 0) return fail("Can not write " + path);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("Can not write " + path);
    if (std::rename(tmp.c_str(), path.c_str()) != 0) return fail("Can not replace " + path);
    return true;
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
