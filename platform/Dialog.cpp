// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Dialog.h"

#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Image.h"
#include "platform/SystemColors.h"
#include "platform/detail/DialogControl.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Window.H>
#include <algorithm>
#include <cmath>

namespace plat {

using detail::DialogControl;

struct Dialog::Impl : detail::WindowHooks, detail::DialogHost
{
    Dialog* self = nullptr;
    std::vector<std::unique_ptr<DialogControl>> controls;
    bool modal = false;
    bool ended = false;
    int endCode = 0;
    int defId = kIdOk;
    Size base{6, 13};
    int fontPx = 11;

    DialogControl* Find(int id) const;
    DialogControl* FindByWidget(Fl_Widget* w) const;
    bool Build(const DialogTemplate& tmpl, Window* parent, bool child, const Rect& screenRect);
    void ComputeBaseUnits(const DialogTemplate& tmpl);
    bool Add(const ControlTemplate& ct);
    void DropControls(bool deleteWidgets);
    void FocusFirst();
    Fl_Group* Group() const { return static_cast<Fl_Group*>(detail::NativeGroup(*self)); }
    // The client origin in the coordinates of the toolkit window, where control widgets live.
    Point WidgetOrigin() const;
    // A top-level dialog of `dlu` (dialog units) centred over the owner, or else the screen.
    Rect CentredOver(const Window* owner, Size dlu) const;

    // DialogHost
    Dialog& Owner() override { return *self; }
    int FontPx() const override { return fontPx; }
    void Command(int id, uint32_t code) override;

    // WindowHooks
    bool OnUnusedKey(uint32_t vk, uint32_t keys) override;
    void OnCloseBox() override { Command(kIdCancel, Notify::kBnClicked); }
    void OnNativeGone() override { DropControls(false); }
};

// ---------------------------------------------------------------------------------------
// Dialog::Impl

DialogControl* Dialog::Impl::Find(int id) const
{
    for (const auto& c : controls)
        if (c->Id() == id && id != -1)
            return c.get();
    return nullptr;
}

DialogControl* Dialog::Impl::FindByWidget(Fl_Widget* w) const
{
    for (const auto& c : controls)
        if (c->Widget() == w)
            return c.get();
    return nullptr;
}

Point Dialog::Impl::WidgetOrigin() const
{
    const auto* top = static_cast<Fl_Window*>(detail::NativeTopWindow(*self));
    if (!top)
        return {};
    const Point o = self->ClientToScreen({0, 0});
    return {o.x - top->x(), o.y - top->y()};
}

Rect Dialog::Impl::CentredOver(const Window* owner, Size dlu) const
{
    const Rect r = self->MapDialogRect(Rect::FromXYWH(0, 0, dlu.cx, dlu.cy));
    const Rect screen = GetScreenWorkArea();
    const Rect area = owner && owner->IsCreated() ? owner->GetWindowRect() : screen;
    int x = area.left + (area.Width() - r.Width()) / 2;
    int y = area.top + (area.Height() - r.Height()) / 2;
    // An owner near an edge of the screen does not push the dialog off it; where the dialog
    // is larger than the screen its top-left corner stays visible.
    x = std::max(screen.left, std::min(x, screen.right - r.Width()));
    y = std::max(screen.top, std::min(y, screen.bottom - r.Height()));
    return r.Offset(x, y);
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
        DialogControl* c = FindByWidget(w);
        if (c && c->IsPushButton()) {
            Command(c->Id(), Notify::kBnClicked);
            return true;
        }
    }
    DialogControl* def = Find(defId);
    if (def && !def->Widget()->active_r())
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
        Fl_Widget* w = c->Widget();
        c.reset(); // detaches the widget from the control
        if (deleteWidgets && w) {
            if (Fl_Group* p = w->parent())
                p->remove(w);
            Fl::delete_widget(w);
        }
    }
    controls.clear();
}

bool Dialog::Impl::Add(const ControlTemplate& ct)
{
    Fl_Group* group = Group();
    if (!group || (ct.id != -1 && Find(ct.id)))
        return false;
    const Point o = WidgetOrigin();
    const Rect area = Rect::FromXYWH(o.x + ct.rect.left, o.y + ct.rect.top,
                                     std::max(1, ct.rect.Width()), std::max(1, ct.rect.Height()));
    // The widget is added to the dialog's group below, not to whatever group is open now.
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    std::unique_ptr<DialogControl> c = detail::CreateDialogControl(*this, ct, area);
    Fl_Group::current(saved);
    Fl_Widget* widget = c->Widget();
    widget->labelsize(fontPx);
    if (c->IsDefaultButton() && ct.id != -1)
        defId = ct.id;
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
        Fl_Widget* w = c->Widget();
        if (c->IsTabStop() && w->visible() && w->active() && w->take_focus()) {
            // An edit that opens with the focus has its text selected, so that typing
            // replaces a proposed text, as in any dialog.
            if (auto* input = dynamic_cast<Fl_Input_*>(w))
                input->position(input->size(), 0);
            return;
        }
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
    // A sizable dialog never gets smaller than its template: every control keeps its place.
    if ((tmpl.style & DialogStyle::kSizable) && !child) {
        auto* top = static_cast<Fl_Window*>(detail::NativeTopWindow(*self));
        top->size_range(top->w(), top->h());
    }
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
    if (!m_dlg->Build(tmpl, nullptr, false, m_dlg->CentredOver(owner, tmpl.size)))
        return -1;
    std::shared_ptr<bool> alive = detail::AliveToken(*this);
    m_dlg->modal = true;
    // A modal dialog blocks its owner. Without one there is nothing to block, and marking it
    // modal for the toolkit would shut out every window it opens itself: a find dialog or
    // another modeless window of the application's main dialog must take mouse and keys.
    if (owner != nullptr)
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
    const Rect r = child ? MapDialogRect(Rect::FromXYWH(0, 0, tmpl.size.cx, tmpl.size.cy))
                         : m_dlg->CentredOver(parent, tmpl.size);
    if (!m_dlg->Build(tmpl, child ? parent : nullptr, child, r))
        return false;
    m_dlg->modal = false;
    if (!child && parent)
        detail::SetOwner(*this, parent);
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
        if ((*it)->Id() != id || id == -1)
            continue;
        Fl_Widget* w = (*it)->Widget();
        cs.erase(it); // detaches the widget from the control
        if (Fl_Group* p = w->parent()) {
            p->remove(w);
            p->redraw();
        }
        w->hide();
        // Deferred, since the control may be removed from inside its own notification.
        Fl::delete_widget(w);
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
        ids.push_back(c->Id());
    return ids;
}

bool Dialog::MoveControl(int id, const Rect& rect)
{
    DialogControl* c = m_dlg->Find(id);
    if (!c)
        return false;
    const Point o = m_dlg->WidgetOrigin();
    Fl_Widget* w = c->Widget();
    w->resize(o.x + rect.left, o.y + rect.top, std::max(1, rect.Width()),
              std::max(1, rect.Height()));
    if (Fl_Group* p = w->parent())
        p->redraw();
    return true;
}

Rect Dialog::GetControlRect(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    if (!c)
        return {};
    const Point o = m_dlg->WidgetOrigin();
    const Fl_Widget* w = c->Widget();
    return Rect::FromXYWH(w->x() - o.x, w->y() - o.y, w->w(), w->h());
}

void Dialog::ShowControl(int id, bool show)
{
    if (DialogControl* c = m_dlg->Find(id)) {
        Fl_Widget* w = c->Widget();
        if (show)
            w->show();
        else
            w->hide();
        if (Fl_Group* p = w->parent())
            p->redraw();
    }
}

bool Dialog::IsControlVisible(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c && c->Widget()->visible();
}

void Dialog::EnableControl(int id, bool enable)
{
    if (DialogControl* c = m_dlg->Find(id)) {
        if (enable)
            c->Widget()->activate();
        else
            c->Widget()->deactivate();
    }
}

bool Dialog::IsControlEnabled(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c && c->Widget()->active();
}

// The operations of particular kinds go to the control, which ignores what does not apply.

void Dialog::SetText(int id, const std::string& text)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->SetText(text);
}

std::string Dialog::GetText(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->GetText() : std::string();
}

void Dialog::SetCheck(int id, int state)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->SetCheck(state);
}

int Dialog::GetCheck(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->GetCheck() : 0;
}

void Dialog::SetSliderRange(int id, int min, int max)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->SetSliderRange(min, max);
}

void Dialog::SetSliderPos(int id, int pos)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->SetSliderPos(pos);
}

int Dialog::GetSliderPos(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->GetSliderPos() : 0;
}

void Dialog::ResetContent(int id)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->ResetContent();
}

int Dialog::AddString(int id, const std::string& text)
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->AddString(text) : -1;
}

int Dialog::GetCount(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->GetCount() : 0;
}

std::string Dialog::GetItemText(int id, int index) const
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->GetItemText(index) : std::string();
}

void Dialog::SetCurSel(int id, int index)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->SetCurSel(index);
}

int Dialog::GetCurSel(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->GetCurSel() : -1;
}

void Dialog::SetSel(int id, int index, bool select)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->SetSel(index, select);
}

std::vector<int> Dialog::GetSelItems(int id) const
{
    DialogControl* c = m_dlg->Find(id);
    return c ? c->GetSelItems() : std::vector<int>();
}

void Dialog::SetPicture(int id, const Image& image)
{
    if (DialogControl* c = m_dlg->Find(id))
        c->SetPicture(image);
}

void Dialog::SetFocusControl(int id)
{
    if (DialogControl* c = m_dlg->Find(id)) {
        c->TakeFocus();
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
        if (DialogControl* c = m_dlg->FindByWidget(w))
            return c->Id();
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
