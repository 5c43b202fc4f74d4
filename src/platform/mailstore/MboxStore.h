#pragma once

// The mbox implementation of the store and folder objects. A store is one
// mbox file (its one folder is the Inbox) or a directory of mbox files, each
// a folder, where the subfolders of "Name" are the files of "Name.sbd/".
// Folders are named by their levels joined with '/' ("Archives/2024").
// Messages are named by the offset of their "From " line and a hash of their
// Message-ID (MboxReader.h). Nothing here writes to the files.

#include "MaildirStore.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True for "" (the file of a one-file store) and for '/'-joined levels, none
// empty, ".", ".." or ending in ".sbd".
bool IsValidMboxFolderName(std::string_view folder);
std::filesystem::path MboxFolderFile(const MaildirStoreInfo& store, std::string_view folder);
// The folders of a store, sorted, parents before their subfolders, with
// "Inbox" first among its siblings. A ".sbd" directory without its file is
// still a folder, so every folder has its parent.
std::vector<std::string> ListMboxFolders(const MaildirStoreInfo& store);

class MboxStore final : public IMsgStore {
public:
    explicit MboxStore(MaildirStoreInfo info);

    HRESULT GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values) override;
    HRESULT OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream) override;
    HRESULT OpenEntry(
        EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object) override;

private:
    MaildirStoreInfo info_;
};

} // namespace platform
