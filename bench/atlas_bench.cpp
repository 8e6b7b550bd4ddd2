// Drawing the star atlas at the chart panel of a 1920 x 1080 screen (1639 x
// 1080) with all eight switches on, the real catalogues (with the deep star
// layer when Tycho.dat is beside the benchmark) and all ten bodies, and
// picking the objects under the pointer.
#include <benchmark/benchmark.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include "catalog/Clsdeepstar.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kWidth = 1639, kHeight = 1080;

std::string Beside(const char* name) {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ((ec ? std::filesystem::path(".") : exe.parent_path()) / name).string();
}

// The atlas as the chart window holds it, with its catalogues and bodies.
struct Sky {
    TStar stars{Beside("Star.dat")};
    TNebula nebula{Beside("Unsta.dat")};
    std::string deepWhy;
    std::unique_ptr<TStar> deep = TDeepStar::Open(Beside(TDeepStar::FileName), deepWhy);
    TBodySet bodies;
    int width, height;
    TAtlas atlas{1, width, height};

    explicit Sky(int w = kWidth, int h = kHeight) : width(w), height(h) {
        atlas.SetLng(139.5167 * kPi / 180);
        atlas.SetLat(35.68333 * kPi / 180);
        atlas.SetMJD(61381.5); // 2026-12-07 12:00 UT
        atlas.Star[0] = &stars;
        atlas.Star[1] = deep.get();
        atlas.Nebula = &nebula;
        bodies.Hand(atlas);
    }
    void View(double ra, double dec, int scale, bool all) {
        // The window's start-up switches, or every one on.
        const int start[8] = {1, 1, 0, 0, 1, 0, 1, 1};
        atlas.SetViewWidth(width);
        atlas.SetViewHeight(height);
        atlas.SetScale(scale);
        atlas.SetSensitivity(0);
        for (int n = 1; n <= 8; ++n)
            atlas.SetSwitch(n, all ? 1 : start[n - 1]);
        atlas.SetCenterRa(ra);
        atlas.SetCenterDec(dec);
    }
};

Sky& TheSky() {
    static Sky sky;
    return sky;
}

// The chart window's starting centre (right ascension 1.4835 rad, near
// Orion's belt, declination 0) at scales 1000 (the default), 5000 and 50000.
void BM_AtlasDraw(benchmark::State& state) {
    Sky& sky = TheSky();
    sky.View(1.4835, 0.0, static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        sky.atlas.Draw();
        benchmark::DoNotOptimize(sky.atlas.GetDib().GetBits());
    }
    state.counters["stars"] = sky.stars.Count;
    state.counters["deep"] = sky.deep ? sky.deep->Count : 0;
}
BENCHMARK(BM_AtlasDraw)
    ->ArgNames({"scale", "all"})
    ->Args({1000, 1})
    ->Args({5000, 1})
    ->Args({50000, 1})
    ->Args({1000, 0})
    ->Unit(benchmark::kMillisecond);

// What each layer costs at the default view: stars and bodies alone
// (switch 0 = none), then with one switch on (1 Milky Way, 2 constellations,
// 3 Bayer, 4 Flamsteed, 5 names, 6 deep-sky, 7 grid).
void BM_AtlasLayer(benchmark::State& state) {
    Sky& sky = TheSky();
    sky.View(1.4835, 0.0, 1000, false);
    for (int n = 1; n <= 8; ++n)
        sky.atlas.SetSwitch(n, n == state.range(0) || n == 8);
    for (auto _ : state) {
        sky.atlas.Draw();
        benchmark::DoNotOptimize(sky.atlas.GetDib().GetBits());
    }
}
BENCHMARK(BM_AtlasLayer)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// A crowded view: Sagittarius towards the galactic centre, every layer on.
void BM_AtlasDrawSagittarius(benchmark::State& state) {
    Sky& sky = TheSky();
    sky.View(18.0 / 12 * kPi, -25.0 * kPi / 180, static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        sky.atlas.Draw();
        benchmark::DoNotOptimize(sky.atlas.GetDib().GetBits());
    }
}
BENCHMARK(BM_AtlasDrawSagittarius)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// Star-hopping fields with and without the deep star layer, at the window's
// start-up switches: 0 the default centre, 1 the Pleiades (3h47.4m +24.1),
// 2 the field of M13 (16h41.7m +36.46). Counters: sprites drawn from each
// catalogue.
void BM_AtlasDeepStars(benchmark::State& state) {
    Sky& sky = TheSky();
    const int field = static_cast<int>(state.range(1));
    const double ra[3] = {1.4835, (3 + 47.4 / 60) / 12 * kPi, (16 + 41.7 / 60) / 12 * kPi};
    const double dec[3] = {0.0, 24.117 * kPi / 180, 36.461 * kPi / 180};
    sky.View(ra[field], dec[field], static_cast<int>(state.range(0)), false);
    if (state.range(2) == 0) sky.atlas.Star[1] = nullptr;
    if (state.range(2) != 0 && !sky.deep) {
        state.SkipWithError(("no deep star layer: " + sky.deepWhy).c_str());
        return;
    }
    for (auto _ : state) {
        sky.atlas.Draw();
        benchmark::DoNotOptimize(sky.atlas.GetDib().GetBits());
    }
    state.counters["hip_drawn"] = sky.atlas.StarsDrawn[0];
    state.counters["deep_drawn"] = sky.atlas.StarsDrawn[1];
    sky.atlas.Star[1] = sky.deep.get();
}
BENCHMARK(BM_AtlasDeepStars)
    ->ArgNames({"scale", "field", "deep"})
    ->Args({1000, 0, 0})
    ->Args({1000, 0, 1})
    ->Args({20000, 1, 0})
    ->Args({20000, 1, 1})
    ->Args({50000, 2, 0})
    ->Args({50000, 2, 1})
    ->Unit(benchmark::kMillisecond);

// The same default view on a 4K screen's chart panel (3840 x 2160), every
// layer on.
void BM_AtlasDraw4K(benchmark::State& state) {
    static Sky sky(3840, 2160);
    TAtlas& atlas = sky.atlas;
    sky.View(1.4835, 0.0, static_cast<int>(state.range(0)), true);
    // One thread, or two as the atlas chooses for a raster this size.
    const long splitFrom = atlas.SplitFrom;
    if (state.range(1) == 1) atlas.SplitFrom = LONG_MAX;
    for (auto _ : state) {
        atlas.Draw();
        benchmark::DoNotOptimize(atlas.GetDib().GetBits());
    }
    atlas.SplitFrom = splitFrom;
}
BENCHMARK(BM_AtlasDraw4K)
    ->ArgNames({"scale", "threads"})
    ->Args({1000, 2})
    ->Args({1000, 1})
    ->Args({5000, 2})
    ->Args({5000, 1})
    ->Args({50000, 2})
    ->Args({50000, 1})
    ->Unit(benchmark::kMillisecond);

// Picking under the pointer (tolerance 2, as the window asks) after a draw.
void BM_AtlasPick(benchmark::State& state) {
    Sky& sky = TheSky();
    sky.View(1.4835, 0.0, static_cast<int>(state.range(0)), true);
    sky.atlas.Draw();
    TPickEntry list[TAtlas::MaxPick];
    int x = 0;
    for (auto _ : state) {
        // Walk the pointer over the chart so that each pick meets other stars.
        const int px = 100 + (x * 37) % (kWidth - 200), py = 100 + (x * 53) % (kHeight - 200);
        benchmark::DoNotOptimize(sky.atlas.Pick(px, py, 2, list));
        ++x;
    }
}
BENCHMARK(BM_AtlasPick)->Arg(1000)->Arg(50000)->Unit(benchmark::kMicrosecond);

} // namespace
