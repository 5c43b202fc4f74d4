// The main window started as the program starts it: on the headless window
// system, and through the Qt window system on the offscreen platform, driven
// with QTest while the program's own message loop runs.

#include "MainWindow.h"
#include "AppSettings.h"
#include "Dialog.h"
#include "DialogHost.h"
#include "DialogResourceIds.h"
#include "MessageBox.h"
#include "Module.h"
#include "ProgramRun.h"
#include "QtWindowSystem.h"
#include "WinMain.h"
#include "WindowFixture.h"
#include "WindowSystem.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Fontconfig keeps its configuration for the life of the process, and Qt and
// the libraries under it theirs; the printing library and the window module
// do not tear them down, and that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libQt6\nleak:libdbus\nleak:libglib\n";
}

// Set once the Qt window has run in this process. The threads Qt leaves
// running at exit crash LeakSanitizer's tracer, so such a process skips the
// exit-time leak check; every headless case runs in a process of its own
// and keeps it.
bool qtWindowRan = false;
extern "C" int __lsan_is_turned_off()
{
    return qtWindowRan ? 1 : 0;
}

namespace shell {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadFileText;

class ScriptedWindows final : public testsupport::ScriptedLoop<ScriptedWindows> {
public:
    WindowHandle CreateDocumentList(const platform::DocumentListLayout& layout) override
    {
        ++listsCreated;
        return WindowModel::CreateDocumentList(layout);
    }
    WindowHandle CreateMailList(const platform::MailListLayout& layout) override
    {
        ++listsCreated;
        return WindowModel::CreateMailList(layout);
    }

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
};

class MainWindowTest : public testsupport::WindowFixture {
protected:
    void SetUp() override
    {
        SetUpFolders("Mail"); // an empty mail store for the e-mail view
        setenv("LANG", "en_US.UTF-8", 1);
    }
    void TearDown() override
    {
        WindowFixture::TearDown();
        qt_.reset();
    }

    // One interactive start on the headless window system, as a new process
    // would make it, running script.
    int Start(std::function<void(ScriptedWindows&, WindowHandle)> script)
    {
        core::ResetAppSettings();
        core::ResetRunOptions();
        platform::SetWindowSystem(&windows_);
        windows_.Reset();
        windows_.listsCreated = 0;
        windows_.script = std::move(script);
        return WinMain(platform::ProgramModule(), nullptr, u"", 1);
    }

    fs::path Document(const fs::path& relative, const std::string& text) { return dir_.Write("docs" / relative, text); }

    ScriptedWindows windows_;
    std::unique_ptr<platform::WindowModel> qt_;
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
    };
    const auto expectShown = [](ScriptedWindows& windows, const Row& row) {
        EXPECT_EQ(core::Settings().ViewMode, row.view);
        EXPECT_EQ(windows.MenuBarId(), row.menuBar);
        EXPECT_EQ(windows.Pressed(), row.command);
    };
    // The first start shows the documents.
    EXPECT_EQ(Start([&](ScriptedWindows& windows, WindowHandle) { expectShown(windows, rows[2]); }), 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        Start([&](ScriptedWindows& windows, WindowHandle window) {
            windows.ChooseCommand(window, row.command);
            expectShown(windows, row);
        });
        Start([&](ScriptedWindows& windows, WindowHandle) { expectShown(windows, row); });
    }
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
        { kCmdQuickPrint, kCmdViewEmail, 0, -1 },
        { kCmdPlainText, kCmdViewDocuments, 0, 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.toggle << " " << row.view);
        Start([&row](ScriptedWindows& windows, WindowHandle window) {
            windows.ChooseCommand(window, kCmdViewDocuments);
            if (row.toggle != 0)
                windows.ChooseCommand(window, row.toggle);
            windows.ChooseCommand(window, row.view);
        });
        // The flags were saved: the next start shows the same marks.
        Start([&row](ScriptedWindows& windows, WindowHandle) {
            EXPECT_EQ(windows.Check(kCmdQuickPrint), row.quickPrint);
            EXPECT_EQ(windows.Check(kCmdPlainText), row.plainText);
        });
    }
}

// A path of more than 100 characters prints as a short one does.
TEST_F(MainWindowTest, ActivatedEntryIsPrinted)
{
    fs::path deep;
    while (deep.string().size() < 120)
        deep /= "a-rather-long-folder-name";
    const fs::path longPath = Document(deep / "deep-notes.txt", "Deep path notes\n");
    ASSERT_GT(longPath.string().size(), 100u);
    Start([](ScriptedWindows& windows, WindowHandle window) { windows.ChooseCommand(window, kCmdQuickPrint); });
    Start([&longPath](ScriptedWindows& windows, WindowHandle) {
        const auto& entries = windows.DocumentList(windows.CurrentDocumentList())->Entries;
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.Path == longPath; });
        ASSERT_NE(entry, entries.end());
        windows.ActivateDocumentEntry(windows.CurrentDocumentList(), static_cast<int>(entry - entries.begin()));
    });
    EXPECT_NE(ReadFileText(Recording()).find("Deep path notes"), std::string::npos);
    // Only the start-up screen of each start ran: quick print shows no options.
    EXPECT_EQ(dialogs_.Runs(), 2);
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

// The Qt window: the top-level frame and the list it shows (a replaced list
// is only hidden until deleted).
QMainWindow* Frame()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("MainWindow") && !widget->isHidden())
            return static_cast<QMainWindow*>(widget);
    return nullptr;
}

QTreeWidget* List()
{
    if (Frame() != nullptr)
        for (QTreeWidget* tree : Frame()->findChildren<QTreeWidget*>(QStringLiteral("DocumentList")))
            if (!tree->isHidden())
                return tree;
    return nullptr;
}

QStringList Names()
{
    QStringList names;
    if (QTreeWidget* tree = List())
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            names << tree->topLevelItem(i)->text(0);
    return names;
}

// Presses a view button and waits until the window lists `names`: the window
// system delivers the command and fills the list from its event loop.
void PressViewButton(int command, const QStringList& names)
{
    QAction* action = Frame()->findChild<QAction*>(QStringLiteral("ViewButton%1").arg(command));
    ASSERT_NE(action, nullptr) << command;
    action->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&names] { return Names() == names; }, 10000)) << command;
}

TEST_F(MainWindowTest, QtWindowListsPrintsSwitchesAndIsBroughtForward)
{
    qtWindowRan = true;
    Document("notes.txt", "Notes to print\n");
    Document("old/letter.psw", "x");
    Document("sums.pxl", "x");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string reason;
    qt_ = platform::CreateQtWindowSystem(reason);
    ASSERT_NE(qt_, nullptr) << reason;
    platform::SetWindowSystem(qt_.get());
    core::ResetAppSettings();
    core::ResetRunOptions();

    bool played = false;
    QTimer::singleShot(0, [&] {
        played = true;
        ASSERT_NE(Frame(), nullptr);
        EXPECT_EQ(Frame()->windowTitle().toStdString(), "Tallowin");
        EXPECT_EQ(Names(), (QStringList { "letter.psw", "notes.txt" }));

        // Quick print, so that no print dialog opens; then Enter on a row.
        platform::CurrentWindowSystem().ChooseCommand(MainWindow(), kCmdQuickPrint);
        QTreeWidget* tree = List();
        ASSERT_NE(tree, nullptr);
        QList<QTreeWidgetItem*> rows = tree->findItems(QStringLiteral("notes.txt"), Qt::MatchExactly);
        ASSERT_EQ(rows.size(), 1);
        tree->setCurrentItem(rows[0]);
        QTest::keyClick(tree, Qt::Key_Return);
        EXPECT_NE(ReadFileText(Recording()).find("Notes to print"), std::string::npos);

        PressViewButton(kCmdViewWorkbooks, { "sums.pxl" });
        EXPECT_EQ(core::Settings().ViewMode, core::kViewWorkbooks);
        PressViewButton(kCmdViewEmail, {});
        EXPECT_EQ(core::Settings().ViewMode, core::kViewEmail);
        PressViewButton(kCmdViewDocuments, { "letter.psw", "notes.txt" });

        // A second start brings this window forward and ends with the
        // status of a copy that found another running (1 without /E).
        Frame()->setWindowState(Qt::WindowMinimized);
        QProcess second;
        second.start(QStringLiteral(TALLOWIN_PROGRAM), {});
        QEventLoop wait;
        QObject::connect(&second, &QProcess::finished, &wait, &QEventLoop::quit);
        QTimer::singleShot(20000, &wait, &QEventLoop::quit);
        if (second.state() != QProcess::NotRunning)
            wait.exec();
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 1);
        for (int waited = 0; waited < 5000 && (Frame()->windowState() & Qt::WindowMinimized); waited += 20)
            QTest::qWait(20);
        EXPECT_FALSE(Frame()->windowState() & Qt::WindowMinimized);

        platform::CurrentWindowSystem().ChooseCommand(MainWindow(), kCmdExit);
    });
    EXPECT_EQ(WinMain(platform::ProgramModule(), nullptr, u"", 1), 0);
    EXPECT_TRUE(played);
    EXPECT_TRUE(messages_.empty());
}

} // namespace
} // namespace shell
