// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XColor.h"
#include "base/XValueRef.h"
#include "base/ZStr.h"

#include <cstdint>
#include <string>

class ComputedDesign;
class XChart;
struct NetworkSweep;

// The calculator's chart: one yellow line "BW" of loss in dB (0 at the top, -100 at the
// bottom) against frequency in MHz, with grey grid lines and the title at the bottom centre.
// The network view adds an orange line "S21" of the transmission with loss, a cyan line
// "S11" of the reflection and a magenta line "AsBuilt" of the box as built, on the same dB
// scale.

/// Sets the chart up as the calculator shows its response and returns the index of the line
/// "BW". The line reads its X and Y data from responseX (MHz) and responseY (negated loss,
/// dB), which the caller owns and keeps alive as long as the chart may paint; they are not
/// copied. The Y axis is fixed to -100 to 0 dB. -1 when memory ran out.
int32_t SetupChart(XChart& chart, XRealArray* responseX, XRealArray* responseY);

/// The same set-up for a chart that keeps its own copy of the response (the command line):
/// the n points (x in MHz, y in dB) are copied into the line's own columns. A negative n
/// counts as 0.
int32_t SetupChartWithData(XChart& chart, const double* x, const double* y, int32_t n);

/// Adds (or finds) the line called name drawn in color over the calculator's chart, read off
/// the first line's axes: no axes or grid of its own, the same fixed -100 to 0 dB scale. The
/// line reads its data from x and y (not copied; the caller keeps them alive). Returns its
/// index, -1 when memory ran out.
int32_t AddOverlayLine(XChart& chart, ZStr name, XColor color, XRealArray* x, XRealArray* y);

/// The legend texts of the network view's lines.
inline constexpr const char* kIdealLegend = "ideal";
inline constexpr const char* kTransmissionLegend = "|S21| with loss";
inline constexpr const char* kReflectionLegend = "|S11|";
inline constexpr const char* kAsBuiltLegend = "as built";
/// The name of the network view's line of the box as built.
inline constexpr const char* kAsBuiltLine = "AsBuilt";

/// The colours of the network lines: |S21| with loss in orange, |S11| in cyan, |S21| of the
/// box as built in magenta.
XColor TransmissionColor();
XColor ReflectionColor();
XColor AsBuiltColor();

/// The curves of the network view: the ideal response (MHz, dB) and the network's sweep
/// (MHz, |S21| and |S11| in dB, and |S21| of the box as built when there is one). Null or
/// negative counts give empty lines.
struct NetworkCurves
{
    const double* idealX = nullptr;
    const double* idealY = nullptr;
    int32_t idealN = 0;
    const double* x = nullptr;
    const double* s21Db = nullptr;
    const double* s11Db = nullptr;
    const double* asBuiltDb = nullptr; ///< at the same x; null: no line as built
    int32_t n = 0;
};

/// The network view as the calculator shows it: "BW" the ideal response as
/// `SetupChartWithData` sets it up, "S21", "S11" and (with asBuiltDb) "AsBuilt" over it in
/// their colours on the same fixed -100 to 0 dB scale and in one axis group with it, each
/// line named in the legend. The points are copied. Returns the index of "BW", -1 when
/// memory ran out.
int32_t SetupNetworkChart(XChart& chart, const NetworkCurves& curves);

/// Whether `path` names a chart file the program writes: ".png", ".svg", ".pdf" or ".xch"
/// (the chart file), in any case.
bool IsChartFileName(const std::string& path);

/// The largest side of a chart image, pixels.
int MaxChartImageSide();

/// Writes the chart of `design` to `path` (by its extension), `width` x `height` pixels: the
/// ideal response, or the network lines of `network` when given. False with the reason in
/// `error`; an existing file is kept then.
bool WriteChartFile(const ComputedDesign& design, const NetworkSweep* network,
                    const std::string& path, int width, int height, std::string& error);
