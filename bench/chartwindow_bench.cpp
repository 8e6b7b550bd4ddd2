// The chart window on the offscreen platform with a 1639 x 1080 atlas at the
// default view: the full recomputation that every change of the moment runs
// (planisphere, atlas, Moon phase, object picture), and one paint of the
// whole window.
#include "app/Qvsky.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "chartwindow_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

TfrmQVSKY& Window() {
    App();
    static TfrmQVSKY* sky = [] {
        auto* w =
            new TfrmQVSKY(QCoreApplication::applicationDirPath().toStdString(), QSize(1920, 1100));
        w->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                            std::string& n) {
            lng = 139.7 * M_PI / 180, lat = 35.7 * M_PI / 180, h = 40, d = 9, s = 0;
            n = "Tokyo";
        };
        w->resize(1639 + TfrmQVSKY::kLeftWidth, 1080 + TfrmQVSKY::kStripHeight);
        w->show();
        QApplication::processEvents();
        return w;
    }();
    return *sky;
}

void BM_RecomputeFromClock(benchmark::State& state) {
    TfrmQVSKY& w = Window();
    if (w.shpAtlas.width() != 1639 || w.shpAtlas.height() != 1080)
        state.SkipWithError("atlas is not 1639 x 1080");
    for (auto _ : state)
        w.RecomputeFromClock(false);
}
BENCHMARK(BM_RecomputeFromClock)->Unit(benchmark::kMillisecond);

void BM_PaintWholeWindow(benchmark::State& state) {
    TfrmQVSKY& w = Window();
    QImage target(w.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        w.render(&target);
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_PaintWholeWindow)->Unit(benchmark::kMillisecond);

// The longest lists: every NGC thousand and the named objects, filled from
// the catalogues in memory into the list control.
void BM_FillSearchList(benchmark::State& state) {
    TfrmQVSKY& w = Window();
    const int tab = static_cast<int>(state.range(0)), menu = static_cast<int>(state.range(1));
    w.SearchTab = tab;
    for (auto _ : state)
        w.FillSearchList(tab, menu);
    state.counters["rows"] = static_cast<double>(w.SearchRows.Rows.size());
}
BENCHMARK(BM_FillSearchList)
    ->Args({2, 2})
    ->Args({2, 4})
    ->Args({2, 9})
    ->Args({3, 7})
    ->Args({4, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
