#pragma once

// The buffered line reader over a message's MIME text and the Content-type
// parsing that ExtractMimeMessage is built from. Exposed for tests.

#include "MapiInterfaces.h"

#include <cstdint>
#include <memory>
#include <string_view>

namespace email {

inline constexpr std::uint32_t kMimeReadBufferSize = 256;
inline constexpr std::uint32_t kMimeLineGrowth = 256;
// The line block always has this many bytes beyond lineCapacity.
inline constexpr std::uint32_t kMimeLineSlack = 20;

inline constexpr std::int32_t kContentTypeNone = -1;
inline constexpr std::int32_t kContentTypeTextPlain = 0;
inline constexpr std::int32_t kContentTypeMultipart = 1;

// Failure steps of the MIME route.
inline constexpr std::uint16_t kStepMimeTextOpen = 2;
inline constexpr std::uint16_t kStepMimeRead = 24;
inline constexpr std::uint16_t kStepMimeAllocation = 25;

struct MimeReader {
    platform::IStream* stream = nullptr;
    std::uint32_t streamSize = 0;
    std::unique_ptr<std::uint8_t[]> readBuffer;
    std::uint32_t readCount = 0;
    std::uint32_t readPos = 0;
    std::unique_ptr<std::uint8_t[]> line;
    std::uint32_t lineLength = 0;
    std::uint32_t lineCapacity = 0;
    std::int32_t contentType = kContentTypeNone;
    std::unique_ptr<char[]> boundary;
    std::uint32_t boundaryLength = 0;
};

// Sets up the two buffers (false, step 25, when they cannot be had).
bool StartMimeReader(MimeReader& reader, platform::IStream& stream, std::uint32_t streamSize);

bool FillMimeBuffer(MimeReader& reader);
// Reads the next line into reader.line without its line end. False at the
// end of the stream: the line that reaches the end is not delivered.
bool ReadMimeLine(MimeReader& reader);
// The current line up to its first NUL.
std::string_view CurrentMimeLine(const MimeReader& reader);
std::uint32_t MimeTell(MimeReader& reader);
bool ReadMimeAt(MimeReader& reader, std::uint32_t offset, std::uint32_t count, std::uint8_t* buffer);
// Moves `position` (an index into the current line, which may be replaced
// by the next one) to the first parameter after the type.
bool SkipToMimeParameter(MimeReader& reader, std::uint32_t& position);
// -1 not a recognised Content-type line, 0 "text/plain", 1 "multipart"
// (with the boundary updated when the line names one).
std::int32_t ParseContentTypeLine(MimeReader& reader);
bool IsMimeDelimiterLine(const MimeReader& reader);

} // namespace email
