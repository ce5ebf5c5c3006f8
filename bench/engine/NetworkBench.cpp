// SPDX-License-Identifier: GPL-2.0-or-later
// Times the network response of a design over its 200-point sweep, for the default five
// resonators and for the largest filter (twelve), against the ideal response over the same
// sweep as the peer: the work the calculator already does for every design.

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
    }
};

} // namespace

int main(int argc, char** argv)
{
    SummaryReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
