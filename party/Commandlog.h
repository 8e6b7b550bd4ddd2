// TCommandLog: the last three command lines the commander sent, oldest first.
#pragma once

#include <deque>
#include <string>

class TCommandLog {
public:
    static constexpr std::size_t kLines = 3;
    // Appends each line of the message (lines separated by CR LF); the oldest
    // lines fall out so that at most three remain.
    void Add(const std::string& message);
    // The lines in order, each followed by CR LF.
    std::string Text() const;
    const std::deque<std::string>& Lines() const { return lines_; }

private:
    std::deque<std::string> lines_;
};
