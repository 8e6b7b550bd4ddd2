#pragma once
// TDegrees: one angle between radians and the texts shown, printed and written into files.
// Right ascension as hours/minutes/seconds, everything else as degrees with a choice of marks,
// and the two parsers that read those texts back.
#include <string>

class TDegrees {
public:
    double Rad = 0.0;           // the angle, radians
    int Lng = 0;                // mark style: 0 and 1 the degree sign, 2 a full stop
    std::string MarkMin = "'";  // minute mark
    std::string MarkSec = "\""; // second mark

    void SetRad(double rad) { Rad = rad; }
    double GetRad() const { return Rad; }
    void SetLng(int lng) { Lng = lng; }
    int GetLng() const { return Lng; }
    void SetMarkMin(const std::string& mark) { MarkMin = mark; }
    void SetMarkSec(const std::string& mark) { MarkSec = mark; }
    // The degree sign ("°"); the same for both code pages now that texts are UTF-8.
    std::string GetMark() const;
    // Kept for callers that set a text property; it changes nothing.
    void SetText(const std::string&) {}

    // form 0 "05.5h", 1 "05h35.3m", 2 "05h35m17.3s" (rounded to the last unit shown);
    // 10 "05", 11 "05:35", 12 "05:35:17" (truncated, never decimals). Other forms give "".
    std::string TextTime(int form, int decimals) const;
    // form 0 D°, 1 D°MM', 2 D°MM'SS", 3 minutes', 4 seconds"; always led by "-" or a blank.
    std::string TextDeg(int form, int decimals) const;

    static std::string Right(const std::string& text, int n);

    // Parsers. Malformed text gives 0.0; the overloads with ok say whether the text was read.
    static double Tim2Rad(const std::string& text);
    static double Tim2Rad(const std::string& text, bool& ok);
    static double Deg2Rad(const std::string& text);
    static double Deg2Rad(const std::string& text, bool& ok);

    // a - b, plus one turn when negative.
    static double Dsub(double a, double b);
    // x brought into [0, 6.28318530717958]; non-finite input gives 0.
    static double AdjustDeg(double x);
};
