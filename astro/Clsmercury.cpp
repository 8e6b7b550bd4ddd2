#include "astro/Clsmercury.h"

namespace {
const char* const kNames[4] = {"水星", "MERCURY", "Mercury", "MER"};
} // namespace

void TMercury::SetMjd(double mjd) {
    Publish(*this, Mercury, mjd);
}

const char* TMercury::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
