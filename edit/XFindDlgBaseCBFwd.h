// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "res/XFindDlgBaseCB.h"

class XFindDlg;

/// The callback an XFindDlg installs in its find dialog: turns each text into a ZStr view
/// (length 0 for a null text) and forwards the event, with the same values, to the
/// XFindDlg's own callback.
class XFindDlgBaseCBFwd : public XFindDlgBaseCB
{
public:
    explicit XFindDlgBaseCBFwd(XFindDlg& owner)
        : m_owner(owner)
    {
    }

    void OnFind(XFindDlgBase* dlg, const char* text, bool forward, bool ignoreCase, bool edited,
                bool fresh, bool keepOpen) override;
    void OnSelected(XFindDlgBase* dlg, const char* text, int32_t index) override;
    void OnEditChange(XFindDlgBase* dlg, const char* text) override;

    /// The view of a NUL-terminated text; null gives the empty view.
    static ZStr View(const char* text) { return ZStr(text); }

private:
    XFindDlg& m_owner;
};
