// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/xmldlg/XmlDlgTestSupport.h"

#include <gtest/gtest.h>

namespace {

const plat::Font kDefaultFont{"MS Shell Dlg", 80};

struct Laid
{
    TXMLDlg dlg;
    explicit Laid(const char* markup, NXRect client = NXRect{0, 0, 400, 300})
    {
        EXPECT_TRUE(dlg.SetMarkup(markup));
        dlg.LayoutIn(client);
    }
};

TEST(TXMLDlgLayoutTest, MarginsSpacersAndGroups)
{
    // Without margin the content starts 15 pixels in on every side.
    Laid plain("<DLG><SP width=100 height=50/></DLG>");
    EXPECT_EQ(RectAt(plain.dlg, {0}), "15 15 100 50");
    EXPECT_EQ(plain.dlg.GetContentRect().width, 130);
    EXPECT_EQ(plain.dlg.GetContentRect().height, 80);

    // SPSEP is 5 x n along the group and 5 across; without n it is 5 by 5. Items of a
    // group follow each other with itemSpace between them.
    Laid sep("<DLG margin='0x0'><SPSEP n=6/><SPSEP/>"
             "<HALIGN itemSpace=2><SPSEP n=3/><SPSEP/><BR/><SP size='7x9'/></HALIGN></DLG>");
    EXPECT_EQ(RectAt(sep.dlg, {0}), "0 0 5 30");
    EXPECT_EQ(RectAt(sep.dlg, {1}), "0 30 5 5");
    EXPECT_EQ(RectAt(sep.dlg, {2, 0}), "0 35 15 5");
    EXPECT_EQ(RectAt(sep.dlg, {2, 1}), "17 35 5 5");
    EXPECT_EQ(RectAt(sep.dlg, {2, 2}), "24 35 0 0");
    EXPECT_EQ(RectAt(sep.dlg, {2, 3}), "26 35 7 9");
    EXPECT_EQ(RectAt(sep.dlg, {2}), "0 35 33 9");

    // A group's own alignment places it; its children start at its left edge again.
    Laid right("<DLG margin='10x10'><HALIGN align=right><SP width=20 height=5/>"
               "<SP width=30 height=5/></HALIGN><VALIGN align=center><SP width=40 height=5/>"
               "</VALIGN></DLG>",
               NXRect{0, 0, 200, 100});
    EXPECT_EQ(RectAt(right.dlg, {0}), "140 10 50 5");
    EXPECT_EQ(RectAt(right.dlg, {0, 0}), "140 10 20 5");
    EXPECT_EQ(RectAt(right.dlg, {1}), "80 15 40 5");
    EXPECT_EQ(RectAt(right.dlg, {1, 0}), "80 15 40 5");
}

TEST(TXMLDlgLayoutTest, SwitchFollowsIncludeAndItsVariable)
{
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup("<DLG margin='0x0'><SWITCH include=0><SP width=10 height=10/>"
                              "</SWITCH><SWITCH><SP width=20 height=20/></SWITCH>"
                              "<SWITCH include=%show%><SP width=30 height=30/></SWITCH></DLG>"));
    int32_t show = 0;
    dlg.RegisterRef("show", XValueRef(&show));
    dlg.LayoutIn(NXRect{0, 0, 200, 200});
    EXPECT_EQ(RectAt(dlg, {0, 0}), "none");
    EXPECT_EQ(RectAt(dlg, {1, 0}), "0 0 20 20");
    EXPECT_EQ(RectAt(dlg, {2, 0}), "none");
    EXPECT_EQ(dlg.GetContentRect().height, 20);
    show = 1;
    dlg.LayoutIn(NXRect{0, 0, 200, 200});
    EXPECT_EQ(RectAt(dlg, {2, 0}), "0 20 30 30");
    EXPECT_EQ(dlg.GetContentRect().height, 50);
}

TEST(TXMLDlgLayoutTest, TableColumnsRowsAndRepeatedLists)
{
    // One colAlign entry serves both columns; colSpace and cell margins add up.
    Laid t("<DLG margin='0x0'><TABLE cols=2 colAlign='right' colSpace='4' cellMargin=1 "
           "rowSpace=3 minColWidth='0 50'>"
           "<R><SP width=10 height=5/><SP width=40 height=6/></R>"
           "<R><SP width=30 height=5/><SP width=20 height=5/><SP width=99 height=99/></R>"
           "</TABLE></DLG>");
    // Column widths: 30 + 2 and max(40 + 2, 50); rows 6 + 2 and 5 + 2.
    EXPECT_EQ(RectAt(t.dlg, {0}), "0 0 86 18");
    EXPECT_EQ(RectAt(t.dlg, {0, 0, 0}), "21 1 10 5");
    EXPECT_EQ(RectAt(t.dlg, {0, 0, 1}), "45 1 40 6");
    EXPECT_EQ(RectAt(t.dlg, {0, 1, 0}), "1 12 30 5");
    EXPECT_EQ(RectAt(t.dlg, {0, 1, 1}), "65 12 20 5");
    // Cells beyond cols take no part.
    EXPECT_EQ(RectAt(t.dlg, {0, 1, 2}), "none");
}

TEST(TXMLDlgLayoutTest, TextsStylesAndUnknownAttributes)
{
    Laid t("<DLG margin='0x0'><TEXT text='%nothere%'/><TEXT fontSize=87 text=Ab/>"
           "<TEXT xalign=right xfontSize=200 text=Ab/>plain &#x41;<TEXT text='a&#x26;b'/></DLG>");
    const plat::Size lit = Extent(kDefaultFont, "%nothere%");
    EXPECT_EQ(RectAt(t.dlg, {0}), "0 0 " + std::to_string(lit.cx) + " " + std::to_string(lit.cy));

    TXMLDlgStyle style;
    ASSERT_TRUE(t.dlg.GetItemStyle(ItemAt(t.dlg, {1}), style));
    EXPECT_EQ(style.font.sizeTenths, 87);
    EXPECT_EQ(style.font.face, "MS Shell Dlg");
    const plat::Size small = Extent(plat::Font{"MS Shell Dlg", 87}, "Ab");
    NXRect r;
    ASSERT_TRUE(t.dlg.GetItemRect(ItemAt(t.dlg, {1}), r));
    EXPECT_EQ(r.width, small.cx);

    // Misspelt attributes change nothing.
    ASSERT_TRUE(t.dlg.GetItemStyle(ItemAt(t.dlg, {2}), style));
    EXPECT_EQ(style.font.sizeTenths, 80);
    ASSERT_TRUE(t.dlg.GetItemRect(ItemAt(t.dlg, {2}), r));
    EXPECT_EQ(r.x, 0);

    // Text nodes are laid out like TEXT; TEXT decodes its references.
    ASSERT_TRUE(t.dlg.GetItemRect(ItemAt(t.dlg, {3}), r));
    EXPECT_EQ(r.width, Extent(kDefaultFont, "plain &#x41;").cx);
    ASSERT_TRUE(t.dlg.GetItemRect(ItemAt(t.dlg, {4}), r));
    EXPECT_EQ(r.width, Extent(kDefaultFont, "a&b").cx);
}

TEST(TXMLDlgLayoutTest, ControlSizeRule)
{
    Laid t("<DLG margin='0x0'><INPUT name=e type=EDIT/>"
           "<INPUT name=d type=DROPDOWN sizeChars='20x1'/>"
           "<INPUT name=s type=BUTTON size='33x44'/>"
           "<INPUT name=w type=BUTTON width=70 text=Go/>"
           "<INPUT name=l type=LISTBOX text='a|b|c'/>"
           "<INPUT name=f type=EDIT anchor=float pos='100 120'/>"
           "<INPUT type=EDIT/><INPUT name=u type=NOSUCH/><INPUT name=x type=XCHART/></DLG>");
    const plat::Size q = Extent(kDefaultFont, "Q");
    ASSERT_EQ(t.dlg.GetCtrlCount(), 7);
    const TXMLCtrl* e = t.dlg.FindCtrl("e");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->id, 1000);
    EXPECT_EQ(e->rect.width, 10 * q.cx + 12);
    EXPECT_EQ(e->rect.height, q.cy + 8);
    EXPECT_TRUE(e->autoSize);

    // The list of a drop-down counts one line more than asked; the box is one line high.
    const TXMLCtrl* d = t.dlg.FindCtrl("d");
    EXPECT_EQ(d->id, 1001);
    EXPECT_EQ(d->rect.width, 20 * q.cx + 12);
    EXPECT_EQ(d->listRect.height, 2 * q.cy + 8);
    EXPECT_EQ(d->rect.height, q.cy + 8);
    EXPECT_EQ(RectAt(t.dlg, {1}), "0 " + std::to_string(q.cy + 8) + " " +
                                      std::to_string(20 * q.cx + 12) + " " +
                                      std::to_string(q.cy + 8));

    const TXMLCtrl* s = t.dlg.FindCtrl("s");
    EXPECT_EQ(s->rect.width, 33);
    EXPECT_EQ(s->rect.height, 44);
    EXPECT_FALSE(s->autoSize);
    EXPECT_EQ(t.dlg.FindCtrl("w")->rect.width, 70);
    EXPECT_EQ(t.dlg.FindCtrl("l")->rect.height, 4 * q.cy + 4);

    // A floating control sits at pos and takes no room in the flow.
    const TXMLCtrl* f = t.dlg.FindCtrl("f");
    EXPECT_TRUE(f->floating);
    EXPECT_EQ(f->placed.x, 100);
    EXPECT_EQ(f->placed.y, 120);
    NXRect fr;
    ASSERT_TRUE(t.dlg.GetItemRect(ItemAt(t.dlg, {5}), fr));
    EXPECT_EQ(fr.width, 0);

    // Without name, or of an unknown type, nothing is made; the rest goes on.
    EXPECT_EQ(t.dlg.FindCtrl("u"), nullptr);
    EXPECT_EQ(t.dlg.FindCtrl("x")->rect.width, 300);
    EXPECT_EQ(t.dlg.FindCtrl("x")->id, 1006);
}

TEST(TXMLDlgLayoutTest, ReadOnlyUnlessFalse)
{
    struct Case
    {
        const char* attr;
        bool readOnly;
    } cases[] = {{"", false},
                 {"readOnly=false", false},
                 {"readOnly=0", true},
                 {"readOnly=1", true},
                 {"readOnly=FALSE", true}};
    for (const Case& c : cases) {
        TXML xml;
        const std::string markup = std::string("<INPUT name=e type=EDIT ") + c.attr + "/>";
        ASSERT_TRUE(xml.Parse(markup.c_str(), int32_t(markup.size())));
        const uint32_t style = EditStyleOf(*xml.GetRoot()->FindChildElement());
        EXPECT_EQ((style & plat::ControlStyle::kReadOnly) != 0, c.readOnly) << c.attr;
    }
}

TEST(TXMLDlgLayoutTest, BadMarkupLeavesTheDialogEmpty)
{
    TXMLDlg dlg;
    EXPECT_FALSE(dlg.SetMarkup("<DLG><TEXT text=a></DLG>"));
    dlg.LayoutIn(NXRect{0, 0, 100, 100});
    EXPECT_EQ(dlg.GetRootElement(), nullptr);
    EXPECT_EQ(dlg.GetContentRect().width, 0);
    EXPECT_TRUE(dlg.SetMarkup("<DLG/>"));
    dlg.LayoutIn(NXRect{0, 0, 100, 100});
    EXPECT_EQ(dlg.GetCtrlCount(), 0);
}

} // namespace

namespace {

TEST(TXMLDlgPaintTest, BackgroundsTextsAndLines)
{
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup("<DLG bgColor=white margin='0x0'><VALIGN bgColor=red>"
                              "<SP width=20 height=20/></VALIGN><SPLINE/>"
                              "<TEXT color=blue fontSize=200 text=WWW/>"
                              "<SWITCH include=0><TEXT text=hidden/></SWITCH></DLG>"));
    plat::Image img(80, 80);
    dlg.PaintTo(img.Context(), plat::Size{80, 80});
    EXPECT_EQ(img.GetPixel(5, 5), plat::Rgb(255, 0, 0));
    EXPECT_EQ(img.GetPixel(30, 5), plat::Rgb(255, 255, 255));
    NXRect line;
    ASSERT_TRUE(dlg.GetItemRect(ItemAt(dlg, {1}), line));
    EXPECT_NE(img.GetPixel(40, RoundHalfAway(line.y + line.height / 2)), plat::Rgb(255, 255, 255));
    NXRect text;
    ASSERT_TRUE(dlg.GetItemRect(ItemAt(dlg, {2}), text));
    int blue = 0;
    for (int y = int(text.y); y < int(text.Bottom()) && y < 80; ++y) {
        for (int x = 0; x < int(text.width) && x < 80; ++x) {
            const plat::ColorRef c = img.GetPixel(x, y);
            blue += plat::BlueOf(c) > 200 && plat::RedOf(c) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 10);
}

} // namespace
