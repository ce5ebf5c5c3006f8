#include "platform/Window.h"

#include "platform/Application.h"
#include "platform/DrawContext.h"
#include "platform/Image.h"
#include "platform/detail/CairoBridge.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <algorithm>
#include <cairo-xlib.h>
#include <cairo.h>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace plat {

namespace {

// Windows that are being handled right now; native widgets are not deleted under them.
int s_dispatchDepth = 0;
Window* s_capture = nullptr;

struct DispatchScope
{
    DispatchScope() { ++s_dispatchDepth; }
    ~DispatchScope() { --s_dispatchDepth; }
};

// Every native widget of a platform window carries this, so that a toolkit widget can be
// mapped back to its window.
struct NativeTag
{
    Window::Impl* owner = nullptr;
    virtual ~NativeTag() = default;
};

class ScrollBarWidget;

constexpr int kCaretBlinkMs = 530;

} // namespace

struct Window::Impl
{
    Window* self = nullptr;
    WindowCB* cb = nullptr;
    Fl_Group* native = nullptr;
    NativeTag* tag = nullptr;
    detail::NativeKind kind = detail::NativeKind::Child;
    Window* parent = nullptr;
    std::vector<Window*> children;
    int id = 0;
    uint32_t style = 0;
    ColorRef bk = 0xFFFFFF;
    Cursor classCursor;
    detail::WindowHooks* hooks = nullptr;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    bool hasFocus = false;
    Size lastSize;

    // Scroll bars: state kept here, widgets created with the window when asked by style.
    ScrollInfo bars[2];
    bool barShown[2] = {false, false};
    ScrollBarWidget* barWidget[2] = {nullptr, nullptr};

    struct TimerRec
    {
        Impl* owner = nullptr;
        uint32_t id = 0;
        uint32_t periodMs = 0;
    };
    std::map<uint32_t, std::unique_ptr<TimerRec>> timers;

    bool caretCreated = false;
    int caretShow = 0;
    bool caretPhase = true;
    Size caretSize;
    Point caretPos;

    ~Impl() { *alive = false; }

    int Border() const { return (style & WindowStyle::kBorder) ? 1 : 0; }
    bool IsTop() const { return kind != detail::NativeKind::Child; }

    // Origin of the client area in the coordinates of the toolkit window that holds it.
    Point ClientOrigin() const
    {
        if (!native)
            return {};
        const int b = Border();
        if (IsTop())
            return {b, b};
        return {native->x() + b, native->y() + b};
    }

    Rect ClientRect() const
    {
        if (!native)
            return {};
        const int sb = Fl::scrollbar_size();
        int w = native->w() - 2 * Border() - (barShown[1] ? sb : 0);
        int h = native->h() - 2 * Border() - (barShown[0] ? sb : 0);
        return {0, 0, std::max(0, w), std::max(0, h)};
    }

    Fl_Window* TopWindow() const
    {
        if (!native)
            return nullptr;
        if (IsTop())
            return static_cast<Fl_Window*>(native);
        return native->top_window();
    }

    void LayoutScrollBars();
    void ApplyCursor(const Cursor& c);
    void DetachNative(bool deleteWidget);
    void KillAllTimers();
    int Handle(int e, Fl_Group* widget, int (*base)(Fl_Group*, int));
    void Draw(Fl_Group* widget, bool full);
    void Resized();
    int HandleMouse(int e);
    int HandleKey(int e);
};

namespace {

// ---------------------------------------------------------------------------------------
// Sending messages

bool Send(Window::Impl& im, const Message& m)
{
    std::shared_ptr<bool> alive = im.alive;
    DispatchScope scope;
    WindowCB* cb = im.cb;
    const bool handled = cb->OnMessage(*im.self, m);
    return *alive && handled;
}

uint32_t KeysFromState(int state)
{
    uint32_t k = 0;
    if (state & FL_BUTTON1)
        k |= Keys::kLButton;
    if (state & FL_BUTTON3)
        k |= Keys::kRButton;
    if (state & FL_BUTTON2)
        k |= Keys::kMButton;
    if (state & FL_SHIFT)
        k |= Keys::kShift;
    if (state & FL_CTRL)
        k |= Keys::kControl;
    if (state & FL_ALT)
        k |= Keys::kAlt;
    return k;
}

int StateFromKeys(uint32_t k)
{
    int s = 0;
    if (k & Keys::kLButton)
        s |= FL_BUTTON1;
    if (k & Keys::kRButton)
        s |= FL_BUTTON3;
    if (k & Keys::kMButton)
        s |= FL_BUTTON2;
    if (k & Keys::kShift)
        s |= FL_SHIFT;
    if (k & Keys::kControl)
        s |= FL_CTRL;
    if (k & Keys::kAlt)
        s |= FL_ALT;
    return s;
}

// Toolkit key symbol to virtual key code.
uint32_t VirtualKeyOf(int k)
{
    if (k >= 'a' && k <= 'z')
        return uint32_t(k - 'a' + 'A');
    if (k >= '0' && k <= '9')
        return uint32_t(k);
    if (k >= FL_KP + '0' && k <= FL_KP + '9')
        return VK::kNumpad0 + uint32_t(k - FL_KP - '0');
    if (k >= FL_F + 1 && k <= FL_F + 24)
        return VK::kF1 + uint32_t(k - FL_F - 1);
    switch (k) {
    case FL_BackSpace:
        return VK::kBack;
    case FL_Tab:
        return VK::kTab;
    case FL_Enter:
    case FL_KP_Enter:
        return VK::kReturn;
    case FL_Shift_L:
    case FL_Shift_R:
        return VK::kShift;
    case FL_Control_L:
    case FL_Control_R:
        return VK::kControl;
    case FL_Alt_L:
    case FL_Alt_R:
        return VK::kMenu;
    case FL_Pause:
        return VK::kPause;
    case FL_Caps_Lock:
        return VK::kCapital;
    case FL_Escape:
        return VK::kEscape;
    case ' ':
        return VK::kSpace;
    case FL_Page_Up:
        return VK::kPrior;
    case FL_Page_Down:
        return VK::kNext;
    case FL_End:
        return VK::kEnd;
    case FL_Home:
        return VK::kHome;
    case FL_Left:
        return VK::kLeft;
    case FL_Up:
        return VK::kUp;
    case FL_Right:
        return VK::kRight;
    case FL_Down:
        return VK::kDown;
    case FL_Insert:
        return VK::kInsert;
    case FL_Delete:
        return VK::kDelete;
    case FL_KP + '*':
        return VK::kMultiply;
    case FL_KP + '+':
        return VK::kAdd;
    case FL_KP + '-':
        return VK::kSubtract;
    case FL_KP + '.':
        return VK::kDecimal;
    case FL_KP + '/':
        return VK::kDivide;
    case ';':
        return 0xBA;
    case '=':
        return 0xBB;
    case ',':
        return 0xBC;
    case '-':
        return 0xBD;
    case '.':
        return 0xBE;
    case '/':
        return 0xBF;
    case '`':
        return 0xC0;
    case '[':
        return 0xDB;
    case '\\':
        return 0xDC;
    case ']':
        return 0xDD;
    case '\'':
        return 0xDE;
    default:
        return uint32_t(k) & 0xFF;
    }
}

// Virtual key code to toolkit key symbol (for injected keys).
int KeySymOf(uint32_t vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return int(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9')
        return int(vk);
    if (vk >= VK::kNumpad0 && vk <= VK::kNumpad0 + 9)
        return FL_KP + '0' + int(vk - VK::kNumpad0);
    if (vk >= VK::kF1 && vk <= VK::kF1 + 23)
        return FL_F + 1 + int(vk - VK::kF1);
    for (int k : {FL_BackSpace, FL_Tab,    FL_Enter, FL_Shift_L, FL_Control_L, FL_Alt_L,  FL_Pause,
                  FL_Caps_Lock, FL_Escape, int(' '), FL_Page_Up, FL_Page_Down, FL_End,    FL_Home,
                  FL_Left,      FL_Up,     FL_Right, FL_Down,    FL_Insert,    FL_Delete, int(';'),
                  int('='),     int(','),  int('-'), int('.'),   int('/'),     int('`'),  int('['),
                  int('\\'),    int(']'),  int('\'')})
        if (VirtualKeyOf(k) == vk)
            return k;
    return int(vk);
}

// The characters a key press yields, as a message loop translating keys would deliver them:
// Ctrl+letter gives the control character, Enter 13, Backspace 8, Tab 9, Escape 27.
std::vector<uint32_t> CharactersOf(int key, int state, const char* text, int len)
{
    std::vector<uint32_t> out;
    const bool ctrl = (state & FL_CTRL) != 0;
    if (ctrl && key >= 'a' && key <= 'z') {
        out.push_back(uint32_t(key - 'a' + 1));
        return out;
    }
    switch (key) {
    case FL_Enter:
    case FL_KP_Enter:
        out.push_back(13);
        return out;
    case FL_BackSpace:
        out.push_back(8);
        return out;
    case FL_Tab:
        out.push_back(9);
        return out;
    case FL_Escape:
        out.push_back(27);
        return out;
    default:
        break;
    }
    if (ctrl || !text)
        return out;
    // Decode the UTF-8 text of the key; control characters and DEL are not characters here.
    for (int i = 0; i < len;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t cp = c;
        int n = 1;
        if (c >= 0xF0 && i + 3 < len + 0) {
            cp = (c & 0x07u) << 18 | (text[i + 1] & 0x3Fu) << 12 | (text[i + 2] & 0x3Fu) << 6 |
                 (text[i + 3] & 0x3Fu);
            n = 4;
        } else if (c >= 0xE0 && i + 2 < len) {
            cp = (c & 0x0Fu) << 12 | (text[i + 1] & 0x3Fu) << 6 | (text[i + 2] & 0x3Fu);
            n = 3;
        } else if (c >= 0xC0 && i + 1 < len) {
            cp = (c & 0x1Fu) << 6 | (text[i + 1] & 0x3Fu);
            n = 2;
        }
        i += n;
        if (cp >= 32 && cp != 127)
            out.push_back(cp);
    }
    return out;
}

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
// Scroll bars that report like a window's own scroll bars: they do not move by themselves,
// they send scroll codes and the owner sets the position.

class ScrollBarWidget : public Fl_Scrollbar
{
public:
    ScrollBarWidget(Window::Impl* owner, ScrollBar which, int x, int y, int w, int h)
        : Fl_Scrollbar(x, y, w, h)
        , m_owner(owner)
        , m_which(which)
    {
        type(which == ScrollBar::Vertical ? FL_VERTICAL : FL_HORIZONTAL);
        clear_visible_focus();
    }
    ~ScrollBarWidget() override { Fl::remove_timeout(Repeat, this); }

    void Detach()
    {
        m_owner = nullptr;
        Fl::remove_timeout(Repeat, this);
    }
    void Sync()
    {
        if (!m_owner)
            return;
        const ScrollInfo& s = m_owner->bars[int(m_which)];
        const int total = std::max(1, s.max - s.min + 1);
        const int page = std::max(1, std::min(s.page, total));
        Fl_Scrollbar::value(m_tracking ? s.trackPos : s.pos, page, s.min, total);
        redraw();
    }

    int handle(int e) override
    {
        if (!m_owner)
            return 0;
        const bool vert = m_which == ScrollBar::Vertical;
        const int along = vert ? Fl::event_y() - y() : Fl::event_x() - x();
        const int len = vert ? h() : w(), thick = vert ? w() : h();
        const ScrollInfo& s = m_owner->bars[int(m_which)];
        switch (e) {
        case FL_PUSH: {
            int arrow = len >= 3 * thick ? thick : 0;
            int thumbStart = 0, thumbLen = 0;
            Thumb(arrow, len, thumbStart, thumbLen);
            if (along < arrow)
                return Start(ScrollCode::LineUp);
            if (along >= len - arrow)
                return Start(ScrollCode::LineDown);
            if (along < thumbStart)
                return Start(ScrollCode::PageUp);
            if (along >= thumbStart + thumbLen)
                return Start(ScrollCode::PageDown);
            m_tracking = true;
            m_grab = along - thumbStart;
            m_owner->bars[int(m_which)].trackPos = s.pos;
            return 1;
        }
        case FL_DRAG:
            if (m_tracking) {
                int arrow = len >= 3 * thick ? thick : 0;
                int thumbStart = 0, thumbLen = 0;
                Thumb(arrow, len, thumbStart, thumbLen);
                const int travel = std::max(1, len - 2 * arrow - thumbLen);
                const int maxPos = std::max(s.min, s.max - std::max(s.page, 1) + 1);
                const double frac = double(along - m_grab - arrow) / travel;
                int pos = s.min + int(frac * (maxPos - s.min) + 0.5);
                pos = std::max(s.min, std::min(maxPos, pos));
                if (pos != s.trackPos) {
                    m_owner->bars[int(m_which)].trackPos = pos;
                    Sync();
                    SendScroll(ScrollCode::ThumbTrack, pos);
                }
            }
            return 1;
        case FL_RELEASE:
            Fl::remove_timeout(Repeat, this);
            if (m_tracking) {
                m_tracking = false;
                const int pos = s.trackPos;
                if (SendScroll(ScrollCode::ThumbPosition, pos))
                    SendScroll(ScrollCode::EndScroll, pos);
                Sync();
            } else if (m_owner) {
                SendScroll(ScrollCode::EndScroll, s.pos);
            }
            return 1;
        default:
            return 0;
        }
    }

private:
    void Thumb(int arrow, int len, int& start, int& size) const
    {
        const ScrollInfo& s = m_owner->bars[int(m_which)];
        const int trough = std::max(1, len - 2 * arrow);
        const int total = std::max(1, s.max - s.min + 1);
        const int page = std::max(1, std::min(s.page, total));
        const int thick = m_which == ScrollBar::Vertical ? w() : h();
        size = std::max(int(double(page) / total * trough + 0.5), thick / 2 + 1);
        size = std::min(size, trough);
        const int maxPos = std::max(s.min, s.max - page + 1);
        const double val = maxPos == s.min ? 0.0 : double(s.pos - s.min) / (maxPos - s.min);
        start = arrow + int(std::max(0.0, std::min(1.0, val)) * (trough - size) + 0.5);
    }
    int Start(ScrollCode code)
    {
        m_repeatCode = code;
        if (SendScroll(code, m_owner->bars[int(m_which)].pos))
            Fl::add_timeout(0.4, Repeat, this);
        return 1;
    }
    static void Repeat(void* data)
    {
        auto* self = static_cast<ScrollBarWidget*>(data);
        if (!self->m_owner)
            return;
        if (self->SendScroll(self->m_repeatCode, self->m_owner->bars[int(self->m_which)].pos))
            Fl::repeat_timeout(0.05, Repeat, data);
    }
    // Returns false when the window went away while handling the message.
    bool SendScroll(ScrollCode code, int pos)
    {
        if (!m_owner)
            return false;
        Message m;
        m.kind = m_which == ScrollBar::Vertical ? Msg::VScroll : Msg::HScroll;
        m.code = uint32_t(code);
        m.pos = pos;
        std::shared_ptr<bool> alive = m_owner->alive;
        Send(*m_owner, m);
        return *alive && m_owner;
    }

    Window::Impl* m_owner;
    ScrollBar m_which;
    bool m_tracking = false;
    int m_grab = 0;
    ScrollCode m_repeatCode = ScrollCode::LineDown;
};

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

    void DrawChildren() { Base::draw_children(); }
    void UpdateChildren()
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
    if (!Send(im, m) && tag->owner)
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
    Send(im, m);
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

void Window::Impl::LayoutScrollBars()
{
    if (!native)
        return;
    const int sb = Fl::scrollbar_size(), b = Border();
    const Point o = ClientOrigin();
    const Rect c = ClientRect();
    for (int i = 0; i < 2; ++i) {
        ScrollBarWidget* w = barWidget[i];
        if (!w)
            continue;
        if (!barShown[i]) {
            w->hide();
            continue;
        }
        if (i == 1)
            w->resize(o.x + c.Width(), o.y, sb, c.Height());
        else
            w->resize(o.x, o.y + c.Height(), c.Width(), sb);
        w->show();
        w->Sync();
    }
    (void)b;
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
    Fl::remove_timeout(CaretBlink, this);
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
    for (ScrollBarWidget*& w : barWidget) {
        if (w)
            w->Detach();
        w = nullptr;
    }
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
    Send(*this, m);
}

void Window::Impl::Draw(Fl_Group* widget, bool full)
{
    auto* nw = dynamic_cast<NativeChild*>(widget);
    auto* nt = dynamic_cast<NativeTop*>(widget);
    if (!full) {
        if (nw)
            nw->UpdateChildren();
        else if (nt)
            nt->UpdateChildren();
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
    if (nw)
        nw->DrawChildren();
    else if (nt)
        nt->DrawChildren();
    fl_pop_clip();
}

int Window::Impl::HandleMouse(int e)
{
    Message m;
    detail::FillPointer(*self, m);
    const int button = Fl::event_button();
    const bool dbl = Fl::event_clicks() > 0;
    switch (e) {
    case FL_PUSH:
        m.kind = button == FL_RIGHT_MOUSE    ? (dbl ? Msg::RButtonDblClk : Msg::RButtonDown)
                 : button == FL_MIDDLE_MOUSE ? Msg::MButtonDown
                                             : (dbl ? Msg::LButtonDblClk : Msg::LButtonDown);
        m.keys |= button == FL_RIGHT_MOUSE    ? Keys::kRButton
                  : button == FL_MIDDLE_MOUSE ? Keys::kMButton
                                              : Keys::kLButton;
        break;
    case FL_RELEASE:
        m.kind = button == FL_RIGHT_MOUSE    ? Msg::RButtonUp
                 : button == FL_MIDDLE_MOUSE ? Msg::MButtonUp
                                             : Msg::LButtonUp;
        m.keys &= ~(button == FL_RIGHT_MOUSE    ? Keys::kRButton
                    : button == FL_MIDDLE_MOUSE ? Keys::kMButton
                                                : Keys::kLButton);
        break;
    case FL_MOUSEWHEEL:
        if (Fl::event_dy() == 0)
            return 0;
        m.kind = Msg::MouseWheel;
        m.wheelDelta = -Fl::event_dy() * 120;
        return Send(*this, m) ? 1 : 0;
    default:
        m.kind = Msg::MouseMove;
        break;
    }
    std::shared_ptr<bool> aliveFlag = alive;
    if (s_capture != self && m.kind != Msg::LButtonUp && m.kind != Msg::RButtonUp &&
        m.kind != Msg::MButtonUp) {
        // The cursor is asked for before every mouse message except while captured.
        Message sc = m;
        sc.kind = Msg::SetCursor;
        sc.code = uint32_t(m.kind);
        if (!Send(*this, sc)) {
            if (!*aliveFlag)
                return 1;
            ApplyCursor(classCursor);
        }
    }
    if (!*aliveFlag)
        return 1;
    Send(*this, m);
    return 1;
}

int Window::Impl::HandleKey(int e)
{
    const int key = Fl::event_key();
    const int state = Fl::event_state();
    const bool alt = (state & FL_ALT) != 0;
    Message m;
    detail::FillPointer(*self, m);
    m.key = VirtualKeyOf(key);
    if (e == FL_KEYUP) {
        m.kind = alt ? Msg::SysKeyUp : Msg::KeyUp;
        return Send(*this, m) ? 1 : 0;
    }
    m.kind = alt ? Msg::SysKeyDown : Msg::KeyDown;
    std::shared_ptr<bool> aliveFlag = alive;
    bool handled = Send(*this, m);
    if (!*aliveFlag)
        return 1;
    for (uint32_t ch : CharactersOf(key, state, Fl::event_text(), Fl::event_length())) {
        Message c = m;
        c.kind = alt ? Msg::SysChar : Msg::Char;
        c.key = ch;
        handled = Send(*this, c) || handled;
        if (!*aliveFlag)
            return 1;
    }
    return handled ? 1 : 0;
}

namespace {

// Whether the pointer is over a visible child (control, scroll bar or child window).
bool ChildUnderMouse(Fl_Group* g)
{
    for (int i = g->children(); i--;) {
        Fl_Widget* c = g->child(i);
        if (c->visible() && Fl::event_inside(c))
            return true;
    }
    return false;
}

} // namespace

int Window::Impl::Handle(int e, Fl_Group* widget, int (*base)(Fl_Group*, int))
{
    const bool mouse =
        e == FL_PUSH || e == FL_RELEASE || e == FL_DRAG || e == FL_MOVE || e == FL_MOUSEWHEEL;
    // Mouse capture: input that reaches any window of the same top-level goes to the holder.
    if (mouse && s_capture && s_capture != self && s_capture->m_impl && s_capture->m_impl->native &&
        s_capture->m_impl->TopWindow() == TopWindow())
        return s_capture->m_impl->HandleMouse(e);
    if (mouse && s_capture == self)
        return HandleMouse(e);

    switch (e) {
    case FL_PUSH:
    case FL_MOUSEWHEEL:
        if (ChildUnderMouse(widget) && base(widget, e))
            return 1; // a child window or control took it
        if (!widget->active_r())
            return 0;
        return HandleMouse(e);
    case FL_MOVE:
    case FL_ENTER:
        if (ChildUnderMouse(widget))
            return base(widget, e);
        Fl::belowmouse(widget);
        HandleMouse(FL_MOVE);
        return 1;
    case FL_DRAG:
    case FL_RELEASE:
        return HandleMouse(e);
    case FL_LEAVE:
        base(widget, e);
        return 1;
    case FL_FOCUS: {
        // Windows with controls pass the focus on to them; plain windows take it.
        const int own = (barWidget[0] ? 1 : 0) + (barWidget[1] ? 1 : 0);
        if (widget->children() > own && !hasFocus)
            return base(widget, e);
        if (!widget->active_r())
            return 0;
        if (hasFocus && Fl::focus() == widget)
            return 1;
        Fl_Widget* old = Fl::focus();
        if (old != widget)
            Fl::focus(widget); // the old holder gets FL_UNFOCUS, and so KillFocus, first
        hasFocus = true;
        caretPhase = true;
        Fl::remove_timeout(CaretBlink, this);
        if (caretCreated)
            Fl::add_timeout(kCaretBlinkMs / 1000.0, CaretBlink, this);
        Message m;
        m.kind = Msg::SetFocus;
        m.other = old != widget ? detail::WindowFromNative(old) : nullptr;
        detail::FillPointer(*self, m);
        Send(*this, m);
        if (native)
            native->redraw();
        return 1;
    }
    case FL_UNFOCUS: {
        if (!hasFocus)
            return base(widget, e);
        hasFocus = false;
        Fl::remove_timeout(CaretBlink, this);
        Message m;
        m.kind = Msg::KillFocus;
        m.other = detail::WindowFromNative(Fl::focus());
        detail::FillPointer(*self, m);
        Send(*this, m);
        if (native)
            native->redraw();
        return 1;
    }
    case FL_KEYBOARD:
    case FL_KEYUP:
        if (Fl::focus() == widget && hasFocus) {
            if (HandleKey(e))
                return 1;
            // Only Tab moves the focus on from a window that did not use the key.
            if (e == FL_KEYUP || Fl::event_key() != FL_Tab)
                return 0;
        }
        return base(widget, e);
    case FL_SHORTCUT:
        if (IsTop()) {
            if (hooks &&
                hooks->OnUnusedKey(VirtualKeyOf(Fl::event_key()), KeysFromState(Fl::event_state())))
                return 1;
            if (base(widget, e))
                return 1;
            // Escape would close a plain top-level window; only dialogs close on it.
            return Fl::event_key() == FL_Escape ? 1 : 0;
        }
        return base(widget, e);
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE:
        if (style & WindowStyle::kAcceptFiles)
            return 1;
        return base(widget, e);
    case FL_PASTE: {
        if (!(style & WindowStyle::kAcceptFiles))
            return base(widget, e);
        Message m;
        m.kind = Msg::DropFiles;
        detail::FillPointer(*self, m);
        // The drop arrives as a list of URIs, one per line.
        std::string text(Fl::event_text() ? Fl::event_text() : "", size_t(Fl::event_length()));
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find_first_of("\r\n", start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            start = end + 1;
            if (line.empty())
                continue;
            if (line.compare(0, 7, "file://") == 0) {
                line.erase(0, 7);
                if (!line.empty() && line[0] != '/') {
                    const size_t slash = line.find('/'); // a host name precedes the path
                    line = slash == std::string::npos ? std::string() : line.substr(slash);
                }
            }
            std::string decoded;
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '%' && i + 2 < line.size() && isxdigit((unsigned char)line[i + 1]) &&
                    isxdigit((unsigned char)line[i + 2])) {
                    decoded += char(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                    i += 2;
                } else {
                    decoded += line[i];
                }
            }
            if (!decoded.empty())
                m.files.push_back(decoded);
        }
        if (!m.files.empty())
            Send(*this, m);
        return 1;
    }
    default:
        return base(widget, e);
    }
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
    Window::Impl& im = *wnd.GetImpl();
    if (im.native || !InitDisplay())
        return false;
    if (kind == NativeKind::Child && (!parent || !parent->GetImpl()->native))
        return false;
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    const int w = std::max(1, rect.Width()), h = std::max(1, rect.Height());
    im.kind = kind;
    im.style = style;
    im.id = id;
    const int b = (style & WindowStyle::kBorder) ? 1 : 0;
    if (kind == NativeKind::Child) {
        Window::Impl& pim = *parent->GetImpl();
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
            parent->GetImpl()->children.push_back(&wnd);
        }
    }
    im.native->box(FL_NO_BOX);
    for (int i = 0; i < 2; ++i) {
        const bool want = style & (i == 0 ? WindowStyle::kHScroll : WindowStyle::kVScroll);
        if (!want)
            continue;
        auto* bar = new ScrollBarWidget(&im, ScrollBar(i), 0, 0, 10, 10);
        im.native->add(bar);
        im.barWidget[i] = bar;
        bar->hide();
    }
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
    Send(im, m);
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
    return wnd.GetImpl()->native;
}

void* NativeTopWindow(const Window& wnd)
{
    return wnd.GetImpl()->TopWindow();
}

void SetHooks(Window& wnd, WindowHooks* hooks)
{
    wnd.GetImpl()->hooks = hooks;
}

std::shared_ptr<bool> AliveToken(const Window& wnd)
{
    return wnd.GetImpl()->alive;
}

bool SendMessage(Window& wnd, const Message& msg)
{
    return Send(*wnd.GetImpl(), msg);
}

void FillPointer(const Window& wnd, Message& msg)
{
    const Window::Impl& im = *wnd.GetImpl();
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
    Send(*m_impl, m);
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
    const int w = std::max(1, rect.Width()), h = std::max(1, rect.Height());
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
    const int own = (m_impl->barWidget[0] ? 1 : 0) + (m_impl->barWidget[1] ? 1 : 0);
    if (n->children() > own) {
        // A window with child controls would pass FL_FOCUS on to them, so the focus is set
        // here directly.
        Fl_Widget* old = Fl::focus();
        Fl::focus(n);
        m_impl->hasFocus = true;
        m_impl->caretPhase = true;
        Fl::remove_timeout(CaretBlink, m_impl.get());
        if (m_impl->caretCreated)
            Fl::add_timeout(kCaretBlinkMs / 1000.0, CaretBlink, m_impl.get());
        Message m;
        m.kind = Msg::SetFocus;
        m.other = detail::WindowFromNative(old);
        detail::FillPointer(*this, m);
        Send(*m_impl, m);
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
    if (!m_impl->native || s_capture == this)
        return;
    Window* old = s_capture;
    s_capture = this;
    if (old && old->m_impl->native) {
        Message m;
        m.kind = Msg::CaptureChanged;
        m.other = this;
        Send(*old->m_impl, m);
    }
}

void Window::ReleaseCapture()
{
    Window* old = s_capture;
    if (!old)
        return;
    s_capture = nullptr;
    if (old->m_impl->native) {
        Message m;
        m.kind = Msg::CaptureChanged;
        Send(*old->m_impl, m);
    }
}

Window* Window::GetCapture()
{
    return s_capture;
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

void Window::ShowScrollBar(ScrollBar bar, bool show)
{
    const int i = int(bar);
    if (!m_impl->barWidget[i] || m_impl->barShown[i] == show)
        return;
    m_impl->barShown[i] = show;
    m_impl->Resized();
    Invalidate();
}

bool Window::IsScrollBarVisible(ScrollBar bar) const
{
    return m_impl->barShown[int(bar)];
}

void Window::SetScrollInfo(ScrollBar bar, const ScrollInfo& info)
{
    ScrollInfo s = info;
    if (s.max < s.min)
        s.max = s.min;
    s.page = std::max(0, std::min(s.page, s.max - s.min + 1));
    const int maxPos = std::max(s.min, s.max - std::max(s.page, 1) + 1);
    s.pos = std::max(s.min, std::min(maxPos, s.pos));
    s.trackPos = s.pos;
    m_impl->bars[int(bar)] = s;
    if (ScrollBarWidget* w = m_impl->barWidget[int(bar)])
        w->Sync();
}

ScrollInfo Window::GetScrollInfo(ScrollBar bar) const
{
    return m_impl->bars[int(bar)];
}

void Window::CreateCaret(Size size)
{
    m_impl->caretCreated = true;
    m_impl->caretSize = size;
    m_impl->caretShow = 0;
    if (HasFocus()) {
        Fl::remove_timeout(CaretBlink, m_impl.get());
        Fl::add_timeout(kCaretBlinkMs / 1000.0, CaretBlink, m_impl.get());
    }
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
    Fl::remove_timeout(CaretBlink, m_impl.get());
    Invalidate();
}

// ---------------------------------------------------------------------------------------
// Input injection for tests

namespace test {
namespace {

char s_text[8];

bool Place(Window& wnd, Point pt, Fl_Window*& top)
{
    Window::Impl* im = wnd.GetImpl();
    top = im->TopWindow();
    if (!top)
        return false;
    const Point o = im->ClientOrigin();
    Fl::e_x = o.x + pt.x;
    Fl::e_y = o.y + pt.y;
    Fl::e_x_root = top->x() + Fl::e_x;
    Fl::e_y_root = top->y() + Fl::e_y;
    return true;
}

int ButtonNumber(Button b)
{
    return b == Button::Right    ? FL_RIGHT_MOUSE
           : b == Button::Middle ? FL_MIDDLE_MOUSE
                                 : FL_LEFT_MOUSE;
}

int ButtonState(Button b)
{
    return b == Button::Right ? FL_BUTTON3 : b == Button::Middle ? FL_BUTTON2 : FL_BUTTON1;
}

} // namespace

void MouseMove(Window& wnd, Point pt, uint32_t keys)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_state = StateFromKeys(keys);
    Fl::e_is_click = 0;
    Fl::handle(Fl::pushed() ? FL_DRAG : FL_MOVE, top);
}

void MouseDown(Window& wnd, Point pt, Button b, uint32_t keys, bool doubleClick)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_state = StateFromKeys(keys) | ButtonState(b);
    Fl::e_keysym = FL_Button + ButtonNumber(b);
    Fl::e_clicks = doubleClick ? 1 : 0;
    Fl::e_is_click = 1;
    Fl::handle(FL_PUSH, top);
}

void MouseUp(Window& wnd, Point pt, Button b, uint32_t keys)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_state = StateFromKeys(keys);
    Fl::e_keysym = FL_Button + ButtonNumber(b);
    Fl::handle(FL_RELEASE, top);
    Fl::e_clicks = 0;
}

void Click(Window& wnd, Point pt, Button b, uint32_t keys)
{
    MouseMove(wnd, pt, keys);
    MouseDown(wnd, pt, b, keys);
    MouseUp(wnd, pt, b, keys);
}

void Drag(Window& wnd, Point from, Point to, int steps)
{
    MouseMove(wnd, from);
    MouseDown(wnd, from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        const Point p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        Fl_Window* top = nullptr;
        if (!Place(wnd, p, top))
            return;
        Fl::e_state = FL_BUTTON1;
        Fl::e_is_click = 0;
        Fl::handle(FL_DRAG, top);
    }
    MouseUp(wnd, to);
}

void Wheel(Window& wnd, Point pt, int delta)
{
    Fl_Window* top = nullptr;
    if (!Place(wnd, pt, top))
        return;
    Fl::e_dx = 0;
    Fl::e_dy = -delta / 120;
    Fl::e_state = 0;
    Fl::handle(FL_MOUSEWHEEL, top);
}

namespace {

void SendKey(Fl_Window* top, int keysym, int state, const std::string& text)
{
    std::snprintf(s_text, sizeof s_text, "%s", text.c_str());
    Fl::e_keysym = keysym;
    Fl::e_original_keysym = keysym;
    Fl::e_state = state;
    Fl::e_text = s_text;
    Fl::e_length = int(std::strlen(s_text));
    Fl::handle(FL_KEYBOARD, top);
    s_text[0] = 0;
    Fl::e_length = 0;
    Fl::handle(FL_KEYUP, top);
}

} // namespace

void PressKey(Window& wnd, uint32_t vk, uint32_t keys)
{
    Fl_Window* top = wnd.GetImpl()->TopWindow();
    if (!top)
        return;
    const int sym = KeySymOf(vk);
    const int state = StateFromKeys(keys);
    std::string text;
    if (keys & Keys::kControl) {
        if (sym >= 'a' && sym <= 'z')
            text = std::string(1, char(sym - 'a' + 1));
    } else if (sym >= 'a' && sym <= 'z') {
        text = std::string(1, char((keys & Keys::kShift) ? sym - 'a' + 'A' : sym));
    } else if (sym >= 32 && sym < 127) {
        text = std::string(1, char(sym));
    } else if (sym == FL_Enter) {
        text = "\r";
    } else if (sym == FL_BackSpace) {
        text = "\b";
    } else if (sym == FL_Tab) {
        text = "\t";
    } else if (sym == FL_Escape) {
        text = "\x1b";
    }
    SendKey(top, sym, state, text);
}

bool PressKeyInActiveWindow(uint32_t vk, uint32_t keys)
{
    Fl_Window* top = Fl::grab() ? Fl::grab() : Fl::first_window();
    if (!top)
        return false;
    SendKey(top, KeySymOf(vk), StateFromKeys(keys), "");
    return true;
}

void TypeText(Window& wnd, const std::string& text)
{
    Fl_Window* top = wnd.GetImpl()->TopWindow();
    if (!top)
        return;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const std::string ch = text.substr(i, n);
        i += n;
        if (c == '\n' || c == '\r') {
            SendKey(top, FL_Enter, 0, "\r");
            continue;
        }
        int sym = c < 0x80 ? int(c) : 0;
        int state = 0;
        if (c >= 'A' && c <= 'Z') {
            sym = c - 'A' + 'a';
            state = FL_SHIFT;
        }
        SendKey(top, sym, state, ch);
    }
}

void DropFiles(Window& wnd, Point pt, const std::vector<std::string>& paths)
{
    Fl_Window* top = nullptr;
    Fl_Group* n = wnd.GetImpl()->native;
    if (!n || !Place(wnd, pt, top))
        return;
    std::string uris;
    for (const std::string& p : paths)
        uris += "file://" + p + "\r\n";
    n->handle(FL_DND_ENTER);
    n->handle(FL_DND_RELEASE);
    std::vector<char> buf(uris.begin(), uris.end());
    buf.push_back(0);
    Fl::e_text = buf.data();
    Fl::e_length = int(uris.size());
    n->handle(FL_PASTE);
    Fl::e_text = s_text;
    Fl::e_length = 0;
}

} // namespace test
} // namespace plat
