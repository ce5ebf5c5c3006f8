// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XEvtWnd.h"

#include <memory>

class XChart;

/// The window that shows a chart. It paints the chart into its client area, passes mouse
/// input to the chart's trackers (plot area, axes, context menu) and owns the chart: the host
/// makes it (SetChart, or Chart() on first use) and it is destroyed with the window.
class XChartWnd : public XEvtWnd
{
public:
    XChartWnd();
    ~XChartWnd() override;

    /// The chart shown, or null while the host has made none.
    XChart* GetChart() const { return m_chart.get(); }
    /// The chart shown, made empty on first use.
    XChart& Chart();
    /// Shows chart (owned from now on; null shows nothing), destroying the one shown before.
    void SetChart(std::unique_ptr<XChart> chart);

    /// Paints the chart into the client rectangle, then what a gesture in progress shows.
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override;
    /// Mouse input goes to the chart's trackers.
    bool OnInput(XEvtInput& evt, int32_t gesture) override;
    /// A new size repaints the whole chart; a destroyed window leaves the chart detached.
    bool OnWindowMessage(const plat::Message& msg) override;

private:
    std::unique_ptr<XChart> m_chart;
};
