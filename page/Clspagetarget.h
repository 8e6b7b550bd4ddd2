// TPageTarget: a chart's drawing operations as vectors on a cairo page. Lines
// stay strokes, stars filled discs, labels real text. The print look turns
// the screen's colours into ink on paper: the black sky is the white paper,
// marks and labels dark, the Milky Way light grey, the grid dashed.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "render/Clsdrawtarget.h"

class TPageTarget : public TDrawTarget {
public:
    // Draws on `cr` in the chart's pixels (the caller sets the transform).
    TPageTarget(cairo_t* cr, bool printLook);

    void Line(int x0, int y0, int x1, int y1, const TPen& pen) override;
    void Rectangle(int left, int top, int right, int bottom, const TPen& pen,
                   const TBrush& brush) override;
    void Ellipse(int left, int top, int right, int bottom, const TPen& pen,
                 const TBrush& brush) override;
    void Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye,
             const TPen& pen) override;
    void Polygons(const std::vector<std::vector<TPoint>>& pieces, const TPen& pen,
                  const TBrush& brush) override;
    void Pixel(int x, int y, unsigned long colour) override;
    void Text(int x, int y, const std::string& text, const TFontDesc& font, int ascent, int width,
              unsigned long colour, bool opaque, unsigned long background) override;
    void Star(double x, double y, double diameter, unsigned long colour) override;
    void Symbol(int kind, double x, double y, unsigned long colour) override;
    void ClipEllipse(int left, int top, int right, int bottom) override;
    void EndClip() override;
    // Ends every clip still open (before the page goes on past the chart).
    void EndClips();

    // How a colour is put on paper: its ink, and for lines a dash pattern.
    struct TInk {
        double r, g, b;
        int Dash = 0; // 0 solid, 1 dashed, 2 dotted
    };
    static TInk Ink(unsigned long colour, bool print);
    // The cairo face of a raster face ("Arial", "Symbol", ...).
    static const char* Face(const std::string& face);

    // A word as an SVG page keeps it: cairo's SVG writer draws text as glyph
    // outlines, so the page writer collects the words instead and writes them
    // as <text>. Places and sizes in points on the page; the clip a box.
    struct TWord {
        double X = 0, Y = 0, Size = 0; // baseline start
        std::string Family;
        bool Bold = false, Italic = false;
        double R = 0, G = 0, B = 0;
        double ClipX0 = 0, ClipY0 = 0, ClipX1 = 0, ClipY1 = 0;
        std::string Text;
    };
    // Words shown on `cr` go to `words` from now on (null: drawn again).
    static void CollectWords(cairo_t* cr, std::vector<TWord>* words);
    // Text at (x, y) in the current font and colour, drawn or collected.
    static void ShowText(cairo_t* cr, double x, double y, const std::string& text);
    // The collected words as SVG elements.
    static std::string SvgWords(const std::vector<TWord>& words);

private:
    void Source(unsigned long colour);
    void StrokeWith(const TPen& pen);
    void FillAndStroke(const TPen& pen, const TBrush& brush);
    void EllipsePath(double left, double top, double right, double bottom);
    cairo_t* Cr;
    bool Print;
    int Clips = 0;
};
