// SPDX-License-Identifier: GPL-2.0-or-later
// The quill-edit window: saving with the file's own line breaks, and closing with unsaved
// changes, answered Cancel, No and Yes.
#include "EditTestUtil.h"
#include "edit/XMEdit.h"
#include "platform/Application.h"
#include "platform/Messages.h"
#include "platform/TestSupport.h"
#include "tests/GuiTest.h"
#include "tests/TestSupport.h"
#include "tools/quill-edit/QuillEditApp.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class QuillEditTest : public GuiTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(GuiTest::SetUp());
        ASSERT_TRUE(m_dir.Made());
        m_dir.Write("t.txt", "a\r\nb\r\n");
    }
    // Answers every message box with button and records its text.
    void Answer(int button)
    {
        plat::test::SetModalHook([this, button](const plat::test::ModalRequest& r) {
            m_boxes.push_back(r.text);
            return plat::test::ModalAnswer{true, button, {}};
        });
    }
    static void Close(QuillEditApp& app)
    {
        plat::Message close;
        close.kind = plat::Msg::Close;
        app.OnMessage(app.GetTop(), close);
    }

    TempFolder m_dir{"quill_edit_gui"};
    const std::string m_path = m_dir.File("t.txt");
    std::vector<std::string> m_boxes;
};

} // namespace

TEST_F(QuillEditTest, SavesWithTheFileLineBreaksAndAsksBeforeLosingChanges)
{
    ZString text;
    ZString error;
    ASSERT_TRUE(XMEdit::ReadTextFile(m_path, text, error));
    QuillEditApp app(m_path, false);
    ASSERT_TRUE(app.Open(text, XMEdit::LineBreakOf(text.Str())));
    plat::test::ProcessUntilIdle();
    XMEditWnd& wnd = app.GetEditWnd();
    EXPECT_EQ(app.GetTop().GetTitle(), m_path + " - quill-edit");

    plat::test::TypeText(wnd, "x");
    plat::test::ProcessUntilIdle();
    EXPECT_TRUE(app.IsModified());
    EXPECT_EQ(app.GetTop().GetTitle(), "*" + m_path + " - quill-edit");
    plat::test::PressKey(wnd, 'S', plat::Keys::kControl);
    plat::test::ProcessUntilIdle();
    EXPECT_FALSE(app.IsModified());
    EXPECT_EQ(ReadFile(m_path), "xa\r\nb\r\n");

    // Unchanged: it closes without asking.
    Answer(plat::kIdCancel);
    Close(app);
    EXPECT_TRUE(app.IsClosed());
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(QuillEditTest, CloseWithChangesKeepsSavesOrDropsThemAsAnswered)
{
    for (int answer : {plat::kIdCancel, plat::kIdNo, plat::kIdYes}) {
        SCOPED_TRACE(answer);
        std::ofstream(m_path, std::ios::binary) << "a\nb\n";
        ZString text;
        ZString error;
        ASSERT_TRUE(XMEdit::ReadTextFile(m_path, text, error));
        QuillEditApp app(m_path, false);
        ASSERT_TRUE(app.Open(text, XMEdit::LineBreakOf(text.Str())));
        XMEditCmdParms p;
        p.ch = 'y';
        app.GetEditWnd().GetEdit().ExecCmd("DoChar", p);
        m_boxes.clear();
        Answer(answer);
        Close(app);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0], "Save the changes to '" + m_path + "'?");
        EXPECT_EQ(app.IsClosed(), answer != plat::kIdCancel);
        EXPECT_EQ(ReadFile(m_path), answer == plat::kIdYes ? "ya\nb\n" : "a\nb\n");
        EXPECT_EQ(app.IsModified(), answer != plat::kIdYes);
        EXPECT_EQ(TextOf(app.GetEditWnd().GetEdit()), "ya\nb\n");
    }
}

TEST_F(QuillEditTest, AFailedSaveKeepsTheChangesAndTheWindow)
{
    const std::string gone = m_dir.File("no/such/folder.txt");
    QuillEditApp app(gone, false);
    ASSERT_TRUE(app.Open(ZString("text"), ZStr("\n")));
    XMEditCmdParms p;
    p.ch = 'z';
    app.GetEditWnd().GetEdit().ExecCmd("DoChar", p);
    // Yes to saving, and the save fails: the window stays, with the changes.
    Answer(plat::kIdYes);
    Close(app);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[1].rfind("Can not save '" + gone + "': ", 0), 0u) << m_boxes[1];
    EXPECT_FALSE(app.IsClosed());
    EXPECT_TRUE(app.IsModified());
}
