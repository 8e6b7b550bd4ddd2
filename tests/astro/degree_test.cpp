// Angle texts: expected strings are worked out by hand from the angles, not taken from output.
#include "astro/Basicfnc.h"
#include "astro/Clsdegree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kPi = 3.14159265358979323846;
const char* kDeg = "\xC2\xB0";

double HmsToRad(double h, double m, double s) {
    return (h + m / 60.0 + s / 3600.0) * 15.0 * kPi / 180.0;
}
double DmsToRad(double d, double m, double s) {
    return (d + m / 60.0 + s / 3600.0) * kPi / 180.0;
}

std::string Time(double rad, int form, int decimals) {
    TDegrees t;
    t.SetRad(rad);
    return t.TextTime(form, decimals);
}

TDegrees FileStyle() {
    TDegrees t;
    t.SetLng(2);
    t.SetMarkMin("m");
    t.SetMarkSec("s");
    return t;
}

} // namespace

TEST(TextTime, EveryFormOfOneAngle) {
    double a = HmsToRad(5, 35, 17.34);
    EXPECT_EQ(Time(a, 2, 1), "05h35m17.3s");
    EXPECT_EQ(Time(a, 2, 2), "05h35m17.34s");
    EXPECT_EQ(Time(a, 2, 0), "05h35m17s");
    EXPECT_EQ(Time(a, 1, 0), "05h35m");   // 17 s rounds down
    EXPECT_EQ(Time(a, 1, 1), "05h35.3m"); // 35.289 min
    EXPECT_EQ(Time(a, 0, 2), "05.59h");   // 5.5882 h
    EXPECT_EQ(Time(a, 0, 0), "06h");      // nearest hour
    EXPECT_EQ(Time(a, 10, 0), "05");
    EXPECT_EQ(Time(a, 11, 2), "05:35"); // never decimals
    EXPECT_EQ(Time(a, 12, 0), "05:35:17");
    EXPECT_EQ(Time(a, 3, 0), "");
    EXPECT_EQ(Time(a, 13, 0), "");
}

TEST(TextTime, RoundingAgainstTruncation) {
    EXPECT_EQ(Time(HmsToRad(12, 58, 31), 1, 0), "12h59m");
    EXPECT_EQ(Time(HmsToRad(12, 34, 59), 11, 0), "12:34");
    EXPECT_EQ(Time(HmsToRad(1, 2, 3.456), 2, 2), "01h02m03.46s");
    EXPECT_EQ(Time(HmsToRad(1, 2, 3.454), 2, 2), "01h02m03.45s");
    EXPECT_EQ(Time(HmsToRad(1, 59, 59.96), 2, 1), "02h00m00.0s"); // carries through both units
    // Within half a minute below 24 h: shown as 24h00m, not wrapped to 00.
    EXPECT_EQ(Time(HmsToRad(23, 59, 45), 1, 0), "24h00m");
}

TEST(TextTime, AnglesOutsideOneTurn) {
    EXPECT_EQ(Time(HmsToRad(-1, 0, 0), 10, 0), "23");
    EXPECT_EQ(Time(HmsToRad(-1, 0, 30) - 4 * kPi, 11, 0), "23:00");
    EXPECT_EQ(Time(HmsToRad(26, 30, 0), 11, 0), "02:30");
    EXPECT_EQ(Time(0.0, 12, 0), "00:00:00");
    // Nonsense in, a plain text out rather than a hang or garbage.
    EXPECT_EQ(Time(std::numeric_limits<double>::infinity(), 11, 0), "00:00");
    EXPECT_EQ(Time(std::nan(""), 2, 0), "00h00m00s");
}

TEST(TextTime, DecimalsAreLimitedToNine) {
    EXPECT_EQ(Time(0.0, 0, 9), "00.000000000h");
    EXPECT_EQ(Time(0.0, 0, 12), "00.000000000h");
    EXPECT_EQ(Time(HmsToRad(3, 0, 0), 0, -2), "03h");
    EXPECT_EQ(Time(HmsToRad(3, 30, 0), 0, 3), "03.500h");
}

TEST(TextDeg, WesternMarks) {
    TDegrees t;
    t.SetLng(1);
    t.SetRad(DmsToRad(41, 16, 9.2));
    EXPECT_EQ(t.TextDeg(0, 0), std::string(" 41") + kDeg);
    EXPECT_EQ(t.TextDeg(1, 0), std::string(" 41") + kDeg + "16'");
    EXPECT_EQ(t.TextDeg(2, 0), std::string(" 41") + kDeg + "16'09\"");
    EXPECT_EQ(t.TextDeg(2, 2), std::string(" 41") + kDeg + "16'09.20\"");
    EXPECT_EQ(t.TextDeg(1, 1), std::string(" 41") + kDeg + "16.2'"); // 16.153 min
    EXPECT_EQ(t.TextDeg(0, 3), std::string(" 41.269") + kDeg);       // 41.2692 deg
    t.SetLng(0);
    EXPECT_EQ(t.TextDeg(0, 0), std::string(" 41") + kDeg);
    EXPECT_EQ(t.GetMark(), kDeg);
}

TEST(TextDeg, FileMarksFromTheWorkedExamples) {
    TDegrees t = FileStyle();
    t.SetRad(-DmsToRad(5, 23, 28.4));
    EXPECT_EQ(t.TextDeg(2, 1), "-5.23m28.4s");
    t.SetRad(DmsToRad(41, 16, 9));
    EXPECT_EQ(t.TextDeg(2, 1), " 41.16m09.0s");
    EXPECT_EQ(t.TextDeg(1, 0), " 41.16m");
    EXPECT_EQ(t.TextDeg(0, 1), " 41.3.");
}

TEST(TextDeg, SignZeroAndRounding) {
    TDegrees t;
    t.SetRad(0.0);
    EXPECT_EQ(t.TextDeg(0, 0), std::string(" 0") + kDeg);
    t.SetRad(-DmsToRad(0.5, 0, 0));
    EXPECT_EQ(t.TextDeg(0, 1), std::string("-0.5") + kDeg);
    t.SetRad(DmsToRad(10, 29, 31));
    EXPECT_EQ(t.TextDeg(1, 0), std::string(" 10") + kDeg + "30'");
    t.SetRad(DmsToRad(359, 59, 59.9));
    EXPECT_EQ(t.TextDeg(2, 0), std::string(" 360") + kDeg + "00'00\"");
    t.SetRad(DmsToRad(400, 0, 0));
    EXPECT_EQ(t.TextDeg(0, 0), std::string(" 40") + kDeg);
    t.SetRad(-DmsToRad(400, 0, 0));
    EXPECT_EQ(t.TextDeg(0, 0), std::string("-40") + kDeg);
}

TEST(TextDeg, MinutesAndSecondsOnly) {
    TDegrees t;
    t.SetRad(DmsToRad(1, 0, 0));
    EXPECT_EQ(t.TextDeg(3, 0), " 60'");
    t.SetRad(DmsToRad(0, 1, 0));
    EXPECT_EQ(t.TextDeg(4, 0), " 60\"");
    t.SetRad(DmsToRad(0, 31, 15));
    EXPECT_EQ(t.TextDeg(3, 2), " 31.25'");
    t.SetRad(-DmsToRad(2, 3, 4.5));
    EXPECT_EQ(t.TextDeg(4, 1), "-7384.5\"");
}

TEST(Tim2Rad, ReadsEverySeparatorStyle) {
    bool ok = false;
    EXPECT_NEAR(TDegrees::Tim2Rad("12h34m56s", ok), HmsToRad(12, 34, 56), 1e-12);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(TDegrees::Tim2Rad(" 12:34:56 "), HmsToRad(12, 34, 56), 1e-12);
    EXPECT_NEAR(TDegrees::Tim2Rad("12h34.9"), HmsToRad(12, 34.9, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Tim2Rad("12h34.9m"), HmsToRad(12, 34.9, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Tim2Rad("05h35m"), HmsToRad(5, 35, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Tim2Rad("05h35m17.34s"), HmsToRad(5, 35, 17.34), 1e-12);
}

TEST(Tim2Rad, ReadsBackWhatTextTimeWrote) {
    for (double h : {0.0, 0.01, 5.5882, 11.999, 17.25, 23.9})
        for (int form : {1, 2}) {
            bool ok = false;
            double a = h * 15.0 * kPi / 180.0;
            std::string text = Time(a, form, 2);
            double tolerance = (form == 1 ? 0.005 * 60 : 0.005) * 15.0 / 3600.0 * kPi / 180.0;
            EXPECT_NEAR(TDegrees::Tim2Rad(text, ok), a, tolerance * 1.01) << text;
            EXPECT_TRUE(ok) << text;
        }
}

TEST(Deg2Rad, ReadsTheFileStyle) {
    bool ok = false;
    EXPECT_NEAR(TDegrees::Deg2Rad("-05.23m28s", ok), -DmsToRad(5, 23, 28), 1e-12);
    EXPECT_TRUE(ok);
    EXPECT_NEAR(TDegrees::Deg2Rad("35.5m"), DmsToRad(35, 5, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Deg2Rad("-5.23m28.4s"), -DmsToRad(5, 23, 28.4), 1e-12);
    EXPECT_NEAR(TDegrees::Deg2Rad(" 41.16m09.0s"), DmsToRad(41, 16, 9), 1e-12);
    EXPECT_NEAR(TDegrees::Deg2Rad(" 41.16.5m"), DmsToRad(41, 16.5, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Deg2Rad(" 41.3."), DmsToRad(41.3, 0, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Deg2Rad("+12.25"), DmsToRad(12.25, 0, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Deg2Rad("-0.30m"), -DmsToRad(0.5, 0, 0), 1e-12);
    EXPECT_NEAR(TDegrees::Deg2Rad("-135"), -DmsToRad(135, 0, 0), 1e-12);
}

TEST(Deg2Rad, ReadsBackWhatTextDegWrote) {
    TDegrees t = FileStyle();
    for (double d : {-89.99, -41.2692, -0.4, 0.0, 0.02, 7.5, 66.56, 359.9})
        for (int form : {0, 1, 2}) {
            t.SetRad(d * kPi / 180.0);
            std::string text = t.TextDeg(form, 2);
            double unit = form == 0 ? 1.0 : (form == 1 ? 1.0 / 60 : 1.0 / 3600);
            bool ok = false;
            EXPECT_NEAR(TDegrees::Deg2Rad(text, ok), t.Rad, 0.00501 * unit * kPi / 180.0) << text;
            EXPECT_TRUE(ok) << text;
        }
}

TEST(Parsers, MalformedTextGivesZeroAndSaysSo) {
    for (const char* text :
         {"", "   ", "abc", "1", "12hxx", "ab:cd:ef", "12:3x:56", "1e5", "nan", "-1:30:00"}) {
        bool ok = true;
        EXPECT_EQ(TDegrees::Tim2Rad(text, ok), 0.0) << text;
        EXPECT_FALSE(ok) << text;
    }
    for (const char* text :
         {"", "-", "abc", "ab.cd", "12.xxm", "12.3.4", "12.ab5s", "inf", "--5.5"}) {
        bool ok = true;
        EXPECT_EQ(TDegrees::Deg2Rad(text, ok), 0.0) << text;
        EXPECT_FALSE(ok) << text;
    }
    EXPECT_EQ(TDegrees::Deg2Rad("x"), 0.0);
    EXPECT_EQ(TDegrees::Tim2Rad("x"), 0.0);
}

TEST(Reductions, DsubAndAdjustDeg) {
    EXPECT_NEAR(TDegrees::Dsub(0.1, 0.2), 2 * kPi - 0.1, 1e-15);
    EXPECT_NEAR(TDegrees::Dsub(0.2, 0.1), 0.1, 1e-15);
    EXPECT_EQ(TDegrees::Dsub(1.0, 1.0), 0.0);
    EXPECT_EQ(TDegrees::AdjustDeg(6.28318530717958), 6.28318530717958);
    EXPECT_NEAR(TDegrees::AdjustDeg(-0.1), 6.18318530717958, 1e-14);
    EXPECT_NEAR(TDegrees::AdjustDeg(7.0), 7.0 - 6.28318530717958, 1e-14);
    EXPECT_NEAR(TDegrees::AdjustDeg(-20.0), -20.0 + 4 * 6.28318530717958, 1e-13);
    double far = TDegrees::AdjustDeg(1e30);
    EXPECT_GE(far, 0.0);
    EXPECT_LE(far, 6.28318530717958);
    EXPECT_EQ(TDegrees::AdjustDeg(std::numeric_limits<double>::infinity()), 0.0);
    EXPECT_EQ(TDegrees::AdjustDeg(std::nan("")), 0.0);
}

TEST(SmallTexts, RightCutAndTrim) {
    EXPECT_EQ(StrRight("00123", 2), "23");
    EXPECT_EQ(StrRight("ab", 5), "ab");
    EXPECT_EQ(StrRight("ab", 0), "");
    EXPECT_EQ(StrCutRight("abcde", 2), "abc");
    EXPECT_EQ(StrCutRight("abc", 3), "");
    EXPECT_EQ(StrCutRight("abc", 7), "");
    EXPECT_EQ(StrCutRight("abc", 0), "abc");
    EXPECT_EQ(StrTrimLeft("   x y "), "x y ");
    EXPECT_EQ(StrTrimLeft("\tx"), "\tx");
    EXPECT_EQ(StrTrimLeft("    "), "");
    // A multi-byte character counts as one and is never split.
    std::string text = std::string("12") + kDeg;
    EXPECT_EQ(StrRight(text, 1), kDeg);
    EXPECT_EQ(StrCutRight(text, 1), "12");
    EXPECT_EQ(TDegrees::Right(text, 2), std::string("2") + kDeg);
}
