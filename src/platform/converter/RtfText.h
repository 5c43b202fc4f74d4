#pragma once

// The converter's own RTF-to-text conversion, used when a document is
// streamed out as Unicode text: the text of the document's body with
// paragraph ends as CR LF, tabs, form feeds for page breaks and Unicode
// characters, without the font, colour and style tables, pictures, document
// information, headers, footers, footnotes, fields' instructions and the
// destinations a reader may skip.

#include <cstdint>
#include <span>
#include <string>

namespace platform {

// Groups nest at most this deep; text in deeper groups is left out rather
// than growing the group stack without bound.
inline constexpr std::size_t kMaxRtfTextGroupDepth = 4096;

// The text of an RTF document. Never fails: text up to a malformed part
// (an unmatched brace, a bad hex escape, data cut short) is kept and the
// rest is read as well as it can be.
std::u16string RtfToUnicodeText(std::span<const std::uint8_t> rtf);

} // namespace platform
