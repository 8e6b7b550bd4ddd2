#include "render/Clsdraw.h"

#include "render/Clsfont.h"

void TDraw::DrawStart(TSurface* surface, int style, int width, unsigned long penColour,
                      unsigned long brushColour) {
    if (!surface) return;
    NewPen = TPen{style, width, penColour};
    NewBrush = TBrush{false, brushColour};
    OldPen = surface->SelectPen(NewPen);
    OldBrush = surface->SelectBrush(NewBrush);
    OldBkMode = surface->SetBkMode(TSurface::TRANSPARENT);
    PenActive = true;
}

void TDraw::DrawEnd(TSurface* surface) {
    if (!surface || !PenActive) return;
    surface->SelectBrush(OldBrush);
    surface->SelectPen(OldPen);
    PenActive = false;
}

void TDraw::TextStart(TSurface* surface, const std::string& face, int points, int weight,
                      int style) {
    if (!surface) return;
    TFontDesc desc;
    desc.Face = face;
    desc.Height = FontHeight(points, surface->LogPixelsY());
    desc.Weight = (weight >= 0 && weight <= 9) ? weight * 100 : 0;
    desc.Italic = style & 1;
    desc.Underline = style & 2;
    desc.StrikeOut = style & 4;
    desc.CharSet = CharSet;
    NewFont = TFont::Make(desc);
    OldFont = surface->SelectFont(NewFont);
    FontActive = true;
}

void TDraw::TextEnd(TSurface* surface) {
    if (!surface || !FontActive) return;
    surface->SelectFont(OldFont);
    NewFont.reset();
    OldFont.reset();
    FontActive = false;
}
