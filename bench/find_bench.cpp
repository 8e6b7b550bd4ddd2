// The find field's name index on the real catalogues beside the executable:
// building it once (as the program does after its first charts), and one
// keystroke's suggestions. The deep star layer (Tycho.dat) is loaded as the
// program loads it; its stars carry no names or numbers, so the index has
// nothing of them. The counters give the index's memory and size.
#include <filesystem>
#include <memory>

#include <benchmark/benchmark.h>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsdeepstar.h"
#include "catalog/Clsfind.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"

namespace {

struct TCatalogues {
    std::unique_ptr<TStar> star;
    std::unique_ptr<TStar> deep;
    std::unique_ptr<TNebula> nebula;
    TConstellation con;
    std::vector<std::uint32_t> hip;
    bool ok = false;

    TCatalogues() {
        const std::filesystem::path dir =
            std::filesystem::read_symlink("/proc/self/exe").parent_path();
        star = std::make_unique<TStar>((dir / "Star.dat").string());
        nebula = std::make_unique<TNebula>((dir / "Unsta.dat").string());
        std::string why;
        deep = TDeepStar::Open((dir / TDeepStar::FileName).string(), why);
        hip =
            TFindIndex::ReadHipNumbers((dir / TFindIndex::HipFileName).string(), star->Count, why);
        ok = star->Count > 0 && nebula->Count > 0 && !hip.empty() && deep != nullptr;
    }
};

TCatalogues& Catalogues() {
    static TCatalogues c;
    return c;
}

const TFindIndex& Index() {
    static TFindIndex index = [] {
        TFindIndex i;
        TCatalogues& c = Catalogues();
        i.Build(c.star.get(), c.nebula.get(), &c.con, c.hip, {});
        return i;
    }();
    return index;
}

} // namespace

static void BM_BuildFindIndex(benchmark::State& state) {
    TCatalogues& c = Catalogues();
    if (!c.ok) {
        state.SkipWithError(
            "Star.dat, Starhip.dat, Tycho.dat or Unsta.dat missing beside the benchmark");
        return;
    }
    std::size_t bytes = 0;
    int keys = 0, entries = 0;
    for (auto _ : state) {
        TFindIndex index;
        index.Build(c.star.get(), c.nebula.get(), &c.con, c.hip, {});
        bytes = index.MemoryBytes();
        keys = index.KeyCount();
        entries = index.EntryCount();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["index_MB"] = static_cast<double>(bytes) / (1 << 20);
    state.counters["keys"] = keys;
    state.counters["entries"] = entries;
    state.counters["deep_stars"] = c.deep ? c.deep->Count : 0;
}
BENCHMARK(BM_BuildFindIndex)->Unit(benchmark::kMillisecond);

// One keystroke: the suggestions for a text as it stands after the key. The
// one-letter texts and "hip 1" touch the most names.
static void BM_Keystroke(benchmark::State& state, const char* text) {
    if (!Catalogues().ok) {
        state.SkipWithError("catalogues missing beside the benchmark");
        return;
    }
    const TFindIndex& index = Index();
    for (auto _ : state)
        benchmark::DoNotOptimize(index.Find(text, 12));
}
BENCHMARK_CAPTURE(BM_Keystroke, a, "a")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, n, "n")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, ngc_7, "ngc 7")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, hip_1, "hip 1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, betelg, "betelg")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, alpha_ori, "alpha ori")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Keystroke, nomatch, "xyzzy")->Unit(benchmark::kMicrosecond);
