#pragma once
// TAtlas: the zoomable star atlas. An azimuthal equidistant map of the sky
// around a chosen centre (north up, east left) drawn into its own 8-bit
// raster: Milky Way, deep-sky objects, constellation figures and names,
// stars as sprites by magnitude and spectral class, the Sun, Moon and
// planets, the coordinate grid and the user's markers. It also turns a
// pointer position back into the list of objects under it.
//
// Sources: Clsatlas.cpp (projection and window), Clsatlaslayers.cpp (sky
// layers), Clsatlasbodies.cpp (bodies and markers), Clsatlaspick.cpp (the
// information panel's pictures and picking).

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "astro/Clslocation.h"
#include "astro/Clsmjd.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsmilky.h"
#include "minor/Minorsky.h"
#include "render/Clsdib.h"
#include "render/Clsdraw.h"
#include "render/Clslabelplacer.h"
#include "render/Clsstarindex.h"
#include "render/Clssurface.h"
#include "render/Clsworker.h"

class TStar;
class THorizon;
struct TStarRecord;
class TNebula;
class TNameList;
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

// One entry of a pick list: (kind, number). Kinds: 1 the sky position,
// 2 a star record, 3 a body 0-9, 4 a deep-sky record, 5 a satellite 11-14,
// 6 a comet or asteroid (its index in the element list).
// Star numbers run through the atlas's catalogues in turn: a record of the
// deep catalogue (Star[1]) is numbered past the Star.dat records, so a
// number below Star[0]'s count is a Star.dat record as everywhere else.
struct TPickEntry {
    int32_t kind = 0;
    int32_t number = 0;
};

// One record of the marker table the main window fills from the option files.
struct TMarker {
    int32_t id = 0;     // object identity; records of one identity form tracks
    int32_t seq = 0;    // sequence number
    int32_t shape = 1;  // 1 circle, 2 cross, 3 triangle, 4 square, 5 arrow
    int32_t filled = 0; // 1 = filled in the marker colour
    double ra = 0.0;    // radians, standard equinox
    double dec = 0.0;
    unsigned long colour = 0;
    std::string name;
    int32_t next = 0;      // sequence number of the following record of the track
    int32_t lineStyle = 0; // 0 solid, 1 dotted with arrow, 2 solid, 3 dotted with arrow
    unsigned long lineColour = 0;
};

class TAtlas {
public:
    static constexpr int MaxPick = 100;
    static constexpr int MaxMarkers = 3000;
    static constexpr int BodyCount = 10;

    // language 0 Japanese, 1 Western; the raster is width x height.
    TAtlas(int language, int width, int height);
    TAtlas(const TAtlas&) = delete;
    TAtlas& operator=(const TAtlas&) = delete;

    // View and switches, set by the main window before every Draw.
    void SetViewWidth(int w) { ViewW = w; }
    void SetViewHeight(int h) { ViewH = h; }
    void SetScale(int scale) { Scale = scale; }
    void SetSensitivity(int s) { Sens = s; }
    // Switches 1-8: Milky Way, constellations, Bayer letters, Flamsteed numbers,
    // star names, deep-sky objects, grid, realistic star colours.
    void SetSwitch(int n, int on);
    int GetSwitch(int n) const;
    void SetCenterRa(double ra) { CenterRa = ra; }
    void SetCenterDec(double dec) { CenterDec = dec; }
    void SetLng(double lng);
    void SetLat(double lat);
    void SetMJD(double mjd) { Mjd.SetMJD(mjd); }
    // The horizon line (the observer's profile when one is given, else the
    // flat horizon) with ticks on the side of the ground. Off until the
    // window or the tool turns it on.
    bool ShowHorizon = false;
    const THorizon* Horizon = nullptr;
    void SetFont(const std::string& face) { LabelFace = face; }
    void SetChar(uint8_t charset) { Draw_.SetChar(charset); }

    int GetViewWidth() const { return ViewW; }
    int GetViewHeight() const { return ViewH; }
    int GetScale() const { return Scale; }
    int GetSensitivity() const { return Sens; }
    double GetCenterRa() const { return CenterRa; }
    double GetCenterDec() const { return CenterDec; }
    double GetMJD() const { return Mjd.GetMJD(); }
    int GetProjection() const { return Projection; }
    const std::string& GetFont() const { return LabelFace; }
    RGBQUAD* GetColTbl() { return Dib.GetColTbl(); }
    TSurface* GetSurface() { return Dib.GetSurface(); }
    TDIB& GetDib() { return Dib; }
    // The sky position of the last Pick.
    double GetPickRa() const { return PickRa; }
    double GetPickDec() const { return PickDec; }

    // Catalogues and bodies (not owned; any may be left null). Star[0] is
    // Star.dat; Star[1] the deep catalogue, sorted by declination, drawn and
    // picked only where the limiting magnitude reaches past DeepFrom.
    static constexpr int MaxStarCatalogues = 2;
    static constexpr int DeepFrom = 900;
    TStar* Star[MaxStarCatalogues] = {nullptr, nullptr};
    int StarCount = MaxStarCatalogues;
    // The record a kind-2 pick number stands for (nullptr when none); the
    // catalogue's index in Star[] goes to *catalogue when it is given.
    const TStarRecord* StarRecordOf(int number, int* catalogue = nullptr) const;
    // The kind-2 number of record i of catalogue c.
    int StarNumberOf(int c, int i) const;
    // Star sprites the last Draw drew, by catalogue.
    int StarsDrawn[MaxStarCatalogues] = {0, 0};
    TNebula* Nebula = nullptr;
    // The names beside the catalogues, with Star[0]'s Hipparcos numbers (may be null).
    const TNameList* Names = nullptr;
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
    // Comets and asteroids to draw (those brighter than the chart's limit are), and the
    // selected one's track; not owned, null for none.
    const std::vector<TMinorSky::TMark>* MinorMarks = nullptr;
    const std::vector<TMinorSky::TTrackPoint>* MinorTrack = nullptr;

    // Takes another atlas's catalogues, bodies, site, moment, font, switches,
    // centre, sensitivity and markers, with its view and scale `factor`
    // times as large: the same chart drawn anew at a larger size.
    void CopyView(const TAtlas& from, int factor);
    void Draw();
    // The chosen object, numbered as a pick entry (kind 0: none). Every
    // drawing puts a target mark round it, unlike the mount's red reticle,
    // and draws a chosen deep-sky object with its label even with the
    // deep-sky layer off. Kind 1, or an object the atlas has no number for
    // (a comet), goes by the place given: J2000, radians.
    void SetTarget(int kind, int number, double ra = 0.0, double dec = 0.0);
    int GetTargetKind() const { return TargetKind; }
    int GetTargetNumber() const { return TargetNumber; }
    // Where the mark goes (J2000; a body's topocentric place); false when
    // there is none or the object is not there at the moment.
    bool TargetPlace(double& ra, double& dec);
    // A finder chart (Clsatlasfinder.cpp). Rings about the centre, each
    // labelled, are drawn whenever set (the window's list of rings too).
    struct TRing {
        double Radius = 0; // radians
        std::string Label;
    };
    std::vector<TRing> Rings;
    // Limiting magnitude x 100 instead of the one of scale and sensitivity (0: none).
    int FixedLimit = 0;
    // Stars fainter than this (magnitude x 100) get no letters, numbers or names.
    int LabelLimit = 100000;
    // The labels the last Draw wrote: text, top-left corner and size.
    struct TDrawnLabel {
        std::string Text;
        int X = 0, Y = 0, W = 0, H = 0;
    };
    const std::vector<TDrawnLabel>& DrawnLabels() const { return Drawn; }
    // The limiting magnitude x 100 of the present view.
    int GetLimit() { return Limit(); }
    // The deep-sky symbols (kinds 0-5) the last Draw put on the chart.
    std::vector<int> SymbolsShown() const;
    // Rasters of at least SplitFrom pixels are drawn on two threads (the
    // picture is the same), and those of a third of that which show at
    // least a steradian of sky: with fewer stars and lines a second thread
    // gains less than it costs to wake.
    long SplitFrom = 3000000;
    bool Split() const;

    // Azimuthal equidistant projection about (centreRa, centreDec): offsets in
    // radians, true when the point lies within 90 degrees of the centre.
    bool Project(int projection, double* x, double* y, double centreDec, double centreRa,
                 double dec, double ra);
    // The sky point drawn at pixel (px, py).
    void Unproject(int projection, int px, int py, double* dec, double* ra, double centreDec,
                   double centreRa) const;
    // Pixel of a projected offset: trunc(scale * x + viewWidth / 2).
    int PixelX(double x) const;
    int PixelY(double y) const;
    // Projects (ra, dec) about the view centre into a pixel; false on the far side.
    bool ToPixel(double ra, double dec, int& px, int& py);

    // Starting size of the visible window, radians, before the view corners refine it.
    static double WindowSpan(int viewW, int viewH, int scale);
    // Limiting magnitude x 100 for a scale and sensitivity; faintest is the
    // catalogues' faintest magnitude x 100.
    static int LimitingMag(int scale, int sensitivity, int faintest);
    // Size class 0-12 of a magnitude x 100, or -1 for no image.
    static int StarClass(int mag, int limit, int sensitivity);
    // The grid's spacings (radians) for a scale and the window's width in
    // right ascension: main and minor meridians, main and minor parallels.
    static void GridSpacing(int scale, double raWidth, double& raMain, double& raMinor,
                            double& decMain, double& decMinor);
    // The visible window of the last Draw.
    double DecMin = 0.0, DecMax = 0.0, RaMin = 0.0, RaMax = 0.0;
    bool InWindow(double ra, double dec) const;

    // Bodies, markers, picking and the information panel's pictures.
    void DrawBodies(int names, int realistic);
    void DrawMinor(int names);
    void DrawMinorTrack();
    void DrawMarkers();
    void DrawHorizon();
    void SetMarkerCount(int count);
    void SetMarker(int n, const TMarker& marker);
    void SetMarkerList(const int* identities);
    int GetMarkerCount() const { return static_cast<int>(Markers.size()); }
    // Marker n, 1-based (an empty one out of range).
    TMarker GetMarker(int n) const {
        return n >= 1 && n <= GetMarkerCount() ? Markers[n - 1] : TMarker{};
    }
    int Pick(int px, int py, int tolerance, TPickEntry* list);
    void DrawBodyImage(int body, TSurface* surface, int realistic, int scale, int px, int py);
    void DrawJupiterSystem(TSurface* surface, int realistic, int scale, int cx, int cy);
    // Top-left corners for labels of the given sizes under (else above, else
    // a row further out from) their dots: whole within w x h, and apart from
    // each other where the rows allow.
    static std::vector<TPoint> SpreadLabels(const std::vector<std::pair<int, int>>& dots,
                                            const std::vector<TSize>& sizes, int w, int h);
    void DrawStarImage(TSurface* surface, int spect, int realistic, int cx, int cy);
    void DrawNebulaImage(TSurface* surface, int record, int w, int h, double f);

    // Where a body is drawn: its topocentric place in the standard equinox.
    struct BodyPlace {
        double ra = 0, dec = 0; // topocentric, standard equinox
        double diam = 0;        // apparent diameter, radians
        double distKm = 0;
        bool present = false;
    };
    BodyPlace PlaceBody(int body);

private:
    struct BodyData {
        double ra, dec, diam, distKm, earthAu, sunAu, elong;
        const char* name;
    };
    bool ReadBody(int body, BodyData& out);
    // A comet's or asteroid's apparent place of date to its pixel, seen from the site.
    bool MinorPixel(double ra, double dec, double au, int& px, int& py);
    // The comets and asteroids the last Draw put on the chart: index, pixel.
    std::vector<std::array<int, 3>> MinorShown;
    // A place of date carried to the standard equinox and seen from the site;
    // returns the topocentric distance.
    double Topocentric(double ra, double dec, double distKm, double& tra, double& tdec);
    void Clear();
    void ComputeWindow();
    void DrawMilkyWay();
    void DrawNebulae(bool secondPass);
    void DrawConstellationLines();
    // The stars on the chart in the order they are drawn (PlaceStars,
    // CentreTrig first), and their sprites and letters (DrawStars).
    void PlaceStars();
    void DrawStars();
    struct TStarPlaced {
        int c, record, px, py;
    };
    std::vector<TStarPlaced> StarsPlaced;
    // The equator, the ecliptic and the grid: on a large raster the lower
    // rows are drawn on a second thread while this one draws the upper.
    void DrawGridLayer(bool split);
    void DrawLines(TSurface* s, TDraw& draw); // equator, ecliptic
    void DrawGrid(TSurface* s, TDraw& draw);
    void DrawConstellationNames();
    void DrawStarNames();
    void DrawTargetMark();
    // Labels are gathered while the layers draw and written after them, the
    // most important first, each where the placer finds room (stars, bodies
    // and small deep-sky symbols are blocked as they are drawn).
    enum TLabelFont { kNameFont, kDeepFont, kLetterFont, kLatinFont, kLabelFonts };
    // Places besides the placer's sides: the corner (x, y) moved along its
    // grid line, or the label centred under (x, y).
    static constexpr int kAlongX = 8, kAlongY = 9, kCentred = 10;
    struct TPendingLabel {
        int Rank;  // lower first
        int Cover; // the symbols of this rank and fainter may lie under it
        int Font, Place;
        int X, Y, Reach;
        unsigned long Colour;
        bool Opaque, Forced;
        unsigned long Background;
        std::string Text;
    };
    // The label of pick entry (kind, number) (kind 0: no object's); the
    // chosen object's goes first and always shows.
    void AddLabel(int rank, int font, unsigned long colour, int x, int y, int reach, int place,
                  const std::string& text, int kind = 0, int number = 0, bool opaque = false,
                  unsigned long background = 0, int cover = INT_MIN);
    void AddListNames();
    void AddTargetLabel();
    void WriteLabels();
    std::vector<TPendingLabel> Pending;
    std::vector<uint64_t> LabelOrder;
    TLabelPlacer Placer;
    std::vector<TDrawnLabel> Drawn;
    bool TargetLabelled = false;
    // Star.dat records with a name of the name list and none built in.
    const TNameList* ListNamedSource = nullptr;
    std::vector<int> ListNamed;
    int TargetKind = 0, TargetNumber = 0;
    double TargetRa = 0.0, TargetDec = 0.0;
    // The one deep-sky record drawn with the layer off (-1: the layer's all).
    int NebulaOnly = -1;
    void DrawFinder();
    void DrawSprite(int cls, int spect, bool realistic, int px, int py);
    void DrawPhase(TSurface* s, int body, const BodyData& b, int realistic, int R, int px, int py);
    void DrawGlobe(TSurface* s, int px, int py, double R, double k, double P, double step,
                   bool fill);
    void DrawJupiterImage(TSurface* s, int realistic, double R, int px, int py);
    void DrawSaturnImage(TSurface* s, int realistic, double R, int px, int py);
    void DrawImage(TSurface* s, int body, const BodyData& b, int realistic, int scale, int px,
                   int py);
    void DrawSatellites(int names, int realistic, double jupiterDistKm);
    void ClippedLine(TSurface* s, double x0, double y0, double x1, double y1, bool& endKept);
    int Limit();
    // The projection of Project about the view centre for a point whose
    // declination's sine and cosine are known; h = centre RA - RA.
    bool ProjectTrig(double sinDec, double cosDec, double h, double& x, double& y);
    // The pixel of a point as ProjectTrig and PixelX/PixelY give it, from
    // its declination's sine and cosine and its unit vector's east and
    // meridian (cos dec cos h) components about the view centre; false on
    // the far side. SinDec0 and CosDec0 must be those of the centre.
    bool PlacePixel(double sinDec, double cosDec, double east, double meridian, double h, int& px,
                    int& py) {
        const int scale = Scale == 0 ? 200 : Scale;
        // The projection from the unit vector's components needs no sine or
        // cosine of the hour angle. Its rounding differs from ProjectTrig's by
        // far less than 1e-4 pixel within the limits below, so a pixel whose
        // place lies farther than that from a pixel border is the same pixel;
        // nearer a border, and near the centre or the edge of the hemisphere,
        // ProjectTrig decides (PlaceExact).
        const double m = sinDec * SinDec0 + CosDec0 * meridian;
        // Clearly on the far side: ProjectTrig's m is negative too.
        if (m < -1e-9) return false;
        if (m > 1e-6 && m < 1.0 - 1e-6) {
            // k = rho / sin(rho), rho the distance from the centre: within 13
            // degrees of it the series of asin(s) / s in s^2 = sin^2(rho) is
            // good to 1e-12, farther out the fitted polynomial; both are
            // cheaper than the arc tangent.
            const double s2 = (1.0 - m) * (1.0 + m);
            double k;
            if (s2 <= 0.05) {
                const double t2 = s2 * s2, t4 = t2 * t2;
                k = (1.0 + s2 / 6) + t2 * (3.0 / 40 + s2 * (5.0 / 112)) +
                    t4 * ((35.0 / 1152 + s2 * (63.0 / 2816)) +
                          t2 * (231.0 / 13312 + s2 * (143.0 / 10240)));
            } else if (DistanceFit->ok) {
                k = (*DistanceFit)(2.0 * m - 1.0);
            } else {
                return PlaceExact(sinDec, cosDec, h, px, py);
            }
            const double fx = scale * (k * east) + ViewW / 2;
            const double fy = scale * (k * (SinDec0 * meridian - sinDec * CosDec0)) + ViewH / 2;
            constexpr double kMargin = 1e-4, kReach = 1e5;
            if (std::fabs(fx) < kReach && std::fabs(fy) < kReach) {
                // Truncated as PixelX does; the fraction left must keep clear
                // of both neighbouring borders.
                const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
                const double rx = std::fabs(fx - ix), ry = std::fabs(fy - iy);
                if (rx > kMargin && rx < 1.0 - kMargin && ry > kMargin && ry < 1.0 - kMargin) {
                    px = ix;
                    py = iy;
                    return true;
                }
            }
        }
        return PlaceExact(sinDec, cosDec, h, px, py);
    }
    // The pixel through ProjectTrig and PixelX/PixelY.
    bool PlaceExact(double sinDec, double cosDec, double h, int& px, int& py);
    // k(m) = acos(m) / sqrt(1 - m^2), the projection's distance factor, as a
    // polynomial in u = 2m - 1 for 0 <= m <= 1: a Chebyshev fit of 16 terms
    // (good to about 3e-13 of k, the nearest singularity being at m = -1)
    // turned into powers of u for a short evaluation. It is checked against
    // the exact formula when made and left unused should it miss by more
    // than 1e-11.
    struct TDistanceFit {
        static constexpr int N = 16;
        double a[N] = {};
        bool ok = false;
        double operator()(double u) const {
            const double u2 = u * u, u4 = u2 * u2, u8 = u4 * u4;
            const double p0 = a[0] + a[1] * u + u2 * (a[2] + a[3] * u);
            const double p1 = a[4] + a[5] * u + u2 * (a[6] + a[7] * u);
            const double p2 = a[8] + a[9] * u + u2 * (a[10] + a[11] * u);
            const double p3 = a[12] + a[13] * u + u2 * (a[14] + a[15] * u);
            return (p0 + u4 * p1) + u8 * (p2 + u4 * p3);
        }
    };
    // Made with the first atlas (not when a program starts), and read by
    // each projection without asking whether it has been made.
    static const TDistanceFit& SharedDistanceFit();
    const TDistanceFit* DistanceFit = &SharedDistanceFit();
    // The pen of Jupiter's moons, in realistic colours or not.
    void SatellitePen(TSurface* s, bool realistic);
    // An angle with its sine and cosine: a declination, or the hour angle
    // (centre RA - RA) of a right ascension.
    struct TAngleTrig {
        double a, s, c;
    };
    TAngleTrig DecTrig(double dec) const { return {dec, std::sin(dec), std::cos(dec)}; }
    TAngleTrig RaTrig(double ra) const {
        const double h = CenterRa - ra;
        return {h, std::sin(h), std::cos(h)};
    }
    // SinDec0 and CosDec0 for the present centre (or another centre
    // declination). Worked out only when it changes (told apart by bit
    // pattern, so that a centre that is not a number is not worked out
    // again): while two threads draw, neither writes them.
    void CentreTrig() { CentreTrig(CenterDec); }
    void CentreTrig(double centreDec);
    // ToPixel's pixel from sines and cosines taken beforehand (CentreTrig first).
    // Gives pixels of colour index `fill` outside the near hemisphere's disc
    // back to `background`, within the box [left, right) x [top, bottom).
    void ClipToSky(uint8_t fill, uint8_t background, int left, int top, int right, int bottom);
    bool PlaceTrig(const TAngleTrig& ra, const TAngleTrig& dec, int& px, int& py) {
        return PlacePixel(dec.s, dec.c, dec.c * ra.s, dec.c * ra.c, ra.a, px, py);
    }
    // Half the width in hour angle of the near side's stretch of star zone
    // z (pi: all of it; negative: none of it). CentreTrig first.
    double NearHalfWidth(int z) const;
    // The zone index of catalogue c, built on first use.
    const TStarIndex& StarZones(int c);

    int Language;
    std::string LabelFace;
    std::string LatinFace = "Times New Roman";
    TDraw Draw_;
    TLocation Location;
    TMjd Mjd;
    double CenterRa = 0.0, CenterDec = 0.0;
    int Scale = 1000;
    int Sens = 0;
    int ViewW = 100, ViewH = 100;
    int RasterW, RasterH;
    int Projection = 1;
    int Switch[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    TMilky Milky;
    TConstellation Constellation;
    // Raster indices of the star colours: [set][level - 1][spectral code - 1].
    unsigned char StarColour[2][3][8] = {};
    TDIB Dib;
    // The second drawing thread, started with the first large drawing.
    std::unique_ptr<TWorker> Helper;

    // Cached sine and cosine of the centre declination.
    double CachedDec = 1e300, SinDec0 = 0.0, CosDec0 = 1.0;

    std::vector<TStarIndex> StarIndex;
    std::vector<uint64_t> StarMarks; // records chosen for this drawing, by number
    std::vector<int32_t> PickHits;
    // What picking needs besides the stars, placed once per view (the key
    // holds everything the places depend on): deep-sky objects by record
    // number, bodies 0-9 and satellites 11-14, each with its pixel and radius.
    struct PickPlace {
        int number, x, y, r;
    };
    void PlaceForPick();
    std::vector<unsigned char> PickKey;
    std::vector<PickPlace> PickNebulae, PickBodies;
    // Per deep-sky record its place's sines, cosines and unit vector, made
    // once per catalogue (the catalogue they were made from and its count).
    const void* NebulaTrigSource = nullptr;
    int NebulaTrigCount = -1;
    std::vector<TStarIndex::Place> NebulaPlaces;
    // Each deep-sky object's label, made with NebulaPlaces.
    std::vector<std::string> NebulaLabel;
    // Deep-sky objects on the chart in this drawing: record, pixel.
    std::vector<std::array<int, 3>> NebulaShown;

    double PickRa = 0.0, PickDec = 0.0;
    std::vector<TMarker> Markers;
    std::vector<int> MarkerList;
};
