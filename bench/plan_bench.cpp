// The night planner on the real catalogues beside the executable: the
// night's times alone, and the night with the whole candidate list (planets,
// Moon, Messier and bright NGC/IC objects, named stars), flat and over a
// horizon profile, with the double stars. The planner window works the night
// out on a thread of its own when the evening, the site or the horizon
// changes; the window's thread only copies the candidates (BM_Candidates)
// and finds the double stars once (BM_DoubleStars), which must stay well
// under the 100 ms a key may wait.
#include <filesystem>
#include <memory>
#include <numbers>

#include <benchmark/benchmark.h>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "plan/Clsdoublestars.h"
#include "plan/Clsnight.h"
#include "plan/Clsplanner.h"

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;

struct TCatalogues {
    std::unique_ptr<TStar> star;
    std::unique_ptr<TNebula> nebula;
    TConstellation con;
    std::vector<TDoubleStars::TPair> doubles;
    TCatalogues() {
        const auto dir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        star = std::make_unique<TStar>((dir / "Star.dat").string());
        nebula = std::make_unique<TNebula>((dir / "Unsta.dat").string());
        doubles = TDoubleStars::Find(*star);
    }
};

TLocation Tokyo() {
    TLocation s;
    s.Lat = 35.6833 * kDeg;
    s.Lon = 139.5167 * kDeg;
    return s;
}

void BM_NightTimes(benchmark::State& state) {
    const TLocation site = Tokyo();
    for (auto _ : state) {
        TNight night;
        night.Compute(site, THorizon(), 2026, 12, 7, 9);
        benchmark::DoNotOptimize(night.Sunset.Mjd);
    }
}
BENCHMARK(BM_NightTimes)->Unit(benchmark::kMillisecond);

void BM_NightAndList(benchmark::State& state) {
    static TCatalogues cat;
    const TLocation site = Tokyo();
    THorizon horizon;
    std::string error;
    if (state.range(0)) horizon.Parse("0 5\n90 20\n180 3\n270 12\n", "bench", error);
    std::size_t count = 0;
    for (auto _ : state) {
        TNight night;
        night.Compute(site, horizon, 2026, 12, 7, 9);
        TPlanner planner;
        planner.Build(night, TPlanner::Candidates(cat.star.get(), cat.nebula.get(), &cat.con, {},
                                                  nullptr, cat.doubles));
        count = planner.Entries.size();
        benchmark::DoNotOptimize(planner.Entries.data());
    }
    state.counters["objects"] = static_cast<double>(count);
}
BENCHMARK(BM_NightAndList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DoubleStars(benchmark::State& state) {
    static TCatalogues cat;
    for (auto _ : state)
        benchmark::DoNotOptimize(TDoubleStars::Find(*cat.star).size());
    state.counters["pairs"] = static_cast<double>(cat.doubles.size());
}
BENCHMARK(BM_DoubleStars)->Unit(benchmark::kMillisecond);

void BM_Candidates(benchmark::State& state) {
    static TCatalogues cat;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TPlanner::Candidates(cat.star.get(), cat.nebula.get(), &cat.con, {}, nullptr, cat.doubles)
                .size());
}
BENCHMARK(BM_Candidates)->Unit(benchmark::kMillisecond);

void BM_FilterAndSort(benchmark::State& state) {
    static TCatalogues cat;
    TNight night;
    night.Compute(Tokyo(), THorizon(), 2026, 12, 7, 9);
    TPlanner planner;
    planner.Build(night, cat.star.get(), cat.nebula.get(), &cat.con, {});
    TPlanFilter f;
    for (auto _ : state)
        benchmark::DoNotOptimize(planner.Select(f, TPlanner::Name, true).size());
}
BENCHMARK(BM_FilterAndSort)->Unit(benchmark::kMillisecond);

} // namespace
