// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

/// How a pen strokes.
enum class PenStyle {
    Solid,
    Dash,
    Dot,
    Null, ///< draws nothing
};

/// A pen: colour and width in pixels (0 counts as 1, like a cosmetic pen).
struct Pen
{
    ColorRef color = 0;
    int width = 1;
    PenStyle style = PenStyle::Solid;
};

/// A brush: a solid colour, or none (shapes are then only outlined).
struct Brush
{
    ColorRef color = 0xFFFFFF;
    bool none = false;

    static Brush Solid(ColorRef c) { return Brush{c, false}; }
    static Brush Hollow() { return Brush{0, true}; }
};

/// Font weights as the library writes them.
enum class FontWeight {
    Normal = 400,
    Bold = 700,
};

/// A font by face name (mapped to an installed family, see MapFaceName) and size in tenths
/// of a point.
struct Font
{
    std::string face = "MS Sans Serif";
    int sizeTenths = 80;
    FontWeight weight = FontWeight::Normal;
    bool italic = false;
};

/// Vertical metrics of the selected font in pixels; height = ascent + descent.
struct TextMetrics
{
    int ascent = 0;
    int descent = 0;
    int height = 0;
    int aveCharWidth = 0;
};

/// Whether text cells are filled with the background colour first.
enum class BkMode {
    Transparent,
    Opaque,
};

/// Reference point of TextOut, combined from one horizontal and one vertical flag; the
/// numbers are the conventional ones (TA_LEFT 0, TA_RIGHT 2, TA_CENTER 6, TA_TOP 0,
/// TA_BOTTOM 8, TA_BASELINE 24).
namespace TextAlign {
constexpr unsigned kLeft = 0;
constexpr unsigned kRight = 2;
constexpr unsigned kCenter = 6;
constexpr unsigned kTop = 0;
constexpr unsigned kBottom = 8;
constexpr unsigned kBaseline = 24;
} // namespace TextAlign

/// Format flags of DrawText, with their conventional numbers (DT_*).
namespace DrawTextFlags {
constexpr unsigned kLeft = 0x0;
constexpr unsigned kCenter = 0x1;
constexpr unsigned kRight = 0x2;
constexpr unsigned kVCenter = 0x4; ///< single line only
constexpr unsigned kBottom = 0x8;  ///< single line only
constexpr unsigned kWordBreak = 0x10;
constexpr unsigned kSingleLine = 0x20;
constexpr unsigned kNoClip = 0x100;
constexpr unsigned kCalcRect = 0x400; ///< measure only: the rectangle is set, nothing drawn
} // namespace DrawTextFlags

/// A drawing context over cairo. The same class draws into a window while it paints and into
/// an Image. State (pen, brush, font, colours, clip) is value-typed and stays selected until
/// changed; every operation uses the state current at the call. Coordinates are pixels with
/// the origin at the top-left corner of the client area or image. Text is 8-bit: valid UTF-8
/// is drawn as such, anything else is read as Latin-1, so no input can break the context.
class DrawContext
{
public:
    ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    void SetPen(const Pen& pen);
    const Pen& GetPen() const;
    void SetBrush(const Brush& brush);
    const Brush& GetBrush() const;
    void SetFont(const Font& font);
    const Font& GetFont() const;
    void SetTextColor(ColorRef c);
    ColorRef GetTextColor() const;
    void SetBkColor(ColorRef c);
    void SetBkMode(BkMode mode);
    void SetTextAlign(unsigned align);

    /// Fills [left, right) x [top, bottom) with a colour; pen and brush are not used.
    void FillRect(const Rect& r, ColorRef c);
    /// Fills with the brush (unless none) and outlines with the pen, inside r.
    void Rectangle(const Rect& r);
    /// The ellipse inscribed in r: brush fill, pen outline.
    void Ellipse(const Rect& r);
    /// A straight line with the pen from a to b; b itself is not painted for 1-pixel pens.
    void Line(Point a, Point b);
    void MoveTo(Point p);
    void LineTo(Point p);
    /// Connected lines through the points (nothing for fewer than two).
    void Polyline(const std::vector<Point>& pts);
    /// A closed polygon: brush fill (even-odd rule), pen outline.
    void Polygon(const std::vector<Point>& pts);
    /// Sets one pixel.
    void SetPixel(Point p, ColorRef c);

    /// Draws text with its reference point at p (see SetTextAlign), in the text colour.
    void TextOut(Point p, const std::string& text);
    /// Draws text in a rectangle with DrawTextFlags; returns the height of the drawn text.
    /// With kCalcRect only r is changed: its right and bottom fit the text.
    int DrawText(const std::string& text, Rect& r, unsigned flags);
    /// Width of the text's advance and the font height, in pixels; lines split at '\n'
    /// count separately (widest line, height times line count).
    Size GetTextExtent(const std::string& text) const;
    TextMetrics GetTextMetrics() const;

    /// Draws another image's pixels with its top-left corner at p.
    void DrawImage(const class Image& image, Point p);

    /// Narrows drawing to r (intersected with the current clip) until the matching PopClip.
    void PushClip(const Rect& r);
    void PopClip();
    /// The current clip rectangle (the whole surface when none is pushed).
    Rect GetClipBox() const;

    /// Implementation detail: the context as built by the platform layer.
    struct Impl;
    explicit DrawContext(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> m_impl;
};

} // namespace plat
