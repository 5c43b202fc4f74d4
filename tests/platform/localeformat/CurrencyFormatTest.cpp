#include "LocaleFormat.h"
#include "LocaleTestSupport.h"

#include <array>
#include <cmath>

namespace platform {
namespace {

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

TEST(CurrencyFormatTest, NumbersSeparatorsAndOrders)
{
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
        CURRENCYFMTW format;
        format.NumDigits = row.Digits;
        format.LeadingZero = row.LeadingZero;
        format.Grouping = row.Grouping;
        format.lpDecimalSep = u".";
        format.lpThousandSep = u",";
        format.NegativeOrder = row.Negative;
        format.PositiveOrder = row.Positive;
        format.lpCurrencySymbol = row.Symbol;
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
}

TEST(CurrencyFormatTest, BufferTooSmallFails)
{
    CURRENCYFMTW format;
    format.lpDecimalSep = u".";
    format.lpThousandSep = u"";
    format.lpCurrencySymbol = u"";
    char16_t buffer[4];
    EXPECT_EQ(GetCurrencyFormatW(0, 0, u"1234", &format, nullptr, 0), 5);
    EXPECT_EQ(GetCurrencyFormatW(0, 0, u"1234", &format, buffer, 4), 0);
}

using DefaultCurrencyTest = LocaleTest;

// Without a format the locale gives separators, symbol and its place.
TEST_F(DefaultCurrencyTest, TheLocaleOfTheEnvironmentFormatsTheAmount)
{
    struct Row {
        const char* AllVariable;
        const char* Lang;
        const char* Monetary;
        const char16_t* Amount; // -1234.5
        const char16_t* Positive; // 12
    };
    const Row rows[] = {
        { "en_US.UTF-8", nullptr, nullptr, u"-$1,234.50", u"$12.00" },
        { nullptr, "de_DE.UTF-8", nullptr, u"-1.234,50 \u20AC", u"12,00 \u20AC" },
        { nullptr, "en_US.UTF-8", "de_DE.UTF-8", u"-1,234.50 \u20AC", u"12.00 \u20AC" },
        { nullptr, nullptr, nullptr, u"-$1,234.50", u"$12.00" },
    };
    for (const Row& row : rows) {
        environment_.Set("LC_ALL", row.AllVariable);
        environment_.Set("LANG", row.Lang);
        environment_.Set("LC_MONETARY", row.Monetary);
        char16_t amount[101];
        ASSERT_GT(GetCurrencyFormatW(0, 0, u"-1234.5", nullptr, amount, 101), 0);
        EXPECT_EQ(std::u16string(amount), row.Amount);
        ASSERT_GT(GetCurrencyFormatW(0, 0, u"12", nullptr, amount, 101), 0);
        EXPECT_EQ(std::u16string(amount), row.Positive);
    }
    // A locale identifier names its own locale.
    char16_t amount[101];
    ASSERT_GT(GetCurrencyFormatW(0x0407, 0, u"5", nullptr, amount, 101), 0);
    EXPECT_EQ(std::u16string(amount), u"5,00 \u20AC");
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
