#include "app/Clscsv.h"

#include "app/Textcode.h"

std::string TCsv::GetWord() {
    std::size_t cr = source_.find('\r');
    std::size_t comma = source_.find(',');
    std::string word;
    if (cr == std::string::npos || comma == std::string::npos) {
        word.swap(source_);
    } else if (comma < cr) {
        word = source_.substr(0, comma);
        source_.erase(0, comma + 1);
    } else {
        word = source_.substr(0, cr);
        // The CR and the one character after it, whatever it is. A multi-byte character is
        // taken whole so that the rest stays valid UTF-8.
        std::size_t end = cr + 1;
        if (end < source_.size()) {
            bool lead = static_cast<unsigned char>(source_[end]) >= 0xC0;
            ++end;
            while (lead && end < source_.size() &&
                   (static_cast<unsigned char>(source_[end]) & 0xC0) == 0x80)
                ++end;
        }
        source_.erase(0, end);
    }
    return TrimControls(word);
}
