// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Image.h"
#include "platform/TestSupport.h"
#include "platform/detail/WindowImpl.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <algorithm>
#include <cstdio>
#include <cstring>

// Input injection for tests: events are placed in the toolkit's event state and dispatched
// through its own event handling, so that native controls react as to real input.

namespace plat {
namespace test {

using detail::ImplOf;
using detail::KeySymOf;
using detail::StateFromKeys;

namespace {

char s_text[8];

bool Place(Window& wnd, Point pt, Fl_Window*& top)
{
    const Window::Impl& im = ImplOf(wnd);
    top = im.TopWindow();
    if (!top)
        return false;
    const Point o = im.ClientOrigin();
    Fl::e_x = o.x + pt.x;
    Fl::e_y = o.y + pt.y;
    Fl::e_x_root = top->x() + Fl::e_x;
    Fl::e_y_root = top->y() + Fl::e_y;
    return true;
}

int ButtonNumber(Button b)
{
    return b == Button::Right    ? FL_RIGHT_MOUSE
           : b == Button::Middle ? FL_MIDDLE_MOUSE
                                 : FL_LEFT_MOUSE;
}

int ButtonState(Button b)
{
    return b == Button::Right ? FL_BUTTON3 : b == Button::Middle ? FL_BUTTON2 : FL_BUTTON1;
}

} // namespace

void MouseMove(Window& wnd, Point pt, uint32_t keys)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_state = StateFromKeys(keys);
    Fl::e_is_click = 0;
    Fl::handle(Fl::pushed() ? FL_DRAG : FL_MOVE, top);
}

void MouseDown(Window& wnd, Point pt, Button b, uint32_t keys, bool doubleClick)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_state = StateFromKeys(keys) | ButtonState(b);
    Fl::e_keysym = FL_Button + ButtonNumber(b);
    Fl::e_clicks = doubleClick ? 1 : 0;
    Fl::e_is_click = 1;
    Fl::handle(FL_PUSH, top);
}

void MouseUp(Window& wnd, Point pt, Button b, uint32_t keys)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_state = StateFromKeys(keys);
    Fl::e_keysym = FL_Button + ButtonNumber(b);
    Fl::handle(FL_RELEASE, top);
    Fl::e_clicks = 0;
}

void Click(Window& wnd, Point pt, Button b, uint32_t keys)
{
    MouseMove(wnd, pt, keys);
    MouseDown(wnd, pt, b, keys);
    MouseUp(wnd, pt, b, keys);
}

void Drag(Window& wnd, Point from, Point to, int steps)
{
    MouseMove(wnd, from);
    MouseDown(wnd, from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        const Point p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        Fl_Window* top = nullptr;
        if (!Place(wnd, p, top))
            return;
        Fl::e_state = FL_BUTTON1;
        Fl::e_is_click = 0;
        Fl::handle(FL_DRAG, top);
    }
    MouseUp(wnd, to);
}

void Wheel(Window& wnd, Point pt, int delta)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_dx = 0;
    Fl::e_dy = -delta / 120;
    Fl::e_state = 0;
    Fl::handle(FL_MOUSEWHEEL, top);
}

namespace {

void SendKey(Fl_Window* top, int keysym, int state, const std::string& text)
{
    std::snprintf(s_text, sizeof s_text, "%s", text.c_str());
    Fl::e_keysym = keysym;
    Fl::e_original_keysym = keysym;
    Fl::e_state = state;
    Fl::e_text = s_text;
    Fl::e_length = int(std::strlen(s_text));
    Fl::handle(FL_KEYBOARD, top);
    s_text[0] = 0;
    Fl::e_length = 0;
    Fl::handle(FL_KEYUP, top);
}

} // namespace

void PressKey(Window& wnd, uint32_t vk, uint32_t keys)
{
    Fl_Window* top = ImplOf(wnd).TopWindow();
    if (!top)
        return;
    const int sym = KeySymOf(vk);
    const int state = StateFromKeys(keys);
    std::string text;
    if (keys & Keys::kControl) {
        if (sym >= 'a' && sym <= 'z')
            text = std::string(1, char(sym - 'a' + 1));
    } else if (sym >= 'a' && sym <= 'z') {
        text = std::string(1, char((keys & Keys::kShift) ? sym - 'a' + 'A' : sym));
    } else if (sym >= 32 && sym < 127) {
        text = std::string(1, char(sym));
    } else if (sym == FL_Enter) {
        text = "\r";
    } else if (sym == FL_BackSpace) {
        text = "\b";
    } else if (sym == FL_Tab) {
        text = "\t";
    } else if (sym == FL_Escape) {
        text = "\x1b";
    }
    SendKey(top, sym, state, text);
}

bool PressKeyInActiveWindow(uint32_t vk, uint32_t keys)
{
    Fl_Window* top = Fl::grab() ? Fl::grab() : Fl::first_window();
    if (!top)
        return false;
    SendKey(top, KeySymOf(vk), StateFromKeys(keys), "");
    return true;
}

Rect ActiveWindowRect()
{
    const Fl_Window* top = Fl::grab() ? Fl::grab() : Fl::first_window();
    return top ? Rect::FromXYWH(top->x(), top->y(), top->w(), top->h()) : Rect{};
}

void TypeText(Window& wnd, const std::string& text)
{
    Fl_Window* top = ImplOf(wnd).TopWindow();
    if (!top)
        return;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const std::string ch = text.substr(i, n);
        i += n;
        if (c == '\n' || c == '\r') {
            SendKey(top, FL_Enter, 0, "\r");
            continue;
        }
        int sym = c < 0x80 ? int(c) : 0;
        int state = 0;
        if (c >= 'A' && c <= 'Z') {
            sym = c - 'A' + 'a';
            state = FL_SHIFT;
        }
        SendKey(top, sym, state, ch);
    }
}

void DropFiles(Window& wnd, Point pt, const std::vector<std::string>& paths)
{
    Fl_Window* top = nullptr;
    Fl_Group* n = ImplOf(wnd).native;
    if (!n || !Place(wnd, pt, top))
        return;
    std::string uris;
    for (const std::string& p : paths)
        uris += "file://" + p + "\r\n";
    n->handle(FL_DND_ENTER);
    n->handle(FL_DND_RELEASE);
    std::vector<char> buf(uris.begin(), uris.end());
    buf.push_back(0);
    Fl::e_text = buf.data();
    Fl::e_length = int(uris.size());
    n->handle(FL_PASTE);
    Fl::e_text = s_text;
    Fl::e_length = 0;
}

Image CaptureWindow(Window& wnd)
{
    const Window::Impl& im = ImplOf(wnd);
    Fl_Window* top = im.TopWindow();
    const Rect c = im.ClientRect();
    if (!top || !top->shown() || !wnd.IsVisible() || c.IsEmpty())
        return Image::FromRGBA(0, 0, {});
    Fl::flush();
    XSync(fl_display, False);
    const Point o = im.ClientOrigin();
    const int w = c.Width(), h = c.Height();
    top->make_current();
    // The toolkit's reader converts whatever visual the display has to RGB rows.
    uchar* rgb = fl_read_image(nullptr, o.x, o.y, w, h);
    if (!rgb)
        return Image::FromRGBA(0, 0, {});
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (size_t i = 0, n = size_t(w) * h; i < n; ++i) {
        rgba[i * 4] = rgb[i * 3];
        rgba[i * 4 + 1] = rgb[i * 3 + 1];
        rgba[i * 4 + 2] = rgb[i * 3 + 2];
        rgba[i * 4 + 3] = 255;
    }
    delete[] rgb;
    return Image::FromRGBA(w, h, rgba);
}

} // namespace test
} // namespace plat
