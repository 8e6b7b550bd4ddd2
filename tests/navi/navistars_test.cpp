// The pole solution from many stars: how the pairs are combined, and pairs
// that fix no direction (two stars at one place, or opposite) left out
// instead of spoiling the result. Midpoints are worked out here with plain
// vectors, independently of the program's spherical geometry.
#include "Simmount.h"

#include "astro/Clslocation.h"
#include "astro/Clssphere.h"
#include "navi/Navistars.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kT = 61381.8;

using Vec = std::array<double, 3>;
Vec Unit(double ra, double dec) {
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}
// The point half-way along the great circle between two places.
void Mid(double ra1, double dec1, double ra2, double dec2, double& ra, double& dec) {
    const Vec a = Unit(ra1, dec1), b = Unit(ra2, dec2);
    const Vec m{a[0] + b[0], a[1] + b[1], a[2] + b[2]};
    ra = std::atan2(m[1], m[0]);
    dec = std::atan2(m[2], std::hypot(m[0], m[1]));
}
double Separation(double ra1, double dec1, double ra2, double dec2) {
    const Vec a = Unit(ra1, dec1), b = Unit(ra2, dec2);
    const Vec c{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    return std::atan2(std::hypot(c[0], c[1], c[2]), a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

struct Pole {
    double P, Pd, Q, R;
};

Pole PairPole(const TNaviStars& s, int j, int k, double t) {
    const TNaviStar& a = s.Stars[j];
    const TNaviStar& b = s.Stars[k];
    Pole p;
    TSphere::PolePosition(a.CirRa, a.CirDc, b.CirRa, b.CirDc, a.SkyRa, a.SkyDc, b.SkyRa, b.SkyDc,
                          a.Time, b.Time, t, p.P, p.Pd, p.Q, p.R);
    return p;
}

Pole MidPole(const Pole& a, const Pole& b) {
    Pole m;
    Mid(a.P, a.Pd, b.P, b.Pd, m.P, m.Pd);
    Mid(a.Q, a.R, b.Q, b.R, m.Q, m.R);
    return m;
}

// A mount whose polar axis is a degree off.
sim::Mount TiltedMount(const TLocation& site) {
    return sim::Mount(site.Lat, 0.8 * kDeg, site.Lat - 0.6 * kDeg, 1.0, site.SiderealTime(kT), kT);
}

// Stars read on that mount, with the readings put off by (dRa, dDc): a few
// tenths of a degree, differently for each star, make every pair find its
// own pole.
void AddStar(TNaviStars& s, const TLocation& site, const std::string& name, double ra, double dec,
             double t, double dRa, double dDc) {
    std::string n = name;
    double sra, sdc, cra, cdc;
    TNaviStars::Apparent(site, t, ra, dec, sra, sdc);
    TiltedMount(site).Read(t, sra, sdc, cra, cdc);
    ASSERT_EQ(s.Add(site, n, ra, dec, t, TNaviStars::Wrap(cra + dRa), cdc + dDc),
              TNaviStars::Added);
}

} // namespace

TEST(NaviStars, ThreeStarsCombineAsMidpointOfMidpoints) {
    TLocation site;
    TNaviStars s;
    AddStar(s, site, "A", 1.0, 0.3, kT - 0.02, 0.004, -0.003);
    AddStar(s, site, "B", 2.3, 0.9, kT - 0.01, -0.005, 0.002);
    AddStar(s, site, "C", 4.0, -0.2, kT, 0.002, 0.006);
    const double t = kT + 0.01;
    const Pole p12 = PairPole(s, 0, 1, t), p13 = PairPole(s, 0, 2, t), p23 = PairPole(s, 1, 2, t);
    const Pole want = MidPole(MidPole(p12, p13), p23);
    // The pairs disagree enough that the order of halving shows.
    const Pole other = MidPole(MidPole(p12, p23), p13);
    ASSERT_GT(Separation(want.P, want.Pd, other.P, other.Pd), 1e-4);
    ASSERT_GT(Separation(want.Q, want.R, other.Q, other.R), 1e-4);

    Pole got;
    ASSERT_TRUE(s.Pole(t, got.P, got.Pd, got.Q, got.R));
    EXPECT_LT(Separation(got.P, got.Pd, want.P, want.Pd), 1e-9);
    EXPECT_LT(Separation(got.Q, got.R, want.Q, want.R), 1e-9);
}

TEST(NaviStars, PairsThatFixNoDirectionAreLeftOut) {
    TLocation site;
    double ra, dec;

    // Two stars at one place: nothing to dial.
    TNaviStars same;
    AddStar(same, site, "A", 1.0, 0.3, kT, 0.0, 0.0);
    AddStar(same, site, "B", 1.0, 0.3, kT, 0.0, 0.0);
    EXPECT_FALSE(same.PairUsable(0, 1));
    EXPECT_FALSE(same.Dial(site, 2.0, 0.4, kT, ra, dec));

    // Two stars opposite each other, on the sky and on the circles.
    TNaviStars opposite;
    std::string a = "A", b = "B";
    ASSERT_EQ(opposite.Add(site, a, 0.0, 0.0, kT, 0.5, 0.2), TNaviStars::Added);
    TNaviStar& s0 = opposite.Stars[0];
    ASSERT_EQ(opposite.Add(site, b, 0.0, 0.0, kT, 0.5 + kPi, -0.2), TNaviStars::Added);
    TNaviStar& s1 = opposite.Stars[1];
    s1.SkyRa = s0.SkyRa + kPi, s1.SkyDc = -s0.SkyDc;
    EXPECT_FALSE(opposite.PairUsable(0, 1));
    EXPECT_FALSE(opposite.Dial(site, 2.0, 0.4, kT, ra, dec));

    // A third star elsewhere: the two pairs it makes carry the solution, and
    // the readings are those of either alone (the two stars are one place).
    AddStar(same, site, "C", 3.5, -0.1, kT, 0.0, 0.0);
    ASSERT_TRUE(same.Dial(site, 2.0, 0.4, kT, ra, dec));
    ASSERT_TRUE(std::isfinite(ra) && std::isfinite(dec));
    TNaviStars two;
    AddStar(two, site, "A", 1.0, 0.3, kT, 0.0, 0.0);
    AddStar(two, site, "C", 3.5, -0.1, kT, 0.0, 0.0);
    double ra2, dec2;
    ASSERT_TRUE(two.Dial(site, 2.0, 0.4, kT, ra2, dec2));
    EXPECT_LT(Separation(ra, dec, ra2, dec2), 1e-9);
    // And they are what the mount reads.
    double sra, sdc, cra, cdc;
    TNaviStars::Apparent(site, kT, 2.0, 0.4, sra, sdc);
    TiltedMount(site).Read(kT, sra, sdc, cra, cdc);
    EXPECT_LT(Separation(ra, dec, cra, cdc), 1e-9);
}
