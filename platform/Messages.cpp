// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Messages.h"

namespace plat {
namespace {

uint32_t Pack(int lo, int hi)
{
    return (uint32_t(uint16_t(lo))) | (uint32_t(uint16_t(hi)) << 16);
}

} // namespace

uint32_t Message::WParam() const
{
    switch (kind) {
    case Msg::KeyDown:
    case Msg::KeyUp:
    case Msg::SysKeyDown:
    case Msg::SysKeyUp:
    case Msg::Char:
    case Msg::SysChar:
        return key;
    case Msg::MouseWheel:
        return Pack(int(keys & 0xFFFF), wheelDelta);
    case Msg::Command:
        return Pack(int(id), int(code));
    case Msg::Timer:
    case Msg::Notify:
        return id;
    case Msg::HScroll:
    case Msg::VScroll:
        return Pack(int(code), pos);
    case Msg::SetCursor:
        return 0;
    default:
        return keys;
    }
}

uint32_t Message::LParam() const
{
    switch (kind) {
    case Msg::KeyDown:
    case Msg::SysKeyDown:
        return repeat & 0xFFFF;
    case Msg::KeyUp:
    case Msg::SysKeyUp:
        // Key-up messages carry the previous-state and transition bits.
        return (repeat & 0xFFFF) | 0xC0000000u;
    case Msg::Char:
    case Msg::SysChar:
        return repeat & 0xFFFF;
    case Msg::MouseWheel:
        return Pack(screenPt.x, screenPt.y);
    case Msg::SetCursor:
        // Hit-test code "client" (1) and the mouse message that follows.
        return Pack(1, int(code));
    case Msg::Size:
        return Pack(size.cx, size.cy);
    case Msg::MouseMove:
    case Msg::LButtonDown:
    case Msg::LButtonUp:
    case Msg::LButtonDblClk:
    case Msg::RButtonDown:
    case Msg::RButtonUp:
    case Msg::RButtonDblClk:
    case Msg::MButtonDown:
    case Msg::MButtonUp:
        return Pack(pt.x, pt.y);
    default:
        return 0;
    }
}

} // namespace plat
