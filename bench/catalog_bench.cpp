// Opening both catalogues: mapping the files and building the named-star and
// name/outline indexes, on the files the build puts beside the executables.
#include <filesystem>

#include <benchmark/benchmark.h>

#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

static void BM_LoadCatalogues(benchmark::State& state) {
    const std::filesystem::path dir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string star = (dir / "Star.dat").string(), unsta = (dir / "Unsta.dat").string();
    for (auto _ : state) {
        TStar stars(star);
        TNebula nebulae(unsta);
        if (stars.Count == 0 || nebulae.Count == 0) {
            state.SkipWithError("Star.dat or Unsta.dat missing beside the benchmark");
            break;
        }
        benchmark::DoNotOptimize(stars.MagMax);
        benchmark::DoNotOptimize(nebulae.EntryRecord[31]);
    }
}
BENCHMARK(BM_LoadCatalogues)->Unit(benchmark::kMillisecond);
