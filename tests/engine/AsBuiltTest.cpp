// SPDX-License-Identifier: GPL-2.0-or-later
#include "TestDesigns.h"
#include "app/engine/AsBuiltDesign.h"
#include "app/engine/AsBuiltNetwork.h"
#include "app/engine/ComputedDesign.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/ParmsText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>

namespace {

constexpr double kLossless = std::numeric_limits<double>::infinity();

std::shared_ptr<const ComputedDesign> Computed(const DesignInputs& inputs, BuildChoice choice)
{
    std::string status;
    auto design =
        ComputedDesign::Compute(BuildParms(inputs), LengthUnit::Millimetre, status, choice);
    EXPECT_TRUE(design) << status;
    return design;
}

DesignInputs Inputs(int elements, double ripple, double fc, double bw, double e = 25.0)
{
    DesignInputs in;
    in.ele = elements;
    in.rip = ripple;
    in.fzmc = fc;
    in.bwmc = bw;
    in.E = e;
    return in;
}

TEST(AsBuiltTest, NetworkIsPassiveReciprocalSymmetricAndDissipatesAsCohnEstimates)
{
    for (FeedKind feed : {FeedKind::Wall, FeedKind::Cover}) {
        for (int n : {4, 5}) {
            const auto design = Computed(Inputs(n, 1.0, 1200, 70), {feed, true});
            ASSERT_TRUE(design->Corrected()) << design->CorrectionProblem().value_or("");
            AsBuiltNetwork net;
            std::string problem;
            ASSERT_TRUE(BuildAsBuiltNetwork(design->Geometry(), 50.0, net, problem)) << problem;
            for (double f : DesignSweepGHz(design->Design())) {
                const NetworkPoint p = EvaluateAsBuilt(net, kLossless, f);
                EXPECT_NEAR(std::norm(p.s11) + std::norm(p.s21), 1.0, 1e-9) << f;
                EXPECT_NEAR(std::abs(p.s12 - p.s21), 0.0, 1e-9) << f;
                // Mirror-symmetric (odd n) or turned about the middle (even n): both ports
                // see the same filter.
                EXPECT_NEAR(std::abs(p.s11 - p.s22), 0.0, 1e-9) << f;
            }
            // The loss the resonators' Qu adds at the centre, against the design's estimate
            // from the prototype (Cohn): two independent routes to the same dissipation. The
            // estimate holds where the centre is a point of full transmission (odd n).
            const FilterDesign& d = design->Design();
            if (n % 2 == 0) {
                continue;
            }
            const double added = MagnitudeDb(EvaluateAsBuilt(net, kLossless, d.fzmc).s21) -
                                 MagnitudeDb(EvaluateAsBuilt(net, d.qUnloaded, d.fzmc).s21);
            EXPECT_NEAR(added, d.lossDb, 0.2 * d.lossDb) << n;
        }
    }
}

TEST(AsBuiltTest, FitRecoversAKnownFilterBehindFeedLines)
{
    // A detuned, mistuned 6-resonator model seen through lines (a phase and a delay): the fit
    // must find every resonator, coupling and external Q from the design's start.
    const auto design = Computed(Inputs(6, 0.5, 1000, 50), {});
    NetworkModel truth;
    ASSERT_TRUE(BuildNetworkModel(design->Design(), kLossless, truth));
    NetworkModel start = truth;
    const double detune[] = {0.35, -0.2, 0.1, 0.0, -0.15, 0.3};
    for (int i = 0; i < 6; ++i) {
        truth.detune[size_t(i)] = detune[i];
    }
    truth.m[1] *= 1.06;
    truth.m[3] *= 0.95;
    truth.qe1 *= 1.4;
    truth.qen *= 0.8;
    MeasuredResponse data;
    data.freqGHz = LinearSweepGHz(0.92, 1.08, 161);
    for (double f : data.freqGHz) {
        const NetworkPoint p = EvaluateNetwork(truth, f);
        const std::complex<double> line = std::polar(1.0, -(0.7 + 2 * M_PI * f * 0.8));
        data.s11.push_back(p.s11 * line * std::polar(1.0, 1.1));
        data.s21.push_back(p.s21 * line);
    }
    ResonatorFit fit;
    ASSERT_TRUE(FitResonators(start, data, 0.94, 1.06, fit, 1e-6)) << fit.rms;
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(fit.model.detune[size_t(i)], truth.detune[size_t(i)], 1e-4) << i;
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(fit.model.m[size_t(i)] / truth.m[size_t(i)], 1.0, 1e-4) << i;
    }
    EXPECT_NEAR(fit.model.qe1 / truth.qe1, 1.0, 1e-4);
    EXPECT_NEAR(fit.model.qen / truth.qen, 1.0, 1e-4);
    EXPECT_NEAR(fit.delayNs, 0.8, 1e-4);
}

TEST(AsBuiltTest, CorrectedDimensionsMeetTheDesignWhereTheDrawnOnesDoNot)
{
    struct Case
    {
        DesignInputs inputs;
        FeedKind feed;
    };
    const Case cases[] = {
        {Inputs(5, 1.0, 1200, 70), FeedKind::Wall},     {Inputs(5, 1.0, 1200, 70), FeedKind::Cover},
        {Inputs(7, 0.1, 1296, 60, 20), FeedKind::Wall}, {Inputs(4, 0.5, 432, 20), FeedKind::Cover},
        {Inputs(3, 0.0, 2400, 150), FeedKind::Wall},
    };
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.inputs.ele) + " rods at " +
                                 std::to_string(c.inputs.fzmc) + " MHz, " + FeedKindName(c.feed) +
                                 " feed";
        const auto drawn = Computed(c.inputs, {c.feed, false});
        const auto corrected = Computed(c.inputs, {c.feed, true});
        ASSERT_TRUE(corrected->Corrected())
            << name << ": " << corrected->CorrectionProblem().value_or("");
        const FilterDesign& d = drawn->Design();
        AsBuiltSummary built;
        AsBuiltSummary ideal;
        std::string problem;
        ASSERT_TRUE(SummarizeAsBuilt(d, corrected->Geometry(), built, ideal, problem)) << name;
        EXPECT_NEAR(built.centreMHz / ideal.centreMHz, 1.0, 5e-4) << name;
        EXPECT_NEAR(built.rippleDb, ideal.rippleDb, 0.2) << name;
        EXPECT_GT(built.returnLossDb, ideal.returnLossDb - 1.0) << name;
        for (size_t i = 0; i < built.coupling.size(); ++i) {
            EXPECT_NEAR(built.coupling[i] / ideal.coupling[i], 1.0, 0.01) << name << " k" << i;
        }
        EXPECT_NEAR(built.qe1 / ideal.qe1, 1.0, 0.02) << name;
        EXPECT_NEAR(built.qen / ideal.qen, 1.0, 0.02) << name;

        // The feed's lead loads the end rods far more lightly than the tap formula assumes,
        // and the drawn box does not meet the design; the correction taps higher.
        AsBuiltSummary asDrawn;
        ASSERT_TRUE(SummarizeAsBuilt(d, drawn->Geometry(), asDrawn, ideal, problem)) << name;
        EXPECT_GT(asDrawn.qe1 / ideal.qe1, 1.15) << name;
        EXPECT_GT(corrected->Geometry().tapInch, drawn->Geometry().tapInch) << name;
        // The rods keep their order and the box its symmetry.
        const BuildGeometry& g = corrected->Geometry();
        const size_t n = g.rods.size();
        for (size_t i = 0; i < n; ++i) {
            EXPECT_DOUBLE_EQ(g.rods[i].lengthInch, g.rods[n - 1 - i].lengthInch) << name;
        }
        EXPECT_NEAR(g.boxLengthInch, g.rods.back().centreInch + g.endWallInch, 1e-12);
    }
}

TEST(AsBuiltTest, GeometriesThatCannotBeBuiltAreRefusedWithAReason)
{
    const auto design = Computed(Inputs(5, 1.0, 1200, 70), {});
    AsBuiltNetwork net;
    std::string problem;
    BuildGeometry g = design->Geometry();
    g.rods[2].centreInch = g.rods[1].centreInch + 0.5 * g.rodDiameterInch;
    EXPECT_FALSE(BuildAsBuiltNetwork(g, 50.0, net, problem));
    EXPECT_EQ(problem, "the rods touch each other or the walls");
    g = design->Geometry();
    g.tapInch = g.endRodLengthInch * 1.5;
    EXPECT_FALSE(BuildAsBuiltNetwork(g, 50.0, net, problem));
    EXPECT_EQ(problem, "the tap is not on the end rods");
    g = design->Geometry();
    g.rods[0].lengthInch = g.boxDepthInch * 1.01;
    EXPECT_FALSE(BuildAsBuiltNetwork(g, 50.0, net, problem));
    EXPECT_EQ(problem, "rod 1 does not fit in the box");

    // A design whose rods would cut into each other cannot be corrected; the computed design
    // says so and keeps the geometry of the design equations.
    std::string status;
    DesignInputs wide = Inputs(5, 1.0, 1200, 1200);
    auto computed = ComputedDesign::Compute(BuildParms(wide), LengthUnit::Millimetre, status,
                                            {FeedKind::Wall, true});
    ASSERT_TRUE(computed);
    ASSERT_TRUE(computed->BuildProblem());
    EXPECT_FALSE(computed->Corrected());
    EXPECT_EQ(computed->CorrectionProblem().value_or(""), "the design cannot be built as drawn");
}

// Full-wave simulations (openEMS, 0.5 mm cells at the rods, energy down 40 dB) of the scripts
// `tessera --openems` writes, kept as data: runs.txt names each run's inputs, feed and
// whether its dimensions were corrected; NAME.csv holds its S11 and S21.
struct SimulatedRun
{
    std::string name;
    DesignInputs inputs;
    BuildChoice choice;
    bool meetsTargets = false; ///< ripple within 0.5 dB of the design's, 5 dB match
};

std::vector<SimulatedRun> SimulatedRuns()
{
    std::vector<SimulatedRun> runs;
    std::istringstream lines(ReadTestData("openems/runs.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream in(line);
        SimulatedRun run;
        std::string feed;
        std::string corrected;
        std::string meets;
        DesignInputs& d = run.inputs;
        in >> run.name >> feed >> corrected >> meets >> d.ele >> d.rip >> d.fzmc >> d.bwmc >> d.H >>
            d.D >> d.E;
        run.meetsTargets = meets == "meets";
        EXPECT_FALSE(in.fail()) << line;
        run.choice.feed = feed == "cover" ? FeedKind::Cover : FeedKind::Wall;
        run.choice.corrected = corrected == "corrected";
        runs.push_back(run);
    }
    return runs;
}

MeasuredResponse SimulatedResponse(const std::string& name)
{
    MeasuredResponse data;
    std::istringstream lines(ReadTestData("openems/" + name + ".csv"));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "MHz,S11 re,S11 im,S21 re,S21 im") << name;
    while (std::getline(lines, line)) {
        double v[5];
        char comma;
        std::istringstream in(line);
        in >> v[0] >> comma >> v[1] >> comma >> v[2] >> comma >> v[3] >> comma >> v[4];
        EXPECT_FALSE(in.fail()) << line;
        data.freqGHz.push_back(v[0] / 1000.0);
        data.s11.emplace_back(v[1], v[2]);
        data.s21.emplace_back(v[3], v[4]);
    }
    return data;
}

TEST(AsBuiltTest, ModelAgreesWithFullWaveSimulations)
{
    const std::vector<SimulatedRun> runs = SimulatedRuns();
    ASSERT_GE(runs.size(), 5u);
    for (const SimulatedRun& run : runs) {
        const auto design = Computed(run.inputs, run.choice);
        ASSERT_EQ(design->Corrected(), run.choice.corrected) << run.name;
        const FilterDesign& d = design->Design();
        const MeasuredResponse simulated = SimulatedResponse(run.name);
        MeasuredResponse modelled;
        std::string problem;
        ASSERT_TRUE(AsBuiltResponse(d, design->Geometry(), simulated.freqGHz, modelled, problem));
        AsBuiltSummary sim;
        AsBuiltSummary model;
        ASSERT_TRUE(SummarizeResponse(d, simulated, sim)) << run.name;
        ASSERT_TRUE(SummarizeResponse(d, modelled, model)) << run.name;
        EXPECT_NEAR(sim.centreMHz / model.centreMHz, 1.0, 0.003) << run.name;
        ASSERT_EQ(sim.coupling.size(), model.coupling.size());
        for (size_t i = 0; i < sim.coupling.size(); ++i) {
            EXPECT_NEAR(sim.coupling[i] / model.coupling[i], 1.0, 0.03) << run.name << " k" << i;
        }
        // The wall feed's lead errs with the tap's height: the runs' external Q is 5 to 8 %
        // above the model's at a 5 mm tap and 6 to 12 % below it at 9 mm.
        EXPECT_NEAR(sim.qe1 / model.qe1, 1.0, 0.12) << run.name;
        EXPECT_NEAR(sim.qen / model.qen, 1.0, 0.12) << run.name;
        // Built to the corrected dimensions, the filter meets its targets: the ripple
        // within half a decibel of the design's, a 5 dB match and the centre within 0.4 %.
        // The model agrees with the runs that do not (see runs.txt) as well as with the rest.
        if (run.meetsTargets) {
            EXPECT_LE(sim.rippleDb, std::max(run.inputs.rip, 0.01) + 0.5) << run.name;
            EXPECT_GE(sim.returnLossDb, 5.0) << run.name;
            EXPECT_NEAR(sim.centreMHz / run.inputs.fzmc, 1.0, 0.004) << run.name;
        }
    }
}

} // namespace
