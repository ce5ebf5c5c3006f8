// SPDX-License-Identifier: GPL-2.0-or-later
// Drawing speed of the platform's context against cairo called directly (the peer: the same
// work without our layer), and the demo's launch to its first paint against starting a
// program that only opens the display.
#include "platform/Application.h"
#include "platform/Image.h"
#include "platform/detail/CairoBridge.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace plat;

namespace {

constexpr int kW = 1000, kH = 600;

// Deterministic pseudo-random segment end points.
struct Lcg
{
    uint32_t s = 12345;
    int Next(int mod)
    {
        s = s * 1664525u + 1013904223u;
        return int((s >> 8) % uint32_t(mod));
    }
};

// The platform's rounds: draw into a fresh image, then read a pixel so nothing is skipped.
template <class Draw> void PlatformRounds(benchmark::State& state, Draw draw)
{
    for (auto _ : state) {
        Image img(kW, kH);
        draw(img.Context());
        benchmark::DoNotOptimize(img.GetPixel(0, 0));
    }
}

// The peer's rounds: the same on a fresh cairo image surface, flushed as the image is.
template <class Draw> void CairoRounds(benchmark::State& state, Draw draw)
{
    for (auto _ : state) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
        cairo_t* cr = cairo_create(s);
        draw(cr);
        cairo_surface_flush(s);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(s)[0]);
        cairo_destroy(cr);
        cairo_surface_destroy(s);
    }
}

void BM_Platform_10000Lines(benchmark::State& state)
{
    PlatformRounds(state, [](DrawContext& dc) {
        dc.SetPen({Rgb(0, 0, 255), 1, PenStyle::Solid});
        Lcg r;
        for (int i = 0; i < 10000; ++i)
            dc.Line({r.Next(kW), r.Next(kH)}, {r.Next(kW), r.Next(kH)});
    });
}
BENCHMARK(BM_Platform_10000Lines)->Unit(benchmark::kMillisecond);

void BM_CairoPeer_10000Lines(benchmark::State& state)
{
    CairoRounds(state, [](cairo_t* cr) {
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_set_line_width(cr, 1);
        Lcg r;
        for (int i = 0; i < 10000; ++i) {
            const int x0 = r.Next(kW), y0 = r.Next(kH), x1 = r.Next(kW), y1 = r.Next(kH);
            cairo_move_to(cr, x0 + 0.5, y0 + 0.5);
            cairo_line_to(cr, x1 + 0.5, y1 + 0.5);
            cairo_stroke(cr);
        }
    });
}
BENCHMARK(BM_CairoPeer_10000Lines)->Unit(benchmark::kMillisecond);

void BM_Platform_1000Labels(benchmark::State& state)
{
    PlatformRounds(state, [](DrawContext& dc) {
        dc.SetFont({"Arial", 90, FontWeight::Normal, false});
        Lcg r;
        for (int i = 0; i < 1000; ++i)
            dc.TextOut({r.Next(kW - 60), r.Next(kH - 12)}, "f=" + std::to_string(1100 + i));
    });
}
BENCHMARK(BM_Platform_1000Labels)->Unit(benchmark::kMillisecond);

void BM_CairoPeer_1000Labels(benchmark::State& state)
{
    CairoRounds(state, [](cairo_t* cr) {
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 12.0);
        // The same font options as the platform's context, so that the ratio shows the cost
        // of the layer and not of unhinted, subpixel-positioned text.
        detail::ApplyFontOptions(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        Lcg r;
        cairo_font_extents_t fe;
        cairo_font_extents(cr, &fe);
        for (int i = 0; i < 1000; ++i) {
            const int x = r.Next(kW - 60), y = r.Next(kH - 12);
            cairo_move_to(cr, x, y + fe.ascent);
            cairo_show_text(cr, ("f=" + std::to_string(1100 + i)).c_str());
        }
    });
}
BENCHMARK(BM_CairoPeer_1000Labels)->Unit(benchmark::kMillisecond);

// Starts a program and waits for it; false when it could not run or failed.
bool Launch(const std::string& path, const char* arg)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execl(path.c_str(), path.c_str(), arg, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_DemoLaunchToFirstPaint(benchmark::State& state)
{
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("needs a display (run under xvfb-run)");
        return;
    }
    const std::string demo = GetExecutableDir() + "/platform_demo";
    for (auto _ : state)
        if (!Launch(demo, "--first-paint-exit")) {
            state.SkipWithError("platform_demo did not run");
            return;
        }
}
BENCHMARK(BM_DemoLaunchToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer of the launch: a process that starts and exits at once (the demo refusing an
// unknown display), so the ratio shows what the window, the controls and the paint cost.
void BM_PeerLaunchNoWindow(benchmark::State& state)
{
    const std::string demo = GetExecutableDir() + "/platform_demo";
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            unsetenv("DISPLAY");
            freopen("/dev/null", "w", stderr);
            execl(demo.c_str(), demo.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
}
BENCHMARK(BM_PeerLaunchNoWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
