// Feeds arbitrary bytes to the mbox reader: the messages it finds must lie
// inside the bytes in order, and each opens as a message of its own; the
// message names of the entry identifiers are read back.
#include "MailStore.h"
#include "MboxReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace platform;

constexpr std::size_t kMaxMessagesOpened = 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ParseMboxMessageName(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<MboxMessageSpan> spans = ScanMboxBytes(std::span(data, size));
    std::int64_t previousEnd = 0;
    std::size_t opened = 0;
    for (const MboxMessageSpan& span : spans) {
        if (span.markerOffset < previousEnd || span.headersBegin < span.markerOffset
            || span.headersEnd < span.headersBegin || span.end < span.headersEnd
            || span.end > static_cast<std::int64_t>(size))
            __builtin_trap();
        previousEnd = span.end;
        if (ParseMboxMessageName(MboxMessageName(span))->keyHash != span.keyHash)
            __builtin_trap();
        if (opened++ >= kMaxMessagesOpened)
            continue;
        std::unique_ptr<IMessage> message;
        if (Failed(OpenMessageBytes(std::vector<std::uint8_t>(data + span.headersBegin, data + span.end), &message)))
            continue;
        const ULONG tags[] = { PR_SUBJECT_W, PR_SENDER_NAME_W, PR_MESSAGE_DELIVERY_TIME, PR_BODY_W };
        ULONG count = 0;
        SPropValue* values = nullptr;
        if (Succeeded(message->GetProps(tags, MAPI_UNICODE, &count, &values)))
            MAPIFreeBuffer(values);
    }
    return 0;
}
