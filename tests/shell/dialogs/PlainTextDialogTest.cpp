#include "PlainTextDialog.h"

#include "DialogResourceIds.h"
#include "DialogTest.h"

#include <cstdlib>
#include <string>
#include <utility>
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

class PlainTextDialogTest : public dialogtest::DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        setenv("LC_ALL", "en_US.UTF-8", 1);
        FakeSetup().Fonts
            = { { u"Liberation Serif", 0 }, { u"DejaVu Sans", 0 }, { u"Symbol", 2 }, { u"Courier New", 0 } };
    }

    // Runs dialog 104 with a script; returns the dialog as it ended.
    static Dialog Run(std::vector<DialogAction> actions, std::intptr_t* result = nullptr)
    {
        shell::PlainTextDialogResult() = 0;
        return DialogTest::Run(kPlainTextDialog, shell::PlainTextDialogProc, std::move(actions), result);
    }
};

// The list of faces the printing library enumerates, for the dialog's list.
using FontListTest = PlainTextDialogTest;

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

// The caption's OK takes the same branch as "Print Plain Text". Cancel
// marks the job cancelled and changes nothing.
TEST_F(PlainTextDialogTest, PrintAppliesTheChoicesWithoutSavingAndCancelChangesNothing)
{
    for (int button : { kPlainTextPrintButton, kCancelCommand }) {
        SCOPED_TRACE(button);
        core::ResetAppSettings();
        printengine::Job().FinalStatus = 0;
        std::intptr_t result = 0;
        Run({ DialogAction::Select(kPlainTextFaceList, 3), DialogAction::Check(kPlainTextBoldCheck),
                DialogAction::Check(kPlainTextItalicCheck), DialogAction::Select(kPlainTextSizeCombo, 9),
                DialogAction::Select(kPlainTextTabCombo, 8), DialogAction::Press(button) },
            &result);
        const core::AppSettings& settings = core::Settings();
        const bool print = button == kPlainTextPrintButton;
        EXPECT_EQ(result, button);
        EXPECT_EQ(shell::PlainTextDialogResult(), print ? 1 : 0);
        EXPECT_EQ(printengine::Job().FinalStatus, print ? 0 : 1);
        EXPECT_EQ(std::u16string(settings.TextFontFace), print ? u"Symbol" : u"Courier New");
        EXPECT_EQ(settings.TextFontCharset, print ? 2 : 0);
        EXPECT_EQ(settings.TextBold, print ? 1 : 0);
        EXPECT_EQ(settings.TextItalic, print ? 1 : 0);
        EXPECT_EQ(settings.TextFontSize, print ? 14 : 12);
        EXPECT_EQ(settings.TextTabSize, print ? 10 : 4);
        EXPECT_EQ(shell::FontList(), nullptr);
    }
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

TEST_F(FontListTest, KeepsEnumerationOrderFindsTheFirstExactMatchCutsLongNamesAndNeedsTheLibrary)
{
    FakeSetup().Fonts
        = { { u"Liberation Serif", 0 }, { u"DejaVu Sans", 0 }, { u"Symbol", 2 }, { u"Liberation Serif", 204 } };
    shell::BuildFontList();
    EXPECT_EQ(
        Faces(), (std::vector<std::u16string> { u"Liberation Serif", u"DejaVu Sans", u"Symbol", u"Liberation Serif" }));
    // A face that is not found leaves the charset alone (99 here).
    for (const auto& [face, expected] : { std::pair<const char16_t*, int> { u"Liberation Serif", 0 }, { u"Symbol", 2 },
             { u"Liberation", 99 }, { nullptr, 99 } }) {
        std::uint8_t charset = 99;
        EXPECT_EQ(shell::FindFontCharset(face, &charset), expected != 99);
        EXPECT_EQ(charset, expected);
    }
    // A rebuild replaces the list.
    FakeSetup().Fonts = { { std::u16string(40, u'x'), 0 } };
    shell::BuildFontList();
    EXPECT_EQ(Faces(), std::vector<std::u16string> { std::u16string(LF_FACESIZE - 1, u'x') });
    shell::FreeFontList();
    EXPECT_EQ(shell::FontList(), nullptr);
    shell::FreeFontList();
    // Without the library the list is empty.
    RemoveFakePrinter();
    shell::BuildFontList();
    EXPECT_EQ(shell::FontList(), nullptr);
    std::uint8_t charset = 7;
    EXPECT_FALSE(shell::FindFontCharset(u"Symbol", &charset));
    EXPECT_EQ(charset, 7);
}

} // namespace
