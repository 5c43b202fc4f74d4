#pragma once

// The e-mail view's connection to the message stores: logon, the current
// store and folder, the message list in the chosen sort order, the folder
// tree, and the small operations they share. Every operation records its
// first failed step in Mail().FailStep and stops early when one is set.

#include "MailSession.h"
#include "MailViewHost.h"

#include <cstdint>
#include <span>
#include <string>

namespace email {

inline constexpr std::int32_t kSortFrom = 0;
inline constexpr std::int32_t kSortReceivedDate = 1;
inline constexpr std::int32_t kSortSubject = 2;
// The message list grows by this many entries at a time.
inline constexpr std::int32_t kMessageEntryGrowth = 25;
// Room left for the list's scroll bar when the rows do not fit.
inline constexpr int kScrollBarWidth = 13;

// Returns FailStep (0 = success).
std::uint16_t OpenMailView(bool createFonts);
void CloseMailSession(bool full);
void RefreshMailView();
bool OpenStoreAndFolder();
std::int32_t FillMessageList();

bool BuildFolderTree();
bool AddStoreFolders(TreeItem item, const EntryIdBlock* first, const EntryIdBlock* second);
TreeItem RevealFolder(
    TreeItem item, const EntryIdBlock* folderId, const EntryIdBlock* childId, const EntryIdBlock* topId);

bool ReadSingleProp(platform::IMAPIProp& object, platform::ULONG tag, platform::SPropValue** values);
bool QueryOneRow(platform::IMAPITable& table, platform::SRowSet** rows);
bool CopyEntryId(EntryIdBlock*& target, const platform::SBinary* source);
bool CopyEntryIdUnder(void* root, EntryIdBlock*& target, const platform::SBinary* source);
void FreeMapiBuffer(void*& slot);
template <typename T> void FreeMapiBuffer(T*& slot)
{
    void* raw = slot;
    FreeMapiBuffer(raw);
    slot = nullptr;
}

// A choice in the folder dialog: `chosen` is the identifier of the item, and
// `store` that of its store, or null when the item is a store itself (its
// first folder is then the one shown). The next refresh opens them.
void ChooseFolder(const EntryIdBlock* chosen, const EntryIdBlock* store);

// The current folder's display name for the folder button; opens store and
// folder when they are not open (step 34 when that fails).
bool ReadCurrentFolderName(std::u16string& name);

// The saved store and folder: the settings' "PrMAPI" block turned into the
// two identifiers at logon, and the identifiers copied back for the next
// settings save.
void RestoreSavedMailIds();
void RememberMailIds();

platform::EntryIdBytes EntryIdBytesOf(const EntryIdBlock* block);

} // namespace email
