// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XEvtHdlr.h"
#include "base/XEvtMngr.h"
#include "platform/Window.h"

#include <memory>

class XEvtWnd;

/// The plain handler of an event window: it classifies the input and passes it with the
/// gesture to the window's OnInput.
class XEvtWndMT : public XEvtHdlrGUI
{
public:
    XEvtWndMT(XEvtWnd& wnd, XEvtMngr* mngr);
    bool Input(XEvtInput& evt) override;

private:
    XEvtWnd& m_wnd;
};

/// A child window that turns mouse, keyboard and focus messages into XEvtInput events.
/// Each event goes first to the handler holding its slot (mouse capture or keyboard focus),
/// then, when that did not handle it, to the window's default handler (an XEvtWndMT), and a
/// message nobody handled gets the window system's default processing.
class XEvtWnd : public plat::WindowCB, public plat::Window
{
public:
    XEvtWnd();
    ~XEvtWnd() override;

    XEvtMngr& GetMngr() { return m_mngr; }
    /// The window's own handler (owned by the window).
    XEvtHdlrGUI& GetDefaultHandler() { return *m_default; }

    /// An input the default handler classified; true when handled. Nothing here.
    virtual bool OnInput(XEvtInput& evt, int32_t gesture);
    /// Every message that is not input (size, timer, scroll, commands, ...). Nothing here.
    virtual bool OnWindowMessage(const plat::Message& msg);

    /// Turns msg into an event and posts it; false when nobody handled it.
    bool OnMessage(plat::Window& wnd, const plat::Message& msg) override;

    /// The input code of a window message, or false when it is not input.
    static bool InputCodeOf(plat::Msg kind, XInput& code);

private:
    XEvtMngr m_mngr;
    std::unique_ptr<XEvtWndMT> m_default;
    NXPoint m_lastPos;
};
