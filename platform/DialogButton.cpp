// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/DialogControl.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Return_Button.H>

// Push buttons (plain and default) and check boxes: a click sends BN_CLICKED; with
// ControlStyle::kNotify they also report gaining and losing the focus.

namespace plat::detail {

namespace {

template <class Base> class ButtonWidget : public Base, public ControlTag
{
public:
    explicit ButtonWidget(const Rect& area)
        : Base(area.left, area.top, area.Width(), area.Height())
    {
        Base::callback(Clicked);
    }
    int handle(int e) override
    {
        if (ctl && (e == FL_SHORTCUT) && (Fl::event_key() == FL_Enter))
            return 0; // Enter is dispatched by the dialog
        const int r = Base::handle(e);
        if (ctl && (ctl->Style() & ControlStyle::kNotify) && (e == FL_FOCUS || e == FL_UNFOCUS))
            SendNotification(this, e == FL_FOCUS ? Notify::kBnSetFocus : Notify::kBnKillFocus);
        return r;
    }
    static void Clicked(Fl_Widget* w, void*)
    {
        SendNotification(static_cast<ButtonWidget*>(w), Notify::kBnClicked);
    }
};

class PushButtonControl : public LabelledControl
{
public:
    PushButtonControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : LabelledControl(host, ct)
        , m_default(ct.kind == ControlKind::DefButton)
    {
        // The default button shows the return mark, as Enter runs it.
        if (m_default)
            Build(new ButtonWidget<Fl_Return_Button>(area));
        else
            Build(new ButtonWidget<Fl_Button>(area));
    }
    bool IsPushButton() const override { return true; }
    bool IsDefaultButton() const override { return m_default; }

private:
    template <class W> void Build(W* b)
    {
        b->label(Label());
        Attach(b, b);
    }

    bool m_default;
};

class CheckBoxControl : public LabelledControl
{
public:
    CheckBoxControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : LabelledControl(host, ct)
    {
        m_box = new ButtonWidget<Fl_Check_Button>(area);
        m_box->label(Label());
        Attach(m_box, m_box);
    }
    void SetCheck(int state) override { m_box->value(state ? 1 : 0); }
    int GetCheck() const override { return m_box->value() ? 1 : 0; }

private:
    ButtonWidget<Fl_Check_Button>* m_box;
};

} // namespace

ControlMaker* const MakePushButton = MakeControl<PushButtonControl>;

ControlMaker* const MakeCheckBox = MakeControl<CheckBoxControl>;

} // namespace plat::detail
