// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

namespace plat {

/// A colour as 0x00BBGGRR: red in the lowest byte, the top byte 0 for every real colour.
using ColorRef = uint32_t;

/// Builds a colour value from its red, green and blue components (0..255 each).
constexpr ColorRef Rgb(uint8_t r, uint8_t g, uint8_t b)
{
    return ColorRef(r) | (ColorRef(g) << 8) | (ColorRef(b) << 16);
}
constexpr uint8_t RedOf(ColorRef c)
{
    return uint8_t(c & 0xFF);
}
constexpr uint8_t GreenOf(ColorRef c)
{
    return uint8_t((c >> 8) & 0xFF);
}
constexpr uint8_t BlueOf(ColorRef c)
{
    return uint8_t((c >> 16) & 0xFF);
}

/// An integer point in pixels.
struct Point
{
    int x = 0;
    int y = 0;
    friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const Point& a, const Point& b) { return !(a == b); }
};

/// An integer size in pixels.
struct Size
{
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size& a, const Size& b) { return a.cx == b.cx && a.cy == b.cy; }
    friend bool operator!=(const Size& a, const Size& b) { return !(a == b); }
};

/// An integer rectangle; right and bottom lie just outside it, so the width is right - left.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static constexpr Rect FromXYWH(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr bool Contains(Point p) const
    {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr Point TopLeft() const { return {left, top}; }
    constexpr Rect Offset(int dx, int dy) const
    {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr Rect Inflate(int dx, int dy) const
    {
        return {left - dx, top - dy, right + dx, bottom + dy};
    }
    /// The common part of both rectangles; an empty rectangle when they do not overlap.
    constexpr Rect Intersect(const Rect& o) const
    {
        Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
               right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
        if (r.IsEmpty())
            return {};
        return r;
    }
    friend bool operator==(const Rect& a, const Rect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

} // namespace plat
