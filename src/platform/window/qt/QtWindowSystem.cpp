#include "QtWindowSystem.h"

#include "QtDialogHost.h"
#include "QtImages.h"
#include "QtMailList.h"
#include "QtText.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <chrono>
#include <cstdlib>
#include <xcb/xcb.h>

namespace platform {
namespace {

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Whether an X server answers on DISPLAY; Qt would end the process if not.
bool XServerAnswers()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = connection != nullptr && xcb_connection_has_error(connection) == 0;
    if (connection != nullptr)
        xcb_disconnect(connection);
    return answers;
}

QString SizeText(std::uintmax_t size)
{
    return QLocale().formattedDataSize(static_cast<qint64>(size), 1, QLocale::DataSizeTraditionalFormat);
}

QDateTime ToDateTime(std::filesystem::file_time_type time)
{
    auto system = std::chrono::file_clock::to_sys(time);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(system.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(ms);
}

// A row that sorts by the value behind each column, not its text.
class DocumentRow final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
        if (column == 0)
            return text(0).compare(other.text(0), Qt::CaseInsensitive) < 0;
        return data(column, Qt::UserRole).toLongLong() < other.data(column, Qt::UserRole).toLongLong();
    }
};

// Enter on the list activates the current row, as a click does.
class DocumentTree final : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() != nullptr) {
            emit itemActivated(currentItem(), 0);
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
};

class QtWindowSystem final : public WindowModel {
public:
    explicit QtWindowSystem(std::unique_ptr<QApplication> application)
        : application_(std::move(application))
    {
    }
    ~QtWindowSystem() override
    {
        for (auto& [fd, notifier] : notifiers_)
            delete notifier;
        for (auto& [handle, window] : qtWindows_)
            delete window.Frame;
    }

    WindowHandle CreateWindowExW(const std::u16string& className, const std::u16string& title, ModuleHandle module) override
    {
        WindowHandle handle = WindowModel::CreateWindowExW(className, title, module);
        if (handle == nullptr)
            return nullptr;
        auto* frame = new QMainWindow;
        frame->setObjectName(QStringLiteral("MainWindow"));
        frame->setWindowTitle(ToQString(title));
        auto* pane = new QWidget(frame);
        auto* layout = new QVBoxLayout(pane);
        layout->setContentsMargins(0, 0, 0, 0);
        frame->setCentralWidget(pane);
        // Closing the window is the Exit command: the settings are saved.
        frame->installEventFilter(&closeFilter_);
        closeFilter_.onClose = [this, handle] { ChooseCommand(handle, IDCANCEL_COMMAND); };
        // The window becoming active again (after a dialog, another
        // program) reaches the procedure as WM_ACTIVATE at once, so that the
        // end of a print dialog is seen while the print still runs.
        closeFilter_.onActivate = [this, handle] { SendMessageW(handle, WM_ACTIVATE, 1, 0); };
        QRect available = QGuiApplication::primaryScreen() != nullptr ? QGuiApplication::primaryScreen()->availableGeometry()
                                                                     : QRect(0, 0, 800, 600);
        const int width = std::min(640, available.width());
        const int height = std::min(720, available.height());
        frame->resize(width, height);
        WindowModel::MoveWindow(handle, { available.left(), available.top(), available.left() + width, available.top() + height });
        qtWindows_[handle] = { frame, pane };
        return handle;
    }

    bool DestroyWindow(WindowHandle window) override
    {
        QMainWindow* frame = Frame(window);
        if (!WindowModel::DestroyWindow(window))
            return false;
        qtWindows_.erase(window);
        if (frame != nullptr) {
            frame->removeEventFilter(&closeFilter_);
            frame->hide();
            frame->deleteLater();
        }
        return true;
    }

    void ShowWindow(WindowHandle window, int showState) override
    {
        WindowModel::ShowWindow(window, showState);
        if (QMainWindow* frame = Frame(window))
            frame->show();
    }

    void MoveWindow(WindowHandle window, const PixelRect& rect) override
    {
        WindowModel::MoveWindow(window, rect);
        if (QMainWindow* frame = Frame(window))
            frame->resize(std::max(320, rect.Right - rect.Left), std::max(240, rect.Bottom - rect.Top));
    }

    void SetForegroundWindow(WindowHandle window) override
    {
        WindowModel::SetForegroundWindow(window);
        if (QMainWindow* frame = Frame(window)) {
            frame->setWindowState((frame->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
            frame->raise();
            frame->activateWindow();
        }
    }

    MenuBarHandle CreateMenuBar(WindowHandle window, const MenuBarLayout& layout, ModuleHandle module) override
    {
        MenuBarHandle handle = WindowModel::CreateMenuBar(window, layout, module);
        QMainWindow* frame = Frame(window);
        if (handle == nullptr || frame == nullptr)
            return handle;
        auto* bar = new QToolBar(frame);
        bar->setObjectName(QStringLiteral("MenuBar%1").arg(layout.MenuBarId));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->setIconSize(QSize(24, 24));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setStyleSheet(QStringLiteral(
            "QToolBar { background: #eceff3; border-top: 1px solid #b8bec8; padding: 3px 6px; spacing: 6px; }"
            "QToolButton { padding: 4px 10px; border-radius: 4px; }"
            "QToolButton:checked { background: #cdd9ee; border: 1px solid #8ea6cf; }"
            "QToolButton:hover { background: #dde5f2; }"));
        auto* menu = new QMenu(bar);
        menu->setObjectName(QStringLiteral("OptionsMenu"));
        auto* button = new QToolButton(bar);
        button->setObjectName(QStringLiteral("OptionsButton"));
        button->setText(ToQString(layout.ButtonTitle));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setMenu(menu);
        bar->addWidget(button);
        QtMenuBar qtBar { bar, menu, {}, {} };
        for (const MenuItem& item : layout.Items) {
            if (item.Id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(ToQString(item.Text));
            action->setCheckable(item.Id == 40007 || item.Id == 40008 || item.Checked);
            action->setChecked(item.Checked);
            action->setData(item.Id);
            const int id = item.Id;
            QObject::connect(action, &QAction::triggered, bar, [this, window, id] { Deliver(window, id); });
            qtBar.Items[id] = action;
        }
        frame->addToolBar(Qt::BottomToolBarArea, bar);
        qtBars_[handle] = qtBar;
        return handle;
    }

    void DestroyMenuBar(MenuBarHandle bar) override
    {
        WindowModel::DestroyMenuBar(bar);
        if (auto found = qtBars_.find(bar); found != qtBars_.end()) {
            found->second.Bar->hide();
            found->second.Bar->deleteLater();
            qtBars_.erase(found);
        }
    }

    void CheckMenuItem(MenuBarHandle bar, int id, bool checked) override
    {
        WindowModel::CheckMenuItem(bar, id, checked);
        if (QAction* action = BarItem(bar, id)) {
            action->setCheckable(true);
            action->setChecked(checked);
        }
    }

    void AddToolButtons(MenuBarHandle bar, ModuleHandle module, int bitmapId, int imageCount,
        const std::vector<ToolButton>& buttons) override
    {
        WindowModel::AddToolButtons(bar, module, bitmapId, imageCount, buttons);
        auto found = qtBars_.find(bar);
        if (found == qtBars_.end())
            return;
        QtMenuBar& qtBar = found->second;
        auto* spacer = new QWidget(qtBar.Bar);
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        auto* group = new QActionGroup(qtBar.Bar);
        group->setExclusive(true);
        WindowHandle window = OwnerOf(bar);
        for (const ToolButton& button : buttons) {
            if (button.Style == TBSTYLE_SEP) {
                qtBar.Bar->addWidget(spacer);
                continue;
            }
            QAction* action = qtBar.Bar->addAction(ViewButtonImage(button.Image), ToQString(button.ToolTip));
            action->setToolTip(ToQString(button.ToolTip));
            action->setCheckable(true);
            action->setChecked(button.State == TBSTATE_CHECKED_ENABLED);
            action->setObjectName(QStringLiteral("ViewButton%1").arg(button.Command));
            group->addAction(action);
            const int command = button.Command;
            QObject::connect(action, &QAction::triggered, qtBar.Bar, [this, window, command] { Deliver(window, command); });
            qtBar.Buttons[command] = action;
        }
    }

    void SetButtonState(MenuBarHandle bar, int command, int state) override
    {
        WindowModel::SetButtonState(bar, command, state);
        if (auto found = qtBars_.find(bar); found != qtBars_.end()) {
            if (auto button = found->second.Buttons.find(command); button != found->second.Buttons.end())
                button->second->setChecked(state == TBSTATE_CHECKED_ENABLED);
        }
    }

    WindowHandle CreateDocumentList(const DocumentListLayout& layout) override
    {
        WindowHandle handle = WindowModel::CreateDocumentList(layout);
        auto window = qtWindows_.find(layout.Parent);
        if (handle == nullptr || window == qtWindows_.end())
            return handle;
        auto* tree = new DocumentTree(window->second.Pane);
        tree->setObjectName(QStringLiteral("DocumentList"));
        tree->setRootIsDecorated(false);
        tree->setUniformRowHeights(true);
        tree->setAlternatingRowColors(true);
        tree->setSortingEnabled(true);
        tree->setAllColumnsShowFocus(true);
        tree->setHeaderLabels({ QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Size") });
        tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        tree->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        tree->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
        tree->header()->setStretchLastSection(false);
        tree->setToolTip(ToQString(layout.FilterLabel));
        window->second.Pane->layout()->addWidget(tree);
        auto* watcher = new QFileSystemWatcher(tree);
        auto* refresh = new QTimer(tree);
        refresh->setSingleShot(true);
        refresh->setInterval(200);
        QObject::connect(watcher, &QFileSystemWatcher::directoryChanged, refresh, qOverload<>(&QTimer::start));
        QObject::connect(watcher, &QFileSystemWatcher::fileChanged, refresh, qOverload<>(&QTimer::start));
        QObject::connect(refresh, &QTimer::timeout, tree, [this, handle] { RefreshDocumentList(handle); });
        QObject::connect(tree, &QTreeWidget::itemActivated, tree, [this, handle](QTreeWidgetItem* item) {
            if (item != nullptr)
                ActivateDocumentEntry(handle, item->data(0, Qt::UserRole).toInt());
        });
        qtLists_[handle] = { tree, watcher };
        Fill(handle);
        tree->sortByColumn(0, Qt::AscendingOrder);
        if (tree->topLevelItemCount() > 0)
            tree->setCurrentItem(tree->topLevelItem(0));
        tree->setFocus();
        return handle;
    }

    void DestroyDocumentList(WindowHandle list) override
    {
        WindowModel::DestroyDocumentList(list);
        if (auto found = qtLists_.find(list); found != qtLists_.end()) {
            found->second.Tree->hide();
            found->second.Tree->deleteLater();
            qtLists_.erase(found);
        }
    }

    void RefreshDocumentList(WindowHandle list) override
    {
        WindowModel::RefreshDocumentList(list);
        Fill(list);
    }

    WindowHandle CreateMailList(const MailListLayout& layout) override
    {
        WindowHandle handle = WindowModel::CreateMailList(layout);
        auto window = qtWindows_.find(layout.Parent);
        if (handle == nullptr || window == qtWindows_.end())
            return handle;
        auto* view = new QtMailList(
            layout, [this, handle](int row) { Activate(handle, row); },
            [this, parent = layout.Parent](int command) { Deliver(parent, command); }, window->second.Pane);
        window->second.Pane->layout()->addWidget(view);
        view->show();
        mailLists_[handle] = view;
        return handle;
    }

    void DestroyMailList(WindowHandle list) override
    {
        WindowModel::DestroyMailList(list);
        if (auto found = mailLists_.find(list); found != mailLists_.end()) {
            found->second->hide();
            found->second->deleteLater();
            mailLists_.erase(found);
        }
    }

    void SetMailListCount(WindowHandle list, int count) override
    {
        WindowModel::SetMailListCount(list, count);
        if (QtMailList* view = MailView(list))
            view->SetCount(count);
    }

    void SetMailHeader(WindowHandle list, const std::u16string& folderText, const std::u16string& sortText) override
    {
        WindowModel::SetMailHeader(list, folderText, sortText);
        if (QtMailList* view = MailView(list))
            view->SetHeader(folderText, sortText);
    }

    int MailListWidth(WindowHandle list) const override
    {
        auto found = mailLists_.find(list);
        return found != mailLists_.end() ? found->second->ListWidth() : WindowModel::MailListWidth(list);
    }

    int MailRowsPerPage(WindowHandle list) const override
    {
        auto found = mailLists_.find(list);
        return found != mailLists_.end() ? found->second->RowsPerPage() : WindowModel::MailRowsPerPage(list);
    }

    int TrackPopupMenu(WindowHandle list, const std::vector<MenuItem>& items) override
    {
        QtMailList* view = MailView(list);
        return view != nullptr ? view->Popup(items) : 0;
    }

    TreeHandle RunFolderTree(WindowHandle list, const std::function<void(TreeHandle)>& expanding) override
    {
        QtMailList* view = MailView(list);
        return view != nullptr ? view->RunFolderTree(*this, expanding) : 0;
    }

    void WatchReadable(int fd, std::function<void()> ready) override
    {
        StopWatching(fd);
        auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [ready] { ready(); });
        notifiers_[fd] = notifier;
    }

    void StopWatching(int fd) override
    {
        if (auto found = notifiers_.find(fd); found != notifiers_.end()) {
            delete found->second;
            notifiers_.erase(found);
        }
    }

    int RunMessageLoop() override
    {
        if (quit_) {
            int code = *quit_;
            quit_.reset();
            return code;
        }
        return QApplication::exec();
    }

    void PostQuitMessage(int code) override
    {
        WindowModel::PostQuitMessage(code);
        QCoreApplication::exit(code);
    }

    bool HasMessageBoxes() const override { return true; }

    DialogHost* DialogHostOfWindows() override { return &dialogHost_; }

    int MessageBox(std::u16string_view text, std::u16string_view caption) override
    {
        QWidget* parent = QApplication::activeWindow();
        QMessageBox box(QMessageBox::Information, ToQString(caption), ToQString(text), QMessageBox::Ok, parent);
        box.exec();
        return IDOK_COMMAND;
    }

    void SetBusyCursor(bool busy) override
    {
        if (busy && !busy_) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        } else if (!busy && busy_) {
            QGuiApplication::restoreOverrideCursor();
        }
        busy_ = busy;
        // The cursor is drawn before the work starts.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    struct QtWindow {
        QMainWindow* Frame = nullptr;
        QWidget* Pane = nullptr;
    };
    struct QtMenuBar {
        QToolBar* Bar = nullptr;
        QMenu* Menu = nullptr;
        std::map<int, QAction*> Items;
        std::map<int, QAction*> Buttons;
    };
    struct QtList {
        QTreeWidget* Tree = nullptr;
        QFileSystemWatcher* Watcher = nullptr;
    };
    class CloseFilter final : public QObject {
    public:
        std::function<void()> onClose;
        std::function<void()> onActivate;
        bool eventFilter(QObject* object, QEvent* event) override
        {
            if (event->type() == QEvent::WindowActivate && onActivate)
                onActivate();
            if (event->type() == QEvent::Close && onClose) {
                event->ignore();
                onClose();
                return true;
            }
            return QObject::eventFilter(object, event);
        }
    };

    QMainWindow* Frame(WindowHandle window)
    {
        auto found = qtWindows_.find(window);
        return found != qtWindows_.end() ? found->second.Frame : nullptr;
    }

    QtMailList* MailView(WindowHandle list)
    {
        auto found = mailLists_.find(list);
        return found != mailLists_.end() ? found->second : nullptr;
    }

    // A tapped row reaches the procedure from the event loop, so that the
    // print does not run inside the list's own event handling.
    void Activate(WindowHandle list, int row)
    {
        QTimer::singleShot(0, application_.get(), [this, list, row] {
            if (MailList(list) != nullptr)
                ActivateMailRow(list, row);
        });
    }

    QAction* BarItem(MenuBarHandle bar, int id)
    {
        auto found = qtBars_.find(bar);
        if (found == qtBars_.end())
            return nullptr;
        auto item = found->second.Items.find(id);
        return item != found->second.Items.end() ? item->second : nullptr;
    }

    WindowHandle OwnerOf(MenuBarHandle bar)
    {
        auto found = qtBars_.find(bar);
        if (found == qtBars_.end())
            return nullptr;
        for (auto& [handle, window] : qtWindows_) {
            if (found->second.Bar->parentWidget() == window.Frame)
                return handle;
        }
        return nullptr;
    }

    // A command chosen from a menu or button reaches the procedure once the
    // menu has closed, as a posted message would.
    void Deliver(WindowHandle window, int command)
    {
        QTimer::singleShot(0, application_.get(), [this, window, command] {
            if (FindWindow(window) != nullptr)
                ChooseCommand(window, command);
        });
    }

    void Fill(WindowHandle list)
    {
        auto found = qtLists_.find(list);
        DocumentListModel* model = DocumentList(list);
        if (found == qtLists_.end() || model == nullptr)
            return;
        QTreeWidget* tree = found->second.Tree;
        const QString current = tree->currentItem() != nullptr ? tree->currentItem()->data(1, Qt::UserRole + 1).toString() : QString();
        tree->setUpdatesEnabled(false);
        tree->setSortingEnabled(false);
        tree->clear();
        const QString folder = QString::fromStdString(model->Layout.Folder.string());
        QStringList folders { folder };
        QList<QTreeWidgetItem*> rows;
        rows.reserve(static_cast<qsizetype>(model->Entries.size()));
        QTreeWidgetItem* keep = nullptr;
        for (std::size_t i = 0; i < model->Entries.size(); ++i) {
            const DocumentEntry& entry = model->Entries[i];
            auto* row = new DocumentRow;
            const QString path = QString::fromStdString(entry.Path.string());
            const QDateTime modified = ToDateTime(entry.Modified);
            row->setText(0, ToQString(entry.Name));
            row->setIcon(0, tree->style()->standardIcon(QStyle::SP_FileIcon));
            row->setToolTip(0, path);
            row->setData(0, Qt::UserRole, static_cast<int>(i));
            row->setText(1, QLocale().toString(modified, QLocale::ShortFormat));
            row->setData(1, Qt::UserRole, modified.toMSecsSinceEpoch());
            row->setData(1, Qt::UserRole + 1, path);
            row->setText(2, SizeText(entry.Size));
            row->setData(2, Qt::UserRole, static_cast<qlonglong>(entry.Size));
            row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
            if (path == current)
                keep = row;
            rows.push_back(row);
            const QString parent = QString::fromStdString(entry.Path.parent_path().string());
            if (!folders.contains(parent))
                folders.push_back(parent);
        }
        tree->addTopLevelItems(rows);
        tree->setSortingEnabled(true);
        if (keep != nullptr)
            tree->setCurrentItem(keep);
        tree->setUpdatesEnabled(true);
        QFileSystemWatcher* watcher = found->second.Watcher;
        if (!watcher->directories().isEmpty())
            watcher->removePaths(watcher->directories());
        // Subfolders that hold no matching file yet are watched too.
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(model->Layout.Folder,
                 std::filesystem::directory_options::skip_permission_denied, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            std::error_code typeError;
            if (it->is_directory(typeError)) {
                const QString sub = QString::fromStdString(it->path().string());
                if (!folders.contains(sub))
                    folders.push_back(sub);
            }
        }
        watcher->addPaths(folders);
    }

    std::unique_ptr<QApplication> application_;
    CloseFilter closeFilter_;
    std::map<WindowHandle, QtWindow> qtWindows_;
    std::map<MenuBarHandle, QtMenuBar> qtBars_;
    std::map<WindowHandle, QtList> qtLists_;
    std::map<WindowHandle, QtMailList*> mailLists_;
    std::map<int, QSocketNotifier*> notifiers_;
    bool busy_ = false;
    QtDialogHost dialogHost_;
};

} // namespace

std::unique_ptr<WindowModel> CreateQtWindowSystem(std::string& reason)
{
    const std::string platformName = EnvironmentValue("QT_QPA_PLATFORM");
    if (platformName.empty()) {
        const bool x11 = !EnvironmentValue("DISPLAY").empty();
        const bool wayland = !EnvironmentValue("WAYLAND_DISPLAY").empty();
        if (!x11 && !wayland) {
            reason = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
            return nullptr;
        }
        if (!wayland && !XServerAnswers()) {
            reason = "cannot connect to the X display " + EnvironmentValue("DISPLAY");
            return nullptr;
        }
        if (!wayland)
            setenv("QT_QPA_PLATFORM", "xcb", 0);
    }
    if (QCoreApplication::instance() != nullptr) {
        // A test that made its own application.
        return std::make_unique<QtWindowSystem>(nullptr);
    }
    static int argc = 1;
    static char name[] = "tallowin";
    static char* argv[] = { name, nullptr };
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallowin"));
    QApplication::setQuitOnLastWindowClosed(false);
    return std::make_unique<QtWindowSystem>(std::move(application));
}

} // namespace platform
