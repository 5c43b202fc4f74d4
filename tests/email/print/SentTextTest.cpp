#include "SentText.h"
#include "FileTimeConversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

namespace email {
namespace {

TEST(SentTextTest, LocaleNamesAndLocalTime)
{
    struct Row {
        const char* locale;
        const char* zone;
        std::int64_t unixSeconds;
        std::u16string text;
    };
    const Row rows[] = {
        { "en_US.UTF-8", "UTC", 1741097100, u"Tuesday,  March 4, 2025  2:05 PM" },
        // Summer time counts for a summer date: 23:30 UTC is 01:30 the next day.
        { "de_DE.UTF-8", "Europe/Berlin", 1751412600, u"Mittwoch,  Juli 2, 2025  1:30 AM" },
        { "de_DE.UTF-8", "Europe/Berlin", 1741097100, u"Dienstag,  M\u00e4rz 4, 2025  3:05 PM" },
        { "en_US.UTF-8", "UTC", 0, u"Thursday,  January 1, 1970  12:00 AM" },
    };
    for (const Row& row : rows) {
        setenv("LC_ALL", row.locale, 1);
        setenv("TZ", row.zone, 1);
        EXPECT_EQ(FormatSentText(platform::FileTimeFromUnix(row.unixSeconds, 0)), row.text)
            << row.locale << " " << row.zone;
    }
    // Times outside the calendar give no text.
    EXPECT_EQ(FormatSentText(platform::FILETIME { 0xFFFFFFFFu, 0xFFFFFFFFu }), u"");
    unsetenv("TZ");
    unsetenv("LC_ALL");
}

std::array<int, 8> Fields(const platform::SYSTEMTIME& time)
{
    return { time.wYear, time.wMonth, time.wDayOfWeek, time.wDay, time.wHour, time.wMinute, time.wSecond,
        time.wMilliseconds };
}

TEST(FileTimeConversionTest, CalendarFieldsOfAStamp)
{
    struct Row {
        std::uint64_t ticks;
        platform::SYSTEMTIME fields;
    };
    const Row rows[] = {
        { 0, { 1601, 1, 1, 1, 0, 0, 0, 0 } },
        { (11644473600ull + 86400ull * 59 + 3723) * 10000000ull + 4560000, { 1970, 3, 0, 1, 1, 2, 3, 456 } },
        { 133855200000000000ull, { 2025, 3, 2, 4, 0, 0, 0, 0 } },
        { 133855200000000000ull + 86399ull * 10000000ull, { 2025, 3, 2, 4, 23, 59, 59, 0 } },
    };
    for (const Row& row : rows) {
        platform::SYSTEMTIME fields {};
        const platform::FILETIME stamp = platform::FileTimeFromTicks(row.ticks);
        ASSERT_EQ(platform::FileTimeToSystemTime(&stamp, &fields), 1) << row.ticks;
        EXPECT_EQ(Fields(fields), Fields(row.fields)) << row.ticks;
    }
    platform::SYSTEMTIME fields {};
    const platform::FILETIME last = platform::FileTimeFromTicks(~0ull);
    EXPECT_EQ(platform::FileTimeToSystemTime(&last, &fields), 0);
    EXPECT_EQ(platform::FileTimeToSystemTime(nullptr, &fields), 0);
}

TEST(FileTimeConversionTest, LocalTimeFollowsTheZoneOfTheEnvironment)
{
    const platform::FILETIME utc = platform::FileTimeFromUnix(1751412600, 0);
    platform::FILETIME local {};
    setenv("TZ", "Asia/Kolkata", 1);
    ASSERT_EQ(platform::FileTimeToLocalFileTime(&utc, &local), 1);
    EXPECT_EQ(platform::FileTimeTicks(local) - platform::FileTimeTicks(utc), 19800ull * 10000000ull);
    setenv("TZ", "UTC", 1);
    ASSERT_EQ(platform::FileTimeToLocalFileTime(&utc, &local), 1);
    EXPECT_EQ(platform::FileTimeTicks(local), platform::FileTimeTicks(utc));
    // Before 1601 in the local zone there is no stamp.
    setenv("TZ", "America/New_York", 1);
    const platform::FILETIME first = platform::FileTimeFromTicks(0);
    EXPECT_EQ(platform::FileTimeToLocalFileTime(&first, &local), 0);
    unsetenv("TZ");
}

} // namespace
} // namespace email
