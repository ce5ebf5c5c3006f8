// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace plat {

class Image;
class Window;

/// Support for driving the user interface from tests, without a person, a window manager or
/// sleeps. Input is injected through the toolkit's own event dispatch, so native controls
/// react to it exactly as to real input.
namespace test {

/// Handles messages until none are pending and nothing waits to be painted (at most maxMs).
/// Returns false when it gave up because messages kept coming.
bool ProcessUntilIdle(int maxMs = 2000);
/// Handles messages, waiting for new ones, until `done` returns true or timeoutMs passed;
/// returns the last result of `done`.
bool RunUntil(const std::function<bool()>& done, int timeoutMs);

/// What kind of modal interaction is about to wait for a person.
enum class ModalKind {
    Dialog,       ///< a modal dialog is shown and initialised; `window` is the dialog
    MessageBox,   ///< a message box; answer with the button id (kIdOk, kIdCancel, ...)
    FileDialog,   ///< the save-file dialog; answer with a path, or code 0 to cancel
    PopupMenu,    ///< a popup menu; answer with the item id (0 closes it without a choice)
    DropDownList, ///< a drop-down list opens; answer with the item index (-1: no choice)
};

struct ModalRequest
{
    ModalKind kind = ModalKind::Dialog;
    Window* window = nullptr;       ///< the dialog or the owner
    std::string title;              ///< caption of a dialog, message box or file dialog
    std::string text;               ///< message box text; file dialog initial name
    std::vector<std::string> items; ///< texts of the list or of the menu items in id order
    std::vector<uint32_t> ids;      ///< menu item ids, parallel to items
    int controlId = 0;              ///< the drop-down list's control id
};

struct ModalAnswer
{
    bool answered = false; ///< false: the interaction goes on for a person
    int code = 0;          ///< end code, button id, menu id or list index
    std::string path;      ///< file dialog: the chosen path
};

using ModalHook = std::function<ModalAnswer(const ModalRequest&)>;
/// Installs the hook called when a modal interaction opens (an empty hook removes it). For
/// a dialog, the hook may also act on the dialog (set texts, inject input, end it) before
/// answering; an answered dialog ends with the answer's code.
void SetModalHook(ModalHook hook);

/// Mouse buttons for injection.
enum class Button {
    Left,
    Right,
    Middle,
};

/// Moves the pointer to `pt` (client coordinates of `wnd`) with the given Keys::* flags.
void MouseMove(Window& wnd, Point pt, uint32_t keys = 0);
/// Presses a button at `pt`; `doubleClick` marks it as the second click of a double click.
void MouseDown(Window& wnd, Point pt, Button b = Button::Left, uint32_t keys = 0,
               bool doubleClick = false);
void MouseUp(Window& wnd, Point pt, Button b = Button::Left, uint32_t keys = 0);
/// Press and release at the same point.
void Click(Window& wnd, Point pt, Button b = Button::Left, uint32_t keys = 0);
/// Press, moves in steps, release.
void Drag(Window& wnd, Point from, Point to, int steps = 5);
/// Turns the wheel over `pt` by `delta` (multiples of 120, positive away from the user).
void Wheel(Window& wnd, Point pt, int delta);
/// Presses and releases a key (virtual key code) with Keys::* modifiers, delivered to the
/// focus of `wnd`'s top-level window as real keys are.
void PressKey(Window& wnd, uint32_t vk, uint32_t keys = 0);
/// Presses a key in whatever toolkit window is active now (an open popup menu or list,
/// which are not platform windows); false when no window is shown.
bool PressKeyInActiveWindow(uint32_t vk, uint32_t keys = 0);
/// The screen rectangle of the toolkit window active now (as PressKeyInActiveWindow finds
/// it); empty when no window is shown.
Rect ActiveWindowRect();
/// Types text (each character as a key press with its character).
void TypeText(Window& wnd, const std::string& text);
/// Drops files on `pt` of the window.
void DropFiles(Window& wnd, Point pt, const std::vector<std::string>& paths);

/// How many times the drop-down lists of this process have built the labels of all their
/// items. Filling a list builds them once, when it is next drawn or opened; tests of the
/// cost of filling a list count these builds.
uint64_t DropDownLabelBuilds();

/// The client area of a shown window as the display shows it now, read back from the screen
/// after pending painting; an invalid image when the window is not shown. Parts covered by
/// other windows read as those windows.
Image CaptureWindow(Window& wnd);

} // namespace test
} // namespace plat
