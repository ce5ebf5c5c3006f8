// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XEvtHdlr.h"

#include "base/XEvtMngr.h"

#include <cmath>
#include <typeinfo>

bool XEvtHdlrCB::OnGesture(XEvtHdlr&, XEvtInput&, int32_t)
{
    return true;
}

XEvtHdlrCB& XEvtHdlrCB::Default()
{
    static XEvtHdlrCB* instance = new XEvtHdlrCB;
    return *instance;
}

XEvtHdlr::XEvtHdlr(XEvtMngr* mngr)
    : m_mngr(mngr)
{
}

XEvtHdlr::~XEvtHdlr()
{
    if (m_mngr) {
        m_mngr->Forget(this);
    }
}

bool XEvtHdlr::HandleEvent(XEvt&, void*, void*, int64_t&)
{
    return false;
}

bool XEvtHdlr::AcceptsKind(XEvtKind) const
{
    return true;
}

void XEvtHdlr::ActivateSlot(bool activate, XEvt*, int32_t slot)
{
    if (!m_mngr) {
        return;
    }
    if (activate) {
        m_mngr->TakeSlot(this, slot);
    } else if (m_mngr->SlotHolder(slot) == this) {
        m_mngr->ReleaseSlot(slot);
    }
}

bool XEvtHdlr::HoldsSlot(int32_t slot) const
{
    return m_mngr != nullptr && m_mngr->SlotHolder(slot) == this;
}

XEvtHdlrGUI::XEvtHdlrGUI(XEvtMngr* mngr, XEvtHdlrCB& cb)
    : XEvtHdlr(mngr)
    , m_cb(&cb)
{
}

XEvtHdlrGUI::~XEvtHdlrGUI() = default;

bool XEvtHdlrGUI::HandleEvent(XEvt& evt, void*, void*, int64_t&)
{
    if (evt.kind != XEvtKind::GUI || !AcceptsKind(evt.kind)) {
        return false;
    }
    return GUIEvent(static_cast<XEvtGUI&>(evt));
}

bool XEvtHdlrGUI::GUIEvent(XEvtGUI& evt)
{
    if (evt.slot != 0 && evt.slot != 1 && evt.slot != 3) {
        return true;
    }
    if (auto* input = dynamic_cast<XEvtInput*>(&evt)) {
        return Input(*input);
    }
    return true;
}

bool XEvtHdlrGUI::Input(XEvtInput& evt)
{
    int32_t gesture = Classify(evt);
    return m_cb->OnGesture(*this, evt, gesture);
}

void XEvtHdlrGUI::Track(Button& b, NXPoint pos)
{
    b.previous = b.current;
    b.current = pos;
    double limit = std::fabs(double(m_threshold));
    if (std::fabs(pos.x - b.press.x) > limit || std::fabs(pos.y - b.press.y) > limit) {
        b.moved = 1;
    }
}

int32_t XEvtHdlrGUI::Classify(XEvtInput& evt)
{
    m_ctrl = evt.IsCtrl();
    m_shift = evt.IsShift();
    Button& left = m_buttons[kLeft];
    Button& right = m_buttons[kRight];
    switch (evt.code) {
    case XInput::MouseMove:
        Track(left, evt.pos);
        Track(right, evt.pos);
        if (left.state) {
            return 5;
        }
        return right.state ? 9 : 4;
    case XInput::MouseWheel:
        return 11;
    case XInput::LButtonDown:
    case XInput::LButtonDblClk:
    case XInput::RButtonDown: {
        bool isLeft = evt.code != XInput::RButtonDown;
        Button& b = isLeft ? left : right;
        if (b.state == 0) {
            b.state = 1;
            b.press = b.current = b.previous = evt.pos;
            b.moved = 0;
            b.spare = 0;
            ActivateSlot(true, &evt, XEvtGUI::kSlotKeyboard);
            ActivateSlot(true, &evt, XEvtGUI::kSlotPointer);
            return isLeft ? 2 : 7;
        }
        ResetButton(isLeft ? kLeft : kRight);
        ActivateSlot(false, &evt, XEvtGUI::kSlotPointer);
        return 1;
    }
    case XInput::LButtonUp:
    case XInput::RButtonUp: {
        bool isLeft = evt.code == XInput::LButtonUp;
        Button& b = isLeft ? left : right;
        if (b.state == 1) {
            b.state = 0;
            Track(b, evt.pos);
            ActivateSlot(false, &evt, XEvtGUI::kSlotPointer);
            return isLeft ? 3 : 8;
        }
        ResetButton(isLeft ? kLeft : kRight);
        ActivateSlot(false, &evt, XEvtGUI::kSlotPointer);
        return 1;
    }
    case XInput::SetCursor:
    case XInput::CaptureChanged:
    case XInput::KeyDown:
    case XInput::KeyUp:
    case XInput::Char:
    case XInput::SysKeyDown:
    case XInput::SysKeyUp:
    case XInput::SysChar:
    case XInput::SetFocus:
    case XInput::KillFocus:
        return 0;
    }
    return 0;
}

void XEvtHdlrGUI::ResetButton(int32_t b)
{
    if (b < 0 || b > 1) {
        return;
    }
    m_buttons[b].state = 0;
    m_buttons[b].moved = 0;
    m_buttons[b].spare = 0;
}

bool XEvtHdlrGUI::IsPressed(int32_t b) const
{
    return b >= 0 && b <= 1 && m_buttons[b].state == 1;
}

bool XEvtHdlrGUI::NotMoved(int32_t b) const
{
    return b >= 0 && b <= 1 && m_buttons[b].moved == 0;
}

bool XEvtHdlrGUI::MovedBeyondThreshold(int32_t b) const
{
    return b >= 0 && b <= 1 && m_buttons[b].moved != 0;
}

NXPoint XEvtHdlrGUI::PressPoint(int32_t b) const
{
    return (b >= 0 && b <= 1) ? m_buttons[b].press : NXPoint{};
}

NXPoint XEvtHdlrGUI::CurrentPoint(int32_t b) const
{
    return (b >= 0 && b <= 1) ? m_buttons[b].current : NXPoint{};
}

NXPoint XEvtHdlrGUI::PreviousPoint(int32_t b) const
{
    return (b >= 0 && b <= 1) ? m_buttons[b].previous : NXPoint{};
}
