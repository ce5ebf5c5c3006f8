// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/TesseraChart.h"

#include "app/engine/ComputedDesign.h"
#include "app/outputs/NetworkOutputs.h"
#include "chart/XChart.h"
#include "chart/XChartExport.h"

#include <algorithm>

namespace {

// The loss scale stays at -100 to 0 dB whatever the data; the line is shown.
void FixLossScale(XChartLine& line)
{
    NXPoint fixed;
    fixed.x = -100.0;
    fixed.y = 0.0;
    line.SetPoint("fixedScaleY", fixed);
    line.AxisY().SetFixedRange(-100.0, 0.0);
    line.SetBool("showLine", true);
}

int32_t SetUpLine(XChart& chart, XRealArray* responseX, XRealArray* responseY)
{
    const int32_t index = chart.GetOrAddLine("BW");
    if (index < 0) {
        return -1; // out of memory: the chart stays without its line
    }
    XChartLine& line = *chart.Line(index);
    chart.Attrs().SetStr("title", "Interdigital Bandpass");
    chart.Attrs().SetInt("titlePlace", 5); // bottom centre

    if (responseX != nullptr && responseY != nullptr) {
        line.BindColumn(XChartColumn::X, responseX);
        line.BindColumn(XChartColumn::Y, responseY);
    }
    line.SetChanged();

    const XColor yellow = XColor::FromRGB(255, 255, 0);
    line.SetColor("color", yellow);
    line.SetColor("axisFontColor", yellow);
    line.SetStr("axis", "xy");
    line.SetStr("axisLableY", "dB");
    line.SetStr("axisLableX", "MHz");
    line.SetStr("grid", "xy");
    line.SetColor("gridColor", XColor::FromRGB(128, 128, 128));
    line.SetChanged();

    FixLossScale(line);
    return index;
}

// Copies n points into the line's own columns; n is 0 or more.
void CopyPoints(XChartLine& line, const double* x, const double* y, int32_t n)
{
    XRealArray& xs = line.Column(XChartColumn::X);
    XRealArray& ys = line.Column(XChartColumn::Y);
    if (!xs.SetSize(n) || !ys.SetSize(n)) {
        // Without memory for the points the line stays empty rather than half filled.
        xs.RemoveAll();
        ys.RemoveAll();
        n = 0;
    }
    for (int32_t i = 0; i < n; ++i) {
        xs[i] = x[i];
        ys[i] = y[i];
    }
    line.SetChanged();
}

} // namespace

int32_t SetupChart(XChart& chart, XRealArray* responseX, XRealArray* responseY)
{
    return SetUpLine(chart, responseX, responseY);
}

int32_t SetupChartWithData(XChart& chart, const double* x, const double* y, int32_t n)
{
    const int32_t index = SetUpLine(chart, nullptr, nullptr);
    if (index < 0) {
        return -1;
    }
    if (n < 0 || x == nullptr || y == nullptr) {
        n = 0;
    }
    CopyPoints(*chart.Line(index), x, y, n);
    return index;
}

int32_t AddOverlayLine(XChart& chart, ZStr name, XColor color, XRealArray* x, XRealArray* y)
{
    const int32_t index = chart.GetOrAddLine(name);
    if (index < 0) {
        return -1;
    }
    XChartLine& line = *chart.Line(index);
    if (x != nullptr && y != nullptr) {
        line.BindColumn(XChartColumn::X, x);
        line.BindColumn(XChartColumn::Y, y);
    }
    // Read off the first line's axes: no axes or grid of its own, the same fixed loss scale.
    line.SetColor("color", color);
    line.SetStr("axis", "");
    line.SetStr("grid", "0");
    FixLossScale(line);
    line.SetChanged();
    return index;
}

XColor TransmissionColor()
{
    return XColor::FromRGB(255, 140, 0); // orange beside the ideal curve's yellow
}

XColor ReflectionColor()
{
    return XColor::FromRGB(0, 255, 255);
}

XColor AsBuiltColor()
{
    return XColor::FromRGB(255, 0, 255); // apart from yellow, orange and cyan on black
}

int32_t SetupNetworkChart(XChart& chart, const NetworkCurves& curves)
{
    const int32_t idealN = curves.idealX && curves.idealY ? std::max(0, curves.idealN) : 0;
    const int32_t index = SetupChartWithData(chart, curves.idealX, curves.idealY, idealN);
    if (index < 0) {
        return -1;
    }
    chart.Line(index)->SetStr("legend", kIdealLegend);
    const bool points = curves.x && curves.s21Db && curves.s11Db && curves.n > 0;
    // The network lines read off the ideal curve's axes and share its scales. A perfect match
    // lies far below the scale and leaves the plot area.
    const struct
    {
        const char* name;
        XColor color;
        const double* y;
        const char* legend;
        bool present;
    } lines[] = {
        {"S21", TransmissionColor(), curves.s21Db, kTransmissionLegend, true},
        {"S11", ReflectionColor(), curves.s11Db, kReflectionLegend, true},
        // A box that cannot be modelled has no line as built rather than an empty one.
        {kAsBuiltLine, AsBuiltColor(), curves.asBuiltDb, kAsBuiltLegend,
         curves.asBuiltDb != nullptr},
    };
    for (const auto& l : lines) {
        if (!l.present) {
            continue;
        }
        const int32_t added = AddOverlayLine(chart, l.name, l.color, nullptr, nullptr);
        if (added < 0) {
            return -1;
        }
        XChartLine& line = *chart.Line(added);
        line.SetStr("legend", l.legend);
        CopyPoints(line, curves.x, l.y, points ? curves.n : 0);
        chart.Link(index, added, XChartGroup::Both);
    }
    return index;
}

bool IsChartFileName(const std::string& path)
{
    return ChartFileKindFromPath(ZStr(path.c_str())) != XChartFileKind::Unknown;
}

int MaxChartImageSide()
{
    return kMaxChartImageSide;
}

bool WriteChartFile(const ComputedDesign& design, const NetworkSweep* network,
                    const std::string& path, int width, int height, std::string& error)
{
    XChart chart;
    if (network != nullptr) {
        SetupNetworkChart(chart, design, *network);
    } else {
        SetupChartWithData(chart, design.ResponseX().data(), design.ResponseY().data(),
                           int32_t(design.ResponseX().size()));
    }
    ZString message;
    if (!ExportChart(chart, ZStr(path.c_str()), width, height, message)) {
        error = ToStdString(message.Str());
        return false;
    }
    return true;
}
