// Both catalogues together, drawn on both charts: the input is a few bytes
// of view settings, then Star.dat, then Unsta.dat. Any bytes load (or are
// refused) without a crash, and what loads is drawn, picked and shown in the
// information panel's picture without a crash, a hang or a sanitizer report.
#include <cstdint>
#include <cstring>
#include <string>

#include "Fuzzfolder.h"
#include "render/Clsdib.h"
#include "tools/chart/Chartrun.h"

namespace {

constexpr size_t kHead = 12;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHead) return 0;
    const std::string dir = FuzzFolder();
    // Bytes 8-11: how much of the rest is Star.dat.
    uint32_t split;
    std::memcpy(&split, data + 8, 4);
    const size_t rest = size - kHead;
    const size_t starBytes = rest == 0 ? 0 : split % (rest + 1);
    WriteFuzzFile(dir + "/Star.dat", data + kHead, starBytes);
    WriteFuzzFile(dir + "/Unsta.dat", data + kHead + starBytes, rest - starBytes);

    TChartOptions o;
    o.Stars = dir + "/Star.dat";
    o.DeepSky = dir + "/Unsta.dat";
    // Small pictures: the drawing code is the same at any size.
    o.Chart = (data[0] & 1) ? "window" : "atlas";
    o.Width = 48 + data[1] % 32;
    o.Height = 40 + data[2] % 32;
    static const int kScales[] = {100, 200, 500, 1000, 3000, 10000, 60000, 200000};
    o.Scale = kScales[data[3] % 8];
    o.RaHours = data[4] * 24.0 / 256.0;
    o.DecDeg = data[5] * 180.0 / 255.0 - 90.0;
    for (int n = 0; n < 8; ++n)
        o.Switches[n] = (data[6] >> n) & 1;
    o.Language = data[7] & 1;
    o.Sensitivity = (data[0] >> 1) % 5;
    o.LatDeg = (data[0] >> 4) * 12.0 - 90.0;
    o.LonDeg = data[1] * 1.4 - 180.0;

    TChartRun run;
    std::string error;
    // 2026-12-07 12:00 UT.
    if (!run.Run(o, dir, 61381.5, error)) return 0;
    TAtlas* atlas = run.Atlas();
    if (atlas == nullptr) return 0;
    TPickEntry list[TAtlas::MaxPick];
    atlas->Pick(o.Width / 2, o.Height / 2, 3 + data[2] % 40, list);
    if (atlas->Nebula != nullptr && atlas->Nebula->Count > 0) {
        // The information panel's picture of a few objects.
        TDIB panel;
        panel.AddColor(0);
        panel.Create(64, 48);
        for (int i = 0; i < atlas->Nebula->Count && i < 4; ++i)
            atlas->DrawNebulaImage(panel.GetSurface(), i, 64, 48, 0.5 + (data[3] >> 4));
    }
    return 0;
}
