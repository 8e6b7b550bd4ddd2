// The finder chart's rules: fields as users write them, the rings file, the
// scale that frames the rings and the limit that suits a field.
#include <gtest/gtest.h>

#include <cmath>

#include "finder/Clsfinder.h"

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180;
}

TEST(Finder, FieldsInDegreesOrMinutesOfArc) {
    struct Case {
        const char* text;
        double acrossDeg;
        const char* label;
    };
    // Radii are half of what is written: a field is given by its diameter.
    for (const Case& c : {Case{"2", 2, "2\u00b0"}, Case{"0.5", 0.5, "0.5\u00b0"},
                          Case{" 4d ", 4, "4\u00b0"}, Case{"1.2\u00b0", 1.2, "1.2\u00b0"},
                          Case{"30'", 0.5, "30'"}, Case{"42m", 0.7, "42'"},
                          Case{"52 arcmin", 52.0 / 60, "52'"}, Case{"1'", 1.0 / 60, "1'"},
                          Case{"90", 90, "90\u00b0"}}) {
        TFinder::TRing r;
        std::string why;
        ASSERT_TRUE(TFinder::ParseField(c.text, r, why)) << c.text << ": " << why;
        EXPECT_NEAR(r.Radius, c.acrossDeg / 2 * kDeg, 1e-12) << c.text;
        EXPECT_EQ(r.Label, c.label) << c.text;
    }
    for (const char* bad : {"", "x", "-2", "0", "0.5'", "91", "2dd", "1e3", "nan", "2 3", "'"}) {
        TFinder::TRing r;
        std::string why;
        EXPECT_FALSE(TFinder::ParseField(bad, r, why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
    }
    // A Telrad's circles are 0.5, 2 and 4 degrees across.
    const auto t = TFinder::Telrad();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_NEAR(t[0].Radius, 0.25 * kDeg, 1e-15);
    EXPECT_NEAR(t[2].Radius, 2.0 * kDeg, 1e-15);
}

TEST(Finder, ScaleFramesTheWidestRingAndTheLimitFollowsTheField) {
    // 4 degrees (0.0698 rad) across half of 564 pixels: 282 / 0.0698 = 4039.
    EXPECT_NEAR(TFinder::Scale(TFinder::Telrad(), 1010, 564), 4039, 1);
    // A wider eyepiece ring widens the field.
    TFinder::TRing wide;
    std::string why;
    ASSERT_TRUE(TFinder::ParseField("8", wide, why));
    auto rings = TFinder::Telrad();
    rings.push_back(wide);
    EXPECT_NEAR(TFinder::Scale(rings, 1010, 564), 2020, 1);
    // Magnitude 9 at 10 degrees, one fainter per halving, within 6 to 13.
    EXPECT_EQ(TFinder::LimitForField(10 * kDeg), 900);
    EXPECT_EQ(TFinder::LimitForField(5 * kDeg), 1000);
    EXPECT_EQ(TFinder::LimitForField(2.5 * kDeg), 1100);
    EXPECT_EQ(TFinder::LimitForField(0.01 * kDeg), 1300);
    EXPECT_EQ(TFinder::LimitForField(180 * kDeg), 600);
}

TEST(Finder, RingsFileSkipsWhatItCannotReadAndSaysWhere) {
    std::vector<std::string> problems;
    const auto rings = TFinder::ReadRings("# my eyepieces\n0.5\r\n\n52'  # 25 mm\nbig\n4d", problems);
    ASSERT_EQ(rings.size(), 3u);
    EXPECT_NEAR(rings[1].Radius, 26.0 / 60 * kDeg, 1e-12);
    EXPECT_EQ(rings[2].Label, "4\u00b0");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("line 5"), std::string::npos) << problems[0];
    // No more than MaxRings, however long the file.
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "1\n";
    problems.clear();
    EXPECT_EQ(TFinder::ReadRings(many, problems).size(), static_cast<size_t>(TFinder::MaxRings));
    EXPECT_EQ(problems.size(), 1u);
    problems.clear();
    EXPECT_TRUE(TFinder::ReadRings("", problems).empty());
    EXPECT_TRUE(problems.empty());
}

TEST(Finder, ShownOrHiddenIsOneLineAndTheRestOfTheFileStays) {
    std::vector<std::string> problems;
    bool shown = true;
    const std::string mine = "# mine\r\n0.5\noff  # for now\n2\n";
    EXPECT_EQ(TFinder::ReadRings(mine, problems, &shown).size(), 2u);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(problems.empty());
    const std::string on = TFinder::SetShown(mine, true);
    EXPECT_EQ(on, "# mine\r\n0.5\n2\n");
    EXPECT_EQ(TFinder::SetShown(on, false), "off\n# mine\r\n0.5\n2\n");
    // The last line without its newline is kept too.
    EXPECT_EQ(TFinder::SetShown("on\n52'", false), "off\n52'");
    // Until the user writes a list: a Telrad's rings, hidden.
    shown = true;
    const auto rings = TFinder::ReadRings(TFinder::DefaultRings(), problems, &shown);
    EXPECT_FALSE(shown);
    ASSERT_EQ(rings.size(), 3u);
    EXPECT_NEAR(rings[2].Radius, 2.0 * kDeg, 1e-15);
    EXPECT_TRUE(problems.empty());
}
