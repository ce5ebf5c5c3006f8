// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/XEvt.h"

namespace plat {
class Window;
}

/// Hands events to the handler that holds the event's slot: slot 0 is the handler holding
/// the owner window's mouse capture, slot 1 the one holding its keyboard focus. Handlers in
/// slots are not owned.
class XEvtMngr
{
public:
    explicit XEvtMngr(plat::Window* owner = nullptr);
    XEvtMngr(const XEvtMngr&) = delete;
    XEvtMngr& operator=(const XEvtMngr&) = delete;
    virtual ~XEvtMngr();

    /// The handler for evt: the holder of its slot; none for non-GUI events and slots out of
    /// the table's range.
    virtual XEvtHdlr* FindHandler(const XEvt& evt) const;
    /// Gives evt to its handler; false when there is none or it did not handle it.
    virtual bool Dispatch(XEvt& evt, void* source, void* argument, int64_t& result);

    /// Puts handler into slot. Slot 0 also captures the mouse for the owner window (after
    /// releasing any capture); slot 1 tells the owner it loses the focus, then gives it the
    /// keyboard focus.
    void TakeSlot(XEvtHdlr* handler, int32_t slot);
    /// Empties slot; releasing slot 0 also releases the mouse capture.
    void ReleaseSlot(int32_t slot);
    XEvtHdlr* SlotHolder(int32_t slot) const;
    /// Forgets handler in every slot (a handler being destroyed).
    void Forget(const XEvtHdlr* handler);

    plat::Window* GetOwner() const { return m_owner; }
    void SetOwner(plat::Window* owner) { m_owner = owner; }

private:
    plat::Window* m_owner;
    XArray<XEvtHdlr*> m_slots{2, 4, 2, 1.0};
};
