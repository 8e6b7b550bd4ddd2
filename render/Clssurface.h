// TSurface: the drawing context bound to one TDIB. It keeps what the classic
// 2-D interface kept in its device context (pen, brush, font, text and
// background colours, background mode, current point) and draws straight
// into the raster's 8-bit pixels. Colours are 0x00BBGGRR and land as the
// nearest entry of the raster's colour table.
#pragma once

#include <climits>
#include <memory>
#include <string>
#include <vector>

class TDIB;
class TDrawTarget;
class TFont;
struct TDashTables;

struct TPoint {
    int x = 0;
    int y = 0;
};

struct TSize {
    int cx = 0;
    int cy = 0;
};

struct TPen {
    int Style = 0; // TSurface::PS_SOLID ...
    int Width = 1;
    unsigned long Colour = 0;
};

struct TBrush {
    bool Null = false;
    unsigned long Colour = 0xFFFFFF;
};

// A closed area made of polygon pieces, filled by the alternate rule.
struct TRegion {
    std::vector<std::vector<TPoint>> Pieces;
};

class TSurface {
public:
    static constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
                         PS_NULL = 5;
    static constexpr int TRANSPARENT = 1, OPAQUE = 2;

    explicit TSurface(TDIB& dib);
    // A second surface on the same raster, with the other's pen, brush,
    // font, colours, modes and current point, that paints only rows
    // top..bottom-1. Two of them on rows apart can draw at the same time.
    TSurface(const TSurface& other, int top, int bottom);
    ~TSurface();
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    TDIB& Dib() { return FDib; }
    // Operations go to `target` instead of the raster while it is set (null:
    // the raster). A surface with a target draws on one thread only.
    void SetTarget(TDrawTarget* target) { FTarget = target; }
    TDrawTarget* Target() const { return FTarget; }
    // Painting limited to rows top..bottom-1 (what falls outside is left
    // alone; lines and texts are placed as on the whole raster).
    void SetBand(int top, int bottom);

    // Selecting gives back what was selected before, as the classic calls do.
    TPen SelectPen(const TPen& pen);
    TBrush SelectBrush(const TBrush& brush);
    std::shared_ptr<TFont> SelectFont(std::shared_ptr<TFont> font);
    const TPen& GetPen() const { return FPen; }
    const TBrush& GetBrush() const { return FBrush; }
    std::shared_ptr<TFont> GetFont() const { return FFont; }

    int SetBkMode(int mode);
    int GetBkMode() const { return FBkMode; }
    unsigned long SetTextColor(unsigned long colour);
    unsigned long GetTextColor() const { return FTextColour; }
    unsigned long SetBkColor(unsigned long colour);
    unsigned long GetBkColor() const { return FBkColour; }
    int LogPixelsY() const { return 96; }

    void MoveTo(int x, int y);
    TPoint GetCurrentPosition() const { return FCur; }
    // From the current point to (x, y), the end pixel excluded; (x, y) becomes current.
    void LineTo(int x, int y);
    // Boxes exclude their right and bottom edges; pen outlines, brush fills.
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    // Counter-clockwise on the screen from the start point's direction to the
    // end point's; equal directions give the whole ellipse.
    void Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
    void Polygon(const TPoint* points, int count);
    // Several closed pieces filled together by the alternate rule.
    void PolyPolygon(const std::vector<std::vector<TPoint>>& pieces);
    void SetPixel(int x, int y, unsigned long colour);
    // The border of a region, `width` pixels wide at its sides and `height`
    // high at its top and bottom, inside the region.
    void FrameRgn(const TRegion& region, unsigned long colour, int width, int height);
    // Text with its top-left corner at (x, y), in the current font and text colour.
    void TextOut(int x, int y, const std::string& text);
    TSize GetTextExtent(const std::string& text);

private:
    struct Span {
        int y, x0, x1;
    };
    void Plot(int x, int y, unsigned char idx);
    void HLine(int x0, int x1, int y, unsigned char idx);
    void PenDot(int x, int y, unsigned char idx);
    void Stroke(int x0, int y0, int x1, int y1, bool lastPixel);
    // Lines with more steps than this are cut to the raster before stepping.
    static constexpr long long kLongLine = 1 << 16;
    void PenChanged();
    // The row past the last one painted.
    int Bottom() const;
    void EllipseRows(int left, int top, int right, int bottom, std::vector<Span>& rows) const;
    void FillEvenOdd(const std::vector<std::vector<TPoint>>& pieces, unsigned char idx);

    TDIB& FDib;
    TPen FPen;
    TBrush FBrush;
    std::shared_ptr<TFont> FFont;
    int FBkMode = OPAQUE;
    unsigned long FTextColour = 0;
    unsigned long FBkColour = 0xFFFFFF;
    TPoint FCur;
    int FDashPos = 0; // where in the dash pattern the pen is
    // Worked out when the pen or background colour is set, not for every line.
    unsigned char FPenIdx = 0;
    unsigned char FBkIdx = 0;
    unsigned char FTextIdx = 0;
    const TDashTables* FDashTables = nullptr; // the pen's dash pattern; null when solid
    int FTop = 0, FBottom = INT_MAX;          // the band painted, within the raster
    TDrawTarget* FTarget = nullptr;
};
