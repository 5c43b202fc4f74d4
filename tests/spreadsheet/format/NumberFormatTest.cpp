#include "CellValueFormat.h"
#include "PrintFixed.h"
#include "PxlWorkbook.h"
#include "WorkbookReader.h"
#include "WorkbookWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>

namespace spreadsheet {
namespace {

// Every character is 10 layout units wide.
constexpr int kCharWidth = 10;
int FixedPitch(const char16_t*, int count, int maxWidth)
{
    return std::min(count, maxWidth / kCharWidth);
}

constexpr CellRect kWide { 0, 0, 1000, 20 };

// 14 March 2004, 15:26:40.
constexpr double kAfternoon = 38060.643518518518;

std::u16string Format(double value, std::uint16_t number, const CellRect& rect = kWide)
{
    CellText out;
    FormatNumberCell(value, number, rect, out);
    return std::u16string(out.View());
}

class NumberFormatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : { "LC_TIME", "LC_NUMERIC", "LC_MONETARY", "LANG" })
            unsetenv(name);
        setenv("LC_ALL", "en_US.UTF-8", 1);
        SetCellTextMeasure(FixedPitch);
        ColorOverride() = 0;
    }

    void TearDown() override
    {
        ReleaseWorkbook();
        SetCellTextMeasure(nullptr);
        unsetenv("LC_ALL");
    }

    static std::u16string Apply(double value, std::u16string_view format, int* result = nullptr)
    {
        CellText out;
        const int applied = ApplyFormatString(out, value, format.data(), format.size());
        if (result)
            *result = applied;
        return std::u16string(out.View());
    }

    // Opens a workbook whose custom formats are `formats`, as 233 and up.
    void UseCustomFormats(std::vector<std::u16string> formats)
    {
        WorkbookDescription book;
        book.NumberFormats = std::move(formats);
        bytes_ = WriteWorkbook(book);
        ASSERT_EQ(ReadWorkbookFromBytes(bytes_, u"formats.pxl"), 1);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// A value, the number of its format and the text expected.
using FormatRow = std::tuple<double, std::uint16_t, const char16_t*>;

void ExpectRows(const char* locale, std::initializer_list<FormatRow> rows)
{
    setenv("LC_ALL", locale, 1);
    for (const auto& [value, number, expected] : rows) {
        EXPECT_EQ(Format(value, number), expected) << locale << " " << value << " in " << number;
    }
}

TEST_F(NumberFormatTest, BuiltInFormats)
{
    ExpectRows("en_US.UTF-8",
        {
            { 1234.5, 1, u"1234.50" },
            { -1234.5, 1, u"-1234.50" },
            { 1234.5, 3, u"1,234.50" },
            { -1234.5, 4, u"(1,234.50)" },
            { 1234.5, 9, u"1,234.50" },
            { 0, 13, u"-  " },
            { 0.1234, 32, u"12.34%" },
            { 0.1234, 33, u"12%" },
            { 0.5, 34, u"1/2" },
            { 2.25, 34, u"2 1/4" },
            { -0.75, 34, u"-3/4" },
            { 0.99, 34, u"1/1" },
            { 3.5, 41, u"84:00:00" },
            { 1.000752314814815, 40, u"1:05.00" },
        });
    ExpectRows("de_DE.UTF-8",
        {
            { 1234.5, 1, u"1234,50" },
            { -1234.5, 4, u"(1.234,50)" },
            { 0.1234, 32, u"12.34%" },
        });
}

TEST_F(NumberFormatTest, DateAndTimeFormats)
{
    ExpectRows("en_US.UTF-8",
        {
            { kAfternoon, 19, u"03/14/04" },
            { kAfternoon, 25, u"March 14, 2004" },
            { kAfternoon, 26, u"3/14/04 3:26 PM" },
            { kAfternoon, 27, u"3/14/04 15:26" },
            { kAfternoon, 43, u"2004\u5E743\u670814\u65E5" },
            { kAfternoon, 71, u"14 de March de 2004" },
            { kAfternoon, 228, u"26:40" },
            { 0.75, 26, u"6:00 PM" },
            { 0.75, 18, u"" },
            { 0.0, 29, u"0:00" },
            { 59.0, 18, u"2/28/00" },
            { 60.0, 18, u"3/1/00" },
            { -1.25, 27, u"12/29/99 6:00" },
            { 1e12, 18, u"" },
        });
    ExpectRows("de_DE.UTF-8",
        {
            { kAfternoon, 20, u"14-M\u00E4rz" },
            { kAfternoon, 28, u"3:26 PM" },
        });
}

TEST_F(NumberFormatTest, GeneralRuleAndTooNarrowCells)
{
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    // A value, its format's number, the cell's width and the text expected.
    const std::tuple<double, std::uint16_t, int, const char16_t*> rows[] = {
        { 3, 0, 1000, u"3" },
        { 0.1, 0, 1000, u"0.1" },
        { 1.0 / 3.0, 0, 1000, u"0.333333333333333" },
        { 2.0 / 3.0, 0, 50, u"0.667" },
        { 1.0 / 3.0, 0, 20, u"0" },
        { 1e-20, 0, 1000, u"0" },
        { 123456789012.0, 0, 80, u"########" },
        { 99.96, 0, 30, u"100" },
        { 0.5, 0, 0, u"" },
        { INFINITY, 0, 1000, u"inf" },
        { std::nan(""), 0, 1000, u"nan" },
        { 1e300, 0, 1000,
            u"###################################################################################################" },
        { 1234.5, 3, 79, u"#######" },
    };
    for (const auto& [value, number, width, expected] : rows) {
        CellRect rect { 10, 0, 10 + width, 20 };
        EXPECT_EQ(Format(value, number, rect), expected) << value << " in " << width;
    }
}

TEST_F(NumberFormatTest, UnusableFormatsFallBackToGeneralAndStay)
{
    UseCustomFormats({ u"0.0", u"General", u"" });
    // The format number after the print: 0 where General stood in.
    const std::pair<std::uint16_t, std::uint16_t> rows[]
        = { { 233, 233 }, { 234, 0 }, { 235, 0 }, { 236, 0 }, { 100, 0 }, { 232, 0 }, { 0x8000, 0x8000 }, { 37, 37 } };
    for (const auto& [before, after] : rows) {
        std::uint16_t number = before;
        CellText out;
        FormatNumberCell(2.5, number, kWide, out);
        EXPECT_EQ(std::u16string(out.View()), u"2.5") << before;
        EXPECT_EQ(number, after) << before;
    }
}

TEST_F(NumberFormatTest, CustomFormatsAndTheColourOverride)
{
    UseCustomFormats({ u"0.0#", u"[Red]0.00", u"0.00[Red]", u"0.00;", u"#,##0.00 \"kg\"", u"\"$\"#,##0", u"0%",
        u"0.0#%", u"[Blue]0;[Magenta]-0;[Yellow]\"zero\"", u"yyyy-mm-dd hh:mm:ss", u"h:mm AM/PM", u"h:mm a/p",
        u"dddd d\\ MMMM", u"0.00[Cy", u"0[Bl]" });
    // A value, its format's number, the text and the colour override expected.
    const std::tuple<double, std::uint16_t, const char16_t*, int> rows[] = {
        { 1.25, 233, u"1.3", 0 },
        { 1.5, 234, u"1.50", 0 },
        { 1.5, 235, u"1.50", 2 },
        { -1.5, 236, u"-1.50", 0 },
        { 1234.5, 237, u"1,234.50 kg", 0 },
        { 1234.5, 238, u"$1,235", 0 },
        { 0.256, 239, u"26%", 0 },
        { 0.2561, 240, u"25.61%", 0 },
        { -5, 241, u"-5", 0 },
        { 0, 241, u"zero", 0 },
        { kAfternoon, 242, u"2004-03-14 15:26:40", 0 },
        { kAfternoon, 243, u"3:26 PM", 0 },
        { kAfternoon, 244, u"3:26 P", 0 },
        { kAfternoon, 245, u"Sunday 14 March", 0 },
        { 1.5, 246, u"1.50", 7 },
        { 7, 247, u"7", 0 },
    };
    for (const auto& [value, number, expected, color] : rows) {
        ColorOverride() = 0;
        EXPECT_EQ(Format(value, number), expected) << value << " in " << number;
        EXPECT_EQ(ColorOverride(), color) << value << " in " << number;
    }
}

TEST_F(NumberFormatTest, CustomFormatsInGermany)
{
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    UseCustomFormats({ u"_(\"$\"* #,##0.00_)", u"#,##0.00 \"kg\"", u"dddd, d. MMMM yyyy", u"0.0#", u"\"$\"#,##0" });
    EXPECT_EQ(Format(1234.5, 233), u"\u20AC1.234,50");
    EXPECT_EQ(Format(-1234.5, 233), u"(\u20AC1.234,50)");
    EXPECT_EQ(Format(1234.5, 237), u"$1.235") << "a section that starts with quoted text copies it";
    EXPECT_EQ(Format(1234.5, 234), u"1.234,50 kg");
    EXPECT_EQ(Format(kAfternoon, 235), u"Sonntag, 14. M\u00E4rz 2004");
    EXPECT_EQ(Format(1.25, 236), u"1,3");
}

TEST_F(NumberFormatTest, SectionsOfAFormatString)
{
    // A value, the format string, the text and the result expected.
    const std::tuple<double, const char16_t*, const char16_t*, int> rows[] = {
        { -5, u"0;(0);\"nil\"", u"(5)", 1 },
        { 0, u"0;(0);\"nil\"", u"nil", 1 },
        { -5, u"0;;0", u"", 1 },
        { -5, u"0.0;", u"-5.0", 1 },
        { 0, u"0;0;", u"0", 1 },
        { 5, u"", u"", 1 },
        { 5, u"\"open", u"open", 1 },
        { 5, u"[Red", u"", 1 },
        { 5, u"General", u"", 0 },
        { 5, u"0 General", u"5 ", 0 },
        { 5, u"Gross 0", u"5", 1 },
        { 5, u"0 ? 0", u"5   5", 1 },
        { 0.5, u"0.0000000000000000000", u"0.500000000000000", 1 },
        { 5, u":mm", u"", 1 },
        { 5, u"#,##0.00\"$\"", u"5.00", 1 },
    };
    for (const auto& [value, format, expected, expectedResult] : rows) {
        int result = -1;
        EXPECT_EQ(Apply(value, format, &result), expected) << value;
        EXPECT_EQ(result, expectedResult) << value;
    }
}

TEST_F(NumberFormatTest, OutputNeverPassesItsCapacity)
{
    const std::u16string longQuote = u"\"" + std::u16string(300, u'x') + u"\"0";
    EXPECT_EQ(Apply(5, longQuote).size(), CellText::kCapacity - 1);
    const std::u16string manyMonths = std::u16string(60, u'd') + u" " + std::u16string(60, u'M');
    EXPECT_LE(Apply(kAfternoon, manyMonths).size(), CellText::kCapacity - 1);
    EXPECT_LE(Apply(1e300, u"#,##0.00").size(), CellText::kCapacity - 1);
    EXPECT_LE(Apply(-1e300, u"0.000%").size(), CellText::kCapacity - 1);
}

TEST(PrintFixedTest, ExactHalvesRoundAwayFromZero)
{
    const std::tuple<double, int, const char*> rows[] = {
        { 999.95, 1, "1000.0" }, // not an exact half in binary: below it
        { -99.995, 2, "-100.00" }, // just beyond the half in binary
        { 2.675, 2, "2.67" }, // 2.67499999... in binary
        { 0.1, 20, "0.100000000000000" },
        { 1e20, 0, "100000000000000000000" },
        { INFINITY, 2, "inf" },
        { -INFINITY, 0, "-inf" },
        // 2^-16 has sixteen decimals, the last a 5: a half at fifteen.
        { 1.0 / 65536, 15, "0.000015258789063" },
        { 4503599627370495.5, 0, "4503599627370496" }, // the largest double with a half
        { -0.0, 0, "-0" },
        { 5e-324, 15, "0.000000000000000" },
        { 1e22, 2, "10000000000000000000000.00" },
        { 2.5e22, 0, "24999999999999997902848" }, // the double nearest, printed exactly
        // Values with no more decimals than asked for, printed without rounding.
        { -0.0, 2, "-0.00" },
        { 4503599627370497.0, 3, "4503599627370497.000" },
        { 9.3e18, 1, "9300000000000000000.0" }, // beyond 2^63
        { 0.5, -3, "1" }, // places below 0 count as 0
        { NAN, 1, "nan" },
    };
    for (const auto& [value, places, expected] : rows)
        EXPECT_EQ(PrintFixed(value, places), expected) << value << " to " << places;
}

// The value with 40 decimals, cut and rounded by hand: slow, but a
// different way to the same text.
std::string ByLongDigits(double value, int places)
{
    char digits[512];
    std::snprintf(digits, sizeof digits, "%.*f", places + 40, value);
    std::string text = digits;
    const std::size_t point = text.find('.');
    const std::string rest = text.substr(point + 1 + static_cast<std::size_t>(places));
    text.resize(places == 0 ? point : point + 1 + static_cast<std::size_t>(places));
    if (rest[0] < '5')
        return text;
    // Half or more: one more in the last place, away from zero.
    int i = static_cast<int>(text.size()) - 1;
    for (; i >= 0 && (text[static_cast<std::size_t>(i)] == '9' || text[static_cast<std::size_t>(i)] == '.'); --i) {
        if (text[static_cast<std::size_t>(i)] == '9')
            text[static_cast<std::size_t>(i)] = '0';
    }
    if (i >= 0 && text[static_cast<std::size_t>(i)] != '-')
        ++text[static_cast<std::size_t>(i)];
    else
        text.insert(static_cast<std::size_t>(i + 1), 1, '1');
    return text;
}

TEST(PrintFixedTest, AgreesWithRoundingTheLongDigitsByHand)
{
    std::mt19937_64 random(20261206);
    for (int i = 0; i < 100000; ++i) {
        const int places = static_cast<int>(random() % 16);
        double value = 0;
        switch (i % 4) {
        case 0: // cents, where halves in decimal are near but rarely exact
            value = static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) / 1000.0;
            break;
        case 1: // binary fractions, many of them exact halves
            value = std::ldexp(static_cast<double>(static_cast<std::int64_t>(random() % 200001) - 100000),
                -static_cast<int>(random() % 20));
            break;
        case 2: // every bit of the significand in use
            value = std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 70));
            break;
        default:
            value = -std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 40) - 60);
            break;
        }
        ASSERT_EQ(PrintFixed(value, places), ByLongDigits(value, places)) << value << " to " << places;
    }
}

} // namespace
} // namespace spreadsheet
