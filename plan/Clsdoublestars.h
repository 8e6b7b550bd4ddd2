#pragma once
// TDoubleStars: the double stars of the star catalogue. The catalogue's
// records carry no double-star mark, so a pair is two records close together
// on the sky: a primary bright enough for the planner's list and a companion
// a small telescope shows beside it. Pairs that the catalogue keeps as one
// record (Castor, Mizar, Almach) are not found.
#include <vector>

class TStar;

class TDoubleStars {
public:
    struct TPair {
        int Primary = 0;   // star record, the brighter
        int Companion = 0; // star record
        double SepArcsec = 0.0;
    };
    static constexpr double kPrimaryMag = 6.5;
    static constexpr double kCompanionMag = 9.0;
    static constexpr double kMaxSepArcsec = 60.0;
    static constexpr double kMinSepArcsec = 1.0; // closer: one star twice

    // Every pair of the catalogue at its current places, by primary record.
    // A primary with several companions is listed with the brightest.
    static std::vector<TPair> Find(const TStar& stars);
};
