#include "ReaderTestSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace spreadsheet {
namespace {

struct MessageRow {
    const char* Name;
    std::vector<std::uint8_t> Bytes;
    int Result;
    const char16_t* Message; // null: none
};

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

const std::vector<std::uint8_t> kBegin271 = { 9, 0x0F, 0x01, 5, 0 };
const std::vector<std::uint8_t> kBegin270Sheet = { 9, 0x0E, 0x01, 16, 0 };
const std::vector<std::uint8_t> kEnd = { 10 };

TEST_F(ReaderTest, EachFailureShowsItsMessageOnce)
{
    const MessageRow rows[] = {
        { "empty stream has nothing to refuse", {}, 1, nullptr },
        { "minimal workbook", Concat({ kBegin271, kEnd }), 1, nullptr },
        { "first byte is not 9", { 10 }, 0, kInvalidText },
        { "first byte is a known type", Concat({ { 1, 0, 0, 0, 0, 0 }, kBegin271 }), 0, kInvalidText },
        { "record after a sheet end is not 9", Concat({ kBegin271, kEnd, { 61, 0, 0, 0, 0 } }), 0, kInvalidText },
        { "unknown type", Concat({ kBegin271, { 2 }, kEnd }), 0, kInvalidText },
        { "type 158 is rejected", Concat({ kBegin271, std::vector<std::uint8_t>(25, 0) }), 0, nullptr },
        { "version 9", { 9, 9, 0, 16, 0 }, 0, u"Pocket Excel 1.0 Workbook format not supported." },
        { "version 269", { 9, 0x0D, 0x01, 16, 0 }, 0, u"This file is not a supported PXL file." },
        { "version 272", { 9, 0x10, 0x01, 16, 0 }, 0, u"This file is not a supported PXL file." },
        { "version 270 accepted", Concat({ kBegin270Sheet, kEnd }), 1, nullptr },
        { "later sheet begin with a bad version", Concat({ kBegin271, kEnd, { 9, 0, 0, 16, 0 } }), 0,
            u"This file is not a supported PXL file." },
        { "password", Concat({ kBegin271, { 47 }, kEnd }), 0,
            u"Error: This Pocket Excel file is password protected... cannot continue." },
        { "fixed part runs past the end", Concat({ kBegin271, { 3, 0, 0 } }), 0, kInvalidText },
        { "payload runs past the end", Concat({ kBegin271, { 30, 5, 'a', 0 } }), 0, kInvalidText },
        { "file ending inside a sub-stream is accepted", Concat({ kBegin271, { 61, 0, 0, 0, 0 } }), 1, nullptr },
    };
    for (const MessageRow& row : rows) {
        SCOPED_TRACE(row.Name);
        std::vector<std::uint8_t> bytes = row.Bytes;
        if (std::string(row.Name) == "type 158 is rejected")
            bytes[kBegin271.size()] = 158;
        EXPECT_EQ(Read(bytes), row.Result);
        if (row.Message || row.Result == 0) {
            ASSERT_EQ(Messages.size(), 1u);
            EXPECT_EQ(Messages[0], row.Message ? row.Message : kInvalidText);
            EXPECT_EQ(Captions.back(), u"Alert...");
        } else {
            EXPECT_TRUE(Messages.empty());
        }
        ReleaseWorkbook();
    }
}

TEST_F(ReaderTest, PasswordWorkbookFromTheWriterIsRefused)
{
    WorkbookDescription book;
    book.PasswordProtected = true;
    EXPECT_EQ(Read(book), 0);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], u"Error: This Pocket Excel file is password protected... cannot continue.");
}

TEST_F(ReaderTest, OpenWorkbookMapsAFileAndNamesItInMessages)
{
    const std::filesystem::path directory = std::filesystem::temp_directory_path() / "tallowin-reader-test";
    std::filesystem::create_directories(directory);
    const std::filesystem::path good = directory / "good.pxl";
    const std::filesystem::path bad = directory / "bad.pxl";
    const std::filesystem::path empty = directory / "empty.pxl";
    ASSERT_TRUE(WriteFileBytes(good.string(), WriteWorkbook(WorkbookDescription {})));
    ASSERT_TRUE(WriteFileBytes(bad.string(), { 10, 9 }));
    ASSERT_TRUE(WriteFileBytes(empty.string(), {}));

    const std::u16string goodPath = good.u16string();
    EXPECT_EQ(OpenWorkbook(goodPath.c_str()), 1);
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Workbook().Sheets.size(), 1u);
    ReleaseWorkbook();

    const std::u16string badPath = bad.u16string();
    EXPECT_EQ(OpenWorkbook(badPath.c_str()), 0);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], u"Invalid PXL file : " + badPath);
    ReleaseWorkbook();

    for (const std::filesystem::path& missing : { directory / "missing.pxl", empty, directory }) {
        Messages.clear();
        const std::u16string path = missing.u16string();
        EXPECT_EQ(OpenWorkbook(path.c_str()), 0);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0], u"Unable to open PXL file : " + path);
        ReleaseWorkbook();
    }
    std::filesystem::remove_all(directory);
}

} // namespace
} // namespace spreadsheet
