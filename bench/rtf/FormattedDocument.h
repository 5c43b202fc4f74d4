#pragma once

// A generated RTF document in the style of a word processor's: a font table
// with charsets, a colour table, headings, justified and indented paragraphs
// with bold, italic, underlined and coloured words, tab-aligned rows,
// accented letters as hex escapes, Cyrillic and Japanese as \u characters.

#include <string>

namespace bench {

// `paragraphs` body paragraphs, about fourteen to a Letter page (680 make
// fifty pages).
std::string FormattedRtf(int paragraphs);

} // namespace bench
