#include "PxlRecords.h"

#include <array>

namespace spreadsheet {

namespace {

// Where each record type's entry is in the table, plus one; 0 for a type the
// table lacks. Every record of a sheet walk is looked up, several times.
constexpr std::array<std::uint8_t, 256> kEntryOfType = [] {
    std::array<std::uint8_t, 256> entries {};
    for (std::size_t i = 0; i < PxlRecordTable.size(); ++i)
        entries[PxlRecordTable[i].Type] = static_cast<std::uint8_t>(i + 1);
    return entries;
}();
static_assert(PxlRecordTable.size() < 256, "entry positions plus one fit a byte");

} // namespace

const PxlRecordTableEntry* FindRecordType(std::uint8_t type)
{
    const std::uint8_t entry = kEntryOfType[type];
    return entry == 0 ? nullptr : &PxlRecordTable[entry - 1u];
}

RecordSize RecordLength(std::span<const std::uint8_t> record)
{
    RecordSize size;
    if (record.empty())
        return size;
    const PxlRecordTableEntry* entry = FindRecordType(record[0]);
    if (!entry || entry->FixedLength > record.size())
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
        size.Payload = FieldU8(record, at) * 2u;
        break;
    case PayloadKind::WordCountChars:
        size.Payload = (FieldU16(record, at) * 2u) & 0xFFFFu;
        break;
    case PayloadKind::ByteCountBytes:
        size.Payload = FieldU8(record, at);
        break;
    case PayloadKind::WordCountBytes:
        size.Payload = FieldU16(record, at);
        break;
    case PayloadKind::WordCountSixes:
        size.Payload = (FieldU16(record, at) * 6u) & 0xFFFFu;
        break;
    case PayloadKind::CharsPlusBytes:
        size.Payload = FieldU8(record, 3) * 2u + FieldU16(record, 4);
        break;
    }
    size.Valid = size.Total() <= record.size();
    return size;
}

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
