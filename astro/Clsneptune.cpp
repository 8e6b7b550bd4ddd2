#include "astro/Clsneptune.h"

namespace {
const char* const kNames[4] = {"海王星", "NEPTUNE", "Neptune", "NEP"};
} // namespace

void TNeptune::SetMjd(double mjd) {
    Publish(*this, Neptune, mjd);
}

const char* TNeptune::GetName(int form) const {
    return form >= 0 && form < 4 ? kNames[form] : "";
}
