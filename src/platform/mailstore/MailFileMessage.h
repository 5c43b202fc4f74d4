#pragma once

// One message read from a file (or from bytes): its properties, recipient
// and attachment tables and streams.

#include "MailMessageContent.h"
#include "MapiInterfaces.h"
#include "PropertySet.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

struct MailFileFacts {
    std::vector<std::uint8_t> entryId;
    std::optional<std::vector<std::uint8_t>> parentEntryId;
    std::optional<FILETIME> deliveryStamp; // from the Maildir file name
    std::optional<FILETIME> modificationTime;
    bool useDateHeader = false; // a standalone file: the Date header is its delivery time
    bool seen = true;
};

class MailFileMessage final : public IMessage {
public:
    MailFileMessage(std::shared_ptr<const std::vector<std::uint8_t>> bytes, MailFileFacts facts);

    HRESULT GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values) override;
    HRESULT OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream) override;
    HRESULT GetRecipientTable(ULONG flags, std::unique_ptr<IMAPITable>* table) override;
    HRESULT GetAttachmentTable(ULONG flags, std::unique_ptr<IMAPITable>* table) override;
    HRESULT OpenEmbeddedMessage(ULONG attachNumber, std::unique_ptr<IMessage>* message) override;

private:
    const MailMessageContent& Content();
    PropertySet Properties(bool withBody);

    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    MailFileFacts facts_;
    std::optional<MailMessageContent> content_;
};

// Reads a whole message file; null when it cannot be read or is too large.
std::shared_ptr<const std::vector<std::uint8_t>> ReadMessageFile(const std::filesystem::path& path);

} // namespace platform
