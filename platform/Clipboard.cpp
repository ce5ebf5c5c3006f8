// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Clipboard.h"

#include "platform/Application.h"
#include "platform/ClipboardImage.h"
#include "platform/Image.h"
#include "platform/detail/Selection.h"
#include "platform/detail/Utf8.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <chrono>
#include <poll.h>
#include <vector>

// The toolkit's owner window of the selections; exported by the library but declared only
// for its own sources.
extern ::Window fl_message_window;

namespace plat {
namespace {

constexpr int kWaitMs = 1000;

// Receives the text when this process owns the clipboard: the toolkit then delivers it
// synchronously, without a round trip through the server.
class PasteReceiver : public Fl_Widget
{
public:
    PasteReceiver()
        : Fl_Widget(0, 0, 1, 1)
    {
    }
    void draw() override {}
    int handle(int e) override
    {
        if (e != FL_PASTE)
            return 0;
        got = true;
        text.assign(Fl::event_text() ? Fl::event_text() : "", size_t(Fl::event_length()));
        return 1;
    }
    bool got = false;
    std::string text;
};

// An unmapped window of our own that receives the converted selection, so that reading the
// clipboard needs no shown window.
::Window Requestor()
{
    static ::Window s_win = 0;
    if (!s_win) {
        s_win = XCreateSimpleWindow(fl_display, RootWindow(fl_display, fl_screen), -10, -10, 1, 1,
                                    0, 0, 0);
        XSelectInput(fl_display, s_win, PropertyChangeMask);
    }
    return s_win;
}

// Waits for an event of `type` for our requestor window (and, for PropertyNotify, the given
// property being newly set). Only events of that window are taken from the queue.
bool WaitFor(int type, Atom property, XEvent& ev, std::chrono::steady_clock::time_point deadline)
{
    const ::Window win = Requestor();
    for (;;) {
        while (XCheckTypedWindowEvent(fl_display, win, type, &ev)) {
            if (type != PropertyNotify ||
                (ev.xproperty.atom == property && ev.xproperty.state == PropertyNewValue))
                return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        pollfd pfd{ConnectionNumber(fl_display), POLLIN, 0};
        const int ms =
            int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count());
        poll(&pfd, 1, ms < 20 ? ms : 20);
    }
}

// Asks the owner of `selection` for `target` and reads the answer, following the
// incremental protocol for large texts.
bool Convert(Atom selection, Atom target, std::string& out)
{
    const Atom prop = XInternAtom(fl_display, "PLAT_CLIPBOARD", False);
    const Atom incr = XInternAtom(fl_display, "INCR", False);
    const ::Window win = Requestor();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    XDeleteProperty(fl_display, win, prop);
    XConvertSelection(fl_display, selection, target, prop, win, CurrentTime);
    XFlush(fl_display);
    XEvent ev;
    if (!WaitFor(SelectionNotify, None, ev, deadline) || ev.xselection.property == None)
        return false;
    // The owner set the property before it answered: the notice of that is queued already
    // and must not be taken for the first piece of an incremental transfer.
    while (XCheckTypedWindowEvent(fl_display, win, PropertyNotify, &ev)) {
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(fl_display, win, prop, 0, 0x1FFFFFFF, True, AnyPropertyType, &type,
                           &format, &count, &remaining, &data) != Success)
        return false;
    if (type == incr) {
        if (data)
            XFree(data);
        out.clear();
        for (;;) {
            if (!WaitFor(PropertyNotify, prop, ev, deadline + std::chrono::seconds(4)))
                return false;
            data = nullptr;
            if (XGetWindowProperty(fl_display, win, prop, 0, 0x1FFFFFFF, True, AnyPropertyType,
                                   &type, &format, &count, &remaining, &data) != Success)
                return false;
            const size_t bytes = count * size_t(format / 8);
            if (data) {
                out.append(reinterpret_cast<char*>(data), bytes);
                XFree(data);
            }
            if (bytes == 0)
                return true;
        }
    }
    const size_t bytes = count * size_t(format / 8);
    out.assign(data ? reinterpret_cast<char*>(data) : "", data ? bytes : 0);
    if (data)
        XFree(data);
    return true;
}

} // namespace

namespace detail {

bool GetSelectionText(Selection which, std::string& text)
{
    text.clear();
    if (!InitDisplay())
        return false;
    const bool clipboard = which == Selection::Clipboard;
    const Atom selection = clipboard ? XInternAtom(fl_display, "CLIPBOARD", False) : XA_PRIMARY;
    const ::Window owner = XGetSelectionOwner(fl_display, selection);
    // A picture of ours holds no text; asking our own window would wait for an answer that
    // only the event loop could give.
    if (owner == None || (clipboard && OwnsClipboardImage()))
        return false;
    if (owner == fl_message_window) {
        // The toolkit hands its own selection over at once, without the server.
        PasteReceiver receiver;
        Fl::paste(receiver, clipboard ? 1 : 0, Fl::clipboard_plain_text);
        if (receiver.got)
            text = receiver.text;
        return receiver.got;
    }
    if (Convert(selection, XInternAtom(fl_display, "UTF8_STRING", False), text))
        return true;
    std::string latin;
    if (Convert(selection, XA_STRING, latin)) {
        text = Latin1ToUtf8(latin);
        return true;
    }
    return false;
}

} // namespace detail

bool SetClipboardText(const std::string& text)
{
    if (!InitDisplay())
        return false;
    Fl::copy(text.data(), int(text.size()), 1);
    return true;
}

bool SetPrimarySelection(const std::string& text)
{
    if (!HasDisplay())
        return false;
    Fl::copy(text.data(), int(text.size()), 0);
    return true;
}

bool GetClipboardText(std::string& text)
{
    return detail::GetSelectionText(detail::Selection::Clipboard, text);
}

bool HasClipboardText()
{
    std::string text;
    return GetClipboardText(text);
}

bool SetClipboardImage(const Image& image)
{
    if (!InitDisplay() || !image.IsValid())
        return false;
    const Size s = image.GetSize();
    const std::vector<uint8_t> rgba = image.ToRGBA();
    // The clipboard takes RGB rows; transparent parts are shown over white.
    std::vector<unsigned char> rgb(size_t(s.cx) * s.cy * 3);
    for (size_t i = 0, n = size_t(s.cx) * s.cy; i < n; ++i) {
        const unsigned a = rgba[i * 4 + 3];
        for (int k = 0; k < 3; ++k)
            rgb[i * 3 + k] =
                static_cast<unsigned char>((rgba[i * 4 + k] * a + 255 * (255 - a)) / 255);
    }
    Fl::copy_image(rgb.data(), s.cx, s.cy, 1);
    return true;
}

} // namespace plat
