#pragma once

// The state the e-mail subsystem keeps while the e-mail view is shown: the
// session, the current store and folder, the message list, and the
// bookkeeping of the first failed step that every e-mail operation shares.

#include "MapiInterfaces.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace email {

using platform::HRESULT;

// An entry identifier kept by the program: one MAPI buffer holding an
// SBinary followed by the identifier bytes.
using EntryIdBlock = platform::SBinary;

struct MailSession {
    std::unique_ptr<platform::IMAPISession> session;
    std::unique_ptr<platform::IMsgStore> store;
    EntryIdBlock* MailStoreEntryId = nullptr;
    std::unique_ptr<platform::IMAPIFolder> folder;
    EntryIdBlock* MailFolderEntryId = nullptr;
    std::vector<EntryIdBlock*> messageEntries;
    std::int32_t messageCount = 0;
    void* messageRoot = nullptr;
    void* treeRoot = nullptr;
    std::int32_t SortChoice = 1;
    std::uint16_t FailStep = 0;
    HRESULT LastResult = 0;
};

MailSession& Mail();

// Records a failed step: the first failed step number is kept, and a
// failure without a result of its own leaves E_FAIL as the last result.
// Returns false so callers can write `return FailMailStep(24);`.
bool FailMailStep(std::uint16_t step);

// Records `result` as the last result; the step fails when the result is a
// failure or an earlier step has failed. True when the step succeeded.
bool CheckMailStep(HRESULT result, std::uint16_t step);

} // namespace email
