// Spherical geometry checked against hand-worked triangles, a published
// example and an independent vector computation (unit vectors with local
// north/east bases), never against the class's own formulas.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "astro/Clssphere.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

using Vec = std::array<double, 3>;
Vec unit(double ra, double dec) {
    return {std::cos(dec) * std::cos(ra), std::cos(dec) * std::sin(ra), std::sin(dec)};
}
double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double norm(const Vec& a) {
    return std::sqrt(dot(a, a));
}
Vec north(double ra, double dec) {
    return {-std::sin(dec) * std::cos(ra), -std::sin(dec) * std::sin(ra), std::cos(dec)};
}
Vec east(double ra) {
    return {-std::sin(ra), std::cos(ra), 0.0};
}

double vecDistance(double ra1, double dec1, double ra2, double dec2) {
    Vec a = unit(ra1, dec1), b = unit(ra2, dec2);
    return std::atan2(norm(cross(a, b)), dot(a, b));
}
// Position angle in [0, 2pi).
double vecPa(double ra1, double dec1, double ra2, double dec2) {
    Vec b = unit(ra2, dec2);
    double pa = std::atan2(dot(b, east(ra1)), dot(b, north(ra1, dec1)));
    return pa < 0 ? pa + 2 * kPi : pa;
}
// Difference of two angles folded into (-pi, pi].
double angleDiff(double a, double b) {
    return std::remainder(a - b, 2 * kPi);
}

struct Pt {
    double ra, dec;
};
// A spread of points over the sphere away from the poles, both hemispheres,
// with right ascensions on both sides of 0h.
const Pt kPoints[] = {{0.3, 0.2},  {1.7, -0.9}, {3.0, 1.2},   {4.4, -0.1}, {5.9, 0.7},
                      {6.1, -1.4}, {2.2, 0.05}, {0.01, -0.5}, {3.5, -1.0}};
} // namespace

TEST(SpherePositionAngle, CardinalDirectionsAndHandWorkedTriangle) {
    EXPECT_DOUBLE_EQ(TSphere::PositionAngle(1.0, 0.2, 1.0, 0.5), 0.0);       // north
    EXPECT_DOUBLE_EQ(TSphere::PositionAngle(1.0, 0.2, 1.0, -0.5), kPi);      // south
    EXPECT_NEAR(TSphere::PositionAngle(1.0, 0.0, 1.3, 0.0), kPi / 2, 1e-14); // east
    EXPECT_NEAR(TSphere::PositionAngle(1.0, 0.0, 0.7, 0.0), 3 * kPi / 2, 1e-14);
    // From (0h, 0) the point (6h, +45) lies 45 degrees east of north: the
    // triangle with the pole has right angles at both equator points.
    EXPECT_NEAR(TSphere::PositionAngle(0.0, 0.0, kPi / 2, kPi / 4), kPi / 4, 1e-13);
    // ... and (18h, +45) 45 degrees west of north.
    EXPECT_NEAR(TSphere::PositionAngle(0.0, 0.0, 3 * kPi / 2, kPi / 4), 7 * kPi / 4, 1e-13);
}

TEST(SpherePositionAngle, AgreesWithVectorBasisAcrossTheSphere) {
    for (const Pt& a : kPoints)
        for (const Pt& b : kPoints) {
            if (&a == &b) continue;
            double pa = TSphere::PositionAngle(a.ra, a.dec, b.ra, b.dec);
            EXPECT_GT(pa, 0.0);
            EXPECT_LE(pa, 2 * kPi);
            EXPECT_NEAR(angleDiff(pa, vecPa(a.ra, a.dec, b.ra, b.dec)), 0.0, 1e-12)
                << a.ra << "," << a.dec << " -> " << b.ra << "," << b.dec;
        }
}

TEST(SphereAngularDistance, SpecialConfigurations) {
    // One meridian: the difference of declinations, whatever the order.
    EXPECT_DOUBLE_EQ(TSphere::AngularDistance(2.0, -0.3, 2.0, 0.9, 0.0), 1.2);
    // Opposite points on the equator.
    EXPECT_NEAR(TSphere::AngularDistance(0.0, 0.0, kPi, 0.0, 0.0), kPi, 1e-15);
    // Opposite meridians pass over the nearer pole: 2 * (90 - 30) degrees.
    EXPECT_NEAR(TSphere::AngularDistance(0.0, 30 * kDeg, kPi, 30 * kDeg, 0.0), 120 * kDeg, 1e-13);
    EXPECT_NEAR(TSphere::AngularDistance(0.0, -30 * kDeg, kPi, -30 * kDeg, kPi), 120 * kDeg, 1e-13);
    // Exactly a quarter circle apart (see the hand-worked triangle above).
    double pa = TSphere::PositionAngle(0.0, 0.0, kPi / 2, kPi / 4);
    EXPECT_NEAR(TSphere::AngularDistance(0.0, 0.0, kPi / 2, kPi / 4, pa), kPi / 2, 1e-14);
    // The same meridian written a whole turn apart is still one meridian.
    pa = TSphere::PositionAngle(0.0, 0.1, 2 * kPi, 0.6);
    EXPECT_NEAR(TSphere::AngularDistance(0.0, 0.1, 2 * kPi, 0.6, pa), 0.5, 1e-12);
}

TEST(SphereAngularDistance, ArcturusToSpica) {
    // Meeus, Astronomical Algorithms, example 17.a: 32.7930 degrees.
    double ra1 = 213.9154 * kDeg, dec1 = 19.1825 * kDeg;
    double ra2 = 201.2983 * kDeg, dec2 = -11.1614 * kDeg;
    double pa = TSphere::PositionAngle(ra1, dec1, ra2, dec2);
    EXPECT_NEAR(TSphere::AngularDistance(ra1, dec1, ra2, dec2, pa) / kDeg, 32.7930, 5e-5);
}

TEST(SphereAngularDistance, AgreesWithVectorsAndMirrorsWestToEast) {
    for (const Pt& a : kPoints)
        for (const Pt& b : kPoints) {
            if (&a == &b) continue;
            double pa = TSphere::PositionAngle(a.ra, a.dec, b.ra, b.dec);
            double d = TSphere::AngularDistance(a.ra, a.dec, b.ra, b.dec, pa);
            EXPECT_NEAR(d, vecDistance(a.ra, a.dec, b.ra, b.dec), 1e-12);
            // The mirror image of b about a's meridian is as far from a.
            double mra = 2 * a.ra - b.ra;
            double mpa = TSphere::PositionAngle(a.ra, a.dec, mra, b.dec);
            EXPECT_NEAR(TSphere::AngularDistance(a.ra, a.dec, mra, b.dec, mpa), d, 1e-12);
        }
}

TEST(SphereDLpointB, StepsAlongEquatorAndMeridian) {
    double ra, dec;
    TSphere::DLpointB(1.0, 0.0, kPi / 2, 0.1, ra, dec);
    EXPECT_NEAR(ra, 1.1, 1e-14);
    EXPECT_NEAR(dec, 0.0, 1e-14);
    TSphere::DLpointB(1.0, 0.0, 3 * kPi / 2, 0.1, ra, dec);
    EXPECT_NEAR(ra, 0.9, 1e-14);
    EXPECT_NEAR(dec, 0.0, 1e-14);
    // Straight north and south: the right ascension stays (or wraps by a turn).
    TSphere::DLpointB(4.0, 0.3, 0.0, 0.2, ra, dec);
    EXPECT_NEAR(angleDiff(ra, 4.0), 0.0, 1e-12);
    EXPECT_NEAR(dec, 0.5, 1e-14);
    TSphere::DLpointB(4.0, -0.3, kPi, 0.2, ra, dec);
    EXPECT_NEAR(angleDiff(ra, 4.0), 0.0, 1e-12);
    EXPECT_NEAR(dec, -0.5, 1e-12);
    // Crossing 0h from the west stays in [0, 2pi).
    TSphere::DLpointB(6.2, 0.0, kPi / 2, 0.2, ra, dec);
    EXPECT_NEAR(ra, 6.4 - 2 * kPi, 1e-12);
    EXPECT_GE(ra, 0.0);
}

TEST(SphereDLpointB, MatchesVectorOffsetAndInvertsPositionAngleAndDistance) {
    const double pas[] = {0.4, 1.5, 2.8, 3.3, 4.9, 6.0};
    const double rhos[] = {1e-4, 0.05, 0.7, 1.6};
    for (const Pt& p : kPoints)
        for (double pa : pas)
            for (double rho : rhos) {
                double ra, dec;
                TSphere::DLpointB(p.ra, p.dec, pa, rho, ra, dec);
                Vec v0 = unit(p.ra, p.dec), n = north(p.ra, p.dec), e = east(p.ra);
                Vec want;
                for (int i = 0; i < 3; ++i)
                    want[i] = std::cos(rho) * v0[i] +
                              std::sin(rho) * (std::cos(pa) * n[i] + std::sin(pa) * e[i]);
                Vec got = unit(ra, dec);
                EXPECT_LT(norm(cross(got, want)), 1e-12)
                    << p.ra << "," << p.dec << " pa " << pa << " rho " << rho;
                EXPECT_GT(dot(got, want), 0.0);
                // Round trip through the other two operations.
                double back = TSphere::PositionAngle(p.ra, p.dec, ra, dec);
                EXPECT_NEAR(angleDiff(back, pa), 0.0, 1e-9);
                EXPECT_NEAR(TSphere::AngularDistance(p.ra, p.dec, ra, dec, back), rho, 1e-11);
            }
}

TEST(SphereDevide, EndsAndMidpoint) {
    for (const Pt& a : kPoints)
        for (const Pt& b : kPoints) {
            if (&a == &b) continue;
            double ra, dec;
            TSphere::Devide(a.ra, a.dec, b.ra, b.dec, 1.0, 1.0, ra, dec);
            EXPECT_LT(vecDistance(ra, dec, b.ra, b.dec), 1e-11);
            TSphere::Devide(a.ra, a.dec, b.ra, b.dec, 0.0, 1.0, ra, dec);
            EXPECT_LT(vecDistance(ra, dec, a.ra, a.dec), 1e-12);
            TSphere::Devide(a.ra, a.dec, b.ra, b.dec, 1.0, 2.0, ra, dec);
            double d = vecDistance(a.ra, a.dec, b.ra, b.dec);
            EXPECT_NEAR(vecDistance(ra, dec, a.ra, a.dec), d / 2, 1e-11);
            EXPECT_NEAR(vecDistance(ra, dec, b.ra, b.dec), d / 2, 1e-11);
        }
    // No division by an empty count: the first point.
    double ra, dec;
    TSphere::Devide(0.3, 0.2, 1.0, 0.5, 1.0, 0.0, ra, dec);
    EXPECT_NEAR(ra, 0.3, 1e-12);
    EXPECT_NEAR(dec, 0.2, 1e-12);
}

TEST(SphereAtnEx, QuadrantsAndAxes) {
    EXPECT_NEAR(TSphere::AtnEx(1.0, 1.0), kPi / 4, 1e-15);
    EXPECT_NEAR(TSphere::AtnEx(1.0, -1.0), 3 * kPi / 4, 1e-15);
    EXPECT_NEAR(TSphere::AtnEx(-1.0, -1.0), 5 * kPi / 4, 1e-15);
    EXPECT_NEAR(TSphere::AtnEx(-1.0, 1.0), 7 * kPi / 4, 1e-15);
    EXPECT_DOUBLE_EQ(TSphere::AtnEx(0.0, 2.0), 2 * kPi);
    EXPECT_DOUBLE_EQ(TSphere::AtnEx(0.0, -2.0), kPi);
    EXPECT_DOUBLE_EQ(TSphere::AtnEx(3.0, 0.0), kPi / 2);
    EXPECT_DOUBLE_EQ(TSphere::AtnEx(-3.0, 0.0), 3 * kPi / 2);
}

namespace {
// A mount whose circles read the sky turned by `tilt` about the 0h axis
// (a polar axis misaligned by that much), not driven: a star set at time t
// reads the circle place of its right ascension turned back by the sky's
// rotation since t0.
constexpr double kOmega = 1.00273791 * 24 * 15 * kDeg;
void circleOf(double ra, double dec, double tilt, double& cra, double& cdec) {
    Vec v = unit(ra, dec);
    double y = v[1] * std::cos(tilt) - v[2] * std::sin(tilt);
    double z = v[1] * std::sin(tilt) + v[2] * std::cos(tilt);
    cra = std::atan2(y, v[0]);
    if (cra < 0) cra += 2 * kPi;
    cdec = std::asin(z);
}
} // namespace

TEST(SpherePoleAlignment, RecoversCircleReadingsOfAMisalignedMount) {
    const double tilt = 5 * kDeg;
    const double t0 = 60000.0, tK = t0 + 0.01, now = t0 + 0.03;
    const double raJ = 1.0, decJ = 0.4, raK = 2.2, decK = -0.2;
    double cRaJ, cDecJ, cRaK, cDecK;
    circleOf(raJ, decJ, tilt, cRaJ, cDecJ);
    circleOf(raK - kOmega * (tK - t0), decK, tilt, cRaK, cDecK);
    double P, Pdec, Q, R;
    TSphere::PolePosition(cRaJ, cDecJ, cRaK, cDecK, raJ, decJ, raK, decK, t0, tK, now, P, Pdec, Q,
                          R);
    // The polar axis and the pole are the tilt away from each other.
    EXPECT_NEAR(Pdec, kPi / 2 - tilt, 1e-12);
    EXPECT_NEAR(R, kPi / 2 - tilt, 1e-12);
    const Pt targets[] = {{3.0, 0.7}, {5.5, -0.6}, {0.2, 1.3}, {raJ, decJ}};
    for (const Pt& t : targets) {
        double want, wantDec, got, gotDec;
        circleOf(t.ra - kOmega * (now - t0), t.dec, tilt, want, wantDec);
        TSphere::RDobj(t.ra, t.dec, P, Q, R, got, gotDec);
        EXPECT_NEAR(angleDiff(got, want), 0.0, 1e-11);
        EXPECT_NEAR(gotDec, wantDec, 1e-11);
    }
}
