// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/ZML_Undo.h"

#include "edit/ZStringML.h"

#include <utility>

namespace {

const char kInsert[] = "Insert";
const char kInsertStr[] = "InsertStr";
const char kRemove[] = "Remove";
const char kRemoveStr[] = "RemoveStr";

} // namespace

bool ZML_Undo::RemoveRange()
{
    return m_buffer->Remove(m_startLine, m_startCol, m_endLine, m_endCol, false);
}

bool ZML_Undo::InsertAtStart(const ZStringML_Blk& lines)
{
    int32_t endLine = 0;
    int32_t endCol = 0;
    return m_buffer->Insert(m_startLine, m_startCol, lines, endLine, endCol, false);
}

ZML_UndoInsert::ZML_UndoInsert(ZStringML* buffer, int32_t startLine, int32_t startCol,
                               int32_t endLine, int32_t endCol, ZStringML_Blk lines)
    : ZML_Undo(kInsert, buffer, startLine, startCol, endLine, endCol)
    , m_lines(std::move(lines))
{
}

bool ZML_UndoInsert::Undo()
{
    return RemoveRange();
}

bool ZML_UndoInsert::Redo()
{
    return InsertAtStart(m_lines);
}

ZML_UndoInsertStr::ZML_UndoInsertStr(ZStringML* buffer, int32_t startLine, int32_t startCol,
                                     int32_t endLine, int32_t endCol, ZStr text)
    : ZML_Undo(kInsertStr, buffer, startLine, startCol, endLine, endCol)
    , m_text(text)
{
}

bool ZML_UndoInsertStr::Undo()
{
    return RemoveRange();
}

bool ZML_UndoInsertStr::Redo()
{
    return InsertAtStart(ZStringML_Blk::FromText(m_text.Str(), ZStr()));
}

bool ZML_UndoInsertStr::Accepts(int32_t line, int32_t col) const
{
    return (line == m_endLine && col == m_endCol) || (line == m_startLine && col == m_startCol);
}

bool ZML_UndoInsertStr::Merge(int32_t line, int32_t col, int32_t endLine, int32_t endCol, ZStr text)
{
    if (line == m_endLine && col == m_endCol) {
        // Typing forward: the new characters continue the run.
        if (!m_text.Append(text)) {
            return false;
        }
        m_endLine = endLine;
        m_endCol = endCol;
        return true;
    }
    if (line == m_startLine && col == m_startCol) {
        // Typing again at the start of the run puts the characters in front of it.
        if (!m_text.InsertFront(text.ptr, text.len)) {
            return false;
        }
        m_endCol += text.len;
        return true;
    }
    return false;
}

ZML_UndoRemove::ZML_UndoRemove(ZStringML* buffer, int32_t startLine, int32_t startCol,
                               int32_t endLine, int32_t endCol, ZStringML_Blk lines)
    : ZML_Undo(kRemove, buffer, startLine, startCol, endLine, endCol)
    , m_lines(std::move(lines))
{
}

bool ZML_UndoRemove::Undo()
{
    return InsertAtStart(m_lines);
}

bool ZML_UndoRemove::Redo()
{
    return RemoveRange();
}

ZML_UndoRemoveStr::ZML_UndoRemoveStr(ZStringML* buffer, int32_t startLine, int32_t startCol,
                                     int32_t endLine, int32_t endCol, ZStr text)
    : ZML_Undo(kRemoveStr, buffer, startLine, startCol, endLine, endCol)
    , m_text(text)
{
}

bool ZML_UndoRemoveStr::Undo()
{
    return InsertAtStart(ZStringML_Blk::FromText(m_text.Str(), ZStr()));
}

bool ZML_UndoRemoveStr::Redo()
{
    return RemoveRange();
}

bool ZML_UndoRemoveStr::Accepts(int32_t line, int32_t col, int32_t endLine, int32_t endCol) const
{
    return (line == m_startLine && col == m_startCol) ||
           (endLine == m_startLine && endCol == m_startCol);
}

bool ZML_UndoRemoveStr::Merge(int32_t line, int32_t col, int32_t endLine, int32_t endCol, ZStr text)
{
    if (line == m_startLine && col == m_startCol) {
        // Delete pressed again at the same place removes the characters that followed.
        if (!m_text.Append(text)) {
            return false;
        }
    } else if (endLine == m_startLine && endCol == m_startCol) {
        // Backspace pressed again removes the characters just before the run.
        if (!m_text.InsertFront(text.ptr, text.len)) {
            return false;
        }
        m_startLine = line;
        m_startCol = col;
    } else {
        return false;
    }
    m_endLine = m_startLine;
    m_endCol = m_startCol + m_text.Length();
    return true;
}
