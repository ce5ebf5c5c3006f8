// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/ZStr.h"

#include "base/XArray.h"

namespace {

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool MatchAt(const char* text, const char* pat, int32_t n, bool fold)
{
    if (!fold) {
        return std::memcmp(text, pat, size_t(n)) == 0;
    }
    for (int32_t i = 0; i < n; ++i) {
        if (Upper(text[i]) != Upper(pat[i])) {
            return false;
        }
    }
    return true;
}

bool FindLastImpl(ZStr s, const char* pat, int32_t patLen, int32_t endLimit, bool fold,
                  int32_t& pos)
{
    int32_t end = (endLimit < 0 || endLimit > s.len) ? s.len : endLimit;
    if (patLen < 0 || (patLen > 0 && pat == nullptr) || patLen > end) {
        return false;
    }
    for (int32_t i = end - patLen; i >= 0; --i) {
        if (MatchAt(s.ptr + i, pat, patLen, fold)) {
            pos = i;
            return true;
        }
    }
    return false;
}

} // namespace

ZStr ZStr::Sub(int32_t pos, int32_t n) const
{
    if (pos < 0) {
        pos = 0;
    }
    if (pos > len) {
        pos = len;
    }
    int32_t rest = len - pos;
    if (n < 0 || n > rest) {
        n = rest;
    }
    return ZStr(ptr ? ptr + pos : nullptr, n);
}

bool ZStr::Equals(ZStr other) const
{
    return len == other.len && (len == 0 || std::memcmp(ptr, other.ptr, size_t(len)) == 0);
}

bool ZStr::EqualsI(ZStr other) const
{
    return len == other.len && (len == 0 || MatchAt(ptr, other.ptr, len, true));
}

int ZStr::Compare(ZStr other) const
{
    int32_t n = len < other.len ? len : other.len;
    if (n > 0) {
        int c = std::memcmp(ptr, other.ptr, size_t(n));
        if (c != 0) {
            return c;
        }
    }
    return len < other.len ? -1 : (len > other.len ? 1 : 0);
}

bool ZStr::StartsWith(ZStr prefix) const
{
    return prefix.len <= len &&
           (prefix.len == 0 || std::memcmp(ptr, prefix.ptr, size_t(prefix.len)) == 0);
}

bool ZStr::FindI(const char* pat, int32_t patLen, int32_t start, int32_t& pos) const
{
    if (start < 0 || start > len || patLen < 0 || (patLen > 0 && pat == nullptr)) {
        return false;
    }
    for (int32_t i = start; i + patLen <= len; ++i) {
        if (MatchAt(ptr + i, pat, patLen, true)) {
            pos = i;
            return true;
        }
    }
    return false;
}

bool ZStr::FindLast(const char* pat, int32_t patLen, int32_t endLimit, int32_t& pos) const
{
    return FindLastImpl(*this, pat, patLen, endLimit, false, pos);
}

bool ZStr::FindLastI(const char* pat, int32_t patLen, int32_t endLimit, int32_t& pos) const
{
    return FindLastImpl(*this, pat, patLen, endLimit, true, pos);
}

int32_t ZStr::FindChar(char ch, int32_t start) const
{
    for (int32_t i = start < 0 ? 0 : start; i < len; ++i) {
        if (ptr[i] == ch) {
            return i;
        }
    }
    return -1;
}

bool ZStr::Split(ZStr delim, ZStr& before, ZStr& after) const
{
    if (delim.len > 0) {
        for (int32_t i = 0; i + delim.len <= len; ++i) {
            if (std::memcmp(ptr + i, delim.ptr, size_t(delim.len)) == 0) {
                before = ZStr(ptr, i);
                after = ZStr(ptr + i + delim.len, len - i - delim.len);
                return true;
            }
        }
    }
    before = *this;
    after = ZStr(ptr ? ptr + len : nullptr, 0);
    return false;
}

bool ZStr::SplitLines(XArray<ZStr, true>& lines) const
{
    lines.RemoveAll();
    if (ptr == nullptr) {
        return false;
    }
    int32_t start = 0;
    int32_t i = 0;
    while (i < len) {
        char c = ptr[i];
        if (c == '\r' || c == '\n') {
            lines.Append(ZStr(ptr + start, i - start));
            i += (c == '\r' && i + 1 < len && ptr[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    // A break at the very end closes the last line; otherwise the rest is one more line
    // (for an empty text, the one empty line).
    if (start < len || lines.Count() == 0) {
        lines.Append(ZStr(ptr + start, len - start));
    }
    return true;
}

ZStr ZStr::TrimLeft() const
{
    int32_t i = 0;
    while (i < len && IsSpace(ptr[i])) {
        ++i;
    }
    return ZStr(ptr ? ptr + i : nullptr, len - i);
}

ZStr ZStr::TrimRight() const
{
    int32_t n = len;
    while (n > 0 && IsSpace(ptr[n - 1])) {
        --n;
    }
    return ZStr(ptr, n);
}

int32_t ZStr::Utf8SequenceLength(int32_t at) const
{
    if (at < 0 || at >= len) {
        return 0;
    }
    const auto byte = [this](int32_t i) { return static_cast<unsigned char>(ptr[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    // The range of the second byte excludes the overlong forms (E0 80..9F, F0 80..8F), the
    // surrogates (ED A0..BF) and what lies beyond U+10FFFF (F4 90..); C0, C1 and F5..FF never
    // lead a sequence (RFC 3629, section 4).
    int32_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + n > len || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (int32_t k = 2; k < n; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return n;
}

bool ZStr::EndsWithI(ZStr suffix) const
{
    return suffix.len <= len && Sub(len - suffix.len).EqualsI(suffix);
}

ZStr ZStr::Trim() const
{
    return TrimLeft().TrimRight();
}

bool ZStr::IsIdentStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '$' || c == '@' || c == '_';
}
