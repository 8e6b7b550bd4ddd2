// quenlira-chart --where NAME against ERFA: a star's apparent place of date from its J2000
// place (IAU 2006/2000A, aberration, light deflection) and its altitude and azimuth; a
// planet's astrometric place from ERFA's own ephemeris and Earth; a comet from an element
// file.
#include <gtest/gtest.h>

#include <erfa.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "minor/Minorlist.h"
#include "minor/Minorplace.h"
#include "tools/chart/Chartoptions.h"
#include "tools/chart/Chartwhere.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;
constexpr double kArcsec = kDeg / 3600.0;

std::map<std::string, double> Where(const char* name, std::string* label = nullptr,
                                    const TMinorList& minor = TMinorList()) {
    TChartOptions o;
    std::vector<const char*> args = {"quenlira-chart", "--site", "tokyo", "--date", "2026-12-08",
                                     "--time", "12:30", "--where", name};
    EXPECT_EQ(ParseChartOptions(int(args.size()), args.data(), o), "");
    std::string out, why;
    std::map<std::string, double> v;
    if (!ChartWhere(o, ".", minor, ChartMjd(o, 0), out, why)) {
        ADD_FAILURE() << name << ": " << why;
        return v;
    }
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const auto colon = line.find(": ");
        if (colon == std::string::npos) {
            ADD_FAILURE() << line;
            continue;
        }
        if (line.compare(0, colon, "name") == 0) {
            if (label) *label = line.substr(colon + 2);
            continue;
        }
        v[line.substr(0, colon)] = std::stod(line.substr(colon + 2));
    }
    return v;
}

double Apart(double ra1, double dec1, double ra2, double dec2) {
    double a[3], b[3];
    eraS2c(ra1 * kDeg, dec1 * kDeg, a);
    eraS2c(ra2 * kDeg, dec2 * kDeg, b);
    return eraSepp(a, b);
}

const double kMjd = 61382.0 + 12.5 / 24.0; // 2026-12-08 12:30 UT
const double kTT = kMjd + 69.184 / 86400.0;  // TAI - UTC = 37 s

TEST(ChartWhere, StarAgainstErfa) {
    std::string label;
    auto v = Where("Betelgeuse", &label);
    ASSERT_EQ(v.count("ra-date"), 1u);
    EXPECT_EQ(label, "Betelgeuse");
    EXPECT_EQ(v.count("distance-au"), 0u);
    EXPECT_NEAR(v["mag"], 0.45, 0.01);
    // The catalogue place within an arc second of Hipparcos (5h55m10.29s +7 24'25.4").
    EXPECT_LT(Apart(v["ra-j2000"], v["dec-j2000"], 88.792939, 7.407064), 1.5 * kArcsec);
    // ERFA: the same J2000 place to the true equator and equinox of date (CIRS less the
    // equation of the origins).
    double ri, di, eo;
    eraAtci13(v["ra-j2000"] * kDeg, v["dec-j2000"] * kDeg, 0, 0, 0, 0, 2400000.5, kTT, &ri, &di, &eo);
    const double ra = eraAnp(ri - eo) / kDeg, dec = di / kDeg;
    EXPECT_LT(Apart(v["ra-date"], v["dec-date"], ra, dec), 1.5 * kArcsec)
        << v["ra-date"] << " " << ra << " / " << v["dec-date"] << " " << dec;
    // Altitude and azimuth at Tokyo (139.5167 E, 35.68333 N) without refraction.
    double aob, zob, hob, dob, rob, eoo;
    ASSERT_EQ(eraAtco13(v["ra-j2000"] * kDeg, v["dec-j2000"] * kDeg, 0, 0, 0, 0, 2400000.5, kMjd, 0.0,
                        139.5167 * kDeg, 35.68333 * kDeg, 0, 0, 0, 0, 0, 0, 0.55, &aob, &zob, &hob,
                        &dob, &rob, &eoo),
              0);
    EXPECT_NEAR(v["alt"], 90.0 - zob / kDeg, 3.0 / 3600);
    EXPECT_NEAR(v["az"], aob / kDeg, 3.0 / 3600 / std::cos(v["alt"] * kDeg));
}

TEST(ChartWhere, PlanetAgainstErfa) {
    auto v = Where("Mars");
    ASSERT_EQ(v.count("distance-au"), 1u);
    // ERFA's Mars and Earth, light time: the astrometric (GCRS) place.
    double pvh[2][3], pvb[2][3], pv[2][3], g[3], tau = 0;
    eraEpv00(2400000.5, kTT, pvh, pvb);
    for (int it = 0; it < 3; ++it) {
        eraPlan94(2400000.5, kTT - tau, 4, pv);
        eraPmp(pv[0], pvh[0], g);
        tau = eraPm(g) * 0.0057755183;
    }
    double ra, dec;
    eraC2s(g, &ra, &dec);
    ra = eraAnp(ra) / kDeg;
    dec /= kDeg;
    // The planet theory is good to some 40" (docs/accuracy.md) ...
    EXPECT_LT(Apart(v["ra-j2000"], v["dec-j2000"], ra, dec), 45 * kArcsec);
    EXPECT_NEAR(v["distance-au"], eraPm(g), 2e-4 * eraPm(g));
    // ... but from J2000 to the place of date it must do what ERFA does, to 1.5".
    double ri, di, eo;
    eraAtci13(v["ra-j2000"] * kDeg, v["dec-j2000"] * kDeg, 0, 0, 0, 0, 2400000.5, kTT, &ri, &di, &eo);
    EXPECT_LT(Apart(v["ra-date"], v["dec-date"], eraAnp(ri - eo) / kDeg, di / kDeg), 1.5 * kArcsec);
    // The Almanac's magnitude and the phase angle of the triangle Sun-Mars-Earth.
    const double r = eraPm(pv[0]), R = eraPm(pvh[0]), d = eraPm(g);
    EXPECT_NEAR(v["phase-angle"], std::acos((r * r + d * d - R * R) / (2 * r * d)) / kDeg, 0.05);
    EXPECT_NEAR(v["mag"], 0.35, 0.05);
}

TEST(ChartWhere, CometFromAnElementFileAndUnknownNames) {
    const char* line =
        "0012P         2024 04 21.1437  0.780824  0.954599  198.9846  255.8557   74.1908  20240422 "
        "  5.0  4.0  12P/Pons-Brooks                                          MPC 75324";
    const std::string path = testing::TempDir() + "/CometEls.txt";
    std::ofstream(path) << line << "\n";
    TMinorList minor;
    ASSERT_TRUE(minor.AddFile(path));
    std::string label;
    auto v = Where("Pons-Brooks", &label, minor);
    EXPECT_EQ(label, "12P/Pons-Brooks");
    TMinorPlace p;
    p.Compute(minor.Bodies[0], kMjd);
    ASSERT_TRUE(p.Valid);
    EXPECT_NEAR(v["ra-j2000"], p.RaJ2000 / kDeg, 1e-6);
    EXPECT_NEAR(v["dec-date"], p.Dec / kDeg, 1e-6);
    EXPECT_NEAR(v["distance-au"], p.EarthDist, 1e-8);
    EXPECT_NEAR(v["mag"], 5.0 + 5 * std::log10(p.EarthDist) + 10 * std::log10(p.SunDist), 0.01);
    for (const char* key : {"ra-date", "dec-date", "ra-j2000", "dec-j2000", "alt", "az", "mag",
                            "distance-au", "phase-angle"})
        EXPECT_EQ(v.count(key), 1u) << key;
    std::remove(path.c_str());

    TChartOptions o;
    std::vector<const char*> args = {"quenlira-chart", "--site", "tokyo", "--where", "Nosuchthing"};
    ASSERT_EQ(ParseChartOptions(int(args.size()), args.data(), o), "");
    std::string out, why;
    EXPECT_FALSE(ChartWhere(o, ".", minor, 61382.0, out, why));
    EXPECT_NE(why.find("no object is called"), std::string::npos) << why;
}

} // namespace
