// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/TypeDict.h"

namespace {

constexpr int32_t kPrimes[] = {17,        41,        67,         127,       251,      509,
                               1021,      2039,      4093,       8191,      16381,    32749,
                               65521,     131071,    262139,     524287,    1048573,  2097143,
                               4194301,   8388593,   16777213,   33554393,  67108859, 134217689,
                               268435399, 536870909, 1073741789, 2147483647};

} // namespace

uint32_t DictHash(const char* p, int32_t n, bool ignoreCase)
{
    uint32_t h = uint32_t(n) * 596579247u;
    for (int32_t i = 0; i < n; ++i) {
        char c = p[i];
        if (ignoreCase && c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
        // The character widens as a signed byte, so bytes above 0x7F add high bits.
        uint32_t v = uint32_t(int32_t(static_cast<signed char>(c)));
        h += v << ((5 * i) % 24);
    }
    uint32_t x = h * 1103515243u + 12345u;
    return (x >> 16) ^ (x & 0x7FFFFFFFu);
}

int32_t DictNextCapacity(int32_t capacity)
{
    int64_t target = int64_t(double(capacity) * 1.8);
    for (int32_t prime : kPrimes) {
        if (prime >= target) {
            return prime;
        }
    }
    // Past the list there is no table size left to grow to.
    return target + 3 > INT32_MAX ? INT32_MAX : int32_t(target + 3);
}
