// One A4 landscape page of the atlas at scale 3000 (Orion), drawn as vectors
// and written as a PDF through the page writer, with the real catalogues
// (the deep star layer when Tycho.dat is beside the benchmark). The file's
// size is reported as a counter.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "catalog/Clsdeepstar.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "page/Clschartpage.h"
#include "page/Clspagewriter.h"
#include "render/Clsatlas.h"
#include "render/Clsbodyset.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Beside(const char* name) {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ((ec ? std::filesystem::path(".") : exe.parent_path()) / name).string();
}

void BM_AtlasPageA4(benchmark::State& state) {
    TStar stars(Beside("Star.dat"));
    TNebula nebula(Beside("Unsta.dat"));
    std::string why;
    std::unique_ptr<TStar> deep = TDeepStar::Open(Beside(TDeepStar::FileName), why);
    TBodySet bodies;
    TPaper paper; // A4 on its side
    int w, h;
    PageChartPixels(paper, false, w, h);
    TAtlas atlas(1, w, h);
    atlas.SetLng(139.5167 * kPi / 180);
    atlas.SetLat(35.68333 * kPi / 180);
    atlas.SetMJD(61381.5);
    atlas.Star[0] = &stars;
    atlas.Star[1] = deep.get();
    atlas.Nebula = &nebula;
    bodies.Hand(atlas);
    atlas.SetViewWidth(w);
    atlas.SetViewHeight(h);
    atlas.SetScale(3000);
    atlas.SetCenterRa(5.58 * 15 * kPi / 180);
    atlas.SetCenterDec(-1 * kPi / 180);
    for (int n = 1; n <= 8; ++n)
        atlas.SetSwitch(n, 1);
    atlas.Draw();
    const std::string path =
        (std::filesystem::temp_directory_path() / "quenlira-bench-page.pdf").string();
    for (auto _ : state) {
        TPageContent c = AtlasPage(atlas, true);
        c.Title = "Orion";
        c.Lines = {"Tokyo", "2026-12-07 21:00 local time (UTC+9)"};
        std::string error;
        if (!WritePage(path, TPageFormat::Pdf, paper, {c}, error)) state.SkipWithError(error.c_str());
    }
    std::error_code ec;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path, ec));
    std::filesystem::remove(path, ec);
}
BENCHMARK(BM_AtlasPageA4)->Unit(benchmark::kMillisecond);

} // namespace
