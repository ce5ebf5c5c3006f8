// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/DialogControl.h"

#include "platform/detail/NativeWindow.h"

#include <FL/Fl_Group.H>
#include <FL/Fl_Widget.H>

namespace plat::detail {

// '@' starts a symbol in toolkit labels, so it is always doubled. '&' underlines the next letter
// unless doubled; control labels keep that meaning, as in native dialogs, while menu items built
// directly show it as itself.
std::string ToolkitLabel(const std::string& text, Ampersand amp)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '@' || (c == '&' && amp == Ampersand::Literal))
            out += c;
    }
    return out;
}

bool SendNotification(ControlTag* tag, uint32_t code)
{
    if (!tag->ctl)
        return false;
    DialogControl* c = tag->ctl;
    std::shared_ptr<bool> alive = AliveToken(c->Host().Owner());
    c->Host().Command(c->Id(), code);
    return *alive && tag->ctl != nullptr;
}

DialogControl::DialogControl(DialogHost& host, const ControlTemplate& ct)
    : m_host(host)
    , m_id(ct.id)
    , m_style(ct.style)
{
}

DialogControl::~DialogControl()
{
    if (m_tag)
        m_tag->ctl = nullptr;
}

void DialogControl::Attach(Fl_Widget* widget, ControlTag* tag)
{
    m_widget = widget;
    m_tag = tag;
    tag->ctl = this;
}

void DialogControl::TakeFocus()
{
    m_widget->take_focus();
}

void DialogControl::RedrawParent()
{
    if (Fl_Group* p = m_widget->parent())
        p->redraw();
}

LabelledControl::LabelledControl(DialogHost& host, const ControlTemplate& ct)
    : DialogControl(host, ct)
    , m_text(ct.text)
    , m_label(ToolkitLabel(ct.text, Ampersand::Underlines))
{
}

void LabelledControl::SetText(const std::string& text)
{
    m_text = text;
    m_label = ToolkitLabel(text, Ampersand::Underlines);
    Widget()->label(m_label.c_str());
    RedrawParent();
}

ControlPtr CreateDialogControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
{
    // The one table of control kinds: a new kind is a new class and a line here.
    switch (ct.kind) {
    case ControlKind::Static:
        return MakeStatic(host, ct, area);
    case ControlKind::Picture:
        return MakePicture(host, ct, area);
    case ControlKind::Edit:
        return MakeEdit(host, ct, area);
    case ControlKind::Button:
    case ControlKind::DefButton:
        return MakePushButton(host, ct, area);
    case ControlKind::CheckBox:
        return MakeCheckBox(host, ct, area);
    case ControlKind::Slider:
        return MakeSlider(host, ct, area);
    case ControlKind::DropDownList:
        return MakeDropDownList(host, ct, area);
    case ControlKind::DropDownEdit:
        return MakeDropDownEdit(host, ct, area);
    case ControlKind::ListBox:
        return MakeListBox(host, ct, area);
    }
    return MakeStatic(host, ct, area);
}

} // namespace plat::detail
