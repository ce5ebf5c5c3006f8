// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Menu.h"

#include "platform/Application.h"
#include "platform/TestSupport.h"
#include "platform/detail/NativeWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <algorithm>
#include <map>
#include <memory>

namespace plat {
namespace {

constexpr Fl_Labeltype kItemLabel = FL_FREE_LABELTYPE;
constexpr int kSwatchWidth = 60;

// What the menu's label drawing needs of an item; found by the label text pointer.
struct ItemData
{
    std::string label;    // text before the tab
    std::string shortcut; // text after the tab
    const MenuItem* item = nullptr;
};

std::map<const char*, const ItemData*>& Registry()
{
    static std::map<const char*, const ItemData*> registry;
    return registry;
}

Fl_Color ToFl(ColorRef c)
{
    return fl_rgb_color(RedOf(c), GreenOf(c), BlueOf(c));
}

ColorRef Dim(ColorRef c)
{
    // Disabled colour items are drawn with their colours scaled by two thirds.
    return Rgb(uint8_t(RedOf(c) * 2 / 3), uint8_t(GreenOf(c) * 2 / 3), uint8_t(BlueOf(c) * 2 / 3));
}

void DrawItemLabel(const Fl_Label* l, int x, int y, int w, int h, Fl_Align)
{
    auto it = Registry().find(l->value);
    if (it == Registry().end())
        return;
    const ItemData& d = *it->second;
    fl_font(l->font, l->size);
    int textX = x;
    if (d.item && d.item->colorItem) {
        const Size cm = GetMenuCheckMarkSize();
        const bool off = d.item->disabled || d.item->grayed;
        const int sy = y + (h - cm.cy) / 2;
        if (d.item->bgColor != kNoColor) {
            fl_color(ToFl(off ? Dim(d.item->bgColor) : d.item->bgColor));
            fl_rectf(x, sy, kSwatchWidth, cm.cy);
        }
        fl_color(ToFl(off ? Dim(d.item->color) : d.item->color));
        if (d.item->lineWidth > 0) {
            fl_line_style(FL_SOLID, d.item->lineWidth);
            fl_line(x + 2, sy + cm.cy / 2, x + kSwatchWidth - 3, sy + cm.cy / 2);
            fl_line_style(0);
        } else {
            fl_rectf(x + 2, sy + 2, kSwatchWidth - 4, cm.cy - 4);
        }
        textX += kSwatchWidth + 6;
    }
    fl_color(l->color);
    fl_draw(d.label.c_str(), textX, y, w - (textX - x), h, FL_ALIGN_LEFT | FL_ALIGN_CLIP, nullptr,
            0);
    if (!d.shortcut.empty())
        fl_draw(d.shortcut.c_str(), x, y, w - 4, h, FL_ALIGN_RIGHT | FL_ALIGN_CLIP, nullptr, 0);
}

void MeasureItemLabel(const Fl_Label* l, int& w, int& h)
{
    auto it = Registry().find(l->value);
    if (it == Registry().end()) {
        w = h = 0;
        return;
    }
    const ItemData& d = *it->second;
    fl_font(l->font, l->size);
    w = int(fl_width(d.label.c_str()));
    h = fl_height();
    if (!d.shortcut.empty())
        w += 30 + int(fl_width(d.shortcut.c_str()));
    if (d.item && d.item->colorItem) {
        w += kSwatchWidth + 6;
        h = std::max(h, GetMenuCheckMarkSize().cy);
    }
    // A menu is never wider than two thirds of the screen, whatever its texts: the rest of a
    // long text is cut off where the item ends.
    w = std::min(w, std::max(200, Fl::w() * 2 / 3));
}

// Builds the toolkit's item array: items, a zero item closing each submenu and the menu.
class MenuBuilder
{
public:
    explicit MenuBuilder(const std::vector<MenuItem>& items)
    {
        Count(items);
        m_data.reserve(m_count);
        m_menu.reserve(m_count * 2 + 2);
        Add(items);
        m_menu.push_back(Fl_Menu_Item{});
        for (ItemData& d : m_data)
            Registry()[d.label.c_str()] = &d;
    }
    ~MenuBuilder()
    {
        for (ItemData& d : m_data)
            Registry().erase(d.label.c_str());
    }
    const Fl_Menu_Item* Menu() const { return m_menu.data(); }
    bool Empty() const { return m_menu.size() <= 1; }
    // The item behind a chosen toolkit item.
    const MenuItem* ItemOf(const Fl_Menu_Item* m) const
    {
        if (!m || m < m_menu.data() || m >= m_menu.data() + m_menu.size() || !m->text)
            return nullptr;
        auto it = Registry().find(m->text);
        return it == Registry().end() ? nullptr : it->second->item;
    }

private:
    void Count(const std::vector<MenuItem>& items)
    {
        for (const MenuItem& i : items) {
            ++m_count;
            Count(i.children);
        }
    }
    void Add(const std::vector<MenuItem>& items)
    {
        for (const MenuItem& i : items) {
            if (i.kind == MenuItem::Kind::Separator) {
                // The toolkit draws a divider below an item; a leading one has none to go on.
                if (!m_menu.empty() && m_menu.back().text)
                    m_menu.back().flags |= FL_MENU_DIVIDER;
                continue;
            }
            m_data.emplace_back();
            ItemData& d = m_data.back();
            const size_t tab = i.text.find('\t');
            d.label = i.text.substr(0, tab);
            if (tab != std::string::npos)
                d.shortcut = i.text.substr(tab + 1);
            d.item = &i;
            if (d.label.empty())
                d.label = " "; // every item needs its own text pointer
            Fl_Menu_Item m{};
            m.text = d.label.c_str();
            m.labeltype_ = kItemLabel;
            m.labelsize_ = FL_NORMAL_SIZE;
            m.labelcolor_ = FL_FOREGROUND_COLOR;
            if (i.disabled || i.grayed)
                m.flags |= FL_MENU_INACTIVE;
            if (i.checked)
                m.flags |= FL_MENU_TOGGLE | FL_MENU_VALUE;
            if (i.kind == MenuItem::Kind::Submenu) {
                m.flags |= FL_SUBMENU;
                m_menu.push_back(m);
                Add(i.children);
                m_menu.push_back(Fl_Menu_Item{});
            } else {
                m_menu.push_back(m);
            }
        }
    }

    size_t m_count = 0;
    std::vector<ItemData> m_data; // reserved up front: label pointers must stay put
    std::vector<Fl_Menu_Item> m_menu;
};

void Flatten(const std::vector<MenuItem>& items, test::ModalRequest& req,
             std::vector<const MenuItem*>& all)
{
    for (const MenuItem& i : items) {
        if (i.kind == MenuItem::Kind::Separator)
            continue;
        if (i.kind == MenuItem::Kind::Item) {
            req.items.push_back(i.text);
            req.ids.push_back(i.id);
            all.push_back(&i);
        }
        Flatten(i.children, req, all);
    }
}

} // namespace

Size GetMenuCheckMarkSize()
{
    return {15, 15};
}

uint32_t TrackPopupMenu(const std::vector<MenuItem>& items, Point screenPos, Window* owner)
{
    test::ModalRequest req;
    req.kind = test::ModalKind::PopupMenu;
    req.window = owner;
    std::vector<const MenuItem*> all;
    Flatten(items, req, all);
    const test::ModalAnswer ans = detail::CallModalHook(req);
    if (ans.answered) {
        // Only an item that a person could choose counts.
        for (const MenuItem* i : all)
            if (i->id == uint32_t(ans.code) && !i->disabled && !i->grayed)
                return i->id;
        return 0;
    }
    if (!InitDisplay() || all.empty())
        return 0;
    static bool s_labelSet = false;
    if (!s_labelSet) {
        Fl::set_labeltype(kItemLabel, DrawItemLabel, MeasureItemLabel);
        s_labelSet = true;
    }
    MenuBuilder menu(items);
    if (menu.Empty())
        return 0;
    // The toolkit's menu grabs the pointer through an already shown window and crashes when
    // there is none; a tiny borderless window off the screen stands in for the owner then.
    std::unique_ptr<Fl_Window> standIn;
    if (!Fl::first_window()) {
        Fl_Group* saved = Fl_Group::current();
        Fl_Group::current(nullptr);
        standIn = std::make_unique<Fl_Window>(-10, -10, 1, 1);
        standIn->end();
        standIn->set_override();
        standIn->show();
        Fl_Group::current(saved);
    }
    // The toolkit places a popup relative to the window of the current event; making the
    // event's window coordinates equal to its screen coordinates places it on the screen.
    const int ex = Fl::e_x, ey = Fl::e_y, exr = Fl::e_x_root, eyr = Fl::e_y_root;
    Fl::e_x = Fl::e_x_root = 0;
    Fl::e_y = Fl::e_y_root = 0;
    const Fl_Menu_Item* chosen = menu.Menu()->popup(screenPos.x, screenPos.y);
    Fl::e_x = ex;
    Fl::e_y = ey;
    Fl::e_x_root = exr;
    Fl::e_y_root = eyr;
    const MenuItem* item = menu.ItemOf(chosen);
    if (!item || item->kind != MenuItem::Kind::Item || item->disabled || item->grayed)
        return 0;
    return item->id;
}

} // namespace plat
