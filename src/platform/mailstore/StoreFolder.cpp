#include "StoreFolder.h"

#include "EntryId.h"
#include "MailStore.h"
#include "PropertyTable.h"

#include <algorithm>

namespace platform {
namespace {

const std::vector<ULONG> kContentsColumns { PR_ENTRYID, PR_SUBJECT_W, PR_SENDER_NAME_W, PR_MESSAGE_DELIVERY_TIME,
    PR_MESSAGE_FLAGS };

} // namespace

const std::vector<ULONG>& FolderColumns()
{
    static const std::vector<ULONG> columns { PR_ENTRYID, PR_DISPLAY_NAME_W, PR_SUBFOLDERS, PR_FOLDER_TYPE };
    return columns;
}

std::vector<std::uint8_t> FolderId(const MaildirStoreInfo& store, std::string_view folder)
{
    return MakeEntryId({ EntryKind::Folder, store.path, std::string(folder), {} });
}

StoreFolder::StoreFolder(
    const FolderLayout& layout, MaildirStoreInfo store, std::string folder, std::vector<std::string> allFolders)
    : layout_(layout)
    , store_(std::move(store))
    , folder_(std::move(folder))
    , allFolders_(std::move(allFolders))
{
}

std::vector<std::string> StoreFolder::Children(std::string_view folder) const
{
    std::vector<std::string> children;
    std::copy_if(allFolders_.begin(), allFolders_.end(), std::back_inserter(children),
        [&](const std::string& name) { return layout_.IsChild(name, folder); });
    return children;
}

HRESULT StoreFolder::GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values)
{
    PropertySet props;
    const bool top = folder_ == kTopFolderName;
    props.Set(PR_ENTRYID, FolderId(store_, folder_));
    props.Set(PR_DISPLAY_NAME_W, top ? store_.name : layout_.DisplayName(folder_));
    props.Set(PR_PARENT_ENTRYID, FolderId(store_, layout_.Parent(folder_)));
    props.Set(PR_SUBFOLDERS, !Children(folder_).empty());
    props.Set(PR_FOLDER_TYPE, static_cast<std::int32_t>(top ? FOLDER_GENERIC : layout_.KindBits(folder_)));
    return CopyPropsToBuffer(props, tags, count, values);
}

HRESULT StoreFolder::OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream)
{
    return MAPI_E_NO_SUPPORT;
}

HRESULT StoreFolder::GetContentsTable(ULONG flags, std::unique_ptr<IMAPITable>* table)
{
    if (table == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    *table = std::make_unique<PropertyTable>(kContentsColumns,
        [load = layout_.LoadContents, store = store_, folder = folder_](std::span<const ULONG> needed,
            std::vector<PropertySet>* rows) { return load(store, folder, needed, rows); });
    return S_OK;
}

HRESULT StoreFolder::GetHierarchyTable(ULONG flags, std::unique_ptr<IMAPITable>* table)
{
    if (table == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    std::vector<PropertySet> rows;
    for (const std::string& child : Children(folder_)) {
        PropertySet row;
        row.Set(PR_ENTRYID, FolderId(store_, child));
        row.Set(PR_DISPLAY_NAME_W, layout_.DisplayName(child));
        row.Set(PR_SUBFOLDERS, !Children(child).empty());
        row.Set(PR_FOLDER_TYPE, static_cast<std::int32_t>(layout_.KindBits(child)));
        rows.push_back(std::move(row));
    }
    *table = std::make_unique<PropertyTable>(FolderColumns(), std::move(rows));
    return S_OK;
}

} // namespace platform
