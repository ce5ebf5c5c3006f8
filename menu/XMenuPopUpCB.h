// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XColor.h"
#include "base/ZStr.h"
#include "base/ZString.h"

#include <cstdint>

class XMenuPopUp;

/// One menu element as the user chose it: the attributes of its `m` element, read when the
/// choice is made. Texts are empty when the attribute is absent, except the command, which
/// reads "noCmd" then.
struct XMenuPopUpEntry
{
    static constexpr const char* kNoCmd = "noCmd";

    int32_t id = 0; ///< the element's number in document order, from 1
    ZString text;   ///< `s`, with its shortcut part after a tab
    ZString cmd;    ///< `c`
    ZString options;
    ZString colorText;   ///< `clr` as written
    ZString bgColorText; ///< `clrBg` as written
    XColor color{XColor::kNone};
    XColor bgColor{XColor::kNone};
    int32_t lineWidth = 0;

    bool IsChecked() const;
    bool IsDisabled() const;
    bool IsGrayed() const;
};

/// What a popup menu tells its host. Hosts override the one operation they need; the base
/// handles nothing.
class XMenuPopUpCB
{
public:
    virtual ~XMenuPopUpCB() = default;

    /// The user chose an entry; cmd, text, options and id repeat the entry's fields for hosts
    /// that only look at those. Returns whether the host handled the command.
    virtual bool OnMenuCmd(XMenuPopUp& menu, const XMenuPopUpEntry& entry, ZStr cmd, ZStr text,
                           ZStr options, int32_t id);

    /// The shared callback that handles nothing.
    static XMenuPopUpCB& Default();
};
