#include "WorkbookReader.h"

#include "AppSettings.h"
#include "Messages.h"
#include "PrintingLibrary.h"
#include "StringIds.h"

#include <algorithm>
#include <array>
#include <optional>

namespace spreadsheet {
namespace {

constexpr std::uint16_t kSheetFromWorkbook = 0xFFFF;
constexpr std::int16_t kNarrowestColumnWidth = 32;
constexpr std::uint8_t kHiddenFlag = 0x01;

PxlWorkbook workbook;
DrawingRelease drawingRelease = nullptr;

constexpr bool HoldsRowAndColumn(PxlRecordType type)
{
    const PxlRecordTableEntry entry = *FindRecordType(static_cast<std::uint8_t>(type));
    return entry.FixedLength > field::kCellColumn && entry.FixedLength > field::kCellRow + 1;
}
static_assert(HoldsRowAndColumn(PxlRecordType::BlankCell) && HoldsRowAndColumn(PxlRecordType::NumberCell)
        && HoldsRowAndColumn(PxlRecordType::TextCell) && HoldsRowAndColumn(PxlRecordType::BoolErrCell),
    "a plain cell's fixed part holds its row and column");

bool IsPlainCell(std::uint8_t type)
{
    switch (static_cast<PxlRecordType>(type)) {
    case PxlRecordType::BlankCell:
    case PxlRecordType::NumberCell:
    case PxlRecordType::TextCell:
    case PxlRecordType::BoolErrCell:
        return true;
    default:
        return false;
    }
}

// What one record does to the walk.
enum class Step {
    Continue,
    Stop, // a message has been shown
};

class RecordWalk {
public:
    RecordWalk(std::span<const std::uint8_t> view, const char16_t* name)
        : view_(view)
        , name_(name ? name : u"")
    {
    }

    int Run();

private:
    Step Read(std::size_t offset, std::span<const std::uint8_t> record);
    int Invalid();
    SheetInfo* Current();
    void WidenRange(std::span<const std::uint8_t> record);
    void IndexRows(std::size_t offset, std::span<const std::uint8_t> record);
    void IndexRow(std::size_t offset, std::optional<std::uint16_t> row);
    bool ReadPlainCells(std::size_t& offset);

    std::span<const std::uint8_t> view_;
    const char16_t* name_;
    // The sheet whose records from its StartRecord on are being read, or null.
    SheetInfo* indexed_ = nullptr;
    // The row of the text formula whose result the next FormulaString carries.
    std::optional<std::uint16_t> formulaRow_;
};

// Shows "Invalid PXL file : " with the name; the reading ends with 0.
int RecordWalk::Invalid()
{
    core::ShowMessageIdWithText(kInvalidWorkbookMessage, core::PathAsWritten(name_).c_str());
    return 0;
}

SheetInfo* RecordWalk::Current()
{
    return workbook.CurrentSheet < workbook.Sheets.size() ? &workbook.Sheets[workbook.CurrentSheet] : nullptr;
}

int RecordWalk::Run()
{
    std::size_t offset = 0;
    bool expectSheetBegin = true;
    while (offset < view_.size()) {
        std::span<const std::uint8_t> record = view_.subspan(offset);
        const std::uint8_t type = record[0];
        if (IsPlainCell(type) && !expectSheetBegin) {
            if (!ReadPlainCells(offset))
                return Invalid();
            continue;
        }
        if (expectSheetBegin && type != static_cast<std::uint8_t>(PxlRecordType::SheetBegin))
            return Invalid();
        const PxlRecordTableEntry* entry = FindRecordType(type);
        if (!entry || entry->Use == RecordUse::Rejected)
            return Invalid();
        // A record whose fixed part or payload runs past the end of the file
        // makes the file invalid: its fields cannot be trusted.
        RecordSize size = RecordLength(record);
        if (!size.Valid)
            return Invalid();
        record = record.first(size.Total());
        if (Read(offset, record) == Step::Stop)
            return 0;
        if (indexed_)
            IndexRows(offset, record);
        expectSheetBegin = type == static_cast<std::uint8_t>(PxlRecordType::SheetEnd);
        offset += size.Total();
    }
    if (indexed_)
        indexed_->EndRecord = view_.size();
    return 1;
}

// Nearly all of a sheet's records are cells without a formula. A run of
// them is read here, with the same checks and the same result as one at a
// time, but a row at a time: within a row only the columns change, so the
// loop over a row's cells keeps just its offset and the column range, in
// registers, and the row's index entry and range are settled once a row.
bool RecordWalk::ReadPlainCells(std::size_t& offset)
{
    SheetInfo* sheet = Current();
    std::uint32_t minCol = sheet ? sheet->MinCol : 0;
    std::uint32_t maxCol = sheet ? sheet->MaxCol : 0;
    std::uint32_t minRow = sheet ? sheet->MinRow : 0;
    std::uint32_t maxRow = sheet ? sheet->MaxRow : 0;
    SheetInfo* indexed = indexed_;
    bool inRowOrder = indexed && indexed->CellsInRowOrder;
    if (indexed && indexed->FirstCellRecord == SheetInfo::kNoRecord && offset < view_.size()
        && RecordLength(view_.subspan(offset)).Valid)
        indexed->FirstCellRecord = offset;
    // One past the last row indexed, 0 while none is.
    std::uint32_t lastRowPlusOne = inRowOrder && !indexed->RowStarts.empty() ? indexed->RowStarts.back().first + 1u : 0;
    // The view in locals too: the row index's stores might otherwise be
    // taken to change it.
    const std::uint8_t* const bytes = view_.data();
    const std::size_t end = view_.size();
    // Every plain cell's fixed part holds its row and column, and is read
    // only once its size has been found inside the file.
    const auto rowAt = [bytes](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at + field::kCellRow] | (bytes[at + field::kCellRow + 1] << 8));
    };
    std::size_t at = offset;
    bool valid = true;
    while (valid && at < end && IsPlainCell(bytes[at])) {
        const RecordSize first = RecordLength(std::span(bytes + at, end - at));
        if (!first.Valid) {
            valid = false;
            break;
        }
        // The size as a plain number: kept whole, it would go through memory.
        std::uint32_t length = first.Total();
        const std::uint32_t row = rowAt(at);
        if (inRowOrder && row + 1u != lastRowPlusOne) {
            if (row + 1u < lastRowPlusOne) {
                indexed->CellsInRowOrder = false;
                indexed->RowStarts.clear();
                inRowOrder = false;
            } else {
                indexed->RowStarts.emplace_back(static_cast<std::uint16_t>(row), at);
                lastRowPlusOne = row + 1u;
            }
        }
        // The row's cells, up to the first record of another row or kind.
        bool widened = false;
        for (;;) {
            if (bytes[at] != static_cast<std::uint8_t>(PxlRecordType::BlankCell)) {
                const std::uint32_t column = bytes[at + field::kCellColumn];
                minCol = std::min(minCol, column);
                maxCol = std::max(maxCol, column);
                widened = true;
            }
            at += length;
            if (at >= end || !IsPlainCell(bytes[at]))
                break;
            const RecordSize next = RecordLength(std::span(bytes + at, end - at));
            if (!next.Valid) {
                valid = false;
                break;
            }
            length = next.Total();
            if (rowAt(at) != row)
                break;
        }
        if (widened) {
            minRow = std::min(minRow, row);
            maxRow = std::max(maxRow, row);
        }
    }
    offset = at;
    if (sheet) {
        sheet->MinCol = static_cast<std::uint16_t>(minCol);
        sheet->MaxCol = static_cast<std::uint16_t>(maxCol);
        sheet->MinRow = static_cast<std::uint16_t>(minRow);
        sheet->MaxRow = static_cast<std::uint16_t>(maxRow);
    }
    return valid;
}

// The row index the printer walks pages by, in the same walk.
void RecordWalk::IndexRows(std::size_t offset, std::span<const std::uint8_t> record)
{
    SheetInfo& sheet = *indexed_;
    std::optional<std::uint16_t> row;
    switch (static_cast<PxlRecordType>(record[0])) {
    case PxlRecordType::SheetEnd:
        sheet.EndRecord = offset;
        indexed_ = nullptr;
        return;
    case PxlRecordType::ColumnInfo:
    case PxlRecordType::RowInfo:
        if (sheet.FirstCellRecord != SheetInfo::kNoRecord)
            sheet.CellsInRowOrder = false;
        return;
    case PxlRecordType::FormulaString:
        row = formulaRow_;
        formulaRow_.reset();
        break;
    case PxlRecordType::FormulaCell:
        row = FieldU16(record, field::kCellRow);
        if (FormulaResult(record) == FormulaResultKind::Text)
            formulaRow_ = row;
        break;
    case PxlRecordType::BlankCell:
    case PxlRecordType::NumberCell:
    case PxlRecordType::TextCell:
    case PxlRecordType::BoolErrCell:
        row = FieldU16(record, field::kCellRow);
        break;
    default:
        return;
    }
    IndexRow(offset, row);
}

// Inline: a row passed by value to a call of its own is stored in two parts
// and read back whole, and the processor stalls on that for every cell.
[[gnu::always_inline]] inline void RecordWalk::IndexRow(std::size_t offset, std::optional<std::uint16_t> row)
{
    SheetInfo& sheet = *indexed_;
    if (sheet.FirstCellRecord == SheetInfo::kNoRecord)
        sheet.FirstCellRecord = offset;
    if (!row || !sheet.CellsInRowOrder)
        return;
    if (!sheet.RowStarts.empty() && *row < sheet.RowStarts.back().first) {
        sheet.CellsInRowOrder = false;
        sheet.RowStarts.clear();
        return;
    }
    if (sheet.RowStarts.empty() || *row != sheet.RowStarts.back().first)
        sheet.RowStarts.emplace_back(*row, offset);
}

void RecordWalk::WidenRange(std::span<const std::uint8_t> record)
{
    SheetInfo* sheet = Current();
    if (!sheet)
        return;
    const std::uint16_t row = FieldU16(record, field::kCellRow);
    const std::uint16_t column = FieldU8(record, field::kCellColumn);
    sheet->MinCol = std::min(sheet->MinCol, column);
    sheet->MaxCol = std::max(sheet->MaxCol, column);
    sheet->MinRow = std::min(sheet->MinRow, row);
    sheet->MaxRow = std::max(sheet->MaxRow, row);
}

Step RecordWalk::Read(std::size_t offset, std::span<const std::uint8_t> record)
{
    // Every field read below lies in the fixed part, which RecordLength has
    // found inside the record.
    SheetInfo* sheet = Current();
    switch (static_cast<PxlRecordType>(record[0])) {
    case PxlRecordType::SheetBegin: {
        const std::uint16_t version = FieldU16(record, field::kSheetBeginVersion);
        if (version < kFirstSupportedVersion || version > kLastSupportedVersion) {
            core::ShowMessageId(
                version == kPocketExcel1Version ? kPocketExcel1NotSupportedMessage : kUnsupportedWorkbookMessage);
            return Step::Stop;
        }
        if (FieldU16(record, field::kSheetBeginKind) == kWorksheetKind && sheet) {
            sheet->StartRecord = offset;
            sheet->EndRecord = SheetInfo::kNoRecord;
            sheet->FirstCellRecord = SheetInfo::kNoRecord;
            sheet->CellsInRowOrder = true;
            sheet->RowStarts.clear();
            indexed_ = sheet;
            formulaRow_.reset();
        }
        break;
    }
    case PxlRecordType::NumberCell:
    case PxlRecordType::TextCell:
    case PxlRecordType::BoolErrCell:
    case PxlRecordType::FormulaCell:
        WidenRange(record);
        break;
    case PxlRecordType::SheetEntry: {
        SheetInfo info;
        info.SheetName = RecordText(record, field::kSheetEntryName, FieldU8(record, field::kSheetEntryNameLength));
        workbook.Sheets.push_back(std::move(info));
        break;
    }
    case PxlRecordType::ColumnInfo:
        if (sheet) {
            ColumnInfo column;
            column.FirstColumn = FieldI16(record, field::kColumnInfoFirst);
            column.LastColumn = FieldI16(record, field::kColumnInfoLast);
            column.Width = FieldI16(record, field::kColumnInfoWidth);
            if ((FieldU8(record, field::kColumnInfoFlags) & kHiddenFlag) || column.Width < kNarrowestColumnWidth)
                column.Width = 0;
            column.FormatIndex = FieldU16(record, field::kColumnInfoFormat);
            sheet->Columns.push_back(column);
        }
        break;
    case PxlRecordType::RowInfo:
        if (sheet) {
            RowInfo row;
            row.Row = FieldI16(record, field::kRowInfoRow);
            row.Height = FieldI16(record, field::kRowInfoHeight);
            if (FieldU16(record, field::kRowInfoFlags) & kHiddenFlag)
                row.Height = 0;
            sheet->Rows.push_back(row);
        }
        break;
    case PxlRecordType::DefaultColWidth:
        if (sheet) {
            const bool zero = FieldU16(record, field::kDefaultColWidthFlags) & kHiddenFlag;
            sheet->DefaultColWidth = zero ? 0 : FieldI16(record, field::kDefaultColWidthWidth);
        }
        break;
    case PxlRecordType::DefaultRowHeight:
        if (sheet) {
            const bool zero = FieldU8(record, field::kDefaultRowHeightFlags) & kHiddenFlag;
            sheet->DefaultRowHeight = zero ? 0 : FieldI16(record, field::kDefaultRowHeightHeight);
        }
        break;
    case PxlRecordType::Selection:
        if (sheet) {
            sheet->SelFirstRow = FieldU16(record, field::kSelectionFirstRow);
            sheet->SelFirstCol = FieldU8(record, field::kSelectionFirstColumn);
            sheet->SelLastRow = FieldU16(record, field::kSelectionLastRow);
            sheet->SelLastCol = FieldU8(record, field::kSelectionLastColumn);
        }
        break;
    case PxlRecordType::FontRecord: {
        FontEntry font;
        font.Record = offset;
        workbook.Fonts.push_back(font);
        break;
    }
    case PxlRecordType::CellFormat:
        if (workbook.CellFormatRecords.empty())
            workbook.FirstCellFormat = record.data();
        workbook.CellFormatRecords.push_back(offset);
        workbook.CellFormatCount = workbook.CellFormatRecords.size();
        break;
    case PxlRecordType::NumberFormat:
        // The count is 16-bit: records past the 65,535th cannot be addressed
        // by a number-format number anyway.
        if (workbook.NumberFormatCount < 0xFFFF) {
            if (workbook.NumberFormatRecords.empty())
                workbook.FirstNumberFormat = record.data();
            workbook.NumberFormatRecords.push_back(offset);
            ++workbook.NumberFormatCount;
        }
        break;
    case PxlRecordType::WindowInfo: {
        core::RunOptions& options = core::Options();
        if (!options.SheetOptionsFromCommandLine || options.SheetIndex == kSheetFromWorkbook)
            options.SheetIndex = static_cast<std::uint16_t>(FieldI16(record, field::kWindowInfoActiveSheet));
        break;
    }
    case PxlRecordType::SheetEnd:
        if (workbook.CurrentSheet == PxlWorkbook::kNoSheet)
            workbook.CurrentSheet = workbook.Sheets.empty() ? PxlWorkbook::kNoSheet : 0;
        else if (workbook.CurrentSheet + 1 < workbook.Sheets.size())
            ++workbook.CurrentSheet;
        else
            workbook.CurrentSheet = PxlWorkbook::kNoSheet;
        break;
    case PxlRecordType::FilePassword:
        core::ShowMessageId(kPasswordProtectedMessage);
        return Step::Stop;
    case PxlRecordType::BlankCell:
    case PxlRecordType::FormulaString:
    case PxlRecordType::Rejected:
        break;
    }
    return Step::Continue;
}

int ReadView(std::span<const std::uint8_t> view, const char16_t* name)
{
    workbook.View = view;
    return RecordWalk(view, name).Run();
}

// Maps the whole file read-only; the handles stay in the model until
// ReleaseWorkbook, also when a step fails.
bool MapWorkbook(const char16_t* path)
{
    if (!path)
        return false;
    workbook.File = platform::CreateFileForMappingW(path, platform::GENERIC_READ, 0, nullptr, platform::OPEN_EXISTING,
        platform::FILE_ATTRIBUTE_NORMAL | platform::FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (workbook.File == platform::INVALID_HANDLE_VALUE)
        return false;
    platform::DWORD sizeHigh = 0;
    const platform::DWORD size = platform::GetFileSize(workbook.File, &sizeHigh);
    // A workbook of 4 GB or more is no workbook the device could have made.
    if (size == platform::INVALID_FILE_SIZE || sizeHigh != 0)
        return false;
    workbook.Mapping = platform::CreateFileMappingW(workbook.File, nullptr, platform::PAGE_READONLY, 0, 0, nullptr);
    if (!workbook.Mapping)
        return false;
    workbook.MappedView = platform::MapViewOfFile(workbook.Mapping, platform::FILE_MAP_READ, 0, 0, 0);
    if (!workbook.MappedView)
        return false;
    workbook.View = std::span(static_cast<const std::uint8_t*>(workbook.MappedView), size);
    return true;
}

void StartReading()
{
    ReleaseWorkbook();
    core::RunOptions& options = core::Options();
    if (!options.SheetOptionsFromCommandLine)
        options.SheetIndex = 0;
    workbook.CurrentSheet = PxlWorkbook::kNoSheet;
}

// A neutral cell format for references outside the list: font 0, General,
// bottom-left, no borders, no background (255).
constexpr std::array<std::uint8_t, kCellFormatLength> kNeutralCellFormat = [] {
    std::array<std::uint8_t, kCellFormatLength> record {};
    record[0] = static_cast<std::uint8_t>(PxlRecordType::CellFormat);
    record[field::kCellFormatBackground] = 255;
    return record;
}();

// A 10-point black "Arial" for font references outside the list.
constexpr std::array<std::uint8_t, 26> kNeutralFontRecord = { static_cast<std::uint8_t>(PxlRecordType::FontRecord), 200,
    0, 0, 0, 0, 0, 0x90, 0x01, 0, 0, 0, 0x20, 0, 0, 5, 'A', 0, 'r', 0, 'i', 0, 'a', 0, 'l', 0 };

} // namespace

PxlWorkbook& Workbook()
{
    return workbook;
}

std::span<const std::uint8_t> RecordAt(std::size_t offset)
{
    if (offset >= workbook.View.size())
        return {};
    return workbook.View.subspan(offset);
}

SheetInfo* SheetAt(std::size_t index)
{
    return index < workbook.Sheets.size() ? &workbook.Sheets[index] : nullptr;
}

std::span<const std::uint8_t> CellFormatAt(std::size_t index)
{
    if (index >= workbook.CellFormatRecords.size())
        return kNeutralCellFormat;
    return RecordAt(workbook.CellFormatRecords[index]).first(kCellFormatLength);
}

std::span<const std::uint8_t> FontAt(std::size_t index)
{
    if (index >= workbook.Fonts.size())
        return kNeutralFontRecord;
    std::span<const std::uint8_t> record = RecordAt(workbook.Fonts[index].Record);
    return record.first(RecordLength(record).Total());
}

FontEntry* FontEntryAt(std::size_t index)
{
    return index < workbook.Fonts.size() ? &workbook.Fonts[index] : nullptr;
}

std::span<const std::uint8_t> NumberFormatAt(std::uint16_t number)
{
    if (number < kFirstCustomNumberFormat)
        return {};
    const std::size_t k = number - kFirstCustomNumberFormat;
    if (k >= workbook.NumberFormatRecords.size())
        return {};
    std::span<const std::uint8_t> record = RecordAt(workbook.NumberFormatRecords[k]);
    return record.first(RecordLength(record).Total());
}

std::u16string NumberFormatText(std::uint16_t number)
{
    std::span<const std::uint8_t> record = NumberFormatAt(number);
    if (record.empty())
        return {};
    return RecordText(record, field::kNumberFormatText, FieldU8(record, field::kNumberFormatLength));
}

int OpenWorkbook(const char16_t* path)
{
    StartReading();
    if (!MapWorkbook(path)) {
        core::ShowFileMessage(kUnableToOpenWorkbookMessage, path);
        return 0;
    }
    return ReadView(workbook.View, path);
}

int ReadWorkbookFromBytes(std::span<const std::uint8_t> bytes, const char16_t* name)
{
    StartReading();
    return ReadView(bytes, name);
}

void SetDrawingRelease(DrawingRelease release)
{
    drawingRelease = release;
}

void ReleaseWorkbook()
{
    if (drawingRelease)
        drawingRelease();
    for (FontEntry& font : workbook.Fonts) {
        if (platform::PrintingLibraryBound()) {
            if (font.Font)
                ::DeleteObject(font.Font);
            if (font.Font && font.ScaledFont)
                ::DeleteObject(font.ScaledFont);
        }
    }
    if (workbook.MappedView)
        platform::UnmapViewOfFile(workbook.MappedView);
    if (workbook.Mapping)
        platform::CloseHandle(workbook.Mapping);
    if (workbook.File != platform::INVALID_HANDLE_VALUE)
        platform::CloseHandle(workbook.File);
    workbook = PxlWorkbook {};
    core::HideBusyCursor();
}

} // namespace spreadsheet
