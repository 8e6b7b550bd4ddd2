#pragma once
// TCsv: splits a text held in memory into words at commas and line ends. No quoting: a
// double quote is an ordinary character. Works on UTF-8 (comma and CR never occur inside a
// multi-byte character, so splitting byte by byte is safe).
#include <string>

class TCsv {
public:
    void SetSrc(const std::string& text);
    // Splits off the next word, trimmed of bytes 32 and below. A word ends at a comma or a
    // CR only while the rest still holds both a comma and a CR; otherwise it is the whole
    // rest. A CR takes the character after it along (normally the LF of CR LF).
    std::string GetWord();
    bool GetEos() const { return pos_ >= source_.size(); }

private:
    // The text and how far it has been split: the rest is source_ from pos_. The next CR
    // and comma at or after pos_ are kept, so long texts split in linear time.
    std::string source_;
    std::size_t pos_ = 0;
    std::size_t cr_ = std::string::npos;
    std::size_t comma_ = std::string::npos;
};
