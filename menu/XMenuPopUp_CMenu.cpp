// SPDX-License-Identifier: GPL-2.0-or-later
#include "menu/XMenuPopUp_CMenu.h"

#include "platform/SystemColors.h"

#include <algorithm>
#include <string>

namespace {

// Disabled colour items keep their hue but fade: each component is scaled by two thirds.
plat::ColorRef Fade(plat::ColorRef c)
{
    return plat::Rgb(uint8_t(plat::RedOf(c) * 2 / 3), uint8_t(plat::GreenOf(c) * 2 / 3),
                     uint8_t(plat::BlueOf(c) * 2 / 3));
}

} // namespace

XMenuPopUp_CMenu::~XMenuPopUp_CMenu()
{
    DestroyMenu();
}

void XMenuPopUp_CMenu::DestroyMenu()
{
    m_items.clear();
}

void XMenuPopUp_CMenu::AppendItem(const plat::MenuItem& item)
{
    Slot s;
    s.item = item;
    s.item.kind = plat::MenuItem::Kind::Item;
    s.item.children.clear();
    m_items.push_back(std::move(s));
}

void XMenuPopUp_CMenu::AppendSeparator()
{
    Slot s;
    s.item = plat::MenuItem::Separator();
    m_items.push_back(std::move(s));
}

void XMenuPopUp_CMenu::AppendPopup(const plat::MenuItem& item, const XMenuPopUp_CMenu& sub)
{
    Slot s;
    s.item = item;
    s.item.kind = plat::MenuItem::Kind::Submenu;
    s.item.children.clear();
    s.sub = &sub;
    m_items.push_back(std::move(s));
}

std::vector<plat::MenuItem> XMenuPopUp_CMenu::BuildTree() const
{
    std::vector<plat::MenuItem> out;
    BuildInto(out, 1);
    return out;
}

void XMenuPopUp_CMenu::BuildInto(std::vector<plat::MenuItem>& out, int depth) const
{
    out.reserve(m_items.size());
    for (const Slot& s : m_items) {
        out.push_back(s.item);
        // A menu that reaches itself through its submenus would never end; the depth limit
        // stops that as well as plain deep nesting.
        if (s.sub && depth < kMaxDepth)
            s.sub->BuildInto(out.back().children, depth + 1);
    }
}

plat::Size XMenuPopUp_CMenu::MeasureItem(const plat::MenuItem&) const
{
    return {kColorItemWidth, plat::GetMenuCheckMarkSize().cy};
}

void XMenuPopUp_CMenu::DrawItem(plat::DrawContext& dc, const plat::Rect& rect,
                                const plat::MenuItem& item, bool selected) const
{
    using plat::GetSystemColor;
    using plat::SystemColor;
    const bool off = item.disabled || item.grayed;
    const plat::ColorRef menuBg =
        GetSystemColor(selected ? SystemColor::Highlight : SystemColor::ButtonFace);
    plat::ColorRef menuText =
        GetSystemColor(selected ? SystemColor::HighlightText : SystemColor::WindowText);
    if (off)
        menuText = Fade(menuText);
    dc.FillRect(rect, menuBg);

    const plat::Size check = plat::GetMenuCheckMarkSize();
    const int midY = (rect.top + rect.bottom) / 2;
    if (item.checked) {
        // A tick in the check-mark cell, two strokes like the system's menu check.
        const int x0 = rect.left + check.cx / 5;
        const int unit = std::max(1, check.cx / 5);
        dc.SetPen({menuText, 2, plat::PenStyle::Solid});
        dc.Polyline({{x0, midY}, {x0 + unit, midY + unit}, {x0 + 3 * unit, midY - 2 * unit}});
    }

    const int swatchLeft = rect.left + check.cx + 2;
    const int swatchRight = std::min<int>(rect.right, rect.left + check.cx + kColorItemWidth - 2);
    const plat::Rect swatch{swatchLeft, midY - check.cy / 2, swatchRight,
                            midY - check.cy / 2 + check.cy};
    if (item.bgColor != plat::kNoColor)
        dc.FillRect(swatch, off ? Fade(item.bgColor) : item.bgColor);
    if (item.color != plat::kNoColor) {
        const plat::ColorRef c = off ? Fade(item.color) : item.color;
        if (item.lineWidth > 0) {
            // A line item shows the line as it will be drawn, at its own width.
            dc.SetPen({c, std::min(item.lineWidth, check.cy), plat::PenStyle::Solid});
            dc.Line({swatch.left + 2, midY}, {swatch.right - 2, midY});
        } else {
            dc.FillRect(swatch.Inflate(-2, -2), c);
        }
    }

    const std::string label = item.text.substr(0, item.text.find('\t'));
    if (!label.empty() && swatch.right + 4 < rect.right) {
        plat::Rect textRect{swatch.right + 4, rect.top, rect.right, rect.bottom};
        dc.SetBkMode(plat::BkMode::Transparent);
        dc.SetTextColor(menuText);
        dc.DrawText(label, textRect,
                    plat::DrawTextFlags::kLeft | plat::DrawTextFlags::kVCenter |
                        plat::DrawTextFlags::kSingleLine);
    }
}
