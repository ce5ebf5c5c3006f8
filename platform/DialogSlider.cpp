// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/DialogControl.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Slider.H>
#include <algorithm>
#include <cmath>

// Horizontal sliders (trackbars) with integer positions. Moves reach the dialog as
// horizontal scroll messages carrying the slider's id, and the end of a drag as
// NM_RELEASEDCAPTURE, as a native trackbar reports them.

namespace plat::detail {

namespace {

class SliderWidget : public Fl_Slider, public ControlTag
{
public:
    explicit SliderWidget(const Rect& area)
        : Fl_Slider(area.left, area.top, area.Width(), area.Height())
    {
        type(FL_HOR_NICE_SLIDER);
        step(1);
        bounds(0, 100);
        value(0);
    }
    int handle(int e) override
    {
        if (!ctl)
            return Fl_Slider::handle(e);
        if (e == FL_PUSH && Fl::visible_focus() && Fl::focus() != this)
            take_focus(); // clicking a slider gives it the focus, as native sliders do
        const int before = int(value());
        const int r = Fl_Slider::handle(e);
        const int after = int(value());
        if (!ctl)
            return r;
        switch (e) {
        case FL_PUSH:
        case FL_DRAG:
            if (after != before)
                Scroll(ScrollCode::ThumbTrack, after);
            break;
        case FL_RELEASE:
            if (Scroll(ScrollCode::ThumbPosition, after) && Scroll(ScrollCode::EndScroll, after))
                ReleasedCapture();
            break;
        case FL_KEYBOARD:
            if (after != before)
                Scroll(after > before ? ScrollCode::LineDown : ScrollCode::LineUp, after);
            break;
        case FL_KEYUP:
            Scroll(ScrollCode::EndScroll, after);
            break;
        default:
            break;
        }
        return r;
    }

private:
    void ReleasedCapture()
    {
        Message m;
        m.kind = Msg::Notify;
        m.id = uint32_t(ctl->Id());
        m.code = Notify::kNmReleasedCapture;
        SendMessage(ctl->Host().Owner(), m);
    }
    // Returns false when the slider went away while the dialog handled the message.
    bool Scroll(ScrollCode code, int pos)
    {
        if (!ctl)
            return false;
        Message m;
        m.kind = Msg::HScroll;
        m.id = uint32_t(ctl->Id());
        m.code = uint32_t(code);
        m.pos = pos;
        Dialog& d = ctl->Host().Owner();
        std::shared_ptr<bool> alive = AliveToken(d);
        SendMessage(d, m);
        return *alive && ctl;
    }
};

class SliderControl : public DialogControl
{
public:
    SliderControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : DialogControl(host, ct)
    {
        m_slider = new SliderWidget(area);
        Attach(m_slider, m_slider);
    }

    void SetSliderRange(int min, int max) override
    {
        if (max < min)
            std::swap(min, max);
        m_min = min;
        m_max = max;
        m_slider->bounds(min, max);
        m_slider->value(std::max<double>(min, std::min<double>(max, m_slider->value())));
        m_slider->redraw();
    }
    void SetSliderPos(int pos) override
    {
        // Out-of-range positions are clamped, as slider controls do.
        m_slider->value(std::max(m_min, std::min(m_max, pos)));
        m_slider->redraw();
    }
    int GetSliderPos() const override { return int(std::lround(m_slider->value())); }

private:
    SliderWidget* m_slider;
    int m_min = 0;
    int m_max = 100;
};

} // namespace

ControlMaker* const MakeSlider = MakeControl<SliderControl>;

} // namespace plat::detail
