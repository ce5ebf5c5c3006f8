// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/XEvtMngr.h"

#include "base/XEvtHdlr.h"
#include "platform/Window.h"

XEvtMngr::XEvtMngr(plat::Window* owner)
    : m_owner(owner)
{
}

XEvtMngr::~XEvtMngr()
{
    for (XEvtHdlr* handler : m_slots) {
        if (handler && handler->GetMngr() == this) {
            handler->SetMngr(nullptr);
        }
    }
}

XEvtHdlr* XEvtMngr::FindHandler(const XEvt& evt) const
{
    if (evt.kind != XEvtKind::GUI) {
        return nullptr;
    }
    return SlotHolder(static_cast<const XEvtGUI&>(evt).slot);
}

bool XEvtMngr::Dispatch(XEvt& evt, void* source, void* argument, int64_t& result)
{
    XEvtHdlr* handler = FindHandler(evt);
    return handler != nullptr && handler->HandleEvent(evt, source, argument, result);
}

XEvtHdlr* XEvtMngr::SlotHolder(int32_t slot) const
{
    return (slot >= 0 && slot < m_slots.Count()) ? m_slots[slot] : nullptr;
}

void XEvtMngr::TakeSlot(XEvtHdlr* handler, int32_t slot)
{
    if (slot < 0) {
        return;
    }
    if (slot >= m_slots.Count() && !m_slots.SetSize(slot + 1)) {
        return; // no memory for the slot: the handlers stay as they were
    }
    if (slot == XEvtGUI::kSlotPointer) {
        plat::Window::ReleaseCapture();
        if (m_owner) {
            m_owner->SetCapture();
        }
        m_slots[slot] = handler;
    } else if (slot == XEvtGUI::kSlotKeyboard) {
        // The handler that had the keyboard hears that it lost it before the new one takes it.
        XEvtHdlr* previous = m_slots[slot];
        if (previous && previous != handler) {
            XEvtInput lost(XInput::KillFocus, NXPoint{});
            lost.source = m_owner;
            previous->HandleEvent(lost, m_owner, nullptr, lost.result);
        }
        m_slots[slot] = handler;
        if (m_owner && !m_owner->HasFocus()) {
            m_owner->SetFocus();
        }
    } else {
        m_slots[slot] = handler;
    }
}

void XEvtMngr::ReleaseSlot(int32_t slot)
{
    if (slot < 0 || slot >= m_slots.Count()) {
        return;
    }
    m_slots[slot] = nullptr;
    if (slot == XEvtGUI::kSlotPointer && m_owner && plat::Window::GetCapture() == m_owner) {
        plat::Window::ReleaseCapture();
    }
}

void XEvtMngr::Forget(const XEvtHdlr* handler)
{
    for (int32_t i = 0; i < m_slots.Count(); ++i) {
        if (m_slots[i] == handler) {
            ReleaseSlot(i);
        }
    }
}
