// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <string>

namespace plat {

class DrawContext;

/// The room a message box gives its text in dc's current font on this screen: about 70
/// average characters wide but never wider than two thirds of the screen, and as high as the
/// screen less the room of a caption, margins and a row of buttons. Without a display a
/// screen of 1024 x 768 pixels is assumed.
Size MessageTextRoom(const DrawContext& dc);

/// The text laid out for a message box in dc's current font: every line is wrapped at blanks
/// so that none is wider than room.cx (a word longer than a line is broken between two
/// characters); when the lines would be higher than room.cy, the last one that fits ends in
/// "..." and the rest is left out. Lines are separated by "\n"; "\r" is dropped.
std::string WrapMessageText(const DrawContext& dc, const std::string& text, Size room);

} // namespace plat
