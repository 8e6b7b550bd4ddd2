// TNaviText: the texts of the circle readings the navigation window shows.
#pragma once

#include <string>

class TNaviText {
public:
    // Right ascension to dial, hours and minutes rounded to the minute ("12h59m").
    static std::string Ra(double rad);
    // Declination to dial in degrees with two decimals, "+" in front when not
    // negative ("+ 12.56°", "-3.20°").
    static std::string Dc(double rad);
    // What the two fields show while there is nothing to dial.
    static std::string NoRa();
    static std::string NoDc();
};
