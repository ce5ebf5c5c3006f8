// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/ZUndo.h"

#include "base/ZString.h"
#include "edit/ZML_Undo.h"
#include "edit/ZStringML.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

class ZUndoTest : public ::testing::Test
{
protected:
    ZUndoTest() { b.SetUndoMngr(&undo); }

    std::string Text()
    {
        ZString out;
        b.GetText(out, "\n");
        return S(out);
    }

    void Type(int32_t line, int32_t col, const char* text)
    {
        int32_t el = 0;
        int32_t ec = 0;
        ASSERT_TRUE(b.Insert(line, col, ZStringML_Blk::FromText(text, "\n"), el, ec));
    }

    // Backspace and Delete at (line, col) within the line.
    void Backspace(int32_t line, int32_t col) { ASSERT_TRUE(b.Remove(line, col - 1, line, col)); }
    void Delete(int32_t line, int32_t col) { ASSERT_TRUE(b.Remove(line, col, line, col + 1)); }

    std::string LastName()
    {
        ZString name;
        undo.Last()->Name(name);
        return S(name);
    }

    // The last record removed one run of `text`, columns startCol to endCol.
    void ExpectRemovedRun(const char* text, int32_t startCol, int32_t endCol)
    {
        auto* rec = dynamic_cast<ZML_UndoRemoveStr*>(undo.Last());
        ASSERT_NE(rec, nullptr);
        EXPECT_EQ(S(rec->Text()), text);
        EXPECT_EQ(rec->StartCol(), startCol);
        EXPECT_EQ(rec->EndCol(), endCol);
    }

    // The last record is one typed run of `text` ending at column `endCol`.
    void ExpectTypedRun(const char* text, int32_t endCol)
    {
        auto* rec = dynamic_cast<ZML_UndoInsertStr*>(undo.Last());
        ASSERT_NE(rec, nullptr);
        EXPECT_EQ(S(rec->Text()), text);
        EXPECT_EQ(rec->EndCol(), endCol);
    }

    ZUndoMngr undo;
    ZStringML b;
};

TEST_F(ZUndoTest, TypedRunIsOneRecord)
{
    Type(0, 0, "a");
    Type(0, 1, "b");
    Type(0, 2, "c");
    ASSERT_EQ(undo.Count(), 1);
    EXPECT_EQ(LastName(), "InsertStr");
    ExpectTypedRun("abc", 3);

    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(undo.CanUndo());
    EXPECT_TRUE(undo.CanRedo());
    int32_t l = -1;
    int32_t c = -1;
    b.CurrentPos(l, c);
    EXPECT_EQ(c, 0);
    ASSERT_TRUE(undo.Redo());
    EXPECT_EQ(Text(), "abc");
    b.CurrentPos(l, c);
    EXPECT_EQ(c, 3);
    EXPECT_FALSE(undo.Redo());
}

TEST_F(ZUndoTest, TypingAtTheStartOfTheRunMerges)
{
    Type(0, 0, "world");
    Type(0, 0, "hello ");
    ASSERT_EQ(undo.Count(), 1);
    ExpectTypedRun("hello world", 11);
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(), "");

    // Typing elsewhere, or after a break, starts a new record.
    ASSERT_TRUE(undo.Redo());
    Type(0, 3, "X");
    Type(0, 12, "\n");
    Type(1, 0, "y");
    EXPECT_EQ(undo.Count(), 4);
}

TEST_F(ZUndoTest, BackspaceAndDeleteRunsMergeInTextOrder)
{
    Type(0, 0, "xabcy");
    Backspace(0, 4);
    Backspace(0, 3);
    Backspace(0, 2);
    ASSERT_EQ(undo.Count(), 2);
    EXPECT_EQ(LastName(), "RemoveStr");
    ExpectRemovedRun("abc", 1, 4);
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(), "xabcy");

    // Delete three times at one place: a new run, since the redo history was dropped.
    Delete(0, 1);
    Delete(0, 1);
    Delete(0, 1);
    ASSERT_EQ(undo.Count(), 2);
    ExpectRemovedRun("abc", 1, 4);
    EXPECT_EQ(Text(), "xy");
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(), "xabcy");
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(), "");
}

TEST_F(ZUndoTest, NewEditAfterUndoDropsRedoHistory)
{
    Type(0, 0, "abc");
    Type(0, 3, "\n");
    ASSERT_TRUE(undo.Undo());
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(undo.Count(), 2);
    EXPECT_TRUE(undo.CanRedo());
    Type(0, 0, "z");
    EXPECT_FALSE(undo.CanRedo());
    EXPECT_EQ(undo.Count(), 1);
    EXPECT_FALSE(undo.Redo());
    EXPECT_EQ(Text(), "z");
}

TEST_F(ZUndoTest, MultiLineEditsRecordBlocks)
{
    Type(0, 0, "ab\ncd\n");
    EXPECT_EQ(LastName(), "Insert");
    auto* ins = dynamic_cast<ZML_UndoInsert*>(undo.Last());
    ASSERT_NE(ins, nullptr);
    EXPECT_TRUE(ins->Lines().LastLineBreak());
    EXPECT_EQ(ins->EndLine(), 2);
    ASSERT_TRUE(b.Remove(0, 1, 1, 1));
    EXPECT_EQ(LastName(), "Remove");
    auto* rem = dynamic_cast<ZML_UndoRemove*>(undo.Last());
    ASSERT_NE(rem, nullptr);
    EXPECT_EQ(rem->Lines().LineCount(), 2);
    EXPECT_EQ(Text(), "ad\n");
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(), "ab\ncd\n");
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(), "");
    ASSERT_TRUE(undo.Redo());
    ASSERT_TRUE(undo.Redo());
    EXPECT_EQ(Text(), "ad\n");
}

TEST_F(ZUndoTest, UnrecordedEditsAndRecordingOff)
{
    int32_t el = 0;
    int32_t ec = 0;
    ASSERT_TRUE(b.Insert(0, 0, ZStringML_Blk::FromText("quiet", "\n"), el, ec, false));
    EXPECT_EQ(undo.Count(), 0);
    undo.EnableRecording(false);
    Type(0, 5, "!");
    ASSERT_TRUE(b.Remove(0, 0, 0, 1));
    EXPECT_EQ(undo.Count(), 0);
    undo.EnableRecording(true);
    Type(0, 0, "Q");
    EXPECT_EQ(undo.Count(), 1);
    EXPECT_EQ(Text(), "Quiet!");
}

TEST_F(ZUndoTest, RecordsOfAnotherBufferDoNotMerge)
{
    ZStringML other;
    other.SetUndoMngr(&undo);
    Type(0, 0, "a");
    int32_t el = 0;
    int32_t ec = 0;
    ASSERT_TRUE(other.Insert(0, 0, ZStringML_Blk::FromText("b", "\n"), el, ec));
    // (0, 1) continues the first record's run, but in the other buffer.
    ASSERT_TRUE(other.Insert(0, 1, ZStringML_Blk::FromText("c", "\n"), el, ec));
    EXPECT_EQ(undo.Count(), 2);
    ASSERT_TRUE(undo.Undo());
    ZString t;
    other.GetText(t, "\n");
    EXPECT_EQ(S(t), "");
    EXPECT_EQ(Text(), "a");
    undo.Clear();
}

// A record that counts its lives and can be told to fail.
class Probe : public ZUndo
{
public:
    Probe(int* alive, bool fail)
        : ZUndo("Probe")
        , m_alive(alive)
        , m_fail(fail)
    {
        ++*m_alive;
    }
    ~Probe() override { --*m_alive; }
    bool Undo() override { return !m_fail; }
    bool Redo() override { return !m_fail; }

private:
    int* m_alive;
    bool m_fail;
};

TEST(ZUndoMngrTest, OwnsRecordsAndKeepsPositionOnFailure)
{
    int alive = 0;
    {
        ZUndoMngr m;
        m.Add(std::make_unique<Probe>(&alive, false));
        m.Add(std::make_unique<Probe>(&alive, true));
        EXPECT_EQ(alive, 2);
        // A failing undo leaves the position on the record, so redo cannot repeat it.
        EXPECT_FALSE(m.Undo());
        EXPECT_EQ(m.Current(), 2);
        EXPECT_FALSE(m.CanRedo());

        m.EnableRecording(false);
        m.Add(std::make_unique<Probe>(&alive, false));
        EXPECT_EQ(alive, 2); // discarded and deleted at once
        EXPECT_EQ(m.Count(), 2);
        m.EnableRecording(true);

        // Adding after an undo deletes the undone records.
        m.Add(std::make_unique<Probe>(&alive, false));
        ASSERT_TRUE(m.Undo());
        EXPECT_EQ(m.Current(), 2);
        m.Add(std::make_unique<Probe>(&alive, false));
        EXPECT_EQ(m.Count(), 3);
        EXPECT_EQ(alive, 3);
        ZString name;
        m.Last()->Name(name);
        EXPECT_EQ(name, "Probe");
    }
    EXPECT_EQ(alive, 0);
}

} // namespace
