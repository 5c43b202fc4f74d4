// The e-mail view's widgets on the offscreen platform.

#include "QtMailList.h"

#include "OffscreenApplication.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <set>

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libQt6\nleak:libdbus\nleak:libglib\n";
}

namespace platform {
namespace {

class QtMailListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        platform::testing::StartOffscreenApplication();
    }

    QtMailListTest()
    {
        layout_.FolderButtonCommand = 40023;
        layout_.SortButtonCommand = 126;
        layout_.Row = [this](int row) -> std::optional<MailListRow> {
            read_.insert(row);
            if (row == 1)
                return std::nullopt; // a message that cannot be read stays blank
            return MailListRow { u"sender" + std::u16string(1, char16_t(u'0' + row)) + u"@example.org", u"12/7/26",
                u"Subject", row % 2 == 0 };
        };
        view_ = std::make_unique<QtMailList>(
            layout_, [this](int row) { activated_.push_back(row); }, [this](int id) { commands_.push_back(id); },
            nullptr);
        view_->resize(400, 300);
        view_->show();
    }

    QToolButton* Button(const char* name) { return view_->findChild<QToolButton*>(QString::fromLatin1(name)); }

    MailListLayout layout_;
    std::unique_ptr<QtMailList> view_;
    std::set<int> read_;
    std::vector<int> activated_;
    std::vector<int> commands_;
};

TEST_F(QtMailListTest, HeaderSortPopupPaintedRowsAndFolderTree)
{
    // The header cuts a long folder name; its buttons send their commands.
    struct Case {
        std::u16string folder;
        bool cut;
    } cases[] = { { u"Inbox", false }, { u"A folder with a name far too long for the button", true } };
    for (const Case& c : cases) {
        view_->SetHeader(c.folder, u"Received Date");
        const QString label = Button("FolderButton")->text();
        EXPECT_EQ(label.contains(QStringLiteral("... ")), c.cut) << label.toStdString();
        EXPECT_EQ(label.size() < static_cast<qsizetype>(c.folder.size()), c.cut) << label.toStdString();
        EXPECT_EQ(label.startsWith(QStringLiteral("A folder")) || label.startsWith(QStringLiteral("Inbox")), true);
        EXPECT_EQ(Button("FolderButton")->toolTip(), QString::fromStdU16String(c.folder));
    }
    EXPECT_EQ(Button("SortButton")->text(), QStringLiteral("Received Date \u25BC"));
    QTest::mouseClick(Button("FolderButton"), Qt::LeftButton);
    QTest::mouseClick(Button("SortButton"), Qt::LeftButton);
    EXPECT_EQ(commands_, (std::vector<int> { 40023, 126 }));

    // The sort popup returns the chosen order.
    const std::vector<MenuItem> items = { { 40029, u"From", false }, { 40030, u"Received Date", true },
        { 40031, u"Subject", false } };
    struct Pick {
        int pick; // -1: closed without a choice
        int chosen;
    } picks[] = { { 2, 40031 }, { -1, 0 } };
    for (const Pick& c : picks) {
        QTimer::singleShot(50, [this, &c] {
            auto* menu = view_->findChild<QMenu*>(QStringLiteral("SortPopup"));
            ASSERT_NE(menu, nullptr);
            EXPECT_TRUE(menu->actions()[1]->isChecked());
            if (c.pick < 0)
                menu->close();
            else {
                menu->setActiveAction(menu->actions()[c.pick]);
                QTest::keyClick(menu, Qt::Key_Return);
            }
            if (menu->isVisible())
                menu->close();
        });
        EXPECT_EQ(view_->Popup(items), c.chosen);
    }

    // Rows are read when painted, and a tap activates one.
    view_->SetCount(10000);
    view_->grab(); // paints what is on the screen
    ASSERT_FALSE(read_.empty());
    EXPECT_LT(read_.size(), 100u) << "only the rows on the screen are read";
    EXPECT_TRUE(read_.count(0) && read_.count(1));
    EXPECT_GT(view_->RowsPerPage(), 1);
    auto* list = view_->findChild<QAbstractItemView*>(QStringLiteral("MailList"));
    ASSERT_NE(list, nullptr);
    list->setCurrentIndex(list->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(activated_, std::vector<int> { 2 });

    // The folder tree opens children on demand and returns the tapped item.
    WindowModel model;
    const TreeHandle store = model.InsertTreeItem(0, u"Personal", true, 5, 0);
    const TreeHandle inbox = model.InsertTreeItem(store, u"Inbox", false, 1, 0);
    const TreeHandle lists = model.InsertTreeItem(store, u"Lists", true, 4, 0);
    model.SetCurrentTreeItem(inbox);
    TreeHandle added = 0;
    int expansions = 0;
    const auto expanding = [&](TreeHandle item) {
        ++expansions;
        EXPECT_EQ(item, lists);
        added = model.InsertTreeItem(lists, u"tallowin", false, 4, 0);
    };
    QTimer::singleShot(50, [&] {
        auto* tree = view_->findChild<QTreeWidget*>(QStringLiteral("FolderTree"));
        ASSERT_NE(tree, nullptr);
        // Whatever happens below, the drop-down closes.
        struct Closer {
            QWidget* drop;
            ~Closer() { drop->close(); }
        } closer { tree->window() };
        ASSERT_NE(tree->currentItem(), nullptr);
        EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Inbox"));
        QTreeWidgetItem* listsRow = tree->topLevelItem(0)->child(1);
        EXPECT_EQ(listsRow->text(0), QStringLiteral("Lists"));
        listsRow->setExpanded(true);
        ASSERT_EQ(listsRow->childCount(), 1);
        emit tree->itemActivated(listsRow->child(0), 0);
    });
    EXPECT_EQ(view_->RunFolderTree(model, expanding), added);
    EXPECT_EQ(expansions, 1);
}

} // namespace
} // namespace platform
