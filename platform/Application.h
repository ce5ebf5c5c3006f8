// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <string>

namespace plat {

/// Opens the X display on first call and remembers the answer. Returns false, and never ends
/// the process, when no display can be opened (no DISPLAY, no server): windows, dialogs,
/// menus and the clipboard then report failure, while drawing into images, timers and the
/// tick count keep working.
bool InitDisplay();
/// Whether InitDisplay succeeded (false before it was called).
bool HasDisplay();
/// The class (WM_CLASS) every window created from now on carries, by which a desktop groups
/// them with the program's launcher ("tessera"). Without a call the toolkit's default stays.
void SetWindowClass(const std::string& name);

/// The largest width or height of a window: the X protocol counts pixels in 16 bits, and a
/// window beyond this ends the connection. Every window of this layer is kept within it.
constexpr int kMaxWindowExtent = 32767;

/// The work area of the screen (the whole screen where the desktop reserves no part of it),
/// in screen pixels; empty without a display.
Rect GetScreenWorkArea();

/// Runs the event loop until Quit is called; returns the code given to Quit. Returns at once
/// (with 0) when there is nothing that could ever end it: no window shown and no timer.
int RunLoop();
/// Asks RunLoop to return with `code` after the current message.
void Quit(int code = 0);
/// Handles the messages that are pending now (input, paint, due timers) without waiting.
void ProcessPending();

/// The millisecond tick count: 32 bits, wrapping after about 49.7 days, from a monotonic
/// clock unless a test replaced the source.
uint32_t GetTickCount();
using TickSource = uint32_t (*)();
/// Replaces the source of GetTickCount (null restores the clock). For tests of the 32-bit
/// wrap-around; timer periods still run on the real clock.
void SetTickSource(TickSource source);
/// Milliseconds from `earlier` to `now`, across one wrap-around of the 32-bit count.
constexpr uint32_t TicksBetween(uint32_t earlier, uint32_t now)
{
    return now - earlier;
}

/// A high-resolution counter and its frequency in counts per second.
uint64_t GetPerformanceCounter();
uint64_t GetPerformanceFrequency();

/// The callback of windowless timers: one common procedure for all of them.
class TimerCB
{
public:
    virtual ~TimerCB() = default;
    /// Timer `id` fired; `tick` is GetTickCount() at the time.
    virtual void OnTimer(uint32_t id, uint32_t tick) = 0;
};

/// Sets the common callback of windowless timers (null: firings are dropped). Not owned.
void SetTimerCallback(TimerCB* cb);
/// Starts a windowless timer that fires every `periodMs` (at least 1) until stopped; returns
/// its id, never 0. Works without a display.
uint32_t StartTimer(uint32_t periodMs);
/// Stops a windowless timer; false when no such timer runs.
bool StopTimer(uint32_t id);

/// The folder holding the running executable, without a trailing slash.
std::string GetExecutableDir();

} // namespace plat
