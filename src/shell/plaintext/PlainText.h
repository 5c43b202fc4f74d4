#pragma once

// Plain-text printing: a run of characters in the one font of the
// plain-text settings, with tab stops every TextTabSize characters. Line,
// paragraph, tab and page breaks come only from the characters themselves.

#include <cstdint>

namespace shell {

enum class PlainTextEncoding {
    EightBit, // one character per byte, its value 0 to 255
    Utf16, // little-endian units; an odd last byte is dropped
};

// Prints `length` bytes of `text` as one print job. Nothing happens for a
// null text; nothing is printed when the options dialog is cancelled (it
// sets FinalStatus to 1). The outcome of the job is FinalStatus.
void PrintPlainText(const std::uint8_t* text, std::int32_t length, PlainTextEncoding encoding);

// Non-zero when printing shall go on: at once with quick printing,
// otherwise the answer of the plain-text options dialog.
int ShowPlainTextOptions();

} // namespace shell
