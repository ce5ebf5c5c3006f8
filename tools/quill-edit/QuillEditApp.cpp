// SPDX-License-Identifier: GPL-2.0-or-later
#include "QuillEditApp.h"

#include "base/ZFile.h"
#include "platform/Application.h"
#include "platform/FileDialog.h"
#include "platform/Messages.h"

#include <utility>

QuillEditApp::QuillEditApp(std::string path, bool readOnly)
    : m_path(std::move(path))
    , m_readOnly(readOnly)
{
}

bool QuillEditApp::Open(const ZString& text, ZStr sep)
{
    m_sep = sep;
    m_top.SetCB(*this);
    if (!m_top.CreateTopLevel(Title(), plat::Rect::FromXYWH(80, 60, 720, 520),
                              plat::WindowStyle::kVisible | plat::WindowStyle::kSizable)) {
        return false;
    }
    if (!m_wnd.Create(m_top, m_top.GetClientRect())) {
        return false;
    }
    XMEdit& edit = m_wnd.GetEdit();
    edit.SetText(text.Str(), sep);
    edit.SetReadOnly(m_readOnly);
    edit.SetCB(this);
    m_wnd.SetFocus();
    return true;
}

bool QuillEditApp::OnMessage(plat::Window&, const plat::Message& msg)
{
    switch (msg.kind) {
    case plat::Msg::Size:
        m_wnd.Move(plat::Rect::FromXYWH(0, 0, msg.size.cx, msg.size.cy));
        return true;
    case plat::Msg::Close:
        if (MayClose()) {
            m_closed = true;
            plat::Quit(0);
        }
        return true;
    default:
        return false;
    }
}

bool QuillEditApp::OnUnhandledKey(XMEdit&, uint32_t vk, uint32_t keys)
{
    if (vk == 'S' && (keys & plat::Keys::kControl) != 0) {
        Save();
        return true;
    }
    return false;
}

void QuillEditApp::OnTextChanged(XMEdit&)
{
    if (!m_modified) {
        m_modified = true;
        m_top.SetTitle(Title());
    }
}

std::string QuillEditApp::Title() const
{
    return std::string(m_modified ? "*" : "") +
           (m_path.empty() ? std::string("(new text)") : m_path) + " - quill-edit";
}

bool QuillEditApp::Save()
{
    if (m_readOnly) {
        plat::ShowMessageBox(&m_top, "The text is open read-only.", "quill-edit");
        return false;
    }
    if (m_path.empty()) {
        plat::SaveFileRequest req;
        req.title = "Save Text As";
        req.filters = {{"Text", "*.txt"}, {"All files", "*"}};
        std::string chosen;
        if (!plat::SaveFileDialog(&m_top, req, chosen)) {
            return false;
        }
        m_path = chosen;
    }
    ZString text;
    int err = 0;
    if (!m_wnd.GetEdit().GetText(text, m_sep) ||
        !ZReplaceFile(ZStr(m_path.c_str()), text.Str(), &err)) {
        const std::string msg = "Can not save '" + m_path + "': " +
                                (err ? ZFileErrorText(err).Text() : "the text is too large");
        plat::ShowMessageBox(&m_top, msg, "quill-edit");
        return false;
    }
    m_modified = false;
    m_top.SetTitle(Title());
    return true;
}

bool QuillEditApp::MayClose()
{
    if (!m_modified) {
        return true;
    }
    const std::string name = m_path.empty() ? std::string("the new text") : "'" + m_path + "'";
    switch (plat::ShowMessageBox(&m_top, "Save the changes to " + name + "?", "quill-edit",
                                 plat::MessageBoxButtons::YesNoCancel)) {
    case plat::kIdYes:
        return Save();
    case plat::kIdNo:
        return true;
    default:
        return false;
    }
}
