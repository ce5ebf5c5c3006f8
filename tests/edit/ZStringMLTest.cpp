// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/ZStringML.h"

#include "base/XArray.h"
#include "base/ZString.h"
#include "edit/ZUndo.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string Text(const ZStringML& b, const char* sep = "\n")
{
    ZString out;
    EXPECT_TRUE(b.GetText(out, sep));
    return S(out);
}

std::vector<std::string> Lines(const ZStringML& b)
{
    std::vector<std::string> v;
    for (int32_t i = 0; i < b.LineCount(); ++i) {
        ZStr l;
        EXPECT_TRUE(b.Line(i, l));
        v.push_back(S(l));
    }
    return v;
}

void ExpectSound(const ZStringML& b)
{
    ZString fault;
    EXPECT_TRUE(b.CheckBlocks(&fault)) << fault.Text();
}

// Inserts text (split at "\n") and returns the end position.
std::pair<int32_t, int32_t> Put(ZStringML& b, int32_t line, int32_t col, const std::string& text)
{
    int32_t el = -1;
    int32_t ec = -1;
    EXPECT_TRUE(b.Insert(
        line, col, ZStringML_Blk::FromText(ZStr(text.data(), int32_t(text.size())), "\n"), el, ec));
    return {el, ec};
}

TEST(ZStringMLTest, NewBufferHoldsOneEmptyLine)
{
    ZStringML b;
    EXPECT_EQ(b.LineCount(), 1);
    EXPECT_EQ(b.BlockCount(), 1);
    EXPECT_EQ(Text(b), "");
    ZStr l("junk");
    EXPECT_TRUE(b.Line(0, l));
    EXPECT_EQ(l.len, 0);
    EXPECT_FALSE(b.Line(1, l));
    EXPECT_EQ(l.len, 0);
    EXPECT_FALSE(b.Line(-1, l));
    EXPECT_EQ(b.LineLength(5), 0);
    ExpectSound(b);
}

TEST(ZStringMLTest, BlocksFromTextAndFromLines)
{
    ZStringML_Blk crlf = ZStringML_Blk::FromText("a\r\nbc\r\n", "\r\n");
    EXPECT_EQ(crlf.LineCount(), 2);
    EXPECT_EQ(S(crlf.Line(0)), "a");
    EXPECT_EQ(S(crlf.Line(1)), "bc");
    EXPECT_TRUE(crlf.LastLineBreak());
    EXPECT_EQ(S(crlf.Text()), "abc");

    // A line break alone: one empty line followed by a break.
    ZStringML_Blk brk = ZStringML_Blk::FromText("\n", "\n");
    EXPECT_EQ(brk.LineCount(), 1);
    EXPECT_EQ(brk.Length(), 0);
    EXPECT_TRUE(brk.LastLineBreak());
    EXPECT_FALSE(brk.IsSingleLine());

    ZStringML_Blk empty = ZStringML_Blk::FromText("", "\n");
    EXPECT_EQ(empty.LineCount(), 1);
    EXPECT_TRUE(empty.IsSingleLine());

    ZStringML_Blk gaps = ZStringML_Blk::FromText("a\n\n\nb", "\n");
    EXPECT_EQ(gaps.LineCount(), 4);
    EXPECT_EQ(S(gaps.Line(1)), "");
    EXPECT_EQ(S(gaps.Line(3)), "b");
    EXPECT_FALSE(gaps.LastLineBreak());

    // An empty separator keeps the text in one line; a separator that is a prefix of
    // itself ("aa" in "aaa") is found from left to right.
    EXPECT_EQ(ZStringML_Blk::FromText("x\ny", ZStr()).LineCount(), 1);
    ZStringML_Blk overlap = ZStringML_Blk::FromText("aaab", "aa");
    EXPECT_EQ(overlap.LineCount(), 2);
    EXPECT_EQ(S(overlap.Line(1)), "ab");

    XArray<ZStr, true> parts;
    parts.Append("a");
    parts.Append("");
    parts.Append("bc");
    ZStringML_Blk fromLines = ZStringML_Blk::FromLines(parts, true);
    ZString text;
    EXPECT_TRUE(fromLines.GetText(text, "|"));
    EXPECT_EQ(S(text), "a||bc|");
    EXPECT_EQ(fromLines.LongestLine(), 2);

    ZStringML_Blk none = ZStringML_Blk::FromLines(XArray<ZStr, true>(), false);
    EXPECT_EQ(none.LineCount(), 1);
    EXPECT_EQ(none.Length(), 0);
}

TEST(ZStringMLTest, InsertJoinsFirstAndLastLinesWithTheTarget)
{
    ZStringML b;
    EXPECT_EQ(Put(b, 0, 0, "abc"), std::make_pair(0, 3));
    // A line break splits the target line; the rest goes on a new line.
    EXPECT_EQ(Put(b, 0, 1, "\n"), std::make_pair(1, 0));
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"a", "bc"}));
    // Middle lines become lines of their own, the last joins the rest of the target.
    EXPECT_EQ(Put(b, 1, 1, "X\nY\nZ"), std::make_pair(3, 1));
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"a", "bX", "Y", "Zc"}));
    // A block ending with a break leaves the rest of the target line on its own line.
    EXPECT_EQ(Put(b, 0, 0, "P\nQ\n"), std::make_pair(2, 0));
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"P", "Q", "a", "bX", "Y", "Zc"}));
    // At the end of the text, a final break gives an empty last line.
    EXPECT_EQ(Put(b, 5, 2, "!\n"), std::make_pair(6, 0));
    EXPECT_EQ(Text(b), "P\nQ\na\nbX\nY\nZc!\n");
    EXPECT_EQ(b.LineCount(), 7);
    int32_t l = -1;
    int32_t c = -1;
    b.CurrentPos(l, c);
    EXPECT_EQ(l, 6);
    EXPECT_EQ(c, 0);
    ExpectSound(b);
}

TEST(ZStringMLTest, EditsOutsideTheTextFailAndChangeNothing)
{
    ZStringML b;
    Put(b, 0, 0, "ab\ncd");
    ZStringML_Blk x = ZStringML_Blk::FromText("x", "\n");
    int32_t el = 77;
    int32_t ec = 77;
    EXPECT_FALSE(b.Insert(2, 0, x, el, ec));  // a line past the last
    EXPECT_FALSE(b.Insert(0, 3, x, el, ec));  // a column past the line's end
    EXPECT_FALSE(b.Insert(-1, 0, x, el, ec)); // negative positions
    EXPECT_FALSE(b.Insert(0, -1, x, el, ec));
    EXPECT_FALSE(b.Remove(0, 1, 0, 0)); // end before start
    EXPECT_FALSE(b.Remove(1, 0, 0, 1));
    EXPECT_FALSE(b.Remove(0, 0, 2, 0)); // end past the text
    EXPECT_FALSE(b.Remove(0, 0, 1, 3));
    EXPECT_FALSE(b.Remove(0, 3, 1, 0));
    EXPECT_EQ(Text(b), "ab\ncd");
    EXPECT_EQ(b.LineCount(), 2);
    ZStringML_Blk out = ZStringML_Blk::FromText("keep", "\n");
    EXPECT_FALSE(b.GetRange(0, 0, 3, 0, out));
    EXPECT_EQ(S(out.Text()), "keep");
    ExpectSound(b);
}

TEST(ZStringMLTest, TwentyFiveThousandCharactersInTenLinesSplitInHalf)
{
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text += std::string(2500, char('a' + i));
        if (i < 9) {
            text += '\n';
        }
    }
    for (bool finalBreak : {false, true}) {
        ZStringML b;
        Put(b, 0, 0, finalBreak ? text + "\n" : text);
        ASSERT_EQ(b.BlockCount(), 2);
        // The first line starting at or after 12500 characters is line 5.
        EXPECT_EQ(b.Block(0).LineCount(), 5);
        EXPECT_EQ(b.Block(0).Length(), 12500);
        EXPECT_TRUE(b.Block(0).LastLineBreak());
        EXPECT_EQ(b.Block(1).LineCount(), finalBreak ? 6 : 5);
        EXPECT_FALSE(b.Block(1).LastLineBreak());
        EXPECT_EQ(Text(b), finalBreak ? text + "\n" : text);
        ZStr l;
        EXPECT_TRUE(b.Line(5, l));
        EXPECT_EQ(S(l), std::string(2500, 'f'));
        ExpectSound(b);
    }
}

TEST(ZStringMLTest, TextWithAndWithoutFinalBreak)
{
    ZStringML b;
    Put(b, 0, 0, "a\nb");
    EXPECT_EQ(Text(b, "\r\n"), "a\r\nb");
    Put(b, 1, 1, "\n");
    EXPECT_EQ(Text(b, "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(b.LineCount(), 3);
    EXPECT_EQ(Text(b, ""), "ab");
}

TEST(ZStringMLTest, PositionsMoveAfterRemoval)
{
    struct Case
    {
        int32_t line, col, wantLine, wantCol;
    };
    // The range (1, 2) .. (3, 4) is removed.
    const Case cases[] = {
        {3, 6, 1, 4},               // on the end line, after the end
        {5, 0, 3, 0},               // on a later line
        {5, 7, 3, 7}, {0, 9, 0, 9}, // before the range
        {1, 2, 1, 2},               // at the start
        {1, 1, 1, 1}, {1, 3, 1, 2}, // inside
        {2, 0, 1, 2}, {3, 4, 1, 2}, // at the end
    };
    for (const Case& c : cases) {
        int32_t l = c.line;
        int32_t col = c.col;
        ZStringML::AdjustPosAfterRemove(1, 2, 3, 4, l, col);
        EXPECT_EQ(l, c.wantLine) << c.line << "," << c.col;
        EXPECT_EQ(col, c.wantCol) << c.line << "," << c.col;
    }
}

class SmallBlocksTest : public ::testing::Test
{
protected:
    // At most 4 lines and 30 characters per block, so that a short text spans many blocks.
    SmallBlocksTest()
        : b(4, 30)
    {
        for (int i = 0; i < 40; ++i) {
            char line[16];
            std::snprintf(line, sizeof line, "line%02d", i);
            text += line;
            if (i < 39) {
                text += '\n';
            }
        }
        EXPECT_TRUE(b.SetText(ZStr(text.data(), int32_t(text.size())), "\n"));
        b.SetUndoMngr(&undo);
    }

    // Offset of (line, col) in the reference text.
    size_t Off(int32_t line, int32_t col) const
    {
        size_t at = 0;
        for (int32_t l = 0; l < line; ++l) {
            at = text.find('\n', at) + 1;
        }
        return at + size_t(col);
    }

    ZUndoMngr undo;
    ZStringML b;
    std::string text;
};

TEST_F(SmallBlocksTest, RemovalAcrossManyBlocksJoinsTheEndLines)
{
    ASSERT_GT(b.BlockCount(), 8);
    ExpectSound(b);
    std::string before = text;
    ASSERT_TRUE(b.Remove(3, 2, 30, 3));
    text.erase(Off(3, 2), Off(30, 3) - Off(3, 2));
    EXPECT_EQ(Text(b), text);
    EXPECT_EQ(b.LineCount(), 13);
    ZStr l;
    EXPECT_TRUE(b.Line(3, l));
    EXPECT_EQ(S(l), "li" + std::string("e30"));
    ExpectSound(b);

    ASSERT_EQ(undo.Count(), 1);
    EXPECT_EQ(S(undo.Last()->Kind()), "Remove");
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(b), before);
    ExpectSound(b);
    ASSERT_TRUE(undo.Redo());
    EXPECT_EQ(Text(b), text);
    ExpectSound(b);
}

TEST_F(SmallBlocksTest, RemovalEndingAtALineStartAndWholeText)
{
    // A range that ends at the start of a line takes the break before it.
    ZStringML_Blk range;
    ASSERT_TRUE(b.GetRange(2, 3, 9, 0, range));
    EXPECT_TRUE(range.LastLineBreak());
    EXPECT_EQ(range.LineCount(), 7);
    ZString got;
    range.GetText(got, "\n");
    EXPECT_EQ(S(got), text.substr(Off(2, 3), Off(9, 0) - Off(2, 3)));

    ASSERT_TRUE(b.Remove(2, 3, 9, 0));
    text.erase(Off(2, 3), Off(9, 0) - Off(2, 3));
    EXPECT_EQ(Text(b), text);
    ExpectSound(b);

    // Removing everything leaves one empty line in one block.
    int32_t last = b.LineCount() - 1;
    ASSERT_TRUE(b.Remove(0, 0, last, b.LineLength(last)));
    EXPECT_EQ(b.LineCount(), 1);
    EXPECT_EQ(b.BlockCount(), 1);
    EXPECT_EQ(Text(b), "");
    ExpectSound(b);
    ASSERT_TRUE(undo.Undo());
    EXPECT_EQ(Text(b), text);
    ExpectSound(b);
}

TEST_F(SmallBlocksTest, InsertionIntoABlockSplitsItAndKeepsLookupsRight)
{
    std::string ins = "A\nBB\nCCC\nDDDD\nEEEEE\n";
    int32_t el = 0;
    int32_t ec = 0;
    ZStringML_PosCache reader;
    ZStr l;
    ASSERT_TRUE(b.Line(30, l, reader));
    EXPECT_EQ(S(l), "line30");
    ASSERT_TRUE(b.Insert(6, 3, ZStringML_Blk::FromText(ins.c_str(), "\n"), el, ec));
    EXPECT_EQ(el, 11);
    EXPECT_EQ(ec, 0);
    text.insert(Off(6, 3), ins);
    EXPECT_EQ(Text(b), text);
    ExpectSound(b);
    // The reader's cache was filled before the edit; it must not send the lookup astray.
    ASSERT_TRUE(b.Line(35, l, reader));
    EXPECT_EQ(S(l), "line30");
    // Neither may a cache filled on another buffer.
    ZStringML other(4, 30);
    ZStringML_PosCache foreign;
    ASSERT_TRUE(other.Line(0, l, foreign));
    ASSERT_TRUE(b.Line(39, l, foreign));
    EXPECT_EQ(S(l), "line34");
    // Reading backwards and forwards through the same cache.
    for (int32_t i = b.LineCount() - 1; i >= 0; --i) {
        ASSERT_TRUE(b.Line(i, l, reader));
    }
    EXPECT_EQ(S(l), "line00");
}

TEST_F(SmallBlocksTest, RemovalsMergeSmallNeighbours)
{
    // Room for 12 lines but only 30 characters: shortening lines lets blocks merge.
    ZStringML m(12, 30);
    ASSERT_TRUE(m.SetText(ZStr(text.data(), int32_t(text.size())), "\n"));
    int32_t blocks = m.BlockCount();
    for (int32_t i = m.LineCount() - 1; i >= 0; --i) {
        ASSERT_TRUE(m.Remove(i, 0, i, m.LineLength(i)));
        ExpectSound(m);
    }
    EXPECT_EQ(Text(m), std::string(39, '\n'));
    EXPECT_LT(m.BlockCount(), blocks);
    // Lines removed from a block that then fits with both neighbours.
    ASSERT_TRUE(m.Remove(0, 0, 36, 0));
    EXPECT_EQ(m.LineCount(), 4);
    EXPECT_EQ(m.BlockCount(), 1);
    ExpectSound(m);

    // With 4 lines per block, blocks of three lines never merge however short they get.
    for (int32_t i = b.LineCount() - 1; i >= 0; --i) {
        ASSERT_TRUE(b.Remove(i, 0, i, b.LineLength(i), false));
    }
    EXPECT_EQ(Text(b), std::string(39, '\n'));
    ExpectSound(b);
}

TEST_F(SmallBlocksTest, InsertingOwnBlockIsSafe)
{
    ZStringML_Blk copy = b.Block(0);
    std::string blockText;
    {
        ZString t;
        copy.GetText(t, "\n");
        blockText = S(t);
    }
    int32_t el = 0;
    int32_t ec = 0;
    ASSERT_TRUE(b.Insert(0, 2, b.Block(0), el, ec));
    text.insert(2, blockText);
    EXPECT_EQ(Text(b), text);
    ExpectSound(b);
}

TEST(ZStringMLTest, LargeInsertionsKeepTheLimitsAndFinish)
{
    // 200,000 lines in one insertion: every block ends up within the limits.
    std::string many;
    for (int i = 0; i < 200000; ++i) {
        many += "0123456789\n";
    }
    ZStringML b;
    Put(b, 0, 0, many);
    EXPECT_EQ(b.LineCount(), 200001);
    ExpectSound(b);
    EXPECT_GT(b.BlockCount(), 100);

    // Many short lines before one very long last line: the long line goes alone instead of
    // the short lines being cut off one split at a time.
    std::string skewed;
    for (int i = 0; i < 9999; ++i) {
        skewed += "s\n";
    }
    skewed += std::string(4000000, 'L');
    ZStringML c;
    Put(c, 0, 0, skewed);
    ExpectSound(c);
    EXPECT_LE(c.BlockCount(), 3);
    EXPECT_EQ(c.Block(c.BlockCount() - 1).LineCount(), 1);
    EXPECT_EQ(c.LongestLine(), 4000000);

    // Far more empty lines than a block holds, with the characters all at the end: split
    // by lines, not one line at a time.
    std::string blank(60000, '\n');
    blank += std::string(100, 'x');
    ZStringML d;
    Put(d, 0, 0, blank);
    EXPECT_EQ(d.LineCount(), 60001);
    ExpectSound(d);
    EXPECT_LE(d.BlockCount(), 16);
}

TEST(ZStringMLTest, SetTextReplacesTextAndClearsHistory)
{
    ZUndoMngr undo;
    ZStringML b;
    b.SetUndoMngr(&undo);
    Put(b, 0, 0, "typed");
    EXPECT_TRUE(undo.CanUndo());
    ASSERT_TRUE(b.SetText("one\r\ntwo\r\n", "\r\n"));
    EXPECT_FALSE(undo.CanUndo());
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"one", "two", ""}));
    EXPECT_EQ(Text(b, "\r\n"), "one\r\ntwo\r\n");
    ASSERT_TRUE(b.SetText("", "\n"));
    EXPECT_EQ(b.LineCount(), 1);
    EXPECT_EQ(b.BlockCount(), 1);
    ExpectSound(b);
}

TEST(ZStringMLTest, LongestLineFollowsEdits)
{
    ZStringML b(2, 8);
    ASSERT_TRUE(b.SetText("ab\nabcdef\nabc\nx\ny", "\n"));
    EXPECT_EQ(b.LongestLine(), 6);
    ASSERT_TRUE(b.Remove(1, 2, 1, 6));
    EXPECT_EQ(b.LongestLine(), 3);
    Put(b, 4, 1, "123456789");
    EXPECT_EQ(b.LongestLine(), 10);
    ExpectSound(b);
}

TEST(ZStringMLTest, DumpFormat)
{
    ZStringML b;
    Put(b, 0, 0, "ab\ncd");
    ZString brief;
    b.Dump(brief, false);
    EXPECT_EQ(S(brief), "    Blocks = 1\r\n"
                        "    [ 0 Blk]\r\n"
                        "lines = 2\r\n"
                        "LStart[10], NLines = 2, MaxLineLen = -1, LastLineNL = 0\r\n");
    EXPECT_EQ(b.LongestLine(), 2);
    ZString full;
    b.Dump(full, true);
    EXPECT_EQ(S(full), "    Blocks = 1\r\n"
                       "    [ 0 Blk]\r\n"
                       "lines = 2\r\n"
                       "Txt[  4] = \"abcd\"\r\n"
                       "LStart[10], NLines = 2, MaxLineLen = 2, LastLineNL = 0\r\n"
                       "     0: +  0, LineTxt[ 2] = \"ab\"\r\n"
                       "     1: +  2, LineTxt[ 2] = \"cd\"\r\n");
}

} // namespace
