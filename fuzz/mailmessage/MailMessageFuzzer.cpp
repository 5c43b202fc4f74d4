// Feeds arbitrary bytes to the store's message reading: every property,
// the recipient and attachment tables, the body stream, the header summary
// of the message list, the forwarded messages and the HTML rendering.
#include "HtmlToText.h"
#include "MailMessageContent.h"
#include "MailStore.h"
#include "TextConversion.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace platform;

void DrainTable(IMAPITable& table)
{
    for (;;) {
        SRowSet* rows = nullptr;
        if (Failed(table.QueryRows(1, 0, &rows)) || rows->cRows == 0) {
            FreeProws(rows);
            return;
        }
        FreeProws(rows);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SummarizeMailHeaders(text, SummaryFields::Both);
    HtmlToText(text);

    std::unique_ptr<IMessage> message;
    if (Failed(OpenMessageBytes(std::vector<std::uint8_t>(data, data + size), &message))) {
        return 0;
    }
    const ULONG tags[] = { PR_SENDER_EMAIL_ADDRESS_W, PR_MESSAGE_DELIVERY_TIME, PR_SUBJECT_W, PR_LAST_MODIFICATION_TIME,
        PR_SENDER_NAME_W, PR_MESSAGE_FLAGS, PR_BODY_W, PR_ENTRYID };
    ULONG count = 0;
    SPropValue* values = nullptr;
    if (Succeeded(message->GetProps(tags, MAPI_UNICODE, &count, &values))) {
        MAPIFreeBuffer(values);
    }
    std::unique_ptr<IMAPITable> table;
    if (message->GetRecipientTable(MAPI_DEFERRED_ERRORS, &table) == S_OK) {
        DrainTable(*table);
    }
    if (message->GetAttachmentTable(0, &table) == S_OK) {
        const ULONG columns[] = { PR_ATTACH_FILENAME_W };
        table->SetColumns(columns, 0);
        DrainTable(*table);
    }
    // The forwarded messages, as printing opens them.
    for (ULONG number = 0; number < 8; ++number) {
        std::unique_ptr<IMessage> forwarded;
        if (message->OpenEmbeddedMessage(number, &forwarded) == S_OK
            && Succeeded(forwarded->GetProps(tags, MAPI_UNICODE, &count, &values))) {
            MAPIFreeBuffer(values);
        }
    }
    std::unique_ptr<IStream> body;
    if (message->OpenProperty(PR_BODY_W, 0, 0, &body) == S_OK) {
        char buffer[256];
        ULONG read = 0;
        while (Succeeded(body->Read(buffer, sizeof buffer, &read)) && read > 0) { }
    }
    return 0;
}
