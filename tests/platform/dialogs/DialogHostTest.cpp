#include "DialogHost.h"
#include "DialogResourceIds.h"
#include "DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace platform;

constexpr int kGo = 8;
constexpr int kCancel = 2;
constexpr int kCheck = 13;
constexpr int kList = 14;
constexpr int kEdit = 15;
constexpr int kRadioA = 20;
constexpr int kRadioB = 21;
constexpr int kOther = 30;

constexpr DialogControlTemplate kWithDefaultControls[] = {
    { kList, kListBoxClass, 0, u"", {} },
    { kEdit, kEditClass, 0, u"", {} },
    { kCheck, kButtonClass, BS_AUTOCHECKBOX, u"Bold", {} },
    { kRadioA, kButtonClass, BS_AUTORADIOBUTTON | WS_GROUP, u"A", {} },
    { kRadioB, kButtonClass, BS_AUTORADIOBUTTON, u"B", {} },
    { kOther, kButtonClass, BS_AUTORADIOBUTTON | WS_GROUP, u"other group", {} },
    { kGo, kButtonClass, BS_DEFPUSHBUTTON, u"Go", {} },
    { kCancel, kButtonClass, BS_PUSHBUTTON, u"Cancel", {} },
};
constexpr DialogTemplate kWithDefault { 1, u"With default", 0, 0, {}, u"Tahoma", 8, kWithDefaultControls,
    std::size(kWithDefaultControls) };

constexpr DialogControlTemplate kNoDefaultControls[] = {
    { kCheck, kButtonClass, BS_AUTOCHECKBOX, u"Bold", {} },
};
constexpr DialogTemplate kCaptionOk { 2, u"Caption OK", 0, WS_EX_CAPTIONOKBTN, {}, u"Tahoma", 8, kNoDefaultControls,
    std::size(kNoDefaultControls) };
constexpr DialogTemplate kNoButtons { 3, u"Nothing", 0, 0, {}, u"Tahoma", 8, kNoDefaultControls,
    std::size(kNoDefaultControls) };

struct Received {
    unsigned message;
    int id;
    unsigned notification;
    std::intptr_t lParam;
    bool operator==(const Received&) const = default;
};

std::vector<Received> received;
bool endOnInit = false;
bool endOnCommand = true;

// Records every message; ends with the id of any button command except the
// check box and the radio buttons.
std::intptr_t RecordingProc(DialogHandle dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    received.push_back({ message, message == WM_COMMAND ? CommandId(wParam) : 0,
        message == WM_COMMAND ? CommandNotification(wParam) : 0, message == WM_COMMAND ? 0 : lParam });
    if (message == WM_INITDIALOG && endOnInit)
        EndDialog(dialog, 77);
    if (message == WM_COMMAND && endOnCommand && (CommandId(wParam) == kGo || CommandId(wParam) <= kCancel))
        EndDialog(dialog, CommandId(wParam));
    return 1;
}

class DialogHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        received.clear();
        endOnInit = false;
        endOnCommand = true;
    }
    void TearDown() override { SetDialogHost(nullptr); }
};

TEST_F(DialogHostTest, DialogBoxRunsOnTheInstalledHostAndHeadlessPressesTheDefaultButtonOrTheCaptionOk)
{
    // No template 9999 anywhere: nothing runs.
    EXPECT_EQ(DialogBoxParamW(ProgramModule(), 9999, nullptr, RecordingProc, 0), -1);
    EXPECT_TRUE(received.empty());

    ScriptedDialogHost host({ DialogAction::Press(kCancel) });
    SetDialogHost(&host);
    EXPECT_EQ(&CurrentDialogHost(), &host);
    EXPECT_EQ(DialogBoxParamW(ProgramModule(), 104, nullptr, RecordingProc, 5), kCancel);
    EXPECT_EQ(host.Runs(), 1);
    EXPECT_EQ(received.front(), (Received { WM_INITDIALOG, 0, 0, 5 }));

    SetDialogHost(nullptr);
    received.clear();
    // The headless host presses the plain-text dialog's default button 8.
    EXPECT_EQ(DialogBoxParamW(ProgramModule(), 104, nullptr, RecordingProc, 0), kGo);

    struct Row {
        const char* what;
        const DialogTemplate* dialogTemplate;
        bool endOnInit;
        bool endOnCommand;
        std::vector<Received> received;
        std::intptr_t result;
    };
    const Received init { WM_INITDIALOG, 0, 0, 42 };
    const Row rows[] = {
        { "default button", &kWithDefault, false, true, { init, { WM_COMMAND, kGo, BN_CLICKED, 0 } }, kGo },
        { "caption OK", &kCaptionOk, false, true, { init, { WM_COMMAND, IDOK_COMMAND, BN_CLICKED, 0 } }, IDOK_COMMAND },
        { "ended at init", &kWithDefault, true, true, { init }, 77 },
        // A dialog that does not end on the press is closed with 0.
        { "default button ignored", &kWithDefault, false, false, { init, { WM_COMMAND, kGo, BN_CLICKED, 0 } }, 0 },
        { "nothing to press", &kNoButtons, false, false, { init }, 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        received.clear();
        endOnInit = row.endOnInit;
        endOnCommand = row.endOnCommand;
        Dialog dialog(*row.dialogTemplate, nullptr, RecordingProc, 42);
        HeadlessDialogHost().RunModal(dialog);
        EXPECT_EQ(received, row.received);
        EXPECT_TRUE(dialog.Ended);
        EXPECT_EQ(dialog.Result, row.result);
    }
}

TEST_F(DialogHostTest, ScriptPlaysActionsInOrderUntilTheEndAndRadioButtonsClearOnlyTheirGroup)
{
    ScriptedDialogHost host({ DialogAction::SetText(kEdit, u"A1:B2"), DialogAction::Check(kCheck),
        DialogAction::Select(kList, 0), DialogAction::Help(), DialogAction::Paint(),
        DialogAction::SettingChange(0x3002), DialogAction::Press(kCancel), DialogAction::Press(kGo) });
    Dialog dialog(kWithDefault, nullptr, RecordingProc, 0);
    SendDlgItemMessageW(&dialog, kList, LB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(u"only"));
    host.RunModal(dialog);
    EXPECT_EQ(received,
        (std::vector<Received> { { WM_INITDIALOG, 0, 0, 0 }, { WM_COMMAND, kEdit, EN_CHANGE, 0 },
            { WM_COMMAND, kCheck, BN_CLICKED, 0 }, { WM_COMMAND, kList, LBN_SELCHANGE, 0 }, { WM_HELP, 0, 0, 0 },
            { WM_PAINT, 0, 0, 0 }, { WM_SETTINGCHANGE, 0, 0, 0 }, { WM_COMMAND, kCancel, BN_CLICKED, 0 } }));
    EXPECT_EQ(dialog.Result, kCancel);
    EXPECT_EQ(host.ActionsPlayed(), 7u);
    ASSERT_TRUE(host.LastDialog().has_value());
    EXPECT_EQ(GetDlgItemTextW(const_cast<Dialog*>(&*host.LastDialog()), kEdit), u"A1:B2");
    EXPECT_EQ(host.LastDialog()->Control(kCheck)->Checked, BST_CHECKED);
    EXPECT_EQ(host.LastDialog()->Control(kList)->Selection, 0);

    // Checking a radio button clears only its group; unknown controls get nothing.
    received.clear();
    ScriptedDialogHost radios({ DialogAction::Check(kRadioA), DialogAction::Check(kOther), DialogAction::Check(kRadioB),
        DialogAction::SetText(99, u"x"), DialogAction::Check(99), DialogAction::Select(99, 0) });
    Dialog radioDialog(kWithDefault, nullptr, RecordingProc, 0);
    radios.RunModal(radioDialog);
    const Dialog& last = *radios.LastDialog();
    EXPECT_EQ(last.Control(kRadioA)->Checked, BST_UNCHECKED);
    EXPECT_EQ(last.Control(kRadioB)->Checked, BST_CHECKED);
    EXPECT_EQ(last.Control(kOther)->Checked, BST_CHECKED);
    EXPECT_EQ(received.size(), 4u);
    EXPECT_FALSE(radioDialog.Ended);
}

TEST(DialogTemplateTest, TemplatesAreFoundByUniqueIdInTheLanguageLibraryElseTheProgram)
{
    // The program's templates and the controls of each have unique ids.
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

    const DialogTemplate* plainText = FindDialogTemplate(ProgramModule(), kPlainTextDialog);
    ASSERT_NE(plainText, nullptr);
    EXPECT_EQ(std::u16string(plainText->Title), u"Plain Text Printing Options");
    EXPECT_EQ(plainText->ExtendedStyle & WS_EX_CAPTIONOKBTN, WS_EX_CAPTIONOKBTN);
    EXPECT_EQ(FindDialogTemplate(ProgramModule(), 9999), nullptr);
    EXPECT_EQ(FindDialogTemplate(nullptr, kPlainTextDialog), plainText);

    // A language library's own template wins; the others fall back, and a
    // damaged entry is ignored.
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
