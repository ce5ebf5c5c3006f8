// SPDX-License-Identifier: GPL-2.0-or-later
#include "menu/XMenuPopUp.h"

#include "platform/Image.h"
#include "platform/SystemColors.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string Str(const ZString& s)
{
    return std::string(s.Text(), size_t(s.Length()));
}

// Records every command the menu reports.
struct RecordingCB : XMenuPopUpCB
{
    bool OnMenuCmd(XMenuPopUp&, const XMenuPopUpEntry& entry, ZStr cmd, ZStr text, ZStr options,
                   int32_t id) override
    {
        cmds.emplace_back(cmd.ptr, size_t(cmd.len));
        texts.emplace_back(text.ptr, size_t(text.len));
        optionTexts.emplace_back(options.ptr, size_t(options.len));
        ids.push_back(id);
        EXPECT_EQ(entry.id, id);
        return handled;
    }
    std::vector<std::string> cmds, texts, optionTexts;
    std::vector<int32_t> ids;
    bool handled = true;
};

// The chart's context menu as the chart writes it.
ZString ChartMenu(bool cursorValues)
{
    ZString m;
    XMenuPopUp::AddSeparator(m);
    XMenuPopUp::AddItem(m, "Copy Img", "DoCopyIMG", true, false);
    XMenuPopUp::AddItem(m, "Copy XML", "DoCopyXML", true, false);
    XMenuPopUp::AddItem(m, "Save XML", "DoSaveXML", true, false);
    XMenuPopUp::AddSeparator(m);
    XMenuPopUp::AddSeparator(m);
    ZString tools;
    XMenuPopUp::AddItem(tools, "Cursor Values", "DoCursorValues", true, cursorValues);
    XMenuPopUp::AddMenu(m, "Tools", "", "", "", "", 0, tools.Str());
    return m;
}

} // namespace

TEST(XMenuPopUpTest, WritersProduceTheMarkupByteForByte)
{
    struct Case
    {
        bool enabled, checked;
        const char* expected;
    };
    const Case cases[] = {
        {true, false, "<m s='Copy\tCtrl+C' c=DoCopy />"},
        {true, true, "<m s='Copy\tCtrl+C' c=DoCopy o=C />"},
        {false, false, "<m s='Copy\tCtrl+C' c=DoCopy o=DG />"},
        {false, true, "<m s='Copy\tCtrl+C' c=DoCopy o=CDG />"},
    };
    for (const Case& c : cases) {
        ZString m;
        XMenuPopUp::AddItem(m, "Copy\tCtrl+C", "DoCopy", c.enabled, c.checked);
        EXPECT_EQ(Str(m), c.expected);
    }

    ZString m("x");
    XMenuPopUp::AddSeparator(m);
    EXPECT_EQ(Str(m), "x<sep/>");

    m.Clear();
    XMenuPopUp::AddMenu(m, "Red", "DoRed", "C", "red");
    EXPECT_EQ(Str(m), "<m s='Red' c=DoRed o=C clr='red' />");
    m.Clear();
    XMenuPopUp::AddMenu(m, "Line", "DoLine", "", "#FF0000", "white", 3);
    EXPECT_EQ(Str(m), "<m s='Line' c=DoLine clr='#FF0000' clrBg='white' lineWidth=3 />");
    m.Clear();
    // A background colour and line width are written only together with a colour.
    XMenuPopUp::AddMenu(m, "Plain", "DoPlain", "", "", "white", 3);
    EXPECT_EQ(Str(m), "<m s='Plain' c=DoPlain />");
    m.Clear();
    XMenuPopUp::AddMenu(m, "Sub", "DoSub", "G", "", "", 0, "<sep/>");
    EXPECT_EQ(Str(m), "<m s='Sub' c=DoSub o=G><sep/></m>");

    EXPECT_EQ(Str(ChartMenu(true)),
              "<sep/><m s='Copy Img' c=DoCopyIMG /><m s='Copy XML' c=DoCopyXML />"
              "<m s='Save XML' c=DoSaveXML /><sep/><sep/>"
              "<m s='Tools'><m s='Cursor Values' c=DoCursorValues o=C /></m>");
}

TEST(XMenuPopUpTest, TextsThatWouldBreakTheMarkupReadBackUnchanged)
{
    // Quotes, ampersands, a trailing backslash and odd commands must not spoil the items
    // around them.
    const char* texts[] = {"Don't save", "Save & Close", "&#x41; literal", "C:\\",
                           "a''b",       "\\'",          "line\r\nbreak"};
    ZString m;
    for (const char* t : texts)
        XMenuPopUp::AddItem(m, t, "DoIt", true, false);
    XMenuPopUp::AddItem(m, "No command", "", true, false);
    XMenuPopUp::AddItem(m, "Spaced", "Do It/Now>", true, true);
    XMenuPopUp::AddItem(m, "Last", "DoLast", true, false);
    EXPECT_EQ(Str(m).find("<m s='Don&#x27;t save' c=DoIt />"), 0u);

    XMenuPopUp menu;
    const int32_t n = menu.Build(m.Str());
    EXPECT_FALSE(menu.GetDocument().IsError()) << Str(menu.GetDocument().GetErrorText());
    ASSERT_EQ(n, 10);
    XMenuPopUpEntry e;
    for (int32_t i = 0; i < 7; ++i) {
        ASSERT_TRUE(menu.GetEntry(i + 1, e));
        EXPECT_EQ(Str(e.text), texts[i]);
        EXPECT_EQ(Str(e.cmd), "DoIt");
    }
    ASSERT_TRUE(menu.GetEntry(8, e));
    EXPECT_EQ(Str(e.cmd), "noCmd");
    ASSERT_TRUE(menu.GetEntry(9, e));
    EXPECT_EQ(Str(e.cmd), "Do It/Now>");
    EXPECT_TRUE(e.IsChecked());
    ASSERT_TRUE(menu.GetEntry(10, e));
    EXPECT_EQ(Str(e.text), "Last");
    EXPECT_EQ(Str(e.cmd), "DoLast");
}

TEST(XMenuPopUpTest, ElementsAreNumberedInDocumentOrderAndBuildTheItemTree)
{
    XMenuPopUp menu;
    ZString m = ChartMenu(true);
    // A colour item and an element that is neither item nor separator.
    XMenuPopUp::AddMenu(m, "Red", "DoRed", "D", "red", "#00FF00", 2);
    m.Append("<x><m s='Hidden' c=DoHidden /></x><m s='After' c=DoAfter />");
    ASSERT_EQ(menu.Build(m.Str()), 12);
    EXPECT_EQ(menu.GetMenuCount(), 2); // the top level and "Tools"

    const std::vector<plat::MenuItem> items = menu.GetItems();
    using Kind = plat::MenuItem::Kind;
    ASSERT_EQ(items.size(), 9u);
    const Kind kinds[] = {Kind::Separator, Kind::Item,    Kind::Item, Kind::Item, Kind::Separator,
                          Kind::Separator, Kind::Submenu, Kind::Item, Kind::Item};
    const uint32_t ids[] = {0, 2, 3, 4, 0, 0, 7, 9, 12};
    for (size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(items[i].kind, kinds[i]) << i;
        if (ids[i]) {
            EXPECT_EQ(items[i].id, ids[i]) << i;
        }
    }
    EXPECT_EQ(items[1].text, "Copy Img");
    ASSERT_EQ(items[6].children.size(), 1u);
    const plat::MenuItem& cursor = items[6].children[0];
    EXPECT_EQ(cursor.text, "Cursor Values");
    EXPECT_EQ(cursor.id, 8u);
    EXPECT_TRUE(cursor.checked);
    EXPECT_FALSE(cursor.disabled);

    const plat::MenuItem& red = items[7];
    EXPECT_TRUE(red.colorItem);
    EXPECT_TRUE(red.disabled);
    EXPECT_FALSE(red.grayed);
    EXPECT_EQ(red.color, plat::Rgb(255, 0, 0));
    EXPECT_EQ(red.bgColor, plat::Rgb(0, 255, 0));
    EXPECT_EQ(red.lineWidth, 2);
    EXPECT_FALSE(items[1].colorItem);
    // Element 10 is <x> and 11 the item hidden inside it: both numbered, neither shown.
    EXPECT_EQ(items[8].text, "After");
    EXPECT_EQ(items[8].id, 12u);

    XMenuPopUpEntry e;
    ASSERT_TRUE(menu.GetEntry(9, e));
    EXPECT_EQ(Str(e.colorText), "red");
    EXPECT_EQ(Str(e.bgColorText), "#00FF00");
    EXPECT_EQ(e.color.Value(), 0x0000FFu);
    EXPECT_EQ(e.bgColor.Value(), 0x00FF00u);
    EXPECT_EQ(e.lineWidth, 2);
    EXPECT_TRUE(e.IsDisabled());
    ASSERT_TRUE(menu.GetEntry(2, e));
    EXPECT_TRUE(e.color.IsNone());
    EXPECT_TRUE(e.bgColor.IsNone());
    EXPECT_EQ(Str(e.options), "");
    // The "Tools" submenu element carries no command.
    ASSERT_TRUE(menu.GetEntry(7, e));
    EXPECT_EQ(Str(e.cmd), "noCmd");
    EXPECT_FALSE(menu.GetEntry(0, e));
    EXPECT_FALSE(menu.GetEntry(13, e));

    menu.ReleaseMenus();
    EXPECT_EQ(menu.GetMenuCount(), 0);
    EXPECT_TRUE(menu.GetItems().empty());
}

TEST(XMenuPopUpTest, CommandsReachTheCallbackOnlyForValidIdentifiers)
{
    XMenuPopUp menu;
    RecordingCB cb;
    menu.SetCB(&cb);
    ZString m;
    XMenuPopUp::AddItem(m, "Undo\tCtrl+Z", "DoUndo", true, false);
    XMenuPopUp::AddItem(m, "Undo again", "DoUndo", false, true);
    menu.Build(m.Str());

    EXPECT_TRUE(menu.OnMenuCommand(1));
    cb.handled = false;
    EXPECT_FALSE(menu.OnMenuCommand(2));
    EXPECT_FALSE(menu.OnMenuCommand(0));
    EXPECT_FALSE(menu.OnMenuCommand(3));
    EXPECT_FALSE(menu.OnMenuCommand(-1));
    // The same command twice, told apart only by the identifiers.
    EXPECT_EQ(cb.cmds, (std::vector<std::string>{"DoUndo", "DoUndo"}));
    EXPECT_EQ(cb.ids, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(cb.texts, (std::vector<std::string>{"Undo\tCtrl+Z", "Undo again"}));
    EXPECT_EQ(cb.optionTexts, (std::vector<std::string>{"", "CDG"}));

    // A tracker without a tracked menu has nobody to tell.
    XMenuPopUpTracker tracker;
    EXPECT_FALSE(tracker.OnCommand(1));

    menu.SetCB(nullptr);
    EXPECT_EQ(&menu.CB(), &XMenuPopUpCB::Default());
    EXPECT_FALSE(menu.OnMenuCommand(1));
    EXPECT_EQ(cb.cmds.size(), 2u);
}

TEST(XMenuPopUpTest, EmptyAndBrokenMarkup)
{
    XMenuPopUp menu;
    EXPECT_EQ(menu.Build(ZStr()), 0);
    EXPECT_EQ(menu.GetMenuCount(), 1);
    EXPECT_TRUE(menu.GetItems().empty());
    EXPECT_EQ(menu.Build("   "), 0);
    EXPECT_TRUE(menu.GetItems().empty());

    // The items before a fault still make a menu.
    EXPECT_EQ(menu.Build("<m s='One' c=DoOne /><m s='Two' c=DoTwo /><m s='Bro"), 3);
    EXPECT_TRUE(menu.GetDocument().IsError());
    const std::vector<plat::MenuItem> items = menu.GetItems();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[0].text, "One");
    EXPECT_EQ(items[1].text, "Two");

    // Text between elements and comments are not elements and take no number.
    EXPECT_EQ(menu.Build("hello"), 0);
    EXPECT_EQ(menu.Build("<!-- c --><m s='A' c=DoA />"), 1);
    ASSERT_EQ(menu.GetItems().size(), 1u);
    EXPECT_EQ(menu.GetItems()[0].id, 1u);

    // Building again from the menu's own markup works on a copy.
    menu.Build(menu.GetMarkup().Str());
    EXPECT_EQ(Str(menu.GetMarkup()), "<!-- c --><m s='A' c=DoA />");
}

TEST(XMenuPopUpTest, DeepSubmenusAreCutAtTheDepthLimit)
{
    ZString m("<m s='leaf' c=DoLeaf />");
    for (int i = 0; i < 40; ++i) {
        ZString outer;
        XMenuPopUp::AddMenu(outer, "level", "", "", "", "", 0, m.Str());
        m = outer;
    }
    XMenuPopUp menu;
    EXPECT_EQ(menu.Build(m.Str()), 41);
    std::vector<plat::MenuItem> items = menu.GetItems();
    int depth = 0;
    const std::vector<plat::MenuItem>* level = &items;
    while (!level->empty() && (*level)[0].kind == plat::MenuItem::Kind::Submenu) {
        ++depth;
        level = &(*level)[0].children;
    }
    EXPECT_EQ(depth, XMenuPopUp_CMenu::kMaxDepth);
    EXPECT_TRUE(level->empty());
}

TEST(XMenuPopUp_CMenuTest, ColourItemsMeasureSixtyPixelsAndDrawTheirColours)
{
    XMenuPopUp_CMenu menu;
    plat::MenuItem item;
    item.colorItem = true;
    item.color = plat::Rgb(255, 0, 0);
    item.bgColor = plat::Rgb(0, 0, 255);
    const plat::Size size = menu.MeasureItem(item);
    EXPECT_EQ(size.cx, 60);
    EXPECT_EQ(size.cy, plat::GetMenuCheckMarkSize().cy);

    const plat::Size check = plat::GetMenuCheckMarkSize();
    const plat::Rect rect{0, 0, check.cx + 60 + 40, check.cy + 4};
    const int midX = check.cx + 30, midY = rect.bottom / 2;
    {
        plat::Image img(rect.right, rect.bottom);
        menu.DrawItem(img.Context(), rect, item, false);
        EXPECT_EQ(img.GetPixel(midX, midY), item.color);
        // The background colour frames the swatch.
        EXPECT_EQ(img.GetPixel(check.cx + 3, midY), item.bgColor);
        EXPECT_EQ(img.GetPixel(rect.right - 2, 0),
                  plat::GetSystemColor(plat::SystemColor::ButtonFace));
    }
    {
        // A disabled item fades its colours to two thirds.
        plat::MenuItem off = item;
        off.disabled = true;
        plat::Image img(rect.right, rect.bottom);
        menu.DrawItem(img.Context(), rect, off, true);
        EXPECT_EQ(img.GetPixel(midX, midY), plat::Rgb(170, 0, 0));
        EXPECT_EQ(img.GetPixel(check.cx + 3, midY), plat::Rgb(0, 0, 170));
        EXPECT_EQ(img.GetPixel(rect.right - 2, 0),
                  plat::GetSystemColor(plat::SystemColor::Highlight));
    }
    {
        // A line item draws a line of its width across the background colour.
        plat::MenuItem line = item;
        line.lineWidth = 3;
        line.checked = true;
        plat::Image img(rect.right, rect.bottom);
        menu.DrawItem(img.Context(), rect, line, false);
        EXPECT_EQ(img.GetPixel(midX, midY), item.color);
        EXPECT_EQ(img.GetPixel(midX, midY - 4), item.bgColor);
        // The check mark is drawn in the check-mark cell.
        int marked = 0;
        for (int x = 0; x < check.cx; ++x)
            for (int y = 0; y < rect.bottom; ++y)
                if (img.GetPixel(x, y) == plat::GetSystemColor(plat::SystemColor::WindowText))
                    ++marked;
        EXPECT_GT(marked, 3);
    }
}
