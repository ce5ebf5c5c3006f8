// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"
#include "base/ZString.h"
#include "edit/XMEditWnd.h"
#include "platform/Window.h"

#include <cstdint>
#include <string>

/// The quill-edit program: a resizable top-level window whose client area is an editor
/// window. Ctrl+S writes the text back to its file (a temporary file renamed over the old
/// one) with the file's own line break; without a file it asks for a name. Closing with
/// unsaved changes asks whether to save them; the answer Cancel, or a failed save, keeps
/// the window open.
class QuillEditApp : public plat::WindowCB, public XMEditCB
{
public:
    /// path: the file (empty for a new text); nothing is shown yet.
    QuillEditApp(std::string path, bool readOnly);

    /// Shows the window with text, whose lines are split at sep (and joined with it again
    /// when saved). False when no window can be made.
    bool Open(const ZString& text, ZStr sep);
    /// Writes the text to the file; false (and a message box) when that failed or the user
    /// gave no name.
    bool Save();
    /// Asks about unsaved changes: true when the window may close.
    bool MayClose();

    bool IsModified() const { return m_modified; }
    /// Whether a close was accepted (the event loop was asked to end).
    bool IsClosed() const { return m_closed; }
    const std::string& GetPath() const { return m_path; }
    plat::Window& GetTop() { return m_top; }
    XMEditWnd& GetEditWnd() { return m_wnd; }

    bool OnMessage(plat::Window& wnd, const plat::Message& msg) override;
    /// Ctrl+S saves.
    bool OnUnhandledKey(XMEdit& edit, uint32_t vk, uint32_t keys) override;
    void OnTextChanged(XMEdit& edit) override;

private:
    std::string Title() const;

    std::string m_path;
    bool m_readOnly;
    bool m_modified = false;
    bool m_closed = false;
    ZStr m_sep{"\n", 1};
    plat::Window m_top;
    XMEditWnd m_wnd;
};
