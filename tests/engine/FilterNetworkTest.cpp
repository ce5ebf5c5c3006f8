// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/FilterNetwork.h"

#include "TestDesigns.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTwoPi = 6.283185307179586;

struct Case
{
    int ele;
    double rip;
    double fzmcMHz;
    double bwmcMHz;
};

// Equal-ripple and maximally flat designs of every kind the calculator accepts: odd and even
// orders (the even equal-ripple ones end on a mismatched load), small and large ripple,
// narrow and wide bands.
const Case kCases[] = {{5, 1.0, 1200, 70},  {2, 0.1, 433, 10},     {3, 0.01, 144, 2},
                       {4, 0.5, 2400, 100}, {6, 3.0, 1296, 40},    {7, 0.1, 10000, 500},
                       {9, 0.2, 50, 5},     {12, 0.05, 3000, 300}, {12, 4.0, 1000, 20},
                       {3, 0.0, 1200, 70},  {6, 0.0, 433, 20},     {12, 0.0, 5000, 800},
                       {11, 2.0, 900, 30},  {8, 0.0001, 1500, 60}};

std::string Name(const Case& c)
{
    return "n=" + std::to_string(c.ele) + " rip=" + std::to_string(c.rip) +
           " f0=" + std::to_string(c.fzmcMHz) + " bw=" + std::to_string(c.bwmcMHz);
}

std::unique_ptr<FilterDesign> Design(const Case& c)
{
    DesignInputs in;
    in.ele = c.ele;
    in.rip = c.rip;
    in.fzmc = c.fzmcMHz;
    in.bwmc = c.bwmcMHz;
    return SynthesizedDesign(in);
}

NetworkModel Model(const FilterDesign& d, double qu)
{
    NetworkModel model;
    EXPECT_TRUE(BuildNetworkModel(d, qu, model));
    return model;
}

bool Symmetric(const Case& c)
{
    return c.rip == 0.0 || c.ele % 2 == 1;
}

double LossDb(const NetworkPoint& p)
{
    return -MagnitudeDb(p.s21);
}

// The interior extremes of a sampled curve: its minima and maxima, each a turn of more than
// 1e-6 (dB), so that rounding noise on a flat stretch does not count as a turn.
void Extremes(const std::vector<double>& v, std::vector<double>& minima,
              std::vector<double>& maxima)
{
    constexpr double kTurn = 1e-6;
    double hi = v[0];
    double lo = v[0];
    int direction = 0;
    for (std::size_t i = 1; i < v.size(); ++i) {
        const double x = v[i];
        if (direction >= 0 && x > hi) {
            hi = x;
        }
        if (direction <= 0 && x < lo) {
            lo = x;
        }
        if (direction >= 0 && x < hi - kTurn) {
            if (direction > 0) {
                maxima.push_back(hi);
            }
            direction = -1;
            lo = x;
        } else if (direction <= 0 && x > lo + kTurn) {
            if (direction < 0) {
                minima.push_back(lo);
            }
            direction = 1;
            hi = x;
        }
    }
}

// Group delay by a central difference of the phase, ns.
double DelayByDifference(const NetworkModel& model, double fGHz, bool reflection)
{
    const double h = 1e-6 * model.fbw * fGHz;
    const NetworkPoint up = EvaluateNetwork(model, fGHz + h);
    const NetworkPoint down = EvaluateNetwork(model, fGHz - h);
    const std::complex<double> ratio = reflection ? up.s11 / down.s11 : up.s21 / down.s21;
    return -std::arg(ratio) / (kTwoPi * 2 * h);
}

} // namespace

TEST(FilterNetworkTest, LosslessNetworkConservesPowerAndIsReciprocal)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(Name(c));
        const auto d = Design(c);
        const NetworkModel lossless = Model(*d, kInf);
        const NetworkModel lossy = Model(*d, d->qUnloaded);
        NetworkModel exact = lossy;
        for (int i = 0; i + 1 < c.ele; ++i) {
            exact.m[i] = exact.m[c.ele - 2 - i] = (lossy.m[i] + lossy.m[c.ele - 2 - i]) / 2;
        }
        exact.qe1 = exact.qen = (lossy.qe1 + lossy.qen) / 2;
        // The skirts from 0.1 f0 to 3 f0 and the pass band in detail.
        std::vector<double> freqs = LinearSweepGHz(0.1 * lossless.f0GHz, 3 * lossless.f0GHz, 301);
        const std::vector<double> band = LinearSweepGHz(d->fLow, d->fHigh, 101);
        freqs.insert(freqs.end(), band.begin(), band.end());
        for (double f : freqs) {
            const NetworkPoint p = EvaluateNetwork(lossless, f);
            EXPECT_NEAR(std::norm(p.s11) + std::norm(p.s21), 1.0, 1e-12) << f;
            EXPECT_NEAR(std::norm(p.s22) + std::norm(p.s12), 1.0, 1e-12) << f;
            EXPECT_NEAR(std::abs(p.s12 - p.s21), 0.0, 1e-12) << f;

            const NetworkPoint q = EvaluateNetwork(lossy, f);
            EXPECT_LT(std::norm(q.s11) + std::norm(q.s21), 1.0) << f;
            EXPECT_NEAR(std::abs(q.s12 - q.s21), 0.0, 1e-12) << f;
            if (Symmetric(c)) {
                // The prototype values are symmetric to the eight decimals of pi they are
                // computed with; a model made exactly symmetric has S11 = S22 to rounding.
                EXPECT_NEAR(std::abs(p.s11 - p.s22), 0.0, 1e-6) << f;
                EXPECT_NEAR(std::abs(q.s11 - q.s22), 0.0, 1e-6) << f;
                const NetworkPoint e = EvaluateNetwork(exact, f);
                EXPECT_NEAR(std::abs(e.s11 - e.s22), 0.0, 1e-12) << f;
            } else {
                // A mismatched load: the ends differ in phase, not in the lossless magnitude.
                EXPECT_NEAR(std::abs(p.s11), std::abs(p.s22), 1e-12) << f;
            }
        }
    }
}

TEST(FilterNetworkTest, PassBandShowsTheRippleAndTheEdgesTheirLoss)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(Name(c));
        const auto d = Design(c);
        const NetworkModel model = Model(*d, kInf);
        const std::vector<NetworkPoint> band =
            SweepNetwork(model, LinearSweepGHz(d->fLow, d->fHigh, 20001));
        const double edgeLoss = c.rip == 0.0 ? 3.0103 : c.rip;
        EXPECT_NEAR(LossDb(band.front()), edgeLoss, 0.01);
        EXPECT_NEAR(LossDb(band.back()), edgeLoss, 0.01);

        std::vector<double> loss;
        for (const NetworkPoint& p : band) {
            loss.push_back(LossDb(p));
        }
        std::vector<double> peaks;   // transmission peaks: the reflection zeros
        std::vector<double> valleys; // the loss maxima between them
        Extremes(loss, peaks, valleys);
        for (double v : peaks) {
            EXPECT_LT(v, 1e-3);
        }
        for (double v : valleys) {
            EXPECT_NEAR(v, c.rip, 0.01);
        }
        if (c.rip == 0.0) {
            // Maximally flat: one peak at f0, the loss rising steadily to either edge.
            EXPECT_EQ(peaks.size(), 1u);
            EXPECT_EQ(valleys.size(), 0u);
            EXPECT_NEAR(LossDb(EvaluateNetwork(model, model.f0GHz)), 0.0, 1e-9);
        } else {
            EXPECT_EQ(peaks.size(), std::size_t(c.ele));
            EXPECT_EQ(valleys.size(), std::size_t(c.ele - 1));
            EXPECT_NEAR(*std::max_element(loss.begin(), loss.end()), c.rip, 0.01);
        }
        // Outside the band the loss goes on rising.
        EXPECT_GT(LossDb(EvaluateNetwork(model, d->fHigh * 1.01)), edgeLoss);
        EXPECT_GT(LossDb(EvaluateNetwork(model, d->fLow * 0.99)), edgeLoss);
    }
}

TEST(FilterNetworkTest, LossAtCentreAgreesWithTheDissipationEstimate)
{
    // For an odd order the lossless response passes f0 without loss, so all the loss there
    // is dissipation, which the report estimates to first order in 1/Qu.
    int checked = 0;
    for (const Case& c : kCases) {
        if (c.ele % 2 == 0) {
            continue;
        }
        SCOPED_TRACE(Name(c));
        const auto d = Design(c);
        const NetworkModel model = Model(*d, d->qUnloaded);
        const double loss = LossDb(EvaluateNetwork(model, model.f0GHz));
        EXPECT_NEAR(loss, d->lossDb, 0.05 * d->lossDb);
        // Twice the Q, about half the loss.
        const NetworkModel better = Model(*d, 2 * d->qUnloaded);
        EXPECT_NEAR(LossDb(EvaluateNetwork(better, model.f0GHz)), loss / 2, 0.05 * loss);
        ++checked;
    }
    EXPECT_GE(checked, 6);
}

TEST(FilterNetworkTest, AnalyticGroupDelayMatchesThePhaseSlope)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(Name(c));
        const auto d = Design(c);
        const double bw = d->fHigh - d->fLow;
        for (double qu : {kInf, d->qUnloaded}) {
            const NetworkModel model = Model(*d, qu);
            const double f0 = model.f0GHz;
            for (double f : {f0, d->fLow, d->fHigh, f0 + 0.3 * bw, f0 - 2 * bw, f0 + 3 * bw,
                             0.3 * f0, 2.5 * f0}) {
                const NetworkPoint p = EvaluateNetwork(model, f);
                const double slope21 = DelayByDifference(model, f, false);
                EXPECT_NEAR(p.delay21Ns, slope21, 1e-6 * std::abs(slope21) + 1e-9) << f;
                // Near a zero of S11 its phase turns too fast for the difference.
                if (std::abs(p.s11) > 0.1) {
                    const double slope11 = DelayByDifference(model, f, true);
                    EXPECT_NEAR(p.delay11Ns, slope11, 1e-6 * std::abs(slope11) + 1e-9) << f;
                }
            }
            // The delay peaks near the band edges, above its value at the centre.
            const double centre = EvaluateNetwork(model, f0).delay21Ns;
            EXPECT_GT(centre, 0.0);
            EXPECT_GT(EvaluateNetwork(model, d->fHigh).delay21Ns, centre);
        }
    }
}

TEST(FilterNetworkTest, TuningTableAgreesWithTheDetunedNetwork)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(Name(c));
        const auto d = Design(c);
        TuningTable table;
        ASSERT_TRUE(ComputeTuningTable(*d, table));
        ASSERT_EQ(table.delayNs.size(), std::size_t(c.ele));
        ASSERT_EQ(table.coupling.size(), std::size_t(c.ele - 1));
        for (int k = 1; k <= c.ele; ++k) {
            // Resonators 1..k tuned: resonator k+1 pushed far off f0, or for k = n the
            // output not yet coupled.
            NetworkModel model = Model(*d, kInf);
            if (k < c.ele) {
                model.detune[k] = 1e7;
            } else {
                model.qen = kInf;
            }
            const NetworkPoint p = EvaluateNetwork(model, table.f0GHz);
            EXPECT_NEAR(std::abs(p.s11), 1.0, 1e-9) << k;
            EXPECT_NEAR(p.delay11Ns, table.delayNs[k - 1], 1e-6 * table.delayNs[k - 1]) << k;
        }
        // The couplings and external Q are what the report's rod table is built from.
        const double f0Ratio = d->fzmc / table.f0GHz;
        for (int i = 0; i + 1 < c.ele; ++i) {
            EXPECT_NEAR(table.coupling[i], d->coupling[i] * f0Ratio, 1e-9 * d->coupling[i]);
        }
        const double fbw = (d->fHigh - d->fLow) / table.f0GHz;
        EXPECT_NEAR(table.qe1 * fbw, d->g[0], 1e-12);
        EXPECT_NEAR(table.qen * fbw, d->g[c.ele - 1] * d->g[c.ele], 1e-12);
    }
}

TEST(FilterNetworkTest, RefusesWhatItCannotModel)
{
    const auto good = Design(kCases[0]);
    NetworkModel model;
    model.n = -7; // stays untouched on every refusal
    EXPECT_FALSE(BuildNetworkModel(*good, 0.0, model));
    EXPECT_FALSE(BuildNetworkModel(*good, -10.0, model));
    EXPECT_FALSE(BuildNetworkModel(*good, std::nan(""), model));

    auto bad = std::make_unique<FilterDesign>(*good);
    bad->ele = 13;
    EXPECT_FALSE(BuildNetworkModel(*bad, kInf, model));
    bad->ele = 1;
    EXPECT_FALSE(BuildNetworkModel(*bad, kInf, model));
    // A bandwidth of more than twice the centre frequency puts the lower edge below 0 Hz.
    DesignInputs wide;
    wide.fzmc = 1000;
    wide.bwmc = 2500;
    EXPECT_FALSE(BuildNetworkModel(*SynthesizedDesign(wide), kInf, model));
    bad = std::make_unique<FilterDesign>(*good);
    bad->g[2] = std::nan("");
    EXPECT_FALSE(BuildNetworkModel(*bad, kInf, model));
    TuningTable table;
    EXPECT_FALSE(ComputeTuningTable(*bad, table));
    EXPECT_TRUE(table.delayNs.empty());
    EXPECT_EQ(model.n, -7);

    // An accepted model gives finite numbers far below and far above the band.
    ASSERT_TRUE(BuildNetworkModel(*good, good->qUnloaded, model));
    for (double f : {1e-9, 1e-3, 1e3, 1e6}) {
        const NetworkPoint p = EvaluateNetwork(model, f);
        EXPECT_TRUE(std::isfinite(std::abs(p.s11)) && std::isfinite(std::abs(p.s21)) &&
                    std::isfinite(p.delay21Ns) && std::isfinite(p.delay11Ns))
            << f;
        EXPECT_GE(MagnitudeDb(p.s21), kNetworkDbFloor);
    }
    EXPECT_EQ(MagnitudeDb(0.0), kNetworkDbFloor);
    EXPECT_TRUE(LinearSweepGHz(1.0, 2.0, 1).empty());
    EXPECT_EQ(LinearSweepGHz(1.0, 2.0, 3), (std::vector<double>{1.0, 1.5, 2.0}));
}
