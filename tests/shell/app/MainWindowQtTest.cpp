// The main window as a person sees it: the Qt window system of the window
// module on the offscreen platform, driven with QTest while the program's
// own message loop runs.

#include "AppSettings.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Module.h"
#include "QtWindowSystem.h"
#include "WinMain.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libQt6\nleak:libdbus\nleak:libglib\n";
}

namespace shell {
namespace {

namespace fs = std::filesystem;

QMainWindow* Frame()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("MainWindow") && !widget->isHidden())
            return static_cast<QMainWindow*>(widget);
    return nullptr;
}

// The list being shown (a replaced one is only hidden until deleted).
QTreeWidget* List()
{
    QMainWindow* frame = Frame();
    if (frame == nullptr)
        return nullptr;
    for (QTreeWidget* tree : frame->findChildren<QTreeWidget*>(QStringLiteral("DocumentList")))
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

void PressViewButton(int command)
{
    QAction* action = Frame()->findChild<QAction*>(QStringLiteral("ViewButton%1").arg(command));
    ASSERT_NE(action, nullptr) << command;
    action->trigger();
    // The window system delivers the command from its event loop.
    QTest::qWait(20);
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    return { std::istreambuf_iterator<char>(in), {} };
}

TEST(MainWindowQtTest, WindowListsPrintsSwitchesAndIsBroughtForward)
{
    char pattern[] = "/tmp/tmq-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    fs::create_directories(dir / "runtime");
    fs::permissions(dir / "runtime", fs::perms::owner_all);
    fs::create_directories(dir / "docs" / "old");
    std::ofstream(dir / "docs" / "notes.txt") << "Notes to print\n";
    std::ofstream(dir / "docs" / "old" / "letter.psw") << "x";
    std::ofstream(dir / "docs" / "sums.pxl") << "x";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("TALLOWIN_REGISTRY", (dir / "registry.reg").c_str(), 1);
    setenv("TALLOWIN_DOCUMENTS", (dir / "docs").c_str(), 1);
    // An empty mail store for the e-mail view.
    for (const char* sub : { "cur", "new", "tmp" })
        fs::create_directories(dir / "Maildir" / sub);
    std::ofstream(dir / "stores.conf") << "Mail = " << (dir / "Maildir").string() << "\n";
    setenv("TALLOWIN_MAILSTORES", (dir / "stores.conf").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
    setenv("PLOTWISE_OUTPUT", (dir / "out.txt").c_str(), 1);
    setenv("LANG", "en_US.UTF-8", 1);
    std::vector<std::u16string> messages;
    platform::SetMessageBoxHost([&messages](std::u16string_view text, std::u16string_view) {
        messages.emplace_back(text);
        return platform::IDOK;
    });
    std::string reason;
    std::unique_ptr<platform::WindowModel> windows = platform::CreateQtWindowSystem(reason);
    ASSERT_NE(windows, nullptr) << reason;
    platform::SetWindowSystem(windows.get());
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
        EXPECT_NE(ReadText(dir / "out.txt").find("Notes to print"), std::string::npos);

        PressViewButton(kCmdViewWorkbooks);
        EXPECT_EQ(core::Settings().ViewMode, core::kViewWorkbooks);
        EXPECT_EQ(Names(), QStringList { "sums.pxl" });
        PressViewButton(kCmdViewEmail);
        EXPECT_EQ(core::Settings().ViewMode, core::kViewEmail);
        EXPECT_TRUE(Names().isEmpty());
        PressViewButton(kCmdViewDocuments);
        EXPECT_EQ(Names(), (QStringList { "letter.psw", "notes.txt" }));

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
    EXPECT_TRUE(messages.empty());

    platform::SetWindowSystem(nullptr);
    platform::SetMessageBoxHost({});
    core::ResetAppSettings();
    core::ResetRunOptions();
    windows.reset();
    for (const char* name : { "TALLOWIN_MAILSTORES", "TALLOWIN_REGISTRY", "TALLOWIN_DOCUMENTS", "XDG_RUNTIME_DIR", "PLOTWISE_OUTPUT" })
        unsetenv(name);
    fs::remove_all(dir);
}

} // namespace
} // namespace shell
