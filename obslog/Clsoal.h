// TOal: the OpenAstronomyLog 2.1 exchange format, the XML that observing
// programs share. Write gives a document that validates against the OAL
// 2.1 schema; Read takes such documents from any program, refusing a
// malformed, oversized or hostile one with the reason.
//
// OAL has no place for some of what the log keeps; those travel where
// other programs show them as text and we read them back: transparency as
// a last line "Transparency: N/5" of the result's description, the
// magnitude of a solar-system target in the target's notes, and the
// chart's own identity of an object in the target's datasource.
#pragma once

#include "obslog/Logtypes.h"

#include <string>

class TOal {
public:
    static std::string Write(const TLogData& data);
    static bool Read(const std::string& text, TLogData& data, std::string& error);
    // Read from a file, refused by its size before anything is read.
    static bool ReadFile(const std::string& path, TLogData& data, std::string& error);
};
