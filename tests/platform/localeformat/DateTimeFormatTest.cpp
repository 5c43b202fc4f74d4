#include "LocaleFormat.h"
#include "LocaleTestSupport.h"

namespace platform {
namespace {

// Sunday 14 March 2004, 15:26:40.
constexpr SYSTEMTIME kAfternoon { 2004, 3, 0, 14, 15, 26, 40, 0 };
// Friday 5 January 2001, 00:07:09.
constexpr SYSTEMTIME kMidnight { 2001, 1, 5, 5, 0, 7, 9, 0 };

struct PictureRow {
    const char* Locale;
    SYSTEMTIME Time;
    const char16_t* Picture;
    const char16_t* Expected;
};

using Formatter = int (*)(LCID, std::uint32_t, const SYSTEMTIME*, const char16_t*, char16_t*, int);

// The text written, or "<failed>"; the count returned includes the terminator.
std::u16string Format(Formatter format, const SYSTEMTIME& time, const char16_t* picture, std::uint32_t flags)
{
    char16_t buffer[100];
    const int written = format(LOCALE_USER_DEFAULT, flags, &time, picture, buffer, 100);
    if (written == 0)
        return u"<failed>";
    EXPECT_EQ(static_cast<std::size_t>(written), std::u16string(buffer).size() + 1);
    return buffer;
}

std::u16string Date(const SYSTEMTIME& time, const char16_t* picture, std::uint32_t flags = 0)
{
    return Format(GetDateFormatW, time, picture, flags);
}

std::u16string Time(const SYSTEMTIME& time, const char16_t* picture, std::uint32_t flags = 0)
{
    return Format(GetTimeFormatW, time, picture, flags);
}

using DateTimeFormatTest = LocaleTest;

TEST_F(DateTimeFormatTest, DatePictures)
{
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
    };
    for (const PictureRow& row : rows) {
        UseLocale(row.Locale);
        EXPECT_EQ(Date(row.Time, row.Picture), row.Expected) << row.Locale;
    }
}

TEST_F(DateTimeFormatTest, LocaleOwnDatePatterns)
{
    struct Row {
        const char* Locale;
        std::uint32_t Flags;
        const char16_t* Expected;
    };
    const Row rows[] = {
        { "en_US.UTF-8", DATE_SHORTDATE, u"3/14/04" },
        { "en_US.UTF-8", 0, u"3/14/04" },
        { "de_DE.UTF-8", DATE_SHORTDATE, u"14.03.04" },
        { "C", DATE_SHORTDATE, u"3/14/04" },
    };
    for (const Row& row : rows) {
        UseLocale(row.Locale);
        EXPECT_EQ(Date(kAfternoon, nullptr, row.Flags), row.Expected) << row.Locale;
    }
}

TEST_F(DateTimeFormatTest, TimePictures)
{
    const PictureRow rows[] = {
        { "en_US.UTF-8", kAfternoon, u"h:mm:ss tt", u"3:26:40 PM" },
        { "en_US.UTF-8", kAfternoon, u"hh:mm t", u"03:26 P" },
        { "en_US.UTF-8", kMidnight, u"h:mm tt", u"12:07 AM" },
        { "en_US.UTF-8", kMidnight, u"HH:mm:ss", u"00:07:09" },
        { "en_US.UTF-8", kAfternoon, u"HHH", u"15" },
        { "en_US.UTF-8", kAfternoon, u"'kl 'HH.mm", u"kl 15.26" },
        { "en_US.UTF-8", kAfternoon, u"d/M h", u"d/M 3" },
        { "en_US.UTF-8", kAfternoon, u"", u"" },
        { "de_DE.UTF-8", kAfternoon, u"HH:mm 'Uhr'", u"15:26 Uhr" },
    };
    for (const PictureRow& row : rows) {
        UseLocale(row.Locale);
        EXPECT_EQ(Time(row.Time, row.Picture), row.Expected) << row.Locale;
    }
}

TEST_F(DateTimeFormatTest, LocaleOwnTimePattern)
{
    UseLocale("en_US.UTF-8");
    EXPECT_EQ(Time(kAfternoon, nullptr), u"3:26:40 PM");
    UseLocale("de_DE.UTF-8");
    EXPECT_EQ(Time(kAfternoon, nullptr), u"15:26:40");
}

TEST_F(DateTimeFormatTest, InvalidDatesAndTimesFail)
{
    UseLocale("en_US.UTF-8");
    struct Row {
        SYSTEMTIME Time;
        bool DateFails;
        bool TimeFails;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        EXPECT_EQ(Date(row.Time, u"d/M/yyyy") == u"<failed>", row.DateFails) << row.Time.wMonth << "/" << row.Time.wDay;
        EXPECT_EQ(Time(row.Time, u"H:mm") == u"<failed>", row.TimeFails) << row.Time.wHour;
    }
}

TEST_F(DateTimeFormatTest, BufferSizes)
{
    UseLocale("en_US.UTF-8");
    char16_t buffer[8];
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", nullptr, 0), 6);
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", buffer, 5), 0);
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", buffer, 6), 6);
    EXPECT_EQ(std::u16string(buffer), u"March");
    EXPECT_EQ(GetTimeFormatW(0, 0, &kAfternoon, u"HH:mm", buffer, 5), 0);
    EXPECT_EQ(GetTimeFormatW(0, 0, &kAfternoon, u"HH:mm", buffer, 6), 6);
    EXPECT_EQ(GetDateFormatW(0, 0, &kAfternoon, u"MMMM", buffer, -1), 0);
}

} // namespace
} // namespace platform
