// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/XEvtHdlr.h"
#include "base/ZTimer.h"
#include "menu/XMenuPopUpCB.h"

#include <cstdint>

class XChart;
class XChartAxis;
class XChartLine;
class XEvtMngr;

/// The mouse tracker of the chart window: the right button opens the context menu (the
/// host fills it; by default the chart writes its own entries), the right release ends the
/// gesture. Every tracker of the chart handles all mouse input it is given.
class XChartMT : public XEvtHdlrGUI
{
public:
    XChartMT(XChart& chart, XEvtMngr* mngr);

    bool Input(XEvtInput& evt) override;
    /// Acts on a classified gesture (see XEvtHdlrGUI::Classify); true when handled. Input
    /// that is no mouse gesture (keys, focus) is left to the window.
    virtual bool OnGesture(XEvtInput& evt, int32_t gesture);

protected:
    XChart& m_chart;
};

/// What the plot-area tracker is doing with the left button.
enum class XChartDrag {
    None,
    Band,  ///< a rubber-band rectangle; the band zooms the zoomable lines on release
    Point, ///< a point of the selected, editable line follows the pointer
};

/// The mouse tracker of the plot area. Hovering finds the point under the pointer (for the
/// pointer shape) and feeds the cursor-values box. A left click selects the line under the
/// pointer (when the chart and the line allow it) or clears the selection; a drag that
/// leaves the threshold draws a rubber band, clipped to the plot area, that zooms the X and
/// Y axes of every zoomable line to the band when released, or, started on a point of the
/// selected editable line, moves that point.
class XChartGraphMT : public XChartMT
{
public:
    /// Pixels within which a point or a line counts as under the pointer.
    static constexpr int32_t kHitRadius = 4;

    XChartGraphMT(XChart& chart, XEvtMngr* mngr);

    bool OnGesture(XEvtInput& evt, int32_t gesture) override;

    XChartDrag GetDrag() const { return m_drag; }
    /// The rubber band (pixels, clipped to the plot area) while a band is dragged.
    const plat::Rect& GetBand() const { return m_band; }
    /// Whether a point of a line was under the pointer at the last move.
    bool IsOverPoint() const { return m_overPoint; }
    /// Ends a drag without its effect (Escape, a lost capture, the context menu); a moved
    /// point goes back where it was.
    void Cancel();

private:
    void Hover(NXPoint pt);
    void UpdateBand(NXPoint pt);
    void MovePoint(NXPoint pt);

    XChartDrag m_drag = XChartDrag::None;
    plat::Rect m_band;
    bool m_overPoint = false;
    int32_t m_dragLine = -1;
    int32_t m_dragRow = -1;
    double m_startX = 0.0; ///< where the dragged point was at the press
    double m_startY = 0.0;
};

/// Passes an axis tracker's gestures to its axis: a drag along the axis zooms it to the
/// dragged value interval, a click on the zoom handle shows the full range again, the wheel
/// zooms around the pointer. Only lines with lineZoomable react.
class XChartAxisZSCB : public XEvtHdlrCB
{
public:
    /// A wheel notch (120) scales the view by this factor (zooms in when turned away).
    static constexpr double kWheelFactor = 0.8;

    XChartAxisZSCB(XChartAxis& axis, XChartLine& line);
    bool OnGesture(XEvtHdlr& handler, XEvtInput& evt, int32_t gesture) override;

    /// While a zoom interval is dragged: its ends in pixels along the axis.
    bool IsDragging() const { return m_dragging; }
    double GetDragFrom() const { return m_from; }
    double GetDragTo() const { return m_to; }
    /// One step of the scrolling that runs while the pointer is held beyond an end of a
    /// zoomed axis during a drag; false when it should stop.
    bool AutoScroll();
    void Cancel();

private:
    double AlongAxis(NXPoint pt) const;
    void Changed();

    XChartAxis& m_axis;
    XChartLine& m_line;
    bool m_dragging = false;
    bool m_onHandle = false;
    double m_from = 0.0;
    double m_to = 0.0;
    double m_anchor = 0.0; ///< the value at the press, kept while the view scrolls
    ZTimer* m_timer = nullptr;
    friend class XChartAxisMT;
};

/// The axis timer: repeats the scrolling of a zoomed view while a drag is held beyond the
/// axis' end.
class XChartAxisTimerCB : public ZTimerCB
{
public:
    explicit XChartAxisTimerCB(XChartAxisZSCB& zs)
        : m_zs(zs)
    {
    }
    bool OnTimer(ZTimer& timer, uint32_t fireCount, uint32_t sinceStartMs,
                 uint32_t sincePreviousMs) override;

private:
    XChartAxisZSCB& m_zs;
};

/// The mouse tracker of one axis; it classifies the input and hands the gestures to the
/// axis' XChartAxisZSCB.
class XChartAxisMT : public XEvtHdlrGUI
{
public:
    /// Period of the scrolling while a drag is held beyond the axis' end.
    static constexpr uint32_t kScrollPeriodMs = 100;

    XChartAxisMT(XChartAxis& axis, XChartLine& line, XEvtMngr* mngr);
    ~XChartAxisMT() override;

    bool Input(XEvtInput& evt) override;
    XChartAxisZSCB& ZoomCB() { return m_zs; }
    const XChartAxisZSCB& ZoomCB() const { return m_zs; }
    ZTimer& Timer() { return m_timer; }

private:
    XChartAxisZSCB m_zs;
    XChartAxisTimerCB m_timerCB;
    ZTimer m_timer;
};

/// The chart's context-menu callback: the chosen entry's command is executed by the chart.
class XChartRBMenuCB : public XMenuPopUpCB
{
public:
    explicit XChartRBMenuCB(XChart& chart)
        : m_chart(&chart)
    {
    }
    bool OnMenuCmd(XMenuPopUp& menu, const XMenuPopUpEntry& entry, ZStr cmd, ZStr text,
                   ZStr options, int32_t id) override;

private:
    XChart* m_chart;
};
