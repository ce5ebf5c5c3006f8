// SPDX-License-Identifier: GPL-2.0-or-later
// The find dialog of the resource library, driven like a user drives it.
#include "FindDlgFixture.h"
#include "res/QuillRES.h"
#include "res/XFindDlgBase.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// Records every report as one line of text.
struct RecordingCB : XFindDlgBaseCB
{
    void OnFind(XFindDlgBase*, const char* text, bool forward, bool ignoreCase, bool edited,
                bool fresh, bool keepOpen) override
    {
        log.push_back(std::string("find ") + text + (forward ? " next" : " prev") +
                      " case=" + (ignoreCase ? "1" : "0") + " edited=" + (edited ? "1" : "0") +
                      " fresh=" + (fresh ? "1" : "0") + " keep=" + (keepOpen ? "1" : "0"));
    }
    void OnSelected(XFindDlgBase*, const char* text, int32_t index) override
    {
        log.push_back("selected " + std::string(text) + " " + std::to_string(index));
    }
    void OnEditChange(XFindDlgBase*, const char* text) override
    {
        log.push_back("edit " + std::string(text));
    }
    std::vector<std::string> log;
};

using XFindDlgBaseTest = FindDlgTest;

} // namespace

TEST_F(XFindDlgBaseTest, TypingSearchingAndChoosingSetTheFlags)
{
    XFindDlgBase dlg(&m_owner);
    RecordingCB cb;
    dlg.SetCB(&cb);
    dlg.AddFind("first");
    dlg.AddFind("second");
    ASSERT_TRUE(dlg.CreateDlg(nullptr, 0));
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(dlg.IsVisible());
    EXPECT_EQ(dlg.GetCount(XFindDlgBase::kIdCombo), 2);
    // The box is one line high, not as high as its open list.
    EXPECT_LT(dlg.GetControlRect(XFindDlgBase::kIdCombo).Height(), dlg.GetClientRect().Height());

    TypeIntoBox(dlg, "ab");
    EXPECT_TRUE(dlg.IsEdited());
    ClickControl(dlg, XFindDlgBase::kIdNext);
    ClickControl(dlg, XFindDlgBase::kIdNext);
    ClickControl(dlg, XFindDlgBase::kIdPrev);
    EXPECT_FALSE(dlg.IsFresh());
    EXPECT_EQ(cb.log, (std::vector<std::string>{
                          "edit a",
                          "edit ab",
                          "find ab next case=0 edited=1 fresh=1 keep=0",
                          "find ab next case=0 edited=1 fresh=0 keep=0",
                          "find ab prev case=0 edited=1 fresh=0 keep=0",
                      }));

    // The options are read from the check boxes at each search.
    cb.log.clear();
    ClickControl(dlg, XFindDlgBase::kIdIgnoreCase);
    ClickControl(dlg, XFindDlgBase::kIdKeepOpen);
    // Choosing an entry takes the text from the list and makes the next search fresh.
    ChooseFromList(dlg, 1);
    EXPECT_FALSE(dlg.IsEdited());
    EXPECT_TRUE(dlg.IsFresh());
    std::string text;
    dlg.GetEdit(text);
    EXPECT_EQ(text, "second");
    // Enter runs the default button, "Next".
    plat::test::PressKey(dlg, plat::VK::kReturn);
    plat::test::ProcessUntilIdle();
    EXPECT_EQ(cb.log, (std::vector<std::string>{
                          "selected second 1",
                          "find second next case=1 edited=0 fresh=1 keep=1",
                      }));
    EXPECT_TRUE(dlg.GetIgnoreCase());
    EXPECT_TRUE(dlg.GetKeepOpen());
    EXPECT_EQ(dlg.GetSelectedFind(), 1);

    // Typing again after a choice marks the text as edited and fresh once more.
    cb.log.clear();
    TypeIntoBox(dlg, "x");
    ClickControl(dlg, XFindDlgBase::kIdNext);
    EXPECT_EQ(cb.log.back(), "find secondx next case=1 edited=1 fresh=1 keep=1");
}

TEST_F(XFindDlgBaseTest, WithoutCallbackNothingHappensAndNullRestoresTheDefault)
{
    XFindDlgBase dlg(&m_owner);
    ASSERT_TRUE(dlg.CreateDlg(&m_owner, 0));
    plat::test::ProcessUntilIdle();
    TypeIntoBox(dlg, "q");
    ClickControl(dlg, XFindDlgBase::kIdNext);
    EXPECT_TRUE(dlg.IsVisible());
    EXPECT_FALSE(dlg.IsFresh());

    RecordingCB cb;
    dlg.SetCB(&cb);
    ClickControl(dlg, XFindDlgBase::kIdNext);
    EXPECT_EQ(cb.log.size(), 1u);
    dlg.SetCB(nullptr);
    EXPECT_EQ(dlg.CB(), &XFindDlgBase::m_CBDef);
    ClickControl(dlg, XFindDlgBase::kIdNext);
    TypeIntoBox(dlg, "r");
    EXPECT_EQ(cb.log.size(), 1u);
}

TEST_F(XFindDlgBaseTest, ClosedDialogComesBackWithItsText)
{
    XFindDlgBase dlg(&m_owner);
    ASSERT_TRUE(dlg.CreateDlg(nullptr, 0));
    plat::test::ProcessUntilIdle();
    TypeIntoBox(dlg, "xyz");
    ClickControl(dlg, XFindDlgBase::kIdKeepOpen);
    // Escape closes (hides) the window; the object and its state stay.
    plat::test::PressKey(dlg, plat::VK::kEscape);
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(dlg.IsCreated());
    EXPECT_FALSE(dlg.IsVisible());

    ASSERT_TRUE(dlg.CreateDlg(nullptr, 0));
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(dlg.IsVisible());
    std::string text;
    dlg.GetEdit(text);
    EXPECT_EQ(text, "xyz");
    EXPECT_EQ(dlg.GetCheck(XFindDlgBase::kIdKeepOpen), 1);

    // Emptying the history empties the box too; the next search is fresh.
    ClickControl(dlg, XFindDlgBase::kIdNext);
    EXPECT_FALSE(dlg.IsFresh());
    dlg.RemoveAll();
    dlg.GetEdit(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(dlg.GetCount(XFindDlgBase::kIdCombo), 0);
    EXPECT_TRUE(dlg.IsFresh());
    // Reset clears ignore case on screen as well.
    dlg.SetIgnoreCase(true);
    EXPECT_EQ(dlg.GetCheck(XFindDlgBase::kIdIgnoreCase), 1);
    dlg.Reset();
    EXPECT_EQ(dlg.GetCheck(XFindDlgBase::kIdIgnoreCase), 0);
    EXPECT_EQ(dlg.GetCheck(XFindDlgBase::kIdKeepOpen), 1);
}

TEST_F(XFindDlgBaseTest, HistoryFillsTheListInOrderWithTheRememberedSelection)
{
    XFindDlgBase dlg(&m_owner);
    ASSERT_TRUE(dlg.CreateDlg(nullptr, 0));
    dlg.RemoveAll();
    dlg.AddFind("one");
    dlg.AddFind("two");
    dlg.AddFind("three");
    dlg.SelectFind(1);
    dlg.InitDlg();
    dlg.InitDlg(); // filling twice does not repeat the entries
    ASSERT_EQ(dlg.GetCount(XFindDlgBase::kIdCombo), 3);
    EXPECT_EQ(dlg.GetItemText(XFindDlgBase::kIdCombo, 0), "one");
    EXPECT_EQ(dlg.GetItemText(XFindDlgBase::kIdCombo, 2), "three");
    EXPECT_EQ(dlg.GetCurSel(XFindDlgBase::kIdCombo), 1);
    std::string text;
    dlg.GetEdit(text);
    EXPECT_EQ(text, "two");
    // An index outside the history selects nothing and keeps the text.
    dlg.SelectFind(7);
    dlg.InitDlg();
    EXPECT_EQ(dlg.GetCurSel(XFindDlgBase::kIdCombo), -1);
}

TEST_F(XFindDlgBaseTest, ModalAndChildWindows)
{
    XFindDlgBase dlg(&m_owner);
    RecordingCB cb;
    dlg.SetCB(&cb);
    dlg.SetIgnoreCase(true);
    plat::test::SetModalHook([](const plat::test::ModalRequest& r) {
        EXPECT_EQ(r.kind, plat::test::ModalKind::Dialog);
        EXPECT_EQ(r.title, "Find");
        auto& d = static_cast<plat::Dialog&>(*r.window);
        EXPECT_EQ(d.GetCheck(XFindDlgBase::kIdIgnoreCase), 1);
        d.SetText(XFindDlgBase::kIdCombo, "modal");
        ClickControl(d, XFindDlgBase::kIdPrev);
        return plat::test::ModalAnswer{true, plat::kIdCancel, {}};
    });
    EXPECT_EQ(dlg.DoModal(), plat::kIdCancel);
    EXPECT_FALSE(dlg.IsCreated());
    EXPECT_EQ(cb.log, (std::vector<std::string>{"find modal prev case=1 edited=0 fresh=1 keep=0"}));
    plat::test::SetModalHook({});

    // A child find bar lives inside its parent; hidden until asked to show.
    XFindDlgBase child;
    ASSERT_TRUE(child.CreateDlgChild(&m_owner, false, 0));
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(child.IsCreated());
    EXPECT_FALSE(child.IsVisible());
    EXPECT_FALSE(child.IsTopLevel());
    ASSERT_TRUE(child.CreateDlgChild(&m_owner, true, 0));
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(child.IsVisible());
    // The modal run needs the window not to exist yet.
    EXPECT_EQ(child.DoModal(), -1);
}

TEST_F(XFindDlgBaseTest, CallbackMayDeleteTheDialog)
{
    struct Deleter : XFindDlgBaseCB
    {
        std::unique_ptr<XFindDlgBase>* owner = nullptr;
        int calls = 0;
        void OnFind(XFindDlgBase*, const char*, bool, bool, bool, bool, bool) override
        {
            ++calls;
            owner->reset();
        }
        void OnEditChange(XFindDlgBase*, const char*) override
        {
            ++calls;
            owner->reset();
        }
    } cb;
    for (int which = 0; which < 2; ++which) {
        auto dlg = std::make_unique<XFindDlgBase>(&m_owner);
        cb.owner = &dlg;
        dlg->SetCB(&cb);
        ASSERT_TRUE(dlg->CreateDlg(nullptr, 0));
        plat::test::ProcessUntilIdle();
        XFindDlgBase& d = *dlg;
        if (which == 0) {
            ClickControl(d, XFindDlgBase::kIdNext);
        } else {
            TypeIntoBox(d, "z");
        }
        EXPECT_EQ(dlg, nullptr);
    }
    EXPECT_EQ(cb.calls, 2);
}
