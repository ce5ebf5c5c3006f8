#pragma once

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
template <typename T, bool Bitwise = std::is_trivially_copyable_v<T>> class XArray
{
    static_assert(!Bitwise || std::is_trivially_copyable_v<T>,
                  "bitwise arrays hold trivially copyable elements only");

public:
    static constexpr bool kBitwise = Bitwise;
    /// From this capacity on an append grows the array by at least half its capacity.
    static constexpr int32_t kGeometricCapacity = 256;

    /// count elements in use, room for capacity (<= 0: count, then at least 1); a step
    /// below 1 becomes 1 and a factor below 1.0 becomes 1.0.
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
        m_data = new T[size_t(capacity)]();
        m_capacity = capacity;
        m_count = count;
    }

    XArray(const XArray& other)
        : XArray(0, other.m_capacity, other.m_step, other.m_factor)
    {
        CopyFrom(other);
    }

    XArray(XArray&& other) noexcept { Swap(other); }

    XArray& operator=(const XArray& other)
    {
        if (this != &other) {
            CopyFrom(other);
        }
        return *this;
    }

    XArray& operator=(XArray&& other) noexcept
    {
        Swap(other);
        return *this;
    }

    virtual ~XArray() { delete[] m_data; }

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
    /// default values.
    void SetSize(int32_t n)
    {
        if (n < 0) {
            n = 0;
        }
        if (n <= m_capacity) {
            m_count = n;
            return;
        }
        Reallocate(n);
        m_count = n;
    }

    /// Appends a copy of value; returns its index.
    int32_t Append(const T& value)
    {
        if (m_count >= m_capacity) {
            GrowForAppend();
        }
        m_data[m_count] = value;
        return m_count++;
    }

    int32_t Append(T&& value)
    {
        if (m_count >= m_capacity) {
            GrowForAppend();
        }
        m_data[m_count] = std::move(value);
        return m_count++;
    }

    /// Inserts value before index (clamped to 0..count).
    void Insert(int32_t index, const T& value)
    {
        if (index < 0) {
            index = 0;
        }
        if (index > m_count) {
            index = m_count;
        }
        T copy = value; // value may live in this array
        if (m_count >= m_capacity) {
            GrowForAppend();
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
    void GrowForAppend()
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
        SetSize(int32_t(target));
        m_count = count;
    }

    void Reallocate(int32_t n)
    {
        T* block = new T[size_t(n)]();
        // Only shrinking callers could make count exceed n; Reallocate only grows.
        int32_t keep = m_count < n ? m_count : n;
        if constexpr (Bitwise) {
            std::copy(m_data, m_data + keep, block);
        } else {
            for (int32_t i = 0; i < keep; ++i) {
                block[i] = std::move(m_data[i]);
            }
        }
        delete[] m_data;
        m_data = block;
        m_capacity = n;
    }

    void CopyFrom(const XArray& other)
    {
        RemoveAll();
        SetSize(other.m_count);
        if constexpr (Bitwise) {
            if (other.m_count > 0) {
                std::memcpy(static_cast<void*>(m_data), other.m_data,
                            size_t(other.m_count) * sizeof(T));
            }
        } else {
            for (int32_t i = 0; i < other.m_count; ++i) {
                m_data[i] = other.m_data[i];
            }
        }
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
