// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/DrawContext.h"
#include "platform/Image.h"

#include <string>
#include <utility>
#include <vector>

// A page for technical drawings in points (1/72 inch, origin top-left, y down), drawn either
// through the platform's drawing context (PDF, PNG) or written as SVG with real text
// elements, so that the numbers of an SVG drawing can be searched and edited. Both measure
// text with the same fonts, so a layout computed once fits in either.

/// The strokes a drawing uses.
enum class SheetPen {
    Outline, ///< visible edges: wide
    Thin,    ///< dimension and extension lines, the frame of tables
    Centre,  ///< centre lines: thin, dashed
};

/// The text styles of a drawing.
enum class SheetFont {
    Title,   ///< the sheet's title, bold
    Heading, ///< section headings, bold
    Normal,  ///< dimension values and table cells
    Small,   ///< notes
};

/// Where a text's x coordinate lies on its baseline.
enum class TextAnchor {
    Left,
    Centre,
    Right,
};

/// A point on the page, in points.
using SheetPoint = std::pair<double, double>;

/// One page of a drawing. Implementations record or draw what they are given in order.
class SheetCanvas
{
public:
    SheetCanvas();
    virtual ~SheetCanvas();
    SheetCanvas(const SheetCanvas&) = delete;
    SheetCanvas& operator=(const SheetCanvas&) = delete;

    virtual void Line(double x1, double y1, double x2, double y2, SheetPen pen) = 0;
    /// The outline of the rectangle from (x, y), w wide and h high.
    virtual void Rectangle(double x, double y, double w, double h, SheetPen pen) = 0;
    /// A rectangle filled with a grey of `level` (0 black .. 255 white), no outline.
    virtual void FillRectangle(double x, double y, double w, double h, int level) = 0;
    virtual void Circle(double cx, double cy, double r, SheetPen pen) = 0;
    /// A closed polygon filled black (arrow heads).
    virtual void FillPolygon(const std::vector<SheetPoint>& points) = 0;
    /// Text (UTF-8) with its baseline at y.
    virtual void Text(double x, double y, const std::string& text, SheetFont font,
                      TextAnchor anchor) = 0;

    /// Advance width of the text in points.
    double TextWidth(const std::string& text, SheetFont font);
    /// Height above the baseline of capitals and digits, in points.
    double Ascent(SheetFont font);
    /// Depth of descenders below the baseline, in points.
    double Descent(SheetFont font);

    /// The platform font of a style; its size in points is FontPoints(font).
    static plat::Font PlatformFont(SheetFont font);
    static double FontPoints(SheetFont font);

private:
    plat::Image m_measure;
};

/// Draws through a platform drawing context whose units are points (a vector image the size
/// of the page). Coordinates are rounded to whole points.
class ContextSheetCanvas final : public SheetCanvas
{
public:
    /// Draws into `dc`, which must outlive this object.
    explicit ContextSheetCanvas(plat::DrawContext& dc);

    void Line(double x1, double y1, double x2, double y2, SheetPen pen) override;
    void Rectangle(double x, double y, double w, double h, SheetPen pen) override;
    void FillRectangle(double x, double y, double w, double h, int level) override;
    void Circle(double cx, double cy, double r, SheetPen pen) override;
    void FillPolygon(const std::vector<SheetPoint>& points) override;
    void Text(double x, double y, const std::string& text, SheetFont font,
              TextAnchor anchor) override;

private:
    void UsePen(SheetPen pen);
    plat::DrawContext& m_dc;
};

/// Writes an SVG document of width x height points.
class SvgSheetCanvas final : public SheetCanvas
{
public:
    SvgSheetCanvas(double width, double height);

    void Line(double x1, double y1, double x2, double y2, SheetPen pen) override;
    void Rectangle(double x, double y, double w, double h, SheetPen pen) override;
    void FillRectangle(double x, double y, double w, double h, int level) override;
    void Circle(double cx, double cy, double r, SheetPen pen) override;
    void FillPolygon(const std::vector<SheetPoint>& points) override;
    void Text(double x, double y, const std::string& text, SheetFont font,
              TextAnchor anchor) override;

    /// The complete document.
    std::string Document() const;

private:
    std::string m_body;
    double m_width = 0.0;
    double m_height = 0.0;
};

/// `text` made safe for XML character data and attribute values: markup characters escaped;
/// bytes that are no part of valid UTF-8, control characters other than tab, line feed and
/// carriage return, and the non-characters U+FFFE and U+FFFF replaced by U+FFFD.
std::string XmlEscaped(const std::string& text);
