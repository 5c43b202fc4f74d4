#pragma once

// The e-mail view of the main window: the folder and sort buttons over the
// current folder's messages, two lines a row, read from the message stores
// as rows are shown. A tap prints the message; the folder button opens the
// tree of stores and folders, the sort button the three sort orders.

#include "MailViewHost.h"
#include "MainWindow.h"

namespace shell {

class MailViewWindow final : public MailView, public email::MailViewHost {
public:
    // MailView
    bool MailAvailable() override { return true; }
    void CreateMailView() override;
    void DestroyMailView() override;
    void RefreshMailView() override;
    bool MailListNotify(const platform::NotifyHeader& header, std::intptr_t& result) override;
    bool MailViewCommand(int id) override;

    // email::MailViewHost
    void CreateListFonts() override {}
    void DeleteListFonts() override {}
    void SetFolderButton(const email::EntryIdBlock* folderId) override;
    void SetSortButton(std::int32_t choice) override;
    void SetListItemCount(std::int32_t count) override;
    void DeleteAllListItems() override;
    int ListWidth() const override;
    int RowsPerPage() const override;
    void SetListColumnWidth(int) override {}
    void DestroyFolderDialog() override {}
    void DestroyTreeImageList() override {}
    void DeleteAllTreeItems() override;
    email::TreeItem InsertTreeItem(email::TreeItem parent, const std::u16string& name, bool hasChildren, int image,
        email::EntryIdBlock* data) override;
    void SetCurrentTreeItem(email::TreeItem item) override;
    void ShowBusyCursor() override;
    void HideBusyCursor() override;

    WindowHandle List() const { return list_; }

private:
    void ShowHeader();
    void ShowSortPopup();
    void ShowFolderDialog();

    WindowHandle list_ = nullptr;
    std::u16string folderText_;
    std::u16string sortText_;
};

} // namespace shell
