// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Application.h"

#include "platform/TestSupport.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>
#include <unistd.h>

namespace plat {
namespace {

// The display state: -1 not tried yet, 0 none available, 1 open.
int s_displayState = -1;
bool s_quit = false;
int s_quitCode = 0;
TickSource s_tickSource = nullptr;
TimerCB* s_timerCB = nullptr;
uint32_t s_nextTimerId = 1;

struct WindowlessTimer
{
    uint32_t periodMs = 0;
};

std::map<uint32_t, WindowlessTimer>& Timers()
{
    static std::map<uint32_t, WindowlessTimer> timers;
    return timers;
}

test::ModalHook& Hook()
{
    static test::ModalHook hook;
    return hook;
}

void OnWindowlessTimer(void* data)
{
    const auto id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(data));
    auto it = Timers().find(id);
    if (it == Timers().end())
        return;
    // Re-arm first, measured from the due time, so the period does not drift; the callback
    // may stop the timer, which then removes this new timeout again.
    Fl::repeat_timeout(it->second.periodMs / 1000.0, OnWindowlessTimer, data);
    if (s_timerCB)
        s_timerCB->OnTimer(id, GetTickCount());
}

} // namespace

bool InitDisplay()
{
    if (s_displayState < 0) {
        // The toolkit's own display opening ends the process when it fails; opening the
        // connection here first lets the command-line front end carry on without one.
        Display* d = XOpenDisplay(nullptr);
        // A busy server may refuse a connection for a moment; when a display is named at
        // all, it is worth a few more tries before falling back to working without one.
        const char* name = std::getenv("DISPLAY");
        for (int attempt = 0; !d && name && *name && attempt < 5; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            d = XOpenDisplay(nullptr);
        }
        if (!d) {
            s_displayState = 0;
        } else {
            fl_open_display(d);
            Fl::visual(FL_RGB);
            Fl::scheme("gtk+");
            s_displayState = 1;
        }
    }
    return s_displayState == 1;
}

void SetWindowClass(const std::string& name)
{
    // The toolkit keeps the pointer; the text lives as long as the process.
    static std::string s_class;
    s_class = name;
    Fl_Window::default_xclass(s_class.c_str());
}

bool HasDisplay()
{
    return s_displayState == 1;
}

Rect GetScreenWorkArea()
{
    if (!HasDisplay())
        return {};
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h, 0);
    return Rect::FromXYWH(x, y, w, h);
}

int RunLoop()
{
    s_quit = false;
    s_quitCode = 0;
    while (!s_quit) {
        if (!Fl::first_window() && Timers().empty())
            return 0;
        Fl::wait(1e20);
    }
    s_quit = false;
    return s_quitCode;
}

void Quit(int code)
{
    s_quit = true;
    s_quitCode = code;
    // The loop may be about to wait for the next event (a quit asked while painting is asked
    // inside the toolkit's wait, before it blocks): a due timeout lets it return at once.
    Fl::add_timeout(
        0.0, [](void*) {}, nullptr);
}

void ProcessPending()
{
    if (HasDisplay())
        XSync(fl_display, False);
    Fl::check();
}

uint32_t GetTickCount()
{
    if (s_tickSource)
        return s_tickSource();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetTickSource(TickSource source)
{
    s_tickSource = source;
}

uint64_t GetPerformanceCounter()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

uint64_t GetPerformanceFrequency()
{
    return 1000000000ull;
}

void SetTimerCallback(TimerCB* cb)
{
    s_timerCB = cb;
}

uint32_t StartTimer(uint32_t periodMs)
{
    if (periodMs == 0)
        periodMs = 1;
    uint32_t id = s_nextTimerId;
    while (id == 0 || Timers().count(id))
        ++id;
    s_nextTimerId = id + 1;
    Timers()[id] = WindowlessTimer{periodMs};
    Fl::add_timeout(periodMs / 1000.0, OnWindowlessTimer,
                    reinterpret_cast<void*>(static_cast<uintptr_t>(id)));
    return id;
}

bool StopTimer(uint32_t id)
{
    auto it = Timers().find(id);
    if (it == Timers().end())
        return false;
    Timers().erase(it);
    Fl::remove_timeout(OnWindowlessTimer, reinterpret_cast<void*>(static_cast<uintptr_t>(id)));
    return true;
}

std::string GetExecutableDir()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string path(buf, size_t(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

namespace detail {

bool HasModalHook()
{
    return static_cast<bool>(Hook());
}

test::ModalAnswer CallModalHook(const test::ModalRequest& req)
{
    if (!Hook())
        return {};
    // A copy keeps the hook alive even if it replaces itself while running.
    test::ModalHook hook = Hook();
    return hook(req);
}

void ModalLoop(const std::function<bool()>& done)
{
    while (!done()) {
        if (!HasDisplay())
            return;
        Fl::wait(1e20);
    }
}

} // namespace detail

namespace test {

void SetModalHook(ModalHook hook)
{
    Hook() = std::move(hook);
}

bool ProcessUntilIdle(int maxMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    int quiet = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (HasDisplay())
            XSync(fl_display, False);
        Fl::check();
        const bool pending = HasDisplay() && XPending(fl_display) > 0;
        if (!pending && !Fl::damage()) {
            // Two quiet rounds in a row: handling the first may have queued more.
            if (++quiet >= 2)
                return true;
        } else {
            quiet = 0;
        }
    }
    return false;
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return done();
        const double secs = std::chrono::duration<double>(left).count();
        Fl::wait(secs < 0.05 ? secs : 0.05);
    }
    return true;
}

} // namespace test
} // namespace plat
