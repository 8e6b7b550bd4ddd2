#include "plan/Clsdoublestars.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "catalog/Clsstar.h"

std::vector<TDoubleStars::TPair> TDoubleStars::Find(const TStar& stars) {
    constexpr double kArcsec = std::numbers::pi / 180.0 / 3600.0;
    const double maxSep = kMaxSepArcsec * kArcsec;
    // Candidates for either part, by declination, so that a primary's
    // neighbours are a short run of the list.
    std::vector<int> byDec;
    for (int i = 0; i < stars.Count; ++i)
        if (stars[i].mag <= kCompanionMag * 100) byDec.push_back(i);
    std::sort(byDec.begin(), byDec.end(),
              [&](int a, int b) { return stars[a].dec < stars[b].dec; });
    std::vector<TPair> pairs;
    for (std::size_t k = 0; k < byDec.size(); ++k) {
        const TStarRecord& p = stars[byDec[k]];
        if (p.mag > kPrimaryMag * 100) continue;
        const double pra = p.ra, pdec = p.dec, cd = std::cos(pdec);
        TPair best;
        bool found = false;
        auto look = [&](std::size_t j) {
            const TStarRecord& c = stars[byDec[j]];
            // The brighter of two is the primary; equal ones by record.
            if (c.mag < p.mag || (c.mag == p.mag && byDec[j] < byDec[k])) return;
            // Haversine: exact for seconds of arc, where the cosine is 1.
            const double cra = c.ra, cdec = c.dec;
            const double h = std::pow(std::sin((cdec - pdec) / 2), 2) +
                             cd * std::cos(cdec) * std::pow(std::sin((cra - pra) / 2), 2);
            const double sep = 2 * std::asin(std::sqrt(std::min(1.0, h)));
            if (sep > maxSep || sep < kMinSepArcsec * kArcsec) return;
            if (found && stars[best.Companion].mag <= c.mag) return;
            best = {byDec[k], byDec[j], sep / kArcsec};
            found = true;
        };
        for (std::size_t j = k + 1; j < byDec.size() && double(stars[byDec[j]].dec) - pdec <= maxSep; ++j)
            look(j);
        for (std::size_t j = k; j-- > 0 && pdec - double(stars[byDec[j]].dec) <= maxSep;)
            look(j);
        if (found) pairs.push_back(best);
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const TPair& a, const TPair& b) { return a.Primary < b.Primary; });
    return pairs;
}
