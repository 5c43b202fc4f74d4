#include "ReaderTestSupport.h"
#include "SampleWorkbooks.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>

namespace spreadsheet {
namespace {

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

const std::vector<std::uint8_t> kBegin271 = { 9, 0x0F, 0x01, 5, 0 };
const std::vector<std::uint8_t> kEnd = { 10 };
constexpr const char16_t* kUnsupported = u"This file is not a supported PXL file.";

TEST_F(ReaderTest, EachFailureShowsItsMessageOnce)
{
    std::vector<std::uint8_t> type158(25, 0);
    type158[0] = 158;
    WorkbookDescription locked;
    locked.PasswordProtected = true;
    const char16_t* const password = u"Error: This Pocket Excel file is password protected... cannot continue.";
    // What the row shows, the bytes, the result and the message (null: none).
    const std::tuple<const char*, std::vector<std::uint8_t>, int, const char16_t*> rows[] = {
        { "empty stream has nothing to refuse", {}, 1, nullptr },
        { "minimal workbook", Concat({ kBegin271, kEnd }), 1, nullptr },
        { "first byte is not 9", { 10 }, 0, kInvalidText },
        { "first byte is a known type", Concat({ { 1, 0, 0, 0, 0, 0 }, kBegin271 }), 0, kInvalidText },
        { "record after a sheet end is not 9", Concat({ kBegin271, kEnd, { 61, 0, 0, 0, 0 } }), 0, kInvalidText },
        { "unknown type", Concat({ kBegin271, { 2 }, kEnd }), 0, kInvalidText },
        { "type 158 is rejected", Concat({ kBegin271, type158 }), 0, kInvalidText },
        { "version 9", { 9, 9, 0, 16, 0 }, 0, u"Pocket Excel 1.0 Workbook format not supported." },
        { "version 269", { 9, 0x0D, 0x01, 16, 0 }, 0, kUnsupported },
        { "version 272", { 9, 0x10, 0x01, 16, 0 }, 0, kUnsupported },
        { "version 270 accepted", Concat({ { 9, 0x0E, 0x01, 16, 0 }, kEnd }), 1, nullptr },
        { "later sheet begin with a bad version", Concat({ kBegin271, kEnd, { 9, 0, 0, 16, 0 } }), 0, kUnsupported },
        { "password", Concat({ kBegin271, { 47 }, kEnd }), 0, password },
        { "password from the writer", WriteWorkbook(locked), 0, password },
        { "fixed part runs past the end", Concat({ kBegin271, { 3, 0, 0 } }), 0, kInvalidText },
        { "payload runs past the end", Concat({ kBegin271, { 30, 5, 'a', 0 } }), 0, kInvalidText },
        { "file ending inside a sub-stream is accepted", Concat({ kBegin271, { 61, 0, 0, 0, 0 } }), 1, nullptr },
    };
    for (const auto& [name, bytes, result, message] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Read(bytes), result);
        const std::vector<std::u16string> shown(message ? 1 : 0, message ? message : u"");
        EXPECT_EQ(Messages, shown);
        EXPECT_EQ(Captions, std::vector<std::u16string>(shown.size(), u"Alert..."));
        ReleaseWorkbook();
    }
}

TEST_F(ReaderTest, OpenWorkbookMapsAFileAndNamesItInMessages)
{
    const std::filesystem::path directory = std::filesystem::temp_directory_path() / "tallowin-reader-test";
    std::filesystem::create_directories(directory);
    const std::filesystem::path bad = directory / "bad.pxl";
    const std::filesystem::path empty = directory / "empty.pxl";
    ASSERT_TRUE(WriteFileBytes(bad.string(), { 10, 9 }));
    ASSERT_TRUE(WriteFileBytes(empty.string(), {}));

    // The reason follows the name where the file system gives one.
    const std::u16string unable = u"Unable to open PXL file : ";
    const std::tuple<std::filesystem::path, std::u16string, std::u16string> rows[]
        = { { bad, u"Invalid PXL file : ", u"" }, { directory / "missing.pxl", unable, u" (not found)" },
              { empty, unable, u"" }, { directory, unable, u" (a folder)" } };
    for (const auto& [file, message, reason] : rows) {
        Messages.clear();
        const std::u16string path = file.u16string();
        EXPECT_EQ(OpenWorkbook(path.c_str()), 0);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0], message + path + reason);
        ReleaseWorkbook();
    }
    std::filesystem::remove_all(directory);
}

// The committed samples are what the writer makes of their descriptions,
// and each opens without a message.
TEST_F(ReaderTest, CommittedSamplesMatchTheWriterAndRead)
{
    const std::filesystem::path directory = std::filesystem::path(TALLOWIN_SOURCE_DIR) / "samples" / "workbooks";
    for (const SampleWorkbook& sample : SampleWorkbooks()) {
        SCOPED_TRACE(sample.FileName);
        std::ifstream in(directory / sample.FileName, std::ios::binary);
        const std::vector<std::uint8_t> committed((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(committed, WriteWorkbook(sample.Content)) << "regenerate with pxl-sample-writer samples/workbooks";
        const std::u16string path = (directory / sample.FileName).u16string();
        EXPECT_EQ(OpenWorkbook(path.c_str()), 1);
        EXPECT_TRUE(Messages.empty());
        ASSERT_EQ(Workbook().Sheets.size(), sample.Content.Sheets.size());
        for (std::size_t i = 0; i < sample.Content.Sheets.size(); ++i) {
            EXPECT_EQ(Workbook().Sheets[i].SheetName, sample.Content.Sheets[i].Name);
            EXPECT_NE(Workbook().Sheets[i].StartRecord, SheetInfo::kNoRecord);
        }
        ReleaseWorkbook();
    }
}

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
    sheet.Cells = { Text(0, 0, u"Head"), Number(1, 0, 2.5),
        { .Row = 1, .Column = 1, .Kind = CellKind::FormulaText, .Text = u"ab" }, Blank(2, 2) };
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

// Cut at every byte, the stream opens or says it is invalid; with any byte
// replaced it reads safely, and an unknown type where a record starts makes
// the file invalid.
TEST_F(ReaderTest, CutOrReplacedBytesOpenOrSayInvalidAndReadSafely)
{
    const std::vector<std::uint8_t> whole = WriteWorkbook(SmallWorkbook());
    const std::set<std::size_t> starts = RecordStarts(whole);
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        // An exact copy, so that AddressSanitizer sees any read past the cut.
        const int result = Read(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
        const bool atARecord = starts.count(cut) == 1;
        EXPECT_EQ(result, atARecord ? 1 : 0);
        EXPECT_EQ(Messages, std::vector<std::u16string>(atARecord ? 0 : 1, kInvalidText));
        ReleaseWorkbook();
    }
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
            if (starts.count(at) && !FindRecordType(value)) {
                EXPECT_EQ(Messages, std::vector<std::u16string> { kInvalidText });
            }
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
