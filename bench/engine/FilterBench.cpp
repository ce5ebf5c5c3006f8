// SPDX-License-Identifier: GPL-2.0-or-later
// Times one recomputation of the default design, the unit of work the calculator does each
// time an input changes, and its parts. The parts are measured as peers in the same process,
// so the summary's shares do not depend on the machine's speed.

#include "app/engine/ComputedDesign.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/DesignReport.h"
#include "app/engine/FilterDesign.h"
#include "app/engine/FilterResponse.h"
#include "app/engine/FilterSynthesis.h"
#include "app/engine/ParmsText.h"
#include "bench/BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

const std::string& DefaultParms()
{
    static const std::string parms = BuildParms(DesignInputs{});
    return parms;
}

// The whole recomputation as the calculator runs it on a changed parameter text.
void BM_Recompute(benchmark::State& state)
{
    std::string status;
    for (auto _ : state) {
        const auto design = ComputedDesign::Compute(DefaultParms(), LengthUnit::Millimetre, status);
        benchmark::DoNotOptimize(design->Report().data());
    }
}
BENCHMARK(BM_Recompute);

// What every timer tick costs even when nothing changed: building the text to compare.
void BM_BuildParms(benchmark::State& state)
{
    const DesignInputs inputs;
    for (auto _ : state) {
        std::string text = BuildParms(inputs);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_BuildParms);

void BM_ParseAndValidate(benchmark::State& state)
{
    for (auto _ : state) {
        auto design = std::make_unique<FilterDesign>();
        ParmsToDesign(DefaultParms(), *design);
        auto invalid = ValidateDesign(*design);
        benchmark::DoNotOptimize(invalid);
        benchmark::DoNotOptimize(design.get());
    }
}
BENCHMARK(BM_ParseAndValidate);

void BM_Synthesize(benchmark::State& state)
{
    auto design = std::make_unique<FilterDesign>();
    ParmsToDesign(DefaultParms(), *design);
    for (auto _ : state) {
        Synthesize(*design);
        benchmark::DoNotOptimize(design->endRodLength);
    }
}
BENCHMARK(BM_Synthesize);

void BM_Report(benchmark::State& state)
{
    auto design = std::make_unique<FilterDesign>();
    ParmsToDesign(DefaultParms(), *design);
    Synthesize(*design);
    const LengthUnit unit = state.range(0) != 0 ? LengthUnit::Inch : LengthUnit::Millimetre;
    for (auto _ : state) {
        std::string report = WriteDesignReport(*design, unit);
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(BM_Report)->Arg(0)->Arg(1);

void BM_ResponseArrays(benchmark::State& state)
{
    auto design = std::make_unique<FilterDesign>();
    ParmsToDesign(DefaultParms(), *design);
    Synthesize(*design);
    std::vector<double> x;
    std::vector<double> y;
    for (auto _ : state) {
        FillResponseArrays(*design, x, y);
        benchmark::DoNotOptimize(x.data());
        benchmark::DoNotOptimize(y.data());
    }
}
BENCHMARK(BM_ResponseArrays);

// Prints the usual table and keeps each benchmark's time per iteration for the summary.
class SummaryReporter : public TimingReporter
{
public:
    void PrintSummary() const override
    {
        const double recompute = Microseconds("BM_Recompute");
        if (recompute <= 0.0) {
            return;
        }
        std::printf("\nOne recomputation of the default design: %.1f us CPU\n", recompute);
        const char* parts[] = {"BM_ParseAndValidate", "BM_Synthesize", "BM_Report/0",
                               "BM_ResponseArrays"};
        for (const char* part : parts) {
            std::printf("  %-22s %8.1f us  %5.1f %% of a recomputation\n", part, Microseconds(part),
                        100 * Microseconds(part) / recompute);
        }
        std::printf("  %-22s %8.1f us  (every tick, changed or not)\n", "BM_BuildParms",
                    Microseconds("BM_BuildParms"));
    }

private:
    double Microseconds(const std::string& name) const { return Milliseconds(name) * 1e3; }
};

} // namespace

int main(int argc, char** argv)
{
    SummaryReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
