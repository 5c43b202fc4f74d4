#include "OutputFile.h"
#include "PlotwiseTestSupport.h"

using namespace plotwise;
using namespace plotwise_test;

namespace {

class OutputFileTest : public PlotwiseTest {
protected:
    bool WriteFile(const std::string& name, ExistingFile existing, const std::string& content, std::string& written)
    {
        OutputFile file;
        std::string error;
        if (!file.Open(Path(name), existing, error))
            return false;
        file.Write(content.data(), content.size());
        bool committed = file.Commit(error);
        written = file.FinalPath();
        return committed;
    }
};

// The print job's cases number "job (2).pdf" and replace a named file; a
// name without an ending is numbered at its end.
TEST_F(OutputFileTest, NumberedCopiesKeepExistingFiles)
{
    std::string written;
    ASSERT_TRUE(WriteFile("noextension", ExistingFile::KeepAndNumber, "a", written));
    ASSERT_TRUE(WriteFile("noextension", ExistingFile::KeepAndNumber, "b", written));
    EXPECT_EQ(written, Path("noextension (2)"));
}

TEST_F(OutputFileTest, AnAbandonedFileLeavesNothing)
{
    {
        OutputFile file;
        std::string error;
        ASSERT_TRUE(file.Open(Path("x.pdf"), ExistingFile::Replace, error));
        file.Write("abc", 3);
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

struct TitleRow {
    std::string Title;
    std::string FileName;
};

TEST(FileNameFromTitleTest, TitlesBecomeSafeFileNames)
{
    const TitleRow rows[] = {
        { "Report", "Report" },
        { "a/b\\c", "a_b_c" },
        { "tab\there", "tab_here" },
        { "  .hidden  ", "hidden" },
        { "", "document" },
        { "...", "document" },
        { std::string(200, 'x'), std::string(120, 'x') },
        // 119 ASCII bytes and then a two-byte character: it is not cut in two.
        { std::string(119, 'x') + "\xC3\xA9", std::string(119, 'x') },
    };
    for (const TitleRow& row : rows)
        EXPECT_EQ(FileNameFromTitle(row.Title), row.FileName) << row.Title;
}

} // namespace
