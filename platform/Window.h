// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Cursor.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plat {

class DrawContext;
class Window;

namespace detail {
struct WindowAccess;
} // namespace detail

/// Style flags of windows created by Window::Create*.
namespace WindowStyle {
constexpr uint32_t kVisible = 0x0001;     ///< shown at creation
constexpr uint32_t kBorder = 0x0002;      ///< thin frame around a child window
constexpr uint32_t kHScroll = 0x0004;     ///< horizontal scroll bar, hidden until shown
constexpr uint32_t kVScroll = 0x0008;     ///< vertical scroll bar, hidden until shown
constexpr uint32_t kAcceptFiles = 0x0010; ///< files dropped on it arrive as Msg::DropFiles
constexpr uint32_t kSizable = 0x0020;     ///< top-level: the user may resize it
constexpr uint32_t kDisabled = 0x0040;    ///< takes no input
constexpr uint32_t kTabStop = 0x0080;     ///< takes part in Tab navigation
} // namespace WindowStyle

/// Which scroll bar of a window (conventional numbers SB_HORZ 0, SB_VERT 1).
enum class ScrollBar {
    Horizontal = 0,
    Vertical = 1,
};

/// Range, page and position of a scroll bar. Positions run from min to max - page + 1;
/// trackPos is the position while the thumb is dragged.
struct ScrollInfo
{
    int min = 0;
    int max = 100;
    int page = 0;
    int pos = 0;
    int trackPos = 0;
};

/// What a window's owner is told. Handlers return true when they handled a message; the
/// window then skips its default processing.
class WindowCB
{
public:
    virtual ~WindowCB() = default;
    /// Every message except painting.
    virtual bool OnMessage(Window& wnd, const Message& msg);
    /// Paints the client area; `update` is the part that needs it. Returning false lets the
    /// window fill its background colour instead.
    virtual bool OnPaint(Window& wnd, DrawContext& dc, const Rect& update);
    /// The shared do-nothing callback.
    static WindowCB& Default();
};

/// A window of the platform: a custom child window that receives raw input, a top-level
/// window, a borderless popup (tool tips), or a dialog (see Dialog). The object owns the
/// native window: destroying the object destroys it, together with its child windows'
/// native parts (child objects stay valid and report IsCreated() false).
class Window
{
public:
    explicit Window(WindowCB& cb = WindowCB::Default());
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    /// Replaces the callback (not owned; must outlive the window or be replaced).
    void SetCB(WindowCB& cb);
    WindowCB& CB() const;

    /// A child window at `rect` in the parent's client coordinates. `id` identifies it to the
    /// parent (GetId). False when the parent does not exist, there is no display, or this
    /// window exists already.
    bool CreateChild(Window& parent, const Rect& rect, uint32_t style, int id = 0);
    /// A top-level window with a title bar; `rect` is the client area in screen coordinates.
    bool CreateTopLevel(const std::string& title, const Rect& rect, uint32_t style);
    /// A borderless window above all others that never takes the focus (tool tips); `rect`
    /// in screen coordinates.
    bool CreatePopup(const Rect& rect, uint32_t style);
    /// Destroys the native window (Msg::Destroy is sent first). Safe to call at any time,
    /// also from inside this window's own message handling.
    void Destroy();
    bool IsCreated() const;

    int GetId() const;
    Window* GetParent() const;
    bool IsTopLevel() const;

    void Show(bool show);
    bool IsVisible() const;
    void Enable(bool enable);
    bool IsEnabled() const;
    void SetTitle(const std::string& title);
    std::string GetTitle() const;
    /// The icon of a top-level window (title bar and task list); the image is copied.
    void SetIcon(const class Image& icon);

    /// The client area, (0, 0, width, height), without scroll bars and frame.
    Rect GetClientRect() const;
    /// The window's rectangle in screen coordinates.
    Rect GetWindowRect() const;
    /// Moves and sizes the window: children in parent client coordinates, top-level windows
    /// in screen coordinates (client area). Sends Msg::Size when the size changes.
    void Move(const Rect& rect);
    Point ClientToScreen(Point p) const;
    Point ScreenToClient(Point p) const;

    /// Marks the whole client area (or a part) for repainting at the next paint.
    void Invalidate();
    void Invalidate(const Rect& r);
    /// Paints now what is marked.
    void Update();
    /// The colour the client area is filled with when OnPaint does not paint.
    void SetBkColor(ColorRef c);

    /// Gives this window the keyboard focus (KillFocus to the old holder, then SetFocus).
    void SetFocus();
    bool HasFocus() const;
    /// The platform window with the focus, or null (also when a native control has it).
    static Window* GetFocus();

    /// Sends all mouse input of this window's top-level window here until released.
    void SetCapture();
    static void ReleaseCapture();
    static Window* GetCapture();

    /// Sets the mouse pointer shown over this window now; answer Msg::SetCursor with it to
    /// keep it, otherwise the class cursor returns at the next mouse move.
    void SetCursor(const Cursor& cursor);
    /// The pointer shown when Msg::SetCursor is not handled (default: the arrow).
    void SetClassCursor(const Cursor& cursor);

    /// Starts or restarts window timer `id`: Msg::Timer every periodMs until KillTimer.
    bool SetTimer(uint32_t id, uint32_t periodMs);
    bool KillTimer(uint32_t id);

    /// Shows or hides a scroll bar (only for windows created with kHScroll/kVScroll).
    void ShowScrollBar(ScrollBar bar, bool show);
    bool IsScrollBarVisible(ScrollBar bar) const;
    /// Sets range, page and position (position clamped to the range).
    void SetScrollInfo(ScrollBar bar, const ScrollInfo& info);
    ScrollInfo GetScrollInfo(ScrollBar bar) const;

    /// A blinking caret of the given size, shown at SetCaretPos while this window has the
    /// focus and ShowCaret(true) was called.
    void CreateCaret(Size size);
    void SetCaretPos(Point p);
    void ShowCaret(bool show);
    void DestroyCaret();

    /// The window's state, defined inside the platform library.
    struct Impl;

private:
    friend struct detail::WindowAccess;
    std::unique_ptr<Impl> m_impl;
};

} // namespace plat
