#include "LocaleFormat.h"
#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace platform {
namespace {

// Sunday 14 March 2004, 15:26:40.
constexpr SYSTEMTIME kAfternoon { 2004, 3, 0, 14, 15, 26, 40, 0 };
// Friday 5 January 2001, 00:07:09.
constexpr SYSTEMTIME kMidnight { 2001, 1, 5, 5, 0, 7, 9, 0 };

using Formatter = int (*)(LCID, std::uint32_t, const SYSTEMTIME*, const char16_t*, char16_t*, int);

// The text written, or "<failed>"; the count returned includes the terminator.
std::u16string Format(Formatter format, const SYSTEMTIME& time, const char16_t* picture, std::uint32_t flags = 0)
{
    char16_t buffer[100];
    const int written = format(LOCALE_USER_DEFAULT, flags, &time, picture, buffer, 100);
    if (written == 0)
        return u"<failed>";
    EXPECT_EQ(static_cast<std::size_t>(written), std::u16string(buffer).size() + 1);
    return buffer;
}

struct PictureRow {
    const char* Locale;
    SYSTEMTIME Time;
    const char16_t* Picture; // null: the locale's own pattern
    const char16_t* Expected;
    Formatter Call = GetDateFormatW;
    std::uint32_t Flags = 0;
};

TEST(DateTimeFormatTest, PicturesAndTheLocalesOwnPatternsAndInvalidDatesTimesAndBuffersFail)
{
    // Every locale variable starts unset and is restored at the end.
    ScopedEnvironment environment;
    const auto time = GetTimeFormatW;
    const PictureRow rows[] = {
        { "en_US.UTF-8", kMidnight, u"d", u"5" },
        { "en_US.UTF-8", kMidnight, u"dd", u"05" },
        { "en_US.UTF-8", kAfternoon, u"ddd", u"Sun" },
        { "en_US.UTF-8", kMidnight, u"dddd", u"Friday" },
        { "en_US.UTF-8", kMidnight, u"ddddd", u"Friday" },
        { "en_US.UTF-8", kAfternoon, u"MMM", u"Mar" },
        { "en_US.UTF-8", kAfternoon, u"MMMM", u"March" },
        { "en_US.UTF-8", kMidnight, u"y", u"1" },
        { "en_US.UTF-8", kMidnight, u"yy", u"01" },
        { "en_US.UTF-8", kAfternoon, u"d 'de' MMMM", u"14 de March" },
        { "en_US.UTF-8", kAfternoon, u"'d'MM", u"d03" },
        { "en_US.UTF-8", kAfternoon, u"d''M", u"14'3" },
        { "en_US.UTF-8", kAfternoon, u"'it''s' d", u"it's 14" },
        { "en_US.UTF-8", kAfternoon, u"d 'open to the end MMM", u"14 open to the end MMM" },
        { "en_US.UTF-8", kAfternoon, u"h:mm t", u"h:mm t" },
        { "de_DE.UTF-8", kAfternoon, u"dddd, d. MMMM yyyy", u"Sonntag, 14. M\u00E4rz 2004" },
        { "en_US.UTF-8", kAfternoon, nullptr, u"3/14/04", GetDateFormatW, DATE_SHORTDATE },
        { "en_US.UTF-8", kAfternoon, nullptr, u"3/14/04" },
        { "de_DE.UTF-8", kAfternoon, nullptr, u"14.03.04", GetDateFormatW, DATE_SHORTDATE },
        { "C", kAfternoon, nullptr, u"3/14/04", GetDateFormatW, DATE_SHORTDATE },
        { "en_US.UTF-8", kAfternoon, u"h:mm:ss tt", u"3:26:40 PM", time },
        { "en_US.UTF-8", kAfternoon, u"hh:mm t", u"03:26 P", time },
        { "en_US.UTF-8", kMidnight, u"h:mm tt", u"12:07 AM", time },
        { "en_US.UTF-8", kMidnight, u"HH:mm:ss", u"00:07:09", time },
        { "en_US.UTF-8", kAfternoon, u"HHH", u"15", time },
        { "en_US.UTF-8", kAfternoon, u"'kl 'HH.mm", u"kl 15.26", time },
        { "en_US.UTF-8", kAfternoon, u"d/M h", u"d/M 3", time },
        { "en_US.UTF-8", kAfternoon, u"", u"", time },
        { "de_DE.UTF-8", kAfternoon, u"HH:mm 'Uhr'", u"15:26 Uhr", time },
    };
    for (const PictureRow& row : rows) {
        environment.Set("LC_ALL", row.Locale);
        EXPECT_EQ(Format(row.Call, row.Time, row.Picture, row.Flags), row.Expected) << (&row - rows);
    }

    // Invalid dates and times, and buffers too small, fail.
    environment.Set("LC_ALL", "en_US.UTF-8");
    struct InvalidRow {
        SYSTEMTIME Time;
        bool DateFails;
        bool TimeFails;
    };
    const InvalidRow invalid[] = {
        { { 1900, 0, 0, 0, 18, 0, 0, 0 }, true, false },
        { { 2003, 2, 0, 29, 0, 0, 0, 0 }, true, false },
        { { 1900, 2, 0, 29, 0, 0, 0, 0 }, true, false },
        { { 2000, 2, 0, 29, 0, 0, 0, 0 }, false, false },
        { { 2004, 13, 0, 1, 0, 0, 0, 0 }, true, false },
        { { 2004, 1, 0, 1, 24, 0, 0, 0 }, false, true },
        { { 2004, 1, 0, 1, 0, 60, 0, 0 }, false, true },
        { { 2004, 1, 0, 1, 0, 0, 60, 0 }, false, true },
        { { 2004, 1, 0, 1, 0, 0, 0, 1000 }, false, true },
    };
    for (const InvalidRow& row : invalid) {
        EXPECT_EQ(Format(GetDateFormatW, row.Time, u"d/M/yyyy") == u"<failed>", row.DateFails)
            << row.Time.wMonth << "/" << row.Time.wDay;
        EXPECT_EQ(Format(GetTimeFormatW, row.Time, u"H:mm") == u"<failed>", row.TimeFails) << row.Time.wHour;
    }
    char16_t buffer[8];
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", nullptr, 0), 6);
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", buffer, 5), 0);
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", buffer, 6), 6);
    EXPECT_EQ(std::u16string(buffer), u"March");
    EXPECT_EQ(GetTimeFormatW(0, 0, &kAfternoon, u"HH:mm", buffer, 5), 0);
    EXPECT_EQ(GetTimeFormatW(0, 0, &kAfternoon, u"HH:mm", buffer, 6), 6);
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", buffer, -1), 0);
    // Times always come with their picture, and dates and times with a time.
    EXPECT_EQ(GetTimeFormatW(0, 0, &kAfternoon, nullptr, buffer, 8), 0);
    EXPECT_EQ(GetTimeFormatW(0, 0, nullptr, u"HH", buffer, 8), 0);
    EXPECT_EQ(GetDateFormatW(0, 0, nullptr, u"MMMM", buffer, 8), 0);
}

TEST(CurrencyFormatTest, NumbersSeparatorsAndOrders)
{
    struct CurrencyRow {
        const char16_t* Value;
        std::uint32_t Digits;
        std::uint32_t LeadingZero;
        std::uint32_t Grouping;
        std::uint32_t Negative;
        std::uint32_t Positive;
        const char16_t* Symbol;
        const char16_t* Expected; // null: the call fails
    };
    const CurrencyRow rows[] = {
        { u"1234.50", 2, 1, 3, 1, 0, u"", u"1,234.50" },
        { u"1234.5", 2, 1, 0, 1, 0, u"", u"1234.50" },
        { u"-1234.50", 2, 1, 3, 0, 0, u"", u"(1,234.50)" },
        { u"1.25", 1, 1, 0, 1, 0, u"", u"1.3" },
        { u"-1.25", 1, 1, 0, 1, 0, u"", u"-1.3" },
        { u"999.96", 1, 1, 3, 1, 0, u"", u"1,000.0" },
        { u"9.5", 0, 1, 0, 1, 0, u"", u"10" },
        { u"0.5", 2, 0, 0, 1, 0, u"", u".50" },
        { u".5", 2, 1, 0, 1, 0, u"", u"0.50" },
        { u"007", 0, 1, 0, 1, 0, u"", u"7" },
        { u"1234567", 0, 1, 32, 1, 0, u"", u"12,34,567" },
        { u"1234567", 0, 1, 30, 1, 0, u"", u"1234,567" },
        { u"12", 2, 1, 3, 1, 0, u"$", u"$12.00" },
        { u"12", 2, 1, 3, 1, 3, u"\u20AC", u"12.00 \u20AC" },
        { u"-12", 2, 1, 3, 8, 0, u"\u20AC", u"-12.00 \u20AC" },
        { u"-12", 2, 1, 3, 14, 0, u"$", u"($ 12.00)" },
        { u"-12", 0, 1, 3, 3, 0, u"$", u"$12-" },
        { u"1e5", 2, 1, 3, 1, 0, u"", nullptr },
        { u"", 2, 1, 3, 1, 0, u"", nullptr },
        { u"-", 2, 1, 3, 1, 0, u"", nullptr },
        { u" 1", 2, 1, 3, 1, 0, u"", nullptr },
        { u"1", 10, 1, 3, 1, 0, u"", nullptr },
        { u"1", 2, 1, 3, 16, 0, u"", nullptr },
    };
    for (const CurrencyRow& row : rows) {
        const CURRENCYFMTW format { row.Digits, row.LeadingZero, row.Grouping, u".", u",", row.Negative, row.Positive,
            row.Symbol };
        char16_t buffer[101];
        const int written = GetCurrencyFormatW(LOCALE_USER_DEFAULT, 0, row.Value, &format, buffer, 101);
        std::string value(row.Value, row.Value + std::char_traits<char16_t>::length(row.Value));
        if (!row.Expected) {
            EXPECT_EQ(written, 0) << value;
        } else {
            ASSERT_GT(written, 0) << value;
            EXPECT_EQ(std::u16string(buffer), row.Expected) << value;
        }
    }
    const CURRENCYFMTW format { 0, 0, 0, u".", u"", 0, 0, u"" };
    char16_t buffer[4];
    EXPECT_EQ(GetCurrencyFormatW(0, 0, u"1234", &format, nullptr, 0), 5) << "the size needed";
    EXPECT_EQ(GetCurrencyFormatW(0, 0, u"1234", &format, buffer, 4), 0) << "a buffer too small";
    EXPECT_EQ(GetCurrencyFormatW(0, 0, u"1234", nullptr, buffer, 4), 0);
}

std::array<int, 8> Fields(const SYSTEMTIME& time)
{
    return { time.wYear, time.wMonth, time.wDayOfWeek, time.wDay, time.wHour, time.wMinute, time.wSecond,
        time.wMilliseconds };
}

TEST(VariantTimeTest, OleDatesToCalendarDates)
{
    struct Row {
        double Value;
        int Result;
        SYSTEMTIME Expected;
    };
    const Row rows[] = {
        { 0.0, 1, { 1899, 12, 6, 30, 0, 0, 0, 0 } },
        { 2.0, 1, { 1900, 1, 1, 1, 0, 0, 0, 0 } },
        { 61.0, 1, { 1900, 3, 4, 1, 0, 0, 0, 0 } },
        { 38060.643518518518, 1, { 2004, 3, 0, 14, 15, 26, 40, 0 } },
        { -1.25, 1, { 1899, 12, 5, 29, 6, 0, 0, 0 } },
        { -0.5, 1, { 1899, 12, 6, 30, 12, 0, 0, 0 } },
        { 0.999999999, 1, { 1899, 12, 0, 31, 0, 0, 0, 0 } },
        { 1.0000057, 1, { 1899, 12, 0, 31, 0, 0, 0, 0 } },
        { 1.0000058, 1, { 1899, 12, 0, 31, 0, 0, 1, 0 } },
        { 2958465.99999, 1, { 9999, 12, 5, 31, 23, 59, 59, 0 } },
        { 2958466.0, 0, {} },
        { -657434.0, 1, { 100, 1, 5, 1, 0, 0, 0, 0 } },
        { -657435.0, 0, {} },
        { std::nan(""), 0, {} },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Value);
        SYSTEMTIME time;
        ASSERT_EQ(VariantTimeToSystemTime(row.Value, &time), row.Result);
        if (!row.Result)
            continue;
        EXPECT_EQ(Fields(time), Fields(row.Expected));
    }
}

} // namespace
} // namespace platform
