// TDraw: makes the pen, brush and font for one drawing step and puts the
// previous ones back afterwards, so that renderers read step by step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "render/Clssurface.h"

class TFont;

class TDraw {
public:
    TDraw() = default;

    void DrawStart(TSurface* surface, int style, int width, unsigned long penColour,
                   unsigned long brushColour);
    void DrawEnd(TSurface* surface);
    void TextStart(TSurface* surface, const std::string& face, int points, int weight, int style);
    void TextEnd(TSurface* surface);
    uint8_t GetChar() const { return CharSet; }
    void SetChar(uint8_t charset) { CharSet = charset; }

    // Height in pixels of a font of `points` on a surface of `ppi` pixels per inch.
    static int FontHeight(int points, int ppi) { return points * ppi / 72; }

private:
    TPen NewPen, OldPen;
    TBrush NewBrush, OldBrush;
    bool PenActive = false;
    int OldBkMode = TSurface::OPAQUE;
    std::shared_ptr<TFont> NewFont, OldFont;
    bool FontActive = false;
    uint8_t CharSet = 128;
};
