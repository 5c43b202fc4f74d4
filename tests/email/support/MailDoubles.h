#pragma once

// A store and messages for the e-mail tests: each message is a set of
// properties, recipient and attachment rows, an optional body and MIME text,
// with switches for the failures a real store can show.

#include "MailSession.h"
#include "MailStore.h"
#include "MailStrings.h"
#include "MapiInterfaces.h"
#include "MemoryStream.h"
#include "PropertySet.h"
#include "PropertyTable.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace email::test {

inline constexpr char16_t kNoticeText[] = u"[Email is in unsupported format (HTML or other)... Unable to print]";

inline const char16_t* NoticeLoader(unsigned id, std::size_t)
{
    return id == 40066 ? kNoticeText : nullptr;
}

inline void ResetMailState()
{
    Mail().FailStep = 0;
    Mail().LastResult = 0;
    SetMailStringLoader(NoticeLoader);
}

// A stream over given bytes whose reads fail once a number of them have
// succeeded, as a store's stream does when a message is damaged.
class CountedStream final : public platform::IStream {
public:
    // goodReads: how many reads succeed before every read fails; -1 for all.
    CountedStream(std::vector<std::uint8_t> bytes, int goodReads)
        : inner_(std::move(bytes))
        , goodReads_(goodReads)
    {
    }
    platform::HRESULT Read(void* buffer, platform::ULONG count, platform::ULONG* read) override
    {
        if (goodReads_ == 0) {
            return platform::STG_E_READFAULT;
        }
        if (goodReads_ > 0) {
            --goodReads_;
        }
        return inner_.Read(buffer, count, read);
    }
    platform::HRESULT Seek(std::int64_t offset, platform::ULONG origin, std::uint64_t* position) override
    {
        return inner_.Seek(offset, origin, position);
    }
    platform::HRESULT Stat(platform::STATSTG* stat, platform::ULONG flags) override { return inner_.Stat(stat, flags); }

private:
    platform::MemoryStream inner_;
    int goodReads_;
};

struct MessageContent {
    platform::PropertySet props;
    platform::HRESULT propsResult = platform::S_OK; // a failure makes GetProps fail
    std::vector<platform::PropertySet> recipients;
    bool refuseRecipients = false;
    std::vector<platform::PropertySet> attachments;
    bool noAttachmentTable = false;
    std::optional<std::u16string> body; // PR_BODY_W
    int bodyGoodReads = -1; // reads of the body that succeed; -1 all
    std::optional<std::string> mimeText; // PR_CE_MIME_TEXT
    int mimeGoodReads = -1;
};

inline platform::PropertySet Recipient(
    platform::ULONG type, std::optional<std::u16string> name, std::optional<std::u16string> address)
{
    platform::PropertySet row;
    row.Set(platform::PR_RECIPIENT_TYPE, static_cast<std::int32_t>(type));
    if (name) {
        row.Set(platform::PR_DISPLAY_NAME_W, *name);
    }
    if (address) {
        row.Set(platform::PR_EMAIL_ADDRESS_W, *address);
    }
    return row;
}

inline platform::PropertySet Attachment(std::optional<std::u16string> name)
{
    platform::PropertySet row;
    if (name) {
        row.Set(platform::PR_ATTACH_FILENAME_W, *name);
    }
    return row;
}

class MessageDouble final : public platform::IMessage {
public:
    explicit MessageDouble(MessageContent message)
        : content_(std::move(message))
    {
    }

    platform::HRESULT GetProps(std::span<const platform::ULONG> tags, platform::ULONG, platform::ULONG* count,
        platform::SPropValue** values) override
    {
        if (platform::Failed(content_.propsResult)) {
            return content_.propsResult;
        }
        return platform::CopyPropsToBuffer(content_.props, tags, count, values);
    }
    platform::HRESULT OpenProperty(
        platform::ULONG tag, platform::ULONG, platform::ULONG, std::unique_ptr<platform::IStream>* stream) override
    {
        if (tag == platform::PR_BODY_W && content_.body) {
            std::vector<std::uint8_t> bytes;
            for (char16_t unit : *content_.body) {
                bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
            }
            *stream = std::make_unique<CountedStream>(std::move(bytes), content_.bodyGoodReads);
            return platform::S_OK;
        }
        if (tag == platform::PR_CE_MIME_TEXT && content_.mimeText) {
            *stream = std::make_unique<CountedStream>(
                std::vector<std::uint8_t>(content_.mimeText->begin(), content_.mimeText->end()),
                content_.mimeGoodReads);
            return platform::S_OK;
        }
        return platform::MAPI_E_NOT_FOUND;
    }
    platform::HRESULT GetRecipientTable(platform::ULONG, std::unique_ptr<platform::IMAPITable>* table) override
    {
        if (content_.refuseRecipients) {
            return platform::MAPI_E_CORRUPT_DATA;
        }
        *table
            = std::make_unique<platform::PropertyTable>(std::vector<platform::ULONG> { platform::PR_RECIPIENT_TYPE,
                                                            platform::PR_DISPLAY_NAME_W, platform::PR_EMAIL_ADDRESS_W },
                content_.recipients);
        return platform::S_OK;
    }
    platform::HRESULT GetAttachmentTable(platform::ULONG, std::unique_ptr<platform::IMAPITable>* table) override
    {
        if (content_.noAttachmentTable) {
            return platform::MAPI_E_NO_SUPPORT;
        }
        *table = std::make_unique<platform::PropertyTable>(
            std::vector<platform::ULONG> { platform::PR_ATTACH_NUM, platform::PR_ATTACH_FILENAME_W },
            content_.attachments);
        return platform::S_OK;
    }

private:
    MessageContent content_;
};

// Opens the messages of `messages` by their one-byte identifiers; any other
// identifier is not found.
class StoreDouble final : public platform::IMsgStore {
public:
    std::map<std::uint8_t, MessageContent> messages;

    platform::HRESULT GetProps(
        std::span<const platform::ULONG>, platform::ULONG, platform::ULONG*, platform::SPropValue**) override
    {
        return platform::MAPI_E_NO_SUPPORT;
    }
    platform::HRESULT OpenProperty(
        platform::ULONG, platform::ULONG, platform::ULONG, std::unique_ptr<platform::IStream>*) override
    {
        return platform::MAPI_E_NOT_FOUND;
    }
    platform::HRESULT OpenEntry(platform::EntryIdBytes entryId, platform::ULONG, platform::ULONG* objectType,
        std::unique_ptr<platform::IMAPIProp>* object) override
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
        return platform::MAPI_E_NOT_FOUND;
    }
};

} // namespace email::test
