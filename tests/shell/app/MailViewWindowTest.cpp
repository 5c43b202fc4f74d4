// The e-mail view of the main window on the headless window system, over a
// copy of the sample Maildir: the list and its header, the sort popup, the
// folder dialog and a tap that prints.

#include "MailViewWindow.h"
#include "AppSettings.h"
#include "DialogHost.h"
#include "MailSession.h"
#include "MailStoreAccess.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Module.h"
#include "ProgramRun.h"
#include "WinMain.h"
#include "WindowFixture.h"
#include "WindowSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libgmime\nleak:libglib\nleak:libgobject\n";
}

namespace shell {
namespace {

namespace fs = std::filesystem;
using platform::TreeHandle;

class MailWindows final : public testsupport::ScriptedLoop<MailWindows> {
public:
    void SetMailListCount(WindowHandle list, int count) override
    {
        ++listFills;
        WindowModel::SetMailListCount(list, count);
    }
    int TrackPopupMenu(WindowHandle, const std::vector<platform::MenuItem>& items) override
    {
        popupItems = items;
        popupLabel = MailList(CurrentMailList())->SortText;
        return popupChoice;
    }
    TreeHandle RunFolderTree(WindowHandle, const std::function<void(TreeHandle)>& expanding) override
    {
        shownFolderText = MailList(CurrentMailList())->FolderText;
        return folderChoice ? folderChoice(*this, expanding) : 0;
    }

    const platform::MailListModel& List() { return *MailList(CurrentMailList()); }
    // The child of `parent` (0: the stores) named `name`; 0 when none.
    TreeHandle Child(TreeHandle parent, const std::u16string& name)
    {
        for (TreeHandle item : parent == 0 ? TreeRoots() : TreeItem(parent)->Children)
            if (TreeItem(item)->Name == name)
                return item;
        return 0;
    }
    std::u16string Subject(int row) { return List().Layout.Row(row).value_or(platform::MailListRow {}).Subject; }

    std::function<TreeHandle(MailWindows&, const std::function<void(TreeHandle)>&)> folderChoice;
    int popupChoice = 0;
    std::vector<platform::MenuItem> popupItems;
    std::u16string popupLabel;
    std::u16string shownFolderText;
    int listFills = 0;
};

class MailViewWindowTest : public testsupport::WindowFixture {
protected:
    void SetUp() override
    {
        SetUpFolders("Personal", TALLOWIN_SAMPLE_MAILDIR);
        setenv("LANG", "C.UTF-8", 1);
        setenv("TZ", "UTC", 1);
        platform::SetWindowSystem(&windows_);
    }

    // One interactive start in the e-mail view with quick print on.
    void Start(std::function<void(MailWindows&, WindowHandle)> script)
    {
        core::ResetAppSettings();
        core::ResetRunOptions();
        // The sort order lasts for one run of the program.
        email::Mail().SortChoice = email::kSortReceivedDate;
        windows_.Reset();
        windows_.script = [script](MailWindows& windows, WindowHandle window) {
            if (core::Settings().QuickPrint == 0)
                windows.ChooseCommand(window, kCmdQuickPrint);
            windows.ChooseCommand(window, kCmdViewEmail);
            ASSERT_NE(windows.CurrentMailList(), nullptr);
            script(windows, window);
        };
        EXPECT_EQ(WinMain(platform::ProgramModule(), nullptr, u"", 1), 0);
        EXPECT_EQ(messages_, std::vector<std::u16string> {});
    }

    MailWindows windows_;
};

TEST_F(MailViewWindowTest, ListsTheInboxNewestFirstWithUnreadMarksAndATappedRowPrints)
{
    Start([](MailWindows& windows, WindowHandle) {
        const platform::MailListModel& list = windows.List();
        EXPECT_EQ(list.FolderText, u"Inbox");
        EXPECT_EQ(list.SortText, u"Received Date");
        ASSERT_EQ(list.Count, 6);
        const platform::MailListRow first = list.Layout.Row(0).value();
        EXPECT_EQ(first.Sender, u"news@daily.example");
        EXPECT_EQ(first.Subject, u"Weekly news (HTML only)");
        EXPECT_EQ(first.Date, u"12/5/25");
        EXPECT_FALSE(first.Unread);
        int unread = 0;
        for (int row = 0; row < list.Count; ++row)
            unread += list.Layout.Row(row).value().Unread ? 1 : 0;
        EXPECT_EQ(unread, 3);
        EXPECT_FALSE(list.Layout.Row(6).has_value());
        windows.ActivateMailRow(windows.CurrentMailList(), 5);
        EXPECT_EQ(windows.List().Count, 6) << "the list is rebuilt after the print";
    });
    const std::string printed = testsupport::ReadFileText(Recording());
    EXPECT_NE(printed.find("Welcome to Tallowin"), std::string::npos) << printed;
    EXPECT_NE(printed.find("team@tallowin.example"), std::string::npos);
}

TEST_F(MailViewWindowTest, SortPopupReordersOnlyForANewChoice)
{
    Start([](MailWindows& windows, WindowHandle window) {
        windows.popupChoice = kCmdSortSubject;
        windows.ChooseCommand(window, kCmdSortButton);
        EXPECT_EQ(windows.popupLabel, u"Sort by");
        ASSERT_EQ(windows.popupItems.size(), 3u);
        EXPECT_TRUE(windows.popupItems[1].Checked); // received date, in force
        EXPECT_EQ(windows.List().SortText, u"Subject");
        EXPECT_EQ(windows.Subject(0), u"Grüße aus Köln");
        EXPECT_EQ(windows.Subject(5), u"会議の資料");

        const int fills = windows.listFills;
        windows.ChooseCommand(window, kCmdSortButton); // the same choice
        EXPECT_EQ(windows.listFills, fills);
        windows.popupChoice = 0; // closed without a choice
        windows.ChooseCommand(window, kCmdSortButton);
        EXPECT_EQ(windows.listFills, fills);
        EXPECT_EQ(windows.List().SortText, u"Subject");
    });
}

TEST_F(MailViewWindowTest, FolderDialogOpensTheChosenFolderOrTheStoresFirst)
{
    struct Case {
        const char* name;
        std::vector<std::u16string> path; // from the store down
        std::u16string folderText;
        int count;
        std::u16string firstSubject;
    };
    const std::vector<Case> cases = {
        { "a subfolder opened on demand", { u"Personal", u"Lists", u"tallowin" }, u"tallowin", 1,
            u"[tallowin] Nightly build passed" },
        { "a store opens its first folder", { u"Personal" }, u"Inbox", 6, u"Weekly news (HTML only)" },
        { "closed without a choice", {}, u"Inbox", 6, u"Weekly news (HTML only)" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start([&c](MailWindows& windows, WindowHandle window) {
            windows.folderChoice = [&c](MailWindows& tree, const std::function<void(TreeHandle)>& expanding) {
                EXPECT_EQ(tree.TreeRoots().size(), 1u);
                EXPECT_NE(tree.Child(0, u"Personal"), 0u);
                TreeHandle item = 0;
                for (const std::u16string& name : c.path) {
                    if (item != 0 && tree.TreeItem(item)->Children.empty())
                        expanding(item);
                    item = tree.Child(item, name);
                    EXPECT_NE(item, 0u) << std::string(name.begin(), name.end());
                }
                return item;
            };
            windows.ChooseCommand(window, kCmdFolderButton);
            EXPECT_EQ(windows.shownFolderText, u"Show");
            EXPECT_EQ(windows.List().FolderText, c.folderText);
            EXPECT_EQ(windows.List().Count, c.count);
            EXPECT_EQ(windows.Subject(0), c.firstSubject);
        });
    }
}

} // namespace
} // namespace shell
