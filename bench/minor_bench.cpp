// A full-size MPCORB.DAT (1.4 million asteroid lines, made here in the MPC's format with
// the real file's spread of orbits and brightness): reading it, and placing every body for
// one redraw to keep those brighter than magnitude 12.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <unistd.h>

#include "minor/Minorlist.h"
#include "minor/Minorplace.h"
#include "minor/Minorsky.h"
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

TMinorList& ListOf(bool indexed) {
    static TMinorList plain, sorted;
    static const bool made = [] {
        plain.Bodies = Loaded().Bodies;
        sorted.Bodies = Loaded().Bodies;
        sorted.BuildIndex();
        return true;
    }();
    (void)made;
    return indexed ? sorted : plain;
}

// What the loader's thread adds after reading: every name sorted.
void BM_BuildNameIndex(benchmark::State& state) {
    TMinorList& list = ListOf(true);
    for (auto _ : state) list.BuildIndex();
    state.counters["bodies"] = double(list.Bodies.size());
}
BENCHMARK(BM_BuildNameIndex)->Unit(benchmark::kMillisecond)->Iterations(1);

// One keystroke of the find field: the exact name and the suggestions for "cer".
void BM_FindKeystroke(benchmark::State& state) {
    TMinorList& list = ListOf(state.range(0) != 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(list.Find("(1234)"));
        benchmark::DoNotOptimize(list.Suggest("123", 12));
    }
    state.SetLabel(state.range(0) != 0 ? "indexed" : "every body");
}
BENCHMARK(BM_FindKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What a chart's redraw at a new moment costs at the atlas's starting limit (8.7) and at
// a deep one (12).
void BM_ChartMarks(benchmark::State& state) {
    TMinorList& list = ListOf(false);
    double mjd = 61382.5;
    int marks = 0;
    for (auto _ : state) {
        TMinorSky sky;
        marks = int(sky.Update(&list, mjd, state.range(0) / 10.0).size());
        mjd += 1.0 / 1440;
    }
    state.counters["marks"] = marks;
}
BENCHMARK(BM_ChartMarks)->Arg(87)->Arg(120)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
