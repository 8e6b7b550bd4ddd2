#include "astro/Clsmoon.h"

namespace {
const char* const kNames[4] = {"月", "MOON", "Moon", "MON"};
} // namespace

void TMoon::SetMjd(double mjd) {
    Publish(*this, Moon, mjd);
}

const char* TMoon::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
