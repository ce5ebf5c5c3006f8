// SPDX-License-Identifier: GPL-2.0-or-later
// The editor control's keystroke and paging cost, and loading a large file.
//   bin/bench_editview --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
//
// Keystroke: one key typed at the end of a text of 10,000 and of 1,000,000 lines (a
// character, or Enter after every 60 of them) and the view (800 x 600 pixels) repainted. The two
// sizes should cost about the same: painting reads only the lines in view, and an insertion touches
// one block of the buffer. PageDown: one page down with repaint, on the large text. Each is paired
// with a peer run in the same process: the same number of lines, already in strings, drawn straight
// through the drawing context; the ratio is what the editor adds to the drawing itself.
//
// Under a display (xvfb-run) the keystroke is measured in a real window as well: the editor
// window is invalidated and painted at once.
//
// Load: a 50 MB text file read and put into the editor window (BM_Load50MB, in ms).

#include "bench/edit/SourceText.h"
#include "edit/XMEdit.h"
#include "edit/XMEditWnd.h"
#include "edit/ZStringML.h"
#include "platform/Application.h"
#include "platform/Image.h"
#include "platform/Window.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// The benchmark's text: lines of words.
const std::string& SourceText(int lines)
{
    return BenchSourceText(lines, true);
}

// The n-th keystroke of a typist: lines of 60 characters, so that the view keeps showing
// full lines of text and does not scroll sideways along one ever longer line.
void Type(XMEdit& edit, int64_t n)
{
    if (n % 61 == 60) {
        edit.ExecCmd("DoKeyRETURN");
        return;
    }
    XMEditCmdParms ch;
    ch.ch = uint32_t('a' + n % 26);
    edit.ExecCmd("DoChar", ch);
}

struct Editor
{
    explicit Editor(int lines)
    {
        const std::string& text = SourceText(lines);
        edit.SetText(ZStr(text.data(), int32_t(text.size())), ZStr("\n"));
        edit.SetViewSize({kWidth, kHeight});
        XMEditCmdParms ctrl;
        ctrl.ctrl = true;
        edit.ExecCmd("DoKeyEND", ctrl);
    }
    ZStringML buffer;
    XMEdit edit{buffer};
    plat::Image image{kWidth, kHeight};
};

void BM_Keystroke(benchmark::State& state)
{
    Editor e(int(state.range(0)));
    int64_t n = 0;
    for (auto _ : state) {
        Type(e.edit, n++);
        e.edit.Paint(e.image.Context(), {0, 0, kWidth, kHeight});
    }
    state.counters["lines"] = double(e.edit.LineCount());
}
BENCHMARK(BM_Keystroke)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_PageDown(benchmark::State& state)
{
    Editor e(int(state.range(0)));
    e.edit.ExecCmd("DoKeyHOME", [] {
        XMEditCmdParms p;
        p.ctrl = true;
        return p;
    }());
    for (auto _ : state) {
        if (e.edit.GetCaret().line + e.edit.PageLines() >= e.edit.LineCount()) {
            state.PauseTiming();
            e.edit.SetSel({0, 0}, {0, 0});
            state.ResumeTiming();
        }
        e.edit.ExecCmd("DoKeyNEXT");
        e.edit.Paint(e.image.Context(), {0, 0, kWidth, kHeight});
    }
}
BENCHMARK(BM_PageDown)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The peer: the lines of one screen, already in strings, drawn straight through the context.
void BM_Peer_DrawScreen(benchmark::State& state)
{
    Editor e(10000);
    std::vector<std::string> lines;
    for (int32_t i = 0; i < e.edit.PageLines() + 1; ++i) {
        const ZStr t = e.edit.LineText(i);
        lines.emplace_back(t.ptr, size_t(t.len));
    }
    plat::DrawContext& dc = e.image.Context();
    const int32_t lh = e.edit.LineHeight();
    for (auto _ : state) {
        dc.FillRect({0, 0, kWidth, kHeight}, plat::Rgb(255, 255, 255));
        dc.SetFont(e.edit.GetFont());
        dc.SetTextColor(0);
        for (size_t i = 0; i < lines.size(); ++i) {
            dc.TextOut({2, int(i) * lh}, lines[i]);
        }
    }
}
BENCHMARK(BM_Peer_DrawScreen)->Unit(benchmark::kMicrosecond);

// A keystroke in a real window: the editor invalidates it and it is painted at once.
void BM_KeystrokeWindow(benchmark::State& state)
{
    if (!plat::InitDisplay()) {
        state.SkipWithError("no display");
        return;
    }
    plat::Window top;
    top.CreateTopLevel("bench", plat::Rect::FromXYWH(0, 0, kWidth, kHeight),
                       plat::WindowStyle::kVisible);
    auto wnd = std::make_unique<XMEditWnd>();
    wnd->Create(top, plat::Rect::FromXYWH(0, 0, kWidth, kHeight));
    const std::string& text = SourceText(int(state.range(0)));
    XMEdit& edit = wnd->GetEdit();
    edit.SetText(ZStr(text.data(), int32_t(text.size())), ZStr("\n"));
    XMEditCmdParms ctrl;
    ctrl.ctrl = true;
    edit.ExecCmd("DoKeyEND", ctrl);
    plat::ProcessPending();
    const int64_t paints = edit.PaintCount();
    int64_t n = 0;
    for (auto _ : state) {
        Type(edit, n++);
        wnd->Update();
    }
    state.counters["paints/iter"] =
        benchmark::Counter(double(edit.PaintCount() - paints), benchmark::Counter::kAvgIterations);
    wnd.reset();
    top.Destroy();
    plat::ProcessPending();
}
BENCHMARK(BM_KeystrokeWindow)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Reading a 50 MB file and putting it into an editor window, as quill-edit opens it.
void BM_Load50MB(benchmark::State& state)
{
    const std::string path = "/tmp/bench_editview_50mb.txt";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const std::string& block = SourceText(100000);
        size_t written = 0;
        while (written < 50u * 1000 * 1000) {
            std::fwrite(block.data(), 1, block.size(), f);
            written += block.size();
        }
        std::fclose(f);
    }
    const bool display = plat::InitDisplay();
    for (auto _ : state) {
        plat::Window top;
        std::unique_ptr<XMEditWnd> wnd;
        if (display) {
            top.CreateTopLevel("bench", plat::Rect::FromXYWH(0, 0, kWidth, kHeight),
                               plat::WindowStyle::kVisible);
            wnd = std::make_unique<XMEditWnd>();
            wnd->Create(top, plat::Rect::FromXYWH(0, 0, kWidth, kHeight));
        } else {
            wnd = std::make_unique<XMEditWnd>();
        }
        ZString text;
        ZString error;
        if (!XMEdit::ReadTextFile(path, text, error)) {
            state.SkipWithError(error.Text());
            break;
        }
        wnd->GetEdit().SetText(text.Str(), XMEdit::LineBreakOf(text.Str()));
        if (display) {
            wnd->Update();
        }
        state.counters["lines"] = double(wnd->GetEdit().LineCount());
        state.PauseTiming();
        wnd.reset();
        top.Destroy();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_Load50MB)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
