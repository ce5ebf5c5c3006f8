// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/XMEditMT.h"

#include "base/XEvtMngr.h"
#include "edit/XMEdit.h"
#include "platform/Cursor.h"
#include "platform/Messages.h"
#include "platform/Window.h"

bool XMEditMTZTimerCB::OnTimer(ZTimer&, uint32_t, uint32_t, uint32_t)
{
    m_mt.Repeat();
    return true;
}

XMEditMT::XMEditMT(XMEdit& edit, XEvtMngr* mngr)
    : XEvtHdlrGUI(mngr)
    , m_edit(edit)
{
}

XMEditMT::~XMEditMT()
{
    m_timer.Stop();
}

const char* XMEditMT::KeyCommand(uint32_t vk, bool ctrl)
{
    switch (vk) {
    case plat::VK::kBack:
        return "DoKeyBACK";
    case plat::VK::kReturn:
        return "DoKeyRETURN";
    case plat::VK::kPrior:
        return "DoKeyPRIOR";
    case plat::VK::kNext:
        return "DoKeyNEXT";
    case plat::VK::kEnd:
        return "DoKeyEND";
    case plat::VK::kHome:
        return "DoKeyHOME";
    case plat::VK::kLeft:
        return "DoKeyLEFT";
    case plat::VK::kUp:
        return "DoKeyUP";
    case plat::VK::kRight:
        return "DoKeyRIGHT";
    case plat::VK::kDown:
        return "DoKeyDOWN";
    case plat::VK::kDelete:
        return "DoKeyDELETE";
    case plat::VK::kF3:
        return "DoFind";
    default:
        break;
    }
    if (!ctrl) {
        return nullptr;
    }
    switch (vk) {
    case 'A':
        return "DoSelAll";
    case 'C':
        return "DoCopy";
    case 'F':
        return "DoFindDlg";
    case 'L':
        return "DoCutLine";
    case 'V':
        return "DoPaste";
    case 'X':
        return "DoCut";
    case 'Y':
        return "DoRedo";
    case 'Z':
        return "DoUndo";
    default:
        return nullptr;
    }
}

bool XMEditMT::IsKeyChar(uint32_t ch, bool ctrl)
{
    if (ch == 13 || ch == 8) {
        return true;
    }
    if (!ctrl) {
        return false;
    }
    switch (ch) {
    case 24: // Ctrl+X
    case 22: // Ctrl+V
    case 3:  // Ctrl+C
    case 1:  // Ctrl+A
    case 12: // Ctrl+L
    case 6:  // Ctrl+F
    case 26: // Ctrl+Z
    case 25: // Ctrl+Y
        return true;
    default:
        return false;
    }
}

bool XMEditMT::KeyDown(const XEvtInput& evt)
{
    const char* cmd = KeyCommand(evt.key, evt.IsCtrl());
    if (!cmd) {
        return m_edit.CB().OnUnhandledKey(m_edit, evt.key, evt.flags);
    }
    XMEditCmdParms p;
    p.shift = evt.IsShift();
    p.ctrl = evt.IsCtrl();
    p.pos = evt.pos;
    m_edit.ExecCmd(cmd, p);
    return true;
}

bool XMEditMT::Char(const XEvtInput& evt)
{
    if (IsKeyChar(evt.key, evt.IsCtrl())) {
        return true;
    }
    XMEditCmdParms p;
    p.ch = evt.key;
    p.shift = evt.IsShift();
    p.ctrl = evt.IsCtrl();
    p.pos = evt.pos;
    return m_edit.ExecCmd("DoChar", p);
}

void XMEditMT::EndMode()
{
    m_mode = XMEditMouseMode::Idle;
    m_timer.Stop();
    m_haveLast = false;
    ActivateSlot(false, nullptr, XEvtGUI::kSlotPointer);
}

bool XMEditMT::LeftDown(XEvtInput& evt)
{
    if (m_mode != XMEditMouseMode::Idle) {
        // A press while another gesture is under way (a press lost to another window)
        // only ends that gesture.
        ResetButton(kLeft);
        EndMode();
        return true;
    }
    Classify(evt); // takes the keyboard focus and the mouse capture
    m_edit.SetFocusDisplay(true);
    if (evt.code == XInput::LButtonDblClk) {
        m_edit.MouseAction(evt.pos, XMEMouseAction::DoubleClick);
        m_mode = XMEditMouseMode::DoubleClick;
        return true;
    }
    m_edit.MouseAction(evt.pos,
                       evt.IsShift() ? XMEMouseAction::Extend : XMEMouseAction::PlaceCaret);
    m_mode = XMEditMouseMode::LeftDrag;
    return true;
}

bool XMEditMT::Drag(XEvtInput& evt)
{
    Classify(evt);
    if (m_mode != XMEditMouseMode::LeftDrag) {
        return true;
    }
    m_last = evt;
    m_haveLast = true;
    XMEditCmdParms p;
    p.pos = evt.pos;
    p.shift = evt.IsShift();
    p.ctrl = evt.IsCtrl();
    p.readOnly = m_edit.IsReadOnly();
    m_edit.ExecCmd("DoSelDrag", p);
    // Outside the view the drag scrolls; the timer repeats it while the pointer rests.
    const plat::Size view = m_edit.GetViewSize();
    const bool outside =
        evt.pos.x < 0 || evt.pos.y < 0 || evt.pos.x >= view.cx || evt.pos.y >= view.cy;
    if (outside) {
        m_timer.Start(kRepeatMs, 1);
    } else {
        m_timer.Stop();
    }
    return true;
}

bool XMEditMT::LeftUp(XEvtInput& evt)
{
    Classify(evt);
    const XMEditMouseMode mode = m_mode;
    EndMode();
    // After a double click the word stays selected; only a drag finishes at the pointer.
    if (mode == XMEditMouseMode::LeftDrag) {
        m_edit.MouseAction(evt.pos, XMEMouseAction::Finish);
    }
    return true;
}

bool XMEditMT::RightDown(XEvtInput& evt)
{
    if (m_mode != XMEditMouseMode::Idle) {
        return true;
    }
    Classify(evt); // briefly takes the focus and the capture
    m_mode = XMEditMouseMode::RightMenu;
    m_edit.CB().OnRButtonDown(m_edit, evt.pos);
    m_edit.ShowMenu(evt.pos);
    // The release happened inside the menu.
    ResetButton(kRight);
    EndMode();
    return true;
}

void XMEditMT::Repeat()
{
    if (m_mode != XMEditMouseMode::LeftDrag || !m_haveLast) {
        return;
    }
    XEvtInput again = m_last;
    Input(again);
}

bool XMEditMT::Input(XEvtInput& evt)
{
    plat::Window* wnd = m_edit.GetWindow();
    switch (evt.code) {
    case XInput::KeyDown:
        return KeyDown(evt);
    case XInput::Char:
        return Char(evt);
    case XInput::SetFocus:
        m_edit.SetFocusDisplay(true);
        m_edit.CB().OnFocus(m_edit, true);
        return true;
    case XInput::KillFocus:
        // Handlers of one window hand the keyboard slot to each other with a focus-lost
        // notice; the caret goes only when the window itself loses the focus.
        if (wnd && wnd->HasFocus()) {
            return true;
        }
        m_edit.SetFocusDisplay(false);
        m_edit.CB().OnFocus(m_edit, false);
        return true;
    case XInput::SetCursor:
        if (wnd) {
            wnd->SetCursor(plat::Cursor::Standard(plat::StdCursor::IBeam));
        }
        return true;
    case XInput::MouseWheel:
        m_edit.Wheel(evt.wheelDelta, evt.IsCtrl());
        return true;
    case XInput::CaptureChanged:
        if (m_mode == XMEditMouseMode::LeftDrag && wnd && plat::Window::GetCapture() != wnd) {
            ResetButton(kLeft);
            m_mode = XMEditMouseMode::Idle;
            m_timer.Stop();
        }
        return true;
    case XInput::LButtonDown:
    case XInput::LButtonDblClk:
        return LeftDown(evt);
    case XInput::MouseMove:
        return Drag(evt);
    case XInput::LButtonUp:
        return LeftUp(evt);
    case XInput::RButtonDown:
        return RightDown(evt);
    case XInput::RButtonUp:
        Classify(evt);
        return true;
    case XInput::KeyUp:
    case XInput::SysKeyDown:
    case XInput::SysKeyUp:
    case XInput::SysChar:
        return false;
    }
    return false;
}
