// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/TestSupport.h"
#include "platform/detail/DialogControl.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Menu_Window.H>
#include <algorithm>
#include <atomic>

// Drop-down lists, plain and with an edit field. Both keep their items here and show them in a
// list that opens below (or above) the control; before the list opens the dialog is told
// (CBN_DROPDOWN), so that it can refill the items, and the choice is reported as a native
// combo box reports it.

namespace plat::detail {

namespace {

std::atomic<uint64_t> s_labelBuilds{0};

// The toolkit menu over `labels`, which must outlive it.
std::vector<Fl_Menu_Item> MenuOf(const std::vector<std::string>& labels, int fontPx)
{
    std::vector<Fl_Menu_Item> menu(labels.size() + 1, Fl_Menu_Item{});
    for (size_t i = 0; i < labels.size(); ++i) {
        menu[i].text = labels[i].c_str();
        menu[i].labelsize_ = uchar(fontPx);
    }
    return menu;
}

// The open list: a scrolling list in a borderless window that holds the pointer and the keys
// until an item is chosen (a click, Enter) or the list is closed (Escape, a click elsewhere).
// It is never higher than the room the screen has below or above the control, so that a list
// of any length opens on the screen and scrolls.
class ListPopup : public Fl_Menu_Window
{
public:
    ListPopup(int x, int y, int w, int h, int fontPx)
        : Fl_Menu_Window(x, y, w, h)
    {
        m_list = new Browser(0, 0, w, h);
        m_list->textsize(fontPx);
        // Items are shown as written: no formatting codes, no columns.
        m_list->format_char(0);
        m_list->column_char(0);
        end();
        set_modal();
        clear_border();
    }

    Fl_Hold_Browser& List() { return *m_list; }
    // The height all lines take.
    int ContentHeight() const { return m_list->ContentHeight(); }

    bool done = false;
    int chosen = -1;

    int handle(int e) override
    {
        switch (e) {
        case FL_PUSH:
            if (!Fl::event_inside(0, 0, w(), h())) {
                done = true;
                return 1;
            }
            break;
        case FL_RELEASE: {
            const int r = Fl_Menu_Window::handle(e);
            // A release on an item chooses it; one on the scroll bar only scrolls.
            const bool onBar = m_list->scrollbar.visible() && Fl::event_inside(&m_list->scrollbar);
            if (!onBar && Fl::event_inside(m_list) && m_list->value() > 0)
                Choose(m_list->value() - 1);
            return r;
        }
        case FL_KEYBOARD:
        case FL_SHORTCUT:
            switch (Fl::event_key()) {
            case FL_Escape:
                done = true;
                return 1;
            case FL_Enter:
            case FL_KP_Enter:
                if (m_list->value() > 0)
                    Choose(m_list->value() - 1);
                else
                    done = true;
                return 1;
            default:
                // The keys reach the window that holds them; the list moves by them.
                return m_list->handle(FL_KEYBOARD);
            }
        default:
            break;
        }
        return Fl_Menu_Window::handle(e);
    }

private:
    class Browser : public Fl_Hold_Browser
    {
    public:
        using Fl_Hold_Browser::Fl_Hold_Browser;
        int ContentHeight() const { return full_height() + Fl::box_dh(box()); }
    };

    void Choose(int index)
    {
        chosen = index;
        done = true;
    }

    Browser* m_list;
};

// Shows `items` as the open list of `anchor` with `current` selected and waits for the
// user's choice: its index, or -1 when the list was closed without one.
int TrackList(Fl_Widget* anchor, const std::vector<std::string>& items, int current, int fontPx)
{
    int ax = 0, ay = 0;
    Fl_Window* top = anchor->top_window_offset(ax, ay);
    if (!top)
        return -1;
    ax += top->x();
    ay += top->y();
    int sx = 0, sy = 0, sw = 0, sh = 0;
    Fl::screen_work_area(sx, sy, sw, sh, ax, ay);
    const int width = std::max(anchor->w(), 40);
    // A window of its own, not a child of whatever group is being built now.
    Fl_Group* const saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    ListPopup popup(0, 0, width, 100, fontPx);
    Fl_Group::current(saved);
    Fl_Hold_Browser& list = popup.List();
    for (const std::string& item : items)
        list.add(item.c_str());
    // Below the control where the list fits or has the more room, else above it.
    const int below = sy + sh - (ay + anchor->h());
    const int above = ay - sy;
    const int want = popup.ContentHeight();
    const bool down = want <= below || below >= above;
    const int height = std::max(1, std::min(want, down ? below : above));
    const int x = std::max(sx, std::min(ax, sx + sw - width));
    popup.resize(x, down ? ay + anchor->h() : ay - height, width, height);
    list.resize(0, 0, width, height);
    if (current >= 0 && current < int(items.size())) {
        list.value(current + 1);
        list.middleline(current + 1);
    }
    popup.show();
    Fl::grab(&popup);
    list.take_focus();
    Fl_Widget_Tracker track(anchor);
    // A choice made from a callback (a timer, a test's keys) produces no event to wake a
    // wait for ever: the loop looks again every tenth of a second.
    while (!popup.done && popup.shown() && track.exists())
        Fl::wait(0.1);
    Fl::grab(nullptr);
    popup.hide();
    return popup.chosen;
}

class DropDownControl : public DialogControl
{
public:
    using DialogControl::DialogControl;

    void ResetContent() override
    {
        m_items.clear();
        m_curSel = -1;
        ItemsChanged();
        Sync();
    }
    int AddString(const std::string& text) override
    {
        m_items.push_back(text);
        ItemsChanged();
        return int(m_items.size()) - 1;
    }
    int GetCount() const override { return int(m_items.size()); }
    std::string GetItemText(int index) const override
    {
        return index >= 0 && index < int(m_items.size()) ? m_items[size_t(index)] : std::string();
    }
    void SetCurSel(int index) override
    {
        Sync();
        m_curSel = index >= 0 && index < int(m_items.size()) ? index : -1;
        ShowSelection();
        Widget()->redraw();
    }
    int GetCurSel() const override { return m_curSel; }
    // No item is selected any more; the widget keeps showing what it shows.
    void ForgetSelection() { m_curSel = -1; }
    // Brings the labels and the toolkit menu up to date with the items. Filling a list adds
    // items only; the labels are built once, when the list is next drawn, opened or stepped,
    // so that filling it costs time in proportion to its length.
    void Sync()
    {
        if (!m_stale)
            return;
        m_stale = false;
        m_labels.clear();
        m_labels.reserve(m_items.size());
        for (const std::string& s : m_items)
            m_labels.push_back(ToolkitLabel(s, Ampersand::Literal));
        m_menu = MenuOf(m_labels, Host().FontPx());
        ++s_labelBuilds;
        MenuChanged();
    }

    // Runs the drop-down part: the notification before the list opens, the list (or the test
    // hook), then the notifications of the choice. Returns false when the control went away
    // meanwhile.
    static bool Run(ControlTag* tag, Fl_Widget* anchor);
    // Moves the selection of the closed list by one item up or down.
    static void Step(ControlTag* tag, int delta);

protected:
    const std::vector<std::string>& Items() const { return m_items; }
    int CurSel() const { return m_curSel; }
    const Fl_Menu_Item* Menu() const { return m_menu.data(); }
    // Shows the current selection in the widget.
    virtual void ShowSelection() = 0;
    // The menu was rebuilt (the items changed).
    virtual void MenuChanged() {}

private:
    void ItemsChanged()
    {
        m_stale = true;
        ++m_version;
        Widget()->redraw();
    }

    std::vector<std::string> m_items;
    std::vector<std::string> m_labels;
    std::vector<Fl_Menu_Item> m_menu;
    int m_curSel = -1;
    unsigned m_version = 0; // counts changes of the items
    bool m_stale = false;   // the labels and the menu lag behind the items
};

bool DropDownControl::Run(ControlTag* tag, Fl_Widget* anchor)
{
    if (!SendNotification(tag, Notify::kCbnDropDown))
        return false;
    auto* c = static_cast<DropDownControl*>(tag->ctl);
    test::ModalRequest req;
    req.kind = test::ModalKind::DropDownList;
    req.window = &c->Host().Owner();
    req.items = c->m_items;
    req.controlId = c->Id();
    const test::ModalAnswer ans = CallModalHook(req);
    if (!tag->ctl)
        return false;
    c = static_cast<DropDownControl*>(tag->ctl);
    int chosen = -1;
    if (ans.answered) {
        chosen = ans.code >= 0 && ans.code < int(c->m_items.size()) ? ans.code : -1;
    } else if (!c->m_items.empty()) {
        // The list shows copies of the items: the dialog may refill the list, or remove the
        // control, while the list is open (timers run meanwhile). A choice from a list that
        // changed counts as none.
        const std::vector<std::string> items = c->m_items;
        const unsigned version = c->m_version;
        Fl_Widget_Tracker track(anchor);
        const int m = TrackList(anchor, items, c->m_curSel, c->Host().FontPx());
        if (!track.exists() || !tag->ctl)
            return false;
        c = static_cast<DropDownControl*>(tag->ctl);
        if (m >= 0 && c->m_version == version)
            chosen = m;
    }
    if (chosen < 0) {
        return SendNotification(tag, Notify::kCbnSelEndCancel) &&
               SendNotification(tag, Notify::kCbnCloseUp);
    }
    const bool changed = chosen != c->m_curSel;
    c->Sync();
    c->m_curSel = chosen;
    c->ShowSelection();
    c->Widget()->redraw();
    if (!SendNotification(tag, Notify::kCbnSelEndOk) || !SendNotification(tag, Notify::kCbnCloseUp))
        return false;
    if (changed)
        return SendNotification(tag, Notify::kCbnSelChange);
    return true;
}

void DropDownControl::Step(ControlTag* tag, int delta)
{
    auto* c = static_cast<DropDownControl*>(tag->ctl);
    c->Sync();
    const int n = int(c->m_items.size());
    const int sel = std::max(0, std::min(n - 1, c->m_curSel + delta));
    if (n > 0 && sel != c->m_curSel) {
        c->m_curSel = sel;
        c->ShowSelection();
        c->Widget()->redraw();
        SendNotification(tag, Notify::kCbnSelChange);
    }
}

// A template gives a drop-down the height of its open list; closed, it is one line high, as
// tall as an edit field in the same font.
Rect ClosedArea(const Rect& area, int fontPx)
{
    const int height = std::min(area.Height(), fontPx + 10);
    return Rect::FromXYWH(area.left, area.top, area.Width(), height);
}

// ---------------------------------------------------------------------------------------
// The drop-down list without an edit field

class ChoiceWidget : public Fl_Choice, public ControlTag
{
public:
    ChoiceWidget(const Rect& area, int fontPx)
        : Fl_Choice(area.left, area.top, area.Width(), area.Height())
    {
        textsize(fontPx);
    }
    // The items may have changed since the widget last showed or handled anything.
    void draw() override
    {
        if (ctl)
            static_cast<DropDownControl*>(ctl)->Sync();
        Fl_Choice::draw();
    }
    int handle(int e) override
    {
        if (!ctl)
            return Fl_Choice::handle(e);
        static_cast<DropDownControl*>(ctl)->Sync();
        switch (e) {
        case FL_PUSH:
            if (Fl::visible_focus() && Fl::focus() != this)
                take_focus();
            if (ctl)
                DropDownControl::Run(this, this);
            return 1;
        case FL_KEYBOARD: {
            const int k = Fl::event_key();
            if (k == ' ' || k == FL_F + 4 || (k == FL_Down && Fl::event_alt())) {
                DropDownControl::Run(this, this);
                return 1;
            }
            if (k == FL_Up || k == FL_Down) {
                DropDownControl::Step(this, k == FL_Down ? 1 : -1);
                return 1;
            }
            return 0;
        }
        case FL_FOCUS:
        case FL_UNFOCUS: {
            const int r = Fl_Choice::handle(e);
            SendNotification(this, e == FL_FOCUS ? Notify::kCbnSetFocus : Notify::kCbnKillFocus);
            return r;
        }
        default:
            return Fl_Choice::handle(e);
        }
    }
};

class DropDownListControl : public DropDownControl
{
public:
    DropDownListControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : DropDownControl(host, ct)
    {
        m_choice = new ChoiceWidget(ClosedArea(area, host.FontPx()), host.FontPx());
        Attach(m_choice, m_choice);
    }
    // The widget outlives the control (its window hides it later, and may draw it): it must
    // not keep the menu, which goes with the control.
    ~DropDownListControl() override { m_choice->menu(nullptr); }
    std::string GetText() const override
    {
        return CurSel() >= 0 ? Items()[size_t(CurSel())] : std::string();
    }

private:
    void ShowSelection() override
    {
        if (CurSel() >= 0)
            m_choice->value(CurSel());
        else
            m_choice->value(static_cast<const Fl_Menu_Item*>(nullptr));
    }
    void MenuChanged() override
    {
        m_choice->menu(Menu());
        ShowSelection();
        m_choice->redraw();
    }

    ChoiceWidget* m_choice;
};

// ---------------------------------------------------------------------------------------
// The drop-down list with an edit field: an input and an arrow button in a group

class ComboInput : public Fl_Input
{
public:
    using Fl_Input::Fl_Input;
    ControlTag* owner = nullptr;
    int handle(int e) override
    {
        if (owner && owner->ctl && e == FL_PUSH && Fl::focus() != this)
            take_focus();
        if (owner && owner->ctl && e == FL_KEYBOARD && Fl::event_key() == FL_Down &&
            Fl::event_alt()) {
            DropDownControl::Run(owner, parent());
            return 1;
        }
        if (HandlePasteGesture(*this, e))
            return 1;
        const int r = Fl_Input::handle(e);
        if (owner && owner->ctl && (e == FL_FOCUS || e == FL_UNFOCUS))
            SendNotification(owner, e == FL_FOCUS ? Notify::kCbnSetFocus : Notify::kCbnKillFocus);
        return r;
    }
    static void Changed(Fl_Widget* w, void*);
};

class ComboArrow : public Fl_Button
{
public:
    ComboArrow(int x, int y, int w, int h)
        : Fl_Button(x, y, w, h, "@-22>")
    {
        clear_visible_focus();
    }
    ControlTag* owner = nullptr;
    int handle(int e) override
    {
        if (owner && owner->ctl && e == FL_PUSH) {
            if (Fl::focus() != parent()->child(0))
                parent()->child(0)->take_focus();
            if (owner->ctl)
                DropDownControl::Run(owner, parent());
            return 1;
        }
        return Fl_Button::handle(e);
    }
};

class ComboEditWidget : public Fl_Group, public ControlTag
{
public:
    ComboEditWidget(const Rect& area, int fontPx)
        : Fl_Group(area.left, area.top, area.Width(), area.Height())
    {
        const int x = area.left, y = area.top, w = area.Width(), h = area.Height();
        const int bw = std::min(w / 2, h);
        input = new ComboInput(x, y, w - bw, h);
        arrow = new ComboArrow(x + w - bw, y, bw, h);
        end();
        resizable(input);
        input->owner = this;
        arrow->owner = this;
        input->when(FL_WHEN_CHANGED);
        input->callback(ComboInput::Changed);
        input->textsize(fontPx);
        LimitOneLineField(*input);
    }
    ComboInput* input;
    ComboArrow* arrow;
};

class DropDownEditControl : public DropDownControl
{
public:
    DropDownEditControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : DropDownControl(host, ct)
    {
        m_combo = new ComboEditWidget(ClosedArea(area, host.FontPx()), host.FontPx());
        m_combo->input->value(ct.text.c_str());
        Attach(m_combo, m_combo);
    }
    ~DropDownEditControl() override
    {
        m_combo->input->owner = nullptr;
        m_combo->arrow->owner = nullptr;
    }
    void TakeFocus() override { m_combo->input->take_focus(); }
    // Setting the text sends no notification, as with native combo boxes.
    void SetText(const std::string& text) override { m_combo->input->value(text.c_str()); }
    std::string GetText() const override { return m_combo->input->value(); }

private:
    void ShowSelection() override
    {
        m_combo->input->value(CurSel() >= 0 ? Items()[size_t(CurSel())].c_str() : "");
    }
    ComboEditWidget* m_combo;
};

void ComboInput::Changed(Fl_Widget* w, void*)
{
    auto* self = static_cast<ComboInput*>(w);
    if (!self->owner || !self->owner->ctl)
        return;
    // Typed text leaves the list without a selection.
    static_cast<DropDownControl*>(self->owner->ctl)->ForgetSelection();
    if (SendNotification(self->owner, Notify::kCbnEditUpdate))
        SendNotification(self->owner, Notify::kCbnEditChange);
}

} // namespace

ControlMaker* const MakeDropDownList = MakeControl<DropDownListControl>;

ControlMaker* const MakeDropDownEdit = MakeControl<DropDownEditControl>;

} // namespace plat::detail

namespace plat::test {

uint64_t DropDownLabelBuilds()
{
    return detail::s_labelBuilds;
}

} // namespace plat::test
