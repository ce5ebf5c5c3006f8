// SPDX-License-Identifier: GPL-2.0-or-later
// The editor window under real input: keys, mouse, wheel, scroll bars, the context menu, the
// clipboard shared through the platform, the find dialog and dropped files.
#include "EditTestUtil.h"
#include "base/XToolTipWnd.h"
#include "edit/XFindDlg.h"
#include "edit/XMEditWnd.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Dialog.h"
#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"
#include "res/XFindDlgBaseAPI.h"
#include "tests/GuiTest.h"
#include "tests/TestSupport.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using plat::Keys::kControl;
using plat::Keys::kShift;

class XMEditWndTest : public OwnerWindowTest
{
protected:
    XMEditWndTest()
        : OwnerWindowTest("editor", plat::Rect::FromXYWH(40, 40, 420, 300))
    {
    }
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OwnerWindowTest::SetUp());
        ASSERT_TRUE(m_wnd.Create(m_owner, plat::Rect::FromXYWH(0, 0, 420, 300)));
        plat::test::ProcessUntilIdle();
        plat::test::Click(m_wnd, {5, 5});
        plat::test::ProcessUntilIdle();
    }
    void Key(uint32_t vk, uint32_t keys = 0)
    {
        plat::test::PressKey(m_wnd, vk, keys);
        plat::test::ProcessUntilIdle();
    }
    void Type(const std::string& text)
    {
        plat::test::TypeText(m_wnd, text);
        plat::test::ProcessUntilIdle();
    }
    static std::string Clipboard()
    {
        std::string text;
        plat::GetClipboardText(text);
        return text;
    }
    std::string State() { return StateOf(m_wnd.GetEdit()); }
    void Load(const std::string& notation) { LoadState(m_wnd.GetEdit(), notation); }
    // The client point in the middle of the cell at p.
    plat::Point At(XME_Pos p)
    {
        const plat::Point c = m_wnd.GetEdit().PosToPoint(p);
        return {c.x + 1, c.y + m_wnd.GetEdit().LineHeight() / 2};
    }

    XMEditWnd m_wnd;
};

} // namespace

TEST_F(XMEditWndTest, TypingSelectingAndTheClipboardWithRealKeys)
{
    EXPECT_TRUE(m_wnd.HasFocus());
    EXPECT_TRUE(m_wnd.GetEdit().HasFocusDisplay());
    Type("hello world");
    Key(plat::VK::kLeft, kShift);
    Key(plat::VK::kLeft, kShift);
    Key(plat::VK::kLeft, kShift);
    Key('C', kControl);
    EXPECT_EQ(Clipboard(), "rld");
    // Left ends the selection at its start; Ctrl+Shift+Left selects the word part before.
    Key(plat::VK::kLeft);
    EXPECT_EQ(State(), "hello wo|rld");
    // Ctrl+X cuts once: the character 24 after the key does not cut again.
    Key(plat::VK::kLeft, kShift | kControl);
    EXPECT_EQ(State(), "hello |wo^rld");
    Key('X', kControl);
    EXPECT_EQ(State(), "hello |rld");
    EXPECT_EQ(Clipboard(), "wo");
    // Enter once, Backspace once.
    Key(plat::VK::kReturn);
    EXPECT_EQ(State(), "hello \n|rld");
    Key(plat::VK::kBack);
    EXPECT_EQ(State(), "hello |rld");
    // Text put on the clipboard elsewhere is pasted, its line breaks read as breaks.
    ASSERT_TRUE(plat::SetClipboardText("A\r\nB"));
    Key('V', kControl);
    EXPECT_EQ(State(), "hello A\nB|rld");
    Key('Z', kControl);
    EXPECT_EQ(State(), "hello |rld");
    Key('Y', kControl);
    EXPECT_EQ(State(), "hello A\nB|rld");
    Key('A', kControl);
    EXPECT_EQ(State(), "^hello A\nBrld|");
    Key('C', kControl);
    EXPECT_EQ(Clipboard(), "hello A\nBrld");
    // A key the editor does not know is not used: Ctrl+S types nothing.
    Key(plat::VK::kRight);
    Key('S', kControl);
    EXPECT_EQ(State(), "hello A\nBrld|");
}

TEST_F(XMEditWndTest, ReadOnlyCopiesAndNeverChangesTheText)
{
    Load("one ^two| three");
    m_wnd.GetEdit().SetReadOnly(true);
    Type("xyz");
    Key(plat::VK::kDelete);
    Key(plat::VK::kReturn);
    EXPECT_EQ(TextOf(m_wnd.GetEdit()), "one two three");
    ASSERT_TRUE(plat::SetClipboardText("other"));
    Key('C', kControl);
    EXPECT_EQ(Clipboard(), "two");
    ASSERT_TRUE(plat::SetClipboardText("other"));
    Key('X', kControl);
    EXPECT_EQ(Clipboard(), "two");
    EXPECT_EQ(State(), "one ^two| three");
}

TEST_F(XMEditWndTest, ClipboardStopsAtTheFirstNulAndCtrlLWidensWithoutCopying)
{
    XMEdit& edit = m_wnd.GetEdit();
    edit.SetText(ZStr("ab\0cd", 5), "\n");
    edit.SelectAll();
    Key('C', kControl);
    EXPECT_EQ(Clipboard(), "ab");
    ASSERT_TRUE(plat::SetClipboardText(std::string("xy\0z", 4)));
    Key(plat::VK::kEnd, kControl);
    Key('V', kControl);
    EXPECT_EQ(TextOf(edit), std::string("ab\0cdxy", 7));

    Load("l1\nl^2\nl3\nl|4\nl5");
    ASSERT_TRUE(plat::SetClipboardText("keep"));
    Key('L', kControl);
    EXPECT_EQ(State(), "l1\n^l2\nl3\nl4|\nl5");
    EXPECT_EQ(Clipboard(), "keep");
    // Without a multi-line selection Ctrl+L cuts the caret's line with its break.
    Load("l1\nl|2\nl3");
    Key('L', kControl);
    EXPECT_EQ(State(), "l1\n|l3");
    EXPECT_EQ(Clipboard(), "l2\n");
}

TEST_F(XMEditWndTest, MouseSelectsAndTheContextMenuOpensOnThePress)
{
    XMEdit& edit = m_wnd.GetEdit();
    Load("|alpha beta gamma\ndelta epsilon");
    plat::test::Drag(m_wnd, At({0, 6}), At({1, 5}));
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(State(), "alpha ^beta gamma\ndelta| epsilon");
    plat::test::Click(m_wnd, At({1, 8}));
    plat::test::MouseDown(m_wnd, At({1, 8}), plat::test::Button::Left, 0, true);
    plat::test::MouseUp(m_wnd, At({1, 8}));
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(State(), "alpha beta gamma\ndelta ^epsilon|");

    // The menu: its entries and their states; choosing Copy copies the selection.
    ASSERT_TRUE(plat::SetClipboardText("x"));
    std::vector<plat::MenuItem> items;
    std::vector<std::string> offered;
    bool releasedBefore = true;
    plat::test::SetModalHook([&](const plat::test::ModalRequest& r) {
        EXPECT_EQ(r.kind, plat::test::ModalKind::PopupMenu);
        items = edit.GetMenu().GetItems();
        offered = r.items;
        // The menu opens while the button is still down.
        releasedBefore = false;
        for (size_t i = 0; i < r.items.size(); ++i) {
            if (r.items[i] == "Copy\tCtrl+C") {
                return plat::test::ModalAnswer{true, int(r.ids[i]), {}};
            }
        }
        return plat::test::ModalAnswer{true, 0, {}};
    });
    plat::test::MouseDown(m_wnd, At({0, 2}), plat::test::Button::Right);
    plat::test::ProcessUntilIdle();
    EXPECT_FALSE(releasedBefore);
    plat::test::MouseUp(m_wnd, At({0, 2}), plat::test::Button::Right);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(offered, (std::vector<std::string>{"Cut\tCtrl+X", "Copy\tCtrl+C", "Paste\tCtrl+V",
                                                 "Undo\tCtrl+Z", "Redo\tCtrl+Y"}));
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[3].kind, plat::MenuItem::Kind::Separator);
    EXPECT_FALSE(items[0].disabled); // cut: a selection
    EXPECT_FALSE(items[2].disabled); // paste: the clipboard holds text
    EXPECT_TRUE(items[4].disabled);  // nothing to undo
    EXPECT_EQ(Clipboard(), "epsilon");
    EXPECT_EQ(State(), "alpha beta gamma\ndelta ^epsilon|");
}

TEST_F(XMEditWndTest, WheelScrollBarTipAndFindKeys)
{
    XMEdit& edit = m_wnd.GetEdit();
    std::string text;
    for (int i = 1; i <= 250; ++i) {
        text += "line " + std::to_string(i) + (i < 250 ? "\n" : "");
    }
    Load("|" + text);
    plat::test::Wheel(m_wnd, {50, 50}, -240);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(edit.FirstLine(), 2 * XMEdit::kWheelLines);
    plat::test::Wheel(m_wnd, {50, 50}, 240);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(edit.FirstLine(), 0);

    // Dragging the vertical thumb shows where the view stands, and hides it at the end.
    const plat::ScrollInfo v = m_wnd.GetScrollInfo(plat::ScrollBar::Vertical);
    EXPECT_EQ(v.max, 249);
    EXPECT_EQ(v.page, edit.PageLines());
    std::vector<std::string> tips;
    struct TipRecorder : XMEditScrollerCB
    {
        TipRecorder(XMEdit& e, std::vector<std::string>& t)
            : XMEditScrollerCB(e)
            , tips(t)
        {
        }
        void ShowTip(ZStr text, plat::Point at) override
        {
            XMEditScrollerCB::ShowTip(text, at);
            // What the tool-tip window shows while the thumb moves.
            const XToolTipWnd* tip = GetTipWnd();
            tips.push_back(tip && tip->IsShown() ? tip->GetText().Text() : "(not shown)");
        }
        std::vector<std::string>& tips;
    };
    edit.SetScroller(std::make_unique<TipRecorder>(edit, tips));
    const plat::Rect client = m_wnd.GetClientRect();
    const plat::Point thumb{client.right + 5, 25};
    plat::test::Drag(m_wnd, thumb, {thumb.x, thumb.y + 60}, 6);
    plat::test::ProcessUntilIdle();
    ASSERT_FALSE(tips.empty());
    EXPECT_EQ(tips.back(), std::to_string(edit.FirstLine() + 1) + " of 250");
    EXPECT_GT(edit.FirstLine(), 0);
    EXPECT_FALSE(edit.GetScroller().IsTipShown());
    ASSERT_NE(edit.GetScroller().GetTipWnd(), nullptr);
    EXPECT_FALSE(edit.GetScroller().GetTipWnd()->IsShown());

    // Either scroll bar can be switched off; the view takes its room.
    const int32_t height = m_wnd.GetClientRect().Height();
    edit.EnableScrollBar(0, false);
    plat::test::ProcessUntilIdle();
    EXPECT_FALSE(m_wnd.IsScrollBarVisible(plat::ScrollBar::Horizontal));
    EXPECT_TRUE(m_wnd.IsScrollBarVisible(plat::ScrollBar::Vertical));
    EXPECT_GT(m_wnd.GetClientRect().Height(), height);
    EXPECT_EQ(edit.GetViewSize().cy, m_wnd.GetClientRect().Height());

    // F3 variants and the failed search's message.
    Load("foo bar\nba|r baz bar\nfoo");
    Key(plat::VK::kF3, kControl);
    EXPECT_EQ(State(), "foo bar\nbar baz ^bar|\nfoo");
    Key(plat::VK::kF3, kShift);
    EXPECT_EQ(State(), "foo bar\n^bar| baz bar\nfoo");
    Key(plat::VK::kF3, kShift);
    EXPECT_EQ(State(), "foo ^bar|\nbar baz bar\nfoo");
    std::vector<std::string> boxes;
    plat::test::SetModalHook([&](const plat::test::ModalRequest& r) {
        EXPECT_EQ(r.kind, plat::test::ModalKind::MessageBox);
        boxes.push_back(r.title + ": " + r.text);
        return plat::test::ModalAnswer{true, plat::kIdOk, {}};
    });
    edit.SetFindText("qux");
    Key(plat::VK::kF3);
    EXPECT_EQ(boxes, std::vector<std::string>{"Find: Can not find  'qux'"});
    EXPECT_EQ(State(), "foo ^bar|\nbar baz bar\nfoo");
}

TEST_F(XMEditWndTest, FindDialogSearchesFromTheCaretAndHidesUnlessKeptOpen)
{
    XMEdit& edit = m_wnd.GetEdit();
    Load("red gr|een blue\ngreen red\nGREEN");
    Key('F', kControl);
    XFindDlg* find = edit.GetFindDlg();
    ASSERT_NE(find, nullptr);
    ASSERT_TRUE(find->IsLoaded()) << find->GetError().Text();
    EXPECT_TRUE(find->IsVisible());
    ZString boxText;
    find->GetEdit(boxText);
    EXPECT_EQ(boxText, "green");
    plat::Dialog& dlg = find->GetBase()->GetDialog();
    auto click = [&](int id) {
        const plat::Rect r = dlg.GetControlRect(id);
        plat::test::Click(dlg, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        plat::test::ProcessUntilIdle();
    };
    click(XFindDlgBaseAPI::kIdNext);
    EXPECT_EQ(State(), "red green blue\n^green| red\nGREEN");
    EXPECT_FALSE(find->IsVisible());
    EXPECT_TRUE(m_wnd.HasFocus());
    // Kept open with case folding: the third one, then a failure shows the box and the
    // dialog stays.
    Key('F', kControl);
    find->SetKeepOpen(true);
    find->SetIgnoreCase(true);
    click(XFindDlgBaseAPI::kIdNext);
    EXPECT_EQ(State(), "red green blue\ngreen red\n^GREEN|");
    EXPECT_TRUE(find->IsVisible());
    std::vector<std::string> boxes;
    plat::test::SetModalHook([&](const plat::test::ModalRequest& r) {
        boxes.push_back(r.title + ": " + r.text);
        return plat::test::ModalAnswer{true, plat::kIdOk, {}};
    });
    edit.SetFindWrap(false);
    click(XFindDlgBaseAPI::kIdNext);
    EXPECT_EQ(boxes, std::vector<std::string>{"Find: Can not find  'green'"});
    EXPECT_TRUE(find->IsVisible());
    // Prev. goes back.
    click(XFindDlgBaseAPI::kIdPrev);
    EXPECT_EQ(State(), "red green blue\n^green| red\nGREEN");
    find->Show(false);
}

TEST_F(XMEditWndTest, DroppedFilesAreLoadedOrRefusedWithAMessage)
{
    TempFolder dir("xmedit_gui_drop");
    ASSERT_TRUE(dir.Made());
    const std::string text = dir.File("t.txt");
    const std::string binary = dir.File("b.bin");
    dir.Write("t.txt", "dropped\nlines");
    dir.Write("b.bin", std::string("\x7f"
                                   "ELF\0\0",
                                   6));
    Load("mine|");
    std::vector<std::string> boxes;
    plat::test::SetModalHook([&](const plat::test::ModalRequest& r) {
        boxes.push_back(r.title + ": " + r.text);
        return plat::test::ModalAnswer{true, plat::kIdOk, {}};
    });
    plat::test::DropFiles(m_wnd, {20, 20}, {binary});
    plat::test::ProcessUntilIdle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Open: Can not open '" + binary + "': it is not a text file");
    EXPECT_EQ(State(), "mine|");
    plat::test::DropFiles(m_wnd, {20, 20}, {text});
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(State(), "|dropped\nlines");
}
