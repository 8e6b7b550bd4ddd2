// THayami: the planisphere. The whole sky above the site at one moment, seen
// looking up: the zenith in the centre, the horizon at the rim, north at the
// top and east at the left, in an azimuthal equidistant projection.
#pragma once

#include <cstdint>
#include <string>

#include "catalog/Clsconstellation.h"
#include "catalog/Clsmilky.h"
#include "minor/Minorsky.h"
#include "render/Clsbandstitch.h"
#include "render/Clsdib.h"
#include "render/Clsdraw.h"
#include "render/Clslabelplacer.h"
#include "render/Clssurface.h"

class THorizon;
class TStar;
class TMercury;
class TVenus;
class TMars;
class TJupiter;
class TSaturn;
class TUranus;
class TNeptune;
class TPluto;
class TSun;
class TMoon;

class THayami {
public:
    THayami(int language, int width, int height);

    // Bit 0 of flags adds the horizon ring.
    void DrawHayami(int flags);

    void SetLng(double lng) { Lng = lng; }
    double GetLng() const { return Lng; }
    void SetLat(double lat) { Lat = lat; }
    double GetLat() const { return Lat; }
    void SetChar(uint8_t charset) { Draw.SetChar(charset); }
    uint8_t GetChar() const { return Draw.GetChar(); }
    void SetFont(const std::string& face) { FontName = face; }
    const std::string& GetFont() const { return FontName; }
    void SetMJD(double mjd) { MJD = mjd; }
    RGBQUAD* GetColTbl() { return DIB.GetColTbl(); }
    TSurface* GetHdcDIB() { return DIB.GetSurface(); }

    // Sky position (declination, right ascension, equinox of the moment) under a chart pixel;
    // false, leaving both untouched, for a point outside the horizon circle.
    bool GetPosition(int x, int y, double& dec, double& ra);
    // The fixed sky (stars, figures, labels, Milky Way) is catalogued for J2000; the chart
    // turns with the sidereal time of the moment, so a J2000 place is carried to the
    // moment's equinox before it is projected, as the bodies and the poles already are.
    // ToStandard carries a place of the moment (GetPosition's) back to J2000, the atlas's
    // equinox. Both give right ascensions in [0, 2pi).
    void ToDate(double ra, double dec, double& raDate, double& decDate) const;
    void ToStandard(double raDate, double decDate, double& ra, double& dec) const;
    // Projection of one sky point. The zenith distance is pi, and x and y are
    // left alone, for a point exactly at the zenith or nadir.
    void HeightG(float ra, float dec, double lat, double lst, long width, long height, double& zd,
                 int& x, int& y);

    static int Sgn(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }
    static int DecI(int i, int n) { return i == 1 ? n : i - 1; }
    static int IncI(int i, int n) { return i == n ? 1 : i + 1; }
    static int MinMax(int a, int b, bool max) { return max ? (a > b ? a : b) : (a < b ? a : b); }
    static double AtnEx(double x, double y);
    // Obliquity of the ecliptic the charts draw it with, radians (the atlas too).
    static double Obliquity(double mjd);
    static bool Kouten(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                       double dy, double& x, double& y) {
        return ::Kouten(ax, ay, bx, by, cx, cy, dx, dy, x, y);
    }
    static double NAIKAKU(double cx, double cy, double ax, double ay, double bx, double by) {
        return ::NAIKAKU(cx, cy, ax, ay, bx, by);
    }
    void DrawRgn(TSurface* surface, const TRegion& region, unsigned long colour, long width);

    // Chart size, taken from the raster at every drawing.
    int Width = 0;
    int Height = 0;
    double Lst = 0; // local sidereal time of the last drawing, radians
    double Lng;     // east positive, radians
    double Lat;     // radians
    double MJD = 51544.5;
    int Language; // 0 Japanese, 1 Western
    std::string FontName;
    TDraw Draw;
    TMilky Milky;
    TConstellation Const;
    TStar* Star = nullptr; // not owned
    // The bodies, not owned; each may stay unset.
    TMercury* Mercury = nullptr;
    TVenus* Venus = nullptr;
    TMars* Mars = nullptr;
    TJupiter* Jupiter = nullptr;
    TSaturn* Saturn = nullptr;
    TUranus* Uranus = nullptr;
    TNeptune* Neptune = nullptr;
    TPluto* Pluto = nullptr;
    TSun* Sun = nullptr;
    TMoon* Moon = nullptr;
    // Comets and asteroids (not owned; null for none): those as bright as the faintest
    // stars drawn are shown.
    const std::vector<TMinorSky::TMark>* MinorMarks = nullptr;
    static constexpr double kFaintest = 4.9;
    TDIB DIB;
    // The named bright stars' names beside them (pages to print; the
    // window's small disc has no room for them).
    bool StarNames = false;
    // The observer's horizon profile, not owned: the ground is shaded up to
    // it. Null or flat: the rim is the horizon. Its colours join the table
    // here (the raster is made anew the first time, so set it before the
    // raster is shown), and charts without one keep their table as it was.
    void SetHorizon(const THorizon* horizon);
    const THorizon* Horizon = nullptr;
    // The chart pixel of a direction in the sky (azimuth from north through
    // east, altitude; radians).
    void AziAltPixel(double az, double alt, double& x, double& y) const;

    // The chosen object: a target mark at its place (J2000, radians), or at
    // body 0-9 (Mercury .. Pluto, the Sun, the Moon) where it is drawn.
    void SetTarget(double ra, double dec) {
        TargetOn = true;
        TargetBody = -1;
        TargetRa = ra;
        TargetDec = dec;
    }
    void SetTargetBody(int body) {
        TargetOn = body >= 0 && body < 10;
        TargetBody = body;
    }
    void ClearTarget() { TargetOn = false; }
    bool HasTarget() const { return TargetOn; }
    // The labels and compass letters the last drawing wrote: text, top-left
    // corner and size.
    struct TNameBox {
        std::string Text;
        int X = 0, Y = 0, W = 0, H = 0;
    };
    std::vector<TNameBox> NameBoxes;

private:
    struct BodyMark {
        bool Set = false;
        double Zd = 0;
        int X = 0, Y = 0;
        int Half = 3; // half size of the mark
        unsigned long Pen = 0;
        std::string Name;
    };
    void DrawMilky();
    void DrawLines();
    void DrawStars();
    void DrawEquator();
    void DrawEcliptic();
    void DrawPoles();
    void DrawBodies(BodyMark (&marks)[10]);
    void DrawMinor();
    // Labels are gathered and written last, the most important first, each
    // beside its object where nothing more important lies and wholly
    // inside the horizon (font 0 the constellations', 1 the names').
    static constexpr int kCentred = 8; // besides the placer's sides
    struct TPending {
        int Rank, Font;
        unsigned long Colour;
        int X, Y, Reach, Place;
        bool Forced;
        std::string Text;
    };
    void AddLabel(int rank, int font, unsigned long colour, int x, int y, int reach, int place,
                  const std::string& text, bool forced = false);
    void AddConstellationNames();
    void AddStarNames();
    void AddBodyNames(const BodyMark (&marks)[10]);
    void WriteLabels();
    bool InDisc(const TLabelPlacer::TBox& b) const;
    std::vector<TPending> Pending;
    TLabelPlacer Placer;
    void DrawCompass();
    void DrawGround();
    void DrawTargetMark(const BodyMark (&marks)[10]);
    void ClipHorizon();

    bool TargetOn = false;
    int TargetBody = -1;
    double TargetRa = 0, TargetDec = 0;

    double CacheLat = -1e300, SinLat = 0, CosLat = 1;
};
