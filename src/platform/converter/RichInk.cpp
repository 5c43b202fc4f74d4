#include "RichInk.h"

#include "CodePages.h"
#include "PlainTextDecoding.h"
#include "PocketWordDocument.h"
#include "RtfRoute.h"
#include "RtfText.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace platform {

namespace {

// The chunk size of one callback.
constexpr std::int32_t kStreamChunkBytes = 4096;

constexpr std::intptr_t kAccepted = 0;
constexpr std::intptr_t kRefused = 1;

bool classRegistered = false;

bool StartsWith(const std::vector<std::uint8_t>& bytes, std::string_view prefix)
{
    return bytes.size() >= prefix.size() && std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

// Gives `size` bytes to the writer in chunks of kStreamChunkBytes, filled by
// `fill(chunk, offset, count)`; stops when the writer fails or takes less
// than it was given. Returns the bytes the writer took.
template <typename Fill> std::intptr_t WriteChunks(EDITSTREAM& stream, std::size_t size, Fill fill)
{
    std::intptr_t total = 0;
    std::uint8_t chunk[kStreamChunkBytes];
    for (std::size_t at = 0; at < size; at += kStreamChunkBytes) {
        const std::size_t count = std::min<std::size_t>(kStreamChunkBytes, size - at);
        fill(chunk, at, count);
        const auto offered = static_cast<std::int32_t>(count);
        std::int32_t done = 0;
        const std::uint32_t error = stream.pfnCallback(stream.dwCookie, chunk, offered, &done);
        if (error != 0) {
            stream.dwError = error;
            break;
        }
        total += std::clamp(done, 0, offered);
        if (done < offered)
            break;
    }
    return total;
}

} // namespace

class RichInkControl {
public:
    std::intptr_t StreamIn(std::uintptr_t format, EDITSTREAM& stream);
    std::intptr_t StreamOut(std::uintptr_t format, EDITSTREAM& stream);

private:
    // The document as Unicode text; empty optional when nothing is held.
    // For an RTF document it is made from the RTF at the first stream-out
    // as text and kept for the next.
    std::optional<std::u16string> text_;
    // The document as RTF, when it was RTF or a Pocket Word document.
    std::optional<std::string> rtf_;
};

std::intptr_t RichInkControl::StreamIn(std::uintptr_t format, EDITSTREAM& stream)
{
    text_.reset();
    rtf_.reset();
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
    if (format != SF_RTF && format != SF_POCKETWORD_RTF)
        return kRefused;
    if (StartsWith(bytes, "{\\rtf")) {
        // RTF from any writer is put into the reader's vocabulary; RTF the
        // converter cannot read goes to the reader as it is, which reports it.
        rtf_ = NormaliseRtfDocument(bytes, static_cast<std::uint16_t>(GetACP()));
        if (!rtf_)
            rtf_.emplace(bytes.begin(), bytes.end());
        return kAccepted;
    }
    if (format != SF_POCKETWORD_RTF)
        return kRefused;
    if (StartsWith(bytes, "{\\pwi")) {
        rtf_ = PocketWordToRtf(bytes, static_cast<std::uint16_t>(GetACP()));
        return rtf_ ? kAccepted : kRefused;
    }
    text_ = DecodePlainText(bytes);
    return text_ ? kAccepted : kRefused;
}

std::intptr_t RichInkControl::StreamOut(std::uintptr_t format, EDITSTREAM& stream)
{
    if (format == SF_RTF && rtf_) {
        const std::string& rtf = *rtf_;
        return WriteChunks(stream, rtf.size(), [&rtf](std::uint8_t* chunk, std::size_t at, std::size_t count) {
            std::memcpy(chunk, rtf.data() + at, count);
        });
    }
    if (format != SF_UNICODE_TEXT || (!text_ && !rtf_)) {
        stream.dwError = kStreamFormatNotAvailable;
        return 0;
    }
    if (!text_)
        text_ = RtfToUnicodeText(std::span(reinterpret_cast<const std::uint8_t*>(rtf_->data()), rtf_->size()));
    const std::u16string& text = *text_;
    return WriteChunks(stream, text.size() * 2, [&text](std::uint8_t* chunk, std::size_t at, std::size_t count) {
        // UTF-16 little-endian; chunks hold whole units.
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(chunk, reinterpret_cast<const std::uint8_t*>(text.data()) + at, count);
            return;
        }
        for (std::size_t i = 0; i < count; i += 2) {
            const char16_t unit = text[(at + i) / 2];
            chunk[i] = static_cast<std::uint8_t>(unit & 0xFF);
            chunk[i + 1] = static_cast<std::uint8_t>(unit >> 8);
        }
    });
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
