#pragma once

// FILETIME values (100-nanosecond ticks since 1 January 1601, UTC) and the proleptic Gregorian calendar
// they are shown and built in: one place for the epochs and the day arithmetic that the result list's
// dates, the FAT saver's dates and the host's file times share.

#include <cstdint>

inline constexpr std::uint64_t kFiletimeTicksPerSecond = 10000000;
inline constexpr std::uint64_t kSecondsPerDay = 86400;
// Days and seconds from 1 January 1601 (the FILETIME epoch) to 1 January 1970.
inline constexpr std::int64_t kDaysFrom1601To1970 = 134774;
inline constexpr std::int64_t kSecondsFrom1601To1970 = kDaysFrom1601To1970 * 86400;

struct CivilDate
{
    std::int64_t year;
    unsigned month;
    unsigned day;
};

constexpr bool IsLeapYear(std::int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// 28 to 31; `month` from 1 to 12.
constexpr unsigned DaysInMonth(std::int64_t year, unsigned month)
{
    constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1 January 1970 to the date (negative before it).
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// The date of a day number counted from 1 January 1970.
constexpr CivilDate CivilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    CivilDate date{};
    date.day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    date.month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    date.year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (date.month <= 2 ? 1 : 0);
    return date;
}

static_assert(DaysFromCivil(1601, 1, 1) == -kDaysFrom1601To1970);
