#include "RichInk.h"

#include "PlainTextDecoding.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace platform
{

namespace
{

// The chunk size of one callback.
constexpr std::int32_t kStreamChunkBytes = 4096;

constexpr std::intptr_t kAccepted = 0;
constexpr std::intptr_t kRefused = 1;

bool classRegistered = false;

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::string_view prefix)
{
    return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

} // namespace

class RichInkControl
{
public:
    std::intptr_t StreamIn(std::uintptr_t format, EDITSTREAM& stream);
    std::intptr_t StreamOut(std::uintptr_t format, EDITSTREAM& stream);

private:
    // The document as Unicode text; empty optional when nothing is held.
    std::optional<std::u16string> text_;
};

std::intptr_t RichInkControl::StreamIn(std::uintptr_t format, EDITSTREAM& stream)
{
    text_.reset();
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[kStreamChunkBytes];
    for (;;) {
        std::int32_t done = 0;
        std::uint32_t error = stream.pfnCallback(stream.dwCookie, chunk, kStreamChunkBytes, &done);
        if (error != 0) {
            stream.dwError = error;
            return kRefused;
        }
        if (done <= 0)
            break;
        done = std::min(done, kStreamChunkBytes);
        if (bytes.size() + static_cast<std::size_t>(done) > static_cast<std::size_t>(kMaxStreamInBytes))
            return kRefused;
        bytes.insert(bytes.end(), chunk, chunk + done);
    }
    // RTF, and Pocket Word ink text, are read by readers that are not part of
    // the converter yet.
    if (format != SF_POCKETWORD_RTF || StartsWith(bytes, "{\\rtf") || StartsWith(bytes, "{\\pwi"))
        return kRefused;
    text_ = DecodePlainText(bytes);
    return text_ ? kAccepted : kRefused;
}

std::intptr_t RichInkControl::StreamOut(std::uintptr_t format, EDITSTREAM& stream)
{
    if (format != SF_UNICODE_TEXT || !text_) {
        stream.dwError = kStreamFormatNotAvailable;
        return 0;
    }
    std::intptr_t total = 0;
    std::uint8_t chunk[kStreamChunkBytes];
    const std::u16string& text = *text_;
    constexpr std::size_t kUnitsPerChunk = kStreamChunkBytes / 2;
    for (std::size_t at = 0; at < text.size(); at += kUnitsPerChunk) {
        std::size_t units = std::min(kUnitsPerChunk, text.size() - at);
        for (std::size_t i = 0; i < units; ++i) {
            chunk[2 * i] = static_cast<std::uint8_t>(text[at + i] & 0xFF);
            chunk[2 * i + 1] = static_cast<std::uint8_t>(text[at + i] >> 8);
        }
        std::int32_t count = static_cast<std::int32_t>(units * 2);
        std::int32_t done = 0;
        std::uint32_t error = stream.pfnCallback(stream.dwCookie, chunk, count, &done);
        if (error != 0) {
            stream.dwError = error;
            break;
        }
        total += std::clamp(done, 0, count);
        if (done < count)
            break;
    }
    return total;
}

void InitRichInkDLL()
{
    classRegistered = true;
}

RichInkWindow CreateRichInkWindow(WindowHandle parent, int controlId, ModuleHandle module)
{
    if (!classRegistered)
        return nullptr;
    return new RichInkControl();
}

void DestroyWindow(RichInkWindow window)
{
    delete window;
}

std::intptr_t SendMessageW(RichInkWindow window, unsigned message, std::uintptr_t format, EDITSTREAM* stream)
{
    bool usable = window && stream && stream->pfnCallback;
    switch (message) {
    case EM_STREAMIN:
        return usable ? window->StreamIn(format, *stream) : kRefused;
    case EM_STREAMOUT:
        return usable ? window->StreamOut(format, *stream) : 0;
    default:
        return 0;
    }
}

} // namespace platform
