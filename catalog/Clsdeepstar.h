#pragma once
// TDeepStar: the deep star catalogue "Tycho.dat", the Tycho-2 stars to
// magnitude 10.5 that Star.dat lacks. Same 16-byte records as Star.dat, no
// designations, sorted by declination so that a declination band is found by
// bisection. The file is optional: a missing or damaged one is refused with
// the reason, and the atlas stays on Star.dat.
#include <memory>
#include <string>
#include <utility>

#include "catalog/Clsstar.h"

class TDeepStar {
public:
    static constexpr const char* FileName = "Tycho.dat";

    // The catalogue at path, or nullptr with why set when the file is missing
    // or damaged (a length that is no whole number of records, a record with a
    // place, magnitude, constellation or spectral code out of range, or out of
    // declination order).
    static std::unique_ptr<TStar> Open(const std::string& path, std::string& why);

    // The records [first, last) of a declination-sorted catalogue whose
    // declination lies strictly between decLo and decHi (radians).
    static std::pair<int, int> DecBand(const TStar& cat, double decLo, double decHi);
};
