// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/StringTypeDict.h"
#include "base/XArray.h"
#include "base/ZStr.h"

#include <cstdint>

/// A pool that keeps a NUL-terminated copy of each string it is given for its whole
/// lifetime. Views handed out by `Intern` stay valid until the pool is destroyed, so nodes
/// and callers may keep them as long as the pool's owner lives. Copies are carved from large
/// blocks, so interning many short strings costs few allocations.
///
/// Texts up to kShareLimit bytes (names, attribute values, short texts) are kept once and
/// shared. Longer texts (data rows, long paragraphs) are rarely repeated, so each gets a copy
/// of its own without being looked up: hashing megabytes of chart data would cost more than
/// sharing could save.
class UniqueStrings
{
public:
    static constexpr int32_t kShareLimit = 256;

    UniqueStrings();
    UniqueStrings(const UniqueStrings&) = delete;
    UniqueStrings& operator=(const UniqueStrings&) = delete;
    ~UniqueStrings();

    /// The pool's NUL-terminated copy of text. An empty text gives a shared empty string.
    ZStr Intern(ZStr text);
    /// True when a text of at most kShareLimit bytes has been interned (empty: always).
    bool Contains(ZStr text) const { return text.len <= 0 || m_set.Contains(text); }
    /// Number of distinct shared strings held.
    int32_t Count() const { return m_set.Count(); }

private:
    // Keys of the set: stored as copies carved from the pool's blocks, which the pool frees
    // as a whole, so releasing a key does nothing.
    class PoolKeys : public StringKeyTraits
    {
    public:
        explicit PoolKeys(UniqueStrings& pool)
            : StringKeyTraits(DictKeys::Borrowed)
            , m_pool(&pool)
        {
        }
        bool Store(ZStr& key)
        {
            key = m_pool->Copy(key);
            return true;
        }
        void Release(ZStr&) {}

    private:
        UniqueStrings* m_pool;
    };
    using Set = StringTypeDict<char, PoolKeys>;

    static constexpr int32_t kBlockSize = 32 * 1024;

    ZStr Copy(ZStr text);
    char* Allocate(int32_t n);

    XArray<char*> m_blocks{0, 16, 16, 2.0};
    char* m_free = nullptr;
    int32_t m_freeLen = 0;
    // Declared last: its keys view the blocks above, so it goes first.
    Set m_set;
};
