// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XMEditWnd.h"

#include "platform/Messages.h"

XMEditWnd::XMEditWnd()
{
    m_edit.SetHandler(&m_mt);
}

XMEditWnd::~XMEditWnd()
{
    // The native window goes first: its last messages must not reach the parts below.
    Destroy();
}

bool XMEditWnd::Create(plat::Window& parent, const plat::Rect& rect, uint32_t style, int id)
{
    if (!CreateChild(parent, rect, style, id)) {
        return false;
    }
    m_edit.AttachWindow(this);
    return true;
}

bool XMEditWnd::OnInput(XEvtInput& evt, int32_t)
{
    // The window's own handler classified the event already; the editor's handler keeps
    // its own gesture state and runs the editor.
    return m_mt.Input(evt);
}

bool XMEditWnd::OnWindowMessage(const plat::Message& msg)
{
    switch (msg.kind) {
    case plat::Msg::Size:
        m_edit.SetViewSize(msg.size);
        return true;
    case plat::Msg::VScroll:
    case plat::Msg::HScroll:
        if (msg.id != 0) {
            return false; // a slider's, not ours
        }
        m_edit.GetScroller().OnScroll(msg.kind == plat::Msg::VScroll ? 1 : 0, msg.code, msg.pos);
        return true;
    case plat::Msg::DropFiles:
        m_edit.DropFiles(msg.files);
        return true;
    case plat::Msg::Destroy:
        m_edit.AttachWindow(nullptr);
        return false;
    default:
        return false;
    }
}

bool XMEditWnd::OnPaint(plat::Window&, plat::DrawContext& dc, const plat::Rect& update)
{
    m_edit.Paint(dc, update);
    return true;
}
