#include "AppSettings.h"
#include "Messages.h"
#include "Process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Started {
    std::u16string Application;
    std::u16string CommandLine;
};

TEST(HelpTopicTest, EachTopicOpensItsPageInTheHelpViewer)
{
    struct Row {
        int Topic;
        std::int32_t View;
        const char16_t* Page; // null: nothing is started
    };
    const Row rows[] = {
        { shell::kHelpTopicResizeDialog, shell::kViewNone, u"file:tallowin.htm#docoptions" },
        { shell::kHelpTopicStartupScreen, shell::kViewNone, u"file:tallowin.htm#Main_Contents" },
        { shell::kHelpTopicEmailOptions, shell::kViewNone, u"file:tallowin.htm#emailoptions" },
        { shell::kHelpTopicSheetOptions, shell::kViewNone, u"file:tallowin.htm#emailoptions" },
        { shell::kHelpTopicMainWindow, shell::kViewDocuments, u"file:tallowin.htm#docs" },
        { shell::kHelpTopicMainWindow, shell::kViewWorkbooks, u"file:tallowin.htm#excel" },
        { shell::kHelpTopicMainWindow, shell::kViewEmail, u"file:tallowin.htm#emails" },
        // The window between two views, and topics nobody defined.
        { shell::kHelpTopicMainWindow, shell::kViewNone, nullptr },
        { 4, shell::kViewDocuments, nullptr },
        { 6, shell::kViewDocuments, nullptr },
        { -1, shell::kViewDocuments, nullptr },
    };
    std::vector<Started> started;
    platform::SetProcessStarter([&started](std::u16string_view application, std::u16string_view commandLine) {
        started.push_back({ std::u16string(application), std::u16string(commandLine) });
        return true;
    });
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "topic " << row.Topic << ", view " << row.View);
        started.clear();
        shell::ResetAppSettings();
        shell::Settings().ViewMode = row.View;
        shell::ShowHelpTopic(row.Topic);
        if (!row.Page) {
            EXPECT_TRUE(started.empty());
            continue;
        }
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0].Application, u"peghelp");
        EXPECT_EQ(started[0].CommandLine, row.Page);
    }
    platform::SetProcessStarter({});
    shell::ResetAppSettings();
}

} // namespace
