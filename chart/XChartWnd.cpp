// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartWnd.h"

#include "chart/XChart.h"
#include "platform/DrawContext.h"

XChartWnd::XChartWnd() = default;

XChartWnd::~XChartWnd()
{
    // The chart's trackers belong to this window's event manager: they go first.
    SetChart(nullptr);
}

XChart& XChartWnd::Chart()
{
    if (!m_chart) {
        SetChart(std::make_unique<XChart>());
    }
    return *m_chart;
}

void XChartWnd::SetChart(std::unique_ptr<XChart> chart)
{
    if (m_chart) {
        m_chart->AttachWindow(nullptr, nullptr);
    }
    m_chart = std::move(chart);
    if (m_chart) {
        m_chart->AttachWindow(this, &GetMngr());
    }
    if (IsCreated()) {
        Invalidate();
    }
}

bool XChartWnd::OnPaint(plat::Window&, plat::DrawContext& dc, const plat::Rect&)
{
    if (!m_chart) {
        return false;
    }
    const plat::Rect client = GetClientRect();
    NXRect area;
    area.x = client.left;
    area.y = client.top;
    area.width = client.Width();
    area.height = client.Height();
    m_chart->Paint(dc, area);
    m_chart->PaintFeedback(dc);
    return true;
}

bool XChartWnd::OnInput(XEvtInput& evt, int32_t)
{
    if (!m_chart) {
        return false;
    }
    // The window's own handler has seen the press; the tracker the chart hands it to owns
    // the gesture from here, so the window's handler forgets it.
    if (evt.code == XInput::LButtonDown || evt.code == XInput::LButtonDblClk) {
        GetDefaultHandler().ResetButton(XEvtHdlrGUI::kLeft);
    } else if (evt.code == XInput::RButtonDown) {
        GetDefaultHandler().ResetButton(XEvtHdlrGUI::kRight);
    }
    return m_chart->RouteInput(evt);
}

bool XChartWnd::OnWindowMessage(const plat::Message& msg)
{
    if (msg.kind == plat::Msg::Size) {
        Invalidate();
        return false;
    }
    return false;
}
