// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XColor.h"
#include "platform/DrawContext.h"

#include <cstdint>

/// The style in effect for one element of a markup dialog, inherited from the enclosing
/// element and changed by the element's style attributes.
struct TXMLDlgStyle
{
    uint32_t bgColor = XColor::kNone; ///< 0x00BBGGRR; XColor::kNone fills nothing
    uint32_t color = 0;               ///< text colour, 0x00BBGGRR
    plat::Font font{"MS Shell Dlg", 80};
    int32_t hAlign = 0;    ///< 0 left, 1 center, 2 right
    int32_t vAlign = 0;    ///< 0 top, 1 center, 2 bottom, 3 baseline
    int32_t itemSpace = 0; ///< pixels between consecutive items of a group
};

/// What the user may do with the controls of a dialog: nothing, or move them with the mouse
/// ("partial" moves controls inside the flow only; "full" also floating ones).
enum class TXMLDlgEditMode : int32_t {
    None = 0,
    Partial = 1,
    Full = 2,
};
