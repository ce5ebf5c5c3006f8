// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// What the benchmark programs share: a console reporter that keeps each benchmark's time, so
// that a program can print its peer ratios after the usual table.

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

class TimingReporter : public benchmark::ConsoleReporter
{
public:
    /// CPU time suits a shared machine, where wall time counts other work; wall time suits
    /// what waits on another process (an X server).
    enum class Clock {
        Cpu,
        Wall,
    };

    explicit TimingReporter(Clock clock = Clock::Cpu)
        : ConsoleReporter(isatty(fileno(stdout)) != 0 ? OO_Defaults : OO_Tabular)
        , m_clock(clock)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                const double t =
                    m_clock == Clock::Cpu ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
                m_ms[run.benchmark_name()] =
                    t / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    /// Milliseconds per iteration of the benchmark called name; 0 when it did not run.
    double Milliseconds(const std::string& name) const
    {
        const auto it = m_ms.find(name);
        return it == m_ms.end() ? 0.0 : it->second;
    }

    /// Printed after all runs; nothing here.
    virtual void PrintSummary() const {}

private:
    Clock m_clock;
    std::map<std::string, double> m_ms;
};

/// A reporter on the wall clock, for benchmarks that wait on another process (an X server).
class WallTimingReporter : public TimingReporter
{
public:
    WallTimingReporter()
        : TimingReporter(Clock::Wall)
    {
    }
};

/// The body of a benchmark program's main: runs what the command line selects with reporter,
/// then prints its summary.
inline int RunBenchmarks(int argc, char** argv, TimingReporter& reporter)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
