// SPDX-License-Identifier: GPL-2.0-or-later
// The chart window's start-up: wall time from starting quill-chart with a chart file of
// 100,000 points until its first paint is done (the viewer reads the file, opens its window,
// paints and quits), against the same viewer with a chart file of two points as the peer.
// Needs a display (run under xvfb-run); the benchmark keeps a connection to it open.

#include "bench/BenchSupport.h"
#include "chart/XChart.h"
#include "chart/XChartExport.h"
#include "platform/Application.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string WriteChartFile(int points)
{
    XChart chart;
    XChartLine& line = *chart.Line(chart.GetOrAddLine("signal"));
    XRealArray xs(points, points);
    XRealArray ys(points, points);
    for (int i = 0; i < points; ++i) {
        xs[i] = double(i);
        ys[i] = 50.0 * std::sin(double(i) * 2e-4) + 5.0 * std::sin(double(i) * 0.37);
    }
    line.X() = std::move(xs);
    line.Y() = std::move(ys);
    line.SetStr("grid", "xy");
    chart.Attrs().SetStr("title", "Start-up");
    const std::string path = "/tmp/bench_chart_window_" + std::to_string(points) + ".xch";
    const ZString text = ChartFileText(chart);
    std::ofstream(path, std::ios::binary).write(text.Text(), text.Length());
    return path;
}

// Runs the viewer until its first paint; false when it did not end with status 0.
bool RunViewer(const std::string& file)
{
    const std::string exe = plat::GetExecutableDir() + "/quill-chart";
    const char* argv[] = {exe.c_str(), "--quit-after-paint", file.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        return false;
    }
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void StartLoop(benchmark::State& state, int points)
{
    const std::string file = WriteChartFile(points);
    for (auto _ : state) {
        if (!RunViewer(file)) {
            state.SkipWithError("quill-chart did not run (no display?)");
            break;
        }
    }
}

void BM_StartToFirstPaint100k(benchmark::State& state)
{
    StartLoop(state, 100000);
}
BENCHMARK(BM_StartToFirstPaint100k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_StartToFirstPaintTwoPoints(benchmark::State& state)
{
    StartLoop(state, 2);
}
BENCHMARK(BM_StartToFirstPaintTwoPoints)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

class SummaryReporter : public WallTimingReporter
{
public:
    void PrintSummary() const override
    {
        const double big = Milliseconds("BM_StartToFirstPaint100k/iterations:10/real_time");
        const double small = Milliseconds("BM_StartToFirstPaintTwoPoints/iterations:10/real_time");
        if (big <= 0.0 || small <= 0.0) {
            return;
        }
        std::printf("\nquill-chart, start to first paint (wall ms):\n"
                    "  100,000 points %8.1f ms   two points %8.1f ms   ratio %.2f\n",
                    big, small, big / small);
    }
};

} // namespace

int main(int argc, char** argv)
{
    // An X server resets itself when its last client leaves, and a viewer started right
    // after would wait for the reset; on a desktop other clients keep it up. So does this.
    if (!plat::InitDisplay()) {
        std::fputs("bench_chart_window: no display (run under xvfb-run)\n", stderr);
        return 1;
    }
    SummaryReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
