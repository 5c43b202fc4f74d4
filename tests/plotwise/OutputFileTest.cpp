#include "OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace plotwise;

namespace {

std::string Read(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path()
            / ("plotwise-output-" + std::to_string(getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    bool WriteFile(const std::string& name, ExistingFile existing, const std::string& content, std::string& written)
    {
        OutputFile file;
        std::string error;
        if (!file.Open((folder / name).string(), existing, error))
            return false;
        file.Write(content.data(), content.size());
        bool committed = file.Commit(error);
        written = file.FinalPath();
        return committed;
    }

    std::filesystem::path folder;
};

TEST_F(OutputFileTest, NumberedCopiesKeepExistingFiles)
{
    std::string written;
    ASSERT_TRUE(WriteFile("job.pdf", ExistingFile::KeepAndNumber, "one", written));
    EXPECT_EQ(written, (folder / "job.pdf").string());
    ASSERT_TRUE(WriteFile("job.pdf", ExistingFile::KeepAndNumber, "two", written));
    EXPECT_EQ(written, (folder / "job (2).pdf").string());
    ASSERT_TRUE(WriteFile("job.pdf", ExistingFile::Replace, "three", written));
    EXPECT_EQ(Read(folder / "job.pdf"), "three");
    EXPECT_EQ(Read(folder / "job (2).pdf"), "two");
    ASSERT_TRUE(WriteFile("noextension", ExistingFile::KeepAndNumber, "a", written));
    ASSERT_TRUE(WriteFile("noextension", ExistingFile::KeepAndNumber, "b", written));
    EXPECT_EQ(written, (folder / "noextension (2)").string());
}

TEST_F(OutputFileTest, AnAbandonedFileLeavesNothing)
{
    {
        OutputFile file;
        std::string error;
        ASSERT_TRUE(file.Open((folder / "x.pdf").string(), ExistingFile::Replace, error));
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
