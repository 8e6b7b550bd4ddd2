// The rings file of finder charts: any bytes read without a crash, and no
// more rings than the limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "finder/Clsfinder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> problems;
    const auto rings =
        TFinder::ReadRings(std::string(reinterpret_cast<const char*>(data), size), problems);
    if (rings.size() > static_cast<size_t>(TFinder::MaxRings)) std::abort();
    return 0;
}
