#include "Keywords.h"

#include "ColorTable.h"
#include "Fonts.h"
#include "LineLayout.h"
#include "Pictures.h"
#include "ReaderState.h"
#include "RtfReader.h"
#include "Source.h"
#include "TextFlow.h"

#include <CodePages.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace rtf {
namespace {

using printengine::CharFormat;
using printengine::ParaFormat;

enum class KeywordKind : std::uint8_t { Character, Destination, Property, Special };

// Special actions.
enum Special : std::uint8_t {
    kSpecialBin,
    kSpecialHex,
    kSpecialSkipDestination,
    kSpecialFontTable,
    kSpecialPicture,
    kSpecialTabStop,
    kSpecialColorTable,
    kSpecialCodePage,
    kSpecialPage,
    kSpecialUnicode,
};

// Rows of the property table.
enum Property : std::uint8_t {
    kPropBold,
    kPropItalic,
    kPropUnderline,
    kPropStrike,
    kPropFontNumber,
    kPropSize,
    kPropForeColor,
    kPropBackColor,
    kPropPlain,
    kPropLeftIndent,
    kPropRightIndent,
    kPropFirstIndent,
    kPropAlignment,
    kPropPard,
    kPropColumns,
    kPropSectionBreak,
    kPropPageNumberX,
    kPropPageNumberY,
    kPropPageNumberFormat,
    kPropSectd,
    kPropPaperWidth,
    kPropPaperHeight,
    kPropMarginLeft,
    kPropMarginRight,
    kPropMarginTop,
    kPropMarginBottom,
    kPropFirstPageNumber,
    kPropFacingPages,
    kPropLandscape,
    kPropertyCount
};

enum class PropertyAction : std::uint8_t { Special, StoreByte, StoreWord };
enum class PropertyRecord : std::uint8_t { Char, Para, Section, Doc };

struct PropertyEntry {
    PropertyAction Action;
    PropertyRecord Record;
    std::uint8_t Offset;
};

constexpr std::array<PropertyEntry, kPropertyCount> kProperties = { {
    { PropertyAction::StoreByte, PropertyRecord::Char, offsetof(CharFormat, Bold) },
    { PropertyAction::StoreByte, PropertyRecord::Char, offsetof(CharFormat, Italic) },
    { PropertyAction::StoreByte, PropertyRecord::Char, offsetof(CharFormat, Underline) },
    { PropertyAction::StoreByte, PropertyRecord::Char, offsetof(CharFormat, Strike) },
    { PropertyAction::StoreWord, PropertyRecord::Char, offsetof(CharFormat, FontNumber) },
    { PropertyAction::StoreWord, PropertyRecord::Char, offsetof(CharFormat, Size) },
    { PropertyAction::StoreWord, PropertyRecord::Char, offsetof(CharFormat, ForeColor) },
    { PropertyAction::StoreWord, PropertyRecord::Char, offsetof(CharFormat, BackColor) },
    { PropertyAction::Special, PropertyRecord::Char, 0 },
    { PropertyAction::StoreWord, PropertyRecord::Para, offsetof(ParaFormat, LeftIndent) },
    { PropertyAction::StoreWord, PropertyRecord::Para, offsetof(ParaFormat, RightIndent) },
    { PropertyAction::StoreWord, PropertyRecord::Para, offsetof(ParaFormat, FirstIndent) },
    { PropertyAction::StoreByte, PropertyRecord::Para, offsetof(ParaFormat, Alignment) },
    { PropertyAction::Special, PropertyRecord::Para, 0 },
    { PropertyAction::StoreWord, PropertyRecord::Section, offsetof(SectionFormat, Columns) },
    { PropertyAction::StoreByte, PropertyRecord::Section, offsetof(SectionFormat, BreakKind) },
    { PropertyAction::StoreWord, PropertyRecord::Section, offsetof(SectionFormat, PageNumberX) },
    { PropertyAction::StoreWord, PropertyRecord::Section, offsetof(SectionFormat, PageNumberY) },
    { PropertyAction::StoreByte, PropertyRecord::Section, offsetof(SectionFormat, PageNumberFormat) },
    { PropertyAction::Special, PropertyRecord::Section, 0 },
    { PropertyAction::StoreWord, PropertyRecord::Doc, offsetof(DocFormat, PaperWidth) },
    { PropertyAction::StoreWord, PropertyRecord::Doc, offsetof(DocFormat, PaperHeight) },
    { PropertyAction::StoreWord, PropertyRecord::Doc, offsetof(DocFormat, MarginLeft) },
    { PropertyAction::StoreWord, PropertyRecord::Doc, offsetof(DocFormat, MarginRight) },
    { PropertyAction::StoreWord, PropertyRecord::Doc, offsetof(DocFormat, MarginTop) },
    { PropertyAction::StoreWord, PropertyRecord::Doc, offsetof(DocFormat, MarginBottom) },
    { PropertyAction::StoreWord, PropertyRecord::Doc, offsetof(DocFormat, FirstPageNumber) },
    { PropertyAction::StoreByte, PropertyRecord::Doc, offsetof(DocFormat, FacingPages) },
    { PropertyAction::StoreByte, PropertyRecord::Doc, offsetof(DocFormat, Landscape) },
} };

struct KeywordEntry {
    std::string_view Name;
    std::int32_t Default;
    bool UseDefault;
    KeywordKind Kind;
    std::uint8_t Index;
};

constexpr KeywordEntry Char(std::string_view name, char16_t ch)
{
    return { name, 0, false, KeywordKind::Character, static_cast<std::uint8_t>(ch) };
}
constexpr KeywordEntry Skip(std::string_view name)
{
    return { name, 0, false, KeywordKind::Destination, 0 };
}
constexpr KeywordEntry Act(std::string_view name, Special special)
{
    return { name, 0, false, KeywordKind::Special, special };
}
constexpr KeywordEntry Prop(std::string_view name, Property property, std::int32_t defaultValue, bool always = false)
{
    return { name, defaultValue, always, KeywordKind::Property, property };
}

// Sorted by name in byte order; lookups scan forward from the first row of
// the name's first letter and stop at the first row not smaller than it.
constexpr std::array kKeywords = {
    Char("\n", 10),
    Char("\r", 13),
    Act("'", kSpecialHex),
    Act("*", kSpecialSkipDestination),
    Char("\\", '\\'),
    Act("ansicpg", kSpecialCodePage),
    Skip("author"),
    Prop("b", kPropBold, 1),
    Act("bin", kSpecialBin),
    Skip("buptim"),
    Prop("cb", kPropBackColor, 0),
    Prop("cf", kPropForeColor, 0),
    Act("colortbl", kSpecialColorTable),
    Prop("cols", kPropColumns, 1),
    Skip("comment"),
    Skip("creatim"),
    Prop("deleted", kPropStrike, 1),
    Skip("doccomm"),
    Prop("f", kPropFontNumber, 0),
    Prop("facingp", kPropFacingPages, 1, true),
    Prop("fi", kPropFirstIndent, 0),
    Act("fonttbl", kSpecialFontTable),
    Skip("footer"),
    Skip("footerf"),
    Skip("footerl"),
    Skip("footerr"),
    Skip("footnote"),
    Prop("fs", kPropSize, 0),
    Skip("ftncn"),
    Skip("ftnsep"),
    Skip("ftnsepc"),
    Skip("header"),
    Skip("headerf"),
    Skip("headerl"),
    Skip("headerr"),
    Prop("i", kPropItalic, 1),
    Skip("info"),
    Skip("keywords"),
    Prop("landscape", kPropLandscape, 1, true),
    Char("ldblquote", '"'),
    Prop("li", kPropLeftIndent, 0),
    Prop("margb", kPropMarginBottom, 1440),
    Prop("margl", kPropMarginLeft, 1800),
    Prop("margr", kPropMarginRight, 1800),
    Prop("margt", kPropMarginTop, 1440),
    Skip("operator"),
    Act("page", kSpecialPage),
    Prop("paperh", kPropPaperHeight, 15480),
    Prop("paperw", kPropPaperWidth, 12240),
    Char("par", 10),
    Prop("pard", kPropPard, 0),
    Prop("pgndec", kPropPageNumberFormat, 0, true),
    Prop("pgnlcltr", kPropPageNumberFormat, 4, true),
    Prop("pgnlcrm", kPropPageNumberFormat, 2, true),
    Prop("pgnstart", kPropFirstPageNumber, 1, true),
    Prop("pgnucltr", kPropPageNumberFormat, 3, true),
    Prop("pgnucrm", kPropPageNumberFormat, 1, true),
    Prop("pgnx", kPropPageNumberX, 0),
    Prop("pgny", kPropPageNumberY, 0),
    Act("pict", kSpecialPicture),
    Prop("plain", kPropPlain, 0),
    Skip("printim"),
    Skip("private1"),
    Prop("qc", kPropAlignment, 2, true),
    Prop("qj", kPropAlignment, 3, true),
    Prop("ql", kPropAlignment, 0, true),
    Prop("qr", kPropAlignment, 1, true),
    Char("rdblquote", '"'),
    Prop("revised", kPropUnderline, 1),
    Skip("revtim"),
    Prop("ri", kPropRightIndent, 0),
    Skip("rxe"),
    Prop("sbkcol", kPropSectionBreak, 1, true),
    Prop("sbkeven", kPropSectionBreak, 2, true),
    Prop("sbknone", kPropSectionBreak, 0, true),
    Prop("sbkodd", kPropSectionBreak, 3, true),
    Prop("sbkpage", kPropSectionBreak, 4, true),
    Prop("sectd", kPropSectd, 0),
    Prop("strike", kPropStrike, 1),
    Skip("stylesheet"),
    Skip("subject"),
    Char("tab", 9),
    Skip("tc"),
    Skip("title"),
    Act("tx", kSpecialTabStop),
    Skip("txe"),
    Act("u", kSpecialUnicode),
    Prop("ul", kPropUnderline, 1),
    Skip("xe"),
    Char("{", '{'),
    Char("}", '}'),
};

static_assert(kKeywords.size() == 91);

constexpr bool SortedByName(const auto& table)
{
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (!(table[i - 1].Name < table[i].Name))
            return false;
    }
    return true;
}
static_assert(SortedByName(kKeywords), "the keyword table must be sorted by name in byte order");

constexpr bool IsLetter(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

// Position 0 to 25: the first row whose name begins with that letter, or
// the first row of the table when there is none. Position 26: the first row
// whose name does not begin with a letter.
constexpr std::size_t kStartIndexSize = 27;
constexpr std::array<std::size_t, kStartIndexSize> BuildStartIndex()
{
    std::array<std::size_t, kStartIndexSize> index {};
    for (std::size_t letter = 0; letter < 26; ++letter) {
        index[letter] = 0;
        for (std::size_t row = 0; row < kKeywords.size(); ++row) {
            if (kKeywords[row].Name[0] == static_cast<char>('a' + letter)) {
                index[letter] = row;
                break;
            }
        }
    }
    index[26] = 0;
    for (std::size_t row = 0; row < kKeywords.size(); ++row) {
        if (!IsLetter(kKeywords[row].Name[0])) {
            index[26] = row;
            break;
        }
    }
    return index;
}
constexpr auto kStartIndex = BuildStartIndex();

// The font table's own keywords, sorted the same way.
enum class FontKeyword : std::uint8_t {
    Hex,
    SkipDestination,
    Font,
    Family,
    Charset,
    Pitch,
    Panose,
};

struct FontKeywordEntry {
    std::string_view Name;
    FontKeyword Keyword;
    std::int16_t Family;
};

constexpr std::array kFontKeywords = {
    FontKeywordEntry { "'", FontKeyword::Hex, 0 },
    FontKeywordEntry { "*", FontKeyword::SkipDestination, 0 },
    FontKeywordEntry { "f", FontKeyword::Font, 0 },
    FontKeywordEntry { "fbidi", FontKeyword::Family, printengine::kFamilyBidi },
    FontKeywordEntry { "fcharset", FontKeyword::Charset, 0 },
    FontKeywordEntry { "fdecor", FontKeyword::Family, printengine::kFamilyDecor },
    FontKeywordEntry { "fmodern", FontKeyword::Family, printengine::kFamilyModern },
    FontKeywordEntry { "fnil", FontKeyword::Family, printengine::kFamilyNil },
    FontKeywordEntry { "fprq", FontKeyword::Pitch, 0 },
    FontKeywordEntry { "froman", FontKeyword::Family, printengine::kFamilyRoman },
    FontKeywordEntry { "fscript", FontKeyword::Family, printengine::kFamilyScript },
    FontKeywordEntry { "fswiss", FontKeyword::Family, printengine::kFamilySwiss },
    FontKeywordEntry { "ftech", FontKeyword::Family, printengine::kFamilyTech },
    FontKeywordEntry { "panose", FontKeyword::Panose, 0 },
};
static_assert(kFontKeywords.size() == 14);
static_assert(SortedByName(kFontKeywords), "the font-table keywords must be sorted by name in byte order");

// Scans forward from `start` while the row's name is smaller than `name`;
// the row is found only on an equal name.
template <typename Table> const auto* ScanForward(const Table& table, std::size_t start, std::string_view name)
{
    for (std::size_t row = start; row < table.size(); ++row) {
        if (table[row].Name < name)
            continue;
        return table[row].Name == name ? &table[row] : nullptr;
    }
    return static_cast<decltype(&table[0])>(nullptr);
}

const KeywordEntry* FindKeyword(std::string_view name)
{
    const char first = name.empty() ? '\0' : name[0];
    std::size_t start = kStartIndex[26];
    if (first >= 'a' && first <= 'z')
        start = kStartIndex[static_cast<std::size_t>(first - 'a')];
    else if (IsLetter(first))
        start = 0;
    return ScanForward(kKeywords, start, name);
}

template <typename Record> void Store(Record& record, std::uint8_t offset, PropertyAction action, std::int32_t value)
{
    auto* bytes = reinterpret_cast<unsigned char*>(&record);
    if (action == PropertyAction::StoreByte) {
        const auto low = static_cast<std::uint8_t>(value);
        std::memcpy(bytes + offset, &low, sizeof low);
    } else {
        std::memcpy(bytes + offset, &value, sizeof value);
    }
}

int ApplyProperty(std::uint8_t index, std::int32_t value)
{
    ReaderState& reader = Reader();
    if (reader.Destination == kDestinationSkip)
        return kRtfOk;
    if (index >= kProperties.size())
        return kRtfBadTable;
    const PropertyEntry& property = kProperties[index];
    if (property.Action == PropertyAction::Special) {
        switch (index) {
        case kPropPard:
            printengine::CurrentParaFormat() = ParaFormat {};
            printengine::ClearTabStops();
            return kRtfOk;
        case kPropPlain:
            printengine::CurrentCharFormat() = CharFormat {};
            printengine::CurrentCharFormat().Size = 24;
            return kRtfOk;
        case kPropSectd:
            reader.Section = SectionFormat {};
            return kRtfOk;
        default:
            return kRtfBadTable;
        }
    }
    switch (property.Record) {
    case PropertyRecord::Char:
        Store(printengine::CurrentCharFormat(), property.Offset, property.Action, value);
        break;
    case PropertyRecord::Para:
        Store(printengine::CurrentParaFormat(), property.Offset, property.Action, value);
        break;
    case PropertyRecord::Section:
        Store(reader.Section, property.Offset, property.Action, value);
        break;
    case PropertyRecord::Doc:
        Store(reader.Doc, property.Offset, property.Action, value);
        break;
    }
    return kRtfOk;
}

constexpr std::string_view kUnicodeSkipWord = "uc";

// Reads "name" and its digits straight from the source. Returns false, with
// the read position back at the name, when the letters are not the name.
bool ReadColorComponent(std::string_view name, std::int32_t& value)
{
    const std::int32_t start = SourcePos;
    for (char expected : name) {
        if (GetSourceChar() != static_cast<unsigned char>(expected)) {
            SourcePos = start;
            return false;
        }
    }
    std::uint32_t number = 0;
    for (int ch = GetSourceChar(); ch != -1; ch = GetSourceChar()) {
        if (ch < '0' || ch > '9') {
            UngetSourceChar();
            break;
        }
        number = number * 10 + static_cast<std::uint32_t>(ch - '0');
    }
    value = static_cast<std::int32_t>(number % 256);
    return true;
}

// Words that newer writers put before an entry's red component to tie the
// colour to a theme colour; the entry's own components follow them. Sorted.
constexpr std::array<std::string_view, 18> kThemeColorWords = {
    "caccentfive",
    "caccentfour",
    "caccentone",
    "caccentsix",
    "caccentthree",
    "caccenttwo",
    "cbackgroundone",
    "cbackgroundtwo",
    "cfollowedhyperlink",
    "chyperlink",
    "cmaindarkone",
    "cmaindarktwo",
    "cmainlightone",
    "cmainlighttwo",
    "cshade",
    "ctextone",
    "ctexttwo",
    "ctint",
};
static_assert(std::is_sorted(kThemeColorWords.begin(), kThemeColorWords.end()));

// Reads past theme words, each with its digits and the backslash of the word
// after it, so the entry's components are read from there. A theme word not
// followed by another control word is left unread.
void SkipThemeColorWords()
{
    for (;;) {
        const std::int32_t start = SourcePos;
        std::array<char, kMaxKeywordLength> word {};
        std::size_t length = 0;
        int ch = GetSourceChar();
        while (ch >= 'a' && ch <= 'z' && length < word.size()) {
            word[length++] = static_cast<char>(ch);
            ch = GetSourceChar();
        }
        while (ch >= '0' && ch <= '9')
            ch = GetSourceChar();
        const std::string_view name(word.data(), length);
        if (ch != '\\' || !std::binary_search(kThemeColorWords.begin(), kThemeColorWords.end(), name)) {
            SourcePos = start;
            return;
        }
    }
}

// The colour table is read straight from the source after its control word:
// the byte of the empty first entry, then one entry per ";" up to the "}".
// An entry that is not "\redN\greenN\blueN;" ends the reading there, and
// what follows is read as document text.
void ReadColorTable()
{
    auto& table = printengine::ColorTable();
    table.clear();
    if (GetSourceChar() == -1)
        return;
    std::size_t count = 0;
    for (std::int32_t pos = SourcePos; pos < SourceLength && SourceData[pos] != '}'; ++pos) {
        if (SourceData[pos] == ';')
            ++count;
    }
    table.assign(count, PLW_RGB(0, 0, 0));
    for (std::size_t entry = 0; entry < count; ++entry) {
        if (GetSourceChar() != '\\')
            return;
        std::int32_t red = 0;
        std::int32_t green = 0;
        std::int32_t blue = 0;
        SkipThemeColorWords();
        if (!ReadColorComponent("red", red))
            return;
        GetSourceChar();
        if (!ReadColorComponent("green", green))
            return;
        GetSourceChar();
        if (!ReadColorComponent("blue", blue))
            return;
        GetSourceChar();
        table[entry] = PLW_RGB(red, green, blue);
    }
}

int RunSpecial(std::uint8_t index, std::int32_t parameter)
{
    ReaderState& reader = Reader();
    if (reader.Destination == kDestinationSkip && index != kSpecialBin)
        return kRtfOk;
    reader.AfterUnicode = false;
    switch (index) {
    case kSpecialBin:
        reader.InputState = kInputBinary;
        reader.BinaryCount = parameter;
        return kRtfOk;
    case kSpecialHex:
        // The flag was cleared above; the escape's byte is the Unicode
        // character's fallback when the flag was set before.
        return kRtfOk;
    case kSpecialSkipDestination:
        reader.SkipUnknownDestination = true;
        return kRtfOk;
    case kSpecialFontTable:
        printengine::BeginFontTable();
        reader.Destination = kDestinationFontTable;
        return kRtfOk;
    case kSpecialPicture:
        BeginPicture();
        reader.Destination = kDestinationPicture;
        return kRtfOk;
    case kSpecialTabStop:
        printengine::AddTabStop(parameter);
        return kRtfOk;
    case kSpecialColorTable:
        ReadColorTable();
        return kRtfOk;
    case kSpecialCodePage:
        printengine::CodePages().DocumentCodePage = static_cast<std::uint16_t>(parameter);
        return kRtfOk;
    case kSpecialPage:
        printengine::PutFlowChar(12);
        return kRtfOk;
    case kSpecialUnicode:
        EnsureTextFont();
        printengine::PutFlowChar(static_cast<char16_t>(parameter & 0xFFFF));
        reader.AfterUnicode = reader.UnicodeSkip > 0;
        reader.FallbackLeft = reader.UnicodeSkip;
        return kRtfOk;
    default:
        return kRtfBadTable;
    }
}

int TranslateFontKeyword(std::string_view name, std::int32_t parameter)
{
    ReaderState& reader = Reader();
    const FontKeywordEntry* entry = ScanForward(kFontKeywords, 0, name);
    if (entry == nullptr)
        return kRtfOk;
    printengine::FontDefinition& font = printengine::CurrentFontDefinition();
    switch (entry->Keyword) {
    case FontKeyword::Hex:
        reader.InputState = kInputHex;
        reader.FaceNameHexPending = true;
        break;
    case FontKeyword::SkipDestination:
        reader.SkipUnknownDestination = true;
        break;
    case FontKeyword::Font:
        if (font.Defining)
            CommitFontDefinition();
        font.Number = static_cast<std::int16_t>(parameter);
        font.Defining = true;
        break;
    case FontKeyword::Family:
        font.Family = entry->Family;
        break;
    case FontKeyword::Charset:
        font.Charset = static_cast<std::int16_t>(parameter);
        printengine::SelectCodePage(static_cast<std::uint16_t>(parameter));
        break;
    case FontKeyword::Pitch:
        font.Pitch = static_cast<std::int16_t>(parameter);
        break;
    case FontKeyword::Panose:
        if (reader.SkipUnknownDestination)
            reader.Destination = kDestinationSkip;
        reader.SkipUnknownDestination = false;
        break;
    }
    return kRtfOk;
}

} // namespace

void CommitFontDefinition()
{
    const printengine::FontDefinition& font = printengine::CurrentFontDefinition();
    const bool numbered = font.Defining;
    const std::int16_t number = font.Number;
    printengine::AddFontTableEntry();
    if (numbered)
        printengine::Flow().FontTable.back().Number = number;
}

std::size_t KeywordCount()
{
    return kKeywords.size();
}

int TranslateKeyword(std::string_view name, std::int32_t parameter, bool hasParameter)
{
    ReaderState& reader = Reader();
    if (reader.Destination == kDestinationFontTable)
        return TranslateFontKeyword(name, parameter);
    if (reader.Destination == kDestinationPicture)
        return PictKeyword(name, parameter);

    const KeywordEntry* entry = FindKeyword(name);
    if (entry == nullptr && name == kUnicodeSkipWord) {
        // Not a row of the table: it only sets how many hex escapes after
        // each Unicode character are its fallback.
        if (reader.Destination != kDestinationSkip)
            reader.UnicodeSkip = std::clamp(hasParameter ? parameter : kDefaultUnicodeSkip, 0, kMaxUnicodeSkip);
        reader.SkipUnknownDestination = false;
        return kRtfOk;
    }
    if (entry == nullptr) {
        if (reader.SkipUnknownDestination)
            reader.Destination = kDestinationSkip;
        reader.SkipUnknownDestination = false;
        return kRtfOk;
    }
    reader.SkipUnknownDestination = false;
    switch (entry->Kind) {
    case KeywordKind::Character:
        return ParseChar(entry->Index);
    case KeywordKind::Destination:
        reader.Destination = kDestinationSkip;
        return kRtfOk;
    case KeywordKind::Property:
        return ApplyProperty(entry->Index, entry->UseDefault || !hasParameter ? entry->Default : parameter);
    case KeywordKind::Special:
        if (entry->Index == kSpecialHex) {
            if (reader.Destination == kDestinationSkip)
                return kRtfOk;
            const bool fallback = reader.AfterUnicode;
            reader.InputState = fallback ? kInputHexDiscard : kInputHex;
            const int result = RunSpecial(entry->Index, parameter);
            // A fallback of more than one byte (\uc2 and a double-byte
            // character) drops as many hex escapes.
            if (fallback && --reader.FallbackLeft > 0)
                reader.AfterUnicode = true;
            return result;
        }
        return RunSpecial(entry->Index, parameter);
    }
    return kRtfBadTable;
}

} // namespace rtf
