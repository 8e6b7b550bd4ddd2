#include "party/Partycommand.h"

#include "catalog/Safefile.h"

#include "astro/Clsdegree.h"

#include <cstdio>
#include <ctime>

namespace {

// The last two digits of v + 100: months, days, hours and minutes.
std::string Two(int v) {
    std::string t = std::to_string(v + 100);
    return t.substr(t.size() - 2);
}

// "yyyymmddhhnnss" of a moment in milliseconds since 1970, whole seconds
// counted down also before 1970.
std::string StampOf(std::int64_t nowMs, bool utc) {
    std::int64_t s = nowMs / 1000;
    if (nowMs % 1000 < 0) --s;
    const std::time_t t = static_cast<std::time_t>(s);
    std::tm tm{};
    if (utc)
        gmtime_r(&t, &tm);
    else
        localtime_r(&t, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

} // namespace

std::string TPartyCommand::LocalStamp(std::int64_t nowMs) {
    return StampOf(nowMs, false);
}

std::string TPartyCommand::UtcStamp(std::int64_t nowMs) {
    return StampOf(nowMs, true);
}

std::tm TPartyCommand::StampFields(const std::string& s) {
    std::tm tm{};
    tm.tm_year = std::stoi(s.substr(0, 4)) - 1900;
    tm.tm_mon = std::stoi(s.substr(4, 2)) - 1;
    tm.tm_mday = std::stoi(s.substr(6, 2));
    tm.tm_hour = std::stoi(s.substr(8, 2));
    tm.tm_min = std::stoi(s.substr(10, 2));
    tm.tm_sec = std::stoi(s.substr(12, 2));
    return tm;
}

std::string TPartyCommand::MakeCommandFileName(const std::string& folder, const std::string& id,
                                               std::int64_t nowMs) {
    const std::string path = folder + id + "-";
    const std::string stamp = LocalStamp(nowMs);
    if (lastStamp_ == stamp + std::to_string(sequence_))
        ++sequence_;
    else
        sequence_ = 0;
    lastStamp_ = stamp + std::to_string(sequence_);
    return path + lastStamp_ + ".pty";
}

std::vector<std::string> TPartyCommand::SyncLines(const TPartyView& v) {
    TDegrees deg;
    deg.SetLng(2);
    deg.SetMarkMin("m");
    deg.SetMarkSec("s");
    deg.SetRad(v.Ra);
    std::string ra = deg.TextTime(2, 1);
    deg.SetRad(v.Dec);
    std::string dec = deg.TextDeg(2, 1);

    std::vector<std::string> lines;
    lines.push_back("CENTER , " + ra + " , " + dec);
    lines.push_back("OBJECT , " + std::to_string(v.ObjKind) + " , " + std::to_string(v.ObjNo));
    lines.push_back("SCALE , " + std::to_string(v.Scale));
    if (v.AutoDrive == 1)
        lines.push_back("TIME , NOW");
    else
        lines.push_back("TIME , " + std::to_string(v.Year) + "/" + Two(v.Month) + "/" + Two(v.Day) +
                        " , " + Two(v.Hour) + ":" + Two(v.Minute) + ":00");
    lines.push_back("SENS , " + std::to_string(v.Sens));
    for (int k = 0; k < 8; ++k)
        lines.push_back("DISP0" + std::to_string(k + 1) + " , " + (v.Disp[k] == 1 ? "ON" : "OFF"));
    return lines;
}

std::vector<std::string> TPartyCommand::GotoLines(const TPartyView& v) {
    return {"OBJECT , " + std::to_string(v.ObjKind) + " , " + std::to_string(v.ObjNo), "GOTO"};
}

std::vector<std::string> TPartyCommand::StopLines() {
    return {"STOP"};
}

bool TPartyCommand::WriteFile(const std::string& path, const std::vector<std::string>& lines,
                              std::string& why, bool& taken) {
    taken = false;
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    // Every field is a keyword, a decimal number or an angle text with ASCII
    // marks, so these bytes are already their Shift-JIS form.
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            why = "not plain text";
            return false;
        }
    }
    std::string error;
    if (TSafeFile::CreateNew(path, bytes, error, taken)) return true;
    // The reason without the path the caller already knows.
    const std::size_t at = error.find(path + ": ");
    why = at == std::string::npos ? error : error.substr(at + path.size() + 2);
    return false;
}

bool TPartyCommand::Create(const std::string& folder, const std::string& id, std::int64_t nowMs,
                           const std::vector<std::string>& lines, std::string& path,
                           std::string& why) {
    // A thousand commanders within one second is past any star party.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        path = MakeCommandFileName(folder, id, nowMs);
        bool taken = false;
        if (WriteFile(path, lines, why, taken)) return true;
        if (!taken) return false;
    }
    return false;
}
