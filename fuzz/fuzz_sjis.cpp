// The Shift-JIS conversion both ways: any bytes convert without a crash, and
// a text called exact comes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/Textcode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = SjisToUtf8(in);
    bool exact = false;
    const std::string sjis = Utf8ToSjis(in, exact);
    if (exact && SjisToUtf8(sjis) != in) std::abort();
    // What came from Shift-JIS goes back to it, except for the marks of
    // damaged bytes.
    bool back = false;
    const std::string again = Utf8ToSjis(utf8, back);
    if (back && utf8.find("\xEF\xBF\xBD") == std::string::npos && SjisToUtf8(again) != utf8)
        std::abort();
    const std::string t = TrimControls(in);
    if (t.size() > size) std::abort();
    return 0;
}
