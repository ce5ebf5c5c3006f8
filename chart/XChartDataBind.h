// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XDataBind.h"

class XChartWnd;

/// The binder of a chart window: paths "opt.ATTR" (a chart attribute, as text),
/// "line.NAME[.SUB...].ATTR" (a line attribute, as text), "line.NAME[.SUB...].x" (y, w, h:
/// the X, Y, X2, Y2 column, copied as an array of doubles) and the same with "xRef", "yRef",
/// "wRef", "hRef" (the column reads the caller's array itself from then on).
class XChartDataBinder : public XDataBinder
{
public:
    /// wnd must outlive the binder.
    explicit XChartDataBinder(XChartWnd& wnd)
        : m_wnd(wnd)
    {
    }
    std::unique_ptr<XDataBind> Lookup(ZStr path) override;

private:
    XChartWnd& m_wnd;
};

/// One binding of a chart path. Exchanges text and arrays of doubles; every other kind fails
/// with "not implemented". A write repaints the chart window.
class XChartDataBind : public XDataBind
{
public:
    XChartDataBind(XChartDataBinder& binder, ZStr path, XChartWnd& wnd)
        : XDataBind(binder, path, path)
        , m_wnd(wnd)
    {
    }
    bool Exchange(XDataDir dir, const XValueRef& ref) override;

private:
    bool ExchangeTarget(XDataDir dir, const XValueRef& ref);
    XChartWnd& m_wnd;
};
