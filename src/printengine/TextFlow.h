#pragma once

// The text flow: the one input of the text layout. A printer defines fonts
// in the font table, sets CurrentCharFormat and CurrentParaFormat, and hands
// over the text one UTF-16 character at a time with PutFlowChar. The flow
// gathers characters of one format into runs of at most 256 characters and
// lays out the paragraph at every paragraph or line end.
//
// The plain-text and e-mail printers use it as follows: StartPrintJob;
// BeginFontTable; SetFaceName; CurrentFontDefinition().Charset = ...;
// AddFontTableEntry; CurrentCharFormat() = {Bold, 0, Italic, 0, 0, size × 2};
// Job().PlainTextMode = 1; PutFlowChar for each character; EndPrintJob.

#include <plotwise/plotwise_types.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace printengine {

inline constexpr std::int32_t kMaxRunLength = 256;
// A paragraph is laid out whole, so its runs stay in memory until it ends; a
// longer one (a text file of one huge line) is ended there and goes on as
// the next paragraph, on a new line.
inline constexpr std::int64_t kMaxParagraphLength = 1 << 20;
inline constexpr std::size_t kFaceNameUnits = 32;
inline constexpr std::int32_t kMaxFaceNameLength = 31;

// The format of a character: five 32-bit words, compared as their 20 bytes
// (font cache, run changes). There are no padding bytes, so equal fields and
// equal bytes are the same thing.
struct CharFormat {
    std::uint8_t Bold = 0; // counts when non-zero
    std::uint8_t Underline = 0; // counts when exactly 1
    std::uint8_t Italic = 0; // counts when exactly 1
    std::uint8_t Strike = 0; // counts when exactly 1
    std::int32_t FontNumber = 0;
    std::int32_t Size = 0; // half-points
    std::int32_t ForeColor = 0; // colour table index, 0 = default
    std::int32_t BackColor = 0; // colour table index, 0 = default

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};
// The RTF reader stores properties at these byte offsets.
static_assert(sizeof(CharFormat) == 20);
static_assert(offsetof(CharFormat, Bold) == 0 && offsetof(CharFormat, Underline) == 1
    && offsetof(CharFormat, Italic) == 2 && offsetof(CharFormat, Strike) == 3);
static_assert(offsetof(CharFormat, FontNumber) == 4 && offsetof(CharFormat, Size) == 8
    && offsetof(CharFormat, ForeColor) == 12 && offsetof(CharFormat, BackColor) == 16);
static_assert(std::has_unique_object_representations_v<CharFormat>);
static_assert(std::is_standard_layout_v<CharFormat>);

inline constexpr std::uint8_t kAlignLeft = 0;
inline constexpr std::uint8_t kAlignRight = 1;
inline constexpr std::uint8_t kAlignCentre = 2;
inline constexpr std::uint8_t kAlignJustify = 3;

// The format of the current paragraph; lengths in twips. The format in force
// at the paragraph's end applies to the whole paragraph.
struct ParaFormat {
    std::int32_t LeftIndent = 0;
    std::int32_t RightIndent = 0;
    std::int32_t FirstIndent = 0; // relative to LeftIndent, may be negative
    std::uint8_t Alignment = kAlignLeft;
};
static_assert(std::is_standard_layout_v<ParaFormat>);
static_assert(offsetof(ParaFormat, LeftIndent) == 0 && offsetof(ParaFormat, RightIndent) == 4
    && offsetof(ParaFormat, FirstIndent) == 8 && offsetof(ParaFormat, Alignment) == 12);

inline constexpr std::int32_t kTabKindNone = 0;
inline constexpr std::int32_t kTabKindTab = 9;

// One run of characters of one format, in the paragraph's run list.
struct TextRun {
    TextRun* Next = nullptr;
    CharFormat Format;
    HFONT Font = nullptr; // from RealizeRunFont; null until realised
    std::int32_t TabKind = kTabKindNone; // kTabKindTab when tabs precede the text
    std::int32_t TabCount = 0;
    std::int32_t FitCount = 0; // set by MeasureRun: characters that fit, and their width
    std::int32_t Extent = 0;
    std::int32_t Height = 0; // text metrics of the font, read by the first MeasureRun
    std::int32_t Ascent = 0;
    std::int32_t Length = 0;
    std::int32_t ForeColor = 0;
    std::int32_t BackColor = 0;
    char16_t Text[kMaxRunLength + 1] = {};
};

// RTF font family numbers.
inline constexpr std::int16_t kFamilyNone = 0;
inline constexpr std::int16_t kFamilyNil = 1;
inline constexpr std::int16_t kFamilyRoman = 2;
inline constexpr std::int16_t kFamilySwiss = 3;
inline constexpr std::int16_t kFamilyModern = 4;
inline constexpr std::int16_t kFamilyScript = 5;
inline constexpr std::int16_t kFamilyDecor = 6;
inline constexpr std::int16_t kFamilyTech = 7;
inline constexpr std::int16_t kFamilyBidi = 8;

inline constexpr std::int16_t kPitchDefault = 0;
inline constexpr std::int16_t kPitchFixed = 1;
inline constexpr std::int16_t kPitchVariable = 2;

// One font of the font table. Entries are kept in order of definition and
// never removed within a job.
struct FontTableEntry {
    std::int16_t Number = 0;
    std::int16_t Family = kFamilyNone;
    std::int16_t Charset = 0; // RTF charset number
    std::int16_t Pitch = kPitchDefault;
    char16_t FaceName[kFaceNameUnits] = {}; // terminated
};

// The font being defined.
struct FontDefinition {
    std::int16_t Number = 0;
    std::int16_t Family = kFamilyNone;
    std::int16_t Charset = 0;
    std::int16_t Pitch = kPitchDefault;
    char16_t FaceName[kFaceNameUnits] = {}; // at most 31 characters, terminated
    std::int32_t FaceNameLength = 0;
    bool Defining = false; // a font is being defined (the RTF reader's "f")
};

// The whole state of the flow, one instance for the one job.
struct TextFlow {
    CharFormat CurrentCharFormat;
    ParaFormat CurrentParaFormat;
    CharFormat RunFormat; // the format of the pending text
    char16_t Pending[kMaxRunLength + 1] = {};
    std::int32_t PendingLength = 0;
    std::int64_t ParagraphLength = 0; // characters stored since the paragraph began
    std::int32_t TabKind = kTabKindNone; // pending tabs, for the next run made
    std::int32_t TabCount = 0;
    char16_t Previous = 0; // the last character given, 0 after a completed CR/LF pair
    std::int32_t ParagraphEndY = 0; // PenY at the last paragraph end or picture
    TextRun* FirstRun = nullptr; // the paragraph's runs, in order
    TextRun* LastRun = nullptr;
    FontDefinition Definition;
    std::vector<FontTableEntry> FontTable;
    std::int32_t FontCount = 0; // entries defined since BeginFontTable
};

TextFlow& Flow();

// Short names for the fields the printers set.
inline CharFormat& CurrentCharFormat()
{
    return Flow().CurrentCharFormat;
}
inline ParaFormat& CurrentParaFormat()
{
    return Flow().CurrentParaFormat;
}
inline FontDefinition& CurrentFontDefinition()
{
    return Flow().Definition;
}

// Clears the face name and the FontDefinition and sets the entry count to 0.
void BeginFontTable();

// Appends one face-name character while the name is shorter than 31.
void AddFaceNameChar(char16_t ch);

// Replaces the face name with a terminated name, cut at 31 characters.
void SetFaceName(const char16_t* name);

// Commits the FontDefinition as a new entry: a non-empty face name loses one
// trailing ";" and the entry takes the number equal to the entry count; an
// empty name keeps the definition's Number. Then ClearFontDefinition.
void AddFontTableEntry();

// Clears the face name and the FontDefinition, marks no font as being
// defined, and sets every word of RunFormat to -1 so the next character
// starts a new run.
void ClearFontDefinition();

// The first font table entry with this number, or null.
FontTableEntry* FindFontTableEntry(std::int32_t number);

// Takes one UTF-16 character: 0 ends the paragraph, 10 and 13 end the line
// (a CR LF or LF CR pair once), 9 is a tab, 12 a page break, 133 three full
// stops, 147 and 148 a plain double quote. Always returns 0.
int PutFlowChar(char16_t ch);

// The same as PutFlowChar for each character of text in turn, with the
// characters that are only stored taken many at a time.
void PutFlowText(const char16_t* text, std::size_t count);

// True when the flow holds pending text or runs not yet laid out.
bool FlowHasText();

// Frees the run list without laying it out.
void FreeRunList();

// Frees the font table, the realised fonts and the tab stops; called by
// EndPrintJob.
void FreeFlowResources();

} // namespace printengine
