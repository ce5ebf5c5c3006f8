// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/SystemColors.h"

#include <FL/Fl.H>

namespace plat {
namespace {

uint32_t ToColorRef(Fl_Color c)
{
    unsigned char r = 0, g = 0, b = 0;
    Fl::get_color(c, r, g, b);
    return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

} // namespace

uint32_t GetSystemColor(SystemColor which)
{
    // Fl::get_color reads the colour map only; it never opens a display, so this is safe
    // for the command-line front end.
    switch (which) {
    case SystemColor::Window:
        return ToColorRef(FL_BACKGROUND2_COLOR);
    case SystemColor::WindowText:
        return ToColorRef(FL_FOREGROUND_COLOR);
    case SystemColor::Highlight:
        return ToColorRef(FL_SELECTION_COLOR);
    case SystemColor::HighlightText:
        return ToColorRef(fl_contrast(FL_FOREGROUND_COLOR, FL_SELECTION_COLOR));
    case SystemColor::ButtonFace:
        return ToColorRef(FL_BACKGROUND_COLOR);
    }
    return 0;
}

} // namespace plat
