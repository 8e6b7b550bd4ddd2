// quenlira-chart --center NAME over the real catalogues: the same names as the
// find field, places checked against the published ones (Hipparcos, SEDS),
// and an unknown name refused with exit status 2 and the nearest names.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "tools/chart/Chartfind.h"
#include "tools/chart/Chartoptions.h"

namespace {

std::string Parse(std::vector<const char*> args, TChartOptions& o) {
    args.insert(args.begin(), "quenlira-chart");
    return ParseChartOptions(static_cast<int>(args.size()), args.data(), o);
}

} // namespace

TEST(ChartCenter, NamesGiveThePlacesAndBodiesTheirNumber) {
    struct Case {
        const char* name;
        double raHours, decDeg, tolDeg;
        const char* label;
    };
    // Betelgeuse: HIP 27989, 5h55m10.3s +7°24'25"; NGC 7000 20h58.8m +44°20';
    // M57 18h53.6m +33°02'.
    const Case cases[] = {
        {"betelgeuse", 5 + 55 / 60.0 + 10.3 / 3600, 7 + 24 / 60.0 + 25 / 3600.0, 0.01,
         "Betelgeuse"},
        {"HIP 27989", 5 + 55 / 60.0 + 10.3 / 3600, 7 + 24 / 60.0 + 25 / 3600.0, 0.01, "HIP 27989"},
        {"ngc 7000", 20 + 58.8 / 60, 44 + 20 / 60.0, 1.0, "NGC 7000 North America Nebula"},
        {"Ring Nebula", 18 + 53.6 / 60, 33 + 2 / 60.0, 0.3, "M57 Ring Nebula"},
    };
    for (const Case& c : cases) {
        TChartOptions o;
        ASSERT_EQ(
            Parse({"--chart", "atlas", "--site", "tokyo", "--center", c.name, "-o", "a.png"}, o),
            "");
        std::string why;
        ASSERT_TRUE(ResolveChartCentre(o, ".", 61000.0, why)) << c.name << ": " << why;
        EXPECT_NEAR(o.RaHours * 15, c.raHours * 15, c.tolDeg) << c.name;
        EXPECT_NEAR(o.DecDeg, c.decDeg, c.tolDeg) << c.name;
        EXPECT_EQ(o.CenterBody, -1);
        EXPECT_EQ(ChartCentreText(o), c.label);
    }
    TChartOptions j;
    ASSERT_EQ(
        Parse({"--chart", "atlas", "--site", "tokyo", "--center", "JUPITER", "-o", "j.png"}, j),
        "");
    std::string why;
    ASSERT_TRUE(ResolveChartCentre(j, ".", 61000.0, why)) << why;
    EXPECT_EQ(j.CenterBody, 3);
}

TEST(ChartCenter, OneWayOfCentringAndUnknownNamesExitWith2) {
    TChartOptions o;
    EXPECT_NE(Parse({"--site", "tokyo", "--center", "vega", "--ra", "5", "-o", "a.png"}, o), "");
    TChartOptions b;
    EXPECT_NE(
        Parse({"--site", "tokyo", "--center", "vega", "--center-body", "moon", "-o", "a.png"}, b),
        "");
    TChartOptions e;
    EXPECT_NE(Parse({"--site", "tokyo", "--center", "", "-o", "a.png"}, e), "");

    TChartOptions u;
    ASSERT_EQ(
        Parse({"--chart", "atlas", "--site", "tokyo", "--center", "Betelgeuze", "-o", "u.png"}, u),
        "");
    std::string why;
    EXPECT_FALSE(ResolveChartCentre(u, ".", 61000.0, why));
    EXPECT_NE(why.find("Betelgeuze"), std::string::npos) << why;
    EXPECT_NE(why.find("Betelgeuse"), std::string::npos) << why;

    const int rc = std::system("./quenlira-chart --chart atlas --site tokyo --center 'Betelgeuze' "
                               "-o /tmp/chartcenter_never.png 2>/dev/null");
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 2);
    EXPECT_NE(std::system("test -e /tmp/chartcenter_never.png"), 0);
    const int ok = std::system("./quenlira-chart --chart atlas --site tokyo --center 'alpha ori' "
                               "--size 64x64 -o /tmp/chartcenter_ok.png 2>/dev/null");
    ASSERT_TRUE(WIFEXITED(ok));
    EXPECT_EQ(WEXITSTATUS(ok), 0);
    std::remove("/tmp/chartcenter_ok.png");
}
