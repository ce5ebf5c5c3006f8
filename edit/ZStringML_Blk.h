// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/ZStr.h"
#include "base/ZString.h"

#include <cstdint>

/// A run of whole lines: the building block of `ZStringML`, and the form in which text is
/// handed to an insertion or kept by an undo record.
///
/// The lines are stored one after another in one string with no break characters between
/// them; a table of start offsets (the first always 0) says where each line begins. A block
/// always has at least one line. The last-line-break flag tells whether the last line is
/// followed by a line break: inside a buffer that means the text goes on in the next block;
/// in a block built from a text it means the text ended with the separator.
///
/// Out of memory (see base/ZAlloc.h): the operations that return bool leave the block as it
/// was. A block that could not be made or copied has no lines at all; a buffer refuses to
/// insert such a block.
class ZStringML_Blk
{
public:
    /// One empty line without a trailing break (no lines when memory ran out).
    ZStringML_Blk();
    /// A copy of other; a block without lines when memory ran out (see CopyFrom).
    ZStringML_Blk(const ZStringML_Blk& other);
    ZStringML_Blk(ZStringML_Blk&& other) noexcept = default;
    ZStringML_Blk& operator=(const ZStringML_Blk& other);
    ZStringML_Blk& operator=(ZStringML_Blk&& other) noexcept = default;

    /// Makes this block a copy of other. False when memory ran out (the block unchanged).
    [[nodiscard]] bool CopyFrom(const ZStringML_Blk& other);

    /// Replaces the lines by copies of the given texts, followed by a break when lastBreak
    /// is set. An empty list counts as one empty line. False when memory ran out (the
    /// block unchanged).
    [[nodiscard]] bool SetLines(const XArray<ZStr, true>& lines, bool lastBreak);
    /// Replaces the lines by the pieces of text between occurrences of sep. A text that ends
    /// with sep sets the last-line-break flag instead of adding an empty last line, so "\n"
    /// split at "\n" gives one empty line followed by a break. An empty separator keeps the
    /// whole text as one line. False when memory ran out (the block unchanged).
    [[nodiscard]] bool SetText(ZStr text, ZStr sep);

    /// A block made by SetText; without lines when memory ran out.
    static ZStringML_Blk FromText(ZStr text, ZStr sep);
    /// A block made by SetLines; without lines when memory ran out.
    static ZStringML_Blk FromLines(const XArray<ZStr, true>& lines, bool lastBreak);

    /// Number of lines (at least 1 for every block in use; 0 for a block that could not be
    /// made).
    int32_t LineCount() const { return m_lineStart.Count(); }
    /// The characters of line i without a break; the empty view for i outside the block.
    /// The view lives until the block is changed.
    ZStr Line(int32_t i) const;
    /// Offset of line i in Text(); 0 for i outside the block.
    int32_t LineStart(int32_t i) const;
    /// Length of line i; 0 for i outside the block.
    int32_t LineLength(int32_t i) const;
    /// All lines one after another, without breaks.
    ZStr Text() const { return m_text.Str(); }
    /// Number of characters, breaks not counted.
    int32_t Length() const { return m_text.Length(); }
    bool LastLineBreak() const { return m_lastLineNL; }
    /// One line and no trailing break: the text goes into a single line.
    bool IsSingleLine() const { return LineCount() == 1 && !m_lastLineNL; }

    /// Length of the longest line, computed on first use after a change and then cached.
    int32_t LongestLine() const;
    /// The cached longest-line length, -1 while not computed.
    int32_t LongestLineCache() const { return m_maxLineLen; }

    /// Replaces out by every line followed by sep, the last line only when the block ends
    /// with a break. False (and out empty) when the result would not fit a `ZString`.
    bool GetText(ZString& out, ZStr sep) const;

    /// Appends the diagnostic description: the line count and, with full detail, the text,
    /// then the line table and, with full detail, every line with its offset and length.
    void Dump(ZString& out, bool full) const;

private:
    friend class ZStringML;

    /// Inserts s at offset at of the text; s must not view this block's own text. False
    /// when memory ran out (the text unchanged).
    [[nodiscard]] bool InsertChars(int32_t at, ZStr s);
    /// Removes the characters from offset from up to offset to (never allocates).
    void EraseChars(int32_t from, int32_t to);
    /// Makes room for n line starts before index at; the new entries are to be filled in.
    /// False when memory ran out (the table unchanged).
    [[nodiscard]] bool InsertStarts(int32_t at, int32_t n);
    /// Takes text and its line starts, built aside, as the block's content, and whether the
    /// last line ends with a break. Never allocates.
    void Adopt(ZString&& text, XArray<int32_t>&& starts, bool lastBreak);
    /// Makes the block the failed form: no lines.
    void MakeEmpty();
    /// Adds delta to the line starts from index from on.
    void ShiftStarts(int32_t from, int32_t delta);
    /// Position of the first occurrence of sep (not empty) in text at or after start, or -1.
    static int32_t FindSep(ZStr text, ZStr sep, int32_t start);

    ZString m_text;
    XArray<int32_t> m_lineStart{1, 10, 10, 2.0};
    mutable int32_t m_maxLineLen = -1;
    bool m_lastLineNL = false;
};
