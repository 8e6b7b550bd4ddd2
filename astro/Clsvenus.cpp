#include "astro/Clsvenus.h"

namespace {
const char* const kNames[4] = {"金星", "VENUS", "Venus", "VEN"};
} // namespace

void TVenus::SetMjd(double mjd) {
    Publish(*this, Venus, mjd);
}

const char* TVenus::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
