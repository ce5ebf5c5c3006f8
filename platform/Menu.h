// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class Window;

/// The colour value that stands for "no colour" in colour menu items.
constexpr ColorRef kNoColor = 0x7FFFFFFF;

/// One entry of a popup menu.
struct MenuItem
{
    enum class Kind {
        Item,
        Separator,
        Submenu, ///< `children` are its items
    };
    Kind kind = Kind::Item;
    /// The text; a tab separates a shortcut text shown right-aligned ("Copy\tCtrl+C").
    std::string text;
    /// What TrackPopupMenu returns when the item is chosen; 0 is never returned for a choice.
    uint32_t id = 0;
    bool checked = false;
    bool disabled = false; ///< cannot be chosen
    bool grayed = false;   ///< shown gray and cannot be chosen
    /// Colour items are drawn by the menu as a swatch: `color` filled (or, with lineWidth > 0,
    /// a line of that width in `color` over `bgColor`), followed by the text.
    bool colorItem = false;
    ColorRef color = 0;
    ColorRef bgColor = kNoColor;
    int lineWidth = 0;
    std::vector<MenuItem> children;

    static MenuItem Separator()
    {
        MenuItem m;
        m.kind = Kind::Separator;
        return m;
    }
};

/// Shows a popup menu with its top-left corner at a screen position and tracks it until the
/// user chooses an item or closes it. Returns the chosen item's id, or 0 when nothing was
/// chosen, the menu is empty, or there is no display.
uint32_t TrackPopupMenu(const std::vector<MenuItem>& items, Point screenPos,
                        Window* owner = nullptr);

/// Width and height of a menu's check mark in pixels (the height of colour items).
Size GetMenuCheckMarkSize();

} // namespace plat
