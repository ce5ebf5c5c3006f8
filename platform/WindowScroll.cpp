// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/WindowImpl.h"

// The scroll bars of a window: created with the window when its style asks for them, hidden
// until shown, laid out along the client area's right and bottom edges.

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Scrollbar.H>
#include <algorithm>

namespace plat {
namespace detail {

namespace {

// The last position: the thumb then shows the last page.
int MaxScrollPos(const ScrollInfo& s)
{
    return std::max(s.min, s.max - std::max(s.page, 1) + 1);
}

} // namespace

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
                const int maxPos = MaxScrollPos(s);
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
        m_owner->Send(m);
        return *alive && m_owner;
    }

    Window::Impl* m_owner;
    ScrollBar m_which;
    bool m_tracking = false;
    int m_grab = 0;
    ScrollCode m_repeatCode = ScrollCode::LineDown;
};

} // namespace detail

void Window::Impl::CreateScrollBars()
{
    for (int i = 0; i < 2; ++i) {
        const bool want = style & (i == 0 ? WindowStyle::kHScroll : WindowStyle::kVScroll);
        if (!want)
            continue;
        auto* bar = new detail::ScrollBarWidget(this, ScrollBar(i), 0, 0, 10, 10);
        native->add(bar);
        barWidget[i] = bar;
        bar->hide();
    }
}

void Window::Impl::DetachScrollBars()
{
    for (detail::ScrollBarWidget*& w : barWidget) {
        if (w)
            w->Detach();
        w = nullptr;
    }
}

void Window::Impl::LayoutScrollBars()
{
    if (!native)
        return;
    const int sb = Fl::scrollbar_size();
    const Point o = ClientOrigin();
    const Rect c = ClientRect();
    for (int i = 0; i < 2; ++i) {
        detail::ScrollBarWidget* w = barWidget[i];
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
    const int maxPos = detail::MaxScrollPos(s);
    s.pos = std::max(s.min, std::min(maxPos, s.pos));
    s.trackPos = s.pos;
    m_impl->bars[int(bar)] = s;
    if (detail::ScrollBarWidget* w = m_impl->barWidget[int(bar)])
        w->Sync();
}

ScrollInfo Window::GetScrollInfo(ScrollBar bar) const
{
    return m_impl->bars[int(bar)];
}

} // namespace plat
