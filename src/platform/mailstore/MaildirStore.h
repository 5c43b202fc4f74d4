#pragma once

// The session over the configured stores, and the Maildir implementation
// of the store and folder objects (the mbox one is in MboxStore.h).

#include "MailStoreConfig.h"
#include "MapiInterfaces.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// What a store's path holds: a Maildir (a directory with cur/), one mbox
// file, or a directory of mbox files with ".sbd" directories of subfolders.
enum class StoreKind { Maildir, MboxFile, MboxTree };

struct MaildirStoreInfo {
    std::u16string name;
    std::string path; // normalised absolute path, as kept in identifiers
    StoreKind kind = StoreKind::Maildir;
};

// The kind of store the path holds, looked at on disk.
StoreKind StoreKindOf(const std::filesystem::path& path);

// The store object for the kind; null when the path no longer holds it.
std::unique_ptr<IMsgStore> OpenStoreObject(const MaildirStoreInfo& info);

class MaildirStore final : public IMsgStore {
public:
    explicit MaildirStore(MaildirStoreInfo info);

    HRESULT GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values) override;
    HRESULT OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream) override;
    HRESULT OpenEntry(
        EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object) override;

    const MaildirStoreInfo& Info() const { return info_; }

private:
    MaildirStoreInfo info_;
};

class MaildirSession final : public IMAPISession {
public:
    explicit MaildirSession(std::vector<MaildirStoreInfo> stores);

    HRESULT GetMsgStoresTable(ULONG flags, std::unique_ptr<IMAPITable>* table) override;
    HRESULT OpenMsgStore(
        std::uintptr_t uiParam, EntryIdBytes entryId, ULONG flags, std::unique_ptr<IMsgStore>* store) override;
    HRESULT OpenEntry(
        EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object) override;
    HRESULT CompareEntryIDs(EntryIdBytes first, EntryIdBytes second, ULONG flags, ULONG* result) override;

private:
    const MaildirStoreInfo* FindStore(const std::string& path) const;

    std::vector<MaildirStoreInfo> stores_;
};

} // namespace platform
