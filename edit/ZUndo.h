// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/ZStr.h"

#include <cstdint>
#include <memory>

class ZString;

/// One undoable edit. The name tells the kind of edit ("Insert", "InsertStr", "Remove",
/// "RemoveStr" for the text buffer's records) and is kept as a view of a text that lives as
/// long as the program.
class ZUndo
{
public:
    explicit ZUndo(ZStr name)
        : m_name(name)
    {
    }
    virtual ~ZUndo();

    /// Takes the edit back. False when the target no longer matches the record (then
    /// nothing changed).
    virtual bool Undo() = 0;
    /// Applies the edit again after an undo. False, changing nothing, on a mismatch.
    virtual bool Redo() = 0;
    /// Replaces name by the record's name.
    virtual void Name(ZString& name) const;

    /// The record's name as a view.
    ZStr Kind() const { return m_name; }

    ZUndo(const ZUndo&) = delete;
    ZUndo& operator=(const ZUndo&) = delete;

private:
    ZStr m_name;
};

/// The list of undo records of one editor. Records before the current position are
/// applied and can be undone; records at and after it can be redone. A new record drops
/// everything after the current position. There is no limit on the number of records.
class ZUndoMngr
{
public:
    ZUndoMngr();
    /// Deletes all records.
    virtual ~ZUndoMngr();

    /// Takes ownership of record and appends it after dropping the redo history; the
    /// current position moves past it. While recording is off (or while a record is being
    /// undone or redone) the record is deleted at once. False when the record was not
    /// kept (recording off, or no memory for it: then the history is as it was).
    bool Add(std::unique_ptr<ZUndo> record);
    /// Makes room for one more record after the applied ones, so that the next Add cannot
    /// fail for want of memory. False when memory ran out.
    [[nodiscard]] bool Reserve() { return m_records.Reserve(m_current + 1); }
    /// Undoes the record before the current position and moves the position back. False
    /// when there is nothing to undo or the record failed (the position then stays).
    bool Undo();
    /// Redoes the record at the current position and moves the position on. False when
    /// there is nothing to redo or the record failed (the position then stays).
    bool Redo();
    bool CanUndo() const { return m_current > 0; }
    bool CanRedo() const { return m_current < m_records.Count(); }

    /// Switches recording on or off; while off, Add discards new records. Edits made while
    /// recording is off leave the history as it is, so its positions may no longer fit the
    /// text; a record that no longer fits fails and changes nothing.
    void EnableRecording(bool on) { m_recording = on ? 1 : 0; }
    bool IsRecording() const { return m_recording != 0 && !m_busy; }

    /// Deletes the records at and after the current position.
    void DropRedo();
    /// Deletes every record.
    void Clear();
    /// The record just before the current position (the last applied one), or null.
    ZUndo* Last() const { return m_current > 0 ? m_records[m_current - 1] : nullptr; }
    /// Number of records, applied or not.
    int32_t Count() const { return m_records.Count(); }
    /// Number of applied records.
    int32_t Current() const { return m_current; }
    /// Record i (0 <= i < Count()), or null.
    ZUndo* Record(int32_t i) const
    {
        return i >= 0 && i < m_records.Count() ? m_records[i] : nullptr;
    }

    ZUndoMngr(const ZUndoMngr&) = delete;
    ZUndoMngr& operator=(const ZUndoMngr&) = delete;

private:
    XArray<ZUndo*> m_records;
    int32_t m_current = 0;
    uint8_t m_recording = 1;
    bool m_busy = false;
};
