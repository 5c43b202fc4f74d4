#pragma once

// Turns the number of a number cell (or a formula's numeric result) into
// the text printed for it, by the number-format number of its cell format:
// fixed renderings, built-in and locale variant format strings, the
// workbook's own format strings, and the General rule that fits the text
// to the column.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace spreadsheet {

// The text of one cell: at most 99 UTF-16 units and a terminator. Appends
// past the capacity are cut off and mark the text as overflowed.
class CellText {
public:
    static constexpr std::size_t kCapacity = 100;

    void Clear()
    {
        length_ = 0;
        text_[0] = u'\0';
        overflowed_ = false;
    }
    void Append(char16_t unit);
    void Append(std::u16string_view text);
    void AppendAscii(const char* text);
    // Room for units still free, not counting the terminator.
    std::size_t Room() const { return kCapacity - 1 - length_; }
    // Where a platform call may write (Room() + 1 units with its terminator);
    // Advance then takes the units it wrote.
    char16_t* End() { return text_ + length_; }
    void Advance(std::size_t count);
    void Truncate(std::size_t length);
    void Remove(char16_t unit);

    std::size_t Length() const { return length_; }
    const char16_t* Data() const { return text_; }
    std::u16string_view View() const { return { text_, length_ }; }
    // True when an append was cut off: the text is longer than it shows.
    bool Overflowed() const { return overflowed_; }

private:
    char16_t text_[kCapacity] = {};
    std::size_t length_ = 0;
    bool overflowed_ = false;
};

// The cell's text rectangle in unscaled layout units.
struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// How many of the first `count` units of `text` fit in `maxWidth` layout
// units with the current cell font. The cell drawing installs its measure;
// without one every text fits.
using FitCharacters = int (*)(const char16_t* text, int count, int maxWidth);
void SetCellTextMeasure(FitCharacters measure);
int FitInWidth(std::u16string_view text, int maxWidth);

// The colour override set by a bracketed colour name: an index 0..7 into
// the colour names, which is also a palette index. The cell drawing draws
// with it and sets it back to 0.
int& ColorOverride();

// Fills `out` with the text of `value` in number format `formatNumber`.
// When the format turns out unusable, `formatNumber` is set to 0 and the
// General rule is used. Text that does not fit the rectangle becomes a row
// of "#".
void FormatNumberCell(double value, std::uint16_t& formatNumber, const CellRect& rect, CellText& out);

// Appends `value` formatted by the format string (length units). 1 when the
// output holds the text, 0 when the format says "General".
int ApplyFormatString(CellText& out, double value, const char16_t* format, std::size_t length);

// The General rule: the shortest text of the value, with decimals dropped
// until it fits `width`.
void FormatGeneral(CellText& out, double value, int width);

// value × 100 with zeros + optional decimals, optional trailing zeros
// dropped, then "%".
void FormatPercent(CellText& out, double value, int zeros, int optional);

// The nearest fraction with a denominator up to maxDenominator.
void FormatFraction(CellText& out, double value, int maxDenominator);

// What a number section of a format string has said about its number.
struct NumberSectionFlags {
    bool Digits = false;
    int Zeros = 0;
    int Optional = 0;
    bool Thousands = false;
    bool Percent = false;
    bool Parentheses = false;
    bool Currency = false;
};

// Appends the number of a number section, through the locale's currency
// formatting for separators, grouping, sign and symbol.
void EmitNumber(CellText& out, double value, const NumberSectionFlags& flags);

} // namespace spreadsheet
