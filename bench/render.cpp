// Drawing the planisphere at the main window's size and at a large export size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "catalog/Clsstar.h"
#include "render/Clsbodyset.h"
#include "render/Clshayami.h"

namespace {

std::string StarPath() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::path(".") : exe.parent_path()) / "Star.dat";
}

void BM_Planisphere(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    static TStar stars(StarPath());
    TBodySet bodies;
    THayami chart(1, size, size);
    chart.SetLng(139.5167 * 3.14159265358979 / 180);
    chart.SetLat(35.68333 * 3.14159265358979 / 180);
    chart.Star = &stars;
    bodies.Hand(chart);
    double mjd = 61381.5;
    for (auto _ : state) {
        chart.SetMJD(mjd);
        chart.DrawHayami(1);
        mjd += 1.0 / 1440; // a minute later each time, as the clock steps
        benchmark::DoNotOptimize(chart.DIB.GetBits());
    }
    state.counters["stars"] = stars.Count;
}
BENCHMARK(BM_Planisphere)->Arg(280)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
