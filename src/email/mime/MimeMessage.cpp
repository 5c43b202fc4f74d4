#include "MimeMessage.h"

#include "MailSession.h"
#include "MailStrings.h"
#include "MimeReader.h"

#include <new>
#include <strings.h>

namespace email {

namespace {

struct HeaderName {
    std::string_view name;
    bool isCc;
};
constexpr HeaderName kHeaderNames[] = { { "To:", false }, { "Cc:", true } };

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// Header text to UTF-16 in the single-byte code page of the MIME route,
// where every byte is one character.
void AppendSingleByteText(std::u16string& out, std::string_view text)
{
    for (char ch : text) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(ch)));
    }
}

std::string_view AfterBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    return text.substr(i);
}

// A To or Cc header: the rest of the line, and while a piece ends with a
// comma, the next line joined directly behind it.
std::u16string ReadAddressHeader(MimeReader& reader, std::size_t nameLength)
{
    std::u16string value;
    std::string_view piece = AfterBlanks(CurrentMimeLine(reader).substr(nameLength));
    AppendSingleByteText(value, piece);
    while (!piece.empty() && piece.back() == ',') {
        if (!ReadMimeLine(reader)) {
            break;
        }
        piece = AfterBlanks(CurrentMimeLine(reader));
        AppendSingleByteText(value, piece);
    }
    return value;
}

// Reads `length` bytes from `start` into a new body; no body for a length
// that is not positive.
std::int32_t TakeBody(MimeReader& reader, std::int64_t start, std::int64_t length, std::vector<std::uint8_t>& body)
{
    if (length <= 0 || start < 0 || length > reader.streamSize) {
        return 0;
    }
    const auto count = static_cast<std::uint32_t>(length);
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[count + 1]());
    if (!block) {
        FailMailStep(kStepMimeAllocation);
        return 0;
    }
    if (!ReadMimeAt(reader, static_cast<std::uint32_t>(start), count, block.get())) {
        return 0;
    }
    body.assign(block.get(), block.get() + count);
    return static_cast<std::int32_t>(count);
}

std::int32_t UnsupportedFormatNotice(std::vector<std::uint8_t>& body)
{
    const char16_t* notice = LoadMailString(kUnsupportedFormatMessage, kUnsupportedFormatMessageLength);
    if (notice == nullptr) {
        return 0;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; notice[i] != 0 && i < kUnsupportedFormatMessageLength; ++i) {
        const char16_t unit = notice[i];
        bytes.push_back(unit < 0x100 ? static_cast<std::uint8_t>(unit) : static_cast<std::uint8_t>('?'));
    }
    body = std::move(bytes);
    return static_cast<std::int32_t>(body.size());
}

bool FindDelimiter(MimeReader& reader)
{
    while (ReadMimeLine(reader)) {
        if (IsMimeDelimiterLine(reader)) {
            return true;
        }
    }
    return false;
}

std::int32_t SearchMultipart(MimeReader& reader, std::vector<std::uint8_t>& body)
{
    for (;;) {
        if (!reader.boundary || !FindDelimiter(reader)) {
            return 0;
        }
        if (!ReadMimeLine(reader)) {
            return 0;
        }
        std::int32_t type = ParseContentTypeLine(reader);
        while (type == kContentTypeNone) {
            if (!ReadMimeLine(reader)) {
                return 0;
            }
            type = ParseContentTypeLine(reader);
        }
        if (Mail().FailStep != 0) {
            return 0;
        }
        if (type == kContentTypeTextPlain) {
            break;
        }
    }
    while (ReadMimeLine(reader) && !CurrentMimeLine(reader).empty()) { }
    const std::int64_t start = MimeTell(reader);
    bool found = false;
    while (ReadMimeLine(reader)) {
        if (IsMimeDelimiterLine(reader)) {
            found = true;
            break;
        }
    }
    std::int64_t end = MimeTell(reader);
    if (found) {
        end -= static_cast<std::int64_t>(CurrentMimeLine(reader).size());
    }
    return TakeBody(reader, start, end - start - 2, body);
}

std::int32_t ReadMimeText(MimeReader& reader, std::optional<std::u16string>& to, std::optional<std::u16string>& cc,
    std::vector<std::uint8_t>& body)
{
    FillMimeBuffer(reader);
    reader.contentType = kContentTypeNone;
    for (;;) {
        if (!ReadMimeLine(reader)) {
            return 0;
        }
        if (CurrentMimeLine(reader).empty()) {
            break;
        }
        const std::int32_t type = ParseContentTypeLine(reader);
        if (type != kContentTypeNone) {
            reader.contentType = type;
        } else {
            const std::string_view line = CurrentMimeLine(reader);
            for (const HeaderName& header : kHeaderNames) {
                if (line.size() >= header.name.size()
                    && ::strncasecmp(line.data(), header.name.data(), header.name.size()) == 0) {
                    (header.isCc ? cc : to) = ReadAddressHeader(reader, header.name.size());
                    break;
                }
            }
        }
        if (Mail().FailStep != 0) {
            return 0;
        }
    }
    switch (reader.contentType) {
    case kContentTypeTextPlain: {
        const std::int64_t start = MimeTell(reader);
        return TakeBody(reader, start, static_cast<std::int64_t>(reader.streamSize) - start, body);
    }
    case kContentTypeMultipart:
        return SearchMultipart(reader, body);
    default:
        return UnsupportedFormatNotice(body);
    }
}

} // namespace

std::int32_t ExtractMimeMessage(platform::IMessage& message, std::optional<std::u16string>& to,
    std::optional<std::u16string>& cc, std::vector<std::uint8_t>& body)
{
    std::unique_ptr<platform::IStream> stream;
    HRESULT result = message.OpenProperty(platform::PR_CE_MIME_TEXT, 0, 0, &stream);
    Mail().LastResult = result;
    if (platform::Failed(result) || !stream) {
        FailMailStep(kStepMimeTextOpen);
        return 0;
    }
    platform::STATSTG stat {};
    result = stream->Stat(&stat, platform::STATFLAG_NONAME);
    Mail().LastResult = result;
    if (platform::Failed(result)) {
        FailMailStep(kStepMimeTextOpen);
        return 0;
    }
    MimeReader reader;
    if (!StartMimeReader(reader, *stream, static_cast<std::uint32_t>(stat.cbSize))) {
        return 0;
    }
    return ReadMimeText(reader, to, cc, body);
}

} // namespace email
