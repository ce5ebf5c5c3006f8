// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterSynthesis.h"

#include "TestDesigns.h"
#include "app/engine/FilterDesign.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double kMmPerInch = 25.4;

double BandwidthRatio(const FilterDesign& d)
{
    return d.rip == 0.0 ? 1.0 : d.bw3dB / d.bwRipple;
}

double ExternalQ(const FilterDesign& d)
{
    return d.normCoupling[d.ele - 1] * d.filterQ;
}

TEST(FilterSynthesisTest, DefaultDesignGivesTheWorkedValues)
{
    const auto d = SynthesizedDesign(DesignInputs{});
    const double g[] = {2.1350, 1.0911, 3.0010, 1.0911, 2.1350, 1.0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(d->g[i], g[i], 5e-5) << "g" << i + 1;
    }
    EXPECT_NEAR(BandwidthRatio(*d), 1.03381, 5e-6);
    EXPECT_NEAR(d->bw3dB * 1000, 72.367, 5e-4);
    EXPECT_NEAR(d->fracBW, 0.058333, 5e-7);
    EXPECT_NEAR(d->filterQ, 16.582, 5e-4);
    const double couplings[] = {0.038220, 0.032237, 0.032237, 0.038220};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(d->coupling[i], couplings[i], 5e-7) << "k" << i;
    }
    EXPECT_NEAR(ExternalQ(*d), 36.599, 5e-4);
    EXPECT_NEAR(d->zInterior, 69.423, 5e-4);
    EXPECT_NEAR(d->zEnd, 69.377, 5e-4);
    const double spacingsMm[] = {25.62, 26.71, 26.71, 25.62};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(d->spacing[i] * kMmPerInch, spacingsMm[i], 5e-3) << "s" << i;
    }
    EXPECT_NEAR(d->quarterWave * kMmPerInch, 62.456, 5e-4);
    EXPECT_NEAR(d->tapHeight * kMmPerInch, 4.958, 5e-4);
    EXPECT_NEAR(d->qUnloaded, 1897.6, 0.05);
    EXPECT_NEAR(d->lossDb, 0.371, 5e-4);
    EXPECT_NEAR(d->delayNs, 21.49, 5e-3);
    EXPECT_NEAR(d->interiorRodLength * kMmPerInch, 56.392, 5e-4);
    EXPECT_NEAR(d->endRodLength * kMmPerInch, 56.500, 5e-4);
    // The band edges lie half the entered bandwidth either side of f0.
    EXPECT_NEAR(d->fLow, 1.165, 1e-12);
    EXPECT_NEAR(d->fHigh, 1.235, 1e-12);
    EXPECT_NEAR(d->bwRipple, 0.070, 1e-12);
}

TEST(FilterSynthesisTest, MaximallyFlatDefaultDesign)
{
    DesignInputs in;
    in.rip = 0.0;
    const auto d = SynthesizedDesign(in);
    const double g[] = {0.6180, 1.6180, 2.0000, 1.6180, 0.6180, 1.0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(d->g[i], g[i], 5e-5) << "g" << i + 1;
    }
    EXPECT_EQ(d->bwRipple, 0.0);
    EXPECT_EQ(d->bw3dB, d->fHigh - d->fLow);
    EXPECT_NEAR(d->filterQ, 17.143, 5e-4);
    EXPECT_NEAR(d->lossDb, 0.254, 5e-4);
    EXPECT_NEAR(d->delayNs, 14.72, 5e-3);
    EXPECT_NEAR(ExternalQ(*d), d->g[0] * d->filterQ, 1e-12);
}

// Element values from the tables of Matthaei, Young and Jones (tables 4.05-2(a), (b)).
// The design arithmetic uses pi to eight decimals, hence a tolerance of a unit in the
// tables' last digit.
struct PrototypeCase
{
    int n;
    double rip;
    std::vector<double> g;
    double tolerance;
};

TEST(FilterSynthesisTest, PrototypesMatchPublishedTables)
{
    const PrototypeCase cases[] = {
        {5, 1.0, {2.1349, 1.0911, 3.0009, 1.0911, 2.1349, 1.0}, 1.5e-4},
        {5, 0.1, {1.1468, 1.3712, 1.9750, 1.3712, 1.1468, 1.0}, 1.5e-4},
        {2, 1.0, {1.8219, 0.6850, 2.66}, 1.5e-4},
        {3, 0.5, {1.5963, 1.0967, 1.5963, 1.0}, 1.5e-4},
        {4, 0.1, {1.1088, 1.3061, 1.7703, 0.8180, 1.3554}, 1.5e-4},
        {5, 0.0, {0.6180, 1.6180, 2.0000, 1.6180, 0.6180, 1.0}, 1e-4},
        {3, 0.0, {1.0, 2.0, 1.0, 1.0}, 1e-7},
    };
    for (const PrototypeCase& c : cases) {
        auto d = std::make_unique<FilterDesign>();
        if (c.rip == 0.0) {
            ButterworthPrototype(*d, c.n);
        } else {
            ChebyshevPrototype(*d, c.n, c.rip);
        }
        for (std::size_t i = 0; i < c.g.size(); ++i) {
            // The n = 2 load value is tabulated to three significant digits only.
            const double tolerance = c.g[i] == 2.66 ? 5e-3 : c.tolerance;
            EXPECT_NEAR(d->g[i], c.g[i], tolerance)
                << "n=" << c.n << " rip=" << c.rip << " g" << i + 1;
        }
    }
}

TEST(FilterSynthesisTest, EvenOrderEndsOnMismatchedLoad)
{
    DesignInputs in;
    in.ele = 2;
    const auto d = SynthesizedDesign(in);
    EXPECT_NEAR(d->g[0], 1.8220, 5e-5);
    EXPECT_NEAR(d->g[1], 0.6850, 5e-5);
    EXPECT_NEAR(d->g[2], 2.6599, 5e-5);
    // A maximally flat even order stays matched.
    in.rip = 0.0;
    EXPECT_EQ(SynthesizedDesign(in)->g[2], 1.0);
}

TEST(FilterSynthesisTest, SpacingsMirrorAndShortFiltersSkipTheInteriorGaps)
{
    DesignInputs in;
    in.ele = 2;
    auto d = SynthesizedDesign(in);
    EXPECT_GT(d->spacing[0], 0.0);
    EXPECT_EQ(d->spacing[1], 0.0);

    in.ele = 3;
    d = SynthesizedDesign(in);
    EXPECT_GT(d->spacing[0], 0.0);
    EXPECT_EQ(d->spacing[1], d->spacing[0]);
    EXPECT_EQ(d->spacing[2], 0.0);

    // Longer filters: the last gap is the first one's copy; interior gaps are symmetric to
    // within the rounding that the prototype recursion accumulates.
    for (int n : {4, 7, 12}) {
        in.ele = n;
        d = SynthesizedDesign(in);
        EXPECT_EQ(d->spacing[n - 2], d->spacing[0]) << n;
        for (int j = 1; j <= n - 3; ++j) {
            EXPECT_NEAR(d->spacing[j], d->spacing[n - 2 - j], 1e-8) << n << " gap " << j;
            EXPECT_GT(d->spacing[j], 0.0);
        }
        EXPECT_EQ(d->spacing[n - 1], 0.0);
    }
}

TEST(FilterSynthesisTest, CouplingsFollowTheRippleBandwidth)
{
    // k(i) = bwRipple/(f0*sqrt(g(i+1)*g(i+2))) must hold for every ripple accepted,
    // including those above 3.0103 dB where the 3 dB point lies inside the ripple band.
    for (double rip : {0.01, 0.5, 1.0, 3.0, 3.0103, 3.05, 3.5, 4.0}) {
        for (int n : {2, 3, 5, 8, 12}) {
            DesignInputs in;
            in.ele = n;
            in.rip = rip;
            const auto d = SynthesizedDesign(in);
            for (int i = 0; i <= n - 2; ++i) {
                const double expected = d->bwRipple / (d->fzmc * std::sqrt(d->g[i] * d->g[i + 1]));
                EXPECT_NEAR(d->coupling[i], expected, 1e-12 * expected)
                    << "rip=" << rip << " n=" << n << " i=" << i;
            }
        }
    }
}

TEST(FilterSynthesisTest, RippleAboveThreeDecibelsStaysFinite)
{
    for (double rip : {3.02, 3.5, 4.0}) {
        for (int n : {2, 5, 12}) {
            DesignInputs in;
            in.ele = n;
            in.rip = rip;
            const auto d = SynthesizedDesign(in);
            const double values[] = {
                d->bw3dB, d->filterQ, d->tapHeight, d->endRodLength, d->interiorRodLength,
                d->zEnd,  d->lossDb,  d->delayNs};
            for (double v : values) {
                EXPECT_TRUE(std::isfinite(v)) << "rip=" << rip << " n=" << n;
            }
            for (int i = 0; i <= n - 2; ++i) {
                EXPECT_TRUE(std::isfinite(d->spacing[i])) << "rip=" << rip << " n=" << n;
                EXPECT_GT(d->spacing[i], 0.0);
            }
            EXPECT_TRUE(std::isfinite(d->normCoupling[n - 1]));
            EXPECT_LT(d->bw3dB, d->bwRipple);

            // The 3 dB bandwidth is where the equal-ripple loss crosses 3 dB:
            // eps2*T_n(x)^2 = 1 at x = bw3dB/bwRipple, with T_n(x) = cos(n*acos(x)).
            const double x = BandwidthRatio(*d);
            const double eps2 = std::pow(10.0, rip / 10) - 1;
            const double tn = std::cos(n * std::acos(x));
            EXPECT_NEAR(eps2 * tn * tn, 1.0, 1e-9) << "rip=" << rip << " n=" << n;
            // It is the outermost such point: between it and the band edge the loss stays
            // above 3 dB.
            const double between = (x + 1.0) / 2;
            const double tb = std::cos(n * std::acos(between));
            EXPECT_GT(eps2 * tb * tb, 1.0) << "rip=" << rip << " n=" << n;
        }
    }
}

TEST(FilterSynthesisTest, BandwidthRatioIsContinuousAtThreeDecibels)
{
    DesignInputs below;
    below.rip = 3.0102;
    DesignInputs above;
    above.rip = 3.0104;
    const double rb = BandwidthRatio(*SynthesizedDesign(below));
    const double ra = BandwidthRatio(*SynthesizedDesign(above));
    EXPECT_GT(rb, 1.0);
    EXPECT_LT(ra, 1.0);
    EXPECT_NEAR(rb, 1.0, 2e-3);
    EXPECT_NEAR(ra, 1.0, 2e-3);
}

TEST(FilterSynthesisTest, DistantEndWallLeavesTheEndRodUnaffected)
{
    // For E above about 113 times H the exponential in tanh(pi*E/H) overflows.
    DesignInputs in;
    in.E = 3000.0;
    const auto far = SynthesizedDesign(in);
    EXPECT_EQ(far->zEnd, far->zInterior);
    EXPECT_TRUE(std::isfinite(far->spacing[0]));
    EXPECT_TRUE(std::isfinite(far->tapHeight));
    EXPECT_TRUE(std::isfinite(far->endRodLength));

    // Just below the overflow the quotient is evaluated and already equals 1.
    in.E = 2000.0;
    const auto near = SynthesizedDesign(in);
    EXPECT_EQ(near->zEnd, near->zInterior);
    EXPECT_EQ(near->spacing[0], far->spacing[0]);
}

TEST(FilterSynthesisTest, UntappableDesignLeavesOnlyTapResultsUndefined)
{
    // pi*R/(4*Qe*zEnd) above 1: no tap height loads the end rod to its external Q.
    DesignInputs in;
    in.R = 5000.0;
    const auto d = SynthesizedDesign(in);
    EXPECT_TRUE(std::isnan(d->tapHeight));
    EXPECT_TRUE(std::isnan(d->endRodLength));
    EXPECT_TRUE(std::isfinite(d->interiorRodLength));
    EXPECT_TRUE(std::isfinite(d->spacing[0]));
    EXPECT_TRUE(std::isfinite(d->filterQ));
}

TEST(FilterSynthesisTest, ImagOfQuotient)
{
    // (1 + 2j)/(3 + 4j) = (11 + 2j)/25
    EXPECT_DOUBLE_EQ(ImagOfQuotient(1, 2, 3, 4), 2.0 / 25);
    EXPECT_DOUBLE_EQ(ImagOfQuotient(0, 1, 0, 1), 0.0);
    EXPECT_DOUBLE_EQ(ImagOfQuotient(0, 1, 0, 2), 0.0);
    EXPECT_DOUBLE_EQ(ImagOfQuotient(1, 0, 0, 1), -1.0);
    EXPECT_DOUBLE_EQ(ImagOfQuotient(3, 5, 2, 0), 2.5);
}

TEST(FilterSynthesisTest, RefusesCountsTheArraysCannotHold)
{
    auto d = ParsedDesign(DesignInputs{});
    for (int ele : {-1, 0, 1, kMaxArrayEntries, 1000000}) {
        d->ele = ele;
        EXPECT_FALSE(Synthesize(*d)) << ele;
    }
    d->ele = 5;
    for (int nfr : {-1, kMaxArrayEntries + 1, 2147483647}) {
        d->NFR = nfr;
        EXPECT_FALSE(Synthesize(*d)) << nfr;
    }
    EXPECT_EQ(d->fLow, 0.0);
    d->NFR = kMaxArrayEntries;
    EXPECT_TRUE(Synthesize(*d));
}

} // namespace
