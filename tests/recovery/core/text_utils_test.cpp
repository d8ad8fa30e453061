// Date and time texts, wildcard matching and progress percentages.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "engine/recovery/core/file_time.h"
#include "engine/recovery/core/progress_percent.h"
#include "engine/recovery/core/text_utils.h"
#include "ui_recorder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

std::string FileTimeText(std::uint64_t value)
{
    // Exactly the documented room, so that AddressSanitizer sees a longer text.
    auto text = std::make_unique<char16_t[]>(kFileTimeTextSize);
    return Utf8(FormatFileTime(static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32),
                               text.get()));
}

TEST(FormatFileTime, WritesUtcFieldsWithoutLeadingZeros)
{
    struct Case
    {
        std::uint64_t filetime; // from Python's datetime, counted from 1601-01-01 UTC
        const char* expected;
    };
    const Case cases[] = {
        {0x01C99D609476BA80, "5-3-2009 7:4:9"},
        {0x01C99D609476BA80 + 9999999, "5-3-2009 7:4:9"}, // fractions of a second are dropped
        {0x01BF8311159DA980, "29-2-2000 23:59:59"},
        {0x019DB1DED53E8000, "1-1-1970 0:0:0"},
        {0x014F65FD59746000, "1-3-1900 12:0:0"},
        {0x01E9FD1ED53E8000, "19-1-2038 3:14:8"},
        {0x01DB5B16EFE91680, "31-12-2024 0:0:1"},
        {0x24C85A5ED127A980, "31-12-9999 23:59:59"},
        {0, "1-1-1601 0:0:0"},
        {0x7FFFFFFFFFFFFFFF, "14-9-30828 2:48:5"}, // the largest time the system converts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FileTimeText(c.filetime), c.expected);
    }
    // Values the system refuses still give a date, within the room.
    EXPECT_FALSE(FileTimeText(UINT64_MAX).empty());
}

#ifdef _WIN32
TEST(FormatFileTime, AgreesWithTheSystemConversion)
{
    std::mt19937_64 random(20090305);
    for (int i = 0; i < 2000; ++i) {
        const std::uint64_t value = random() >> 1;
        FILETIME filetime;
        filetime.dwLowDateTime = static_cast<DWORD>(value);
        filetime.dwHighDateTime = static_cast<DWORD>(value >> 32);
        SYSTEMTIME fields;
        ASSERT_TRUE(FileTimeToSystemTime(&filetime, &fields));
        const std::string expected = std::to_string(fields.wDay) + "-" + std::to_string(fields.wMonth) + "-" +
                                     std::to_string(fields.wYear) + " " + std::to_string(fields.wHour) + ":" +
                                     std::to_string(fields.wMinute) + ":" + std::to_string(fields.wSecond);
        ASSERT_EQ(FileTimeText(value), expected) << "FILETIME " << value;
    }
}
#endif

// The day arithmetic that the listing (day number to date) and the FAT saver (date to day number) share:
// each the other's inverse across the epochs, leap days and the century rules.
TEST(FileTime, DayNumbersAndDatesAreEachOthersInverse)
{
    const struct
    {
        std::int64_t year;
        unsigned month;
        unsigned day;
        std::int64_t days;
    } cases[] = {
        {1601, 1, 1, -kDaysFrom1601To1970},
        {1969, 12, 31, -1},
        {1970, 1, 1, 0},
        {2000, 2, 29, 11016},
        {2000, 3, 1, 11017},
        {2100, 3, 1, 47541},
        {2107, 12, 31, 50402},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DaysFromCivil(c.year, c.month, c.day), c.days) << c.year << "-" << c.month << "-" << c.day;
        const CivilDate date = CivilFromDays(c.days);
        EXPECT_EQ(date.year, c.year);
        EXPECT_EQ(date.month, c.month);
        EXPECT_EQ(date.day, c.day);
    }
    EXPECT_EQ(DaysInMonth(2000, 2), 29u);
    EXPECT_EQ(DaysInMonth(2100, 2), 28u);
    EXPECT_EQ(DaysInMonth(2024, 12), 31u);
}

TEST(FormatFatDate, WritesTwoDigitDayAndMonthAndATrailingSpace)
{
    struct Case
    {
        const char* name;
        std::uint16_t date;
        const char* expected;
    };
    const Case cases[] = {
        {"5 March 2009", (29 << 9) | (3 << 5) | 5, "05-03-2009 "},
        {"31 December 2024", (44 << 9) | (12 << 5) | 31, "31-12-2024 "},
        {"all fields zero", 0, "00-00-1980 "},
        {"all bits set", 0xFFFF, "31-15-2107 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto text = std::make_unique<char16_t[]>(kFatDateTextSize);
        EXPECT_EQ(Utf8(FormatFatDate(c.date, text.get())), c.expected);
    }
}

TEST(MatchWildcard, FollowsItsRules)
{
    struct Case
    {
        const char16_t* name;
        const char16_t* pattern;
        int expected;
        const char* why;
    };
    const Case cases[] = {
        {u"", u"*", 0, "an empty name matches nothing"},
        {u"A.TXT", u"", 0, "an empty pattern matches nothing"},
        {u"AB", u"ABC", 0, "a pattern without * longer than the name"},
        {u"AB", u"A??", 0, "a ? pattern longer than the name"},
        {u"ANYTHING", u"*", 1, "* matches every name"},
        {u"REPORT.DOC", u"*.*", 1, "*.* needs a dot"},
        {u"README", u"*.*", 0, "*.* needs a dot"},
        {u"ANNUAL REPORT", u"REPORT", 1, "no wildcard: a substring matches"},
        {u"MY REPORT 2009", u"REPORT", 1, "no wildcard: a substring in the middle"},
        {u"REPORT", u"REPORT", 1, "no wildcard: the whole name"},
        {u"RE-PORT", u"REPORT", 0, "no wildcard: characters in order are not enough"},
        {u"report", u"REPORT", 0, "characters compare exactly"},
        {u"PHOTO.JPG", u"*.JPG", 1, "a leading star"},
        {u"PHOTO.JPG.BAK", u"*.JPG", 0, "with a star the whole name must match"},
        {u"XPHOTO.JPG", u"PHOTO*", 0, "with a star the match starts at the name's start"},
        {u"PHOTO.JPG", u"PHOTO*", 1, "a trailing star"},
        {u"PHOTO.JPG", u"PHOTO***", 1, "trailing stars count as one"},
        {u"PHOTO", u"PHOTO*", 1, "a star stands also for nothing"},
        {u"ABC", u"A?C", 1, "? stands for one character"},
        {u"XABCX", u"A?C", 0, "a ? pattern matches the whole name, not a substring"},
        {u"AC", u"A?C", 0, "? needs a character"},
        {u"A.B.C.TXT", u"*.*.TXT", 1, "several stars backtrack"},
        {u"DATA2009.TXT", u"DATA*?.TXT", 1, "? after *"},
        {u"DATA.TXT", u"DATA*?.TXT", 0, "? after * still needs a character"},
        {u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAB", u"*A*A*A*A*A*A*A*A*C", 0,
         "no exponential backtracking"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(MatchWildcard(c.name, c.pattern), c.expected) << Utf8(c.name) << " / " << Utf8(c.pattern);
    }
}

TEST(ProgressPercent, IsHeldAt99AndSurvivesLargeCounts)
{
    struct Case
    {
        std::uint64_t done;
        std::uint64_t total;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0, 0, 0},
        {5, 0, 0},
        {0, 200, 0},
        {1, 200, 0},
        {100, 200, 50},
        {199, 200, 99},
        {200, 200, 99},
        {300, 200, 99},
        {1ull << 62, 1ull << 63, 50},
        {UINT64_MAX - 1, UINT64_MAX, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.total));
        EXPECT_EQ(ProgressPercent(c.done, c.total), c.expected);
    }
}

} // namespace
