// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/DrawContext.h"

#include "platform/Fonts.h"
#include "platform/Image.h"
#include "platform/detail/CairoBridge.h"
#include "platform/detail/Utf8.h"
#include "platform/detail/WordWrap.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

namespace plat {

struct DrawContext::Impl
{
    cairo_t* cr = nullptr;
    Size size;
    Pen pen;
    Brush brush;
    Font font;
    ColorRef textColor = 0;
    ColorRef bkColor = 0xFFFFFF;
    BkMode bkMode = BkMode::Transparent;
    unsigned textAlign = 0;
    Point current;
    std::vector<Rect> clips;

    // The scaled font of the selected Font, made on first use after a change.
    cairo_scaled_font_t* scaled = nullptr;
    cairo_font_extents_t extents{};
    TextMetrics metrics; // of the scaled font, computed with it
    // The scaled font currently set on the cairo context; setting it is costly, so it is
    // set only when it changes (cairo_restore may bring back an older one: then null).
    cairo_scaled_font_t* applied = nullptr;

    ~Impl()
    {
        if (scaled)
            cairo_scaled_font_destroy(scaled);
        if (cr)
            cairo_destroy(cr);
    }

    // The colour last set as cairo's source; kNoSource after anything else replaced it.
    static constexpr uint32_t kNoSource = 0xFFFFFFFF;
    uint32_t source = kNoSource;

    void SetSource(ColorRef c)
    {
        if (source == c)
            return;
        cairo_set_source_rgb(cr, RedOf(c) / 255.0, GreenOf(c) / 255.0, BlueOf(c) / 255.0);
        source = c;
    }

    void DropFont()
    {
        if (scaled)
            cairo_scaled_font_destroy(scaled);
        scaled = nullptr;
        applied = nullptr;
    }

    cairo_scaled_font_t* ScaledFont()
    {
        if (scaled)
            return scaled;
        const std::string family = MapFaceName(font.face);
        cairo_font_face_t* face = cairo_toy_font_face_create(
            family.c_str(), font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
            int(font.weight) >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        const double px = PointTenthsToPixels(std::max(1, font.sizeTenths));
        cairo_matrix_t fm, ctm;
        cairo_matrix_init_scale(&fm, px, px);
        cairo_matrix_init_identity(&ctm);
        // The surface's own options first (image surfaces place glyphs on whole pixels, which
        // lets cairo reuse each rendered glyph), then ours, which fix the metrics.
        cairo_font_options_t* opts = cairo_font_options_create();
        cairo_surface_get_font_options(cairo_get_target(cr), opts);
        cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
        scaled = cairo_scaled_font_create(face, &fm, &ctm, opts);
        cairo_font_options_destroy(opts);
        cairo_font_face_destroy(face);
        cairo_scaled_font_extents(scaled, &extents);
        metrics.ascent = int(std::ceil(extents.ascent));
        metrics.descent = int(std::ceil(extents.descent));
        metrics.height = metrics.ascent + metrics.descent;
        cairo_text_extents_t te;
        // Average width over the alphabet, the usual measure of a font's character cell.
        cairo_scaled_font_text_extents(scaled,
                                       "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ", &te);
        metrics.aveCharWidth = int((te.x_advance / 26.0 + 1.0) / 2.0);
        return scaled;
    }

    const TextMetrics& Metrics()
    {
        ScaledFont();
        return metrics;
    }

    double Advance(const std::string& utf8)
    {
        cairo_text_extents_t te;
        cairo_scaled_font_text_extents(ScaledFont(), utf8.c_str(), &te);
        return te.x_advance;
    }

    bool StrokeSetup()
    {
        if (pen.style == PenStyle::Null)
            return false;
        SetSource(pen.color);
        const double w = std::max(1, pen.width);
        cairo_set_line_width(cr, w);
        switch (pen.style) {
        case PenStyle::Dash: {
            const double d[] = {3 * w, w};
            cairo_set_dash(cr, d, 2, 0);
            break;
        }
        case PenStyle::Dot: {
            const double d[] = {w, w};
            cairo_set_dash(cr, d, 2, 0);
            break;
        }
        case PenStyle::Solid:
        case PenStyle::Null:
            cairo_set_dash(cr, nullptr, 0, 0);
            break;
        }
        return true;
    }

    // Lines of odd width are centred on pixel centres so that they stay crisp.
    double PenOffset() const { return (std::max(1, pen.width) % 2) ? 0.5 : 0.0; }

    void DrawTextLine(double x, double baseline, const std::string& utf8)
    {
        SetSource(textColor);
        if (applied != ScaledFont()) {
            cairo_set_scaled_font(cr, ScaledFont());
            applied = ScaledFont();
        }
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, utf8.c_str());
        cairo_new_path(cr);
    }
};

namespace detail {

void ApplyFontOptions(void* cairoContext)
{
    cairo_t* cr = static_cast<cairo_t*>(cairoContext);
    cairo_font_options_t* opts = cairo_font_options_create();
    cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, opts);
    cairo_font_options_destroy(opts);
}

std::unique_ptr<DrawContext> MakeDrawContext(void* cairoContext, Size size)
{
    auto impl = std::make_unique<DrawContext::Impl>();
    impl->cr = static_cast<cairo_t*>(cairoContext);
    impl->size = size;
    ApplyFontOptions(impl->cr);
    return std::make_unique<DrawContext>(std::move(impl));
}

} // namespace detail

DrawContext::DrawContext(std::unique_ptr<Impl> impl)
    : m_impl(std::move(impl))
{
}

DrawContext::~DrawContext() = default;

void DrawContext::SetPen(const Pen& pen)
{
    m_impl->pen = pen;
}
const Pen& DrawContext::GetPen() const
{
    return m_impl->pen;
}
void DrawContext::SetBrush(const Brush& brush)
{
    m_impl->brush = brush;
}
const Brush& DrawContext::GetBrush() const
{
    return m_impl->brush;
}

void DrawContext::SetFont(const Font& font)
{
    const Font& f = m_impl->font;
    if (f.face == font.face && f.sizeTenths == font.sizeTenths && f.weight == font.weight &&
        f.italic == font.italic)
        return;
    m_impl->font = font;
    m_impl->DropFont();
}

const Font& DrawContext::GetFont() const
{
    return m_impl->font;
}
void DrawContext::SetTextColor(ColorRef c)
{
    m_impl->textColor = c;
}
ColorRef DrawContext::GetTextColor() const
{
    return m_impl->textColor;
}
void DrawContext::SetBkColor(ColorRef c)
{
    m_impl->bkColor = c;
}
void DrawContext::SetBkMode(BkMode mode)
{
    m_impl->bkMode = mode;
}
void DrawContext::SetTextAlign(unsigned align)
{
    m_impl->textAlign = align;
}

void DrawContext::FillRect(const Rect& r, ColorRef c)
{
    if (r.IsEmpty())
        return;
    cairo_t* cr = m_impl->cr;
    m_impl->SetSource(c);
    cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
    cairo_fill(cr);
}

void DrawContext::Rectangle(const Rect& r)
{
    if (r.IsEmpty())
        return;
    if (!m_impl->brush.none)
        FillRect(r, m_impl->brush.color);
    if (m_impl->pen.style == PenStyle::Null)
        return;
    const int w = std::max(1, m_impl->pen.width);
    if (m_impl->pen.style == PenStyle::Solid) {
        // Solid frames are filled as four bands inside the rectangle: crisp at any width.
        const ColorRef c = m_impl->pen.color;
        const int wx = std::min(w, r.Width()), wy = std::min(w, r.Height());
        FillRect({r.left, r.top, r.right, r.top + wy}, c);
        FillRect({r.left, r.bottom - wy, r.right, r.bottom}, c);
        FillRect({r.left, r.top + wy, r.left + wx, r.bottom - wy}, c);
        FillRect({r.right - wx, r.top + wy, r.right, r.bottom - wy}, c);
        return;
    }
    cairo_t* cr = m_impl->cr;
    m_impl->StrokeSetup();
    const double h = w / 2.0;
    cairo_rectangle(cr, r.left + h, r.top + h, r.Width() - w, r.Height() - w);
    cairo_stroke(cr);
}

void DrawContext::Ellipse(const Rect& r)
{
    if (r.IsEmpty())
        return;
    cairo_t* cr = m_impl->cr;
    const double cx = r.left + r.Width() / 2.0, cy = r.top + r.Height() / 2.0;
    const bool stroke = m_impl->pen.style != PenStyle::Null;
    const double inset = stroke ? std::max(1, m_impl->pen.width) / 2.0 : 0.0;
    const double rx = std::max(0.0, r.Width() / 2.0 - inset);
    const double ry = std::max(0.0, r.Height() / 2.0 - inset);
    auto path = [&](double ax, double ay) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, std::max(ax, 0.01), std::max(ay, 0.01));
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    };
    if (!m_impl->brush.none) {
        path(r.Width() / 2.0 - (stroke ? inset : 0), r.Height() / 2.0 - (stroke ? inset : 0));
        m_impl->SetSource(m_impl->brush.color);
        cairo_fill(cr);
    }
    if (stroke) {
        path(rx, ry);
        m_impl->StrokeSetup();
        cairo_stroke(cr);
    }
}

void DrawContext::Line(Point a, Point b)
{
    m_impl->current = b;
    if (m_impl->pen.style == PenStyle::Null || a == b)
        return;
    const int w = std::max(1, m_impl->pen.width);
    if (m_impl->pen.style == PenStyle::Solid && (a.x == b.x || a.y == b.y)) {
        // Axis-parallel solid lines are filled exactly: from a up to, not including, b.
        const int lo = w / 2, hi = w - lo;
        if (a.y == b.y) {
            const int from = a.x < b.x ? a.x : b.x + 1, to = a.x < b.x ? b.x : a.x + 1;
            FillRect({from, a.y - lo, to, a.y + hi}, m_impl->pen.color);
        } else {
            const int from = a.y < b.y ? a.y : b.y + 1, to = a.y < b.y ? b.y : a.y + 1;
            FillRect({a.x - lo, from, a.x + hi, to}, m_impl->pen.color);
        }
        return;
    }
    cairo_t* cr = m_impl->cr;
    m_impl->StrokeSetup();
    const double o = m_impl->PenOffset();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_move_to(cr, a.x + o, a.y + o);
    cairo_line_to(cr, b.x + o, b.y + o);
    cairo_stroke(cr);
}

void DrawContext::MoveTo(Point p)
{
    m_impl->current = p;
}

void DrawContext::LineTo(Point p)
{
    Line(m_impl->current, p);
}

void DrawContext::Polyline(const std::vector<Point>& pts)
{
    if (pts.size() < 2 || !m_impl->StrokeSetup())
        return;
    cairo_t* cr = m_impl->cr;
    const double o = m_impl->PenOffset();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_move_to(cr, pts[0].x + o, pts[0].y + o);
    for (size_t i = 1; i < pts.size(); ++i)
        cairo_line_to(cr, pts[i].x + o, pts[i].y + o);
    cairo_stroke(cr);
    m_impl->current = pts.back();
}

void DrawContext::Polygon(const std::vector<Point>& pts)
{
    if (pts.size() < 2)
        return;
    cairo_t* cr = m_impl->cr;
    auto path = [&](double o) {
        cairo_move_to(cr, pts[0].x + o, pts[0].y + o);
        for (size_t i = 1; i < pts.size(); ++i)
            cairo_line_to(cr, pts[i].x + o, pts[i].y + o);
        cairo_close_path(cr);
    };
    if (!m_impl->brush.none && pts.size() >= 3) {
        path(0);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        m_impl->SetSource(m_impl->brush.color);
        cairo_fill(cr);
    }
    if (m_impl->StrokeSetup()) {
        path(m_impl->PenOffset());
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_stroke(cr);
    }
}

void DrawContext::SetPixel(Point p, ColorRef c)
{
    FillRect({p.x, p.y, p.x + 1, p.y + 1}, c);
}

void DrawContext::TextOut(Point p, const std::string& text)
{
    if (text.empty())
        return;
    const std::string utf8 = detail::ToUtf8(text);
    const TextMetrics m = m_impl->Metrics();
    const unsigned a = m_impl->textAlign;
    // The width is only needed to align right or centre, or to fill the background.
    const bool needWidth = (a & TextAlign::kRight) || m_impl->bkMode == BkMode::Opaque;
    const double width = needWidth ? m_impl->Advance(utf8) : 0.0;
    double x = p.x;
    if ((a & TextAlign::kCenter) == TextAlign::kCenter)
        x -= width / 2.0;
    else if (a & TextAlign::kRight)
        x -= width;
    double baseline = p.y + m.ascent;
    if ((a & TextAlign::kBaseline) == TextAlign::kBaseline)
        baseline = p.y;
    else if (a & TextAlign::kBottom)
        baseline = p.y - m.descent;
    if (m_impl->bkMode == BkMode::Opaque) {
        const int left = int(std::floor(x));
        FillRect({left, int(baseline) - m.ascent, left + int(std::ceil(width)),
                  int(baseline) + m.descent},
                 m_impl->bkColor);
    }
    m_impl->DrawTextLine(x, baseline, utf8);
}

namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += c;
    }
    return lines;
}

} // namespace

int DrawContext::DrawText(const std::string& text, Rect& r, unsigned flags)
{
    using namespace DrawTextFlags;
    const TextMetrics m = m_impl->Metrics();
    std::vector<std::string> lines;
    if (flags & kSingleLine) {
        std::string one;
        for (char c : text)
            if (c != '\r' && c != '\n')
                one += c;
        lines.push_back(detail::ToUtf8(one));
    } else {
        for (const std::string& raw : SplitLines(text)) {
            const std::string line = detail::ToUtf8(raw);
            if (!(flags & kWordBreak) || m_impl->Advance(line) <= r.Width()) {
                lines.push_back(line);
                continue;
            }
            // Greedy wrapping at blanks; a word longer than the line stands on its own.
            detail::WrapWords(
                line, [&](const std::string& t) { return m_impl->Advance(t) <= r.Width(); },
                [&](const std::string& l) {
                    lines.push_back(l);
                    return true;
                });
        }
    }
    double widest = 0;
    for (const std::string& l : lines)
        widest = std::max(widest, m_impl->Advance(l));
    const int height = m.height * int(lines.size());
    if (flags & kCalcRect) {
        r.right = r.left + int(std::ceil(widest));
        r.bottom = r.top + height;
        return height;
    }
    int top = r.top;
    if (flags & kSingleLine) {
        if (flags & kVCenter)
            top = r.top + (r.Height() - m.height) / 2;
        else if (flags & kBottom)
            top = r.bottom - m.height;
    }
    const bool clip = !(flags & kNoClip);
    if (clip)
        PushClip(r);
    for (size_t i = 0; i < lines.size(); ++i) {
        const double w = m_impl->Advance(lines[i]);
        double x = r.left;
        if (flags & kCenter)
            x = r.left + (r.Width() - w) / 2.0;
        else if (flags & kRight)
            x = r.right - w;
        const int lineTop = top + int(i) * m.height;
        if (m_impl->bkMode == BkMode::Opaque)
            FillRect({int(std::floor(x)), lineTop, int(std::ceil(x + w)), lineTop + m.height},
                     m_impl->bkColor);
        if (!lines[i].empty())
            m_impl->DrawTextLine(x, lineTop + m.ascent, lines[i]);
    }
    if (clip)
        PopClip();
    return height;
}

Size DrawContext::GetTextExtent(const std::string& text) const
{
    const TextMetrics m = m_impl->Metrics();
    const std::vector<std::string> lines = SplitLines(text);
    double widest = 0;
    for (const std::string& l : lines)
        widest = std::max(widest, m_impl->Advance(detail::ToUtf8(l)));
    return {int(std::ceil(widest)), m.height * int(lines.size())};
}

TextMetrics DrawContext::GetTextMetrics() const
{
    return m_impl->Metrics();
}

void DrawContext::DrawImage(const Image& image, Point p)
{
    auto* surface = static_cast<cairo_surface_t*>(detail::RasterSurfaceOf(image));
    if (!surface)
        return;
    cairo_t* cr = m_impl->cr;
    const Size s = image.GetSize();
    cairo_save(cr);
    cairo_set_source_surface(cr, surface, p.x, p.y);
    cairo_rectangle(cr, p.x, p.y, s.cx, s.cy);
    cairo_fill(cr);
    cairo_restore(cr);
    m_impl->applied = nullptr;
    m_impl->source = Impl::kNoSource;
}

void DrawContext::PushClip(const Rect& r)
{
    cairo_t* cr = m_impl->cr;
    const Rect inter = GetClipBox().Intersect(r);
    m_impl->clips.push_back(inter);
    m_impl->applied = nullptr;
    cairo_save(cr);
    cairo_rectangle(cr, inter.left, inter.top, inter.Width(), inter.Height());
    cairo_clip(cr);
}

void DrawContext::PopClip()
{
    if (m_impl->clips.empty())
        return;
    m_impl->clips.pop_back();
    cairo_restore(m_impl->cr);
    m_impl->applied = nullptr;
    m_impl->source = Impl::kNoSource;
}

Rect DrawContext::GetClipBox() const
{
    if (!m_impl->clips.empty())
        return m_impl->clips.back();
    return {0, 0, m_impl->size.cx, m_impl->size.cy};
}

} // namespace plat
