// SPDX-License-Identifier: GPL-2.0-or-later
// The calculator window's speed as a user feels it:
// - start to first complete paint: wall time from starting tessera until the report and the
//   chart are drawn (the program quits from inside that paint), against starting it in batch
//   mode for the same report on stdout as the peer;
// - a slider change to the repainted chart: the tick that reads a moved bandwidth slider,
//   recomputes and repaints the chart, against the computation alone (the filter core's
//   recomputation from the parameter text) as the peer;
// - an idle tick: the tick that finds nothing changed, against building the parameter text
//   once as the peer;
// - the slider change with the network view shown for twelve rods, with "Corrected
//   dimensions" ticked while the worker corrects a design (seconds), against the same
//   change unticked as the peer: the drag must not wait for the correction;
// - a settled change to its corrected report: the correction on the worker, handed over and
//   shown, against computing the corrected design alone as the peer.
// Needs a display (run under xvfb-run).

#include "app/engine/ComputedDesign.h"
#include "app/engine/ParmsText.h"
#include "app/gui/DesignDialog.h"
#include "app/gui/DesignTemplate.h"
#include "bench/BenchSupport.h"
#include "platform/Application.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

bool RunTessera(const char* arg)
{
    const std::string exe = plat::GetExecutableDir() + "/tessera";
    const char* argv[] = {exe.c_str(), arg, nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const bool spawned =
        posix_spawn(&pid, exe.c_str(), &files, nullptr, const_cast<char**>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&files);
    int status = 0;
    return spawned && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void StartLoop(benchmark::State& state, const char* arg)
{
    for (auto _ : state) {
        if (!RunTessera(arg)) {
            state.SkipWithError("tessera did not run (no display?)");
            break;
        }
        // The X server frees the last client's windows after it is gone; let it finish
        // before the next start, as a user's starts are far apart.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        state.ResumeTiming();
    }
}

void BM_StartToFirstPaint(benchmark::State& state)
{
    StartLoop(state, "--quit-after-first-paint");
}
BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_StartBatchReport(benchmark::State& state)
{
    StartLoop(state, "--report");
}
BENCHMARK(BM_StartBatchReport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// One window for the in-process benchmarks, shown modelessly.
DesignDialog* Window()
{
    static std::unique_ptr<DesignDialog> dlg;
    if (!dlg) {
        dlg = std::make_unique<DesignDialog>();
        if (!dlg->CreateModeless(DesignDialogTemplate(), nullptr)) {
            dlg.reset();
            return nullptr;
        }
        for (int i = 0; i < 20; ++i) {
            plat::ProcessPending();
        }
    }
    return dlg.get();
}

// The window for a benchmark, or none (and the benchmark skipped) without a display.
DesignDialog* WindowFor(benchmark::State& state)
{
    DesignDialog* dlg = Window();
    if (dlg == nullptr) {
        state.SkipWithError("no display");
    }
    return dlg;
}

void BM_SliderToRepaintedChart(benchmark::State& state)
{
    DesignDialog* dlg = WindowFor(state);
    if (dlg == nullptr) {
        return;
    }
    plat::Dialog& dialog = *dlg;
    const int slider = InputInfo(DesignInput::Bandwidth).sliderId;
    dialog.SetFocusControl(slider);
    int pos = 60;
    for (auto _ : state) {
        pos = pos == 60 ? 80 : 60;
        // What a drag does for every movement: the slider's new position, its notice to the
        // dialog, the recomputation and the chart painted again.
        dialog.SetSliderPos(slider, pos);
        dlg->SliderMoved();
        dlg->ChartWnd().Update();
    }
}
BENCHMARK(BM_SliderToRepaintedChart)->Unit(benchmark::kMillisecond);

void BM_RecomputeOnly(benchmark::State& state)
{
    DesignInputs inputs;
    for (auto _ : state) {
        inputs.bwmc = inputs.bwmc == 60.0 ? 80.0 : 60.0;
        std::string status;
        benchmark::DoNotOptimize(
            ComputedDesign::Compute(BuildParms(inputs), LengthUnit::Millimetre, status));
    }
}
BENCHMARK(BM_RecomputeOnly)->Unit(benchmark::kMillisecond);

void BM_IdleTick(benchmark::State& state)
{
    DesignDialog* dlg = WindowFor(state);
    if (dlg == nullptr) {
        return;
    }
    dlg->Controller().OnTick();
    for (auto _ : state) {
        dlg->Controller().OnTick();
    }
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

// Ticks "Corrected dimensions" or unticks it, and shows the network view or hides it.
void SetCorrectedView(DesignDialog& dlg, bool corrected, bool network)
{
    dlg.SetCheck(DesignId::kCorrected, corrected ? 1 : 0);
    dlg.Controller().Recompute();
    std::string error;
    dlg.ChartMenu().ShowNetwork(network, error);
}

// range(0): 1 with "Corrected dimensions" ticked.
void BM_SliderNetworkTwelveRods(benchmark::State& state)
{
    DesignDialog* dlg = WindowFor(state);
    if (dlg == nullptr) {
        return;
    }
    plat::Dialog& dialog = *dlg;
    dlg->SetText(EditIdOf(DesignInput::Elements), "12");
    // Ticked, this asks for the correction of twelve rods, which takes seconds.
    SetCorrectedView(*dlg, state.range(0) != 0, true);
    const int slider = InputInfo(DesignInput::Bandwidth).sliderId;
    dialog.SetFocusControl(slider);
    int pos = 60;
    for (auto _ : state) {
        pos = pos == 60 ? 80 : 60;
        dialog.SetSliderPos(slider, pos);
        dlg->SliderMoved();
        dlg->ChartWnd().Update();
    }
    SetCorrectedView(*dlg, false, false);
    dlg->SetText(EditIdOf(DesignInput::Elements), "5");
    dlg->Controller().Recompute();
}
BENCHMARK(BM_SliderNetworkTwelveRods)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SettledToCorrectedReport(benchmark::State& state)
{
    DesignDialog* dlg = WindowFor(state);
    if (dlg == nullptr) {
        return;
    }
    SetCorrectedView(*dlg, true, false);
    dlg->Controller().TakeCorrection(true);
    const int edit = EditIdOf(DesignInput::Bandwidth);
    int bw = 60;
    for (auto _ : state) {
        bw = bw == 60 ? 80 : 60;
        dlg->SetText(edit, std::to_string(bw));
        dlg->Controller().Recompute(); // settled: shown at once, its correction asked for
        if (!dlg->Controller().TakeCorrection(true)) {
            state.SkipWithError("no corrected design");
            break;
        }
    }
    SetCorrectedView(*dlg, false, false);
}
BENCHMARK(BM_SettledToCorrectedReport)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_CorrectedComputeOnly(benchmark::State& state)
{
    DesignInputs inputs;
    for (auto _ : state) {
        inputs.bwmc = inputs.bwmc == 60.0 ? 80.0 : 60.0;
        std::string status;
        benchmark::DoNotOptimize(ComputedDesign::Compute(
            BuildParms(inputs), LengthUnit::Millimetre, status, BuildChoice{FeedKind::Wall, true}));
    }
}
BENCHMARK(BM_CorrectedComputeOnly)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_BuildParmsOnce(benchmark::State& state)
{
    const DesignInputs inputs;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildParms(inputs));
    }
}
BENCHMARK(BM_BuildParmsOnce)->Unit(benchmark::kMicrosecond);

class Summary : public WallTimingReporter
{
public:
    void PrintSummary() const override
    {
        const double start = Milliseconds("BM_StartToFirstPaint/iterations:10/real_time");
        const double batch = Milliseconds("BM_StartBatchReport/iterations:10/real_time");
        const double slider = Milliseconds("BM_SliderToRepaintedChart");
        const double compute = Milliseconds("BM_RecomputeOnly");
        const double idle = Milliseconds("BM_IdleTick");
        const double parms = Milliseconds("BM_BuildParmsOnce");
        const double plainDrag = Milliseconds("BM_SliderNetworkTwelveRods/0");
        const double correctedDrag = Milliseconds("BM_SliderNetworkTwelveRods/1");
        const double settled = Milliseconds("BM_SettledToCorrectedReport/iterations:4");
        const double corrected = Milliseconds("BM_CorrectedComputeOnly/iterations:4");
        std::printf("\nstart to first complete paint: %.1f ms wall; batch report: %.1f ms "
                    "(ratio %.2f)\n",
                    start, batch, batch > 0 ? start / batch : 0.0);
        std::printf("slider change to repainted chart: %.2f ms after the tick; computation "
                    "alone: %.2f ms (ratio %.2f)\n",
                    slider, compute, compute > 0 ? slider / compute : 0.0);
        std::printf("idle tick: %.2f us; one parameter text: %.2f us (ratio %.2f)\n", idle * 1e3,
                    parms * 1e3, parms > 0 ? idle / parms : 0.0);
        std::printf("slider change, 12 rods, network view: %.2f ms with the worker correcting; "
                    "%.2f ms unticked (ratio %.2f)\n",
                    correctedDrag, plainDrag, plainDrag > 0 ? correctedDrag / plainDrag : 0.0);
        std::printf("settled change to corrected report: %.1f ms; corrected computation "
                    "alone: %.1f ms (ratio %.2f)\n",
                    settled, corrected, corrected > 0 ? settled / corrected : 0.0);
    }
};

} // namespace

int main(int argc, char** argv)
{
    plat::InitDisplay();
    Summary reporter; // wall clock: the start waits on the X server
    return RunBenchmarks(argc, argv, reporter);
}
