// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/WindowImpl.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>

// Key translation: the toolkit's key symbols and event states become the virtual key codes,
// modifier flags and characters that window callbacks receive, and back for injected keys.

namespace plat {
namespace detail {

uint32_t KeysFromState(int state)
{
    uint32_t k = 0;
    if (state & FL_BUTTON1)
        k |= Keys::kLButton;
    if (state & FL_BUTTON3)
        k |= Keys::kRButton;
    if (state & FL_BUTTON2)
        k |= Keys::kMButton;
    if (state & FL_SHIFT)
        k |= Keys::kShift;
    if (state & FL_CTRL)
        k |= Keys::kControl;
    if (state & FL_ALT)
        k |= Keys::kAlt;
    return k;
}

int StateFromKeys(uint32_t k)
{
    int s = 0;
    if (k & Keys::kLButton)
        s |= FL_BUTTON1;
    if (k & Keys::kRButton)
        s |= FL_BUTTON3;
    if (k & Keys::kMButton)
        s |= FL_BUTTON2;
    if (k & Keys::kShift)
        s |= FL_SHIFT;
    if (k & Keys::kControl)
        s |= FL_CTRL;
    if (k & Keys::kAlt)
        s |= FL_ALT;
    return s;
}

// Toolkit key symbol to virtual key code.
uint32_t VirtualKeyOf(int k)
{
    if (k >= 'a' && k <= 'z')
        return uint32_t(k - 'a' + 'A');
    if (k >= '0' && k <= '9')
        return uint32_t(k);
    if (k >= FL_KP + '0' && k <= FL_KP + '9')
        return VK::kNumpad0 + uint32_t(k - FL_KP - '0');
    if (k >= FL_F + 1 && k <= FL_F + 24)
        return VK::kF1 + uint32_t(k - FL_F - 1);
    switch (k) {
    case FL_BackSpace:
        return VK::kBack;
    case FL_Tab:
        return VK::kTab;
    case FL_Enter:
    case FL_KP_Enter:
        return VK::kReturn;
    case FL_Shift_L:
    case FL_Shift_R:
        return VK::kShift;
    case FL_Control_L:
    case FL_Control_R:
        return VK::kControl;
    case FL_Alt_L:
    case FL_Alt_R:
        return VK::kMenu;
    case FL_Pause:
        return VK::kPause;
    case FL_Caps_Lock:
        return VK::kCapital;
    case FL_Escape:
        return VK::kEscape;
    case ' ':
        return VK::kSpace;
    case FL_Page_Up:
        return VK::kPrior;
    case FL_Page_Down:
        return VK::kNext;
    case FL_End:
        return VK::kEnd;
    case FL_Home:
        return VK::kHome;
    case FL_Left:
        return VK::kLeft;
    case FL_Up:
        return VK::kUp;
    case FL_Right:
        return VK::kRight;
    case FL_Down:
        return VK::kDown;
    case FL_Insert:
        return VK::kInsert;
    case FL_Delete:
        return VK::kDelete;
    case FL_KP + '*':
        return VK::kMultiply;
    case FL_KP + '+':
        return VK::kAdd;
    case FL_KP + '-':
        return VK::kSubtract;
    case FL_KP + '.':
        return VK::kDecimal;
    case FL_KP + '/':
        return VK::kDivide;
    case ';':
        return 0xBA;
    case '=':
        return 0xBB;
    case ',':
        return 0xBC;
    case '-':
        return 0xBD;
    case '.':
        return 0xBE;
    case '/':
        return 0xBF;
    case '`':
        return 0xC0;
    case '[':
        return 0xDB;
    case '\\':
        return 0xDC;
    case ']':
        return 0xDD;
    case '\'':
        return 0xDE;
    default:
        return uint32_t(k) & 0xFF;
    }
}

// Virtual key code to toolkit key symbol (for injected keys).
int KeySymOf(uint32_t vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return int(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9')
        return int(vk);
    if (vk >= VK::kNumpad0 && vk <= VK::kNumpad0 + 9)
        return FL_KP + '0' + int(vk - VK::kNumpad0);
    if (vk >= VK::kF1 && vk <= VK::kF1 + 23)
        return FL_F + 1 + int(vk - VK::kF1);
    for (int k : {FL_BackSpace, FL_Tab,    FL_Enter, FL_Shift_L, FL_Control_L, FL_Alt_L,  FL_Pause,
                  FL_Caps_Lock, FL_Escape, int(' '), FL_Page_Up, FL_Page_Down, FL_End,    FL_Home,
                  FL_Left,      FL_Up,     FL_Right, FL_Down,    FL_Insert,    FL_Delete, int(';'),
                  int('='),     int(','),  int('-'), int('.'),   int('/'),     int('`'),  int('['),
                  int('\\'),    int(']'),  int('\'')})
        if (VirtualKeyOf(k) == vk)
            return k;
    return int(vk);
}

std::vector<uint32_t> CharactersOf(int key, int state, const char* text, int len)
{
    std::vector<uint32_t> out;
    const bool ctrl = (state & FL_CTRL) != 0;
    if (ctrl && key >= 'a' && key <= 'z') {
        out.push_back(uint32_t(key - 'a' + 1));
        return out;
    }
    switch (key) {
    case FL_Enter:
    case FL_KP_Enter:
        out.push_back(13);
        return out;
    case FL_BackSpace:
        out.push_back(8);
        return out;
    case FL_Tab:
        out.push_back(9);
        return out;
    case FL_Escape:
        out.push_back(27);
        return out;
    default:
        break;
    }
    if (ctrl || !text)
        return out;
    // Decode the UTF-8 text of the key; control characters and DEL are not characters here.
    for (int i = 0; i < len;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t cp = c;
        int n = 1;
        if (c >= 0xF0 && i + 3 < len) {
            cp = (c & 0x07u) << 18 | (text[i + 1] & 0x3Fu) << 12 | (text[i + 2] & 0x3Fu) << 6 |
                 (text[i + 3] & 0x3Fu);
            n = 4;
        } else if (c >= 0xE0 && i + 2 < len) {
            cp = (c & 0x0Fu) << 12 | (text[i + 1] & 0x3Fu) << 6 | (text[i + 2] & 0x3Fu);
            n = 3;
        } else if (c >= 0xC0 && i + 1 < len) {
            cp = (c & 0x1Fu) << 6 | (text[i + 1] & 0x3Fu);
            n = 2;
        }
        i += n;
        if (cp >= 32 && cp != 127)
            out.push_back(cp);
    }
    return out;
}

} // namespace detail

int Window::Impl::HandleKey(int e)
{
    const int key = Fl::event_key();
    const int state = Fl::event_state();
    const bool alt = (state & FL_ALT) != 0;
    Message m;
    detail::FillPointer(*self, m);
    m.key = detail::VirtualKeyOf(key);
    if (e == FL_KEYUP) {
        m.kind = alt ? Msg::SysKeyUp : Msg::KeyUp;
        return Send(m) ? 1 : 0;
    }
    m.kind = alt ? Msg::SysKeyDown : Msg::KeyDown;
    std::shared_ptr<bool> aliveFlag = alive;
    bool handled = Send(m);
    if (!*aliveFlag)
        return 1;
    for (uint32_t ch : detail::CharactersOf(key, state, Fl::event_text(), Fl::event_length())) {
        Message c = m;
        c.kind = alt ? Msg::SysChar : Msg::Char;
        c.key = ch;
        handled = Send(c) || handled;
        if (!*aliveFlag)
            return 1;
    }
    return handled ? 1 : 0;
}

} // namespace plat
