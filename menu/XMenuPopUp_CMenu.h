// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/DrawContext.h"
#include "platform/Geometry.h"
#include "platform/Menu.h"

#include <cstdint>
#include <vector>

/// One popup menu (the top level or a submenu) while a menu markup is shown: its items in
/// order, submenus by reference to their own menu object. The popup menu owns every menu
/// object it creates and destroys them together when the menu closes.
///
/// Colour items are owner-drawn: MeasureItem and DrawItem give their size and look.
class XMenuPopUp_CMenu
{
public:
    /// Width in pixels of an owner-drawn colour item.
    static constexpr int kColorItemWidth = 60;

    XMenuPopUp_CMenu() = default;
    XMenuPopUp_CMenu(const XMenuPopUp_CMenu&) = delete;
    XMenuPopUp_CMenu& operator=(const XMenuPopUp_CMenu&) = delete;
    /// Destroys the menu: its items go, submenus are left to their owner.
    virtual ~XMenuPopUp_CMenu();

    /// Paints an owner-drawn item into rect: the menu's own background (the highlight when
    /// selected), the check mark when checked, then the item's background colour and its
    /// colour as a filled swatch, or as a line of lineWidth pixels when lineWidth > 0, then
    /// the text. A disabled or grayed item's colours are scaled by two thirds.
    virtual void DrawItem(plat::DrawContext& dc, const plat::Rect& rect, const plat::MenuItem& item,
                          bool selected) const;
    /// The size of an owner-drawn item: 60 pixels wide and as high as the system's menu
    /// check mark.
    virtual plat::Size MeasureItem(const plat::MenuItem& item) const;

    /// Appends a plain item (its id, text, states and colours as given).
    void AppendItem(const plat::MenuItem& item);
    void AppendSeparator();
    /// Appends an item that opens sub (not owned; it must live as long as this menu is
    /// built into item trees).
    void AppendPopup(const plat::MenuItem& item, const XMenuPopUp_CMenu& sub);
    /// Removes every item.
    void DestroyMenu();

    int32_t GetItemCount() const { return int32_t(m_items.size()); }
    /// The item at index, with an empty children list for submenus.
    const plat::MenuItem& GetItem(int32_t index) const { return m_items[size_t(index)].item; }
    /// The submenu an item opens, or null.
    const XMenuPopUp_CMenu* GetSubMenu(int32_t index) const { return m_items[size_t(index)].sub; }

    /// The items as the platform's item tree, submenus filled in from their menu objects.
    /// Submenus nested deeper than kMaxDepth levels are left empty: the toolkit keeps a
    /// fixed, small number of open menu windows.
    std::vector<plat::MenuItem> BuildTree() const;

    static constexpr int kMaxDepth = 16;

private:
    struct Slot
    {
        plat::MenuItem item;
        const XMenuPopUp_CMenu* sub = nullptr;
    };
    void BuildInto(std::vector<plat::MenuItem>& out, int depth) const;

    std::vector<Slot> m_items;
};
