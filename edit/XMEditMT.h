// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XEvt.h"
#include "base/XEvtHdlr.h"
#include "base/ZTimer.h"

#include <cstdint>

class XMEdit;
class XMEditMT;

/// What the editor's mouse handler is doing.
enum class XMEditMouseMode {
    Idle,
    LeftDrag,    ///< the left button selects
    DoubleClick, ///< a double click selected a word; the release ends it
    RightMenu,   ///< the context menu is open
};

/// The repeat timer's callback: hands the handler's stored last input event to it again.
class XMEditMTZTimerCB : public ZTimerCB
{
public:
    explicit XMEditMTZTimerCB(XMEditMT& mt)
        : m_mt(mt)
    {
    }
    bool OnTimer(ZTimer& timer, uint32_t fireCount, uint32_t sinceStartMs,
                 uint32_t sincePreviousMs) override;

private:
    XMEditMT& m_mt;
};

/// The editor's event handler. Keys become commands by name (see KeyCommand), characters
/// become "DoChar" unless their key already ran a command, and the mouse places the caret,
/// selects by dragging (repeating every 100 ms while the pointer stays outside the view, so
/// that the text scrolls without new mouse messages), selects a word on a double click and
/// opens the context menu when the right button goes down.
class XMEditMT : public XEvtHdlrGUI
{
public:
    static constexpr uint32_t kRepeatMs = 100;

    XMEditMT(XMEdit& edit, XEvtMngr* mngr);
    ~XMEditMT() override;

    bool Input(XEvtInput& evt) override;

    /// The command of a key-down (virtual key with Ctrl state), or null when the key has
    /// none: Backspace, Enter, Page Up, Page Down, End, Home, the arrows, Delete and F3
    /// with or without Ctrl; A, C, F, L, V, X, Y and Z only with Ctrl.
    static const char* KeyCommand(uint32_t vk, bool ctrl);
    /// Whether a character event is dropped because its key-down ran a command already:
    /// Enter (13) and Backspace (8) always, and with Ctrl the control characters of the
    /// Ctrl letters above.
    static bool IsKeyChar(uint32_t ch, bool ctrl);

    XMEditMouseMode GetMode() const { return m_mode; }
    ZTimer& GetTimer() { return m_timer; }
    /// The repeat: the stored last event is handled again.
    void Repeat();

private:
    bool KeyDown(const XEvtInput& evt);
    bool Char(const XEvtInput& evt);
    bool LeftDown(XEvtInput& evt);
    bool Drag(XEvtInput& evt);
    bool LeftUp(XEvtInput& evt);
    bool RightDown(XEvtInput& evt);
    void EndMode();

    XMEdit& m_edit;
    XMEditMouseMode m_mode = XMEditMouseMode::Idle;
    XMEditMTZTimerCB m_timerCB{*this};
    ZTimer m_timer{m_timerCB, kRepeatMs, 1};
    XEvtInput m_last{XInput::MouseMove, NXPoint{}};
    bool m_haveLast = false;
};
