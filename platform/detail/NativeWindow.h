// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Private to the platform library: what its window, dialog, menu and clipboard code share.
// Native objects are passed as opaque pointers so that no header names a toolkit type.

#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"

#include <functional>
#include <memory>
#include <string>

namespace plat::detail {

/// Extra behaviour of dialog windows, installed by Dialog.
class WindowHooks
{
public:
    virtual ~WindowHooks() = default;
    /// A key that no control used (Enter, Escape, ...); true when taken.
    virtual bool OnUnusedKey(uint32_t vk, uint32_t keys) = 0;
    /// The close box was clicked.
    virtual void OnCloseBox() = 0;
    /// The native window and all its toolkit children are about to be deleted.
    virtual void OnNativeGone() = 0;
};

enum class NativeKind {
    Child,
    TopLevel,
    Popup,
};

/// Creates the native window of `wnd`. For Child, `parent` must exist.
bool CreateNative(Window& wnd, Window* parent, NativeKind kind, const Rect& rect, uint32_t style,
                  int id, const std::string& title);
/// The toolkit group (an Fl_Group*) that holds the window's children; null when not created.
void* NativeGroup(const Window& wnd);
/// The toolkit top-level window (an Fl_Window*) that contains the window; null if none.
void* NativeTopWindow(const Window& wnd);
/// Makes the top-level window `wnd` belong to `owner` (kept above it by the desktop); the
/// owner must outlive it.
void SetOwner(Window& wnd, Window* owner);
/// Installs dialog behaviour (not owned; null removes it).
void SetHooks(Window& wnd, WindowHooks* hooks);
/// A flag that turns false when the window object is destroyed.
std::shared_ptr<bool> AliveToken(const Window& wnd);
/// Sends a message to the window's callback; false when not handled or the window died.
bool SendMessage(Window& wnd, const Message& msg);
/// Fills the pointer position and modifier flags of a message from the current event.
void FillPointer(const Window& wnd, Message& msg);
/// Maps a native widget (an Fl_Widget*) to the platform window it is, or null.
Window* WindowFromNative(void* widget);

/// Whether a test hook is installed.
bool HasModalHook();
/// Calls the test hook, if one is installed.
test::ModalAnswer CallModalHook(const test::ModalRequest& req);

/// Runs one modal loop iteration set: handles messages until `done` returns true.
void ModalLoop(const std::function<bool()>& done);

} // namespace plat::detail
