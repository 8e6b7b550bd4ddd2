#pragma once
// TConstellation: the 88 constellations (Serpens in two rows, 74 head and 89
// tail) with names, label positions, the order of the Japanese names, and the
// figure lines as straight segments between star positions.
#include <string>
#include <vector>

struct TConstellationRow {
    char abbr[4];        // "And"; empty in row 0
    const char* nameJpn; // UTF-8
    const char* nameSci; // Latin name without spaces, "UrsaMajor"
    double ra;           // label position, radians
    double dec;
    int jorder; // place in the order of the Japanese names, 1-89
};

struct TConstellationLine {
    double ra1, dec1, ra2, dec2; // radians, J2000
};

class TConstellation {
public:
    static constexpr int RowCount = 90; // row 0 empty, 1-88, 89 the tail of Serpens
    static constexpr int SerpensHead = 74;
    static constexpr int SerpensTail = 89;

    TConstellation();

    TConstellationRow Rows[RowCount];
    std::vector<TConstellationLine> Lines;
    int LineCount = 0;

    // hh/100 hours and hh%100 minutes, in radians.
    static double tim2deg(int hhmm);

    // Names with "(Caput)"/"(頭部)" for row 74 and "(Cauda)"/"(尾部)" for row 89;
    // empty for a row out of range.
    std::string GetNameJpnA(int n) const;
    std::string GetNameSciA(int n) const;
    // The same in a buffer of the class, overwritten by the next call.
    const char* GetNameJpnC(int n) const;
    const char* GetNameSciC(int n) const;
    int GetJOrder(int n) const;
};
