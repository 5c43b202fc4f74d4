#pragma once

// What the store shows of one message, read from the message's own text
// with GMime: sender, subject, date, recipients, attachment names and the
// body as UTF-16.

#include "MapiTypes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

struct MailRecipient {
    ULONG type = MAPI_TO; // MAPI_TO, MAPI_CC or MAPI_BCC
    std::u16string name;
    std::u16string address;
};

struct MailMessageContent {
    std::u16string senderName;
    std::u16string senderAddress;
    std::u16string subject;
    std::optional<FILETIME> date; // the Date header
    // False when the message has no header section at all: the store then
    // refuses the recipient table. A To, Cc or Bcc header that is no address
    // list is one recipient named by its text, with no address.
    bool recipientsReadable = true;
    std::vector<MailRecipient> recipients;
    std::vector<std::u16string> attachmentNames;
    // The text of each forwarded message (a message/rfc822 part), with the
    // index of its entry in attachmentNames.
    std::vector<std::pair<std::size_t, std::string>> forwardedMessages;
    // The first plain-text part decoded to UTF-16 with CR LF line ends, else
    // a rendering of the first HTML part; none when the message has neither.
    std::optional<std::u16string> body;
};

// Never fails: what cannot be read is left empty.
MailMessageContent ParseMailMessage(std::span<const std::uint8_t> bytes);

// The few fields a message list needs, from the header block alone.
struct MailHeaderSummary {
    std::u16string senderName; // the display name, else the address
    std::u16string senderAddress;
    std::u16string subject;
};

enum class SummaryFields : unsigned {
    Sender = 1,
    Subject = 2,
    Both = 3,
};

MailHeaderSummary SummarizeMailHeaders(std::string_view headerBlock, SummaryFields fields);

// Header block (everything before the first empty line) of a message file,
// at most kMaxListingHeaderBytes bytes of it. Empty when the file cannot be
// read.
inline constexpr std::size_t kMaxListingHeaderBytes = 64 * 1024;
std::string ReadHeaderBlock(const char* path);

// Text to CR LF line ends: LF, CR and CR LF each become CR LF.
std::u16string WithCrLfLineEnds(std::u16string_view text);

// Loads and initialises the MIME library once; false when it cannot be
// loaded, and then nothing that reads a message may be called.
bool EnsureGMimeInitialized();

} // namespace platform
