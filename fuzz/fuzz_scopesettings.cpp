// The telescope settings file and the --telescope address: any bytes give
// either settings that write back to the same text, or a reason.
#include "scope/Clsscopeset.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TScopeSettings s;
    std::string why;
    if (s.FromText(text, why)) {
        TScopeSettings again;
        if (!again.FromText(s.Text(), why) || again.Text() != s.Text()) std::abort();
    } else if (why.empty()) {
        std::abort();
    }
    std::string host, device;
    int port = 0;
    why.clear();
    if (TScopeSettings::ParseTarget(text, host, port, device, why)) {
        if (host.empty() || port < 1 || port > 65535) std::abort();
    } else if (why.empty()) {
        std::abort();
    }
    return 0;
}
