#include "PxlRecords.h"

namespace spreadsheet {

FormulaResultKind FormulaResult(std::span<const std::uint8_t> record)
{
    if (FieldU16(record, field::kFormulaResultMarker) != kFormulaNotNumberMarker)
        return FormulaResultKind::Number;
    switch (FieldU8(record, field::kFormulaResult)) {
    case 0:
        return FormulaResultKind::Text;
    case 1:
        return FormulaResultKind::Boolean;
    case 2:
        return FormulaResultKind::Error;
    default:
        return FormulaResultKind::Empty;
    }
}

std::u16string RecordText(std::span<const std::uint8_t> record, std::size_t offset, std::size_t count)
{
    ByteCursor cursor(record);
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i) {
        auto unit = cursor.U16At(offset + 2 * i);
        if (!unit)
            break;
        text.push_back(static_cast<char16_t>(*unit));
    }
    return text;
}

} // namespace spreadsheet
