#include "OutputFile.h"
#include "PlotwiseTestSupport.h"

using namespace plotwise;
using namespace plotwise_test;

namespace {

using OutputFileTest = PlotwiseTest;

// The print job's cases number "job (2).pdf" and replace a named file; a
// name without an ending is numbered at its end.
TEST_F(OutputFileTest, NumberedCopiesKeepExistingFiles)
{
    std::string written;
    for (const char* content : { "a", "b" }) {
        OutputFile file;
        std::string error;
        ASSERT_TRUE(file.Open(Path("noextension"), ExistingFile::KeepAndNumber, error)) << error;
        file.Write(content, 1);
        ASSERT_TRUE(file.Commit(error)) << error;
        written = file.FinalPath();
    }
    EXPECT_EQ(written, Path("noextension (2)"));
    EXPECT_EQ(ReadFile(Path("noextension")), "a");
}

TEST(FileNameFromTitleTest, TitlesBecomeSafeFileNames)
{
    const std::pair<std::string, std::string> rows[] = {
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
    for (const auto& [title, fileName] : rows)
        EXPECT_EQ(FileNameFromTitle(title), fileName) << title;
}

} // namespace
