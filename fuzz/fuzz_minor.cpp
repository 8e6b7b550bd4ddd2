// The MPC's element files (MPCORB.DAT lines and CometEls.txt lines, mixed): any bytes are
// read or skipped and counted, and every body read gets a place that is either a number
// or "not computable", at dates near and far.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "minor/Minorplace.h"
#include "minor/Mpcreader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMpcReader reader;
    reader.ParseText(std::string(reinterpret_cast<const char*>(data), size));
    if (reader.Errors.size() > TMpcReader::MaxErrors) std::abort();
    TMinorPlace place;
    for (const TMinorBody& b : reader.Bodies) {
        b.Label();
        for (double mjd : {-1e6, 20000.0, 61382.0, 1e7}) {
            place.Compute(b, mjd);
            if (place.Valid && (std::isnan(place.Ra) || std::isnan(place.Dec) ||
                                std::isnan(place.RaJ2000) || std::isnan(place.EarthDist)))
                std::abort();
        }
    }
    return 0;
}
