#include "page/Clspagetarget.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "render/Clsdib.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
// Lines on paper are thinner than a screen pixel: 1 pixel of pen is this many.
constexpr double kPrintLine = 0.6;
// The raster's "Symbol" face draws Latin letters as Greek ones (the Bayer
// letters): on a page they become the Greek letters themselves, so that
// they can be searched.
std::string Greek(const std::string& text) {
    static const char* const lower[26] = {
        "\u03b1", "\u03b2", "\u03c7", "\u03b4", "\u03b5", "\u03c6", "\u03b3",
        "\u03b7", "\u03b9", "\u03d5", "\u03ba", "\u03bb", "\u03bc", "\u03bd",
        "\u03bf", "\u03c0", "\u03b8", "\u03c1", "\u03c3", "\u03c4", "\u03c5",
        "\u03d6", "\u03c9", "\u03be", "\u03c8", "\u03b6"};
    std::string out;
    for (const char ch : text) {
        if (ch >= 'a' && ch <= 'z')
            out += lower[ch - 'a'];
        else
            out += ch;
    }
    return out;
}
} // namespace

TPageTarget::TPageTarget(cairo_t* cr, bool printLook) : Cr(cr), Print(printLook) {
    cairo_set_line_cap(Cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(Cr, CAIRO_LINE_JOIN_ROUND);
}

TPageTarget::TInk TPageTarget::Ink(unsigned long colour, bool print) {
    auto grey = [](double v, int dash = 0) { return TInk{v, v, v, dash}; };
    if (!print) return {GetRValue(colour) / 255.0, GetGValue(colour) / 255.0,
                        GetBValue(colour) / 255.0, 0};
    switch (colour) {
    case RGB(0, 0, 0):
        return grey(1.0);
    case RGB(24, 8, 40):  // the atlas's Milky Way
    case RGB(16, 53, 53): // the planisphere's
        return grey(0.86);
    case RGB(48, 0, 40): // deep-sky outlines
        return grey(0.78);
    case RGB(64, 34, 34): // minor grid lines
        return grey(0.6, 2);
    case RGB(96, 51, 51): // main grid lines
        return grey(0.5, 1);
    case RGB(128, 34, 34): // grid labels
        return grey(0.35);
    case RGB(112, 16, 16):   // the equator
    case RGB(112, 112, 16):  // the ecliptic
        return grey(0.35, 1);
    case RGB(48, 48, 128): // constellation figures
    case RGB(0, 0, 255):
        return grey(0.45);
    case RGB(0, 112, 0): // the constellation names' box
        return grey(1.0);
    case RGB(0, 204, 0): // the constellation names
    case RGB(136, 136, 136):
        return grey(0.25);
    default:
        break;
    }
    // Everything brighter darkens with its brightness, the brightest marks black.
    const int v = std::max({GetRValue(colour), GetGValue(colour), GetBValue(colour)});
    const int g = v < 64 ? 255 - v : (255 - v) * 3 / 4;
    return grey(g / 255.0);
}

const char* TPageTarget::Face(const std::string& face) {
    if (face == "Symbol") return "DejaVu Sans";
    if (face == "Times New Roman") return "Liberation Serif";
    if (face == "Arial" || face.empty()) return "Liberation Sans";
    return face.c_str();
}

void TPageTarget::Source(unsigned long colour) {
    const TInk ink = Ink(colour, Print);
    cairo_set_source_rgb(Cr, ink.r, ink.g, ink.b);
}

void TPageTarget::StrokeWith(const TPen& pen) {
    const TInk ink = Ink(pen.Colour, Print);
    cairo_set_source_rgb(Cr, ink.r, ink.g, ink.b);
    const double w = pen.Width * (Print ? kPrintLine : 1.0);
    cairo_set_line_width(Cr, w);
    int dash = ink.Dash;
    if (pen.Style == TSurface::PS_DOT) dash = 2;
    if (pen.Style == TSurface::PS_DASH || pen.Style == TSurface::PS_DASHDOT) dash = 1;
    if (dash == 1) {
        const double d[2] = {6.0, 3.0};
        cairo_set_dash(Cr, d, 2, 0);
    } else if (dash == 2) {
        const double d[2] = {1.0, 2.0};
        cairo_set_dash(Cr, d, 2, 0);
    } else {
        cairo_set_dash(Cr, nullptr, 0, 0);
    }
    cairo_stroke(Cr);
}

void TPageTarget::FillAndStroke(const TPen& pen, const TBrush& brush) {
    if (!brush.Null) {
        Source(brush.Colour);
        if (pen.Style == TSurface::PS_NULL)
            cairo_fill(Cr);
        else
            cairo_fill_preserve(Cr);
    }
    if (pen.Style != TSurface::PS_NULL)
        StrokeWith(pen);
    else
        cairo_new_path(Cr);
}

void TPageTarget::Line(int x0, int y0, int x1, int y1, const TPen& pen) {
    if (pen.Style == TSurface::PS_NULL) return;
    cairo_move_to(Cr, x0 + 0.5, y0 + 0.5);
    cairo_line_to(Cr, x1 + 0.5, y1 + 0.5);
    StrokeWith(pen);
}

void TPageTarget::Rectangle(int left, int top, int right, int bottom, const TPen& pen,
                            const TBrush& brush) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    cairo_rectangle(Cr, left, top, right - left, bottom - top);
    FillAndStroke(pen, brush);
}

void TPageTarget::EllipsePath(double left, double top, double right, double bottom) {
    const double rx = (right - left) / 2, ry = (bottom - top) / 2;
    if (rx <= 0 || ry <= 0) return;
    cairo_save(Cr);
    cairo_translate(Cr, (left + right) / 2, (top + bottom) / 2);
    cairo_scale(Cr, rx, ry);
    cairo_new_sub_path(Cr);
    cairo_arc(Cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(Cr);
}

void TPageTarget::Ellipse(int left, int top, int right, int bottom, const TPen& pen,
                          const TBrush& brush) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    EllipsePath(left, top, right, bottom);
    FillAndStroke(pen, brush);
}

void TPageTarget::Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye,
                      const TPen& pen) {
    if (pen.Style == TSurface::PS_NULL) return;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    if (rx <= 0 || ry <= 0) return;
    // Counter-clockwise on the screen is the negative direction in cairo's
    // y-down space.
    const double a0 = std::atan2(ys - cy, xs - cx), a1 = std::atan2(ye - cy, xe - cx);
    cairo_save(Cr);
    cairo_translate(Cr, cx, cy);
    cairo_scale(Cr, rx, ry);
    if ((xs == xe && ys == ye) || a0 == a1)
        cairo_arc(Cr, 0, 0, 1, 0, 2 * kPi);
    else
        cairo_arc_negative(Cr, 0, 0, 1, a0, a1);
    cairo_restore(Cr);
    StrokeWith(pen);
}

void TPageTarget::Polygons(const std::vector<std::vector<TPoint>>& pieces, const TPen& pen,
                           const TBrush& brush) {
    for (const auto& piece : pieces) {
        if (piece.empty()) continue;
        cairo_move_to(Cr, piece[0].x + 0.5, piece[0].y + 0.5);
        for (size_t i = 1; i < piece.size(); ++i)
            cairo_line_to(Cr, piece[i].x + 0.5, piece[i].y + 0.5);
        cairo_close_path(Cr);
    }
    cairo_set_fill_rule(Cr, CAIRO_FILL_RULE_EVEN_ODD);
    FillAndStroke(pen, brush);
}

void TPageTarget::Pixel(int x, int y, unsigned long colour) {
    Source(colour);
    cairo_rectangle(Cr, x, y, 1, 1);
    cairo_fill(Cr);
}

void TPageTarget::Text(int x, int y, const std::string& text, const TFontDesc& font, int ascent,
                       int width, unsigned long colour, bool opaque, unsigned long background) {
    if (text.empty()) return;
    cairo_select_font_face(Cr, Face(font.Face),
                           font.Italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.Weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(Cr, font.Height > 0 ? font.Height : 12);
    if (opaque) {
        Source(background);
        cairo_font_extents_t fe;
        cairo_font_extents(Cr, &fe);
        cairo_rectangle(Cr, x, y, width, ascent + fe.descent);
        cairo_fill(Cr);
    }
    Source(colour);
    ShowText(Cr, x, y + ascent, font.Face == "Symbol" ? Greek(text) : text);
    cairo_new_path(Cr);
}

void TPageTarget::Star(double x, double y, double diameter, unsigned long colour) {
    // On paper every star is black, its size alone telling its brightness.
    if (Print)
        cairo_set_source_rgb(Cr, 0, 0, 0);
    else
        Source(colour);
    cairo_new_sub_path(Cr);
    cairo_arc(Cr, x, y, diameter / 2, 0, 2 * kPi);
    cairo_fill(Cr);
    if (Print && diameter > 2.5) {
        // A white rim parts touching discs, as printed atlases do.
        cairo_set_source_rgb(Cr, 1, 1, 1);
        cairo_set_line_width(Cr, 0.5);
        cairo_arc(Cr, x, y, diameter / 2 + 0.25, 0, 2 * kPi);
        cairo_stroke(Cr);
    }
}

void TPageTarget::Symbol(int kind, double x, double y, unsigned long colour) {
    // The atlas's six symbols, as the raster's 9-pixel pictures show them:
    // 0 galaxy (flat ellipse), 1 bright nebula (square), 2 planetary nebula
    // (circle with rays), 3 open cluster (dotted circle), 4 globular cluster
    // (circle with cross), 5 other (circle).
    const TInk ink = Ink(colour, Print);
    const TInk dark = Print ? TInk{0.2, 0.2, 0.2, 0} : ink;
    cairo_set_source_rgb(Cr, dark.r, dark.g, dark.b);
    cairo_set_line_width(Cr, Print ? 0.8 : 1.0);
    cairo_set_dash(Cr, nullptr, 0, 0);
    const double r = 4.0;
    switch (kind) {
    case 0:
        EllipsePath(x - r - 0.5, y - r / 2.2, x + r + 0.5, y + r / 2.2);
        break;
    case 1:
        cairo_rectangle(Cr, x - r, y - r, 2 * r, 2 * r);
        break;
    case 4:
        cairo_new_sub_path(Cr);
        cairo_arc(Cr, x, y, r, 0, 2 * kPi);
        cairo_move_to(Cr, x - r, y);
        cairo_line_to(Cr, x + r, y);
        cairo_move_to(Cr, x, y - r);
        cairo_line_to(Cr, x, y + r);
        break;
    case 3: {
        const double d[2] = {1.5, 1.5};
        cairo_set_dash(Cr, d, 2, 0);
        cairo_new_sub_path(Cr);
        cairo_arc(Cr, x, y, r, 0, 2 * kPi);
        break;
    }
    case 2:
        cairo_new_sub_path(Cr);
        cairo_arc(Cr, x, y, r * 0.55, 0, 2 * kPi);
        for (int k = 0; k < 4; ++k) {
            const double a = k * kPi / 2;
            cairo_move_to(Cr, x + std::cos(a) * r * 0.55, y + std::sin(a) * r * 0.55);
            cairo_line_to(Cr, x + std::cos(a) * r * 1.1, y + std::sin(a) * r * 1.1);
        }
        break;
    default:
        cairo_new_sub_path(Cr);
        cairo_arc(Cr, x, y, r, 0, 2 * kPi);
        break;
    }
    cairo_stroke(Cr);
    cairo_set_dash(Cr, nullptr, 0, 0);
}

void TPageTarget::ClipEllipse(int left, int top, int right, int bottom) {
    cairo_save(Cr);
    ++Clips;
    EllipsePath(left, top, right, bottom);
    cairo_clip(Cr);
}

void TPageTarget::EndClip() {
    if (Clips == 0) return;
    cairo_restore(Cr);
    --Clips;
}

void TPageTarget::EndClips() {
    while (Clips > 0)
        EndClip();
}

namespace {
const cairo_user_data_key_t kWordsKey{};

std::string Escaped(const std::string& t) {
    std::string out;
    for (const char ch : t) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters have no place in XML 1.0.
            if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t') out += ch;
        }
    }
    return out;
}

std::string Number(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", v);
    return b;
}
} // namespace

void TPageTarget::CollectWords(cairo_t* cr, std::vector<TWord>* words) {
    cairo_set_user_data(cr, &kWordsKey, words, nullptr);
}

void TPageTarget::ShowText(cairo_t* cr, double x, double y, const std::string& text) {
    auto* words = static_cast<std::vector<TWord>*>(cairo_get_user_data(cr, &kWordsKey));
    if (!words) {
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, text.c_str());
        return;
    }
    TWord w;
    w.Text = text;
    w.X = x;
    w.Y = y;
    cairo_user_to_device(cr, &w.X, &w.Y);
    // Pages are drawn unrotated: the font's height times the drawing's scale.
    cairo_matrix_t font, ctm;
    cairo_get_font_matrix(cr, &font);
    cairo_get_matrix(cr, &ctm);
    w.Size = font.yy * ctm.yy;
    cairo_font_face_t* face = cairo_get_font_face(cr);
    if (cairo_font_face_get_type(face) == CAIRO_FONT_TYPE_TOY) {
        w.Family = cairo_toy_font_face_get_family(face);
        w.Bold = cairo_toy_font_face_get_weight(face) == CAIRO_FONT_WEIGHT_BOLD;
        w.Italic = cairo_toy_font_face_get_slant(face) != CAIRO_FONT_SLANT_NORMAL;
    }
    double a = 1;
    if (cairo_pattern_get_rgba(cairo_get_source(cr), &w.R, &w.G, &w.B, &a) != CAIRO_STATUS_SUCCESS)
        w.R = w.G = w.B = 0;
    cairo_clip_extents(cr, &w.ClipX0, &w.ClipY0, &w.ClipX1, &w.ClipY1);
    cairo_user_to_device(cr, &w.ClipX0, &w.ClipY0);
    cairo_user_to_device(cr, &w.ClipX1, &w.ClipY1);
    words->push_back(w);
}

std::string TPageTarget::SvgWords(const std::vector<TWord>& words) {
    // One clip path per box the words were drawn in (the chart's frame).
    std::map<std::tuple<double, double, double, double>, int> clips;
    std::string defs, body;
    int group = -1;
    for (const TWord& w : words) {
        const auto box = std::make_tuple(w.ClipX0, w.ClipY0, w.ClipX1, w.ClipY1);
        auto it = clips.find(box);
        if (it == clips.end()) {
            const int n = static_cast<int>(clips.size());
            it = clips.emplace(box, n).first;
            defs += "<clipPath id=\"words" + std::to_string(n) + "\"><rect x=\"" +
                    Number(w.ClipX0) + "\" y=\"" + Number(w.ClipY0) + "\" width=\"" +
                    Number(w.ClipX1 - w.ClipX0) + "\" height=\"" + Number(w.ClipY1 - w.ClipY0) +
                    "\"/></clipPath>\n";
        }
        if (it->second != group) {
            if (group >= 0) body += "</g>\n";
            group = it->second;
            body += "<g clip-path=\"url(#words" + std::to_string(group) + ")\">\n";
        }
        char colour[16];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", static_cast<int>(w.R * 255 + 0.5),
                      static_cast<int>(w.G * 255 + 0.5), static_cast<int>(w.B * 255 + 0.5));
        body += "<text x=\"" + Number(w.X) + "\" y=\"" + Number(w.Y) + "\" font-family=\"" +
                Escaped(w.Family) + "\" font-size=\"" + Number(w.Size) + "\"" +
                (w.Bold ? " font-weight=\"bold\"" : "") + (w.Italic ? " font-style=\"italic\"" : "") +
                " fill=\"" + colour + "\" xml:space=\"preserve\">" + Escaped(w.Text) + "</text>\n";
    }
    if (group >= 0) body += "</g>\n";
    return defs.empty() ? body : "<defs>\n" + defs + "</defs>\n" + body;
}
