#include "astro/Clspluto.h"

namespace {
constexpr double kPlutoDiam = 4.848135453617053e-7; // 0.1 arc second
const char* const kNames[4] = {"冥王星", "PLUTO", "Pluto", "PLU"};
} // namespace

void TPluto::SetMjd(double mjd) {
    Publish(*this, Pluto, mjd);
    Diam = kPlutoDiam;
}

const char* TPluto::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
