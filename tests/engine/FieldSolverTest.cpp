// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FieldSolver.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kPi = 3.14159265358979323846;
// eta0 / (2 pi): the impedance of an air line per unit logarithm of its geometry, ohm.
constexpr double kLineFactor = 376.730313668 / (2.0 * kPi);

TEST(FieldSolverTest, OneRodBetweenThePlanesIsTheSlabLine)
{
    // A thin round rod centred between planes: Z0 = eta0 / (2 pi) ln(4H / (pi D)), exact as
    // D/H goes to 0; the next term is (pi D / 4H)^4 / 30 of the logarithm, below 1e-4 here.
    for (double ratio : {0.05, 0.1, 0.2}) {
        RodCrossSection s;
        s.planeSpacing = 0.02;
        s.rodDiameter = ratio * s.planeSpacing;
        s.centres = {0.0};
        CapacitanceMatrix c;
        ASSERT_TRUE(SolveCapacitance(s, 64, c));
        const double z0 = AirLineImpedance(c.At(0, 0));
        const double expected = kLineFactor * std::log(4.0 / (kPi * ratio));
        EXPECT_NEAR(z0, expected, 1e-3 * expected) << "D/H " << ratio;
    }
}

TEST(FieldSolverTest, TwoThinRodsGiveTheCoupledSlabLineModes)
{
    // Two thin rods s apart: the mutual potential coefficient is ln coth(pi s / 2H) in units of
    // 1 / (2 pi epsilon0) (the strip's Green function at equal heights), so
    // Z even/odd = eta0 / (2 pi) [ln(4H / pi D) +/- ln coth(pi s / 2H)].
    for (double spacing : {0.5, 1.0, 1.5}) {
        RodCrossSection s;
        s.planeSpacing = 1.0;
        s.rodDiameter = 0.04;
        s.centres = {0.0, spacing};
        CapacitanceMatrix c;
        ASSERT_TRUE(SolveCapacitance(s, 48, c));
        EXPECT_NEAR(c.At(0, 1), c.At(1, 0), 1e-6 * c.At(0, 0));
        const double self = std::log(4.0 / (kPi * s.rodDiameter));
        const double mutual = std::log(1.0 / std::tanh(kPi * spacing / 2.0));
        const double even = AirLineImpedance(c.At(0, 0) + c.At(0, 1));
        const double odd = AirLineImpedance(c.At(0, 0) - c.At(0, 1));
        EXPECT_NEAR(even, kLineFactor * (self + mutual), 0.01 * even) << "s/H " << spacing;
        EXPECT_NEAR(odd, kLineFactor * (self - mutual), 0.01 * odd) << "s/H " << spacing;
    }
}

TEST(FieldSolverTest, ConvergesAndFeelsTheEndWalls)
{
    // The default design's box: H 20 mm, D 8 mm, the end rod 25 mm from its wall.
    RodCrossSection s;
    s.planeSpacing = 0.020;
    s.rodDiameter = 0.008;
    s.centres = {0.025, 0.0506, 0.0773};
    s.wallDistance = 0.1026;
    double previous = 0.0;
    for (int points : {16, 32, 64}) {
        CapacitanceMatrix c;
        ASSERT_TRUE(SolveCapacitance(s, points, c));
        if (points > 16) {
            EXPECT_NEAR(c.At(1, 1), previous, 2e-3 * previous) << points;
        }
        previous = c.At(1, 1);
        EXPECT_GT(c.At(0, 0), 0.0);
        EXPECT_LT(c.At(0, 1), 0.0);
    }
    // A wall closer to the end rod adds to its capacitance and leaves the far rod nearly alone.
    CapacitanceMatrix open, walled;
    RodCrossSection near = s;
    near.centres = {0.006, 0.0316, 0.0583};
    near.wallDistance = 0.0643;
    s.wallDistance = 0.0;
    ASSERT_TRUE(SolveCapacitance(s, 32, open));
    ASSERT_TRUE(SolveCapacitance(near, 32, walled));
    EXPECT_GT(walled.At(0, 0), open.At(0, 0) * 1.05);
    // Rods that touch, or a rod through a wall, are no cross-section.
    RodCrossSection touching = s;
    touching.centres = {0.0, 0.007};
    CapacitanceMatrix none;
    EXPECT_FALSE(SolveCapacitance(touching, 32, none));
    near.centres[0] = 0.003;
    EXPECT_FALSE(SolveCapacitance(near, 32, none));
}

} // namespace
