// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Cursor.h"

/// Whether the move pointer carries the "plus" sign (move a copy).
enum class QuillRESMoveKind {
    Move,
    MovePlus,
};

/// The library's pointing hand: 32 x 32 pixels, the fingertip at the hot spot (12, 0).
plat::CursorImage QuillRESPointCursor();
/// The move pointer: an arrow whose tip is the hot spot (5, 7) with a four-way move cross
/// below it, and for MovePlus a plus sign at the top right; 32 x 32 pixels.
plat::CursorImage QuillRESMoveCursor(QuillRESMoveKind kind);
