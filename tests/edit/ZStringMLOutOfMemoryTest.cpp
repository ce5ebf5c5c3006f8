// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZString.h"
#include "edit/ZML_Undo.h"
#include "edit/ZStringML.h"
#include "edit/ZUndo.h"
#include "tests/TestSupport.h"
#include "tests/base/AllocFailure.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

using allocfail::CheckEveryFailure;

// A buffer with small blocks, so that edits split and merge them, and an undo history.
struct Editor
{
    ZStringML buf{4, 40};
    ZUndoMngr undo;

    Editor() { buf.SetUndoMngr(&undo); }
};

// Everything a user could see of the buffer: the text, the block structure's soundness and
// the undo history with the text of every record.
std::string Show(const Editor& e)
{
    ZString text;
    EXPECT_TRUE(e.buf.GetText(text, "\n"));
    ZString fault;
    std::string out = S(text) + "#" + (e.buf.CheckBlocks(&fault) ? "ok" : S(fault));
    out += "#" + std::to_string(e.undo.Current()) + "/" + std::to_string(e.undo.Count());
    for (int32_t i = 0; i < e.undo.Count(); ++i) {
        const auto* r = static_cast<const ZML_Undo*>(e.undo.Record(i));
        out += "|" + S(r->Kind()) + " " + std::to_string(r->StartLine()) + "," +
               std::to_string(r->StartCol()) + "-" + std::to_string(r->EndLine()) + "," +
               std::to_string(r->EndCol());
        if (const auto* is = dynamic_cast<const ZML_UndoInsertStr*>(r)) {
            out += " '" + S(is->Text()) + "'";
        } else if (const auto* rs = dynamic_cast<const ZML_UndoRemoveStr*>(r)) {
            out += " '" + S(rs->Text()) + "'";
        }
    }
    return out;
}

bool Insert(Editor& e, int32_t line, int32_t col, const char* text)
{
    int32_t el = 0;
    int32_t ec = 0;
    ZStringML_Blk blk = ZStringML_Blk::FromText(text, "\n");
    return e.buf.Insert(line, col, blk, el, ec);
}

std::unique_ptr<Editor> MakeEditor()
{
    auto e = std::make_unique<Editor>();
    EXPECT_TRUE(e->buf.SetText("alpha\nbeta\ngamma\ndelta\nepsilon\nzeta\neta\ntheta\niota\n"
                               "kappa\nlambda\nmu",
                               "\n"));
    EXPECT_TRUE(e->buf.Remove(6, 0, 8, 2));
    EXPECT_TRUE(Insert(*e, 1, 4, "XY")); // a typed run to merge into
    EXPECT_GT(e->buf.BlockCount(), 2);
    return e;
}

// Every edit of the text buffer, its undo record included, either completes or leaves the
// text, the blocks and the undo history exactly as they were.
TEST(ZStringMLOutOfMemoryTest, EditsCompleteOrChangeNothing)
{
    auto show = [](const Editor& e) { return Show(e); };
    CheckEveryFailure(
        "typing merged into a run", MakeEditor,
        [](Editor& e) { return Insert(e, 1, 6, "Z") && e.undo.Count() == 2; }, show);
    CheckEveryFailure(
        "typing a new run", MakeEditor, [](Editor& e) { return Insert(e, 3, 0, "new"); }, show);
    CheckEveryFailure(
        "inserting lines that split blocks", MakeEditor,
        [](Editor& e) {
            return Insert(e, 2, 3,
                          "one\ntwo\nthree\nfour\nfive\nsix\nseven, a line of some length\n");
        },
        show);
    CheckEveryFailure(
        "removing across blocks", MakeEditor,
        [](Editor& e) { return e.buf.Remove(1, 2, 8, 1) && e.buf.BlockCount() >= 1; }, show);
    auto afterBackspace = [] {
        auto e = MakeEditor();
        EXPECT_TRUE(e->buf.Remove(4, 2, 4, 3));
        return e;
    };
    CheckEveryFailure(
        "backspace merged into a run", afterBackspace,
        [](Editor& e) { return e.buf.Remove(4, 1, 4, 2) && e.undo.Count() == 3; }, show);
    auto afterUndo = [] {
        auto e = MakeEditor();
        EXPECT_TRUE(e->undo.Undo());
        return e;
    };
    CheckEveryFailure(
        "undo of a removal across blocks", afterUndo, [](Editor& e) { return e.undo.Undo(); },
        show);
    CheckEveryFailure(
        "redo of a typed run", afterUndo, [](Editor& e) { return e.undo.Redo(); }, show);
    CheckEveryFailure(
        "replacing the whole text", MakeEditor,
        [](Editor& e) { return e.buf.SetText("a\nb\nc\nd\ne\nf\ng\nh\ni\nj", "\n"); }, show);
}

} // namespace
