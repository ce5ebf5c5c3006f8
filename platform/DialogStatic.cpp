// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Image.h"
#include "platform/detail/DialogControl.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

// Static texts and pictures: boxes that show a label or an image and take no input.

namespace plat::detail {

namespace {

class StaticWidget : public Fl_Box, public ControlTag
{
public:
    StaticWidget(const Rect& area, uint32_t style)
        : Fl_Box(area.left, area.top, area.Width(), area.Height())
    {
        box((style & ControlStyle::kBorder) ? FL_DOWN_FRAME : FL_NO_BOX);
    }
    // Texts and pictures stay inside the control, as native statics do.
    void draw() override
    {
        fl_push_clip(x(), y(), w(), h());
        Fl_Box::draw();
        fl_pop_clip();
    }
};

class StaticControl : public LabelledControl
{
public:
    StaticControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : LabelledControl(host, ct)
    {
        auto* b = new StaticWidget(area, ct.style);
        // A label one line high stays one line: with the desktop's fonts a short label can be
        // a little wider than the place its template gives it, and wrapping would hide the
        // second word below the control.
        Fl_Align a = FL_ALIGN_INSIDE | FL_ALIGN_TOP;
        if (area.Height() >= 2 * host.FontPx())
            a |= FL_ALIGN_WRAP;
        if (ct.style & ControlStyle::kCenter)
            a |= FL_ALIGN_CENTER;
        else if (ct.style & ControlStyle::kRight)
            a |= FL_ALIGN_RIGHT;
        else
            a |= FL_ALIGN_LEFT;
        b->align(a);
        b->label(Label());
        Attach(b, b);
    }
    bool IsTabStop() const override { return false; }
};

class PictureControl : public DialogControl
{
public:
    PictureControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : DialogControl(host, ct)
    {
        auto* b = new StaticWidget(area, ct.style);
        b->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_IMAGE_BACKDROP);
        Attach(b, b);
    }
    ~PictureControl() override { Widget()->image(nullptr); }
    bool IsTabStop() const override { return false; }

    void SetPicture(const Image& image) override
    {
        if (!image.IsValid())
            return;
        const Size s = image.GetSize();
        // The toolkit image only points at the pixels, so they are kept here.
        m_pixels = image.ToRGBA();
        m_picture = std::make_unique<Fl_RGB_Image>(m_pixels.data(), s.cx, s.cy, 4);
        Widget()->image(m_picture.get());
        RedrawParent();
    }

private:
    std::vector<uint8_t> m_pixels;
    std::unique_ptr<Fl_RGB_Image> m_picture;
};

} // namespace

ControlMaker* const MakeStatic = MakeControl<StaticControl>;

ControlMaker* const MakePicture = MakeControl<PictureControl>;

} // namespace plat::detail
