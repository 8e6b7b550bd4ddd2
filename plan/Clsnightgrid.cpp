#include "plan/Clsnightgrid.h"

void TNightGrid::Set(const TLocation& site, double start) {
    Start = start;
    End = start + kSteps * kStep;
    Mjd.resize(kSteps + 1);
    Lst.resize(kSteps + 1);
    for (int i = 0; i <= kSteps; ++i) {
        Mjd[i] = start + i * kStep;
        Lst[i] = site.SiderealTime(Mjd[i]);
    }
}

std::vector<TCrossing> TNightGrid::Crossings(const std::vector<double>& samples,
                                             const std::function<double(double)>& f) const {
    std::vector<TCrossing> out;
    for (std::size_t i = 0; i + 1 < samples.size() && i + 1 < Mjd.size(); ++i) {
        const double f0 = samples[i], f1 = samples[i + 1];
        if ((f0 < 0.0) == (f1 < 0.0)) continue;
        double lo = Mjd[i], hi = Mjd[i + 1];
        // 300 s halved nine times: under a second.
        for (int k = 0; k < 9; ++k) {
            const double mid = 0.5 * (lo + hi);
            if ((f(mid) < 0.0) == (f0 < 0.0))
                lo = mid;
            else
                hi = mid;
        }
        out.push_back({0.5 * (lo + hi), f0 < 0.0});
    }
    return out;
}
