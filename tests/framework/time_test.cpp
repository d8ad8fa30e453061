#include <afxdisp.h>

#include <gtest/gtest.h>

TEST(Time, SpansAndTimesCompute)
{
    const CTimeSpan span(2, 3, 4, 5);
    EXPECT_EQ(span.GetTotalSeconds(), ((2 * 24 + 3) * 60 + 4) * 60 + 5);
    EXPECT_EQ(span.GetDays(), 2);
    EXPECT_EQ(span.GetHours(), 3);
    EXPECT_EQ(span.GetMinutes(), 4);
    EXPECT_EQ(span.GetSeconds(), 5);
    EXPECT_STREQ(span.Format(L"%D days %H:%M:%S %% %Q"), L"2 days 03:04:05 % %Q");

    FILETIME fileTime;
    const ULONGLONG ticks = 116444736000000000ULL + 1700000000ULL * 10000000ULL;
    fileTime.dwLowDateTime = static_cast<DWORD>(ticks);
    fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    const CTime time(fileTime);
    EXPECT_EQ(time.GetTime(), 1700000000);
    EXPECT_EQ((time + span - time).GetTotalSeconds(), span.GetTotalSeconds());
    EXPECT_TRUE(time < time + CTimeSpan(1));
    EXPECT_STREQ(time.FormatGmt(L"%Y-%m-%d %H:%M:%S"), L"2023-11-14 22:13:20");
}

TEST(Time, FormatKeepsConversionsTheRuntimeDoesNotKnow)
{
    const CTime time(1700000000);
    // %Q and %E would reach the runtime's invalid-parameter handler; they are copied instead.
    EXPECT_STREQ(time.FormatGmt(L"%Q%E %Y %"), L"%Q%E 2023 %");
}

TEST(Time, OleDatesRejectImpossibleDates)
{
    struct Case
    {
        int year, month, day;
        bool valid;
    };
    const Case cases[] = {
        {2024, 2, 29, true}, {2023, 2, 29, false}, {2023, 13, 1, false}, {1899, 12, 30, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year * 10000 + c.month * 100 + c.day);
        const COleDateTime date(c.year, c.month, c.day, 0, 0, 0);
        EXPECT_EQ(date.GetStatus() == COleDateTime::valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(date.GetDay(), c.day);
        }
    }
    EXPECT_EQ(COleDateTime(1899, 12, 30, 12, 0, 0).m_dt, 0.5);
}
