#pragma once

// A view without windows: it records what the store side shows.

#include "MailStoreAccess.h"

#include <string>
#include <vector>

namespace email::test {

struct RecordedTreeItem {
    TreeItem parent;
    std::u16string name;
    bool hasChildren;
    int image;
    std::vector<std::uint8_t> id;
};

class HeadlessMailView final : public MailViewHost {
public:
    void CreateListFonts() override { ++fontsCreated; }
    void DeleteListFonts() override { }
    void SetFolderButton(const EntryIdBlock* folderId) override
    {
        folderText = u"Show";
        if (folderId != nullptr && !ReadCurrentFolderName(folderText)) {
            folderText.clear();
        }
    }
    void SetSortButton(std::int32_t choice) override { sortChoice = choice; }
    void SetListItemCount(std::int32_t count) override { itemCount = count; }
    void DeleteAllListItems() override { itemCount = 0; }
    int ListWidth() const override { return 240; }
    int RowsPerPage() const override { return 8; }
    void SetListColumnWidth(int width) override { columnWidth = width; }
    void DestroyFolderDialog() override { }
    void DestroyTreeImageList() override { }
    void DeleteAllTreeItems() override { tree.clear(); }
    TreeItem InsertTreeItem(
        TreeItem parent, const std::u16string& name, bool hasChildren, int image, EntryIdBlock* data) override
    {
        tree.push_back(
            { parent, name, hasChildren, image, std::vector<std::uint8_t>(data->lpb, data->lpb + data->cb) });
        return tree.size();
    }
    void SetCurrentTreeItem(TreeItem item) override { currentItem = item; }
    void ShowBusyCursor() override { ++busy; }
    void HideBusyCursor() override { --busy; }

    const RecordedTreeItem& Item(TreeItem item) const { return tree.at(item - 1); }
    EntryIdBlock Block(TreeItem item)
    {
        return { static_cast<platform::ULONG>(tree.at(item - 1).id.size()), tree.at(item - 1).id.data() };
    }
    TreeItem Find(TreeItem parent, std::u16string_view name) const
    {
        for (std::size_t i = 0; i < tree.size(); ++i) {
            if (tree[i].parent == parent && tree[i].name == name) {
                return i + 1;
            }
        }
        return 0;
    }

    int fontsCreated = 0;
    std::u16string folderText;
    std::int32_t sortChoice = -1;
    std::int32_t itemCount = -1;
    int columnWidth = -1;
    std::vector<RecordedTreeItem> tree;
    TreeItem currentItem = 0;
    int busy = 0;
};

} // namespace email::test
