// A horizon profile file: any bytes are taken or refused with a message, and
// a profile that was taken gives finite altitudes in range all round.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "plan/Clshorizon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    THorizon h;
    std::string error;
    const bool ok = h.Parse(std::string_view(reinterpret_cast<const char*>(data), size), "f", error);
    if (ok && !error.empty()) std::abort();
    if (!ok && (!h.Flat() || error.empty())) std::abort();
    for (int deg = -720; deg <= 720; deg += 7) {
        const double az = deg * 3.141592653589793 / 180.0;
        const double a = h.AltitudeAt(az), r = h.RiseAltitude(az);
        if (!std::isfinite(a) || !std::isfinite(r) || a < -0.53 || a > 1.58) std::abort();
    }
    return 0;
}
