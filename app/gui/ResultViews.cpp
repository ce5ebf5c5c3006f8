// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/gui/ResultViews.h"

#include "base/ZStr.h"
#include "edit/XMEditWnd.h"
#include "platform/Geometry.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <cstdint>

namespace {

// The smallest size a long status text is set in, tenths of a point: still read easily.
constexpr int32_t kSmallestStatusSize = 60;

} // namespace

void SetupStatusLine(XMEditWnd& status)
{
    XMEdit& edit = status.GetEdit();
    edit.SetColors(plat::Rgb(0, 0, 255), plat::GetSystemColor(plat::SystemColor::ButtonFace));
    edit.EnableScrollBar(0, false);
    edit.EnableScrollBar(1, false);
}

void ShowStatusText(XMEditWnd& status, const std::string& text)
{
    XMEdit& edit = status.GetEdit();
    edit.ResetFont();
    const plat::Size view = edit.GetViewSize();
    // A text too long for one line (a reason the dimensions could not be corrected) is set
    // in two lines of a smaller size, broken at a blank, to be read whole rather than cut
    // off; the line's own texts are short and keep their size.
    std::string shown = text;
    if (view.cx > 0 && double(text.size()) * edit.CharWidth() > double(view.cx)) {
        for (int32_t size = XMEdit::kDefaultSize - 10;
             size >= kSmallestStatusSize && 2 * edit.LineHeight() > view.cy; size -= 5) {
            edit.SetFont(XMEdit::kDefaultFace, size);
        }
        const size_t columns = size_t(std::max(1.0, double(view.cx) / edit.CharWidth()));
        const size_t blank = text.rfind(' ', columns);
        if (blank != std::string::npos && blank > 0) {
            shown = text.substr(0, blank) + "\r\n" + text.substr(blank + 1);
        }
    }
    edit.SetText(ZStr(shown.data(), int32_t(shown.size())), ZStr("\r\n"), false);
}

void ShowReportText(XMEditWnd& report, const std::string& text)
{
    XMEdit& edit = report.GetEdit();
    edit.ResetFont();
    edit.SetText(ZStr(text.data(), int32_t(text.size())), ZStr("\r\n"), false);
}
