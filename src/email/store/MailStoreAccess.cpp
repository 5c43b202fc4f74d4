#include "MailStoreAccess.h"

#include "AppSettings.h"
#include "MailSteps.h"
#include "MailStore.h"

#include <cstring>

namespace email {

using namespace platform;

namespace {

const ULONG kEntryIdTag[] = { PR_ENTRYID };

std::size_t BlockSize(ULONG cb)
{
    return sizeof(EntryIdBlock) + cb;
}

EntryIdBlock* FillBlock(void* memory, const std::uint8_t* bytes, ULONG cb)
{
    auto* block = static_cast<EntryIdBlock*>(memory);
    block->cb = cb;
    block->lpb = reinterpret_cast<std::uint8_t*>(block + 1);
    if (cb > 0) {
        std::memcpy(block->lpb, bytes, cb);
    }
    return block;
}

// An identifier block from saved bytes, without failure steps: a saved
// identifier that cannot be had is simply not there.
EntryIdBlock* BlockFromBytes(const std::uint8_t* bytes, std::size_t length)
{
    void* memory = nullptr;
    if (length == 0 || Failed(MAPIAllocateBuffer(static_cast<ULONG>(BlockSize(static_cast<ULONG>(length))), &memory))) {
        return nullptr;
    }
    return FillBlock(memory, bytes, static_cast<ULONG>(length));
}

std::int16_t ReadInt16(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return static_cast<std::int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// The stored block: two signed 16-bit lengths, then the two identifiers
// and two reserved bytes. A length below 1, or one that runs past the
// block, gives no identifier.
void TakeSavedBlock(core::AppSettings& settings)
{
    const std::vector<std::uint8_t>& blob = settings.MapiBlob;
    settings.MailEntryIdsTaken = true;
    if (blob.size() < 4) {
        return;
    }
    const std::int16_t storeLength = ReadInt16(blob, 0);
    const std::int16_t folderLength = ReadInt16(blob, 2);
    const std::size_t storeBytes = storeLength > 0 ? static_cast<std::size_t>(storeLength) : 0;
    const std::size_t folderBytes = folderLength > 0 ? static_cast<std::size_t>(folderLength) : 0;
    if (4 + storeBytes > blob.size()) {
        return;
    }
    settings.MailStoreEntryId.assign(blob.begin() + 4, blob.begin() + 4 + static_cast<std::ptrdiff_t>(storeBytes));
    if (4 + storeBytes + folderBytes <= blob.size()) {
        const auto folderStart = blob.begin() + 4 + static_cast<std::ptrdiff_t>(storeBytes);
        settings.MailFolderEntryId.assign(folderStart, folderStart + static_cast<std::ptrdiff_t>(folderBytes));
    }
}

MailViewHost* Host()
{
    return ViewHost();
}

} // namespace

EntryIdBytes EntryIdBytesOf(const EntryIdBlock* block)
{
    return block != nullptr ? EntryIdBytes(block->lpb, block->cb) : EntryIdBytes();
}

bool ReadSingleProp(IMAPIProp& object, ULONG tag, SPropValue** values)
{
    *values = nullptr;
    ULONG count = 0;
    const ULONG tags[] = { tag };
    const HRESULT result = object.GetProps(tags, 0, &count, values);
    Mail().LastResult = result;
    if (result != S_OK || count != 1) {
        MAPIFreeBuffer(*values);
        *values = nullptr;
        return false;
    }
    return true;
}

bool QueryOneRow(IMAPITable& table, SRowSet** rows)
{
    *rows = nullptr;
    const HRESULT result = table.QueryRows(1, 0, rows);
    Mail().LastResult = result;
    if (result != S_OK || *rows == nullptr || (*rows)->cRows != 1) {
        FreeProws(*rows);
        *rows = nullptr;
        return false;
    }
    return true;
}

bool CopyEntryId(EntryIdBlock*& target, const SBinary* source)
{
    if (source == nullptr || source->lpb == nullptr) {
        return FailMailStep(kStepCopyMissingSource);
    }
    if (target != nullptr && target->cb == source->cb) {
        std::memcpy(target->lpb, source->lpb, source->cb);
        return true;
    }
    FreeMapiBuffer(target);
    void* memory = nullptr;
    const HRESULT result = MAPIAllocateBuffer(static_cast<ULONG>(BlockSize(source->cb)), &memory);
    Mail().LastResult = result;
    if (Failed(result)) {
        return FailMailStep(kStepCopyAllocation);
    }
    target = FillBlock(memory, source->lpb, source->cb);
    return true;
}

bool CopyEntryIdUnder(void* root, EntryIdBlock*& target, const SBinary* source)
{
    if (source == nullptr || source->lpb == nullptr) {
        return FailMailStep(kStepCopyUnderMissingSource);
    }
    void* memory = nullptr;
    const HRESULT result = MAPIAllocateMore(static_cast<ULONG>(BlockSize(source->cb)), root, &memory);
    Mail().LastResult = result;
    if (Failed(result)) {
        return FailMailStep(kStepCopyUnderAllocation);
    }
    target = FillBlock(memory, source->lpb, source->cb);
    return true;
}

void FreeMapiBuffer(void*& slot)
{
    MAPIFreeBuffer(slot);
    slot = nullptr;
}

void RestoreSavedMailIds()
{
    MailSession& mail = Mail();
    FreeMapiBuffer(mail.MailStoreEntryId);
    FreeMapiBuffer(mail.MailFolderEntryId);
    core::AppSettings& settings = core::Settings();
    if (!settings.MailEntryIdsTaken) {
        TakeSavedBlock(settings);
    }
    mail.MailStoreEntryId = BlockFromBytes(settings.MailStoreEntryId.data(), settings.MailStoreEntryId.size());
    mail.MailFolderEntryId = BlockFromBytes(settings.MailFolderEntryId.data(), settings.MailFolderEntryId.size());
}

void RememberMailIds()
{
    const EntryIdBytes store = EntryIdBytesOf(Mail().MailStoreEntryId);
    const EntryIdBytes folder = EntryIdBytesOf(Mail().MailFolderEntryId);
    core::Settings().MailStoreEntryId.assign(store.begin(), store.end());
    core::Settings().MailFolderEntryId.assign(folder.begin(), folder.end());
}

bool OpenStoreAndFolder()
{
    MailSession& mail = Mail();
    if (!mail.session) {
        return FailMailStep(kStepDefaultStore);
    }
    if (!mail.store && mail.MailStoreEntryId != nullptr) {
        // A saved store that is gone is not a failure: the default store
        // takes its place.
        mail.session->OpenMsgStore(0, EntryIdBytesOf(mail.MailStoreEntryId), 0, &mail.store);
    }
    bool ok = true;
    if (!mail.store) {
        ok = CheckMailStep(mail.session->OpenMsgStore(0, {}, 0, &mail.store), kStepDefaultStore);
        SPropValue* values = nullptr;
        ok = ok && ReadSingleProp(*mail.store, PR_ENTRYID, &values)
            && CopyEntryId(mail.MailStoreEntryId, &values[0].Value.bin);
        MAPIFreeBuffer(values);
        FreeMapiBuffer(mail.MailFolderEntryId);
    }
    if (ok && mail.MailFolderEntryId == nullptr) {
        SPropValue* values = nullptr;
        ok = ReadSingleProp(*mail.store, PR_CE_FIRST_FOLDER_ENTRYID, &values)
            && CopyEntryId(mail.MailFolderEntryId, &values[0].Value.bin);
        MAPIFreeBuffer(values);
    }
    if (ok) {
        std::unique_ptr<IMAPIProp> object;
        ULONG type = 0;
        ok = CheckMailStep(
            mail.store->OpenEntry(EntryIdBytesOf(mail.MailFolderEntryId), 0, &type, &object), kStepFolderOpen);
        if (ok && AsFolder(object.get()) == nullptr) {
            ok = FailMailStep(kStepFolderOpen);
        }
        if (ok) {
            mail.folder.reset(AsFolder(object.release()));
        }
    }
    if (!ok) {
        mail.folder.reset();
        mail.store.reset();
        return false;
    }
    RememberMailIds();
    return true;
}

bool ReadCurrentFolderName(std::u16string& name)
{
    MailSession& mail = Mail();
    if ((!mail.store || !mail.folder) && !OpenStoreAndFolder()) {
        return FailMailStep(kStepFolderName);
    }
    SPropValue* values = nullptr;
    if (!ReadSingleProp(*mail.folder, PR_DISPLAY_NAME_W, &values)) {
        return FailMailStep(kStepFolderName);
    }
    name = values[0].Value.lpszW;
    MAPIFreeBuffer(values);
    return true;
}

std::int32_t FillMessageList()
{
    MailSession& mail = Mail();
    std::unique_ptr<IMAPITable> table;
    if (!mail.folder) {
        FailMailStep(kStepContentsTable);
        return 0;
    }
    if (!CheckMailStep(mail.folder->GetContentsTable(0, &table), kStepContentsTable)) {
        return 0;
    }
    SSortOrder sort { PR_SUBJECT_W, TABLE_SORT_ASCEND };
    if (mail.SortChoice == kSortFrom) {
        sort = { PR_SENDER_NAME_W, TABLE_SORT_ASCEND };
    } else if (mail.SortChoice == kSortReceivedDate) {
        sort = { PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND };
    }
    const ULONG columns[] = { PR_ENTRYID, sort.ulPropTag };
    if (!CheckMailStep(table->SetColumns(columns, 0), kStepContentsColumns)
        || !CheckMailStep(table->SortTable(std::span(&sort, 1), 0), kStepContentsSort)) {
        return 0;
    }
    FreeMapiBuffer(mail.messageRoot);
    if (Failed(MAPIAllocateBuffer(4, &mail.messageRoot))) {
        mail.messageRoot = nullptr;
    }
    mail.messageEntries.clear();
    mail.messageCount = 0;
    SRowSet* rows = nullptr;
    while (QueryOneRow(*table, &rows)) {
        if (mail.messageCount >= static_cast<std::int32_t>(mail.messageEntries.size())) {
            mail.messageEntries.resize(mail.messageEntries.size() + kMessageEntryGrowth, nullptr);
        }
        const SPropValue& id = rows->aRow[0].lpProps[0];
        const bool copied = id.ulPropTag == PR_ENTRYID
            && CopyEntryIdUnder(mail.messageRoot, mail.messageEntries[mail.messageCount], &id.Value.bin);
        FreeProws(rows);
        if (!copied) {
            break;
        }
        ++mail.messageCount;
        mail.LastResult = 0;
    }
    if (Host() != nullptr) {
        Host()->SetListItemCount(mail.messageCount);
    }
    return mail.LastResult == 0 ? mail.messageCount : 0;
}

std::uint16_t OpenMailView(bool createFonts)
{
    MailSession& mail = Mail();
    mail.FailStep = 0;
    if (!mail.session) {
        if (!CheckMailStep(MAPIInitialize(nullptr), kStepInitialize)
            || !CheckMailStep(MAPILogonEx(0, nullptr, nullptr, 0, &mail.session), kStepLogon)) {
            return mail.FailStep;
        }
        RestoreSavedMailIds();
        if (!OpenStoreAndFolder()) {
            FailMailStep(kStepLogonStoreAndFolder);
            return mail.FailStep;
        }
    }
    if (createFonts && Host() != nullptr) {
        Host()->CreateListFonts();
    }
    if (Host() != nullptr) {
        Host()->SetFolderButton(mail.MailFolderEntryId);
        Host()->SetSortButton(mail.SortChoice);
    }
    const std::int32_t count = FillMessageList();
    if (mail.FailStep == 0 && Host() != nullptr) {
        const int width = Host()->ListWidth() - (count > Host()->RowsPerPage() ? kScrollBarWidth : 0);
        Host()->SetListColumnWidth(width);
    }
    return mail.FailStep;
}

void CloseMailSession(bool full)
{
    MailSession& mail = Mail();
    if (Host() != nullptr) {
        Host()->DestroyFolderDialog();
        Host()->DeleteAllListItems();
        Host()->DestroyTreeImageList();
        Host()->DeleteAllTreeItems();
        Host()->SetCurrentTreeItem(0);
    }
    FreeMapiBuffer(mail.messageRoot);
    if (mail.session) {
        mail.folder.reset();
        mail.store.reset();
        if (full) {
            FreeMapiBuffer(mail.MailStoreEntryId);
            FreeMapiBuffer(mail.MailFolderEntryId);
            mail.session.reset();
            MAPIUninitialize();
        }
    }
    mail.messageEntries.clear();
    mail.messageEntries.shrink_to_fit();
    mail.messageCount = 0;
    mail.FailStep = 0;
    if (full && Host() != nullptr) {
        Host()->DeleteListFonts();
    }
}

void RefreshMailView()
{
    if (Host() != nullptr) {
        Host()->ShowBusyCursor();
    }
    CloseMailSession(false);
    OpenMailView(false);
    if (Host() != nullptr) {
        Host()->HideBusyCursor();
    }
}

} // namespace email
