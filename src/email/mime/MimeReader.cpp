#include "MimeReader.h"

#include "MailSession.h"

#include <cstring>
#include <new>
#include <strings.h>

namespace email {

namespace {

constexpr std::string_view kContentTypeKeyword = "Content-type:";
constexpr std::string_view kBoundaryKeyword = "Boundary=";
constexpr std::string_view kContentTypes[] = { "text/plain", "multipart" };
static_assert(kContentTypeKeyword.size() == 13);
static_assert(kBoundaryKeyword.size() == 9);

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

// Case-insensitive prefix test: only the length of `prefix` is compared.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && ::strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

std::uint32_t SkipBlanks(std::string_view line, std::uint32_t position)
{
    while (position < line.size() && IsBlank(line[position])) {
        ++position;
    }
    return position;
}

// Takes the byte at readPos; refills when the buffer is used up. False when
// the refill finds the end (the byte taken is then dropped).
bool TakeMimeByte(MimeReader& reader, std::uint8_t& byte)
{
    // A buffer with nothing left (an empty stream, or one already read to
    // the end) has no byte to take.
    if (reader.readPos >= reader.readCount) {
        return false;
    }
    byte = reader.readBuffer[reader.readPos];
    ++reader.readPos;
    if (reader.readPos == reader.readCount) {
        return FillMimeBuffer(reader);
    }
    return true;
}

bool GrowMimeLine(MimeReader& reader)
{
    const std::uint32_t newCapacity = reader.lineCapacity + kMimeLineGrowth;
    std::unique_ptr<std::uint8_t[]> grown(new (std::nothrow) std::uint8_t[newCapacity + kMimeLineSlack]());
    if (!grown) {
        return FailMailStep(kStepMimeAllocation);
    }
    std::memcpy(grown.get(), reader.line.get(), reader.lineCapacity);
    reader.line = std::move(grown);
    reader.lineCapacity = newCapacity;
    return true;
}

} // namespace

bool StartMimeReader(MimeReader& reader, platform::IStream& stream, std::uint32_t streamSize)
{
    reader.stream = &stream;
    reader.streamSize = streamSize;
    reader.readPos = 0;
    reader.readCount = 0;
    reader.readBuffer.reset(new (std::nothrow) std::uint8_t[kMimeReadBufferSize]());
    reader.line.reset(new (std::nothrow) std::uint8_t[kMimeLineGrowth + kMimeLineSlack]());
    if (!reader.readBuffer || !reader.line) {
        return FailMailStep(kStepMimeAllocation);
    }
    reader.lineCapacity = kMimeLineGrowth;
    reader.lineLength = 0;
    return true;
}

bool FillMimeBuffer(MimeReader& reader)
{
    if (Mail().FailStep != 0) {
        return false;
    }
    reader.readPos = 0;
    platform::ULONG count = 0;
    const HRESULT result = reader.stream->Read(reader.readBuffer.get(), kMimeReadBufferSize, &count);
    Mail().LastResult = result;
    if (platform::Failed(result)) {
        reader.readCount = 0;
        return FailMailStep(kStepMimeRead);
    }
    reader.readCount = count > kMimeReadBufferSize ? kMimeReadBufferSize : count;
    return reader.readCount > 0;
}

bool ReadMimeLine(MimeReader& reader)
{
    reader.lineLength = 0;
    bool endedWithCr = false;
    while (Mail().FailStep == 0) {
        if (reader.lineLength >= reader.lineCapacity && !GrowMimeLine(reader)) {
            return false;
        }
        std::uint8_t byte = 0;
        if (!TakeMimeByte(reader, byte)) {
            reader.line[reader.lineLength] = 0;
            return false;
        }
        if (byte == '\r' || byte == '\n') {
            endedWithCr = byte == '\r';
            break;
        }
        reader.line[reader.lineLength++] = byte;
    }
    reader.line[reader.lineLength] = 0;
    if (Mail().FailStep != 0) {
        return false;
    }
    if (endedWithCr && reader.readPos < reader.readCount && reader.readBuffer[reader.readPos] == '\n') {
        std::uint8_t lineFeed = 0;
        return TakeMimeByte(reader, lineFeed);
    }
    return true;
}

std::string_view CurrentMimeLine(const MimeReader& reader)
{
    if (!reader.line) {
        return {};
    }
    const char* text = reinterpret_cast<const char*>(reader.line.get());
    return std::string_view(text, ::strnlen(text, reader.lineLength));
}

std::uint32_t MimeTell(MimeReader& reader)
{
    std::uint64_t position = 0;
    Mail().LastResult = reader.stream->Seek(0, platform::STREAM_SEEK_CUR, &position);
    return static_cast<std::uint32_t>(position) - reader.readCount + reader.readPos;
}

bool ReadMimeAt(MimeReader& reader, std::uint32_t offset, std::uint32_t count, std::uint8_t* buffer)
{
    HRESULT result = reader.stream->Seek(offset, platform::STREAM_SEEK_SET, nullptr);
    if (platform::Succeeded(result)) {
        platform::ULONG read = 0;
        result = reader.stream->Read(buffer, count, &read);
    }
    Mail().LastResult = result;
    if (platform::Failed(result) || Mail().FailStep != 0) {
        return FailMailStep(kStepMimeRead);
    }
    return true;
}

bool SkipToMimeParameter(MimeReader& reader, std::uint32_t& position)
{
    std::string_view line = CurrentMimeLine(reader);
    std::uint32_t scan = position;
    while (scan < line.size() && line[scan] != ',' && line[scan] != ';') {
        ++scan;
    }
    if (scan >= line.size()) {
        return false;
    }
    ++scan;
    while (scan < line.size() && !IsBlank(line[scan])) {
        ++scan;
    }
    if (scan < line.size()) {
        position = scan;
        return true;
    }
    if (!ReadMimeLine(reader)) {
        return false;
    }
    position = SkipBlanks(CurrentMimeLine(reader), 0);
    return true;
}

std::int32_t ParseContentTypeLine(MimeReader& reader)
{
    std::string_view line = CurrentMimeLine(reader);
    if (!StartsWithIgnoringCase(line, kContentTypeKeyword)) {
        return kContentTypeNone;
    }
    std::uint32_t position = SkipBlanks(line, static_cast<std::uint32_t>(kContentTypeKeyword.size()));
    std::int32_t type = kContentTypeNone;
    for (std::int32_t index = 0; index < 2; ++index) {
        if (StartsWithIgnoringCase(line.substr(position), kContentTypes[index])) {
            type = index;
            break;
        }
    }
    if (type != kContentTypeMultipart) {
        return type;
    }
    SkipToMimeParameter(reader, position);
    line = CurrentMimeLine(reader);
    position = SkipBlanks(line, position);
    if (position >= line.size()) {
        if (!ReadMimeLine(reader)) {
            return kContentTypeMultipart;
        }
        line = CurrentMimeLine(reader);
        position = SkipBlanks(line, 0);
    }
    if (!StartsWithIgnoringCase(line.substr(position), kBoundaryKeyword)) {
        return kContentTypeMultipart;
    }
    std::string_view value = line.substr(position + kBoundaryKeyword.size());
    if (!value.empty() && value.front() == '"') {
        // The closing quote is taken to be the last character of the line. A
        // value of one quote alone, or of two, names no boundary at all.
        if (value.size() < 3) {
            return kContentTypeMultipart;
        }
        value = value.substr(1, value.size() - 2);
    }
    if (value.empty()) {
        return kContentTypeMultipart;
    }
    std::unique_ptr<char[]> copy(new (std::nothrow) char[value.size() + 1]);
    if (!copy) {
        FailMailStep(kStepMimeAllocation);
        return kContentTypeMultipart;
    }
    std::memcpy(copy.get(), value.data(), value.size());
    copy[value.size()] = '\0';
    reader.boundary = std::move(copy);
    reader.boundaryLength = static_cast<std::uint32_t>(value.size());
    return kContentTypeMultipart;
}

bool IsMimeDelimiterLine(const MimeReader& reader)
{
    if (!reader.boundary) {
        return false;
    }
    const std::string_view boundary(reader.boundary.get(), reader.boundaryLength);
    std::string_view line = CurrentMimeLine(reader);
    if (line == boundary) {
        return true;
    }
    return line.size() >= 2 && line.substr(0, 2) == "--" && line.substr(2) == boundary;
}

} // namespace email
