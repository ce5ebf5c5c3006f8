#pragma once

#include "base/TypeDict.h"
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
enum class DictDuplicates : uint8_t {
    KeepFirst, ///< inserting an existing key keeps the stored value
    Replace,   ///< inserting an existing key replaces the value
};

/// A dictionary keyed by text views. With DictKeys::Copied (the usual choice) a key passed
/// to Insert may be a temporary: the dictionary stores a copy and frees it on removal.
template <typename V> class StringTypeDict : public TypeDict<ZStr, V>
{
    using Base = TypeDict<ZStr, V>;

public:
    explicit StringTypeDict(int32_t capacity = 15, DictKeys keys = DictKeys::Copied,
                            DictCase keyCase = DictCase::Sensitive,
                            DictDuplicates dups = DictDuplicates::Replace)
        : Base(capacity)
        , m_copyKeys(keys == DictKeys::Copied)
        , m_ignoreCase(keyCase == DictCase::Insensitive)
        , m_replace(dups == DictDuplicates::Replace)
    {
    }

    ~StringTypeDict() override
    {
        // Owned keys are released here; the base destructor no longer sees this override.
        Base::Clear();
    }

protected:
    /// Makes the stored form of a new key (a heap copy when keys are copied).
    virtual ZStr CopyKey(ZStr key)
    {
        if (!m_copyKeys) {
            return key;
        }
        char* p = new char[size_t(key.len) + 1];
        if (key.len > 0) {
            std::memcpy(p, key.ptr, size_t(key.len));
        }
        p[key.len] = 0;
        return ZStr(p, key.len);
    }
    /// Frees what CopyKey made.
    virtual void FreeKey(ZStr key)
    {
        if (m_copyKeys) {
            delete[] key.ptr;
        }
    }

    void EntryStored(int32_t slot) override
    {
        ZStr& key = this->MutableKeyAt(slot);
        key = CopyKey(key);
    }
    void EntryReleased(int32_t slot) override { FreeKey(this->KeyAt(slot)); }
    uint32_t HashKey(const ZStr& key) const override
    {
        return DictHash(key.ptr, key.len, m_ignoreCase);
    }
    bool KeysEqual(const ZStr& a, const ZStr& b) const override
    {
        return m_ignoreCase ? a.EqualsI(b) : a.Equals(b);
    }
    bool ReplacesExisting() const override { return m_replace; }

private:
    uint8_t m_copyKeys;
    uint8_t m_ignoreCase;
    uint8_t m_replace;
};

/// Text to text.
class StringStringDict : public StringTypeDict<ZString>
{
public:
    explicit StringStringDict(int32_t capacity = 15)
        : StringTypeDict<ZString>(capacity)
    {
    }

    void Set(ZStr key, ZStr value) { Insert(key, ZString(value)); }
    /// The value of key, or null.
    const ZString* Get(ZStr key) const { return Lookup(key); }
};
