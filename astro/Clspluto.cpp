#include "astro/Clspluto.h"

namespace {
constexpr double kAUPerKm = 6.684585813036146e-9;
constexpr double kPlutoDiam = 4.848135453617053e-7; // 0.1 arc second
const char* const kNames[4] = {"冥王星", "PLUTO", "Pluto", "PLU"};
} // namespace

void TPluto::SetMjd(double mjd) {
    body_cir(Pluto, mjd);
    Ra = Result.Ra;
    Dec = Result.Dec;
    SunDistKm = Result.SunDistKm;
    EarthDistKm = Result.EarthDistKm;
    SunDist = SunDistKm * kAUPerKm;
    EarthDist = EarthDistKm * kAUPerKm;
    Elong = Result.Elong;
    HelioLon = Result.HelioLon;
    HelioLat = Result.HelioLat;
    GeoLon = Result.GeoLon;
    GeoLat = Result.GeoLat;
    Phase = Result.Phase;
    Mag = Result.Mag;
    Diam = kPlutoDiam;
}

const char* TPluto::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
