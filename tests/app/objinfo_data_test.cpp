// The information memo's texts for the real catalogues at Tokyo on
// 2026-12-07, each whole text matched field by field and its numbers checked
// against ERFA: precession to the date, altitude and azimuth, and rising and
// setting found by bisection on ERFA's own places of the stars, the Sun and
// the Moon (eraEpv00, eraMoon98, eraPlan94).
#include "app/Clsobjinfo.h"
#include "plan/Clshorizon.h"
#include "astro/Clslocation.h"
#include "astro/Clsmjd.h"
#include "catalog/Clsconstellation.h"
#include "catalog/Clsdeepstar.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "minor/Minorplace.h"
#include "minor/Mpcreader.h"
#include "render/Clsbodyset.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <regex>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kArcmin = kDeg / 60.0;
constexpr double kArcsec = kArcmin / 60.0;
constexpr double kTTminusUT = 69.2 / 86400.0; // 2026, UT1 taken as UTC
constexpr double kHorizon = 0.0102;           // refraction at the horizon the program uses

// ---- independent places from ERFA ----

struct Site {
    double lon, lat, height;
};

// Unit vector of (ra, dec) and back.
void ToVec(double ra, double dec, double v[3]) {
    eraS2c(ra, dec, v);
}

// Mean place of date of a J2000 direction (precession and frame bias).
void PrecessToDate(double mjd, double ra, double dec, double& dra, double& ddec) {
    double rbp[3][3], v[3], w[3];
    eraPmat06(2400000.5, mjd + kTTminusUT, rbp);
    ToVec(ra, dec, v);
    eraRxp(rbp, v, w);
    eraC2s(w, &dra, &ddec);
    dra = eraAnp(dra);
}

// Back from the mean equinox of date to J2000.
void PrecessToJ2000(double mjd, double ra, double dec, double& ra0, double& dec0) {
    double rbp[3][3], v[3], w[3];
    eraPmat06(2400000.5, mjd + kTTminusUT, rbp);
    ToVec(ra, dec, v);
    eraTrxp(rbp, v, w);
    eraC2s(w, &ra0, &dec0);
    ra0 = eraAnp(ra0);
}

// Altitude (no refraction) and azimuth (north through east) of a mean place of date.
void MeanAltAz(const Site& s, double mjd, double ra, double dec, double& alt, double& az) {
    const double gmst = eraGmst06(2400000.5, mjd, 2400000.5, mjd + kTTminusUT);
    eraHd2ae(gmst + s.lon - ra, dec, s.lat, &az, &alt);
}

// Topocentric altitude of a body given geocentrically in GCRS (km), in the
// true equator of date with the apparent sidereal time.
double TopoAltitude(const Site& s, double mjd, double gcrsKm[3], double& distKm,
                    double* azimuth = nullptr) {
    double npb[3][3], tod[3], itrs[3];
    eraPnm06a(2400000.5, mjd + kTTminusUT, npb);
    eraRxp(npb, gcrsKm, tod);
    const double gast = eraGst06a(2400000.5, mjd, 2400000.5, mjd + kTTminusUT);
    eraGd2gc(1, s.lon, s.lat, s.height, itrs);
    double site[3] = {(itrs[0] * std::cos(gast) - itrs[1] * std::sin(gast)) / 1000.0,
                      (itrs[0] * std::sin(gast) + itrs[1] * std::cos(gast)) / 1000.0,
                      itrs[2] / 1000.0};
    double d[3];
    eraPmp(tod, site, d);
    distKm = eraPm(d);
    double up[3] = {std::cos(s.lat) * std::cos(s.lon + gast),
                    std::cos(s.lat) * std::sin(s.lon + gast), std::sin(s.lat)};
    if (azimuth) {
        double ra, dec, alt;
        eraC2s(d, &ra, &dec);
        eraHd2ae(gast + s.lon - ra, dec, s.lat, azimuth, &alt);
    }
    return std::asin(eraPdp(up, d) / distKm);
}

constexpr double kAuKm = 149597870.7;

void SunGcrs(double mjd, double km[3]) {
    double pvh[2][3], pvb[2][3];
    eraEpv00(2400000.5, mjd + kTTminusUT, pvh, pvb);
    for (int i = 0; i < 3; ++i)
        km[i] = -pvh[0][i] * kAuKm;
}

void MoonGcrs(double mjd, double km[3]) {
    double pv[2][3];
    eraMoon98(2400000.5, mjd + kTTminusUT, pv);
    for (int i = 0; i < 3; ++i)
        km[i] = pv[0][i] * kAuKm;
}

// Jupiter seen from the Earth when its light left it.
void JupiterGcrs(double mjd, double km[3]) {
    double pvh[2][3], pvb[2][3], pj[2][3];
    eraEpv00(2400000.5, mjd + kTTminusUT, pvh, pvb);
    double tau = 0.0;
    for (int k = 0; k < 3; ++k) {
        eraPlan94(2400000.5, mjd + kTTminusUT - tau, 5, pj);
        double d[3];
        eraPmp(pj[0], pvh[0], d);
        tau = eraPm(d) * 499.004784 / 86400.0;
        for (int i = 0; i < 3; ++i)
            km[i] = d[i] * kAuKm;
    }
}

// The instant within [from, from + 1 day) where f crosses 0 upwards (rising)
// or downwards (setting); NaN when it does not.
double Crossing(const std::function<double(double)>& f, double from, bool rising) {
    const double step = 10.0 / 1440.0;
    double a = from, fa = f(a);
    for (double b = from + step; b <= from + 1.0 + 1e-9; b += step) {
        const double fb = f(b);
        if (rising ? (fa < 0 && fb >= 0) : (fa > 0 && fb <= 0)) {
            double lo = a, hi = b;
            for (int i = 0; i < 40; ++i) {
                const double mid = (lo + hi) / 2;
                const double fm = f(mid);
                if ((fm >= 0) == rising)
                    hi = mid;
                else
                    lo = mid;
            }
            return (lo + hi) / 2;
        }
        a = b;
        fa = fb;
    }
    return std::nan("");
}

// Local clock minutes of an MJD in a zone.
double LocalMinutes(double mjd, double zone) {
    double m = std::fmod((mjd + zone / 24.0) * 1440.0, 1440.0);
    return m < 0 ? m + 1440.0 : m;
}

// Minutes of an "hh:mm" text; the memo's times are truncated to the minute.
double TextMinutes(const std::string& hm) {
    return std::stoi(hm.substr(0, 2)) * 60 + std::stoi(hm.substr(3, 2)) + 0.5;
}

double MinutesApart(double a, double b) {
    double d = std::fabs(a - b);
    return std::min(d, 1440.0 - d);
}

// "06h45m09s" and "-16°43.0'" from the memo.
double HmsText(const std::string& t) {
    return (std::stoi(t.substr(0, 2)) + std::stoi(t.substr(3, 2)) / 60.0 +
            std::stoi(t.substr(6, 2)) / 3600.0) *
           15 * kDeg;
}
double DmText(const std::string& sign, const std::string& d, const std::string& m) {
    return (sign == "-" ? -1 : 1) * (std::stoi(d) + std::stod(m) / 60.0) * kDeg;
}

double AngleApart(double a, double b) {
    return std::fabs(std::remainder(a - b, 2 * kPi));
}

class ObjectInfo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        star_ = new TStar("Star.dat");
        nebula_ = new TNebula("Unsta.dat");
    }
    static void TearDownTestSuite() {
        delete star_;
        delete nebula_;
    }
    void SetUp() override {
        ASSERT_GT(star_->Count, 0) << star_->Error;
        ASSERT_GT(nebula_->Count, 0) << nebula_->Error;
        Place(tokyo_, 9.0, 0);
        At(2026, 12, 7, 21, 30);
    }
    void Place(const Site& s, double zone, int summer) {
        site_ = s;
        location_.Lon = s.lon;
        location_.Lat = s.lat;
        location_.SetMeter(s.height);
        zone_ = zone;
        summer_ = summer;
    }
    void At(int y, int mo, int d, int h, int mi) {
        moment_.SetNow(y, mo, d, h, mi, 0, zone_, summer_);
        moment_.SetLocal(zone_, summer_);
        char date[16], time[8];
        std::snprintf(date, sizeof date, "%d/%02d/%02d", y, mo, d);
        std::snprintf(time, sizeof time, "%02d:%02d", h, mi);
        info_.DateText = date;
        info_.TimeText = time;
        info_.DiffUT = zone_;
        info_.Summer = summer_;
        mjd0_ = TMjd::JULIAN(y, mo, d, 0.0, 0); // 0h UT of the local date
    }
    int FindStar(const char* abbr, int flamsteed) {
        for (int i = 0; i < star_->Count; ++i) {
            const TStarRecord& r = (*star_)[i];
            if (r.flamsteed == flamsteed && std::strcmp(con_.Rows[r.con].abbr, abbr) == 0) return i;
        }
        return -1;
    }
    int FindNebula(const std::function<bool(const TNebulaRecord&)>& want) {
        for (int i = 0; i < nebula_->Count; ++i)
            if (want((*nebula_)[i])) return i;
        return -1;
    }
    // Rising and setting of a fixed J2000 place from ERFA: the event within the
    // 24 hours after 0h UT of the local date, as the memo reports it.
    void FixedEvents(double ra, double dec, double& rise, double& set) {
        auto alt = [&](double mjd) {
            double dra, ddec, a, z;
            PrecessToDate(mjd, ra, dec, dra, ddec);
            MeanAltAz(site_, mjd, dra, ddec, a, z);
            return a + kHorizon;
        };
        rise = Crossing(alt, mjd0_, true);
        set = Crossing(alt, mjd0_, false);
    }
    // A body's events on the local date: its upper limb at the refracted horizon.
    void BodyEvents(void (*gcrs)(double, double[3]), double radiusKm, double& rise, double& set) {
        auto alt = [&](double mjd) {
            double km[3], dist;
            gcrs(mjd, km);
            const double a = TopoAltitude(site_, mjd, km, dist);
            return a + kHorizon + std::asin(radiusKm / dist);
        };
        const double localMidnight = mjd0_ - (zone_ + summer_) / 24.0;
        rise = Crossing(alt, localMidnight, true);
        set = Crossing(alt, localMidnight, false);
    }

    static TStar* star_;
    static TNebula* nebula_;
    TConstellation con_;
    TBodySet bodies_;
    TLocation location_;
    TMjd moment_;
    TObjectInfo info_{location_, moment_, bodies_, con_};
    Site site_{};
    const Site tokyo_{139.7 * kDeg, 35.7 * kDeg, 40.0};
    double zone_ = 9;
    int summer_ = 0;
    double mjd0_ = 0;
};

TStar* ObjectInfo::star_ = nullptr;
TNebula* ObjectInfo::nebula_ = nullptr;

TEST_F(ObjectInfo, SiriusTextWithPlaceOfDateHorizonAndEventsFromErfa) {
    info_.Star = star_;
    const int sirius = FindStar("CMa", 9);
    ASSERT_GE(sirius, 0);
    const TObjectInfo::TResult r = info_.Build(2, sirius);
    ASSERT_TRUE(r.Valid);
    std::smatch m;
    const std::regex pattern(
        "\\[Star\\] CMa-Alpha\\(9\\) Sirius Canis Major Mag:-1\\.44 Spectrum:A "
        "Rise:(\\d\\d:\\d\\d) Set:(\\d\\d:\\d\\d)\r\n"
        "  2026/12/07 21:30\\(UT\\+9\\.0\\) ΔT:\\+7\\ds "
        "Date:(\\d\\dh\\d\\dm\\d\\ds)([-+])(\\d+)°(\\d\\d\\.\\d)' "
        "J2000:06h45m09s-16°43\\.0' Alt:(-?\\d+\\.\\d)° Azi\\(N-E\\):(\\d+\\.\\d)°");
    ASSERT_TRUE(std::regex_match(r.Text, m, pattern)) << r.Text;
    EXPECT_EQ(r.NaviName, "CMa-Alpha(9) Sirius Canis Major");
    EXPECT_EQ(r.PicName, "CMa-Alpha(9)");

    const TStarRecord& s = (*star_)[sirius];
    const double mjd = moment_.GetMJD();
    double dra, ddec, alt, az;
    PrecessToDate(mjd, s.ra, s.dec, dra, ddec);
    // The program precesses over whole years (0.07 year short here).
    EXPECT_LT(AngleApart(r.NaviRa, dra) * std::cos(ddec), 4 * kArcsec);
    EXPECT_LT(std::fabs(r.NaviDec - ddec), 4 * kArcsec);
    // The text within its last digit (a second of time, a tenth of a minute).
    EXPECT_LT(AngleApart(HmsText(m[3]), dra), 12 * kArcsec);
    EXPECT_LT(std::fabs(DmText(m[4], m[5], m[6]) - ddec), 8 * kArcsec);
    MeanAltAz(site_, mjd, dra, ddec, alt, az);
    EXPECT_LT(std::fabs(r.Altitude - location_.Refract(alt)), 1 * kArcmin);
    EXPECT_LT(AngleApart(r.Azimuth, az), 1 * kArcmin);
    EXPECT_NEAR(std::stod(m[7]) * kDeg, r.Altitude, 0.051 * kDeg);
    EXPECT_NEAR(std::stod(m[8]) * kDeg, r.Azimuth, 0.051 * kDeg);

    double rise, set;
    FixedEvents(s.ra, s.dec, rise, set);
    ASSERT_TRUE(std::isfinite(rise) && std::isfinite(set));
    EXPECT_LT(MinutesApart(TextMinutes(m[1]), LocalMinutes(rise, 9)), 1.0) << m[1];
    EXPECT_LT(MinutesApart(TextMinutes(m[2]), LocalMinutes(set, 9)), 1.0) << m[2];
}

TEST_F(ObjectInfo, DeepStarNamedByItsMagnitudeWithEventsFromErfa) {
    std::string why;
    const std::unique_ptr<TStar> deep = TDeepStar::Open(TDeepStar::FileName, why);
    ASSERT_NE(deep, nullptr) << why;
    info_.Star = star_;
    info_.DeepStar = deep.get();
    // HAT-P-14, a 10th-magnitude Tycho-2 star in Hercules (17h20m27.9s +38°14'32").
    const double ra = (17 + 20 / 60.0 + 27.8775 / 3600) * 15 * kDeg;
    const double dec = (38 + 14 / 60.0 + 31.911 / 3600) * kDeg;
    int rec = -1;
    for (int i = 0; i < deep->Count && rec < 0; ++i)
        if (std::fabs((*deep)[i].dec - dec) < 5 * kArcsec &&
            AngleApart((*deep)[i].ra, ra) * std::cos(dec) < 5 * kArcsec)
            rec = i;
    ASSERT_GE(rec, 0);
    const TObjectInfo::TResult r = info_.Build(2, star_->Count + rec);
    ASSERT_TRUE(r.Valid);
    std::smatch m;
    const std::regex pattern(
        "\\[Star\\] Her Hercules Mag:9\\.95 Spectrum:F "
        "Rise:(\\d\\d:\\d\\d) Set:(\\d\\d:\\d\\d)\r\n"
        "  2026/12/07 21:30\\(UT\\+9\\.0\\) ΔT:\\+7\\ds Date:[^ ]+ "
        "J2000:17h20m28s\\+38°14\\.5' Alt:-?\\d+\\.\\d° Azi\\(N-E\\):\\d+\\.\\d°");
    ASSERT_TRUE(std::regex_match(r.Text, m, pattern)) << r.Text;
    EXPECT_EQ(r.NaviName, "Mag:9.95");
    EXPECT_EQ(r.PicKind, 2);
    EXPECT_EQ(r.PicName, "Her");
    double rise, set;
    FixedEvents((*deep)[rec].ra, (*deep)[rec].dec, rise, set);
    ASSERT_TRUE(std::isfinite(rise) && std::isfinite(set));
    EXPECT_LT(MinutesApart(TextMinutes(m[1]), LocalMinutes(rise, 9)), 1.0) << m[1];
    EXPECT_LT(MinutesApart(TextMinutes(m[2]), LocalMinutes(set, 9)), 1.0) << m[2];

    // Past the deep layer, or without it, a number names nothing.
    EXPECT_FALSE(info_.Build(2, star_->Count + deep->Count).Valid);
    info_.DeepStar = nullptr;
    EXPECT_FALSE(info_.Build(2, star_->Count + rec).Valid);
}

TEST_F(ObjectInfo, JupiterTextAgainstErfaPlaceAndFrame) {
    const TObjectInfo::TResult r = info_.Build(3, 3);
    ASSERT_TRUE(r.Valid);
    std::smatch m;
    const std::string pos = "(\\d\\dh\\d\\dm\\d\\ds)([-+])(\\d+)°(\\d\\d\\.\\d)'";
    const std::string ecl = "\\d+°\\d\\d\\.\\d'[-+]\\d+°\\d\\d\\.\\d'";
    const std::regex pattern(
        "\\[Jupiter\\] Mag:(-\\d\\.\\d\\d) Size:(\\d\\d)\" Elongation:(-?\\d+\\.\\d)°([EW]) "
        "Rise:(\\d\\d:\\d\\d) Set:(\\d\\d:\\d\\d)\r\n"
        "  2026/12/07 21:30\\(UT\\+9\\.0\\) ΔT:\\+7\\ds Date:" +
        pos + " J2000:" + pos +
        " Alt:(-?\\d+\\.\\d)° Azi\\(N-E\\):(\\d+\\.\\d)° Ecliptic λ, β\\(Helio\\):" + ecl +
        " Ecliptic λ, β\\(Geo\\):" + ecl +
        " Distance\\(Helio\\):(\\d\\.\\d{1,4})AU Distance\\(Geo\\):(\\d\\.\\d{1,4})AU");
    ASSERT_TRUE(std::regex_match(r.Text, m, pattern)) << r.Text;
    EXPECT_EQ(r.NaviName, "Jupiter");
    EXPECT_EQ(r.PicKind, 3);
    // The sign of the elongation and its side agree.
    EXPECT_EQ(m[3].str()[0] == '-', m[4] == "W");

    const double mjd = moment_.GetMJD();
    double km[3], dist;
    JupiterGcrs(mjd, km);
    double az;
    const double alt = TopoAltitude(site_, mjd, km, dist, &az);
    EXPECT_NEAR(std::stod(m[18]), eraPm(km) / kAuKm, 1e-3); // the theory, light time aside
    EXPECT_LT(std::fabs(r.Altitude - location_.Refract(alt)), 1 * kArcmin)
        << r.Altitude / kDeg << " " << alt / kDeg;
    EXPECT_LT(AngleApart(r.Azimuth, az), 1 * kArcmin) << r.Azimuth / kDeg << " " << az / kDeg;

    // The J2000 place is the place of date carried back (ERFA's precession;
    // the program's works in whole years, 0.07 year long here: 3").
    double ra0, dec0;
    PrecessToJ2000(mjd, r.NaviRa, r.NaviDec, ra0, dec0);
    EXPECT_LT(AngleApart(r.Ra2000, ra0) * std::cos(dec0), 4 * kArcsec);
    EXPECT_LT(std::fabs(r.Dec2000 - dec0), 4 * kArcsec);
    EXPECT_LT(AngleApart(HmsText(m[11]), r.Ra2000), 8 * kArcsec);
    EXPECT_LT(std::fabs(DmText(m[12], m[13], m[14]) - r.Dec2000), 4 * kArcsec);
}

TEST_F(ObjectInfo, AndromedaGalaxyAndTheCatalogueGaps) {
    info_.Nebula = nebula_;
    const int m31 = FindNebula([](const TNebulaRecord& n) { return n.no == 224; });
    ASSERT_GE(m31, 0);
    const TNebulaRecord& n = (*nebula_)[m31];
    TObjectInfo::TResult r = info_.Build(4, m31);
    std::smatch m;
    const std::regex pattern(
        "\\[Gx\\] NGC224\\(M31\\)  Andromeda Galaxy Mag:(\\d\\.\\d) "
        "Size:(\\d+)'x(\\d+)' Andromeda Rise:(\\d\\d:\\d\\d) "
        "Set:(\\d\\d:\\d\\d)\r\n"
        "  2026/12/07 21:30\\(UT\\+9\\.0\\) ΔT:\\+7\\ds Date:[^ ]+ J2000:00h42m44s\\+41°16\\.1' "
        "Alt:(-?\\d+\\.\\d)° Azi\\(N-E\\):(\\d+\\.\\d)°");
    ASSERT_TRUE(std::regex_match(r.Text, m, pattern)) << r.Text;
    EXPECT_EQ(std::stod(m[1]), std::round(n.mag / 10.0) / 10.0);
    EXPECT_EQ(std::stoi(m[2]), static_cast<int>(n.major / kArcmin + 0.5));
    EXPECT_EQ(r.PicName, "NGC224(M31)");
    double rise, set;
    FixedEvents(n.ra, n.dec, rise, set);
    EXPECT_LT(MinutesApart(TextMinutes(m[4]), LocalMinutes(rise, 9)), 1.0) << m[4];
    EXPECT_LT(MinutesApart(TextMinutes(m[5]), LocalMinutes(set, 9)), 1.0) << m[5];
    const double mjd = moment_.GetMJD();
    double dra, ddec, alt, az;
    PrecessToDate(mjd, n.ra, n.dec, dra, ddec);
    MeanAltAz(site_, mjd, dra, ddec, alt, az);
    EXPECT_LT(std::fabs(r.Altitude - location_.Refract(alt)), 1 * kArcmin);
    EXPECT_LT(AngleApart(r.Azimuth, az), 1 * kArcmin);

    // No magnitude in the catalogue: "--.-"; no size: no size item at all.
    const int dim = FindNebula([](const TNebulaRecord& x) { return x.mag == 0 && x.major > 0; });
    const int small = FindNebula([](const TNebulaRecord& x) { return x.major <= 0; });
    ASSERT_GE(dim, 0);
    ASSERT_GE(small, 0);
    r = info_.Build(4, dim);
    EXPECT_NE(r.Text.find(" Mag:--.- Size:"), std::string::npos) << r.Text;
    r = info_.Build(4, small);
    EXPECT_EQ(r.Text.find("Size:"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find(" Mag:"), std::string::npos) << r.Text;
}

TEST_F(ObjectInfo, StarsThatNeverCrossTheHorizonSaySo) {
    info_.Star = star_;
    const int polaris = FindStar("UMi", 1);
    ASSERT_GE(polaris, 0);
    TObjectInfo::TResult r = info_.Build(2, polaris);
    EXPECT_NE(r.Text.find(" Always up"), std::string::npos) << r.Text;
    EXPECT_EQ(r.Up, 1);
    // The brightest star south of -60: never above Tokyo's horizon.
    int south = -1;
    for (int i = 0; i < star_->Count; ++i)
        if ((*star_)[i].dec < -60 * kDeg && (south < 0 || (*star_)[i].mag < (*star_)[south].mag))
            south = i;
    ASSERT_GE(south, 0);
    r = info_.Build(2, south);
    EXPECT_NE(r.Text.find(" Never rises"), std::string::npos) << r.Text;
    EXPECT_EQ(r.Up, -1);
    EXPECT_LT(r.Altitude, 0.0);
}

TEST_F(ObjectInfo, SiriusRisesOverTheWallOfTheHorizonProfile) {
    // A 20-degree wall from the east round to the south: Sirius, rising in
    // the south-east, shows where its true altitude reaches 20 degrees less
    // the refraction there (Bennett: 2.703'); it sets in the open west.
    info_.Star = star_;
    const int sirius = FindStar("CMa", 9);
    ASSERT_GE(sirius, 0);
    THorizon wall;
    std::string error;
    ASSERT_TRUE(wall.Parse("0 0\n89.9 0\n90 20\n180 20\n180.1 0\n", "wall.txt", error));
    info_.Horizon = &wall;
    const TObjectInfo::TResult r = info_.Build(2, sirius);
    std::smatch m;
    const std::regex pattern(".* Rise:(\\d\\d:\\d\\d) Set:(\\d\\d:\\d\\d) \\(over your horizon\\)\r\n.*");
    ASSERT_TRUE(std::regex_match(r.Text, m, pattern)) << r.Text;
    const TStarRecord& s = (*star_)[sirius];
    auto over = [&](double level) {
        return [&, level](double mjd) {
            double dra, ddec, a, z;
            PrecessToDate(mjd, s.ra, s.dec, dra, ddec);
            MeanAltAz(site_, mjd, dra, ddec, a, z);
            return a - level;
        };
    };
    const double localMidnight = mjd0_ - zone_ / 24.0;
    const double rise = Crossing(over((20.0 - 2.703 / 60.0) * kDeg), localMidnight, true);
    const double set = Crossing(over(-kHorizon), localMidnight, false);
    EXPECT_LT(MinutesApart(TextMinutes(m[1]), LocalMinutes(rise, 9)), 1.0) << m[1];
    EXPECT_LT(MinutesApart(TextMinutes(m[2]), LocalMinutes(set, 9)), 1.0) << m[2];
    // Without the profile it rises well over an hour earlier.
    info_.Horizon = nullptr;
    const TObjectInfo::TResult flat = info_.Build(2, sirius);
    EXPECT_GT((r.Rise - flat.Rise) / (2 * kPi) * 24 * 60, 60.0);
}

TEST_F(ObjectInfo, MoonAndSunRiseAndSetAgainstErfa) {
    info_.MoonAge = 27.96;
    TObjectInfo::TResult r = info_.Build(3, 9);
    std::smatch m;
    const std::regex moon("\\[Moon\\] MoonAge:28\\.0 Mag:-?\\d+\\.\\d\\d Size:(\\d\\d)' "
                          "Elongation:-?\\d+\\.\\d°[EW] Rise:(\\d\\d:\\d\\d|---) "
                          "Set:(\\d\\d:\\d\\d|---)\r\n.* Ecliptic λ, β\\(Geo\\):[^ ]+ "
                          "Distance\\(Helio\\):\\d\\.\\d{1,4}AU Distance\\(Geo\\):(\\d{6})Km");
    ASSERT_TRUE(std::regex_match(r.Text, m, moon)) << r.Text;
    EXPECT_EQ(r.Text.find("(Helio):", r.Text.find("Ecliptic")), r.Text.find("Distance(Helio):") + 8)
        << "the Moon has no heliocentric ecliptic place";
    double rise, set;
    BodyEvents(MoonGcrs, 1737.4, rise, set);
    double km[3];
    MoonGcrs(moment_.GetMJD(), km);
    EXPECT_NEAR(std::stod(m[4]), eraPm(km), 100.0);
    ASSERT_EQ(std::isfinite(rise), m[2] != "---");
    ASSERT_EQ(std::isfinite(set), m[3] != "---");
    if (std::isfinite(rise)) {
        EXPECT_LT(MinutesApart(TextMinutes(m[2]), LocalMinutes(rise, 9)), 2.0);
    }
    if (std::isfinite(set)) {
        EXPECT_LT(MinutesApart(TextMinutes(m[3]), LocalMinutes(set, 9)), 2.0);
    }

    // A day of the month without a moonrise at Tokyo shows "---".
    int tried = 0;
    for (int day = 1; day <= 31 && tried == 0; ++day) {
        At(2026, 12, day, 12, 0);
        BodyEvents(MoonGcrs, 1737.4, rise, set);
        if (std::isfinite(rise)) continue;
        ++tried;
        r = info_.Build(3, 9);
        EXPECT_NE(r.Text.find(" Rise:---"), std::string::npos) << day << ": " << r.Text;
    }
    EXPECT_EQ(tried, 1);

    // The Sun at Greenwich the same day: no elongation, distance of date only.
    Place({0.0, 51.4769 * kDeg, 46.0}, 0.0, 0);
    At(2026, 12, 7, 12, 0);
    r = info_.Build(3, 8);
    const std::regex sun("\\[Sun\\] Mag:-26\\.80 Size:3\\d' Rise:(\\d\\d:\\d\\d) "
                         "Set:(\\d\\d:\\d\\d)\r\n  2026/12/07 12:00\\(UT\\+0\\.0\\) .* "
                         "Ecliptic λ, β\\(Helio\\):[^ ]+ Ecliptic λ, β\\(Geo\\):[^ ]+ "
                         "Distance\\(Geo\\):0\\.98\\d{1,2}AU");
    ASSERT_TRUE(std::regex_match(r.Text, m, sun)) << r.Text;
    BodyEvents(SunGcrs, 696000.0, rise, set);
    EXPECT_LT(MinutesApart(TextMinutes(m[1]), LocalMinutes(rise, 0)), 1.0) << m[1];
    EXPECT_LT(MinutesApart(TextMinutes(m[2]), LocalMinutes(set, 0)), 1.0) << m[2];

    // Tromso: polar night in December, midnight Sun in June.
    Place({18.96 * kDeg, 69.65 * kDeg, 10.0}, 1.0, 0);
    At(2026, 12, 7, 12, 0);
    r = info_.Build(3, 8);
    EXPECT_NE(r.Text.find(" Never rises"), std::string::npos) << r.Text;
    Place({18.96 * kDeg, 69.65 * kDeg, 10.0}, 1.0, 1);
    At(2026, 6, 21, 12, 0);
    r = info_.Build(3, 8);
    EXPECT_NE(r.Text.find(" Always up"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("  2026/06/21 +1 12:00(UT+1.0)"), std::string::npos) << r.Text;
}

TEST_F(ObjectInfo, SiteClickPointSatelliteAndNumberPatterns) {
    EXPECT_EQ(TObjectInfo::SiteText("Boston", -71.0575 * kDeg, 42.3584 * kDeg, 9.0, -4.0, 1.0),
              "[Boston] Longitude(E):-71°03'27\" Latitude(N):42°21'30\" SeaLevel:9 "
              "TimeZone:-4 SummerTime:1");
    EXPECT_EQ(TObjectInfo::SiteText("Tokyo", 139.7 * kDeg, 35.7 * kDeg, 40.5, 9.0, 0.0),
              "[Tokyo] Longitude(E):139°42'00\" Latitude(N):35°42'00\" SeaLevel:40.5 "
              "TimeZone:+9 SummerTime:0");

    Place({-71.0575 * kDeg, 42.3584 * kDeg, 9.0}, -4.0, 1);
    At(2026, 7, 4, 22, 15);
    info_.PickRa = 18.615 * 15 * kDeg; // Vega's neighbourhood
    info_.PickDec = 38.78 * kDeg;
    TObjectInfo::TResult r = info_.Build(1, 0);
    const std::regex click(
        "\\[ClickPoint\\] Rise:\\d\\d:\\d\\d Set:\\d\\d:\\d\\d\r\n"
        "  2026/07/04 \\+1 22:15\\(UT-4\\.0\\) ΔT:\\+7\\ds Date:18h3\\dm\\d\\ds\\+38°4\\d\\.\\d' "
        "J2000:18h36m54s\\+38°46\\.8' Alt:\\d+\\.\\d° Azi\\(N-E\\):\\d+\\.\\d°");
    EXPECT_TRUE(std::regex_match(r.Text, click)) << r.Text;
    EXPECT_EQ(r.NaviName, "ClickPoint");

    r = info_.Build(5, 13);
    const std::regex gan(
        "\\[Ganymede\\] Mag:4\\.60 Rise:(\\d\\d:\\d\\d|---) Set:(\\d\\d:\\d\\d|---)\r\n"
        "  2026/07/04 \\+1 22:15\\(UT-4\\.0\\) ΔT:\\+7\\ds Date:[^ ]+ J2000:[^ ]+ "
        "Alt:-?\\d+\\.\\d° Azi\\(N-E\\):\\d+\\.\\d° Distance\\(Helio\\):\\d\\.\\d+AU "
        "Distance\\(Geo\\):\\d\\.\\d+AU");
    EXPECT_TRUE(std::regex_match(r.Text, gan)) << r.Text;
    EXPECT_EQ(r.PicKind, 5);
    // Ganymede rises and sets with Jupiter, within the minutes its offset makes.
    const TObjectInfo::TResult j = info_.Build(3, 3);
    ASSERT_TRUE(j.HasRise && r.HasRise);
    EXPECT_LT(std::fabs(std::remainder(j.Rise - r.Rise, 2 * kPi)), 0.01);
    EXPECT_FALSE(info_.Build(3, 10).Valid);
    EXPECT_FALSE(info_.Build(2, 0).Valid); // no star catalogue given

    EXPECT_EQ(TObjectInfo::FormatFloat(1.005, "#0.#0"), "1.01");
    EXPECT_EQ(TObjectInfo::FormatFloat(-0.004, "#0.#0"), "0.00");
    EXPECT_EQ(TObjectInfo::FormatFloat(9.99999, "#0.####"), "10");
    EXPECT_EQ(TObjectInfo::FormatFloat(5.20345, "#0.####"), "5.2035");
    EXPECT_EQ(TObjectInfo::FormatFloat(384400.5, "#####0"), "384401");
    EXPECT_EQ(TObjectInfo::FormatFloat(0.04, "#0.0"), "0.0");
}

} // namespace

TEST_F(ObjectInfo, CometMemoWithElementsDistancesAndAnOldEpoch) {
    // 12P/Pons-Brooks in the MPC's comet format; its epoch (2024 April 22) is more than a
    // year before the moment shown (2026 December 7).
    TMinorBody b;
    std::string why;
    ASSERT_TRUE(TMpcReader::ParseComet(
        "0012P         2024 04 21.1437  0.780824  0.954599  198.9846  255.8557   74.1908  20240422 "
        "  5.0  4.0  12P/Pons-Brooks                                          MPC 75324",
        b, why))
        << why;
    const TObjectInfo::TResult r = info_.BuildMinor(b);
    ASSERT_TRUE(r.Valid);
    TMinorPlace p;
    p.Compute(b, moment_.GetMJD());
    ASSERT_TRUE(p.Valid);
    std::smatch m;
    const std::regex head("\\[Comet\\] 12P/Pons-Brooks Mag:(\\d+\\.\\d\\d) Elongation:-?[\\d.]+°[EW] "
                          "Phase:[\\d.]+° Rise:(\\d\\d:\\d\\d|---) Set:(\\d\\d:\\d\\d|---)\r\n.*");
    ASSERT_TRUE(std::regex_search(r.Text, m, head)) << r.Text;
    EXPECT_NEAR(std::stod(m[1]), 5.0 + 5 * std::log10(p.EarthDist) + 10 * std::log10(p.SunDist), 0.006);
    EXPECT_NE(r.Text.find("Distance(Geo):" + TObjectInfo::FormatFloat(p.EarthDist, "#0.####") + "AU"),
              std::string::npos)
        << r.Text;
    EXPECT_NE(r.Text.find("Elements(J2000): q=0.780824AU e=0.954599 i=74.1908° Node=255.8557° "
                          "Peri=198.9846° T=2024/04/21.1437 Epoch=2024/04/22 M1=5.0 K1=10.0"),
              std::string::npos)
        << r.Text;
    EXPECT_NE(r.Text.find("Warning: the elements' epoch is 2.6 years from this date"), std::string::npos)
        << r.Text;
    EXPECT_EQ(r.NaviName, "12P/Pons-Brooks");
    // Elements of the same month: no warning.
    b.Epoch = moment_.GetMJD() - 20.0;
    EXPECT_EQ(info_.BuildMinor(b).Text.find("Warning"), std::string::npos);
}

// A comet's rising and setting come over the site's horizon profile: with the
// horizon 15 degrees high all round, where its true altitude reaches 15 degrees
// less the refraction there (Bennett: 3.636'), from its own places and ERFA's
// horizon coordinates. It culminates at 23.3 degrees.
TEST_F(ObjectInfo, CometRisesOverTheHorizonProfile) {
    TMinorBody b;
    std::string why;
    ASSERT_TRUE(TMpcReader::ParseComet(
        "0012P         2024 04 21.1437  0.780824  0.954599  198.9846  255.8557   74.1908  20240422 "
        "  5.0  4.0  12P/Pons-Brooks                                          MPC 75324",
        b, why))
        << why;
    THorizon high;
    ASSERT_TRUE(high.Parse("0 15\n180 15\n", "high.txt", why)) << why;
    info_.Horizon = &high;
    const TObjectInfo::TResult r = info_.BuildMinor(b);
    std::smatch m;
    const std::regex pattern(".* Rise:(\\d\\d:\\d\\d) Set:(\\d\\d:\\d\\d) \\(over your horizon\\)\r\n.*");
    ASSERT_TRUE(std::regex_search(r.Text, m, pattern)) << r.Text;
    auto over = [&](double mjd) {
        TMinorPlace q;
        q.Compute(b, mjd);
        double a, z;
        MeanAltAz(site_, mjd, q.Ra, q.Dec, a, z);
        return a - (15.0 - 3.636 / 60.0) * kDeg;
    };
    const double localMidnight = mjd0_ - zone_ / 24.0;
    EXPECT_LT(MinutesApart(TextMinutes(m[1]), LocalMinutes(Crossing(over, localMidnight, true), 9)),
              1.0)
        << m[1];
    EXPECT_LT(MinutesApart(TextMinutes(m[2]), LocalMinutes(Crossing(over, localMidnight, false), 9)),
              1.0)
        << m[2];
    // A wall higher than it ever climbs: never rises.
    THorizon wall;
    ASSERT_TRUE(wall.Parse("0 25\n180 25\n", "wall.txt", why)) << why;
    info_.Horizon = &wall;
    EXPECT_NE(info_.BuildMinor(b).Text.find(" Never rises (over your horizon)"), std::string::npos);
    info_.Horizon = nullptr;
}
