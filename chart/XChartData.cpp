// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartData.h"

#include "base/NumberReader.h"

#include <cctype>
#include <cstring>
#include <limits>

namespace {

bool IsSpace(char c)
{
    return ZStr::IsSpace(c);
}

bool MatchWordI(ZStr text, int32_t at, const char* word)
{
    const int32_t n = int32_t(std::strlen(word));
    if (at + n > text.len) {
        return false;
    }
    for (int32_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(text.ptr[at + i])) != word[i]) {
            return false;
        }
    }
    return true;
}

// The words printf writes for values that are not numbers: "nan", "-nan", "inf", "-inf" (and
// "infinity"). Returns the length read, 0 when there is no such word at `at`.
int32_t ReadSpecial(ZStr text, int32_t at, double& value)
{
    int32_t i = at;
    bool negative = false;
    if (i < text.len && (text.ptr[i] == '-' || text.ptr[i] == '+')) {
        negative = text.ptr[i] == '-';
        ++i;
    }
    int32_t len = 0;
    if (MatchWordI(text, i, "infinity")) {
        value = std::numeric_limits<double>::infinity();
        len = 8;
    } else if (MatchWordI(text, i, "inf")) {
        value = std::numeric_limits<double>::infinity();
        len = 3;
    } else if (MatchWordI(text, i, "nan")) {
        value = std::numeric_limits<double>::quiet_NaN();
        len = 3;
    } else {
        return 0;
    }
    if (negative) {
        value = -value;
    }
    return i + len - at;
}

} // namespace

bool XChartDataTable::Parse(ZStr text, char separator)
{
    m_values.RemoveAll();
    m_rowStart.RemoveAll();
    m_maxRow = 0;
    const int32_t n = text.ptr ? text.len : 0;
    // The number of values is at most the number of places where a run of characters other
    // than white space and separators starts; counting them first lets the table be made at
    // its size at once instead of growing (and copying) a megabyte table step by step.
    int32_t tokens = 0;
    int32_t rows = 0;
    bool inToken = false;
    for (int32_t i = 0; i < n; ++i) {
        const char c = text.ptr[i];
        const bool gap = c == separator || IsSpace(c);
        tokens += !gap && !inToken ? 1 : 0;
        rows += c == separator ? 1 : 0;
        inToken = !gap;
    }
    int32_t pos = 0;
    int32_t rowStart = 0;
    int32_t inRow = 0;
    auto fail = [this] {
        m_values.RemoveAll();
        m_rowStart.RemoveAll();
        m_maxRow = 0;
        return false;
    };
    // With the room made here no append below can fail.
    if (!m_values.Reserve(tokens) || !m_rowStart.Reserve(rows)) {
        return fail();
    }
    for (;;) {
        while (pos < n && text.ptr[pos] != separator && IsSpace(text.ptr[pos])) {
            ++pos;
        }
        if (pos >= n) {
            // Text that remains after the last separator is a row without its end.
            return inRow == 0 ? true : fail();
        }
        if (text.ptr[pos] == separator) {
            ++pos;
            if (inRow > 0) {
                m_rowStart.Append(rowStart);
                m_maxRow = inRow > m_maxRow ? inRow : m_maxRow;
            }
            inRow = 0;
            rowStart = m_values.Count();
            continue;
        }
        double value = 0.0;
        const ZStr at(text.ptr + pos, n - pos);
        ZStr rest;
        int32_t used = 0;
        if (ReadNumber(at, value, rest)) {
            used = int32_t(rest.ptr - at.ptr);
        } else {
            used = ReadSpecial(text, pos, value);
        }
        if (used <= 0) {
            return fail();
        }
        pos += used;
        // A number runs up to white space or the separator ("1.5x" is no number).
        if (pos < n && text.ptr[pos] != separator && !IsSpace(text.ptr[pos])) {
            return fail();
        }
        m_values.Append(value);
        ++inRow;
    }
}

double XChartDataTable::At(int32_t row, int32_t k) const
{
    if (row < 0 || row >= RowCount() || k < 0) {
        return 0.0;
    }
    const int32_t start = m_rowStart[row];
    const int32_t end = row + 1 < RowCount() ? m_rowStart[row + 1] : m_values.Count();
    return start + k < end ? m_values[start + k] : 0.0;
}

bool XChartDataTable::Column(int32_t j, bool tuples, XRealArray& out) const
{
    if (tuples) {
        if (!out.SetSize(RowCount())) {
            return false;
        }
        for (int32_t i = 0; i < RowCount(); ++i) {
            out[i] = At(i, j);
        }
        return true;
    }
    if (!out.SetSize(m_maxRow)) {
        return false;
    }
    for (int32_t k = 0; k < m_maxRow; ++k) {
        out[k] = At(j, k);
    }
    return true;
}
