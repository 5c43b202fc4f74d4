#include "MailLines.h"
#include "FileTimeConversion.h"
#include "MailStrings.h"
#include "PutMailChar.h"
#include "RecipientList.h"
#include "SentText.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

namespace email {
namespace {

std::u16string printed;

const char16_t* Labels(unsigned id, std::size_t)
{
    return id == 40091 ? u"Subject: "
        : id == 40095  ? u"Cc: "
        : id == 40094  ? u"To-this-label-is-far-longer-than-fifty-characters-so-it-is-cut: "
                       : nullptr;
}

TEST(MailLinesTest, HeaderLineIsLabelValueAndLineEnd)
{
    const std::tuple<HeaderKind, const char16_t*, std::u16string> rows[] = {
        { HeaderKind::Subject, u"Hi", u"Subject: Hi\r\n" },
        { HeaderKind::Subject, nullptr, u"Subject:  \r\n" },
        { HeaderKind::Cc, u"<c@x>", u"Cc: <c@x>\r\n" },
        { HeaderKind::Cc, u"", u"" },
        { HeaderKind::Cc, nullptr, u"" },
        { HeaderKind::Sent, u"now", u"now\r\n" }, // no label in the table
        { HeaderKind::To, u"v", u"To-this-label-is-far-longer-than-fifty-charactersv\r\n" },
        { HeaderKind::Subject, u"a=3Db", u"Subject: a=3Db\r\n" },
    };
    ResetMailCharFilter();
    SetMailCharSink([](char16_t ch) { printed += ch; });
    SetMailStringLoader(Labels);
    for (const auto& [kind, value, expected] : rows) {
        printed.clear();
        PrintHeaderLine(kind, value);
        EXPECT_EQ(printed, expected);
    }
    printed.clear();
    PutMailText(nullptr);
    EXPECT_EQ(printed, u"");
    SetMailCharSink(nullptr);
    SetMailStringLoader(nullptr);
}

TEST(RecipientListTest, ListsStayInsideTheRoomMeasuredForThem)
{
    // Four for each present part, as the quotes, brackets and separator need.
    EXPECT_EQ(RecipientLength(u"Bob", u"b@x"), 14u);
    EXPECT_EQ(RecipientLength(nullptr, u"b@x"), 7u);
    EXPECT_EQ(RecipientLength(u"", u""), 0u);
    RecipientTotals totals;
    totals.toTotal = RecipientLength(u"A", u"a@x") + RecipientLength(nullptr, u"b@x");
    totals.ccTotal = RecipientLength(u"C", nullptr);
    RecipientLists lists(totals);
    lists.AppendTo(u"A", u"a@x");
    lists.AppendTo(nullptr, nullptr);
    lists.AppendTo(nullptr, u"b@x");
    lists.AppendCc(u"C", nullptr);
    EXPECT_EQ(std::u16string(lists.To()), u"\"A\" <a@x>; <b@x>");
    EXPECT_EQ(std::u16string(lists.Cc()), u"\"C\"");
    // A recipient the first pass did not see finds no room and is left out.
    lists.AppendCc(u"A much longer name than was measured", u"long@example.org");
    EXPECT_EQ(std::u16string(lists.Cc()), u"\"C\"");
    EXPECT_EQ(std::u16string(lists.To()), u"\"A\" <a@x>; <b@x>");

    RecipientLists empty(RecipientTotals {});
    empty.AppendTo(u"x", u"y");
    EXPECT_EQ(std::u16string(empty.To()), u"");
}

TEST(SentTextTest, LocaleNamesAndLocalTime)
{
    const std::tuple<const char*, const char*, std::int64_t, std::u16string> rows[] = {
        { "en_US.UTF-8", "UTC", 1741097100, u"Tuesday,  March 4, 2025  2:05 PM" },
        // Summer time counts for a summer date: 23:30 UTC is 01:30 the next day.
        { "de_DE.UTF-8", "Europe/Berlin", 1751412600, u"Mittwoch,  Juli 2, 2025  1:30 AM" },
        { "de_DE.UTF-8", "Europe/Berlin", 1741097100, u"Dienstag,  M\u00e4rz 4, 2025  3:05 PM" },
        { "en_US.UTF-8", "UTC", 0, u"Thursday,  January 1, 1970  12:00 AM" },
    };
    for (const auto& [locale, zone, unixSeconds, text] : rows) {
        setenv("LC_ALL", locale, 1);
        setenv("TZ", zone, 1);
        EXPECT_EQ(FormatSentText(platform::FileTimeFromUnix(unixSeconds, 0)), text) << locale << " " << zone;
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

TEST(FileTimeConversionTest, CalendarFieldsOfAStampAndNoLocalStampBefore1601)
{
    const std::pair<std::uint64_t, platform::SYSTEMTIME> rows[] = {
        { 0, { 1601, 1, 1, 1, 0, 0, 0, 0 } },
        { (11644473600ull + 86400ull * 59 + 3723) * 10000000ull + 4560000, { 1970, 3, 0, 1, 1, 2, 3, 456 } },
        { 133855200000000000ull, { 2025, 3, 2, 4, 0, 0, 0, 0 } },
        { 133855200000000000ull + 86399ull * 10000000ull, { 2025, 3, 2, 4, 23, 59, 59, 0 } },
    };
    for (const auto& [ticks, expected] : rows) {
        platform::SYSTEMTIME fields {};
        const platform::FILETIME stamp = platform::FileTimeFromTicks(ticks);
        ASSERT_EQ(platform::FileTimeToSystemTime(&stamp, &fields), 1) << ticks;
        EXPECT_EQ(Fields(fields), Fields(expected)) << ticks;
    }
    platform::SYSTEMTIME fields {};
    const platform::FILETIME first = platform::FileTimeFromTicks(0);
    const platform::FILETIME last = platform::FileTimeFromTicks(~0ull);
    EXPECT_EQ(platform::FileTimeToSystemTime(&last, &fields), 0);
    EXPECT_EQ(platform::FileTimeToSystemTime(nullptr, &fields), 0);
    // Before 1601 in the local zone there is no stamp. (The sent text's rows
    // change the zone between calls.)
    setenv("TZ", "America/New_York", 1);
    platform::FILETIME local {};
    EXPECT_EQ(platform::FileTimeToLocalFileTime(&first, &local), 0);
    unsetenv("TZ");
}

} // namespace
} // namespace email
