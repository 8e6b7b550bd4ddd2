#include "app/Clscsv.h"

#include "app/Textcode.h"

#include <string_view>

void TCsv::SetSrc(const std::string& text) {
    source_ = text;
    pos_ = 0;
    cr_ = source_.find('\r');
    comma_ = source_.find(',');
}

std::string TCsv::GetWord() {
    if (GetEos()) return {};
    if (cr_ != std::string::npos && cr_ < pos_) cr_ = source_.find('\r', pos_);
    if (comma_ != std::string::npos && comma_ < pos_) comma_ = source_.find(',', pos_);
    const std::string_view rest = std::string_view(source_).substr(pos_);
    std::string word;
    if (cr_ == std::string::npos || comma_ == std::string::npos) {
        word = TrimControls(rest);
        pos_ = source_.size();
    } else if (comma_ < cr_) {
        word = TrimControls(rest.substr(0, comma_ - pos_));
        pos_ = comma_ + 1;
    } else {
        word = TrimControls(rest.substr(0, cr_ - pos_));
        // The CR and the one character after it, whatever it is. A multi-byte character is
        // taken whole so that the rest stays valid UTF-8.
        std::size_t end = cr_ + 1;
        if (end < source_.size()) {
            bool lead = static_cast<unsigned char>(source_[end]) >= 0xC0;
            ++end;
            while (lead && end < source_.size() &&
                   (static_cast<unsigned char>(source_[end]) & 0xC0) == 0x80)
                ++end;
        }
        pos_ = end;
    }
    return word;
}
