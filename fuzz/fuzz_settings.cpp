// The settings file: any bytes as Sysinfo.dat are read without a crash, every
// site reads back as values in their ranges, and a save followed by a load
// gives the very same record.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Fuzzfolder.h"
#include "app/Clssysinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = FuzzFolder();
    WriteFuzzFile(dir + "/Sysinfo.dat", data, size);
    TSysInfo rec;
    std::string msg;
    if (!rec.Load(dir, msg)) std::abort(); // the file is there: it must be read
    const int n = rec.GetSiteCount();
    if (n < 0 || n > TSysInfo::kMaxSites) std::abort();
    for (int no = 1; no <= n; ++no) {
        const TSite s = rec.GetSite(no);
        if (!(std::abs(s.Lng) <= M_PI && std::abs(s.Lat) <= M_PI / 2)) std::abort();
        if (!(s.Height >= TSysInfo::kMinHeight && s.Height <= TSysInfo::kMaxHeight)) std::abort();
        if (!(std::abs(s.DiffUT) <= TSysInfo::kMaxDiffUT)) std::abort();
        if (!(s.Summer >= 0 && s.Summer <= TSysInfo::kMaxSummer)) std::abort();
    }
    // A name read from the file is stored again as it reads (or refused):
    // one site per input, chosen by the input.
    if (n > 0) {
        const int no = 1 + (size > 0 ? data[size - 1] : 0) % n;
        const TSite s = rec.GetSite(no);
        TSysInfo copy = rec;
        if (copy.SetSite(no, s) && copy.GetSite(no).Name != s.Name) std::abort();
    }
    for (int m = 0; m < TSysInfo::kMemories; ++m) {
        (void)rec.GetMemRa(m);
        (void)rec.GetMemScale(m);
    }
    if (!rec.Save(dir, msg)) std::abort();
    TSysInfo back;
    if (!back.Load(dir, msg) || back.Bytes() != rec.Bytes()) std::abort();
    return 0;
}
