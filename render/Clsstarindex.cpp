#include "render/Clsstarindex.h"

#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

#include "catalog/Clsstar.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
} // namespace

int TStarIndex::ZoneOf(double dec) {
    if (!(dec == dec)) return -1;
    // Monotonic in dec, so a declination range covers whole runs of zones.
    const double z = std::floor((dec + kPi / 2) * (Zones / kPi));
    if (z < 0) return 0;
    if (z >= Zones) return Zones - 1;
    return static_cast<int>(z);
}

void TStarIndex::Build(const TStar& star, bool keepTrig) {
    const bool same = Catalogue == &star && Source == star.Records &&
                      SourceCount == star.Count && KeepTrig == keepTrig;
    if (same && Generation == star.Generation) return;
    // The stars moved with their proper motions: at a step of days few places
    // change at all, so the index is mended rather than built anew.
    if (same && Refresh(star)) {
        Generation = star.Generation;
        return;
    }
    Generation = star.Generation;
    KeepTrig = keepTrig;
    Catalogue = &star;
    Source = star.Records;
    SourceCount = star.Count;
    const int n = star.Count > 0 && star.Records ? star.Count : 0;
    Start.assign(Zones + 1, 0);
    std::vector<int16_t> zone(n);
    // A place that is not a number is never drawn nor picked.
    for (int i = 0; i < n; ++i) {
        zone[i] =
            static_cast<int16_t>(std::isnan(star.Records[i].ra) ? -1 : ZoneOf(star.Records[i].dec));
        if (zone[i] >= 0) ++Start[zone[i] + 1];
    }
    for (int z = 0; z < Zones; ++z)
        Start[z + 1] += Start[z];
    Records.assign(Start[Zones], Entry{});
    std::vector<int32_t> fill(Start.begin(), Start.end() - 1);
    for (int i = 0; i < n; ++i)
        if (zone[i] >= 0) {
            const TStarRecord& r = star.Records[i];
            Records[fill[zone[i]]++] = Entry{r.ra, r.dec, i, r.mag};
        }
    // Each zone by right ascension, so that a window's stretch of it is
    // found by halving.
    for (int z = 0; z < Zones; ++z)
        std::stable_sort(Records.begin() + Start[z], Records.begin() + Start[z + 1],
                         [](const Entry& a, const Entry& b) { return a.ra < b.ra; });
    Trig.clear();
    Unit.clear();
    Trig.shrink_to_fit();
    Unit.shrink_to_fit();
    if (!keepTrig) {
        Lazy.Reset(static_cast<size_t>(n));
        return;
    }
    Lazy.Reset(0);
    Trig.resize(2 * static_cast<size_t>(n));
    Unit.resize(2 * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const Place p = Compute(star.Records[i].ra, star.Records[i].dec);
        const size_t k = 2 * static_cast<size_t>(i);
        Trig[k] = p.SinDec;
        Trig[k + 1] = p.CosDec;
        Unit[k] = p.UnitX;
        Unit[k + 1] = p.UnitY;
    }
}

bool TStarIndex::Refresh(const TStar& star) {
    const int n = star.Count > 0 && star.Records ? star.Count : 0;
    // Every record has an entry (none was left out as not a number), so
    // none can come in.
    if (Records.size() != static_cast<size_t>(n)) return false;
    // The order a fresh build gives: by right ascension, equal ones by record
    // (records are filled in their order, then sorted stably).
    const auto before = [](const Entry& a, const Entry& b) {
        return a.ra < b.ra || (a.ra == b.ra && a.record < b.record);
    };
    // Each zone keeps, in their order, the stars that stay in it; those that
    // moved to another zone are taken out.
    std::vector<std::pair<int, Entry>> movers; // new zone, entry
    std::vector<int32_t> stay(Zones, 0);
    std::vector<char> changed(Zones, 0);
    for (int z = 0; z < Zones; ++z) {
        int32_t w = Start[z];
        for (int32_t k = Start[z]; k < Start[z + 1]; ++k) {
            // The records are read in the zone's order, all over the
            // catalogue: asked for a little ahead.
            if (k + 16 < static_cast<int32_t>(Records.size()))
                __builtin_prefetch(&star.Records[Records[k + 16].record]);
            Entry e = Records[k];
            const TStarRecord& r = star.Records[e.record];
            if (std::bit_cast<uint32_t>(r.ra) == std::bit_cast<uint32_t>(e.ra) &&
                std::bit_cast<uint32_t>(r.dec) == std::bit_cast<uint32_t>(e.dec)) {
                Records[w++] = e;
                continue;
            }
            // A place that is not a number leaves the index: built anew.
            if (std::isnan(r.ra) || std::isnan(r.dec)) return false;
            e.ra = r.ra;
            e.dec = r.dec;
            changed[z] = 1;
            if (KeepTrig) {
                const Place p = Compute(r.ra, r.dec);
                const size_t t = 2 * static_cast<size_t>(e.record);
                Trig[t] = p.SinDec;
                Trig[t + 1] = p.CosDec;
                Unit[t] = p.UnitX;
                Unit[t + 1] = p.UnitY;
            } else {
                Lazy.Forget(e.record);
            }
            const int to = ZoneOf(r.dec);
            if (to == z)
                Records[w++] = e;
            else
                movers.emplace_back(to, e);
        }
        stay[z] = w - Start[z];
    }
    if (movers.empty()) {
        for (int z = 0; z < Zones; ++z) {
            const auto from = Records.begin() + Start[z], to = Records.begin() + Start[z + 1];
            if (changed[z] && !std::is_sorted(from, to, before)) std::sort(from, to, before);
        }
        return true;
    }
    // The zones laid out again: the stayers, then the newcomers in order,
    // merged (or, where the stayers changed order, the zone sorted).
    std::sort(movers.begin(), movers.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : before(a.second, b.second);
    });
    std::vector<int32_t> start(Zones + 1, 0);
    std::vector<Entry> out(Records.size());
    auto m = movers.begin();
    for (int z = 0; z < Zones; ++z) {
        const auto zoneFrom = out.begin() + start[z];
        auto at = std::copy(Records.begin() + Start[z], Records.begin() + Start[z] + stay[z], zoneFrom);
        const auto newcomers = at;
        for (; m != movers.end() && m->first == z; ++m)
            *at++ = m->second;
        start[z + 1] = static_cast<int32_t>(at - out.begin());
        if (!std::is_sorted(zoneFrom, newcomers, before))
            std::sort(zoneFrom, at, before);
        else if (newcomers != at)
            std::inplace_merge(zoneFrom, newcomers, at, before);
    }
    Records.swap(out);
    Start.swap(start);
    return true;
}

TStarIndex::Place TStarIndex::Compute(double ra, double dec) {
    const double c = std::cos(dec);
    return {std::sin(dec), c, c * std::cos(ra), c * std::sin(ra)};
}

const TStarIndex::Entry* TStarIndex::After(int z, double ra) const {
    return std::upper_bound(Begin(z), End(z), ra,
                            [](double v, const Entry& e) { return v < static_cast<double>(e.ra); });
}

const TStarIndex::Entry* TStarIndex::Before(int z, double ra) const {
    return std::lower_bound(Begin(z), End(z), ra,
                            [](const Entry& e, double v) { return static_cast<double>(e.ra) < v; });
}

TStarIndex::TLazyPlaces::TLazyPlaces(TLazyPlaces&& other) noexcept
    : Block(std::exchange(other.Block, nullptr)), Bytes(std::exchange(other.Bytes, 0)),
      Known(std::move(other.Known)) {}

TStarIndex::TLazyPlaces& TStarIndex::TLazyPlaces::operator=(TLazyPlaces&& other) noexcept {
    if (this != &other) {
        Release();
        Block = std::exchange(other.Block, nullptr);
        Bytes = std::exchange(other.Bytes, 0);
        Known = std::move(other.Known);
    }
    return *this;
}

TStarIndex::TLazyPlaces::~TLazyPlaces() {
    Release();
}

void TStarIndex::TLazyPlaces::Release() {
    if (Block) munmap(Block, Bytes);
    Block = nullptr;
    Bytes = 0;
    Known.clear();
}

void TStarIndex::TLazyPlaces::Reset(size_t n) {
    Release();
    if (n == 0) return;
    // An anonymous mapping reads as zeros and takes memory only where written.
    const size_t bytes = 4 * sizeof(double) * n;
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    Block = static_cast<double*>(p);
    Bytes = bytes;
    Known.assign((n + 63) / 64, 0);
}
