#include "CellRef.h"

namespace spreadsheet {
namespace {

constexpr std::uint16_t kNoCell = 0xFFFF;
constexpr unsigned kLettersInAlphabet = 26;

// The column value of a letter of either case, or -1.
int LetterValue(char16_t unit)
{
    if (unit >= u'A' && unit <= u'Z')
        return unit - u'A';
    if (unit >= u'a' && unit <= u'z')
        return unit - u'a';
    return -1;
}

bool IsDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

} // namespace

int ParseCellRef(const char16_t* text, std::uint16_t& column, std::uint16_t& row)
{
    const char16_t* cursor = text;
    int first = LetterValue(*cursor);
    if (first < 0)
        return 0;
    ++cursor;
    unsigned parsedColumn = static_cast<unsigned>(first);
    if (int second = LetterValue(*cursor); second >= 0) {
        parsedColumn = (parsedColumn + 1) * kLettersInAlphabet + static_cast<unsigned>(second);
        ++cursor;
    }
    if (parsedColumn > kMaxColumn)
        return 0;
    if (*cursor == u' ')
        ++cursor;
    if (!IsDigit(*cursor))
        return 0;

    // Leaving as soon as the value passes the last row keeps the arithmetic
    // within 32 bits however many digits follow.
    std::uint32_t rowNumber = 0;
    for (; IsDigit(*cursor); ++cursor) {
        rowNumber = rowNumber * 10 + static_cast<std::uint32_t>(*cursor - u'0');
        if (rowNumber > kMaxRowNumber)
            return 0;
    }
    if (rowNumber == 0)
        return 0;

    column = static_cast<std::uint16_t>(parsedColumn);
    row = static_cast<std::uint16_t>(rowNumber - 1);
    return 1;
}

void CellName(char16_t* output, std::uint16_t column, std::uint16_t row)
{
    unsigned shownColumn = column == kNoCell ? 0 : column;
    if (shownColumn > kMaxColumn)
        shownColumn = kMaxColumn;
    std::uint32_t shownRow = row == kNoCell ? 0 : row;
    if (shownRow > kMaxRowNumber)
        shownRow = kMaxRowNumber;
    std::uint32_t rowNumber = shownRow + 1;

    char16_t* out = output;
    if (shownColumn < kLettersInAlphabet) {
        *out++ = static_cast<char16_t>(u'A' + shownColumn);
    } else {
        *out++ = static_cast<char16_t>(u'A' - 1 + shownColumn / kLettersInAlphabet);
        *out++ = static_cast<char16_t>(u'A' + shownColumn % kLettersInAlphabet);
    }

    char16_t digits[5];
    int count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + rowNumber % 10);
        rowNumber /= 10;
    } while (rowNumber != 0);
    while (count > 0)
        *out++ = digits[--count];
    *out = u'\0';
}

} // namespace spreadsheet
