#include "tools/chart/Chartwindow.h"

#include <algorithm>

#include "render/Clsdib.h"

namespace {
// Copies `src` into `out` at (left, 0), each index turned into the merged
// table's entry of the same colour.
void Blit(const TDIB& src, TDIB& out, int left, int maxWidth) {
    unsigned char map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = out.NearestIdx(src.Idx2Col(i));
    const int w = std::min({src.GetWidth(), out.GetWidth() - left, maxWidth});
    for (int y = 0; y < src.GetHeight() && y < out.GetHeight(); ++y) {
        const uint8_t* from = src.Row(y);
        uint8_t* to = out.Row(y) + left;
        for (int x = 0; x < w; ++x)
            to[x] = map[from[x]];
    }
}
} // namespace

void ComposeWindow(const TDIB& planisphere, const TDIB& atlas, TDIB& out) {
    out.AddPalette(&planisphere);
    out.AddPalette(&atlas);
    out.AddColor(RGB(0, 0, 0));
    out.Create(kAtlasPanelLeft + atlas.GetWidth(),
               std::max(planisphere.GetHeight(), atlas.GetHeight()));
    out.FillIdx(out.NearestIdx(RGB(0, 0, 0)));
    Blit(planisphere, out, 0, kPlanispherePanelWidth);
    Blit(atlas, out, kAtlasPanelLeft, atlas.GetWidth());
}
