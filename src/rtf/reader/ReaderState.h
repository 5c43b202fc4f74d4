#pragma once

// The state of the RTF reader shared by the tokenizer, the keyword handlers
// and the pictures. One instance, for the one document being read.

#include "ByteDecoder.h"
#include "TextFlow.h"

#include <cstdint>
#include <vector>

namespace rtf {

inline constexpr int kDestinationText = 0;
inline constexpr int kDestinationSkip = 1;
inline constexpr int kDestinationFontTable = 2;
inline constexpr int kDestinationPicture = 3;

inline constexpr int kInputNormal = 0;
inline constexpr int kInputBinary = 1;
inline constexpr int kInputHex = 2;
inline constexpr int kInputHexDiscard = 3; // the fallback byte after a Unicode character

// Groups nest at most this deep; a deeper document is rejected as having no
// room for another group rather than growing the stack without bound.
inline constexpr std::int32_t kMaxGroupDepth = 4096;

// Section and document formats: kept and restored with each group, but no
// part of the printout depends on them.
struct SectionFormat {
    std::int32_t Columns = 0;
    std::uint8_t BreakKind = 0;
    std::uint8_t Reserved1[3] = {};
    std::int32_t PageNumberX = 0;
    std::int32_t PageNumberY = 0;
    std::uint8_t PageNumberFormat = 0;
    std::uint8_t Reserved2[3] = {};
};
static_assert(sizeof(SectionFormat) == 20);

struct DocFormat {
    std::int32_t PaperWidth = 0;
    std::int32_t PaperHeight = 0;
    std::int32_t MarginLeft = 0;
    std::int32_t MarginTop = 0;
    std::int32_t MarginRight = 0;
    std::int32_t MarginBottom = 0;
    std::int32_t FirstPageNumber = 0;
    std::uint8_t FacingPages = 0;
    std::uint8_t Landscape = 0;
    std::uint8_t Reserved[2] = {};
};
static_assert(sizeof(DocFormat) == 32);

// The hex escapes after a Unicode character that are its fallback: \uc sets
// it for the group; one unless the document says otherwise.
inline constexpr std::int32_t kDefaultUnicodeSkip = 1;
// A \uc above this is taken as this: no fallback is longer.
inline constexpr std::int32_t kMaxUnicodeSkip = 16;

struct GroupState {
    printengine::CharFormat CharFormat;
    printengine::ParaFormat ParaFormat;
    SectionFormat Section;
    DocFormat Doc;
    int Destination = kDestinationText;
    int InputState = kInputNormal;
    std::int32_t UnicodeSkip = kDefaultUnicodeSkip;
};

inline constexpr std::int32_t kNoFontSeen = INT32_MIN;

struct ReaderState {
    int Destination = kDestinationText;
    int InputState = kInputNormal;
    std::int32_t BinaryCount = 0;
    bool SkipUnknownDestination = false;
    bool AfterUnicode = false;
    std::int32_t UnicodeSkip = kDefaultUnicodeSkip;
    std::int32_t FallbackLeft = 0; // fallback hex escapes still to drop
    std::int32_t GroupDepth = 0;
    int HexValue = 0;
    int HexDigitsLeft = 2;
    bool LeadBytePending = false;
    std::uint8_t LeadByte = 0;
    std::int32_t FontSeenLast = kNoFontSeen;
    std::uint16_t CharsetSeenLast = 0;
    // In the font table: the next face-name byte came from a hex escape and
    // is converted through the code page; a double-byte lead byte waits for
    // the next one.
    bool FaceNameHexPending = false;
    bool FaceNameLeadPending = false;
    std::uint8_t FaceNameLeadByte = 0;
    SectionFormat Section;
    DocFormat Doc;
    std::vector<GroupState> Stack;
    ByteDecoder Bytes; // what the bytes are in the code pages met so far
};

ReaderState& Reader();

// Commits the font being defined to the font table. A font that the
// document numbered with "f" keeps its number: documents name fonts by those
// numbers, which need not run 0, 1, 2 (the flow alone would number entries
// by their order, and text in a font numbered otherwise could not print).
void CommitFontDefinition();

// Text in a font that the font table does not define (a document without a
// font table, or one naming a font it never defined) would have no printer
// font, and the layout drops text it cannot measure. Such a font is defined
// here, with no face name, so the printing library's default face prints it.
void EnsureTextFont();

// Gives one byte of the document to its destination.
int ParseChar(int ch);

} // namespace rtf
