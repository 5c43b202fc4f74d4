#pragma once

// RTF font charsets and the Windows code pages their text is written in,
// shared by the print engine and the document converter.

#include <cstdint>
#include <optional>

namespace platform {

// The code page of a font charset (its low byte counts), or nothing when the
// charset names none; the text is then read in the document's \ansicpg, else
// the locale's ANSI code page.
std::optional<std::uint16_t> CodePageOfCharset(std::uint16_t charset);

// The charset whose text is written in a code page; 0 (ANSI) when none is.
std::uint8_t CharsetOfCodePage(std::uint16_t codePage);

} // namespace platform
