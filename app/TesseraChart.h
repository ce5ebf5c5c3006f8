#pragma once

#include "base/XValueRef.h"

#include <cstdint>

class XChart;

// The calculator's chart: one yellow line "BW" of loss in dB (0 at the top, -100 at the
// bottom) against frequency in MHz, with grey grid lines and the title at the bottom centre.

/// Sets the chart up as the calculator shows its response and returns the index of the line
/// "BW". The line reads its X and Y data from responseX (MHz) and responseY (negated loss,
/// dB), which the caller owns and keeps alive as long as the chart may paint; they are not
/// copied. The Y axis is fixed to -100 to 0 dB. -1 when memory ran out.
int32_t SetupChart(XChart& chart, XRealArray* responseX, XRealArray* responseY);

/// The same set-up for a chart that keeps its own copy of the response (the command line):
/// the n points (x in MHz, y in dB) are copied into the line's own columns. A negative n
/// counts as 0.
int32_t SetupChartWithData(XChart& chart, const double* x, const double* y, int32_t n);
