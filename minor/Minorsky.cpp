#include "minor/Minorsky.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "astro/Clsmjd.h"
#include "minor/Minorlist.h"
#include "minor/Minorplace.h"

std::string TMinorSky::ShortLabel(const TMinorBody& b) {
    if (b.Comet) return b.Designation.empty() ? b.Name : b.Designation;
    if (!b.Name.empty()) return b.Name;
    if (!b.Designation.empty()) return b.Designation;
    return b.Number > 0 ? "(" + std::to_string(b.Number) + ")" : b.Packed;
}

const std::vector<TMinorSky::TMark>& TMinorSky::Update(const TMinorList* list, double mjd,
                                                       double limit) {
    const std::size_t count = list ? list->Bodies.size() : 0;
    if (list != list_ || count != count_ || mjd != mjd_ || !(limit <= limit_)) {
        list_ = list;
        count_ = count;
        mjd_ = mjd;
        limit_ = limit;
        all_.clear();
        Placed = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const TMinorBody& b = list->Bodies[k];
            if (!b.HasMag || TMinorPlace::BrightestPossible(b) > limit) continue;
            ++Placed;
            TMinorPlace p;
            p.Compute(b, mjd);
            if (!p.Valid || !(p.Mag <= limit)) continue;
            TMark m;
            m.Index = int(k);
            m.Comet = b.Comet;
            m.Ra = p.Ra;
            m.Dec = p.Dec;
            m.EarthAu = p.EarthDist;
            m.Mag = p.Mag;
            m.TailRa = p.TailRa;
            m.TailDec = p.TailDec;
            m.Label = ShortLabel(b);
            all_.push_back(std::move(m));
        }
        std::stable_sort(all_.begin(), all_.end(),
                         [](const TMark& a, const TMark& b) { return a.Mag < b.Mag; });
    }
    Marks.clear();
    for (const TMark& m : all_)
        if (m.Mag <= limit) Marks.push_back(m);
    return Marks;
}

int TMinorSky::TickDays(double days) {
    for (int t : {1, 2, 5, 10}) if (days <= 8.0 * t) return t;
    return 30;
}

std::vector<TMinorSky::TTrackPoint> TMinorSky::Track(const TMinorBody& b, double mjd, double days,
                                                     int steps, int tickDays) {
    std::vector<TTrackPoint> out;
    if (steps < 1 || !(days > 0.0) || tickDays < 1) return out;
    // The steps, and every tick's midnight between them, in time order.
    std::vector<std::pair<double, bool>> times;
    for (int i = 0; i <= steps; ++i) times.push_back({mjd - days + 2.0 * days * i / steps, false});
    for (double t = std::ceil((mjd - days) / tickDays) * tickDays; t <= mjd + days; t += tickDays)
        times.push_back({t, true});
    std::sort(times.begin(), times.end());
    for (const auto& [t, tick] : times) {
        TMinorPlace p;
        p.Compute(b, t);
        if (!p.Valid) continue;
        TTrackPoint q{t, p.Ra, p.Dec, p.EarthDist, ""};
        if (tick) {
            int y, m;
            double d;
            TMjd::MJD2DATE(t, 0.0, 0, y, m, d);
            char buf[16];
            std::snprintf(buf, sizeof buf, "%02d-%02d", m, int(d + 1e-6));
            q.Tick = buf;
        }
        out.push_back(std::move(q));
    }
    return out;
}
