// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XFindDlgCB.h"

void XFindDlgCB::OnFind(XFindDlg&, ZStr, bool, bool, bool, bool, bool) {}

void XFindDlgCB::OnSelected(XFindDlg&, ZStr, int32_t) {}

void XFindDlgCB::OnEditChange(XFindDlg&, ZStr) {}

XFindDlgCB& XFindDlgCB::Default()
{
    static XFindDlgCB s_default;
    return s_default;
}
