// SPDX-License-Identifier: GPL-2.0-or-later
// The chart's mouse trackers: the chart window (context menu), the plot area (hover, rubber
// band, selection, point dragging) and the axes (zoom), and the context-menu callback.
#include "chart/XChartMT.h"

#include "chart/XChart.h"
#include "chart/XChartAxis.h"
#include "chart/XChartLine.h"
#include "menu/XMenuPopUp.h"
#include "platform/Messages.h"

#include <algorithm>
#include <cmath>

namespace {

// Gestures of XEvtHdlrGUI::Classify.
constexpr int32_t kNone = 0;
constexpr int32_t kReset = 1;
constexpr int32_t kLeftPress = 2;
constexpr int32_t kLeftRelease = 3;
constexpr int32_t kMove = 4;
constexpr int32_t kLeftDrag = 5;
constexpr int32_t kRightPress = 7;
constexpr int32_t kWheel = 11;

bool IsKey(const XEvtInput& evt, uint32_t vk)
{
    return evt.code == XInput::KeyDown && evt.key == vk;
}

} // namespace

// ---- Chart window ------------------------------------------------------------------------

XChartMT::XChartMT(XChart& chart, XEvtMngr* mngr)
    : XEvtHdlrGUI(mngr)
    , m_chart(chart)
{
}

bool XChartMT::Input(XEvtInput& evt)
{
    const int32_t gesture = Classify(evt);
    return OnGesture(evt, gesture);
}

bool XChartMT::OnGesture(XEvtInput& evt, int32_t gesture)
{
    switch (gesture) {
    case kRightPress: {
        // The menu runs its own loop and takes the release with it: the gesture ends here,
        // so that the next right press opens the menu again.
        ResetButton(kRight);
        ActivateSlot(false, &evt, XEvtGUI::kSlotPointer);
        m_chart.OpenContextMenu(evt.pos);
        return true;
    }
    case kNone:
        return false;
    default:
        return true;
    }
}

// ---- Plot area ---------------------------------------------------------------------------

XChartGraphMT::XChartGraphMT(XChart& chart, XEvtMngr* mngr)
    : XChartMT(chart, mngr)
{
}

void XChartGraphMT::Hover(NXPoint pt)
{
    int32_t line = -1;
    int32_t row = -1;
    m_overPoint = m_chart.HitPoint(pt, kHitRadius, line, row);
    if (m_chart.GetPlotRect().Contains(plat::Point{int(pt.x), int(pt.y)})) {
        m_chart.UpdateCursorValues(pt);
    }
}

void XChartGraphMT::UpdateBand(NXPoint pt)
{
    const NXPoint a = PressPoint(kLeft);
    const plat::Rect plot = m_chart.GetPlotRect();
    const int32_t x0 = int32_t(std::lround(std::min(a.x, pt.x)));
    const int32_t x1 = int32_t(std::lround(std::max(a.x, pt.x)));
    const int32_t y0 = int32_t(std::lround(std::min(a.y, pt.y)));
    const int32_t y1 = int32_t(std::lround(std::max(a.y, pt.y)));
    m_band = plat::Rect{x0, y0, x1 + 1, y1 + 1}.Intersect(plot);
    m_chart.RequestRepaint();
}

void XChartGraphMT::MovePoint(NXPoint pt)
{
    if (m_dragLine < 0 || m_dragLine >= m_chart.LineCount()) {
        return;
    }
    XChartLine& line = *m_chart.Line(m_dragLine);
    XRealArray& xs = line.X();
    XRealArray& ys = line.Y();
    if (m_dragRow < 0 || m_dragRow >= xs.Count() || m_dragRow >= ys.Count()) {
        return;
    }
    // The point goes where the pointer is, in the line's own data units; the pointer is
    // kept inside the plot area so that the point cannot be thrown off the scale.
    const plat::Rect plot = m_chart.GetPlotRect();
    const double px = std::max(double(plot.left), std::min(pt.x, double(plot.right - 1)));
    const double py = std::max(double(plot.top), std::min(pt.y, double(plot.bottom - 1)));
    const double x = line.AxisX().Scale().PixelToValue(px);
    const double y = line.AxisY().Scale().PixelToValue(py);
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    xs[m_dragRow] = x;
    ys[m_dragRow] = y;
    line.SetChanged();
}

void XChartGraphMT::Cancel()
{
    if (m_drag == XChartDrag::Point && MovedBeyondThreshold(kLeft) && m_dragLine >= 0 &&
        m_dragLine < m_chart.LineCount()) {
        // A cancelled point drag puts the point back where it was.
        XChartLine& line = *m_chart.Line(m_dragLine);
        if (m_dragRow < line.X().Count() && m_dragRow < line.Y().Count()) {
            line.X()[m_dragRow] = m_startX;
            line.Y()[m_dragRow] = m_startY;
            line.SetChanged();
        }
    }
    m_drag = XChartDrag::None;
    m_band = plat::Rect{};
    m_dragLine = -1;
    m_dragRow = -1;
    ResetButton(kLeft);
    ActivateSlot(false, nullptr, XEvtGUI::kSlotPointer);
    m_chart.RequestRepaint();
}

bool XChartGraphMT::OnGesture(XEvtInput& evt, int32_t gesture)
{
    switch (gesture) {
    case kMove:
        Hover(evt.pos);
        return true;
    case kLeftPress: {
        m_drag = XChartDrag::Band;
        m_band = plat::Rect{};
        m_dragLine = -1;
        m_dragRow = -1;
        int32_t line = -1;
        int32_t row = -1;
        const int32_t selected = m_chart.GetSelectedLine();
        if (selected >= 0 && m_chart.Line(selected)->GetBool("lineEditable", false) &&
            m_chart.HitPointOf(selected, evt.pos, kHitRadius, row)) {
            m_drag = XChartDrag::Point;
            m_dragLine = selected;
            m_dragRow = row;
            XChartLine& dragged = *m_chart.Line(selected);
            m_startX = dragged.X()[row];
            m_startY = dragged.Y()[row];
        } else if (m_chart.HitLine(evt.pos, kHitRadius, line)) {
            m_dragLine = line; // selected on release when the press did not become a drag
        }
        return true;
    }
    case kLeftDrag:
        if (MovedBeyondThreshold(kLeft)) {
            if (m_drag == XChartDrag::Point) {
                MovePoint(evt.pos);
            } else if (m_drag == XChartDrag::Band) {
                UpdateBand(evt.pos);
            }
        }
        Hover(evt.pos);
        return true;
    case kLeftRelease: {
        const XChartDrag drag = m_drag;
        const bool moved = MovedBeyondThreshold(kLeft);
        const plat::Rect band = m_band;
        const int32_t line = m_dragLine;
        const int32_t row = m_dragRow;
        m_drag = XChartDrag::None;
        m_band = plat::Rect{};
        m_dragLine = -1;
        m_dragRow = -1;
        if (!moved) {
            // A click: select the line under the pointer, or clear the selection.
            if (drag == XChartDrag::Point) {
                m_chart.SelectLine(line);
            } else {
                m_chart.SelectLine(line >= 0 ? line : -1);
            }
            return true;
        }
        if (drag == XChartDrag::Point) {
            MovePoint(evt.pos);
            m_chart.GetHost()->PointMoved(m_chart, line, row);
        } else if (band.Width() > 1 && band.Height() > 1) {
            m_chart.ZoomToRect(band);
        }
        m_chart.RequestRepaint();
        return true;
    }
    case kReset:
        Cancel();
        return true;
    case kRightPress:
        // The context menu ends a drag in progress; it would lose the release.
        if (m_drag != XChartDrag::None) {
            Cancel();
        }
        return XChartMT::OnGesture(evt, gesture);
    case kNone:
        if (IsKey(evt, plat::VK::kEscape) && m_drag != XChartDrag::None) {
            Cancel();
            return true;
        }
        if (evt.code == XInput::CaptureChanged && m_drag != XChartDrag::None) {
            Cancel();
            return true;
        }
        return XChartMT::OnGesture(evt, gesture);
    default:
        return XChartMT::OnGesture(evt, gesture);
    }
}

// ---- Axis --------------------------------------------------------------------------------

XChartAxisZSCB::XChartAxisZSCB(XChartAxis& axis, XChartLine& line)
    : m_axis(axis)
    , m_line(line)
{
}

double XChartAxisZSCB::AlongAxis(NXPoint pt) const
{
    return m_axis.GetOrientation() == XChartAxis::Orientation::Horizontal ? pt.x : pt.y;
}

void XChartAxisZSCB::Changed()
{
    if (XChart* chart = m_line.GetChart()) {
        chart->RequestRepaint();
    }
}

void XChartAxisZSCB::Cancel()
{
    const bool was = m_dragging;
    m_dragging = false;
    m_onHandle = false;
    if (m_timer) {
        m_timer->Stop();
    }
    if (was) {
        Changed();
    }
}

bool XChartAxisZSCB::AutoScroll()
{
    if (!m_dragging || !m_axis.Scale().zoomed) {
        return false;
    }
    const XChartScale& s = m_axis.Scale();
    const double dir = s.pixelEnd >= s.pixelStart ? 1.0 : -1.0;
    double fraction = 0.0;
    if ((m_to - s.pixelEnd) * dir > 0.0) {
        fraction = 0.1;
    } else if ((s.pixelStart - m_to) * dir > 0.0) {
        fraction = -0.1;
    }
    return fraction != 0.0 && m_axis.ScrollView(fraction);
}

bool XChartAxisZSCB::OnGesture(XEvtHdlr& handler, XEvtInput& evt, int32_t gesture)
{
    auto& gui = static_cast<XEvtHdlrGUI&>(handler);
    if (gesture == kNone) {
        if ((IsKey(evt, plat::VK::kEscape) || evt.code == XInput::CaptureChanged) && m_dragging) {
            Cancel();
            gui.ResetButton(XEvtHdlrGUI::kLeft);
            gui.ActivateSlot(false, &evt, XEvtGUI::kSlotPointer);
            return true;
        }
        return false;
    }
    // A line that may not be zoomed takes the gestures and changes nothing.
    if (!m_line.GetBool("lineZoomable", true)) {
        return true;
    }
    const XChartScale& s = m_axis.Scale();
    switch (gesture) {
    case kLeftPress: {
        m_from = m_to = AlongAxis(evt.pos);
        m_anchor = s.PixelToValue(m_from);
        m_onHandle = s.zoomed && m_axis.GetZoomHandleRect().Contains(plat::Point{
                                     int(std::floor(evt.pos.x)), int(std::floor(evt.pos.y))});
        m_dragging = !m_onHandle;
        return true;
    }
    case kLeftDrag:
        if (m_dragging) {
            m_to = AlongAxis(evt.pos);
            if (gui.MovedBeyondThreshold(XEvtHdlrGUI::kLeft)) {
                Changed();
                if (m_timer && !m_timer->IsRunning() && s.zoomed) {
                    const double dir = s.pixelEnd >= s.pixelStart ? 1.0 : -1.0;
                    if ((m_to - s.pixelEnd) * dir > 0.0 || (s.pixelStart - m_to) * dir > 0.0) {
                        m_timer->Start(XChartAxisMT::kScrollPeriodMs, 0);
                    }
                }
            }
        }
        return true;
    case kLeftRelease: {
        const bool moved = gui.MovedBeyondThreshold(XEvtHdlrGUI::kLeft);
        const bool onHandle = m_onHandle;
        const bool dragging = m_dragging;
        m_to = AlongAxis(evt.pos);
        Cancel();
        if (onHandle && !moved) {
            m_axis.ZoomFull();
        } else if (dragging && moved) {
            // The released end is kept on the axis; the pressed end is the value it had at
            // the press, which stays right while the view scrolls under a held drag.
            const double lo = std::min(s.pixelStart, s.pixelEnd);
            const double hi = std::max(s.pixelStart, s.pixelEnd);
            const double to = s.PixelToValue(std::max(lo, std::min(m_to, hi)));
            m_axis.ZoomToValues(m_anchor, to);
        }
        return true;
    }
    case kWheel: {
        if (evt.wheelDelta == 0) {
            return true;
        }
        const double factor = std::pow(kWheelFactor, double(evt.wheelDelta) / 120.0);
        m_axis.ZoomAt(AlongAxis(evt.pos), factor);
        return true;
    }
    case kReset:
        Cancel();
        return true;
    default:
        return true;
    }
}

bool XChartAxisTimerCB::OnTimer(ZTimer&, uint32_t, uint32_t, uint32_t)
{
    return m_zs.AutoScroll();
}

XChartAxisMT::XChartAxisMT(XChartAxis& axis, XChartLine& line, XEvtMngr* mngr)
    : XEvtHdlrGUI(mngr)
    , m_zs(axis, line)
    , m_timerCB(m_zs)
    , m_timer(m_timerCB, kScrollPeriodMs, 0)
{
    m_zs.m_timer = &m_timer;
}

XChartAxisMT::~XChartAxisMT()
{
    m_timer.Stop();
}

bool XChartAxisMT::Input(XEvtInput& evt)
{
    const int32_t gesture = Classify(evt);
    return m_zs.OnGesture(*this, evt, gesture);
}

// ---- Context menu ------------------------------------------------------------------------

bool XChartRBMenuCB::OnMenuCmd(XMenuPopUp&, const XMenuPopUpEntry& entry, ZStr cmd, ZStr, ZStr,
                               int32_t)
{
    if (cmd.Equals("DoCursorValues")) {
        // The box follows the check mark the user saw: on when it was not checked.
        m_chart->SetCursorValuesFromMenu(!entry.IsChecked());
    }
    return m_chart->ExecCommand(cmd);
}
