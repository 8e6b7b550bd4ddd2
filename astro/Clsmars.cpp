#include "astro/Clsmars.h"

namespace {
const char* const kNames[4] = {"火星", "MARS", "Mars", "MAR"};
} // namespace

void TMars::SetMjd(double mjd) {
    Publish(*this, Mars, mjd);
}

const char* TMars::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
