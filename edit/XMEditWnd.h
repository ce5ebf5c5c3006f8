// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XEvtWnd.h"
#include "edit/XMEdit.h"
#include "edit/XMEditMT.h"
#include "edit/ZStringML.h"
#include "platform/Geometry.h"

#include <cstdint>

/// The editor control's window: a child window hosting an XMEdit over its own text buffer,
/// with the editor's event handler. Input reaches the handler through the window's event
/// manager; painting, size, scroll bars and dropped files go to the editor.
class XMEditWnd : public XEvtWnd
{
public:
    /// Window styles of an editor: a frame, both scroll bars, dropped files, Tab stop.
    static constexpr uint32_t kDefaultStyle =
        plat::WindowStyle::kVisible | plat::WindowStyle::kBorder | plat::WindowStyle::kHScroll |
        plat::WindowStyle::kVScroll | plat::WindowStyle::kAcceptFiles | plat::WindowStyle::kTabStop;

    XMEditWnd();
    ~XMEditWnd() override;

    /// Creates the window as a child of parent at rect (parent client coordinates).
    bool Create(plat::Window& parent, const plat::Rect& rect, uint32_t style = kDefaultStyle,
                int id = 0);

    XMEdit& GetEdit() { return m_edit; }
    XMEditMT& GetHandler() { return m_mt; }
    ZStringML& GetBuffer() { return m_buffer; }

    bool OnInput(XEvtInput& evt, int32_t gesture) override;
    bool OnWindowMessage(const plat::Message& msg) override;
    bool OnPaint(plat::Window& wnd, plat::DrawContext& dc, const plat::Rect& update) override;

private:
    ZStringML m_buffer;
    XMEdit m_edit{m_buffer};
    XMEditMT m_mt{m_edit, &GetMngr()};
};
