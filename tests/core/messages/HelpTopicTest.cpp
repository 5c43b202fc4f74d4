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
        { core::kHelpTopicResizeDialog, core::kViewNone, u"file:tallowin.htm#docoptions" },
        { core::kHelpTopicStartupScreen, core::kViewNone, u"file:tallowin.htm#Main_Contents" },
        { core::kHelpTopicEmailOptions, core::kViewNone, u"file:tallowin.htm#emailoptions" },
        { core::kHelpTopicSheetOptions, core::kViewNone, u"file:tallowin.htm#emailoptions" },
        { core::kHelpTopicMainWindow, core::kViewDocuments, u"file:tallowin.htm#docs" },
        { core::kHelpTopicMainWindow, core::kViewWorkbooks, u"file:tallowin.htm#excel" },
        { core::kHelpTopicMainWindow, core::kViewEmail, u"file:tallowin.htm#emails" },
        // The window between two views, and topics nobody defined.
        { core::kHelpTopicMainWindow, core::kViewNone, nullptr },
        { 4, core::kViewDocuments, nullptr },
        { 6, core::kViewDocuments, nullptr },
        { -1, core::kViewDocuments, nullptr },
    };
    std::vector<Started> started;
    platform::SetProcessStarter([&started](std::u16string_view application, std::u16string_view commandLine) {
        started.push_back({ std::u16string(application), std::u16string(commandLine) });
        return true;
    });
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "topic " << row.Topic << ", view " << row.View);
        started.clear();
        core::ResetAppSettings();
        core::Settings().ViewMode = row.View;
        core::ShowHelpTopic(row.Topic);
        if (!row.Page) {
            EXPECT_TRUE(started.empty());
            continue;
        }
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0].Application, u"peghelp");
        EXPECT_EQ(started[0].CommandLine, row.Page);
    }
    platform::SetProcessStarter({});
    core::ResetAppSettings();
}

} // namespace
