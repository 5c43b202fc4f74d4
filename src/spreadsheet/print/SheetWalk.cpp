#include "SheetWalk.h"

#include "ByteCursor.h"
#include "CellDrawing.h"
#include "SheetLayout.h"
#include "TextCells.h"

#include <PxlRecords.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace spreadsheet {
namespace {

SheetWalkMode preferredWalk = SheetWalkMode::Indexed;

// The text formula whose result the next FormulaString record carries.
struct PendingFormula {
    std::int32_t Format = 0;
    std::uint16_t Column = 0;
    std::uint16_t Row = 0;
};

struct Cell {
    std::uint16_t Row;
    std::uint8_t Column;
    std::uint16_t Format;
};

Cell CellFields(std::span<const std::uint8_t> record)
{
    ByteCursor in(record);
    return Cell { in.U16At(field::kCellRow).value_or(0), in.U8At(field::kCellColumn).value_or(0),
        in.U16At(field::kCellFormatIndex).value_or(0) };
}

double DoubleAt(std::span<const std::uint8_t> record, std::size_t offset)
{
    double value = 0;
    if (offset + sizeof value <= record.size())
        std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

bool IsCellRecord(std::uint8_t type)
{
    switch (static_cast<PxlRecordType>(type)) {
    case PxlRecordType::BlankCell:
    case PxlRecordType::NumberCell:
    case PxlRecordType::TextCell:
    case PxlRecordType::BoolErrCell:
    case PxlRecordType::FormulaCell:
    case PxlRecordType::FormulaString:
        return true;
    default:
        return false;
    }
}

bool IsBandRecord(std::uint8_t type)
{
    return type == static_cast<std::uint8_t>(PxlRecordType::ColumnInfo)
        || type == static_cast<std::uint8_t>(PxlRecordType::RowInfo);
}

void DrawFixedText(const char16_t* text, const Cell& cell)
{
    DrawTextCell(text, cell.Format, cell.Column, cell.Row, static_cast<int>(std::char_traits<char16_t>::length(text)));
}

// What one record does to the page; the page walks of both kinds go through it.
class RecordDispatch {
public:
    explicit RecordDispatch(std::size_t sheetEnd)
        : sheetEnd_(sheetEnd)
    {
    }

    void Draw(std::size_t offset, std::span<const std::uint8_t> record);
    // The row a cell record belongs to; nothing for other records and for a
    // FormulaString without its formula.
    std::optional<std::uint16_t> RowOf(std::span<const std::uint8_t> record) const;

private:
    void DrawBoolErr(const Cell& cell, std::span<const std::uint8_t> record);
    void DrawFormula(const Cell& cell, std::span<const std::uint8_t> record);
    void DrawFormulaString(std::span<const std::uint8_t> record);
    void DrawBand(std::span<const std::uint8_t> record);

    std::size_t sheetEnd_;
    std::optional<PendingFormula> formula_;
};

std::optional<std::uint16_t> RecordDispatch::RowOf(std::span<const std::uint8_t> record) const
{
    if (!IsCellRecord(record[0]))
        return std::nullopt;
    if (record[0] == static_cast<std::uint8_t>(PxlRecordType::FormulaString)) {
        if (!formula_)
            return std::nullopt;
        return formula_->Row;
    }
    return CellFields(record).Row;
}

void RecordDispatch::DrawBoolErr(const Cell& cell, std::span<const std::uint8_t> record)
{
    ByteCursor in(record);
    const std::uint8_t error = in.U8At(field::kBoolErrError).value_or(0);
    if (error != 0) {
        char text[16];
        std::snprintf(text, sizeof text, "ERR%d", error);
        const std::u16string wide(text, text + std::strlen(text));
        DrawFixedText(wide.c_str(), cell);
    } else {
        DrawFixedText(in.U8At(field::kBoolErrValue).value_or(0) ? u"TRUE" : u"FALSE", cell);
    }
}

void RecordDispatch::DrawFormula(const Cell& cell, std::span<const std::uint8_t> record)
{
    ByteCursor in(record);
    switch (FormulaResult(record)) {
    case FormulaResultKind::Number:
        DrawNumberCell(cell.Format, cell.Column, cell.Row, DoubleAt(record, field::kFormulaResult));
        break;
    case FormulaResultKind::Text:
        formula_ = PendingFormula { cell.Format, cell.Column, cell.Row };
        ResolveOverflow(cell.Column, cell.Row, Occupancy::Occupying);
        break;
    case FormulaResultKind::Boolean:
        DrawFixedText(in.U8At(field::kFormulaBooleanValue).value_or(0) ? u"TRUE" : u"FALSE", cell);
        break;
    case FormulaResultKind::Error:
        DrawFixedText(u"#REF!", cell);
        break;
    case FormulaResultKind::Empty: {
        ResolveOverflow(cell.Column, cell.Row, Occupancy::Empty);
        RECT rect {};
        DrawCellBox(rect, cell.Column, cell.Row, cell.Format, ValueKind::Text);
        break;
    }
    }
}

void RecordDispatch::DrawFormulaString(std::span<const std::uint8_t> record)
{
    // A FormulaString without a text formula before it has no cell to go to.
    if (!formula_)
        return;
    const PendingFormula formula = *formula_;
    formula_.reset();
    const std::uint16_t length = ByteCursor(record).U16At(field::kFormulaStringLength).value_or(0);
    std::u16string text = RecordText(record, field::kFormulaStringText, length);
    if (length == 0 || text.empty())
        text.assign(1, u' ');
    DrawTextCell(text.c_str(), formula.Format, formula.Column, formula.Row, static_cast<int>(text.size()));
}

void RecordDispatch::DrawBand(std::span<const std::uint8_t> record)
{
    const SheetLayout& layout = Layout();
    ByteCursor in(record);
    if (record[0] == static_cast<std::uint8_t>(PxlRecordType::ColumnInfo)) {
        ApplyCellFormat(in.U16At(field::kColumnInfoFormat).value_or(0), ValueKind::Text);
        const std::int32_t first = in.I16At(field::kColumnInfoFirst).value_or(0);
        const std::int32_t last = in.I16At(field::kColumnInfoLast).value_or(0);
        const std::int32_t from = std::max<std::int32_t>(first, layout.PageFirstCol);
        const std::int32_t to = std::min<std::int32_t>(last, layout.PageLastCol);
        if (from <= to) {
            FillBand(static_cast<std::uint16_t>(from), layout.PageFirstRow, static_cast<std::uint16_t>(to),
                layout.PageLastRow);
        }
    } else {
        ApplyCellFormat(in.U16At(field::kRowInfoFormat).value_or(0), ValueKind::Text);
        const std::int32_t row = in.I16At(field::kRowInfoRow).value_or(0);
        if (row >= layout.PageFirstRow && row <= layout.PageLastRow) {
            FillBand(layout.PageFirstCol, static_cast<std::uint16_t>(row), layout.PageLastCol,
                static_cast<std::uint16_t>(row));
        }
    }
}

void RecordDispatch::Draw(std::size_t offset, std::span<const std::uint8_t> record)
{
    SetCellRecord(offset, sheetEnd_);
    const Cell cell = CellFields(record);
    switch (static_cast<PxlRecordType>(record[0])) {
    case PxlRecordType::BlankCell: {
        ResolveOverflow(cell.Column, cell.Row, Occupancy::Empty);
        RECT rect {};
        DrawCellBox(rect, cell.Column, cell.Row, cell.Format, ValueKind::Text);
        break;
    }
    case PxlRecordType::BoolErrCell:
        DrawBoolErr(cell, record);
        break;
    case PxlRecordType::ColumnInfo:
    case PxlRecordType::RowInfo:
        DrawBand(record);
        break;
    case PxlRecordType::FormulaCell:
        DrawFormula(cell, record);
        break;
    case PxlRecordType::TextCell: {
        const std::uint16_t length = ByteCursor(record).U16At(field::kTextCellLength).value_or(0);
        const std::u16string text = RecordText(record, field::kTextCellText, length);
        DrawTextCell(text.c_str(), cell.Format, cell.Column, cell.Row, static_cast<int>(text.size()));
        break;
    }
    case PxlRecordType::NumberCell:
        DrawNumberCell(cell.Format, cell.Column, cell.Row, DoubleAt(record, field::kNumberCellValue));
        break;
    case PxlRecordType::FormulaString:
        DrawFormulaString(record);
        break;
    default:
        break;
    }
}

// Calls `visit` for each record from `from` up to the sheet's end, until it
// returns false.
template <typename Visit> void WalkRecords(std::size_t from, std::size_t end, Visit visit)
{
    std::size_t offset = from;
    while (offset < end) {
        std::span<const std::uint8_t> record = RecordAt(offset);
        const RecordSize size = RecordLength(record);
        if (!size.Valid || record[0] == static_cast<std::uint8_t>(PxlRecordType::SheetEnd))
            return;
        if (!visit(offset, record.first(size.Total())))
            return;
        offset += size.Total();
    }
}

bool PlacesText(std::int32_t format)
{
    const std::uint16_t horizontal
        = ByteCursor(CellFormatAt(static_cast<std::size_t>(format))).U16At(field::kCellFormatLayout).value_or(0) & 7;
    return horizontal != 5 && horizontal != 7;
}

// The column and row records before the first cell, with what a page needs
// to skip runs of them.
void CollectBands(SheetWalkIndex& index)
{
    WalkRecords(index.Start, index.End, [&](std::size_t at, std::span<const std::uint8_t> record) {
        if (IsCellRecord(record[0]))
            return false;
        if (!IsBandRecord(record[0]))
            return true;
        ByteCursor in(record);
        BandRecord band;
        band.Offset = at;
        band.IsColumn = record[0] == static_cast<std::uint8_t>(PxlRecordType::ColumnInfo);
        if (band.IsColumn) {
            band.Format = in.U16At(field::kColumnInfoFormat).value_or(0);
            band.First = in.I16At(field::kColumnInfoFirst).value_or(0);
            band.Last = in.I16At(field::kColumnInfoLast).value_or(0);
        } else {
            band.Format = in.U16At(field::kRowInfoFormat).value_or(0);
            band.First = band.Last = in.I16At(field::kRowInfoRow).value_or(0);
        }
        const std::size_t i = index.Bands.size();
        index.PreviousOtherFormat.push_back(i == 0         ? -1
                : index.Bands[i - 1].Format != band.Format ? static_cast<std::int64_t>(i - 1)
                                                           : index.PreviousOtherFormat[i - 1]);
        index.LastPlacing.push_back(
            PlacesText(band.Format) ? static_cast<std::int64_t>(i) : (i == 0 ? -1 : index.LastPlacing[i - 1]));
        if (band.IsColumn)
            index.ColumnBands.push_back(i);
        else
            index.RowBands.emplace_back(band.First, i);
        index.Bands.push_back(band);
        return true;
    });
    std::stable_sort(
        index.RowBands.begin(), index.RowBands.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

// Leaves the drawing state as applying the formats of bands a to b in turn
// would: the last format applied in full when another one came before it in
// the run, with the placement of the last format that has one.
void SkipBands(const SheetWalkIndex& index, std::int64_t a, std::int64_t b)
{
    if (a > b)
        return;
    const std::int32_t last = index.Bands[static_cast<std::size_t>(b)].Format;
    const std::int64_t other = index.PreviousOtherFormat[static_cast<std::size_t>(b)];
    if (other < a) {
        ApplyCellFormat(last, ValueKind::Text);
        return;
    }
    if (!PlacesText(last)) {
        const std::int64_t placing = index.LastPlacing[static_cast<std::size_t>(other)];
        if (placing >= a)
            ApplyCellFormat(index.Bands[static_cast<std::size_t>(placing)].Format, ValueKind::Text);
    }
    ForgetCachedFormat();
    ApplyCellFormat(last, ValueKind::Text);
}

// The bands before the first cell: those that cross the page are drawn, the
// others only leave their format.
void DrawPrefixBands(const SheetWalkIndex& index, RecordDispatch& dispatch)
{
    const SheetLayout& layout = Layout();
    std::vector<std::size_t> crossing;
    for (std::size_t i : index.ColumnBands) {
        const BandRecord& band = index.Bands[i];
        if (std::max<std::int32_t>(band.First, layout.PageFirstCol)
            <= std::min<std::int32_t>(band.Last, layout.PageLastCol))
            crossing.push_back(i);
    }
    auto row = std::lower_bound(index.RowBands.begin(), index.RowBands.end(), layout.PageFirstRow,
        [](const std::pair<std::int32_t, std::size_t>& band, std::int32_t wanted) { return band.first < wanted; });
    for (; row != index.RowBands.end() && row->first <= layout.PageLastRow; ++row)
        crossing.push_back(row->second);
    std::sort(crossing.begin(), crossing.end());
    std::int64_t previous = -1;
    for (std::size_t i : crossing) {
        SkipBands(index, previous + 1, static_cast<std::int64_t>(i) - 1);
        const std::size_t offset = index.Bands[i].Offset;
        const std::span<const std::uint8_t> record = RecordAt(offset);
        dispatch.Draw(offset, record.first(RecordLength(record).Total()));
        previous = static_cast<std::int64_t>(i);
    }
    SkipBands(index, previous + 1, static_cast<std::int64_t>(index.Bands.size()) - 1);
}

} // namespace

SheetWalkMode& PreferredSheetWalk()
{
    return preferredWalk;
}

SheetWalkIndex BuildSheetWalkIndex(const SheetInfo& sheet)
{
    SheetWalkIndex index;
    index.Start = sheet.StartRecord;
    index.End = Workbook().View.size();
    // The reading found the sheet's end and its rows; a sheet whose records
    // it did not read to the end takes the full walk.
    if (sheet.EndRecord == SheetInfo::kNoRecord || !RecordLength(RecordAt(index.Start)).Valid)
        return index;
    index.End = sheet.EndRecord;
    index.FirstCell = sheet.FirstCellRecord == SheetInfo::kNoRecord ? index.End : sheet.FirstCellRecord;
    CollectBands(index);
    index.Usable = sheet.CellsInRowOrder;
    if (index.Usable)
        index.RowStarts = sheet.RowStarts;
    return index;
}

void DrawPageCells(const SheetWalkIndex& index, SheetWalkMode mode)
{
    const SheetLayout& layout = Layout();
    RecordDispatch dispatch(index.End);
    if (mode == SheetWalkMode::Full || !index.Usable) {
        WalkRecords(index.Start, index.End, [&](std::size_t at, std::span<const std::uint8_t> record) {
            dispatch.Draw(at, record);
            return true;
        });
        return;
    }
    // Before the first cell only column and row records can draw.
    DrawPrefixBands(index, dispatch);
    const auto first = std::lower_bound(index.RowStarts.begin(), index.RowStarts.end(), layout.PageFirstRow,
        [](const std::pair<std::uint16_t, std::size_t>& start, std::uint16_t row) { return start.first < row; });
    if (first == index.RowStarts.end())
        return;
    WalkRecords(first->second, index.End, [&](std::size_t at, std::span<const std::uint8_t> record) {
        const std::optional<std::uint16_t> row = dispatch.RowOf(record);
        if (row && *row > layout.PageLastRow)
            return false;
        dispatch.Draw(at, record);
        return true;
    });
}

} // namespace spreadsheet
