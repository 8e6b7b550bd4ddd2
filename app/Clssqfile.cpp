#include "app/Clssqfile.h"

#include "app/Textcode.h"

TSqFile::~TSqFile() {
    // Callers close their files; a stream left open is closed here rather than leaked.
    if (open_) Close();
}

bool TSqFile::Open(const std::string& path, int mode) {
    if (open_ || (mode != 1 && mode != 2)) return false;
    // Binary streams: the CR LF convention is applied here, the same on every platform.
    std::FILE* f = std::fopen(path.c_str(), mode == 1 ? "rb" : "wb");
    if (!f) return false;
    stream_ = f;
    open_ = true;
    eof_ = false;
    writing_ = mode == 2;
    return true;
}

void TSqFile::Close() {
    if (!open_) return;
    std::fclose(stream_);
    stream_ = nullptr;
    open_ = false;
    eof_ = false;
}

// One byte as a text-mode read gives it: CR LF comes back as a single LF.
int TSqFile::ReadByte() {
    int c = std::fgetc(stream_);
    if (c == EOF) {
        if (std::feof(stream_)) eof_ = true;
        return EOF;
    }
    if (c == '\r') {
        int next = std::fgetc(stream_);
        if (next == '\n') return '\n';
        if (next != EOF)
            std::ungetc(next, stream_);
        else
            std::clearerr(stream_); // the end is reported by the next read, not this one
    }
    return c;
}

std::string TSqFile::Input(bool& ok) {
    std::string field;
    ok = true;
    if (!open_ || writing_ || eof_) {
        ok = false;
        return field;
    }
    for (;;) {
        int c = ReadByte();
        if (c == EOF) {
            if (!eof_) ok = false; // a read error, not the end
            break;
        }
        if (c == 0xFF) {
            ok = false;
            break;
        }
        if (c == '\n' || c == ',') break;
        field += static_cast<char>(c);
    }
    return SjisToUtf8(TrimControls(field));
}

bool TSqFile::Print(const std::string& text, bool lineEnd) {
    if (!open_ || !writing_) return false;
    bool exact = true;
    std::string bytes = Utf8ToSjis(text, exact);
    if (lineEnd) bytes += '\n';
    // Written whole, however long: no fixed line buffer.
    for (char c : bytes) {
        if (c == '\n' && std::fputc('\r', stream_) == EOF) return false;
        if (std::fputc(static_cast<unsigned char>(c), stream_) == EOF) return false;
    }
    // Flushed now so that a full disk is reported to the caller of this Print.
    if (std::fflush(stream_) != 0) return false;
    return exact;
}

