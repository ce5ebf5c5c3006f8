// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

namespace plat {

/// The theme colours the library names ("WindowBg", "WindowSelText", ...).
enum class SystemColor {
    Window,        ///< window background
    WindowText,    ///< window text
    Highlight,     ///< selection background
    HighlightText, ///< selection text
    ButtonFace,    ///< dialog and button face
};

/// The current theme colour as a 0x00BBGGRR value (red in the lowest byte). Works without a
/// display: before one is open the toolkit's built-in scheme colours are returned.
uint32_t GetSystemColor(SystemColor which);

} // namespace plat
