// SPDX-License-Identifier: GPL-2.0-or-later
// Times the network response of a design over its 200-point sweep, for the default five
// resonators and for the largest filter (twelve), against the ideal response over the same
// sweep as the peer: the work the calculator already does for every design.

#include "app/engine/AsBuiltDesign.h"
#include "app/engine/AsBuiltNetwork.h"
#include "app/engine/BuildGeometry.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/FilterNetwork.h"
#include "app/engine/FilterResponse.h"
#include "app/engine/FilterSynthesis.h"
#include "app/engine/ParmsText.h"
#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<FilterDesign> Design(int elements)
{
    DesignInputs inputs;
    inputs.ele = elements;
    auto design = std::make_unique<FilterDesign>();
    ParmsToDesign(BuildParms(inputs), *design);
    Synthesize(*design);
    return design;
}

// The network sweep: S parameters and group delay at every point, with the report's Qu.
void BM_NetworkSweep(benchmark::State& state)
{
    const auto design = Design(int(state.range(0)));
    NetworkModel model;
    if (!BuildNetworkModel(*design, design->qUnloaded, model)) {
        state.SkipWithError("the design has no network model");
        return;
    }
    const std::vector<double> freqs = DesignSweepGHz(*design);
    for (auto _ : state) {
        std::vector<NetworkPoint> points = SweepNetwork(model, freqs);
        benchmark::DoNotOptimize(points.data());
    }
}
BENCHMARK(BM_NetworkSweep)->Arg(5)->Arg(12)->Unit(benchmark::kMicrosecond);

// The peer: the ideal response over the same sweep and the chart's arrays from it.
void BM_IdealSweep(benchmark::State& state)
{
    const auto design = Design(int(state.range(0)));
    std::vector<double> x;
    std::vector<double> y;
    for (auto _ : state) {
        FillAttenuation(*design);
        FillResponseArrays(*design, x, y);
        benchmark::DoNotOptimize(y.data());
    }
}
BENCHMARK(BM_IdealSweep)->Arg(5)->Arg(12)->Unit(benchmark::kMicrosecond);

// The as-built response: the network built from the geometry (the field solutions) and
// swept with the report's Qu, as the window does once per change of the inputs.
void BM_AsBuiltSweep(benchmark::State& state)
{
    const auto design = Design(int(state.range(0)));
    const BuildGeometry geometry = ComputeBuildGeometry(*design);
    const std::vector<double> freqs = DesignSweepGHz(*design);
    for (auto _ : state) {
        AsBuiltNetwork network;
        std::string problem;
        if (!BuildAsBuiltNetwork(geometry, design->R, network, problem)) {
            state.SkipWithError(problem.c_str());
            return;
        }
        std::vector<NetworkPoint> points = SweepAsBuilt(network, design->qUnloaded, freqs);
        benchmark::DoNotOptimize(points.data());
    }
}
BENCHMARK(BM_AsBuiltSweep)->Arg(5)->Arg(12)->Unit(benchmark::kMillisecond);

// The correction of every dimension, from the design equations' geometry.
void BM_Correction(benchmark::State& state)
{
    const auto design = Design(int(state.range(0)));
    const BuildGeometry geometry = ComputeBuildGeometry(*design);
    for (auto _ : state) {
        BuildGeometry corrected;
        CorrectionResult result;
        std::string problem;
        if (!CorrectGeometry(*design, geometry, corrected, result, problem)) {
            state.SkipWithError(problem.c_str());
            return;
        }
        benchmark::DoNotOptimize(corrected.tapInch);
    }
}
BENCHMARK(BM_Correction)->Arg(5)->Arg(12)->Unit(benchmark::kMillisecond)->Iterations(2);

class SummaryReporter : public TimingReporter
{
public:
    void PrintSummary() const override
    {
        std::printf("\nNetwork sweep of 200 points against the ideal response sweep:\n");
        for (const char* n : {"5", "12"}) {
            const double network = Milliseconds(std::string("BM_NetworkSweep/") + n) * 1e3;
            const double ideal = Milliseconds(std::string("BM_IdealSweep/") + n) * 1e3;
            if (network > 0.0 && ideal > 0.0) {
                std::printf("  n = %-3s %8.1f us  (ideal %6.1f us, ratio %.1f)\n", n, network,
                            ideal, network / ideal);
            }
        }
        std::printf("As-built response of 200 points (target under 20 ms), correction:\n");
        for (const char* n : {"5", "12"}) {
            const double built = Milliseconds(std::string("BM_AsBuiltSweep/") + n);
            const double ideal = Milliseconds(std::string("BM_IdealSweep/") + n);
            const double fix = Milliseconds(std::string("BM_Correction/") + n + "/iterations:2");
            if (built > 0.0 && ideal > 0.0) {
                std::printf(
                    "  n = %-3s %8.2f ms  (%.0f times the ideal sweep), correction %.0f ms\n", n,
                    built, built / ideal, fix);
            }
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    SummaryReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
