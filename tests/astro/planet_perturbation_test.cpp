// Perturbations of the outer planets: common arguments worked by hand, and the size of the
// great inequality of Jupiter and Saturn, which the series must reproduce.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "astro/Clsplanet.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

TEST(PlanetPerturbations, CommonArgumentsAtTheStartOfTheCentury) {
    TPlanet p;
    double nu, P, Q, S, V, W;
    p.aux_jsun(0.0, nu, P, Q, S, V, W);
    EXPECT_DOUBLE_EQ(nu, 0.1);
    EXPECT_NEAR(P, 4.14473, 1e-12);
    EXPECT_NEAR(Q, 4.641118, 1e-12);
    EXPECT_NEAR(S, 4.250177, 1e-12);
    // 5Q - 2P = 14.916130 and 2P - 6Q + 3S = -6.806717, brought into [0, 2pi).
    EXPECT_NEAR(V, 14.916130 - 4.0 * kPi, 1e-9);
    EXPECT_NEAR(W, -6.806717 + 4.0 * kPi, 1e-9);
    for (double T = -3.0; T < 3.0; T += 0.137) {
        p.aux_jsun(T, nu, P, Q, S, V, W);
        for (double a : {P, Q, S, V, W}) {
            EXPECT_GE(a, 0.0);
            EXPECT_LT(a, 2.0 * kPi);
        }
    }
}

// The largest term: the great inequality in the mean longitudes, period about 900 years,
// amplitude about 0.33 deg for Jupiter and 0.81 deg for Saturn, of opposite signs; the
// other terms add a few tenths more for Saturn.
TEST(PlanetPerturbations, GreatInequalityOfJupiterAndSaturn) {
    TPlanet p;
    double maxJ = 0.0, maxS = 0.0, minProduct = 1.0;
    for (double T = -4.5; T < 4.5; T += 0.01) {
        double dlpJ, deJ, dMJ, daJ, dlpS, deS, dMS, daS, dbS;
        p.p_jupiter(T, 0.0483, dlpJ, deJ, dMJ, daJ);
        p.p_saturn(T, 0.0559, dlpS, deS, dMS, daS, dbS);
        maxJ = std::max(maxJ, std::fabs(dlpJ));
        maxS = std::max(maxS, std::fabs(dlpS));
        minProduct = std::min(minProduct, dlpJ * dlpS);
        EXPECT_LT(std::fabs(daS), 0.06); // Saturn's axis varies by a few hundredths AU
        EXPECT_LT(std::fabs(deS), 0.006);
        EXPECT_LT(std::fabs(dbS), 0.01 * kDeg);
    }
    EXPECT_NEAR(maxJ, 0.36 * kDeg, 0.05 * kDeg);
    EXPECT_NEAR(maxS, 1.0 * kDeg, 0.15 * kDeg);
    EXPECT_LT(minProduct, 0.0);
}

} // namespace
