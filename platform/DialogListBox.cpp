// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/DialogControl.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>

// List boxes with single or extended selection. Items live in the widget (its lines count
// from 1; indexes here count from 0).

namespace plat::detail {

namespace {

class ListWidget : public Fl_Browser, public ControlTag
{
public:
    ListWidget(const Rect& area, bool multi, int fontPx)
        : Fl_Browser(area.left, area.top, area.Width(), area.Height())
    {
        type(multi ? FL_MULTI_BROWSER : FL_HOLD_BROWSER);
        format_char(0);
        column_char(0);
        has_scrollbar(Fl_Browser_::VERTICAL);
        textsize(fontPx);
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
            SendNotification(this, e == FL_FOCUS ? Notify::kLbnSetFocus : Notify::kLbnKillFocus);
            return r;
        }
        if (Selection() != before && !SendNotification(this, Notify::kLbnSelChange))
            return r;
        if (dbl)
            SendNotification(this, Notify::kLbnDblClk);
        return r;
    }
};

class ListBoxControl : public DialogControl
{
public:
    ListBoxControl(DialogHost& host, const ControlTemplate& ct, const Rect& area)
        : DialogControl(host, ct)
    {
        m_list = new ListWidget(area, (ct.style & ControlStyle::kExtendedSel) != 0, host.FontPx());
        Attach(m_list, m_list);
    }

    std::string GetText() const override
    {
        const int v = m_list->value();
        return v > 0 && m_list->text(v) ? m_list->text(v) : std::string();
    }
    void ResetContent() override
    {
        m_list->clear();
        m_list->redraw();
    }
    int AddString(const std::string& text) override
    {
        m_list->add(text.c_str());
        return m_list->size() - 1;
    }
    int GetCount() const override { return m_list->size(); }
    std::string GetItemText(int index) const override
    {
        const char* t = index >= 0 && index < m_list->size() ? m_list->text(index + 1) : nullptr;
        return t ? t : std::string();
    }
    void SetCurSel(int index) override
    {
        m_list->deselect();
        if (index >= 0 && index < m_list->size())
            m_list->select(index + 1);
    }
    int GetCurSel() const override
    {
        const std::vector<int> sel = GetSelItems();
        return sel.empty() ? -1 : sel.front();
    }
    void SetSel(int index, bool select) override
    {
        if (index == -1) {
            for (int i = 1; i <= m_list->size(); ++i)
                m_list->select(i, select ? 1 : 0);
        } else if (index >= 0 && index < m_list->size()) {
            if (select && m_list->type() == FL_HOLD_BROWSER)
                m_list->deselect();
            m_list->select(index + 1, select ? 1 : 0);
        }
    }
    std::vector<int> GetSelItems() const override
    {
        std::vector<int> out;
        for (int i = 1; i <= m_list->size(); ++i)
            if (m_list->selected(i))
                out.push_back(i - 1);
        return out;
    }

private:
    ListWidget* m_list;
};

} // namespace

ControlMaker* const MakeListBox = MakeControl<ListBoxControl>;

} // namespace plat::detail
