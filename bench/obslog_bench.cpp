// What the user waits for in the log: one entry added (a committed,
// synced transaction), and a log of 10,000 entries opened and read whole
// for the log window.
#include "obslog/Clslogdb.h"
#include "obslog/Clsobslog.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct TTempDb {
    TTempDb() {
        char pattern[] = "/tmp/quenlira-logbench-XXXXXX";
        dir = mkdtemp(pattern);
        path = dir + "/Observing.db";
    }
    ~TTempDb() { std::filesystem::remove_all(dir); }
    std::string dir, path;
};

TObservation Entry(int i) {
    TObservation o;
    o.Begin = 1796735742 + i * 600;
    o.UtcOffsetMin = 540;
    o.Object.Name = "NGC " + std::to_string(1000 + i % 7000);
    o.Object.Type = "GX";
    o.Object.Ra = 0.01 * (i % 600);
    o.Object.Dec = 0.001 * (i % 1500) - 0.7;
    o.Object.Magnitude = 11.2;
    o.Magnification = 120;
    o.Seeing = 2;
    o.Transparency = 4;
    o.Notes = "Faint oval glow, brighter towards the middle, averted vision helps.";
    return o;
}

void BM_AddEntry(benchmark::State& state) {
    TTempDb t;
    TLogDb db;
    std::string err;
    if (!db.Open(t.path, err)) {
        state.SkipWithError(err.c_str());
        return;
    }
    TObsLog log(db);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(log.Add(Entry(i++), err));
}
BENCHMARK(BM_AddEntry)->Unit(benchmark::kMillisecond);

void BM_OpenLog10000(benchmark::State& state) {
    TTempDb t;
    {
        TLogDb db;
        std::string err;
        if (!db.Open(t.path, err)) {
            state.SkipWithError(err.c_str());
            return;
        }
        TObsLog log(db);
        db.Transact(
            [&](std::string& e) {
                for (int i = 0; i < 10000; ++i)
                    if (!log.Add(Entry(i), e)) return false;
                return true;
            },
            err);
    }
    for (auto _ : state) {
        TLogDb db;
        std::string err;
        db.Open(t.path, err);
        const auto entries = TObsLog(db).Entries();
        if (entries.size() != 10000) state.SkipWithError("not 10,000 entries");
        benchmark::DoNotOptimize(entries.data());
    }
}
BENCHMARK(BM_OpenLog10000)->Unit(benchmark::kMillisecond);

} // namespace
