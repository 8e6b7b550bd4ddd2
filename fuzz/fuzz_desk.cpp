// The desk side file: any bytes give either settings that write back to the
// same text, or a reason and the defaults.
#include "app/Clsdesk.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TDesk d;
    std::string why;
    if (d.FromText(text, why)) {
        TDesk again;
        if (!again.FromText(d.Text(), why) || again.Text() != d.Text()) std::abort();
    } else if (why.empty() || d.Night) {
        std::abort();
    }
    return 0;
}
