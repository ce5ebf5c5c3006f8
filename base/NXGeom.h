// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "platform/Geometry.h"

#include <cstdint>

class ZString;

/// Rounds half away from zero (2.5 gives 3, -2.5 gives -3) to an int. Values beyond the int
/// range give the nearest int; NaN gives 0.
int32_t RoundHalfAway(double v);

/// A point of doubles. Text form: the two numbers, "%.20g %.20g".
struct NXPoint
{
    double x = 0.0;
    double y = 0.0;

    /// Replaces out with "%.20g %.20g" of x and y.
    void ToText(ZString& out) const;
    /// Reads two numbers with the pair reader (any separator: "10 10", "10,10", "10x10").
    /// On failure the point is unchanged and rest is the whole text.
    bool FromText(ZStr text, ZStr& rest);

    friend bool operator==(const NXPoint& a, const NXPoint& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const NXPoint& a, const NXPoint& b) { return !(a == b); }
};

/// A size of doubles (width, height). Text form as NXPoint; "15x15" reads as 15 by 15.
struct NXSize
{
    double width = 0.0;
    double height = 0.0;

    void ToText(ZString& out) const;
    bool FromText(ZStr text, ZStr& rest);

    friend bool operator==(const NXSize& a, const NXSize& b)
    {
        return a.width == b.width && a.height == b.height;
    }
    friend bool operator!=(const NXSize& a, const NXSize& b) { return !(a == b); }
};

/// The text forms a rectangle can be written in.
enum class RectText {
    Exact,   ///< "%.20g@%.20g,%.20gx%.20g" of x, y, width, height
    Integer, ///< "%d@%d,%dx%d", each value rounded half away from zero: "10@20,30x40"
    Numbers, ///< "%.20g %.20g %.20g %.20g", the form of stored attributes
};

/// A rectangle of doubles: position (x, y) and size (width, height).
struct NXRect
{
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;

    double Right() const { return x + width; }
    double Bottom() const { return y + height; }

    /// Replaces out with the rectangle in the given form.
    void ToText(ZString& out, RectText form) const;
    /// Reads four numbers (x, y, width, height) separated by any characters that cannot
    /// start a number, so every form ToText writes reads back. On failure the rectangle is
    /// unchanged and rest is the whole text.
    bool FromText(ZStr text, ZStr& rest);

    /// The pixel rectangle covering the same area: each edge (x, y, x + width, y + height)
    /// rounded half away from zero.
    plat::Rect ToIntRect() const;

    /// Moves every edge inwards: x += dx, y += dy, width -= 2 dx, height -= 2 dy. A positive
    /// dx is first limited to half the width and a positive dy to half the height, so a
    /// rectangle never turns inside out; zero and negative values (growing) are not limited.
    void Deflate(double dx, double dy);

    friend bool operator==(const NXRect& a, const NXRect& b)
    {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
    friend bool operator!=(const NXRect& a, const NXRect& b) { return !(a == b); }
};
