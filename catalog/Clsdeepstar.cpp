#include "catalog/Clsdeepstar.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

constexpr double kHalfPi = 1.57079632679489661923;
constexpr double kTwoPi = 6.28318530717958647692;

} // namespace

std::unique_ptr<TStar> TDeepStar::Open(const std::string& path, std::string& why) {
    why.clear();
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path, ec);
    if (ec) {
        why = path + ": " + ec.message();
        return nullptr;
    }
    if (bytes == 0 || bytes % sizeof(TStarRecord) != 0) {
        why = path + ": " + std::to_string(bytes) + " bytes is no whole number of star records";
        return nullptr;
    }
    auto cat = std::make_unique<TStar>(path);
    if (cat->Count == 0 || static_cast<std::uintmax_t>(cat->Count) * sizeof(TStarRecord) != bytes) {
        why = path + ": " + (cat->Error.empty() ? std::string("cannot be read") : cat->Error);
        return nullptr;
    }
    float lastDec = -2.0f;
    for (int i = 0; i < cat->Count; ++i) {
        const TStarRecord& r = (*cat)[i];
        const char* fault = nullptr;
        if (!(r.ra >= 0.0f && r.ra <= kTwoPi) || !(r.dec >= -kHalfPi && r.dec <= kHalfPi))
            fault = "a place off the sky";
        else if (r.dec < lastDec)
            fault = "declinations out of order";
        else if (r.mag < -200 || r.mag > 1600)
            fault = "a magnitude out of range";
        else if (r.con < 1 || r.con > 89)
            fault = "no constellation";
        else if (r.spect > 7)
            fault = "an unknown spectral code";
        else if (r.bayer != 0 || r.flamsteed != 0)
            fault = "a designation, which this catalogue never has";
        if (fault != nullptr) {
            why = path + ": record " + std::to_string(i) + " has " + fault;
            return nullptr;
        }
        lastDec = r.dec;
    }
    return cat;
}

std::pair<int, int> TDeepStar::DecBand(const TStar& cat, double decLo, double decHi) {
    const TStarRecord* begin = cat.Records;
    const TStarRecord* end = begin + cat.Count;
    if (begin == nullptr || !(decHi > decLo)) return {0, 0};
    const TStarRecord* lo =
        std::partition_point(begin, end, [&](const TStarRecord& r) { return r.dec <= decLo; });
    const TStarRecord* hi =
        std::partition_point(lo, end, [&](const TStarRecord& r) { return r.dec < decHi; });
    return {static_cast<int>(lo - begin), static_cast<int>(hi - begin)};
}
