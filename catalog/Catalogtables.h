// Tables generated from public catalogues by tools/catalogs/build_catalogs.py
// (constellation figures, Milky Way outline, nebula outlines). The classes
// copy or point at them; nothing else should include this header.
#pragma once

namespace catalogtables {

extern const int kLineCount;
extern const double kLines[][4];

extern const int kMilkyCount[2];
extern const double kMilkySouth[][2];
extern const double kMilkyNorth[][2];

struct TOutlineSource {
    unsigned short no;
    const double* ra; // ends at the first value of exactly 0.0
    const double* dec;
    int kind; // 1 bright nebula, 2 galaxy cloud, 3 dark nebula
};
extern const TOutlineSource kOutlines[24];

} // namespace catalogtables
