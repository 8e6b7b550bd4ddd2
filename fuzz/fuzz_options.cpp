// Fuzz target: any bytes as one or two option files.
#include "app/Clsoption.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The first byte splits the input into two files, so both passes see
    // files of any length one after another.
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    TOptionFiles o;
    o.Read({{"a.opt", bytes.substr(0, cut)}, {"b.opt", bytes.substr(cut)}});
    // What the atlas would be handed must be whole.
    if (o.Titles.size() != 2 || o.Objects.size() > TOptionFiles::MaxObjects) __builtin_trap();
    for (const TMarker& m : o.Objects)
        if (m.id < 1 || m.id > 2 || m.ra != m.ra || m.dec != m.dec) __builtin_trap();
    return 0;
}
