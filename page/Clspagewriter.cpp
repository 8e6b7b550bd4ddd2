#include "page/Clspagewriter.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "page/Clspagetarget.h"
#include "render/Clsdrawtarget.h"
#include "render/Clsfilewrite.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMargin = 28;    // points, all round
constexpr double kTitleRow = 14;  // the title line
constexpr double kLegendRow = 74; // the legend under the chart
constexpr double kBorder = 14;    // room for the border labels
constexpr double kFont = 7.5;     // legend and border labels, points

struct TStream {
    int Fd = -1;
    int Err = 0;
    std::string* Held = nullptr; // kept here instead of written, when set
};

cairo_status_t WriteBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* s = static_cast<TStream*>(closure);
    if (s->Held) {
        s->Held->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    }
    while (length > 0) {
        const ssize_t n = ::write(s->Fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            s->Err = n < 0 ? errno : ENOSPC;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        data += n;
        length -= static_cast<unsigned int>(n);
    }
    return CAIRO_STATUS_SUCCESS;
}

// Where the chart goes on the page (points), inside the border labels.
void ChartArea(const TPaper& paper, bool round, double& left, double& top, double& width,
               double& height) {
    double pw = 0, ph = 0;
    paper.Size(pw, ph);
    const double border = round ? 0 : kBorder;
    left = kMargin + border;
    top = kMargin + kTitleRow + border;
    width = pw - 2 * left;
    height = ph - top - border - kLegendRow - kMargin;
}

void Font(cairo_t* cr, double size, bool bold = false) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& t) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, t.c_str(), &e);
    return e.x_advance;
}

void Show(cairo_t* cr, double x, double y, const std::string& t) {
    TPageTarget::ShowText(cr, x, y, t);
}

std::string RaText(double ra) {
    long m = std::lround(ra / (2 * kPi) * 24 * 60);
    m = ((m % 1440) + 1440) % 1440;
    char b[24];
    if (m % 60 == 0)
        std::snprintf(b, sizeof b, "%ldh", m / 60);
    else
        std::snprintf(b, sizeof b, "%ldh%02ldm", m / 60, m % 60);
    return b;
}

std::string DecText(double dec) {
    const long m = std::lround(std::fabs(dec) * 180 / kPi * 60);
    const char* sign = dec < 0 && m > 0 ? "\u2212" : "+";
    char b[32];
    if (m % 60 == 0)
        std::snprintf(b, sizeof b, "%s%ld\u00b0", sign, m / 60);
    else
        std::snprintf(b, sizeof b, "%s%ld\u00b0%02ld'", sign, m / 60, m % 60);
    return b;
}

// The grid's main lines where they leave the chart, labelled outside its
// frame: right ascensions along the top and bottom, declinations along the
// sides. k is points per chart pixel; (x0, y0) the chart's corner.
void BorderLabels(cairo_t* cr, const TPageContent& c, double x0, double y0, double k) {
    if (!c.Sky || !(c.RaStep > 0) || !(c.DecStep > 0)) return;
    Font(cr, kFont);
    cairo_set_source_rgb(cr, 0, 0, 0);
    const int w = c.Width, h = c.Height;
    auto walk = [&](bool horizontal, double fixed, bool ra, bool before) {
        const int n = horizontal ? w : h;
        double last = -1e9; // where the last label was put, points along the edge
        bool have = false;
        double prev = 0;
        for (int i = 0; i <= n; ++i) {
            const double px = horizontal ? i : fixed, py = horizontal ? fixed : i;
            double r, d;
            if (!c.Sky(px, py, r, d)) {
                have = false;
                continue;
            }
            const double v = ra ? r : d, step = ra ? c.RaStep : c.DecStep;
            if (have) {
                double a = prev, b = v;
                // Right ascension through 0h.
                if (ra && std::fabs(b - a) > kPi) (b < a ? b : a) += 2 * kPi;
                const double ka = std::floor(a / step), kb = std::floor(b / step);
                if (ka != kb && std::fabs(kb - ka) < 2) {
                    const double line = std::max(ka, kb) * step;
                    const std::string t = ra ? RaText(line) : DecText(line);
                    const double along = (horizontal ? x0 : y0) + i * k;
                    const double tw = TextWidth(cr, t);
                    if (along - last > tw + 6) {
                        last = along;
                        if (horizontal)
                            Show(cr, along - tw / 2,
                                 before ? y0 - 4 : y0 + h * k + kFont + 2, t);
                        else
                            Show(cr, before ? x0 - tw - 3 : x0 + w * k + 3, along + kFont / 3, t);
                    }
                }
            }
            prev = v;
            have = true;
        }
    };
    walk(true, 0, true, true);
    walk(true, h - 0.01, true, false);
    walk(false, 0, false, true);
    walk(false, w - 0.01, false, false);
}

// The legend in the strip under the chart.
void Legend(cairo_t* cr, TPageTarget& target, const TPageContent& c, double left, double top,
            double width, double k) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    double x = left;
    // Where and when.
    Font(cr, kFont);
    double colW = 0;
    for (size_t i = 0; i < c.Lines.size(); ++i) {
        Show(cr, x, top + kFont + 1 + i * (kFont + 3), c.Lines[i]);
        colW = std::max(colW, TextWidth(cr, c.Lines[i]));
    }
    if (c.HaveLimit) {
        char b[64];
        std::snprintf(b, sizeof b, "Limiting magnitude %.1f", c.Limit / 100.0);
        Show(cr, x, top + kFont + 1 + c.Lines.size() * (kFont + 3), b);
        colW = std::max(colW, TextWidth(cr, b));
    }
    x += colW + 18;

    // Scale bar: the longest round number of degrees up to 90 points.
    if (c.PixelsPerDegree > 0) {
        const double perDeg = c.PixelsPerDegree * k;
        double deg = 0;
        for (double d : {0.1, 0.25, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 30.0, 45.0})
            if (d * perDeg <= 90) deg = d;
        if (deg > 0) {
            Show(cr, x, top + kFont + 1, "Scale");
            const double y = top + 2 * kFont + 8, len = deg * perDeg;
            cairo_set_line_width(cr, 0.8);
            cairo_move_to(cr, x, y - 3);
            cairo_line_to(cr, x, y);
            cairo_line_to(cr, x + len, y);
            cairo_line_to(cr, x + len, y - 3);
            cairo_stroke(cr);
            char b[32];
            std::snprintf(b, sizeof b, deg < 1 ? "%.0f'" : "%g\u00b0", deg < 1 ? deg * 60 : deg);
            Show(cr, x + len / 2 - TextWidth(cr, b) / 2, y + kFont + 3, b);
            x += std::max(len, TextWidth(cr, "Scale")) + 18;
        }
    }

    // The magnitude key: whole magnitudes over the chart's range, drawn with
    // the chart's own discs.
    if (c.HaveLimit) {
        Show(cr, x, top + kFont + 1, "Magnitude");
        const int faint = static_cast<int>(std::floor(c.Limit / 100.0));
        const int step = faint > 7 ? 2 : 1;
        const int bright = faint - step * ((faint + 1) / step);
        const double y = top + 2 * kFont + 12;
        double cx = x + 5;
        for (int m = bright; m <= faint; m += step) {
            const double d = StarDiscDiameter(m * 100, c.Limit);
            cairo_save(cr);
            cairo_translate(cr, cx, y);
            cairo_scale(cr, k, k);
            target.Star(0, 0, d, 0xFFFFFF);
            cairo_restore(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            const std::string t = std::to_string(m);
            Show(cr, cx - TextWidth(cr, t) / 2, y + 9 * k / 2 + kFont + 2, t);
            cx += std::max(9 * k, 12.0) + 3;
        }
        x = std::max(cx, x + TextWidth(cr, "Magnitude")) + 14;
    }

    // The deep-sky symbols on the chart.
    if (!c.Symbols.empty()) {
        Show(cr, x, top + kFont + 1, "Deep-sky objects");
        double y = top + 2 * kFont + 8;
        double cx = x;
        for (int s : c.Symbols) {
            cairo_save(cr);
            cairo_translate(cr, cx + 5, y - kFont / 3);
            cairo_scale(cr, k, k);
            target.Symbol(s, 0, 0, 0xFFFFFF);
            cairo_restore(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            Show(cr, cx + 14, y, SymbolName(s));
            y += kFont + 5;
            if (y > top + kLegendRow - 8) {
                y = top + 2 * kFont + 8;
                cx += 90;
            }
        }
    }
    (void)width;
}

void DrawPage(cairo_t* cr, const TPaper& paper, const TPageContent& c, double pw) {
    double left, top, aw, ah;
    ChartArea(paper, c.Round, left, top, aw, ah);
    const double k = std::min(aw / c.Width, ah / c.Height); // points per chart pixel
    const double x0 = left + (aw - c.Width * k) / 2, y0 = top;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    // The title line, narrowed to the page rather than cut.
    cairo_set_source_rgb(cr, 0, 0, 0);
    Font(cr, 9);
    const double tw = TextWidth(cr, c.Title);
    if (tw > pw - 2 * kMargin) Font(cr, 9 * (pw - 2 * kMargin) / tw);
    Show(cr, kMargin, kMargin + 9, c.Title);

    TPageTarget target(cr, c.Print);
    cairo_save(cr);
    cairo_translate(cr, x0, y0);
    cairo_scale(cr, k, k);
    cairo_rectangle(cr, 0, 0, c.Width, c.Height);
    cairo_clip(cr);
    c.Draw(target);
    target.EndClips();
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 0.6);
    cairo_set_dash(cr, nullptr, 0, 0);
    if (c.Round) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, x0 + c.Width * k / 2, y0 + c.Height * k / 2, c.Width * k / 2, 0,
                  2 * kPi);
    } else {
        cairo_rectangle(cr, x0, y0, c.Width * k, c.Height * k);
    }
    cairo_stroke(cr);
    BorderLabels(cr, c, x0, y0, k);
    const double legendTop = y0 + c.Height * k + (c.Round ? 0 : kBorder) + 6;
    Legend(cr, target, c, kMargin, legendTop, pw - 2 * kMargin, k);
}

} // namespace

bool TPaper::Known(const std::string& name) {
    return name == "a4" || name == "letter" || name == "a3";
}

bool TPaper::Size(double& widthPt, double& heightPt) const {
    // ISO 216 A4 210 x 297 mm, A3 297 x 420 mm; Letter 8.5 x 11 inches.
    double w, h;
    if (Name == "a4") {
        w = 210 / 25.4 * 72;
        h = 297 / 25.4 * 72;
    } else if (Name == "a3") {
        w = 297 / 25.4 * 72;
        h = 420 / 25.4 * 72;
    } else if (Name == "letter") {
        w = 612;
        h = 792;
    } else {
        return false;
    }
    widthPt = Landscape ? h : w;
    heightPt = Landscape ? w : h;
    return true;
}

void PageChartPixels(const TPaper& paper, bool round, int& width, int& height) {
    double l, t, w, h;
    ChartArea(paper, round, l, t, w, h);
    width = static_cast<int>(w / 72 * kPagePpi);
    height = static_cast<int>(h / 72 * kPagePpi);
    if (round) width = height = std::min(width, height);
}

const char* SymbolName(int kind) {
    static const char* const names[6] = {"Galaxy",         "Bright nebula",    "Planetary nebula",
                                         "Open cluster",   "Globular cluster", "Other"};
    return kind >= 0 && kind < 6 ? names[kind] : "Other";
}

bool WritePage(const std::string& path, TPageFormat format, const TPaper& paper,
               const std::vector<TPageContent>& pages, std::string& error) {
    double pw, ph;
    if (!paper.Size(pw, ph)) {
        error = "unknown paper " + paper.Name + " (a4, letter or a3)";
        return false;
    }
    if (pages.empty()) {
        error = "no page to write";
        return false;
    }
    for (const TPageContent& c : pages)
        if (c.Width <= 0 || c.Height <= 0 || !c.Draw) {
            error = "the chart is empty";
            return false;
        }
    return WriteWhole(
        path,
        [&](int fd, std::string& why) {
            // An SVG page is held until its words are put in as text.
            const bool svg = format == TPageFormat::Svg;
            std::string held;
            std::vector<TPageTarget::TWord> words;
            TStream stream{fd, 0, svg ? &held : nullptr};
            cairo_surface_t* surface =
                format == TPageFormat::Svg
                    ? cairo_svg_surface_create_for_stream(WriteBytes, &stream, pw, ph)
                    : cairo_pdf_surface_create_for_stream(WriteBytes, &stream, pw, ph);
            if (format == TPageFormat::Pdf) {
                cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE,
                                               pages[0].Title.c_str());
                cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "Quenlira");
            }
            cairo_t* cr = cairo_create(surface);
            if (svg) TPageTarget::CollectWords(cr, &words);
            const size_t count = format == TPageFormat::Svg ? 1 : pages.size();
            for (size_t n = 0; n < count; ++n) {
                if (n > 0) cairo_show_page(cr);
                DrawPage(cr, paper, pages[n], pw);
            }
            cairo_destroy(cr);
            cairo_surface_finish(surface);
            const cairo_status_t st = cairo_surface_status(surface);
            cairo_surface_destroy(surface);
            if (st == CAIRO_STATUS_SUCCESS && svg) {
                const size_t end = held.rfind("</svg>");
                if (end != std::string::npos) held.insert(end, TPageTarget::SvgWords(words));
                stream.Held = nullptr;
                if (WriteBytes(&stream, reinterpret_cast<const unsigned char*>(held.data()),
                               static_cast<unsigned int>(held.size())) != CAIRO_STATUS_SUCCESS) {
                    why = "cannot write " + path + ": " + std::strerror(stream.Err);
                    return false;
                }
            }
            if (st != CAIRO_STATUS_SUCCESS) {
                why = "cannot write " + path + ": " +
                      (stream.Err ? std::strerror(stream.Err) : cairo_status_to_string(st));
                return false;
            }
            return true;
        },
        error);
}
