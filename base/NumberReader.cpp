// SPDX-License-Identifier: GPL-2.0-or-later
#include "base/NumberReader.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace {

constexpr int32_t kMaxNumbers = 16;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool ReadNumber(ZStr text, double& value, ZStr& rest)
{
    const char* p = text.ptr;
    const int32_t n = text.ptr ? text.len : 0;
    int32_t i = 0;
    while (i < n && ZStr::IsSpace(p[i])) {
        ++i;
    }
    bool negative = false;
    if (i < n && (p[i] == '-' || p[i] == '+')) {
        negative = p[i] == '-';
        ++i;
    }
    const int32_t digitsStart = i;

    // The power of ten of the leading significant digit is tracked alongside the scan (the
    // value is 0.d... times ten to leadPosition), so that a number beyond the double range
    // can be told apart from one below it.
    int64_t leadPosition = 0;
    bool seenNonZero = false;
    int32_t mantissaDigits = 0;
    while (i < n && IsDigit(p[i])) {
        seenNonZero = seenNonZero || p[i] != '0';
        if (seenNonZero) {
            ++leadPosition;
        }
        ++mantissaDigits;
        ++i;
    }
    if (i < n && p[i] == '.') {
        ++i;
        while (i < n && IsDigit(p[i])) {
            if (!seenNonZero) {
                seenNonZero = p[i] != '0';
                leadPosition -= seenNonZero ? 0 : 1;
            }
            ++mantissaDigits;
            ++i;
        }
    }
    if (mantissaDigits == 0) {
        rest = text;
        return false;
    }
    int32_t end = i;
    int64_t exponent = 0;
    if (i < n && (p[i] == 'e' || p[i] == 'E')) {
        int32_t j = i + 1;
        bool negExp = false;
        if (j < n && (p[j] == '-' || p[j] == '+')) {
            negExp = p[j] == '-';
            ++j;
        }
        if (j < n && IsDigit(p[j])) {
            while (j < n && IsDigit(p[j])) {
                // Saturate: an exponent this large is out of range whatever the mantissa.
                if (exponent < 100000000) {
                    exponent = exponent * 10 + (p[j] - '0');
                }
                ++j;
            }
            if (negExp) {
                exponent = -exponent;
            }
            end = j;
        }
    }

    // std::from_chars is locale-independent and correctly rounded; it takes no "+" sign, so
    // the sign is applied here.
    double v = 0.0;
    std::from_chars_result r = std::from_chars(p + digitsStart, p + end, v);
    if (r.ec == std::errc::result_out_of_range) {
        if (!seenNonZero || leadPosition + exponent <= 0) {
            v = 0.0; // below the smallest denormal
        } else {
            rest = text;
            return false;
        }
    } else if (r.ec != std::errc() || r.ptr != p + end) {
        // The scan above accepts only what from_chars accepts; anything else is a fault in
        // this reader, reported as no number rather than a wrong one.
        assert(false);
        rest = text;
        return false;
    }
    value = negative ? -v : v;
    rest = ZStr(p + end, n - end);
    return true;
}

bool ReadNumbers(ZStr text, double* values, int32_t count, ZStr& rest, PairSeparator sep)
{
    assert(count >= 1 && count <= kMaxNumbers);
    if (count < 1 || count > kMaxNumbers) {
        rest = text;
        return false;
    }
    double read[kMaxNumbers] = {};
    ZStr at = text;
    for (int32_t k = 0; k < count; ++k) {
        if (k > 0 && sep == PairSeparator::Any) {
            while (at.len > 0 && !CanStartNumber(at.ptr[0])) {
                at = ZStr(at.ptr + 1, at.len - 1);
            }
        }
        if (!ReadNumber(at, read[k], at)) {
            rest = text;
            return false;
        }
    }
    std::memcpy(values, read, sizeof(double) * size_t(count));
    rest = at;
    return true;
}

bool ReadPair(ZStr text, double& first, double& second, ZStr& rest, PairSeparator sep)
{
    double both[2];
    if (!ReadNumbers(text, both, 2, rest, sep)) {
        return false;
    }
    first = both[0];
    second = both[1];
    return true;
}

int32_t TruncToInt(double v)
{
    if (std::isnan(v)) {
        return 0;
    }
    // The comparisons come first: converting a double outside the int range is undefined.
    if (v >= 2147483647.0) {
        return INT32_MAX;
    }
    if (v <= -2147483648.0) {
        return INT32_MIN;
    }
    return int32_t(v);
}

int32_t TextToInt(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    // Accumulated as a negative number, whose range reaches INT32_MIN.
    int64_t v = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        v = v * 10 - (*text - '0');
        if (v < INT32_MIN) {
            return negative ? INT32_MIN : INT32_MAX;
        }
    }
    if (negative) {
        return int32_t(v);
    }
    return v < -int64_t(INT32_MAX) ? INT32_MAX : int32_t(-v);
}
