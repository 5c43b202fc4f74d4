#include "WorkbookWriter.h"

#include <bit>
#include <fstream>
#include <utility>

namespace spreadsheet {
namespace {

constexpr std::uint8_t kBlankCell = 1;
constexpr std::uint8_t kNumberCell = 3;
constexpr std::uint8_t kTextCell = 4;
constexpr std::uint8_t kBoolErrCell = 5;
constexpr std::uint8_t kFormulaCell = 6;
constexpr std::uint8_t kFormulaString = 7;
constexpr std::uint8_t kRowInfo = 8;
constexpr std::uint8_t kSheetBegin = 9;
constexpr std::uint8_t kSheetEnd = 10;
constexpr std::uint8_t kSelection = 29;
constexpr std::uint8_t kNumberFormat = 30;
constexpr std::uint8_t kDefaultRowHeight = 37;
constexpr std::uint8_t kFilePassword = 47;
constexpr std::uint8_t kFontRecord = 49;
constexpr std::uint8_t kWindowInfo = 61;
constexpr std::uint8_t kDefaultColWidth = 85;
constexpr std::uint8_t kColumnInfo = 125;
constexpr std::uint8_t kSheetEntry = 133;
constexpr std::uint8_t kCellFormat = 224;

// Formula bytes are not interpreted by the reader; a short fixed token run
// stands for the formula.
const std::vector<std::uint8_t> kFormulaBytes = { 0x1E, 0x01, 0x00 };

// The types the reader skips, with their fixed lengths.
struct UnreadType {
    std::uint8_t Type;
    std::uint8_t FixedLength;
};
constexpr UnreadType kUnreadTypes[] = { { 20, 2 }, { 21, 2 }, { 24, 8 }, { 27, 3 }, { 41, 33 }, { 43, 3 }, { 62, 6 },
    { 65, 10 }, { 66, 3 }, { 140, 5 }, { 158, 25 }, { 160, 5 }, { 161, 35 } };

std::uint8_t CharCount(const std::u16string& text)
{
    return static_cast<std::uint8_t>(text.size() > 255 ? 255 : text.size());
}

} // namespace

CellDescription Blank(std::uint16_t row, std::uint8_t column, std::uint16_t format)
{
    CellDescription cell;
    cell.Row = row;
    cell.Column = column;
    cell.Format = format;
    return cell;
}

CellDescription Number(std::uint16_t row, std::uint8_t column, double value, std::uint16_t format)
{
    CellDescription cell = Blank(row, column, format);
    cell.Kind = CellKind::Number;
    cell.Number = value;
    return cell;
}

CellDescription Text(std::uint16_t row, std::uint8_t column, std::u16string text, std::uint16_t format)
{
    CellDescription cell = Blank(row, column, format);
    cell.Kind = CellKind::Text;
    cell.Text = std::move(text);
    return cell;
}

void PxlRecordWriter::U16(std::uint16_t value)
{
    U8(static_cast<std::uint8_t>(value & 0xFF));
    U8(static_cast<std::uint8_t>(value >> 8));
}

void PxlRecordWriter::F64(double value)
{
    auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i)
        U8(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void PxlRecordWriter::Units(const std::u16string& text)
{
    for (char16_t unit : text)
        U16(unit);
}

void PxlRecordWriter::SheetBegin(std::uint16_t version, std::uint16_t kind)
{
    U8(kSheetBegin);
    U16(version);
    U16(kind);
}

void PxlRecordWriter::SheetEnd()
{
    U8(kSheetEnd);
}

void PxlRecordWriter::SheetEntry(const std::u16string& name)
{
    const std::uint8_t count = CharCount(name);
    U8(kSheetEntry);
    U8(0);
    U8(count);
    Units(name.substr(0, count));
}

void PxlRecordWriter::Font(const FontDescription& font)
{
    const std::uint8_t count = CharCount(font.Name);
    U8(kFontRecord);
    U16(static_cast<std::uint16_t>(font.Height));
    U8(font.Italic ? 0x02 : 0x00);
    U8(0);
    U16(font.Color);
    U16(font.Weight);
    Zeros(2);
    U8(font.Underline ? 1 : 0);
    U8(font.Family);
    U8(font.Charset);
    U8(0);
    U8(count);
    Units(font.Name.substr(0, count));
}

void PxlRecordWriter::CellFormat(const CellFormatDescription& format)
{
    U8(kCellFormat);
    U16(static_cast<std::uint16_t>(format.Font));
    U16(format.NumberFormat);
    Zeros(6);
    U16(format.Layout);
    Zeros(2);
    U16(format.Background);
    U8(format.TopBorderColor);
    U8(format.LeftBorderColor);
    U8(format.BottomBorderColor);
    U8(format.RightBorderColor);
    Zeros(2);
}

void PxlRecordWriter::NumberFormat(const std::u16string& format)
{
    const std::uint8_t count = CharCount(format);
    U8(kNumberFormat);
    U8(count);
    Units(format.substr(0, count));
}

void PxlRecordWriter::WindowInfo(std::int16_t activeSheet)
{
    U8(kWindowInfo);
    Zeros(2);
    U16(static_cast<std::uint16_t>(activeSheet));
}

void PxlRecordWriter::DefaultColWidth(std::uint16_t flags, std::int16_t width)
{
    U8(kDefaultColWidth);
    U16(flags);
    U16(static_cast<std::uint16_t>(width));
    Zeros(2);
}

void PxlRecordWriter::DefaultRowHeight(std::uint8_t flags, std::int16_t height)
{
    U8(kDefaultRowHeight);
    U8(flags);
    U8(0);
    U16(static_cast<std::uint16_t>(height));
}

void PxlRecordWriter::Selection(const SelectionDescription& selection)
{
    U8(kSelection);
    U16(selection.FirstRow);
    U8(selection.FirstColumn);
    U16(selection.LastRow);
    U8(selection.LastColumn);
    Zeros(3);
}

void PxlRecordWriter::ColumnInfo(const ColumnDescription& column)
{
    U8(kColumnInfo);
    U16(static_cast<std::uint16_t>(column.FirstColumn));
    U16(static_cast<std::uint16_t>(column.LastColumn));
    U16(static_cast<std::uint16_t>(column.Width));
    U16(column.Format);
    U8(column.Hidden ? 1 : 0);
}

void PxlRecordWriter::RowInfo(const RowDescription& row)
{
    U8(kRowInfo);
    U16(static_cast<std::uint16_t>(row.Row));
    U16(static_cast<std::uint16_t>(row.Height));
    U16(row.Hidden ? 1 : 0);
    U16(row.Format);
}

void PxlRecordWriter::Cell(const CellDescription& cell)
{
    auto head = [&](std::uint8_t type) {
        U8(type);
        U16(cell.Row);
        U8(cell.Column);
        U16(cell.Format);
    };
    auto formula = [&](std::uint8_t kind, std::uint8_t value) {
        head(kFormulaCell);
        U8(kind);
        U8(0);
        U8(value);
        Zeros(3);
        U16(0xFFFF);
        U8(0);
        U16(static_cast<std::uint16_t>(kFormulaBytes.size()));
        bytes_.insert(bytes_.end(), kFormulaBytes.begin(), kFormulaBytes.end());
    };
    switch (cell.Kind) {
    case CellKind::Blank:
        head(kBlankCell);
        break;
    case CellKind::Number:
        head(kNumberCell);
        F64(cell.Number);
        break;
    case CellKind::Text:
        head(kTextCell);
        U16(static_cast<std::uint16_t>(cell.Text.size()));
        Units(cell.Text);
        break;
    case CellKind::Boolean:
        head(kBoolErrCell);
        U8(cell.Flag ? 1 : 0);
        U8(0);
        break;
    case CellKind::Error:
        head(kBoolErrCell);
        U8(0);
        U8(cell.ErrorCode);
        break;
    case CellKind::FormulaNumber:
        head(kFormulaCell);
        F64(cell.Number);
        U8(0);
        U16(static_cast<std::uint16_t>(kFormulaBytes.size()));
        bytes_.insert(bytes_.end(), kFormulaBytes.begin(), kFormulaBytes.end());
        break;
    case CellKind::FormulaText: {
        formula(0, 0);
        const std::uint8_t count = CharCount(cell.Text);
        U8(kFormulaString);
        U16(count);
        Units(cell.Text.substr(0, count));
        break;
    }
    case CellKind::FormulaBoolean:
        formula(1, cell.Flag ? 1 : 0);
        break;
    case CellKind::FormulaError:
        formula(2, cell.ErrorCode);
        break;
    case CellKind::FormulaEmpty:
        formula(3, 0);
        break;
    }
}

void PxlRecordWriter::FilePassword()
{
    U8(kFilePassword);
}

void PxlRecordWriter::Unread(std::uint8_t type)
{
    std::uint8_t fixed = 1;
    for (const UnreadType& known : kUnreadTypes) {
        if (known.Type == type)
            fixed = known.FixedLength;
    }
    const std::size_t start = bytes_.size();
    U8(type);
    Zeros(fixed - 1u);
    // A one-unit payload for the kinds that carry one, so the reader's
    // length rule is exercised.
    switch (type) {
    case 20:
    case 21:
        bytes_[start + 1] = 1;
        Zeros(2);
        break;
    case 24:
        bytes_[start + 3] = 1;
        bytes_[start + 4] = 3;
        Zeros(5);
        break;
    case 27:
        bytes_[start + 1] = 1;
        Zeros(6);
        break;
    default:
        break;
    }
}

void PxlRecordWriter::Raw(const std::vector<std::uint8_t>& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> WriteWorkbook(const WorkbookDescription& workbook)
{
    PxlRecordWriter out;
    out.SheetBegin(workbook.Version, PxlRecordWriter::kGlobalsKind);
    if (workbook.PasswordProtected)
        out.FilePassword();
    for (const FontDescription& font : workbook.Fonts)
        out.Font(font);
    for (const std::u16string& format : workbook.NumberFormats)
        out.NumberFormat(format);
    for (const CellFormatDescription& format : workbook.CellFormats)
        out.CellFormat(format);
    if (workbook.WithSkippedRecords) {
        for (const UnreadType& type : kUnreadTypes) {
            if (type.Type != 158)
                out.Unread(type.Type);
        }
    }
    if (workbook.ActiveSheet)
        out.WindowInfo(*workbook.ActiveSheet);
    for (const SheetDescription& sheet : workbook.Sheets)
        out.SheetEntry(sheet.Name);
    out.SheetEnd();
    for (const SheetDescription& sheet : workbook.Sheets) {
        out.SheetBegin(workbook.Version, PxlRecordWriter::kWorksheetKind);
        if (sheet.DefaultColWidth)
            out.DefaultColWidth(0, *sheet.DefaultColWidth);
        if (sheet.DefaultRowHeight)
            out.DefaultRowHeight(0, *sheet.DefaultRowHeight);
        for (const ColumnDescription& column : sheet.Columns)
            out.ColumnInfo(column);
        for (const RowDescription& row : sheet.Rows)
            out.RowInfo(row);
        for (const CellDescription& cell : sheet.Cells)
            out.Cell(cell);
        if (sheet.Selection)
            out.Selection(*sheet.Selection);
        out.SheetEnd();
    }
    return out.Bytes();
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

} // namespace spreadsheet
