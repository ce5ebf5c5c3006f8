// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/ZStr.h"
#include "base/ZString.h"
#include "edit/ZStringML_Blk.h"

#include <cstdint>
#include <memory>

class ZStringML;
class ZUndo;
class ZUndoMngr;

/// Where the last line lookup of one user of a buffer ended: a block and the number of its
/// first line. The next lookup starts there, so that reading lines in order does not scan
/// from the beginning. A cache belongs to one buffer; it notices edits made since it was
/// filled and then starts afresh.
struct ZStringML_PosCache
{
    int32_t blk = -1; ///< cached block index, -1 for none
    int32_t line = 0; ///< number of that block's first line in the whole text
    const ZStringML* owner = nullptr;
    uint64_t stamp = 0;
};

/// A multi-line text kept as a list of blocks of whole lines, so that an edit anywhere
/// touches one block of bounded size plus the block list. Positions are (line, column),
/// both counted from 0; a column may be the line's length (the end of the line).
///
/// The text always has at least one line. A text that ends with a line break has an empty
/// last line, which is where the caret goes after the break.
///
/// Edits can be recorded in an undo manager: typing and deleting runs merge into single
/// records, and a new edit drops the redo history.
///
/// Out of memory (see base/ZAlloc.h): every edit either completes, its undo record
/// included, or returns false and leaves the text, the blocks and the undo history as they
/// were. A buffer whose constructor found no memory has no lines and refuses edits until
/// SetText succeeds.
class ZStringML
{
public:
    static constexpr int32_t kMaxBlockLines = 10000;
    static constexpr int32_t kMaxBlockChars = 20000;

    /// An empty text: one block with one empty line (no lines when memory ran out). The block
    /// limits are fixed for the buffer's life (at least 1 line and 1 character); the defaults are
    /// 10000 lines and 20000 characters.
    explicit ZStringML(int32_t maxBlockLines = kMaxBlockLines,
                       int32_t maxBlockChars = kMaxBlockChars);
    /// Deletes the blocks. The undo manager is left alone (it may be gone already); its
    /// records act on this buffer, so its owner clears or deletes it together with the buffer.
    virtual ~ZStringML();

    ZStringML(const ZStringML&) = delete;
    ZStringML& operator=(const ZStringML&) = delete;

    /// Number of lines (at least 1, unless the constructor found no memory).
    int32_t LineCount() const { return m_lines; }
    /// Sets line to the characters of line index, without the break. False and an empty
    /// view for an index outside the text. The view lives until the next edit.
    bool Line(int32_t index, ZStr& line) const;
    /// As above, looking up from the caller's own cache.
    bool Line(int32_t index, ZStr& line, ZStringML_PosCache& cache) const;
    /// Length of line index; 0 outside the text.
    int32_t LineLength(int32_t index) const;
    /// Length of the longest line.
    int32_t LongestLine() const;
    /// Number of characters, breaks not counted.
    int64_t CharCount() const;

    /// Replaces out by the text: every line followed by sep, except the last line of the
    /// text. False (out empty) when the text would not fit a `ZString`.
    bool GetText(ZString& out, ZStr sep) const;
    /// Replaces out by the text from the start position up to the end position as a block;
    /// a range that ends at the start of a line ends with a break. False (out unchanged)
    /// for positions outside the text or an end before the start.
    bool GetRange(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                  ZStringML_Blk& out) const;

    /// Inserts lines at (line, col): the first line goes into the target line at the
    /// column, the middle lines become lines of their own, and the last line is joined with
    /// the rest of the target line (a block that ends with a break puts the rest on a line
    /// of its own). (endLine, endCol) becomes the position just after the inserted text.
    /// Recorded when record is set and an undo manager records. False, changing nothing,
    /// for a position outside the text (a negative one, a line past the last, a column
    /// past the line's end), a text that would grow too long, or when memory ran out.
    [[nodiscard]] bool Insert(int32_t line, int32_t col, const ZStringML_Blk& lines,
                              int32_t& endLine, int32_t& endCol, ZStringML_PosCache& cache,
                              bool record = true);
    /// As above with the buffer's own edit cache.
    [[nodiscard]] bool Insert(int32_t line, int32_t col, const ZStringML_Blk& lines,
                              int32_t& endLine, int32_t& endCol, bool record = true);
    /// Removes the characters from the start position up to the end position; the rest of
    /// the end line is joined to the start line. False, changing nothing, for positions
    /// outside the text, an end before the start, or when memory ran out.
    [[nodiscard]] bool Remove(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                              ZStringML_PosCache& cache, bool record = true);
    /// As above with the buffer's own edit cache.
    [[nodiscard]] bool Remove(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                              bool record = true);

    /// Replaces the whole text by text split at sep (not recorded); a text that ends with
    /// sep gets an empty last line. The undo history of an installed manager no longer fits
    /// the text and is cleared. False, changing nothing, for a text too long to count or
    /// when memory ran out.
    [[nodiscard]] bool SetText(ZStr text, ZStr sep);

    /// Moves (line, col) to where it stands after the range from the start position up to
    /// the end position has been removed: positions before the range stay, positions inside
    /// it go to its start, and positions after it move up and, on the end line, left.
    static void AdjustPosAfterRemove(int32_t startLine, int32_t startCol, int32_t endLine,
                                     int32_t endCol, int32_t& line, int32_t& col);

    /// Installs the undo manager that records edits (not owned; null for none). The
    /// manager must stay alive while it is installed.
    void SetUndoMngr(ZUndoMngr* mngr) { m_undo = mngr; }
    ZUndoMngr* UndoMngr() const { return m_undo; }

    /// The position of the last edit: the end of the last insertion or the start of the
    /// last removal, undo and redo included. An editor puts its caret there after an undo.
    void CurrentPos(int32_t& line, int32_t& col) const
    {
        line = m_curLine;
        col = m_curCol;
    }

    /// Number of blocks and read access to them, for diagnostics and tests.
    int32_t BlockCount() const { return m_blocks.Count(); }
    const ZStringML_Blk& Block(int32_t i) const { return *m_blocks[i]; }
    int32_t MaxBlockLines() const { return m_maxLines; }
    int32_t MaxBlockChars() const { return m_maxChars; }

    /// Checks the block structure: at least one block, every block with at least one line
    /// and ordered line starts inside its text, the line total, the block limits, the break
    /// flags (set on every block but the last) and the line index. On a fault, false with
    /// a description in fault when given.
    bool CheckBlocks(ZString* fault = nullptr) const;

    /// Appends the diagnostic description: the number of blocks, then each block's own.
    void Dump(ZString& out, bool full) const;

private:
    // An undo record prepared before an edit and stored after it: either a new record or
    // a merge into the last one, whose room was reserved. Storing it cannot fail.
    struct PendingRecord
    {
        std::unique_ptr<ZUndo> fresh;
        ZUndo* merge = nullptr;
        bool active = false;
    };

    bool Locate(int32_t line, ZStringML_PosCache& cache, int32_t& blk, int32_t& first) const;
    bool ValidPos(int32_t line, int32_t col, ZStringML_PosCache& cache, int32_t& blk,
                  int32_t& first) const;
    /// Whether start..end is a range of valid positions, the start not after the end; gives
    /// the block of each end and that block's first line. The cache is left at the start.
    bool ValidRange(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                    ZStringML_PosCache& cache, int32_t& startBlk, int32_t& startFirst,
                    int32_t& endBlk, int32_t& endFirst) const;
    bool NeedsSplit(int32_t lines, int64_t chars) const;
    /// The parts blk must be cut into to keep the limits, as new blocks in parts (none when
    /// it keeps them). False, parts empty, when memory ran out.
    bool PrepareSplit(const ZStringML_Blk& blk, XArray<ZStringML_Blk*>& parts) const;
    /// Room for extra more blocks in the block list and the line index.
    bool ReserveBlocks(int32_t extra);
    /// Replaces the n blocks from first on by parts (room reserved); deletes the old ones.
    void ReplaceBlocks(int32_t first, int32_t n, const XArray<ZStringML_Blk*>& parts);
    bool CanMerge(int32_t b) const;
    /// Joins block b + 1 to block b; false, both unchanged, when memory ran out.
    bool MergeWithNext(int32_t b);
    bool PrepareInsertRecord(int32_t line, int32_t col, int32_t endLine, int32_t endCol,
                             const ZStringML_Blk& lines, PendingRecord& rec);
    bool PrepareRemoveRecord(int32_t startLine, int32_t startCol, int32_t endLine, int32_t endCol,
                             int32_t firstBlk, int32_t firstLine, PendingRecord& rec);
    /// Stores a prepared record; the merge text is what the edit inserted or removed.
    void StoreRecord(PendingRecord& rec, int32_t line, int32_t col, int32_t endLine, int32_t endCol,
                     ZStr text);

    // The line index: a Fenwick tree over the blocks' line counts, so that a jump to any
    // line costs the logarithm of the number of blocks, not a walk along the list.
    void RebuildIndex();
    void IndexAdd(int32_t b, int32_t delta);
    int32_t IndexPrefix(int32_t b) const;
    void IndexFind(int32_t line, int32_t& blk, int32_t& first) const;

    XArray<ZStringML_Blk*> m_blocks{0, 10, 10, 2.0};
    XArray<int32_t> m_index{1, 10, 10, 2.0};
    int32_t m_lines = 1;
    int32_t m_maxLines = kMaxBlockLines;
    int32_t m_maxChars = kMaxBlockChars;
    uint64_t m_stamp = 1;
    ZUndoMngr* m_undo = nullptr;
    mutable ZStringML_PosCache m_readCache;
    ZStringML_PosCache m_editCache;
    int32_t m_curLine = 0;
    int32_t m_curCol = 0;
};
