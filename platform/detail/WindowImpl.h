// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Private to the platform library: the state behind a Window, shared by the files that
// implement windows (core, key translation, scroll bars, test input). Toolkit classes appear
// here only as forward declarations; the files that use them include the toolkit.

#include "platform/Cursor.h"
#include "platform/Window.h"
#include "platform/detail/NativeWindow.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class Fl_Group;
class Fl_Widget;
class Fl_Window;

namespace plat {
namespace detail {

class ScrollBarWidget;

/// Carried by every native widget of a platform window, so that a toolkit widget can be
/// mapped back to its window; `owner` turns null when the window lets go of the widget.
struct NativeTag
{
    Window::Impl* owner = nullptr;
    virtual ~NativeTag() = default;
    /// Draws all child widgets (a full repaint of the window).
    virtual void DrawChildren() = 0;
    /// Draws only the child widgets that are damaged.
    virtual void UpdateChildren() = 0;
};

/// The one way into a window's state from the rest of the library.
struct WindowAccess
{
    static Window::Impl& Of(const Window& wnd) { return *wnd.m_impl; }
};

inline Window::Impl& ImplOf(const Window& wnd)
{
    return WindowAccess::Of(wnd);
}

/// Modifier and button flags (Keys::*) of a toolkit event state, and back.
uint32_t KeysFromState(int state);
int StateFromKeys(uint32_t keys);
/// Toolkit key symbol to virtual key code, and back (for injected keys).
uint32_t VirtualKeyOf(int key);
int KeySymOf(uint32_t vk);
/// The characters a key press yields, as a message loop translating keys would deliver them:
/// Ctrl+letter gives the control character, Enter 13, Backspace 8, Tab 9, Escape 27; other
/// keys give the code points of their UTF-8 text (`len` bytes), without control characters.
std::vector<uint32_t> CharactersOf(int key, int state, const char* text, int len);

} // namespace detail

struct Window::Impl
{
    Window* self = nullptr;
    WindowCB* cb = nullptr;
    Fl_Group* native = nullptr;
    detail::NativeTag* tag = nullptr;
    detail::NativeKind kind = detail::NativeKind::Child;
    Window* parent = nullptr;
    /// A top-level window's owner (a find dialog's main window), which it stays above; not
    /// owned, and it must outlive the window.
    Window* owner = nullptr;
    std::vector<Window*> children;
    int id = 0;
    uint32_t style = 0;
    ColorRef bk = 0xFFFFFF;
    Cursor classCursor;
    detail::WindowHooks* hooks = nullptr;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    bool hasFocus = false;
    Size lastSize;

    // Scroll bars: the state lives here; the widgets exist when the style asks for them.
    ScrollInfo bars[2];
    bool barShown[2] = {false, false};
    detail::ScrollBarWidget* barWidget[2] = {nullptr, nullptr};

    struct TimerRec
    {
        Impl* owner = nullptr;
        uint32_t id = 0;
        uint32_t periodMs = 0;
    };
    std::map<uint32_t, std::unique_ptr<TimerRec>> timers;

    bool caretCreated = false;
    int caretShow = 0;
    bool caretPhase = true;
    Size caretSize;
    Point caretPos;

    /// The window that has captured the mouse, or null.
    static Window* s_capture;

    ~Impl() { *alive = false; }

    int Border() const { return (style & WindowStyle::kBorder) ? 1 : 0; }
    bool IsTop() const { return kind != detail::NativeKind::Child; }
    /// Origin of the client area in the coordinates of the toolkit window that holds it.
    Point ClientOrigin() const;
    Rect ClientRect() const;
    Fl_Window* TopWindow() const;
    /// Whether the native widget holds children besides its own scroll bars.
    bool HasChildControls() const;

    /// Sends a message to the callback; false when not handled or the window died meanwhile.
    bool Send(const Message& m);

    void ApplyCursor(const Cursor& c);
    void DetachNative(bool deleteWidget);
    void KillAllTimers();
    /// Starts the caret blinking anew in its visible phase (while a caret exists).
    void RestartCaretBlink();
    void StopCaretBlink();
    /// Records the focus as ours and tells the callback; `old` is the widget that had it.
    void GainFocus(Fl_Widget* old);
    void Draw(Fl_Group* widget, bool full);
    void Resized();

    // Input (WindowInput.cpp, keys in WindowKeys.cpp). `base` is the toolkit's own handling.
    int Handle(int e, Fl_Group* widget, int (*base)(Fl_Group*, int));
    int HandleMouse(int e);
    int HandleKey(int e);
    int HandleDroppedFiles();

    // Scroll bars (WindowScroll.cpp).
    void CreateScrollBars();
    void LayoutScrollBars();
    void DetachScrollBars();
};

} // namespace plat
