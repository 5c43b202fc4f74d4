#pragma once

// The messaging objects: session, stores, folders, messages, tables and
// streams. Each is an abstract class with the published method names, so
// the e-mail code can run on a Maildir store or on a test double. Objects
// are owned by the caller through std::unique_ptr; releasing one is letting
// it go. Values and rows handed out are MAPI buffers (MapiMemory.h).

#include "MapiTypes.h"

#include <cstdint>
#include <memory>
#include <span>

namespace platform {

using EntryIdBytes = std::span<const std::uint8_t>;

class IStream {
public:
    virtual ~IStream() = default;
    // Reads up to `count` bytes; *read gets the number read, 0 at the end.
    virtual HRESULT Read(void* buffer, ULONG count, ULONG* read) = 0;
    // Moves to `offset` from STREAM_SEEK_SET, _CUR or _END; *newPosition (may
    // be null) gets the new absolute position. A position before the start
    // fails with STG_E_INVALIDFUNCTION.
    virtual HRESULT Seek(std::int64_t offset, ULONG origin, std::uint64_t* newPosition) = 0;
    virtual HRESULT Stat(STATSTG* stat, ULONG flags) = 0;
};

class IMAPITable {
public:
    virtual ~IMAPITable() = default;
    virtual HRESULT SetColumns(std::span<const ULONG> tags, ULONG flags) = 0;
    virtual HRESULT SortTable(std::span<const SSortOrder> sortOrder, ULONG flags) = 0;
    // Up to `rowCount` rows from the cursor on, in one block freed with
    // FreeProws; an empty block at the end of the table.
    virtual HRESULT QueryRows(std::int32_t rowCount, ULONG flags, SRowSet** rows) = 0;
};

class IMAPIProp {
public:
    virtual ~IMAPIProp() = default;
    virtual ULONG ObjectType() const = 0;
    // One value per tag in one MAPI buffer. Missing values are error-typed
    // and the result is then MAPI_W_ERRORS_RETURNED.
    virtual HRESULT GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values) = 0;
    // A stream on a large property (PR_BODY_W, PR_CE_MIME_TEXT);
    // MAPI_E_NOT_FOUND when the object has none.
    virtual HRESULT OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream) = 0;
};

class IMAPIContainer : public IMAPIProp {
public:
    virtual HRESULT GetContentsTable(ULONG flags, std::unique_ptr<IMAPITable>* table) = 0;
    virtual HRESULT GetHierarchyTable(ULONG flags, std::unique_ptr<IMAPITable>* table) = 0;
};

class IMAPIFolder : public IMAPIContainer {
public:
    ULONG ObjectType() const override { return MAPI_FOLDER; }
};

class IMessage : public IMAPIProp {
public:
    ULONG ObjectType() const override { return MAPI_MESSAGE; }
    virtual HRESULT GetRecipientTable(ULONG flags, std::unique_ptr<IMAPITable>* table) = 0;
    virtual HRESULT GetAttachmentTable(ULONG flags, std::unique_ptr<IMAPITable>* table) = 0;
    // The message an attachment holds (PR_ATTACH_METHOD ATTACH_EMBEDDED_MSG),
    // by its PR_ATTACH_NUM.
    virtual HRESULT OpenEmbeddedMessage(ULONG attachNumber, std::unique_ptr<IMessage>* message)
    {
        (void)attachNumber;
        if (message != nullptr)
            message->reset();
        return MAPI_E_NO_SUPPORT;
    }
};

class IMsgStore : public IMAPIProp {
public:
    ULONG ObjectType() const override { return MAPI_STORE; }
    // Opens a folder or message of this store; *objectType (may be null)
    // gets MAPI_FOLDER or MAPI_MESSAGE.
    virtual HRESULT OpenEntry(EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object)
        = 0;
};

class IMAPISession {
public:
    virtual ~IMAPISession() = default;
    virtual HRESULT GetMsgStoresTable(ULONG flags, std::unique_ptr<IMAPITable>* table) = 0;
    // An empty identifier opens the default store.
    virtual HRESULT OpenMsgStore(
        std::uintptr_t uiParam, EntryIdBytes entryId, ULONG flags, std::unique_ptr<IMsgStore>* store)
        = 0;
    virtual HRESULT OpenEntry(EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object)
        = 0;
    // *result is 1 when both identifiers name the same object, else 0.
    virtual HRESULT CompareEntryIDs(EntryIdBytes first, EntryIdBytes second, ULONG flags, ULONG* result) = 0;
};

inline IMAPIFolder* AsFolder(IMAPIProp* object)
{
    return object != nullptr && object->ObjectType() == MAPI_FOLDER ? static_cast<IMAPIFolder*>(object) : nullptr;
}
inline IMessage* AsMessage(IMAPIProp* object)
{
    return object != nullptr && object->ObjectType() == MAPI_MESSAGE ? static_cast<IMessage*>(object) : nullptr;
}

} // namespace platform
