#include "MailFileMessage.h"

#include "EntryId.h"
#include "MailStore.h"
#include "MaildirLayout.h"
#include "MemoryStream.h"
#include "PropertyTable.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace platform {

namespace fs = std::filesystem;

namespace {

bool Wants(std::span<const ULONG> tags, ULONG tag)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

} // namespace

std::shared_ptr<const std::vector<std::uint8_t>> ReadMessageFile(const fs::path& path)
{
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxMessageFileBytes) {
        return nullptr;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return nullptr;
    }
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(size));
    bytes->resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

MailFileMessage::MailFileMessage(std::shared_ptr<const std::vector<std::uint8_t>> bytes, MailFileFacts facts)
    : bytes_(std::move(bytes))
    , facts_(std::move(facts))
{
}

const MailMessageContent& MailFileMessage::Content()
{
    if (!content_) {
        content_ = ParseMailMessage(*bytes_);
    }
    return *content_;
}

PropertySet MailFileMessage::Properties(bool withBody)
{
    const MailMessageContent& content = Content();
    PropertySet props;
    props.Set(PR_ENTRYID, facts_.entryId);
    if (facts_.parentEntryId) {
        props.Set(PR_PARENT_ENTRYID, *facts_.parentEntryId);
    }
    if (!content.subject.empty()) {
        props.Set(PR_SUBJECT_W, content.subject);
    }
    if (!content.senderAddress.empty()) {
        props.Set(PR_SENDER_EMAIL_ADDRESS_W, content.senderAddress);
    }
    const std::u16string& senderName = content.senderName.empty() ? content.senderAddress : content.senderName;
    if (!senderName.empty()) {
        props.Set(PR_SENDER_NAME_W, senderName);
    }
    std::optional<FILETIME> delivery = facts_.useDateHeader ? content.date : facts_.deliveryStamp;
    if (!delivery) {
        delivery = facts_.modificationTime;
    }
    if (delivery) {
        props.Set(PR_MESSAGE_DELIVERY_TIME, *delivery);
    }
    if (facts_.modificationTime) {
        props.Set(PR_LAST_MODIFICATION_TIME, *facts_.modificationTime);
    }
    props.Set(PR_MESSAGE_FLAGS, static_cast<std::int32_t>(facts_.seen ? MSGFLAG_READ : 0));
    props.Set(PR_MESSAGE_SIZE, static_cast<std::int32_t>(std::min<std::size_t>(bytes_->size(), INT32_MAX)));
    if (withBody && content.body) {
        props.Set(PR_BODY_W, *content.body);
    }
    return props;
}

HRESULT MailFileMessage::GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values)
{
    return CopyPropsToBuffer(Properties(Wants(tags, PR_BODY_W)), tags, count, values);
}

HRESULT MailFileMessage::OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream)
{
    if (stream == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    stream->reset();
    if (tag == PR_CE_MIME_TEXT) {
        *stream = std::make_unique<MemoryStream>(bytes_);
        return S_OK;
    }
    if (tag == PR_BODY_W) {
        const MailMessageContent& content = Content();
        if (!content.body) {
            return MAPI_E_NOT_FOUND;
        }
        std::vector<std::uint8_t> bytes(content.body->size() * 2);
        for (std::size_t i = 0; i < content.body->size(); ++i) {
            bytes[2 * i] = static_cast<std::uint8_t>((*content.body)[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<std::uint8_t>((*content.body)[i] >> 8);
        }
        *stream = std::make_unique<MemoryStream>(std::move(bytes));
        return S_OK;
    }
    return MAPI_E_NOT_FOUND;
}

HRESULT MailFileMessage::GetRecipientTable(ULONG flags, std::unique_ptr<IMAPITable>* table)
{
    if (table == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    table->reset();
    const MailMessageContent& content = Content();
    if (!content.recipientsReadable) {
        return MAPI_E_CORRUPT_DATA;
    }
    std::vector<PropertySet> rows;
    std::int32_t rowId = 0;
    for (const MailRecipient& recipient : content.recipients) {
        PropertySet row;
        row.Set(PR_ROWID, rowId++);
        row.Set(PR_RECIPIENT_TYPE, static_cast<std::int32_t>(recipient.type));
        if (!recipient.name.empty()) {
            row.Set(PR_DISPLAY_NAME_W, recipient.name);
        }
        if (!recipient.address.empty()) {
            row.Set(PR_EMAIL_ADDRESS_W, recipient.address);
        }
        rows.push_back(std::move(row));
    }
    *table = std::make_unique<PropertyTable>(
        std::vector<ULONG> { PR_ROWID, PR_RECIPIENT_TYPE, PR_DISPLAY_NAME_W, PR_EMAIL_ADDRESS_W }, std::move(rows));
    return S_OK;
}

HRESULT MailFileMessage::GetAttachmentTable(ULONG flags, std::unique_ptr<IMAPITable>* table)
{
    if (table == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    std::vector<PropertySet> rows;
    const MailMessageContent& content = Content();
    for (std::size_t number = 0; number < content.attachmentNames.size(); ++number) {
        PropertySet row;
        row.Set(PR_ATTACH_NUM, static_cast<std::int32_t>(number));
        if (!content.attachmentNames[number].empty()) {
            row.Set(PR_ATTACH_FILENAME_W, content.attachmentNames[number]);
        }
        for (const auto& forwarded : content.forwardedMessages) {
            if (forwarded.first == number)
                row.Set(PR_ATTACH_METHOD, ATTACH_EMBEDDED_MSG);
        }
        rows.push_back(std::move(row));
    }
    *table = std::make_unique<PropertyTable>(
        std::vector<ULONG> { PR_ATTACH_NUM, PR_ATTACH_FILENAME_W, PR_ATTACH_METHOD }, std::move(rows));
    return S_OK;
}

HRESULT MailFileMessage::OpenEmbeddedMessage(ULONG attachNumber, std::unique_ptr<IMessage>* message)
{
    if (message == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    message->reset();
    for (const auto& forwarded : Content().forwardedMessages) {
        if (forwarded.first != attachNumber)
            continue;
        MailFileFacts facts;
        facts.entryId = facts_.entryId;
        facts.useDateHeader = true;
        *message = std::make_unique<MailFileMessage>(
            std::make_shared<const std::vector<std::uint8_t>>(forwarded.second.begin(), forwarded.second.end()),
            std::move(facts));
        return S_OK;
    }
    return MAPI_E_NOT_FOUND;
}

// True when the bytes begin as a message does: with a header field
// ("Name: ..."), or with the "From " line of a mailbox. An empty file, a
// text without headers or random bytes is no message.
static bool BeginsAsMessage(const std::vector<std::uint8_t>& bytes)
{
    std::size_t at = 0;
    while (at < bytes.size() && bytes[at] != ':' && bytes[at] != '\r' && bytes[at] != '\n') {
        const std::uint8_t c = bytes[at];
        if (c <= ' ' || c > '~')
            return at == 4 && c == ' ' && std::equal(bytes.begin(), bytes.begin() + 4, "From");
        ++at;
    }
    return at > 0 && at < bytes.size() && bytes[at] == ':';
}

HRESULT OpenMessageFile(const fs::path& path, std::unique_ptr<IMessage>* message)
{
    if (message == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    message->reset();
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error || !fs::is_regular_file(absolute, error)) {
        return MAPI_E_NOT_FOUND;
    }
    auto bytes = ReadMessageFile(absolute);
    if (!bytes) {
        return MAPI_E_NOT_FOUND;
    }
    if (!BeginsAsMessage(*bytes)) {
        return MAPI_E_CORRUPT_DATA;
    }
    MailFileFacts facts;
    ParsedEntryId id;
    id.kind = EntryKind::MessageFile;
    id.storePath = absolute.lexically_normal().string();
    facts.entryId = MakeEntryId(id);
    facts.modificationTime = FileModificationTime(absolute);
    facts.useDateHeader = true;
    const std::string name = absolute.filename().string();
    facts.seen = name.find(":2,") == std::string::npos || HasSeenFlag(name);
    *message = std::make_unique<MailFileMessage>(std::move(bytes), std::move(facts));
    return S_OK;
}

HRESULT OpenMessageBytes(std::vector<std::uint8_t> bytes, std::unique_ptr<IMessage>* message)
{
    if (message == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    MailFileFacts facts;
    ParsedEntryId id;
    id.kind = EntryKind::MessageFile;
    id.storePath = "-";
    facts.entryId = MakeEntryId(id);
    facts.useDateHeader = true;
    *message = std::make_unique<MailFileMessage>(
        std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes)), std::move(facts));
    return S_OK;
}

} // namespace platform
