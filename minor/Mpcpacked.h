// The Minor Planet Center's packed forms: asteroid numbers ("00001", "A0345", "~0000"),
// provisional designations ("K24Y04R", "PLS2040"), comet designations ("K23A030") and
// epochs ("K205V"). Every function refuses what is not exactly one of these forms.
#pragma once

#include <string>

class TMpcPacked {
public:
    // A packed asteroid number (5 characters): 1 to 15396335, or 0 when not one.
    static int Number(const std::string& s);
    // A packed provisional designation (7 characters) to "2024 YR4", "2040 P-L"; "" when
    // not one. comet true reads the comet form, whose last character is a fragment letter
    // or "0".
    static std::string Provisional(const std::string& s, bool comet);
    // A packed epoch (5 characters) to year, month, day; false when not one.
    static bool Epoch(const std::string& s, int& year, int& month, int& day);
    // MJD of a Gregorian calendar date (day with its fraction), any year after 1582.
    static double Mjd(int year, int month, double day);
};
