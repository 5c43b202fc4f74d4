#pragma once

// The converter's RTF route: RTF as word processors, editors and converters
// write it, read into the converter's document model (the text-interface
// calls a Pocket Word document makes) and written back by RtfDocumentWriter
// in the small vocabulary the RTF reader prints.
//
// Fonts keep the order of the font table (references to fonts the table
// does not define go to the default font), every run names its size (12 pt
// where the document gives none), characters go out as \u with one
// fallback, the typographic controls, non-breaking spaces and hyphens
// become characters, \line ends a line, hidden text and fields'
// instructions are left out and their results kept, list labels are kept
// as text, styles are applied to the runs that use them, Symbol, Wingdings
// and Webdings characters become their Unicode equivalents in a face that
// has them, table rows become one paragraph each with a tab between cells
// and tab stops at the cells' edges, and pictures held as hexadecimal or
// binary data go out as binary pictures: PNG, JPEG and bitmaps as they
// are, metafiles and other kinds no library here draws as a framed
// placeholder of the picture's size.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

// Groups nest at most this deep and a table holds at most this many fonts
// (later ones print in the default font); a document nesting deeper is left
// to the reader as it is.
inline constexpr std::size_t kMaxNormaliseDepth = 1024;
inline constexpr std::size_t kMaxNormaliseFonts = 4096;

// The document in the reader's vocabulary, its 8-bit text read in the code
// page its \ansicpg names, else `codePage`. Nothing when the bytes are not
// RTF the converter can read (unbalanced groups, cut short, a \bin longer
// than the data, a bad hex escape), which then go to the reader unchanged.
std::optional<std::string> NormaliseRtf(std::span<const std::uint8_t> rtf, std::uint16_t codePage = 1252);

} // namespace platform
