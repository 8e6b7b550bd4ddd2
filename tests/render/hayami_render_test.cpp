// The planisphere: what is drawn where, checked against positions worked out
// independently (ERFA for sidereal time and horizon coordinates).
#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <libnova/libnova.h>

#include "astro/Clsplanet.h"
#include "catalog/Clsstar.h"
#include "render/Clsbodyset.h"
#include "plan/Clshorizon.h"
#include "render/Clshayami.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kMjd = 61381.5; // 2026-12-07 12:00 UT
constexpr double kLat = 35.8 * kDeg;
constexpr double kLng = 138.0 * kDeg;
// Raster indices of the chart's table.
constexpr int kBlackIdx = 0, kRedIdx = 1, kBlueIdx = 2, kYellowIdx = 3, kOStarIdx = 11;

// Local sidereal time from ERFA (UT1 taken as UTC, TT as UTC + 69 s).
double ErfaLst(double mjd, double lng) {
    return eraAnp(eraGmst06(2400000.5, mjd, 2400000.5, mjd + 69.0 / 86400.0) + lng);
}

// Where a sky point should land, from its azimuth and altitude: the zenith in
// the centre, the horizon a circle of diameter `size`, north up, east left.
void Expected(double ra, double dec, double lst, double lat, int size, double& x, double& y) {
    double az, el;
    eraHd2ae(lst - ra, dec, lat, &az, &el);
    const double r = (kPi / 2 - el) / kPi * size;
    x = size / 2.0 - r * std::sin(az);
    y = size / 2.0 - r * std::cos(az);
}

// Right ascension and declination of an azimuth and altitude for the chart's moment.
void SkyAt(double az, double alt, double lst, double lat, double& ra, double& dec) {
    double ha;
    eraAe2hd(az * kDeg, alt * kDeg, lat, &ha, &dec);
    ra = eraAnp(lst - ha);
}

struct StarSpec {
    double az, alt; // degrees
    int mag;        // x 100
    int spect;
};

// A star catalogue file of our own, placed by azimuth and altitude.
class StarFile {
public:
    StarFile(const std::vector<StarSpec>& stars, double lst, double lat) {
        path_ = (std::filesystem::temp_directory_path() /
                 ("quenlira_hayami_" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".dat"))
                    .string();
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        for (const StarSpec& s : stars) {
            double ra, dec;
            SkyAt(s.az, s.alt, lst, lat, ra, dec);
            TStarRecord r{0,
                          0,
                          static_cast<float>(ra),
                          static_cast<float>(dec),
                          static_cast<int16_t>(s.mag),
                          1,
                          static_cast<uint8_t>(s.spect)};
            std::fwrite(&r, sizeof r, 1, f);
        }
        std::fclose(f);
        star_ = std::make_unique<TStar>(path_);
    }
    ~StarFile() { std::remove(path_.c_str()); }
    TStar* get() { return star_.get(); }

private:
    std::string path_;
    std::unique_ptr<TStar> star_;
};

// A chart with no Milky Way, figures or names, so that single layers can be seen.
std::unique_ptr<THayami> BareChart(int size) {
    auto h = std::make_unique<THayami>(1, size, size);
    h->SetLat(kLat);
    h->SetLng(kLng);
    h->SetMJD(kMjd);
    h->Milky.Count[0] = h->Milky.Count[1] = 0;
    h->Const.LineCount = 0;
    for (int i = 1; i < TConstellation::RowCount; ++i)
        h->Const.Rows[i].dec = -kPi / 2; // labels below
    return h;
}

int CountNear(const TDIB& dib, double x, double y, int radius, int idx) {
    int n = 0;
    for (int yy = int(y) - radius; yy <= int(y) + radius; ++yy)
        for (int xx = int(x) - radius; xx <= int(x) + radius; ++xx)
            n += dib.GetIdx(xx, yy) == idx;
    return n;
}

// Centre of the pixels of one index within a window.
bool CentreNear(const TDIB& dib, double x, double y, int radius, int idx, double& cx, double& cy) {
    int l = 1 << 30, t = 1 << 30, r = -1, b = -1;
    for (int yy = int(y) - radius; yy <= int(y) + radius; ++yy)
        for (int xx = int(x) - radius; xx <= int(x) + radius; ++xx)
            if (dib.GetIdx(xx, yy) == idx) {
                l = std::min(l, xx);
                r = std::max(r, xx);
                t = std::min(t, yy);
                b = std::max(b, yy);
            }
    if (r < 0) return false;
    cx = (l + r) / 2.0;
    cy = (t + b) / 2.0;
    return true;
}

} // namespace

TEST(Planisphere, SiderealTimeAndPositionUnderThePointer) {
    auto h = BareChart(300);
    h->DrawHayami(0);
    // The chart's own sidereal time agrees with ERFA's to well under a pixel.
    double d = std::fabs(h->Lst - ErfaLst(kMjd, kLng));
    if (d > kPi) d = 2 * kPi - d;
    EXPECT_LT(d, 0.01 * kDeg);

    double dec = 99, ra = 99;
    ASSERT_TRUE(h->GetPosition(150, 150, dec, ra));
    EXPECT_DOUBLE_EQ(dec, kLat);
    EXPECT_DOUBLE_EQ(ra, h->Lst);
    dec = ra = 99;
    EXPECT_FALSE(h->GetPosition(2, 2, dec, ra)); // a corner, outside the horizon
    EXPECT_EQ(dec, 99);
    EXPECT_EQ(ra, 99);

    // A point 30 degrees up in the east-south-east: the pixel ERFA gives for it
    // reads back as that point, to the size of a pixel (0.6 degrees).
    double ra0, dec0, x, y;
    SkyAt(110, 30, h->Lst, kLat, ra0, dec0);
    Expected(ra0, dec0, h->Lst, kLat, 300, x, y);
    ASSERT_TRUE(h->GetPosition(int(std::lround(x)), int(std::lround(y)), dec, ra));
    double sep = eraSeps(ra, dec, ra0, dec0);
    EXPECT_LT(sep, 0.6 * kDeg);
}

// The pixels on the rim are the horizon: the east and west points read back
// as those points, not as the point on the meridian.
TEST(Planisphere, PositionUnderThePointerOnTheRim) {
    auto h = BareChart(300);
    const struct {
        double az;
        int x, y;
    } cases[] = {{90, 0, 150}, {270, 300, 150}, {0, 150, 0}, {180, 150, 300}};
    for (double lat : {kLat, 0.0}) { // a site on the equator too
        h->SetLat(lat);
        h->DrawHayami(0);
        for (const auto& c : cases) {
            double ra0, dec0, ra = 99, dec = 99;
            SkyAt(c.az, 0, h->Lst, lat, ra0, dec0);
            ASSERT_TRUE(h->GetPosition(c.x, c.y, dec, ra)) << c.az;
            EXPECT_LT(eraSeps(ra, dec, ra0, dec0), 1e-6) << c.az << " " << lat;
        }
    }
}

TEST(Planisphere, ProjectionPutsNorthUpEastLeftAndTheHorizonAtTheRim) {
    auto h = BareChart(300);
    h->DrawHayami(0);
    const struct {
        double az, alt, x, y;
    } cases[] = {{0, 0, 150, 0},     // north point on the horizon
                 {90, 0, 0, 150},    // east: left
                 {270, 0, 300, 150}, // west: right
                 {180, 45, 150, 225}};
    for (const auto& c : cases) {
        double ra, dec, zd = 0;
        int x = -1, y = -1;
        SkyAt(c.az, c.alt, h->Lst, kLat, ra, dec);
        h->HeightG(static_cast<float>(ra), static_cast<float>(dec), kLat, h->Lst, 300, 300, zd, x,
                   y);
        EXPECT_NEAR(zd, (90 - c.alt) * kDeg, 1e-5) << c.az;
        EXPECT_NEAR(x, c.x, 1.0) << c.az;
        EXPECT_NEAR(y, c.y, 1.0) << c.az;
    }
    // The zenith itself has no position: zenith distance pi, x and y untouched.
    double zd = 0;
    int x = -7, y = -7;
    h->HeightG(0.0f, 0.0f, 0.0, 0.0, 300, 300, zd, x, y);
    EXPECT_EQ(zd, kPi);
    EXPECT_EQ(x, -7);
    EXPECT_EQ(y, -7);
    // A damaged catalogue position (not a number) is treated the same way.
    zd = 0;
    h->HeightG(std::nanf(""), 0.3f, kLat, 1.0, 300, 300, zd, x, y);
    EXPECT_EQ(zd, kPi);
    EXPECT_EQ(x, -7);
}

TEST(Planisphere, StarsByMagnitudeLimitSizeAndHorizon) {
    auto h = BareChart(300);
    h->DrawHayami(0); // for the sidereal time the stars are placed with
    // Every star of spectral class O, so all are drawn in one colour.
    StarFile file({{90, 60, 490, 7},   // at the limit: drawn
                   {270, 60, 491, 7},  // just fainter: left out
                   {0, 60, 149, 7},    // brighter than 1.50: a disc five pixels across
                   {180, 60, 150, 7},  // 1.50 to 2.49: a plus of five pixels
                   {45, 40, 250, 7},   // 2.50 to 3.49: a 2 x 2 block
                   {135, 40, 350, 7},  // 3.50 and fainter: one pixel
                   {225, 3, 100, 7},   // low but above the horizon
                   {315, -1, 100, 7}}, // below it
                  h->Lst, kLat);
    h->Star = file.get();
    h->DrawHayami(0);
    const TDIB& dib = h->DIB;
    auto at = [&](double az, double alt, double& x, double& y) {
        double ra, dec;
        SkyAt(az, alt, h->Lst, kLat, ra, dec);
        Expected(ra, dec, h->Lst, kLat, 300, x, y);
    };
    double x, y;
    at(90, 60, x, y);
    EXPECT_EQ(CountNear(dib, x, y, 3, kOStarIdx), 1);
    at(270, 60, x, y);
    EXPECT_EQ(CountNear(dib, x, y, 3, kOStarIdx), 0);
    at(0, 60, x, y);
    EXPECT_EQ(CountNear(dib, x, y, 5, kOStarIdx), 21); // rows of 3, 5, 5, 5, 3
    at(180, 60, x, y);
    EXPECT_EQ(CountNear(dib, x, y, 4, kOStarIdx), 5);
    at(45, 40, x, y);
    EXPECT_EQ(CountNear(dib, x, y, 4, kOStarIdx), 4);
    at(135, 40, x, y);
    EXPECT_EQ(CountNear(dib, x, y, 4, kOStarIdx), 1);
    at(225, 3, x, y);
    EXPECT_GT(CountNear(dib, x, y, 5, kOStarIdx), 10);
    at(315, -1, x, y);
    EXPECT_EQ(CountNear(dib, x, y, 6, kOStarIdx), 0);
}

namespace {
// Bright stars, ICRS (J2000) from Hipparcos, degrees. The chart's catalogue carries no proper
// motion, so neither does the reference.
const struct {
    const char* name;
    double ra, dec;
} kBright[] = {{"Sirius", 101.287155, -16.716116},    {"Arcturus", 213.915300, 19.182410},
               {"Vega", 279.234735, 38.783689},       {"Capella", 79.172328, 45.997991},
               {"Rigel", 78.634467, -8.201638},       {"Procyon", 114.825498, 5.224988},
               {"Betelgeuse", 88.792939, 7.407064},   {"Altair", 297.695827, 8.868321},
               {"Aldebaran", 68.980163, 16.509302},   {"Antares", 247.351915, -26.432003},
               {"Spica", 201.298247, -11.161319},     {"Pollux", 116.328958, 28.026199},
               {"Fomalhaut", 344.412693, -29.622237}, {"Deneb", 310.357980, 45.280339},
               {"Regulus", 152.092962, 11.967209},    {"Polaris", 37.954561, 89.264109}};

// An ICRS direction carried to the true equator and equinox of date (IAU 2006/2000A).
void OfDate(double mjd, double ra, double dec, double& raDate, double& decDate) {
    double m[3][3], v[3], w[3];
    eraPnm06a(2400000.5, mjd, m);
    eraS2c(ra, dec, v);
    eraRxp(m, v, w);
    eraC2s(w, &raDate, &decDate);
}

// Geocentric place of date of planet 0-6: VSOP87 for the planet, ERFA for the Earth, with
// light time. The time number is read as TT, as the theory reads it (no Delta T).
void PlanetOfDate(int body, double mjd, double& ra, double& dec) {
    using Fn = void (*)(double, struct ln_helio_posn*);
    static const Fn kVsop[7] = {ln_get_mercury_helio_coords, ln_get_venus_helio_coords,
                                ln_get_mars_helio_coords,    ln_get_jupiter_helio_coords,
                                ln_get_saturn_helio_coords,  ln_get_uranus_helio_coords,
                                ln_get_neptune_helio_coords};
    double pvh[2][3], pvb[2][3], ecm[3][3];
    eraEpv00(2400000.5, mjd, pvh, pvb);
    eraEcm06(2451545.0, 0.0, ecm);
    double g[3] = {0, 0, 0}, tau = 0;
    for (int it = 0; it < 4; ++it) {
        struct ln_helio_posn p;
        kVsop[body](2400000.5 + mjd - tau, &p);
        double ecl[3], h[3];
        eraS2p(p.L * kDeg, p.B * kDeg, p.R, ecl);
        eraTrxp(ecm, ecl, h);
        eraPmp(h, pvh[0], g);
        tau = eraPm(g) / 173.1446326846693;
    }
    double r, d;
    eraC2s(g, &r, &d);
    OfDate(mjd, r, d, ra, dec);
}

// Sky point (hour angle, declination) under a chart point, the chart's projection undone.
void ChartToSky(double x, double y, int size, double lat, double& ha, double& dec) {
    const double dx = x - size / 2.0, dy = y - size / 2.0;
    const double alt = kPi / 2 - std::hypot(dx, dy) / size * kPi;
    eraAe2hd(std::atan2(-dx, -dy), alt, lat, &ha, &dec);
}

void HandOne(THayami& h, TBodySet& b, int body) {
    h.Mercury = body == 0 ? &b.Mercury : nullptr;
    h.Venus = body == 1 ? &b.Venus : nullptr;
    h.Mars = body == 2 ? &b.Mars : nullptr;
    h.Jupiter = body == 3 ? &b.Jupiter : nullptr;
    h.Saturn = body == 4 ? &b.Saturn : nullptr;
    h.Uranus = body == 5 ? &b.Uranus : nullptr;
    h.Neptune = body == 6 ? &b.Neptune : nullptr;
}
} // namespace

// The fixed sky is catalogued for J2000 but drawn for the moment's equinox, where the
// planets and the poles are: bright stars and planets over Tokyo at 21:00 local time in the
// years 1000, 2026 and 3000 land where precession-nutation to the date and the altitude and
// azimuth put them, each within a pixel of a 1000-pixel chart (0.18 degree). Drawn at the
// catalogue's places, the stars miss by 14 degrees in 1000 and 3000 and by 0.4 in 2026.
TEST(Planisphere, StarsAndPlanetsAtTheirPlacesOfDateAcrossTwoThousandYears) {
    constexpr int kSize = 1000;
    const double lat = 35.68333 * kDeg, lng = 139.76667 * kDeg;
    const struct {
        const char* year;
        double mjd; // UT
    } kMoments[] = {{"1000", -313364.5}, {"2026", 61381.5}, {"3000", 417135.5}};

    const std::string path =
        (std::filesystem::temp_directory_path() / "quenlira_bright_stars.dat").string();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        for (const auto& b : kBright) {
            // All as first-magnitude O stars: discs of one colour.
            TStarRecord r{
                0, 0, static_cast<float>(b.ra * kDeg), static_cast<float>(b.dec * kDeg), 100, 1, 7};
            std::fwrite(&r, sizeof r, 1, f);
        }
        std::fclose(f);
    }
    TStar stars(path);
    std::remove(path.c_str());
    ASSERT_EQ(stars.Count, int(std::size(kBright)));

    for (const auto& moment : kMoments) {
        SCOPED_TRACE(moment.year);
        const double mjd = moment.mjd;
        const double lst = eraAnp(eraGmst06(2400000.5, mjd, 2400000.5, mjd) + lng);
        THayami h(1, kSize, kSize);
        h.SetLat(lat);
        h.SetLng(lng);
        h.SetMJD(mjd);
        h.Milky.Count[0] = h.Milky.Count[1] = 0;
        h.Const.LineCount = 0;
        for (int i = 1; i < TConstellation::RowCount; ++i)
            h.Const.Rows[i].dec = -kPi / 2;
        h.Star = &stars;
        h.DrawHayami(0);

        struct Drawn {
            double x, y, ra, dec; // the mark's centre on the chart; true place of date
        };
        std::vector<Drawn> starMarks;
        double worst = 0; // largest distance of a mark's centre from its true place, pixels
        for (const auto& b : kBright) {
            double ra, dec, ex, ey, az, alt;
            OfDate(mjd, b.ra * kDeg, b.dec * kDeg, ra, dec);
            eraHd2ae(lst - ra, dec, lat, &az, &alt);
            if (alt < 3 * kDeg) continue;
            Expected(ra, dec, lst, lat, kSize, ex, ey);
            double cx, cy;
            ASSERT_TRUE(CentreNear(h.DIB, ex, ey, 6, kOStarIdx, cx, cy)) << b.name;
            // The disc is centred on the pixel the projection falls in.
            EXPECT_LE(std::fabs(cx - std::floor(ex)), 1.0) << b.name;
            EXPECT_LE(std::fabs(cy - std::floor(ey)), 1.0) << b.name;
            worst = std::max(worst, std::hypot(cx + 0.5 - ex, cy + 0.5 - ey));
            starMarks.push_back({cx + 0.5, cy + 0.5, ra, dec});
        }
        EXPECT_GE(starMarks.size(), 10u);

        // One planet per chart, so that no two marks are taken for one.
        TBodySet bodies;
        h.Star = nullptr;
        int planetsUp = 0;
        double bestTrue = 1e9, bestChart = 0;
        for (int body = 0; body < 7; ++body) {
            double ra, dec, ex, ey, az, alt;
            PlanetOfDate(body, mjd, ra, dec);
            eraHd2ae(lst - ra, dec, lat, &az, &alt);
            if (alt < 3 * kDeg) continue;
            ++planetsUp;
            HandOne(h, bodies, body);
            h.DrawHayami(0);
            Expected(ra, dec, lst, lat, kSize, ex, ey);
            double cx, cy;
            ASSERT_TRUE(CentreNear(h.DIB, ex, ey, 8, kYellowIdx, cx, cy)) << body;
            // The mark's box x-3 .. x+3 leaves out its right and bottom edge: its pixels
            // are centred on the corner of the pixel the projection falls in.
            EXPECT_LE(std::fabs(cx + 0.5 - std::floor(ex)), 1.0) << TPlanet::GetName(body, 2);
            EXPECT_LE(std::fabs(cy + 0.5 - std::floor(ey)), 1.0) << TPlanet::GetName(body, 2);
            worst = std::max(worst, std::hypot(cx + 1.0 - ex, cy + 1.0 - ey));
            // The nearest bright star: its distance from the planet on the chart, read
            // back through the projection, against the true one.
            for (const Drawn& s : starMarks) {
                const double sep = eraSeps(ra, dec, s.ra, s.dec);
                if (sep >= bestTrue) continue;
                double h1, d1, h2, d2;
                ChartToSky(cx + 1.0, cy + 1.0, kSize, lat, h1, d1);
                ChartToSky(s.x, s.y, kSize, lat, h2, d2);
                bestTrue = sep;
                bestChart = eraSeps(-h1, d1, -h2, d2);
            }
        }
        HandOne(h, bodies, -1);
        EXPECT_GE(planetsUp, 2);
        ASSERT_LT(bestTrue, 30 * kDeg);
        std::printf("%s: %d stars, %d planets up, marks at most %.2f pixel from their true "
                    "places; nearest planet-star pair %.3f deg, on the chart %.3f deg\n",
                    moment.year, int(starMarks.size()), planetsUp, worst, bestTrue / kDeg,
                    bestChart / kDeg);
        EXPECT_NEAR(bestChart, bestTrue, 180.0 / kSize * kDeg);
    }
}

TEST(Planisphere, PoleCrossHorizonRingAndClip) {
    auto h = BareChart(300);
    h->DrawHayami(1);
    // North celestial pole at altitude 35.8: 54.2 / 180 of the width above centre.
    const double px = 150, py = 150 - 54.2 / 180 * 300;
    double cx, cy;
    ASSERT_TRUE(CentreNear(h->DIB, px, py, 12, kRedIdx, cx, cy));
    int l = 1000, r = -1;
    for (int y = int(py) - 12; y <= int(py) + 12; ++y)
        for (int x = int(px) - 12; x <= int(px) + 12; ++x)
            if (h->DIB.GetIdx(x, y) == kRedIdx) {
                l = std::min(l, x);
                r = std::max(r, x);
            }
    EXPECT_EQ(r - l, 12);                                  // half size 300 / 50 = 6 each way
    EXPECT_EQ(CountNear(h->DIB, px, py, 12, kRedIdx), 25); // two diagonals sharing the centre
    EXPECT_NEAR(cx, px, 1.0);
    EXPECT_NEAR(cy, py, 1.0);
    // The south pole is below the horizon: no second cross anywhere low.
    EXPECT_EQ(CountNear(h->DIB, 150, 150 + 54.2 / 180 * 300, 12, kRedIdx), 0);

    // Horizon ring on the rim at 45 degrees; nothing outside it.
    const int rim = static_cast<int>(149.5 - 149.5 / std::sqrt(2.0));
    EXPECT_GT(CountNear(h->DIB, rim, rim, 1, kRedIdx), 0);
    EXPECT_EQ(h->DIB.GetIdx(rim - 3, rim - 3), kBlackIdx);
    auto plain = BareChart(300);
    plain->DrawHayami(0);
    EXPECT_EQ(CountNear(plain->DIB, rim, rim, 1, kRedIdx), 0);
}

// At a pole of the Earth the sky's pole is at the zenith: its cross stands in
// the centre, as it does a hundredth of a degree away.
TEST(Planisphere, PoleCrossAtTheZenithAtTheEarthsPoles) {
    for (double latDeg : {90.0, -90.0, 89.99, -89.99}) {
        auto h = BareChart(300);
        h->SetLat(latDeg * kDeg);
        for (int i = 1; i < TConstellation::RowCount; ++i)
            h->Const.Rows[i].dec = 0; // labels on the horizon, away from the centre
        h->DrawHayami(0);
        double cx, cy;
        ASSERT_TRUE(CentreNear(h->DIB, 150, 150, 12, kRedIdx, cx, cy)) << latDeg;
        EXPECT_EQ(CountNear(h->DIB, 150, 150, 12, kRedIdx), 25) << latDeg;
        EXPECT_NEAR(cx, 150, 1.0) << latDeg;
        EXPECT_NEAR(cy, 150, 1.0) << latDeg;
    }
}

TEST(Planisphere, FigureLinesUpTo120DegreesAreDrawnThenClippedAtTheHorizon) {
    auto h = BareChart(300);
    h->DrawHayami(0);
    const double lst = h->Lst;
    auto seg = [&](double az1, double alt1, double az2, double alt2) {
        TConstellationLine l{};
        SkyAt(az1, alt1, lst, kLat, l.ra1, l.dec1);
        SkyAt(az2, alt2, lst, kLat, l.ra2, l.dec2);
        return l;
    };
    // Towards the raster's corners, where points below the horizon are still on
    // the raster: north-west to 20 degrees below the horizon (110 from the
    // zenith), north-east to 35 below (125 from the zenith).
    h->Const.Lines = {seg(315, 30, 315, -20), seg(45, 30, 45, -35)};
    h->Const.LineCount = 2;
    h->DrawHayami(0);
    double x, y, ra, dec;
    SkyAt(315, 10, lst, kLat, ra, dec);
    Expected(ra, dec, lst, kLat, 300, x, y);
    EXPECT_GT(CountNear(h->DIB, x, y, 2, kBlueIdx), 0); // the part above the horizon
    SkyAt(315, -10, lst, kLat, ra, dec);
    Expected(ra, dec, lst, kLat, 300, x, y);
    EXPECT_EQ(CountNear(h->DIB, x, y, 3, kBlueIdx), 0); // clipped
    SkyAt(45, 10, lst, kLat, ra, dec);
    Expected(ra, dec, lst, kLat, 300, x, y);
    EXPECT_EQ(CountNear(h->DIB, x, y, 3, kBlueIdx), 0); // never drawn
}

TEST(Planisphere, SmallFunctions) {
    EXPECT_EQ(THayami::Sgn(-0.1), -1);
    EXPECT_EQ(THayami::Sgn(0.0), 0);
    EXPECT_EQ(THayami::Sgn(3.0), 1);
    EXPECT_EQ(THayami::DecI(1, 5), 5);
    EXPECT_EQ(THayami::DecI(3, 5), 2);
    EXPECT_EQ(THayami::IncI(5, 5), 1);
    EXPECT_EQ(THayami::IncI(2, 5), 3);
    EXPECT_EQ(THayami::MinMax(3, 8, true), 8);
    EXPECT_EQ(THayami::MinMax(3, 8, false), 3);
    // AtnEx(x, y): the direction of (x, y) in (0, 2 pi].
    EXPECT_NEAR(THayami::AtnEx(1, 1), kPi / 4, 1e-12);
    EXPECT_NEAR(THayami::AtnEx(-1, 1), 3 * kPi / 4, 1e-12);
    EXPECT_NEAR(THayami::AtnEx(-1, -1), 5 * kPi / 4, 1e-12);
    EXPECT_NEAR(THayami::AtnEx(1, -1), 7 * kPi / 4, 1e-12);
    EXPECT_NEAR(THayami::AtnEx(1, 0), 2 * kPi, 1e-12);
    EXPECT_NEAR(THayami::AtnEx(0, 1), 3 * kPi / 2, 1e-12); // x <= 0 adds pi to atan(+inf)
    EXPECT_TRUE(std::isfinite(THayami::AtnEx(0, 0)));
}

// The observer's horizon: the ground is shaded up to the profile, hiding the
// star behind a 20-degree wall in the east, while the same star low in the
// west stays; without a profile nothing is shaded.
TEST(Planisphere, GroundShadedUpToTheHorizonProfile) {
    THorizon wall;
    std::string why;
    ASSERT_TRUE(wall.Parse("0 0\n59 0\n60 20\n120 20\n121 0\n", "wall", why)) << why;
    auto h = BareChart(300);
    h->DrawHayami(0);
    StarFile file({{90, 10, 149, 7}, {270, 10, 149, 7}}, h->Lst, kLat);
    h->Star = file.get();
    h->SetHorizon(&wall);
    h->DrawHayami(0);
    const int ground = h->DIB.Col2Idx(RGB(24, 44, 24));
    ASSERT_NE(ground, kBlackIdx);
    // Straight east the wall's top is 70 degrees from the zenith (less the
    // refraction's 2.6 minutes): x = 150 - 70/180 * 300 = 33.3 on the middle row.
    for (int x = 14; x <= 31; ++x) // right of the compass letter
        EXPECT_EQ(h->DIB.GetIdx(x, 150), ground) << x;
    EXPECT_NE(h->DIB.GetIdx(36, 150), ground);
    EXPECT_NE(h->DIB.GetIdx(50, 150), ground);
    // North and south the profile is flat: sky down to the rim.
    EXPECT_NE(h->DIB.GetIdx(150, 4), ground);
    EXPECT_NE(h->DIB.GetIdx(150, 295), ground);
    double x, y, ra, dec;
    SkyAt(90, 10, h->Lst, kLat, ra, dec);
    Expected(ra, dec, h->Lst, kLat, 300, x, y);
    EXPECT_EQ(CountNear(h->DIB, x, y, 5, kOStarIdx), 0);
    SkyAt(270, 10, h->Lst, kLat, ra, dec);
    Expected(ra, dec, h->Lst, kLat, 300, x, y);
    EXPECT_EQ(CountNear(h->DIB, x, y, 5, kOStarIdx), 21);

    THorizon flat;
    h->Horizon = &flat;
    h->DrawHayami(0);
    int shaded = 0;
    for (int yy = 0; yy < 300; ++yy)
        for (int xx = 0; xx < 300; ++xx)
            shaded += h->DIB.GetIdx(xx, yy) == ground;
    EXPECT_EQ(shaded, 0);
}
