// TStarIndex: the records of one star catalogue by declination zone, with
// the sine and cosine of each declination worked out once. Record numbers
// stay those of the catalogue, so that picks, the information panel and the
// party files keep their meaning. Within a zone the records go by right
// ascension; places that are not numbers are left out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class TStar;

class TStarIndex {
public:
    // What a walk over a zone needs of a record, kept together so that the
    // walk reads memory in order.
    struct Entry {
        float ra, dec;
        int32_t record;
        int32_t mag;
    };

    // Zones of half a degree from the south pole up.
    static constexpr int Zones = 360;

    // (Re)builds the index when `star` is not the catalogue it was built
    // from or its stars have moved since; cheap otherwise. Without `keepTrig` the sines and cosines are not
    // stored but worked out when asked (the deep catalogue: half a million
    // records whose stars are drawn only a few at a time, zoomed in).
    void Build(const TStar& star, bool keepTrig = true);

    // The zone of a declination (radians), clamped to the poles' zones; a
    // declination that is not a number has none (-1).
    static int ZoneOf(double dec);
    // The records of zone z, ascending by right ascension.
    const Entry* Begin(int z) const { return Records.data() + Start[z]; }
    const Entry* End(int z) const { return Records.data() + Start[z + 1]; }
    // The first record of zone z with ra > `ra`, and the first with ra >= `ra`.
    const Entry* After(int z, double ra) const;
    const Entry* Before(int z, double ra) const;
    // Calls f(begin, end) for the stretches of zone z whose right ascension
    // lies in [lo, hi] (radians, lo > -2 pi and hi < 4 pi, either end
    // possibly past 0 or 2 pi), and for any places outside 0..2 pi, whatever
    // they are; the stretches do not overlap.
    template <class F> void ForEachInBand(int z, double lo, double hi, F&& f) const {
        constexpr double kTwoPi = 6.283185307179586;
        const Entry* from = Before(z, 0.0);
        const Entry* to = Before(z, kTwoPi);
        f(Begin(z), from);
        f(to, End(z));
        f(std::max(from, Before(z, lo)), std::min(to, After(z, hi)));
        if (lo < 0.0) f(Before(z, lo + kTwoPi), to);
        if (hi > kTwoPi) f(from, After(z, hi - kTwoPi));
    }
    // Record i's place (ra, dec as the catalogue holds them): the sine and
    // cosine of its declination, as std::sin and std::cos give them, and
    // cos(dec) cos(ra), cos(dec) sin(ra), which with the sine make the unit
    // vector of the place. Stored or worked out, the values are the same.
    struct Place {
        double SinDec, CosDec, UnitX, UnitY;
    };
    Place PlaceOf(int i, double ra, double dec) const {
        const size_t k = 2 * static_cast<size_t>(i);
        if (!Trig.empty()) return {Trig[k], Trig[k + 1], Unit[k], Unit[k + 1]};
        return Lazy.Get(i, ra, dec);
    }
    static Place Compute(double ra, double dec);

private:
    // After the stars moved: the entries whose places changed are updated
    // where they stand, the few that left their zone are merged into their
    // new one, and a zone is sorted again only where its order changed. False
    // when a place is not a number; then the index is built anew.
    bool Refresh(const TStar& star);

    // The places of a catalogue that does not keep them: each worked out
    // when first asked for and kept, in memory that the system hands out
    // page by page as it is written, so that only the parts of the sky
    // looked at take room (the deep catalogue goes by declination). Like the
    // atlas that owns the index, it is used from one thread at a time.
    class TLazyPlaces {
    public:
        TLazyPlaces() = default;
        TLazyPlaces(TLazyPlaces&& other) noexcept;
        TLazyPlaces& operator=(TLazyPlaces&& other) noexcept;
        ~TLazyPlaces();
        // Room for n records, none known yet; without it every place is
        // worked out each time.
        void Reset(size_t n);
        // Record i's place is to be worked out again when next asked.
        void Forget(int i) {
            if (Block) Known[static_cast<size_t>(i) >> 6] &= ~(uint64_t{1} << (i & 63));
        }
        Place Get(int i, double ra, double dec) const {
            if (!Block) return Compute(ra, dec);
            const size_t w = static_cast<size_t>(i) >> 6;
            const uint64_t bit = uint64_t{1} << (i & 63);
            double* p = Block + 4 * static_cast<size_t>(i);
            if (!(Known[w] & bit)) {
                const Place c = Compute(ra, dec);
                p[0] = c.SinDec;
                p[1] = c.CosDec;
                p[2] = c.UnitX;
                p[3] = c.UnitY;
                Known[w] |= bit;
            }
            return {p[0], p[1], p[2], p[3]};
        }

    private:
        void Release();
        double* Block = nullptr;
        size_t Bytes = 0;
        mutable std::vector<uint64_t> Known;
    };

    const TStar* Catalogue = nullptr;
    const void* Source = nullptr;
    int32_t SourceCount = -1;
    uint32_t Generation = 0;
    bool KeepTrig = true;
    std::vector<int32_t> Start; // Zones + 1 offsets into Records
    std::vector<Entry> Records; // zone by zone
    std::vector<double> Trig;   // sine and cosine per record
    std::vector<double> Unit;   // UnitX, UnitY per record
    TLazyPlaces Lazy;           // the places when Trig is not kept
};
