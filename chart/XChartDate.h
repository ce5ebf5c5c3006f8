// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

/// Calendar arithmetic on file times: 100-nanosecond units since 1 January 1601, 00:00, kept
/// in doubles as date axes hold them. The proleptic Gregorian calendar is used throughout.
namespace XChartDate {

/// One day in file-time units.
inline constexpr double kDay = 864000000000.0;

/// A calendar date and time of day.
struct Date
{
    int32_t year = 1601;
    int32_t month = 1; ///< 1 to 12
    int32_t day = 1;   ///< 1 to 31
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

/// The date of a file time. Values before 1601 or after the year 30000, and NaN, are clamped
/// to those limits, so every double gives some date.
Date FromFileTime(double fileTime);
/// The file time of a date (day overflow rolls into the next month, as the arithmetic does).
double ToFileTime(const Date& date);

/// The first instant of the month that holds fileTime.
double MonthStart(double fileTime);
/// The first instant of the month after the one that holds fileTime, or fileTime itself when
/// it is already the first instant of a month.
double MonthCeil(double fileTime);
/// fileTime moved by a number of calendar months (the day is kept, limited to the length of
/// the target month; the time of day is kept).
double AddMonths(double fileTime, int32_t months);
/// Months counted from January of year 0: year * 12 + month - 1.
int32_t MonthIndex(const Date& date);
/// The first instant of the month with that index.
double FromMonthIndex(int32_t index);
/// Whether the date is the first instant of its month, quarter or year.
bool IsMonthStart(const Date& date);

/// "Jan", "Feb", ... "Dez" for the months 1 to 12; an empty text otherwise.
const char* MonthName(int32_t month);

} // namespace XChartDate
