// A full-size MPCORB.DAT (1.4 million asteroid lines, made here in the MPC's format with
// the real file's spread of orbits and brightness): reading it, and placing every body for
// one redraw to keep those brighter than magnitude 12.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

#include "minor/Minorplace.h"
#include "minor/Mpcreader.h"

namespace {

constexpr int kLines = 1400000;

std::string PackedNumber(int n) {
    char buf[8];
    if (n < 100000) {
        std::snprintf(buf, sizeof buf, "%05d", n);
    } else if (n < 620000) {
        const int head = n / 10000;
        const char c = head < 36 ? char('A' + head - 10) : char('a' + head - 36);
        std::snprintf(buf, sizeof buf, "%c%04d", c, n % 10000);
    } else {
        const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        int v = n - 620000;
        buf[0] = '~';
        for (int k = 4; k >= 1; --k) {
            buf[k] = digits[v % 62];
            v /= 62;
        }
        buf[5] = 0;
    }
    return buf;
}

const std::string& MpcorbPath() {
    static const std::string path = [] {
        const std::string p = "/tmp/quenlira-bench-MPCORB.DAT";
        std::FILE* f = std::fopen(p.c_str(), "w");
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        for (int n = 1; n <= kLines; ++n) {
            // Most asteroids are faint: H grows with the number.
            const double H = std::fmin(22.0, 3.0 + 14.0 * std::pow(double(n) / kLines, 0.3) + 2.0 * u(rng));
            const double a = 2.1 + 1.3 * u(rng) + (u(rng) < 0.02 ? 2.0 : 0.0);
            const double e = 0.3 * u(rng) * u(rng);
            const double n_ = 0.9856076686 / (a * std::sqrt(a));
            char readable[32];
            std::snprintf(readable, sizeof readable, "(%d)", n);
            std::fprintf(f,
                         "%-7s %5.2f %5.2f K2555 %9.5f  %9.5f  %9.5f  %9.5f  %9.7f %11.8f %11.7f  0 "
                         "E2024-V47  7330 125 1801-2024 0.80 M-v 30k MPCLINUX   0000 %-28s20241101\n",
                         PackedNumber(n).c_str(), H, 0.15, 360 * u(rng), 360 * u(rng), 360 * u(rng),
                         30 * u(rng) * u(rng), e, n_, a, readable);
        }
        std::fclose(f);
        return p;
    }();
    return path;
}

TMpcReader& Loaded() {
    static TMpcReader r = [] {
        TMpcReader x;
        std::string error;
        x.ReadFile(MpcorbPath(), error);
        return x;
    }();
    return r;
}

void BM_ReadFullMpcorb(benchmark::State& state) {
    const std::string& path = MpcorbPath();
    for (auto _ : state) {
        TMpcReader r;
        std::string error;
        if (!r.ReadFile(path, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(r.Bodies.data());
        state.counters["bodies"] = double(r.Bodies.size());
    }
}
BENCHMARK(BM_ReadFullMpcorb)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PlaceAllKeepBrighterThan12(benchmark::State& state) {
    const TMpcReader& r = Loaded();
    int bright = 0;
    for (auto _ : state) {
        bright = 0;
        TMinorPlace p;
        for (const TMinorBody& b : r.Bodies) {
            p.Compute(b, 61382.5);
            if (p.Valid && p.Mag < 12.0) ++bright;
        }
    }
    state.counters["brighter_than_12"] = bright;
    state.counters["bodies"] = double(r.Bodies.size());
}
BENCHMARK(BM_PlaceAllKeepBrighterThan12)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same with the bound a redraw uses: bodies that can never be brighter than the limit
// are not placed.
void BM_PlaceBoundedKeepBrighterThan12(benchmark::State& state) {
    const TMpcReader& r = Loaded();
    int bright = 0, placed = 0;
    for (auto _ : state) {
        bright = placed = 0;
        TMinorPlace p;
        for (const TMinorBody& b : r.Bodies) {
            if (TMinorPlace::BrightestPossible(b) >= 12.0) continue;
            ++placed;
            p.Compute(b, 61382.5);
            if (p.Valid && p.Mag < 12.0) ++bright;
        }
    }
    state.counters["brighter_than_12"] = bright;
    state.counters["placed"] = placed;
}
BENCHMARK(BM_PlaceBoundedKeepBrighterThan12)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
