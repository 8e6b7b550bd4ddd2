// TStarIndex: the records of one star catalogue by declination zone, with
// the sine and cosine of each declination worked out once. Record numbers
// stay those of the catalogue, so that picks, the information panel and the
// party files keep their meaning. Within a zone the records go by right
// ascension; places that are not numbers are left out.
#pragma once

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
    // from; cheap otherwise. Without `keepTrig` the sines and cosines are not
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
        return Compute(ra, dec);
    }
    static Place Compute(double ra, double dec);

private:
    const TStar* Catalogue = nullptr;
    const void* Source = nullptr;
    int32_t SourceCount = -1;
    std::vector<int32_t> Start; // Zones + 1 offsets into Records
    std::vector<Entry> Records; // zone by zone
    std::vector<double> Trig;   // sine and cosine per record
    std::vector<double> Unit;   // UnitX, UnitY per record
};
