// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/DesignReport.h"

#include <string>

class ComputedDesign;

// The DXF drawing of the parts a workshop cuts and drills, laid out as the box unfolded
// around its top view: ground wall A below it, ground wall B above it, the end walls left
// and right, each part aligned with the top view so that a hole lies level with the rod or
// tap it serves. Coordinates in millimetres or inches (set in the header), y upwards, the
// origin at the inside corner of the first end wall and ground wall A.
//
// Layers: "TOP" the inside outline and each rod's outline; "GROUNDWALLS" the two ground
// walls (box length x H) with a fixing hole for every rod grounded on them, at the rod's
// centre and H/2 high; "ENDWALLS" the two end walls (quarter wave x H), with the wall feed's
// connector hole at the tap height from the grounded wall, H/2 high; "COVER", with the cover
// feed only, a ground plane (box length x quarter wave) right of the second end wall with a
// connector hole under each end rod's tap; "DIMS" dimension lines and texts.

/// Diameter of a rod's fixing hole as a fraction of the rod diameter: clearance for a screw
/// into a tapped hole in the rod's end (an 8 mm rod takes an M4 screw, hole 4 mm).
inline constexpr double kFixingHoleOfRod = 0.5;
/// Diameter of a connector hole, inch: 4.2 mm, the dielectric of a flange-mounted SMA jack.
/// Never more than half the ground-plane spacing.
inline constexpr double kConnectorHoleInch = 4.2 / 25.4;

/// Writes the drawing of `build` as DXF (AutoCAD 2000 text) into `bytes`, lengths in `unit`.
/// Returns false with a message in `error` when the drawing could not be made (no temporary
/// file for the DXF library to write to).
[[nodiscard]] bool DxfDrawing(const ComputedDesign& build, LengthUnit unit, std::string& bytes,
                              std::string& error);
