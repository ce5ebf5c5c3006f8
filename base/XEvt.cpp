// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XEvt.h"

#include "base/XEvtHdlr.h"

XEvtInput::XEvtInput(XInput inputCode, NXPoint position)
    : XEvtGUI(SlotOf(inputCode))
    , code(inputCode)
    , pos(position)
{
}

int32_t XEvtInput::SlotOf(XInput code)
{
    return int32_t(code) >= int32_t(XInput::KeyDown) ? kSlotKeyboard : kSlotPointer;
}

bool XEvtInput::IsCtrl() const
{
    return (flags & 0x0008) != 0;
}

bool XEvtInput::IsShift() const
{
    return (flags & 0x0004) != 0;
}

bool XEvtInput::DefaultAction()
{
    if (defaultHandler) {
        return defaultHandler->HandleEvent(*this, source, argument, result);
    }
    if (target) {
        return target->HandleEvent(*this, source, argument, result);
    }
    return false;
}
