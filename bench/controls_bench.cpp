// How long the grid takes to sort its 1000 rows (restore the initial order,
// then the selection sort) and to paint, and how long the clock takes to paint.
#include "controls/Calclock.h"
#include "controls/Selgrid.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <random>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "controls_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void FillGrid(TSelGrid& g, int rows) {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> letter('A', 'Z');
    g.SetMaxCol(3);
    g.SetMaxRow(rows);
    for (int c = 1; c <= 3; ++c)
        g.SetColWidth(c, 90);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= 3; ++c) {
            std::string s;
            for (int i = 0; i < 8; ++i)
                s += char(letter(rng));
            g.SetTextA(r, c, s);
        }
        g.SetTag(r, r);
    }
}

void BM_GridSort1000(benchmark::State& state) {
    App();
    TSelGrid g;
    FillGrid(g, 1000);
    g.SetSJump(false);
    for (auto _ : state) {
        g.RowSort(2); // alternates ascending and descending
        benchmark::DoNotOptimize(g.GetTag(1));
    }
}
BENCHMARK(BM_GridSort1000)->Unit(benchmark::kMillisecond);

void BM_GridPaint(benchmark::State& state) {
    App();
    TSelGrid g;
    g.resize(290, 460);
    FillGrid(g, 1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(g.grab());
}
BENCHMARK(BM_GridPaint)->Unit(benchmark::kMicrosecond);

void BM_ClockPaint(benchmark::State& state) {
    App();
    TCalClock c;
    for (auto _ : state)
        benchmark::DoNotOptimize(c.grab());
}
BENCHMARK(BM_ClockPaint)->Unit(benchmark::kMicrosecond);

} // namespace
