// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZAlloc.h"
#include "base/ZStr.h"

#include <cstdarg>
#include <cstdint>

/// An owned, growable 8-bit string. The text is always followed by a NUL byte.
///
/// Growth: a request for a new length is either exact (assign, fill) or growing (append,
/// insert). A growing request reserves extra room: the growth step when it is 0 or more,
/// otherwise (-step) tenths of the new length; extra room below 2 becomes 1. The buffer is
/// reallocated only when the new length does not fit.
///
/// Out of memory (see base/ZAlloc.h): an operation that cannot allocate returns false and
/// leaves the text as it was. A constructor that cannot allocate leaves the string empty.
class ZString
{
public:
    static constexpr int32_t kDefaultSize = 50;
    static constexpr int32_t kDefaultGrowth = 50;

    /// Empty string with capacity 50 and growth step 50.
    ZString();
    /// Copy of a NUL-terminated text, allocated to its exact length; null gives the empty
    /// default.
    ZString(const char* text);
    /// Copy of n bytes at p.
    ZString(const char* p, int32_t n);
    explicit ZString(ZStr s);
    /// Takes the source's text, capacity and growth step.
    ZString(const ZString& other);
    ZString(ZString&& other) noexcept;
    virtual ~ZString();

    ZString& operator=(const ZString& other);
    ZString& operator=(ZString&& other) noexcept;
    ZString& operator=(const char* text);
    ZString& operator=(ZStr s);

    /// Replaces the text. False when memory ran out; the string then keeps its old text.
    /// Every operation below that returns bool behaves the same way.
    bool Assign(const char* p, int32_t n);
    bool Assign(const char* text);
    bool Assign(ZStr s) { return Assign(s.ptr, s.len); }
    bool Assign(const ZString& s) { return Assign(s.m_buf, s.m_len); }

    bool Append(const char* p, int32_t n);
    bool Append(const char* text);
    bool Append(ZStr s) { return Append(s.ptr, s.len); }
    bool Append(const ZString& s) { return Append(s.m_buf, s.m_len); }
    bool Append(char c) { return Append(&c, 1); }
    ZString& operator+=(ZStr s)
    {
        Append(s);
        return *this;
    }
    ZString& operator+=(const char* s)
    {
        Append(s);
        return *this;
    }
    ZString& operator+=(char c)
    {
        Append(c);
        return *this;
    }

    /// Makes room for length characters without changing the text (a growing request), so
    /// that growing to that length later cannot fail. False when memory ran out.
    [[nodiscard]] bool Reserve(int32_t length);
    /// Inserts n characters in front of the text (a growing request).
    bool InsertFront(const char* p, int32_t n);
    /// Grows the text to length with the fill character (an exact request); a shorter
    /// length leaves the text as it is.
    bool FillUp(int32_t length, char fill);
    /// Sets the length (an exact request). Characters added beyond the old length are
    /// NUL bytes until the caller writes them through Data().
    bool SetLength(int32_t length);
    /// Formats like printf and replaces the text.
    bool Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    /// Formats like printf and appends.
    bool AppendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void Clear() { SetLength(0); }

    ZStr Str() const { return ZStr(Text(), m_len); }
    operator ZStr() const { return Str(); }
    /// The NUL-terminated text; never null.
    const char* Text() const { return m_buf ? m_buf : ""; }
    const char* c_str() const { return Text(); }
    /// Writable characters (length bytes plus the NUL); null only when the string has no
    /// buffer (memory ran out when it was made, or it was moved from).
    char* Data() { return m_buf; }
    int32_t Length() const { return m_len; }
    bool IsEmpty() const { return m_len == 0; }
    int32_t Capacity() const { return m_cap; }
    int32_t GrowthStep() const { return m_step; }
    /// A value >= 0 is the number of extra characters reserved when growing; -k reserves
    /// k tenths of the new length.
    void SetGrowthStep(int32_t step) { m_step = step; }
    char operator[](int32_t i) const { return m_buf[i]; }

    bool operator==(ZStr s) const { return Str().Equals(s); }
    bool operator!=(ZStr s) const { return !Str().Equals(s); }
    bool operator==(const ZString& s) const { return Str().Equals(s.Str()); }
    bool operator!=(const ZString& s) const { return !Str().Equals(s.Str()); }
    bool operator==(const char* s) const { return Str().Equals(ZStr(s)); }
    bool operator!=(const char* s) const { return !Str().Equals(ZStr(s)); }
    bool operator<(const ZString& s) const { return Str().Compare(s.Str()) < 0; }

private:
    enum class Request {
        Exact,
        Growing,
    };
    bool Resize(int32_t length, Request kind);
    /// Inserts n characters from p before index `at` (0 to the length); false when memory
    /// ran out or the text would grow too long, the string then unchanged.
    bool InsertAt(int32_t at, const char* p, int32_t n);
    bool VFormat(bool append, const char* fmt, va_list args);

    char* m_buf = nullptr;
    int32_t m_len = 0;
    int32_t m_cap = 0;
    int32_t m_initSize = kDefaultSize;
    int32_t m_step = kDefaultGrowth;
};

/// A copy that reports running out of memory (false, dst unchanged), for containers.
inline bool ZAssign(ZString& dst, const ZString& src)
{
    return dst.Assign(src);
}
