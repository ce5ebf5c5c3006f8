// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/NXGeom.h"
#include "base/XArray.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "menu/XMenuPopUpCB.h"
#include "menu/XMenuPopUpTracker.h"
#include "menu/XMenuPopUp_CMenu.h"
#include "xml/TXML.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace plat {
class Window;
}

/// Which mouse button the menu follows while it is open.
enum class XMenuButton {
    Right, ///< the usual context menu
    Left,
};

/// A context menu described by menu markup. A control writes its menu as markup (AddItem,
/// AddSeparator, AddMenu), hands it to Show, and learns the chosen entry's command through
/// its XMenuPopUpCB:
///
///     <m s='Copy\tCtrl+C' c=DoCopy /><sep/><m s='Tools' c=noCmd><m s='Grid' c=DoGrid o=C /></m>
///
/// `m` is an item (an `m` with child elements is a submenu of them), `sep` a separator.
/// Every element is numbered in document order from 1; the number is the item's identifier.
/// Each showing rebuilds the menu objects from the markup and releases them when the menu
/// closes; the object itself lives as long as the control that owns it.
class XMenuPopUp
{
public:
    XMenuPopUp();
    XMenuPopUp(const XMenuPopUp&) = delete;
    XMenuPopUp& operator=(const XMenuPopUp&) = delete;
    virtual ~XMenuPopUp();

    // --- Writing menu markup -------------------------------------------------------------

    /// Appends one item: options "C" when checked, followed by "DG" when not enabled; an
    /// enabled, unchecked item gets no options.
    static void AddItem(ZString& markup, ZStr text, ZStr cmd, bool enabled, bool checked);
    /// Appends "<sep/>".
    static void AddSeparator(ZString& markup);
    /// Appends one `m` element:
    ///   "<m s='" text "' c=" cmd [" o=" options]
    ///   [" clr='" color "'" [" clrBg='" bgColor "'" " lineWidth=" lineWidth]]
    /// then ">" subMenu "</m>" when subMenu is not empty, else " />". Empty texts count as
    /// not given; bgColor only counts with a color. Characters that would end the quoted
    /// value early are written as character references ("'" as "&#x27;", "&" as "&#x26;",
    /// control characters other than tab, and a backslash at the end of a value); an empty
    /// command is left out (it reads as "noCmd") and a command that is not one unquoted
    /// word is quoted, so that no text can break the rest of the menu.
    static void AddMenu(ZString& markup, ZStr text, ZStr cmd, ZStr options = ZStr(),
                        ZStr color = ZStr(), ZStr bgColor = ZStr(), int32_t lineWidth = 0,
                        ZStr subMenu = ZStr());

    // --- Showing ----------------------------------------------------------------------------

    /// Shows the menu of markup at a screen position (rounded half away from zero) over
    /// owner (may be null) and returns when it closes. A chosen entry goes to cb (null: the
    /// callback set before, or the do-nothing default); the result is cb's handled flag,
    /// false when the menu closed without a choice. While the menu is open the owner shows
    /// the arrow pointer; the owner's own pointer returns with the next mouse move. The
    /// platform's menus follow whichever button the user presses, so button is advisory.
    bool Show(ZStr markup, plat::Window* owner, NXPoint screenPos,
              XMenuButton button = XMenuButton::Right, XMenuPopUpCB* cb = nullptr);

    /// Sets the callback; null restores the do-nothing default.
    void SetCB(XMenuPopUpCB* cb) { m_cb = cb ? cb : &XMenuPopUpCB::Default(); }
    XMenuPopUpCB& CB() const { return *m_cb; }

    // --- The menu of the current markup -------------------------------------------------

    /// Destroys earlier menu objects, parses markup and builds the menu objects: one for the
    /// top level and one for every `m` element with child elements. Returns the number of
    /// elements (the highest identifier). Markup that fails to parse keeps the elements read
    /// before the error; empty markup gives an empty menu.
    int32_t Build(ZStr markup);
    /// Destroys the menu objects (the parsed markup stays until the next Build).
    void ReleaseMenus();

    /// The markup of the last Build or Show.
    const ZString& GetMarkup() const { return m_markup; }
    /// The parsed markup (its error state tells whether all of it was read).
    const TXML& GetDocument() const { return m_xml; }
    /// The number of elements of the current markup.
    int32_t GetElementCount() const { return m_elements.Count(); }
    /// The top-level menu object, or null when none is built.
    const XMenuPopUp_CMenu* GetMenu() const;
    /// The number of menu objects built (top level and submenus).
    int32_t GetMenuCount() const { return m_menus.Count(); }
    /// The built menu as the platform's item tree (empty when none is built).
    std::vector<plat::MenuItem> GetItems() const;
    /// Reads element id's attributes into entry; false for identifiers outside 1 to the
    /// element count.
    bool GetEntry(int32_t id, XMenuPopUpEntry& entry) const;

    /// The tracker's command handler lands here: the entry of identifier id is read and
    /// handed to the callback. Identifiers below 1 or beyond the element count are ignored
    /// (false). Returns the callback's handled flag.
    bool OnMenuCommand(int32_t id);

private:
    XMenuPopUp_CMenu& NewMenu();
    /// Numbers the elements under parent and adds what they show to menu (null: numbering
    /// only).
    void Fill(XMenuPopUp_CMenu* menu, TXMLNode* parent);
    static void ReadEntry(const TXMLNode& node, int32_t id, XMenuPopUpEntry& entry);

    ZString m_markup;
    TXML m_xml;
    /// Elements in document order; index id - 1. Views into m_xml.
    XArray<TXMLNode*> m_elements;
    /// Every menu object of the current showing, the top level first.
    XArray<std::unique_ptr<XMenuPopUp_CMenu>, false> m_menus;
    std::unique_ptr<XMenuPopUpTracker> m_tracker;
    XMenuPopUpCB* m_cb = &XMenuPopUpCB::Default();
    /// Cleared when this object dies, so that a showing notices when its callback destroyed
    /// the menu.
    std::shared_ptr<bool> m_alive;
};
