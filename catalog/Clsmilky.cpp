#include "catalog/Clsmilky.h"

#include "catalog/Catalogtables.h"

TMilky::TMilky() {
    const double(*src[2])[2] = {catalogtables::kMilkySouth, catalogtables::kMilkyNorth};
    for (int k = 0; k < 2; ++k) {
        Count[k] = catalogtables::kMilkyCount[k];
        Outline[k].reserve(Count[k]);
        for (int i = 0; i < Count[k]; ++i)
            Outline[k].push_back({src[k][i][0], src[k][i][1]});
    }
}
