// The main window on the headless window system, started as the program
// starts: the saved view, the check marks of the options menus, printing an
// activated entry to the printing library's recording, and the rebuild when
// the input panel comes or goes.

#include "AppSettings.h"
#include "Dialog.h"
#include "DialogHost.h"
#include "DialogResourceIds.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Module.h"
#include "PrintingLibrary.h"
#include "WinMain.h"
#include "WindowSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

// Fontconfig keeps its configuration for the life of the process; the
// printing library does not tear it down, and that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace shell {
namespace {

namespace fs = std::filesystem;

// A window system whose message loop is a script: what a person does while
// the window is shown. The window is closed after the script.
class ScriptedWindows final : public platform::WindowModel {
public:
    int RunMessageLoop() override
    {
        if (script)
            script(*this, MainWindow());
        if (!QuitPosted())
            ChooseCommand(MainWindow(), kCmdExit);
        return WindowModel::RunMessageLoop();
    }
    WindowHandle CreateDocumentList(const platform::DocumentListLayout& spec) override
    {
        ++listsCreated;
        return WindowModel::CreateDocumentList(spec);
    }
    WindowHandle CreateMailList(const platform::MailListLayout& layout) override
    {
        ++listsCreated;
        return WindowModel::CreateMailList(layout);
    }

    std::function<void(ScriptedWindows&, WindowHandle)> script;
    int listsCreated = 0;

    int MenuBarId() { return MenuBar(CurrentMenuBar())->Layout.MenuBarId; }
    // The check mark of a menu item; -1 when the menu has no such item.
    int Check(int id)
    {
        const platform::MenuItem* item = MenuBar(CurrentMenuBar())->Item(id);
        return item == nullptr ? -1 : item->Checked ? 1 : 0;
    }
    int Pressed()
    {
        for (const platform::ToolButton& button : MenuBar(CurrentMenuBar())->Buttons)
            if (button.State == platform::TBSTATE_CHECKED_ENABLED)
                return button.Command;
        return 0;
    }
    int EntryIndex(const fs::path& path)
    {
        const auto& entries = DocumentList(CurrentDocumentList())->Entries;
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].Path == path)
                return static_cast<int>(i);
        return -1;
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A short directory name keeps the instance socket's path within its limit.
        char pattern[] = "/tmp/tmw-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        fs::create_directories(dir_ / "runtime");
        fs::permissions(dir_ / "runtime", fs::perms::owner_all);
        fs::create_directories(dir_ / "docs");
        setenv("TALLOWIN_REGISTRY", (dir_ / "registry.reg").c_str(), 1);
        setenv("TALLOWIN_DOCUMENTS", (dir_ / "docs").c_str(), 1);
        // An empty mail store for the e-mail view.
        for (const char* sub : { "cur", "new", "tmp" })
            fs::create_directories(dir_ / "Maildir" / sub);
        std::ofstream(dir_ / "stores.conf") << "Mail = " << (dir_ / "Maildir").string() << "\n";
        setenv("TALLOWIN_MAILSTORES", (dir_ / "stores.conf").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);
        setenv("PLOTWISE_OUTPUT", Recording().c_str(), 1);
        setenv("LANG", "en_US.UTF-8", 1);
        platform::SetWindowSystem(&windows_);
        platform::SetDialogHost(&dialogs_);
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view) {
            messages_.emplace_back(text);
            return platform::IDOK;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxHost({});
        platform::SetDialogHost(nullptr);
        platform::SetWindowSystem(nullptr);
        for (const char* name : { "TALLOWIN_MAILSTORES", "TALLOWIN_REGISTRY", "TALLOWIN_DOCUMENTS", "XDG_RUNTIME_DIR", "PLOTWISE_OUTPUT" })
            unsetenv(name);
        core::ResetAppSettings();
        core::ResetRunOptions();
        fs::remove_all(dir_);
    }

    // One interactive start, as a new process would make it, running script.
    int Start(std::function<void(ScriptedWindows&, WindowHandle)> script)
    {
        core::ResetAppSettings();
        core::ResetRunOptions();
        windows_.Reset();
        windows_.listsCreated = 0;
        windows_.script = std::move(script);
        return WinMain(platform::ProgramModule(), nullptr, u"", 1);
    }

    fs::path Recording() const { return dir_ / "out.txt"; }
    fs::path Document(const fs::path& relative, const std::string& text)
    {
        fs::path path = dir_ / "docs" / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
        return path;
    }

    fs::path dir_;
    ScriptedWindows windows_;
    platform::ScriptedDialogHost dialogs_ { {} };
    std::vector<std::u16string> messages_;
};

TEST_F(MainWindowTest, ChosenViewIsShownAndComesBackAtTheNextStart)
{
    struct Row {
        int command;
        int view;
        int menuBar;
    };
    const Row rows[] = {
        { kCmdViewWorkbooks, core::kViewWorkbooks, 131 },
        { kCmdViewEmail, core::kViewEmail, 103 },
        { kCmdViewDocuments, core::kViewDocuments, 102 },
        { kCmdViewWorkbooks, core::kViewWorkbooks, 131 },
    };
    // The first start shows the documents.
    EXPECT_EQ(Start([](ScriptedWindows& windows, WindowHandle) {
        EXPECT_EQ(core::Settings().ViewMode, core::kViewDocuments);
        EXPECT_EQ(windows.MenuBarId(), 102);
        EXPECT_EQ(windows.Pressed(), kCmdViewDocuments);
    }), 0);
    for (const Row& row : rows) {
        Start([&row](ScriptedWindows& windows, WindowHandle window) {
            windows.ChooseCommand(window, row.command);
            EXPECT_EQ(core::Settings().ViewMode, row.view) << row.command;
            EXPECT_EQ(windows.MenuBarId(), row.menuBar) << row.command;
            EXPECT_EQ(windows.Pressed(), row.command) << row.command;
        });
        Start([&row](ScriptedWindows& windows, WindowHandle) {
            EXPECT_EQ(core::Settings().ViewMode, row.view) << row.command;
            EXPECT_EQ(windows.MenuBarId(), row.menuBar) << row.command;
            EXPECT_EQ(windows.Pressed(), row.command) << row.command;
        });
    }
    // The documents view lists documents, the workbook view workbooks.
    Document("letter.psw", "x");
    Document("sums.pxl", "x");
    Start([](ScriptedWindows& windows, WindowHandle window) {
        windows.ChooseCommand(window, kCmdViewWorkbooks);
        const auto* workbooks = windows.DocumentList(windows.CurrentDocumentList());
        ASSERT_EQ(workbooks->Entries.size(), 1u);
        EXPECT_EQ(workbooks->Entries[0].Name, u"sums.pxl");
        windows.ChooseCommand(window, kCmdViewDocuments);
        const auto* documents = windows.DocumentList(windows.CurrentDocumentList());
        ASSERT_EQ(documents->Entries.size(), 1u);
        EXPECT_EQ(documents->Entries[0].Name, u"letter.psw");
    });
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowTest, OptionsMenusCheckTheSavedFlags)
{
    // Each row chooses a command in the documents view, then shows a view
    // and reads the check marks there (-1: the menu has no such item).
    struct Row {
        int toggle;
        int view;
        int quickPrint;
        int plainText;
    };
    const Row rows[] = {
        { 0, kCmdViewDocuments, 0, 0 },
        { kCmdQuickPrint, kCmdViewDocuments, 1, 0 },
        { kCmdPlainText, kCmdViewDocuments, 1, 1 },
        { 0, kCmdViewWorkbooks, -1, -1 },
        { 0, kCmdViewEmail, 1, -1 },
        { kCmdQuickPrint, kCmdViewEmail, 0, -1 },
        { 0, kCmdViewDocuments, 0, 1 },
        { kCmdPlainText, kCmdViewDocuments, 0, 0 },
    };
    for (const Row& row : rows) {
        Start([&row](ScriptedWindows& windows, WindowHandle window) {
            windows.ChooseCommand(window, kCmdViewDocuments);
            if (row.toggle != 0)
                windows.ChooseCommand(window, row.toggle);
            windows.ChooseCommand(window, row.view);
        });
        // The flags were saved: the next start shows the same marks.
        Start([&row](ScriptedWindows& windows, WindowHandle) {
            EXPECT_EQ(windows.Check(kCmdQuickPrint), row.quickPrint) << row.toggle << " " << row.view;
            EXPECT_EQ(windows.Check(kCmdPlainText), row.plainText) << row.toggle << " " << row.view;
        });
    }
}

TEST_F(MainWindowTest, ActivatedEntryIsPrinted)
{
    const fs::path shortPath = Document("notes.txt", "Short path notes\n");
    fs::path deep;
    while (deep.string().size() < 120)
        deep /= "a-rather-long-folder-name";
    const fs::path longPath = Document(deep / "deep-notes.txt", "Deep path notes\n");
    ASSERT_GT(longPath.string().size(), 100u);
    // Quick print: no print dialog.
    Start([](ScriptedWindows& windows, WindowHandle window) { windows.ChooseCommand(window, kCmdQuickPrint); });

    for (const auto& [path, text] : { std::pair { shortPath, "Short path notes" }, std::pair { longPath, "Deep path notes" } }) {
        fs::remove(Recording());
        Start([&path](ScriptedWindows& windows, WindowHandle) {
            const int index = windows.EntryIndex(path);
            ASSERT_GE(index, 0) << path;
            windows.ActivateDocumentEntry(windows.CurrentDocumentList(), index);
        });
        std::ifstream in(Recording());
        const std::string recording { std::istreambuf_iterator<char>(in), {} };
        EXPECT_NE(recording.find(text), std::string::npos) << path << "\n" << recording;
    }
    // Only the start-up screen of each start ran: quick print shows no options.
    EXPECT_EQ(dialogs_.Runs(), 3);
    ASSERT_TRUE(dialogs_.LastDialog().has_value());
    EXPECT_EQ(dialogs_.LastDialog()->Template().Id, platform::kStartupScreenDialog);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(MainWindowTest, InputPanelChangeRebuildsTheCurrentView)
{
    Document("letter.psw", "x");
    for (int command : { kCmdViewDocuments, kCmdViewWorkbooks, kCmdViewEmail }) {
        Start([command](ScriptedWindows& windows, WindowHandle window) {
            windows.ChooseCommand(window, command);
            const int before = windows.listsCreated;
            const std::int32_t view = core::Settings().ViewMode;
            // Another setting changes nothing.
            windows.SendMessageW(window, platform::WM_SETTINGCHANGE, 0, 0);
            EXPECT_EQ(windows.listsCreated, before) << command;
            windows.SendMessageW(window, platform::WM_SETTINGCHANGE, platform::kInputPanelSettingChange, 0);
            EXPECT_EQ(windows.listsCreated, before + 1) << command;
            EXPECT_EQ(core::Settings().ViewMode, view) << command;
            EXPECT_EQ(windows.Pressed(), command) << command;
        });
    }
}

} // namespace
} // namespace shell
