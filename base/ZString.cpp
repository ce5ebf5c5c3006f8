// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZString.h"

#include "base/ZAlloc.h"

#include <cstdio>
#include <cstring>
#include <utility>

ZString::ZString()
{
    m_buf = static_cast<char*>(ZAllocBytes(size_t(kDefaultSize) + 1));
    if (m_buf) {
        m_buf[0] = 0;
        m_cap = kDefaultSize;
    }
}

ZString::ZString(const char* text)
    : ZString(text, text ? int32_t(std::strlen(text)) : -1)
{
}

ZString::ZString(const char* p, int32_t n)
{
    if (p == nullptr || n < 0) {
        // The empty default.
        m_buf = static_cast<char*>(ZAllocBytes(size_t(kDefaultSize) + 1));
        if (m_buf) {
            m_buf[0] = 0;
            m_cap = kDefaultSize;
        }
        return;
    }
    m_initSize = n;
    m_buf = static_cast<char*>(ZAllocBytes(size_t(n) + 1));
    if (m_buf) {
        if (n > 0) {
            std::memcpy(m_buf, p, size_t(n));
        }
        m_buf[n] = 0;
        m_len = n;
        m_cap = n;
    }
}

ZString::ZString(ZStr s)
    : ZString(s.ptr ? s.ptr : "", s.len)
{
}

ZString::ZString(const ZString& other)
    : m_initSize(other.m_initSize)
    , m_step(other.m_step)
{
    m_buf = static_cast<char*>(ZAllocBytes(size_t(other.m_cap) + 1));
    if (m_buf) {
        if (other.m_len > 0) {
            std::memcpy(m_buf, other.m_buf, size_t(other.m_len));
        }
        m_buf[other.m_len] = 0;
        m_len = other.m_len;
        m_cap = other.m_cap;
    }
}

ZString::ZString(ZString&& other) noexcept
    : m_buf(other.m_buf)
    , m_len(other.m_len)
    , m_cap(other.m_cap)
    , m_initSize(other.m_initSize)
    , m_step(other.m_step)
{
    other.m_buf = nullptr;
    other.m_len = 0;
    other.m_cap = 0;
}

ZString::~ZString()
{
    ZFreeBytes(m_buf);
}

ZString& ZString::operator=(const ZString& other)
{
    if (this != &other) {
        Assign(other.m_buf, other.m_len);
    }
    return *this;
}

ZString& ZString::operator=(ZString&& other) noexcept
{
    if (this != &other) {
        std::swap(m_buf, other.m_buf);
        std::swap(m_len, other.m_len);
        std::swap(m_cap, other.m_cap);
        std::swap(m_initSize, other.m_initSize);
        std::swap(m_step, other.m_step);
    }
    return *this;
}

ZString& ZString::operator=(const char* text)
{
    Assign(text);
    return *this;
}

ZString& ZString::operator=(ZStr s)
{
    Assign(s);
    return *this;
}

bool ZString::Resize(int32_t length, Request kind)
{
    if (length < 0) {
        return false;
    }
    int64_t extra = 0;
    if (kind == Request::Growing) {
        extra = m_step >= 0 ? m_step : int64_t(double(-m_step) * 0.1 * double(length));
    }
    if (extra < 2) {
        extra = 1;
    }
    if (m_buf != nullptr && length <= m_cap) {
        m_len = length;
        m_buf[length] = 0;
        return true;
    }
    int64_t cap = int64_t(length) + extra;
    if (cap > INT32_MAX - 1) {
        cap = INT32_MAX - 1;
    }
    char* block = static_cast<char*>(ZAllocBytes(size_t(cap) + 1));
    if (block == nullptr) {
        // The text stays as it was: a failed request must not lose what the string holds.
        return false;
    }
    int32_t keep = m_len < length ? m_len : length;
    if (m_buf != nullptr && keep > 0) {
        std::memcpy(block, m_buf, size_t(keep));
    }
    // Characters between the old text and the new length start as NUL bytes.
    std::memset(block + keep, 0, size_t(length - keep) + 1);
    ZFreeBytes(m_buf);
    m_buf = block;
    m_cap = int32_t(cap);
    m_len = length;
    return true;
}

bool ZString::Reserve(int32_t length)
{
    if (length < 0) {
        return false;
    }
    if (m_buf != nullptr && length <= m_cap) {
        return true;
    }
    // A growing request for the larger length, then the old length again: the buffer keeps
    // its text and has room for length characters.
    int32_t old = m_len;
    if (!Resize(length, Request::Growing)) {
        return false;
    }
    m_len = old;
    m_buf[old] = 0;
    return true;
}

bool ZString::Assign(const char* p, int32_t n)
{
    if (p == nullptr || n < 0) {
        n = 0;
    }
    // The source may view this string's own buffer, which a reallocation would free.
    if (m_buf != nullptr && p >= m_buf && p <= m_buf + m_cap) {
        ZString copy(p, n);
        return Assign(copy.m_buf, copy.m_len);
    }
    if (!Resize(n, Request::Exact)) {
        return false;
    }
    if (n > 0) {
        std::memcpy(m_buf, p, size_t(n));
    }
    return true;
}

bool ZString::Assign(const char* text)
{
    return Assign(text, text ? int32_t(std::strlen(text)) : 0);
}

bool ZString::InsertAt(int32_t at, const char* p, int32_t n)
{
    if (p == nullptr || n <= 0) {
        return n >= 0 || p == nullptr;
    }
    // The source may view this string's own buffer, which a reallocation would free.
    if (m_buf != nullptr && p >= m_buf && p <= m_buf + m_cap) {
        ZString copy(p, n);
        return InsertAt(at, copy.m_buf, copy.m_len);
    }
    int32_t old = m_len;
    if (int64_t(old) + n > INT32_MAX - 2 || !Resize(old + n, Request::Growing)) {
        return false;
    }
    std::memmove(m_buf + at + n, m_buf + at, size_t(old - at));
    std::memcpy(m_buf + at, p, size_t(n));
    return true;
}

bool ZString::Append(const char* p, int32_t n)
{
    return InsertAt(m_len, p, n);
}

bool ZString::Append(const char* text)
{
    return Append(text, text ? int32_t(std::strlen(text)) : 0);
}

bool ZString::InsertFront(const char* p, int32_t n)
{
    return InsertAt(0, p, n);
}

bool ZString::FillUp(int32_t length, char fill)
{
    int32_t old = m_len;
    if (length <= old) {
        return length >= 0;
    }
    if (!Resize(length, Request::Exact)) {
        return false;
    }
    std::memset(m_buf + old, fill, size_t(length - old));
    return true;
}

bool ZString::SetLength(int32_t length)
{
    return Resize(length, Request::Exact);
}

bool ZString::VFormat(bool append, const char* fmt, va_list args)
{
    va_list probe;
    va_copy(probe, args);
    int n = std::vsnprintf(nullptr, 0, fmt, probe);
    va_end(probe);
    if (n < 0) {
        return false;
    }
    int32_t start = append ? m_len : 0;
    if (int64_t(start) + n > INT32_MAX - 2 ||
        !Resize(start + n, append ? Request::Growing : Request::Exact)) {
        return false;
    }
    std::vsnprintf(m_buf + start, size_t(n) + 1, fmt, args);
    return true;
}

bool ZString::Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    bool ok = VFormat(false, fmt, args);
    va_end(args);
    return ok;
}

bool ZString::AppendFormat(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    bool ok = VFormat(true, fmt, args);
    va_end(args);
    return ok;
}
