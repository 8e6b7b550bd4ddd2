#include "tools/chart/Chartpage.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "astro/Clsmjd.h"
#include "render/Clsdib.h"
#include "render/Clsfilewrite.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartwindow.h"

namespace {

constexpr double kMargin = 36;     // points: half an inch all round
constexpr double kTitleSize = 10;  // points
constexpr double kTitleGap = 8;    // points between the title's baseline and the chart
constexpr double kPi = 3.14159265358979323846;

struct TStream {
    int Fd = -1;
    int Err = 0;
};

cairo_status_t WriteBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* s = static_cast<TStream*>(closure);
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

std::string Format(const char* f, double a) {
    char buf[96];
    std::snprintf(buf, sizeof buf, f, a);
    return buf;
}

} // namespace

void TChartPage::Size(double& widthPt, double& heightPt) const {
    // ISO 216 A4 is 210 x 297 mm; Letter 8.5 x 11 inches.
    double w = 210 / 25.4 * 72, h = 297 / 25.4 * 72;
    if (Paper == "letter") {
        w = 612;
        h = 792;
    }
    widthPt = Landscape ? h : w;
    heightPt = Landscape ? w : h;
}

void TChartPage::ChartArea(double& left, double& top, double& width, double& height) const {
    double w, h;
    Size(w, h);
    left = kMargin;
    top = kMargin + kTitleSize + kTitleGap;
    width = w - 2 * kMargin;
    height = h - top - kMargin;
}

TChartPage PageFor(const TChartOptions& o, int chartWidth, int chartHeight) {
    TChartPage p;
    p.Paper = o.Paper;
    p.Landscape = o.Orientation.empty() ? chartWidth > chartHeight : o.Orientation == "landscape";
    p.PrintColours = o.PrintColours;
    return p;
}

void PagePixels(const TChartOptions& o, int& width, int& height) {
    TChartPage p;
    p.Paper = o.Paper;
    p.Landscape = o.Orientation.empty() ? o.Chart == "window" : o.Orientation == "landscape";
    double l, t, w, h;
    p.ChartArea(l, t, w, h);
    // Rounded up, so that the chart is never printed coarser than kPageDrawPpi.
    width = static_cast<int>(std::ceil(w / 72 * kPageDrawPpi));
    height = static_cast<int>(std::ceil(h / 72 * kPageDrawPpi));
    if (o.Chart == "planisphere") width = height = std::min(width, height);
    // The window's planisphere panel keeps its width; the atlas takes the rest.
    if (o.Chart == "window") width -= kAtlasPanelLeft;
}

std::string PageTitle(const TChartOptions& o, double mjd, double printedPpi) {
    std::string t = o.SiteName.empty() ? "" : o.SiteName + " ";
    t += Format("%.2f\u00b0", std::fabs(o.LonDeg)) + (o.LonDeg < 0 ? "W " : "E ");
    t += Format("%.2f\u00b0", std::fabs(o.LatDeg)) + (o.LatDeg < 0 ? "S" : "N");
    const double zone = o.HaveZone ? o.ZoneHours : 0;
    int y, m;
    double d;
    TMjd::MJD2DATE(mjd, zone, 0, y, m, d);
    const int day = static_cast<int>(std::floor(d));
    const int minutes = std::min(1439, static_cast<int>(std::floor((d - day) * 1440 + 1e-6)));
    char when[96];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", y, m, day, minutes / 60,
                  minutes % 60);
    t += std::string("  \u00b7  ") + when;
    if (o.HaveZone)
        t += Format(" local time (UTC%+g)", zone);
    else
        t += " UTC";
    t += "  \u00b7  centre " + ChartCentreText(o);
    const double mmPerPixel = 25.4 / printedPpi;
    if (o.Chart == "planisphere") {
        // The horizon circle is the chart's width and spans 180 degrees.
        t += Format("  \u00b7  whole sky, 180\u00b0 = %.0f mm", o.Width * mmPerPixel);
    } else {
        t += Format("  \u00b7  scale %.0f", o.Scale) +
             Format(", 1\u00b0 = %.1f mm", o.Scale * kPi / 180 * mmPerPixel);
    }
    return t;
}

unsigned long PrintColour(unsigned long rgb) {
    const int v = std::max({GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)});
    if (v == 0) return RGB(255, 255, 255);
    // Dim fills (the Milky Way, faint shading) become light greys; everything
    // brighter darkens with its brightness, the brightest marks black.
    const int g = v < 64 ? 255 - v : (255 - v) * 3 / 4;
    return RGB(g, g, g);
}

bool WriteChartPdf(const TDIB& dib, const TChartPage& page, const std::string& path,
                   std::string& error) {
    const int w = dib.GetWidth(), h = dib.GetHeight();
    if (w <= 0 || h <= 0) {
        error = "the raster is empty";
        return false;
    }
    double pw, ph, left, top, aw, ah;
    page.Size(pw, ph);
    page.ChartArea(left, top, aw, ah);
    const double fit = std::min(aw / w, ah / h); // points per chart pixel
    const double drawW = w * fit, drawH = h * fit;
    // Whole dots per pixel so that the page image is at least kPageMinDpi.
    const double ppi = 72 / fit;
    const int k = std::max(1, static_cast<int>(std::ceil(kPageMinDpi / ppi - 0.01)));

    uint32_t colours[256];
    const RGBQUAD* tbl = dib.GetColTbl();
    for (int i = 0; i < 256; ++i) {
        unsigned long c = RGB(tbl[i].rgbRed, tbl[i].rgbGreen, tbl[i].rgbBlue);
        if (page.PrintColours) c = PrintColour(c);
        colours[i] = 0xff000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) |
                     (static_cast<uint32_t>(GetGValue(c)) << 8) | static_cast<uint32_t>(GetBValue(c));
    }
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w * k, h * k);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        error = "out of memory for the page's picture";
        return false;
    }
    cairo_surface_flush(image);
    unsigned char* bits = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < h * k; ++y) {
        const uint8_t* from = dib.Row(y / k);
        auto* to = reinterpret_cast<uint32_t*>(bits + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < w * k; ++x)
            to[x] = colours[from[x / k]];
    }
    cairo_surface_mark_dirty(image);

    const bool ok = WriteWhole(
        path,
        [&](int fd, std::string& why) {
            TStream stream{fd, 0};
            cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(WriteBytes, &stream, pw, ph);
            cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_TITLE, page.Title.c_str());
            cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_CREATOR, "quenlira-chart");
            cairo_t* cr = cairo_create(pdf);
            // The paper is white; the chart brings its own background.
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                                   CAIRO_FONT_WEIGHT_NORMAL);
            // A long title is narrowed to the line rather than cut.
            double size = kTitleSize;
            cairo_set_font_size(cr, size);
            cairo_text_extents_t ext;
            cairo_text_extents(cr, page.Title.c_str(), &ext);
            if (ext.x_advance > pw - 2 * kMargin) {
                size *= (pw - 2 * kMargin) / ext.x_advance;
                cairo_set_font_size(cr, size);
            }
            cairo_move_to(cr, kMargin, kMargin + kTitleSize);
            cairo_show_text(cr, page.Title.c_str());

            cairo_save(cr);
            cairo_translate(cr, left + (aw - drawW) / 2, top);
            cairo_scale(cr, fit / k, fit / k);
            cairo_set_source_surface(cr, image, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
            cairo_rectangle(cr, 0, 0, w * k, h * k);
            cairo_fill(cr);
            cairo_restore(cr);
            if (page.PrintColours) {
                // A thin frame, where the black background showed the edge.
                cairo_set_line_width(cr, 0.5);
                cairo_rectangle(cr, left + (aw - drawW) / 2, top, drawW, drawH);
                cairo_stroke(cr);
            }
            cairo_destroy(cr);
            cairo_surface_finish(pdf);
            const cairo_status_t st = cairo_surface_status(pdf);
            cairo_surface_destroy(pdf);
            if (st != CAIRO_STATUS_SUCCESS) {
                why = "cannot write " + path + ": " +
                      (stream.Err ? std::strerror(stream.Err) : cairo_status_to_string(st));
                return false;
            }
            return true;
        },
        error);
    cairo_surface_destroy(image);
    return ok;
}
