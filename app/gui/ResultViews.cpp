// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/ResultViews.h"

#include "base/ZStr.h"
#include "edit/XMEditWnd.h"
#include "platform/Geometry.h"
#include "platform/SystemColors.h"

void SetupStatusLine(XMEditWnd& status)
{
    XMEdit& edit = status.GetEdit();
    edit.SetColors(plat::Rgb(0, 0, 255), plat::GetSystemColor(plat::SystemColor::ButtonFace));
    edit.EnableScrollBar(0, false);
    edit.EnableScrollBar(1, false);
}

void ShowStatusText(XMEditWnd& status, const std::string& text)
{
    // The status holds no line separator, so the text stays one line whatever it holds.
    status.GetEdit().SetText(ZStr(text.data(), int32_t(text.size())), ZStr("\r\n"), false);
}

void ShowReportText(XMEditWnd& report, const std::string& text)
{
    XMEdit& edit = report.GetEdit();
    edit.ResetFont();
    edit.SetText(ZStr(text.data(), int32_t(text.size())), ZStr("\r\n"), false);
}
