#include "astro/Clssun.h"

namespace {
const char* const kNames[4] = {"太陽", "SUN", "Sun", "SUN"};
} // namespace

void TSun::SetMjd(double mjd) {
    Publish(*this, Sun, mjd);
    // No phase for the Sun itself.
    Phase = 0.0;
}

const char* TSun::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
