// Formats a value with an arbitrary format string and format number.
// Input: 8 bytes of the value, 2 of the format number, 1 choosing the
// locale and the cell width, then the format string in UTF-16.
#include "CellValueFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Narrow(const char16_t*, int count, int maxWidth)
{
    return count < maxWidth / 8 ? count : maxWidth / 8;
}

constexpr std::size_t kHeaderSize = 11;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool initialised = [] {
        spreadsheet::SetCellTextMeasure(Narrow);
        return true;
    }();
    (void)initialised;
    if (size < kHeaderSize)
        return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    std::uint16_t number = static_cast<std::uint16_t>(data[8] | (data[9] << 8));
    const std::uint8_t choice = data[10];
    setenv("LC_ALL", (choice & 1) ? "de_DE.UTF-8" : "en_US.UTF-8", 1);
    std::u16string format;
    for (std::size_t i = kHeaderSize; i + 1 < size; i += 2)
        format.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    spreadsheet::CellText out;
    spreadsheet::ApplyFormatString(out, value, format.data(), format.size());
    spreadsheet::CellText cell;
    const std::int32_t width = (choice >> 1) * 8;
    spreadsheet::FormatNumberCell(value, number, spreadsheet::CellRect { 0, 0, width, 20 }, cell);
    spreadsheet::ColorOverride() = 0;
    return 0;
}
