// TLogTime: moments of the log as text. Inside, a moment is whole seconds
// of UT since 1970 and the local clock's offset from UT in minutes; in
// files it is an ISO 8601 / xsd:dateTime with that offset.
#pragma once

#include <cstdint>
#include <string>

class TLogTime {
public:
    // "2026-12-08T22:15:00+01:00" (or "...Z" for offset 0 when zulu).
    static std::string Format(std::int64_t ut, int offsetMin, bool zulu = false);
    // xsd:dateTime with or without fraction and zone (none means UT).
    static bool Parse(const std::string& text, std::int64_t& ut, int& offsetMin);
    // Days since 1970-01-01 of a proleptic Gregorian date, and back.
    static std::int64_t DaysFromCivil(std::int64_t y, int m, int d);
    static void CivilFromDays(std::int64_t days, std::int64_t& y, int& m, int& d);
};
