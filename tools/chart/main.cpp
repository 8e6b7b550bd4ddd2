// quenlira-chart: draws a chart for a site and a moment and writes it as a
// PNG or JPEG picture or as a PDF page.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/Clssysinfo.h"
#include "catalog/Clsfolders.h"
#include "render/Clspng.h"
#include "tools/chart/Chartfind.h"
#include "tools/chart/Chartjpeg.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartpage.h"
#include "tools/chart/Chartrun.h"
#include "tools/chart/Charttonight.h"
#include "tools/chart/Chartwhere.h"
#include "minor/Minorlist.h"

namespace {
std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

// The sites the user keeps in the program: Sysinfo.dat in the folder the
// program itself would use. Nothing is made or changed there.
// The folder the program keeps the user's files in.
std::string UserFolder(const TFolders& where) {
    return where.Installed ? TFolders::UserData(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"))
                           : where.User;
}

std::vector<TChartSite> UserSites(const TFolders& where) {
    const std::string folder = UserFolder(where);
    std::vector<TChartSite> sites;
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_regular_file(PathIn(folder, TSysInfo::kFileName), ec))
        return sites;
    TSysInfo info;
    std::string message;
    if (!info.Load(folder, message)) return sites;
    const double deg = 180.0 / 3.14159265358979323846;
    for (int i = 1; i <= info.GetSiteCount(); ++i) {
        const TSite s = info.GetSite(i);
        sites.push_back({s.Name, s.Lng * deg, s.Lat * deg, s.DiffUT + s.Summer});
    }
    return sites;
}
} // namespace

int main(int argc, char** argv) {
    TChartOptions o;
    // Beside the program, or for an installed copy in ../share/quenlira.
    const TFolders where = TFolders::Decide(ProgramFolder(), nullptr, nullptr);
    o.UserSites = UserSites(where);
    const std::string err = ParseChartOptions(argc, argv, o);
    if (!err.empty()) {
        std::fprintf(stderr, "quenlira-chart: %s\nTry 'quenlira-chart --help'.\n", err.c_str());
        return 2;
    }
    if (o.Help) {
        std::fputs(ChartUsage().c_str(), stdout);
        return 0;
    }
    if (o.Version) {
        std::fputs(ChartVersion().c_str(), stdout);
        return 0;
    }
    if (o.Tonight) {
        std::string text, warning, error;
        const bool ok = ChartTonight(o, where.Catalogs, std::time(nullptr), text, warning, error);
        if (!warning.empty()) std::fprintf(stderr, "quenlira-chart: %s\n", warning.c_str());
        if (!ok) {
            std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
            return 1;
        }
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    // A page without --size is filled by the chart.
    const bool page = o.Format == TChartFormat::Pdf || o.Format == TChartFormat::Svg;
    if (page && !o.HaveSize) PagePixels(o, o.Width, o.Height);
    TChartRun run;
    std::string error;
    const double mjd = ChartMjd(o, std::time(nullptr));
    // Comets and asteroids: the program's folder Minor/ and the files named.
    TMinorList minor;
    if (!o.WhereName.empty() || !o.CenterName.empty()) {
        const std::string user = UserFolder(where);
        if (!user.empty()) minor.AddFolder(user + "/Minor");
        for (const std::string& f : o.Elements) minor.AddFile(f);
        for (const std::string& e : minor.Errors) std::fprintf(stderr, "quenlira-chart: %s\n", e.c_str());
        if (minor.Skipped > 0)
            std::fprintf(stderr, "quenlira-chart: %zu element lines skipped\n", minor.Skipped);
    }
    if (!o.WhereName.empty()) {
        std::string text;
        if (!ChartWhere(o, where.Catalogs, minor, mjd, text, error)) {
            std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
            return 2;
        }
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    if (!o.CenterName.empty() && !ResolveChartCentre(o, where.Catalogs, mjd, error, &minor)) {
        std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
        return 2;
    }
    if (o.Finder) FinderView(o);
    if (!run.Run(o, where.Catalogs, mjd, error)) {
        std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
        return 1;
    }
    if (!run.Warning.empty())
        std::fprintf(stderr, "quenlira-chart: no deep stars: %s\n", run.Warning.c_str());
    if (!run.HorizonWarning.empty())
        std::fprintf(stderr, "quenlira-chart: %s\n", run.HorizonWarning.c_str());
    bool written = false;
    switch (o.Format) {
    case TChartFormat::Png:
        written = WritePng(run.Picture(), o.Out, error);
        break;
    case TChartFormat::Jpeg:
        written = WriteChartJpeg(run.Picture(), 90, o.PrintColours, o.Out, error);
        break;
    case TChartFormat::Pdf:
    case TChartFormat::Svg:
        written = WriteChartPage(run, o, mjd, error);
        break;
    }
    if (!written) {
        std::fprintf(stderr, "quenlira-chart: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
