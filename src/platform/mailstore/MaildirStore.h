#pragma once

// The Maildir implementation of the session, store and folder objects.

#include "MailStoreConfig.h"
#include "MapiInterfaces.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct MaildirStoreInfo {
    std::u16string name;
    std::string path; // normalised absolute directory, as kept in identifiers
};

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

class MaildirFolder final : public IMAPIFolder {
public:
    MaildirFolder(MaildirStoreInfo store, std::string folder, std::vector<std::string> allFolders);

    HRESULT GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values) override;
    HRESULT OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream) override;
    HRESULT GetContentsTable(ULONG flags, std::unique_ptr<IMAPITable>* table) override;
    HRESULT GetHierarchyTable(ULONG flags, std::unique_ptr<IMAPITable>* table) override;

private:
    std::vector<std::string> Children() const;

    MaildirStoreInfo store_;
    std::string folder_;
    std::vector<std::string> allFolders_;
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
