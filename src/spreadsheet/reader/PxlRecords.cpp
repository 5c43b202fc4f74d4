#include "PxlRecords.h"

#include "ByteCursor.h"

#include <algorithm>

namespace spreadsheet {

const PxlRecordTableEntry* FindRecordType(std::uint8_t type)
{
    auto found = std::lower_bound(PxlRecordTable.begin(), PxlRecordTable.end(), type,
        [](const PxlRecordTableEntry& entry, std::uint8_t wanted) { return entry.Type < wanted; });
    if (found == PxlRecordTable.end() || found->Type != type)
        return nullptr;
    return &*found;
}

RecordSize RecordLength(std::span<const std::uint8_t> record)
{
    RecordSize size;
    ByteCursor cursor(record);
    auto type = cursor.U8At(0);
    if (!type)
        return size;
    const PxlRecordTableEntry* entry = FindRecordType(*type);
    if (!entry || !cursor.Contains(0, entry->FixedLength))
        return size;
    size.Fixed = entry->FixedLength;
    // The table guarantees that every count lies inside the fixed part,
    // which has just been found inside the record.
    const std::size_t at = entry->CountOffset;
    switch (entry->Kind) {
    case PayloadKind::None:
    case PayloadKind::NoneToo:
        break;
    case PayloadKind::ByteCountChars:
        size.Payload = cursor.U8At(at).value_or(0) * 2u;
        break;
    case PayloadKind::WordCountChars:
        size.Payload = (cursor.U16At(at).value_or(0) * 2u) & 0xFFFFu;
        break;
    case PayloadKind::ByteCountBytes:
        size.Payload = cursor.U8At(at).value_or(0);
        break;
    case PayloadKind::WordCountBytes:
        size.Payload = cursor.U16At(at).value_or(0);
        break;
    case PayloadKind::WordCountSixes:
        size.Payload = (cursor.U16At(at).value_or(0) * 6u) & 0xFFFFu;
        break;
    case PayloadKind::CharsPlusBytes:
        size.Payload = cursor.U8At(3).value_or(0) * 2u + cursor.U16At(4).value_or(0);
        break;
    }
    size.Valid = cursor.Contains(0, size.Total());
    return size;
}

FormulaResultKind FormulaResult(std::span<const std::uint8_t> record)
{
    ByteCursor cursor(record);
    if (cursor.U16At(field::kFormulaResultMarker).value_or(0) != kFormulaNotNumberMarker)
        return FormulaResultKind::Number;
    switch (cursor.U8At(field::kFormulaResult).value_or(0)) {
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
