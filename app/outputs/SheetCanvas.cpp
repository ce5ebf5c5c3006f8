// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/outputs/SheetCanvas.h"

#include "base/ZStr.h"

#include <cmath>
#include <cstdio>

namespace {

// Font sizes are given to the platform in tenths of a point of a 96 dpi screen; on a page
// whose units are points a size of 7.5 tenths therefore draws one point high.
constexpr double kTenthsPerPoint = 7.5;

struct FontStyle
{
    int sizeTenths;
    plat::FontWeight weight;
};

FontStyle StyleOf(SheetFont font)
{
    switch (font) {
    case SheetFont::Title:
        return {90, plat::FontWeight::Bold};
    case SheetFont::Heading:
        return {64, plat::FontWeight::Bold};
    case SheetFont::Normal:
        return {54, plat::FontWeight::Normal};
    case SheetFont::Small:
        return {46, plat::FontWeight::Normal};
    }
    return {54, plat::FontWeight::Normal};
}

int Round(double v)
{
    return int(std::lround(v));
}

// Numbers in the SVG: two decimals are a hundredth of a point, far below what a printer
// shows, and keep the file small.
std::string Num(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

// The length of the UTF-8 sequence that starts at s[i], or 0 when it is not one.
} // namespace

SheetCanvas::SheetCanvas()
    : m_measure(1, 1)
{
}

SheetCanvas::~SheetCanvas() = default;

plat::Font SheetCanvas::PlatformFont(SheetFont font)
{
    const FontStyle style = StyleOf(font);
    plat::Font f;
    f.face = "Arial";
    f.sizeTenths = style.sizeTenths;
    f.weight = style.weight;
    return f;
}

double SheetCanvas::FontPoints(SheetFont font)
{
    return StyleOf(font).sizeTenths / kTenthsPerPoint;
}

double SheetCanvas::TextWidth(const std::string& text, SheetFont font)
{
    plat::DrawContext& dc = m_measure.Context();
    dc.SetFont(PlatformFont(font));
    return dc.GetTextExtent(text).cx;
}

double SheetCanvas::Ascent(SheetFont font)
{
    // Digits and capitals reach about three quarters of the font size; the font's own ascent
    // leaves room for accents that dimension texts do not have.
    return 0.75 * FontPoints(font);
}

double SheetCanvas::Descent(SheetFont font)
{
    return 0.25 * FontPoints(font);
}

ContextSheetCanvas::ContextSheetCanvas(plat::DrawContext& dc)
    : m_dc(dc)
{
    m_dc.SetBkMode(plat::BkMode::Transparent);
    m_dc.SetTextColor(0);
}

void ContextSheetCanvas::UsePen(SheetPen pen)
{
    plat::Pen p;
    switch (pen) {
    case SheetPen::Outline:
        p.width = 2;
        break;
    case SheetPen::Thin:
        p.width = 1;
        break;
    case SheetPen::Centre:
        p.width = 1;
        p.style = plat::PenStyle::Dash;
        break;
    }
    m_dc.SetPen(p);
}

void ContextSheetCanvas::Line(double x1, double y1, double x2, double y2, SheetPen pen)
{
    UsePen(pen);
    m_dc.Line({Round(x1), Round(y1)}, {Round(x2), Round(y2)});
}

void ContextSheetCanvas::Rectangle(double x, double y, double w, double h, SheetPen pen)
{
    UsePen(pen);
    m_dc.SetBrush(plat::Brush::Hollow());
    // The platform's rectangle strokes inside its bounds; the lines of a drawing lie on
    // the edges, so the outline is drawn as four lines.
    const int l = Round(x), t = Round(y), r = Round(x + w), b = Round(y + h);
    m_dc.Polyline({{l, t}, {r, t}, {r, b}, {l, b}, {l, t}});
}

void ContextSheetCanvas::FillRectangle(double x, double y, double w, double h, int level)
{
    const auto g = static_cast<uint8_t>(level < 0 ? 0 : level > 255 ? 255 : level);
    m_dc.FillRect({Round(x), Round(y), Round(x + w), Round(y + h)}, plat::Rgb(g, g, g));
}

void ContextSheetCanvas::Circle(double cx, double cy, double r, SheetPen pen)
{
    UsePen(pen);
    m_dc.SetBrush(plat::Brush::Hollow());
    m_dc.Ellipse({Round(cx - r), Round(cy - r), Round(cx + r) + 1, Round(cy + r) + 1});
}

void ContextSheetCanvas::FillPolygon(const std::vector<SheetPoint>& points)
{
    std::vector<plat::Point> pts;
    for (const SheetPoint& p : points) {
        pts.push_back({Round(p.first), Round(p.second)});
    }
    m_dc.SetPen({0, 1, plat::PenStyle::Null});
    m_dc.SetBrush(plat::Brush::Solid(0));
    m_dc.Polygon(pts);
}

void ContextSheetCanvas::Text(double x, double y, const std::string& text, SheetFont font,
                              TextAnchor anchor)
{
    m_dc.SetFont(PlatformFont(font));
    const unsigned horizontal = anchor == TextAnchor::Left     ? plat::TextAlign::kLeft
                                : anchor == TextAnchor::Centre ? plat::TextAlign::kCenter
                                                               : plat::TextAlign::kRight;
    m_dc.SetTextAlign(horizontal | plat::TextAlign::kBaseline);
    m_dc.TextOut({Round(x), Round(y)}, text);
}

SvgSheetCanvas::SvgSheetCanvas(double width, double height)
    : m_width(width)
    , m_height(height)
{
}

namespace {

// The SVG stroke of each pen, in the order of SheetPen.
const char* StrokeOf(SheetPen pen)
{
    static const char* const kStrokes[] = {
        "stroke=\"#000\" stroke-width=\"1.4\"",
        "stroke=\"#000\" stroke-width=\"0.5\"",
        "stroke=\"#000\" stroke-width=\"0.5\" stroke-dasharray=\"6 2 1 2\"",
    };
    return kStrokes[static_cast<int>(pen)];
}

} // namespace

void SvgSheetCanvas::Line(double x1, double y1, double x2, double y2, SheetPen pen)
{
    m_body += "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" +
              Num(y2) + "\" " + StrokeOf(pen) + "/>\n";
}

void SvgSheetCanvas::Rectangle(double x, double y, double w, double h, SheetPen pen)
{
    m_body += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) + "\" height=\"" +
              Num(h) + "\" fill=\"none\" " + StrokeOf(pen) + "/>\n";
}

void SvgSheetCanvas::FillRectangle(double x, double y, double w, double h, int level)
{
    char colour[16];
    const int g = level < 0 ? 0 : level > 255 ? 255 : level;
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", g, g, g);
    m_body += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) + "\" height=\"" +
              Num(h) + "\" fill=\"" + colour + "\" stroke=\"none\"/>\n";
}

void SvgSheetCanvas::Circle(double cx, double cy, double r, SheetPen pen)
{
    m_body += "<circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" r=\"" + Num(r) +
              "\" fill=\"none\" " + StrokeOf(pen) + "/>\n";
}

void SvgSheetCanvas::FillPolygon(const std::vector<SheetPoint>& points)
{
    std::string list;
    for (const SheetPoint& p : points) {
        list += (list.empty() ? "" : " ") + Num(p.first) + "," + Num(p.second);
    }
    m_body += "<polygon points=\"" + list + "\" fill=\"#000\" stroke=\"none\"/>\n";
}

void SvgSheetCanvas::Text(double x, double y, const std::string& text, SheetFont font,
                          TextAnchor anchor)
{
    const char* a = anchor == TextAnchor::Left     ? "start"
                    : anchor == TextAnchor::Centre ? "middle"
                                                   : "end";
    const bool bold = PlatformFont(font).weight == plat::FontWeight::Bold;
    m_body += "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" font-size=\"" +
              Num(FontPoints(font)) + "\" text-anchor=\"" + a + "\"" +
              (bold ? " font-weight=\"bold\"" : "") + ">" + XmlEscaped(text) + "</text>\n";
}

std::string SvgSheetCanvas::Document() const
{
    // The page keeps its size in points, so a printer gets it at full scale.
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           Num(m_width) + "pt\" height=\"" + Num(m_height) + "pt\" viewBox=\"0 0 " + Num(m_width) +
           " " + Num(m_height) +
           "\">\n"
           "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n"
           "<g font-family=\"DejaVu Sans, Verdana, sans-serif\" fill=\"#000\">\n" +
           m_body + "</g>\n</svg>\n";
}

std::string XmlEscaped(const std::string& text)
{
    // Only characters XML allows are written: a byte that is no part of valid UTF-8, and a
    // control character other than tab, line feed and carriage return, become U+FFFD.
    const ZStr view(text.data(), int32_t(text.size()));
    std::string out;
    for (int32_t i = 0; i < view.len;) {
        const char c = view[i];
        const int32_t n = view.Utf8SequenceLength(i);
        const bool control =
            n == 1 && static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
        const bool nonCharacter = n == 3 && static_cast<unsigned char>(c) == 0xEF &&
                                  static_cast<unsigned char>(view[i + 1]) == 0xBF &&
                                  static_cast<unsigned char>(view[i + 2]) >= 0xBE;
        if (n == 0 || control || nonCharacter) {
            out += "\xEF\xBF\xBD";
            i += n == 0 ? 1 : n;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out.append(text, size_t(i), size_t(n));
            break;
        }
        i += n;
    }
    return out;
}
