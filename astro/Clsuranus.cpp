#include "astro/Clsuranus.h"

namespace {
const char* const kNames[4] = {"天王星", "URANUS", "Uranus", "URA"};
} // namespace

void TUranus::SetMjd(double mjd) {
    Publish(*this, Uranus, mjd);
}

const char* TUranus::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
