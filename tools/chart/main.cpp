// quenlira-chart: draws a chart for a site and a moment and writes it as PNG.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "catalog/Clsfolders.h"
#include "render/Clspng.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartrun.h"

namespace {
std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}
} // namespace

int main(int argc, char** argv) {
    TChartOptions o;
    const std::string err = ParseChartOptions(argc, argv, o);
    if (!err.empty()) {
        std::fprintf(stderr, "quenlira-chart: %s\nTry 'quenlira-chart --help'.\n", err.c_str());
        return 2;
    }
    if (o.Help) {
        std::fputs(ChartUsage().c_str(), stdout);
        return 0;
    }
    TChartRun run;
    std::string error;
    // Beside the program, or for an installed copy in ../share/quenlira.
    const TFolders where = TFolders::Decide(ProgramFolder(), nullptr, nullptr);
    if (!run.Run(o, where.Catalogs, ChartMjd(o, std::time(nullptr)), error)) {
        std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
        return 1;
    }
    if (!run.Warning.empty())
        std::fprintf(stderr, "quenlira-chart: no deep stars: %s\n", run.Warning.c_str());
    if (!WritePng(run.Picture(), o.Out, error)) {
        std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
