#include "ReaderTestSupport.h"

#include <set>

namespace spreadsheet {
namespace {

WorkbookDescription SmallWorkbook()
{
    WorkbookDescription book;
    book.WithSkippedRecords = true;
    book.NumberFormats = { u"0.0" };
    book.ActiveSheet = 0;
    SheetDescription sheet;
    sheet.DefaultColWidth = 2000;
    sheet.DefaultRowHeight = 255;
    sheet.Selection = SelectionDescription { 0, 0, 1, 1 };
    sheet.Columns = { ColumnDescription {} };
    sheet.Rows = { RowDescription {} };
    CellDescription formula = Blank(1, 1);
    formula.Kind = CellKind::FormulaText;
    formula.Text = u"ab";
    sheet.Cells = { Text(0, 0, u"Head"), Number(1, 0, 2.5), formula, Blank(2, 2) };
    book.Sheets = { sheet };
    return book;
}

// Offsets where records start, found by walking the intact stream.
std::set<std::size_t> RecordStarts(const std::vector<std::uint8_t>& bytes)
{
    std::set<std::size_t> starts;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        starts.insert(offset);
        RecordSize size = RecordLength(std::span(bytes).subspan(offset));
        EXPECT_TRUE(size.Valid);
        if (!size.Valid)
            break;
        offset += size.Total();
    }
    starts.insert(bytes.size());
    return starts;
}

TEST_F(ReaderTest, CutAtEveryBytePositionOpensOrSaysInvalid)
{
    const std::vector<std::uint8_t> whole = WriteWorkbook(SmallWorkbook());
    const std::set<std::size_t> starts = RecordStarts(whole);
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        // An exact copy, so that AddressSanitizer sees any read past the cut.
        const int result = Read(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
        if (starts.count(cut)) {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(Messages.empty());
        } else {
            EXPECT_EQ(result, 0);
            ASSERT_EQ(Messages.size(), 1u);
            EXPECT_EQ(Messages[0], kInvalidText);
        }
        ReleaseWorkbook();
    }
}

// Any byte replaced reads safely; an unknown type where a record starts
// makes the file invalid.
TEST_F(ReaderTest, EveryByteReplacedStillReadsSafely)
{
    const std::vector<std::uint8_t> whole = WriteWorkbook(SmallWorkbook());
    const std::set<std::size_t> starts = RecordStarts(whole);
    const std::uint8_t replacements[] = { 0x00, 0x01, 0x02, 0x09, 0x0A, 0x64, 0x7F, 0x80, 0x9E, 0xE0, 0xFF };
    int opened = 0;
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (std::uint8_t value : replacements) {
            SCOPED_TRACE(testing::Message() << at << " " << int(value));
            std::vector<std::uint8_t> bytes = whole;
            bytes[at] = value;
            const int result = Read(bytes);
            EXPECT_LE(Messages.size(), 1u);
            EXPECT_EQ(result == 0, Messages.size() == 1u);
            if (starts.count(at) && !FindRecordType(value))
                EXPECT_EQ(Messages, std::vector<std::u16string> { kInvalidText });
            opened += result;
            // Every lookup of the model stays in the file.
            for (std::size_t sheet = 0; SheetAt(sheet); ++sheet)
                EXPECT_TRUE(
                    SheetAt(sheet)->StartRecord == SheetInfo::kNoRecord || SheetAt(sheet)->StartRecord < bytes.size());
            for (std::size_t i = 0; i < 4; ++i) {
                EXPECT_EQ(CellFormatAt(i).size(), kCellFormatLength);
                EXPECT_TRUE(RecordLength(FontAt(i)).Valid);
            }
            (void)NumberFormatText(233);
            ReleaseWorkbook();
        }
    }
    EXPECT_GT(opened, 0);
}

} // namespace
} // namespace spreadsheet
