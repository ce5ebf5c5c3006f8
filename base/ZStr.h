// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

template <typename T, bool Bitwise> class XArray;

/// A non-owning view of characters: a pointer and a length. The characters need not be
/// NUL-terminated. A view never outlives the text it looks at unless that text's owner
/// guarantees it (string pools, dictionaries that copy their keys).
class ZStr
{
public:
    const char* ptr = nullptr;
    int32_t len = 0;

    constexpr ZStr() = default;
    constexpr ZStr(const char* p, int32_t n)
        : ptr(p)
        , len(n)
    {
    }
    /// View of a NUL-terminated text; a null pointer gives the empty view.
    ZStr(const char* text)
        : ptr(text)
        , len(text ? int32_t(std::strlen(text)) : 0)
    {
    }

    bool IsNull() const { return ptr == nullptr; }
    bool IsEmpty() const { return len <= 0; }
    char operator[](int32_t i) const { return ptr[i]; }
    const char* begin() const { return ptr; }
    const char* end() const { return ptr + len; }

    /// Characters from pos on, at most n of them (n < 0: to the end). Clamped to the view.
    ZStr Sub(int32_t pos, int32_t n = -1) const;

    /// Byte-wise equality of the viewed characters.
    bool Equals(ZStr other) const;
    /// Equality with ASCII upper-case folding.
    bool EqualsI(ZStr other) const;
    bool operator==(ZStr other) const { return Equals(other); }
    bool operator!=(ZStr other) const { return !Equals(other); }
    /// Unsigned byte comparison; a prefix sorts before the longer text. <0, 0 or >0.
    int Compare(ZStr other) const;
    bool StartsWith(ZStr prefix) const;
    /// Whether the text ends with suffix, comparing with ASCII upper-case folding (".PDF"
    /// ends with ".pdf").
    bool EndsWithI(ZStr suffix) const;
    /// The length (1 to 4) of the valid UTF-8 sequence that starts at byte `at`, or 0 when the
    /// bytes there are none: a stray continuation byte, an overlong form, a surrogate, a code
    /// point above U+10FFFF, a sequence cut short, or `at` outside the text.
    int32_t Utf8SequenceLength(int32_t at) const;
    /// Whether the text holds nothing but white space (space, tab, CR, LF, VT, FF).
    bool IsBlank() const { return TrimLeft().IsEmpty(); }

    /// Finds pattern (case-insensitively, by upper-case folding) scanning forward from start.
    /// A negative start finds nothing; an empty pattern is found at start (when start <= len).
    bool FindI(const char* pat, int32_t patLen, int32_t start, int32_t& pos) const;
    /// Finds the last exact occurrence of pattern that ends at or before endLimit
    /// (endLimit < 0: the whole text).
    bool FindLast(const char* pat, int32_t patLen, int32_t endLimit, int32_t& pos) const;
    /// As FindLast, comparing with upper-case folding.
    bool FindLastI(const char* pat, int32_t patLen, int32_t endLimit, int32_t& pos) const;
    /// Position of the first occurrence of ch at or after start, or -1.
    int32_t FindChar(char ch, int32_t start = 0) const;

    /// Splits at the first occurrence of delim: before and after it. Without delim, before
    /// is the whole text and after is empty; the result tells whether delim occurred.
    bool Split(ZStr delim, ZStr& before, ZStr& after) const;
    /// Splits into lines at CR, LF and CR LF (the pair counts once); the views exclude the
    /// breaks, a final break adds no empty line, and an empty text gives one empty line.
    /// A null text gives no lines and false.
    bool SplitLines(XArray<ZStr, true>& lines) const;

    /// The view without leading and trailing white space (space, tab, CR, LF, VT, FF).
    ZStr Trim() const;
    ZStr TrimLeft() const;
    ZStr TrimRight() const;

    /// The value of a hexadecimal digit (0-9, a-f, A-F), or -1.
    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    }
    /// True for a letter or one of "$", "@", "_".
    static bool IsIdentStart(char c);
    static bool IsSpace(char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
    }
};

/// The viewed characters as an owned standard string.
inline std::string ToStdString(ZStr text)
{
    return text.len > 0 ? std::string(text.ptr, size_t(text.len)) : std::string();
}
