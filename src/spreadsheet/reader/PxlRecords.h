#pragma once

// The record stream of a Pocket Excel workbook: record types, the table of
// their fixed lengths and payload rules, the field offsets of the records
// the program reads, and RecordLength, shared by the reader and the page
// walk of the printer.

#include "ByteCursor.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace spreadsheet {

enum class PxlRecordType : std::uint8_t {
    BlankCell = 1,
    NumberCell = 3,
    TextCell = 4,
    BoolErrCell = 5,
    FormulaCell = 6,
    FormulaString = 7,
    RowInfo = 8,
    SheetBegin = 9,
    SheetEnd = 10,
    Selection = 29,
    NumberFormat = 30,
    DefaultRowHeight = 37,
    FilePassword = 47,
    FontRecord = 49,
    WindowInfo = 61,
    DefaultColWidth = 85,
    ColumnInfo = 125,
    SheetEntry = 133,
    Rejected = 158,
    CellFormat = 224,
};

// How the count stored in a record's fixed part becomes its payload length.
enum class PayloadKind : std::uint8_t {
    None = 0,
    ByteCountChars = 1, // byte × 2
    WordCountChars = 2, // 16-bit × 2, kept to 16 bits
    ByteCountBytes = 3, // byte
    WordCountBytes = 4, // 16-bit
    WordCountSixes = 5, // 16-bit × 6, kept to 16 bits
    NoneToo = 6,
    CharsPlusBytes = 7, // byte at 3 × 2 + 16-bit at 4
};

// What the reader does with a record of the type.
enum class RecordUse : std::uint8_t {
    Read,
    Skipped,
    Rejected,
};

struct PxlRecordTableEntry {
    std::uint8_t Type;
    const char* Name; // null for the types the program only skips
    std::uint8_t FixedLength;
    PayloadKind Kind;
    std::uint8_t CountOffset;
    RecordUse Use;
};

inline constexpr std::array<PxlRecordTableEntry, 32> PxlRecordTable { {
    { 1, "BlankCell", 6, PayloadKind::None, 0, RecordUse::Read },
    { 3, "NumberCell", 14, PayloadKind::None, 0, RecordUse::Read },
    { 4, "TextCell", 8, PayloadKind::WordCountChars, 6, RecordUse::Read },
    { 5, "BoolErrCell", 8, PayloadKind::None, 0, RecordUse::Read },
    { 6, "FormulaCell", 17, PayloadKind::WordCountBytes, 15, RecordUse::Read },
    { 7, "FormulaString", 3, PayloadKind::ByteCountChars, 1, RecordUse::Read },
    { 8, "RowInfo", 9, PayloadKind::None, 0, RecordUse::Read },
    { 9, "SheetBegin", 5, PayloadKind::None, 0, RecordUse::Read },
    { 10, "SheetEnd", 1, PayloadKind::None, 0, RecordUse::Read },
    { 20, nullptr, 2, PayloadKind::ByteCountChars, 1, RecordUse::Skipped },
    { 21, nullptr, 2, PayloadKind::ByteCountChars, 1, RecordUse::Skipped },
    { 24, nullptr, 8, PayloadKind::CharsPlusBytes, 0, RecordUse::Skipped },
    { 27, nullptr, 3, PayloadKind::WordCountSixes, 1, RecordUse::Skipped },
    { 29, "Selection", 10, PayloadKind::None, 0, RecordUse::Read },
    { 30, "NumberFormat", 2, PayloadKind::ByteCountChars, 1, RecordUse::Read },
    { 37, "DefaultRowHeight", 5, PayloadKind::None, 0, RecordUse::Read },
    { 41, nullptr, 33, PayloadKind::None, 0, RecordUse::Skipped },
    { 43, nullptr, 3, PayloadKind::None, 0, RecordUse::Skipped },
    { 47, "FilePassword", 1, PayloadKind::None, 0, RecordUse::Read },
    { 49, "FontRecord", 16, PayloadKind::ByteCountChars, 15, RecordUse::Read },
    { 61, "WindowInfo", 5, PayloadKind::None, 0, RecordUse::Read },
    { 62, nullptr, 6, PayloadKind::None, 0, RecordUse::Skipped },
    { 65, nullptr, 10, PayloadKind::None, 0, RecordUse::Skipped },
    { 66, nullptr, 3, PayloadKind::None, 0, RecordUse::Skipped },
    { 85, "DefaultColWidth", 7, PayloadKind::None, 0, RecordUse::Read },
    { 125, "ColumnInfo", 10, PayloadKind::None, 0, RecordUse::Read },
    { 133, "SheetEntry", 3, PayloadKind::ByteCountChars, 2, RecordUse::Read },
    { 140, nullptr, 5, PayloadKind::None, 0, RecordUse::Skipped },
    { 158, nullptr, 25, PayloadKind::None, 0, RecordUse::Rejected },
    { 160, nullptr, 5, PayloadKind::None, 0, RecordUse::Skipped },
    { 161, nullptr, 35, PayloadKind::None, 0, RecordUse::Skipped },
    { 224, "CellFormat", 23, PayloadKind::None, 0, RecordUse::Read },
} };

namespace detail {
constexpr bool TableIsSortedAndSound()
{
    for (std::size_t i = 0; i < PxlRecordTable.size(); ++i) {
        const auto& entry = PxlRecordTable[i];
        if (i > 0 && PxlRecordTable[i - 1].Type >= entry.Type)
            return false;
        if (entry.FixedLength == 0)
            return false;
        // Every count must be read from inside the fixed part.
        std::size_t countEnd = 0;
        switch (entry.Kind) {
        case PayloadKind::ByteCountChars:
        case PayloadKind::ByteCountBytes:
            countEnd = entry.CountOffset + 1u;
            break;
        case PayloadKind::WordCountChars:
        case PayloadKind::WordCountBytes:
        case PayloadKind::WordCountSixes:
            countEnd = entry.CountOffset + 2u;
            break;
        case PayloadKind::CharsPlusBytes:
            countEnd = 6;
            break;
        case PayloadKind::None:
        case PayloadKind::NoneToo:
            break;
        }
        if (countEnd > entry.FixedLength)
            return false;
    }
    return true;
}
} // namespace detail

static_assert(
    detail::TableIsSortedAndSound(), "the record table is sorted by type and its counts lie in the fixed part");

// The table row of a type byte, or null for a type the program does not accept.
// Every record of the workbook is looked up while it is read, and again as
// it prints: both are inline.
constexpr const PxlRecordTableEntry* FindRecordType(std::uint8_t type);

// The size of the record at the start of `record` (which runs to the end of
// the mapped file). Valid is false when the type is unknown or when the
// fixed part or the payload runs past the end of `record`.
struct RecordSize {
    std::uint32_t Fixed = 0;
    std::uint32_t Payload = 0;
    bool Valid = false;

    std::uint32_t Total() const { return Fixed + Payload; }
};

inline RecordSize RecordLength(std::span<const std::uint8_t> record);

// Field offsets, counted from the type byte.
namespace field {
inline constexpr std::size_t kSheetBeginVersion = 1;
inline constexpr std::size_t kSheetBeginKind = 3;
inline constexpr std::size_t kSheetEntryNameLength = 2;
inline constexpr std::size_t kSheetEntryName = 3;
inline constexpr std::size_t kFontHeight = 1;
inline constexpr std::size_t kFontAttributes = 3;
inline constexpr std::size_t kFontColor = 5;
inline constexpr std::size_t kFontWeight = 7;
inline constexpr std::size_t kFontUnderline = 11;
inline constexpr std::size_t kFontFamily = 12;
inline constexpr std::size_t kFontCharset = 13;
inline constexpr std::size_t kFontNameLength = 15;
inline constexpr std::size_t kFontName = 16;
inline constexpr std::size_t kCellFormatFont = 1;
inline constexpr std::size_t kCellFormatNumberFormat = 3;
inline constexpr std::size_t kCellFormatLayout = 11;
inline constexpr std::size_t kCellFormatBackground = 15;
inline constexpr std::size_t kCellFormatTopBorderColor = 17;
inline constexpr std::size_t kCellFormatLeftBorderColor = 18;
inline constexpr std::size_t kCellFormatBottomBorderColor = 19;
inline constexpr std::size_t kCellFormatRightBorderColor = 20;
inline constexpr std::size_t kNumberFormatLength = 1;
inline constexpr std::size_t kNumberFormatText = 2;
inline constexpr std::size_t kWindowInfoActiveSheet = 3;
inline constexpr std::size_t kDefaultColWidthFlags = 1;
inline constexpr std::size_t kDefaultColWidthWidth = 3;
inline constexpr std::size_t kDefaultRowHeightFlags = 1;
inline constexpr std::size_t kDefaultRowHeightHeight = 3;
inline constexpr std::size_t kSelectionFirstRow = 1;
inline constexpr std::size_t kSelectionFirstColumn = 3;
inline constexpr std::size_t kSelectionLastRow = 4;
inline constexpr std::size_t kSelectionLastColumn = 6;
inline constexpr std::size_t kColumnInfoFirst = 1;
inline constexpr std::size_t kColumnInfoLast = 3;
inline constexpr std::size_t kColumnInfoWidth = 5;
inline constexpr std::size_t kColumnInfoFormat = 7;
inline constexpr std::size_t kColumnInfoFlags = 9;
inline constexpr std::size_t kRowInfoRow = 1;
inline constexpr std::size_t kRowInfoHeight = 3;
inline constexpr std::size_t kRowInfoFlags = 5;
inline constexpr std::size_t kRowInfoFormat = 7;
inline constexpr std::size_t kCellRow = 1;
inline constexpr std::size_t kCellColumn = 3;
inline constexpr std::size_t kCellFormatIndex = 4;
inline constexpr std::size_t kNumberCellValue = 6;
inline constexpr std::size_t kTextCellLength = 6;
inline constexpr std::size_t kTextCellText = 8;
inline constexpr std::size_t kBoolErrValue = 6;
inline constexpr std::size_t kBoolErrError = 7;
inline constexpr std::size_t kFormulaResult = 6;
inline constexpr std::size_t kFormulaResultMarker = 12;
inline constexpr std::size_t kFormulaBooleanValue = 8;
inline constexpr std::size_t kFormulaBytesLength = 15;
inline constexpr std::size_t kFormulaStringLength = 1;
inline constexpr std::size_t kFormulaStringText = 3;
} // namespace field

inline constexpr std::uint16_t kWorksheetKind = 16;
inline constexpr std::uint16_t kPocketExcel1Version = 9;
inline constexpr std::uint16_t kFirstSupportedVersion = 270;
inline constexpr std::uint16_t kLastSupportedVersion = 271;
inline constexpr std::uint16_t kFormulaNotNumberMarker = 0xFFFF;
inline constexpr std::size_t kCellFormatLength = 23;

// Result kinds of a formula whose cached result is not a number.
enum class FormulaResultKind : std::uint8_t {
    Number = 0xFF,
    Text = 0,
    Boolean = 1,
    Error = 2,
    Empty = 3,
};

// Fields of a record, read through the bounds-checked cursor; 0 for a field
// that does not lie wholly inside `record`.
inline std::uint8_t FieldU8(std::span<const std::uint8_t> record, std::size_t offset)
{
    return ByteCursor(record).U8At(offset).value_or(0);
}
inline std::uint16_t FieldU16(std::span<const std::uint8_t> record, std::size_t offset)
{
    return ByteCursor(record).U16At(offset).value_or(0);
}
inline std::int16_t FieldI16(std::span<const std::uint8_t> record, std::size_t offset)
{
    return ByteCursor(record).I16At(offset).value_or(0);
}
inline double FieldF64(std::span<const std::uint8_t> record, std::size_t offset)
{
    return ByteCursor(record).F64At(offset).value_or(0.0);
}

namespace detail {
// Where each record type's entry is in the table, plus one; 0 for a type the
// table lacks.
inline constexpr std::array<std::uint8_t, 256> kEntryOfType = [] {
    std::array<std::uint8_t, 256> entries {};
    for (std::size_t i = 0; i < PxlRecordTable.size(); ++i)
        entries[PxlRecordTable[i].Type] = static_cast<std::uint8_t>(i + 1);
    return entries;
}();
static_assert(PxlRecordTable.size() < 256, "entry positions plus one fit a byte");
} // namespace detail

constexpr const PxlRecordTableEntry* FindRecordType(std::uint8_t type)
{
    const std::uint8_t entry = detail::kEntryOfType[type];
    return entry == 0 ? nullptr : &PxlRecordTable[entry - 1u];
}

namespace detail {
[[gnu::always_inline]] inline RecordSize SizeWith(
    const PxlRecordTableEntry& entry, std::span<const std::uint8_t> record)
{
    RecordSize size;
    if (entry.FixedLength > record.size())
        return size;
    size.Fixed = entry.FixedLength;
    // The table guarantees that every count lies inside the fixed part,
    // which has just been found inside the record.
    const std::size_t at = entry.CountOffset;
    switch (entry.Kind) {
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

// The size of a record of a type known here, from its table row known
// while compiling.
template <PxlRecordType Type> [[gnu::always_inline]] inline RecordSize SizeOf(std::span<const std::uint8_t> record)
{
    // A type without a row would not compile: the null row is read here.
    constexpr PxlRecordTableEntry entry = *FindRecordType(static_cast<std::uint8_t>(Type));
    return SizeWith(entry, record);
}
} // namespace detail

// Inline, and whole: a size returned from a call of its own is stored in
// parts and read back whole, and the processor stalls on that.
[[gnu::always_inline]] inline RecordSize RecordLength(std::span<const std::uint8_t> record)
{
    if (record.empty())
        return {};
    // Cells are nearly all of a sheet's records. Sized from their rows known
    // while compiling, the walk from one cell to the next waits for no table
    // lookup.
    switch (static_cast<PxlRecordType>(record[0])) {
    case PxlRecordType::NumberCell:
        return detail::SizeOf<PxlRecordType::NumberCell>(record);
    case PxlRecordType::TextCell:
        return detail::SizeOf<PxlRecordType::TextCell>(record);
    case PxlRecordType::BlankCell:
        return detail::SizeOf<PxlRecordType::BlankCell>(record);
    case PxlRecordType::BoolErrCell:
        return detail::SizeOf<PxlRecordType::BoolErrCell>(record);
    case PxlRecordType::FormulaCell:
        return detail::SizeOf<PxlRecordType::FormulaCell>(record);
    default:
        break;
    }
    const PxlRecordTableEntry* entry = FindRecordType(record[0]);
    return entry ? detail::SizeWith(*entry, record) : RecordSize {};
}

// The kind of a FormulaCell's cached result; Number when bytes 12-13 are not
// 0xFFFF. `record` must hold the whole fixed part.
FormulaResultKind FormulaResult(std::span<const std::uint8_t> record);

// The UTF-16 text of a record: `count` units from `offset`, cut to the units
// that lie inside `record` (a count may claim more than the payload holds,
// for example the 16-bit length of a FormulaString).
std::u16string RecordText(std::span<const std::uint8_t> record, std::size_t offset, std::size_t count);

} // namespace spreadsheet
