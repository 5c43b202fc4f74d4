#pragma once

// The in-memory model of the one open workbook: its sheets with their
// populated range, selection, default sizes and column and row information,
// its fonts, and the places of its cell formats and number formats inside
// the mapped file. Cell records are not copied; the printer walks them again
// from each sheet's StartRecord with RecordLength.

#include "FileMapping.h"
#include "PxlRecords.h"

#include <plotwise/plotwise_types.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace spreadsheet {

struct ColumnInfo {
    std::int16_t FirstColumn = 0;
    std::int16_t LastColumn = 0;
    std::int16_t Width = 0; // 1/256 of the "0" width; 0 when hidden or below 32
    std::uint16_t FormatIndex = 0;
};

struct RowInfo {
    std::int16_t Row = 0;
    std::int16_t Height = 0; // twips; 0 when hidden
};

struct SheetInfo {
    // Offset of the sheet's SheetBegin record in the view; kNoRecord until
    // its sub-stream has been seen.
    std::size_t StartRecord = kNoRecord;
    std::uint16_t MinCol = 0xFFFF;
    std::uint16_t MinRow = 0xFFFF;
    std::uint16_t MaxCol = 0;
    std::uint16_t MaxRow = 0;
    std::uint16_t SelFirstCol = 0;
    std::uint16_t SelFirstRow = 0;
    std::uint16_t SelLastCol = 0;
    std::uint16_t SelLastRow = 0;
    std::int16_t DefaultColWidth = 0;
    std::int16_t DefaultRowHeight = 0;
    std::vector<ColumnInfo> Columns; // file order
    std::vector<RowInfo> Rows; // file order
    std::u16string SheetName;

    // Found while reading the sheet's records, for the printer: where they
    // end (its SheetEnd record, or the end of the view; kNoRecord when the
    // reading stopped inside them), its first cell record, and, while the
    // cells stand in row order with no column or row record after the first
    // cell, the first record of each row.
    std::size_t EndRecord = kNoRecord;
    std::size_t FirstCellRecord = kNoRecord;
    bool CellsInRowOrder = true;
    std::vector<std::pair<std::uint16_t, std::size_t>> RowStarts;

    static constexpr std::size_t kNoRecord = static_cast<std::size_t>(-1);
};

struct FontEntry {
    std::size_t Record = 0; // offset of its FontRecord in the view
    HFONT Font = nullptr; // at 100 %, made by the cell drawing
    HFONT ScaledFont = nullptr; // at the current print scale
    std::int32_t AverageWidth = 0; // unscaled printer units
    std::int32_t TextHeight = 0;
};

struct PxlWorkbook {
    // The mapped view. `View` is empty when no workbook is open; a workbook
    // read from memory has no file, mapping or mapped view.
    std::span<const std::uint8_t> View;
    platform::HANDLE File = platform::INVALID_HANDLE_VALUE;
    platform::HANDLE Mapping = nullptr;
    const void* MappedView = nullptr;
    std::vector<SheetInfo> Sheets; // SheetEntry order
    std::vector<FontEntry> Fonts; // file order
    const std::uint8_t* FirstCellFormat = nullptr;
    std::size_t CellFormatCount = 0;
    const std::uint8_t* FirstNumberFormat = nullptr;
    std::uint16_t NumberFormatCount = 0;
    // Index into Sheets of the sheet the walk is filling; kNoSheet for none.
    std::size_t CurrentSheet = kNoSheet;

    // Offsets of every CellFormat and NumberFormat record in file order. The
    // lookups use them, so a file whose format records do not follow each
    // other is still read in bounds.
    std::vector<std::size_t> CellFormatRecords;
    std::vector<std::size_t> NumberFormatRecords;

    static constexpr std::size_t kNoSheet = static_cast<std::size_t>(-1);
};

// The one workbook of the process.
PxlWorkbook& Workbook();

// A record of the view, from its type byte to the end of the view.
std::span<const std::uint8_t> RecordAt(std::size_t offset);

// The sheet at index in SheetEntry order, or null.
SheetInfo* SheetAt(std::size_t index);

// The 23 bytes of cell format `index`. An index outside the list gives a
// built-in neutral format (font 0, General, no background, no borders), so
// a damaged reference never reads outside the file.
std::span<const std::uint8_t> CellFormatAt(std::size_t index);

// The FontRecord of font `index`. An index outside the list gives a built-in
// 10-point "Arial" record; FontEntryAt gives null then.
std::span<const std::uint8_t> FontAt(std::size_t index);
FontEntry* FontEntryAt(std::size_t index);

// The NumberFormat record of custom number format `number` (233 and up), or
// an empty span when the workbook has no such record.
std::span<const std::uint8_t> NumberFormatAt(std::uint16_t number);

// The text of custom number format `number`, empty when there is none.
std::u16string NumberFormatText(std::uint16_t number);

inline constexpr std::uint16_t kFirstCustomNumberFormat = 233;

} // namespace spreadsheet
