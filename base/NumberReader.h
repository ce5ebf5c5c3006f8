// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/ZStr.h"

#include <cstdint>

/// How the pair reader finds the start of the second number.
enum class PairSeparator {
    Blank, ///< only white space between the numbers, as in "10 10"
    Any,   ///< any characters up to the next one that can start a number: "15x15", "15, 15"
};

/// Reads one decimal number at the start of text: leading white space is skipped, then an
/// optional "-" or "+", digits, optionally "." and further digits, and optionally an exponent
/// ("e" or "E", an optional sign and at least one digit; an "e" without exponent digits is
/// not part of the number). The mantissa needs at least one digit.
///
/// The value is the correctly rounded double of the digits, so anything written with "%.17g"
/// or more digits reads back unchanged. A number too small for a double reads as zero of its
/// sign; a number too large for a double is refused.
///
/// On success rest is the text after the number. On failure value is untouched and rest is
/// the whole text.
bool ReadNumber(ZStr text, double& value, ZStr& rest);

/// Reads two numbers: the first with ReadNumber, then the second either after white space
/// only (Blank) or after any characters that cannot start a number (Any: everything but the
/// digits, "-", "+" and "."). So with Any, "15x15" and "15, 15" both give (15, 15).
/// On failure first and second are untouched and rest is the whole text.
bool ReadPair(ZStr text, double& first, double& second, ZStr& rest, PairSeparator sep);

/// Reads count numbers separated as in ReadPair. On failure nothing in values is changed and
/// rest is the whole text. count must be between 1 and 16.
bool ReadNumbers(ZStr text, double* values, int32_t count, ZStr& rest, PairSeparator sep);

/// True for the characters that can start a number: digits, "-", "+" and ".".
inline bool CanStartNumber(char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

/// The double truncated toward zero as an int; values beyond the int range give the nearest
/// int, NaN gives 0. For doubles bound to integer-valued storage or controls.
int32_t TruncToInt(double v);

/// The leading decimal integer of a C string as atoi reads it (white space, an optional sign,
/// digits; 0 when there are none), but saturated at the int range instead of overflowing.
int32_t TextToInt(const char* text);
