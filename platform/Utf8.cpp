// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/detail/Utf8.h"

#include <algorithm>

namespace plat::detail {

namespace {

// Whether the text is well-formed UTF-8 without NUL bytes (cairo would stop at a NUL).
bool IsValidUtf8(const std::string& text)
{
    for (size_t i = 0, n = text.size(); i < n;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t len = c == 0     ? 0
                           : c < 0x80 ? 1
                           : c < 0xC2 ? 0
                           : c < 0xE0 ? 2
                           : c < 0xF0 ? 3
                           : c < 0xF5 ? 4
                                      : 0;
        if (len == 0 || i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

} // namespace

std::string Latin1ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string ToUtf8(const std::string& text)
{
    // Most text is plain ASCII or already UTF-8 and passes unchanged.
    if (IsValidUtf8(text))
        return text;
    // A NUL would end the text for cairo; the rest of the text still counts.
    std::string withoutNul = text;
    withoutNul.erase(std::remove(withoutNul.begin(), withoutNul.end(), '\0'), withoutNul.end());
    return Latin1ToUtf8(withoutNul);
}

} // namespace plat::detail
