// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZString.h"
#include "edit/ZStringML_Blk.h"
#include "edit/ZUndo.h"

#include <cstdint>

class ZStringML;

/// An undo record of a `ZStringML` edit: the buffer it acts on (not owned) and the range
/// of the edit, from the start position up to the end position, lines and columns counted
/// from 0. Undo and redo edit the buffer with recording off.
class ZML_Undo : public ZUndo
{
public:
    ZML_Undo(ZStr name, ZStringML* buffer, int32_t startLine, int32_t startCol, int32_t endLine,
             int32_t endCol)
        : ZUndo(name)
        , m_buffer(buffer)
        , m_startLine(startLine)
        , m_startCol(startCol)
        , m_endLine(endLine)
        , m_endCol(endCol)
    {
    }

    ZStringML* Buffer() const { return m_buffer; }
    int32_t StartLine() const { return m_startLine; }
    int32_t StartCol() const { return m_startCol; }
    int32_t EndLine() const { return m_endLine; }
    int32_t EndCol() const { return m_endCol; }

protected:
    /// Removes the record's range from the buffer.
    bool RemoveRange();
    /// Inserts lines at the record's start; true when they end at the record's end.
    bool InsertAtStart(const ZStringML_Blk& lines);

    ZStringML* m_buffer;
    int32_t m_startLine;
    int32_t m_startCol;
    int32_t m_endLine;
    int32_t m_endCol;
};

/// An insertion of lines ("Insert"): keeps a copy of the inserted block.
class ZML_UndoInsert : public ZML_Undo
{
public:
    /// Takes `lines` over; a caller that keeps its block passes a copy.
    ZML_UndoInsert(ZStringML* buffer, int32_t startLine, int32_t startCol, int32_t endLine,
                   int32_t endCol, ZStringML_Blk lines);
    bool Undo() override;
    bool Redo() override;
    const ZStringML_Blk& Lines() const { return m_lines; }

private:
    ZStringML_Blk m_lines;
};

/// An insertion of characters into one line ("InsertStr"). Typing forward, or typing again
/// at the start of the run, merges into the same record.
class ZML_UndoInsertStr : public ZML_Undo
{
public:
    ZML_UndoInsertStr(ZStringML* buffer, int32_t startLine, int32_t startCol, int32_t endLine,
                      int32_t endCol, ZStr text);
    bool Undo() override;
    bool Redo() override;
    /// Takes in a further insertion of text from (line, col) up to (endLine, endCol) when
    /// it continues the record at its end or precedes it at its start; false otherwise, or
    /// when memory ran out (the record then unchanged).
    virtual bool Merge(int32_t line, int32_t col, int32_t endLine, int32_t endCol, ZStr text);
    /// Whether Merge would take in an insertion at (line, col).
    bool Accepts(int32_t line, int32_t col) const;
    /// Makes room for n more characters, so that a following Merge cannot run out of memory.
    [[nodiscard]] bool ReserveMerge(int32_t n) { return m_text.Reserve(m_text.Length() + n); }
    ZStr Text() const { return m_text.Str(); }

private:
    ZString m_text;
};

/// A removal spanning lines ("Remove"): keeps the removed text as a block.
class ZML_UndoRemove : public ZML_Undo
{
public:
    /// Takes `lines` over; a caller that keeps its block passes a copy.
    ZML_UndoRemove(ZStringML* buffer, int32_t startLine, int32_t startCol, int32_t endLine,
                   int32_t endCol, ZStringML_Blk lines);
    bool Undo() override;
    bool Redo() override;
    const ZStringML_Blk& Lines() const { return m_lines; }

private:
    ZStringML_Blk m_lines;
};

/// A removal within one line ("RemoveStr"). Repeated Delete at one place and repeated
/// Backspace merge into the same record, which keeps the removed characters in text order.
class ZML_UndoRemoveStr : public ZML_Undo
{
public:
    ZML_UndoRemoveStr(ZStringML* buffer, int32_t startLine, int32_t startCol, int32_t endLine,
                      int32_t endCol, ZStr text);
    bool Undo() override;
    bool Redo() override;
    /// Takes in a further removal of text from (line, col) up to (endLine, endCol) when it
    /// starts at the record's start (Delete) or ends there (Backspace); false otherwise, or
    /// when memory ran out (the record then unchanged).
    virtual bool Merge(int32_t line, int32_t col, int32_t endLine, int32_t endCol, ZStr text);
    /// Whether Merge would take in a removal from (line, col) up to (endLine, endCol).
    bool Accepts(int32_t line, int32_t col, int32_t endLine, int32_t endCol) const;
    /// Makes room for n more characters, so that a following Merge cannot run out of memory.
    [[nodiscard]] bool ReserveMerge(int32_t n) { return m_text.Reserve(m_text.Length() + n); }
    ZStr Text() const { return m_text.Str(); }

private:
    ZString m_text;
};
