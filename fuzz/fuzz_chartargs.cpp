// The chart tool's arguments: the input split at zero bytes is its argument
// list. Parsing never crashes, and what it accepts is a chart it can set up,
// with a page title and a page size.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartpage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args{"quenlira-chart"};
    std::string cur;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(cur);
            cur.clear();
        } else {
            cur += static_cast<char>(data[i]);
        }
    }
    args.push_back(cur);
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    TChartOptions o;
    // A user's site, as if from Sysinfo.dat, for --site to find or miss.
    o.UserSites = {{"Backyard", -105.25, 40.0, -7}};
    const std::string err = ParseChartOptions(static_cast<int>(args.size()), argv.data(), o);
    if (err.empty() && !o.Help) {
        const double mjd = ChartMjd(o, std::time_t{1765065600});
        // The page's title line is made from the accepted values.
        (void)PageTitle(o, mjd, 150);
        int w = 0, h = 0;
        PagePixels(o, w, h);
    }
    return 0;
}
