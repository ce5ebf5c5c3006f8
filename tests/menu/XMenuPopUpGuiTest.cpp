// SPDX-License-Identifier: GPL-2.0-or-later
// Showing menus for real: through the modal hook, and through the toolkit's own menu driven
// by keys.
#include "base/ZTimer.h"
#include "menu/XMenuPopUp.h"
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "platform/Window.h"
#include "tests/GuiTest.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

struct RecordingCB : XMenuPopUpCB
{
    bool OnMenuCmd(XMenuPopUp& menu, const XMenuPopUpEntry& entry, ZStr cmd, ZStr, ZStr,
                   int32_t id) override
    {
        cmds.emplace_back(cmd.ptr, size_t(cmd.len));
        ids.push_back(id);
        checked.push_back(entry.IsChecked());
        menusWhileCalled = menu.GetMenuCount();
        return true;
    }
    std::vector<std::string> cmds;
    std::vector<int32_t> ids;
    std::vector<bool> checked;
    int32_t menusWhileCalled = -1;
};

class XMenuPopUpGuiTest : public OwnerWindowTest
{
protected:
    XMenuPopUpGuiTest()
        : OwnerWindowTest("menu owner", plat::Rect::FromXYWH(40, 40, 300, 200))
    {
    }
    // Answers every popup menu with the given id and records what it offered.
    void AnswerWith(int id)
    {
        plat::test::SetModalHook([this, id](const plat::test::ModalRequest& r) {
            EXPECT_EQ(r.kind, plat::test::ModalKind::PopupMenu);
            EXPECT_EQ(r.window, &m_owner);
            offered = r.items;
            offeredIds = r.ids;
            return plat::test::ModalAnswer{true, id, {}};
        });
    }

    static ZString EditMenu(bool canPaste)
    {
        ZString m;
        XMenuPopUp::AddItem(m, "Cut\tCtrl+X", "DoCut", false, false);
        XMenuPopUp::AddItem(m, "Copy\tCtrl+C", "DoCopy", true, false);
        XMenuPopUp::AddItem(m, "Paste\tCtrl+V", "DoPaste", canPaste, false);
        XMenuPopUp::AddSeparator(m);
        ZString tools;
        XMenuPopUp::AddItem(tools, "Cursor Values", "DoCursorValues", true, true);
        XMenuPopUp::AddMenu(m, "Tools", "", "", "", "", 0, tools.Str());
        return m;
    }

    std::vector<std::string> offered;
    std::vector<uint32_t> offeredIds;
};

} // namespace

TEST_F(XMenuPopUpGuiTest, ChosenEntryReachesTheCallbackWithItsCommand)
{
    XMenuPopUp menu;
    RecordingCB cb;
    AnswerWith(6); // "Cursor Values", inside the submenu
    EXPECT_TRUE(menu.Show(EditMenu(true).Str(), &m_owner, {100.5, 80.4}, XMenuButton::Right, &cb));
    EXPECT_EQ(offered, (std::vector<std::string>{"Cut\tCtrl+X", "Copy\tCtrl+C", "Paste\tCtrl+V",
                                                 "Cursor Values"}));
    EXPECT_EQ(offeredIds, (std::vector<uint32_t>{1, 2, 3, 6}));
    EXPECT_EQ(cb.cmds, (std::vector<std::string>{"DoCursorValues"}));
    EXPECT_EQ(cb.ids, (std::vector<int32_t>{6}));
    EXPECT_TRUE(cb.checked[0]);
    // The menu objects exist while the callback runs and are gone after the menu closed.
    EXPECT_EQ(cb.menusWhileCalled, 2);
    EXPECT_EQ(menu.GetMenuCount(), 0);

    // The callback stays set for later showings.
    AnswerWith(2);
    EXPECT_TRUE(menu.Show(EditMenu(true).Str(), &m_owner, {10, 10}));
    EXPECT_EQ(cb.cmds.back(), "DoCopy");
}

TEST_F(XMenuPopUpGuiTest, NoCallbackWithoutAChoice)
{
    XMenuPopUp menu;
    RecordingCB cb;
    menu.SetCB(&cb);

    AnswerWith(0); // closed without a choice
    EXPECT_FALSE(menu.Show(EditMenu(true).Str(), &m_owner, {10, 10}));
    AnswerWith(1); // "Cut" is disabled
    EXPECT_FALSE(menu.Show(EditMenu(true).Str(), &m_owner, {10, 10}));
    AnswerWith(3); // "Paste" is disabled when the clipboard is empty
    EXPECT_FALSE(menu.Show(EditMenu(false).Str(), &m_owner, {10, 10}));
    AnswerWith(5); // the submenu's own element is not an item
    EXPECT_FALSE(menu.Show(EditMenu(true).Str(), &m_owner, {10, 10}));
    AnswerWith(1);
    EXPECT_FALSE(menu.Show("", &m_owner, {10, 10}));
    EXPECT_TRUE(offered.empty());
    EXPECT_TRUE(cb.cmds.empty());
}

TEST_F(XMenuPopUpGuiTest, ToolkitMenuIsChosenAndClosedByKeys)
{
    // Without a hook the real menu opens; a timer presses keys in it.
    struct Keys : ZTimerCB
    {
        std::vector<uint32_t> keys;
        size_t next = 0;
        bool OnTimer(ZTimer&, uint32_t, uint32_t, uint32_t) override
        {
            if (next < keys.size())
                plat::test::PressKeyInActiveWindow(keys[next++]);
            return true;
        }
    } keys;
    ZTimer timer(keys, 50);
    ASSERT_TRUE(timer.Restart());

    XMenuPopUp menu;
    RecordingCB cb;
    menu.SetCB(&cb);
    // Down skips the disabled "Cut"; Return chooses "Copy".
    keys.keys = {plat::VK::kDown, plat::VK::kReturn};
    EXPECT_TRUE(menu.Show(EditMenu(true).Str(), &m_owner, {120, 120}));
    EXPECT_EQ(cb.cmds, (std::vector<std::string>{"DoCopy"}));

    keys.keys = {plat::VK::kEscape};
    keys.next = 0;
    EXPECT_FALSE(menu.Show(EditMenu(true).Str(), &m_owner, {120, 120}));
    EXPECT_EQ(cb.cmds.size(), 1u);
    timer.Stop();
}

TEST_F(XMenuPopUpGuiTest, CallbackMayShowAnotherMenuOrDestroyTheMenu)
{
    auto menu = std::make_unique<XMenuPopUp>();
    struct Nested : XMenuPopUpCB
    {
        std::unique_ptr<XMenuPopUp>* owner = nullptr;
        plat::Window* wnd = nullptr;
        std::vector<std::string> cmds;
        bool OnMenuCmd(XMenuPopUp& m, const XMenuPopUpEntry& entry, ZStr cmd, ZStr, ZStr,
                       int32_t) override
        {
            cmds.emplace_back(cmd.ptr, size_t(cmd.len));
            if (entry.cmd == "DoMore") {
                // Shown again from inside its own callback, with other markup.
                ZString other;
                XMenuPopUp::AddItem(other, "Inner", "DoInner", true, false);
                m.Show(other.Str(), wnd, {0, 0});
            } else if (entry.cmd == "DoClose") {
                owner->reset();
            }
            return true;
        }
    } cb;
    cb.owner = &menu;
    cb.wnd = &m_owner;
    menu->SetCB(&cb);
    ZString m;
    XMenuPopUp::AddItem(m, "More", "DoMore", true, false);
    XMenuPopUp::AddItem(m, "Close", "DoClose", true, false);

    AnswerWith(1);
    EXPECT_TRUE(menu->Show(m.Str(), &m_owner, {0, 0}));
    EXPECT_EQ(cb.cmds, (std::vector<std::string>{"DoMore", "DoInner"}));
    EXPECT_EQ(menu->GetMenuCount(), 0);

    AnswerWith(2);
    EXPECT_TRUE(menu->Show(m.Str(), &m_owner, {0, 0}));
    EXPECT_EQ(menu, nullptr);
    EXPECT_EQ(cb.cmds.back(), "DoClose");
}
