// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Window.h"

#include "platform/Application.h"
#include "platform/DrawContext.h"
#include "platform/Image.h"
#include "platform/detail/CairoBridge.h"
#include "platform/detail/WindowImpl.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <algorithm>
#include <cairo-xlib.h>
#include <cairo.h>
#include <map>
#include <vector>

namespace plat {

using detail::NativeTag;

Window* Window::Impl::s_capture = nullptr;

namespace {

// Windows that are being handled right now; native widgets are not deleted under them.
int s_dispatchDepth = 0;

struct DispatchScope
{
    DispatchScope() { ++s_dispatchDepth; }
    ~DispatchScope() { --s_dispatchDepth; }
};

constexpr int kCaretBlinkMs = 530;

Fl_Cursor ToolkitCursor(StdCursor s)
{
    switch (s) {
    case StdCursor::Arrow:
        return FL_CURSOR_DEFAULT;
    case StdCursor::IBeam:
        return FL_CURSOR_INSERT;
    case StdCursor::Wait:
        return FL_CURSOR_WAIT;
    case StdCursor::Cross:
        return FL_CURSOR_CROSS;
    case StdCursor::Hand:
        return FL_CURSOR_HAND;
    case StdCursor::SizeAll:
        return FL_CURSOR_MOVE;
    case StdCursor::SizeWE:
        return FL_CURSOR_WE;
    case StdCursor::SizeNS:
        return FL_CURSOR_NS;
    case StdCursor::SizeNWSE:
        return FL_CURSOR_NWSE;
    case StdCursor::SizeNESW:
        return FL_CURSOR_NESW;
    case StdCursor::No:
        return FL_CURSOR_WAIT;
    case StdCursor::Help:
        return FL_CURSOR_HELP;
    }
    return FL_CURSOR_DEFAULT;
}

// ---------------------------------------------------------------------------------------
// Native widgets

template <class Base> class NativeWidget : public Base, public NativeTag
{
public:
    NativeWidget(Window::Impl* o, int x, int y, int w, int h)
        : Base(x, y, w, h)
    {
        owner = o;
        Base::end();
        Base::resizable(nullptr);
    }

    int handle(int e) override
    {
        if (!owner)
            return Base::handle(e);
        return owner->Handle(e, this, [](Fl_Group* g, int ev) {
            return static_cast<NativeWidget*>(g)->Base::handle(ev);
        });
    }

    void draw() override
    {
        if (!owner) {
            Base::draw();
            return;
        }
        owner->Draw(this, (Base::damage() & ~FL_DAMAGE_CHILD) != 0);
    }

    void resize(int x, int y, int w, int h) override
    {
        Base::resize(x, y, w, h);
        if (owner)
            owner->Resized();
    }

    void DrawChildren() override { Base::draw_children(); }
    void UpdateChildren() override
    {
        Fl_Widget* const* a = Base::array();
        for (int n = Base::children(); n--;)
            Base::update_child(**a++);
    }
};

using NativeChild = NativeWidget<Fl_Group>;
using NativeTop = NativeWidget<Fl_Double_Window>;

void CloseBoxCallback(Fl_Widget* w, void*)
{
    auto* tag = dynamic_cast<NativeTag*>(w);
    if (!tag || !tag->owner)
        return;
    Window::Impl& im = *tag->owner;
    if (im.hooks) {
        im.hooks->OnCloseBox();
        return;
    }
    Message m;
    m.kind = Msg::Close;
    if (!im.Send(m) && tag->owner)
        tag->owner->self->Destroy();
}

void WindowTimerCallback(void* data)
{
    auto* rec = static_cast<Window::Impl::TimerRec*>(data);
    Window::Impl& im = *rec->owner;
    Fl::repeat_timeout(rec->periodMs / 1000.0, WindowTimerCallback, data);
    Message m;
    m.kind = Msg::Timer;
    m.id = rec->id;
    detail::FillPointer(*im.self, m);
    im.Send(m);
}

void CaretBlink(void* data)
{
    auto* im = static_cast<Window::Impl*>(data);
    im->caretPhase = !im->caretPhase;
    if (im->native)
        im->native->redraw();
    Fl::repeat_timeout(kCaretBlinkMs / 1000.0, CaretBlink, data);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Window::Impl behaviour

Point Window::Impl::ClientOrigin() const
{
    if (!native)
        return {};
    const int b = Border();
    if (IsTop())
        return {b, b};
    return {native->x() + b, native->y() + b};
}

Rect Window::Impl::ClientRect() const
{
    if (!native)
        return {};
    const int sb = Fl::scrollbar_size();
    int w = native->w() - 2 * Border() - (barShown[1] ? sb : 0);
    int h = native->h() - 2 * Border() - (barShown[0] ? sb : 0);
    return {0, 0, std::max(0, w), std::max(0, h)};
}

Fl_Window* Window::Impl::TopWindow() const
{
    if (!native)
        return nullptr;
    if (IsTop())
        return static_cast<Fl_Window*>(native);
    return native->top_window();
}

bool Window::Impl::HasChildControls() const
{
    const int own = (barWidget[0] ? 1 : 0) + (barWidget[1] ? 1 : 0);
    return native && native->children() > own;
}

bool Window::Impl::Send(const Message& m)
{
    std::shared_ptr<bool> aliveFlag = alive;
    DispatchScope scope;
    const bool handled = cb->OnMessage(*self, m);
    return *aliveFlag && handled;
}

void Window::Impl::RestartCaretBlink()
{
    caretPhase = true;
    StopCaretBlink();
    if (caretCreated)
        Fl::add_timeout(kCaretBlinkMs / 1000.0, CaretBlink, this);
}

void Window::Impl::StopCaretBlink()
{
    Fl::remove_timeout(CaretBlink, this);
}

void Window::Impl::GainFocus(Fl_Widget* old)
{
    hasFocus = true;
    RestartCaretBlink();
    Message m;
    m.kind = Msg::SetFocus;
    m.other = old != native ? detail::WindowFromNative(old) : nullptr;
    detail::FillPointer(*self, m);
    Send(m);
}

void Window::Impl::ApplyCursor(const Cursor& c)
{
    Fl_Window* top = TopWindow();
    if (!top || !top->shown())
        return;
    if (c.image && c.image->width > 0 && c.image->height > 0 &&
        c.image->rgba.size() >= size_t(c.image->width) * c.image->height * 4) {
        Fl_RGB_Image img(c.image->rgba.data(), c.image->width, c.image->height, 4);
        top->cursor(&img, c.image->hotSpot.x, c.image->hotSpot.y);
    } else {
        top->cursor(ToolkitCursor(c.shape));
    }
}

void Window::Impl::KillAllTimers()
{
    for (auto& t : timers)
        Fl::remove_timeout(WindowTimerCallback, t.second.get());
    timers.clear();
    StopCaretBlink();
}

void Window::Impl::DetachNative(bool deleteWidget)
{
    if (!native)
        return;
    for (Window* child : children)
        if (child->m_impl)
            child->m_impl->DetachNative(false);
    KillAllTimers();
    if (hooks)
        hooks->OnNativeGone();
    if (s_capture == self)
        s_capture = nullptr;
    DetachScrollBars();
    tag->owner = nullptr;
    Fl_Group* w = native;
    native = nullptr;
    tag = nullptr;
    hasFocus = false;
    if (deleteWidget) {
        if (Fl_Group* p = w->parent())
            p->remove(w);
        w->hide();
        if (s_dispatchDepth > 0)
            Fl::delete_widget(w);
        else
            delete w;
    }
}

void Window::Impl::Resized()
{
    LayoutScrollBars();
    const Rect c = ClientRect();
    const Size s{c.Width(), c.Height()};
    if (s == lastSize)
        return;
    lastSize = s;
    Message m;
    m.kind = Msg::Size;
    m.size = s;
    Send(m);
}

void Window::Impl::Draw(Fl_Group* widget, bool full)
{
    // Asked of the widget, not of `tag`: painting may have let go of the widget already.
    auto* nativeTag = dynamic_cast<NativeTag*>(widget);
    if (!full) {
        if (nativeTag)
            nativeTag->UpdateChildren();
        return;
    }
    Fl_Window* win = IsTop() ? static_cast<Fl_Window*>(widget) : widget->window();
    // The toolkit may have narrowed drawing to an exposed region; cairo does not see that
    // clip and repaints the whole client area, so the children are drawn in full as well,
    // or the parts of them outside the region would be painted over.
    fl_push_no_clip();
    const Point o = ClientOrigin();
    const Rect c = ClientRect();
    if (win && fl_window && fl_display && !c.IsEmpty()) {
        cairo_surface_t* surface =
            cairo_xlib_surface_create(fl_display, fl_window, fl_visual->visual, win->w(), win->h());
        cairo_t* cr = cairo_create(surface);
        cairo_translate(cr, o.x, o.y);
        cairo_rectangle(cr, 0, 0, c.Width(), c.Height());
        cairo_clip(cr);
        {
            std::unique_ptr<DrawContext> dc = detail::MakeDrawContext(cr, {c.Width(), c.Height()});
            std::shared_ptr<bool> aliveFlag = alive;
            bool painted = false;
            {
                DispatchScope scope;
                painted = cb->OnPaint(*self, *dc, c);
            }
            if (!*aliveFlag) {
                dc.reset();
                cairo_surface_destroy(surface);
                fl_pop_clip();
                return;
            }
            if (!painted)
                dc->FillRect(c, bk);
            if (caretCreated && caretShow > 0 && hasFocus && caretPhase)
                dc->FillRect(Rect::FromXYWH(caretPos.x, caretPos.y, caretSize.cx, caretSize.cy), 0);
        }
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
        if (Border()) {
            fl_color(fl_rgb_color(128, 128, 128));
            const int x0 = IsTop() ? 0 : widget->x(), y0 = IsTop() ? 0 : widget->y();
            fl_rect(x0, y0, widget->w(), widget->h());
        }
        // The corner between two scroll bars.
        if (barShown[0] && barShown[1]) {
            const int sb = Fl::scrollbar_size();
            fl_color(FL_BACKGROUND_COLOR);
            fl_rectf(o.x + c.Width(), o.y + c.Height(), sb, sb);
        }
    }
    if (nativeTag)
        nativeTag->DrawChildren();
    fl_pop_clip();
}

// ---------------------------------------------------------------------------------------
// WindowCB

bool WindowCB::OnMessage(Window&, const Message&)
{
    return false;
}
bool WindowCB::OnPaint(Window&, DrawContext&, const Rect&)
{
    return false;
}

WindowCB& WindowCB::Default()
{
    static WindowCB s_default;
    return s_default;
}

// ---------------------------------------------------------------------------------------
// Window

Window::Window(WindowCB& cb)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->self = this;
    m_impl->cb = &cb;
    m_impl->bk = 0xFFFFFF;
}

Window::~Window()
{
    if (m_impl->native)
        m_impl->DetachNative(true);
    for (Window* child : m_impl->children)
        if (child->m_impl)
            child->m_impl->parent = nullptr;
    if (m_impl->parent) {
        auto& siblings = m_impl->parent->m_impl->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void Window::SetCB(WindowCB& cb)
{
    m_impl->cb = &cb;
}
WindowCB& Window::CB() const
{
    return *m_impl->cb;
}

namespace detail {

bool CreateNative(Window& wnd, Window* parent, NativeKind kind, const Rect& rect, uint32_t style,
                  int id, const std::string& title)
{
    Window::Impl& im = ImplOf(wnd);
    if (im.native || !InitDisplay())
        return false;
    if (kind == NativeKind::Child && (!parent || !ImplOf(*parent).native))
        return false;
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    const int w = std::clamp(rect.Width(), 1, kMaxWindowExtent - 2);
    const int h = std::clamp(rect.Height(), 1, kMaxWindowExtent - 2);
    im.kind = kind;
    im.style = style;
    im.id = id;
    const int b = (style & WindowStyle::kBorder) ? 1 : 0;
    if (kind == NativeKind::Child) {
        Window::Impl& pim = ImplOf(*parent);
        const Point po = pim.ClientOrigin();
        auto* n = new NativeChild(&im, po.x + rect.left, po.y + rect.top, w, h);
        im.native = n;
        im.tag = n;
        pim.native->add(n);
        im.parent = parent;
        pim.children.push_back(&wnd);
    } else {
        auto* n = new NativeTop(&im, rect.left - b, rect.top - b, w + 2 * b, h + 2 * b);
        im.native = n;
        im.tag = n;
        n->copy_label(title.c_str());
        n->callback(CloseBoxCallback);
        if (!(style & WindowStyle::kSizable))
            n->size_range(n->w(), n->h(), n->w(), n->h());
        else
            n->size_range(50, 30);
        if (kind == NativeKind::Popup) {
            n->set_override();
            n->clear_visible_focus();
        }
        if (parent) {
            im.parent = parent;
            ImplOf(*parent).children.push_back(&wnd);
        }
    }
    im.native->box(FL_NO_BOX);
    im.CreateScrollBars();
    if (style & WindowStyle::kDisabled)
        im.native->deactivate();
    // Only tab stops take part in keyboard navigation; SetFocus still works for the others.
    if (kind == NativeKind::Child && !(style & WindowStyle::kTabStop))
        im.native->clear_visible_focus();
    im.lastSize = {im.ClientRect().Width(), im.ClientRect().Height()};
    Fl_Group::current(saved);
    std::shared_ptr<bool> alive = im.alive;
    Message m;
    m.kind = Msg::Create;
    im.Send(m);
    if (!*alive || !im.native)
        return false;
    if (style & WindowStyle::kVisible)
        wnd.Show(true);
    else if (kind == NativeKind::Child)
        im.native->hide();
    return true;
}

void* NativeGroup(const Window& wnd)
{
    return ImplOf(wnd).native;
}

void* NativeTopWindow(const Window& wnd)
{
    return ImplOf(wnd).TopWindow();
}

void SetOwner(Window& wnd, Window* owner)
{
    ImplOf(wnd).owner = owner;
}

void SetHooks(Window& wnd, WindowHooks* hooks)
{
    ImplOf(wnd).hooks = hooks;
}

std::shared_ptr<bool> AliveToken(const Window& wnd)
{
    return ImplOf(wnd).alive;
}

bool SendMessage(Window& wnd, const Message& msg)
{
    return ImplOf(wnd).Send(msg);
}

void FillPointer(const Window& wnd, Message& msg)
{
    const Window::Impl& im = ImplOf(wnd);
    const Point o = im.ClientOrigin();
    msg.pt = {Fl::event_x() - o.x, Fl::event_y() - o.y};
    msg.screenPt = {Fl::event_x_root(), Fl::event_y_root()};
    msg.keys = KeysFromState(Fl::event_state());
}

Window* WindowFromNative(void* widget)
{
    auto* tag = dynamic_cast<NativeTag*>(static_cast<Fl_Widget*>(widget));
    return tag && tag->owner ? tag->owner->self : nullptr;
}

} // namespace detail

bool Window::CreateChild(Window& parent, const Rect& rect, uint32_t style, int id)
{
    return detail::CreateNative(*this, &parent, detail::NativeKind::Child, rect, style, id, "");
}

bool Window::CreateTopLevel(const std::string& title, const Rect& rect, uint32_t style)
{
    return detail::CreateNative(*this, nullptr, detail::NativeKind::TopLevel, rect, style, 0,
                                title);
}

bool Window::CreatePopup(const Rect& rect, uint32_t style)
{
    return detail::CreateNative(*this, nullptr, detail::NativeKind::Popup, rect, style, 0, "");
}

void Window::Destroy()
{
    if (!m_impl->native)
        return;
    std::shared_ptr<bool> alive = m_impl->alive;
    Message m;
    m.kind = Msg::Destroy;
    m_impl->Send(m);
    if (!*alive)
        return;
    m_impl->DetachNative(true);
}

bool Window::IsCreated() const
{
    return m_impl->native != nullptr;
}
int Window::GetId() const
{
    return m_impl->id;
}
Window* Window::GetParent() const
{
    return m_impl->parent;
}
bool Window::IsTopLevel() const
{
    return m_impl->IsTop();
}

void Window::Show(bool show)
{
    Fl_Group* n = m_impl->native;
    if (!n)
        return;
    if (show) {
        n->show();
        if (m_impl->IsTop()) {
            // Without a window manager nothing else would map and paint it before the next
            // message is handled; waiting here makes the window usable at once.
            static_cast<Fl_Window*>(n)->wait_for_expose();
            // A top-level window of an owner (a find dialog) belongs to it: the desktop keeps
            // it above the owner and does not list it as a window of its own.
            const Window* owner = m_impl->owner ? m_impl->owner : m_impl->parent;
            auto* ownerTop =
                owner ? static_cast<Fl_Window*>(detail::NativeTopWindow(*owner)) : nullptr;
            if (ownerTop && ownerTop->shown() && fl_xid(static_cast<Fl_Window*>(n)))
                XSetTransientForHint(fl_display, fl_xid(static_cast<Fl_Window*>(n)),
                                     fl_xid(ownerTop));
        }
    } else {
        n->hide();
    }
}

bool Window::IsVisible() const
{
    Fl_Group* n = m_impl->native;
    if (!n)
        return false;
    if (m_impl->IsTop())
        return static_cast<Fl_Window*>(n)->shown() && n->visible();
    return n->visible_r();
}

void Window::Enable(bool enable)
{
    if (Fl_Group* n = m_impl->native) {
        if (enable)
            n->activate();
        else
            n->deactivate();
    }
}

bool Window::IsEnabled() const
{
    return m_impl->native && m_impl->native->active();
}

void Window::SetTitle(const std::string& title)
{
    if (m_impl->native && m_impl->IsTop())
        m_impl->native->copy_label(title.c_str());
}

std::string Window::GetTitle() const
{
    if (m_impl->native && m_impl->IsTop() && m_impl->native->label())
        return m_impl->native->label();
    return {};
}

void Window::SetIcon(const Image& icon)
{
    if (!m_impl->native || !m_impl->IsTop() || !icon.IsValid())
        return;
    const Size s = icon.GetSize();
    const std::vector<uint8_t> rgba = icon.ToRGBA();
    // The window copies the icon's pixels, so a temporary picture does.
    Fl_RGB_Image img(rgba.data(), s.cx, s.cy, 4);
    static_cast<Fl_Window*>(m_impl->native)->icon(&img);
}

Rect Window::GetClientRect() const
{
    return m_impl->ClientRect();
}

Rect Window::GetWindowRect() const
{
    Fl_Group* n = m_impl->native;
    if (!n)
        return {};
    const Point tl = ClientToScreen({-m_impl->Border(), -m_impl->Border()});
    return Rect::FromXYWH(tl.x, tl.y, n->w(), n->h());
}

void Window::Move(const Rect& rect)
{
    Fl_Group* n = m_impl->native;
    if (!n)
        return;
    const int b = m_impl->Border();
    // Room is left for the border, which counts in the window's extent.
    const int w = std::clamp(rect.Width(), 1, kMaxWindowExtent - 2);
    const int h = std::clamp(rect.Height(), 1, kMaxWindowExtent - 2);
    if (m_impl->IsTop()) {
        auto* win = static_cast<Fl_Window*>(n);
        if (!(m_impl->style & WindowStyle::kSizable))
            win->size_range(w + 2 * b, h + 2 * b, w + 2 * b, h + 2 * b);
        n->resize(rect.left - b, rect.top - b, w + 2 * b, h + 2 * b);
    } else {
        const Point po = m_impl->parent ? m_impl->parent->m_impl->ClientOrigin() : Point{};
        n->resize(po.x + rect.left, po.y + rect.top, w, h);
        if (Fl_Group* p = n->parent())
            p->redraw();
    }
    n->redraw();
}

Point Window::ClientToScreen(Point p) const
{
    Fl_Window* top = m_impl->TopWindow();
    if (!top)
        return p;
    const Point o = m_impl->ClientOrigin();
    return {top->x() + o.x + p.x, top->y() + o.y + p.y};
}

Point Window::ScreenToClient(Point p) const
{
    const Point zero = ClientToScreen({0, 0});
    return {p.x - zero.x, p.y - zero.y};
}

void Window::Invalidate()
{
    if (m_impl->native)
        m_impl->native->redraw();
}

void Window::Invalidate(const Rect&)
{
    Invalidate();
}

void Window::Update()
{
    if (m_impl->native && HasDisplay())
        Fl::flush();
}

void Window::SetBkColor(ColorRef c)
{
    m_impl->bk = c;
}

void Window::SetFocus()
{
    Fl_Group* n = m_impl->native;
    if (!n || Fl::focus() == n)
        return;
    if (m_impl->IsTop()) {
        n->take_focus();
        return;
    }
    // Asking the widget directly makes it take the focus even when it has child controls, and
    // even when it is no tab stop (the toolkit refuses the focus to those otherwise).
    const bool saved = m_impl->hasFocus;
    const bool tabStop = n->visible_focus() != 0;
    m_impl->hasFocus = false;
    n->set_visible_focus();
    struct Restore
    {
        Fl_Widget* w;
        bool tabStop;
        ~Restore()
        {
            if (!tabStop)
                w->clear_visible_focus();
        }
    } restore{n, tabStop};
    if (m_impl->HasChildControls()) {
        // A window with child controls would pass FL_FOCUS on to them, so the focus is set
        // here directly.
        Fl_Widget* old = Fl::focus();
        Fl::focus(n);
        m_impl->GainFocus(old);
        return;
    }
    if (!n->take_focus())
        m_impl->hasFocus = saved;
}

bool Window::HasFocus() const
{
    return m_impl->native && Fl::focus() == m_impl->native && m_impl->hasFocus;
}

Window* Window::GetFocus()
{
    Window* w = detail::WindowFromNative(Fl::focus());
    return (w && w->m_impl->hasFocus) ? w : nullptr;
}

void Window::SetCapture()
{
    if (!m_impl->native || Impl::s_capture == this)
        return;
    Window* old = Impl::s_capture;
    Impl::s_capture = this;
    if (old && old->m_impl->native) {
        Message m;
        m.kind = Msg::CaptureChanged;
        m.other = this;
        old->m_impl->Send(m);
    }
}

void Window::ReleaseCapture()
{
    Window* old = Impl::s_capture;
    if (!old)
        return;
    Impl::s_capture = nullptr;
    if (old->m_impl->native) {
        Message m;
        m.kind = Msg::CaptureChanged;
        old->m_impl->Send(m);
    }
}

Window* Window::GetCapture()
{
    return Impl::s_capture;
}

void Window::SetCursor(const Cursor& cursor)
{
    m_impl->ApplyCursor(cursor);
}

void Window::SetClassCursor(const Cursor& cursor)
{
    m_impl->classCursor = cursor;
}

bool Window::SetTimer(uint32_t id, uint32_t periodMs)
{
    if (!m_impl->native)
        return false;
    KillTimer(id);
    auto rec = std::make_unique<Impl::TimerRec>();
    rec->owner = m_impl.get();
    rec->id = id;
    rec->periodMs = std::max(1u, periodMs);
    Fl::add_timeout(rec->periodMs / 1000.0, WindowTimerCallback, rec.get());
    m_impl->timers[id] = std::move(rec);
    return true;
}

bool Window::KillTimer(uint32_t id)
{
    auto it = m_impl->timers.find(id);
    if (it == m_impl->timers.end())
        return false;
    Fl::remove_timeout(WindowTimerCallback, it->second.get());
    m_impl->timers.erase(it);
    return true;
}

void Window::CreateCaret(Size size)
{
    m_impl->caretCreated = true;
    m_impl->caretSize = size;
    m_impl->caretShow = 0;
    if (HasFocus())
        m_impl->RestartCaretBlink();
}

void Window::SetCaretPos(Point p)
{
    m_impl->caretPos = p;
    m_impl->caretPhase = true;
    if (m_impl->caretCreated && m_impl->caretShow > 0)
        Invalidate();
}

void Window::ShowCaret(bool show)
{
    m_impl->caretShow = show ? 1 : 0;
    Invalidate();
}

void Window::DestroyCaret()
{
    m_impl->caretCreated = false;
    m_impl->StopCaretBlink();
    Invalidate();
}

} // namespace plat
