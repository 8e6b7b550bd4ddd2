#include "app/Textcode.h"

#include <cerrno>
#include <fstream>
#include <iconv.h>
#include <iterator>

namespace {

// The converter for one direction, opened once per thread: opening one
// costs more than converting a site name. Reset before each use.
iconv_t Converter(const char* to) {
    struct TCache {
        iconv_t toSjis = reinterpret_cast<iconv_t>(-1), toUtf8 = reinterpret_cast<iconv_t>(-1);
        bool opened = false;
        ~TCache() {
            if (toSjis != reinterpret_cast<iconv_t>(-1)) iconv_close(toSjis);
            if (toUtf8 != reinterpret_cast<iconv_t>(-1)) iconv_close(toUtf8);
        }
    };
    thread_local TCache cache;
    if (!cache.opened) {
        cache.toSjis = iconv_open("CP932", "UTF-8");
        cache.toUtf8 = iconv_open("UTF-8", "CP932");
        cache.opened = true;
    }
    iconv_t cd = std::string_view(to) == "CP932" ? cache.toSjis : cache.toUtf8;
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return cd;
}

// One iconv conversion of the whole input; on a byte it cannot take, writes the replacement
// and skips `skip(bytes)` input bytes, then carries on.
template <typename Skip>
std::string Convert(const char* to, std::string_view in, std::string_view bad, bool& exact,
                    Skip skip) {
    exact = true;
    std::string out;
    iconv_t cd = Converter(to);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter on this system: keep the ASCII part, mark the rest.
        for (char c : in) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += c;
            } else {
                out += bad;
                exact = false;
            }
        }
        return out;
    }
    out.reserve(in.size() * 3 / 2 + 8);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[1024];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a sequence cut off at the end): replace and step over it.
        exact = false;
        out += bad;
        std::size_t n = skip(std::string_view(src, srcLeft));
        src += n;
        srcLeft -= n;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return out;
}

// Length of the UTF-8 sequence starting at the front of s (at least 1, at most what is left).
std::size_t Utf8Length(std::string_view s) {
    unsigned char c = static_cast<unsigned char>(s[0]);
    std::size_t n = c < 0xC0 ? 1 : (c < 0xE0 ? 2 : (c < 0xF0 ? 3 : 4));
    std::size_t i = 1;
    while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        ++i;
    return i;
}

} // namespace

std::string SjisToUtf8(std::string_view sjis) {
    bool exact = true;
    return Convert("UTF-8", sjis, "\xEF\xBF\xBD", exact,
                   [](std::string_view) -> std::size_t { return 1; });
}

std::string Utf8ToSjis(std::string_view utf8, bool& exact) {
    std::string sjis = Convert("CP932", utf8, "?", exact, Utf8Length);
    // Code page 932 takes some characters one way only (the yen sign becomes
    // a backslash, the minus sign and the wave dash their full-width forms):
    // such a text would come back changed from the file, so it is not exact.
    if (exact && SjisToUtf8(sjis) != utf8) exact = false;
    return sjis;
}

std::string Utf8ToSjis(std::string_view utf8) {
    bool exact = true;
    return Utf8ToSjis(utf8, exact);
}

bool LoadSjisFile(const std::string& path, std::string& utf8) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    utf8 = SjisToUtf8(bytes);
    return true;
}

std::string TrimControls(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    return std::string(text.substr(b, e - b));
}
