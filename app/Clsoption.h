// TOptionFiles: the user's lists of marked objects and tracks, the "*.opt"
// files of the folder "Option". A file is a title word, then groups of 15
// words, one object each (words end at commas and line ends, as TCsv splits
// them):
//   1 object number, 2 shape (1-5, else none), 3 fill flag, 4 RA hhmmss,
//   5 Dec sddmmss, 6 symbol colour, 7 name, 8 number of the object a line is
//   drawn to, 9 line style, 10 line colour, 11-15 colours kept for later use.
// Files are read once into memory; titles are counted first (file numbers
// from 1), then the objects are read with a running number from 1 across all
// files. A typo in a user's file never stops the program: the object is left
// out and the reason collected in Problems for one message after reading.
#pragma once

#include "render/Clsatlas.h"

#include <string>
#include <vector>

class TOptionFiles {
public:
    static constexpr int MaxFiles = 3000;
    static constexpr int MaxObjects = 3000;
    static constexpr int GroupWords = 15;
    // 3000 objects take well under 1 MB; a file far larger is not a list of
    // objects, and reading it would only stall the start.
    static constexpr std::size_t MaxFileBytes = 4u << 20;
    static constexpr std::size_t MaxTotalBytes = 32u << 20;

    // One file as read from disk: its name (for messages) and exact bytes.
    struct TSource {
        std::string Name;
        std::string Bytes;
    };

    // Reads every "*.opt" file of the folder (the extension in any case), in
    // the order of their names, at most MaxFiles. A missing folder reads as
    // no files; a file that cannot be read (not a plain file, larger than
    // MaxFileBytes, or past MaxTotalBytes with those before it) is reported
    // and left out.
    void ReadFolder(const std::string& folder);
    // Reads files already in memory (replaces anything read before).
    void Read(const std::vector<TSource>& files);

    std::vector<std::string> Titles; // title of file number i + 1
    std::vector<TMarker> Objects;    // object of running number i + 1, at most MaxObjects
    std::vector<std::string> Problems;

    // The colour of a colour word ("RED" -> 0x0000FF, blue-green-red order);
    // the names are compared exactly and any other word gives white.
    static unsigned long ColourByName(const std::string& word);
    // A decimal integer with an optional sign, the whole word, within int32.
    static bool ReadInteger(const std::string& word, int& value);
    // hhmmss and sddmmss, taken apart by character positions and read as the
    // angle texts hh"h"mm"m"ss"s" and sdd"."mm"m"ss"s"; radians.
    static double RaFromWord(const std::string& word, bool& ok);
    static double DecFromWord(const std::string& word, bool& ok);
    // A file's bytes as UTF-8: up to a zero byte; Shift-JIS, or UTF-8 when
    // the bytes are not Shift-JIS but are UTF-8; a line feed without its
    // carriage return gets one, so files written with bare line feeds read
    // as they look.
    static std::string DecodeText(const std::string& bytes);

private:
    void ReadObject(const std::string& file, int fileNo, int group,
                    const std::vector<std::string>& w);
    int overLimit_ = 0;
};
