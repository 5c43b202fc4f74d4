#include "MainWindow.h"

#include "AppSettings.h"
#include "DialogResourceIds.h"
#include "Messages.h"
#include "OptionDialogs.h"
#include "PrintJob.h"
#include "Printers.h"
#include "SettingsStore.h"
#include "StringIds.h"

#include <map>
#include <string>
#include <vector>

namespace shell {

void SetMenuCheck(int id, bool checked)
{
    platform::CurrentWindowSystem().CheckMenuItem(CurrentMenuBar(), id, checked);
}

std::u16string ResourceText(unsigned id, const char16_t* fallback)
{
    const char16_t* text = core::LoadResString(core::ResourceModule(), id, nullptr, 0);
    return text != nullptr ? std::u16string(text) : std::u16string(fallback);
}

namespace {

constexpr int kMenuBarDocuments = 102;
constexpr int kMenuBarWorkbooks = 131;
constexpr int kViewButtonsBitmap = 116;
constexpr int kViewButtonImages = 3;
constexpr int kDocumentListControlId = 102;
constexpr unsigned kStrEmailOptionsTitle = 40019;
// The wParam of WM_SETTINGCHANGE when the input panel was shown or hidden.
constexpr std::uintptr_t kInputPanelChange = platform::kInputPanelSettingChange;

struct ViewFilter {
    const char16_t* Label;
    const char16_t* Patterns;
};

constexpr ViewFilter kDocumentFilter { u"PocketWord (*.psw)", u" *.psw *.rtf *.pwi *.txt" };
constexpr ViewFilter kWorkbookFilter { u"PocketExcel (*.pxl)", u"*.pxl *.pxt" };

// The program's own menus of the three menu bars.
std::vector<platform::MenuItem> MenuItems(int menuBarId)
{
    switch (menuBarId) {
    case kMenuBarDocuments:
        return { { kCmdViewWorkbooks, u"Go to Pocket Excel printing..." }, { kCmdViewEmail, u"Go to email printing..." },
            { 0, u"" }, { kCmdResizeOptions, u"Resize Options..." }, { kCmdQuickPrint, u"Quick Print Flag" },
            { kCmdPlainText, u"Plain Text Flag" }, { 0, u"" }, { kCmdAbout, u"About..." }, { kCmdExit, u"Exit" } };
    case kMenuBarWorkbooks:
        return { { kCmdViewDocuments, u"Go to Pocket Word printing..." }, { kCmdViewEmail, u"Go to email printing..." },
            { 0, u"" }, { kCmdAbout, u"About..." }, { kCmdExit, u"Exit" } };
    default:
        return { { kCmdViewDocuments, u"Go to Pocket Word printing..." },
            { kCmdViewWorkbooks, u"Go to Pocket Excel printing..." }, { 0, u"" },
            { kCmdEmailOptions, u"Email Print Options..." }, { kCmdQuickPrint, u"Quick Print Flag" }, { 0, u"" },
            { kCmdAbout, u"About..." }, { kCmdExit, u"Exit" } };
    }
}

// The e-mail view when none is installed (the window procedure outside an
// interactive start, which installs the real one): an empty list under the
// e-mail menu bar.
class EmptyMailView final : public MailView {
public:
    bool MailAvailable() override { return true; }
    void CreateMailView() override
    {
        core::Settings().ViewMode = core::kViewEmail;
        CreateViewMenuBar(kMenuBarEmail);
        SetMenuCheck(kCmdQuickPrint, core::Settings().QuickPrint != 0);
        AddViewButtons();
        platform::DocumentListLayout layout;
        layout.Parent = MainWindow();
        layout.ControlId = kDocumentListControlId;
        layout.FilterLabel = u"Email";
        list_ = platform::CurrentWindowSystem().CreateDocumentList(layout);
        core::SaveSettings();
    }
    void DestroyMailView() override
    {
        if (list_ != nullptr)
            platform::CurrentWindowSystem().DestroyDocumentList(list_);
        list_ = nullptr;
        core::Settings().ViewMode = core::kViewNone;
    }
    void RefreshMailView() override {}
    bool MailViewCommand(int id) override
    {
        if (id == kCmdQuickPrint) {
            core::Settings().QuickPrint = core::Settings().QuickPrint != 0 ? 0 : 1;
            SetMenuCheck(kCmdQuickPrint, core::Settings().QuickPrint != 0);
            core::SaveSettings();
            return true;
        }
        if (id == kCmdAbout) {
            RunWindowDialog(platform::kStartupScreenDialog);
            return true;
        }
        if (id == kCmdEmailOptions) {
            RunWindowDialog(platform::kMailFontDialog);
            return true;
        }
        return false;
    }

private:
    WindowHandle list_ = nullptr;
};

struct WindowState {
    platform::MenuBarHandle MenuBar = nullptr;
    WindowHandle DocumentList = nullptr;
};

WindowState state;
EmptyMailView emptyMailView;
MailView* mailView = &emptyMailView;

std::int32_t ViewMode()
{
    return core::Settings().ViewMode;
}

int ViewOfCommand(int command)
{
    switch (command) {
    case kCmdViewDocuments:
        return core::kViewDocuments;
    case kCmdViewWorkbooks:
        return core::kViewWorkbooks;
    default:
        return core::kViewEmail;
    }
}

int ButtonState(int command)
{
    return ViewOfCommand(command) == ViewMode() ? platform::TBSTATE_CHECKED_ENABLED : platform::TBSTATE_ENABLED;
}

// Views 0 and 1: only an activated entry is handled; the path is asked for
// whole, so an entry of any path length prints.
std::intptr_t DocumentListNotify(const platform::NotifyHeader& header)
{
    if (header.Code != platform::DLN_ITEMACTIVATED || state.DocumentList == nullptr)
        return 0;
    std::u16string path;
    if (platform::CurrentWindowSystem().SendMessageW(
            state.DocumentList, platform::DLM_GETSELPATHNAME, 0, reinterpret_cast<std::intptr_t>(&path))
            == 0
        || path.empty())
        return 0;
    if (ViewMode() == core::kViewDocuments)
        OpenAndPrintDocument(MainWindow(), core::ResourceModule(), path.c_str());
    else
        PrintWorkbook(MainWindow(), core::ResourceModule(), path.c_str());
    return 0;
}

bool OptionsCommand(int id)
{
    core::AppSettings& settings = core::Settings();
    switch (id) {
    case kCmdQuickPrint:
        settings.QuickPrint = settings.QuickPrint != 0 ? 0 : 1;
        SetMenuCheck(kCmdQuickPrint, settings.QuickPrint != 0);
        core::SaveSettings();
        return true;
    case kCmdPlainText:
        settings.PlainText = settings.PlainText != 0 ? 0 : 1;
        SetMenuCheck(kCmdPlainText, settings.PlainText != 0);
        core::SaveSettings();
        return true;
    case kCmdResizeOptions:
        RunWindowDialog(platform::kResizeDialog);
        return true;
    case kCmdAbout:
        RunWindowDialog(platform::kStartupScreenDialog);
        return true;
    default:
        return false;
    }
}

void DestroyCurrentList()
{
    if (ViewMode() == core::kViewEmail)
        mailView->DestroyMailView();
    else if (ViewMode() == core::kViewDocuments || ViewMode() == core::kViewWorkbooks)
        DestroyDocumentList();
}

void SwitchToDocumentView(std::int32_t view)
{
    if (ViewMode() == view)
        return;
    DestroyCurrentList();
    core::Settings().ViewMode = view;
    CreateDocumentList();
}

// Every command answers 0, handled or not.
std::intptr_t WindowCommand(WindowHandle window, int id)
{
    switch (id) {
    case 1:
    case kCmdExit:
        core::SaveSettings();
        platform::CurrentWindowSystem().DestroyWindow(window);
        return 0;
    case kCmdViewDocuments:
        SwitchToDocumentView(core::kViewDocuments);
        return 0;
    case kCmdViewWorkbooks:
        SwitchToDocumentView(core::kViewWorkbooks);
        return 0;
    case kCmdViewEmail:
        if (ViewMode() == core::kViewEmail)
            return 0;
        if (mailView->MailAvailable()) {
            if (ViewMode() == core::kViewDocuments || ViewMode() == core::kViewWorkbooks)
                DestroyDocumentList();
            mailView->CreateMailView();
        } else {
            ResetViewButtons();
        }
        return 0;
    default:
        break;
    }
    if (ViewMode() == core::kViewEmail)
        mailView->MailViewCommand(id);
    else
        OptionsCommand(id);
    return 0;
}

} // namespace

void SetMailView(MailView* view)
{
    mailView = view != nullptr ? view : &emptyMailView;
}

MailView& CurrentMailView()
{
    return *mailView;
}

platform::MenuBarHandle CurrentMenuBar()
{
    return state.MenuBar;
}

platform::MenuBarHandle CreateViewMenuBar(int menuBarId)
{
    platform::WindowModel& windows = platform::CurrentWindowSystem();
    if (state.MenuBar != nullptr)
        windows.DestroyMenuBar(state.MenuBar);
    platform::MenuBarLayout layout;
    layout.MenuBarId = menuBarId;
    switch (menuBarId) {
    case kMenuBarDocuments:
        layout.ButtonCommand = kCmdDocOptions;
        layout.ButtonTitle = ResourceText(platform::kStrDocOptionsTitle, u"Doc Options");
        break;
    case kMenuBarWorkbooks:
        layout.ButtonCommand = kCmdExcelOptions;
        layout.ButtonTitle = ResourceText(platform::kStrExcelOptionsTitle, u"Excel Options");
        break;
    default:
        layout.ButtonCommand = 40019;
        layout.ButtonTitle = ResourceText(kStrEmailOptionsTitle, u"Email Options");
        break;
    }
    layout.Items = MenuItems(menuBarId);
    state.MenuBar = windows.CreateMenuBar(MainWindow(), layout, core::ResourceModule());
    return state.MenuBar;
}

void CreateDocumentList()
{
    core::AppSettings& settings = core::Settings();
    const bool documents = settings.ViewMode == core::kViewDocuments;
    CreateViewMenuBar(documents ? kMenuBarDocuments : kMenuBarWorkbooks);
    // The workbook view's menu has neither item; the check marks are set
    // again whenever the document view returns.
    SetMenuCheck(kCmdPlainText, settings.PlainText != 0);
    SetMenuCheck(kCmdQuickPrint, settings.QuickPrint != 0);
    AddViewButtons();

    const ViewFilter& filter = documents ? kDocumentFilter : kWorkbookFilter;
    platform::DocumentListLayout layout;
    layout.Parent = MainWindow();
    layout.ControlId = kDocumentListControlId;
    layout.FilterLabel = filter.Label;
    layout.Patterns = filter.Patterns;
    layout.Folder = platform::DocumentsFolder();
    core::ShowBusyCursor();
    platform::WindowModel& windows = platform::CurrentWindowSystem();
    state.DocumentList = windows.CreateDocumentList(layout);
    core::HideBusyCursor();
    if (state.DocumentList != nullptr)
        windows.SendMessageW(state.DocumentList, platform::DLM_CREATED, 0, 0);
    core::SaveSettings();
}

void DestroyDocumentList()
{
    if (state.DocumentList != nullptr)
        platform::CurrentWindowSystem().DestroyDocumentList(state.DocumentList);
    state.DocumentList = nullptr;
    core::Settings().ViewMode = core::kViewNone;
}

void AddViewButtons()
{
    std::vector<platform::ToolButton> buttons = {
        { -1, 0, platform::TBSTATE_ENABLED, platform::TBSTYLE_SEP, u"" },
        { 0, kCmdViewDocuments, ButtonState(kCmdViewDocuments), platform::TBSTYLE_CHECKGROUP,
            ResourceText(platform::kStrViewDocumentsTip, u"Go to Pocket Word printing...") },
        { 1, kCmdViewWorkbooks, ButtonState(kCmdViewWorkbooks), platform::TBSTYLE_CHECKGROUP,
            ResourceText(platform::kStrViewWorkbooksTip, u"Go to Pocket Excel printing...") },
        { 2, kCmdViewEmail, ButtonState(kCmdViewEmail), platform::TBSTYLE_CHECKGROUP,
            ResourceText(platform::kStrViewEmailTip, u"Go to email printing...") },
    };
    platform::CurrentWindowSystem().AddToolButtons(
        state.MenuBar, core::ResourceModule(), kViewButtonsBitmap, kViewButtonImages, buttons);
}

void ResetViewButtons()
{
    for (int command : { kCmdViewDocuments, kCmdViewWorkbooks, kCmdViewEmail })
        platform::CurrentWindowSystem().SetButtonState(state.MenuBar, command, ButtonState(command));
}

std::intptr_t MainWindowProc(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case platform::WM_ACTIVATE:
        if ((wParam & 0xFFFF) != 0 && printengine::Job().Printing == 0 && ViewMode() == core::kViewEmail)
            mailView->RefreshMailView();
        return 0;
    case platform::WM_PAINT:
        if (ViewMode() == core::kViewEmail)
            mailView->PaintMailHeaderBar();
        return 0;
    case platform::WM_SETTINGCHANGE:
        if (wParam == kInputPanelChange) {
            if (ViewMode() == core::kViewEmail) {
                mailView->DestroyMailView();
                core::Settings().ViewMode = core::kViewEmail;
                mailView->CreateMailView();
            } else {
                const std::int32_t view = ViewMode() == core::kViewWorkbooks ? core::kViewWorkbooks : core::kViewDocuments;
                DestroyDocumentList();
                core::Settings().ViewMode = view;
                CreateDocumentList();
            }
        }
        return 0;
    case platform::WM_DRAWITEM:
        if (ViewMode() == core::kViewEmail)
            mailView->DrawMailHeaderButton(lParam);
        return 0;
    case platform::WM_NOTIFY: {
        if (lParam == 0)
            return 0;
        const auto& header = *reinterpret_cast<const platform::NotifyHeader*>(lParam);
        if (ViewMode() == core::kViewEmail) {
            std::intptr_t result = 0;
            return mailView->MailListNotify(header, result) ? result : 0;
        }
        return DocumentListNotify(header);
    }
    case platform::WM_HELP:
        core::ShowHelpTopic(core::kHelpTopicMainWindow);
        return 0;
    case platform::WM_COMMAND:
        return WindowCommand(window, platform::CommandId(wParam));
    case platform::WM_DESTROY:
        DestroyCurrentList();
        if (state.MenuBar != nullptr)
            platform::CurrentWindowSystem().DestroyMenuBar(state.MenuBar);
        state.MenuBar = nullptr;
        platform::CurrentWindowSystem().PostQuitMessage(0);
        return 0;
    default:
        return 0;
    }
}

std::intptr_t RunWindowDialog(unsigned templateId)
{
    platform::DialogProc procedure = nullptr;
    switch (templateId) {
    case platform::kStartupScreenDialog:
        procedure = StartupDialogProc;
        break;
    case platform::kResizeDialog:
        procedure = ResizeDialogProc;
        break;
    case platform::kMailFontDialog:
        procedure = MailFontDialogProc;
        break;
    }
    if (procedure == nullptr)
        return -1;
    return platform::DialogBoxParamW(core::ResourceModule(), templateId, MainWindow(), procedure, 0);
}

void ResetMainWindow()
{
    state = WindowState {};
    SetMainWindow(nullptr);
    mailView = &emptyMailView;
}

} // namespace shell
