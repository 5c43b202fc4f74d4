#pragma once

// How the converter reads a plain text file into UTF-16.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

enum class TextEncoding { Utf8WithMark, Utf8, Ansi, Refused };

// The encoding the bytes are read in: a UTF-16 mark (either order) or a
// NUL byte refuses; a UTF-8 mark, or valid UTF-8 with at least one
// multi-byte sequence, is UTF-8; everything else is 8-bit text of the
// locale's ANSI code page.
TextEncoding DetectTextEncoding(std::span<const std::uint8_t> bytes);

// UTF-8 to UTF-16; an invalid or truncated sequence becomes U+FFFD.
std::u16string DecodeUtf8(std::span<const std::uint8_t> bytes);

// True when the bytes are valid UTF-8 (shortest forms, no surrogates, at most
// U+10FFFF); *multiByte tells whether any sequence is longer than one byte.
bool IsValidUtf8(std::span<const std::uint8_t> bytes, bool* multiByte);

// The bytes as UTF-16 through the ANSI code page of the locale; nothing when
// the code page cannot read them.
std::optional<std::u16string> DecodeAnsi(std::span<const std::uint8_t> bytes);

// The whole file as UTF-16, or nothing when it is refused.
std::optional<std::u16string> DecodePlainText(std::span<const std::uint8_t> bytes);

} // namespace platform
