// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterResponse.h"

#include "TestDesigns.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(FilterResponseTest, StepSizeKeepsFourBandwidthsInTheSweep)
{
    const struct
    {
        double bwmc;
        double step;
    } cases[] = {{0.5, 1.0}, {10, 1.0}, {50, 1.0}, {51, 1.02}, {70, 1.4}, {200, 4.0}, {1e6, 2e4}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(StepSize(c.bwmc), c.step) << c.bwmc;
    }
    // Degenerate bandwidths still give a usable step.
    EXPECT_EQ(StepSize(0.0), 1.0);
    EXPECT_EQ(StepSize(-5.0), 1.0);
    EXPECT_EQ(StepSize(std::nan("")), 1.0);
}

TEST(FilterResponseTest, DefaultSweepSpansFourBandwidthsWithFlatPassBand)
{
    const auto d = SynthesizedDesign(DesignInputs{});
    ASSERT_EQ(d->NFR, 200);
    EXPECT_DOUBLE_EQ(d->STP, 1.4);
    EXPECT_NEAR(d->sweepFreq[0] * 1000, 1060.0, 1e-9);
    EXPECT_NEAR(d->attenuation[0], 77.7, 0.05);
    EXPECT_NEAR(d->sweepFreq[199] * 1000, 1338.6, 1e-9);
    EXPECT_EQ(d->sweepFreq[100], d->fzmc);
    for (int k = 0; k < 200; ++k) {
        const double mhz = d->sweepFreq[k] * 1000;
        if (mhz > 1165.0 + 1e-9 && mhz < 1235.0 - 1e-9) {
            EXPECT_NEAR(d->attenuation[k], 1.0, 1e-12) << mhz;
        } else {
            EXPECT_GE(d->attenuation[k], 1.0 - 1e-9) << mhz;
        }
    }
    // The band edges: indices 75 and 125, 35 MHz either side.
    EXPECT_NEAR(d->attenuation[75], 1.0, 1e-9);
    EXPECT_NEAR(d->attenuation[125], 1.0, 1e-9);
}

TEST(FilterResponseTest, ResponseIsSymmetricAboutTheCentre)
{
    for (double rip : {0.0, 0.5, 3.5}) {
        DesignInputs in;
        in.rip = rip;
        in.ele = 6;
        const auto d = SynthesizedDesign(in);
        for (int m = 1; m < 100; ++m) {
            const double below = d->attenuation[100 - m];
            const double above = d->attenuation[100 + m];
            EXPECT_NEAR(below, above, 1e-9 * (1 + above)) << "rip=" << rip << " m=" << m;
        }
        // Loss grows monotonically away from the pass band.
        for (int k = 1; k < 75; ++k) {
            EXPECT_GE(d->attenuation[k - 1], d->attenuation[k]) << k;
        }
    }
}

TEST(FilterResponseTest, MaximallyFlatPassesThreeDecibelsAtTheBandEdges)
{
    DesignInputs in;
    in.rip = 0.0;
    const auto d = SynthesizedDesign(in);
    EXPECT_NEAR(d->sweepFreq[100] * 1000, 1200.0, 1e-9);
    EXPECT_EQ(d->attenuation[100], 0.0);
    EXPECT_NEAR(d->sweepFreq[75] * 1000, 1165.0, 1e-9);
    EXPECT_NEAR(d->attenuation[75], 10 * std::log10(2.0), 1e-9);
    EXPECT_NEAR(d->attenuation[125], 10 * std::log10(2.0), 1e-9);
}

TEST(FilterResponseTest, OddPointCountFillsEverySweepEntry)
{
    auto d = ParsedDesign(DesignInputs{});
    d->NFR = 201;
    ASSERT_TRUE(Synthesize(*d));
    // The extra point continues the sweep one step above the even count's last point.
    EXPECT_NEAR(d->sweepFreq[200] * 1000, 1340.0, 1e-9);
    EXPECT_NEAR(d->attenuation[200], d->attenuation[0], 1e-9);
    EXPECT_EQ(d->sweepFreq[100], d->fzmc);

    d->NFR = 3;
    ASSERT_TRUE(Synthesize(*d));
    EXPECT_NEAR(d->sweepFreq[0] * 1000, 1198.6, 1e-9);
    EXPECT_NEAR(d->sweepFreq[2] * 1000, 1201.4, 1e-9);
}

TEST(FilterResponseTest, ResponseArraysFollowThePointCount)
{
    auto d = SynthesizedDesign(DesignInputs{});
    std::vector<double> x(5, -1.0);
    std::vector<double> y(300, -1.0);
    FillResponseArrays(*d, x, y);
    ASSERT_EQ(x.size(), 200u);
    ASSERT_EQ(y.size(), 200u);
    for (int k = 0; k < 200; ++k) {
        EXPECT_EQ(x[k], d->sweepFreq[k] * 1000.0);
        EXPECT_EQ(y[k], -d->attenuation[k]);
        EXPECT_LE(y[k], 0.0);
    }
    d->NFR = -4;
    FillResponseArrays(*d, x, y);
    EXPECT_TRUE(x.empty());
    EXPECT_TRUE(y.empty());
}

} // namespace
