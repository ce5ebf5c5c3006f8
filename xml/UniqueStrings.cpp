// SPDX-License-Identifier: GPL-2.0-or-later
#include "xml/UniqueStrings.h"

#include <cstring>

UniqueStrings::UniqueStrings()
    : m_set(127, PoolKeys(*this))
{
}

UniqueStrings::~UniqueStrings()
{
    // The set's keys view the blocks; it never reads them again once emptied. (Its keys are
    // borrowed, so emptying it frees nothing.)
    m_set.Clear();
    for (char* block : m_blocks) {
        delete[] block;
    }
}

char* UniqueStrings::Allocate(int32_t n)
{
    if (n <= m_freeLen) {
        char* p = m_free;
        m_free += n;
        m_freeLen -= n;
        return p;
    }
    // A large string gets a block of its own, so the rest of the current block stays usable
    // for the short names and values that follow.
    if (n > kBlockSize / 4) {
        char* block = new char[size_t(n)];
        m_blocks.Append(block);
        return block;
    }
    char* block = new char[size_t(kBlockSize)];
    m_blocks.Append(block);
    m_free = block + n;
    m_freeLen = kBlockSize - n;
    return block;
}

ZStr UniqueStrings::Copy(ZStr text)
{
    char* p = Allocate(text.len + 1);
    std::memcpy(p, text.ptr, size_t(text.len));
    p[text.len] = 0;
    return ZStr(p, text.len);
}

ZStr UniqueStrings::Intern(ZStr text)
{
    if (text.len <= 0 || text.ptr == nullptr) {
        return ZStr("", 0);
    }
    if (text.len > kShareLimit) {
        return Copy(text);
    }
    // One lookup: an existing entry is returned as it is, a new one is copied into the
    // blocks by the set's key traits when it is stored.
    int32_t slot = m_set.Insert(text, 0);
    if (slot < 0) {
        // The set could not grow: the text is still kept, only not shared.
        return Copy(text);
    }
    return m_set.KeyAt(slot);
}
