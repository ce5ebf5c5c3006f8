// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartAxis.h"

#include "chart/XChartAttrs.h"
#include "chart/XChartCB.h"
#include "chart/XChartDate.h"
#include "chart/XChartMT.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Two values this close count as equal when a mantissa is put into its band and when the
// last tick is compared with the end of the range: the error of a few additions.
constexpr double kBandTolerance = 6.661338147750939e-16;
// A tick this close to zero after adding steps is zero (0.1 added ten times to -1 gives
// about 1e-16, which would be labelled "1.38778e-16").
constexpr double kZeroSnap = 4.440892098500626e-15;
constexpr double kStepEpsilon = 2.220446049250313e-16;

// 10 to the power e by repeated multiplication, so that the step is formed exactly the same
// way whatever the platform's pow does.
double PowerOfTen(int32_t e)
{
    double p = 1.0;
    const int32_t n = e < 0 ? -e : e;
    for (int32_t i = 0; i < n; ++i) {
        p *= 10.0;
    }
    return e < 0 ? 1.0 / p : p;
}

bool AtMost(double m, double bound)
{
    return m <= bound || std::fabs(m - bound) <= kBandTolerance;
}

// The divisor of the nice-step table for a level and a mantissa band (1 to 5).
double Divisor(int32_t level, int32_t band)
{
    static constexpr double kTable[3][5] = {
        {10.0, 5.0, 4.0, 2.0, 1.0},
        {5.0, 2.5, 2.0, 1.0, 0.5},
        {2.5, 2.0, 1.0, 0.5, 0.1},
    };
    if (level < 1 || level > 3) {
        return 1.0;
    }
    return kTable[level - 1][band - 1];
}

double Clamp(double v, double lo, double hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

int32_t YearOf2(int32_t year)
{
    return ((year - 1900) % 100 + 100) % 100;
}

plat::ColorRef Ref(const XColor& c)
{
    return plat::ColorRef(c.Value());
}

} // namespace

// ---- Scale -------------------------------------------------------------------------------

void XChartScale::SetFullRange(double newLo, double newHi)
{
    lo = newLo;
    hi = newHi;
    if (viewLo < lo) {
        const double d = lo - viewLo;
        viewLo += d;
        viewHi += d;
    }
    if (viewHi > hi) {
        const double d = viewHi - hi;
        viewLo -= d;
        viewHi -= d;
    }
    viewLo = Clamp(viewLo, lo, hi);
    viewHi = Clamp(viewHi, lo, hi);
    shownLo = EffectiveLo();
    shownHi = EffectiveHi();
}

void XChartScale::SetView(double a, double b)
{
    if (a > b) {
        std::swap(a, b);
    }
    viewLo = Clamp(a, lo, hi);
    viewHi = Clamp(b, lo, hi);
    zoomed = true;
    shownLo = viewLo;
    shownHi = viewHi;
}

void XChartScale::ResetView()
{
    zoomed = false;
    shownLo = lo;
    shownHi = hi;
}

double XChartScale::ValueToPixel(double v) const
{
    const double a = shownLo;
    const double b = shownHi;
    if (log && a > 0.0 && b > 0.0) {
        const double den = std::log10(b) - std::log10(a);
        if (den == 0.0) {
            return pixelStart;
        }
        return pixelStart + (std::log10(v) - std::log10(a)) * (pixelEnd - pixelStart) / den;
    }
    const double den = b - a;
    if (den == 0.0) {
        return pixelStart;
    }
    return pixelStart + (v - a) * (pixelEnd - pixelStart) / den;
}

double XChartScale::PixelToValue(double p) const
{
    const double a = shownLo;
    const double b = shownHi;
    const double span = pixelEnd - pixelStart;
    if (span == 0.0) {
        return a;
    }
    const double f = (p - pixelStart) / span;
    if (log && a > 0.0 && b > 0.0) {
        const double la = std::log10(a);
        return std::pow(10.0, la + f * (std::log10(b) - la));
    }
    return a + f * (b - a);
}

// ---- Axis --------------------------------------------------------------------------------

XChartAxis::XChartAxis(Orientation orientation, XChartAxisCB& cb)
    : m_orientation(orientation)
    , m_cb(&cb)
    , m_color(XColor::FromRGB(0, 128, 0))
    , m_gridColor(XColor::FromRGB(0, 100, 0))
{
}

XChartAxis::~XChartAxis() = default;

void XChartAxis::LoadAttributes(const XChartAttrs& attrs)
{
    const bool x = m_orientation == Orientation::Horizontal;
    auto name = [x](const char* stem) {
        ZString n(stem);
        n.Append(x ? 'X' : 'Y');
        return n;
    };
    m_date = attrs.GetBool(name("dateAxis"), false);
    m_scale.log = attrs.GetBool(name("logAxis"), false);
    m_niceStart = attrs.GetBool(name("niceAxisStart"), false);
    m_lenPercent = attrs.GetDouble(name("axisLenPrecent"), 100.0);
    if (!std::isfinite(m_lenPercent)) {
        m_lenPercent = 100.0;
    }
    m_fontFace = attrs.GetStr("axisFont");
    m_fontSize = attrs.GetInt("axisFontSize", 100);
    m_color = attrs.GetColor("axisFontColor", XColor::FromRGB(0, 128, 0));
    m_axisWidth = attrs.GetInt("axisWidth", 2);
    m_gridColor = attrs.GetColor("gridColor", XColor::FromRGB(0, 100, 0));
    m_gridWidth = attrs.GetInt("gridWidth", 1);
    m_tickLen = attrs.GetInt("tickLen", 6);
    m_labelSep = attrs.GetInt("tickLableSep", 3);
    m_axisSep = attrs.GetInt("axisSep", 3);
    m_caption = attrs.GetStr(name("axisLable"));
    m_showCaption = attrs.GetBool(name("showAxisLable"), true);
    m_unit = attrs.GetStr(name("axisUnit"));
    m_showUnit = attrs.GetBool(name("showAxisUnit"), true);
    m_unitPlace = attrs.GetInt(name("axisUnitPlace"), x ? 1 : 2);

    // Sizes from a file are untrusted: keep them to what a screen can show, so that the
    // layout arithmetic below cannot overflow.
    auto limit = [](int32_t& v, int32_t lo, int32_t hi) { v = v < lo ? lo : (v > hi ? hi : v); };
    limit(m_fontSize, 1, 10000);
    limit(m_axisWidth, 0, 1000);
    limit(m_gridWidth, 0, 1000);
    limit(m_tickLen, 0, 10000);
    limit(m_labelSep, 0, 10000);
    limit(m_axisSep, 0, 10000);
}

void XChartAxis::SetPixels(double start, double end)
{
    m_scale.pixelStart = start;
    m_scale.pixelEnd = end;
}

void XChartAxis::ReportChange()
{
    m_cb->AxisChanged(*this);
}

// ---- Zoom --------------------------------------------------------------------------------

bool XChartAxis::ZoomToPixels(double p0, double p1)
{
    return ZoomToValues(m_scale.PixelToValue(p0), m_scale.PixelToValue(p1));
}

bool XChartAxis::ZoomToValues(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b) || a == b) {
        return false;
    }
    if (a > b) {
        std::swap(a, b);
    }
    if (m_scale.log && !(a > 0.0)) {
        return false;
    }
    const XChartScale before = m_scale;
    m_scale.SetView(a, b);
    if (!(m_scale.viewHi > m_scale.viewLo)) {
        m_scale = before; // the interval lay outside the full range
        return false;
    }
    ReportChange();
    return true;
}

bool XChartAxis::ZoomAt(double pixel, double factor)
{
    if (!(factor > 0.0) || !std::isfinite(factor)) {
        return false;
    }
    const double lo = m_scale.EffectiveLo();
    const double hi = m_scale.EffectiveHi();
    const double v = m_scale.PixelToValue(pixel);
    double a = 0.0;
    double b = 0.0;
    if (m_scale.log && lo > 0.0 && hi > 0.0 && v > 0.0) {
        // On a logarithmic axis the view scales in decades, around the pointer's value.
        const double lv = std::log10(v);
        a = std::pow(10.0, lv + (std::log10(lo) - lv) * factor);
        b = std::pow(10.0, lv + (std::log10(hi) - lv) * factor);
    } else {
        a = v + (lo - v) * factor;
        b = v + (hi - v) * factor;
    }
    if (!std::isfinite(a) || !std::isfinite(b) || !(b > a)) {
        return false;
    }
    if (a <= m_scale.lo && b >= m_scale.hi) {
        if (!m_scale.zoomed) {
            return false;
        }
        m_scale.ResetView();
    } else {
        // Keep the width when the view runs past an end: shift it back inside.
        const double width = b - a;
        if (a < m_scale.lo) {
            a = m_scale.lo;
            b = std::min(m_scale.hi, a + width);
        } else if (b > m_scale.hi) {
            b = m_scale.hi;
            a = std::max(m_scale.lo, b - width);
        }
        if (!(b > a)) {
            return false;
        }
        m_scale.SetView(a, b);
    }
    ReportChange();
    return true;
}

void XChartAxis::ZoomFull()
{
    m_scale.ResetView();
    ReportChange();
}

bool XChartAxis::ScrollView(double fraction)
{
    if (!m_scale.zoomed) {
        return false;
    }
    const double width = m_scale.viewHi - m_scale.viewLo;
    double shift = width * fraction;
    shift = std::max(m_scale.lo - m_scale.viewLo, std::min(shift, m_scale.hi - m_scale.viewHi));
    if (shift == 0.0 || !std::isfinite(shift)) {
        return false;
    }
    m_scale.SetView(m_scale.viewLo + shift, m_scale.viewHi + shift);
    ReportChange();
    return true;
}

plat::Rect XChartAxis::GetAxisRect() const
{
    if (!m_placed) {
        return plat::Rect{};
    }
    const int32_t a = RoundHalfAway(m_scale.pixelStart);
    const int32_t b = RoundHalfAway(m_scale.pixelEnd);
    const int32_t lo = std::min(a, b);
    const int32_t hi = std::max(a, b) + 1;
    // Labels reach half their size past the ends; a few pixels of slack make the axis line
    // easy to hit.
    const int32_t t = std::max(Thickness(), m_tickLen + 4);
    switch (m_side) {
    case XChartAxisSide::Bottom:
        return plat::Rect{lo, m_position - 2, hi, m_position + t};
    case XChartAxisSide::Top:
        return plat::Rect{lo, m_position - t, hi, m_position + 3};
    case XChartAxisSide::Left:
        return plat::Rect{m_position - t, lo, m_position + 3, hi};
    case XChartAxisSide::Right:
        return plat::Rect{m_position - 2, lo, m_position + t, hi};
    }
    return plat::Rect{};
}

plat::Rect XChartAxis::GetZoomHandleRect() const
{
    constexpr int32_t kSize = 9;
    const int32_t end = RoundHalfAway(m_scale.pixelEnd);
    if (m_orientation == Orientation::Horizontal) {
        return plat::Rect::FromXYWH(end + 4, m_position - kSize / 2, kSize, kSize);
    }
    return plat::Rect::FromXYWH(m_position - kSize / 2, end - 4 - kSize, kSize, kSize);
}

XChartAxisMT& XChartAxis::Tracker(XChartLine& line, XEvtMngr* mngr)
{
    if (!m_tracker || m_tracker->GetMngr() != mngr) {
        m_tracker = std::make_unique<XChartAxisMT>(*this, line, mngr);
    }
    return *m_tracker;
}

void XChartAxis::DrawZoomHandle(plat::DrawContext& dc)
{
    if (!m_scale.zoomed || m_color.IsNone()) {
        return;
    }
    // A framed box with a dot: the view is a part of the whole; a click shows the whole.
    const plat::Rect r = GetZoomHandleRect();
    dc.SetPen(plat::Pen{Ref(m_color), 1, plat::PenStyle::Solid});
    dc.SetBrush(plat::Brush::Hollow());
    dc.Rectangle(r);
    const int32_t cx = (r.left + r.right) / 2;
    const int32_t cy = (r.top + r.bottom) / 2;
    dc.FillRect(plat::Rect{cx - 1, cy - 1, cx + 2, cy + 2}, Ref(m_color));
}

void XChartAxis::SetGeometry(XChartAxisSide side, int32_t position, const plat::Rect& plot,
                             int32_t captionTop)
{
    m_side = side;
    m_position = position;
    m_plot = plot;
    m_captionTop = captionTop;
}

// ---- Steps and ticks ---------------------------------------------------------------------

double XChartAxis::NiceStepFor(double& lo, double& hi, int32_t level, bool log)
{
    const double width = hi - lo;
    if (!(width > 0.0) || !std::isfinite(width)) {
        return 1.0; // an empty or unusable range: nothing to round
    }
    const double L = std::log10(width);
    int32_t e = int32_t(L); // truncated toward zero
    if (L < 0.0) {
        e -= 1;
    }
    double step = 0.0;
    if (!log) {
        const double m = std::pow(10.0, L - double(e));
        int32_t band = 5;
        if (AtMost(m, 1.0)) {
            band = 1;
        } else if (AtMost(m, 2.0)) {
            band = 2;
        } else if (AtMost(m, 2.5)) {
            band = 3;
        } else if (AtMost(m, 5.0)) {
            band = 4;
        }
        step = PowerOfTen(e) / Divisor(level, band);
    } else if (lo > 0.0 && std::log10(hi) - std::log10(lo) >= 2.0) {
        step = -1.0; // decade mode: ticks 1, 2, ... 9 of every decade
    } else {
        static constexpr double kFactor[5] = {1.0, 1.2, 1.5, 2.0, 3.0};
        const double f = level >= 1 && level <= 5 ? kFactor[level - 1] : 1.0;
        step = PowerOfTen(e) * f;
    }

    double newLo = lo;
    double newHi = hi;
    if (step >= 0.0) {
        newLo = std::floor(lo / step) * step;
        newHi = std::ceil(hi / step) * step;
    }
    if (log && newLo == 0.0) {
        // A logarithmic axis cannot start at 0: start at the leading digit of the minimum.
        const double x = lo > 0.0 ? lo : 0.1;
        const double p = std::pow(10.0, -std::floor(std::log10(x)));
        newLo = std::floor(x * p) / p;
    }
    lo = newLo;
    hi = newHi;
    return step;
}

void XChartAxis::SanitizeRange(double& lo, double& hi, bool log, bool date)
{
    // Beyond this the width of the range would overflow and the step arithmetic fail.
    constexpr double kLimit = 1e300;
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0.0;
        hi = 1.0;
    }
    if (lo > hi) {
        std::swap(lo, hi);
    }
    lo = Clamp(lo, -kLimit, kLimit);
    hi = Clamp(hi, -kLimit, kLimit);
    if (date) {
        lo = std::max(lo, 0.0);
        hi = std::max(hi, 0.0);
        if (lo == hi) {
            lo = std::max(0.0, lo - XChartDate::kDay);
            hi += XChartDate::kDay;
        }
        return;
    }
    if (log) {
        if (hi <= 0.0) {
            lo = 1.0;
            hi = 10.0;
        } else if (lo <= 0.0) {
            // Non-positive values have no place on a logarithmic axis: show three decades
            // below the maximum instead.
            lo = hi * 1e-3;
        }
        if (lo == hi) {
            lo /= 10.0;
            hi *= 10.0;
        }
        return;
    }
    if (lo == hi) {
        const double d = lo == 0.0 ? 1.0 : std::fabs(lo) * 0.1;
        lo -= d;
        hi += d;
    }
}

double XChartAxis::DateStepFor(double& lo, double& hi, int32_t level)
{
    using namespace XChartDate;
    double t0 = MonthStart(lo);
    const double t1 = MonthCeil(hi);
    const Date d0 = FromFileTime(t0);
    const Date d1 = FromFileTime(t1);
    const int32_t months = MonthIndex(d1) - MonthIndex(d0);
    const double days = (hi - lo) / kDay;
    const int32_t k = level < 1 ? 1 : (level > 5 ? 5 : level);

    double step = 0.0;
    if (days <= 65.0) {
        static constexpr double kDivisor[5] = {10.0, 5.0, 3.0, 2.0, 1.0};
        step = std::ceil(days / kDivisor[k - 1]) * 0.01;
        if (step < 0.01) {
            step = 0.01; // at least one day, so that the ticks advance
        }
    } else if (months <= 12) {
        step = k;
    } else {
        const int32_t n = months <= 24 ? 3 * k : (months <= 48 ? 6 * k : 12 * k);
        step = n;
        const int32_t index = MonthIndex(d0);
        t0 = FromMonthIndex(index - index % n);
    }
    lo = t0;
    hi = t1;
    return step;
}

double XChartAxis::NiceStep(double& lo, double& hi, int32_t level) const
{
    return NiceStepFor(lo, hi, level, m_scale.log);
}

double XChartAxis::DateStep(double& lo, double& hi, int32_t level) const
{
    return DateStepFor(lo, hi, level);
}

double XChartAxis::CalcRangeStep(int32_t level)
{
    double lo = m_scale.EffectiveLo();
    double hi = m_scale.EffectiveHi();
    double step = m_date ? DateStep(lo, hi, level) : NiceStep(lo, hi, level);
    if (m_niceStart && !m_scale.zoomed) {
        // The second pass takes the step of the rounded range, which may differ.
        step = m_date ? DateStep(lo, hi, level) : NiceStep(lo, hi, level);
        m_scale.shownLo = lo;
        m_scale.shownHi = hi;
    } else {
        m_scale.shownLo = m_scale.EffectiveLo();
        m_scale.shownHi = m_scale.EffectiveHi();
    }
    m_tickOrigin = lo;
    m_tickStep = step;
    m_level = level;
    return step;
}

double XChartAxis::NextTick(double v) const
{
    if (m_date) {
        if (m_tickStep >= 1.0) {
            return XChartDate::AddMonths(v, int32_t(std::lround(m_tickStep)));
        }
        return v + std::round(m_tickStep * 100.0) * XChartDate::kDay;
    }
    if (m_scale.log && m_tickStep < 0.0) {
        if (!(v > 0.0)) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        const double p = std::pow(10.0, std::floor(std::log10(v)));
        return std::round(v / p + 1.0) * p;
    }
    double r = v + m_tickStep;
    if (std::fabs(r) <= kZeroSnap && m_tickStep > kStepEpsilon) {
        r = 0.0;
    }
    return r;
}

void XChartAxis::BuildTicks()
{
    m_ticks.RemoveAll();
    m_labels.RemoveAll();
    const double start = m_scale.shownLo;
    const double end = m_scale.shownHi;
    if (!std::isfinite(start) || !std::isfinite(end) || end < start) {
        return;
    }
    double first = start;
    if (m_date) {
        // Date ticks count from the month boundary the step was aligned to, so they fall on
        // days and months; ticks before the start are skipped below.
        first = m_niceStart && !m_scale.zoomed ? start : m_tickOrigin;
    } else if ((!m_niceStart || m_scale.zoomed) && !m_scale.log && m_tickStep > 0.0) {
        // A zoomed view is not rounded to the step (nice start is off while zoomed), so
        // its ticks start at the first multiple of the step inside it, as without nice
        // start.
        first = std::ceil(start / m_tickStep) * m_tickStep;
    }
    // The tolerance grows with the magnitude of the ends, so that a last tick that lands on
    // the end after a few roundings is kept for large values too.
    const double tol = std::max(kBandTolerance, 1e-12 * std::max(std::fabs(start), std::fabs(end)));
    double v = first;
    for (int32_t guard = 0; guard < 4 * kMaxTicks && m_ticks.Count() < kMaxTicks; ++guard) {
        if (!std::isfinite(v) || v > end + tol) {
            break;
        }
        if (v >= start - tol) {
            Tick t;
            t.value = v;
            t.rank = TickRank(v);
            m_ticks.Append(t);
        }
        const double next = NextTick(v);
        if (!(next > v)) {
            break; // a step too small for the magnitude makes no progress
        }
        v = next;
    }
    // Decade mode keeps its step at every level; what a sparser level drops there are
    // labels: level 2 labels only 1, 2 and 5 of each decade, level 3 only the powers of ten.
    const bool decades = m_scale.log && m_tickStep < 0.0 && !m_date;
    for (int32_t i = 0; i < m_ticks.Count(); ++i) {
        const double value = m_ticks[i].value;
        if (decades && m_level >= 2) {
            const double lead = std::round(value / std::pow(10.0, std::floor(std::log10(value))));
            const bool keep = lead == 1.0 || (m_level == 2 && (lead == 2.0 || lead == 5.0));
            if (!keep) {
                m_labels.Append(ZString(""));
                continue;
            }
        }
        const double ref = i > 0 ? m_ticks[i - 1].value : std::numeric_limits<double>::quiet_NaN();
        m_labels.Append(LabelText(value, ref));
    }
}

ZString XChartAxis::LabelText(double v, double ref) const
{
    ZString text;
    if (!m_date) {
        if (v == 0.0) {
            v = 0.0; // no "-0"
        }
        if (std::trunc(v) == v && std::fabs(v) < 1e15) {
            text.Format("%.0f", v);
        } else {
            text.Format("%g", v);
        }
        return text;
    }
    using namespace XChartDate;
    const Date d = FromFileTime(v);
    const bool hasRef = !std::isnan(ref);
    const Date r = hasRef ? FromFileTime(ref) : Date{};
    const bool sameYear = hasRef && r.year == d.year;
    const bool sameMonth = sameYear && r.month == d.month;
    if (m_tickStep < 1.0) {
        if (sameMonth) {
            text.Format("%d", int(d.day));
        } else if (sameYear) {
            text.Format("%d.%s", int(d.day), MonthName(d.month));
        } else {
            text.Format("%d.%s.%02d", int(d.day), MonthName(d.month), int(YearOf2(d.year)));
        }
    } else if (sameYear) {
        text.Assign(MonthName(d.month));
    } else if (d.month == 1 && IsMonthStart(d)) {
        text.Format("%02d", int(YearOf2(d.year)));
    } else {
        text.Format("%s.%02d", MonthName(d.month), int(YearOf2(d.year)));
    }
    return text;
}

int32_t XChartAxis::TickRank(double v) const
{
    if (!m_date) {
        return 1;
    }
    const XChartDate::Date d = XChartDate::FromFileTime(v);
    if (!XChartDate::IsMonthStart(d)) {
        return 1;
    }
    if (d.month == 1) {
        return 3;
    }
    return (d.month - 1) % 3 == 0 ? 2 : 1;
}

// ---- Layout ------------------------------------------------------------------------------

void XChartAxis::SelectFont(plat::DrawContext& dc) const
{
    plat::Font font;
    font.face = m_fontFace.Text();
    font.sizeTenths = m_fontSize;
    dc.SetFont(font);
    dc.SetTextColor(Ref(m_color));
    dc.SetBkMode(plat::BkMode::Transparent);
    dc.SetTextAlign(plat::TextAlign::kLeft | plat::TextAlign::kTop);
}

void XChartAxis::MeasureFont(plat::DrawContext& dc)
{
    SelectFont(dc);
    m_labelHeight = dc.GetTextMetrics().height;
}

bool XChartAxis::LayoutLabels(plat::DrawContext& dc)
{
    SelectFont(dc);
    m_labelHeight = dc.GetTextMetrics().height;
    m_labelSizes.RemoveAll();
    m_maxLabelWidth = 0;
    const bool horizontal = m_orientation == Orientation::Horizontal;
    bool collide = false;
    double prevCentre = 0.0;
    double prevLen = 0.0;
    const ZString caption = CaptionText();
    m_captionWidth = caption.IsEmpty() ? 0 : dc.GetTextExtent(caption.Text()).cx;
    bool any = false;
    for (int32_t i = 0; i < m_labels.Count(); ++i) {
        if (m_labels[i].IsEmpty()) {
            m_labelSizes.Append(plat::Size{0, 0}); // an unlabelled tick
            continue;
        }
        const plat::Size size = dc.GetTextExtent(m_labels[i].Text());
        m_labelSizes.Append(size);
        m_maxLabelWidth = std::max(m_maxLabelWidth, int32_t(size.cx));
        const double centre = m_scale.ValueToPixel(m_ticks[i].value);
        const double len = horizontal ? size.cx : size.cy;
        if (any && std::fabs(centre - prevCentre) - (len + prevLen) / 2.0 < kLabelGap) {
            collide = true;
        }
        any = true;
        prevCentre = centre;
        prevLen = len;
    }
    return collide;
}

void XChartAxis::Layout(plat::DrawContext* dc)
{
    for (int32_t level = 1; level <= 3; ++level) {
        CalcRangeStep(level);
        BuildTicks();
        if (dc == nullptr) {
            break;
        }
        // More labels than the axis has room for even at the smallest gap collide whatever
        // their size; they need not be measured unless this level is the last.
        int32_t labels = 0;
        for (const ZString& label : m_labels) {
            labels += label.IsEmpty() ? 0 : 1;
        }
        const double room = std::fabs(m_scale.pixelEnd - m_scale.pixelStart);
        if (level < 3 && double(labels - 1) * kLabelGap > room) {
            continue;
        }
        if (!LayoutLabels(*dc)) {
            break;
        }
    }
}

ZString XChartAxis::CaptionText() const
{
    ZString text;
    if (m_showCaption) {
        text.Assign(m_caption);
    }
    if (m_showUnit && !m_unit.IsEmpty() && m_unitPlace != 2) {
        if (!text.IsEmpty()) {
            text.Append(' ');
        }
        text.Append(m_unit);
    }
    return text;
}

ZString XChartAxis::EndUnitText() const
{
    return m_showUnit && m_unitPlace == 2 ? m_unit : ZString("");
}

int32_t XChartAxis::Thickness() const
{
    if (m_orientation == Orientation::Horizontal) {
        int32_t t = m_tickLen + m_labelSep + m_labelHeight;
        if (!CaptionText().IsEmpty() || !EndUnitText().IsEmpty()) {
            t += m_labelSep + m_labelHeight;
        }
        return t;
    }
    // The caption stands above the label column; the column is made wide enough for it.
    return std::max(m_tickLen + m_labelSep + m_maxLabelWidth, m_captionWidth);
}

int32_t XChartAxis::CaptionStripHeight() const
{
    if (m_orientation != Orientation::Vertical ||
        (CaptionText().IsEmpty() && EndUnitText().IsEmpty())) {
        return 0;
    }
    return m_labelHeight + m_labelHeight / 2 + m_labelSep;
}

int32_t XChartAxis::PixelOf(double v) const
{
    return RoundHalfAway(m_scale.ValueToPixel(v));
}

// ---- Drawing -----------------------------------------------------------------------------

void XChartAxis::Draw(plat::DrawContext& dc, bool grid)
{
    if (grid) {
        DrawGrid(dc);
    }
    DrawParts(dc, false);
}

void XChartAxis::DrawGrid(plat::DrawContext& dc)
{
    DrawParts(dc, true);
}

void XChartAxis::DrawGridLines(plat::DrawContext& dc)
{
    if (m_gridColor.IsNone() || m_gridWidth <= 0) {
        return;
    }
    dc.SetPen(plat::Pen{Ref(m_gridColor), m_gridWidth, plat::PenStyle::Solid});
    for (int32_t i = 0; i < m_ticks.Count(); ++i) {
        const int32_t p = PixelOf(m_ticks[i].value);
        if (m_orientation == Orientation::Horizontal) {
            dc.Line({p, m_plot.top}, {p, m_plot.bottom});
        } else {
            dc.Line({m_plot.left, p}, {m_plot.right, p});
        }
    }
}

void XChartAxis::DrawLabelText(plat::DrawContext& dc, const plat::Rect& box, const ZString& text)
{
    dc.TextOut({box.left, box.top}, text.Text());
}

void XChartAxis::DrawParts(plat::DrawContext& dc, bool grid)
{
    if (grid) {
        DrawGridLines(dc);
        return;
    }
    m_labelRects.RemoveAll();
    const bool horizontal = m_orientation == Orientation::Horizontal;
    // Ticks and labels point away from the plot area.
    const int32_t out =
        (m_side == XChartAxisSide::Bottom || m_side == XChartAxisSide::Right) ? 1 : -1;
    const int32_t a = RoundHalfAway(m_scale.pixelStart);
    const int32_t b = RoundHalfAway(m_scale.pixelEnd);
    const int32_t lo = std::min(a, b);
    const int32_t hi = std::max(a, b);
    const int32_t pos = m_position;

    if (!m_color.IsNone() && m_axisWidth > 0) {
        dc.SetPen(plat::Pen{Ref(m_color), m_axisWidth, plat::PenStyle::Solid});
        // One pixel past the far end, since a line does not paint its last pixel.
        if (horizontal) {
            dc.Line({lo, pos}, {hi + 1, pos});
        } else {
            dc.Line({pos, lo}, {pos, hi + 1});
        }
        for (int32_t i = 0; i < m_ticks.Count(); ++i) {
            const int32_t p = PixelOf(m_ticks[i].value);
            // Year and quarter ticks of a date axis reach into the plot area a little.
            const int32_t inward = (m_ticks[i].rank - 1) * 3;
            const int32_t from = pos - out * inward;
            const int32_t to = pos + out * m_tickLen;
            if (horizontal) {
                dc.Line({p, from}, {p, to});
            } else {
                dc.Line({from, p}, {to, p});
            }
        }
    }
    if (m_color.IsNone()) {
        return;
    }
    DrawZoomHandle(dc);

    SelectFont(dc);
    const int32_t gap = m_tickLen + m_labelSep;
    for (int32_t i = 0; i < m_labels.Count() && i < m_labelSizes.Count(); ++i) {
        const plat::Size size = m_labelSizes[i];
        if (m_labels[i].IsEmpty()) {
            m_labelRects.Append(plat::Rect{});
            continue;
        }
        const int32_t p = PixelOf(m_ticks[i].value);
        plat::Rect box;
        if (horizontal) {
            const int32_t left = p - size.cx / 2;
            const int32_t top = out > 0 ? pos + gap : pos - gap - size.cy;
            box = plat::Rect::FromXYWH(left, top, size.cx, size.cy);
        } else {
            const int32_t top = p - size.cy / 2;
            const int32_t left = out > 0 ? pos + gap : pos - gap - size.cx;
            box = plat::Rect::FromXYWH(left, top, size.cx, size.cy);
        }
        m_labelRects.Append(box);
        DrawLabelText(dc, box, m_labels[i]);
    }

    const ZString caption = CaptionText();
    const ZString unit = EndUnitText();
    if (horizontal) {
        const int32_t rowTop = out > 0 ? pos + gap + m_labelHeight + m_labelSep
                                       : pos - gap - 2 * m_labelHeight - m_labelSep;
        if (!caption.IsEmpty()) {
            const plat::Size size = dc.GetTextExtent(caption.Text());
            const int32_t left = (lo + hi) / 2 - size.cx / 2;
            DrawLabelText(dc, plat::Rect::FromXYWH(left, rowTop, size.cx, size.cy), caption);
        }
        if (!unit.IsEmpty()) {
            const plat::Size size = dc.GetTextExtent(unit.Text());
            DrawLabelText(dc, plat::Rect::FromXYWH(hi - size.cx, rowTop, size.cx, size.cy), unit);
        }
    } else {
        // The caption stands in the strip above the plot area (and above any axes at the
        // top), on the labels' side of the axis; an end unit stands opposite, over the plot
        // area.
        const int32_t bottom = m_captionTop + m_labelHeight;
        if (!caption.IsEmpty()) {
            const plat::Size size = dc.GetTextExtent(caption.Text());
            const int32_t left = out < 0 ? pos - size.cx : pos;
            DrawLabelText(dc, plat::Rect::FromXYWH(left, bottom - size.cy, size.cx, size.cy),
                          caption);
        }
        if (!unit.IsEmpty()) {
            const plat::Size size = dc.GetTextExtent(unit.Text());
            const int32_t left = out < 0 ? pos + m_tickLen : pos - m_tickLen - size.cx;
            DrawLabelText(dc, plat::Rect::FromXYWH(left, bottom - size.cy, size.cx, size.cy), unit);
        }
    }
}
