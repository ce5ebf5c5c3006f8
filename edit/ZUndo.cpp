// SPDX-License-Identifier: GPL-2.0-or-later
#include "edit/ZUndo.h"

#include "base/ZString.h"

ZUndo::~ZUndo() = default;

void ZUndo::Name(ZString& name) const
{
    name.Assign(m_name);
}

ZUndoMngr::ZUndoMngr() = default;

ZUndoMngr::~ZUndoMngr()
{
    Clear();
}

bool ZUndoMngr::Add(std::unique_ptr<ZUndo> record)
{
    if (!record || !IsRecording() || !Reserve()) {
        return false; // the record is deleted on leaving
    }
    DropRedo();
    // Room was reserved above, and dropping the redo history only frees more.
    if (m_records.Append(record.get()) < 0) {
        return false;
    }
    record.release();
    m_current = m_records.Count();
    return true;
}

bool ZUndoMngr::Undo()
{
    if (m_current <= 0) {
        return false;
    }
    // A record that fails leaves its edit in place, so the position must stay on it;
    // otherwise a later redo would apply the edit a second time.
    m_busy = true;
    bool ok = m_records[m_current - 1]->Undo();
    m_busy = false;
    if (ok) {
        --m_current;
    }
    return ok;
}

bool ZUndoMngr::Redo()
{
    if (m_current >= m_records.Count()) {
        return false;
    }
    m_busy = true;
    bool ok = m_records[m_current]->Redo();
    m_busy = false;
    if (ok) {
        ++m_current;
    }
    return ok;
}

void ZUndoMngr::DropRedo()
{
    int32_t n = m_records.Count();
    for (int32_t i = m_current; i < n; ++i) {
        delete m_records[i];
    }
    if (m_current < n) {
        m_records.Remove(m_current, n - m_current);
    }
}

void ZUndoMngr::Clear()
{
    for (ZUndo* r : m_records) {
        delete r;
    }
    m_records.RemoveAll();
    m_current = 0;
}
