// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/XEvt.h"

#include <cstdint>

class XEvtMngr;
class XEvtHdlr;

/// What a handler tells its owner: the classified gesture of every input event.
class XEvtHdlrCB
{
public:
    virtual ~XEvtHdlrCB() = default;
    /// gesture: the XEvtHdlrGUI classification (0 none, 1 reset, 2/3 left press/release,
    /// 4 move, 5 left drag, 7/8 right press/release, 9 right drag, 11 wheel). True when handled.
    virtual bool OnGesture(XEvtHdlr& handler, XEvtInput& evt, int32_t gesture);
    /// The shared do-nothing callback.
    static XEvtHdlrCB& Default();
};

/// A link in the chain that events pass through. A handler belongs to one manager.
class XEvtHdlr
{
public:
    explicit XEvtHdlr(XEvtMngr* mngr = nullptr);
    XEvtHdlr(const XEvtHdlr&) = delete;
    XEvtHdlr& operator=(const XEvtHdlr&) = delete;
    /// Leaves every slot of its manager.
    virtual ~XEvtHdlr();

    /// Handles evt; true when handled. The base handles nothing.
    virtual bool HandleEvent(XEvt& evt, void* source, void* argument, int64_t& result);
    /// Whether this handler wants events of that kind (the base wants all).
    virtual bool AcceptsKind(XEvtKind kind) const;
    /// Takes (activate) or releases slot of the manager.
    virtual void ActivateSlot(bool activate, XEvt* evt, int32_t slot);
    /// Whether this handler holds slot.
    virtual bool HoldsSlot(int32_t slot) const;
    /// For derived handlers; does nothing here.
    virtual void Hook() {}

    XEvtMngr* GetMngr() const { return m_mngr; }
    void SetMngr(XEvtMngr* mngr) { m_mngr = mngr; }

private:
    XEvtMngr* m_mngr;
};

/// A handler that classifies raw mouse input into gestures with a drag threshold.
/// Results of Classify: 0 none (not a mouse gesture), 1 a button reset (double press or a
/// release without press), 2 left press, 3 left release, 4 move with no button, 5 move with
/// the left button (it wins over the right), 7 right press, 8 right release, 9 move with
/// only the right button, 11 wheel.
class XEvtHdlrGUI : public XEvtHdlr
{
public:
    static constexpr int32_t kLeft = 0;
    static constexpr int32_t kRight = 1;

    explicit XEvtHdlrGUI(XEvtMngr* mngr = nullptr, XEvtHdlrCB& cb = XEvtHdlrCB::Default());
    ~XEvtHdlrGUI() override;

    /// Takes GUI events of slots 0, 1 and 3 to Input; reports any other event handled.
    bool HandleEvent(XEvt& evt, void* source, void* argument, int64_t& result) override;
    /// The GUI event entry; the base passes input events to Input.
    virtual bool GUIEvent(XEvtGUI& evt);
    /// Classifies the input and tells the callback; true when handled.
    virtual bool Input(XEvtInput& evt);
    virtual bool IsActive() const { return m_active != 0; }
    /// Updates the button records from evt and returns the gesture (see the class comment).
    virtual int32_t Classify(XEvtInput& evt);
    virtual void ResetButton(int32_t b);
    virtual bool IsPressed(int32_t b) const;
    /// No movement beyond the threshold since the press.
    virtual bool NotMoved(int32_t b) const;
    virtual bool MovedBeyondThreshold(int32_t b) const;
    virtual NXPoint PressPoint(int32_t b) const;
    virtual NXPoint CurrentPoint(int32_t b) const;
    virtual NXPoint PreviousPoint(int32_t b) const;
    virtual void GUIHook() {}

    void SetCB(XEvtHdlrCB& cb) { m_cb = &cb; }
    void SetActive(bool active) { m_active = active ? 1 : 0; }
    int32_t GetThreshold() const { return m_threshold; }
    void SetThreshold(int32_t pixels) { m_threshold = pixels; }
    /// Ctrl and Shift as they were at the last classification.
    bool CtrlDown() const { return m_ctrl; }
    bool ShiftDown() const { return m_shift; }

private:
    struct Button
    {
        int32_t state = 0; ///< 0 up, 1 pressed
        NXPoint press;
        NXPoint current;
        NXPoint previous;
        uint8_t moved = 0;
        int32_t spare = 0;
    };
    void Track(Button& b, NXPoint pos);

    XEvtHdlrCB* m_cb;
    int32_t m_active = 1;
    int32_t m_threshold = 5;
    Button m_buttons[2];
    bool m_ctrl = false;
    bool m_shift = false;
};
