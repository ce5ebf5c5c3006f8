// SPDX-License-Identifier: GPL-2.0-or-later
// The main library's find dialog wrapper: it does not link the resource library, it loads
// it by module name (this test program does not link it either).
#include "FindDlgFixture.h"
#include "edit/XFindDlg.h"
#include "platform/Module.h"
#include "res/XFindDlgBaseAPI.h"

#include <string>
#include <vector>

namespace {

struct RecordingCB : XFindDlgCB
{
    void OnFind(XFindDlg& dlg, ZStr text, bool forward, bool ignoreCase, bool edited, bool fresh,
                bool keepOpen) override
    {
        EXPECT_EQ(&dlg, expected);
        log.push_back("find " + std::string(text.ptr, size_t(text.len)) +
                      (forward ? " next" : " prev") + (ignoreCase ? " case" : "") +
                      (edited ? " edited" : "") + (fresh ? " fresh" : "") +
                      (keepOpen ? " keep" : ""));
    }
    void OnSelected(XFindDlg&, ZStr text, int32_t index) override
    {
        log.push_back("selected " + std::string(text.ptr, size_t(text.len)) + " " +
                      std::to_string(index));
    }
    void OnEditChange(XFindDlg&, ZStr text) override
    {
        log.push_back("edit " + std::string(text.ptr, size_t(text.len)));
    }
    XFindDlg* expected = nullptr;
    std::vector<std::string> log;
};

using XFindDlgTest = FindDlgTest;
constexpr int kIdNext = XFindDlgBaseAPI::kIdNext;
constexpr int kIdPrev = XFindDlgBaseAPI::kIdPrev;

} // namespace

TEST_F(XFindDlgTest, LoadsTheResourceLibraryByNameAndForwardsEvents)
{
    EXPECT_EQ(plat::Module::Find("QuillRES"), nullptr) << "the test must not link QuillRES";
    XFindDlg find(&m_owner);
    ASSERT_TRUE(find.IsLoaded()) << find.GetError().Text();
    EXPECT_TRUE(find.GetError().IsEmpty());
    ASSERT_NE(plat::Module::Find("QuillRES.dll"), nullptr);

    RecordingCB cb;
    cb.expected = &find;
    find.SetCB(&cb);
    // What the editor does on "DoFindDlg": the taken text becomes the only history entry.
    ASSERT_TRUE(find.CreateDlg());
    find.RemoveAll();
    EXPECT_EQ(find.AddFind(ZStr("word", 4)), 0);
    find.SelectFind(0);
    find.InitDlg();
    find.Show(true);
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(find.IsVisible());
    ZString text;
    find.GetEdit(text);
    EXPECT_EQ(text, "word");

    plat::Dialog& dlg = find.GetBase()->GetDialog();
    ClickControl(dlg, kIdNext);
    TypeIntoBox(dlg, "s");
    ChooseFromList(dlg, 0);
    ClickControl(dlg, kIdPrev);
    EXPECT_EQ(cb.log, (std::vector<std::string>{"find word next fresh", "edit words",
                                                "selected word 0", "find word prev fresh"}));

    find.SetKeepOpen(true);
    EXPECT_TRUE(find.GetKeepOpen());
    find.SetIgnoreCase(true);
    EXPECT_TRUE(find.GetIgnoreCase());
    find.Reset();
    EXPECT_FALSE(find.GetIgnoreCase());
    find.Show(false);
    EXPECT_FALSE(find.IsVisible());

    // Back to the do-nothing callback.
    find.SetCB(nullptr);
    EXPECT_EQ(&find.CB(), &XFindDlgCB::Default());
    find.Show(true);
    TypeIntoBox(dlg, "t");
    ClickControl(dlg, kIdNext);
    EXPECT_EQ(cb.log.size(), 4u);
}

TEST_F(XFindDlgTest, NullTextsBecomeEmptyViews)
{
    XFindDlg find;
    ASSERT_TRUE(find.IsLoaded());
    RecordingCB cb;
    cb.expected = &find;
    find.SetCB(&cb);
    // The dialog never reports a null text itself; the forwarder still must not crash on
    // one from another sender.
    XFindDlgBaseCB* fwd = find.GetBase()->CB();
    fwd->OnFind(nullptr, nullptr, true, false, false, true, false);
    fwd->OnSelected(nullptr, nullptr, 3);
    fwd->OnEditChange(nullptr, nullptr);
    EXPECT_EQ(cb.log, (std::vector<std::string>{"find  next fresh", "selected  3", "edit "}));
    EXPECT_EQ(XFindDlgBaseCBFwd::View(nullptr).len, 0);
}
