// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace plat {

/// The standard mouse pointer shapes.
enum class StdCursor {
    Arrow,
    IBeam,
    Wait,
    Cross,
    Hand,
    SizeAll,
    SizeWE,
    SizeNS,
    SizeNWSE,
    SizeNESW,
    No,
    Help,
};

/// A pointer image: RGBA rows (width * height * 4 bytes, not premultiplied) and a hot spot.
struct CursorImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    Point hotSpot;
};

/// A mouse pointer: a standard shape, or an image when `image` is set. Cheap to copy.
struct Cursor
{
    StdCursor shape = StdCursor::Arrow;
    std::shared_ptr<const CursorImage> image;

    static Cursor Standard(StdCursor s) { return Cursor{s, nullptr}; }
    static Cursor FromImage(CursorImage img)
    {
        return Cursor{StdCursor::Arrow, std::make_shared<const CursorImage>(std::move(img))};
    }
};

} // namespace plat
