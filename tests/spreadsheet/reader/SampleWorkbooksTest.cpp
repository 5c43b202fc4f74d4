#include "SampleWorkbooks.h"
#include "ReaderTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace spreadsheet {
namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The committed samples are what the writer makes of their descriptions,
// and each reads without a message.
TEST_F(ReaderTest, CommittedSamplesMatchTheWriterAndRead)
{
    const std::filesystem::path directory = std::filesystem::path(TALLOWIN_SOURCE_DIR) / "samples" / "workbooks";
    for (const SampleWorkbook& sample : SampleWorkbooks()) {
        SCOPED_TRACE(sample.FileName);
        const std::vector<std::uint8_t> written = WriteWorkbook(sample.Content);
        EXPECT_EQ(ReadFile(directory / sample.FileName), written)
            << "regenerate with pxl-sample-writer samples/workbooks";
        const std::u16string path = (directory / sample.FileName).u16string();
        EXPECT_EQ(OpenWorkbook(path.c_str()), 1);
        EXPECT_TRUE(Messages.empty());
        EXPECT_EQ(Workbook().Sheets.size(), sample.Content.Sheets.size());
        for (std::size_t i = 0; i < sample.Content.Sheets.size(); ++i) {
            EXPECT_EQ(Workbook().Sheets[i].SheetName, sample.Content.Sheets[i].Name);
            EXPECT_NE(Workbook().Sheets[i].StartRecord, SheetInfo::kNoRecord);
        }
        ReleaseWorkbook();
    }
}

} // namespace
} // namespace spreadsheet
