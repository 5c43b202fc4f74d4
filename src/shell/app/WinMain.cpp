#include "WinMain.h"

#include "Interrupts.h"

#include "AppSettings.h"
#include "CommandLine.h"
#include "DialogResourceIds.h"
#include "MailCommandLine.h"
#include "MailViewWindow.h"
#include "MainWindow.h"
#include "Messages.h"
#include "PrintJob.h"
#include "Printers.h"
#include "PrintingLibrary.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "StartupResources.h"
#include "StringIds.h"
#include "WindowHosts.h"
#include "WindowModule.h"

#include <cstdio>

namespace shell {
namespace {

constexpr std::size_t kWindowTextUnits = 100;

// Redraw on horizontal and vertical size changes.
constexpr std::uint32_t kMainWindowClassStyle = 3;
constexpr std::int32_t kMainWindowIconId = 101;
// The task bar above the window and the menu bar below it.
constexpr int kBarsHeight = 52;

struct ExitStatusRow {
    Ending ending;
    int withExitCodes;
    int withoutExitCodes;
};

constexpr ExitStatusRow kExitStatusTable[] = {
    { Ending::PrintingLibraryMissing, 0, 0 },
    { Ending::AnotherCopyRuns, 0, 1 },
    { Ending::WindowCreationFailed, 995, 0 },
    { Ending::NotPrinted, 2, 0 },
    { Ending::Cancelled, 63, 0 },
    { Ending::Failed, 995, 0 },
    { Ending::Printed, 0, 1 },
};

platform::ModuleHandle programInstance = nullptr;
platform::ModuleHandle printingLibrary = nullptr;
std::int32_t printingLibraryVersion = 0;

using GetVersionFunction = std::int32_t (*)();

// Loads the printing library and checks its version; binds every export
// only when the version is recent enough. A library that lacks any export
// counts as missing. A refused library stays loaded: the run ends at once.
bool LoadPrintingLibrary()
{
    platform::ModuleHandle library = platform::LoadLibraryW(platform::kPrintingLibraryFile);
    if (library == nullptr)
        return false;
    auto getVersion = reinterpret_cast<GetVersionFunction>(platform::GetProcAddressW(library, "PLW_GetVersion"));
    if (getVersion == nullptr)
        return false;
    printingLibraryVersion = getVersion();
    if (printingLibraryVersion < kMinPrintingLibraryVersion || !platform::BindPrintingLibrary(library))
        return false;
    printingLibrary = library;
    return true;
}

// A job is called after its file: the name without its folders.
std::u16string JobTitleOf(const char16_t* path)
{
    std::u16string_view name = path ? path : u"";
    if (std::size_t slash = name.find_last_of(u"/\\"); slash != std::u16string_view::npos)
        name.remove_prefix(slash + 1);
    return std::u16string(name);
}

// The print-only road: the file named on the command line goes to its
// printer, and the outcome of its job becomes the ending.
Ending PrintCommandLineFile()
{
    // A message file (--mail) takes the place of a document or workbook.
    if (HasCommandLineMailFile()) {
        switch (PrintCommandLineMailFile()) {
        case MailFileOutcome::NotPrinted:
            return Ending::NotPrinted;
        case MailFileOutcome::FailedPartWay:
            return Ending::Failed;
        case MailFileOutcome::JobRan:
            break;
        }
    } else {
        const char16_t* file = core::CommandLineFileName();
        printengine::SetJobTitle(JobTitleOf(file));
        int result = core::Options().StartView == core::kViewWorkbooks
            ? PrintWorkbook(MainWindow(), core::ResourceModule(), file)
            : OpenAndPrintDocument(MainWindow(), core::ResourceModule(), file);
        if (result == 0)
            return Ending::NotPrinted;
    }
    switch (printengine::Job().FinalStatus) {
    case 0:
        core::SaveSettings();
        return Ending::Printed;
    case 1:
        return Ending::Cancelled;
    default:
        return Ending::Failed;
    }
}

// The interactive road: the window takes the screen less the bars above and
// below it, shows the list of StartView, and runs the message loop until the
// user ends the run.
int RunInteractive(WindowHandle window, const char16_t* className, const char16_t* title, int showState)
{
    platform::WindowModel& windows = platform::CurrentWindowSystem();
    const platform::PixelRect rect = windows.GetWindowRect(window);
    windows.MoveWindow(window, { rect.Left, rect.Top, rect.Right, rect.Bottom - kBarsHeight });

    // The e-mail view over the message stores, for as long as the window runs.
    MailViewWindow mailView;
    SetMailView(&mailView);
    struct MailViewRemoval {
        MailViewWindow& view;
        ~MailViewRemoval()
        {
            if (view.List() != nullptr)
                view.DestroyMailView();
            SetMailView(nullptr);
        }
    } removal { mailView };

    core::AppSettings& settings = core::Settings();
    core::RunOptions& options = core::Options();
    if (options.StartView == core::kViewEmail && CurrentMailView().MailAvailable()) {
        settings.ViewMode = core::kViewEmail;
        CurrentMailView().CreateMailView();
    } else {
        if (options.StartView != core::kViewWorkbooks)
            options.StartView = core::kViewDocuments;
        settings.ViewMode = options.StartView;
        CreateDocumentList();
    }
    windows.ShowWindow(window, showState);
    windows.SetForegroundWindow(window);

    // Later starts bring this window forward.
    InstanceListener listener(className, title, [window] {
        platform::CurrentWindowSystem().SetForegroundWindow(window);
    });

    if (settings.ShowStartupScreen)
        RunWindowDialog(platform::kStartupScreenDialog);

    // The program's own resources carry no accelerator table; the window
    // system's own keys (Enter on the list, the menu's mnemonics) work all
    // the same.
    return windows.RunMessageLoop();
}

} // namespace

int ExitStatus(Ending ending, std::int32_t exitCodeMode)
{
    for (const ExitStatusRow& row : kExitStatusTable) {
        if (row.ending == ending)
            return exitCodeMode != 0 ? row.withExitCodes : row.withoutExitCodes;
    }
    return 0;
}

int WinMain(platform::ModuleHandle instance, platform::ModuleHandle, const char16_t* commandLine, int showState)
{
    programInstance = instance;
    core::SetResourceModule(ChooseStartupResourceModule(instance));

    if (!LoadPrintingLibrary()) {
        core::ShowMessageId(platform::kStrPlotwiseMissing);
        return ExitStatus(Ending::PrintingLibraryMissing, 0);
    }

    // The common controls need no initialisation here.

    printengine::Job().FinalStatus = 0;
    if (commandLine != nullptr)
        ParseCommandLine(commandLine);
    const std::int32_t exitCodeMode = core::Options().ExitCodeMode;
    platform::SetInterruptedExitStatus(ExitStatus(Ending::Cancelled, exitCodeMode));

    char16_t className[kWindowTextUnits] = {};
    char16_t title[kWindowTextUnits] = {};
    core::LoadResString(core::ResourceModule(), platform::kStrWindowClass, className, kWindowTextUnits);
    core::LoadResString(core::ResourceModule(), platform::kStrWindowTitle, title, kWindowTextUnits);

    const bool printOnly = core::HasCommandLineFile() || HasCommandLineMailFile();

    // A start that prints a file never looks for a running copy.
    if (!printOnly) {
        if (std::optional<RunningCopy> copy = FindWindowW(className, title)) {
            SetForegroundWindow(*copy);
            return ExitStatus(Ending::AnotherCopyRuns, exitCodeMode);
        }
    }

    core::LoadSettings();

    // An interactive start shows its window through the window system of
    // the display; without one it cannot create the window.
    std::optional<InstalledWindowSystem> shown;
    if (!printOnly && platform::IsHeadlessWindowSystem()) {
        platform::LoadedWindowSystem loaded = platform::LoadWindowSystem();
        if (loaded.Start != platform::WindowSystemStart::Started) {
            std::fprintf(stderr, "tallowin: cannot show the window: %s\n", loaded.Reason.c_str());
            return ExitStatus(Ending::WindowCreationFailed, exitCodeMode);
        }
        shown.emplace(std::move(loaded.System));
    }

    platform::WindowModel& windows = platform::CurrentWindowSystem();
    platform::WindowClass windowClass;
    windowClass.Style = kMainWindowClassStyle;
    windowClass.Procedure = MainWindowProc;
    windowClass.Module = core::ResourceModule();
    windowClass.IconId = kMainWindowIconId;
    windowClass.ClassName = className;
    windows.RegisterClassW(windowClass);
    WindowHandle window = windows.CreateWindowExW(className, title, core::ResourceModule());
    if (window == nullptr)
        return ExitStatus(Ending::WindowCreationFailed, exitCodeMode);
    SetMainWindow(window);

    if (printOnly)
        return ExitStatus(PrintCommandLineFile(), exitCodeMode);

    const int quitCode = RunInteractive(window, className, title, showState);
    SetMainWindow(nullptr);
    ResetMainWindow();
    ReleasePrintingLibrary();
    return quitCode;
}

platform::ModuleHandle ProgramInstance()
{
    return programInstance;
}

std::int32_t PrintingLibraryVersion()
{
    return printingLibraryVersion;
}

void ReleasePrintingLibrary()
{
    if (printingLibrary == nullptr)
        return;
    platform::UnbindPrintingLibrary();
    platform::FreeLibrary(printingLibrary);
    printingLibrary = nullptr;
}

} // namespace shell
