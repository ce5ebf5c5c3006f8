#pragma once

#include "base/ZStr.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

/// The dictionaries' string hash: h = n * 596579247; h += c(i) << ((5 * i) % 24) for each
/// character (signed 8-bit, or folded to lower case when ignoreCase); x = h * 1103515243 +
/// 12345; result (x >> 16) ^ (x & 0x7FFFFFFF). All arithmetic is unsigned 32-bit. The
/// result is never 0xFFFFFFFF, the empty-slot mark.
uint32_t DictHash(const char* p, int32_t n, bool ignoreCase = false);

/// Hashing and equality of dictionary keys. Strings hash their characters; other keys
/// (integers, pointers) hash their bytes with the same function.
template <typename K> struct DictKeyTraits
{
    static_assert(std::is_trivially_copyable_v<K>, "dictionary keys are plain values");
    static uint32_t Hash(const K& key)
    {
        return DictHash(reinterpret_cast<const char*>(&key), int32_t(sizeof(K)));
    }
    static bool Equal(const K& a, const K& b) { return std::memcmp(&a, &b, sizeof(K)) == 0; }
};

template <> struct DictKeyTraits<ZStr>
{
    static uint32_t Hash(const ZStr& key) { return DictHash(key.ptr, key.len); }
    static bool Equal(const ZStr& a, const ZStr& b) { return a.Equals(b); }
};

/// The ascending prime capacities a dictionary grows through.
int32_t DictNextCapacity(int32_t capacity);

/// An open-addressing hash table with linear probing. Lookup starts at hash % capacity and
/// probes forward, wrapping after the last slot, up to the first empty slot. Inserting a
/// new key when count >= capacity * 0.6 or count >= capacity - 1 first grows the table to
/// the first listed prime not below capacity * 1.8, re-inserting every entry by its stored
/// hash. Removal re-inserts the rest of the probe run so no entry is cut off from its start.
template <typename K, typename V> class TypeDict
{
public:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;

    explicit TypeDict(int32_t capacity = 15)
    {
        m_capacity = capacity < 1 ? 1 : capacity;
        AllocArrays(m_capacity);
    }
    TypeDict(const TypeDict&) = delete;
    TypeDict& operator=(const TypeDict&) = delete;

    virtual ~TypeDict() { FreeArrays(); }

    /// Empties every slot; the capacity stays.
    virtual void Clear()
    {
        for (int32_t i = 0; i < m_capacity; ++i) {
            if (m_hashes[i] != kEmpty) {
                EntryReleased(i);
                m_hashes[i] = kEmpty;
                m_keys[i] = K();
                m_values[i] = V();
            }
        }
        m_count = 0;
    }

    /// Looks key up; slot receives the matching slot or the empty slot that ends the run.
    virtual bool FindSlot(const K& key, int32_t& slot, uint32_t& hash) const
    {
        hash = HashKey(key);
        return FindByHash(key, hash, slot);
    }

    /// Stores value under key, replacing the value of an existing key. Returns the slot.
    virtual int32_t Insert(const K& key, const V& value)
    {
        int32_t slot = 0;
        uint32_t hash = 0;
        if (FindSlot(key, slot, hash)) {
            if (ReplacesExisting()) {
                m_values[slot] = value;
            }
            return slot;
        }
        if (double(m_count) >= double(m_capacity) * 0.6 || m_count >= m_capacity - 1) {
            Grow();
            FindByHash(key, hash, slot);
        }
        m_keys[slot] = key;
        m_values[slot] = value;
        m_hashes[slot] = hash;
        ++m_count;
        EntryStored(slot);
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
        EntryReleased(slot);
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
            int32_t to = ProbeEmpty(h);
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
    bool IsUsed(int32_t slot) const { return m_hashes[slot] != kEmpty; }
    const K& KeyAt(int32_t slot) const { return m_keys[slot]; }
    V& ValueAt(int32_t slot) { return m_values[slot]; }
    const V& ValueAt(int32_t slot) const { return m_values[slot]; }
    uint32_t HashAt(int32_t slot) const { return m_hashes[slot]; }

protected:
    K& MutableKeyAt(int32_t slot) { return m_keys[slot]; }

    /// Called after a new key was stored in slot (not when entries only move).
    virtual void EntryStored(int32_t) {}
    /// Called before the entry in slot is dropped (removal, clearing, destruction).
    virtual void EntryReleased(int32_t) {}

    virtual uint32_t HashKey(const K& key) const { return DictKeyTraits<K>::Hash(key); }
    virtual bool KeysEqual(const K& a, const K& b) const { return DictKeyTraits<K>::Equal(a, b); }
    virtual bool ReplacesExisting() const { return true; }

    /// Allocates the three arrays for capacity slots, all empty.
    virtual void AllocArrays(int32_t capacity)
    {
        m_keys = new K[size_t(capacity)]();
        m_values = new V[size_t(capacity)]();
        m_hashes = new uint32_t[size_t(capacity)];
        for (int32_t i = 0; i < capacity; ++i) {
            m_hashes[i] = kEmpty;
        }
    }

    /// Moves every occupied slot of the given arrays into the table's own arrays.
    virtual void CopyArrays(K* keys, V* values, uint32_t* hashes, int32_t capacity)
    {
        for (int32_t i = 0; i < capacity; ++i) {
            if (hashes[i] != kEmpty) {
                int32_t to = ProbeEmpty(hashes[i]);
                m_hashes[to] = hashes[i];
                m_keys[to] = std::move(keys[i]);
                m_values[to] = std::move(values[i]);
            }
        }
    }

    virtual void FreeArrays()
    {
        if (m_hashes) {
            for (int32_t i = 0; i < m_capacity; ++i) {
                if (m_hashes[i] != kEmpty) {
                    EntryReleased(i);
                }
            }
        }
        delete[] m_keys;
        delete[] m_values;
        delete[] m_hashes;
        m_keys = nullptr;
        m_values = nullptr;
        m_hashes = nullptr;
    }

private:
    bool FindByHash(const K& key, uint32_t hash, int32_t& slot) const
    {
        int32_t i = int32_t(hash % uint32_t(m_capacity));
        // The table always keeps at least one empty slot, so the probe ends.
        while (m_hashes[i] != kEmpty) {
            if (m_hashes[i] == hash && KeysEqual(m_keys[i], key)) {
                slot = i;
                return true;
            }
            i = (i + 1) % m_capacity;
        }
        slot = i;
        return false;
    }

    int32_t ProbeEmpty(uint32_t hash) const
    {
        int32_t i = int32_t(hash % uint32_t(m_capacity));
        while (m_hashes[i] != kEmpty) {
            i = (i + 1) % m_capacity;
        }
        return i;
    }

    void Grow()
    {
        K* keys = m_keys;
        V* values = m_values;
        uint32_t* hashes = m_hashes;
        int32_t capacity = m_capacity;
        m_capacity = DictNextCapacity(capacity);
        AllocArrays(m_capacity);
        CopyArrays(keys, values, hashes, capacity);
        delete[] keys;
        delete[] values;
        delete[] hashes;
    }

    K* m_keys = nullptr;
    V* m_values = nullptr;
    uint32_t* m_hashes = nullptr;
    int32_t m_capacity = 0;
    int32_t m_count = 0;
};

/// A set of keys: the same table without values.
template <typename K> class TypeSet : public TypeDict<K, char>
{
public:
    explicit TypeSet(int32_t capacity = 15)
        : TypeDict<K, char>(capacity)
    {
    }
    /// Adds key; true when it was new.
    bool Add(const K& key)
    {
        if (this->Contains(key)) {
            return false;
        }
        this->Insert(key, 0);
        return true;
    }
};
