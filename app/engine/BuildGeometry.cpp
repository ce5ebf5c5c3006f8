// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/engine/BuildGeometry.h"

#include "app/engine/FilterDesign.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace {

constexpr double kMmPerInch = 25.4;

bool Positive(double value)
{
    return std::isfinite(value) && value > 0.0;
}

} // namespace

const char* FeedKindName(FeedKind feed)
{
    return feed == FeedKind::Cover ? "cover" : "wall";
}

BuildGeometry ComputeBuildGeometry(const FilterDesign& d, FeedKind feed)
{
    BuildGeometry g;
    g.feed = feed;
    if (feed == FeedKind::Cover) {
        g.leadSizeInch = kCoverPinDiameterInch;
        g.leadLengthInch = (d.H - d.D) / 2;
    } else {
        g.leadSizeInch = kWallLeadSideInch;
        g.leadLengthInch = d.E - d.D / 2;
    }
    const int n = std::clamp(d.ele, 0, kMaxElements);
    g.boxDepthInch = d.quarterWave;
    g.groundPlaneInch = d.H;
    g.rodDiameterInch = d.D;
    g.endWallInch = d.E;
    g.tapInch = d.tapHeight;
    g.endRodLengthInch = d.endRodLength;
    g.interiorRodLengthInch = d.interiorRodLength;

    // Summed rod by rod from the first end wall, exactly as the report's table sums them, so
    // that the same doubles round to the same texts.
    double position = d.E;
    for (int k = 1; k <= n; ++k) {
        if (k > 1) {
            position += d.spacing[k - 2];
            g.spacingInch.push_back(d.spacing[k - 2]);
        }
        BuildRod rod;
        rod.number = k;
        rod.centreInch = position;
        rod.fed = k == 1 || k == n;
        rod.lengthInch = rod.fed ? d.endRodLength : d.interiorRodLength;
        rod.ground = k % 2 == 1 ? GroundWall::A : GroundWall::B;
        g.rods.push_back(rod);
    }
    g.boxLengthInch = position + d.E;
    return g;
}

std::optional<std::string> GeometryProblem(const FilterDesign& d, const BuildGeometry& g)
{
    // Above 3.01 dB of ripple the 3 dB bandwidth has no real value, and with it every
    // coupling, spacing, the tap and the end rods.
    if (!std::isfinite(d.bw3dB)) {
        return std::string("Ripple");
    }
    // Strong couplings (a bandwidth that is a large part of the centre frequency) pull the
    // rods together until they would cut into each other, and further on until the spacing
    // formula has no value left.
    for (double s : g.spacingInch) {
        if (!Positive(s) || !(s > g.rodDiameterInch)) {
            return std::string("Bandwidth");
        }
    }
    // The tap formula has a value only while the feed resistance is small enough against the
    // end rod's impedance and external Q; the end rod's length is found from the tap.
    if (!Positive(g.tapInch)) {
        return std::string("Impedance");
    }
    if (!Positive(g.boxLengthInch) || !Positive(g.boxDepthInch)) {
        return std::string("Frequency");
    }
    // The rods must stand inside the box: grounded on one wall and open short of the other.
    const double lengths[] = {g.endRodLengthInch, g.interiorRodLengthInch};
    for (double length : lengths) {
        if (!Positive(length) || !(length < g.boxDepthInch)) {
            return std::string("Frequency");
        }
    }
    // The tap must lie on the end rod.
    if (!(g.tapInch < g.endRodLengthInch)) {
        return std::string("Impedance");
    }
    return std::nullopt;
}

double LengthInUnit(double inches, LengthUnit unit)
{
    return unit == LengthUnit::Inch ? inches : inches * kMmPerInch;
}

std::string FixedText(double value, int decimals)
{
    // Formatted as the report formats: a fixed-point stream in the classic locale, so the
    // same double gives the same digits (and a decimal point) whatever the program's locale.
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os.setf(std::ios::fixed, std::ios::floatfield);
    os << std::setprecision(decimals) << value;
    return os.str();
}

std::string LengthText(double inches, LengthUnit unit)
{
    return FixedText(LengthInUnit(inches, unit), unit == LengthUnit::Inch ? 3 : 1);
}

const char* LengthUnitName(LengthUnit unit)
{
    return unit == LengthUnit::Inch ? "in" : "mm";
}
