// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/BuildSheet.h"

#include "app/engine/BuildGeometry.h"
#include "app/engine/ComputedDesign.h"
#include "app/engine/FilterDesign.h"
#include "app/outputs/DxfWriter.h"
#include "app/outputs/OutputFile.h"
#include "app/outputs/SheetCanvas.h"
#include "base/ZFile.h"
#include "platform/Image.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

namespace {

// Page layout, in points. The drawing area lies left of the information column, between
// the title strip and the parameter strip.
constexpr double kFrame = 20.0;
constexpr double kHeaderBottom = 48.0;
constexpr double kFooterTop = 552.0;
constexpr double kInfoLeft = 632.0;
constexpr double kInfoRight = kSheetWidthPt - kFrame - 6.0;
constexpr double kAreaLeft = kFrame + 6.0;
constexpr double kAreaRight = kInfoLeft - 8.0;

// Drafting details: the walls are drawn as bands of a fixed width (their thickness is the
// workshop's choice, not the design's), arrows are narrow, texts keep a small gap from lines.
constexpr double kWall = 4.0;
constexpr double kArrowLength = 5.0;
constexpr double kArrowHalfWidth = 1.5;
constexpr double kTextGap = 2.5;
constexpr double kExtensionGap = 2.0;
constexpr double kExtensionOvershoot = 2.0;
constexpr double kColumnGap = 8.0;
constexpr double kRowPitch = 12.0;
constexpr double kLinePitch = 10.0;

// Vertical space the views need besides the scaled box, side view and dimension rows.
constexpr double kSideViewTop = 30.0;  // above the side view: its label and the D dimension
constexpr double kBetweenViews = 40.0; // rod numbers and the top view's label
constexpr double kFirstRow = 16.0;     // box to the first row of dimensions

// Draws dimensions: lines with arrows between extension lines, values beside them.
class Drafter
{
public:
    explicit Drafter(SheetCanvas& canvas)
        : m_canvas(canvas)
    {
    }

    SheetCanvas& Canvas() { return m_canvas; }

    void Arrow(double x, double y, double dx, double dy)
    {
        const double nx = -dy, ny = dx;
        m_canvas.FillPolygon({{x, y},
                              {x - dx * kArrowLength + nx * kArrowHalfWidth,
                               y - dy * kArrowLength + ny * kArrowHalfWidth},
                              {x - dx * kArrowLength - nx * kArrowHalfWidth,
                               y - dy * kArrowLength - ny * kArrowHalfWidth}});
    }

    // A dimension line from (a) to (b) along one axis with arrows at both ends: inside when
    // there is room for them, else outside pointing in.
    void DimensionLine(double x1, double y1, double x2, double y2)
    {
        const double length = std::hypot(x2 - x1, y2 - y1);
        if (length <= 0.0) {
            return;
        }
        const double dx = (x2 - x1) / length, dy = (y2 - y1) / length;
        if (length >= 2.0 * kArrowLength + 2.0) {
            m_canvas.Line(x1, y1, x2, y2, SheetPen::Thin);
            Arrow(x1, y1, -dx, -dy);
            Arrow(x2, y2, dx, dy);
        } else {
            const double out = kArrowLength + 4.0;
            m_canvas.Line(x1 - dx * out, y1 - dy * out, x2 + dx * out, y2 + dy * out,
                          SheetPen::Thin);
            Arrow(x1, y1, dx, dy);
            Arrow(x2, y2, -dx, -dy);
        }
    }

    // A horizontal dimension of [x1, x2] on the line at y, its value centred above the line
    // between the extension lines. A value that does not fit there, even in the small font,
    // is left out (the parts table lists it) and false returned.
    bool Horizontal(double x1, double x2, double y, const std::string& value)
    {
        DimensionLine(x1, y, x2, y);
        for (SheetFont font : {SheetFont::Normal, SheetFont::Small}) {
            if (m_canvas.TextWidth(value, font) + 2.0 * kTextGap <= x2 - x1) {
                m_canvas.Text((x1 + x2) / 2.0, y - kTextGap, value, font, TextAnchor::Centre);
                return true;
            }
        }
        return false;
    }

    // A vertical dimension of [y1, y2] on the line at x, its value beside the line at its
    // middle: left of it or right of it.
    void Vertical(double y1, double y2, double x, const std::string& value, TextAnchor side)
    {
        DimensionLine(x, y1, x, y2);
        const double baseline = (y1 + y2) / 2.0 + m_canvas.Ascent(SheetFont::Normal) / 2.0;
        if (side == TextAnchor::Right) {
            m_canvas.Text(x - kTextGap, baseline, value, SheetFont::Normal, TextAnchor::Right);
        } else {
            m_canvas.Text(x + kTextGap, baseline, value, SheetFont::Normal, TextAnchor::Left);
        }
    }

    // Extension lines leave a small gap at the object and end just past the dimension line.
    void ExtensionDown(double x, double fromY, double lineY)
    {
        m_canvas.Line(x, fromY + kExtensionGap, x, lineY + kExtensionOvershoot, SheetPen::Thin);
    }
    void ExtensionUp(double x, double fromY, double lineY)
    {
        m_canvas.Line(x, fromY - kExtensionGap, x, lineY - kExtensionOvershoot, SheetPen::Thin);
    }
    void ExtensionLeft(double y, double fromX, double lineX)
    {
        m_canvas.Line(fromX - kExtensionGap, y, lineX - kExtensionOvershoot, y, SheetPen::Thin);
    }
    void ExtensionRight(double y, double fromX, double lineX)
    {
        m_canvas.Line(fromX + kExtensionGap, y, lineX + kExtensionOvershoot, y, SheetPen::Thin);
    }

private:
    SheetCanvas& m_canvas;
};

// The values of the dimensions to the left of the top view, innermost first: the tap, the
// end rod's length, the box's inside depth. The shortest span lies nearest the box, so no
// extension line crosses another column's dimension line: the tap's ends below the end
// rod's open end, and both lie within the depth's walls. Each value stands left of its line,
// in the room before the next column.
struct LeftColumns
{
    double depthX = 0.0, endRodX = 0.0, tapX = 0.0;
    double width = 0.0; // from the box's outer wall face to the leftmost text
};

LeftColumns PlaceLeftColumns(SheetCanvas& c, const BuildGeometry& g, LengthUnit unit,
                             double boxLeft)
{
    LeftColumns cols;
    const auto w = [&](double inches) {
        return c.TextWidth(LengthText(inches, unit), SheetFont::Normal);
    };
    // The feed connector sits on the outside of the wall; the columns start beyond it.
    double x = boxLeft - kWall - 8.0 - kColumnGap;
    cols.tapX = x;
    x -= kTextGap + w(g.tapInch) + kColumnGap;
    cols.endRodX = x;
    x -= kTextGap + w(g.endRodLengthInch) + kColumnGap;
    cols.depthX = x;
    x -= kTextGap + w(g.boxDepthInch);
    cols.width = boxLeft - x;
    return cols;
}

// Right of the box stands the wall feed's connector outside the wall; with the cover feed
// the last rod's tap is dimensioned there instead, its value right of the line.
double RightColumnsWidth(SheetCanvas& c, const BuildGeometry& g, LengthUnit unit)
{
    if (g.feed == FeedKind::Cover) {
        return kWall + kColumnGap + kTextGap +
               c.TextWidth(LengthText(g.tapInch, unit), SheetFont::Normal);
    }
    return kWall + 8.0 + kColumnGap;
}

// The scale that fits: width of the box against the drawing area less the dimension
// columns; the height of the side view and the top view against the area less the rows.
double FittingRatio(const ComputedDesign& build, SheetCanvas& c, LengthUnit unit)
{
    const BuildGeometry& g = build.Geometry();
    const LeftColumns left = PlaceLeftColumns(c, g, unit, 0.0);
    const double width = kAreaRight - kAreaLeft - left.width - RightColumnsWidth(c, g, unit);
    const double rows = kFirstRow + double(g.rods.size() + 1) * kRowPitch + 6.0;
    const double height = kFooterTop - kHeaderBottom - kSideViewTop - 2.0 * kWall - kBetweenViews -
                          2.0 * kWall - rows;
    const double pointsPerInch = 72.0;
    const double byWidth = width / (g.boxLengthInch * pointsPerInch);
    const double byHeight = height / ((g.groundPlaneInch + g.boxDepthInch) * pointsPerInch);
    return std::max(0.0, std::min(byWidth, byHeight));
}

std::string RatioNumber(double value)
{
    std::string text = FixedText(value, value < 10.0 && value != std::floor(value) ? 1 : 0);
    return text;
}

// Text of the parameter strip: tabs (which only align the stored text) and line breaks
// removed, and whatever is not valid UTF-8 replaced by U+FFFD, so that the text measures,
// wraps and prints as the characters it shows.
std::string ParmsForSheet(const std::string& parms)
{
    const ZStr text(parms.data(), int32_t(parms.size()));
    std::string out;
    for (int32_t i = 0; i < text.len;) {
        const int32_t n = text.Utf8SequenceLength(i);
        if (n == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (n > 1 || (text[i] != '\t' && text[i] != '\r' && text[i] != '\n')) {
            out.append(parms, size_t(i), size_t(n));
        }
        i += n;
    }
    return out;
}

// Splits text into lines no wider than `width`, breaking after '&' where it can and
// anywhere else where it must. At most `maxLines`; the last ends in "..." when cut.
std::vector<std::string> WrapText(SheetCanvas& c, const std::string& text, SheetFont font,
                                  double width, size_t maxLines)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size() && lines.size() < maxLines) {
        size_t end = text.size();
        while (end > start + 1 && c.TextWidth(text.substr(start, end - start), font) > width) {
            const size_t amp = text.rfind('&', end - 2);
            end =
                (amp != std::string::npos && amp >= start + 1 && amp + 1 < end) ? amp + 1 : end - 1;
        }
        // Never split inside a UTF-8 sequence.
        while (end < text.size() && end > start + 1 &&
               (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    if (start < text.size() && !lines.empty()) {
        std::string& last = lines.back();
        while (!last.empty() && c.TextWidth(last + "...", font) > width) {
            last.pop_back();
            while (!last.empty() && (static_cast<unsigned char>(last.back()) & 0xC0) == 0x80) {
                last.pop_back();
            }
            if (!last.empty() && (static_cast<unsigned char>(last.back()) & 0xC0) == 0xC0) {
                last.pop_back();
            }
        }
        last += "...";
    }
    return lines;
}

// A ripple with one decimal, or with as many as a smaller one needs ("0.05 dB").
std::string RippleText(double rip)
{
    if (rip * 10.0 == std::floor(rip * 10.0)) {
        return FixedText(rip, 1) + " dB";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g dB", rip);
    return text;
}

class SheetPainter
{
public:
    SheetPainter(const ComputedDesign& build, LengthUnit unit, SheetCanvas& canvas)
        : m_build(build)
        , m_geometry(build.Geometry())
        , m_design(build.Design())
        , m_unit(unit)
        , m_canvas(canvas)
        , m_draft(canvas)
    {
    }

    void Paint()
    {
        m_scale = ChooseSheetScale(m_build, m_canvas);
        m_pointsPerInch = m_scale.ratio * 72.0;
        Frame();
        Views();
        Information();
        Parameters();
    }

private:
    // A length of the object in points on the sheet, at the chosen scale.
    double Points(double inches) const { return inches * m_pointsPerInch; }
    // A length as the dimension and table texts show it.
    std::string LengthLabel(double inches) const { return LengthText(inches, m_unit); }

    void Frame()
    {
        m_canvas.Rectangle(kFrame, kFrame, kSheetWidthPt - 2 * kFrame, kSheetHeightPt - 2 * kFrame,
                           SheetPen::Outline);
        m_canvas.Line(kFrame, kHeaderBottom, kSheetWidthPt - kFrame, kHeaderBottom, SheetPen::Thin);
        m_canvas.Line(kFrame, kFooterTop, kSheetWidthPt - kFrame, kFooterTop, SheetPen::Thin);
        m_canvas.Line(kInfoLeft - 6.0, kHeaderBottom, kInfoLeft - 6.0, kFooterTop, SheetPen::Thin);
        const double baseline = kHeaderBottom - 10.0;
        m_canvas.Text(kAreaLeft, baseline, "Interdigital bandpass filter \xC2\xB7 build sheet",
                      SheetFont::Title, TextAnchor::Left);
        const std::string units = m_unit == LengthUnit::Inch ? "inches" : "millimetres";
        m_canvas.Text(kInfoRight, baseline,
                      "Scale " + m_scale.text + "    Dimensions in " + units + ", inside the box",
                      SheetFont::Normal, TextAnchor::Right);
    }

    void Views()
    {
        const LeftColumns cols0 = PlaceLeftColumns(m_canvas, m_geometry, m_unit, 0.0);
        const double boxWidth = Points(m_geometry.boxLengthInch);
        // The views stand centred in the room the dimension columns leave.
        const double room =
            kAreaRight - kAreaLeft - cols0.width - RightColumnsWidth(m_canvas, m_geometry, m_unit);
        m_left = kAreaLeft + cols0.width + std::max(0.0, (room - boxWidth) / 2.0);
        m_cols = PlaceLeftColumns(m_canvas, m_geometry, m_unit, m_left);
        m_right = m_left + boxWidth;

        // The views stand in the middle of the area's height as well.
        const double rows = kFirstRow + double(m_geometry.rods.size() + 1) * kRowPitch + 6.0;
        const double used = kSideViewTop + 4 * kWall + kBetweenViews +
                            Points(m_geometry.groundPlaneInch + m_geometry.boxDepthInch) + rows;
        const double spare = std::max(0.0, kFooterTop - kHeaderBottom - used);
        m_sideTop = kHeaderBottom + spare / 2.0 + kSideViewTop + kWall;
        m_sideBottom = m_sideTop + Points(m_geometry.groundPlaneInch);
        m_boxTop = m_sideBottom + kWall + kBetweenViews + kWall;
        m_boxBottom = m_boxTop + Points(m_geometry.boxDepthInch);
        SideView();
        TopView();
        TopViewDimensions();
    }

    double RodX(const BuildRod& rod) const { return m_left + Points(rod.centreInch); }

    // The connector's hole, as the parts drawing drills it: never wider than half the
    // ground-plane spacing.
    double ConnectorHoleInch() const
    {
        return std::min(kConnectorHoleInch, m_geometry.groundPlaneInch / 2.0);
    }

    // The box walls as grey bands outside the inside outline.
    void Walls(double top, double bottom)
    {
        const double w = m_right - m_left;
        m_canvas.FillRectangle(m_left - kWall, top - kWall, w + 2 * kWall, kWall, 170);
        m_canvas.FillRectangle(m_left - kWall, bottom, w + 2 * kWall, kWall, 170);
        m_canvas.FillRectangle(m_left - kWall, top, kWall, bottom - top, 170);
        m_canvas.FillRectangle(m_right, top, kWall, bottom - top, 170);
        m_canvas.Rectangle(m_left, top, w, bottom - top, SheetPen::Outline);
        m_canvas.Rectangle(m_left - kWall, top - kWall, w + 2 * kWall, bottom - top + 2 * kWall,
                           SheetPen::Thin);
    }

    // Seen from the side of wall B: the ground planes H apart, each rod's section.
    void SideView()
    {
        Walls(m_sideTop, m_sideBottom);
        m_canvas.Text(kAreaLeft, m_sideTop - kWall - 14.0, "SIDE VIEW", SheetFont::Heading,
                      TextAnchor::Left);
        const double cy = (m_sideTop + m_sideBottom) / 2.0;
        const double r = Points(m_geometry.rodDiameterInch) / 2.0;
        for (const BuildRod& rod : m_geometry.rods) {
            const double x = RodX(rod);
            m_canvas.Circle(x, cy, r, SheetPen::Outline);
            m_canvas.Line(x - r - 3, cy, x + r + 3, cy, SheetPen::Centre);
            m_canvas.Line(x, cy - r - 3, x, cy + r + 3, SheetPen::Centre);
            m_canvas.Text(x, m_sideBottom + kWall + 12.0, std::to_string(rod.number),
                          SheetFont::Normal, TextAnchor::Centre);
        }
        // H at the left, in the top view's innermost column.
        m_draft.ExtensionLeft(m_sideTop, m_left - kWall, m_cols.tapX);
        m_draft.ExtensionLeft(m_sideBottom, m_left - kWall, m_cols.tapX);
        m_draft.Vertical(m_sideTop, m_sideBottom, m_cols.tapX,
                         LengthLabel(m_geometry.groundPlaneInch), TextAnchor::Right);
        // D across rod 1, above the upper ground plane.
        const double x1 = RodX(m_geometry.rods.front());
        const double lineY = m_sideTop - kWall - 6.0;
        m_draft.ExtensionUp(x1 - r, cy, lineY);
        m_draft.ExtensionUp(x1 + r, cy, lineY);
        const std::string dia = "\xC3\x98" + LengthLabel(m_geometry.rodDiameterInch);
        m_draft.DimensionLine(x1 - r, lineY, x1 + r, lineY);
        const double textWidth = m_canvas.TextWidth(dia, SheetFont::Normal);
        if (textWidth + 2 * kTextGap <= 2 * r) {
            m_canvas.Text(x1, lineY - kTextGap, dia, SheetFont::Normal, TextAnchor::Centre);
        } else {
            // A thin rod: the value follows the dimension line to the right, past its arrow.
            m_canvas.Text(x1 + r + kArrowLength + 6.0, lineY - kTextGap, dia, SheetFont::Normal,
                          TextAnchor::Left);
        }
        SideViewFeeds(cy, r);
    }

    // The feeds seen along the rods. The wall feed's lead runs level with the rods' axes
    // from the connector on the end wall to the end rod; the cover feed's pin stands under
    // the end rod's axis, from the connector on the lower ground plane up to the rod.
    void SideViewFeeds(double cy, double r)
    {
        const double inside = m_sideBottom - m_sideTop;
        for (const BuildRod* rod : {&m_geometry.rods.front(), &m_geometry.rods.back()}) {
            const double x = RodX(*rod);
            if (m_geometry.feed == FeedKind::Cover) {
                m_canvas.Line(x, m_sideBottom, x, cy + r, SheetPen::Outline);
                m_canvas.FillRectangle(x - 4.0, m_sideBottom + kWall, 8.0, 5.0, 60);
                continue;
            }
            const bool first = rod == &m_geometry.rods.front();
            const double wall = first ? m_left : m_right;
            const double edge = first ? x - r : x + r;
            LeadBar(wall, edge, cy);
            // The connector no taller than the box, clear of the extension lines of H.
            const double half = std::clamp(inside / 2.0 - 1.0, 1.0, 4.0);
            const double outside = first ? wall - kWall - 6.0 : wall + kWall;
            m_canvas.FillRectangle(outside, cy - half, 6.0, 2.0 * half, 60);
        }
    }

    // The wall feed's square lead from the end wall's inside face to the rod's surface at
    // the height y, drawn to scale.
    void LeadBar(double wall, double edge, double y)
    {
        const double side = Points(m_geometry.leadSizeInch);
        m_canvas.Rectangle(std::min(wall, edge), y - side / 2.0, std::fabs(edge - wall), side,
                           SheetPen::Outline);
    }

    double GroundY(GroundWall wall) const { return wall == GroundWall::A ? m_boxBottom : m_boxTop; }

    // The y of a point `inches` from the rod's grounded end.
    double AlongRod(const BuildRod& rod, double inches) const
    {
        return rod.ground == GroundWall::A ? m_boxBottom - Points(inches)
                                           : m_boxTop + Points(inches);
    }

    void TopView()
    {
        Walls(m_boxTop, m_boxBottom);
        m_canvas.Text(kAreaLeft, m_boxTop - kWall - 16.0, "TOP VIEW", SheetFont::Heading,
                      TextAnchor::Left);
        const double halfD = Points(m_geometry.rodDiameterInch) / 2.0;
        for (const BuildRod& rod : m_geometry.rods) {
            const double x = RodX(rod);
            const double ground = GroundY(rod.ground);
            const double open = AlongRod(rod, rod.lengthInch);
            m_canvas.Rectangle(x - halfD, std::min(ground, open), 2 * halfD,
                               std::fabs(open - ground), SheetPen::Outline);
            m_canvas.Line(x, ground, x, open + (open < ground ? -3.0 : 3.0), SheetPen::Centre);
            if (rod.fed && m_geometry.feed == FeedKind::Wall) {
                // The feed: from the connector on the end wall to the tap on the end rod.
                const double y = AlongRod(rod, m_geometry.tapInch);
                const bool first = rod.number == 1;
                const double wall = first ? m_left : m_right;
                const double edge = first ? x - halfD : x + halfD;
                LeadBar(wall, edge, y);
                const double outside = first ? wall - kWall - 6.0 : wall + kWall;
                m_canvas.FillRectangle(outside, y - 4.0, 6.0, 8.0, 60);
            } else if (rod.fed) {
                // The connector's hole in the cover, under the tap: its centre on the rod's
                // axis, marked across the rod so that it can be measured from outside it.
                const double y = AlongRod(rod, m_geometry.tapInch);
                m_canvas.Circle(x, y, Points(ConnectorHoleInch()) / 2.0, SheetPen::Thin);
                m_canvas.Line(x - halfD - 4.0, y, x + halfD + 4.0, y, SheetPen::Centre);
            }
        }
        // The wall names at the outer corners on the left: above wall B and below wall A,
        // clear of the extension lines there, which run along the walls' inner faces.
        const double labelX = m_left - kWall - 4.0;
        m_canvas.Text(labelX, m_boxTop - kWall - 3.0, "wall B", SheetFont::Normal,
                      TextAnchor::Right);
        m_canvas.Text(labelX, m_boxBottom + kWall + 3.0 + m_canvas.Ascent(SheetFont::Normal),
                      "wall A", SheetFont::Normal, TextAnchor::Right);
        // What the feed symbols stand for, beside the view's heading.
        const std::string n = std::to_string(m_geometry.rods.back().number);
        const std::string note =
            m_geometry.feed == FeedKind::Wall
                ? "Wall feed: SMA connector (grey) on each end wall, square lead at the tap "
                  "across to rods 1 and " +
                      n
                : "Cover feed: SMA connector in the cover under the tap of rods 1 and " + n +
                      " (circle: its hole), the pin up to the rod";
        m_canvas.Text(kAreaLeft + m_canvas.TextWidth("TOP VIEW", SheetFont::Heading) + 10.0,
                      m_boxTop - kWall - 16.0, note, SheetFont::Small, TextAnchor::Left);
    }

    void TopViewDimensions()
    {
        const BuildRod& first = m_geometry.rods.front();
        const double halfD = Points(m_geometry.rodDiameterInch) / 2.0;
        const double outerLeft = m_left - kWall;

        // Left columns: depth, end rod length, tap.
        m_draft.ExtensionLeft(m_boxTop, outerLeft, m_cols.depthX);
        m_draft.ExtensionLeft(m_boxBottom, outerLeft, m_cols.depthX);
        m_draft.Vertical(m_boxTop, m_boxBottom, m_cols.depthX, LengthLabel(m_geometry.boxDepthInch),
                         TextAnchor::Right);
        const double endOpen = AlongRod(first, first.lengthInch);
        m_draft.ExtensionLeft(endOpen, RodX(first) - halfD, m_cols.endRodX);
        m_draft.Vertical(endOpen, m_boxBottom, m_cols.endRodX, LengthLabel(first.lengthInch),
                         TextAnchor::Right);
        // The tap, from the connector of the wall feed or from the hole in the cover on the
        // rod; with the cover feed the last rod's hole is dimensioned on the right as well, as
        // it may lie on the other wall.
        const double tap = AlongRod(first, m_geometry.tapInch);
        const bool cover = m_geometry.feed == FeedKind::Cover;
        m_draft.ExtensionLeft(tap, cover ? RodX(first) - halfD : outerLeft - 6.0, m_cols.tapX);
        m_draft.Vertical(tap, m_boxBottom, m_cols.tapX, LengthLabel(m_geometry.tapInch),
                         TextAnchor::Right);
        if (cover) {
            const BuildRod& last = m_geometry.rods.back();
            const double lastTap = AlongRod(last, m_geometry.tapInch);
            const double lineX = m_right + kWall + kColumnGap;
            const double ground = GroundY(last.ground);
            m_draft.ExtensionRight(ground, m_right + kWall, lineX);
            m_draft.ExtensionRight(lastTap, RodX(last) + halfD, lineX);
            m_draft.Vertical(std::min(ground, lastTap), std::max(ground, lastTap), lineX,
                             LengthLabel(m_geometry.tapInch), TextAnchor::Left);
        }

        // The length of the rod next to the last: from outside the box its extension lines
        // would cross the last rod and run along its tap, so the dimension stands in the
        // cavity beside the rod, its value between the two rods. It gives that rod's own
        // length, as corrected rods differ one from another; the rod table gives every rod's,
        // and this one's too where the value does not fit.
        if (m_geometry.rods.size() >= 3) {
            const BuildRod& rod = m_geometry.rods[m_geometry.rods.size() - 2];
            const double edge = RodX(rod) + halfD;
            const double room = RodX(m_geometry.rods.back()) - halfD - edge;
            const std::string value = LengthLabel(rod.lengthInch);
            const double x = edge + std::min(6.0, room / 4.0);
            if (x + kTextGap + m_canvas.TextWidth(value, SheetFont::Normal) + kTextGap <=
                edge + room) {
                const double ground = GroundY(rod.ground);
                const double open = AlongRod(rod, rod.lengthInch);
                m_draft.ExtensionRight(open, edge, x);
                m_draft.Vertical(std::min(ground, open), std::max(ground, open), x, value,
                                 TextAnchor::Left);
            } else {
                m_omitted = true;
            }
        }

        // Below: the chain of wall, rods and wall; then each rod from the wall, nearest
        // first, so that every extension line ends above the rows whose values it would
        // cross; last the box's inside length.
        const double below = m_boxBottom + kWall;
        const size_t n = m_geometry.rods.size();
        const double chainY = below + kFirstRow;
        auto rowY = [&](size_t row) { return chainY + double(row) * kRowPitch; };
        m_draft.ExtensionDown(m_left, below, rowY(n));
        m_draft.ExtensionDown(m_right, below, rowY(n));
        std::vector<double> xs{m_left};
        for (size_t k = 0; k < n; ++k) {
            const double x = RodX(m_geometry.rods[k]);
            m_draft.ExtensionDown(x, below, rowY(k));
            xs.push_back(x);
        }
        xs.push_back(m_right);
        for (size_t k = 0; k + 1 < xs.size(); ++k) {
            const double inches =
                k == 0 || k + 1 == n + 1 ? m_geometry.endWallInch : m_geometry.spacingInch[k - 1];
            if (!m_draft.Horizontal(xs[k], xs[k + 1], chainY, LengthLabel(inches))) {
                m_omitted = true;
            }
        }
        for (size_t k = 1; k < n; ++k) {
            if (!m_draft.Horizontal(m_left, xs[k + 1], rowY(k),
                                    LengthLabel(m_geometry.rods[k].centreInch))) {
                m_omitted = true;
            }
        }
        if (!m_draft.Horizontal(m_left, m_right, rowY(n), LengthLabel(m_geometry.boxLengthInch))) {
            m_omitted = true;
        }
        if (m_omitted) {
            m_canvas.Text(m_left, rowY(n) + 12.0,
                          "Values too long for their dimension lines are in the rod table.",
                          SheetFont::Small, TextAnchor::Left);
        }
    }

    void Row(double& y, const std::string& label, const std::string& value)
    {
        m_canvas.Text(kInfoLeft, y, label, SheetFont::Normal, TextAnchor::Left);
        m_canvas.Text(kInfoRight, y, value, SheetFont::Normal, TextAnchor::Right);
        y += kLinePitch;
    }

    void Information()
    {
        // Electrical values with one decimal in either unit ("432.0 MHz", "50.0 Ω"): the
        // three decimals of inch lengths would claim a precision they do not have.
        const auto f = [](double v) { return FixedText(v, 1); };
        const std::string unit = LengthUnitName(m_unit);
        double y = kHeaderBottom + 16.0;
        m_canvas.Text(kInfoLeft, y, "DESIGN", SheetFont::Heading, TextAnchor::Left);
        y += 13.0;
        Row(y, "Resonators n", std::to_string(m_design.ele));
        Row(y, "Ripple", m_design.rip == 0.0 ? "0 dB (maximally flat)" : RippleText(m_design.rip));
        Row(y, "Centre frequency f0", f(m_design.fzmc * 1000) + " MHz");
        Row(y, "Bandwidth", f(m_design.bwmc) + " MHz");
        Row(y, "Band edges", f(m_design.fLow * 1000) + " / " + f(m_design.fHigh * 1000) + " MHz");
        Row(y, "3 dB bandwidth", f(m_design.bw3dB * 1000) + " MHz");
        Row(y, "Feed impedance", f(m_design.R) + " \xCE\xA9");
        Row(y, "Impedances end / interior",
            f(m_design.zEnd) + " / " + f(m_design.zInterior) + " \xCE\xA9");
        Row(y, "Estimated unloaded Qu", f(m_design.qUnloaded));
        Row(y, "Loss from Qu", f(m_design.lossDb) + " dB");
        Row(y, "Quarter wavelength", LengthLabel(m_design.quarterWave) + " " + unit);

        y += 8.0;
        m_canvas.Text(kInfoLeft, y, "BOX, INSIDE (" + unit + ")", SheetFont::Heading,
                      TextAnchor::Left);
        y += 13.0;
        Row(y, "Length, end wall to end wall", LengthLabel(m_geometry.boxLengthInch));
        Row(y, "Depth, wall A to wall B", LengthLabel(m_geometry.boxDepthInch));
        Row(y, "Height H, ground planes", LengthLabel(m_geometry.groundPlaneInch));
        Row(y, "End wall to end rod centre E", LengthLabel(m_geometry.endWallInch));
        Row(y, "Feed tap above grounded end", LengthLabel(m_geometry.tapInch));

        y += 8.0;
        m_canvas.Text(kInfoLeft, y, "RODS (" + unit + ")", SheetFont::Heading, TextAnchor::Left);
        y += 13.0;
        const double columns[] = {kInfoLeft + 14,  kInfoLeft + 36,  kInfoLeft + 78,
                                  kInfoLeft + 118, kInfoLeft + 152, kInfoRight};
        const char* heads[] = {"Rod", "Wall", "Centre", "C. to C.", "Length", "Dia."};
        for (int i = 0; i < 6; ++i) {
            m_canvas.Text(columns[i], y, heads[i], SheetFont::Normal, TextAnchor::Right);
        }
        m_canvas.Line(kInfoLeft, y + 3.0, kInfoRight, y + 3.0, SheetPen::Thin);
        y += 12.0;
        for (size_t k = 0; k < m_geometry.rods.size(); ++k) {
            const BuildRod& rod = m_geometry.rods[k];
            const std::string cells[] = {
                std::to_string(rod.number),
                rod.ground == GroundWall::A ? "A" : "B",
                LengthLabel(rod.centreInch),
                k < m_geometry.spacingInch.size() ? LengthLabel(m_geometry.spacingInch[k]) : "",
                LengthLabel(rod.lengthInch),
                LengthLabel(m_geometry.rodDiameterInch)};
            for (int i = 0; i < 6; ++i) {
                m_canvas.Text(columns[i], y, cells[i], SheetFont::Normal, TextAnchor::Right);
            }
            y += kLinePitch;
        }
        y += 6.0;
        const char* notes[] = {
            "Centre: end wall to the rod's centre. Wall: the ground",
            "wall the rod is screwed to; its other end is open.",
            "Rods 1 and n carry the feed taps. Wall bands are not",
            "drawn to scale.",
        };
        for (const char* note : notes) {
            m_canvas.Text(kInfoLeft, y, note, SheetFont::Small, TextAnchor::Left);
            y += 8.0;
        }
        FeedInformation(y + 8.0);
    }

    // How the feeds are built and where the cover's connector holes are drilled, and whether
    // the dimensions are corrected for that construction.
    void FeedInformation(double y)
    {
        m_canvas.Text(kInfoLeft, y, "FEED (" + std::string(LengthUnitName(m_unit)) + ")",
                      SheetFont::Heading, TextAnchor::Left);
        y += 13.0;
        const std::string hole = "\xC3\x98" + LengthLabel(ConnectorHoleInch());
        const std::string lead =
            LengthLabel(m_geometry.leadSizeInch) + " x " + LengthLabel(m_geometry.leadLengthInch);
        if (m_geometry.feed == FeedKind::Wall) {
            Row(y, "Connector", "SMA in each end wall");
            Row(y, "Hole in the end wall, at the tap", hole);
            Row(y, "Lead, square: side x length", lead);
        } else {
            Row(y, "Connector", "SMA in the cover");
            Row(y, "Hole in the cover, under each tap", hole);
            for (const BuildRod* rod : {&m_geometry.rods.front(), &m_geometry.rods.back()}) {
                const char* wall = rod->ground == GroundWall::A ? "A" : "B";
                Row(y, "Hole " + std::to_string(rod->number) + " from end wall / wall " + wall,
                    LengthLabel(rod->centreInch) + " / " + LengthLabel(m_geometry.tapInch));
            }
            Row(y, "Pin: diameter x length", "\xC3\x98" + lead);
        }
        Row(y, "Dimensions", m_build.Corrected() ? "corrected for this feed" : "design equations");
    }

    void Parameters()
    {
        const std::string label = "Parameters: ";
        const double x = kAreaLeft + m_canvas.TextWidth(label, SheetFont::Small);
        double y = kFooterTop + 10.0;
        m_canvas.Text(kAreaLeft, y, label, SheetFont::Small, TextAnchor::Left);
        for (const std::string& line : WrapText(m_canvas, ParmsForSheet(m_build.Parms()),
                                                SheetFont::Small, kInfoRight - x, 2)) {
            m_canvas.Text(x, y, line, SheetFont::Small, TextAnchor::Left);
            y += 8.5;
        }
    }

    const ComputedDesign& m_build;
    const BuildGeometry& m_geometry;
    const FilterDesign& m_design;
    LengthUnit m_unit;
    SheetCanvas& m_canvas;
    Drafter m_draft;
    SheetScale m_scale;
    double m_pointsPerInch = 72.0; // points per inch of the object
    LeftColumns m_cols;
    double m_left = 0.0, m_right = 0.0;
    double m_sideTop = 0.0, m_sideBottom = 0.0, m_boxTop = 0.0, m_boxBottom = 0.0;
    bool m_omitted = false;
};

} // namespace

BuildFileKind BuildFileKindFromPath(std::string_view path)
{
    const ZStr name(path.data(), int32_t(path.size()));
    for (BuildFileKind kind : {BuildFileKind::PDF, BuildFileKind::SVG, BuildFileKind::DXF}) {
        const char* suffix = kind == BuildFileKind::PDF   ? ".pdf"
                             : kind == BuildFileKind::SVG ? ".svg"
                                                          : ".dxf";
        if (name.EndsWithI(suffix)) {
            return kind;
        }
    }
    return BuildFileKind::Unknown;
}

SheetScale ChooseSheetScale(const ComputedDesign& build, SheetCanvas& canvas)
{
    // Either unit's sheet fits the same scale: the columns are measured with the wider
    // texts of inches.
    const double fit = FittingRatio(build, canvas, LengthUnit::Inch);
    SheetScale scale;
    for (double enlarge : {100.0, 50.0, 20.0, 10.0, 5.0, 2.0}) {
        if (enlarge <= fit) {
            scale.ratio = enlarge;
            scale.text = RatioNumber(enlarge) + ":1";
            return scale;
        }
    }
    // Reductions 1:1 to 1:5e6 in the steps drawing offices use.
    for (double decade = 1.0; decade <= 1e6; decade *= 10.0) {
        for (double m : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0}) {
            if (1.0 / (m * decade) <= fit) {
                scale.ratio = 1.0 / (m * decade);
                scale.text = "1:" + RatioNumber(m * decade);
                return scale;
            }
        }
    }
    scale.ratio = 1.0 / 1e7;
    scale.text = "1:10000000";
    return scale;
}

void DrawBuildSheet(const ComputedDesign& build, LengthUnit unit, SheetCanvas& canvas)
{
    SheetPainter(build, unit, canvas).Paint();
}

BuildOutputStatus WriteBuildSheet(const std::string& path, const ComputedDesign& design,
                                  LengthUnit unit, std::string& error)
{
    error.clear();
    const BuildFileKind kind = BuildFileKindFromPath(path);
    if (kind == BuildFileKind::Unknown) {
        error = "unknown build sheet file type '" + path + "' (use .pdf, .svg or .dxf)";
        return BuildOutputStatus::CannotWrite;
    }
    if (design.BuildProblem()) {
        error = *design.BuildProblem();
        return BuildOutputStatus::InvalidDesign;
    }

    std::string bytes;
    if (kind == BuildFileKind::DXF) {
        if (!DxfDrawing(design, unit, bytes, error)) {
            error = "cannot write '" + path + "': " + error;
            return BuildOutputStatus::CannotWrite;
        }
    } else if (kind == BuildFileKind::SVG) {
        SvgSheetCanvas canvas(kSheetWidthPt, kSheetHeightPt);
        DrawBuildSheet(design, unit, canvas);
        bytes = canvas.Document();
    } else {
        plat::Image page(int(kSheetWidthPt), int(kSheetHeightPt), plat::ImageKind::Vector);
        page.Context().FillRect({0, 0, int(kSheetWidthPt), int(kSheetHeightPt)}, 0xFFFFFF);
        ContextSheetCanvas canvas(page.Context());
        DrawBuildSheet(design, unit, canvas);
        if (!page.Encode(plat::ImageFormat::PDF, bytes)) {
            // Encoding into memory fails only when the memory runs out.
            error = ToStdString(ZWriteErrorText(ZStr(path.c_str()), ENOMEM).Str());
            return BuildOutputStatus::CannotWrite;
        }
    }
    if (!WriteOutputFile(path, bytes, error)) {
        return BuildOutputStatus::CannotWrite;
    }
    return BuildOutputStatus::Written;
}
