// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class Window;

/// Window message kinds, numbered as the conventional window messages (WM_*), so that code
/// written against those numbers maps them one to one.
enum class Msg : uint32_t {
    Create = 0x0001,
    Destroy = 0x0002,
    Size = 0x0005,      ///< size: the new client size
    SetFocus = 0x0007,  ///< other: the window that lost the focus (may be null)
    KillFocus = 0x0008, ///< other: the window that gets the focus (may be null)
    Paint = 0x000F,     ///< only for windows without OnPaint handling (never sent)
    Close = 0x0010,     ///< the close box of a top-level window; unhandled, it destroys
    SetCursor = 0x0020, ///< code: the mouse message that follows; set a cursor and return true
    Notify = 0x004E,    ///< id: control, code: notification (NM_RELEASEDCAPTURE, ...)
    KeyDown = 0x0100,   ///< key: virtual key code; keys: modifier flags
    KeyUp = 0x0101,
    Char = 0x0102,       ///< key: the character (code point; Ctrl+X gives 24)
    SysKeyDown = 0x0104, ///< keys with Alt held
    SysKeyUp = 0x0105,
    SysChar = 0x0106,
    InitDialog = 0x0110, ///< dialogs: once, after the controls exist, before showing
    Command = 0x0111,    ///< id: control or command id, code: notification code
    Timer = 0x0113,      ///< id: the timer id given to SetTimer
    HScroll = 0x0114,    ///< code: ScrollCode, pos: position; id: the slider's id or 0
    VScroll = 0x0115,
    MouseMove = 0x0200,
    LButtonDown = 0x0201,
    LButtonUp = 0x0202,
    LButtonDblClk = 0x0203,
    RButtonDown = 0x0204,
    RButtonUp = 0x0205,
    RButtonDblClk = 0x0206,
    MButtonDown = 0x0207,
    MButtonUp = 0x0208,
    MouseWheel = 0x020A,     ///< wheelDelta: multiples of 120, positive away from the user
    CaptureChanged = 0x0215, ///< to the window losing the capture; other: the new holder
    DropFiles = 0x0233,      ///< files: the dropped paths
};

/// Modifier and button flags of input messages (the conventional MK_* values; kAlt is ours).
namespace Keys {
constexpr uint32_t kLButton = 0x0001;
constexpr uint32_t kRButton = 0x0002;
constexpr uint32_t kShift = 0x0004;
constexpr uint32_t kControl = 0x0008;
constexpr uint32_t kMButton = 0x0010;
constexpr uint32_t kAlt = 0x0020;
} // namespace Keys

/// Virtual key codes (the conventional VK_* values). Letters and digits are their upper-case
/// ASCII codes ('A' is 0x41, '0' is 0x30).
namespace VK {
constexpr uint32_t kBack = 0x08;
constexpr uint32_t kTab = 0x09;
constexpr uint32_t kReturn = 0x0D;
constexpr uint32_t kShift = 0x10;
constexpr uint32_t kControl = 0x11;
constexpr uint32_t kMenu = 0x12; ///< Alt
constexpr uint32_t kPause = 0x13;
constexpr uint32_t kCapital = 0x14;
constexpr uint32_t kEscape = 0x1B;
constexpr uint32_t kSpace = 0x20;
constexpr uint32_t kPrior = 0x21;
constexpr uint32_t kNext = 0x22;
constexpr uint32_t kEnd = 0x23;
constexpr uint32_t kHome = 0x24;
constexpr uint32_t kLeft = 0x25;
constexpr uint32_t kUp = 0x26;
constexpr uint32_t kRight = 0x27;
constexpr uint32_t kDown = 0x28;
constexpr uint32_t kInsert = 0x2D;
constexpr uint32_t kDelete = 0x2E;
constexpr uint32_t kNumpad0 = 0x60;
constexpr uint32_t kMultiply = 0x6A;
constexpr uint32_t kAdd = 0x6B;
constexpr uint32_t kSubtract = 0x6D;
constexpr uint32_t kDecimal = 0x6E;
constexpr uint32_t kDivide = 0x6F;
constexpr uint32_t kF1 = 0x70; ///< F2..F12 follow: kF1 + 1 .. kF1 + 11
constexpr uint32_t kF3 = 0x72;
constexpr uint32_t kF12 = 0x7B;
} // namespace VK

/// Scroll codes of HScroll/VScroll (SB_* and TB_* share these numbers).
enum class ScrollCode : uint32_t {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

/// Dialog command ids and end codes.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

/// Notification codes of the native controls, with their conventional numbers.
namespace Notify {
constexpr uint32_t kEnSetFocus = 0x100;
constexpr uint32_t kEnKillFocus = 0x200;
constexpr uint32_t kEnChange = 0x300;
constexpr uint32_t kEnUpdate = 0x400;
constexpr uint32_t kBnClicked = 0;
constexpr uint32_t kBnDoubleClicked = 5;
constexpr uint32_t kBnSetFocus = 6;
constexpr uint32_t kBnKillFocus = 7;
constexpr uint32_t kLbnSelChange = 1;
constexpr uint32_t kLbnDblClk = 2;
constexpr uint32_t kLbnSelCancel = 3;
constexpr uint32_t kLbnSetFocus = 4;
constexpr uint32_t kLbnKillFocus = 5;
constexpr uint32_t kCbnSelChange = 1;
constexpr uint32_t kCbnDblClk = 2;
constexpr uint32_t kCbnSetFocus = 3;
constexpr uint32_t kCbnKillFocus = 4;
constexpr uint32_t kCbnEditChange = 5;
constexpr uint32_t kCbnEditUpdate = 6;
constexpr uint32_t kCbnDropDown = 7;
constexpr uint32_t kCbnCloseUp = 8;
constexpr uint32_t kCbnSelEndOk = 9;
constexpr uint32_t kCbnSelEndCancel = 10;
/// Sent with Msg::Notify when a slider releases the mouse capture (NM_RELEASEDCAPTURE, -16).
constexpr uint32_t kNmReleasedCapture = uint32_t(-16);
} // namespace Notify

/// One window message. Every input message carries the pointer position (client and screen)
/// and the modifier/button flags; the other fields are set as the kind's comment says.
struct Message
{
    Msg kind = Msg::Create;
    Point pt;            ///< pointer in client coordinates
    Point screenPt;      ///< pointer in screen coordinates
    uint32_t keys = 0;   ///< Keys::* flags held
    uint32_t key = 0;    ///< virtual key (KeyDown/KeyUp) or character (Char)
    uint32_t repeat = 1; ///< key messages: repeat count
    int wheelDelta = 0;  ///< MouseWheel
    uint32_t id = 0;     ///< Timer, Command, Notify and control scroll messages
    uint32_t code = 0;   ///< notification or scroll code; SetCursor: the mouse message kind
    int pos = 0;         ///< scroll position
    Size size;           ///< Size: the new client size
    Window* other = nullptr;
    std::vector<std::string> files; ///< DropFiles

    /// The message's first raw parameter as a window procedure would see it (key code,
    /// character, button flags with the wheel delta in the high word, command id and code).
    uint32_t WParam() const;
    /// The second raw parameter: packed client position for mouse messages, screen position
    /// for the wheel, repeat count for keys.
    uint32_t LParam() const;
};

} // namespace plat
