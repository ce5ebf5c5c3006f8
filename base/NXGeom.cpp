// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/NXGeom.h"

#include "base/NumberReader.h"
#include "base/ZString.h"

#include <cmath>

int32_t RoundHalfAway(double v)
{
    if (std::isnan(v)) {
        return 0;
    }
    // std::round rounds half away from zero without the error of trunc(v + 0.5), which
    // turns 0.49999999999999994 into 1 and misrounds odd integers above 2^52.
    double r = std::round(v);
    if (r >= 2147483647.0) {
        return INT32_MAX;
    }
    if (r <= -2147483648.0) {
        return INT32_MIN;
    }
    return int32_t(r);
}

void NXPoint::ToText(ZString& out) const
{
    out.Format("%.20g %.20g", x, y);
}

bool NXPoint::FromText(ZStr text, ZStr& rest)
{
    return ReadPair(text, x, y, rest, PairSeparator::Any);
}

void NXSize::ToText(ZString& out) const
{
    out.Format("%.20g %.20g", width, height);
}

bool NXSize::FromText(ZStr text, ZStr& rest)
{
    return ReadPair(text, width, height, rest, PairSeparator::Any);
}

void NXRect::ToText(ZString& out, RectText form) const
{
    switch (form) {
    case RectText::Exact:
        out.Format("%.20g@%.20g,%.20gx%.20g", x, y, width, height);
        return;
    case RectText::Integer:
        out.Format("%d@%d,%dx%d", RoundHalfAway(x), RoundHalfAway(y), RoundHalfAway(width),
                   RoundHalfAway(height));
        return;
    case RectText::Numbers:
        out.Format("%.20g %.20g %.20g %.20g", x, y, width, height);
        return;
    }
}

bool NXRect::FromText(ZStr text, ZStr& rest)
{
    double v[4];
    if (!ReadNumbers(text, v, 4, rest, PairSeparator::Any)) {
        return false;
    }
    x = v[0];
    y = v[1];
    width = v[2];
    height = v[3];
    return true;
}

plat::Rect NXRect::ToIntRect() const
{
    // The far edges are rounded, not the size, so that neighbouring rectangles that share
    // an edge in doubles share it in pixels too.
    return plat::Rect{RoundHalfAway(x), RoundHalfAway(y), RoundHalfAway(x + width),
                      RoundHalfAway(y + height)};
}

void NXRect::Deflate(double dx, double dy)
{
    if (dx > 0.0 && dx > width / 2.0) {
        dx = width / 2.0;
    }
    if (dy > 0.0 && dy > height / 2.0) {
        dy = height / 2.0;
    }
    x += dx;
    y += dy;
    width -= 2.0 * dx;
    height -= 2.0 * dy;
}
