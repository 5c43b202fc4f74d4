#pragma once

// Writes Pocket Excel workbooks: record by record with PxlRecordWriter, or a
// whole workbook from a WorkbookDescription. Tests state the content of
// their fixtures this way, and the sample build writes its workbooks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace spreadsheet {

struct FontDescription {
    std::int16_t Height = 200; // twips
    bool Italic = false;
    std::uint16_t Color = 0; // palette index
    std::uint16_t Weight = 400;
    bool Underline = false;
    std::uint8_t Family = 0;
    std::uint8_t Charset = 0;
    std::u16string Name = u"Arial";
};

// Layout bits of a cell format.
inline constexpr std::uint16_t kAlignGeneral = 0;
inline constexpr std::uint16_t kAlignLeft = 1;
inline constexpr std::uint16_t kAlignCenter = 2;
inline constexpr std::uint16_t kAlignRight = 3;
inline constexpr std::uint16_t kAlignCenterAcross = 4;
inline constexpr std::uint16_t kWrapText = 0x08;
inline constexpr std::uint16_t kVAlignTop = 0x10;
inline constexpr std::uint16_t kVAlignCenter = 0x20;
inline constexpr std::uint16_t kBorderTop = 0x100;
inline constexpr std::uint16_t kBorderLeft = 0x200;
inline constexpr std::uint16_t kBorderBottom = 0x400;
inline constexpr std::uint16_t kBorderRight = 0x800;
inline constexpr std::uint16_t kNoBackground = 255;

struct CellFormatDescription {
    std::int16_t Font = 0;
    std::uint16_t NumberFormat = 0;
    std::uint16_t Layout = 0;
    std::uint16_t Background = kNoBackground;
    std::uint8_t TopBorderColor = 0;
    std::uint8_t LeftBorderColor = 0;
    std::uint8_t BottomBorderColor = 0;
    std::uint8_t RightBorderColor = 0;
};

enum class CellKind {
    Blank,
    Number,
    Text,
    Boolean,
    Error,
    FormulaNumber,
    FormulaText,
    FormulaBoolean,
    FormulaError,
    FormulaEmpty,
};

struct CellDescription {
    std::uint16_t Row = 0;
    std::uint8_t Column = 0;
    std::uint16_t Format = 0;
    CellKind Kind = CellKind::Blank;
    double Number = 0;
    std::u16string Text;
    bool Flag = false; // boolean value
    std::uint8_t ErrorCode = 0; // error cells
};

CellDescription Blank(std::uint16_t row, std::uint8_t column, std::uint16_t format = 0);
CellDescription Number(std::uint16_t row, std::uint8_t column, double value, std::uint16_t format = 0);
CellDescription Text(std::uint16_t row, std::uint8_t column, std::u16string text, std::uint16_t format = 0);

struct ColumnDescription {
    std::int16_t FirstColumn = 0;
    std::int16_t LastColumn = 0;
    std::int16_t Width = 2560; // 1/256 of the "0" width
    std::uint16_t Format = 0;
    bool Hidden = false;
};

struct RowDescription {
    std::int16_t Row = 0;
    std::int16_t Height = 255; // twips
    bool Hidden = false;
    std::uint16_t Format = 0;
};

struct SelectionDescription {
    std::uint16_t FirstRow = 0;
    std::uint8_t FirstColumn = 0;
    std::uint16_t LastRow = 0;
    std::uint8_t LastColumn = 0;
};

struct SheetDescription {
    std::u16string Name = u"Sheet1";
    std::optional<std::int16_t> DefaultColWidth; // 1/256 of the "0" width
    std::optional<std::int16_t> DefaultRowHeight; // twips
    std::optional<SelectionDescription> Selection;
    std::vector<ColumnDescription> Columns;
    std::vector<RowDescription> Rows;
    std::vector<CellDescription> Cells;
};

struct WorkbookDescription {
    std::uint16_t Version = 271;
    std::vector<FontDescription> Fonts { FontDescription {} };
    std::vector<CellFormatDescription> CellFormats { CellFormatDescription {} };
    std::vector<std::u16string> NumberFormats; // custom formats 233, 234, ...
    std::optional<std::int16_t> ActiveSheet;
    bool PasswordProtected = false;
    bool WithSkippedRecords = false; // one record of every type the reader skips
    std::vector<SheetDescription> Sheets { SheetDescription {} };
};

// Appends records to a byte stream, each with the layout the reader expects.
class PxlRecordWriter {
public:
    static constexpr std::uint16_t kGlobalsKind = 5;
    static constexpr std::uint16_t kWorksheetKind = 16;

    void SheetBegin(std::uint16_t version, std::uint16_t kind);
    void SheetEnd();
    void SheetEntry(const std::u16string& name);
    void Font(const FontDescription& font);
    void CellFormat(const CellFormatDescription& format);
    void NumberFormat(const std::u16string& format);
    void WindowInfo(std::int16_t activeSheet);
    void DefaultColWidth(std::uint16_t flags, std::int16_t width);
    void DefaultRowHeight(std::uint8_t flags, std::int16_t height);
    void Selection(const SelectionDescription& selection);
    void ColumnInfo(const ColumnDescription& column);
    void RowInfo(const RowDescription& row);
    void Cell(const CellDescription& cell);
    void FilePassword();
    // A record of a type the reader skips or rejects, zero-filled, with a
    // small payload where its kind has one.
    void Unread(std::uint8_t type);
    void Raw(const std::vector<std::uint8_t>& bytes);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value);
    void F64(double value);
    void Units(const std::u16string& text);
    void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    std::vector<std::uint8_t> bytes_;
};

// The whole workbook: a workbook sub-stream with fonts, cell formats,
// number formats, window information and sheet entries, then one worksheet
// sub-stream per sheet.
std::vector<std::uint8_t> WriteWorkbook(const WorkbookDescription& workbook);

// Writes bytes to a file; false when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace spreadsheet
