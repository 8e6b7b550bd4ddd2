// The proper-motion side file beside a star catalogue: the first byte says how
// many 16-byte star records follow; the rest is StarPm.dat. Any bytes are used
// or refused with a reason, and moving the stars to far dates (from the last
// bytes) never crashes or leaves a place that is not a number where the
// catalogue had one, whether the places were worked out ahead or not.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Fuzzfolder.h"
#include "astro/Clsmjd.h"
#include "catalog/Clsstar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string dir = FuzzFolder();
    size_t stars = data[0] * sizeof(TStarRecord);
    if (stars > size - 1) stars = (size - 1) / sizeof(TStarRecord) * sizeof(TStarRecord);
    WriteFuzzFile(dir + "/Star.dat", data + 1, stars);
    WriteFuzzFile(dir + "/StarPm.dat", data + 1 + stars, size - 1 - stars);
    TStar star(dir + "/Star.dat");
    const double years[] = {-1e6, -3000.0, 0.0, 1000.0, 1e9};
    for (double y : years) {
        const double mjd = TMjd::J2000 + y * 365.25;
        if (y >= 0.0) star.Prepare(mjd);
        star.MoveTo(mjd);
        for (int i = 0; i < star.Count; ++i)
            if (std::isnan(star[i].ra) || std::isnan(star[i].dec)) std::abort();
    }
    return 0;
}
