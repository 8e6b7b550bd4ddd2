// TWorldMap: the site editor's small Mercator world map, its view (zoom and
// centre), scrolling, picking and drawing. The grid is 1953 map units around
// the world with Greenwich at x 87 and the equator at y 815, y growing south.
#pragma once

#include <QImage>

class TWorldMap {
public:
    static constexpr int kWidth = 1953; // map units around the world
    static constexpr int kMaxY = 1184;  // lowest centre row
    static constexpr double kMinZoom = 0.2;
    static constexpr double kMaxZoom = 1.5;
    static constexpr double kStartZoom = 0.8;

    double Zoom = kStartZoom; // image pixels per map unit
    int Cx = 0, Cy = 0;       // view centre, map units

    // Map position of a longitude/latitude (radians, east and north positive).
    static void Project(double lng, double lat, double& x0, double& y0);
    // Longitude in (-pi, pi] and latitude of a map position.
    static void Unproject(double x0, double y0, double& lng, double& lat);

    // Centres the view on a site.
    void Centre(double lng, double lat);
    // Left click at image point (X, Y) of an image W x H: that point becomes the centre.
    void Scroll(int X, int Y, int W, int H);
    // Right click: the longitude and latitude under the point (the view stays).
    void Pick(int X, int Y, int W, int H, double& lng, double& lat) const;
    void ZoomIn();
    void ZoomOut();

    // Black image with a red frame and the coastlines in red.
    void Draw(QImage& image) const;

    // The texts a picked angle puts into a degrees input and a minutes input:
    // "+135" and "53.50", "-0" and "06.00" for a small negative angle.
    static void DegreeTexts(double rad, std::string& deg, std::string& min);
};
