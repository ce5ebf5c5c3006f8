// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "base/XArray.h"
#include "base/XValueRef.h"
#include "base/ZStr.h"

#include <cstdint>

/// The numbers of a chart line's data text, row by row. Rows end with a separator character
/// (";" unless the file names another); the numbers of a row are separated by white space.
/// Besides decimal numbers the words "nan", "inf" and "infinity" (any case, with a sign) are
/// read, since that is how a written NaN or infinity looks.
///
/// The table has as many columns as its longest row; shorter rows read as padded with 0.
/// The rows are kept as read (one flat array), so memory stays proportional to the text
/// however uneven the rows are.
class XChartDataTable
{
public:
    /// Reads text. False when a row is not ended by the separator while text remains, or a
    /// row holds something that is not a number; the table is then empty. Rows of only white
    /// space are skipped.
    bool Parse(ZStr text, char separator = ';');

    int32_t RowCount() const { return m_rowStart.Count(); }
    int32_t MaxRowLength() const { return m_maxRow; }
    bool IsEmpty() const { return RowCount() == 0; }
    /// The number of data columns: the longest row with tuples (one row per point), the
    /// number of rows otherwise (one row per column).
    int32_t ColumnCount(bool tuples) const { return tuples ? m_maxRow : RowCount(); }
    /// Data column j: with tuples value j of every row, else row j; padded with 0 to the
    /// length of the other columns. An index beyond the columns gives zeros. False when
    /// memory ran out (out unchanged).
    [[nodiscard]] bool Column(int32_t j, bool tuples, XRealArray& out) const;
    /// Value k of row i, 0 where the row is shorter.
    double At(int32_t row, int32_t k) const;

private:
    XRealArray m_values{0, 64, 64, 2.0};
    XIntArray m_rowStart{0, 16, 16, 2.0};
    int32_t m_maxRow = 0;
};
