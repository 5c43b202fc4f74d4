#pragma once

// What the message-store side of the e-mail view asks of the window: the
// list's item count and column width, the folder and sort buttons, the list
// fonts, and the folder tree of the folder dialog. The e-mail view of the
// main window implements it; tests use a headless one.

#include "MailSession.h"

#include <cstdint>
#include <string>

namespace email {

// A tree item of the folder dialog; 0 is none.
using TreeItem = std::uintptr_t;

inline constexpr int kStoreTreeImage = 5;

class MailViewHost {
public:
    virtual ~MailViewHost() = default;

    virtual void CreateListFonts() = 0;
    virtual void DeleteListFonts() = 0;
    // Shows the folder's name (read with ReadCurrentFolderName), or "Show"
    // for no folder.
    virtual void SetFolderButton(const EntryIdBlock* folderId) = 0;
    virtual void SetSortButton(std::int32_t choice) = 0;

    virtual void SetListItemCount(std::int32_t count) = 0;
    virtual void DeleteAllListItems() = 0;
    virtual int ListWidth() const = 0;
    virtual int RowsPerPage() const = 0;
    virtual void SetListColumnWidth(int width) = 0;

    virtual void DestroyFolderDialog() = 0;
    virtual void DestroyTreeImageList() = 0;
    virtual void DeleteAllTreeItems() = 0;
    // Adds an item under `parent` (0: a root item), sorted among its
    // siblings; `data` stays owned by the tree root allocation.
    virtual TreeItem InsertTreeItem(
        TreeItem parent, const std::u16string& name, bool hasChildren, int image, EntryIdBlock* data)
        = 0;
    virtual void SetCurrentTreeItem(TreeItem item) = 0;

    virtual void ShowBusyCursor() = 0;
    virtual void HideBusyCursor() = 0;
};

// The host in use; none until the e-mail view installs one (every view
// call is then skipped).
void SetMailViewHost(MailViewHost* host);
MailViewHost* ViewHost();

// The picture of a folder in the tree, from the kind bits of its
// PR_FOLDER_TYPE.
int FolderTreeImage(std::uint32_t folderType);

} // namespace email
