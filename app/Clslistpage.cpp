#include "app/Clslistpage.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <numeric>

namespace {

constexpr double kWidth = 595.276, kHeight = 841.89; // A4, points
constexpr double kMargin = 42;

// Text cut with an ellipsis to fit width.
std::string Fit(cairo_t* cr, const std::string& text, double width) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    if (e.x_advance <= width) return text;
    std::string t = text;
    while (!t.empty()) {
        t.pop_back();
        // Never leave half a UTF-8 sequence.
        while (!t.empty() && (static_cast<unsigned char>(t.back()) & 0xC0) == 0x80)
            t.pop_back();
        if (!t.empty() && (static_cast<unsigned char>(t.back()) & 0xC0) == 0xC0) t.pop_back();
        cairo_text_extents(cr, (t + "\xE2\x80\xA6").c_str(), &e);
        if (e.x_advance <= width) return t + "\xE2\x80\xA6";
    }
    return "";
}

} // namespace

bool TListPage::WritePdf(const std::string& path, const std::string& title,
                         const std::vector<std::string>& header, const std::vector<double>& widths,
                         const std::vector<std::vector<std::string>>& rows, std::string& error) {
    cairo_surface_t* s = cairo_pdf_surface_create(path.c_str(), kWidth, kHeight);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        error = "Cannot write " + path + ": " + cairo_status_to_string(cairo_surface_status(s));
        cairo_surface_destroy(s);
        return false;
    }
    cairo_t* cr = cairo_create(s);
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    std::vector<double> x;
    double at = kMargin;
    for (const double w : widths) {
        x.push_back(at);
        at += w / (total > 0 ? total : 1) * (kWidth - 2 * kMargin);
    }
    x.push_back(kWidth - kMargin);
    const int perPage = static_cast<int>((kHeight - 2 * kMargin - 40) / kRowHeight);
    const int pages = rows.empty() ? 1 : static_cast<int>((rows.size() + perPage - 1) / perPage);
    for (int page = 0; page < pages; ++page) {
        double y = kMargin + 14;
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 14);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, kMargin, y);
        std::string head = title;
        if (pages > 1) head += "  (" + std::to_string(page + 1) + "/" + std::to_string(pages) + ")";
        cairo_show_text(cr, head.c_str());
        y += 26;
        cairo_set_font_size(cr, 9);
        for (std::size_t c = 0; c < header.size() && c + 1 < x.size(); ++c) {
            cairo_move_to(cr, x[c] + 2, y);
            cairo_show_text(cr, Fit(cr, header[c], x[c + 1] - x[c] - 4).c_str());
        }
        cairo_set_line_width(cr, 0.8);
        cairo_move_to(cr, kMargin, y + 4);
        cairo_line_to(cr, kWidth - kMargin, y + 4);
        cairo_stroke(cr);
        cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_line_width(cr, 0.3);
        for (int i = page * perPage; i < static_cast<int>(rows.size()) && i < (page + 1) * perPage;
             ++i) {
            y += kRowHeight;
            const auto& row = rows[static_cast<std::size_t>(i)];
            for (std::size_t c = 0; c < row.size() && c + 1 < x.size(); ++c) {
                cairo_move_to(cr, x[c] + 2, y);
                cairo_show_text(cr, Fit(cr, row[c], x[c + 1] - x[c] - 4).c_str());
            }
            cairo_move_to(cr, kMargin, y + 4);
            cairo_line_to(cr, kWidth - kMargin, y + 4);
            cairo_stroke(cr);
        }
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(s);
    const cairo_status_t st = cairo_surface_status(s);
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) {
        error = "Cannot write " + path + ": " + cairo_status_to_string(st);
        return false;
    }
    return true;
}
