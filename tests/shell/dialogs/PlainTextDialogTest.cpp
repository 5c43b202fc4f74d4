#include "PlainTextDialog.h"

#include "AppSettings.h"
#include "DialogHost.h"
#include "DialogResourceIds.h"
#include "FakePrinter.h"
#include "FontList.h"
#include "PrintJob.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace platform;
using namespace printengine::testing;

void SetFace(const std::u16string& face)
{
    auto& settings = core::Settings();
    std::fill(std::begin(settings.TextFontFace), std::end(settings.TextFontFace), u'\0');
    std::copy(face.begin(), face.end(), settings.TextFontFace);
}

class PlainTextDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        core::ResetAppSettings();
        printengine::ResetPrintEngine();
        InstallFakePrinter();
        FakeSetup().Fonts
            = { { u"Liberation Serif", 0 }, { u"DejaVu Sans", 0 }, { u"Symbol", 2 }, { u"Courier New", 0 } };
    }
    void TearDown() override
    {
        SetDialogHost(nullptr);
        shell::FreeFontList();
        RemoveFakePrinter();
    }

    // Runs dialog 104 with a script; returns the dialog as it ended.
    Dialog Run(std::vector<DialogAction> actions, std::intptr_t* result = nullptr)
    {
        ScriptedDialogHost host(std::move(actions));
        SetDialogHost(&host);
        shell::PlainTextDialogResult() = 0;
        std::intptr_t ended
            = DialogBoxParamW(ProgramModule(), kPlainTextDialog, nullptr, shell::PlainTextDialogProc, 0);
        if (result)
            *result = ended;
        SetDialogHost(nullptr);
        return *host.LastDialog();
    }
};

// The list of faces the printing library enumerates, for the dialog's list.
class FontListTest : public PlainTextDialogTest {
protected:
    void SetUp() override
    {
        PlainTextDialogTest::SetUp();
        FakeSetup().Fonts
            = { { u"Liberation Serif", 0 }, { u"DejaVu Sans", 0 }, { u"Symbol", 2 }, { u"Liberation Serif", 204 } };
    }
};

std::vector<std::u16string> Faces()
{
    std::vector<std::u16string> faces;
    for (shell::FontListEntry* entry = shell::FontList(); entry; entry = entry->Next)
        faces.emplace_back(entry->FaceName);
    return faces;
}

TEST_F(PlainTextDialogTest, SelectsStoredValuesOrTheFirstEntry)
{
    struct Row {
        std::u16string face;
        std::int32_t size;
        std::int32_t tab;
        std::uint8_t bold;
        int faceIndex;
        int sizeIndex;
        int tabIndex;
    };
    const Row rows[] = {
        { u"Symbol", 72, 10, 1, 3, 19, 8 },
        { u"symbol", 4, 0, 0, 3, 0, 0 }, // a list box finds faces without regard to case
        { u"Missing", 13, 7, 1, 0, 0, 0 }, // none of them offered
    };
    for (const Row& row : rows) {
        SetFace(row.face);
        core::Settings().TextFontSize = row.size;
        core::Settings().TextTabSize = row.tab;
        core::Settings().TextBold = row.bold;
        Dialog dialog = Run({});
        EXPECT_EQ(dialog.Control(kPlainTextFaceList)->Selection, row.faceIndex);
        EXPECT_EQ(dialog.Control(kPlainTextSizeCombo)->Selection, row.sizeIndex);
        EXPECT_EQ(dialog.Control(kPlainTextTabCombo)->Selection, row.tabIndex);
        EXPECT_EQ(dialog.Control(kPlainTextBoldCheck)->Checked, row.bold);
    }
}

TEST_F(PlainTextDialogTest, FillsTheScreen)
{
    SetScreenSize(480, 640);
    Dialog dialog = Run({ DialogAction::Paint() });
    EXPECT_EQ(dialog.Window.Right - dialog.Window.Left, 480);
    EXPECT_EQ(dialog.Window.Bottom - dialog.Window.Top, 640);
    EXPECT_TRUE(dialog.Foreground);
    EXPECT_EQ(dialog.FullScreenState, 10);
    EXPECT_EQ(dialog.InitDialogFlags, 24u);
    SetScreenSize(240, 320);
}

// The caption's OK takes the same branch as "Print Plain Text".
TEST_F(PlainTextDialogTest, PrintAppliesTheChoicesWithoutSaving)
{
    std::intptr_t result = 0;
    Run({ DialogAction::Select(kPlainTextFaceList, 3), DialogAction::Check(kPlainTextBoldCheck),
            DialogAction::Check(kPlainTextItalicCheck), DialogAction::Select(kPlainTextSizeCombo, 9),
            DialogAction::Select(kPlainTextTabCombo, 8), DialogAction::Press(kPlainTextPrintButton) },
        &result);
    const core::AppSettings& settings = core::Settings();
    EXPECT_EQ(result, kPlainTextPrintButton);
    EXPECT_EQ(shell::PlainTextDialogResult(), 1);
    EXPECT_EQ(std::u16string(settings.TextFontFace), u"Symbol");
    EXPECT_EQ(settings.TextFontCharset, 2);
    EXPECT_EQ(settings.TextBold, 1);
    EXPECT_EQ(settings.TextItalic, 1);
    EXPECT_EQ(settings.TextFontSize, 14);
    EXPECT_EQ(settings.TextTabSize, 10);
    EXPECT_EQ(shell::FontList(), nullptr);
}

// An untouched size outside the table becomes the first; combos without a
// selection, and a face list the library left empty, keep the stored values.
TEST_F(PlainTextDialogTest, UntouchedOrEmptyChoicesAndTheStoredValues)
{
    core::Settings().TextFontSize = 13;
    Run({ DialogAction::Press(kPlainTextPrintButton) });
    EXPECT_EQ(core::Settings().TextFontSize, 4);

    FakeSetup().Fonts.clear();
    SetFace(u"Courier New");
    core::Settings().TextFontCharset = 5;
    core::Settings().TextFontSize = 13;
    core::Settings().TextTabSize = 7;
    Run({ DialogAction::Select(kPlainTextSizeCombo, -1), DialogAction::Select(kPlainTextTabCombo, -1),
        DialogAction::Press(kPlainTextPrintButton) });
    EXPECT_EQ(core::Settings().TextFontSize, 13);
    EXPECT_EQ(core::Settings().TextTabSize, 7);
    EXPECT_EQ(std::u16string(core::Settings().TextFontFace), u"Courier New");
    EXPECT_EQ(core::Settings().TextFontCharset, 5);
    EXPECT_EQ(shell::PlainTextDialogResult(), 1);
}

TEST_F(PlainTextDialogTest, CancelMarksTheJobCancelledAndChangesNothing)
{
    std::intptr_t result = 0;
    printengine::Job().FinalStatus = 0;
    Run({ DialogAction::Check(kPlainTextBoldCheck), DialogAction::Select(kPlainTextFaceList, 3),
            DialogAction::Press(kCancelCommand) },
        &result);
    EXPECT_EQ(result, kCancelCommand);
    EXPECT_EQ(printengine::Job().FinalStatus, 1);
    EXPECT_EQ(shell::PlainTextDialogResult(), 0);
    EXPECT_EQ(core::Settings().TextBold, 0);
    EXPECT_EQ(std::u16string(core::Settings().TextFontFace), u"Courier New");
    EXPECT_EQ(shell::FontList(), nullptr);
}

TEST_F(FontListTest, KeepsEnumerationOrderFindsTheFirstExactMatchAndCutsLongNames)
{
    shell::BuildFontList();
    EXPECT_EQ(
        Faces(), (std::vector<std::u16string> { u"Liberation Serif", u"DejaVu Sans", u"Symbol", u"Liberation Serif" }));
    struct Row {
        const char16_t* face;
        bool found;
        std::uint8_t charset;
    };
    const Row rows[] = {
        { u"Liberation Serif", true, 0 },
        { u"Symbol", true, 2 },
        { u"Liberation", false, 99 },
        { nullptr, false, 99 },
    };
    for (const Row& row : rows) {
        std::uint8_t charset = 99;
        EXPECT_EQ(shell::FindFontCharset(row.face, &charset), row.found);
        EXPECT_EQ(charset, row.charset);
    }
    // A rebuild replaces the list.
    FakeSetup().Fonts = { { std::u16string(40, u'x'), 0 } };
    shell::BuildFontList();
    EXPECT_EQ(Faces(), std::vector<std::u16string> { std::u16string(LF_FACESIZE - 1, u'x') });
    shell::FreeFontList();
    EXPECT_EQ(shell::FontList(), nullptr);
    shell::FreeFontList();
}

TEST_F(FontListTest, WithoutTheLibraryTheListIsEmpty)
{
    RemoveFakePrinter();
    shell::BuildFontList();
    EXPECT_EQ(shell::FontList(), nullptr);
    std::uint8_t charset = 7;
    EXPECT_FALSE(shell::FindFontCharset(u"Symbol", &charset));
    EXPECT_EQ(charset, 7);
}

} // namespace
