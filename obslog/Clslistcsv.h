// TListCsv: an observing list as comma-separated text with a header row
// "name,RA,Dec,kind,magnitude,note", the form other planetariums and
// spreadsheets read. RA is written in hours and Dec in degrees as
// sexagesimal texts (05:34:31.9, +22:00:52); a plain decimal number read
// in either column is degrees. Columns are found by their header, in any
// order; others are ignored. Fields may be quoted as RFC 4180 has it.
#pragma once

#include "obslog/Logtypes.h"

#include <string>
#include <vector>

class TListCsv {
public:
    static constexpr std::size_t MaxBytes = 8u << 20;
    static constexpr std::size_t MaxRows = 100000;

    static std::string Write(const std::vector<TListEntry>& entries);
    // The rows as entries (objects and notes); false with the reason (and
    // the line) when the text is not such a list.
    static bool Read(const std::string& text, std::vector<TListEntry>& entries, std::string& error);

    // Our short kinds and the words the file carries ("GX" - "galaxy").
    static std::string KindWord(const std::string& type);
    static std::string KindFromWord(const std::string& word);
};
