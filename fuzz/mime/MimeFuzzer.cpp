// Feeds arbitrary bytes as a message's MIME text through ExtractMimeMessage
// and the body through PutMailChar.
#include "MailSession.h"
#include "MailStore.h"
#include "MailStrings.h"
#include "MimeMessage.h"
#include "PutMailChar.h"

#include <cstddef>
#include <cstdint>

namespace {

const char16_t* NoticeLoader(unsigned id, std::size_t)
{
    return id == email::kUnsupportedFormatMessage
        ? u"[Email is in unsupported format (HTML or other)... Unable to print]"
        : nullptr;
}

void DropChar(char16_t)
{
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    email::Mail().FailStep = 0;
    email::Mail().LastResult = 0;
    email::SetMailStringLoader(NoticeLoader);
    email::SetMailCharSink(DropChar);
    std::unique_ptr<platform::IMessage> message;
    if (platform::Failed(platform::OpenMessageBytes(std::vector<std::uint8_t>(data, data + size), &message))) {
        return 0;
    }
    std::optional<std::u16string> to;
    std::optional<std::u16string> cc;
    std::vector<std::uint8_t> body;
    const std::int32_t length = email::ExtractMimeMessage(*message, to, cc, body);
    if (length < 0 || static_cast<std::size_t>(length) != body.size() || body.size() > size + 200) {
        __builtin_trap();
    }
    for (std::uint8_t byte : body) {
        email::PutMailChar(byte);
    }
    return 0;
}
