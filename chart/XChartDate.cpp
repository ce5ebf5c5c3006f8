// SPDX-License-Identifier: GPL-2.0-or-later
#include "chart/XChartDate.h"

#include <cmath>

namespace XChartDate {

namespace {

// Days from 1601-01-01 to 1970-01-01, so that the civil-date algorithms below can count from
// the Unix epoch.
constexpr int64_t kDays1601To1970 = 134774;
constexpr double kSecond = 10000000.0;
// The latest date a file time is taken to mean; far beyond any chart and small enough that
// the month arithmetic stays in 32 bits.
constexpr int32_t kLastYear = 30000;

// Days since 1970-01-01 of a civil date (H. Hinnant, "chrono-Compatible Low-Level Date
// Algorithms", days_from_civil).
int64_t DaysFromCivil(int64_t y, int32_t m, int32_t d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The civil date of a day count since 1970-01-01 (civil_from_days of the same paper).
void CivilFromDays(int64_t z, int32_t& y, int32_t& m, int32_t& d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = int32_t(doy - (153 * mp + 2) / 5 + 1);
    m = int32_t(mp < 10 ? mp + 3 : mp - 9);
    y = int32_t(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

bool IsLeap(int32_t y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int32_t DaysInMonth(int32_t y, int32_t m)
{
    static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

double LastFileTime()
{
    return double(DaysFromCivil(kLastYear, 12, 31) + kDays1601To1970) * kDay;
}

} // namespace

Date FromFileTime(double fileTime)
{
    if (!(fileTime > 0.0)) {
        fileTime = 0.0; // also NaN
    }
    if (fileTime > LastFileTime()) {
        fileTime = LastFileTime();
    }
    const double days = std::floor(fileTime / kDay);
    double rest = fileTime - days * kDay;
    Date date;
    CivilFromDays(int64_t(days) - kDays1601To1970, date.year, date.month, date.day);
    int64_t seconds = int64_t(std::floor(rest / kSecond));
    if (seconds > 86399) {
        seconds = 86399;
    }
    date.hour = int32_t(seconds / 3600);
    date.minute = int32_t(seconds / 60 % 60);
    date.second = int32_t(seconds % 60);
    return date;
}

double ToFileTime(const Date& date)
{
    const int64_t days = DaysFromCivil(date.year, date.month, 1) + (date.day - 1);
    return double(days + kDays1601To1970) * kDay +
           double(date.hour * 3600 + date.minute * 60 + date.second) * kSecond;
}

double MonthStart(double fileTime)
{
    Date d = FromFileTime(fileTime);
    d.day = 1;
    d.hour = d.minute = d.second = 0;
    return ToFileTime(d);
}

double MonthCeil(double fileTime)
{
    const double start = MonthStart(fileTime);
    if (start >= fileTime) {
        return start;
    }
    return AddMonths(start, 1);
}

double AddMonths(double fileTime, int32_t months)
{
    const Date d = FromFileTime(fileTime);
    const double timeOfDay = fileTime - ToFileTime(Date{d.year, d.month, d.day, 0, 0, 0});
    int32_t index = MonthIndex(d) + months;
    if (index < MonthIndex(Date{1601, 1, 1, 0, 0, 0})) {
        index = MonthIndex(Date{1601, 1, 1, 0, 0, 0});
    }
    Date to;
    to.year = index / 12;
    to.month = index % 12 + 1;
    const int32_t last = DaysInMonth(to.year, to.month);
    to.day = d.day < last ? d.day : last;
    return ToFileTime(to) + (timeOfDay > 0.0 ? timeOfDay : 0.0);
}

int32_t MonthIndex(const Date& date)
{
    return date.year * 12 + date.month - 1;
}

double FromMonthIndex(int32_t index)
{
    if (index < 0) {
        index = 0;
    }
    return ToFileTime(Date{index / 12, index % 12 + 1, 1, 0, 0, 0});
}

bool IsMonthStart(const Date& date)
{
    return date.day == 1 && date.hour == 0 && date.minute == 0 && date.second == 0;
}

const char* MonthName(int32_t month)
{
    static constexpr const char* kNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dez"};
    return month >= 1 && month <= 12 ? kNames[month - 1] : "";
}

} // namespace XChartDate
