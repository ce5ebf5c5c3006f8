// SPDX-License-Identifier: GPL-2.0-or-later
#include "xmldlg/XMLMessageBox.h"

#include "platform/FileDialog.h"
#include "platform/Image.h"
#include "platform/MessageText.h"
#include "platform/Messages.h"
#include "xml/TXML.h"
#include "xmldlg/TXMLDlg.h"

#include <algorithm>
#include <string>

namespace {

// The box's margin (the markup's margin attribute) and the height of the spacers and the
// button row below the text, in pixels.
constexpr int kMarginPx = 35;
constexpr int kButtonRowPx = 60;

// The value as a quoted attribute. A leading percent sign is written as a character
// reference, so that a text such as "%OK%" is shown as it is and not taken for a variable.
void AppendValue(ZString& out, ZStr text)
{
    ZString quoted;
    TXML::AppendQuoted(quoted, text);
    if (text.len > 0 && text[0] == '%') {
        out.Append("\"&#x25;");
        out.Append(quoted.Str().Sub(2));
        return;
    }
    out.Append(quoted);
}

} // namespace

ZString XMLMessageBoxMarkup(ZStr title, ZStr text, bool okOnly, bool textIsMarkup)
{
    ZString tmpl("<DLG margin='35x35' title=%TITLE%><SPSEP n=1/>");
    tmpl.Append(textIsMarkup ? "%TEXT%" : "<TEXT text=%TEXT%/>");
    tmpl.Append("<SPSEP n=6/><HALIGN align=right><INPUT name='OK'     type='BUTTON' text=OK     "
                "cmd='@EndDlgOK'/>");
    if (!okOnly) {
        tmpl.Append("<SPSEP n=2/><INPUT name='Cancel' type='BUTTON' text=Cancel "
                    "cmd='@EndDlgCancel'/>");
    }
    tmpl.Append("</HALIGN></DLG>");
    // One pass over the template: a title that itself contains "%TEXT%" stays as written.
    ZString out;
    const ZStr t = tmpl.Str();
    for (int32_t i = 0; i < t.len;) {
        const ZStr at = t.Sub(i);
        if (at.StartsWith("%TITLE%")) {
            AppendValue(out, title);
            i += 7;
        } else if (at.StartsWith("%TEXT%")) {
            if (textIsMarkup) {
                out.Append(text);
            } else {
                AppendValue(out, text);
            }
            i += 6;
        } else {
            out.Append(t[i]);
            ++i;
        }
    }
    return out;
}

int XMLMessageBox(ZStr title, ZStr text, bool okOnly, bool textIsMarkup, plat::Window* owner)
{
    TXMLDlg dlg;
    if (textIsMarkup) {
        dlg.SetMarkup(XMLMessageBoxMarkup(title, text, okOnly, true).Str(), true);
    } else {
        // A plain text is wrapped to a readable width and cut to the screen's height, in the
        // font its TEXT element shows it in; the margins and the button row take the rest.
        plat::Image scratch(1, 1);
        plat::DrawContext& dc = scratch.Context();
        dc.SetFont(TXMLDlgStyle().font);
        plat::Size room = plat::MessageTextRoom(dc);
        room.cy -= 2 * kMarginPx + kButtonRowPx;
        const std::string shown =
            plat::WrapMessageText(dc, std::string(text.ptr, size_t(std::max(0, text.len))), room);
        dlg.SetMarkup(
            XMLMessageBoxMarkup(title, ZStr(shown.data(), int32_t(shown.size())), okOnly, false)
                .Str(),
            true);
    }
    const int result = dlg.DoModal(owner);
    return result == 1 ? 1 : 0;
}

namespace {

int PresentMessageBox(plat::Window* owner, const std::string& text, const std::string& caption,
                      plat::MessageBoxButtons buttons)
{
    bool okOnly = true;
    switch (buttons) {
    case plat::MessageBoxButtons::Ok:
        break;
    case plat::MessageBoxButtons::OkCancel:
        okOnly = false;
        break;
    case plat::MessageBoxButtons::YesNo:
    case plat::MessageBoxButtons::YesNoCancel:
        return -1; // no such buttons here: the platform's box asks
    }
    const int confirmed =
        XMLMessageBox(ZStr(caption.data(), int32_t(caption.size())),
                      ZStr(text.data(), int32_t(text.size())), okOnly, false, owner);
    if (confirmed == 1) {
        return plat::kIdOk;
    }
    return okOnly ? plat::kIdOk : plat::kIdCancel;
}

} // namespace

void XMLMessageBoxInstall()
{
    plat::SetMessageBoxPresenter(&PresentMessageBox);
}
