// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Application.h"
#include "platform/FileDialog.h"
#include "platform/TestSupport.h"
#include "tests/TestSupport.h"
#include "tests/xmldlg/XmlDlgTestSupport.h"
#include "xmldlg/XMLMessageBox.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using plat::test::ModalAnswer;
using plat::test::ModalKind;
using plat::test::ModalRequest;

class TXMLDlgGuiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!plat::InitDisplay()) {
            GTEST_SKIP() << "no display";
        }
    }
    void TearDown() override { plat::test::SetModalHook(nullptr); }

    // Runs dlg modally; body acts on it from the modal hook and returns the answer.
    static int Run(TXMLDlg& dlg, const std::function<ModalAnswer(TXMLDlg&)>& body)
    {
        plat::test::SetModalHook([&](const ModalRequest& req) {
            if (req.kind != ModalKind::Dialog || req.window != &dlg) {
                return ModalAnswer{};
            }
            return body(dlg);
        });
        return dlg.DoModal();
    }
};

// Records every notification: the generic handler first, then the named slot.
struct Recorder : TXMLDlg_CB
{
    std::vector<std::string> log;
    bool OnNotify(const TXMLDlgNotify& n) override
    {
        log.push_back("notify " + S(n.notifyName) + " " + S(n.ctrlName));
        return TXMLDlg_CB::OnNotify(n);
    }
    bool Slot(const char* name, int32_t value = -99)
    {
        log.push_back(std::string("slot ") + name +
                      (value != -99 ? " " + std::to_string(value) : std::string()));
        return true;
    }
    bool OnEN_SETFOCUS(const TXMLDlgNotify&) override { return Slot("EN_SETFOCUS"); }
    bool OnEN_KILLFOCUS(const TXMLDlgNotify&) override { return Slot("EN_KILLFOCUS"); }
    bool OnEN_CHANGE(const TXMLDlgNotify&) override { return Slot("EN_CHANGE"); }
    bool OnEN_UPDATE(const TXMLDlgNotify&) override { return Slot("EN_UPDATE"); }
    bool OnBN_CLICKED(const TXMLDlgNotify&, int32_t s) override { return Slot("BN_CLICKED", s); }
    bool OnBN_SETFOCUS(const TXMLDlgNotify&) override { return Slot("BN_SETFOCUS"); }
    bool OnBN_KILLFOCUS(const TXMLDlgNotify&) override { return Slot("BN_KILLFOCUS"); }
    bool OnLBN_SELCHANGE(const TXMLDlgNotify&, int32_t s) override
    {
        return Slot("LBN_SELCHANGE", s);
    }
    bool OnLBN_DBLCLK(const TXMLDlgNotify&, int32_t s) override { return Slot("LBN_DBLCLK", s); }
    bool OnLBN_SELCANCEL(const TXMLDlgNotify&) override { return Slot("LBN_SELCANCEL"); }
    bool OnLBN_SETFOCUS(const TXMLDlgNotify&) override { return Slot("LBN_SETFOCUS"); }
    bool OnLBN_KILLFOCUS(const TXMLDlgNotify&) override { return Slot("LBN_KILLFOCUS"); }
    bool OnCBN_SELCHANGE(const TXMLDlgNotify&, int32_t s) override
    {
        return Slot("CBN_SELCHANGE", s);
    }
    bool OnCBN_DBLCLK(const TXMLDlgNotify&, int32_t s) override { return Slot("CBN_DBLCLK", s); }
    bool OnCBN_SETFOCUS(const TXMLDlgNotify&) override { return Slot("CBN_SETFOCUS"); }
    bool OnCBN_KILLFOCUS(const TXMLDlgNotify&) override { return Slot("CBN_KILLFOCUS"); }
    bool OnCBN_EDITCHANGE(const TXMLDlgNotify&) override { return Slot("CBN_EDITCHANGE"); }
    bool OnCBN_EDITUPDATE(const TXMLDlgNotify&) override { return Slot("CBN_EDITUPDATE"); }
    bool OnCBN_DROPDOWN(const TXMLDlgNotify&) override { return Slot("CBN_DROPDOWN"); }
    bool OnCBN_CLOSEUP(const TXMLDlgNotify&) override { return Slot("CBN_CLOSEUP"); }
    bool OnCBN_SELENDOK(const TXMLDlgNotify&, int32_t s) override
    {
        return Slot("CBN_SELENDOK", s);
    }
    bool OnCBN_SELENDCANCEL(const TXMLDlgNotify&, int32_t s) override
    {
        return Slot("CBN_SELENDCANCEL", s);
    }
};

TEST_F(TXMLDlgGuiTest, EveryNotificationArrivesByNameInDispatchOrder)
{
    TXMLDlg dlg;
    ASSERT_TRUE(
        dlg.SetMarkup("<DLG><INPUT name=ed type=EDIT/><INPUT name=bt type=BUTTON text=Go/>"
                      "<INPUT name=ck type=CHECK text=Check/>"
                      "<INPUT name=lb type=LISTBOX text='a|b|c'/>"
                      "<INPUT name=dd type=DROPDOWN dropEdit=1 text='x|y'/>"
                      "<INPUT name=quit type=BUTTON text=Quit cmd='@EndDlgCancel'/></DLG>"));
    Recorder rec;
    dlg.SetNotifyCB(rec);
    struct Expect
    {
        int32_t id;
        uint32_t code;
        const char* name;
        const char* ctrl;
        int value;
    };
    const Expect table[] = {
        {1000, 0x100, "EN_SETFOCUS", "ed", -99}, {1000, 0x200, "EN_KILLFOCUS", "ed", -99},
        {1000, 0x300, "EN_CHANGE", "ed", -99},   {1000, 0x400, "EN_UPDATE", "ed", -99},
        {1001, 0, "BN_CLICKED", "bt", 0},        {1001, 6, "BN_SETFOCUS", "bt", -99},
        {1001, 7, "BN_KILLFOCUS", "bt", -99},    {1002, 0, "BN_CLICKED", "ck", 1},
        {1003, 1, "LBN_SELCHANGE", "lb", 2},     {1003, 2, "LBN_DBLCLK", "lb", 2},
        {1003, 3, "LBN_SELCANCEL", "lb", -99},   {1003, 4, "LBN_SETFOCUS", "lb", -99},
        {1003, 5, "LBN_KILLFOCUS", "lb", -99},   {1004, 1, "CBN_SELCHANGE", "dd", 1},
        {1004, 2, "CBN_DBLCLK", "dd", 1},        {1004, 3, "CBN_SETFOCUS", "dd", -99},
        {1004, 4, "CBN_KILLFOCUS", "dd", -99},   {1004, 5, "CBN_EDITCHANGE", "dd", -99},
        {1004, 6, "CBN_EDITUPDATE", "dd", -99},  {1004, 7, "CBN_DROPDOWN", "dd", -99},
        {1004, 8, "CBN_CLOSEUP", "dd", -99},     {1004, 9, "CBN_SELENDOK", "dd", 1},
        {1004, 10, "CBN_SELENDCANCEL", "dd", 1},
    };
    const int result = Run(dlg, [&](TXMLDlg& d) {
        d.SetCheck(1002, 1);
        d.SetCurSel(1003, 2);
        d.SetCurSel(1004, 1);
        plat::test::ProcessUntilIdle();
        for (const Expect& e : table) {
            rec.log.clear();
            EXPECT_TRUE(d.HandleCommand(e.id, e.code)) << e.name;
            const std::string slot = std::string("slot ") + e.name +
                                     (e.value != -99 ? " " + std::to_string(e.value) : "");
            EXPECT_EQ(rec.log, (std::vector<std::string>{
                                   std::string("notify ") + e.name + " " + e.ctrl, slot}));
        }
        // Codes a type does not have, and identifiers of no control, go to the platform.
        EXPECT_FALSE(d.HandleCommand(1000, 1));
        EXPECT_FALSE(d.HandleCommand(999, 0));
        EXPECT_FALSE(d.HandleCommand(1006, 0));

        // A real click: the generic handler, then the slot with the button's name (focus
        // moving away from the edit field is reported too).
        rec.log.clear();
        ClickCtrl(d, "bt");
        EXPECT_EQ(rec.log, (std::vector<std::string>{"notify EN_KILLFOCUS ed", "slot EN_KILLFOCUS",
                                                     "notify BN_CLICKED bt", "slot BN_CLICKED 0"}));

        // A command ends the dialog and its slot is not asked.
        rec.log.clear();
        ClickCtrl(d, "quit");
        EXPECT_EQ(rec.log, (std::vector<std::string>{"notify BN_CLICKED quit"}));
        return ModalAnswer{};
    });
    EXPECT_EQ(result, 0);
}

TEST_F(TXMLDlgGuiTest, RegisteredValuesMoveInAndOutWithTheCommands)
{
    const char* markup = "<DLG><TEXT text=%Text%/><INPUT name=edit type=EDIT text='%Text%'/>"
                         "<INPUT name=lb type=LISTBOX multiLineSel=1 text='a|b|c'/>"
                         "<INPUT name=one type=LISTBOX text='a|b|c'/>"
                         "<INPUT name=OK type=BUTTON text=OK cmd='@EndDlgOK'/>"
                         "<INPUT name=Cancel type=BUTTON text=Cancel cmd='@EndDlgCancel'/></DLG>";
    for (const bool confirm : {true, false}) {
        TXMLDlg dlg;
        ASSERT_TRUE(dlg.SetMarkup(markup));
        ZString text("before");
        dlg.RegisterRef("edit.text", XValueRef(&text));
        dlg.RegisterRef("Text", XValueRef(&text));
        const int result = Run(dlg, [&](TXMLDlg& d) {
            EXPECT_EQ(d.GetText(1000), "before");
            d.SetText(1000, "after");
            TXMLDlgDataBinder& b = d.GetBinder();
            // The list's items in the order written.
            XTextArray items;
            EXPECT_TRUE(b.Transfer("one", XDataDir::Read, XValueRef(&items)));
            EXPECT_EQ(items.Count(), 3);
            EXPECT_EQ(d.GetItemText(1002, 0) + d.GetItemText(1002, 1) + d.GetItemText(1002, 2),
                      "abc");
            // A single-selection list: the index as an integer, the item as text.
            d.SetCurSel(1002, 1);
            int32_t sel = -1;
            ZString item;
            EXPECT_TRUE(b.GetInt("one.curSel", sel));
            EXPECT_EQ(sel, 1);
            EXPECT_TRUE(b.GetText("one.curSel", item));
            EXPECT_EQ(item, "b");
            // Multiple selection reads as a list of indices.
            XIntArray picks;
            picks.Append(0);
            picks.Append(2);
            EXPECT_TRUE(b.Transfer("lb.curSel", XDataDir::Write, XValueRef(&picks)));
            XIntArray back;
            EXPECT_TRUE(b.Transfer("lb.curSel", XDataDir::Read, XValueRef(&back)));
            EXPECT_EQ(back.Count(), 2);
            EXPECT_TRUE(b.GetText("lb.curSel", item));
            EXPECT_EQ(item, "a");
            EXPECT_TRUE(b.SetInt("lb.enable", 0));
            EXPECT_FALSE(d.IsControlEnabled(1001));
            ClickCtrl(d, confirm ? "OK" : "Cancel");
            return ModalAnswer{};
        });
        EXPECT_EQ(result, confirm ? 1 : 0);
        EXPECT_EQ(text, confirm ? "after" : "before");
    }
}

TEST_F(TXMLDlgGuiTest, CustomControlsCarryValues)
{
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup("<DLG><INPUT name=ch type=XCHART title=Response size='200x120'/>"
                              "<INPUT name=tb type=TABCTRL text='f;loss|1;0.5|2;0.7'/>"
                              "<INPUT name=ob type=DRAWOBJ drawType=PercentBar text=40/>"
                              "<INPUT name=nd type=TXMLDLG editMode=partial "
                              "text='&#x3C;DLG&#x3E;&#x3C;TEXT text=in/&#x3E;&#x3C;/DLG&#x3E;'/>"
                              "<INPUT name=ed type=EDIT/></DLG>"));
    ZString live;
    dlg.RegisterRef("ed", XValueRef(&live), true);
    Run(dlg, [&](TXMLDlg& d) {
        TXMLDlgDataBinder& b = d.GetBinder();
        // The chart takes the element's chart attributes and is bound by path.
        ZString text;
        EXPECT_TRUE(b.GetText("ch.opt.title", text));
        EXPECT_EQ(text, "Response");
        EXPECT_TRUE(b.SetText("ch.line.L1.color", "red"));

        // The table: rows and cells from the text, written as a whole and read back.
        XTextArray cells;
        EXPECT_TRUE(b.Transfer("tb", XDataDir::Read, XValueRef(&cells)));
        EXPECT_EQ(cells.Count(), 6);
        EXPECT_EQ(cells.Count() > 3 ? cells[3] : ZString(), "0.5");
        XRealArray numbers;
        numbers.Append(3.0);
        numbers.Append(0.25);
        EXPECT_TRUE(b.Transfer("tb", XDataDir::Write, XValueRef(&numbers)));
        EXPECT_TRUE(b.Transfer("tb", XDataDir::Read, XValueRef(&cells)));
        EXPECT_EQ(cells.Count(), 2);
        EXPECT_EQ(cells.Count() > 1 ? cells[1] : ZString(), "0.25");

        int32_t pct = 0;
        EXPECT_TRUE(b.GetInt("ob", pct));
        EXPECT_EQ(pct, 40);
        EXPECT_TRUE(b.SetText("ob", "75"));
        EXPECT_TRUE(b.GetText("nd.editMode", text));
        EXPECT_EQ(text, "partial");

        // An automatic reference follows its control at each of its notifications.
        d.SetText(1004, "typed");
        plat::test::ProcessUntilIdle();
        EXPECT_EQ(live, "typed");
        return ModalAnswer{true, 0, {}};
    });
}

TEST_F(TXMLDlgGuiTest, SizeToContentFitsTheClientArea)
{
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup("<DLG margin='20x10'><SP width=333 height=111/></DLG>", true));
    Run(dlg, [&](TXMLDlg& d) {
        const plat::Rect c = d.GetClientRect();
        EXPECT_EQ(c.Width(), 373);
        EXPECT_EQ(c.Height(), 131);
        plat::test::ProcessUntilIdle();
        EXPECT_GE(d.GetPaintCount(), 1);
        return ModalAnswer{true, 0, {}};
    });
}

TEST_F(TXMLDlgGuiTest, PlacementScrollingPaintVariablesAndEditMode)
{
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup("<DLG editMode=full><INPUT name=ed type=EDIT size='80x20'/>"
                              "<SP width=1500 height=1500/></DLG>"));
    int32_t count = 0;
    double micros = -1;
    ZString hit;
    dlg.RegisterRef("PAINTCOUNT", XValueRef(&count));
    dlg.RegisterRef("PAINTTIME", XValueRef(&micros));
    dlg.RegisterRef("PAINTHITRECT", XValueRef(&hit));
    dlg.SetWindowRect(NXRect{100, 120, 300, 200}, false);
    Run(dlg, [&](TXMLDlg& d) {
        plat::test::ProcessUntilIdle();
        const plat::Rect w = d.GetWindowRect();
        EXPECT_EQ(w.left, 100);
        EXPECT_EQ(w.top, 120);
        EXPECT_EQ(d.GetEditMode(), TXMLDlgEditMode::Full);

        // The pointer over the edit field's rectangle, then a paint, publishes it.
        plat::test::MouseMove(d, {5, 5});
        plat::Message move;
        move.kind = plat::Msg::MouseMove;
        move.pt = {20, 20};
        d.OnMessage(d, move);
        d.Invalidate();
        d.Update();
        plat::test::ProcessUntilIdle();
        EXPECT_GE(count, 1);
        EXPECT_GE(micros, 0.0);
        EXPECT_EQ(S(hit), "15@15,80x20");

        // Line steps of 24 pixels down and 10 across; the controls move with the content.
        auto scroll = [&](plat::Msg kind, plat::ScrollCode code, int pos = 0) {
            plat::Message m;
            m.kind = kind;
            m.code = uint32_t(code);
            m.pos = pos;
            d.OnMessage(d, m);
        };
        const plat::Rect before = d.GetControlRect(1000);
        scroll(plat::Msg::VScroll, plat::ScrollCode::LineDown);
        scroll(plat::Msg::HScroll, plat::ScrollCode::LineDown);
        EXPECT_EQ(d.GetScrollOffset().y, 24);
        EXPECT_EQ(d.GetScrollOffset().x, 10);
        EXPECT_EQ(d.GetControlRect(1000).top, before.top - 24);
        const plat::ScrollInfo si = d.GetScrollInfo(plat::ScrollBar::Vertical);
        scroll(plat::Msg::VScroll, plat::ScrollCode::Bottom);
        EXPECT_EQ(d.GetScrollOffset().y, si.max - si.page);
        scroll(plat::Msg::VScroll, plat::ScrollCode::LineUp);
        EXPECT_EQ(d.GetScrollOffset().y, si.max - si.page - 24);
        scroll(plat::Msg::VScroll, plat::ScrollCode::ThumbTrack, 100);
        EXPECT_EQ(d.GetScrollOffset().y, 100);
        scroll(plat::Msg::VScroll, plat::ScrollCode::ThumbTrack, -50);
        EXPECT_EQ(d.GetScrollOffset().y, 0);
        scroll(plat::Msg::HScroll, plat::ScrollCode::Top);
        EXPECT_EQ(d.GetScrollOffset().x, 0);

        // In edit mode the frame around a control drags it.
        const plat::Rect r = d.GetControlRect(1000);
        plat::test::Drag(d, {r.left - 3, r.top + 5}, {r.left + 27, r.top + 15});
        plat::test::ProcessUntilIdle();
        EXPECT_EQ(d.GetControlRect(1000).left, r.left + 30);
        EXPECT_EQ(d.GetControlRect(1000).top, r.top + 10);
        return ModalAnswer{true, 0, {}};
    });
}

// A handler that loads new markup drops the control records: the steps after it get the
// notification without a record, and a drag in edit mode ends with its control.
TEST_F(TXMLDlgGuiTest, ReplacingTheMarkupFromAHandlerIsSafe)
{
    struct Swapper : TXMLDlg_CB
    {
        std::vector<std::string> log;
        bool OnNotify(const TXMLDlgNotify& n) override
        {
            if (n.ctrlName == "swap") {
                n.dlg->SetMarkup("<DLG editMode=full><INPUT name=swap type=BUTTON text=New "
                                 "cmd='@EndDlgOK'/></DLG>");
                n.dlg->Layout();
            }
            return false;
        }
        bool OnBN_CLICKED(const TXMLDlgNotify& n, int32_t) override
        {
            log.push_back(S(n.ctrlName) + (n.ctrl ? " record" : " no record"));
            return true;
        }
    } cb;
    TXMLDlg dlg;
    ASSERT_TRUE(dlg.SetMarkup("<DLG editMode=full><INPUT name=swap type=BUTTON text=Old/></DLG>"));
    dlg.SetNotifyCB(cb);
    const int result = Run(dlg, [&](TXMLDlg& d) {
        plat::test::ProcessUntilIdle();
        // The new control has the old one's identifier and a command; neither runs for the
        // click on the old one.
        EXPECT_TRUE(d.HandleCommand(1000, 0));
        EXPECT_EQ(cb.log, (std::vector<std::string>{"swap no record"}));
        EXPECT_EQ(d.GetText(1000), "New");

        // A drag begun on the grip of a control that a reload then drops goes nowhere.
        const plat::Rect r = d.GetControlRect(1000);
        plat::Message down;
        down.kind = plat::Msg::LButtonDown;
        down.pt = {r.left - 3, r.top + 5};
        EXPECT_TRUE(d.OnMessage(d, down));
        d.SetMarkup("<DLG editMode=full><INPUT name=other type=EDIT/></DLG>");
        plat::Message up = down;
        up.kind = plat::Msg::LButtonUp;
        up.pt = {r.left + 40, r.top + 40};
        EXPECT_FALSE(d.OnMessage(d, up));
        return ModalAnswer{true, 0, {}};
    });
    EXPECT_EQ(result, 0);
}

TEST_F(TXMLDlgGuiTest, MessageBoxWithOneAndTwoButtons)
{
    const std::string title = "A \"quoted\" & title";
    for (const bool okOnly : {true, false}) {
        std::string seenTitle;
        int buttons = 0;
        plat::test::SetModalHook([&](const ModalRequest& req) {
            auto* dlg = dynamic_cast<TXMLDlg*>(req.window);
            if (req.kind != ModalKind::Dialog || !dlg) {
                return ModalAnswer{};
            }
            seenTitle = dlg->GetTitle();
            buttons = dlg->GetCtrlCount();
            const TXMLCtrl* c = dlg->FindCtrl(okOnly ? "OK" : "Cancel");
            EXPECT_NE(c, nullptr);
            if (c) {
                const plat::Rect r = dlg->GetControlRect(c->id);
                plat::test::Click(*dlg, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
            }
            return ModalAnswer{};
        });
        const int result = XMLMessageBox(title.c_str(), "Line one\r\nLine & two", okOnly);
        EXPECT_EQ(result, okOnly ? 1 : 0);
        EXPECT_EQ(seenTitle, title);
        EXPECT_EQ(buttons, okOnly ? 1 : 2);
    }
}

// A long text is wrapped and cut to the screen, and markup wider than the screen scrolls: the
// box and its button stay on the screen.
TEST_F(TXMLDlgGuiTest, LongMessagesFitTheScreen)
{
    const plat::Rect screen = plat::GetScreenWorkArea();
    ASSERT_FALSE(screen.IsEmpty());
    std::string words;
    while (words.size() < 4500) {
        words += "resonator ";
    }
    std::string tall;
    for (int i = 0; i < 2000; ++i) {
        tall += "line " + std::to_string(i) + "\r\n";
    }
    const std::string wideMarkup = "<SP width=40000 height=30/>";
    const struct
    {
        const std::string& text;
        bool markup;
    } cases[] = {{words, false}, {tall, false}, {wideMarkup, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 12));
        plat::Rect box, ok;
        plat::test::SetModalHook([&](const ModalRequest& req) {
            auto* dlg = dynamic_cast<TXMLDlg*>(req.window);
            if (req.kind != ModalKind::Dialog || !dlg) {
                return ModalAnswer{};
            }
            plat::test::ProcessUntilIdle();
            box = dlg->GetWindowRect();
            const TXMLCtrl* button = dlg->FindCtrl("OK");
            EXPECT_NE(button, nullptr);
            if (button) {
                const plat::Rect b = dlg->GetControlRect(button->id);
                const plat::Point tl = dlg->ClientToScreen(b.TopLeft());
                ok = b.Offset(tl.x - b.left, tl.y - b.top);
            }
            return ModalAnswer{true, 1, {}};
        });
        EXPECT_EQ(XMLMessageBox("Long", ZStr(c.text.c_str()), true, c.markup), 1);
        EXPECT_GE(box.left, screen.left);
        EXPECT_GE(box.top, screen.top);
        EXPECT_LE(box.right, screen.right);
        EXPECT_LE(box.bottom, screen.bottom);
        if (!c.markup) {
            EXPECT_LE(box.Width(), screen.Width() * 2 / 3 + 100);
            EXPECT_GE(ok.top, box.top);
            EXPECT_LE(ok.bottom, box.bottom);
        }
    }
}

// Once installed, the platform's message boxes (the editor's failed search among them) are the
// markup message box; Yes/No questions stay the platform's.
TEST_F(TXMLDlgGuiTest, InstalledMessageBoxServesThePlatformsBoxes)
{
    XMLMessageBoxInstall();
    std::vector<std::string> seen;
    plat::test::SetModalHook([&](const ModalRequest& req) {
        auto* dlg = dynamic_cast<TXMLDlg*>(req.window);
        if (req.kind == ModalKind::Dialog && dlg) {
            seen.push_back("markup: " + dlg->GetTitle());
            return ModalAnswer{true, 1, {}};
        }
        if (req.kind == ModalKind::MessageBox) {
            seen.push_back("platform: " + req.title);
            return ModalAnswer{true, plat::kIdNo, {}};
        }
        return ModalAnswer{};
    });
    EXPECT_EQ(plat::ShowMessageBox(nullptr, "Can not find  'x'", "Find"), plat::kIdOk);
    EXPECT_EQ(plat::ShowMessageBox(nullptr, "Save?", "Question", plat::MessageBoxButtons::YesNo),
              plat::kIdNo);
    plat::SetMessageBoxPresenter(nullptr);
    EXPECT_EQ(plat::ShowMessageBox(nullptr, "Can not find  'y'", "Find"), plat::kIdNo);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"markup: Find", "platform: Question", "platform: Find"}));
}

} // namespace
