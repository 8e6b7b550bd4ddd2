#include "astro/Clsvenus.h"

namespace {
constexpr double kAUPerKm = 6.684585813036146e-9;
const char* const kNames[4] = {"金星", "VENUS", "Venus", "VEN"};
} // namespace

void TVenus::SetMjd(double mjd) {
    body_cir(Venus, mjd);
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
    Diam = Result.Diam;
    Phase = Result.Phase;
    Mag = Result.Mag;
}

const char* TVenus::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
