#include "DialogTemplate.h"
#include "DialogResourceIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace platform;

TEST(DialogTemplateTest, ProgramTemplatesAreFoundById)
{
    const DialogTemplate* plainText = FindDialogTemplate(ProgramModule(), kPlainTextDialog);
    ASSERT_NE(plainText, nullptr);
    EXPECT_EQ(std::u16string(plainText->Title), u"Plain Text Printing Options");
    EXPECT_EQ(plainText->ExtendedStyle & WS_EX_CAPTIONOKBTN, WS_EX_CAPTIONOKBTN);
    EXPECT_EQ(FindDialogTemplate(ProgramModule(), 9999), nullptr);
    EXPECT_EQ(FindDialogTemplate(nullptr, kPlainTextDialog), plainText);
}

TEST(DialogTemplateTest, ProgramTemplateIdsAreUnique)
{
    const DialogTemplateTable& table = ProgramDialogTemplates();
    for (std::size_t i = 0; i < table.Count; ++i) {
        const DialogTemplate& dialog = table.Templates[i];
        for (std::size_t j = i + 1; j < table.Count; ++j)
            EXPECT_NE(dialog.Id, table.Templates[j].Id);
        for (std::size_t c = 0; c < dialog.ControlCount; ++c) {
            if (dialog.Controls[c].Id == kUnaddressedControl)
                continue;
            for (std::size_t d = c + 1; d < dialog.ControlCount; ++d)
                EXPECT_NE(dialog.Controls[c].Id, dialog.Controls[d].Id) << dialog.Id;
        }
    }
}

TEST(DialogTemplateTest, LanguageLibraryTemplateWinsAndOthersFallBack)
{
    setenv("TALLOWIN_LIBDIR", TEST_MODULE_DIR, 1);
    ModuleHandle language = LoadLibraryW("dialogs_test_language.so");
    ASSERT_NE(language, nullptr);
    const DialogTemplate* own = FindDialogTemplate(language, kPlainTextDialog);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(std::u16string(own->Title), u"Optionen");
    EXPECT_EQ(FindDialogTemplate(language, 9999), nullptr);
    EXPECT_EQ(FindDialogTemplate(language, 77), nullptr);
    FreeLibrary(language);
}

} // namespace
