#include "MailViewWindow.h"

#include "AppSettings.h"
#include "DialogResourceIds.h"
#include "MailPrint.h"
#include "MailRows.h"
#include "MailStoreAccess.h"
#include "Messages.h"
#include "PrintJob.h"
#include "SettingsStore.h"
#include "StringIds.h"

namespace shell {
namespace {

constexpr int kSortByChoice = 3;

platform::WindowModel& Windows()
{
    return platform::CurrentWindowSystem();
}

std::u16string SortLabel(std::int32_t choice)
{
    switch (choice) {
    case email::kSortFrom:
        return ResourceText(platform::kStrSortFrom, u"From");
    case email::kSortReceivedDate:
        return ResourceText(platform::kStrSortReceivedDate, u"Received Date");
    case email::kSortSubject:
        return ResourceText(platform::kStrSortSubject, u"Subject");
    default:
        return ResourceText(platform::kStrSortBy, u"Sort by");
    }
}

std::optional<platform::MailListRow> Row(int row)
{
    std::optional<email::MailRowText> text = email::ReadMailRow(row);
    if (!text) {
        // The row stays blank; the next refresh clears the failure.
        email::Mail().FailStep = 0;
        return std::nullopt;
    }
    return platform::MailListRow { std::move(text->Sender), std::move(text->Date), std::move(text->Subject),
        text->Unread };
}

email::EntryIdBlock* ItemData(platform::TreeHandle item)
{
    const platform::FolderTreeItem* found = Windows().TreeItem(item);
    return found != nullptr ? reinterpret_cast<email::EntryIdBlock*>(found->Data) : nullptr;
}

platform::TreeHandle RootOf(platform::TreeHandle item)
{
    while (const platform::FolderTreeItem* found = Windows().TreeItem(item)) {
        if (found->Parent == 0)
            return item;
        item = found->Parent;
    }
    return 0;
}

} // namespace

void MailViewWindow::CreateMailView()
{
    core::Settings().ViewMode = core::kViewEmail;
    CreateViewMenuBar(kMenuBarEmail);
    SetMenuCheck(kCmdQuickPrint, core::Settings().QuickPrint != 0);
    AddViewButtons();
    platform::MailListLayout layout;
    layout.Parent = MainWindow();
    layout.ControlId = kMailListControlId;
    layout.FolderButtonCommand = kCmdFolderButton;
    layout.SortButtonCommand = kCmdSortButton;
    layout.Row = Row;
    list_ = Windows().CreateMailList(layout);
    core::SaveSettings();
    email::SetMailViewHost(this);
    if (list_ == nullptr || email::OpenMailView(true) != 0) {
        core::ShowMessageId(platform::kStrEmailListFailed);
        DestroyMailView();
        core::Settings().ViewMode = core::kViewDocuments;
        CreateDocumentList();
        email::Mail().FailStep = 0;
    }
}

void MailViewWindow::DestroyMailView()
{
    email::CloseMailSession(true);
    if (list_ != nullptr)
        Windows().DestroyMailList(list_);
    list_ = nullptr;
    email::SetMailViewHost(nullptr);
    core::Settings().ViewMode = core::kViewNone;
    email::Mail().FailStep = 0;
}

void MailViewWindow::RefreshMailView()
{
    if (list_ != nullptr)
        email::RefreshMailView();
}

bool MailViewWindow::MailListNotify(const platform::NotifyHeader& header, std::intptr_t& result)
{
    if (header.Code != platform::MLN_ROWACTIVATED || header.From != list_)
        return false;
    const auto& notify = reinterpret_cast<const platform::MailRowNotify&>(header);
    email::PrintTappedMessage(notify.Row);
    result = 0;
    return true;
}

bool MailViewWindow::MailViewCommand(int id)
{
    switch (id) {
    case kCmdAbout:
        RunWindowDialog(platform::kStartupScreenDialog);
        return true;
    case kCmdSortButton:
        ShowSortPopup();
        return true;
    case kCmdQuickPrint:
        core::Settings().QuickPrint = core::Settings().QuickPrint != 0 ? 0 : 1;
        SetMenuCheck(kCmdQuickPrint, core::Settings().QuickPrint != 0);
        core::SaveSettings();
        return true;
    case kCmdEmailOptions:
        RunWindowDialog(platform::kMailFontDialog);
        return true;
    case kCmdFolderButton:
        ShowFolderDialog();
        return true;
    default:
        return false;
    }
}

void MailViewWindow::ShowSortPopup()
{
    const std::int32_t current = email::Mail().SortChoice;
    std::vector<platform::MenuItem> items = {
        { kCmdSortFrom, SortLabel(email::kSortFrom), current == email::kSortFrom },
        { kCmdSortReceivedDate, SortLabel(email::kSortReceivedDate), current == email::kSortReceivedDate },
        { kCmdSortSubject, SortLabel(email::kSortSubject), current == email::kSortSubject },
    };
    sortText_ = SortLabel(kSortByChoice);
    ShowHeader();
    const int chosen = Windows().TrackPopupMenu(list_, items);
    const std::int32_t choice = chosen == kCmdSortFrom ? email::kSortFrom
        : chosen == kCmdSortReceivedDate                ? email::kSortReceivedDate
        : chosen == kCmdSortSubject                     ? email::kSortSubject
                                                        : -1;
    if (choice < 0 || choice == current) {
        sortText_ = SortLabel(current);
        ShowHeader();
        return;
    }
    email::Mail().SortChoice = choice;
    email::RefreshMailView();
}

void MailViewWindow::ShowFolderDialog()
{
    email::MailSession& mail = email::Mail();
    printengine::Job().Printing = true;
    email::EntryIdBlock* keptStore = nullptr;
    email::EntryIdBlock* keptFolder = nullptr;
    email::CopyEntryId(keptStore, mail.MailStoreEntryId);
    email::CopyEntryId(keptFolder, mail.MailFolderEntryId);
    mail.FailStep = 0;
    email::BuildFolderTree();
    mail.FailStep = 0;
    folderText_ = ResourceText(platform::kStrFolderShow, u"Show");
    ShowHeader();
    const platform::TreeHandle chosen = Windows().RunFolderTree(list_, [](platform::TreeHandle item) {
        const platform::TreeHandle root = RootOf(item);
        email::AddStoreFolders(item, ItemData(item), root != item ? ItemData(root) : nullptr);
        email::Mail().FailStep = 0;
    });
    if (chosen != 0) {
        const platform::TreeHandle root = RootOf(chosen);
        email::ChooseFolder(ItemData(chosen), root != chosen ? ItemData(root) : nullptr);
    }
    Windows().DeleteAllTreeItems();
    email::FreeMapiBuffer(mail.treeRoot);
    if (mail.MailStoreEntryId == nullptr)
        std::swap(mail.MailStoreEntryId, keptStore);
    if (mail.MailFolderEntryId == nullptr)
        std::swap(mail.MailFolderEntryId, keptFolder);
    email::FreeMapiBuffer(keptStore);
    email::FreeMapiBuffer(keptFolder);
    mail.FailStep = 0;
    printengine::Job().Printing = false;
    // The window is active again: the chosen folder is opened and listed.
    email::RefreshMailView();
}

void MailViewWindow::SetFolderButton(const email::EntryIdBlock* folderId)
{
    std::u16string name;
    if (folderId == nullptr || !email::ReadCurrentFolderName(name))
        name = ResourceText(platform::kStrFolderShow, u"Show");
    folderText_ = name;
    ShowHeader();
}

void MailViewWindow::SetSortButton(std::int32_t choice)
{
    email::Mail().SortChoice = choice;
    sortText_ = SortLabel(choice);
    ShowHeader();
}

void MailViewWindow::ShowHeader()
{
    if (list_ != nullptr)
        Windows().SetMailHeader(list_, folderText_, sortText_);
}

void MailViewWindow::SetListItemCount(std::int32_t count)
{
    Windows().SetMailListCount(list_, count);
}

void MailViewWindow::DeleteAllListItems()
{
    Windows().SetMailListCount(list_, 0);
}

int MailViewWindow::ListWidth() const
{
    return Windows().MailListWidth(list_);
}

int MailViewWindow::RowsPerPage() const
{
    return Windows().MailRowsPerPage(list_);
}

void MailViewWindow::DeleteAllTreeItems()
{
    Windows().DeleteAllTreeItems();
}

email::TreeItem MailViewWindow::InsertTreeItem(
    email::TreeItem parent, const std::u16string& name, bool hasChildren, int image, email::EntryIdBlock* data)
{
    return Windows().InsertTreeItem(parent, name, hasChildren, image, reinterpret_cast<std::uintptr_t>(data));
}

void MailViewWindow::SetCurrentTreeItem(email::TreeItem item)
{
    Windows().SetCurrentTreeItem(item);
}

void MailViewWindow::ShowBusyCursor()
{
    core::ShowBusyCursor();
}

void MailViewWindow::HideBusyCursor()
{
    core::HideBusyCursor();
}

} // namespace shell
