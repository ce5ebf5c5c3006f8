// SPDX-License-Identifier: GPL-2.0-or-later
// Painting cost of the chart into a 1000x600 image: the calculator's chart (200 points, axes,
// grid, captions, title) and one line of 1,000,000 points, in full and zoomed. Each is paired with
// a peer run in the same process: the same points already in pixels, stroked as one polyline
// straight through the drawing context. The ratio is what the chart's own work (layout, scales,
// labels, pixel conversion) adds to the drawing itself.

#include "app/engine/ComputedDesign.h"
#include "app/engine/DesignInputs.h"
#include "app/engine/ParmsText.h"
#include "app/outputs/TesseraChart.h"
#include "bench/BenchSupport.h"
#include "chart/XChart.h"
#include "platform/Image.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 600;
constexpr int kMillion = 1000000;

const ComputedDesign& DefaultResponse()
{
    static const std::shared_ptr<const ComputedDesign> design = [] {
        std::string status;
        return ComputedDesign::Compute(BuildParms(DesignInputs{}), LengthUnit::Millimetre, status);
    }();
    return *design;
}

// A noisy signal: a slow sine with a faster ripple, so neighbouring points land on different
// pixel rows as measured data would.
void MillionPoints(XRealArray& x, XRealArray& y)
{
    XRealArray xs(kMillion, kMillion);
    XRealArray ys(kMillion, kMillion);
    for (int i = 0; i < kMillion; ++i) {
        xs[i] = double(i);
        ys[i] = 50.0 * std::sin(double(i) * 2e-5) + 5.0 * std::sin(double(i) * 0.37);
    }
    x = std::move(xs);
    y = std::move(ys);
}

void PaintLoop(benchmark::State& state, XChart& chart)
{
    plat::Image image(kWidth, kHeight);
    const NXRect area{0, 0, double(kWidth), double(kHeight)};
    for (auto _ : state) {
        chart.Paint(image.Context(), area);
        benchmark::DoNotOptimize(image.GetPixel(kWidth / 2, kHeight / 2));
    }
}

// The points of the chart's line as the last paint placed them, for the peers.
std::vector<plat::Point> PixelsOf(XChart& chart)
{
    plat::Image image(kWidth, kHeight);
    chart.Paint(image.Context(), NXRect{0, 0, double(kWidth), double(kHeight)});
    XChartLine& line = *chart.Line(0);
    std::vector<plat::Point> pts;
    pts.reserve(size_t(line.PointCount()));
    for (int32_t i = 0; i < line.PointCount(); ++i) {
        pts.push_back({line.AxisX().PixelOf(line.X()[i]), line.AxisY().PixelOf(line.Y()[i])});
    }
    return pts;
}

void PolylineLoop(benchmark::State& state, const std::vector<plat::Point>& pts)
{
    plat::Image image(kWidth, kHeight);
    plat::DrawContext& dc = image.Context();
    for (auto _ : state) {
        dc.FillRect({0, 0, kWidth, kHeight}, plat::Rgb(0, 0, 0));
        dc.SetPen(plat::Pen{plat::Rgb(255, 255, 0), 2, plat::PenStyle::Solid});
        dc.Polyline(pts);
        benchmark::DoNotOptimize(image.GetPixel(kWidth / 2, kHeight / 2));
    }
}

void CalculatorChart(XChart& chart)
{
    const ComputedDesign& design = DefaultResponse();
    SetupChartWithData(chart, design.ResponseX().data(), design.ResponseY().data(),
                       int32_t(design.ResponseX().size()));
}

void MillionPointChart(XChart& chart)
{
    XChartLine& line = *chart.Line(chart.GetOrAddLine("signal"));
    MillionPoints(line.X(), line.Y());
    line.SetStr("grid", "xy");
    line.SetStr("axisLableX", "sample");
}

// Paints a chart set up by `setup` again and again.
void BM_Paint(benchmark::State& state, void (*setup)(XChart&))
{
    XChart chart;
    setup(chart);
    PaintLoop(state, chart);
}
BENCHMARK_CAPTURE(BM_Paint, CalculatorChart, CalculatorChart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Paint, MillionPointLine, MillionPointChart)->Unit(benchmark::kMillisecond);

// The peer: a bare polyline through the pixels the chart's points map to.
void BM_Polyline(benchmark::State& state, void (*setup)(XChart&))
{
    XChart chart;
    setup(chart);
    PolylineLoop(state, PixelsOf(chart));
}
BENCHMARK_CAPTURE(BM_Polyline, CalculatorPoints, CalculatorChart)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Polyline, MillionPoints, MillionPointChart)->Unit(benchmark::kMillisecond);

// The same line with its X axis zoomed to 1% of the samples, as after a drag along the axis:
// every point is still scaled, but only those near the view reach the polyline.
void BM_PaintZoomedMillionPointLine(benchmark::State& state)
{
    XChart chart;
    MillionPointChart(chart);
    PixelsOf(chart); // a first paint sets the full range the view lies in
    XChartAxis& axis = chart.Line(0)->AxisX();
    axis.ZoomToValues(400000.0, 410000.0);
    PaintLoop(state, chart);
}
BENCHMARK(BM_PaintZoomedMillionPointLine)->Unit(benchmark::kMillisecond);

// Prints the usual table, then milliseconds per paint and the ratio to each peer.
class SummaryReporter : public TimingReporter
{
public:
    void PrintSummary() const override
    {
        std::printf("\nPaint into a %dx%d image (CPU ms per paint):\n", kWidth, kHeight);
        Row("calculator's chart, 200 points", "BM_Paint/CalculatorChart",
            "BM_Polyline/CalculatorPoints");
        Row("one line of 1,000,000 points", "BM_Paint/MillionPointLine",
            "BM_Polyline/MillionPoints");
        Row("the same, X zoomed to 1%", "BM_PaintZoomedMillionPointLine",
            "BM_Polyline/MillionPoints");
    }

private:
    void Row(const char* what, const char* paint, const char* peer) const
    {
        const double ms = Milliseconds(paint);
        const double peerMs = Milliseconds(peer);
        if (ms <= 0.0 || peerMs <= 0.0) {
            return;
        }
        std::printf("  %-32s %9.2f ms   bare polyline %9.2f ms   ratio %.2f\n", what, ms, peerMs,
                    ms / peerMs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    SummaryReporter reporter;
    return RunBenchmarks(argc, argv, reporter);
}
