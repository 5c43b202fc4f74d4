#pragma once

// A store and messages for the e-mail printer's tests: each message is a
// set of properties, recipient and attachment rows, an optional body and
// MIME text, with switches for the failures a real store can show.

#include "CountedStream.h"
#include "MailSession.h"
#include "MapiInterfaces.h"
#include "MemoryStream.h"
#include "PropertySet.h"
#include "PropertyTable.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace email::test {

struct MessageContent {
    platform::PropertySet props;
    platform::HRESULT propsResult = platform::S_OK; // a failure makes GetProps fail
    std::vector<platform::PropertySet> recipients;
    bool refuseRecipients = false;
    std::vector<platform::PropertySet> attachments;
    bool noAttachmentTable = false;
    std::optional<std::u16string> body; // PR_BODY_W
    int bodyGoodReads = -1; // reads of the body that succeed; -1 all
    std::string mimeText; // PR_CE_MIME_TEXT
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
    explicit MessageDouble(const MessageContent& message)
        : content_(message)
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
        if (tag == platform::PR_CE_MIME_TEXT && !content_.mimeText.empty()) {
            *stream = std::make_unique<platform::MemoryStream>(
                std::vector<std::uint8_t>(content_.mimeText.begin(), content_.mimeText.end()));
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
    // Messages opened straight from bytes (a real parse), by identifier.
    std::map<std::uint8_t, std::string> rawMessages;

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
        std::unique_ptr<platform::IMAPIProp>* object) override;
};

} // namespace email::test
