#pragma once

// The converter's RTF route: RTF as word processors, editors and converters
// write it, read into paragraphs and runs and written back in the small
// vocabulary the RTF reader prints. Fonts are numbered 0..n-1 in table
// order (references to fonts the table does not define go to font 0), every
// run names its size (12 pt where the document gives none), the colour
// table stands on one line, characters go out as \u with one fallback, the
// typographic controls, non-breaking spaces and hyphens become characters,
// \line ends a line, hidden text and fields' instructions are left out and
// their results kept, list labels are kept as text, styles are applied to
// the runs that use them, Symbol and Wingdings characters become their
// Unicode equivalents, table rows become one paragraph each with a tab
// between cells and tab stops at the cells' right edges, and pictures held
// as hexadecimal data go out as \bin data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

// Groups nest at most this deep and a table holds at most this many fonts;
// a document beyond them is left to the reader as it is.
inline constexpr std::size_t kMaxNormaliseDepth = 1024;
inline constexpr std::size_t kMaxNormaliseFonts = 4096;

// The document in the reader's vocabulary; nothing when the bytes are not
// RTF the converter can read (unbalanced groups, cut short, a \bin longer
// than the data), which then go to the reader unchanged.
std::optional<std::string> NormaliseRtf(std::span<const std::uint8_t> rtf);

} // namespace platform
