// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/XArray.h"
#include "base/XColor.h"
#include "base/XValueRef.h"
#include "base/ZString.h"
#include "platform/DrawContext.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>

class XChartAttrs;
class XChartAxisCB;
class XChartAxisMT;
class XChartLine;
class XEvtMngr;

/// The scale of one axis of a line: its full range, the view range of a zoom, the range
/// shown after layout, and the pixel ends the shown range maps onto.
struct XChartScale
{
    bool log = false;
    double pixelStart = 0.0; ///< pixel of the shown minimum (left end, or bottom end)
    double pixelEnd = 1.0;   ///< pixel of the shown maximum
    double lo = 0.0;         ///< full range
    double hi = 1.0;
    bool zoomed = false;
    double viewLo = 0.0; ///< view range, always inside [lo, hi]
    double viewHi = 1.0;
    double shownLo = 0.0; ///< the range the axis shows (the effective range, or its rounding)
    double shownHi = 1.0;

    double EffectiveLo() const { return zoomed ? viewLo : lo; }
    double EffectiveHi() const { return zoomed ? viewHi : hi; }
    /// Sets the full range and moves the view inside it: shifted up when it starts below lo,
    /// then down when it ends above hi, then each end clamped into [lo, hi]. The shown range
    /// becomes the effective range.
    void SetFullRange(double newLo, double newHi);
    /// Zooms to [a, b] (ordered and clamped into the full range).
    void SetView(double a, double b);
    /// Leaves the zoom: the full range is effective again.
    void ResetView();

    /// The pixel of value v on the shown range (linear or logarithmic); the start pixel when
    /// the range is empty. Not rounded.
    double ValueToPixel(double v) const;
    /// The value at pixel p; the inverse of ValueToPixel.
    double PixelToValue(double p) const;
};

/// Where an axis stands beside the plot area.
enum class XChartAxisSide {
    Bottom,
    Top,
    Left,
    Right,
};

/// One axis of a line: it turns the line's range into a shown range, picks a tick step at one
/// of three densities so that the labels do not collide, makes the tick list and the label
/// texts, and draws itself with ticks, labels, caption, unit and grid lines. Linear,
/// logarithmic (with a decade mode) and date axes (file times) are supported.
///
/// XChartAxisX and XChartAxisY differ only in orientation.
class XChartAxis
{
public:
    enum class Orientation {
        Horizontal = 0,
        Vertical = 1,
    };

    /// A tick: its value and its rank (longer ticks for higher ranks on date axes).
    struct Tick
    {
        double value = 0.0;
        int32_t rank = 1;
    };

    /// Largest number of ticks an axis makes; a range that would need more is cut off.
    static constexpr int32_t kMaxTicks = 2000;
    /// Two labels closer than this (pixels, along the axis) collide.
    static constexpr int32_t kLabelGap = 7;

    XChartAxis(Orientation orientation, XChartAxisCB& cb);
    virtual ~XChartAxis();
    XChartAxis(const XChartAxis&) = delete;
    XChartAxis& operator=(const XChartAxis&) = delete;

    /// Takes this axis' settings from a line's attributes (the X or Y names by orientation).
    void LoadAttributes(const XChartAttrs& attrs);
    /// Sets the nice-start flag (the chart file's niceAxisStartX / niceAxisStartY).
    void SetNiceStart(bool on) { m_niceStart = on; }
    bool GetNiceStart() const { return m_niceStart; }
    bool IsDate() const { return m_date; }
    /// The axis length in percent of the available length (axisLenPrecentX / Y).
    double GetLengthPercent() const { return m_lenPercent; }
    void SetDate(bool on) { m_date = on; }
    void SetLog(bool on) { m_scale.log = on; }
    Orientation GetOrientation() const { return m_orientation; }

    XChartScale& Scale() { return m_scale; }
    const XChartScale& Scale() const { return m_scale; }
    /// Sets a fixed full range directly, keeping the view inside it.
    void SetFixedRange(double lo, double hi) { m_scale.SetFullRange(lo, hi); }
    /// Sets the pixel ends the shown range maps onto.
    void SetPixels(double start, double end);
    /// Reports a changed view to the line (through the axis callback).
    void ReportChange();

    // ---- Zoom (the view range) ----
    /// Zooms to the values at two pixels of the shown range (in either order) and reports
    /// the change. False (nothing changes) when the pixels map onto no usable interval.
    bool ZoomToPixels(double p0, double p1);
    /// Zooms to the values a and b (in either order), cut to the full range, and reports
    /// the change. False (nothing changes) when they leave no interval.
    bool ZoomToValues(double a, double b);
    /// Scales the view around the value at pixel by factor (below 1 zooms in) and reports the
    /// change; a view that would cover the full range leaves the zoom.
    bool ZoomAt(double pixel, double factor);
    /// Leaves the zoom (the full range shows again) and reports the change.
    void ZoomFull();
    /// Shifts a zoomed view by fraction of its width (positive towards larger values), kept
    /// inside the full range, and reports the change. False when not zoomed.
    bool ScrollView(double fraction);

    /// Whether the last layout placed this axis beside the plot area (it is drawn).
    bool IsPlaced() const { return m_placed; }
    void SetPlaced(bool placed) { m_placed = placed; }
    /// The strip the axis occupies beside the plot area (axis line, ticks and labels), in
    /// pixels; where the mouse acts on the axis. Empty when the axis is not placed.
    plat::Rect GetAxisRect() const;
    /// The zoom handle beyond the high end of the axis, shown while the axis is zoomed.
    plat::Rect GetZoomHandleRect() const;
    /// The mouse tracker of the axis for the window's event manager, made on first use.
    XChartAxisMT& Tracker(XChartLine& line, XEvtMngr* mngr);
    /// The tracker, or null when none was made.
    XChartAxisMT* GetTracker() const { return m_tracker.get(); }

    /// Places the axis: its side of the plot area, the pixel coordinate of the axis line
    /// across the axis, the plot area for grid lines and, for a vertical axis, the top of the
    /// strip its caption stands in.
    virtual void SetGeometry(XChartAxisSide side, int32_t position, const plat::Rect& plot,
                             int32_t captionTop = 0);
    /// Draws grid lines (when grid is set) and then the axis line, ticks, labels, caption and
    /// unit. Needs a layout first.
    virtual void Draw(plat::DrawContext& dc, bool grid);
    /// Draws only the grid lines, with the grid colour and width.
    virtual void DrawGrid(plat::DrawContext& dc);
    /// Computes the step and the shown range for a density level (1 dense to 3 sparse).
    virtual double CalcRangeStep(int32_t level);
    /// Draws grid lines across the plot area at the tick values.
    virtual void DrawGridLines(plat::DrawContext& dc);
    /// Draws the axis parts: with grid set only the grid lines, else the axis itself.
    virtual void DrawParts(plat::DrawContext& dc, bool grid);
    /// Draws the zoom handle (a small box beyond the high end) while the axis is zoomed.
    virtual void DrawZoomHandle(plat::DrawContext& dc);
    /// The date step for [lo, hi] at a level; moves lo and hi to month boundaries.
    virtual double DateStep(double& lo, double& hi, int32_t level) const;
    /// The nice step for [lo, hi] at a level; rounds lo and hi to it.
    virtual double NiceStep(double& lo, double& hi, int32_t level) const;
    /// The tick after v.
    virtual double NextTick(double v) const;
    /// Lays the axis out: levels 1, 2, 3 in turn until the labels do not collide (level 3
    /// stands otherwise). Without a context only level 1 is computed and no label measured.
    virtual void Layout(plat::DrawContext* dc);
    /// Fills the tick list for the step and shown range of the last CalcRangeStep.
    virtual void BuildTicks();
    /// Measures the labels of the tick list; true when two neighbours collide.
    virtual bool LayoutLabels(plat::DrawContext& dc);
    /// The label of v; ref is the neighbouring tick a date label is compared with (NaN when
    /// there is none, which gives the full date).
    virtual ZString LabelText(double v, double ref) const;
    /// 3 at the start of a year, 2 at the start of a quarter, 1 otherwise on date axes; 1 on
    /// other axes.
    virtual int32_t TickRank(double v) const;
    /// The rank of a tick for the grid: always 1.
    virtual int32_t TickRank2(double) const { return 1; }

    /// The nice step (see NiceStep) of [lo, hi] as a pure function of the range, the level
    /// and the log flag.
    static double NiceStepFor(double& lo, double& hi, int32_t level, bool log);
    /// The date step (see DateStep) as a pure function.
    static double DateStepFor(double& lo, double& hi, int32_t level);
    /// Makes a full range usable for scaling: ordered, finite, not empty (an empty range is
    /// widened around its value), positive on a logarithmic axis and within the calendar on a
    /// date axis.
    static void SanitizeRange(double& lo, double& hi, bool log, bool date);

    double GetTickStep() const { return m_tickStep; }
    int32_t GetLevel() const { return m_level; }
    const XArray<Tick>& GetTicks() const { return m_ticks; }
    const XTextArray& GetLabels() const { return m_labels; }
    /// The label boxes of the last drawing (pixels), one per tick.
    const XArray<plat::Rect>& GetLabelRects() const { return m_labelRects; }

    /// Font height of labels and caption (after MeasureFont).
    int32_t GetLabelHeight() const { return m_labelHeight; }
    /// Measures the label font; needed before Thickness for a horizontal axis.
    void MeasureFont(plat::DrawContext& dc);
    /// The room the axis takes from its line outwards: ticks, gap, labels and, for a
    /// horizontal axis, the caption row.
    int32_t Thickness() const;
    /// The gap to the next axis on the same side.
    int32_t GetAxisSep() const { return m_axisSep; }
    /// The caption with the unit where it stands beside it; empty when neither is shown.
    ZString CaptionText() const;
    /// The unit when it stands at the end of the axis; empty otherwise.
    ZString EndUnitText() const;
    /// Height of the strip above the plot area that holds a vertical axis' caption (0
    /// without caption).
    int32_t CaptionStripHeight() const;

    /// The pixel of v, rounded half away from zero.
    int32_t PixelOf(double v) const;

protected:
    void DrawLabelText(plat::DrawContext& dc, const plat::Rect& box, const ZString& text);
    void SelectFont(plat::DrawContext& dc) const;

    Orientation m_orientation;
    XChartAxisCB* m_cb;
    XChartScale m_scale;

    // Settings from the line's attributes.
    bool m_date = false;
    bool m_niceStart = false;
    double m_lenPercent = 100.0;
    ZString m_fontFace{"Arial"};
    int32_t m_fontSize = 100;
    XColor m_color;
    int32_t m_axisWidth = 2;
    XColor m_gridColor;
    int32_t m_gridWidth = 1;
    int32_t m_tickLen = 6;
    int32_t m_labelSep = 3;
    int32_t m_axisSep = 3;
    ZString m_caption;
    ZString m_unit;
    bool m_showCaption = true;
    bool m_showUnit = true;
    int32_t m_unitPlace = 1;

    // Layout.
    int32_t m_level = 1;
    double m_tickStep = 1.0;
    double m_tickOrigin = 0.0; ///< where the tick list starts counting (a date axis' month)
    XArray<Tick> m_ticks;
    XTextArray m_labels;
    XArray<plat::Size> m_labelSizes;
    XArray<plat::Rect> m_labelRects;
    int32_t m_labelHeight = 0;
    int32_t m_maxLabelWidth = 0;
    int32_t m_captionWidth = 0;

    // Geometry.
    XChartAxisSide m_side = XChartAxisSide::Bottom;
    int32_t m_position = 0;
    plat::Rect m_plot;
    int32_t m_captionTop = 0;
    bool m_placed = false;

    std::unique_ptr<XChartAxisMT> m_tracker;
};

/// The horizontal axis of a line.
class XChartAxisX : public XChartAxis
{
public:
    explicit XChartAxisX(XChartAxisCB& cb)
        : XChartAxis(Orientation::Horizontal, cb)
    {
    }
};

/// The vertical axis of a line.
class XChartAxisY : public XChartAxis
{
public:
    explicit XChartAxisY(XChartAxisCB& cb)
        : XChartAxis(Orientation::Vertical, cb)
    {
    }
};
