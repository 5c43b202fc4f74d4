#include "Messages.h"

#include "AppSettings.h"
#include "MessageBox.h"
#include "Process.h"
#include "StringIds.h"
#include "StringTable.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace platform;
using core::LoadResString;

struct ShownBox {
    std::u16string text;
    std::u16string caption;
};

// Records every message box and restores the program module and the
// standard-error host afterwards.
class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageBoxHost([this](std::u16string_view text, std::u16string_view caption) {
            m_shown.push_back({ std::u16string(text), std::u16string(caption) });
            return IDOK;
        });
    }

    void TearDown() override
    {
        SetMessageBoxHost({});
        core::SetResourceModule(ProgramModule());
        core::SetBusyCursorHost({});
        if (m_language != nullptr)
            dlclose(m_language);
    }

    ModuleHandle LongTextLanguage()
    {
        if (m_language == nullptr)
            m_language = dlopen(TEST_LANGUAGE_LONG, RTLD_NOW | RTLD_LOCAL);
        return m_language;
    }

    std::vector<ShownBox> m_shown;
    ModuleHandle m_language = nullptr;
};

struct WithTextRow {
    bool longLibrary; // the long library's entry rather than the program's
    unsigned id;
    std::size_t textLength; // of a file name made of 'x'
    bool nullText;
    std::size_t expectedEntryLength;
    bool expectAppended;
};

// "Unable to open file: " is 21 units; the long library's 40050 entry is
// 170 units, read as 159.
constexpr WithTextRow kWithTextRows[] = {
    { false, kStrFileOpenFailed, 178, false, 21, true },
    { false, kStrFileOpenFailed, 179, false, 21, false },
    { false, kStrFileOpenFailed, 0, true, 21, false },
    { false, 12345, 30, false, 0, true },
    { true, kStrPxlOpenFailed, 40, false, 159, true },
    { true, kStrPxlOpenFailed, 41, false, 159, false },
};

TEST_F(MessagesTest, MessagesStayBelowTwoHundredCountingTheEntryAsRead)
{
    ASSERT_NE(LongTextLanguage(), nullptr);
    for (const WithTextRow& row : kWithTextRows) {
        SCOPED_TRACE(testing::Message() << row.id << " with " << row.textLength);
        const ModuleHandle module = row.longLibrary ? LongTextLanguage() : ProgramModule();
        core::SetResourceModule(module);
        std::u16string fileName(row.textLength, u'x');
        core::ShowMessageIdWithText(row.id, row.nullText ? nullptr : fileName.c_str());
        ASSERT_FALSE(m_shown.empty());
        std::u16string expected(LoadStringW(module, row.id).substr(0, row.expectedEntryLength));
        if (row.expectAppended)
            expected += fileName;
        EXPECT_EQ(m_shown.back().text, expected);
        EXPECT_LT(m_shown.back().text.size(), 200u);
    }
    EXPECT_EQ(m_shown.front().caption, u"Alert...");
    // Without a text the entry shows up to 199 units, under a caption of at
    // most 19; an entry the library lacks is the program's.
    core::ShowMessageId(kStrInvalidFileType);
    EXPECT_EQ(m_shown.back().text.size(), 199u);
    EXPECT_EQ(m_shown.back().caption, u"A caption of thirty");
    EXPECT_EQ(core::ShowMessageId(kStrRtfParseError), IDOK);
    EXPECT_EQ(m_shown.back().text, u"Error parsing rtf");
}

TEST_F(MessagesTest, LoadResStringFallsBackToTheProgram)
{
    EXPECT_EQ(core::ResourceModule(), ProgramModule()) << "the resource module starts as the program";
    ASSERT_NE(LongTextLanguage(), nullptr);
    ModuleHandle language = LongTextLanguage();
    char16_t buffer[40] = u"untouched";

    EXPECT_EQ(std::u16string(LoadResString(language, kStrFileOpenFailed, nullptr, 20)), u"Datei: ");
    EXPECT_EQ(LoadResString(language, kStrHelpDocs, nullptr, 80), LoadStringW(ProgramModule(), kStrHelpDocs).data());
    EXPECT_EQ(LoadResString(language, 12345, nullptr, 20), nullptr);
    EXPECT_EQ(LoadResString(nullptr, kStrAlertCaption, buffer, 40), buffer);
    EXPECT_EQ(std::u16string(buffer), u"Alert...");

    EXPECT_EQ(LoadResString(language, 12345, buffer, 40), nullptr);
    EXPECT_EQ(std::u16string(buffer), u"");
    // A buffer cuts the text; one of no units is left alone.
    EXPECT_EQ(LoadResString(ProgramModule(), kStrAlertCaption, buffer, 8), buffer);
    EXPECT_EQ(std::u16string(buffer), u"Alert..");
    EXPECT_EQ(LoadResString(ProgramModule(), kStrAlertCaption, buffer, 0), nullptr);
    EXPECT_EQ(std::u16string(buffer), u"Alert..");

    core::SetResourceModule(nullptr);
    EXPECT_EQ(core::ResourceModule(), ProgramModule());
}

TEST(HelpTopicTest, EachTopicOpensItsPageInTheHelpViewer)
{
    // The topic, the view and the application and command line started.
    const std::tuple<int, std::int32_t, std::vector<std::u16string>> rows[] = {
        { core::kHelpTopicResizeDialog, core::kViewNone, { u"peghelp file:tallowin.htm#docoptions" } },
        { core::kHelpTopicStartupScreen, core::kViewNone, { u"peghelp file:tallowin.htm#Main_Contents" } },
        { core::kHelpTopicSheetOptions, core::kViewNone, { u"peghelp file:tallowin.htm#emailoptions" } },
        { core::kHelpTopicMainWindow, core::kViewDocuments, { u"peghelp file:tallowin.htm#docs" } },
        { core::kHelpTopicMainWindow, core::kViewWorkbooks, { u"peghelp file:tallowin.htm#excel" } },
        { core::kHelpTopicMainWindow, core::kViewEmail, { u"peghelp file:tallowin.htm#emails" } },
        // The window between two views, and topics nobody defined: nothing starts.
        { core::kHelpTopicMainWindow, core::kViewNone, {} },
        { -1, core::kViewDocuments, {} },
    };
    std::vector<std::u16string> started;
    platform::SetProcessStarter([&started](std::u16string_view application, std::u16string_view commandLine) {
        started.push_back(std::u16string(application) + u" " + std::u16string(commandLine));
        return true;
    });
    for (const auto& [topic, view, expected] : rows) {
        SCOPED_TRACE(testing::Message() << "topic " << topic << ", view " << view);
        started.clear();
        core::ResetAppSettings();
        core::Settings().ViewMode = view;
        core::ShowHelpTopic(topic);
        EXPECT_EQ(started, expected);
    }
    platform::SetProcessStarter({});
    core::ResetAppSettings();
}

} // namespace
