// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "base/ZString.h"

#include <cstdint>

class XChart;
class XChartAxis;
class XChartLine;

namespace plat {
class DrawContext;
}

/// How a chart reports to its host. Every operation has a harmless default, so a host
/// overrides only what it needs; a chart without a host uses a shared default instance.
class XChartCB
{
public:
    virtual ~XChartCB() = default;
    /// The chart's model changed (a line's data or view); the host may repaint.
    virtual void ChartChanged(XChart&) {}
    /// The user selected line number line (-1: none).
    virtual void LineSelected(XChart&, int32_t /*line*/) {}
    /// Called with 1 before a chart whose show flag is set is drawn and with 0 after it.
    virtual void Drawing(XChart&, int32_t /*state*/) {}
    /// Sees every command first; true when the host handled it (the chart then does nothing).
    virtual bool Command(XChart&, ZStr /*name*/) { return false; }
    /// Fills the context menu markup; the default lets the chart write its own entries.
    virtual bool FillMenu(XChart& chart, ZString& markup);
    /// The user moved point row of line number line.
    virtual void PointMoved(XChart&, int32_t /*line*/, int32_t /*row*/) {}
    /// The cursor to show over the plot area: 0 for the chart's own choice.
    virtual int32_t QueryCursor(XChart&, int32_t /*line*/) { return 0; }

    /// The shared instance whose operations keep their defaults.
    static XChartCB& Default();
};

/// How a line reports a change to its chart.
class XChartLineCB
{
public:
    virtual ~XChartLineCB() = default;
    /// line's data, attributes or view changed.
    virtual void LineChanged(XChartLine& line) = 0;

    /// A shared instance that does nothing, for lines without a chart.
    static XChartLineCB& None();
};

/// The chart's implementation: a changed line makes the chart tell its observers and its
/// host, so that a window showing the chart repaints it at once.
class XChartChartLineCB : public XChartLineCB
{
public:
    explicit XChartChartLineCB(XChart& chart)
        : m_chart(chart)
    {
    }
    void LineChanged(XChartLine& line) override;

private:
    XChart& m_chart;
};

/// How an axis reports a change of its view (zoom, scroll) to its line.
class XChartAxisCB
{
public:
    virtual ~XChartAxisCB() = default;
    virtual void AxisChanged(XChartAxis& axis) = 0;

    /// A shared instance that does nothing, for axes without a line.
    static XChartAxisCB& None();
};

/// The line's implementation: forwards an axis change to the line's chart.
class XChartLineAxisCB : public XChartAxisCB
{
public:
    explicit XChartLineAxisCB(XChartLine& line)
        : m_line(line)
    {
    }
    void AxisChanged(XChartAxis& axis) override;

private:
    XChartLine& m_line;
};

/// A hook every line calls around drawing its data (before with phase 0, after with phase
/// 1). The library's own instance does nothing; a derived class may draw decorations.
class XChartDL_CL
{
public:
    virtual ~XChartDL_CL() = default;
    virtual void DrawLine(XChart*, XChartLine*, plat::DrawContext*, int32_t /*phase*/) {}
};

/// The result of a hit test on line points: where a point was found.
class XPath2DR
{
public:
    virtual ~XPath2DR() = default;
    /// Stores a found position (data values) and whether anything was found.
    virtual void Found(double foundX, double foundY, bool isFound)
    {
        x = foundX;
        y = foundY;
        found = isFound;
    }
    /// Passes a position on to Found; derived results may filter or transform first.
    virtual void Forward(double px, double py, bool hit) { Found(px, py, hit); }

    double x = 0.0;
    double y = 0.0;
    bool found = false;
};
