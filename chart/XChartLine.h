// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/XObserver.h"
#include "base/XValueRef.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "chart/XChartAttrs.h"
#include "chart/XChartAxis.h"
#include "chart/XChartCB.h"
#include "chart/XChartLineList.h"

#include <cstdint>
#include <memory>

class TXMLNode;
class XChart;
class XChartLine;

namespace plat {
class DrawContext;
}

/// Line types; the numbers are the stored type numbers.
enum class XChartLineType : int32_t {
    Line = 1,
    Point = 2,
    Bar = 3,
    Histogram = 4,
    Object = 5,
    DrawPath = 6,
    HigLowClose = 7,
    TimeLine = 8,
};

/// The keyword of a line type: "line", "point", "bar", "histogram", "object", "drawPath",
/// "higLowClose", "timeLine".
const char* LineTypeKeyword(XChartLineType type);
/// Looks a keyword up (case-sensitively). The chart file reader does not accept "timeLine",
/// so it passes TimeLineKeyword::Refuse.
enum class TimeLineKeyword {
    Accept,
    Refuse,
};
bool LineTypeFromKeyword(ZStr keyword, XChartLineType& type,
                         TimeLineKeyword timeLine = TimeLineKeyword::Accept);

/// The data columns of a line. Every column but Counts can be bound to an array held
/// elsewhere.
enum class XChartColumn : int32_t {
    X = 0,
    Y,
    X2,
    Y2,
    Counts, ///< histogram counts, computed before drawing
    High,
    Low,
    Open,
    Close,
    PathCode,
    PathIndex,
};
inline constexpr int32_t kChartColumnCount = 11;

/// The columns a line type reads and the chart file writes, in file order, into out (room
/// for 6); returns their number (0 for timeLine).
int32_t ChartLineColumns(XChartLineType type, XChartColumn* out);

/// The rectangle a line's data covers, in data units; empty when the line has no finite data.
struct XChartBounds
{
    double xLo = 0.0;
    double xHi = 0.0;
    double yLo = 0.0;
    double yHi = 0.0;
    bool valid = false;

    /// Widens the bounds to hold the point (x, y); a point with a non-finite value is ignored.
    void Add(double x, double y);
};

/// Limits that keep drawing bounded whatever a file holds.
struct XChartDrawBudget
{
    /// Nesting of drawPath sub-lines drawn inside each other.
    static constexpr int32_t kMaxDepth = 8;
    /// Sub-line drawings per paint.
    int32_t subLines = 100000;
};

/// One data line (series) of a chart: its attributes, its data columns, its two axes and,
/// for a drawPath line, its sub-lines. The line is named by its observer name.
class XChartLine : public XObserver
{
public:
    /// Largest number of histogram bins; a larger `bins` attribute is cut to it.
    static constexpr int32_t kMaxBins = 100000;
    /// Pixels a selected line's pen (or point square) is wider than its `width`.
    static constexpr int32_t kSelectedExtraWidth = 2;

    /// A line with the attributes of lineAttrTable, belonging to chart (may be null), reporting
    /// changes through cb.
    XChartLine(ZStr name, XChart* chart, XChartLineCB& cb);
    ~XChartLine() override;

    XChart* GetChart() const { return m_chart; }

    // ---- Attributes ----
    const XChartAttrs& Attrs() const { return m_attrs; }
    /// Sets an attribute's text and type (restricted to the names the store holds). Setting
    /// "lineType" also sets the type number; an unknown keyword is refused.
    bool SetAttr(ZStr name, ZStr text, ZStr type);
    bool SetStr(ZStr name, ZStr value) { return SetAttr(name, value, XChartType::kStr); }
    bool SetBool(ZStr name, bool value) { return SetTyped(name, value); }
    bool SetInt(ZStr name, int32_t value) { return SetTyped(name, value); }
    bool SetDouble(ZStr name, double value) { return SetTyped(name, value); }
    bool SetPoint(ZStr name, const NXPoint& value) { return SetTyped(name, value); }
    bool SetRect(ZStr name, const NXRect& value) { return SetTyped(name, value); }
    bool SetColor(ZStr name, const XColor& value) { return SetTyped(name, value); }
    ZString GetStr(ZStr name) const { return m_attrs.GetStr(name); }
    bool GetBool(ZStr name, bool def = false) const { return m_attrs.GetBool(name, def); }
    int32_t GetInt(ZStr name, int32_t def = 0) const { return m_attrs.GetInt(name, def); }
    double GetDouble(ZStr name, double def = 0.0) const { return m_attrs.GetDouble(name, def); }
    bool GetPoint(ZStr name, NXPoint& out) const { return m_attrs.GetPoint(name, out); }
    XColor GetColor(ZStr name, const XColor& def = XColor()) const
    {
        return m_attrs.GetColor(name, def);
    }
    /// Replaces the attributes by lineAttrTable (the type becomes "line").
    void ResetAttributes();
    /// Copies every entry of defaults over the attributes (line defaults of the chart).
    void MergeAttributes(const XChartAttrs& defaults);
    /// Sets the nice-start flag of the X (or Y) axis: the range is rounded to the step. It is
    /// kept as the attribute niceAxisStartX / niceAxisStartY, so that files keep it.
    void SetNiceAxisStart(XChartAxis::Orientation axis, bool on);

    XChartLineType GetLineType() const { return m_type; }
    void SetLineType(XChartLineType type);

    // ---- Data ----
    /// The column as the line reads it (its own array or a bound one).
    XRealArray& Column(XChartColumn c) { return *m_columns[int32_t(c)]; }
    const XRealArray& Column(XChartColumn c) const { return *m_columns[int32_t(c)]; }
    /// The line's own array of a column.
    XRealArray& OwnColumn(XChartColumn c) { return m_own[int32_t(c)]; }
    /// Makes the line read column c from data, which the caller owns and keeps alive as long
    /// as the line reads it; null makes the line read its own array again. Counts cannot be
    /// bound (false).
    bool BindColumn(XChartColumn c, XRealArray* data);
    bool IsBound(XChartColumn c) const { return m_columns[int32_t(c)] != &m_own[int32_t(c)]; }
    XRealArray& X() { return Column(XChartColumn::X); }
    XRealArray& Y() { return Column(XChartColumn::Y); }
    /// The number of points: the shortest of the columns the line type draws from (the
    /// stored-only open values and path indices do not count).
    int32_t PointCount() const;

    /// Marks the line changed and tells the chart.
    void SetChanged();
    bool IsChanged() const { return m_changed; }
    void ClearChanged() { m_changed = false; }

    XChartAxisX& AxisX() { return m_axisX; }
    XChartAxisY& AxisY() { return m_axisY; }
    const XChartAxisX& AxisX() const { return m_axisX; }
    const XChartAxisY& AxisY() const { return m_axisY; }

    // ---- drawPath ----
    XTextArray& PathNames() { return m_pathNames; }
    const XTextArray& PathNames() const { return m_pathNames; }
    int32_t SubLineCount() const { return m_subLines.Count(); }
    XChartLine* SubLine(int32_t i) const { return m_subLines[i]; }
    /// The index of the sub-line called name, or -1.
    int32_t FindSubLine(ZStr name) const;
    /// The index of the sub-line called name, made when there is none (from lineAttrTable).
    int32_t GetOrAddSubLine(ZStr name);

    // ---- Drawing ----
    /// Readies the line for a paint: with noXData the own X column becomes 1, 2, 3, ... and
    /// the line's X; a histogram computes its bins; the bounds are computed (for sub-lines
    /// too).
    void Prepare(int32_t depth = 0);
    /// The bounds of the last Prepare.
    const XChartBounds& Bounds() const { return m_bounds; }
    /// Computes the histogram bins: Counts gets the counts and the own X column the bin
    /// positions, which becomes the line's X.
    void ComputeBins();
    /// The full range of an axis at the next paint: the fixed scale when one is set and the
    /// line has points, else the bounds. False when there is nothing to show.
    bool DataRange(XChartAxis::Orientation axis, double& lo, double& hi) const;
    /// The smallest positive difference between neighbouring X values, 1 when there is none.
    double BarSpacing() const;
    /// Draws the data (nothing when showLine is false) in the scales of the axes, then
    /// clears the changed flag. plot is the plot area.
    void DrawData(plat::DrawContext& dc, const plat::Rect& plot, XChartDrawBudget& budget,
                  int32_t depth = 0);
    /// Draws the axes the `axis` attribute names, with the grids `grid` names.
    void DrawAxes(plat::DrawContext& dc);

    /// The selected line is drawn thicker (the chart keeps which line is selected).
    void SetSelected(bool selected) { m_selected = selected; }
    bool IsSelected() const { return m_selected; }

    void SetDrawHook(std::unique_ptr<XChartDL_CL> hook);
    XChartDL_CL& DrawHook() { return *m_drawHook; }

    // ---- Chart file ----
    /// Reads the line from a CHARTLINE element (attributes that are present, then the data
    /// text and, for drawPath, the sub-lines). False when the data text could not be read;
    /// the attributes read stay set and the data is unchanged then.
    bool ReadXML(const TXMLNode& element, int32_t depth = 0);
    /// Appends the line as a CHARTLINE element at indent, held under name.
    void WriteXML(ZString& out, ZStr indent, ZStr name, bool changedOnly) const;

private:
    template <typename T> bool SetTyped(ZStr name, const T& value)
    {
        ZString text;
        const ZStr type = XChartAttrs::Encode(value, text);
        return SetAttr(name, text, type);
    }
    void ComputeBounds();
    void DrawPolyline(plat::DrawContext& dc);
    void DrawPoints(plat::DrawContext& dc);
    void DrawBars(plat::DrawContext& dc, XChartColumn yColumn);
    void DrawObjects(plat::DrawContext& dc);
    void DrawHighLowClose(plat::DrawContext& dc);
    void DrawPath(plat::DrawContext& dc, const plat::Rect& plot, XChartDrawBudget& budget,
                  int32_t depth);
    void ReadAttributes(const TXMLNode& element);

    XChart* m_chart;
    XChartLineCB* m_cb;
    XChartAttrs m_attrs;
    XChartLineType m_type = XChartLineType::Line;
    XRealArray m_own[kChartColumnCount];
    XRealArray* m_columns[kChartColumnCount];
    XTextArray m_pathNames;
    XChartLineList m_subLines;
    bool m_changed = false;
    bool m_selected = false;
    XChartLineAxisCB m_axisCB;
    XChartAxisX m_axisX;
    XChartAxisY m_axisY;
    std::unique_ptr<XChartDL_CL> m_drawHook;
    XChartBounds m_bounds;
};
