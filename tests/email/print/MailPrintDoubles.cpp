#include "MailPrintDoubles.h"

#include "MailStore.h"

namespace email::test {

platform::HRESULT StoreDouble::OpenEntry(platform::EntryIdBytes entryId, platform::ULONG, platform::ULONG* objectType,
    std::unique_ptr<platform::IMAPIProp>* object)
{
    if (entryId.size() != 1) {
        return platform::MAPI_E_INVALID_ENTRYID;
    }
    if (objectType != nullptr) {
        *objectType = platform::MAPI_MESSAGE;
    }
    if (auto it = messages.find(entryId[0]); it != messages.end()) {
        *object = std::make_unique<MessageDouble>(it->second);
        return platform::S_OK;
    }
    if (auto it = rawMessages.find(entryId[0]); it != rawMessages.end()) {
        std::unique_ptr<platform::IMessage> message;
        const platform::HRESULT result
            = platform::OpenMessageBytes(std::vector<std::uint8_t>(it->second.begin(), it->second.end()), &message);
        *object = std::move(message);
        return result;
    }
    return platform::MAPI_E_NOT_FOUND;
}

} // namespace email::test
