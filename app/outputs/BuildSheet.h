// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/DesignReport.h"

#include <string>
#include <string_view>

class SheetCanvas;
class ComputedDesign;

// The build sheet: one A4 landscape page with the box and its rods drawn to scale and
// dimensioned, a side view, the chosen feed (connector, lead or pin, and the connector's
// hole), the parts table and the design it came from. Written as PDF or SVG; the same entry
// point writes the workshop's DXF drawing.

/// A4 landscape in points.
inline constexpr double kSheetWidthPt = 842.0;
inline constexpr double kSheetHeightPt = 595.0;

/// What a build output's file name asks for, by its extension (case-insensitive).
enum class BuildFileKind {
    PDF,     ///< ".pdf": the sheet
    SVG,     ///< ".svg": the sheet
    DXF,     ///< ".dxf": the drawing of the parts
    Unknown, ///< any other extension
};

BuildFileKind BuildFileKindFromPath(std::string_view path);

/// The outcome of writing a build output.
enum class BuildOutputStatus {
    Written,
    InvalidDesign, ///< nothing written: the design is invalid or cannot be built
    CannotWrite,   ///< nothing written: an unknown file type, or the file could not be stored
};

/// The drawing scale chosen for a design, as a ratio of drawing to object size, and its
/// text ("1:2", "5:1").
struct SheetScale
{
    double ratio = 1.0;
    std::string text;
};

/// The largest usual scale (1, 1.5, 2, 2.5, 3, 4 or 5 times a power of ten, reduced or
/// enlarged) at which the design's views fit the sheet's drawing area.
SheetScale ChooseSheetScale(const ComputedDesign& build, SheetCanvas& canvas);

/// Draws the sheet of `build` on an A4 landscape page, lengths in `unit` with the report's
/// decimals.
void DrawBuildSheet(const ComputedDesign& build, LengthUnit unit, SheetCanvas& canvas);

/// Writes the build output of `design` to `path`: the sheet as PDF or SVG, or the DXF
/// drawing, chosen by the extension. Made in memory and stored with
/// the library's safe file replacement, so nothing is written (and an existing file is kept)
/// on failure. On failure `error` holds the message: the status text ("Error: Ripple") for an
/// invalid design, else "cannot write 'FILE': reason" or the unknown file type.
[[nodiscard]] BuildOutputStatus WriteBuildSheet(const std::string& path,
                                                const ComputedDesign& design, LengthUnit unit,
                                                std::string& error);
