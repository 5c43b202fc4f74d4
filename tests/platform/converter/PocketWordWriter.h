#pragma once

// Writes small Pocket Word documents for tests and samples: the header, a
// font table zone, the paragraph list, one zone per paragraph with its text
// and formatting codes, and the end zone, every zone with its own id.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pocketword {

struct Font {
    std::uint16_t Id = 0;
    std::u16string Face;
};

inline constexpr std::uint8_t kAlignLeft = 0;
inline constexpr std::uint8_t kAlignRight = 1;
inline constexpr std::uint8_t kAlignCentre = 2;

struct Paragraph {
    // Text bytes and formatting codes, without the closing end-of-paragraph
    // code; build it with the functions below.
    std::string Content;
    std::int16_t FirstIndent = 0; // twips
    std::uint16_t LeftIndent = 0;
    std::uint16_t RightIndent = 0;
    bool Bullet = false;
    std::uint8_t Alignment = kAlignLeft;
};

struct Document {
    std::vector<Font> Fonts;
    std::vector<Paragraph> Paragraphs;
};

std::vector<std::uint8_t> WritePocketWord(const Document& document);

// A letter that uses every format the writer knows: a centred bold title,
// a right-aligned paragraph of styles, colours, a tab and a second font, and
// an indented bullet.
Document SampleLetter();

// Code-page text: bytes from 0xC0 up are escaped, as they would read as codes.
std::string Text(std::string_view codePageBytes);
std::string FontCode(std::uint16_t fontId);
std::string TabCode();

} // namespace pocketword
