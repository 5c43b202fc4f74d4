#include "SampleWorkbooks.h"

#include <cstdint>
#include <string>

namespace spreadsheet {
namespace {

// Palette indexes of the cell drawing.
constexpr std::uint16_t kBlack = 0;
constexpr std::uint16_t kWhite = 1;
constexpr std::uint16_t kRed = 2;
constexpr std::uint16_t kBlue = 4;
constexpr std::uint16_t kDarkBlue = 10;
constexpr std::uint16_t kSilver = 14;
constexpr std::uint16_t kPaleYellow = 18;
constexpr std::uint16_t kLightGreen = 34;

constexpr std::uint16_t kBold = 700;

CellDescription Cell(std::uint16_t row, std::uint8_t column, CellKind kind, std::uint16_t format = 0)
{
    CellDescription cell = Blank(row, column, format);
    cell.Kind = kind;
    return cell;
}

std::u16string RowLabel(const char16_t* prefix, int number)
{
    std::u16string label = prefix;
    std::string digits = std::to_string(number);
    label.append(digits.begin(), digits.end());
    return label;
}

// A household budget over three sheets: a titled sheet with centred
// headings, currency, percent and totals; a wide sheet of many months; a
// notes sheet of long wrapped text.
WorkbookDescription Budget()
{
    WorkbookDescription book;
    book.Fonts = {
        FontDescription {},
        FontDescription { .Height = 280, .Color = kDarkBlue, .Weight = kBold },
        FontDescription { .Weight = kBold },
        FontDescription { .Italic = true, .Color = kRed },
        FontDescription { .Height = 180, .Name = u"Courier New" },
    };
    enum : std::uint16_t { Plain, Title, Heading, Money, Percent, Total, Note, Warning, Count, Hidden, Fraction, Mono };
    book.CellFormats = {
        CellFormatDescription {},
        CellFormatDescription { .Font = 1, .Layout = kAlignCenterAcross | kVAlignCenter },
        CellFormatDescription { .Font = 2,
            .Layout = kAlignCenter | kBorderBottom | kBorderTop,
            .Background = kSilver,
            .TopBorderColor = kBlack,
            .BottomBorderColor = kBlack },
        CellFormatDescription { .NumberFormat = 10 },
        CellFormatDescription { .NumberFormat = 32 },
        CellFormatDescription { .Font = 2,
            .NumberFormat = 4,
            .Layout = kBorderTop | kBorderBottom,
            .Background = kPaleYellow,
            .TopBorderColor = kBlack,
            .BottomBorderColor = kBlue },
        CellFormatDescription { .Layout = kWrapText | kVAlignTop },
        CellFormatDescription { .Font = 3, .NumberFormat = 233 },
        CellFormatDescription { .NumberFormat = 3 },
        CellFormatDescription { .Background = kLightGreen },
        CellFormatDescription { .NumberFormat = 35 },
        CellFormatDescription { .Font = 4, .Layout = kAlignRight },
    };
    book.NumberFormats = { u"[Red]#,##0.00;[Blue](#,##0.00)", u"0.0#\" kg\"", u"#,##0.000" };
    book.ActiveSheet = 0;

    SheetDescription summary;
    summary.Name = u"Summary";
    summary.DefaultColWidth = 8 * 256;
    summary.DefaultRowHeight = 255;
    summary.Columns = {
        ColumnDescription { .FirstColumn = 0, .LastColumn = 0, .Width = 24 * 256 },
        ColumnDescription { .FirstColumn = 1, .LastColumn = 3, .Width = 12 * 256, .Format = Money },
        ColumnDescription { .FirstColumn = 4, .LastColumn = 4, .Width = 0, .Hidden = true },
        ColumnDescription { .FirstColumn = 5, .LastColumn = 5, .Width = 10 * 256, .Format = Percent },
    };
    summary.Rows
        = { RowDescription { .Row = 0, .Height = 480 }, RowDescription { .Row = 12, .Height = 300, .Format = Hidden } };
    summary.Cells = {
        Text(0, 0, u"Household budget 2004", Title),
        Blank(0, 1, Title),
        Blank(0, 2, Title),
        Blank(0, 3, Title),
        Text(2, 0, u"Item", Heading),
        Text(2, 1, u"Planned", Heading),
        Text(2, 2, u"Spent", Heading),
        Text(2, 3, u"Left", Heading),
        Text(2, 4, u"Secret", Heading),
        Text(2, 5, u"Used", Heading),
    };
    const char16_t* items[] = { u"Rent", u"Food", u"Transport", u"Books", u"Holidays", u"Savings" };
    const double planned[] = { 850, 420.5, 96, 60, 1200, 300 };
    const double spent[] = { 850, 465.25, 88.4, 12.99, 1315.8, 300 };
    for (int i = 0; i < 6; ++i) {
        const auto row = static_cast<std::uint16_t>(3 + i);
        summary.Cells.push_back(Text(row, 0, items[i]));
        summary.Cells.push_back(Number(row, 1, planned[i], Money));
        summary.Cells.push_back(Number(row, 2, spent[i], Money));
        CellDescription left = Cell(row, 3, CellKind::FormulaNumber, Warning);
        left.Number = planned[i] - spent[i];
        summary.Cells.push_back(left);
        summary.Cells.push_back(Number(row, 4, 1234, Plain));
        CellDescription used = Cell(row, 5, CellKind::FormulaNumber, Percent);
        used.Number = spent[i] / planned[i];
        summary.Cells.push_back(used);
    }
    double totalPlanned = 0;
    double totalSpent = 0;
    for (int i = 0; i < 6; ++i) {
        totalPlanned += planned[i];
        totalSpent += spent[i];
    }
    summary.Cells.push_back(Text(10, 0, u"Total", Total));
    CellDescription sumPlanned = Cell(10, 1, CellKind::FormulaNumber, Total);
    sumPlanned.Number = totalPlanned;
    summary.Cells.push_back(sumPlanned);
    CellDescription sumSpent = Cell(10, 2, CellKind::FormulaNumber, Total);
    sumSpent.Number = totalSpent;
    summary.Cells.push_back(sumSpent);
    CellDescription sumLeft = Cell(10, 3, CellKind::FormulaNumber, Total);
    sumLeft.Number = totalPlanned - totalSpent;
    summary.Cells.push_back(sumLeft);
    summary.Cells.push_back(Text(12, 0, u"Flour, sugar, eggs (weights)"));
    summary.Cells.push_back(Number(12, 1, 2.5, Fraction));
    summary.Cells.push_back(Number(12, 2, 1234567.891, Count));
    summary.Cells.push_back(Number(12, 5, 0.0625, Percent));
    summary.Selection = SelectionDescription { 2, 0, 10, 3 };

    SheetDescription months;
    months.Name = u"Months";
    months.DefaultColWidth = 9 * 256;
    const char16_t* monthNames[] = { u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August",
        u"September", u"October", u"November", u"December" };
    for (int m = 0; m < 12; ++m)
        months.Cells.push_back(Text(0, static_cast<std::uint8_t>(m + 1), monthNames[m], Heading));
    for (int r = 0; r < 40; ++r) {
        const auto row = static_cast<std::uint16_t>(r + 1);
        months.Cells.push_back(Text(row, 0, RowLabel(u"Account ", r + 1), Plain));
        for (int m = 0; m < 12; ++m)
            months.Cells.push_back(Number(row, static_cast<std::uint8_t>(m + 1), (r + 1) * 10.5 + m * 3.25, Count));
    }
    months.Selection = SelectionDescription { 1, 1, 40, 12 };

    SheetDescription notes;
    notes.Name = u"Notes";
    notes.Columns = { ColumnDescription { .FirstColumn = 0, .LastColumn = 0, .Width = 40 * 256, .Format = Note } };
    notes.Cells = {
        Text(0, 0, u"Notes", Heading),
        Text(1, 0, u"The holiday overspend was the ferry, which was booked late and cost more than planned.", Note),
        Text(2, 0, u"Book next year's ferry in January.", Note),
        Text(3, 0, u"Monospaced, right-aligned", Mono),
        Text(4, 0, u"A text too long for its cell spills over the empty cells to its right."),
    };

    book.Sheets = { summary, months, notes };
    return book;
}

// Dates and times in built-in, locale and custom formats, next to the same
// serial numbers in General.
WorkbookDescription Dates()
{
    WorkbookDescription book;
    book.Fonts = { FontDescription {}, FontDescription { .Weight = kBold } };
    book.NumberFormats = { u"dddd, d MMMM yyyy", u"h:mm:ss AM/PM", u"yyyy-mm-dd hh:mm", u"d\" de \"MMMM" };
    const std::uint16_t formats[] = { 0, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 40, 41, 42, 47, 54,
        55, 57, 61, 66, 68, 71, 125, 133, 138, 156, 228, 230, 231, 233, 234, 235, 236 };
    book.CellFormats = { CellFormatDescription {}, CellFormatDescription { .Font = 1, .Layout = kAlignCenter } };
    for (std::uint16_t number : formats)
        book.CellFormats.push_back(CellFormatDescription { .NumberFormat = number });
    SheetDescription sheet;
    sheet.Name = u"Dates";
    sheet.Columns = { ColumnDescription { .FirstColumn = 0, .LastColumn = 0, .Width = 10 * 256 },
        ColumnDescription { .FirstColumn = 1, .LastColumn = 3, .Width = 28 * 256 } };
    sheet.Cells = { Text(0, 0, u"Format", 1), Text(0, 1, u"14 March 2004 15:26:40", 1), Text(0, 2, u"Time 18:00", 1),
        Text(0, 3, u"Old date", 1) };
    for (std::size_t i = 0; i < std::size(formats); ++i) {
        const auto row = static_cast<std::uint16_t>(i + 1);
        const auto format = static_cast<std::uint16_t>(i + 2);
        sheet.Cells.push_back(Number(row, 0, formats[i], 0));
        sheet.Cells.push_back(Number(row, 1, 38060.643518518518, format));
        sheet.Cells.push_back(Number(row, 2, 0.75, format));
        sheet.Cells.push_back(Number(row, 3, 45.5, format));
    }
    book.Sheets = { sheet };
    return book;
}

// Every kind of cell and formula result, numbers in each fixed and built-in
// number format, and the colour override.
WorkbookDescription Formats()
{
    WorkbookDescription book;
    book.Fonts = { FontDescription {}, FontDescription { .Color = kWhite, .Weight = kBold },
        FontDescription { .Name = u"Times New Roman" } };
    book.NumberFormats = { u"[Green]0.00", u"0.00;[Red]-0.00", u"\"$\"#,##0", u"0.0%", u"# ?\?/??", u"General" };
    book.CellFormats = { CellFormatDescription {},
        CellFormatDescription { .Font = 1, .Layout = kAlignCenter, .Background = kDarkBlue } };
    const std::uint16_t formats[] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 32, 33, 34, 35, 36, 233,
        234, 235, 236, 237, 238 };
    for (std::uint16_t number : formats) {
        book.CellFormats.push_back(CellFormatDescription { .Font = 2,
            .NumberFormat = number,
            .Layout = kBorderLeft | kBorderRight,
            .LeftBorderColor = kSilver,
            .RightBorderColor = kSilver });
    }
    SheetDescription numbers;
    numbers.Name = u"Numbers";
    numbers.DefaultColWidth = 13 * 256;
    numbers.Cells = { Text(0, 0, u"Format", 1), Text(0, 1, u"1234.5", 1), Text(0, 2, u"-1234.5", 1),
        Text(0, 3, u"0", 1), Text(0, 4, u"0.1234", 1), Text(0, 5, u"2.25", 1) };
    const double values[] = { 1234.5, -1234.5, 0, 0.1234, 2.25 };
    for (std::size_t i = 0; i < std::size(formats); ++i) {
        const auto row = static_cast<std::uint16_t>(i + 1);
        numbers.Cells.push_back(Number(row, 0, formats[i]));
        for (std::size_t v = 0; v < std::size(values); ++v) {
            numbers.Cells.push_back(
                Number(row, static_cast<std::uint8_t>(v + 1), values[v], static_cast<std::uint16_t>(i + 2)));
        }
    }

    SheetDescription kinds;
    kinds.Name = u"Cell kinds";
    kinds.Columns = { ColumnDescription { .FirstColumn = 0, .LastColumn = 1, .Width = 18 * 256 } };
    kinds.Cells = { Text(0, 0, u"Kind", 1), Text(0, 1, u"Cell", 1) };
    auto add = [&](std::uint16_t row, const char16_t* label, CellDescription cell) {
        kinds.Cells.push_back(Text(row, 0, label));
        cell.Row = row;
        cell.Column = 1;
        kinds.Cells.push_back(cell);
    };
    add(1, u"Number", Number(0, 0, 42));
    add(2, u"Text", Text(0, 0, u"Grüße, ½ € ✓"));
    CellDescription yes = Cell(0, 0, CellKind::Boolean);
    yes.Flag = true;
    add(3, u"Boolean", yes);
    CellDescription error = Cell(0, 0, CellKind::Error);
    error.ErrorCode = 7;
    add(4, u"Error", error);
    CellDescription formulaNumber = Cell(0, 0, CellKind::FormulaNumber);
    formulaNumber.Number = 3.14159;
    add(5, u"Formula, number", formulaNumber);
    CellDescription formulaText = Cell(0, 0, CellKind::FormulaText);
    formulaText.Text = u"joined text";
    add(6, u"Formula, text", formulaText);
    CellDescription formulaBoolean = Cell(0, 0, CellKind::FormulaBoolean);
    formulaBoolean.Flag = false;
    add(7, u"Formula, boolean", formulaBoolean);
    CellDescription formulaError = Cell(0, 0, CellKind::FormulaError);
    formulaError.ErrorCode = 0x17;
    add(8, u"Formula, error", formulaError);
    add(9, u"Formula, empty", Cell(0, 0, CellKind::FormulaEmpty));
    CellDescription emptyText = Cell(0, 0, CellKind::FormulaText);
    add(10, u"Formula, empty text", emptyText);
    add(11, u"Blank", Blank(0, 0));
    kinds.Selection = SelectionDescription { 1, 1, 11, 1 };

    book.ActiveSheet = 1;
    book.Sheets = { numbers, kinds };
    return book;
}

// A large sheet for timing the printer: 5,000 rows of 10 columns.
WorkbookDescription Large()
{
    WorkbookDescription book;
    book.CellFormats = { CellFormatDescription {}, CellFormatDescription { .NumberFormat = 4 } };
    SheetDescription sheet;
    sheet.Name = u"Data";
    for (int c = 0; c < 10; ++c) {
        std::u16string heading = u"Column ";
        heading.push_back(static_cast<char16_t>(u'A' + c));
        sheet.Cells.push_back(Text(0, static_cast<std::uint8_t>(c), heading));
    }
    for (int r = 1; r <= 5000; ++r) {
        sheet.Cells.push_back(Text(static_cast<std::uint16_t>(r), 0, RowLabel(u"Row ", r)));
        for (int c = 1; c < 10; ++c)
            sheet.Cells.push_back(Number(
                static_cast<std::uint16_t>(r), static_cast<std::uint8_t>(c), (r * 37 + c * 11) % 1000 * 1.25 - 300, 1));
    }
    book.Sheets = { sheet };
    return book;
}

// Pocket Excel stores a default column width and row height in every sheet;
// a sheet without them has every column and row of width and height 0, and
// prints nothing.
WorkbookDescription WithDefaultSizes(WorkbookDescription book)
{
    for (SheetDescription& sheet : book.Sheets) {
        if (!sheet.DefaultColWidth)
            sheet.DefaultColWidth = 8 * 256;
        if (!sheet.DefaultRowHeight)
            sheet.DefaultRowHeight = 255;
    }
    return book;
}

} // namespace

std::vector<SampleWorkbook> SampleWorkbooks()
{
    return {
        { "budget.pxl", WithDefaultSizes(Budget()) },
        { "dates.pxl", WithDefaultSizes(Dates()) },
        { "formats.pxl", WithDefaultSizes(Formats()) },
        { "large-5000x10.pxl", WithDefaultSizes(Large()) },
    };
}

} // namespace spreadsheet
