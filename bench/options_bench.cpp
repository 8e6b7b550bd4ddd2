// Reading option files at start-up: one file of 3000 objects (the most the
// atlas keeps), and the same objects spread over 300 files.
#include "app/Clsoption.h"

#include <benchmark/benchmark.h>

namespace {

std::string Objects(int from, int count) {
    std::string text;
    for (int i = from; i < from + count; ++i)
        text += std::to_string(i) + ",1,1,053432,+220052,RED,Object " + std::to_string(i) + "," +
                std::to_string(i + 1) + ",1,YELLOW,WHITE,WHITE,WHITE,WHITE,WHITE\r\n";
    return text;
}

void BM_OneFileOf3000(benchmark::State& state) {
    const std::vector<TOptionFiles::TSource> files = {{"big.opt", "Big\r\n" + Objects(1, 3000)}};
    for (auto _ : state) {
        TOptionFiles o;
        o.Read(files);
        benchmark::DoNotOptimize(o.Objects.data());
    }
    state.SetBytesProcessed(state.iterations() * files[0].Bytes.size());
}
BENCHMARK(BM_OneFileOf3000)->Unit(benchmark::kMillisecond);

void BM_300FilesOf10(benchmark::State& state) {
    std::vector<TOptionFiles::TSource> files;
    for (int f = 0; f < 300; ++f)
        files.push_back({"f" + std::to_string(f) + ".opt", "List\r\n" + Objects(1, 10)});
    for (auto _ : state) {
        TOptionFiles o;
        o.Read(files);
        benchmark::DoNotOptimize(o.Objects.data());
    }
}
BENCHMARK(BM_300FilesOf10)->Unit(benchmark::kMillisecond);

} // namespace
