// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"

#include <cstdint>

class XFindDlg;

/// What the find dialog reports to its host in the library's own style: texts as ZStr
/// views, valid only during the call. Every operation does nothing here; a host overrides
/// what it needs (the editor acts on OnFind only).
class XFindDlgCB
{
public:
    virtual ~XFindDlgCB() = default;

    /// "Next" (forward) or "Prev." was pressed. edited: the text was last typed rather than
    /// taken from the list; fresh: the text changed since the last search.
    virtual void OnFind(XFindDlg& dlg, ZStr text, bool forward, bool ignoreCase, bool edited,
                        bool fresh, bool keepOpen);
    /// An entry of the history list was chosen.
    virtual void OnSelected(XFindDlg& dlg, ZStr text, int32_t index);
    /// The text of the box was changed by typing.
    virtual void OnEditChange(XFindDlg& dlg, ZStr text);

    /// The shared callback that does nothing.
    static XFindDlgCB& Default();
};
