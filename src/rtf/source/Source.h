#pragma once

// The document the RTF reader reads: the whole converted document in one
// buffer, filled by document open and by plain-text printing. One instance
// for the process; a null SourceData means no document is held.

#include <cstdint>

namespace rtf {

extern std::uint8_t* SourceData;
extern std::int32_t SourceLength;
extern std::int32_t SourcePos;

// Bytes allocated beyond SourceLength, zero-filled, so a reader that looks one
// character ahead of the end still reads zeros.
inline constexpr std::int32_t kSourcePadding = 32;

// Releases any held buffer, then allocates a zero-filled buffer of
// length + kSourcePadding bytes as SourceData and sets SourceLength to length
// and SourcePos to 0. Returns false, holding nothing, when the length is
// negative, too large or the memory is not there.
bool AllocateSourceData(std::int32_t length);

// Frees the buffer; SourceData becomes null, SourceLength and SourcePos 0.
void ReleaseSourceData();

// The next byte (0 to 255) and advances, or -1 at the end without advancing.
int GetSourceChar();

// Steps back one byte unless at the start.
void UngetSourceChar();

} // namespace rtf
