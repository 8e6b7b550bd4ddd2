// Horizon conversion per star (run for every star in horizon-based views),
// one rise/set evaluation and the calendar split of an instant.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "astro/Clslocation.h"
#include "astro/Clsmjd.h"

namespace {

std::vector<std::pair<double, double>> stars() {
    std::vector<std::pair<double, double>> v;
    for (int i = 0; i < 1000; ++i)
        v.emplace_back(std::fmod(i * 2.399, 6.283), std::sin(i * 0.7) * 1.5);
    return v;
}

void BM_AziAlt2_1000Stars(benchmark::State& state) {
    TLocation site;
    const auto s = stars();
    for (auto _ : state) {
        double sum = 0.0;
        for (const auto& [ra, dec] : s) {
            double az, alt;
            site.AziAlt2(1.234, ra, dec, az, alt);
            sum += az + alt;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_AziAlt2_1000Stars);

void BM_RiseSet(benchmark::State& state) {
    TLocation site;
    for (auto _ : state) {
        int shift = 0;
        double t = 0, az = 0;
        benchmark::DoNotOptimize(
            site.RiseSet(0, 60000.0, 9.0, 0, 1.7, -0.29, 0.0, 0.0, shift, t, az));
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_RiseSet);

void BM_SetMJD(benchmark::State& state) {
    TMjd t;
    t.SetLocal(9.0, 0);
    double m = 60000.123;
    for (auto _ : state) {
        t.SetMJD(m);
        m += 0.37;
        benchmark::DoNotOptimize(t.Lss);
    }
}
BENCHMARK(BM_SetMJD);

} // namespace
