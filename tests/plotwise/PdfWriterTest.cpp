#include "PdfWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace plotwise {
namespace {

TEST(PdfWriterTest, NumbersAreWrittenShortAndExact)
{
    struct Row {
        double Value;
        int Decimals;
        const char* Expected;
    };
    const Row rows[] = {
        { 0, 2, "0" },
        { 12, 2, "12" },
        { 0.5, 2, "0.5" },
        { -3.25, 2, "-3.25" },
        { 697.5, 2, "697.5" },
        { 0.12, 6, "0.12" },
        { 0.123456789, 6, "0.123457" },
        { 1.005, 2, "1" }, // 1.00499999... in binary
        { 2.675, 1, "2.7" },
        { 0.001, 2, "0" },
        { -0.001, 2, "0" },
        { -0.6, 0, "-1" },
        { 1e300, 2, "1000000000000" },
        { -1e300, 2, "-1000000000000" },
        { std::numeric_limits<double>::quiet_NaN(), 2, "0" },
        { std::numeric_limits<double>::infinity(), 2, "0" },
        { 5.5, 9, "5.5" },
    };
    for (const Row& row : rows) {
        std::string out;
        AppendReal(out, row.Value, row.Decimals);
        EXPECT_EQ(out, row.Expected) << row.Value << " with " << row.Decimals;
    }
    std::string integers;
    for (int64_t value : { int64_t { 0 }, int64_t { -7 }, int64_t { 1234567890123 } }) {
        AppendInteger(integers, value);
        integers += ' ';
    }
    EXPECT_EQ(integers, "0 -7 1234567890123 ");
}

TEST(PdfWriterTest, TextStringsAreUtf16WithByteOrderMark)
{
    struct Row {
        std::string Utf8;
        const char* Expected;
    };
    const Row rows[] = {
        { "", "<FEFF>" }, { "Ab", "<FEFF00410062>" }, { "Größe", "<FEFF0047007200F600DF0065>" },
        { "\xF0\x9F\x98\x80", "<FEFFD83DDE00>" }, // outside the basic plane: a surrogate pair
        { "\xFF", "<FEFFFFFD>" }, // not UTF-8
        { "a\xE2\x82", "<FEFF0061FFFDFFFD>" }, // cut short
    };
    for (const Row& row : rows) {
        std::string out;
        AppendTextString(out, row.Utf8);
        EXPECT_EQ(out, row.Expected) << row.Utf8;
    }
}

class PdfFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = (std::filesystem::temp_directory_path() / ("pdf-writer-" + std::to_string(getpid()) + ".pdf")).string();
    }
    void TearDown() override { std::filesystem::remove(path_); }

    // The output file, opened, with the document's header written.
    void Open(OutputFile& file, PdfFile& pdf)
    {
        std::string error;
        ASSERT_TRUE(file.Open(path_, ExistingFile::Replace, error)) << error;
        ASSERT_TRUE(pdf.Begin());
    }

    std::string Contents() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    std::string path_;
};

// Every entry of the cross-reference table must point at its object, or a
// reader has to rebuild the table (and some refuse the file).
TEST_F(PdfFileTest, CrossReferenceTablePointsAtEveryObject)
{
    OutputFile file;
    PdfFile pdf(file);
    ASSERT_NO_FATAL_FAILURE(Open(file, pdf));
    int catalog = pdf.Reserve();
    int pages = pdf.Reserve();
    int content = pdf.Reserve();
    int page = pdf.Reserve();
    int info = pdf.Reserve();
    // Written out of order, the way fonts are written after the pages.
    ASSERT_TRUE(pdf.WriteStream(content, "", std::string(5000, 'x'), StreamData::Compressed));
    ASSERT_TRUE(pdf.WriteObject(page, "<</Type/Page/Parent 2 0 R/MediaBox[0 0 100 100]/Contents 3 0 R>>"));
    ASSERT_TRUE(pdf.WriteObject(pages, "<</Type/Pages/Kids[4 0 R]/Count 1>>"));
    ASSERT_TRUE(pdf.WriteObject(catalog, "<</Type/Catalog/Pages 2 0 R>>"));
    ASSERT_TRUE(pdf.WriteObject(info, "<<>>"));
    ASSERT_TRUE(pdf.Finish(catalog, info));
    std::string error;
    ASSERT_TRUE(file.Commit(error)) << error;

    std::string bytes = Contents();
    size_t startxref = bytes.rfind("startxref\n");
    ASSERT_NE(startxref, std::string::npos);
    size_t table = std::stoul(bytes.substr(startxref + 10));
    ASSERT_EQ(bytes.compare(table, 7, "xref\n0 "), 0);
    std::istringstream entries(bytes.substr(table + 5));
    int first = -1;
    int count = 0;
    entries >> first >> count;
    ASSERT_EQ(first, 0);
    ASSERT_EQ(count, 6);
    entries.ignore(1);
    std::string line;
    std::getline(entries, line);
    EXPECT_EQ(line, "0000000000 65535 f ");
    for (int number = 1; number < count; ++number) {
        std::getline(entries, line);
        ASSERT_EQ(line.size(), 19u) << line; // twenty bytes with the newline
        size_t offset = std::stoul(line.substr(0, 10));
        std::string head = std::to_string(number) + " 0 obj\n";
        EXPECT_EQ(bytes.compare(offset, head.size(), head), 0) << "object " << number;
    }
    std::smatch length;
    ASSERT_TRUE(std::regex_search(bytes, length, std::regex(R"(/Length (\d+)/Filter/FlateDecode>>\nstream\n)")));
    size_t streamStart = static_cast<size_t>(length.position(0) + length.length(0));
    EXPECT_EQ(bytes.compare(streamStart + std::stoul(length[1]), 10, "\nendstream"), 0);
    EXPECT_LT(std::stoul(length[1]), 100u); // five thousand alike bytes compress
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\n");
}

TEST_F(PdfFileTest, AnObjectReservedAndNeverWrittenFailsTheDocument)
{
    OutputFile file;
    PdfFile pdf(file);
    ASSERT_NO_FATAL_FAILURE(Open(file, pdf));
    int catalog = pdf.Reserve();
    pdf.Reserve();
    ASSERT_TRUE(pdf.WriteObject(catalog, "<<>>"));
    EXPECT_FALSE(pdf.Finish(catalog, catalog));
    file.Abandon();
}

} // namespace
} // namespace plotwise
