// TPalette: merges the colour tables of several rasters into one logical
// palette, so that all charts keep their true colours on a 256-colour screen.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "render/Clsdib.h"

struct PALETTEENTRY {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};

struct TLogPalette {
    uint16_t palVersion = 0x300;
    std::vector<PALETTEENTRY> palPalEntry;
};

class TPalette {
public:
    static constexpr uint8_t PC_NOCOLLAPSE = 0x04;

    TPalette();
    void AddColorTable(const RGBQUAD* table);
    int GetCount() const { return Count; }
    // The logical palette made by the last AddColorTable (null before it).
    const TLogPalette* GetPalette() const { return Palette.get(); }

    int Count = 0;
    uint8_t Red[256];
    uint8_t Green[256];
    uint8_t Blue[256];

private:
    std::unique_ptr<TLogPalette> Palette;
};
