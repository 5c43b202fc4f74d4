#pragma once

// A folder of a store whose folders are named by paths, the same for a
// Maildir and for a tree of mbox files: its properties, its messages and its
// subfolders. The store's layout says how the names nest, what a folder is
// called and shown as, and reads a folder's messages.

#include "MaildirStore.h"
#include "PropertySet.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct FolderLayout {
    // The folder holding `folder`; the top folder is its own parent.
    std::string (*Parent)(std::string_view folder);
    bool (*IsChild)(std::string_view name, std::string_view folder);
    std::u16string (*DisplayName)(std::string_view folder);
    ULONG (*KindBits)(std::string_view folder);
    // The rows of the folder's contents table, with at least the columns
    // `needed`.
    HRESULT (*LoadContents)
    (const MaildirStoreInfo& store, const std::string& folder, std::span<const ULONG> needed,
        std::vector<PropertySet>* rows);
};

// The columns of a hierarchy table, of folders or of stores.
const std::vector<ULONG>& FolderColumns();
std::vector<std::uint8_t> FolderId(const MaildirStoreInfo& store, std::string_view folder);

class StoreFolder final : public IMAPIFolder {
public:
    // `allFolders` are the store's folders, as the layout names them.
    StoreFolder(
        const FolderLayout& layout, MaildirStoreInfo store, std::string folder, std::vector<std::string> allFolders);

    HRESULT GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values) override;
    HRESULT OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream) override;
    HRESULT GetContentsTable(ULONG flags, std::unique_ptr<IMAPITable>* table) override;
    HRESULT GetHierarchyTable(ULONG flags, std::unique_ptr<IMAPITable>* table) override;

private:
    std::vector<std::string> Children(std::string_view folder) const;

    const FolderLayout& layout_;
    MaildirStoreInfo store_;
    std::string folder_;
    std::vector<std::string> allFolders_;
};

} // namespace platform
