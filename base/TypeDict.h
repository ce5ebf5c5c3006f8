// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZAlloc.h"
#include "base/ZStr.h"

#include <cassert>
#include <cstdint>
#include <type_traits>
#include <utility>

/// The dictionaries' string hash: h = n * 596579247; h += c(i) << ((5 * i) % 24) for each
/// character (signed 8-bit, or folded to lower case when ignoreCase); x = h * 1103515243 +
/// 12345; result (x >> 16) ^ (x & 0x7FFFFFFF). All arithmetic is unsigned 32-bit. The
/// result is never 0xFFFFFFFF, the empty-slot mark.
uint32_t DictHash(const char* p, int32_t n, bool ignoreCase = false);

/// The ascending prime capacities a dictionary grows through.
int32_t DictNextCapacity(int32_t capacity);

/// What inserting a key that is already there does.
enum class DictDuplicates : uint8_t {
    KeepFirst, ///< the stored value stays
    Replace,   ///< the value is replaced
};

/// Key traits of a dictionary, chosen at compile time (a `TypeDict` holds one traits object
/// and calls it directly, never through a virtual function):
/// - `Hash(key)`: the key's hash, never 0xFFFFFFFF;
/// - `Equal(a, b)`: whether two keys are the same key;
/// - `Store(key)`: called once when a new key is stored, may replace key by the form the
///   table keeps (a copy it owns); false when memory ran out, key then unchanged;
/// - `Release(key)`: called once when a stored key leaves the table (removal, clearing,
///   destruction), undoes what Store did.
///
/// The default serves plain values without padding (integers, enumerations, pointers):
/// they hash their bytes and compare with ==. Other key types bring their own traits.
template <typename K> struct DictKeyTraits
{
    static_assert(std::has_unique_object_representations_v<K>,
                  "keys with padding or several representations need their own traits");
    uint32_t Hash(const K& key) const
    {
        return DictHash(reinterpret_cast<const char*>(&key), int32_t(sizeof(K)));
    }
    bool Equal(const K& a, const K& b) const { return a == b; }
    bool Store(K&) { return true; }
    void Release(K&) {}
};

/// Text views as keys, viewing text that outlives the table: case-sensitive hash and
/// comparison of the characters.
template <> struct DictKeyTraits<ZStr>
{
    uint32_t Hash(const ZStr& key) const { return DictHash(key.ptr, key.len); }
    bool Equal(const ZStr& a, const ZStr& b) const { return a.Equals(b); }
    bool Store(ZStr&) { return true; }
    void Release(ZStr&) {}
};

/// An open-addressing hash table with linear probing. Lookup starts at hash % capacity and
/// probes forward, wrapping after the last slot, up to the first empty slot. Inserting a
/// new key when count >= capacity * 0.6 or count >= capacity - 1 first grows the table to
/// the first listed prime not below capacity * 1.8, re-inserting every entry by its stored
/// hash. Removal re-inserts the rest of the probe run so no entry is cut off from its start.
///
/// Out of memory (see base/ZAlloc.h): Insert returns -1 and leaves the entries as they were.
/// A table whose constructor found no memory is empty and allocates at the first Insert.
template <typename K, typename V, typename Traits = DictKeyTraits<K>> class TypeDict
{
public:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;

    explicit TypeDict(int32_t capacity = 15, const Traits& traits = Traits(),
                      DictDuplicates dups = DictDuplicates::Replace)
        : m_traits(traits)
        , m_replace(dups == DictDuplicates::Replace)
    {
        m_capacity = capacity < 1 ? 1 : capacity;
        (void)AllocArrays(m_capacity, m_keys, m_values, m_hashes);
    }
    TypeDict(const TypeDict&) = delete;
    TypeDict& operator=(const TypeDict&) = delete;

    virtual ~TypeDict()
    {
        ReleaseAll();
        FreeArrays(m_keys, m_values, m_hashes);
    }

    /// Empties every slot; the capacity stays.
    void Clear()
    {
        ReleaseAll();
        m_count = 0;
    }

    /// Looks key up; slot receives the matching slot or the empty slot that ends the run
    /// (-1 while the table has no storage).
    bool FindSlot(const K& key, int32_t& slot, uint32_t& hash) const
    {
        hash = m_traits.Hash(key);
        return FindByHash(key, hash, slot);
    }

    /// Stores value under key; an existing key keeps its slot and gets the value (unless
    /// the table keeps first values). Returns the slot, or -1 when memory ran out (growing
    /// the table, storing the key or copying the value); the entries are then unchanged.
    int32_t Insert(const K& key, const V& value)
    {
        int32_t slot = 0;
        uint32_t hash = 0;
        if (FindSlot(key, slot, hash)) {
            if (m_replace && !ZAssign(m_values[slot], value)) {
                return -1;
            }
            return slot;
        }
        if (m_hashes == nullptr) {
            // The constructor found no memory; this is the first chance to try again.
            if (!AllocArrays(m_capacity, m_keys, m_values, m_hashes)) {
                return -1;
            }
            FindByHash(key, hash, slot);
        } else if (double(m_count) >= double(m_capacity) * 0.6 || m_count >= m_capacity - 1) {
            if (!Grow()) {
                return -1;
            }
            FindByHash(key, hash, slot);
        }
        K stored = key;
        if (!m_traits.Store(stored)) {
            return -1;
        }
        if (!ZAssign(m_values[slot], value)) {
            m_traits.Release(stored);
            return -1;
        }
        m_keys[slot] = std::move(stored);
        m_hashes[slot] = hash;
        ++m_count;
        return slot;
    }

    bool Contains(const K& key) const
    {
        int32_t slot = 0;
        uint32_t hash = 0;
        return FindSlot(key, slot, hash);
    }

    /// The value stored under key, or null.
    V* Lookup(const K& key)
    {
        int32_t slot = 0;
        uint32_t hash = 0;
        return FindSlot(key, slot, hash) ? &m_values[slot] : nullptr;
    }
    const V* Lookup(const K& key) const
    {
        int32_t slot = 0;
        uint32_t hash = 0;
        return FindSlot(key, slot, hash) ? &m_values[slot] : nullptr;
    }
    bool Lookup(const K& key, V& out) const
    {
        const V* v = Lookup(key);
        if (v) {
            out = *v;
        }
        return v != nullptr;
    }

    /// Removes key; false when it was not there.
    bool Remove(const K& key)
    {
        int32_t slot = 0;
        uint32_t hash = 0;
        if (!FindSlot(key, slot, hash)) {
            return false;
        }
        m_traits.Release(m_keys[slot]);
        m_hashes[slot] = kEmpty;
        m_keys[slot] = K();
        m_values[slot] = V();
        --m_count;
        // Entries later in the run may have probed past this slot: place them again.
        int32_t i = (slot + 1) % m_capacity;
        while (m_hashes[i] != kEmpty) {
            uint32_t h = m_hashes[i];
            K k = std::move(m_keys[i]);
            V v = std::move(m_values[i]);
            m_hashes[i] = kEmpty;
            m_keys[i] = K();
            m_values[i] = V();
            int32_t to = ProbeEmpty(m_hashes, m_capacity, h);
            m_hashes[to] = h;
            m_keys[to] = std::move(k);
            m_values[to] = std::move(v);
            i = (i + 1) % m_capacity;
        }
        return true;
    }

    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }

    /// Slot access for iteration in slot order: for (i < Capacity()) if (IsUsed(i)) ...
    bool IsUsed(int32_t slot) const { return m_hashes != nullptr && m_hashes[slot] != kEmpty; }
    const K& KeyAt(int32_t slot) const { return m_keys[slot]; }
    V& ValueAt(int32_t slot) { return m_values[slot]; }
    const V& ValueAt(int32_t slot) const { return m_values[slot]; }
    uint32_t HashAt(int32_t slot) const { return m_hashes[slot]; }

protected:
    Traits& KeyTraits() { return m_traits; }
    const Traits& KeyTraits() const { return m_traits; }

private:
    /// Three arrays for capacity slots, all empty; false (nothing allocated) when memory
    /// ran out.
    static bool AllocArrays(int32_t capacity, K*& keys, V*& values, uint32_t*& hashes)
    {
        keys = ZNewArray<K>(size_t(capacity));
        values = ZNewArray<V>(size_t(capacity));
        hashes = ZNewArray<uint32_t>(size_t(capacity));
        if (keys == nullptr || values == nullptr || hashes == nullptr) {
            FreeArrays(keys, values, hashes);
            return false;
        }
        for (int32_t i = 0; i < capacity; ++i) {
            hashes[i] = kEmpty;
        }
        return true;
    }

    static void FreeArrays(K*& keys, V*& values, uint32_t*& hashes)
    {
        ZFreeArray(keys);
        ZFreeArray(values);
        ZFreeArray(hashes);
        keys = nullptr;
        values = nullptr;
        hashes = nullptr;
    }

    /// Releases every stored key and empties its slot.
    void ReleaseAll()
    {
        if (m_hashes == nullptr) {
            return;
        }
        for (int32_t i = 0; i < m_capacity; ++i) {
            if (m_hashes[i] != kEmpty) {
                m_traits.Release(m_keys[i]);
                m_hashes[i] = kEmpty;
                m_keys[i] = K();
                m_values[i] = V();
            }
        }
    }

    bool FindByHash(const K& key, uint32_t hash, int32_t& slot) const
    {
        if (m_hashes == nullptr) {
            slot = -1;
            return false;
        }
        int32_t i = int32_t(hash % uint32_t(m_capacity));
        // The table always keeps at least one empty slot, so the probe ends.
        while (m_hashes[i] != kEmpty) {
            if (m_hashes[i] == hash && m_traits.Equal(m_keys[i], key)) {
                slot = i;
                return true;
            }
            i = (i + 1) % m_capacity;
        }
        slot = i;
        return false;
    }

    static int32_t ProbeEmpty(const uint32_t* hashes, int32_t capacity, uint32_t hash)
    {
        int32_t i = int32_t(hash % uint32_t(capacity));
        while (hashes[i] != kEmpty) {
            i = (i + 1) % capacity;
        }
        return i;
    }

    /// Moves every entry into arrays of the next capacity; false, the table unchanged,
    /// when memory ran out.
    bool Grow()
    {
        int32_t capacity = DictNextCapacity(m_capacity);
        K* keys = nullptr;
        V* values = nullptr;
        uint32_t* hashes = nullptr;
        if (!AllocArrays(capacity, keys, values, hashes)) {
            return false;
        }
        for (int32_t i = 0; i < m_capacity; ++i) {
            if (m_hashes[i] != kEmpty) {
                int32_t to = ProbeEmpty(hashes, capacity, m_hashes[i]);
                hashes[to] = m_hashes[i];
                keys[to] = std::move(m_keys[i]);
                values[to] = std::move(m_values[i]);
            }
        }
        FreeArrays(m_keys, m_values, m_hashes);
        m_keys = keys;
        m_values = values;
        m_hashes = hashes;
        m_capacity = capacity;
        return true;
    }

    Traits m_traits;
    K* m_keys = nullptr;
    V* m_values = nullptr;
    uint32_t* m_hashes = nullptr;
    int32_t m_capacity = 0;
    int32_t m_count = 0;
    bool m_replace = true;
};

/// A set of keys: the same table without values.
template <typename K, typename Traits = DictKeyTraits<K>>
class TypeSet : public TypeDict<K, char, Traits>
{
public:
    explicit TypeSet(int32_t capacity = 15, const Traits& traits = Traits())
        : TypeDict<K, char, Traits>(capacity, traits)
    {
    }
    /// Adds key; true when it was added, false when it was there already or memory ran
    /// out (Contains tells which).
    bool Add(const K& key)
    {
        if (this->Contains(key)) {
            return false;
        }
        return this->Insert(key, 0) >= 0;
    }
};
