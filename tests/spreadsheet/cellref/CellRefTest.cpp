#include "CellRef.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <tuple>

namespace spreadsheet {
namespace {

constexpr std::uint16_t kUntouched = 0x7777;

TEST(ParseCellRefTest, ReadsOrRejectsReferences)
{
    // The text, the result and the column and row read.
    const std::tuple<const char16_t*, int, std::uint16_t, std::uint16_t> rows[] = {
        { u"A1", 1, 0, 0 },
        { u"b12", 1, 1, 11 },
        { u"AA 3", 1, 26, 2 },
        { u"AA  3", 0, kUntouched, kUntouched },
        { u"IV1", 1, 255, 0 },
        { u"IW1", 0, kUntouched, kUntouched },
        { u"A0", 0, kUntouched, kUntouched },
        { u"A007", 1, 0, 6 },
        { u"A16384", 1, 0, 16383 },
        { u"A16385", 0, kUntouched, kUntouched },
        { u"A4294967297", 0, kUntouched, kUntouched },
        { u"A99999999999999999999999", 0, kUntouched, kUntouched },
        { u"C5xyz", 1, 2, 4 },
        { u"C5 7", 1, 2, 4 },
        { u"AB", 0, kUntouched, kUntouched },
        { u" A1", 0, kUntouched, kUntouched },
        { u"1A", 0, kUntouched, kUntouched },
        { u"", 0, kUntouched, kUntouched },
        { u"\u00c41", 0, kUntouched, kUntouched },
        { u"A-1", 0, kUntouched, kUntouched },
    };
    for (const auto& [text, result, expectedColumn, expectedRow] : rows) {
        std::uint16_t column = kUntouched;
        std::uint16_t row = kUntouched;
        const std::u16string shown = text;
        SCOPED_TRACE(std::string(shown.begin(), shown.end()));
        EXPECT_EQ(ParseCellRef(text, column, row), result);
        EXPECT_EQ(column, expectedColumn);
        EXPECT_EQ(row, expectedRow);
    }
}

TEST(CellNameTest, WritesNames)
{
    const std::tuple<std::uint16_t, std::uint16_t, const char16_t*> rows[] = {
        { 0, 0, u"A1" },
        { 0xFFFF, 0xFFFF, u"A1" },
        { 27, 9, u"AB10" },
        { 300, 20000, u"IV16385" },
        { 255, 16383, u"IV16384" },
        { 2, 0xFFFE, u"C16385" },
    };
    for (const auto& [column, row, name] : rows) {
        char16_t output[kCellNameUnits];
        std::fill(std::begin(output), std::end(output), u'#');
        CellName(output, column, row);
        EXPECT_EQ(std::u16string(output), std::u16string(name)) << column << "," << row;
    }
}

} // namespace
} // namespace spreadsheet
