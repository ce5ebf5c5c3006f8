// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "app/engine/DesignReport.h"

#include <optional>
#include <string>
#include <vector>

struct FilterDesign;

// The workshop's view of a synthesised design: where every rod stands in the box, how long
// it is, which wall it is grounded on, and where the feeds are tapped. Lengths in inches,
// like the design record; the outputs convert them when they write.
//
// The box is seen from above: the rods run across the row from one ground wall to the other,
// ground wall A at the bottom and B at the top of the view. Rod 1 is grounded on A and each
// following rod on the other wall. The end walls close the row at both ends, E from the
// centres of the end rods.

/// The wall a rod is grounded on.
enum class GroundWall {
    A, ///< the wall rod 1 is grounded on
    B, ///< the opposite wall
};

/// How a feed reaches its end rod. The connector is an SMA (50 ohm) in either case.
enum class FeedKind {
    Wall,  ///< connector in the end wall, a square lead at the tap's height across to the rod
    Cover, ///< connector in the ground plane under the tap, its pin straight up to the rod
};

/// Side of the square lead of the wall feed, inch (2 mm).
inline constexpr double kWallLeadSideInch = 2.0 / 25.4;
/// Diameter of the cover feed's pin, the SMA centre pin, inch (1.27 mm).
inline constexpr double kCoverPinDiameterInch = 1.27 / 25.4;

/// The feed construction as the command line and the stored designs name it: "wall" or
/// "cover".
const char* FeedKindName(FeedKind feed);

/// One rod of the row.
struct BuildRod
{
    int number = 0;          ///< 1..n along the row
    double centreInch = 0.0; ///< end wall to the rod's centre, inch
    double lengthInch = 0.0; ///< physical length, grounded end to open end, inch
    GroundWall ground = GroundWall::A;
    bool fed = false; ///< an end rod, carrying a feed tap
};

/// Box, rods and taps of one design.
struct BuildGeometry
{
    std::vector<BuildRod> rods;         ///< rods 1..n in order along the row
    std::vector<double> spacingInch;    ///< n-1 centre-to-centre spacings, inch
    double boxLengthInch = 0.0;         ///< inside, end wall to end wall (the report's width)
    double boxDepthInch = 0.0;          ///< inside, ground wall to ground wall: a quarter wave
    double groundPlaneInch = 0.0;       ///< inside height H between the ground planes
    double rodDiameterInch = 0.0;       ///< D
    double endWallInch = 0.0;           ///< E, end wall to the centre of the end rod
    double tapInch = 0.0;               ///< feed tap above the grounded end of an end rod
    double endRodLengthInch = 0.0;      ///< length of rods 1 and n
    double interiorRodLengthInch = 0.0; ///< length of rods 2..n-1
    FeedKind feed = FeedKind::Wall;     ///< the feed construction at both ends
    double leadSizeInch = 0.0;          ///< the lead's side (wall) or the pin's diameter (cover)
    /// The lead's free length from the connector to the rod's surface: E - D/2 across from the
    /// end wall, or (H - D)/2 up from the ground plane.
    double leadLengthInch = 0.0;
};

/// The geometry of a synthesised design. Positions add up the spacings in the order the
/// report does, so every value rounds to the report's text.
BuildGeometry ComputeBuildGeometry(const FilterDesign& design, FeedKind feed = FeedKind::Wall);

/// The input to blame when the geometry cannot be built: a quantity that is not a finite
/// number, rods closer than their diameter, or a rod or tap that does not fit in the box. Returns
/// the input's name as validation names it ("Ripple", "Impedance", ...), or nothing when the
/// geometry is sound.
std::optional<std::string> GeometryProblem(const FilterDesign& design,
                                           const BuildGeometry& geometry);

/// A length as the report prints it, without the unit: millimetres with one decimal or
/// inches with three.
std::string LengthText(double inches, LengthUnit unit);

/// `value` in fixed-point notation with `decimals` decimals, as the report writes numbers.
std::string FixedText(double value, int decimals);

/// The unit as a sheet names it: "mm" or "in".
const char* LengthUnitName(LengthUnit unit);

/// A length converted to the unit (millimetres or inches), unrounded.
double LengthInUnit(double inches, LengthUnit unit);
