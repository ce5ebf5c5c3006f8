// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "base/ZString.h"
#include "platform/Image.h"

#include <cstdint>

class XChart;

/// What a chart file name asks for, by its extension (case-insensitive).
enum class XChartFileKind {
    PNG,     ///< ".png"
    SVG,     ///< ".svg"
    PDF,     ///< ".pdf"
    XML,     ///< ".xch": the chart file
    Unknown, ///< any other extension, or none
};

XChartFileKind ChartFileKindFromPath(ZStr path);

/// Largest image side ExportChart draws, in pixels.
inline constexpr int32_t kMaxChartImageSide = 20000;

/// Paints chart into a new image of width x height pixels (raster for PNG and reading pixels,
/// vector for SVG and PDF), with the area (0, 0, width, height).
plat::Image RenderChart(XChart& chart, int32_t width, int32_t height,
                        plat::ImageKind kind = plat::ImageKind::Raster);

/// The chart file text as the save command writes it: tag "XCHART", name "a xchart", type
/// "XCHART", an indent of two blanks, changed attributes only.
ZString ChartFileText(const XChart& chart);

/// Writes chart to path, choosing the form by the extension: PNG, SVG or PDF drawn at width x
/// height, or the chart file for ".xch". Every form is stored with ZReplaceFile, so an
/// existing file survives a failed write, a link is written through to its target, and a
/// read-only file or a device is refused. On failure returns false with a message in error
/// ("cannot write 'FILE': Permission denied", "unknown chart file type '...'", ...).
bool ExportChart(XChart& chart, ZStr path, int32_t width, int32_t height, ZString& error);
