// SPDX-License-Identifier: GPL-2.0-or-later
// Painting a chart: layout of the plot area and the axes, background, data, title, axes.

#include "chart/XChart.h"
#include "platform/DrawContext.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Insets and sizes from a file are untrusted; beyond this they mean nothing on a screen and
// only risk overflowing the pixel arithmetic.
constexpr double kMaxInset = 100000.0;

int32_t InsetPixels(double v)
{
    if (!std::isfinite(v)) {
        return 0;
    }
    return RoundHalfAway(std::max(-kMaxInset, std::min(kMaxInset, v)));
}

bool Contains(const ZString& text, char c)
{
    return text.Str().FindChar(c) >= 0;
}

// The room the axes on one side take together, each set apart from the one before it by that
// axis' gap.
int32_t SideThickness(const std::vector<XChartAxis*>& axes)
{
    int32_t total = 0;
    for (size_t i = 0; i < axes.size(); ++i) {
        if (i > 0) {
            total += axes[i - 1]->GetAxisSep();
        }
        total += axes[i]->Thickness();
    }
    return total;
}

void PlaceSide(const std::vector<XChartAxis*>& axes, XChartAxisSide side, int32_t first,
               int32_t direction, const plat::Rect& plot, int32_t captionTop)
{
    int32_t pos = first;
    for (XChartAxis* axis : axes) {
        axis->SetGeometry(side, pos, plot, captionTop);
        axis->SetPlaced(true);
        pos += direction * (axis->Thickness() + axis->GetAxisSep());
    }
}

} // namespace

int32_t XChart::TitleFontSize(int32_t chartHeight) const
{
    int32_t size = m_attrs.GetInt("titleFontSize", -1);
    if (size < 0) {
        size = int32_t(std::trunc(double(chartHeight) * 0.2857142857142857));
    }
    // A size beyond any screen is cut so that the font machinery is never asked for it.
    return std::max(80, std::min(size, 10000));
}

void XChart::AssignRanges()
{
    const int32_t n = LineCount();
    for (int32_t axisKind = 0; axisKind < 2; ++axisKind) {
        const auto orientation =
            axisKind == 0 ? XChartAxis::Orientation::Horizontal : XChartAxis::Orientation::Vertical;
        std::vector<double> lo(size_t(n), 0.0);
        std::vector<double> hi(size_t(n), 1.0);
        std::vector<char> valid(size_t(n), 0);
        for (int32_t i = 0; i < n; ++i) {
            valid[size_t(i)] = Line(i)->DataRange(orientation, lo[size_t(i)], hi[size_t(i)]);
        }
        // Lines of one group share the union of their members' ranges. Groups are taken from
        // the lines' own ranges, so the order of overlapping groups only decides which union
        // a line in two groups ends with.
        std::vector<double> groupLo(lo);
        std::vector<double> groupHi(hi);
        std::vector<char> groupValid(valid);
        for (const XIntArray& group : m_groups[axisKind]) {
            bool any = false;
            double a = 0.0;
            double b = 0.0;
            for (int32_t member : group) {
                if (member < 0 || member >= n || !valid[size_t(member)]) {
                    continue;
                }
                const double mlo = std::min(lo[size_t(member)], hi[size_t(member)]);
                const double mhi = std::max(lo[size_t(member)], hi[size_t(member)]);
                a = any ? std::min(a, mlo) : mlo;
                b = any ? std::max(b, mhi) : mhi;
                any = true;
            }
            if (!any) {
                continue;
            }
            for (int32_t member : group) {
                if (member >= 0 && member < n) {
                    groupLo[size_t(member)] = a;
                    groupHi[size_t(member)] = b;
                    groupValid[size_t(member)] = 1;
                }
            }
        }
        for (int32_t i = 0; i < n; ++i) {
            XChartLine* line = Line(i);
            XChartAxis& axis = axisKind == 0 ? static_cast<XChartAxis&>(line->AxisX())
                                             : static_cast<XChartAxis&>(line->AxisY());
            // A line without data keeps the range it has (a fixed range set directly shows
            // before the first data arrives).
            double a = groupValid[size_t(i)] ? groupLo[size_t(i)] : axis.Scale().lo;
            double b = groupValid[size_t(i)] ? groupHi[size_t(i)] : axis.Scale().hi;
            XChartAxis::SanitizeRange(a, b, axis.Scale().log, axis.IsDate());
            axis.Scale().SetFullRange(a, b);
        }
    }
}

void XChart::LayoutAxes(plat::DrawContext& dc, const plat::Rect& p)
{
    for (int32_t i = 0; i < LineCount(); ++i) {
        Line(i)->Prepare();
        Line(i)->AxisX().SetPlaced(false);
        Line(i)->AxisY().SetPlaced(false);
    }
    AssignRanges();

    std::vector<XChartAxis*> bottom;
    std::vector<XChartAxis*> top;
    std::vector<XChartAxis*> left;
    std::vector<XChartAxis*> right;
    for (int32_t i = 0; i < LineCount(); ++i) {
        XChartLine* line = Line(i);
        if (!line->GetBool("showLine", true)) {
            continue;
        }
        // The letters are case-sensitive: lower case puts the axis below or left of the plot
        // area, upper case above or right of it.
        const ZString axis = line->GetStr("axis");
        if (Contains(axis, 'x')) {
            bottom.push_back(&line->AxisX());
        } else if (Contains(axis, 'X')) {
            top.push_back(&line->AxisX());
        }
        if (Contains(axis, 'y')) {
            left.push_back(&line->AxisY());
        } else if (Contains(axis, 'Y')) {
            right.push_back(&line->AxisY());
        }
    }
    int32_t strip = 0;
    for (auto* side : {&bottom, &top, &left, &right}) {
        for (XChartAxis* axis : *side) {
            axis->MeasureFont(dc);
            strip = std::max(strip, axis->CaptionStripHeight());
        }
    }

    // The plot area is what is left of p when the axes have taken their room. The heights
    // of horizontal axes do not depend on their values, so the vertical axes can be laid
    // out first and their label widths then decide the room at the sides.
    plat::Rect d = p;
    d.top = p.top + strip + (top.empty() ? 0 : SideThickness(top) + 1);
    d.bottom = std::max(d.top + 1, p.bottom - SideThickness(bottom));
    auto isShown = [](const std::vector<XChartAxis*>& a, const std::vector<XChartAxis*>& b,
                      const XChartAxis* axis) {
        return std::find(a.begin(), a.end(), axis) != a.end() ||
               std::find(b.begin(), b.end(), axis) != b.end();
    };
    for (int32_t i = 0; i < LineCount(); ++i) {
        XChartAxisY& axis = Line(i)->AxisY();
        const double start = double(d.bottom - 1);
        const double len = double(d.Height() - 1) * axis.GetLengthPercent() * 0.01;
        axis.SetPixels(start, start - len);
        axis.Layout(isShown(left, right, &axis) ? &dc : nullptr);
    }
    d.left = p.left + (left.empty() ? 0 : SideThickness(left) + 1);
    d.right = std::max(d.left + 1, p.right - SideThickness(right));
    for (int32_t i = 0; i < LineCount(); ++i) {
        XChartAxisX& axis = Line(i)->AxisX();
        const double start = double(d.left);
        const double len = double(d.Width() - 1) * axis.GetLengthPercent() * 0.01;
        axis.SetPixels(start, start + len);
        axis.Layout(isShown(bottom, top, &axis) ? &dc : nullptr);
    }

    PlaceSide(bottom, XChartAxisSide::Bottom, d.bottom, 1, d, p.top);
    PlaceSide(top, XChartAxisSide::Top, d.top - 1, -1, d, p.top);
    PlaceSide(left, XChartAxisSide::Left, d.left - 1, -1, d, p.top);
    PlaceSide(right, XChartAxisSide::Right, d.right, 1, d, p.top);
    m_plotRect = d;
}

plat::Rect XChart::LayoutTitle(plat::DrawContext& dc, const plat::Rect& a,
                               std::vector<std::string>& lines, int32_t& lineHeight)
{
    plat::Font font;
    font.face = m_attrs.GetStr("titleFontName").Text();
    font.sizeTenths = TitleFontSize(a.Height());
    dc.SetFont(font);

    // A title may hold line breaks (a file keeps them); each line is drawn on its own and
    // centred in the box.
    const ZString title = m_attrs.GetStr("title");
    lines.clear();
    std::string current;
    for (char c : title.Str()) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else if (c != '\r') {
            current += c;
        }
    }
    lines.push_back(current);
    int32_t w = 0;
    lineHeight = dc.GetTextMetrics().height;
    for (const std::string& line : lines) {
        w = std::max(w, int32_t(dc.GetTextExtent(line).cx));
    }
    const int32_t h = lineHeight * int32_t(lines.size());

    int32_t place = m_attrs.GetInt("titlePlace", 1);
    if (place < 0) {
        place = 0;
    }
    const int32_t cx = (a.left + a.right - w) / 2;
    const int32_t cy = (a.top + a.bottom - h) / 2;
    int32_t x = cx;
    int32_t y = cy;
    switch (place) {
    case 0:
        x = a.left;
        y = a.top;
        break;
    case 1:
        y = a.top;
        break;
    case 2:
        x = a.right - w;
        y = a.top;
        break;
    case 3:
        x = a.right - w;
        break;
    case 4:
        x = a.right - w;
        y = a.bottom - h;
        break;
    case 5:
        y = a.bottom - h;
        break;
    case 6:
        x = a.left;
        y = a.bottom - h;
        break;
    case 7:
        x = a.left;
        break;
    default: // 8 and more: centred
        break;
    }
    return plat::Rect::FromXYWH(x, y, w, h);
}

plat::Rect XChart::TitleRoom(plat::DrawContext& dc, const plat::Rect& a, const plat::Rect& p)
{
    // A title at the top or bottom edge that is taller than the margin would stand over the
    // axes, their labels and captions (the X caption sits right above a title at the
    // bottom): the plot area gives way to it. A title that fits in the margin, or stands at
    // the sides or in the middle, leaves the plot area as it is.
    const int32_t place = std::max(0, m_attrs.GetInt("titlePlace", 1));
    const bool top = place <= 2;
    const bool bottom = place >= 4 && place <= 6;
    if ((!top && !bottom) || m_attrs.GetStr("title").IsEmpty()) {
        return p;
    }
    std::vector<std::string> lines;
    int32_t lineHeight = 0;
    const plat::Rect box = LayoutTitle(dc, a, lines, lineHeight);
    constexpr int32_t kGap = 4;
    plat::Rect r = p;
    if (top && box.bottom > p.top) {
        r.top = std::min(p.bottom - 1, box.bottom + kGap);
    } else if (bottom && box.top < p.bottom) {
        r.bottom = std::max(p.top + 1, box.top - kGap);
    }
    return r;
}

void XChart::DrawTitle(plat::DrawContext& dc, const plat::Rect& a)
{
    std::vector<std::string> lines;
    int32_t lineHeight = 0;
    const plat::Rect box = LayoutTitle(dc, a, lines, lineHeight);
    const XColor color = m_attrs.GetColor("titleFontColor", XColor::FromRGB(255, 255, 255));
    dc.SetTextColor(plat::ColorRef(color.Value()));
    dc.SetBkMode(plat::BkMode::Transparent);
    dc.SetTextAlign(plat::TextAlign::kLeft | plat::TextAlign::kTop);
    m_titleRect = box;
    if (color.IsNone()) {
        return;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const int32_t lw = dc.GetTextExtent(lines[i]).cx;
        dc.TextOut({box.left + (box.Width() - lw) / 2, box.top + int32_t(i) * lineHeight},
                   lines[i]);
    }
}

void XChart::DrawLegend(plat::DrawContext& dc)
{
    // The lines that name themselves with a "legend" text, each with a sample of its colour,
    // in a box at the plot area's top right corner; nothing when no shown line has one.
    std::vector<std::pair<std::string, plat::ColorRef>> entries;
    for (int32_t i = 0; i < LineCount(); ++i) {
        const XChartLine& line = *Line(i);
        const ZString text = line.GetStr("legend");
        const XColor color = line.GetColor("color", XColor::FromRGB(255, 255, 0));
        if (line.GetBool("showLine", true) && !text.IsEmpty() && !color.IsNone()) {
            entries.emplace_back(ToStdString(text.Str()), plat::ColorRef(color.Value()));
        }
    }
    if (entries.empty()) {
        return;
    }
    dc.SetFont(plat::Font{"Arial", 80, plat::FontWeight::Normal, false});
    int32_t textWidth = 0;
    int32_t lineHeight = 0;
    for (const auto& entry : entries) {
        const plat::Size extent = dc.GetTextExtent(entry.first);
        textWidth = std::max(textWidth, extent.cx);
        lineHeight = std::max(lineHeight, extent.cy);
    }
    constexpr int32_t kPad = 4;
    constexpr int32_t kSample = 18;
    const int32_t width = kPad + kSample + kPad + textWidth + kPad;
    const int32_t height = kPad + int32_t(entries.size()) * lineHeight + kPad;
    const plat::Rect box{m_plotRect.right - width - kPad, m_plotRect.top + kPad,
                         m_plotRect.right - kPad, m_plotRect.top + kPad + height};
    const XColor bg = m_attrs.GetColor("bgColor", XColor::FromRGB(0, 0, 0));
    dc.SetPen(plat::Pen{plat::Rgb(128, 128, 128), 1, plat::PenStyle::Solid});
    dc.SetBrush(bg.IsNone() ? plat::Brush::Hollow()
                            : plat::Brush::Solid(plat::ColorRef(bg.Value())));
    dc.Rectangle(box);
    dc.SetBkMode(plat::BkMode::Transparent);
    dc.SetTextAlign(plat::TextAlign::kLeft | plat::TextAlign::kTop);
    for (size_t i = 0; i < entries.size(); ++i) {
        const int32_t top = box.top + kPad + int32_t(i) * lineHeight;
        const int32_t mid = top + lineHeight / 2;
        dc.SetPen(plat::Pen{entries[i].second, 2, plat::PenStyle::Solid});
        dc.Line({box.left + kPad, mid}, {box.left + kPad + kSample, mid});
        dc.SetTextColor(entries[i].second);
        dc.TextOut({box.left + kPad + kSample + kPad, top}, entries[i].first);
    }
}

void XChart::Paint(plat::DrawContext& dc, const NXRect& area)
{
    // Painting is not re-entrant: a callback that paints again while a paint runs would see
    // half-made layout, so the inner paint is skipped. The flag is tested before the lock is
    // taken: the inner call comes from the thread that already holds it.
    if (m_painting) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_paintLock);
    m_painting = true;
    struct PaintingReset
    {
        bool& flag;
        ~PaintingReset() { flag = false; }
    } reset{m_painting};
    const plat::Rect a = area.ToIntRect();
    NXRect inset{15.0, 15.0, 15.0, 15.0};
    m_attrs.GetRect("chartInset", inset);
    plat::Rect p{a.left + InsetPixels(inset.x), a.top + InsetPixels(inset.y),
                 a.right - InsetPixels(inset.width), a.bottom - InsetPixels(inset.height)};
    p = p.Intersect(dc.GetClipBox());
    p = TitleRoom(dc, a, p);

    LayoutAxes(dc, p);

    const XColor bg = m_attrs.GetColor("bgColor", XColor::FromRGB(0, 0, 0));
    if (!bg.IsNone()) {
        dc.FillRect(a, plat::ColorRef(bg.Value()));
    }
    if (m_show) {
        m_host->Drawing(*this, 1);
    }

    XChartDrawBudget budget;
    dc.PushClip(m_plotRect);
    for (int32_t i = 0; i < LineCount(); ++i) {
        Line(i)->DrawData(dc, m_plotRect, budget);
    }
    dc.PopClip();
    // The title stands anywhere in the chart area, usually in the margin outside the plot
    // area, so it is not clipped to it.
    DrawTitle(dc, a);
    for (int32_t i = 0; i < LineCount(); ++i) {
        Line(i)->DrawAxes(dc);
    }
    // Over the grid, which the axes draw across the plot area.
    DrawLegend(dc);
    if (m_show) {
        m_host->Drawing(*this, 0);
    }
}
