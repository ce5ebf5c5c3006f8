#include "platform/Dialog.h"

#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Image.h"
#include "platform/SystemColors.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Slider.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <cmath>

namespace plat {

namespace {

struct Control;

// Every control widget carries a pointer back to its record; it is cleared when the record
// goes, so that a widget whose deletion is deferred does nothing any more.
struct CtlTag
{
    Control* ctl = nullptr;
    virtual ~CtlTag() = default;
};

// Labels: '@' starts a symbol in toolkit labels, so it is doubled; '&' keeps its meaning
// of underlining the next letter, as in native dialogs.
std::string LabelText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '@')
            out += '@';
    }
    return out;
}

// Menu item labels also treat '/' as a submenu separator and '_' as a divider in some
// calls; items are built directly, so only '@' and '&' need care ('&' shown as itself).
std::string ItemLabel(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '@' || c == '&')
            out += c;
    }
    return out;
}

} // namespace

struct Dialog::Impl : detail::WindowHooks
{
    Dialog* self = nullptr;
    std::vector<std::unique_ptr<Control>> controls;
    bool modal = false;
    bool ended = false;
    int endCode = 0;
    int defId = kIdOk;
    Size base{6, 13};
    int fontPx = 11;

    Control* Find(int id) const;
    Control* FindByWidget(Fl_Widget* w) const;
    void Notify(Control& c, uint32_t code);
    void Command(int id, uint32_t code);
    bool Build(const DialogTemplate& tmpl, Window* parent, bool child, const Rect& screenRect);
    void ComputeBaseUnits(const DialogTemplate& tmpl);
    bool Add(const ControlTemplate& ct);
    void DropControls(bool deleteWidgets);
    void FocusFirst();
    Fl_Group* Group() const { return static_cast<Fl_Group*>(detail::NativeGroup(*self)); }

    bool OnUnusedKey(uint32_t vk, uint32_t keys) override;
    void OnCloseBox() override { Command(kIdCancel, Notify::kBnClicked); }
    void OnNativeGone() override { DropControls(false); }
};

namespace {

struct Control
{
    Dialog::Impl* dlg = nullptr;
    int id = -1;
    ControlKind kind = ControlKind::Static;
    uint32_t style = 0;
    Fl_Widget* widget = nullptr;
    CtlTag* tag = nullptr;
    std::string label;
    std::unique_ptr<Fl_RGB_Image> picture;
    std::vector<uint8_t> pictureData;
    // Items of drop-downs (list boxes keep theirs in the widget).
    std::vector<std::string> items;
    std::vector<std::string> itemLabels;
    std::vector<Fl_Menu_Item> menu;
    int curSel = -1;
    int sliderMin = 0;
    int sliderMax = 100;
    bool suppress = false; // programmatic changes send no notifications

    void Send(uint32_t code)
    {
        if (dlg && !suppress)
            dlg->Notify(*this, code);
    }
    void RebuildMenu();
};

// Sends a notification and reports whether the control record still exists afterwards.
bool SendAlive(CtlTag* tag, uint32_t code)
{
    if (!tag->ctl)
        return false;
    Control* c = tag->ctl;
    std::shared_ptr<bool> alive = detail::AliveToken(*c->dlg->self);
    c->Send(code);
    return *alive && tag->ctl != nullptr;
}

// ---------------------------------------------------------------------------------------
// Control widgets

class EditWidget : public Fl_Input, public CtlTag
{
public:
    using Fl_Input::Fl_Input;
    int handle(int e) override
    {
        if (ctl && e == FL_PUSH && Fl::focus() != this)
            take_focus();
        const int r = Fl_Input::handle(e);
        if (ctl && (e == FL_FOCUS || e == FL_UNFOCUS))
            SendAlive(this, e == FL_FOCUS ? Notify::kEnSetFocus : Notify::kEnKillFocus);
        return r;
    }
    // Enter belongs to the dialog (its default command), not to the edit.
    static void Changed(Fl_Widget* w, void*)
    {
        auto* self = static_cast<EditWidget*>(w);
        if (SendAlive(self, Notify::kEnUpdate))
            SendAlive(self, Notify::kEnChange);
    }
};

template <class Base> class ButtonWidget : public Base, public CtlTag
{
public:
    ButtonWidget(int x, int y, int w, int h)
        : Base(x, y, w, h)
    {
    }
    int handle(int e) override
    {
        if (ctl && (e == FL_SHORTCUT) && (Fl::event_key() == FL_Enter))
            return 0; // Enter is dispatched by the dialog
        const int r = Base::handle(e);
        if (ctl && (ctl->style & ControlStyle::kNotify) && (e == FL_FOCUS || e == FL_UNFOCUS))
            SendAlive(this, e == FL_FOCUS ? Notify::kBnSetFocus : Notify::kBnKillFocus);
        return r;
    }
    static void Clicked(Fl_Widget* w, void*)
    {
        SendAlive(static_cast<ButtonWidget*>(w), Notify::kBnClicked);
    }
};

class SliderWidget : public Fl_Slider, public CtlTag
{
public:
    SliderWidget(int x, int y, int w, int h)
        : Fl_Slider(x, y, w, h)
    {
        type(FL_HOR_NICE_SLIDER);
        step(1);
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
        m.id = uint32_t(ctl->id);
        m.code = Notify::kNmReleasedCapture;
        detail::SendMessage(*ctl->dlg->self, m);
    }
    // Slider moves reach the dialog as horizontal scroll messages carrying the slider's id.
    bool Scroll(ScrollCode code, int pos)
    {
        if (!ctl || ctl->suppress)
            return ctl != nullptr;
        Message m;
        m.kind = Msg::HScroll;
        m.id = uint32_t(ctl->id);
        m.code = uint32_t(code);
        m.pos = pos;
        Dialog* d = ctl->dlg->self;
        std::shared_ptr<bool> alive = detail::AliveToken(*d);
        detail::SendMessage(*d, m);
        return *alive && ctl;
    }
};

// Runs the drop-down part of a combo box: notification before the list opens, the list
// (or the test hook), then the notifications of the choice. Returns false when the control
// went away meanwhile.
bool RunDropDown(CtlTag* tag, Fl_Widget* anchor)
{
    if (!SendAlive(tag, Notify::kCbnDropDown))
        return false;
    Control* c = tag->ctl;
    int chosen = -1;
    test::ModalRequest req;
    req.kind = test::ModalKind::DropDownList;
    req.window = c->dlg->self;
    req.items = c->items;
    req.controlId = c->id;
    const test::ModalAnswer ans = detail::CallModalHook(req);
    if (!tag->ctl)
        return false;
    c = tag->ctl;
    if (ans.answered) {
        chosen = ans.code >= 0 && ans.code < int(c->items.size()) ? ans.code : -1;
    } else if (!c->menu.empty() && c->menu.size() > 1) {
        const Fl_Menu_Item* start = c->curSel >= 0 && c->curSel < int(c->items.size())
                                        ? &c->menu[size_t(c->curSel)]
                                        : nullptr;
        Fl_Widget_Tracker track(anchor);
        const Fl_Menu_Item* m =
            c->menu[0].pulldown(anchor->x(), anchor->y(), anchor->w(), anchor->h(), start,
                                dynamic_cast<Fl_Menu_*>(anchor));
        if (!track.exists() || !tag->ctl)
            return false;
        c = tag->ctl;
        if (m)
            chosen = int(m - &c->menu[0]);
    }
    if (chosen < 0) {
        return SendAlive(tag, Notify::kCbnSelEndCancel) && SendAlive(tag, Notify::kCbnCloseUp);
    }
    const bool changed = chosen != c->curSel;
    c->curSel = chosen;
    if (auto* ch = dynamic_cast<Fl_Choice*>(c->widget))
        ch->value(chosen);
    else if (auto* g = dynamic_cast<Fl_Group*>(c->widget))
        static_cast<Fl_Input*>(g->child(0))->value(c->items[size_t(chosen)].c_str());
    c->widget->redraw();
    if (!SendAlive(tag, Notify::kCbnSelEndOk) || !SendAlive(tag, Notify::kCbnCloseUp))
        return false;
    if (changed)
        return SendAlive(tag, Notify::kCbnSelChange);
    return true;
}

class ChoiceWidget : public Fl_Choice, public CtlTag
{
public:
    using Fl_Choice::Fl_Choice;
    int handle(int e) override
    {
        if (!ctl)
            return Fl_Choice::handle(e);
        switch (e) {
        case FL_PUSH:
            if (Fl::visible_focus() && Fl::focus() != this)
                take_focus();
            if (ctl)
                RunDropDown(this, this);
            return 1;
        case FL_KEYBOARD: {
            const int k = Fl::event_key();
            if (k == ' ' || k == FL_F + 4 || (k == FL_Down && Fl::event_alt())) {
                RunDropDown(this, this);
                return 1;
            }
            if (k == FL_Up || k == FL_Down) {
                const int n = int(ctl->items.size());
                int sel = ctl->curSel + (k == FL_Down ? 1 : -1);
                sel = std::max(0, std::min(n - 1, sel));
                if (n > 0 && sel != ctl->curSel) {
                    ctl->curSel = sel;
                    value(sel);
                    redraw();
                    SendAlive(this, Notify::kCbnSelChange);
                }
                return 1;
            }
            return 0;
        }
        case FL_FOCUS:
        case FL_UNFOCUS: {
            const int r = Fl_Choice::handle(e);
            SendAlive(this, e == FL_FOCUS ? Notify::kCbnSetFocus : Notify::kCbnKillFocus);
            return r;
        }
        default:
            return Fl_Choice::handle(e);
        }
    }
};

// The edit part of an editable drop-down.
class ComboInput : public Fl_Input
{
public:
    using Fl_Input::Fl_Input;
    CtlTag* owner = nullptr;
    int handle(int e) override
    {
        if (owner && owner->ctl && e == FL_PUSH && Fl::focus() != this)
            take_focus();
        if (owner && owner->ctl && e == FL_KEYBOARD && Fl::event_key() == FL_Down &&
            Fl::event_alt()) {
            RunDropDown(owner, parent());
            return 1;
        }
        const int r = Fl_Input::handle(e);
        if (owner && owner->ctl && (e == FL_FOCUS || e == FL_UNFOCUS))
            SendAlive(owner, e == FL_FOCUS ? Notify::kCbnSetFocus : Notify::kCbnKillFocus);
        return r;
    }
    static void Changed(Fl_Widget* w, void*)
    {
        auto* self = static_cast<ComboInput*>(w);
        if (!self->owner || !self->owner->ctl)
            return;
        self->owner->ctl->curSel = -1;
        if (SendAlive(self->owner, Notify::kCbnEditUpdate))
            SendAlive(self->owner, Notify::kCbnEditChange);
    }
};

class ComboArrow : public Fl_Button
{
public:
    ComboArrow(int x, int y, int w, int h)
        : Fl_Button(x, y, w, h, "@-22>")
    {
        clear_visible_focus();
    }
    CtlTag* owner = nullptr;
    int handle(int e) override
    {
        if (owner && owner->ctl && e == FL_PUSH) {
            if (Fl::focus() != parent()->child(0))
                parent()->child(0)->take_focus();
            if (owner->ctl)
                RunDropDown(owner, parent());
            return 1;
        }
        return Fl_Button::handle(e);
    }
};

class ComboEditWidget : public Fl_Group, public CtlTag
{
public:
    ComboEditWidget(int x, int y, int w, int h)
        : Fl_Group(x, y, w, h)
    {
        const int bw = std::min(w / 2, h);
        input = new ComboInput(x, y, w - bw, h);
        arrow = new ComboArrow(x + w - bw, y, bw, h);
        end();
        resizable(input);
        input->owner = this;
        arrow->owner = this;
        input->when(FL_WHEN_CHANGED);
        input->callback(ComboInput::Changed);
    }
    ComboInput* input;
    ComboArrow* arrow;
};

class ListWidget : public Fl_Browser, public CtlTag
{
public:
    ListWidget(int x, int y, int w, int h, bool multi)
        : Fl_Browser(x, y, w, h)
    {
        type(multi ? FL_MULTI_BROWSER : FL_HOLD_BROWSER);
        format_char(0);
        column_char(0);
        has_scrollbar(Fl_Browser_::VERTICAL);
    }
    std::vector<bool> Selection()
    {
        std::vector<bool> s(static_cast<size_t>(size()));
        for (int i = 1; i <= size(); ++i)
            s[size_t(i - 1)] = selected(i) != 0;
        return s;
    }
    int handle(int e) override
    {
        if (!ctl)
            return Fl_Browser::handle(e);
        if (e == FL_PUSH && Fl::visible_focus() && Fl::focus() != this)
            take_focus();
        const std::vector<bool> before = Selection();
        const bool dbl = e == FL_PUSH && Fl::event_clicks() > 0;
        const int r = Fl_Browser::handle(e);
        if (!ctl)
            return r;
        if (e == FL_FOCUS || e == FL_UNFOCUS) {
            SendAlive(this, e == FL_FOCUS ? Notify::kLbnSetFocus : Notify::kLbnKillFocus);
            return r;
        }
        if (Selection() != before && !SendAlive(this, Notify::kLbnSelChange))
            return r;
        if (dbl)
            SendAlive(this, Notify::kLbnDblClk);
        return r;
    }
};

class StaticWidget : public Fl_Box, public CtlTag
{
public:
    using Fl_Box::Fl_Box;
    // Texts and pictures stay inside the control, as native statics do.
    void draw() override
    {
        fl_push_clip(x(), y(), w(), h());
        Fl_Box::draw();
        fl_pop_clip();
    }
};

void Control::RebuildMenu()
{
    itemLabels.clear();
    for (const std::string& s : items)
        itemLabels.push_back(ItemLabel(s));
    menu.assign(items.size() + 1, Fl_Menu_Item{});
    for (size_t i = 0; i < items.size(); ++i) {
        menu[i].text = itemLabels[i].c_str();
        menu[i].labelsize_ = uchar(dlg ? dlg->fontPx : 12);
    }
    if (auto* ch = dynamic_cast<Fl_Choice*>(widget)) {
        ch->menu(menu.data());
        if (curSel >= 0 && curSel < int(items.size()))
            ch->value(curSel);
        else
            ch->value(static_cast<const Fl_Menu_Item*>(nullptr));
        ch->redraw();
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// Dialog::Impl

Control* Dialog::Impl::Find(int id) const
{
    for (const auto& c : controls)
        if (c->id == id && id != -1)
            return c.get();
    return nullptr;
}

Control* Dialog::Impl::FindByWidget(Fl_Widget* w) const
{
    for (const auto& c : controls)
        if (c->widget == w)
            return c.get();
    return nullptr;
}

void Dialog::Impl::Notify(Control& c, uint32_t code)
{
    Command(c.id, code);
}

void Dialog::Impl::Command(int id, uint32_t code)
{
    Message m;
    m.kind = Msg::Command;
    m.id = uint32_t(id);
    m.code = code;
    detail::FillPointer(*self, m);
    std::shared_ptr<bool> alive = detail::AliveToken(*self);
    const bool handled = detail::SendMessage(*self, m);
    if (!*alive)
        return;
    if (!handled && code == Notify::kBnClicked && (id == kIdOk || id == kIdCancel))
        self->EndDialog(id);
}

bool Dialog::Impl::OnUnusedKey(uint32_t vk, uint32_t keys)
{
    if (keys & (Keys::kAlt | Keys::kControl))
        return false;
    if (vk == VK::kEscape) {
        Command(kIdCancel, Notify::kBnClicked);
        return true;
    }
    if (vk != VK::kReturn)
        return false;
    // Enter clicks the focused push button, or else runs the default command.
    for (Fl_Widget* w = Fl::focus(); w; w = w->parent()) {
        Control* c = FindByWidget(w);
        if (c && (c->kind == ControlKind::Button || c->kind == ControlKind::DefButton)) {
            Command(c->id, Notify::kBnClicked);
            return true;
        }
    }
    Control* def = Find(defId);
    if (def && !def->widget->active_r())
        return true;
    Command(defId, Notify::kBnClicked);
    return true;
}

void Dialog::Impl::ComputeBaseUnits(const DialogTemplate& tmpl)
{
    // Dialog units follow the template font: 4 units per average character width and 8 per
    // character height, measured with the same metrics as all other text.
    Image scratch(1, 1);
    DrawContext& dc = scratch.Context();
    dc.SetFont({tmpl.fontFace, std::max(1, tmpl.fontPointSize) * 10, FontWeight::Normal, false});
    const TextMetrics tm = dc.GetTextMetrics();
    base = {std::max(1, tm.aveCharWidth), std::max(1, tm.height)};
    fontPx = std::max(6, int(std::lround(PointTenthsToPixels(tmpl.fontPointSize * 10))));
}

void Dialog::Impl::DropControls(bool deleteWidgets)
{
    for (auto& c : controls) {
        if (c->tag)
            c->tag->ctl = nullptr;
        if (auto* combo = dynamic_cast<ComboEditWidget*>(c->widget)) {
            combo->input->owner = nullptr;
            combo->arrow->owner = nullptr;
        }
        if (deleteWidgets && c->widget) {
            if (Fl_Group* p = c->widget->parent())
                p->remove(c->widget);
            Fl::delete_widget(c->widget);
        }
    }
    controls.clear();
}

bool Dialog::Impl::Add(const ControlTemplate& ct)
{
    Fl_Group* group = Group();
    if (!group || (ct.id != -1 && Find(ct.id)))
        return false;
    auto c = std::make_unique<Control>();
    c->dlg = this;
    c->id = ct.id;
    c->kind = ct.kind;
    c->style = ct.style;
    c->label = LabelText(ct.text);
    const Point o = self->ClientToScreen({0, 0});
    const Point wo = {o.x - static_cast<Fl_Window*>(detail::NativeTopWindow(*self))->x(),
                      o.y - static_cast<Fl_Window*>(detail::NativeTopWindow(*self))->y()};
    const int x = wo.x + ct.rect.left, y = wo.y + ct.rect.top;
    const int w = std::max(1, ct.rect.Width()), h = std::max(1, ct.rect.Height());
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    Fl_Widget* widget = nullptr;
    CtlTag* tag = nullptr;
    switch (ct.kind) {
    case ControlKind::Static:
    case ControlKind::Picture: {
        auto* b = new StaticWidget(x, y, w, h);
        b->box((ct.style & ControlStyle::kBorder) ? FL_DOWN_FRAME : FL_NO_BOX);
        Fl_Align a = FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_WRAP;
        if (ct.kind == ControlKind::Picture)
            a = FL_ALIGN_INSIDE | FL_ALIGN_CENTER | FL_ALIGN_IMAGE_BACKDROP;
        else if (ct.style & ControlStyle::kCenter)
            a |= FL_ALIGN_CENTER;
        else if (ct.style & ControlStyle::kRight)
            a |= FL_ALIGN_RIGHT;
        else
            a |= FL_ALIGN_LEFT;
        b->align(a);
        if (ct.kind == ControlKind::Static)
            b->label(c->label.c_str());
        widget = b;
        tag = b;
        break;
    }
    case ControlKind::Edit: {
        auto* e = new EditWidget(x, y, w, h);
        e->value(ct.text.c_str());
        e->when(FL_WHEN_CHANGED);
        e->callback(EditWidget::Changed);
        if (ct.style & ControlStyle::kReadOnly) {
            e->readonly(1);
            e->color(FL_BACKGROUND_COLOR);
        }
        e->textsize(fontPx);
        widget = e;
        tag = e;
        break;
    }
    case ControlKind::Button: {
        auto* b = new ButtonWidget<Fl_Button>(x, y, w, h);
        b->label(c->label.c_str());
        b->callback(ButtonWidget<Fl_Button>::Clicked);
        widget = b;
        tag = b;
        break;
    }
    case ControlKind::DefButton: {
        auto* b = new ButtonWidget<Fl_Return_Button>(x, y, w, h);
        b->label(c->label.c_str());
        b->callback(ButtonWidget<Fl_Return_Button>::Clicked);
        widget = b;
        tag = b;
        if (ct.id != -1)
            defId = ct.id;
        break;
    }
    case ControlKind::CheckBox: {
        auto* b = new ButtonWidget<Fl_Check_Button>(x, y, w, h);
        b->label(c->label.c_str());
        b->callback(ButtonWidget<Fl_Check_Button>::Clicked);
        widget = b;
        tag = b;
        break;
    }
    case ControlKind::Slider: {
        auto* s = new SliderWidget(x, y, w, h);
        s->bounds(0, 100);
        s->value(0);
        widget = s;
        tag = s;
        break;
    }
    case ControlKind::DropDownList: {
        auto* ch = new ChoiceWidget(x, y, w, h);
        ch->textsize(fontPx);
        widget = ch;
        tag = ch;
        break;
    }
    case ControlKind::DropDownEdit: {
        auto* cb = new ComboEditWidget(x, y, w, h);
        cb->input->textsize(fontPx);
        cb->input->value(ct.text.c_str());
        widget = cb;
        tag = cb;
        break;
    }
    case ControlKind::ListBox: {
        auto* l = new ListWidget(x, y, w, h, (ct.style & ControlStyle::kExtendedSel) != 0);
        l->textsize(fontPx);
        widget = l;
        tag = l;
        break;
    }
    }
    Fl_Group::current(saved);
    widget->labelsize(fontPx);
    tag->ctl = c.get();
    c->widget = widget;
    c->tag = tag;
    if (ct.style & ControlStyle::kDisabled)
        widget->deactivate();
    if (ct.style & ControlStyle::kHidden)
        widget->hide();
    group->add(widget);
    widget->redraw();
    controls.push_back(std::move(c));
    return true;
}

void Dialog::Impl::FocusFirst()
{
    for (Fl_Widget* f = Fl::focus(); f; f = f->parent())
        if (f == Group())
            return; // the dialog chose its focus itself
    for (const auto& c : controls) {
        Fl_Widget* w = c->widget;
        if (c->kind != ControlKind::Static && c->kind != ControlKind::Picture && w->visible() &&
            w->active() && w->take_focus())
            return;
    }
}

bool Dialog::Impl::Build(const DialogTemplate& tmpl, Window* parent, bool child,
                         const Rect& screenRect)
{
    ComputeBaseUnits(tmpl);
    Rect client = screenRect;
    if (client.IsEmpty())
        client = Rect::FromXYWH(0, 0, 1, 1);
    uint32_t style = (tmpl.style & DialogStyle::kSizable) ? WindowStyle::kSizable : 0;
    if (tmpl.style & DialogStyle::kHScroll)
        style |= WindowStyle::kHScroll;
    if (tmpl.style & DialogStyle::kVScroll)
        style |= WindowStyle::kVScroll;
    const bool ok = detail::CreateNative(
        *self, parent, child ? detail::NativeKind::Child : detail::NativeKind::TopLevel, client,
        style, 0, tmpl.caption);
    if (!ok)
        return false;
    detail::SetHooks(*self, this);
    self->SetBkColor(GetSystemColor(SystemColor::ButtonFace));
    ended = false;
    endCode = 0;
    defId = kIdOk;
    for (const ControlTemplate& ct : tmpl.controls) {
        ControlTemplate px = ct;
        px.rect = self->MapDialogRect(ct.rect);
        Add(px);
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Dialog

Dialog::Dialog(WindowCB& cb)
    : Window(cb)
    , m_dlg(std::make_unique<Impl>())
{
    m_dlg->self = this;
}

Dialog::~Dialog()
{
    m_dlg->DropControls(false);
    detail::SetHooks(*this, nullptr);
}

int Dialog::DoModal(const DialogTemplate& tmpl, Window* owner)
{
    if (IsCreated() || !InitDisplay())
        return -1;
    m_dlg->ComputeBaseUnits(tmpl);
    const Rect size = MapDialogRect(Rect::FromXYWH(0, 0, tmpl.size.cx, tmpl.size.cy));
    Rect area = owner && owner->IsCreated() ? owner->GetWindowRect()
                                            : Rect::FromXYWH(Fl::x(), Fl::y(), Fl::w(), Fl::h());
    const int x = area.left + (area.Width() - size.Width()) / 2;
    const int y = area.top + (area.Height() - size.Height()) / 2;
    if (!m_dlg->Build(tmpl, nullptr, false,
                      Rect::FromXYWH(std::max(0, x), std::max(0, y), size.Width(), size.Height())))
        return -1;
    std::shared_ptr<bool> alive = detail::AliveToken(*this);
    m_dlg->modal = true;
    static_cast<Fl_Window*>(detail::NativeTopWindow(*this))->set_modal();
    Message init;
    init.kind = Msg::InitDialog;
    detail::SendMessage(*this, init);
    if (!*alive)
        return -1;
    if (IsCreated() && !m_dlg->ended) {
        Show(true);
        m_dlg->FocusFirst();
        // A test hook sees the dialog painted and settled, as a person would.
        if (detail::HasModalHook())
            test::ProcessUntilIdle(200);
        test::ModalRequest req;
        req.kind = test::ModalKind::Dialog;
        req.window = this;
        req.title = tmpl.caption;
        const test::ModalAnswer ans = detail::CallModalHook(req);
        if (!*alive)
            return -1;
        if (ans.answered && !m_dlg->ended)
            EndDialog(ans.code);
        detail::ModalLoop([&] { return !*alive || m_dlg->ended || !IsCreated(); });
        if (!*alive)
            return -1;
    }
    const int code = m_dlg->ended ? m_dlg->endCode : kIdCancel;
    m_dlg->modal = false;
    Destroy();
    return code;
}

bool Dialog::CreateModeless(const DialogTemplate& tmpl, Window* parent)
{
    if (IsCreated() || !InitDisplay())
        return false;
    const bool child = (tmpl.style & DialogStyle::kChild) != 0;
    if (child && (!parent || !parent->IsCreated()))
        return false;
    m_dlg->ComputeBaseUnits(tmpl);
    Rect r = MapDialogRect(Rect::FromXYWH(0, 0, tmpl.size.cx, tmpl.size.cy));
    if (!child) {
        Rect area = parent && parent->IsCreated()
                        ? parent->GetWindowRect()
                        : Rect::FromXYWH(Fl::x(), Fl::y(), Fl::w(), Fl::h());
        r = r.Offset(std::max(0, area.left + (area.Width() - r.Width()) / 2),
                     std::max(0, area.top + (area.Height() - r.Height()) / 2));
    }
    if (!m_dlg->Build(tmpl, child ? parent : nullptr, child, r))
        return false;
    m_dlg->modal = false;
    std::shared_ptr<bool> alive = detail::AliveToken(*this);
    Message init;
    init.kind = Msg::InitDialog;
    detail::SendMessage(*this, init);
    if (!*alive || !IsCreated())
        return false;
    if (!(tmpl.style & DialogStyle::kHidden)) {
        Show(true);
        m_dlg->FocusFirst();
    }
    return true;
}

void Dialog::EndDialog(int code)
{
    m_dlg->ended = true;
    m_dlg->endCode = code;
    if (IsCreated())
        Show(false);
}

bool Dialog::IsModal() const
{
    return m_dlg->modal;
}

Size Dialog::GetBaseUnits() const
{
    return m_dlg->base;
}

Rect Dialog::MapDialogRect(const Rect& dlu) const
{
    const Size b = m_dlg->base;
    auto mx = [&](int v) { return int(std::lround(double(v) * b.cx / 4.0)); };
    auto my = [&](int v) { return int(std::lround(double(v) * b.cy / 8.0)); };
    return {mx(dlu.left), my(dlu.top), mx(dlu.right), my(dlu.bottom)};
}

bool Dialog::AddControl(const ControlTemplate& ctl)
{
    return m_dlg->Add(ctl);
}

bool Dialog::RemoveControl(int id)
{
    auto& cs = m_dlg->controls;
    for (auto it = cs.begin(); it != cs.end(); ++it) {
        if ((*it)->id != id || id == -1)
            continue;
        Control& c = **it;
        c.tag->ctl = nullptr;
        if (auto* combo = dynamic_cast<ComboEditWidget*>(c.widget)) {
            combo->input->owner = nullptr;
            combo->arrow->owner = nullptr;
        }
        if (Fl_Group* p = c.widget->parent()) {
            p->remove(c.widget);
            p->redraw();
        }
        c.widget->hide();
        // Deferred, since the control may be removed from inside its own notification.
        Fl::delete_widget(c.widget);
        cs.erase(it);
        return true;
    }
    return false;
}

bool Dialog::HasControl(int id) const
{
    return m_dlg->Find(id) != nullptr;
}

std::vector<int> Dialog::GetControlIds() const
{
    std::vector<int> ids;
    for (const auto& c : m_dlg->controls)
        ids.push_back(c->id);
    return ids;
}

bool Dialog::MoveControl(int id, const Rect& rect)
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return false;
    auto* top = static_cast<Fl_Window*>(detail::NativeTopWindow(*this));
    const Point o = ClientToScreen({0, 0});
    c->widget->resize(o.x - top->x() + rect.left, o.y - top->y() + rect.top,
                      std::max(1, rect.Width()), std::max(1, rect.Height()));
    if (Fl_Group* p = c->widget->parent())
        p->redraw();
    return true;
}

Rect Dialog::GetControlRect(int id) const
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return {};
    auto* top = static_cast<Fl_Window*>(detail::NativeTopWindow(*this));
    const Point o = ClientToScreen({0, 0});
    const int dx = o.x - top->x(), dy = o.y - top->y();
    return Rect::FromXYWH(c->widget->x() - dx, c->widget->y() - dy, c->widget->w(), c->widget->h());
}

void Dialog::ShowControl(int id, bool show)
{
    if (Control* c = m_dlg->Find(id)) {
        if (show)
            c->widget->show();
        else
            c->widget->hide();
        if (Fl_Group* p = c->widget->parent())
            p->redraw();
    }
}

bool Dialog::IsControlVisible(int id) const
{
    Control* c = m_dlg->Find(id);
    return c && c->widget->visible();
}

void Dialog::EnableControl(int id, bool enable)
{
    if (Control* c = m_dlg->Find(id)) {
        if (enable)
            c->widget->activate();
        else
            c->widget->deactivate();
    }
}

bool Dialog::IsControlEnabled(int id) const
{
    Control* c = m_dlg->Find(id);
    return c && c->widget->active();
}

void Dialog::SetText(int id, const std::string& text)
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return;
    switch (c->kind) {
    case ControlKind::Edit: {
        auto* e = static_cast<EditWidget*>(c->widget);
        e->value(text.c_str());
        EditWidget::Changed(e, nullptr);
        break;
    }
    case ControlKind::DropDownEdit: {
        auto* g = static_cast<ComboEditWidget*>(c->widget);
        g->input->value(text.c_str());
        break;
    }
    case ControlKind::DropDownList:
    case ControlKind::ListBox:
    case ControlKind::Slider:
    case ControlKind::Picture:
        break;
    case ControlKind::Static:
    case ControlKind::Button:
    case ControlKind::DefButton:
    case ControlKind::CheckBox:
        c->label = LabelText(text);
        c->widget->label(c->label.c_str());
        if (Fl_Group* p = c->widget->parent())
            p->redraw();
        break;
    }
}

std::string Dialog::GetText(int id) const
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return {};
    switch (c->kind) {
    case ControlKind::Edit:
        return static_cast<Fl_Input*>(c->widget)->value();
    case ControlKind::DropDownEdit:
        return static_cast<ComboEditWidget*>(c->widget)->input->value();
    case ControlKind::DropDownList:
        return c->curSel >= 0 ? c->items[size_t(c->curSel)] : std::string();
    case ControlKind::ListBox: {
        auto* l = static_cast<ListWidget*>(c->widget);
        const int v = l->value();
        return v > 0 && l->text(v) ? l->text(v) : std::string();
    }
    case ControlKind::Slider:
    case ControlKind::Picture:
        return {};
    case ControlKind::Static:
    case ControlKind::Button:
    case ControlKind::DefButton:
    case ControlKind::CheckBox: {
        // The label with the doubled '@' undone.
        std::string out;
        const std::string& l = c->label;
        for (size_t i = 0; i < l.size(); ++i) {
            out += l[i];
            if (l[i] == '@' && i + 1 < l.size() && l[i + 1] == '@')
                ++i;
        }
        return out;
    }
    }
    return {};
}

void Dialog::SetCheck(int id, int state)
{
    Control* c = m_dlg->Find(id);
    if (c && c->kind == ControlKind::CheckBox)
        static_cast<Fl_Button*>(c->widget)->value(state ? 1 : 0);
}

int Dialog::GetCheck(int id) const
{
    Control* c = m_dlg->Find(id);
    if (c && c->kind == ControlKind::CheckBox)
        return static_cast<Fl_Button*>(c->widget)->value() ? 1 : 0;
    return 0;
}

void Dialog::SetSliderRange(int id, int min, int max)
{
    Control* c = m_dlg->Find(id);
    if (!c || c->kind != ControlKind::Slider)
        return;
    if (max < min)
        std::swap(min, max);
    c->sliderMin = min;
    c->sliderMax = max;
    auto* s = static_cast<Fl_Slider*>(c->widget);
    s->bounds(min, max);
    s->value(std::max<double>(min, std::min<double>(max, s->value())));
    s->redraw();
}

void Dialog::SetSliderPos(int id, int pos)
{
    Control* c = m_dlg->Find(id);
    if (!c || c->kind != ControlKind::Slider)
        return;
    // Out-of-range positions are clamped, as slider controls do.
    pos = std::max(c->sliderMin, std::min(c->sliderMax, pos));
    static_cast<Fl_Slider*>(c->widget)->value(pos);
    c->widget->redraw();
}

int Dialog::GetSliderPos(int id) const
{
    Control* c = m_dlg->Find(id);
    if (!c || c->kind != ControlKind::Slider)
        return 0;
    return int(std::lround(static_cast<Fl_Slider*>(c->widget)->value()));
}

void Dialog::ResetContent(int id)
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return;
    if (c->kind == ControlKind::ListBox) {
        static_cast<Fl_Browser*>(c->widget)->clear();
    } else if (c->kind == ControlKind::DropDownList || c->kind == ControlKind::DropDownEdit) {
        c->items.clear();
        c->curSel = -1;
        c->RebuildMenu();
    }
    c->widget->redraw();
}

int Dialog::AddString(int id, const std::string& text)
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return -1;
    if (c->kind == ControlKind::ListBox) {
        auto* l = static_cast<Fl_Browser*>(c->widget);
        l->add(text.c_str());
        return l->size() - 1;
    }
    if (c->kind == ControlKind::DropDownList || c->kind == ControlKind::DropDownEdit) {
        c->items.push_back(text);
        c->RebuildMenu();
        return int(c->items.size()) - 1;
    }
    return -1;
}

int Dialog::GetCount(int id) const
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return 0;
    if (c->kind == ControlKind::ListBox)
        return static_cast<Fl_Browser*>(c->widget)->size();
    return int(c->items.size());
}

std::string Dialog::GetItemText(int id, int index) const
{
    Control* c = m_dlg->Find(id);
    if (!c || index < 0)
        return {};
    if (c->kind == ControlKind::ListBox) {
        auto* l = static_cast<Fl_Browser*>(c->widget);
        const char* t = index < l->size() ? l->text(index + 1) : nullptr;
        return t ? t : std::string();
    }
    return index < int(c->items.size()) ? c->items[size_t(index)] : std::string();
}

void Dialog::SetCurSel(int id, int index)
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return;
    if (c->kind == ControlKind::ListBox) {
        auto* l = static_cast<Fl_Browser*>(c->widget);
        l->deselect();
        if (index >= 0 && index < l->size())
            l->select(index + 1);
        return;
    }
    if (c->kind != ControlKind::DropDownList && c->kind != ControlKind::DropDownEdit)
        return;
    c->curSel = index >= 0 && index < int(c->items.size()) ? index : -1;
    if (auto* ch = dynamic_cast<Fl_Choice*>(c->widget)) {
        if (c->curSel >= 0)
            ch->value(c->curSel);
        else
            ch->value(static_cast<const Fl_Menu_Item*>(nullptr));
    } else if (auto* g = dynamic_cast<ComboEditWidget*>(c->widget)) {
        g->input->value(c->curSel >= 0 ? c->items[size_t(c->curSel)].c_str() : "");
    }
    c->widget->redraw();
}

int Dialog::GetCurSel(int id) const
{
    Control* c = m_dlg->Find(id);
    if (!c)
        return -1;
    if (c->kind == ControlKind::ListBox) {
        auto* l = static_cast<ListWidget*>(c->widget);
        for (int i = 1; i <= l->size(); ++i)
            if (l->selected(i))
                return i - 1;
        return -1;
    }
    return c->curSel;
}

void Dialog::SetSel(int id, int index, bool select)
{
    Control* c = m_dlg->Find(id);
    if (!c || c->kind != ControlKind::ListBox)
        return;
    auto* l = static_cast<Fl_Browser*>(c->widget);
    if (index == -1) {
        for (int i = 1; i <= l->size(); ++i)
            l->select(i, select ? 1 : 0);
    } else if (index >= 0 && index < l->size()) {
        if (select && l->type() == FL_HOLD_BROWSER)
            l->deselect();
        l->select(index + 1, select ? 1 : 0);
    }
}

std::vector<int> Dialog::GetSelItems(int id) const
{
    std::vector<int> out;
    Control* c = m_dlg->Find(id);
    if (!c || c->kind != ControlKind::ListBox)
        return out;
    auto* l = static_cast<Fl_Browser*>(c->widget);
    for (int i = 1; i <= l->size(); ++i)
        if (l->selected(i))
            out.push_back(i - 1);
    return out;
}

void Dialog::SetPicture(int id, const Image& image)
{
    Control* c = m_dlg->Find(id);
    if (!c || c->kind != ControlKind::Picture || !image.IsValid())
        return;
    const Size s = image.GetSize();
    c->pictureData = image.ToRGBA();
    c->picture = std::make_unique<Fl_RGB_Image>(c->pictureData.data(), s.cx, s.cy, 4);
    c->widget->image(c->picture.get());
    if (Fl_Group* p = c->widget->parent())
        p->redraw();
}

void Dialog::SetFocusControl(int id)
{
    if (Control* c = m_dlg->Find(id)) {
        if (auto* g = dynamic_cast<ComboEditWidget*>(c->widget))
            g->input->take_focus();
        else
            c->widget->take_focus();
        return;
    }
    // A child window with that id.
    Fl_Group* group = m_dlg->Group();
    for (int i = 0; group && i < group->children(); ++i) {
        Window* w = detail::WindowFromNative(group->child(i));
        if (w && w->GetId() == id) {
            w->SetFocus();
            return;
        }
    }
}

int Dialog::GetFocusControl() const
{
    Fl_Group* group = m_dlg->Group();
    for (Fl_Widget* w = Fl::focus(); w && w != group; w = w->parent()) {
        if (Control* c = m_dlg->FindByWidget(w))
            return c->id;
        Window* win = detail::WindowFromNative(w);
        if (win && win->GetParent() == this)
            return win->GetId();
    }
    return 0;
}

void Dialog::SetDefaultId(int id)
{
    m_dlg->defId = id;
}
int Dialog::GetDefaultId() const
{
    return m_dlg->defId;
}

} // namespace plat
