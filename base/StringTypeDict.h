// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/TypeDict.h"
#include "base/ZAlloc.h"
#include "base/ZString.h"

#include <cstring>

/// Options of a string-keyed dictionary.
enum class DictKeys : uint8_t {
    Borrowed, ///< keys view text that outlives the dictionary
    Copied,   ///< the dictionary keeps its own copy of every key
};
enum class DictCase : uint8_t {
    Sensitive,
    Insensitive, ///< keys hash and compare with ASCII case folding
};

/// Key traits of the string-keyed dictionaries (see `DictKeyTraits`): the case option
/// picks the hash and comparison, and copied keys are stored as NUL-terminated heap copies
/// that the table frees when the key leaves it.
class StringKeyTraits
{
public:
    explicit StringKeyTraits(DictKeys keys = DictKeys::Copied,
                             DictCase keyCase = DictCase::Sensitive)
        : m_copyKeys(keys == DictKeys::Copied)
        , m_ignoreCase(keyCase == DictCase::Insensitive)
    {
    }

    uint32_t Hash(const ZStr& key) const { return DictHash(key.ptr, key.len, m_ignoreCase); }
    bool Equal(const ZStr& a, const ZStr& b) const
    {
        return m_ignoreCase ? a.EqualsI(b) : a.Equals(b);
    }
    /// Replaces key by the table's own copy when keys are copied; false when memory ran out.
    bool Store(ZStr& key)
    {
        if (!m_copyKeys) {
            return true;
        }
        int32_t n = key.len > 0 ? key.len : 0;
        char* p = static_cast<char*>(ZAllocBytes(size_t(n) + 1));
        if (p == nullptr) {
            return false;
        }
        if (n > 0) {
            std::memcpy(p, key.ptr, size_t(n));
        }
        p[n] = 0;
        key = ZStr(p, n);
        return true;
    }
    /// Frees what Store made.
    void Release(ZStr& key)
    {
        if (m_copyKeys) {
            ZFreeBytes(const_cast<char*>(key.ptr));
        }
    }

private:
    uint8_t m_copyKeys;
    uint8_t m_ignoreCase;
};

/// A dictionary keyed by text views. With DictKeys::Copied (the usual choice) a key passed
/// to Insert may be a temporary: the dictionary stores a copy and frees it on removal.
/// Another way of keeping keys comes with traits of its own, derived from StringKeyTraits.
template <typename V, typename Traits = StringKeyTraits>
class StringTypeDict : public TypeDict<ZStr, V, Traits>
{
    using Base = TypeDict<ZStr, V, Traits>;

public:
    explicit StringTypeDict(int32_t capacity = 15, DictKeys keys = DictKeys::Copied,
                            DictCase keyCase = DictCase::Sensitive,
                            DictDuplicates dups = DictDuplicates::Replace)
        : Base(capacity, Traits(keys, keyCase), dups)
    {
    }
    StringTypeDict(int32_t capacity, const Traits& traits,
                   DictDuplicates dups = DictDuplicates::Replace)
        : Base(capacity, traits, dups)
    {
    }
};

/// Text to text.
class StringStringDict : public StringTypeDict<ZString>
{
public:
    explicit StringStringDict(int32_t capacity = 15)
        : StringTypeDict<ZString>(capacity)
    {
    }

    /// Stores value under key; false when memory ran out (the dictionary unchanged).
    bool Set(ZStr key, ZStr value)
    {
        ZString copy(value);
        if (copy.Length() != (value.len > 0 ? value.len : 0)) {
            return false;
        }
        return Insert(key, copy) >= 0;
    }
    /// The value of key, or null.
    const ZString* Get(ZStr key) const { return Lookup(key); }
};
