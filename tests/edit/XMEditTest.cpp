// SPDX-License-Identifier: GPL-2.0-or-later
// The editor's commands, search, key translation, mouse handling and drawing, without a
// window: the editor keeps its state and paints into an image when asked.
#include "EditTestUtil.h"
#include "base/XEvt.h"
#include "edit/XMEditMT.h"
#include "platform/Image.h"
#include "platform/Messages.h"
#include "tests/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Records what the editor tells its owner; commands still run.
struct RecordingCB : XMEditCB
{
    bool OnCommand(XMEdit&, ZStr cmd, const XMEditCmdParms&) override
    {
        cmds.emplace_back(cmd.ptr, size_t(cmd.len));
        return false;
    }
    bool OnUnhandledKey(XMEdit&, uint32_t vk, uint32_t) override
    {
        unhandled.push_back(vk);
        return false;
    }
    void OnFindWrap(XMEdit&, bool forward) override { wraps.push_back(forward); }
    bool OnFindFailed(XMEdit&, ZStr text) override
    {
        failed.emplace_back(text.ptr, size_t(text.len));
        return true;
    }
    void OnTextChanged(XMEdit&) override { ++changes; }
    std::vector<std::string> cmds;
    std::vector<uint32_t> unhandled;
    std::vector<bool> wraps;
    std::vector<std::string> failed;
    int changes = 0;
};

class XMEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The editor without a window: the clipboard and message boxes stay out of these
        // tests also where a display is open.
        ::unsetenv("DISPLAY");
        edit.SetCB(&cb);
        edit.SetViewSize({400, 5 * edit.LineHeight()});
    }
    void Load(const std::string& notation) { LoadState(edit, notation); }
    std::string State() const { return StateOf(edit); }

    static XEvtInput Key(XInput code, uint32_t key, uint32_t flags = 0)
    {
        XEvtInput evt(code, NXPoint{});
        evt.key = key;
        evt.flags = flags;
        return evt;
    }
    XEvtInput Mouse(XInput code, XME_Pos at, uint32_t flags = 0) const
    {
        const plat::Point p = edit.PosToPoint(at);
        XEvtInput evt(code, NXPoint{double(p.x) + 1, double(p.y) + 1});
        evt.flags = flags;
        return evt;
    }

    ZStringML buffer;
    XMEdit edit{buffer};
    RecordingCB cb;
};

struct CmdCase
{
    const char* before;
    const char* cmd;
    bool shift;
    bool ctrl;
    uint32_t ch;
    const char* after;
};

} // namespace

TEST_F(XMEditTest, EachCommandOnSmallTextsAndItsUndoAndRedo)
{
    const CmdCase cases[] = {
        // Typing replaces the selection; the caret follows.
        {"ab|c", "DoChar", false, false, 'x', "abx|c"},
        {"a^bc|d", "DoChar", false, false, 'x', "ax|d"},
        {"a|b", "DoChar", false, false, '\t', "a\t|b"},
        {"a|b", "DoChar", false, false, 0xE9, "a\xC3\xA9|b"},
        // Movement, with and without a selection, with Shift extending it.
        {"ab|c", "DoKeyLEFT", false, false, 0, "a|bc"},
        {"a^bc|d", "DoKeyLEFT", false, false, 0, "a|bcd"},
        {"ab|c", "DoKeyLEFT", true, false, 0, "a|b^c"},
        {"ab\n|c", "DoKeyLEFT", false, false, 0, "ab|\nc"},
        {"one two| x", "DoKeyLEFT", false, true, 0, "one |two x"},
        {"a^bc|d", "DoKeyRIGHT", false, false, 0, "abc|d"},
        {"|a^bcd", "DoKeyRIGHT", false, false, 0, "a|bcd"},
        {"ab|\nc", "DoKeyRIGHT", false, false, 0, "ab\n|c"},
        {"|one two", "DoKeyRIGHT", false, true, 0, "one |two"},
        {"ab|c", "DoKeyRIGHT", true, false, 0, "ab^c|"},
        {"abc\nd|e", "DoKeyUP", false, false, 0, "a|bc\nde"},
        {"abcdef\na\nabc|def", "DoKeyUP", false, false, 0, "abcdef\na|\nabcdef"},
        {"abc|\nde", "DoKeyDOWN", true, false, 0, "abc^\nde|"},
        // A multi-byte character (here the micro sign) is one step, one deletion, one cell.
        {"a\xC2\xB5|b", "DoKeyLEFT", false, false, 0,
         "a|\xC2\xB5"
         "b"},
        {"a|\xC2\xB5"
         "b",
         "DoKeyRIGHT", true, false, 0, "a^\xC2\xB5|b"},
        {"a\xC2\xB5|b", "DoKeyBACK", false, false, 0, "a|b"},
        {"a|\xE2\x82\xAC"
         "b",
         "DoKeyDELETE", false, false, 0, "a|b"},
        {"xy|z\n\xC2\xB5"
         "bc",
         "DoKeyDOWN", false, false, 0,
         "xyz\n\xC2\xB5"
         "b|c"},
        // A byte of 8-bit text (the degree sign in Latin-1) is a character of its own.
        {"|5\xB0"
         "C",
         "DoKeyRIGHT", false, false, 0,
         "5|\xB0"
         "C"},
        {"5\xB0|C", "DoKeyBACK", false, false, 0, "5|C"},
        {"abc\nd|e", "DoKeyHOME", false, false, 0, "abc\n|de"},
        {"abc\nd|e", "DoKeyHOME", false, true, 0, "|abc\nde"},
        {"abc\nd|e", "DoKeyHOME", true, true, 0, "|abc\nd^e"},
        {"a|bc\nde", "DoKeyEND", false, false, 0, "abc|\nde"},
        {"a|bc\nde", "DoKeyEND", false, true, 0, "abc\nde|"},
        // Line breaks: the new line starts empty, no indentation is copied.
        {"  ab|cd", "DoKeyRETURN", false, false, 0, "  ab\n|cd"},
        {"a^bc|d", "DoKeyRETURN", false, false, 0, "a\n|d"},
        {"ab\n|cd", "DoKeyBACK", false, false, 0, "ab|cd"},
        {"ab|c", "DoKeyBACK", false, false, 0, "a|c"},
        {"a^b\nc|d", "DoKeyBACK", false, false, 0, "a|d"},
        {"|ab", "DoKeyBACK", false, false, 0, "|ab"},
        {"ab|\ncd", "DoKeyDELETE", false, false, 0, "ab|cd"},
        {"a|bc", "DoKeyDELETE", false, false, 0, "a|c"},
        {"ab|", "DoKeyDELETE", false, false, 0, "ab|"},
        {"a|b\ncd", "DoSelAll", false, false, 0, "^ab\ncd|"},
        // Ctrl+L widens a selection over several lines to whole lines and cuts nothing.
        {"l1\nl^2\nl3\nl|4\nl5", "DoCutLine", false, false, 0, "l1\n^l2\nl3\nl4|\nl5"},
        {"l1\nl|2\nl3\nl^4\nl5", "DoCutLine", false, false, 0, "l1\n|l2\nl3\nl4^\nl5"},
        // Find again, forward and backward (the search text is "ab").
        {"|ab x ab", "DoFind", false, false, 0, "^ab| x ab"},
        {"ab x ^ab|", "DoFind", true, false, 0, "^ab| x ab"},
        {"ab x| ab", "DoFind", true, false, 0, "^ab| x ab"},
    };
    for (const CmdCase& c : cases) {
        SCOPED_TRACE(std::string(c.cmd) + " on \"" + c.before + "\"");
        Load(c.before);
        edit.SetFindText("ab");
        const std::string textBefore = TextOf(edit);
        XMEditCmdParms p;
        p.shift = c.shift;
        p.ctrl = c.ctrl;
        p.ch = c.ch;
        EXPECT_TRUE(edit.ExecCmd(c.cmd, p));
        EXPECT_EQ(State(), c.after);
        const std::string textAfter = TextOf(edit);
        if (textAfter != textBefore) {
            // Every edit is one undo step, and redo brings it back.
            ASSERT_TRUE(edit.ExecCmd("DoUndo"));
            EXPECT_EQ(TextOf(edit), textBefore);
            ASSERT_TRUE(edit.ExecCmd("DoRedo"));
            EXPECT_EQ(TextOf(edit), textAfter);
        } else {
            EXPECT_FALSE(edit.GetUndoMngr().CanUndo());
        }
    }
    EXPECT_FALSE(edit.ExecCmd("DoNothingKnown"));
}

// A well-formed UTF-8 sequence is one character and one cell; every other byte is one of
// its own. The expected texts mark the character boundaries with '|'.
TEST(XME_TextTest, CharactersAreWellFormedSequencesOrSingleBytes)
{
    const char* const cases[] = {
        "5|\xB0|C",                                     // Latin-1 degree sign
        "a|\xC2\xB5|b",                                 // micro sign
        "\xE2\x82\xAC|\xF0\x9F\x98\x80|x",              // euro sign, a four-byte emoji
        "\xED\x9F\xBF|\xF4\x8F\xBF\xBF",                // the last before the surrogates, U+10FFFF
        "\xED|\xA0|\x80",                               // a surrogate
        "\xC0|\xAF|\xE0|\x80|\xAF|\xF0|\x80|\x80|\xAF", // overlong forms
        "\xF4|\x90|\x80|\x80|\xF5|\x80",                // above U+10FFFF
        "\xE2|\x82|x|\xC3\xA9|\xA9|\xC3",               // cut short, a stray continuation
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        std::string text;
        std::vector<int32_t> bounds{0};
        for (const char* p = c; *p; ++p) {
            if (*p == '|') {
                bounds.push_back(int32_t(text.size()));
            } else {
                text += *p;
            }
        }
        bounds.push_back(int32_t(text.size()));
        const ZStr line(text.data(), int32_t(text.size()));
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            EXPECT_EQ(XME_Text::NextCharCol(line, bounds[k]), bounds[k + 1]);
            EXPECT_EQ(XME_Text::PrevCharCol(line, bounds[k + 1]), bounds[k]);
        }
        for (size_t k = 0; k < bounds.size(); ++k) {
            EXPECT_EQ(XME_Text::DisplayCol(line, bounds[k]), int32_t(k));
            EXPECT_EQ(XME_Text::TextCol(line, int32_t(k)), bounds[k]);
        }
    }
}

TEST_F(XMEditTest, TypingRunsMergeIntoOneUndoStepAndUndoPlacesTheCaret)
{
    Load("x|y");
    for (char c : std::string("abc")) {
        XMEditCmdParms p;
        p.ch = uint32_t(c);
        edit.ExecCmd("DoChar", p);
    }
    EXPECT_EQ(State(), "xabc|y");
    edit.ExecCmd("DoKeyBACK");
    edit.ExecCmd("DoKeyBACK");
    EXPECT_EQ(State(), "xa|y");
    edit.ExecCmd("DoUndo");
    EXPECT_EQ(State(), "xabc|y");
    edit.ExecCmd("DoUndo");
    EXPECT_EQ(State(), "x|y");
    EXPECT_FALSE(edit.GetUndoMngr().CanUndo());
    edit.ExecCmd("DoRedo");
    EXPECT_EQ(State(), "xabc|y");
}

TEST_F(XMEditTest, PagesMoveCaretAndViewTogether)
{
    std::string text;
    for (int i = 0; i < 40; ++i) {
        text += "line " + std::to_string(i) + "\n";
    }
    Load("|" + text);
    const int32_t page = edit.PageLines();
    ASSERT_EQ(page, 5);
    edit.ExecCmd("DoKeyNEXT");
    EXPECT_EQ(edit.GetCaret().line, page);
    EXPECT_EQ(edit.FirstLine(), page);
    XMEditCmdParms shift;
    shift.shift = true;
    edit.ExecCmd("DoKeyNEXT", shift);
    EXPECT_EQ(edit.GetCaret().line, 2 * page);
    EXPECT_EQ(edit.GetAnchor().line, page);
    edit.ExecCmd("DoKeyPRIOR");
    EXPECT_EQ(edit.GetCaret().line, page);
    EXPECT_FALSE(edit.HasSel());
    // The caret stays in view whatever moves it.
    XMEditCmdParms ctrl;
    ctrl.ctrl = true;
    edit.ExecCmd("DoKeyEND", ctrl);
    EXPECT_GE(edit.GetCaret().line, edit.FirstLine());
    EXPECT_LT(edit.GetCaret().line, edit.FirstLine() + page);
}

TEST_F(XMEditTest, ReadOnlyRefusesEditsButMovesSelectsAndFinds)
{
    Load("ab|c\ndef");
    edit.SetReadOnly(true);
    edit.SetFindText("de");
    for (const char* cmd : {"DoChar", "DoKeyRETURN", "DoKeyBACK", "DoKeyDELETE", "DoPaste",
                            "DoUndo", "DoRedo", "DoCut", "DoCutLine"}) {
        XMEditCmdParms p;
        p.ch = 'x';
        EXPECT_TRUE(edit.ExecCmd(cmd, p)) << cmd;
        EXPECT_EQ(TextOf(edit), "abc\ndef") << cmd;
    }
    // Ctrl+L selected the caret's line with its break and left it there.
    EXPECT_EQ(State(), "^abc\n|def");
    edit.ExecCmd("DoKeyDOWN");
    edit.ExecCmd("DoKeyHOME");
    EXPECT_EQ(State(), "abc\n|def");
    edit.ExecCmd("DoFind");
    EXPECT_EQ(State(), "abc\n^de|f");
}

TEST_F(XMEditTest, KeysAndCharactersBecomeCommandsOnce)
{
    XMEditMT mt(edit, nullptr);
    Load("a^bc|d");
    // Ctrl+X: the key-down cuts, the character 24 that follows is dropped.
    XEvtInput down = Key(XInput::KeyDown, 'X', plat::Keys::kControl);
    XEvtInput ch = Key(XInput::Char, 24, plat::Keys::kControl);
    EXPECT_TRUE(mt.Input(down));
    EXPECT_TRUE(mt.Input(ch));
    EXPECT_EQ(cb.cmds, std::vector<std::string>{"DoCut"});
    // Enter: one line break, from the key; the character 13 is dropped.
    cb.cmds.clear();
    Load("ab|cd");
    down = Key(XInput::KeyDown, plat::VK::kReturn);
    ch = Key(XInput::Char, 13);
    mt.Input(down);
    mt.Input(ch);
    EXPECT_EQ(State(), "ab\n|cd");
    // A plain letter has no key command; its character types.
    cb.cmds.clear();
    down = Key(XInput::KeyDown, 'Q');
    ch = Key(XInput::Char, 'q');
    EXPECT_FALSE(mt.Input(down));
    EXPECT_TRUE(mt.Input(ch));
    EXPECT_EQ(cb.unhandled, std::vector<uint32_t>{'Q'});
    EXPECT_EQ(cb.cmds, std::vector<std::string>{"DoChar"});
    EXPECT_EQ(State(), "ab\nq|cd");
    // Shift+Left extends, Backspace's character is dropped too.
    down = Key(XInput::KeyDown, plat::VK::kLeft, plat::Keys::kShift);
    mt.Input(down);
    EXPECT_EQ(State(), "ab\n|q^cd");

    // The whole table: keys without modifiers, letters only with Ctrl.
    struct KeyCase
    {
        uint32_t vk;
        bool ctrl;
        const char* cmd;
    };
    const KeyCase keys[] = {
        {plat::VK::kBack, false, "DoKeyBACK"},
        {plat::VK::kReturn, false, "DoKeyRETURN"},
        {plat::VK::kPrior, false, "DoKeyPRIOR"},
        {plat::VK::kNext, false, "DoKeyNEXT"},
        {plat::VK::kEnd, true, "DoKeyEND"},
        {plat::VK::kHome, false, "DoKeyHOME"},
        {plat::VK::kLeft, false, "DoKeyLEFT"},
        {plat::VK::kUp, false, "DoKeyUP"},
        {plat::VK::kRight, false, "DoKeyRIGHT"},
        {plat::VK::kDown, false, "DoKeyDOWN"},
        {plat::VK::kDelete, false, "DoKeyDELETE"},
        {plat::VK::kF3, true, "DoFind"},
        {'A', true, "DoSelAll"},
        {'C', true, "DoCopy"},
        {'F', true, "DoFindDlg"},
        {'L', true, "DoCutLine"},
        {'V', true, "DoPaste"},
        {'X', true, "DoCut"},
        {'Y', true, "DoRedo"},
        {'Z', true, "DoUndo"},
        {'A', false, nullptr},
        {'S', true, nullptr},
        {plat::VK::kTab, false, nullptr},
    };
    for (const KeyCase& k : keys) {
        const char* got = XMEditMT::KeyCommand(k.vk, k.ctrl);
        EXPECT_STREQ(got ? got : "(none)", k.cmd ? k.cmd : "(none)") << k.vk;
        if (k.cmd) {
            EXPECT_TRUE(XMEdit::IsCommand(k.cmd));
        }
    }
    for (uint32_t c : {24u, 22u, 3u, 1u, 12u, 6u, 26u, 25u}) {
        EXPECT_TRUE(XMEditMT::IsKeyChar(c, true)) << c;
        EXPECT_FALSE(XMEditMT::IsKeyChar(c, false)) << c;
    }
    EXPECT_TRUE(XMEditMT::IsKeyChar(13, false));
    EXPECT_TRUE(XMEditMT::IsKeyChar(8, false));
    EXPECT_FALSE(XMEditMT::IsKeyChar(19, true)); // Ctrl+S is not the editor's
    EXPECT_FALSE(XMEditMT::IsKeyChar('x', false));
}

TEST_F(XMEditTest, SearchStaysInItsRangeAndOnOneLine)
{
    Load("|ab xAB ab\nab\nAb ab ab");
    XME_Pos s, e;
    // A match never spans a line break.
    Load("|xxa\nbyy");
    EXPECT_FALSE(edit.Search("ab", true, false, {0, 0}, {1, 3}, s, e));
    EXPECT_FALSE(edit.Search("a\nb", true, false, {0, 0}, {1, 3}, s, e));
    Load("|ab xAB ab\nab\nAb ab ab");
    struct SearchCase
    {
        bool forward;
        bool ignoreCase;
        XME_Pos from;
        XME_Pos to;
        bool found;
        XME_Pos start;
    };
    const SearchCase cases[] = {
        // On the first and the last line only the part inside the range counts.
        {true, false, {0, 1}, {2, 8}, true, {0, 7}},
        {true, true, {0, 1}, {2, 8}, true, {0, 4}},
        {true, false, {0, 9}, {2, 8}, true, {1, 0}},
        {true, false, {2, 4}, {2, 6}, false, {}},
        {true, false, {2, 4}, {2, 5}, false, {}},
        {true, true, {2, 0}, {2, 2}, true, {2, 0}},
        {true, false, {2, 0}, {2, 2}, false, {}},
        // Backward: the last match of the range.
        {false, false, {0, 0}, {2, 8}, true, {2, 6}},
        {false, false, {0, 0}, {2, 7}, true, {2, 3}},
        {false, true, {0, 0}, {0, 7}, true, {0, 4}},
        {false, false, {0, 0}, {0, 7}, true, {0, 0}},
        {false, false, {0, 1}, {0, 7}, false, {}},
        {false, false, {1, 1}, {2, 2}, false, {}},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.from.line) + "," + std::to_string(c.from.col) + " to " +
                     std::to_string(c.to.line) + "," + std::to_string(c.to.col));
        ASSERT_EQ(edit.Search("ab", c.forward, c.ignoreCase, c.from, c.to, s, e), c.found);
        if (c.found) {
            EXPECT_EQ(s, c.start);
            EXPECT_EQ(e, (XME_Pos{c.start.line, c.start.col + 2}));
        }
    }
}

TEST_F(XMEditTest, FindWrapsAndTakesTheWordWithCtrl)
{
    // Forward past the last match wraps to the start, telling the owner.
    Load("ab x\nab y ^ab|");
    edit.SetFindText("ab");
    EXPECT_TRUE(edit.Find(true));
    EXPECT_EQ(State(), "^ab| x\nab y ab");
    EXPECT_EQ(cb.wraps, std::vector<bool>{true});
    // Backward before the first match wraps to the end.
    EXPECT_TRUE(edit.Find(false));
    EXPECT_EQ(State(), "ab x\nab y ^ab|");
    // Shift+F3 searches backward.
    XMEditCmdParms shift;
    shift.shift = true;
    edit.ExecCmd("DoFind", shift);
    EXPECT_EQ(State(), "ab x\n^ab| y ab");
    // Ctrl+F3 with nothing selected searches for the word at the caret.
    Load("foo bar\nba|r foo bar");
    XMEditCmdParms ctrl;
    ctrl.ctrl = true;
    edit.ExecCmd("DoFind", ctrl);
    EXPECT_EQ(edit.GetFindText(), "bar");
    EXPECT_EQ(State(), "foo bar\nbar foo ^bar|");
    // Case folding as asked; without a wrap a missing text fails and the owner hears it.
    Load("|ONE two");
    edit.SetFindText("one");
    edit.SetFindWrap(false);
    EXPECT_FALSE(edit.Find(true));
    edit.SetFindIgnoreCase(true);
    edit.SetSel({0, 0}, {0, 0});
    EXPECT_TRUE(edit.Find(true));
    EXPECT_EQ(State(), "^ONE| two");
    edit.SetFindText("three");
    EXPECT_FALSE(edit.Find(true));
    EXPECT_EQ(cb.failed, (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(State(), "^ONE| two");
}

TEST_F(XMEditTest, MouseSelectsDragsAndDoubleClicksWords)
{
    XMEditMT mt(edit, nullptr);
    Load("|alpha beta\ngamma delta");
    XEvtInput press = Mouse(XInput::LButtonDown, {0, 6});
    mt.Input(press);
    EXPECT_EQ(mt.GetMode(), XMEditMouseMode::LeftDrag);
    EXPECT_TRUE(edit.HasFocusDisplay());
    XEvtInput move = Mouse(XInput::MouseMove, {1, 2});
    mt.Input(move);
    XEvtInput up = Mouse(XInput::LButtonUp, {1, 3});
    mt.Input(up);
    EXPECT_EQ(mt.GetMode(), XMEditMouseMode::Idle);
    EXPECT_EQ(State(), "alpha ^beta\ngam|ma delta");
    EXPECT_EQ(cb.cmds, std::vector<std::string>{"DoSelDrag"});
    // Shift extends from the anchor.
    XEvtInput shiftPress = Mouse(XInput::LButtonDown, {0, 2}, plat::Keys::kShift);
    mt.Input(shiftPress);
    XEvtInput shiftUp = Mouse(XInput::LButtonUp, {0, 2});
    mt.Input(shiftUp);
    EXPECT_EQ(State(), "al|pha ^beta\ngamma delta");
    // A double click selects the word and the release keeps it.
    XEvtInput dbl = Mouse(XInput::LButtonDblClk, {1, 8});
    mt.Input(dbl);
    XEvtInput dblUp = Mouse(XInput::LButtonUp, {1, 8});
    mt.Input(dblUp);
    EXPECT_EQ(State(), "alpha beta\ngamma ^delta|");
    // Dragging above the view scrolls one line per event, also when the timer repeats it.
    std::string text;
    for (int i = 0; i < 30; ++i) {
        text += "row\n";
    }
    Load(text + "|");
    ASSERT_EQ(edit.FirstLine(), 26);
    XEvtInput p2 = Mouse(XInput::LButtonDown, {30, 0});
    mt.Input(p2);
    XEvtInput above(XInput::MouseMove, NXPoint{10, -5});
    mt.Input(above);
    EXPECT_EQ(edit.FirstLine(), 25);
    EXPECT_TRUE(mt.GetTimer().IsRunning());
    mt.Repeat();
    EXPECT_EQ(edit.FirstLine(), 24);
    EXPECT_EQ(edit.GetCaret().line, 24);
    XEvtInput up2(XInput::LButtonUp, NXPoint{10, 5});
    mt.Input(up2);
    EXPECT_FALSE(mt.GetTimer().IsRunning());
    // The wheel: delta / 120 steps, negated; Ctrl scrolls sideways.
    XEvtInput wheel(XInput::MouseWheel, NXPoint{});
    wheel.wheelDelta = 240;
    mt.Input(wheel);
    EXPECT_EQ(edit.FirstLine(), 24 - 2 * XMEdit::kWheelLines);
    wheel.wheelDelta = -150; // truncated toward zero: one step
    mt.Input(wheel);
    EXPECT_EQ(edit.FirstLine(), 24 - XMEdit::kWheelLines);
}

TEST_F(XMEditTest, ContextMenuMarkupFollowsTheEditorState)
{
    Load("ab|c");
    ZString markup;
    cb.XMEditCB::BuildMenu(edit, markup, false, false);
    // No selection, nothing to undo (no clipboard without a display).
    EXPECT_EQ(markup, "<m s='Cut\tCtrl+X' c=DoCut o=DG /><m s='Copy\tCtrl+C' c=DoCopy o=DG />"
                      "<m s='Paste\tCtrl+V' c=DoPaste o=DG /><sep/>"
                      "<m s='Undo\tCtrl+Z' c=DoUndo o=DG /><m s='Redo\tCtrl+Y' c=DoRedo o=DG />");
    XMEditCmdParms p;
    p.ch = 'x';
    edit.ExecCmd("DoChar", p);
    edit.SetSel({0, 0}, {0, 2});
    markup.Clear();
    cb.XMEditCB::BuildMenu(edit, markup, true, true);
    EXPECT_EQ(markup, "<sep/><m s='Cut\tCtrl+X' c=DoCut /><m s='Copy\tCtrl+C' c=DoCopy />"
                      "<m s='Paste\tCtrl+V' c=DoPaste o=DG /><sep/>"
                      "<m s='Undo\tCtrl+Z' c=DoUndo /><m s='Redo\tCtrl+Y' c=DoRedo o=DG /><sep/>");
    // Read-only: copy stays, everything that would change the text goes grey.
    edit.SetReadOnly(true);
    markup.Clear();
    edit.BuildEditGroup(markup, false, false);
    edit.BuildUndoGroup(markup, false, false);
    EXPECT_EQ(markup, "<m s='Cut\tCtrl+X' c=DoCut o=DG /><m s='Copy\tCtrl+C' c=DoCopy />"
                      "<m s='Paste\tCtrl+V' c=DoPaste o=DG />"
                      "<m s='Undo\tCtrl+Z' c=DoUndo o=DG /><m s='Redo\tCtrl+Y' c=DoRedo o=DG />");
    // A chosen entry runs its command through the owner's callback.
    edit.SetReadOnly(false);
    XMenuPopUpEntry entry;
    entry.cmd = "DoSelAll";
    EXPECT_TRUE(cb.XMEditCB::OnMenuCmd(edit, entry));
    EXPECT_EQ(State(), "^abxc|");
}

TEST_F(XMEditTest, ScrollTipCountsLinesFromOne)
{
    EXPECT_EQ(XMEditScrollerCB::TipText(0, 250), "1 of 250");
    EXPECT_EQ(XMEditScrollerCB::TipText(2.5, 249.6), "4 of 250");
    EXPECT_EQ(XMEditScrollerCB::TipText(2.49, 10), "3 of 10");
    std::string text;
    for (int i = 1; i < 250; ++i) {
        text += "x\n";
    }
    Load("|" + text);
    ASSERT_EQ(edit.LineCount(), 250);
    XMEditScrollerCB& sc = edit.GetScroller();
    sc.OnScroll(1, uint32_t(plat::ScrollCode::ThumbTrack), 0);
    EXPECT_TRUE(sc.IsTipShown());
    EXPECT_EQ(sc.GetTipText(), "1 of 250");
    sc.OnScroll(1, uint32_t(plat::ScrollCode::ThumbTrack), 99);
    EXPECT_EQ(sc.GetTipText(), "100 of 250");
    EXPECT_EQ(edit.FirstLine(), 99);
    sc.OnScroll(1, uint32_t(plat::ScrollCode::EndScroll), 99);
    EXPECT_FALSE(sc.IsTipShown());
    sc.OnScroll(1, uint32_t(plat::ScrollCode::PageDown), 0);
    EXPECT_EQ(edit.FirstLine(), 99 + edit.PageLines());
    sc.OnScroll(1, uint32_t(plat::ScrollCode::Bottom), 0);
    EXPECT_EQ(edit.FirstLine(), 250 - edit.PageLines());
    // The caret did not move: scrolling only moves the view.
    EXPECT_EQ(edit.GetCaret(), (XME_Pos{0, 0}));
}

TEST_F(XMEditTest, PaintsOnlyTheLinesInView)
{
    // A view that counts the lines it reads.
    struct CountingEdit : XMEdit
    {
        using XMEdit::XMEdit;
        ZStr LineText(int32_t line) const override
        {
            ++reads;
            return XMEdit::LineText(line);
        }
        mutable int64_t reads = 0;
    };
    ZStringML big;
    CountingEdit view(big);
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += "line number " + std::to_string(i) + "\n";
    }
    view.SetText(ZStr(text.data(), int32_t(text.size())), ZStr("\n"));
    const int32_t w = 300;
    const int32_t h = 10 * view.LineHeight();
    view.SetViewSize({w, h});
    view.SetColors(plat::Rgb(0, 0, 0), plat::Rgb(255, 255, 255));
    view.SetSelColors(plat::Rgb(255, 255, 255), plat::Rgb(0, 0, 200));
    view.ScrollTo(50000, 0);
    view.SetSel({50002, 0}, {50002, 4});
    plat::Image img(w, h);
    view.reads = 0;
    view.Paint(img.Context(), {0, 0, w, h});
    EXPECT_LE(view.reads, 4 * 11);
    // The selected cells on the third row are highlighted, the rest is background or text.
    const int32_t lh = view.LineHeight();
    const double cw = view.CharWidth();
    EXPECT_EQ(img.GetPixel(XME_Text::kMargin + 1, 2 * lh + 1), plat::Rgb(0, 0, 200));
    EXPECT_EQ(img.GetPixel(XME_Text::kMargin + int(6 * cw), 2 * lh + 1), plat::Rgb(255, 255, 255));
    bool ink = false;
    for (int x = 0; x < 12 * cw && !ink; ++x) {
        for (int y = 0; y < lh && !ink; ++y) {
            const plat::ColorRef c = img.GetPixel(x, y);
            ink = plat::RedOf(c) < 128 && plat::GreenOf(c) < 128 && plat::BlueOf(c) < 128;
        }
    }
    EXPECT_TRUE(ink) << "the first row shows text";
}

TEST_F(XMEditTest, DroppedFilesLoadTextAndRefuseTheRest)
{
    TempFolder dir("xmedit_drop");
    ASSERT_TRUE(dir.Made());
    const std::string text = dir.File("a.txt");
    const std::string binary = dir.File("b.bin");
    dir.Write("a.txt", "one\r\ntwo\r\n");
    dir.Write("b.bin", std::string("ab\0cd", 5));
    Load("keep|");
    // Binary and missing files change nothing.
    EXPECT_FALSE(edit.DropFiles({binary}));
    EXPECT_FALSE(edit.DropFiles({dir.File("missing.txt")}));
    EXPECT_EQ(State(), "keep|");
    ZString read;
    ZString error;
    EXPECT_FALSE(XMEdit::ReadTextFile(binary, read, error));
    EXPECT_NE(std::string(error.Text()).find("not a text file"), std::string::npos);
    EXPECT_FALSE(XMEdit::ReadTextFile(dir.Path(), read, error));
    // A text file replaces the text, split at its own line break; undo brings the old back.
    EXPECT_TRUE(edit.DropFiles({text, binary}));
    EXPECT_EQ(State(), "|one\ntwo\n");
    edit.ExecCmd("DoUndo");
    edit.ExecCmd("DoUndo");
    EXPECT_EQ(TextOf(edit), "keep");
    EXPECT_EQ(XMEdit::LineBreakOf("a\r\nb\n"), "\r\n");
    EXPECT_EQ(XMEdit::LineBreakOf("a\nb\r\n"), "\n");
    // A read-only editor takes no files.
    edit.SetReadOnly(true);
    EXPECT_FALSE(edit.DropFiles({text}));
    EXPECT_EQ(TextOf(edit), "keep");
}

TEST_F(XMEditTest, FontColoursScrollBarsAndWholeTextReplacement)
{
    edit.SetFont("Courier New", 200);
    const int32_t big = edit.LineHeight();
    edit.ResetFont();
    EXPECT_EQ(edit.GetFont().face, "Fixedsys");
    EXPECT_EQ(edit.GetFont().sizeTenths, 90);
    EXPECT_LT(edit.LineHeight(), big);
    // The cell is the glyphs' own advance, so that the caret stays on the text along a
    // long line: 200 characters end where 200 cells do, within a pixel.
    plat::Image img(10, 10);
    img.Context().SetFont(edit.GetFont());
    EXPECT_NEAR(img.Context().GetTextExtent(std::string(200, 'w')).cx, 200 * edit.CharWidth(), 1.0);
    edit.EnableScrollBar(0, false);
    EXPECT_FALSE(edit.IsScrollBarEnabled(0));
    EXPECT_TRUE(edit.IsScrollBarEnabled(1));
    edit.SetText("Error: Elements", "\r\n");
    EXPECT_EQ(State(), "|Error: Elements");
    edit.SetText("a\r\nbb\r\nccc", "\r\n");
    EXPECT_EQ(State(), "|a\nbb\nccc");
    edit.SetSel({2, 3}, {2, 3});
    edit.SetText("x\r\ny", "\r\n", true);
    EXPECT_EQ(State(), "x\ny|");
    EXPECT_FALSE(edit.GetUndoMngr().CanUndo());
}
