#pragma once
// TSqFile: a sequential text file, read field by field (fields end at commas and line ends)
// or written line by line. On disk the text is Shift-JIS with CR LF line ends, as the files
// have always been; the program hands in and gets back UTF-8.
#include <cstdio>
#include <string>

class TSqFile {
public:
    TSqFile() = default;
    ~TSqFile();
    TSqFile(const TSqFile&) = delete;
    TSqFile& operator=(const TSqFile&) = delete;

    // mode 1 reads, mode 2 creates or truncates for writing. False when already open (the
    // open stream is left alone), for any other mode, or when the file cannot be opened.
    bool Open(const std::string& path, int mode);
    void Close();
    // The next field, trimmed. ok turns false once the end was already found, or at a read
    // error or a 0xFF byte.
    std::string Input(bool& ok);
    // Writes text, then a line end when lineEnd is set; every line feed goes out as CR LF.
    // False when a byte could not be written, or when a character has no Shift-JIS form
    // (it is written as "?").
    bool Print(const std::string& text, bool lineEnd);
    // True once a read ran into the end of the file (and for a file that is not open).
    bool Eof() const { return !open_ || eof_; }

private:
    int ReadByte();

    std::FILE* stream_ = nullptr;
    bool open_ = false;
    bool eof_ = false;
    bool writing_ = false;
};
