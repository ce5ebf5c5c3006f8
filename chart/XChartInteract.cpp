// SPDX-License-Identifier: GPL-2.0-or-later
// The chart in its window: commands, the context menu, the cursor-values box, hit tests,
// selection, zoom and the routing of mouse input to the trackers.
#include "base/XEvt.h"
#include "base/XToolTipWnd.h"
#include "base/ZFile.h"
#include "chart/XChart.h"
#include "chart/XChartExport.h"
#include "chart/XChartMT.h"
#include "menu/XMenuPopUp.h"
#include "platform/Clipboard.h"
#include "platform/ClipboardImage.h"
#include "platform/DrawContext.h"
#include "platform/FileDialog.h"
#include "platform/Image.h"
#include "platform/Module.h"
#include "platform/Window.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// The cursor-values box uses the design's fixed-pitch face, so that the values line up.
constexpr const char* kCursorValuesFont = "Fixedsys";
constexpr int32_t kCursorValuesFontSize = 90;

// The library's pointer over a point of a line; the pointing hand of the platform when the
// resource library cannot be loaded.
const plat::Cursor& PointCursor()
{
    static const plat::Cursor cursor = [] {
        if (plat::Module* res = plat::Module::Load("QuillRES.dll")) {
            if (const plat::CursorImage* image = res->FindCursor("IDD_QUILL_HPOINT")) {
                return plat::Cursor::FromImage(*image);
            }
        }
        return plat::Cursor::Standard(plat::StdCursor::Hand);
    }();
    return cursor;
}

bool LineHasPoints(const XChartLine& line)
{
    const XChartLineType t = line.GetLineType();
    return t == XChartLineType::Line || t == XChartLineType::Point || t == XChartLineType::Bar;
}

plat::Point ToPoint(NXPoint p)
{
    return plat::Point{int(std::floor(p.x)), int(std::floor(p.y))};
}

// Squared distance from p to the segment a-b (pixels).
double SegmentDistance2(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax;
    const double dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    const double cx = ax + t * dx - px;
    const double cy = ay + t * dy - py;
    return cx * cx + cy * cy;
}

} // namespace

// ---- Commands ----------------------------------------------------------------------------

bool XChart::ExecCommand(ZStr name)
{
    if (m_host->Command(*this, name)) {
        m_cursorValuesNext = -1;
        return true;
    }
    if (name.Equals("DoCursorValues")) {
        const bool on = m_cursorValuesNext >= 0 ? m_cursorValuesNext == 1
                                                : !m_attrs.GetBool("cursorValues", false);
        m_cursorValuesNext = -1;
        SetCursorValues(on);
        return true;
    }
    m_cursorValuesNext = -1;
    if (name.Equals("DoCopyIMG")) {
        return CopyImage();
    }
    if (name.Equals("DoCopyXML")) {
        return CopyXML();
    }
    if (name.Equals("DoSaveXML")) {
        return SaveXML();
    }
    return false;
}

bool XChart::OpenContextMenu(NXPoint clientPt)
{
    if (m_wnd == nullptr || !m_wnd->IsCreated()) {
        return false;
    }
    ZString markup;
    if (!m_host->FillMenu(*this, markup)) {
        return false;
    }
    if (!m_menu) {
        m_menu = std::make_unique<XMenuPopUp>();
        m_menuCB = std::make_unique<XChartRBMenuCB>(*this);
    }
    const plat::Point screen = m_wnd->ClientToScreen(ToPoint(clientPt));
    return m_menu->Show(markup.Str(), m_wnd, NXPoint{double(screen.x), double(screen.y)},
                        XMenuButton::Right, m_menuCB.get());
}

bool XChart::CopyImage()
{
    if (m_wnd == nullptr || !m_wnd->IsCreated()) {
        return false;
    }
    const plat::Rect client = m_wnd->GetClientRect();
    if (client.Width() < 1 || client.Height() < 1) {
        return false;
    }
    // The picture is painted off screen through the same routine as the window; the last
    // paint's plot area (which the mouse works with) is kept, since the window shows it.
    const plat::Rect plot = m_plotRect;
    const plat::Rect title = m_titleRect;
    const plat::Image image = RenderChart(*this, client.Width(), client.Height());
    m_plotRect = plot;
    m_titleRect = title;
    return plat::CopyImageToClipboard(image);
}

bool XChart::CopyXML()
{
    ZString text;
    WriteXML(text, "XCHART", "aXChart", "XCHART", "", true);
    return plat::SetClipboardText(std::string(text.Text(), size_t(text.Length())));
}

bool XChart::SaveXML()
{
    ZString text;
    WriteXML(text, "XCHART", "a xchart", "XCHART", "  ", true);

    plat::SaveFileRequest req;
    req.title = "Save XML";
    req.fileName = std::string(m_fileName.Text(), size_t(m_fileName.Length()));
    req.folder = std::string(m_fileFolder.Text(), size_t(m_fileFolder.Length()));
    req.filters = {{"XChart", "*.xch"}, {"All", "*.*"}};
    const ZStr pattern = m_filePattern.Str();
    if (pattern.StartsWith("*.") && pattern.len > 2) {
        req.defaultExt.assign(pattern.ptr + 2, size_t(pattern.len - 2));
    }
    std::string path;
    if (!plat::SaveFileDialog(m_wnd, req, path) || path.empty()) {
        return false;
    }
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        m_fileFolder.Clear();
        m_fileName.Assign(path.c_str());
    } else {
        m_fileFolder.Assign(ZStr(path.c_str(), int32_t(slash == 0 ? 1 : slash)));
        m_fileName.Assign(path.c_str() + slash + 1);
    }
    int code = 0;
    if (ZReplaceFile(ZStr(path.c_str()), text.Str(), &code)) {
        return true;
    }
    std::string message = "The chart could not be saved as '" + path + "'";
    if (code != 0) {
        message += ": ";
        const ZString why = ZFileErrorText(code);
        message.append(why.Text(), size_t(why.Length()));
    }
    message += ".";
    plat::ShowMessageBox(m_wnd, message, "Save XML");
    return false;
}

// ---- Window ------------------------------------------------------------------------------

void XChart::AttachWindow(plat::Window* wnd, XEvtMngr* mngr)
{
    m_cursorValuesWnd.reset();
    m_chartMT.reset();
    m_graphMT.reset();
    m_wnd = wnd;
    m_mngr = mngr;
    if (wnd != nullptr) {
        m_chartMT = std::make_unique<XChartMT>(*this, mngr);
        m_graphMT = std::make_unique<XChartGraphMT>(*this, mngr);
        RebuildCursorValues();
    }
}

void XChart::RequestRepaint()
{
    if (m_wnd != nullptr && m_wnd->IsCreated()) {
        m_wnd->Invalidate();
    }
}

bool XChart::RouteInput(XEvtInput& evt)
{
    if (!m_graphMT) {
        return false;
    }
    // The axis (or zoom handle) under the pointer, of a shown line.
    XChartAxis* axis = nullptr;
    XChartLine* axisLine = nullptr;
    const plat::Point pt = ToPoint(evt.pos);
    for (int32_t i = 0; i < LineCount() && axis == nullptr; ++i) {
        XChartLine* line = Line(i);
        if (!line->GetBool("showLine", true)) {
            continue;
        }
        for (XChartAxis* a :
             {static_cast<XChartAxis*>(&line->AxisX()), static_cast<XChartAxis*>(&line->AxisY())}) {
            if (a->IsPlaced() && (a->GetAxisRect().Contains(pt) ||
                                  (a->Scale().zoomed && a->GetZoomHandleRect().Contains(pt)))) {
                axis = a;
                axisLine = line;
                break;
            }
        }
    }
    const bool inPlot = m_plotRect.Contains(pt);
    switch (evt.code) {
    case XInput::RButtonDown:
    case XInput::RButtonUp:
        return m_chartMT->Input(evt);
    case XInput::LButtonDown:
    case XInput::LButtonDblClk:
        if (axis != nullptr) {
            return axis->Tracker(*axisLine, m_mngr).Input(evt);
        }
        if (inPlot) {
            return m_graphMT->Input(evt);
        }
        return false;
    case XInput::MouseWheel:
        if (axis != nullptr) {
            return axis->Tracker(*axisLine, m_mngr).Input(evt);
        }
        if (inPlot && evt.wheelDelta != 0) {
            // The wheel over the plot area zooms both axes of every zoomable line around
            // the pointer.
            const double factor = std::pow(XChartAxisZSCB::kWheelFactor, evt.wheelDelta / 120.0);
            for (int32_t i = 0; i < LineCount(); ++i) {
                XChartLine* line = Line(i);
                if (line->GetBool("showLine", true) && line->GetBool("lineZoomable", true)) {
                    line->AxisX().ZoomAt(evt.pos.x, factor);
                    line->AxisY().ZoomAt(evt.pos.y, factor);
                }
            }
            return true;
        }
        return false;
    case XInput::MouseMove:
        return m_graphMT->Input(evt);
    case XInput::SetCursor: {
        plat::Cursor cursor;
        if (m_wnd != nullptr && PointerAt(evt.pos, cursor)) {
            m_wnd->SetCursor(cursor);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool XChart::PointerAt(NXPoint pos, plat::Cursor& cursor)
{
    const plat::Point pt = ToPoint(pos);
    if (m_graphMT && m_graphMT->GetDrag() == XChartDrag::Band) {
        cursor = plat::Cursor::Standard(plat::StdCursor::Cross);
        return true;
    }
    for (int32_t i = 0; i < LineCount(); ++i) {
        XChartLine* line = Line(i);
        if (!line->GetBool("showLine", true) || !line->GetBool("lineZoomable", true)) {
            continue;
        }
        for (XChartAxis* a :
             {static_cast<XChartAxis*>(&line->AxisX()), static_cast<XChartAxis*>(&line->AxisY())}) {
            if (!a->IsPlaced()) {
                continue;
            }
            if (a->Scale().zoomed && a->GetZoomHandleRect().Contains(pt)) {
                cursor = plat::Cursor::Standard(plat::StdCursor::Hand);
                return true;
            }
            if (a->GetAxisRect().Contains(pt)) {
                const bool horizontal = a->GetOrientation() == XChartAxis::Orientation::Horizontal;
                cursor = plat::Cursor::Standard(horizontal ? plat::StdCursor::SizeWE
                                                           : plat::StdCursor::SizeNS);
                return true;
            }
        }
    }
    if (!m_plotRect.Contains(pt)) {
        return false;
    }
    // The plot-area tracker found out at the last move whether a point is under the pointer;
    // with a million points that test is worth doing once per move.
    const bool overPoint = m_graphMT && m_graphMT->IsOverPoint();
    cursor = overPoint ? PointCursor() : plat::Cursor::Standard(plat::StdCursor::Cross);
    return true;
}

void XChart::PaintFeedback(plat::DrawContext& dc)
{
    // Drawn in white over black and in black over white alike: a dotted frame.
    const plat::Pen pen{plat::Rgb(255, 255, 255), 1, plat::PenStyle::Dot};
    if (m_graphMT && m_graphMT->GetDrag() == XChartDrag::Band && !m_graphMT->GetBand().IsEmpty()) {
        dc.SetPen(pen);
        dc.SetBrush(plat::Brush::Hollow());
        dc.Rectangle(m_graphMT->GetBand());
    }
    for (int32_t i = 0; i < LineCount(); ++i) {
        XChartLine* line = Line(i);
        for (XChartAxis* a :
             {static_cast<XChartAxis*>(&line->AxisX()), static_cast<XChartAxis*>(&line->AxisY())}) {
            const XChartAxisMT* mt = a->GetTracker();
            if (mt == nullptr || !mt->ZoomCB().IsDragging() || !a->IsPlaced() ||
                !mt->MovedBeyondThreshold(XEvtHdlrGUI::kLeft)) {
                continue;
            }
            // The interval being chosen, as a band across the plot area.
            const plat::Rect axisRect = a->GetAxisRect();
            const int32_t from = int32_t(std::lround(mt->ZoomCB().GetDragFrom()));
            const int32_t to = int32_t(std::lround(mt->ZoomCB().GetDragTo()));
            plat::Rect band;
            if (a->GetOrientation() == XChartAxis::Orientation::Horizontal) {
                band = plat::Rect{std::min(from, to), m_plotRect.top, std::max(from, to) + 1,
                                  m_plotRect.bottom};
                band = band.Intersect(
                    plat::Rect{axisRect.left, band.top, axisRect.right, band.bottom});
            } else {
                band = plat::Rect{m_plotRect.left, std::min(from, to), m_plotRect.right,
                                  std::max(from, to) + 1};
                band = band.Intersect(
                    plat::Rect{band.left, axisRect.top, band.right, axisRect.bottom});
            }
            dc.SetPen(pen);
            dc.SetBrush(plat::Brush::Hollow());
            dc.Rectangle(band);
        }
    }
}

// ---- Cursor values -----------------------------------------------------------------------

void XChart::SetCursorValues(bool on)
{
    m_attrs.SetBool("cursorValues", on);
    RebuildCursorValues();
}

void XChart::RebuildCursorValues()
{
    const bool on = m_attrs.GetBool("cursorValues", false);
    if (!on || m_wnd == nullptr || !m_wnd->IsCreated()) {
        m_cursorValuesWnd.reset();
        return;
    }
    if (!m_cursorValuesWnd) {
        m_cursorValuesWnd = std::make_unique<XToolTipWnd>();
        m_cursorValuesWnd->SetFont(kCursorValuesFont, kCursorValuesFontSize);
    }
    // Until the pointer moves over the plot area, the box shows the values at its centre.
    const plat::Rect p = m_plotRect;
    UpdateCursorValues(NXPoint{(p.left + p.right) / 2.0, (p.top + p.bottom) / 2.0});
}

namespace {

// The line's own value at x: linear between the two neighbouring points of the first segment
// that spans x. False when no segment does (x beyond the data, or a line without points).
bool ValueAt(const XChartLine& line, double x, double& y)
{
    const XRealArray& xs = line.Column(XChartColumn::X);
    const XRealArray& ys = line.Column(XChartColumn::Y);
    const int32_t n = std::min(xs.Count(), ys.Count());
    for (int32_t i = 0; i + 1 < n; ++i) {
        const double x0 = xs[i], x1 = xs[i + 1];
        if ((x0 <= x && x <= x1) || (x1 <= x && x <= x0)) {
            y = x1 == x0 ? ys[i] : ys[i] + (ys[i + 1] - ys[i]) * (x - x0) / (x1 - x0);
            return std::isfinite(y);
        }
    }
    return false;
}

// How the box names a line: its legend text when it has one, else its name.
ZString CursorName(const XChartLine& line)
{
    ZString legend = line.GetStr("legend");
    return legend.IsEmpty() ? ZString(line.GetName()) : legend;
}

} // namespace

ZString XChart::CursorValuesText(NXPoint clientPt) const
{
    int32_t longest = 0;
    for (int32_t i = 0; i < LineCount(); ++i) {
        if (Line(i)->GetBool("showLine", true)) {
            longest = std::max(longest, CursorName(*Line(i)).Length());
        }
    }
    ZString text;
    bool first = true;
    for (int32_t i = 0; i < LineCount(); ++i) {
        const XChartLine* line = Line(i);
        if (!line->GetBool("showLine", true)) {
            continue;
        }
        if (!first) {
            text.Append("\r\n");
        }
        first = false;
        const ZString name = CursorName(*line);
        text.Append(name);
        for (int32_t n = name.Length(); n < longest; ++n) {
            text.Append(' ');
        }
        // For the X under the pointer, the line's own Y value where its data reach that far:
        // lines drawn on one scale then show their own values, not the pointer's height.
        const double x = line->AxisX().Scale().PixelToValue(clientPt.x);
        double y = 0.0;
        if (!ValueAt(*line, x, y)) {
            y = line->AxisY().Scale().PixelToValue(clientPt.y);
        }
        text.AppendFormat(" x=%g y=%g", x, y);
    }
    return text;
}

void XChart::UpdateCursorValues(NXPoint clientPt)
{
    if (!m_cursorValuesWnd || m_wnd == nullptr || !m_wnd->IsCreated()) {
        return;
    }
    NXPoint offset{10.0, 10.0};
    m_attrs.GetPoint("cursorValuesPos", offset);
    const plat::Point corner{m_plotRect.left + int(std::lround(offset.x)),
                             m_plotRect.top + int(std::lround(offset.y))};
    m_cursorValuesWnd->SetText(CursorValuesText(clientPt).Str());
    if (m_wnd->IsVisible()) {
        m_cursorValuesWnd->ShowAt(m_wnd->ClientToScreen(corner));
    }
}

// ---- Selection, hit tests and zoom -------------------------------------------------------

void XChart::SelectLine(int32_t line)
{
    if (line >= LineCount()) {
        line = -1;
    }
    if (line >= 0 && (!m_attrs.GetBool("linesSelectable", false) ||
                      !Line(line)->GetBool("lineSelectable", true))) {
        line = -1;
    }
    if (line == m_selectedLine) {
        return;
    }
    if (m_selectedLine >= 0) {
        Line(m_selectedLine)->SetSelected(false);
    }
    m_selectedLine = line;
    if (line >= 0) {
        Line(line)->SetSelected(true);
    }
    m_host->LineSelected(*this, line);
    RequestRepaint();
}

bool XChart::HitPointOf(int32_t index, NXPoint pt, int32_t radius, int32_t& row) const
{
    row = -1;
    if (index < 0 || index >= LineCount()) {
        return false;
    }
    const XChartLine& line = *Line(index);
    if (!line.GetBool("showLine", true) || !LineHasPoints(line)) {
        return false;
    }
    const XChartScale& sx = line.AxisX().Scale();
    const XChartScale& sy = line.AxisY().Scale();
    const XRealArray& xs = line.Column(XChartColumn::X);
    const XRealArray& ys = line.Column(XChartColumn::Y);
    const int32_t n = std::min(line.PointCount(), std::min(xs.Count(), ys.Count()));
    const double r2 = double(radius) * double(radius);
    double best = r2;
    for (int32_t i = 0; i < n; ++i) {
        const double dx = sx.ValueToPixel(xs[i]) - pt.x;
        if (!(std::fabs(dx) <= radius)) {
            continue; // also skips values that map to no pixel
        }
        const double dy = sy.ValueToPixel(ys[i]) - pt.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 <= best) {
            best = d2;
            row = i;
        }
    }
    return row >= 0;
}

bool XChart::HitPoint(NXPoint pt, int32_t radius, int32_t& line, int32_t& row) const
{
    line = -1;
    row = -1;
    if (!m_plotRect.Contains(ToPoint(pt))) {
        return false;
    }
    // The nearest point of all lines; a later line wins a tie, as it is drawn on top.
    double best = -1.0;
    for (int32_t i = 0; i < LineCount(); ++i) {
        int32_t r = -1;
        if (!HitPointOf(i, pt, radius, r)) {
            continue;
        }
        const XChartLine& l = *Line(i);
        const double dx = l.AxisX().Scale().ValueToPixel(l.Column(XChartColumn::X)[r]) - pt.x;
        const double dy = l.AxisY().Scale().ValueToPixel(l.Column(XChartColumn::Y)[r]) - pt.y;
        const double d2 = dx * dx + dy * dy;
        if (best < 0.0 || d2 <= best) {
            best = d2;
            line = i;
            row = r;
        }
    }
    return line >= 0;
}

bool XChart::HitLine(NXPoint pt, int32_t radius, int32_t& line) const
{
    int32_t row = -1;
    if (HitPoint(pt, radius, line, row)) {
        return true;
    }
    line = -1;
    if (!m_plotRect.Contains(ToPoint(pt))) {
        return false;
    }
    const double r2 = double(radius) * double(radius);
    for (int32_t i = LineCount() - 1; i >= 0; --i) {
        const XChartLine& l = *Line(i);
        if (!l.GetBool("showLine", true) || l.GetLineType() != XChartLineType::Line) {
            continue;
        }
        const XChartScale& sx = l.AxisX().Scale();
        const XChartScale& sy = l.AxisY().Scale();
        const XRealArray& xs = l.Column(XChartColumn::X);
        const XRealArray& ys = l.Column(XChartColumn::Y);
        const int32_t n = std::min(l.PointCount(), std::min(xs.Count(), ys.Count()));
        for (int32_t k = 1; k < n; ++k) {
            const double ax = sx.ValueToPixel(xs[k - 1]);
            const double bx = sx.ValueToPixel(xs[k]);
            if ((ax < pt.x - radius && bx < pt.x - radius) ||
                (ax > pt.x + radius && bx > pt.x + radius)) {
                continue;
            }
            const double ay = sy.ValueToPixel(ys[k - 1]);
            const double by = sy.ValueToPixel(ys[k]);
            if (SegmentDistance2(pt.x, pt.y, ax, ay, bx, by) <= r2) {
                line = i;
                return true;
            }
        }
    }
    return false;
}

void XChart::ZoomToRect(const plat::Rect& r)
{
    for (int32_t i = 0; i < LineCount(); ++i) {
        XChartLine* line = Line(i);
        if (!line->GetBool("showLine", true) || !line->GetBool("lineZoomable", true)) {
            continue;
        }
        line->AxisX().ZoomToPixels(r.left, r.right - 1);
        line->AxisY().ZoomToPixels(r.bottom - 1, r.top);
    }
}
