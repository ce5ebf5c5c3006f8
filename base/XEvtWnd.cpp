// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XEvtWnd.h"

XEvtWndMT::XEvtWndMT(XEvtWnd& wnd, XEvtMngr* mngr)
    : XEvtHdlrGUI(mngr)
    , m_wnd(wnd)
{
}

bool XEvtWndMT::Input(XEvtInput& evt)
{
    int32_t gesture = Classify(evt);
    return m_wnd.OnInput(evt, gesture);
}

XEvtWnd::XEvtWnd()
    : plat::Window(static_cast<plat::WindowCB&>(*this))
    , m_mngr(this)
{
    m_default = std::make_unique<XEvtWndMT>(*this, &m_mngr);
}

XEvtWnd::~XEvtWnd()
{
    // The handler leaves its slots while the manager is still there.
    m_default.reset();
    // The native window goes before the parts its messages would reach.
    Destroy();
}

bool XEvtWnd::OnInput(XEvtInput&, int32_t)
{
    return false;
}

bool XEvtWnd::OnWindowMessage(const plat::Message&)
{
    return false;
}

bool XEvtWnd::InputCodeOf(plat::Msg kind, XInput& code)
{
    switch (kind) {
    case plat::Msg::MouseMove:
        code = XInput::MouseMove;
        return true;
    case plat::Msg::LButtonDown:
        code = XInput::LButtonDown;
        return true;
    case plat::Msg::LButtonUp:
        code = XInput::LButtonUp;
        return true;
    case plat::Msg::LButtonDblClk:
        code = XInput::LButtonDblClk;
        return true;
    case plat::Msg::RButtonDown:
        code = XInput::RButtonDown;
        return true;
    case plat::Msg::RButtonUp:
        code = XInput::RButtonUp;
        return true;
    case plat::Msg::MouseWheel:
        code = XInput::MouseWheel;
        return true;
    case plat::Msg::SetCursor:
        code = XInput::SetCursor;
        return true;
    case plat::Msg::CaptureChanged:
        code = XInput::CaptureChanged;
        return true;
    case plat::Msg::KeyDown:
        code = XInput::KeyDown;
        return true;
    case plat::Msg::KeyUp:
        code = XInput::KeyUp;
        return true;
    case plat::Msg::Char:
        code = XInput::Char;
        return true;
    case plat::Msg::SysKeyDown:
        code = XInput::SysKeyDown;
        return true;
    case plat::Msg::SysKeyUp:
        code = XInput::SysKeyUp;
        return true;
    case plat::Msg::SysChar:
        code = XInput::SysChar;
        return true;
    case plat::Msg::SetFocus:
        code = XInput::SetFocus;
        return true;
    case plat::Msg::KillFocus:
        code = XInput::KillFocus;
        return true;
    default:
        return false;
    }
}

bool XEvtWnd::OnMessage(plat::Window&, const plat::Message& msg)
{
    XInput code;
    if (!InputCodeOf(msg.kind, code)) {
        return OnWindowMessage(msg);
    }
    int32_t slot = XEvtInput::SlotOf(code);
    // Pointer messages carry their own position (the wheel's arrives in screen coordinates
    // and is converted); keyboard and focus events take the position of the last message.
    if (slot == XEvtGUI::kSlotPointer && code != XInput::SetCursor) {
        plat::Point client = code == XInput::MouseWheel ? ScreenToClient(msg.screenPt) : msg.pt;
        m_lastPos = NXPoint{double(client.x), double(client.y)};
    }
    XEvtInput evt(code, m_lastPos);
    evt.key = msg.key;
    evt.repeat = msg.repeat;
    evt.flags = msg.keys;
    evt.wheelDelta = msg.wheelDelta;
    evt.wParam = msg.WParam();
    evt.lParam = msg.LParam();
    evt.defaultHandler = m_default.get();
    evt.source = this;

    XEvtHdlr* holder = m_mngr.FindHandler(evt);
    bool handled = holder != nullptr && holder->HandleEvent(evt, this, nullptr, evt.result);
    // The default handler sees an event once, also when it is the slot holder itself.
    if (!handled && holder != m_default.get()) {
        handled = evt.DefaultAction();
    }
    return handled;
}
