// SPDX-License-Identifier: GPL-2.0-or-later
// The library's mouse pointers, drawn from simple shapes. Each shape is filled white with a
// one-pixel black outline, the way system pointers stay visible on light and dark
// backgrounds; everything else is transparent. Only black, white and transparent are used,
// well within the 16 colours a pointer may have.
#include "res/QuillRESCursors.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr int kSize = 32;

// Which pixels one shape covers.
class Mask
{
public:
    bool At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < kSize && y < kSize && m_bits[size_t(y * kSize + x)];
    }
    void Set(int x, int y)
    {
        if (x >= 0 && y >= 0 && x < kSize && y < kSize)
            m_bits[size_t(y * kSize + x)] = true;
    }
    /// Covers the rectangle from (x0, y0) to (x1, y1), both corners included.
    void Rect(int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Set(x, y);
    }
    /// Covers the pixels whose centres lie inside the polygon (even-odd rule).
    void Polygon(const std::vector<std::array<double, 2>>& pts)
    {
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                bool inside = false;
                for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                    const double xi = pts[i][0], yi = pts[i][1];
                    const double xj = pts[j][0], yj = pts[j][1];
                    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                        inside = !inside;
                }
                if (inside)
                    Set(x, y);
            }
        }
    }

private:
    std::array<bool, kSize * kSize> m_bits{};
};

class Canvas
{
public:
    Canvas()
        : m_rgba(size_t(kSize * kSize * 4), 0)
    {
    }
    /// Paints a shape over what is there: its border pixels (those with a neighbour
    /// outside the shape) black, the rest white.
    void Paint(const Mask& shape)
    {
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (!shape.At(x, y))
                    continue;
                const bool border = !shape.At(x - 1, y) || !shape.At(x + 1, y) ||
                                    !shape.At(x, y - 1) || !shape.At(x, y + 1);
                Pixel(x, y, border ? 0 : 255);
            }
        }
    }
    /// A black line of pixels inside a painted shape (the gap between two fingers).
    void Line(int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Pixel(x, y, 0);
    }
    plat::CursorImage Image(plat::Point hotSpot) const
    {
        plat::CursorImage img;
        img.width = kSize;
        img.height = kSize;
        img.rgba = m_rgba;
        img.hotSpot = hotSpot;
        return img;
    }

private:
    void Pixel(int x, int y, uint8_t grey)
    {
        uint8_t* p = &m_rgba[size_t((y * kSize + x) * 4)];
        p[0] = p[1] = p[2] = grey;
        p[3] = 255;
    }
    std::vector<uint8_t> m_rgba;
};

// An arrow pointer whose tip is the pixel (x, y), the usual proportions.
Mask Arrow(int tipX, int tipY)
{
    // Starting half a pixel up makes the tip's own pixel the first one covered.
    const double x = tipX, y = tipY - 0.5;
    Mask m;
    m.Polygon({{x, y},
               {x, y + 16},
               {x + 4, y + 12},
               {x + 7, y + 18},
               {x + 9.5, y + 17},
               {x + 6.5, y + 11.5},
               {x + 11.5, y + 11.5}});
    return m;
}

// A four-way arrow cross centred on the pixel (cx, cy), reaching `arm` pixels out.
Mask MoveCross(int cx, int cy, int arm)
{
    Mask m;
    m.Rect(cx - arm + 3, cy - 1, cx + arm - 3, cy + 1);
    m.Rect(cx - 1, cy - arm + 3, cx + 1, cy + arm - 3);
    const double c = cx + 0.5, d = cy + 0.5, a = arm + 0.5, h = 3.5;
    m.Polygon({{c - a, d}, {c - a + 4, d - h}, {c - a + 4, d + h}});
    m.Polygon({{c + a, d}, {c + a - 4, d - h}, {c + a - 4, d + h}});
    m.Polygon({{c, d - a}, {c - h, d - a + 4}, {c + h, d - a + 4}});
    m.Polygon({{c, d + a}, {c - h, d + a - 4}, {c + h, d + a - 4}});
    return m;
}

// A plus sign centred on the pixel (cx, cy), 11 pixels across.
Mask Plus(int cx, int cy)
{
    Mask m;
    m.Rect(cx - 5, cy - 1, cx + 5, cy + 1);
    m.Rect(cx - 1, cy - 5, cx + 1, cy + 5);
    return m;
}

} // namespace

plat::CursorImage QuillRESPointCursor()
{
    // A hand pointing up with the index finger; the fingertip is the hot spot.
    Mask hand;
    hand.Rect(11, 0, 13, 0);  // rounded fingertip
    hand.Rect(10, 1, 14, 16); // index finger
    hand.Rect(14, 5, 18, 16); // middle finger
    hand.Rect(18, 7, 22, 16); // ring finger
    hand.Rect(22, 9, 25, 16); // little finger
    hand.Rect(7, 13, 25, 24); // palm
    hand.Rect(9, 25, 24, 26);
    hand.Polygon({{3, 12}, {7, 11}, {11.5, 17}, {11.5, 22}, {8, 22}}); // thumb
    Mask cuff;
    cuff.Rect(9, 26, 24, 31);

    Canvas canvas;
    canvas.Paint(hand);
    // The gaps between the folded fingers.
    canvas.Line(14, 6, 14, 13);
    canvas.Line(18, 8, 18, 13);
    canvas.Line(22, 10, 22, 13);
    canvas.Paint(cuff);
    return canvas.Image({12, 0});
}

plat::CursorImage QuillRESMoveCursor(QuillRESMoveKind kind)
{
    Canvas canvas;
    // The cross and the plus keep clear of the arrow, so that all three read apart.
    canvas.Paint(MoveCross(23, 23, 8));
    if (kind == QuillRESMoveKind::MovePlus)
        canvas.Paint(Plus(25, 7));
    // The arrow goes on top: its tip is what the hot spot points with.
    canvas.Paint(Arrow(5, 7));
    return canvas.Image({5, 7});
}
