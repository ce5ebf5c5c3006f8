// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/WindowImpl.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Window.H>
#include <cctype>
#include <string>

// Input dispatch: the toolkit's events for a window become its mouse, focus, key and drop
// messages, with mouse capture and child controls taken into account.

namespace plat {

int Window::Impl::HandleMouse(int e)
{
    Message m;
    detail::FillPointer(*self, m);
    const int button = Fl::event_button();
    const bool dbl = Fl::event_clicks() > 0;
    switch (e) {
    case FL_PUSH:
        m.kind = button == FL_RIGHT_MOUSE    ? (dbl ? Msg::RButtonDblClk : Msg::RButtonDown)
                 : button == FL_MIDDLE_MOUSE ? Msg::MButtonDown
                                             : (dbl ? Msg::LButtonDblClk : Msg::LButtonDown);
        m.keys |= button == FL_RIGHT_MOUSE    ? Keys::kRButton
                  : button == FL_MIDDLE_MOUSE ? Keys::kMButton
                                              : Keys::kLButton;
        break;
    case FL_RELEASE:
        m.kind = button == FL_RIGHT_MOUSE    ? Msg::RButtonUp
                 : button == FL_MIDDLE_MOUSE ? Msg::MButtonUp
                                             : Msg::LButtonUp;
        m.keys &= ~(button == FL_RIGHT_MOUSE    ? Keys::kRButton
                    : button == FL_MIDDLE_MOUSE ? Keys::kMButton
                                                : Keys::kLButton);
        break;
    case FL_MOUSEWHEEL:
        if (Fl::event_dy() == 0)
            return 0;
        m.kind = Msg::MouseWheel;
        m.wheelDelta = -Fl::event_dy() * 120;
        return Send(m) ? 1 : 0;
    default:
        m.kind = Msg::MouseMove;
        break;
    }
    std::shared_ptr<bool> aliveFlag = alive;
    if (s_capture != self && m.kind != Msg::LButtonUp && m.kind != Msg::RButtonUp &&
        m.kind != Msg::MButtonUp) {
        // The cursor is asked for before every mouse message except while captured.
        Message sc = m;
        sc.kind = Msg::SetCursor;
        sc.code = uint32_t(m.kind);
        if (!Send(sc)) {
            if (!*aliveFlag)
                return 1;
            ApplyCursor(classCursor);
        }
    }
    if (!*aliveFlag)
        return 1;
    Send(m);
    return 1;
}

namespace {

// Whether the pointer is over a visible child (control, scroll bar or child window).
bool ChildUnderMouse(Fl_Group* g)
{
    for (int i = g->children(); i--;) {
        Fl_Widget* c = g->child(i);
        if (c->visible() && Fl::event_inside(c))
            return true;
    }
    return false;
}

} // namespace

int Window::Impl::Handle(int e, Fl_Group* widget, int (*base)(Fl_Group*, int))
{
    const bool mouse =
        e == FL_PUSH || e == FL_RELEASE || e == FL_DRAG || e == FL_MOVE || e == FL_MOUSEWHEEL;
    // Mouse capture: input that reaches any window of the same top-level goes to the holder.
    if (mouse && s_capture && s_capture != self && s_capture->m_impl && s_capture->m_impl->native &&
        s_capture->m_impl->TopWindow() == TopWindow())
        return s_capture->m_impl->HandleMouse(e);
    if (mouse && s_capture == self)
        return HandleMouse(e);

    switch (e) {
    case FL_PUSH:
    case FL_MOUSEWHEEL:
        if (ChildUnderMouse(widget) && base(widget, e))
            return 1; // a child window or control took it
        if (!widget->active_r())
            return 0;
        return HandleMouse(e);
    case FL_MOVE:
    case FL_ENTER:
        if (ChildUnderMouse(widget))
            return base(widget, e);
        Fl::belowmouse(widget);
        HandleMouse(FL_MOVE);
        return 1;
    case FL_DRAG:
    case FL_RELEASE:
        return HandleMouse(e);
    case FL_LEAVE:
        base(widget, e);
        return 1;
    case FL_FOCUS: {
        // Windows with controls pass the focus on to them; plain windows take it.
        if (HasChildControls() && !hasFocus)
            return base(widget, e);
        if (!widget->active_r())
            return 0;
        if (hasFocus && Fl::focus() == widget)
            return 1;
        Fl_Widget* old = Fl::focus();
        if (old != widget)
            Fl::focus(widget); // the old holder gets FL_UNFOCUS, and so KillFocus, first
        GainFocus(old);
        if (native)
            native->redraw();
        return 1;
    }
    case FL_UNFOCUS: {
        if (!hasFocus)
            return base(widget, e);
        hasFocus = false;
        StopCaretBlink();
        Message m;
        m.kind = Msg::KillFocus;
        m.other = detail::WindowFromNative(Fl::focus());
        detail::FillPointer(*self, m);
        Send(m);
        if (native)
            native->redraw();
        return 1;
    }
    case FL_KEYBOARD:
    case FL_KEYUP:
        if (Fl::focus() == widget && hasFocus) {
            if (HandleKey(e))
                return 1;
            // Only Tab moves the focus on from a window that did not use the key.
            if (e == FL_KEYUP || Fl::event_key() != FL_Tab)
                return 0;
        }
        return base(widget, e);
    case FL_SHORTCUT:
        if (IsTop()) {
            if (hooks && hooks->OnUnusedKey(detail::VirtualKeyOf(Fl::event_key()),
                                            detail::KeysFromState(Fl::event_state())))
                return 1;
            if (base(widget, e))
                return 1;
            // Escape would close a plain top-level window; only dialogs close on it.
            return Fl::event_key() == FL_Escape ? 1 : 0;
        }
        return base(widget, e);
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE:
        if (style & WindowStyle::kAcceptFiles)
            return 1;
        return base(widget, e);
    case FL_PASTE:
        if (!(style & WindowStyle::kAcceptFiles))
            return base(widget, e);
        return HandleDroppedFiles();
    default:
        return base(widget, e);
    }
}

int Window::Impl::HandleDroppedFiles()
{
    Message m;
    m.kind = Msg::DropFiles;
    detail::FillPointer(*self, m);
    // The drop arrives as a list of URIs, one per line.
    std::string text(Fl::event_text() ? Fl::event_text() : "", size_t(Fl::event_length()));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        if (line.compare(0, 7, "file://") == 0) {
            line.erase(0, 7);
            if (!line.empty() && line[0] != '/') {
                const size_t slash = line.find('/'); // a host name precedes the path
                line = slash == std::string::npos ? std::string() : line.substr(slash);
            }
        }
        std::string decoded;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '%' && i + 2 < line.size() && isxdigit((unsigned char)line[i + 1]) &&
                isxdigit((unsigned char)line[i + 2])) {
                decoded += char(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                decoded += line[i];
            }
        }
        if (!decoded.empty())
            m.files.push_back(decoded);
    }
    if (!m.files.empty())
        Send(m);
    return 1;
}

} // namespace plat
