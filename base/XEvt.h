// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/ZStr.h"

#include <cstdint>

/// The kind word of an event.
enum class XEvtKind : int32_t {
    GUI = 0,      ///< window input (XEvtGUI and below)
    Observer = 1, ///< observer notices (XEvtObserver)
};

/// The base of all events.
class XEvt
{
public:
    explicit XEvt(XEvtKind evtKind, int32_t evtWord = 0)
        : kind(evtKind)
        , word(evtWord)
    {
    }
    virtual ~XEvt() = default;
    /// What happens to an event nobody handled; true when that handled it. Nothing, here.
    virtual bool DefaultAction() { return false; }

    XEvtKind kind;
    int32_t word; ///< a word the creator may set; 0 unless given
};

/// An observer notice: one of the texts below (or an owner's own).
class XEvtObserver : public XEvt
{
public:
    static constexpr const char* kBegin = "XObserveBegin";
    static constexpr const char* kEnd = "XObserveEnd";
    static constexpr const char* kDeleted = "XObservedDeleted";
    static constexpr const char* kChanged = "XObservedChanged";

    explicit XEvtObserver(ZStr text, int32_t evtWord = 0)
        : XEvt(XEvtKind::Observer, evtWord)
        , message(text)
    {
    }
    /// Whether the notice carries the given message text.
    bool Is(ZStr text) const { return message.Equals(text); }

    ZStr message; ///< views static or caller-owned text that outlives the notice
};

/// Window input: the base of pointer and keyboard events.
class XEvtGUI : public XEvt
{
public:
    static constexpr int32_t kSlotPointer = 0;  ///< the handler holding the mouse capture
    static constexpr int32_t kSlotKeyboard = 1; ///< the handler holding the keyboard focus

    explicit XEvtGUI(int32_t slotIndex, int32_t w0 = 0, int32_t w1 = 0, int32_t w2 = 0,
                     int32_t w3 = 0)
        : XEvt(XEvtKind::GUI)
        , slot(slotIndex)
        , words{w0, w1, w2, w3}
    {
    }

    int32_t slot;
    int32_t words[4];
};

class XEvtHdlr;

/// Input codes of XEvtInput, with the window message each comes from.
enum class XInput : int32_t {
    MouseMove = 0,
    LButtonDown = 1,
    LButtonUp = 2,
    LButtonDblClk = 3,
    RButtonDown = 4,
    RButtonUp = 5,
    MouseWheel = 7, ///< position already converted from screen to client coordinates
    SetCursor = 8,
    CaptureChanged = 10,
    KeyDown = 11,
    KeyUp = 12,
    Char = 13,
    SysKeyDown = 14,
    SysKeyUp = 15,
    SysChar = 16,
    SetFocus = 17,
    KillFocus = 18,
};

/// One input message as an event: the input code, the pointer position in client
/// coordinates (keyboard events carry the position of the last message) and the message's
/// raw parameters. Slot 0 for pointer input, 1 for keyboard and focus input.
class XEvtInput : public XEvtGUI
{
public:
    XEvtInput(XInput inputCode, NXPoint position);

    /// Hands an unhandled input to the window's default handler, or else to the target.
    bool DefaultAction() override;

    static int32_t SlotOf(XInput code);
    bool IsCtrl() const;
    bool IsShift() const;

    XInput code;
    NXPoint pos;
    uint32_t key = 0;    ///< virtual key code (key messages) or character (Char)
    uint32_t repeat = 1; ///< key repeat count
    uint32_t flags = 0;  ///< modifier and button flags (MK_* values)
    int32_t wheelDelta = 0;
    uint32_t wParam = 0; ///< the raw first parameter
    uint32_t lParam = 0; ///< the raw second parameter

    XEvtHdlr* defaultHandler = nullptr; ///< the window's own handler (not owned)
    XEvtHdlr* target = nullptr;         ///< who gets the event when there is no default handler
    void* source = nullptr;             ///< the object that posted the event
    void* argument = nullptr;
    int64_t result = 0;
};
