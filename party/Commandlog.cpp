#include "party/Commandlog.h"

void TCommandLog::Add(const std::string& message) {
    std::size_t start = 0;
    for (;;) {
        std::size_t end = message.find("\r\n", start);
        lines_.push_back(message.substr(start, end == std::string::npos ? end : end - start));
        while (lines_.size() > kLines)
            lines_.pop_front();
        if (end == std::string::npos) break;
        start = end + 2;
    }
}

std::string TCommandLog::Text() const {
    std::string text;
    for (const std::string& line : lines_)
        text += line + "\r\n";
    return text;
}
