#include "MaildirStore.h"

#include "EntryId.h"
#include "MailFileMessage.h"
#include "MailStore.h"
#include "MaildirLayout.h"
#include "MboxReader.h"
#include "MboxStore.h"
#include "PropertyTable.h"
#include "StoreFolder.h"

#include <algorithm>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> StoreId(const MaildirStoreInfo& store)
{
    return MakeEntryId({ EntryKind::Store, store.path, {}, {} });
}

bool Contains(std::span<const ULONG> tags, ULONG tag)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

HRESULT OpenFileEntry(const ParsedEntryId& id, ULONG* objectType, std::unique_ptr<IMAPIProp>* object)
{
    std::unique_ptr<IMessage> message;
    HRESULT result = OpenMessageFile(id.storePath, &message);
    if (Failed(result)) {
        return result;
    }
    if (objectType != nullptr) {
        *objectType = MAPI_MESSAGE;
    }
    *object = std::move(message);
    return S_OK;
}

// The rows of a folder's contents table: what the file name tells, and from
// the header block only what the columns and the sort order need.
HRESULT LoadContentsRows(const MaildirStoreInfo& store, const std::string& folder, std::span<const ULONG> needed,
    std::vector<PropertySet>* rows)
{
    const bool needSender = Contains(needed, PR_SENDER_NAME_W) || Contains(needed, PR_SENDER_EMAIL_ADDRESS_W);
    const bool needSubject = Contains(needed, PR_SUBJECT_W);
    const bool needDelivery = Contains(needed, PR_MESSAGE_DELIVERY_TIME);
    const bool needModified = Contains(needed, PR_LAST_MODIFICATION_TIME);
    const std::vector<std::uint8_t> parentId = FolderId(store, folder);
    const fs::path directory = folder == kTopFolderName ? fs::path() : FolderDirectory(store.path, folder);
    std::vector<MaildirMessageFile> files;
    if (!directory.empty()) {
        files = ListMessageFiles(directory);
    }
    rows->clear();
    rows->reserve(files.size());
    for (const MaildirMessageFile& file : files) {
        PropertySet row;
        row.Set(PR_ENTRYID, MakeEntryId({ EntryKind::Message, store.path, folder, file.unique }));
        row.Set(PR_PARENT_ENTRYID, parentId);
        row.Set(PR_MESSAGE_FLAGS, static_cast<std::int32_t>(file.seen ? MSGFLAG_READ : 0));
        if (needDelivery || needModified) {
            std::optional<FILETIME> delivered = DeliveryStampOf(file.path.filename().string());
            // The file time is read only when it is asked for or stands in for
            // a missing delivery stamp.
            std::optional<FILETIME> modified;
            if (needModified || !delivered) {
                modified = FileModificationTime(file.path);
            }
            if (!delivered) {
                delivered = modified;
            }
            if (delivered) {
                row.Set(PR_MESSAGE_DELIVERY_TIME, *delivered);
            }
            if (modified) {
                row.Set(PR_LAST_MODIFICATION_TIME, *modified);
            }
        }
        if (needSender || needSubject) {
            const unsigned fields = (needSender ? static_cast<unsigned>(SummaryFields::Sender) : 0)
                | (needSubject ? static_cast<unsigned>(SummaryFields::Subject) : 0);
            const MailHeaderSummary summary
                = SummarizeMailHeaders(ReadHeaderBlock(file.path.c_str()), static_cast<SummaryFields>(fields));
            if (!summary.senderName.empty()) {
                row.Set(PR_SENDER_NAME_W, summary.senderName);
            }
            if (!summary.senderAddress.empty()) {
                row.Set(PR_SENDER_EMAIL_ADDRESS_W, summary.senderAddress);
            }
            if (!summary.subject.empty()) {
                row.Set(PR_SUBJECT_W, summary.subject);
            }
        }
        rows->push_back(std::move(row));
    }
    return S_OK;
}

std::string MaildirParent(std::string_view folder)
{
    return folder == kTopFolderName ? std::string(kTopFolderName) : ParentFolderName(folder);
}

// The Inbox, "", is the top folder's child and has no children itself.
bool IsMaildirChild(std::string_view name, std::string_view folder)
{
    return !folder.empty() && (ParentFolderName(name) == folder || (folder == kTopFolderName && name.empty()));
}

const FolderLayout kMaildir { MaildirParent, IsMaildirChild, FolderDisplayName, FolderKindBits, LoadContentsRows };

} // namespace

// Store.

MaildirStore::MaildirStore(MaildirStoreInfo info)
    : info_(std::move(info))
{
}

HRESULT MaildirStore::GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values)
{
    PropertySet props;
    props.Set(PR_ENTRYID, StoreId(info_));
    props.Set(PR_DISPLAY_NAME_W, info_.name);
    props.Set(PR_IPM_SUBTREE_ENTRYID, FolderId(info_, kTopFolderName));
    props.Set(PR_CE_FIRST_FOLDER_ENTRYID, FolderId(info_, ""));
    return CopyPropsToBuffer(props, tags, count, values);
}

HRESULT MaildirStore::OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream)
{
    return MAPI_E_NO_SUPPORT;
}

HRESULT MaildirStore::OpenEntry(
    EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object)
{
    if (object == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    object->reset();
    const std::optional<ParsedEntryId> id = ParseEntryId(entryId);
    if (!id) {
        return MAPI_E_INVALID_ENTRYID;
    }
    if (id->kind == EntryKind::MessageFile) {
        return OpenFileEntry(*id, objectType, object);
    }
    if (id->storePath != info_.path || id->kind == EntryKind::Store) {
        return MAPI_E_INVALID_ENTRYID;
    }
    if (id->folder != kTopFolderName && !IsValidFolderName(id->folder)) {
        return MAPI_E_INVALID_ENTRYID;
    }
    if (id->kind == EntryKind::Folder) {
        std::vector<std::string> folders = ListMaildirFolders(info_.path);
        if (id->folder != kTopFolderName && std::find(folders.begin(), folders.end(), id->folder) == folders.end()) {
            return MAPI_E_NOT_FOUND;
        }
        if (objectType != nullptr) {
            *objectType = MAPI_FOLDER;
        }
        *object = std::make_unique<StoreFolder>(kMaildir, info_, id->folder, std::move(folders));
        return S_OK;
    }
    if (id->folder == kTopFolderName) {
        return MAPI_E_NOT_FOUND;
    }
    const std::optional<MaildirMessageFile> file
        = FindMessageFile(FolderDirectory(info_.path, id->folder), id->message);
    if (!file) {
        return MAPI_E_NOT_FOUND;
    }
    auto bytes = ReadMessageFile(file->path);
    if (!bytes) {
        return MAPI_E_NOT_FOUND;
    }
    MailFileFacts facts;
    facts.entryId.assign(entryId.begin(), entryId.end());
    facts.parentEntryId = FolderId(info_, id->folder);
    facts.deliveryStamp = DeliveryStampOf(file->path.filename().string());
    facts.modificationTime = FileModificationTime(file->path);
    facts.seen = file->seen;
    if (objectType != nullptr) {
        *objectType = MAPI_MESSAGE;
    }
    *object = std::make_unique<MailFileMessage>(std::move(bytes), std::move(facts));
    return S_OK;
}

// Session.

StoreKind StoreKindOf(const fs::path& path)
{
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
        return StoreKind::MboxFile;
    }
    if (fs::is_directory(path, error) && !fs::is_directory(path / "cur", error)) {
        // A directory of mbox files, or of ".sbd" subfolders, is an mbox
        // tree; anything else stays a Maildir, as an empty one is.
        for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            std::error_code kindError;
            if (name.starts_with('.')) {
                continue;
            }
            // An empty file may be anything; one holding mail, a ".sbd"
            // directory or a Thunderbird summary file tells.
            if ((it->is_directory(kindError) && name.ends_with(".sbd")) || name.ends_with(".msf")
                || (it->is_regular_file(kindError) && it->file_size(kindError) > 0 && LooksLikeMboxFile(it->path()))) {
                return StoreKind::MboxTree;
            }
        }
    }
    return StoreKind::Maildir;
}

std::unique_ptr<IMsgStore> OpenStoreObject(const MaildirStoreInfo& info)
{
    std::error_code error;
    if (info.kind == StoreKind::MboxFile) {
        return fs::is_regular_file(info.path, error) ? std::make_unique<MboxStore>(info) : nullptr;
    }
    if (!fs::is_directory(info.path, error)) {
        return nullptr;
    }
    if (info.kind == StoreKind::MboxTree) {
        return std::make_unique<MboxStore>(info);
    }
    return std::make_unique<MaildirStore>(info);
}

MaildirSession::MaildirSession(std::vector<MaildirStoreInfo> stores)
    : stores_(std::move(stores))
{
}

const MaildirStoreInfo* MaildirSession::FindStore(const std::string& path) const
{
    for (const MaildirStoreInfo& store : stores_) {
        if (store.path == path) {
            return &store;
        }
    }
    return nullptr;
}

HRESULT MaildirSession::GetMsgStoresTable(ULONG flags, std::unique_ptr<IMAPITable>* table)
{
    if (table == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    std::vector<PropertySet> rows;
    for (const MaildirStoreInfo& store : stores_) {
        PropertySet row;
        row.Set(PR_ENTRYID, StoreId(store));
        row.Set(PR_DISPLAY_NAME_W, store.name);
        row.Set(PR_SUBFOLDERS, true);
        row.Set(PR_FOLDER_TYPE, static_cast<std::int32_t>(FOLDER_GENERIC));
        rows.push_back(std::move(row));
    }
    *table = std::make_unique<PropertyTable>(FolderColumns(), std::move(rows));
    return S_OK;
}

HRESULT MaildirSession::OpenMsgStore(
    std::uintptr_t uiParam, EntryIdBytes entryId, ULONG flags, std::unique_ptr<IMsgStore>* store)
{
    if (store == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    store->reset();
    const MaildirStoreInfo* info = nullptr;
    if (entryId.empty()) {
        info = stores_.empty() ? nullptr : &stores_.front();
    } else {
        const std::optional<ParsedEntryId> id = ParseEntryId(entryId);
        if (!id || id->kind != EntryKind::Store) {
            return MAPI_E_INVALID_ENTRYID;
        }
        info = FindStore(id->storePath);
    }
    if (info == nullptr) {
        return MAPI_E_NOT_FOUND;
    }
    *store = OpenStoreObject(*info);
    return *store ? S_OK : MAPI_E_NOT_FOUND;
}

HRESULT MaildirSession::OpenEntry(
    EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object)
{
    if (object == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    object->reset();
    const std::optional<ParsedEntryId> id = ParseEntryId(entryId);
    if (!id) {
        return MAPI_E_INVALID_ENTRYID;
    }
    if (id->kind == EntryKind::MessageFile) {
        return OpenFileEntry(*id, objectType, object);
    }
    const MaildirStoreInfo* info = FindStore(id->storePath);
    if (info == nullptr) {
        return MAPI_E_NOT_FOUND;
    }
    std::unique_ptr<IMsgStore> store = OpenStoreObject(*info);
    if (!store) {
        return MAPI_E_NOT_FOUND;
    }
    if (id->kind == EntryKind::Store) {
        if (objectType != nullptr) {
            *objectType = MAPI_STORE;
        }
        *object = std::move(store);
        return S_OK;
    }
    return store->OpenEntry(entryId, flags, objectType, object);
}

HRESULT MaildirSession::CompareEntryIDs(EntryIdBytes first, EntryIdBytes second, ULONG flags, ULONG* result)
{
    if (result == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    const std::optional<ParsedEntryId> a = ParseEntryId(first);
    const std::optional<ParsedEntryId> b = ParseEntryId(second);
    if (a && b) {
        *result
            = a->kind == b->kind && a->storePath == b->storePath && a->folder == b->folder && a->message == b->message;
    } else {
        *result = std::equal(first.begin(), first.end(), second.begin(), second.end());
    }
    return S_OK;
}

// Start-up and logon.

namespace {

int initializeCount = 0;

} // namespace

HRESULT MAPIInitialize(void* init)
{
    if (!EnsureGMimeInitialized())
        return MAPI_E_CALL_FAILED;
    ++initializeCount;
    return S_OK;
}

void MAPIUninitialize()
{
    if (initializeCount > 0) {
        --initializeCount;
    }
}

HRESULT OpenMaildirSession(std::vector<MailStoreConfigEntry> stores, std::unique_ptr<IMAPISession>* session)
{
    if (session == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    std::vector<MaildirStoreInfo> infos;
    for (MailStoreConfigEntry& entry : stores) {
        std::error_code error;
        fs::path absolute = fs::absolute(entry.path, error);
        if (error) {
            continue;
        }
        std::string path = absolute.lexically_normal().string();
        while (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
        const StoreKind kind = StoreKindOf(path);
        infos.push_back({ std::move(entry.name), std::move(path), kind });
    }
    *session = std::make_unique<MaildirSession>(std::move(infos));
    return S_OK;
}

HRESULT MAPILogonEx(std::uintptr_t uiParam, const char16_t* profileName, const char16_t* password, ULONG flags,
    std::unique_ptr<IMAPISession>* session)
{
    if (session == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    session->reset();
    if (initializeCount == 0) {
        return MAPI_E_NOT_INITIALIZED;
    }
    return OpenMaildirSession(LoadMailStoreConfig(), session);
}

} // namespace platform
