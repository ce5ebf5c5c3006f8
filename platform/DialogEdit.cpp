#include "platform/detail/DialogControl.h"

#include <FL/Fl.H>
#include <FL/Fl_Input.H>

// Single-line edit fields. Enter belongs to the dialog (its default command), not to the edit.

namespace plat::detail {

namespace {

class EditWidget : public Fl_Input, public ControlTag
{
public:
    explicit EditWidget(const Rect& area)
        : Fl_Input(area.left, area.top, area.Width(), area.Height())
    {
        when(FL_WHEN_CHANGED);
        callback(Changed);
    }
    int handle(int e) override
    {
        if (ctl && e == FL_PUSH && Fl::focus() != this)
            take_focus();
        const int r = Fl_Input::handle(e);
        if (ctl && (e == FL_FOCUS || e == FL_UNFOCUS))
            SendNotification(this, e == FL_FOCUS ? Notify::kEnSetFocus : Notify::kEnKillFocus);
        return r;
    }
    // Every change of the text, typed or set, notifies as native edits do.
    static void Changed(Fl_Widget* w, void*)
    {
        auto* self = static_cast<EditWidget*>(w);
        if (SendNotification(self, Notify::kEnUpdate))
            SendNotification(self, Notify::kEnChange);
    }
};

class EditControl : public DialogControl
{
public:
    EditControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : DialogControl(host, ct)
    {
        m_edit = new EditWidget(area);
        m_edit->value(ct.text.c_str());
        if (ct.style & ControlStyle::kReadOnly) {
            m_edit->readonly(1);
            m_edit->color(FL_BACKGROUND_COLOR);
        }
        m_edit->textsize(host.FontPx());
        Attach(m_edit, m_edit);
    }

    void SetText(const std::string& text) override
    {
        m_edit->value(text.c_str());
        EditWidget::Changed(m_edit, nullptr);
    }
    std::string GetText() const override { return m_edit->value(); }

private:
    EditWidget* m_edit;
};

} // namespace

ControlMaker* const MakeEdit = MakeControl<EditControl>;

} // namespace plat::detail
