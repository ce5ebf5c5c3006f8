// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XFindDlgBaseCBFwd.h"

#include "edit/XFindDlg.h"
#include "edit/XFindDlgCB.h"

void XFindDlgBaseCBFwd::OnFind(XFindDlgBase*, const char* text, bool forward, bool ignoreCase,
                               bool edited, bool fresh, bool keepOpen)
{
    m_owner.CB().OnFind(m_owner, View(text), forward, ignoreCase, edited, fresh, keepOpen);
}

void XFindDlgBaseCBFwd::OnSelected(XFindDlgBase*, const char* text, int32_t index)
{
    m_owner.CB().OnSelected(m_owner, View(text), index);
}

void XFindDlgBaseCBFwd::OnEditChange(XFindDlgBase*, const char* text)
{
    m_owner.CB().OnEditChange(m_owner, View(text));
}
