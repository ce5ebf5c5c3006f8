// SPDX-License-Identifier: GPL-2.0-or-later
// Pictures on the clipboard. The toolkit offers its copied images only as BMP; programs that
// paste pictures ask for PNG, so this serves the clipboard itself: an unmapped window of our
// own owns the CLIPBOARD selection, and a system event handler answers the requests for it
// before the toolkit sees them.
#include "platform/ClipboardImage.h"

#include "platform/Application.h"
#include "platform/Image.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <cairo.h>

namespace plat {
namespace {

struct ImageSelection
{
    ::Window owner = 0;
    bool owned = false;
    std::vector<uint8_t> png;
};

ImageSelection& Selection()
{
    static ImageSelection* s = new ImageSelection; // lives until the process ends
    return *s;
}

Atom AtomOf(const char* name)
{
    return XInternAtom(fl_display, name, False);
}

// Appends what cairo writes to the vector behind closure. No exception may cross cairo's C
// code, so running out of memory becomes cairo's write error.
cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) noexcept
{
    try {
        auto* out = static_cast<std::vector<uint8_t>*>(closure);
        out->insert(out->end(), data, data + length);
    } catch (...) {
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

// Answers one request for our selection: the list of targets, or the PNG bytes. A request we
// cannot serve (another target, or more bytes than one request may carry) is refused with
// the property None, as the protocol asks.
void Answer(const XSelectionRequestEvent& req)
{
    ImageSelection& sel = Selection();
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = req.display;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    reply.property = None;
    // Obsolete clients leave the property empty and mean the target's own name.
    const Atom property = req.property != None ? req.property : req.target;
    const Atom png = AtomOf("image/png");
    const Atom targets = AtomOf("TARGETS");
    const long maxBytes = XExtendedMaxRequestSize(fl_display) > 0
                              ? XExtendedMaxRequestSize(fl_display) * 4 - 4096
                              : XMaxRequestSize(fl_display) * 4 - 4096;
    if (sel.owned && req.target == targets) {
        const Atom list[] = {targets, png};
        XChangeProperty(fl_display, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list), 2);
        reply.property = property;
    } else if (sel.owned && req.target == png && long(sel.png.size()) < maxBytes) {
        XChangeProperty(fl_display, req.requestor, property, png, 8, PropModeReplace,
                        sel.png.data(), int(sel.png.size()));
        reply.property = property;
    }
    XSendEvent(fl_display, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(fl_display);
}

int SystemHandler(void* event, void*)
{
    const XEvent& ev = *static_cast<const XEvent*>(event);
    ImageSelection& sel = Selection();
    if (sel.owner == 0) {
        return 0;
    }
    if (ev.type == SelectionRequest && ev.xselectionrequest.owner == sel.owner) {
        Answer(ev.xselectionrequest);
        return 1;
    }
    if (ev.type == SelectionClear && ev.xselectionclear.window == sel.owner) {
        // Another program (or our own text copy) took the clipboard.
        sel.owned = false;
        sel.png.clear();
        sel.png.shrink_to_fit();
        return 1;
    }
    return 0;
}

} // namespace

bool EncodePNG(const Image& image, std::vector<uint8_t>& png)
{
    png.clear();
    if (!image.IsValid()) {
        return false;
    }
    const Size s = image.GetSize();
    const std::vector<uint8_t> rgba = image.ToRGBA();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, s.cx, s.cy);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < s.cy; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < s.cx; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * size_t(s.cx) + size_t(x)) * 4];
            const uint32_t a = p[3];
            // cairo keeps premultiplied alpha.
            const uint32_t r = p[0] * a / 255;
            const uint32_t g = p[1] * a / 255;
            const uint32_t b = p[2] * a / 255;
            row[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool ok =
        cairo_surface_write_to_png_stream(surface, AppendBytes, &png) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) {
        png.clear();
    }
    return ok;
}

bool CopyImageToClipboard(const Image& image)
{
    if (!InitDisplay()) {
        return false;
    }
    std::vector<uint8_t> png;
    if (!EncodePNG(image, png)) {
        return false;
    }
    ImageSelection& sel = Selection();
    if (sel.owner == 0) {
        sel.owner = XCreateSimpleWindow(fl_display, RootWindow(fl_display, fl_screen), -10, -10, 1,
                                        1, 0, 0, 0);
        Fl::add_system_handler(SystemHandler, nullptr);
    }
    const Atom clipboard = AtomOf("CLIPBOARD");
    XSetSelectionOwner(fl_display, clipboard, sel.owner, CurrentTime);
    if (XGetSelectionOwner(fl_display, clipboard) != sel.owner) {
        return false;
    }
    sel.png = std::move(png);
    sel.owned = true;
    XFlush(fl_display);
    return true;
}

bool OwnsClipboardImage()
{
    const ImageSelection& sel = Selection();
    return HasDisplay() && sel.owned && sel.owner != 0 &&
           XGetSelectionOwner(fl_display, AtomOf("CLIPBOARD")) == sel.owner;
}

bool GetOwnClipboardPNG(std::vector<uint8_t>& png)
{
    png.clear();
    if (!OwnsClipboardImage()) {
        return false;
    }
    png = Selection().png;
    return true;
}

} // namespace plat
