// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZAlloc.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

/// A growable array. Bitwise arrays (numbers, pointers, points, views) move their elements
/// by copying bytes; the others (strings, nested arrays) use the elements' own copy.
/// Appending past the capacity grows to the largest of capacity + step,
/// capacity * factor, count + 1 and capacity + 1, and beyond kGeometricCapacity elements
/// by at least half the capacity; SetSize beyond the capacity allocates exactly the size
/// asked for.
///
/// Out of memory (see base/ZAlloc.h): an operation that cannot allocate leaves the array as
/// it was and returns false (Append: -1). A constructor that cannot allocate leaves the
/// array empty with no capacity.
template <typename T, bool Bitwise = std::is_trivially_copyable_v<T>> class XArray
{
    static_assert(!Bitwise || std::is_trivially_copyable_v<T>,
                  "bitwise arrays hold trivially copyable elements only");

public:
    static constexpr bool kBitwise = Bitwise;
    /// From this capacity on an append grows the array by at least half its capacity.
    static constexpr int32_t kGeometricCapacity = 256;

    /// count elements in use, room for capacity (<= 0: count, then at least 1); a step
    /// below 1 becomes 1 and a factor below 1.0 becomes 1.0. Without memory the array is
    /// empty (count and capacity 0).
    explicit XArray(int32_t count = 0, int32_t capacity = 10, int32_t step = 10,
                    double factor = 1.0)
    {
        if (count < 0) {
            count = 0;
        }
        if (capacity <= 0) {
            capacity = count;
        }
        if (capacity <= 0) {
            capacity = 1;
        }
        if (capacity < count) {
            capacity = count;
        }
        m_step = step < 1 ? 1 : step;
        m_factor = factor < 1.0 ? 1.0 : factor;
        m_data = ZNewArray<T>(size_t(capacity));
        if (m_data != nullptr) {
            m_capacity = capacity;
            m_count = count;
        }
    }

    /// A copy of other; empty when memory ran out (use Assign to learn of that).
    XArray(const XArray& other)
        : XArray(0, other.m_capacity, other.m_step, other.m_factor)
    {
        (void)Assign(other);
    }

    XArray(XArray&& other) noexcept { Swap(other); }

    /// Copies other; keeps the old elements when memory ran out (use Assign to learn of it).
    XArray& operator=(const XArray& other)
    {
        (void)Assign(other);
        return *this;
    }

    /// Replaces the elements by copies of other's. False when memory ran out; the array
    /// then keeps its old elements.
    [[nodiscard]] bool Assign(const XArray& other)
    {
        if (this == &other) {
            return true;
        }
        if constexpr (Bitwise) {
            if (!Reserve(other.m_count)) {
                return false;
            }
            if (other.m_count > 0) {
                std::memcpy(static_cast<void*>(m_data), other.m_data,
                            size_t(other.m_count) * sizeof(T));
            }
            m_count = other.m_count;
            return true;
        } else {
            // Elements may fail to copy one by one, so the copy is made aside and swapped in
            // only when complete.
            int32_t capacity = std::max(other.m_count, m_capacity);
            T* block = ZNewArray<T>(size_t(capacity > 0 ? capacity : 1));
            if (block == nullptr) {
                return false;
            }
            for (int32_t i = 0; i < other.m_count; ++i) {
                if (!ZAssign(block[i], other.m_data[i])) {
                    ZFreeArray(block);
                    return false;
                }
            }
            ZFreeArray(m_data);
            m_data = block;
            m_capacity = capacity > 0 ? capacity : 1;
            m_count = other.m_count;
            return true;
        }
    }

    XArray& operator=(XArray&& other) noexcept
    {
        Swap(other);
        return *this;
    }

    virtual ~XArray() { ZFreeArray(m_data); }

    int32_t Count() const { return m_count; }
    int32_t Capacity() const { return m_capacity; }
    int32_t GrowthStep() const { return m_step; }
    double GrowthFactor() const { return m_factor; }
    T* Data() { return m_data; }
    const T* Data() const { return m_data; }
    T* begin() { return m_data; }
    T* end() { return m_data + m_count; }
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_count; }

    T& operator[](int32_t i)
    {
        assert(i >= 0 && i < m_count);
        return m_data[i];
    }
    const T& operator[](int32_t i) const
    {
        assert(i >= 0 && i < m_count);
        return m_data[i];
    }
    T& Last() { return (*this)[m_count - 1]; }

    /// Sets the number of elements in use; a negative n counts as 0. Within the capacity
    /// only the count changes; beyond it exactly n elements are allocated, the new ones
    /// default values. False when memory ran out (the array unchanged).
    [[nodiscard]] bool SetSize(int32_t n)
    {
        if (n < 0) {
            n = 0;
        }
        if (n <= m_capacity) {
            m_count = n;
            return true;
        }
        if (!Reallocate(n)) {
            return false;
        }
        m_count = n;
        return true;
    }

    /// Makes room for n elements without changing the count, so that growing to n later
    /// cannot fail. Beyond the capacity exactly n elements are allocated. False when memory
    /// ran out (the array unchanged).
    [[nodiscard]] bool Reserve(int32_t n) { return n <= m_capacity || Reallocate(n); }

    /// Appends a copy of value; returns its index, or -1 when memory ran out (the array
    /// unchanged).
    int32_t Append(const T& value)
    {
        if (m_count >= m_capacity && !GrowForAppend()) {
            return -1;
        }
        if (!ZAssign(m_data[m_count], value)) {
            return -1;
        }
        return m_count++;
    }

    int32_t Append(T&& value)
    {
        if (m_count >= m_capacity && !GrowForAppend()) {
            return -1;
        }
        m_data[m_count] = std::move(value);
        return m_count++;
    }

    /// Inserts value before index (clamped to 0..count). False when memory ran out (the
    /// array unchanged).
    [[nodiscard]] bool Insert(int32_t index, const T& value)
    {
        if (index < 0) {
            index = 0;
        }
        if (index > m_count) {
            index = m_count;
        }
        T copy; // value may live in this array
        if (!ZAssign(copy, value)) {
            return false;
        }
        if (m_count >= m_capacity && !GrowForAppend()) {
            return false;
        }
        if constexpr (Bitwise) {
            std::memmove(static_cast<void*>(m_data + index + 1), m_data + index,
                         size_t(m_count - index) * sizeof(T));
        } else {
            for (int32_t i = m_count; i > index; --i) {
                m_data[i] = std::move(m_data[i - 1]);
            }
        }
        m_data[index] = std::move(copy);
        ++m_count;
        return true;
    }

    /// Removes n elements from index on (clamped to the elements in use).
    void Remove(int32_t index, int32_t n = 1)
    {
        if (index < 0 || index >= m_count || n <= 0) {
            return;
        }
        if (n > m_count - index) {
            n = m_count - index;
        }
        if constexpr (Bitwise) {
            std::memmove(static_cast<void*>(m_data + index), m_data + index + n,
                         size_t(m_count - index - n) * sizeof(T));
        } else {
            for (int32_t i = index; i + n < m_count; ++i) {
                m_data[i] = std::move(m_data[i + n]);
            }
            for (int32_t i = m_count - n; i < m_count; ++i) {
                m_data[i] = T();
            }
        }
        m_count -= n;
    }

    /// Empties the array; the capacity stays.
    void RemoveAll()
    {
        if constexpr (!Bitwise) {
            for (int32_t i = 0; i < m_count; ++i) {
                m_data[i] = T();
            }
        }
        m_count = 0;
    }

private:
    bool GrowForAppend()
    {
        int32_t count = m_count;
        int64_t target = int64_t(m_capacity) + m_step;
        int64_t byFactor = int64_t(double(m_capacity) * m_factor);
        if (byFactor > target) {
            target = byFactor;
        }
        if (int64_t(count) + 1 > target) {
            target = int64_t(count) + 1;
        }
        if (int64_t(m_capacity) + 1 > target) {
            target = int64_t(m_capacity) + 1;
        }
        // A fixed step makes filling a large array quadratic: every growth moves all the
        // elements for a few more. Growing large arrays by half keeps appends amortised
        // constant while small arrays still grow exactly as their owners chose.
        if (m_capacity >= kGeometricCapacity) {
            int64_t geometric = int64_t(m_capacity) + m_capacity / 2;
            if (geometric > target) {
                target = geometric < INT32_MAX ? geometric : INT32_MAX;
            }
        }
        assert(target <= INT32_MAX);
        bool grown = SetSize(int32_t(target));
        m_count = count;
        return grown;
    }

    bool Reallocate(int32_t n)
    {
        T* block = ZNewArray<T>(size_t(n));
        if (block == nullptr) {
            return false;
        }
        // Only shrinking callers could make count exceed n; Reallocate only grows.
        int32_t keep = m_count < n ? m_count : n;
        if constexpr (Bitwise) {
            std::copy(m_data, m_data + keep, block);
        } else {
            for (int32_t i = 0; i < keep; ++i) {
                block[i] = std::move(m_data[i]);
            }
        }
        ZFreeArray(m_data);
        m_data = block;
        m_capacity = n;
        return true;
    }

    void Swap(XArray& other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_count, other.m_count);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_step, other.m_step);
        std::swap(m_factor, other.m_factor);
    }

    T* m_data = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
    int32_t m_step = 10;
    double m_factor = 1.0;
};

/// A copy of an array that reports running out of memory, for arrays of arrays.
template <typename T, bool B> bool ZAssign(XArray<T, B>& dst, const XArray<T, B>& src)
{
    return dst.Assign(src);
}
