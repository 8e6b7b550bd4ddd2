#include "astro/Basicfnc.h"

namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Byte offset where the last n characters of s begin (0 when s has n or fewer).
std::size_t OffsetOfLast(const std::string& s, int n) {
    std::size_t pos = s.size();
    int count = 0;
    while (pos > 0 && count < n) {
        --pos;
        while (pos > 0 && IsContinuation(static_cast<unsigned char>(s[pos])))
            --pos;
        ++count;
    }
    return count < n ? 0 : pos;
}

} // namespace

std::string StrRight(const std::string& s, int n) {
    if (n <= 0) return std::string();
    return s.substr(OffsetOfLast(s, n));
}

std::string StrCutRight(const std::string& s, int n) {
    if (n <= 0) return s;
    return s.substr(0, OffsetOfLast(s, n));
}

std::string StrTrimLeft(const std::string& s) {
    std::size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(i);
}

std::vector<std::string> StrLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}
