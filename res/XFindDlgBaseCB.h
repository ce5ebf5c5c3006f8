// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

class XFindDlgBase;

/// What the find dialog reports to its host, one operation per user action. Texts are
/// NUL-terminated and valid only during the call. Every operation does nothing here, so a
/// host overrides only what it needs. The class is complete in this header, so code that
/// reaches the resource library only by loading it can derive from it.
class XFindDlgBaseCB
{
public:
    virtual ~XFindDlgBaseCB() = default;

    /// "Next" (forward) or "Prev." was pressed. edited: the text was last changed by typing
    /// rather than taken from the list; fresh: the text changed since the last search.
    virtual void OnFind(XFindDlgBase* /*dlg*/, const char* /*text*/, bool /*forward*/,
                        bool /*ignoreCase*/, bool /*edited*/, bool /*fresh*/, bool /*keepOpen*/)
    {
    }
    /// An entry of the history list was chosen.
    virtual void OnSelected(XFindDlgBase* /*dlg*/, const char* /*text*/, int32_t /*index*/) {}
    /// The text of the box was changed by typing; text is the whole new text.
    virtual void OnEditChange(XFindDlgBase* /*dlg*/, const char* /*text*/) {}
};
