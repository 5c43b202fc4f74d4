#include "MailRows.h"

#include "FileTimeConversion.h"
#include "LocaleFormat.h"
#include "MailStoreAccess.h"
#include "MapiMemory.h"

namespace email {
namespace {

using namespace platform;

constexpr ULONG kRowTags[] = { PR_SENDER_EMAIL_ADDRESS_W, PR_MESSAGE_DELIVERY_TIME, PR_SUBJECT_W, PR_MESSAGE_FLAGS,
    PR_LAST_MODIFICATION_TIME };
constexpr std::int32_t kMessageFlagRead = 1;
// The date text's room, in UTF-16 units.
constexpr int kDateUnits = 14;

bool Present(const SPropValue& value, ULONG tag)
{
    return value.ulPropTag == tag;
}

std::u16string Text(const SPropValue& value, ULONG tag)
{
    return Present(value, tag) && value.Value.lpszW != nullptr ? std::u16string(value.Value.lpszW) : std::u16string();
}

std::u16string ShortDate(const FILETIME& time)
{
    FILETIME local {};
    SYSTEMTIME fields {};
    if (FileTimeToLocalFileTime(&time, &local) == 0 || FileTimeToSystemTime(&local, &fields) == 0)
        return {};
    char16_t buffer[kDateUnits] = {};
    const int written = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &fields, nullptr, buffer, kDateUnits);
    return written > 0 ? std::u16string(buffer, static_cast<std::size_t>(written - 1)) : std::u16string();
}

} // namespace

std::optional<MailRowText> ReadMailRow(std::int32_t row)
{
    MailSession& mail = Mail();
    if (row < 0 || row >= mail.messageCount || static_cast<std::size_t>(row) >= mail.messageEntries.size())
        return std::nullopt;
    const EntryIdBlock* entry = mail.messageEntries[static_cast<std::size_t>(row)];
    std::unique_ptr<IMAPIProp> message;
    HRESULT opened = E_FAIL;
    if (entry != nullptr && mail.session)
        opened = mail.session->OpenEntry(EntryIdBytesOf(entry), 0, nullptr, &message);
    if (!CheckMailStep(opened, kStepRowOpenMessage) || !message)
        return std::nullopt;
    ULONG count = 0;
    SPropValue* values = nullptr;
    if (!CheckMailStep(message->GetProps(kRowTags, MAPI_UNICODE, &count, &values), kStepRowProperties)
        || values == nullptr || count < std::size(kRowTags)) {
        MAPIFreeBuffer(values);
        return std::nullopt;
    }
    MailRowText text;
    text.Sender = Text(values[0], PR_SENDER_EMAIL_ADDRESS_W);
    if (Present(values[1], PR_MESSAGE_DELIVERY_TIME))
        text.Date = ShortDate(values[1].Value.ft);
    else if (Present(values[4], PR_LAST_MODIFICATION_TIME))
        text.Date = ShortDate(values[4].Value.ft);
    text.Subject = Text(values[2], PR_SUBJECT_W);
    text.Unread = Present(values[3], PR_MESSAGE_FLAGS) && (values[3].Value.l & kMessageFlagRead) == 0;
    MAPIFreeBuffer(values);
    return text;
}

} // namespace email
