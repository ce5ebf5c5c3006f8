// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChart.h"
#include "chart/XChartDataBind.h"
#include "chart/XChartLine.h"
#include "chart/XChartWnd.h"
#include "tests/TestSupport.h"
#include "tests/xmldlg/XmlDlgTestSupport.h"
#include "xmldlg/XMLMessageBox.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(XDataBindTest, DataRefConvertsAndBinderKeepsErrors)
{
    struct Binder : XDataBinder
    {
        int32_t value = 42;
        std::unique_ptr<XDataBind> Lookup(ZStr path) override
        {
            if (path == ZStr("v")) {
                return std::make_unique<XDataBind_DataRef>(*this, path, path, XValueRef(&value));
            }
            SetErrorPath("unknown", path);
            return nullptr;
        }
    } b;
    ZString text;
    EXPECT_TRUE(b.GetText("v", text));
    EXPECT_EQ(text, "42");
    double d = 0;
    EXPECT_TRUE(b.GetReal("v", d));
    EXPECT_EQ(d, 42.0);
    EXPECT_TRUE(b.SetReal("v", 7.9));
    EXPECT_EQ(b.value, 7);
    // Text is never parsed into a number: the failure names the path.
    EXPECT_FALSE(b.SetText("v", "12"));
    EXPECT_EQ(S(b.GetError()), "value cannot be converted\r\nPath: v");
    EXPECT_FALSE(b.GetInt("w", b.value));
    EXPECT_EQ(S(b.GetError()), "unknown\r\nPath: w");

    // Bindings are registered under their name while they live.
    {
        XDataBind_DataRef bind(b, "n", "v", XValueRef(&b.value));
        EXPECT_EQ(b.Find("n"), &bind);
    }
    EXPECT_EQ(b.Find("n"), nullptr);
}

TEST(TXMLDlgBindTest, VariablesReferencesAndErrors)
{
    TXMLDlg dlg;
    ZString early("early");
    dlg.RegisterRef("name", XValueRef(&early));
    ASSERT_TRUE(
        dlg.SetMarkup("<DLG margin='0x0'><TEXT text=%name%/><TEXT text=%count%/>"
                      "<INPUT name=ch type=XCHART/><INPUT name=ed type=EDIT text='a&#x26;bc'/>"
                      "</DLG>"));
    // SetMarkup forgets references registered before it.
    EXPECT_EQ(dlg.GetRefs().Count(), 0);
    ZString name("Filter A");
    int32_t count = 3;
    dlg.RegisterRef("name", XValueRef(&name));
    dlg.RegisterRef("count", XValueRef(&count));
    dlg.LayoutIn(NXRect{0, 0, 300, 300});
    const plat::Font font{"MS Shell Dlg", 80};
    NXRect r;
    ASSERT_TRUE(dlg.GetItemRect(ItemAt(dlg, {0}), r));
    EXPECT_EQ(r.width, Extent(font, "Filter A").cx);
    ASSERT_TRUE(dlg.GetItemRect(ItemAt(dlg, {1}), r));
    EXPECT_EQ(r.width, Extent(font, "3").cx);

    TXMLDlgDataBinder& b = dlg.GetBinder();
    ZString text;
    EXPECT_FALSE(b.GetText("missing.curSel", text));
    EXPECT_EQ(S(b.GetError()), "VarRef missing not found\r\nPath: missing.curSel");
    // A chart control whose window does not exist cannot be bound.
    EXPECT_FALSE(b.GetText("ch.opt.title", text));
    EXPECT_EQ(S(b.GetError()), "Invalid Control ch\r\nPath: ch.opt.title");
    // Without a window an edit field's text is the markup's, references decoded.
    EXPECT_TRUE(b.GetText("ed", text));
    EXPECT_EQ(text, "a&bc");
    // Writing a registered variable through the binder reaches the application's storage.
    EXPECT_TRUE(b.SetInt("count", 9));
    EXPECT_EQ(count, 9);
    NXPoint p;
    EXPECT_FALSE(b.GetPair("ed", p));

    // "sel" is the text's integer value as decimal text, whichever way it is asked for (a
    // markup reference "%ed.sel%" once recursed until the stack ran out).
    ASSERT_TRUE(b.SetText("ed", " 42 dB"));
    EXPECT_TRUE(b.GetText("ed.sel", text));
    EXPECT_EQ(text, "42");
    int32_t n = 0;
    EXPECT_TRUE(b.GetInt("ed.sel", n));
    EXPECT_EQ(n, 42);
    EXPECT_TRUE(b.SetText("ed.sel", "7x"));
    EXPECT_TRUE(b.GetText("ed", text));
    EXPECT_EQ(text, "7");
    EXPECT_FALSE(b.GetText("ed.curSel", text));
    EXPECT_EQ(S(b.GetError()), "not implemented\r\nPath: ed.curSel");
}

// Values beyond the int range reach integer-valued controls saturated.
TEST(TXMLDlgBindTest, BigNumbersSaturate)
{
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup("<DLG><INPUT name=ed type=EDIT/><INPUT name=ck type=CHECK/></DLG>"));
    dlg.LayoutIn(NXRect{0, 0, 300, 300});
    TXMLDlgDataBinder& b = dlg.GetBinder();
    int32_t n = 0;
    ZString text;
    ASSERT_TRUE(b.SetText("ed", "99999999999"));
    EXPECT_TRUE(b.GetInt("ed.sel", n));
    EXPECT_EQ(n, INT32_MAX);
    ASSERT_TRUE(b.SetText("ed", "-99999999999"));
    EXPECT_TRUE(b.GetInt("ed.sel", n));
    EXPECT_EQ(n, INT32_MIN);
    for (const double v : {1e12, -1e12, std::nan("")}) {
        EXPECT_TRUE(b.SetReal("ed.sel", v));
        EXPECT_TRUE(b.GetText("ed", text));
        EXPECT_EQ(S(text), v > 0 ? "2147483647" : v < 0 ? "-2147483648" : "0") << v;
        // A check box without its window refuses the value, after converting it.
        EXPECT_FALSE(b.SetReal("ck", v));
    }
}

TEST(XChartDataBindTest, ChartPaths)
{
    XChartWnd wnd;
    XChartDataBinder b(wnd);
    ZString text;
    EXPECT_TRUE(b.SetText("opt.title", "Loss"));
    EXPECT_EQ(S(wnd.Chart().Attrs().GetStr("title")), "Loss");
    EXPECT_TRUE(b.GetText("opt.title", text));
    EXPECT_EQ(text, "Loss");

    // Line attributes and columns; a write makes the line.
    EXPECT_TRUE(b.SetText("line.S21.color", "red"));
    const int32_t li = wnd.Chart().FindLine("S21");
    ASSERT_GE(li, 0);
    XChartLine* line = wnd.Chart().Line(li);
    EXPECT_EQ(S(line->GetStr("color")), "red");

    XRealArray xs;
    xs.Append(1.0);
    xs.Append(2.0);
    EXPECT_TRUE(b.Transfer("line.S21.x", XDataDir::Write, XValueRef(&xs)));
    xs.Append(3.0);
    EXPECT_EQ(line->X().Count(), 2); // copied
    EXPECT_TRUE(b.Transfer("line.S21.yRef", XDataDir::Write, XValueRef(&xs)));
    EXPECT_EQ(&line->Y(), &xs); // referred to
    XRealArray back;
    EXPECT_TRUE(b.Transfer("line.S21.x", XDataDir::Read, XValueRef(&back)));
    EXPECT_EQ(back.Count(), 2);

    // Sub-lines.
    EXPECT_TRUE(b.SetText("line.S21.part.color", "blue"));
    ASSERT_GE(line->FindSubLine("part"), 0);
    EXPECT_EQ(S(line->SubLine(line->FindSubLine("part"))->GetStr("color")), "blue");

    // Other kinds are not supported.
    int32_t n = 0;
    EXPECT_FALSE(b.GetInt("opt.title", n));
    EXPECT_EQ(S(b.GetError()), "not implemented\r\nPath: opt.title");
    EXPECT_FALSE(b.GetText("line.none.color", text));
    line->BindColumn(XChartColumn::Y, nullptr);
}

TEST(XMLMessageBoxTest, MarkupKeepsTextsAsWritten)
{
    const char* title = "Say \"hi\" & %TEXT%";
    const char* text = "%OK%\r\nline <2> & \"q\"";
    const ZString markup = XMLMessageBoxMarkup(title, text, false, false);
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup(markup.Str(), true));
    dlg.LayoutIn(NXRect{});
    ZString got;
    dlg.GetRootElement()->GetAttribute("title", got, "", TXMLDecode::Decode, &dlg.GetBinder());
    EXPECT_EQ(got, title);
    ItemAt(dlg, {1})->GetAttribute("text", got, "", TXMLDecode::Decode, &dlg.GetBinder());
    EXPECT_EQ(got, text);
    EXPECT_EQ(dlg.GetCtrlCount(), 2);
    EXPECT_EQ(S(dlg.GetCtrl(0)->name), "OK");
    EXPECT_EQ(S(dlg.GetCtrl(1)->name), "Cancel");
    // The margins are 35 pixels on each side of the content.
    NXRect r;
    ASSERT_TRUE(dlg.GetItemRect(ItemAt(dlg, {0}), r));
    EXPECT_EQ(r.x, 35);
    EXPECT_EQ(r.y, 35);

    TXMLDlg one;
    ASSERT_TRUE(one.SetMarkup(XMLMessageBoxMarkup("T", "<TEXT text=x/>", true, true).Str()));
    one.LayoutIn(NXRect{});
    EXPECT_EQ(one.GetCtrlCount(), 1);
    EXPECT_TRUE(ItemAt(one, {1})->IsElement("TEXT"));
}

} // namespace
