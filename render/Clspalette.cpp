#include "render/Clspalette.h"

#include <cstring>

TPalette::TPalette() {
    std::memset(Red, 0, sizeof Red);
    std::memset(Green, 0, sizeof Green);
    std::memset(Blue, 0, sizeof Blue);
}

void TPalette::AddColorTable(const RGBQUAD* table) {
    if (!table) return;
    for (int i = 0; i < 256 && Count < 256; ++i) {
        const RGBQUAD& q = table[i];
        bool present = false;
        for (int k = 0; k < Count && !present; ++k)
            present = Red[k] == q.rgbRed && Green[k] == q.rgbGreen && Blue[k] == q.rgbBlue;
        if (present) continue;
        Red[Count] = q.rgbRed;
        Green[Count] = q.rgbGreen;
        Blue[Count] = q.rgbBlue;
        ++Count;
    }
    auto pal = std::make_unique<TLogPalette>();
    pal->palPalEntry.resize(Count);
    for (int k = 0; k < Count; ++k)
        pal->palPalEntry[k] = PALETTEENTRY{Red[k], Green[k], Blue[k], PC_NOCOLLAPSE};
    Palette = std::move(pal);
}
