#include "site/Worldmap.h"

#include "astro/Clsdegree.h"
#include "site/Coastline.h"

#include <QPainter>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGreenwich = 87.0;
constexpr double kEquator = 815.0;
constexpr double kYScale = 716.32;
constexpr double kYInverse = 0.0013960241232968506; // 1 / 716.32 in log10 units

// A view row from a real value: cut toward zero and kept on the map; a site
// at a pole (or a value that is not a number) must not overflow the int.
int ClampRow(double y) {
    if (std::isnan(y)) return static_cast<int>(kEquator);
    return static_cast<int>(std::trunc(std::clamp(y, 0.0, double(TWorldMap::kMaxY))));
}

// A view column: cut toward zero, then wrapped once into 0..1953.
int WrapColumn(double x) {
    if (std::isnan(x)) x = kGreenwich;
    x = std::clamp(x, -2.0 * TWorldMap::kWidth, 3.0 * TWorldMap::kWidth);
    int cx = static_cast<int>(std::trunc(x));
    if (cx < 0)
        cx += TWorldMap::kWidth;
    else if (cx > TWorldMap::kWidth)
        cx -= TWorldMap::kWidth;
    return cx;
}

} // namespace

void TWorldMap::Project(double lng, double lat, double& x0, double& y0) {
    x0 = kGreenwich + kWidth * lng / (2.0 * kPi);
    y0 = kEquator - kYScale * std::log10(std::tan(kPi / 4.0 + lat / 2.0));
}

void TWorldMap::Unproject(double x0, double y0, double& lng, double& lat) {
    lng = (x0 - kGreenwich) / kWidth * 2.0 * kPi;
    // A click on a wrapped copy of the map can lie more than one turn out.
    while (lng > kPi)
        lng -= 2.0 * kPi;
    while (lng <= -kPi)
        lng += 2.0 * kPi;
    lat = 2.0 * std::atan(std::pow(10.0, (kEquator - y0) * kYInverse)) - kPi / 2.0;
}

void TWorldMap::Centre(double lng, double lat) {
    Cx = WrapColumn(kGreenwich + kWidth * lng / (2.0 * kPi));
    Cy = ClampRow(kEquator - kYScale * std::log10(std::tan(lat / 2.0 + kPi / 4.0)));
}

void TWorldMap::Scroll(int X, int Y, int W, int H) {
    Cy = ClampRow(std::trunc(Cy + (Y - H / 2) / Zoom));
    Cx = WrapColumn(Cx + (X - W / 2) / Zoom);
}

void TWorldMap::Pick(int X, int Y, int W, int H, double& lng, double& lat) const {
    double x0 = (X - W / 2) / Zoom + Cx;
    double y0 = (Y - H / 2) / Zoom + Cy;
    Unproject(x0, y0, lng, lat);
}

void TWorldMap::ZoomIn() {
    Zoom = std::min(Zoom * 1.5, kMaxZoom);
}

void TWorldMap::ZoomOut() {
    Zoom = std::max(Zoom * 2.0 / 3.0, kMinZoom);
}

void TWorldMap::Draw(QImage& image) const {
    const QColor red(255, 0, 0);
    image.fill(Qt::black);
    const int W = image.width(), H = image.height();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(red, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, W - 1, H - 1);

    const int shift = static_cast<int>(std::trunc(kWidth * Zoom)) * (Cx > 975 ? 1 : -1);
    QVector<QLine> lines;
    std::size_t i = 0;
    while (i < kCoastlineSize && kCoastline[i] != 9999) {
        int n = kCoastline[i++];
        if (n < 0 || i + 2 * std::size_t(n) > kCoastlineSize) break;
        QPoint prev;
        for (int k = 0; k < n; ++k, i += 2) {
            double x0 = kCoastline[i] - 1, y0 = kCoastline[i + 1] - 1;
            QPoint pt(static_cast<int>(std::trunc(W / 2 + (x0 - Cx) * Zoom)),
                      static_cast<int>(std::trunc(H / 2 + (y0 - Cy) * Zoom)));
            if (k > 0) {
                lines.append(QLine(prev, pt));
                lines.append(QLine(prev + QPoint(shift, 0), pt + QPoint(shift, 0)));
            }
            prev = pt;
        }
    }
    p.drawLines(lines);
}

void TWorldMap::DegreeTexts(double rad, std::string& deg, std::string& min) {
    TDegrees d;
    d.SetRad(rad);
    std::string text = d.TextDeg(1, 2); // sign or blank, degrees, mark, "MM.mm", minute mark
    const std::string mark = d.GetMark();
    std::size_t at = text.find(mark);
    deg = text.substr(0, at == std::string::npos ? 0 : at);
    deg.erase(0, deg.find_first_not_of(' '));
    if (rad >= 0.0) deg = "+" + deg;
    std::string tail = at == std::string::npos ? text : text.substr(at + mark.size());
    min = tail.substr(0, std::min<std::size_t>(5, tail.size()));
}
