#include "FrontEnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MailOptionTest, MessageFileGoesBesideTheCommandLineWithExitCodes)
{
    struct Row {
        std::vector<std::string> arguments;
        std::string commandLine;
        std::string mailFile;
    };
    const Row rows[] = {
        { { "--mail", "/home/pat/Maildir/cur/1.x:2,S" }, "/E", "/home/pat/Maildir/cur/1.x:2,S" },
        { { "--quick", "--mail=a b.eml" }, "/Q /E", "a b.eml" },
        { { "--mail", "m.eml", "--exit-codes", "--output", "o.pdf" }, "/E /E", "m.eml" },
    };
    for (const Row& row : rows) {
        const shell::FrontEndRequest request = shell::TranslateArguments(row.arguments);
        ASSERT_EQ(request.action, shell::FrontEndRequest::Action::Run) << request.error;
        EXPECT_EQ(request.commandLine, row.commandLine);
        ASSERT_TRUE(request.mailFile.has_value());
        EXPECT_EQ(*request.mailFile, row.mailFile);
    }
}

TEST(MailOptionTest, RefusedCombinations)
{
    const std::vector<std::vector<std::string>> rows = {
        { "--mail" },
        { "--mail=" },
        { "--mail", "a.eml", "--mail", "b.eml" },
        { "--mail", "a.eml", "--file", "b.txt" },
        { "--workbook", "b.pxl", "--mail", "a.eml" },
    };
    for (const std::vector<std::string>& arguments : rows) {
        const shell::FrontEndRequest request = shell::TranslateArguments(arguments);
        EXPECT_EQ(request.action, shell::FrontEndRequest::Action::UsageError) << arguments.size();
        EXPECT_NE(request.error.find("--mail"), std::string::npos) << request.error;
    }
}

TEST(MailOptionTest, HelpNamesTheOption)
{
    EXPECT_NE(shell::HelpText("tallowin").find("--mail=MESSAGE"), std::string::npos);
}

} // namespace
