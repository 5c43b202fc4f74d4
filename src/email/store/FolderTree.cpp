#include "MailSteps.h"
#include "MailStoreAccess.h"
#include "MapiMemory.h"

namespace email {

using namespace platform;

namespace {

const ULONG kFolderColumns[] = { PR_ENTRYID, PR_DISPLAY_NAME_W, PR_SUBFOLDERS, PR_FOLDER_TYPE };
// A folder chain deeper than this is taken to loop back on itself.
constexpr int kMaxFolderDepth = 64;

struct FolderRow {
    const SBinary* id = nullptr;
    std::u16string name;
    bool hasChildren = false;
    std::uint32_t folderType = 0;
};

FolderRow ReadFolderRow(const SRow& row)
{
    FolderRow folder;
    if (row.cValues > 0 && row.lpProps[0].ulPropTag == PR_ENTRYID) {
        folder.id = &row.lpProps[0].Value.bin;
    }
    if (row.cValues > 1 && row.lpProps[1].ulPropTag == PR_DISPLAY_NAME_W && row.lpProps[1].Value.lpszW != nullptr) {
        folder.name = row.lpProps[1].Value.lpszW;
    }
    if (row.cValues > 2 && row.lpProps[2].ulPropTag == PR_SUBFOLDERS) {
        folder.hasChildren = row.lpProps[2].Value.b != 0;
    }
    if (row.cValues > 3 && row.lpProps[3].ulPropTag == PR_FOLDER_TYPE) {
        folder.folderType = static_cast<std::uint32_t>(row.lpProps[3].Value.l);
    }
    return folder;
}

TreeItem Insert(TreeItem parent, const FolderRow& row, int image, EntryIdBlock* data)
{
    return ViewHost() != nullptr ? ViewHost()->InsertTreeItem(parent, row.name, row.hasChildren, image, data) : 0;
}

std::unique_ptr<IMAPIFolder> OpenFolderOf(IMsgStore& store, EntryIdBytes id, std::uint16_t step)
{
    std::unique_ptr<IMAPIProp> object;
    if (!CheckMailStep(store.OpenEntry(id, 0, nullptr, &object), step)) {
        return nullptr;
    }
    if (AsFolder(object.get()) == nullptr) {
        FailMailStep(step);
        return nullptr;
    }
    return std::unique_ptr<IMAPIFolder>(AsFolder(object.release()));
}

bool SameEntry(EntryIdBytes first, EntryIdBytes second, std::uint16_t step, bool& same)
{
    ULONG result = 0;
    if (!CheckMailStep(Mail().session->CompareEntryIDs(first, second, 0, &result), step)) {
        return false;
    }
    same = result != 0;
    return true;
}

// One child item per row of the folder's hierarchy table; the item whose
// identifier equals childId (when given) is returned.
TreeItem AddChildren(IMAPIFolder& folder, TreeItem parent, const EntryIdBlock* childId, std::uint16_t tableStep,
    std::uint16_t columnsStep, std::uint16_t compareStep)
{
    std::unique_ptr<IMAPITable> table;
    if (!CheckMailStep(folder.GetHierarchyTable(MAPI_DEFERRED_ERRORS, &table), tableStep)
        || !CheckMailStep(table->SetColumns(kFolderColumns, 0), columnsStep)) {
        return 0;
    }
    TreeItem found = 0;
    SRowSet* rows = nullptr;
    while (Mail().FailStep == 0 && QueryOneRow(*table, &rows)) {
        const FolderRow row = ReadFolderRow(rows->aRow[0]);
        EntryIdBlock* block = nullptr;
        if (CopyEntryIdUnder(Mail().treeRoot, block, row.id)) {
            const TreeItem item = Insert(parent, row, FolderTreeImage(row.folderType), block);
            bool same = false;
            if (childId != nullptr && SameEntry(EntryIdBytesOf(block), EntryIdBytesOf(childId), compareStep, same)
                && same) {
                found = item;
            }
        }
        FreeProws(rows);
    }
    return found;
}

TreeItem Reveal(
    TreeItem item, const EntryIdBlock* folderId, const EntryIdBlock* childId, const EntryIdBlock* topId, int depth)
{
    MailSession& mail = Mail();
    if (mail.FailStep != 0 || !mail.store || folderId == nullptr || topId == nullptr || depth > kMaxFolderDepth) {
        return 0;
    }
    std::unique_ptr<IMAPIFolder> folder = OpenFolderOf(*mail.store, EntryIdBytesOf(folderId), kStepRevealOpen);
    if (!folder) {
        return 0;
    }
    bool atTop = false;
    if (!SameEntry(EntryIdBytesOf(folderId), EntryIdBytesOf(topId), kStepRevealCompareTop, atTop)) {
        return 0;
    }
    TreeItem parentItem = item;
    if (!atTop) {
        SPropValue* values = nullptr;
        if (!ReadSingleProp(*folder, PR_PARENT_ENTRYID, &values)) {
            return 0;
        }
        EntryIdBlock* parentId = nullptr;
        const bool copied = CopyEntryId(parentId, &values[0].Value.bin);
        MAPIFreeBuffer(values);
        if (!copied) {
            return 0;
        }
        parentItem = Reveal(item, parentId, folderId, topId, depth + 1);
        FreeMapiBuffer(parentId);
    }
    if (childId == nullptr) {
        if (ViewHost() != nullptr) {
            ViewHost()->SetCurrentTreeItem(parentItem);
        }
        return parentItem;
    }
    return AddChildren(*folder, parentItem, childId, kStepRevealHierarchy, kStepRevealColumns, kStepRevealCompareChild);
}

} // namespace

TreeItem RevealFolder(
    TreeItem item, const EntryIdBlock* folderId, const EntryIdBlock* childId, const EntryIdBlock* topId)
{
    return Reveal(item, folderId, childId, topId, 0);
}

bool BuildFolderTree()
{
    MailSession& mail = Mail();
    if (ViewHost() != nullptr) {
        ViewHost()->ShowBusyCursor();
    }
    FreeMapiBuffer(mail.treeRoot);
    if (Failed(MAPIAllocateBuffer(4, &mail.treeRoot))) {
        mail.treeRoot = nullptr;
    }
    std::unique_ptr<IMAPITable> table;
    if (mail.session && CheckMailStep(mail.session->GetMsgStoresTable(0, &table), kStepStoresTable)
        && CheckMailStep(table->SetColumns(kFolderColumns, 0), kStepStoresColumns)) {
        SRowSet* rows = nullptr;
        while (mail.FailStep == 0 && QueryOneRow(*table, &rows)) {
            const FolderRow row = ReadFolderRow(rows->aRow[0]);
            EntryIdBlock* storeId = nullptr;
            if (CopyEntryIdUnder(mail.treeRoot, storeId, row.id)
                && CheckMailStep(
                    mail.session->OpenMsgStore(0, EntryIdBytesOf(storeId), 0, &mail.store), kStepTreeOpenStore)) {
                const TreeItem item = Insert(0, row, kStoreTreeImage, storeId);
                bool current = false;
                if (SameEntry(
                        EntryIdBytesOf(storeId), EntryIdBytesOf(mail.MailStoreEntryId), kStepTreeCompareStore, current)
                    && current) {
                    SPropValue* values = nullptr;
                    if (ReadSingleProp(*mail.store, PR_IPM_SUBTREE_ENTRYID, &values)) {
                        EntryIdBlock topId { values[0].Value.bin.cb, values[0].Value.bin.lpb };
                        RevealFolder(item, mail.MailFolderEntryId, nullptr, &topId);
                    }
                    MAPIFreeBuffer(values);
                }
            }
            FreeProws(rows);
            mail.store.reset();
        }
    }
    if (ViewHost() != nullptr) {
        ViewHost()->HideBusyCursor();
    }
    return mail.FailStep == 0;
}

bool AddStoreFolders(TreeItem item, const EntryIdBlock* first, const EntryIdBlock* second)
{
    MailSession& mail = Mail();
    if (mail.FailStep != 0 || !mail.session || first == nullptr) {
        return FailMailStep(second != nullptr ? kStepExpandFolderStore : kStepExpandStore);
    }
    std::unique_ptr<IMsgStore> store;
    EntryIdBlock* folderId = nullptr;
    if (second != nullptr) {
        if (!CheckMailStep(mail.session->OpenMsgStore(0, EntryIdBytesOf(second), 0, &store), kStepExpandFolderStore)) {
            return false;
        }
        CopyEntryId(folderId, first);
    } else {
        if (!CheckMailStep(mail.session->OpenMsgStore(0, EntryIdBytesOf(first), 0, &store), kStepExpandStore)) {
            return false;
        }
        SPropValue* values = nullptr;
        if (!ReadSingleProp(*store, PR_IPM_SUBTREE_ENTRYID, &values)) {
            return FailMailStep(kStepExpandStore);
        }
        CopyEntryId(folderId, &values[0].Value.bin);
        MAPIFreeBuffer(values);
    }
    if (folderId != nullptr) {
        if (std::unique_ptr<IMAPIFolder> folder
            = OpenFolderOf(*store, EntryIdBytesOf(folderId), kStepExpandOpenFolder)) {
            AddChildren(*folder, item, nullptr, kStepExpandHierarchy, kStepExpandColumns, 0);
        }
    }
    FreeMapiBuffer(folderId);
    return mail.FailStep == 0;
}

void ChooseFolder(const EntryIdBlock* chosen, const EntryIdBlock* store)
{
    MailSession& mail = Mail();
    if (chosen == nullptr || !mail.session) {
        return;
    }
    mail.folder.reset();
    mail.store.reset();
    if (store != nullptr) {
        CopyEntryId(mail.MailStoreEntryId, store);
        CopyEntryId(mail.MailFolderEntryId, chosen);
        return;
    }
    CopyEntryId(mail.MailStoreEntryId, chosen);
    std::unique_ptr<IMsgStore> opened;
    SPropValue* values = nullptr;
    if (mail.session->OpenMsgStore(0, EntryIdBytesOf(chosen), 0, &opened) == platform::S_OK && opened
        && ReadSingleProp(*opened, PR_CE_FIRST_FOLDER_ENTRYID, &values)) {
        CopyEntryId(mail.MailFolderEntryId, &values[0].Value.bin);
    }
    MAPIFreeBuffer(values);
}

} // namespace email
