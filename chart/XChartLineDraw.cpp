// SPDX-License-Identifier: GPL-2.0-or-later
// Drawing a line's data for each line type, and its axes.

#include "chart/XChartLine.h"
#include "platform/DrawContext.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Points of a line whose X pixel lies farther out than this are left out of the polyline: a
// zoomed view would otherwise hand the drawing code coordinates far beyond the window.
constexpr double kMaxLineX = 8000.0;
// Other coordinates are cut to this before they are rounded to pixels; the drawing code
// works in fixed point and misdraws far beyond it, while anything past it is off-screen.
constexpr double kMaxPixel = 1000000.0;

int32_t Px(double p)
{
    return RoundHalfAway(std::max(-kMaxPixel, std::min(kMaxPixel, p)));
}

plat::ColorRef Ref(const XColor& c)
{
    return plat::ColorRef(c.Value());
}

// blend(base, full, r): hue, lightness and saturation each taken a fraction r of the way from
// base to full. A grey has no hue of its own (it reads 0), so it takes the other colour's:
// white blended towards red passes through pinks, not through cyan. A colour "none" on one
// side leaves the other.
XColor Blend(const XColor& base, const XColor& full, double r)
{
    if (base.IsNone()) {
        return full;
    }
    if (full.IsNone()) {
        return base;
    }
    double hb = base.Hue();
    double hf = full.Hue();
    if (base.Saturation() == 0.0) {
        hb = hf;
    }
    if (full.Saturation() == 0.0) {
        hf = hb;
    }
    const double lb = base.Lightness();
    const double sb = base.Saturation();
    return XColor(hb + (hf - hb) * r, lb + (full.Lightness() - lb) * r,
                  sb + (full.Saturation() - sb) * r);
}

double Fraction(double num, double den)
{
    if (den == 0.0 || !std::isfinite(num) || !std::isfinite(den)) {
        return 0.0;
    }
    const double r = num / den;
    return r < 0.0 ? 0.0 : (r > 1.0 ? 1.0 : r);
}

// Pixel rectangle between two pairs of pixel coordinates, at least one pixel each way.
plat::Rect PixelRect(double x0, double y0, double x1, double y1)
{
    int32_t l = Px(x0);
    int32_t r = Px(x1);
    int32_t t = Px(y0);
    int32_t b = Px(y1);
    if (l > r) {
        std::swap(l, r);
    }
    if (t > b) {
        std::swap(t, b);
    }
    if (r - l < 1) {
        r = l + 1;
    }
    if (b - t < 1) {
        b = t + 1;
    }
    return plat::Rect{l, t, r, b};
}

// Builds the pixel polyline of a line. Consecutive points on one pixel column are all
// vertical strokes on that column, so inside the column a run of them covers exactly the
// pixels from its lowest to its highest point. A long run is therefore kept as its first two
// points, its lowest and highest (in the order they came) and its last two: the strokes into
// and out of the column keep their directions, and so their joins, while a million points
// across a thousand columns become a few thousand, drawn alike.
class ColumnRuns
{
public:
    explicit ColumnRuns(std::vector<plat::Point>& out)
        : m_out(out)
    {
    }

    void Add(plat::Point p)
    {
        if (m_count > 0 && p.x == m_head[0].x) {
            if (m_count < kHead) {
                m_head[m_count] = p;
            }
            ++m_count;
            m_beforeLast = m_last;
            m_last = p;
            if (p.y < m_lo) {
                m_lo = p.y;
                m_loAt = m_count;
            }
            if (p.y > m_hi) {
                m_hi = p.y;
                m_hiAt = m_count;
            }
            return;
        }
        Flush();
        m_head[0] = m_last = p;
        m_lo = m_hi = p.y;
        m_loAt = m_hiAt = 0;
        m_count = 1;
    }

    void Flush()
    {
        if (m_count == 0) {
            return;
        }
        if (m_count <= kHead) {
            for (int32_t i = 0; i < m_count; ++i) {
                Push(m_head[i]);
            }
        } else {
            const int x = m_head[0].x;
            Push(m_head[0]);
            Push(m_head[1]);
            if (m_loAt <= m_hiAt) {
                Push({x, m_lo});
                Push({x, m_hi});
            } else {
                Push({x, m_hi});
                Push({x, m_lo});
            }
            Push(m_beforeLast);
            Push(m_last);
        }
        m_count = 0;
    }

private:
    // Runs up to this long are kept as they are.
    static constexpr int32_t kHead = 6;

    void Push(plat::Point p)
    {
        if (m_out.empty() || m_out.back() != p) {
            m_out.push_back(p);
        }
    }

    std::vector<plat::Point>& m_out;
    plat::Point m_head[kHead];
    plat::Point m_last;
    plat::Point m_beforeLast;
    int m_lo = 0;
    int m_hi = 0;
    int32_t m_loAt = 0;
    int32_t m_hiAt = 0;
    int32_t m_count = 0;
};

int32_t PenWidth(const XChartAttrs& attrs, const char* name, int32_t def)
{
    const int32_t w = attrs.GetInt(name, def);
    return w < 0 ? 0 : (w > 1000 ? 1000 : w);
}

} // namespace

void XChartLine::DrawData(plat::DrawContext& dc, const plat::Rect& plot, XChartDrawBudget& budget,
                          int32_t depth)
{
    if (!m_attrs.GetBool("showLine", true)) {
        return;
    }
    m_drawHook->DrawLine(m_chart, this, &dc, 0);
    const XColor bg = m_attrs.GetColor("bgColor", XColor(XColor::kNone));
    if (!bg.IsNone()) {
        dc.FillRect(plot, Ref(bg));
    }
    switch (m_type) {
    case XChartLineType::Line:
        DrawPolyline(dc);
        break;
    case XChartLineType::Point:
        DrawPoints(dc);
        break;
    case XChartLineType::Bar:
        DrawBars(dc, XChartColumn::Y);
        break;
    case XChartLineType::Histogram:
        DrawBars(dc, XChartColumn::Counts);
        break;
    case XChartLineType::Object:
        DrawObjects(dc);
        break;
    case XChartLineType::DrawPath:
        DrawPath(dc, plot, budget, depth);
        break;
    case XChartLineType::HigLowClose:
        DrawHighLowClose(dc);
        break;
    case XChartLineType::TimeLine:
        // A time line carries no data of its own to draw.
        break;
    }
    m_drawHook->DrawLine(m_chart, this, &dc, 1);
    ClearChanged();
}

void XChartLine::DrawPolyline(plat::DrawContext& dc)
{
    const XColor color = m_attrs.GetColor("color");
    if (color.IsNone()) {
        return;
    }
    // A selected line stands out by a thicker pen.
    const int32_t width = PenWidth(m_attrs, "width", 2) + (m_selected ? kSelectedExtraWidth : 0);
    dc.SetPen(plat::Pen{Ref(color), width, plat::PenStyle::Solid});
    const XChartScale& sx = m_axisX.Scale();
    const XChartScale& sy = m_axisY.Scale();
    const XRealArray& x = Column(XChartColumn::X);
    const XRealArray& y = Column(XChartColumn::Y);
    const int32_t n = PointCount();
    std::vector<plat::Point> pts;
    pts.reserve(size_t(std::min(n, 65536)) + 1);
    ColumnRuns runs(pts);

    // A zoomed view leaves most points far beside the plot area. Between two points on the
    // same side beyond it nothing shows, so of each such run only its first and last point
    // are drawn: the strokes into and out of the run stay as they were, and the stroker is
    // not handed a hundred thousand invisible segments. The margin keeps the joins at the
    // kept points (a miter reaches at most ten half widths) off the plot area.
    const plat::Rect clip = dc.GetClipBox();
    const double margin = 64.0 + 10.0 * width;
    const double cullLeft = clip.left - margin;
    const double cullRight = clip.right + margin;
    const bool logY = sy.log && sy.shownLo > 0.0 && sy.shownHi > 0.0;
    int32_t side = 0; // -1 or 1 while a run beside the plot area is open
    int32_t runFirst = -1;
    int32_t runLast = -1;
    auto add = [&](int32_t i, double px) {
        const double py = sy.ValueToPixel(y[i]);
        if (!std::isfinite(py)) {
            return; // a gap in the data (NaN) or a value a log axis cannot show
        }
        runs.Add(plat::Point{Px(px), Px(py)});
    };
    auto closeRun = [&]() {
        if (side != 0) {
            add(runFirst, sx.ValueToPixel(x[runFirst]));
            if (runLast != runFirst) {
                add(runLast, sx.ValueToPixel(x[runLast]));
            }
        }
        side = 0;
    };
    for (int32_t i = 0; i < n; ++i) {
        const double px = sx.ValueToPixel(x[i]);
        if (!std::isfinite(px) || std::fabs(px) > kMaxLineX) {
            continue;
        }
        const int32_t s = px < cullLeft ? -1 : (px > cullRight ? 1 : 0);
        if (s != 0) {
            const double v = y[i];
            if (!std::isfinite(v) || (logY && !(v > 0.0))) {
                continue; // skipped as add() would skip it
            }
            if (s == side) {
                runLast = i;
                continue;
            }
            closeRun();
            side = s;
            runFirst = runLast = i;
            continue;
        }
        closeRun();
        add(i, px);
    }
    closeRun();
    runs.Flush();
    if (m_attrs.GetBool("closePath", false) && pts.size() > 2) {
        pts.push_back(pts.front());
    }
    dc.Polyline(pts);
}

void XChartLine::DrawPoints(plat::DrawContext& dc)
{
    const XColor color = m_attrs.GetColor("color");
    if (color.IsNone()) {
        return;
    }
    const int32_t w =
        std::max(1, PenWidth(m_attrs, "width", 2)) + (m_selected ? kSelectedExtraWidth : 0);
    const XChartScale& sx = m_axisX.Scale();
    const XChartScale& sy = m_axisY.Scale();
    const XRealArray& x = Column(XChartColumn::X);
    const XRealArray& y = Column(XChartColumn::Y);
    const int32_t n = PointCount();
    for (int32_t i = 0; i < n; ++i) {
        const double px = sx.ValueToPixel(x[i]);
        const double py = sy.ValueToPixel(y[i]);
        if (!std::isfinite(px) || !std::isfinite(py)) {
            continue;
        }
        const int32_t left = Px(px) - w / 2;
        const int32_t top = Px(py) - w / 2;
        dc.FillRect(plat::Rect::FromXYWH(left, top, w, w), Ref(color));
    }
}

void XChartLine::DrawBars(plat::DrawContext& dc, XChartColumn yColumn)
{
    const XChartScale& sx = m_axisX.Scale();
    const XChartScale& sy = m_axisY.Scale();
    const XRealArray& x = Column(XChartColumn::X);
    const XRealArray& y = Column(yColumn);
    const int32_t n = std::min(x.Count(), y.Count());
    double pct = m_attrs.GetDouble("barWidthPercent", 100.0);
    if (!std::isfinite(pct)) {
        pct = 100.0;
    }
    const double half = pct * 0.01 * BarSpacing() / 2.0;
    // Bars stand on 0 when 0 is shown; otherwise on the lower end of the shown range.
    const double lo = std::min(sy.shownLo, sy.shownHi);
    const double hi = std::max(sy.shownLo, sy.shownHi);
    double base = std::max(lo, std::min(hi, 0.0));
    double basePixel = sy.ValueToPixel(base);
    if (!std::isfinite(basePixel)) {
        basePixel = sy.pixelStart;
    }
    double maxY = 0.0;
    double minY = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        if (std::isfinite(y[i])) {
            maxY = std::max(maxY, y[i]);
            minY = std::min(minY, y[i]);
        }
    }
    const XColor pos = m_attrs.GetColor("colorPos");
    const XColor posBase = m_attrs.GetColor("colorPosBase");
    const XColor neg = m_attrs.GetColor("colorNeg");
    const XColor negBase = m_attrs.GetColor("colorNegBase");
    for (int32_t i = 0; i < n; ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
            continue;
        }
        const double l = sx.ValueToPixel(x[i] - half);
        const double r = sx.ValueToPixel(x[i] + half);
        const double top = sy.ValueToPixel(y[i]);
        if (!std::isfinite(l) || !std::isfinite(r) || !std::isfinite(top)) {
            continue;
        }
        const XColor fill = y[i] >= 0.0 ? Blend(posBase, pos, Fraction(y[i], maxY))
                                        : Blend(negBase, neg, Fraction(y[i], minY));
        if (fill.IsNone()) {
            continue;
        }
        dc.FillRect(PixelRect(l, top, r, basePixel), Ref(fill));
    }
}

void XChartLine::DrawObjects(plat::DrawContext& dc)
{
    using C = XChartColumn;
    const XChartScale& sx = m_axisX.Scale();
    const XChartScale& sy = m_axisY.Scale();
    const int32_t n = PointCount();
    const XRealArray& x = Column(C::X);
    const XRealArray& y = Column(C::Y);
    const XRealArray& w = Column(C::X2);
    const XRealArray& h = Column(C::Y2);
    double maxW = 0.0;
    double maxH = 0.0;
    for (int32_t i = 0; i < n; ++i) {
        if (std::isfinite(w[i]) && std::isfinite(h[i])) {
            maxW = std::max(maxW, std::fabs(w[i]));
            maxH = std::max(maxH, std::fabs(h[i]));
        }
    }
    const XColor pos = m_attrs.GetColor("colorPos");
    const XColor posBase = m_attrs.GetColor("colorPosBase");
    const bool rect = m_attrs.GetStr("objectType") == "rect";
    for (int32_t i = 0; i < n; ++i) {
        const double hw = std::fabs(w[i]) / 2.0;
        const double hh = std::fabs(h[i]) / 2.0;
        const double x0 = sx.ValueToPixel(x[i] - hw);
        const double x1 = sx.ValueToPixel(x[i] + hw);
        const double y0 = sy.ValueToPixel(y[i] - hh);
        const double y1 = sy.ValueToPixel(y[i] + hh);
        if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) {
            continue;
        }
        const XColor fill = Blend(posBase, pos, Fraction(std::fabs(w[i] * h[i]), maxW * maxH));
        if (fill.IsNone()) {
            continue;
        }
        const plat::Rect box = PixelRect(x0, y0, x1, y1);
        if (rect) {
            dc.FillRect(box, Ref(fill));
        } else {
            dc.SetBrush(plat::Brush::Solid(Ref(fill)));
            dc.SetPen(plat::Pen{Ref(fill), 1, plat::PenStyle::Solid});
            dc.Ellipse(box);
        }
    }
}

void XChartLine::DrawHighLowClose(plat::DrawContext& dc)
{
    using C = XChartColumn;
    const XChartScale& sx = m_axisX.Scale();
    const XChartScale& sy = m_axisY.Scale();
    const int32_t n = PointCount();
    const int32_t width = PenWidth(m_attrs, "width", 2);
    const XColor low = m_attrs.GetColor("lineLowColor");
    const XColor high = m_attrs.GetColor("lineHighColor");
    const plat::Pen lowPen{Ref(low), width,
                           low.IsNone() ? plat::PenStyle::Null : plat::PenStyle::Solid};
    const plat::Pen highPen{Ref(high), width,
                            high.IsNone() ? plat::PenStyle::Null : plat::PenStyle::Solid};
    for (int32_t i = 0; i < n; ++i) {
        const double px = sx.ValueToPixel(Column(C::X)[i]);
        const double pl = sy.ValueToPixel(Column(C::Low)[i]);
        const double pc = sy.ValueToPixel(Column(C::Close)[i]);
        const double ph = sy.ValueToPixel(Column(C::High)[i]);
        if (!std::isfinite(px) || !std::isfinite(pl) || !std::isfinite(pc) || !std::isfinite(ph)) {
            continue;
        }
        const int32_t x = Px(px);
        // The lower part runs from low to close, the upper part on from close to high; the
        // open value is kept but not drawn.
        dc.SetPen(lowPen);
        dc.Line({x, Px(pl)}, {x, Px(pc)});
        dc.SetPen(highPen);
        dc.Line({x, Px(pc)}, {x, Px(ph)});
    }
}

void XChartLine::DrawPath(plat::DrawContext& dc, const plat::Rect&, XChartDrawBudget& budget,
                          int32_t depth)
{
    using C = XChartColumn;
    if (depth >= XChartDrawBudget::kMaxDepth) {
        return;
    }
    const XChartScale& sx = m_axisX.Scale();
    const XChartScale& sy = m_axisY.Scale();
    const int32_t n = PointCount();
    for (int32_t i = 0; i < n && budget.subLines > 0; ++i) {
        const double code = std::trunc(Column(C::PathCode)[i]);
        if (!(code >= 0.0 && code < double(m_subLines.Count()))) {
            continue; // not a sub-line: the row draws nothing
        }
        XChartLine& sub = *m_subLines[int32_t(code)];
        const double x = Column(C::X)[i];
        const double y = Column(C::Y)[i];
        const double x0 = sx.ValueToPixel(x);
        const double x1 = sx.ValueToPixel(x + Column(C::X2)[i]);
        const double y0 = sy.ValueToPixel(y);
        const double y1 = sy.ValueToPixel(y + Column(C::Y2)[i]);
        if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) {
            continue;
        }
        --budget.subLines;
        // The sub-line's own data range is mapped onto the row's rectangle.
        for (int32_t k = 0; k < 2; ++k) {
            const auto orientation =
                k == 0 ? XChartAxis::Orientation::Horizontal : XChartAxis::Orientation::Vertical;
            XChartAxis& axis = k == 0 ? static_cast<XChartAxis&>(sub.m_axisX)
                                      : static_cast<XChartAxis&>(sub.m_axisY);
            double lo = 0.0;
            double hi = 1.0;
            sub.DataRange(orientation, lo, hi);
            XChartAxis::SanitizeRange(lo, hi, axis.Scale().log, axis.IsDate());
            axis.Scale().SetFullRange(lo, hi);
            if (k == 0) {
                axis.SetPixels(x0, x1);
            } else {
                axis.SetPixels(y0, y1);
            }
        }
        sub.DrawData(dc, PixelRect(x0, y0, x1, y1), budget, depth + 1);
    }
}

void XChartLine::DrawAxes(plat::DrawContext& dc)
{
    if (!m_attrs.GetBool("showLine", true)) {
        return;
    }
    const ZString axis = m_attrs.GetStr("axis");
    const ZString grid = m_attrs.GetStr("grid");
    // The letter tests are case-sensitive: only lower-case letters in `grid` draw grid lines.
    if (axis.Str().FindChar('x') >= 0 || axis.Str().FindChar('X') >= 0) {
        m_axisX.Draw(dc, grid.Str().FindChar('x') >= 0);
    }
    if (axis.Str().FindChar('y') >= 0 || axis.Str().FindChar('Y') >= 0) {
        m_axisY.Draw(dc, grid.Str().FindChar('y') >= 0);
    }
}
