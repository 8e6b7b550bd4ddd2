// Evaluating every body for one instant (what each redraw does), the Moon's
// iterated rising and setting, and the same ten apparent places from ERFA for
// comparison (ERFA has no Pluto: nine places there).
#include <benchmark/benchmark.h>

#include <cmath>

extern "C" {
#include <erfa.h>
}

#include "astro/Clsjupiter.h"
#include "astro/Clslocation.h"
#include "astro/Clsmars.h"
#include "astro/Clsmercury.h"
#include "astro/Clsmjd.h"
#include "astro/Clsmoon.h"
#include "astro/Clsneptune.h"
#include "astro/Clspluto.h"
#include "astro/Clssaturn.h"
#include "astro/Clssun.h"
#include "astro/Clsuranus.h"
#include "astro/Clsvenus.h"
#include "astro/Risesetsearch.h"

namespace {
constexpr double kStartMjd = 60651.5; // 2024 Dec 16 12h UT

struct Bodies {
    TMercury mercury;
    TVenus venus;
    TMars mars;
    TJupiter jupiter;
    TSaturn saturn;
    TUranus uranus;
    TNeptune neptune;
    TPluto pluto;
    TSun sun;
    TMoon moon;
    void SetMjd(double mjd) {
        mercury.SetMjd(mjd);
        venus.SetMjd(mjd);
        mars.SetMjd(mjd);
        jupiter.SetMjd(mjd);
        saturn.SetMjd(mjd);
        uranus.SetMjd(mjd);
        neptune.SetMjd(mjd);
        pluto.SetMjd(mjd);
        sun.SetMjd(mjd);
        moon.SetMjd(mjd);
    }
};

void BM_TenBodiesOneInstant(benchmark::State& state) {
    Bodies b;
    double mjd = kStartMjd;
    for (auto _ : state) {
        // A new instant each time, as on every redraw, so no cache is reused across
        // iterations.
        mjd += 0.001;
        b.SetMjd(mjd);
        benchmark::DoNotOptimize(b.moon.Ra);
        benchmark::DoNotOptimize(b.jupiter.SatRa[3]);
    }
}
BENCHMARK(BM_TenBodiesOneInstant);

void BM_MoonRiseAndSet(benchmark::State& state) {
    TLocation site; // the default site, 35.5 N 139.5 E
    TMoon moon;
    const double zone = 9.0;
    double day = 0;
    int calls = 0, found = 0;
    for (auto _ : state) {
        double mjd0 = TMjd::JULIAN(2024, 12, 16.0 + day, 0.0, 0);
        day = day >= 29 ? 0 : day + 1; // a month of dates, every phase of the Moon
        auto place = [&](double mjd) {
            moon.SetMjd(mjd);
            return TRiseSetPlace{moon.Ra, moon.Dec, moon.Diam, moon.EarthDist};
        };
        for (int event = 0; event < 2; ++event) {
            TRiseSetEvent e = RiseSetSearch(site, event, mjd0, zone, 0, place);
            calls += e.Calls;
            found += e.Found;
            benchmark::DoNotOptimize(e.Time);
        }
    }
    state.counters["calls_per_event"] =
        benchmark::Counter(calls / 2.0, benchmark::Counter::kAvgIterations);
    state.counters["found_share"] =
        benchmark::Counter(found / 2.0, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MoonRiseAndSet);

// Apparent geocentric place of date (true equator and equinox) of a direction in
// the GCRS, through ERFA's astrometry context: light deflection, aberration,
// bias-precession-nutation, then the equation of the origins.
void erfaApparent(double p[3], eraASTROM& astrom, double eo, double& ra, double& dec) {
    double rc, dc, ri, di;
    eraC2s(p, &rc, &dc);
    eraAtciqz(rc, dc, &astrom, &ri, &di);
    ra = eraAnp(ri - eo);
    dec = di;
}

void BM_ErfaNinePlacesOneInstant(benchmark::State& state) {
    double mjd = kStartMjd;
    const double c = 173.1446326846693; // speed of light, AU per day
    double sink = 0;
    for (auto _ : state) {
        mjd += 0.001;
        eraASTROM astrom;
        double eo;
        eraApci13(2400000.5, mjd, &astrom, &eo);
        double pvh[2][3], pvb[2][3];
        eraEpv00(2400000.5, mjd, pvh, pvb);
        double ra, dec, p[3];
        // The Sun.
        for (int i = 0; i < 3; ++i)
            p[i] = -pvh[0][i];
        erfaApparent(p, astrom, eo, ra, dec);
        sink += ra + dec;
        // Mercury to Neptune (3 is the Earth-Moon barycentre), with the light time.
        for (int np : {1, 2, 4, 5, 6, 7, 8}) {
            double pv[2][3];
            eraPlan94(2400000.5, mjd, np, pv);
            double tau = 0;
            for (int pass = 0; pass < 2; ++pass) {
                for (int i = 0; i < 3; ++i)
                    p[i] = pv[0][i] - tau * pv[1][i] - pvh[0][i];
                tau = eraPm(p) / c;
            }
            erfaApparent(p, astrom, eo, ra, dec);
            sink += ra + dec;
        }
        // The Moon.
        double pvm[2][3];
        eraMoon98(2400000.5, mjd, pvm);
        erfaApparent(pvm[0], astrom, eo, ra, dec);
        sink += ra + dec;
        benchmark::DoNotOptimize(sink);
    }
}
BENCHMARK(BM_ErfaNinePlacesOneInstant);

// The same nine bodies here, for a like-for-like figure.
void BM_NineBodiesOneInstant(benchmark::State& state) {
    Bodies b;
    double mjd = kStartMjd;
    for (auto _ : state) {
        mjd += 0.001;
        b.mercury.SetMjd(mjd);
        b.venus.SetMjd(mjd);
        b.mars.SetMjd(mjd);
        b.jupiter.SetMjd(mjd);
        b.saturn.SetMjd(mjd);
        b.uranus.SetMjd(mjd);
        b.neptune.SetMjd(mjd);
        b.sun.SetMjd(mjd);
        b.moon.SetMjd(mjd);
        benchmark::DoNotOptimize(b.moon.Ra);
    }
}
BENCHMARK(BM_NineBodiesOneInstant);
} // namespace
