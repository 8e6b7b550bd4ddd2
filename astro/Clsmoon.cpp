#include "astro/Clsmoon.h"

namespace {
constexpr double kAUPerKm = 6.684585813036146e-9;
const char* const kNames[4] = {"月", "MOON", "Moon", "MON"};
} // namespace

void TMoon::SetMjd(double mjd) {
    body_cir(Moon, mjd);
    Ra = Result.Ra;
    Dec = Result.Dec;
    SunDistKm = Result.SunDistKm;
    EarthDistKm = Result.EarthDistKm;
    SunDist = SunDistKm * kAUPerKm;
    EarthDist = EarthDistKm * kAUPerKm;
    Elong = Result.Elong;
    GeoLon = Result.GeoLon;
    GeoLat = Result.GeoLat;
    Diam = Result.Diam;
    Phase = Result.Phase;
    Mag = Result.Mag;
}

const char* TMoon::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
