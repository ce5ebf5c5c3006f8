// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/DialogControl.h"
#include "platform/detail/Selection.h"

#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <algorithm>
#include <string>

// Single-line edit fields. Enter belongs to the dialog (its default command), not to the edit.

namespace plat::detail {

void LimitOneLineField(Fl_Input_& input)
{
    input.maximum_size(kEditMaxBytes);
}

bool HandlePasteGesture(Fl_Input_& input, int e)
{
    bool primary = false;
    if (e == FL_KEYBOARD) {
        const int key = Fl::event_key();
        const bool ctrlV = key == 'v' && Fl::event_state(FL_CTRL) && !Fl::event_state(FL_ALT);
        const bool shiftInsert =
            key == FL_Insert && Fl::event_state(FL_SHIFT) && !Fl::event_state(FL_CTRL);
        if (!ctrlV && !shiftInsert)
            return false;
    } else if (e == FL_RELEASE && Fl::event_button() == FL_MIDDLE_MOUSE) {
        primary = true;
    } else {
        return false;
    }
    if (input.readonly())
        return true;
    std::string text;
    if (!GetSelectionText(primary ? Selection::Primary : Selection::Clipboard, text) ||
        text.empty())
        return true;
    // The room the field has once the selected text is gone; a character is kept whole.
    const int selected = std::abs(input.position() - input.mark());
    const size_t room = size_t(std::max(0, kEditMaxBytes - (input.size() - selected)));
    if (text.size() > room) {
        size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut);
        if (text.empty())
            return true;
    }
    // The field's own paste handling inserts it (and strips trailing blanks, as it does).
    char* const oldText = Fl::e_text;
    const int oldLength = Fl::e_length;
    Fl::e_text = &text[0];
    Fl::e_length = int(text.size());
    input.handle(FL_PASTE);
    Fl::e_text = oldText;
    Fl::e_length = oldLength;
    return true;
}

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
        if (HandlePasteGesture(*this, e))
            return 1;
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
        LimitOneLineField(*m_edit);
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
