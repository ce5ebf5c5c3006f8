// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartLine.h"

#include "chart/XChart.h"

#include <algorithm>
#include <cmath>

namespace {

struct TypeName
{
    XChartLineType type;
    const char* keyword;
};

constexpr TypeName kTypeNames[] = {
    {XChartLineType::Line, "line"},
    {XChartLineType::Point, "point"},
    {XChartLineType::Bar, "bar"},
    {XChartLineType::Histogram, "histogram"},
    {XChartLineType::Object, "object"},
    {XChartLineType::DrawPath, "drawPath"},
    {XChartLineType::HigLowClose, "higLowClose"},
    {XChartLineType::TimeLine, "timeLine"},
};

// The columns each line type reads, in the order the chart file writes them.
int32_t TypeColumns(XChartLineType type, XChartColumn* out)
{
    using C = XChartColumn;
    int32_t n = 0;
    auto add = [&](C c) { out[n++] = c; };
    switch (type) {
    case XChartLineType::Line:
    case XChartLineType::Point:
    case XChartLineType::Bar:
        add(C::X);
        add(C::Y);
        break;
    case XChartLineType::Histogram:
        add(C::Y);
        break;
    case XChartLineType::Object:
        add(C::X);
        add(C::Y);
        add(C::X2);
        add(C::Y2);
        break;
    case XChartLineType::DrawPath:
        add(C::PathCode);
        add(C::X);
        add(C::Y);
        add(C::X2);
        add(C::Y2);
        add(C::PathIndex);
        break;
    case XChartLineType::HigLowClose:
        add(C::X);
        add(C::High);
        add(C::Low);
        add(C::Open);
        add(C::Close);
        break;
    case XChartLineType::TimeLine:
        break;
    }
    return n;
}

} // namespace

int32_t ChartLineColumns(XChartLineType type, XChartColumn* out)
{
    return TypeColumns(type, out);
}

const char* LineTypeKeyword(XChartLineType type)
{
    for (const TypeName& t : kTypeNames) {
        if (t.type == type) {
            return t.keyword;
        }
    }
    return "line";
}

bool LineTypeFromKeyword(ZStr keyword, XChartLineType& type, TimeLineKeyword timeLine)
{
    for (const TypeName& t : kTypeNames) {
        if (keyword.Equals(ZStr(t.keyword))) {
            if (t.type == XChartLineType::TimeLine && timeLine == TimeLineKeyword::Refuse) {
                return false;
            }
            type = t.type;
            return true;
        }
    }
    return false;
}

// ---- Bounds ------------------------------------------------------------------------------

void XChartBounds::Add(double x, double y)
{
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    if (!valid) {
        xLo = xHi = x;
        yLo = yHi = y;
        valid = true;
        return;
    }
    xLo = std::min(xLo, x);
    xHi = std::max(xHi, x);
    yLo = std::min(yLo, y);
    yHi = std::max(yHi, y);
}

// ---- Line --------------------------------------------------------------------------------

XChartLine::XChartLine(ZStr name, XChart* chart, XChartLineCB& cb)
    : XObserver(name)
    , m_chart(chart)
    , m_cb(&cb)
    , m_axisCB(*this)
    , m_axisX(m_axisCB)
    , m_axisY(m_axisCB)
    , m_drawHook(std::make_unique<XChartDL_CL>())
{
    for (int32_t i = 0; i < kChartColumnCount; ++i) {
        m_columns[i] = &m_own[i];
    }
    m_attrs.Reset(lineAttrTable());
}

XChartLine::~XChartLine() = default;

bool XChartLine::SetAttr(ZStr name, ZStr text, ZStr type)
{
    if (name.Equals("lineType")) {
        XChartLineType t = m_type;
        if (!m_attrs.Has(name) || !LineTypeFromKeyword(text, t)) {
            return false;
        }
        m_type = t;
    }
    return m_attrs.Set(name, text, type);
}

void XChartLine::ResetAttributes()
{
    m_attrs.Reset(lineAttrTable());
    m_type = XChartLineType::Line;
}

void XChartLine::MergeAttributes(const XChartAttrs& defaults)
{
    m_attrs.Merge(defaults);
    XChartLineType t = XChartLineType::Line;
    if (LineTypeFromKeyword(m_attrs.GetStr("lineType"), t)) {
        m_type = t;
    } else {
        // A default type the line cannot take is not kept, so text and number agree.
        m_attrs.SetStr("lineType", LineTypeKeyword(m_type));
    }
}

void XChartLine::SetNiceAxisStart(XChartAxis::Orientation axis, bool on)
{
    const char* name =
        axis == XChartAxis::Orientation::Horizontal ? "niceAxisStartX" : "niceAxisStartY";
    // Not a name of the line table: the line's store takes it in, and because the table does
    // not know it the chart file always writes it, so a file keeps its nice start.
    ZString text;
    XChartAttrs::BoolText(on, text);
    m_attrs.Define(name, text, XChartType::kBool);
}

void XChartLine::SetLineType(XChartLineType type)
{
    m_type = type;
    m_attrs.SetStr("lineType", LineTypeKeyword(type));
}

bool XChartLine::BindColumn(XChartColumn c, XRealArray* data)
{
    if (c == XChartColumn::Counts) {
        return false;
    }
    const int32_t i = int32_t(c);
    m_columns[i] = data ? data : &m_own[i];
    return true;
}

int32_t XChartLine::PointCount() const
{
    XChartColumn cols[6];
    const int32_t n = TypeColumns(m_type, cols);
    if (n == 0) {
        return 0;
    }
    // Columns that are stored but not drawn (open values, path indices) do not limit the
    // points.
    int32_t count = INT32_MAX;
    for (int32_t i = 0; i < n; ++i) {
        if (cols[i] != XChartColumn::Open && cols[i] != XChartColumn::PathIndex) {
            count = std::min(count, Column(cols[i]).Count());
        }
    }
    return count;
}

void XChartLine::SetChanged()
{
    m_changed = true;
    m_cb->LineChanged(*this);
}

int32_t XChartLine::FindSubLine(ZStr name) const
{
    return m_subLines.Find(name);
}

int32_t XChartLine::GetOrAddSubLine(ZStr name)
{
    return m_subLines.FindOrAdd(name,
                                [&] { return std::make_unique<XChartLine>(name, m_chart, *m_cb); });
}

void XChartLine::SetDrawHook(std::unique_ptr<XChartDL_CL> hook)
{
    m_drawHook = hook ? std::move(hook) : std::make_unique<XChartDL_CL>();
}

// ---- Preparing for a paint ---------------------------------------------------------------

void XChartLine::Prepare(int32_t depth)
{
    m_axisX.LoadAttributes(m_attrs);
    m_axisY.LoadAttributes(m_attrs);
    if (m_attrs.GetBool("noXData", false)) {
        XRealArray& own = m_own[int32_t(XChartColumn::X)];
        const int32_t n = Column(XChartColumn::Y).Count();
        // Without memory for the counted X values the line keeps the X column it had.
        if (own.SetSize(n)) {
            for (int32_t i = 0; i < n; ++i) {
                own[i] = double(i + 1);
            }
            m_columns[int32_t(XChartColumn::X)] = &own;
        }
    }
    if (m_type == XChartLineType::Histogram) {
        ComputeBins();
    }
    ComputeBounds();
    if (m_type == XChartLineType::DrawPath && depth < XChartDrawBudget::kMaxDepth) {
        for (int32_t i = 0; i < m_subLines.Count(); ++i) {
            m_subLines[i]->Prepare(depth + 1);
        }
    }
}

void XChartLine::ComputeBins()
{
    const XRealArray& y = Column(XChartColumn::Y);
    XRealArray& counts = m_own[int32_t(XChartColumn::Counts)];
    XRealArray& bins = m_own[int32_t(XChartColumn::X)];
    m_columns[int32_t(XChartColumn::X)] = &bins;
    double minY = 0.0;
    double maxY = 0.0;
    bool any = false;
    for (int32_t i = 0; i < y.Count(); ++i) {
        if (!std::isfinite(y[i])) {
            continue;
        }
        if (!any || y[i] < minY) {
            minY = y[i];
        }
        if (!any || y[i] > maxY) {
            maxY = y[i];
        }
        any = true;
    }
    if (!any) {
        counts.RemoveAll();
        bins.RemoveAll();
        return;
    }
    int32_t n = m_attrs.GetInt("bins", 30);
    if (n <= 2) {
        n = 2;
    }
    if (n > kMaxBins) {
        n = kMaxBins;
    }
    double w = (maxY - minY) / double(n - 1);
    if (w == 0.0 || !std::isfinite(w)) {
        w = 1.0;
    }
    // Fresh arrays of n zeros replace the old ones (cheaper than growing them in place).
    XRealArray freshCounts(n, n);
    XRealArray freshBins(n, n);
    for (int32_t i = 0; i < n; ++i) {
        freshBins[i] = minY + double(i) * w;
    }
    counts = std::move(freshCounts);
    bins = std::move(freshBins);
    for (int32_t i = 0; i < y.Count(); ++i) {
        if (!std::isfinite(y[i])) {
            continue;
        }
        // The largest value lands in the last bin: (max - min) / w is n - 1.
        const double k = std::trunc((y[i] - minY) / w);
        const int32_t bin = k < 0.0 ? 0 : (k >= double(n) ? n - 1 : int32_t(k));
        counts[bin] += 1.0;
    }
}

double XChartLine::BarSpacing() const
{
    const XRealArray& x = Column(XChartColumn::X);
    const int32_t n = m_type == XChartLineType::Histogram ? x.Count() : PointCount();
    double s = 0.0;
    for (int32_t i = 1; i < n; ++i) {
        const double d = std::fabs(x[i] - x[i - 1]);
        if (d > 0.0 && std::isfinite(d) && (s == 0.0 || d < s)) {
            s = d;
        }
    }
    return s > 0.0 ? s : 1.0;
}

void XChartLine::ComputeBounds()
{
    using C = XChartColumn;
    XChartBounds b;
    const int32_t n = PointCount();
    switch (m_type) {
    case XChartLineType::Line:
    case XChartLineType::Point:
        for (int32_t i = 0; i < n; ++i) {
            b.Add(Column(C::X)[i], Column(C::Y)[i]);
        }
        break;
    case XChartLineType::Bar:
    case XChartLineType::Histogram: {
        const XRealArray& x = Column(C::X);
        const XRealArray& y = Column(m_type == XChartLineType::Bar ? C::Y : C::Counts);
        const int32_t rows = std::min(x.Count(), y.Count());
        const double half = BarSpacing() / 2.0;
        for (int32_t i = 0; i < rows; ++i) {
            if (std::isfinite(x[i]) && std::isfinite(y[i])) {
                b.Add(x[i] - half, y[i]);
                b.Add(x[i] + half, y[i]);
            }
        }
        if (b.valid) {
            // Bars stand on 0, so 0 is always inside.
            b.Add(b.xLo, 0.0);
        }
        break;
    }
    case XChartLineType::Object:
        for (int32_t i = 0; i < n; ++i) {
            const double hw = std::fabs(Column(C::X2)[i]) / 2.0;
            const double hh = std::fabs(Column(C::Y2)[i]) / 2.0;
            b.Add(Column(C::X)[i] - hw, Column(C::Y)[i] - hh);
            b.Add(Column(C::X)[i] + hw, Column(C::Y)[i] + hh);
        }
        break;
    case XChartLineType::DrawPath:
        for (int32_t i = 0; i < n; ++i) {
            const double x = Column(C::X)[i];
            const double y = Column(C::Y)[i];
            b.Add(x, y);
            b.Add(x + Column(C::X2)[i], y + Column(C::Y2)[i]);
        }
        break;
    case XChartLineType::HigLowClose:
        for (int32_t i = 0; i < n; ++i) {
            b.Add(Column(C::X)[i], Column(C::Low)[i]);
            b.Add(Column(C::X)[i], Column(C::High)[i]);
        }
        break;
    case XChartLineType::TimeLine:
        break;
    }
    m_bounds = b;
}

bool XChartLine::DataRange(XChartAxis::Orientation axis, double& lo, double& hi) const
{
    const bool x = axis == XChartAxis::Orientation::Horizontal;
    NXPoint fixed;
    if (PointCount() > 0 && m_attrs.GetPoint(x ? "fixedScaleX" : "fixedScaleY", fixed) &&
        std::isfinite(fixed.x) && std::isfinite(fixed.y)) {
        lo = fixed.x;
        hi = fixed.y;
        return true;
    }
    if (!m_bounds.valid) {
        return false;
    }
    lo = x ? m_bounds.xLo : m_bounds.yLo;
    hi = x ? m_bounds.xHi : m_bounds.yHi;
    return true;
}
