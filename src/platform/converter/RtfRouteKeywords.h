#pragma once

// The control words the converter's RTF route acts on, as tables: what each
// does in the document, and the words of a picture.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace platform {

// What a control word does in the converter. Control words the table does
// not name are left out, their text kept.
enum class Action : std::uint8_t {
    FontTable,
    ColorTable,
    Stylesheet,
    Picture,
    SkipDestination,
    Font,
    FontCharset,
    FontPitch,
    FontFamily,
    DefaultFont,
    CodePage,
    Red,
    Green,
    Blue,
    ParagraphStyle,
    CharacterStyle,
    OtherStyle,
    Plain,
    Pard,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    ForeColor,
    BackColor,
    Align,
    LeftIndent,
    RightIndent,
    FirstIndent,
    TabStop,
    UnicodeSkip,
    Unicode,
    Character,
    ParagraphEnd,
    LineEnd,
    PageBreak,
    Tab,
    RowDefaults,
    CellEdge,
    InTable,
    NestingLevel,
    CellEnd,
    NestedCellEnd,
    NestedRowEnd,
    RowEnd,
};

struct KeywordEntry {
    std::string_view Name;
    Action Act;
    char16_t Value = 0; // the character, or the alignment's letter
};

// Sorted by name, for a binary search.
inline constexpr std::array kKeywords = {
    KeywordEntry { "annotation", Action::SkipDestination },
    KeywordEntry { "ansicpg", Action::CodePage },
    KeywordEntry { "atnauthor", Action::SkipDestination },
    KeywordEntry { "atnid", Action::SkipDestination },
    KeywordEntry { "author", Action::SkipDestination },
    KeywordEntry { "b", Action::Bold },
    KeywordEntry { "blue", Action::Blue },
    KeywordEntry { "bullet", Action::Character, u'\u2022' },
    KeywordEntry { "cb", Action::BackColor },
    KeywordEntry { "cell", Action::CellEnd },
    KeywordEntry { "cellx", Action::CellEdge },
    KeywordEntry { "cf", Action::ForeColor },
    KeywordEntry { "chcbpat", Action::BackColor },
    KeywordEntry { "colortbl", Action::ColorTable },
    KeywordEntry { "column", Action::LineEnd },
    KeywordEntry { "comment", Action::SkipDestination },
    KeywordEntry { "cs", Action::CharacterStyle },
    KeywordEntry { "deff", Action::DefaultFont },
    KeywordEntry { "doccomm", Action::SkipDestination },
    KeywordEntry { "ds", Action::OtherStyle },
    KeywordEntry { "emdash", Action::Character, u'\u2014' },
    KeywordEntry { "emspace", Action::Character, u' ' },
    KeywordEntry { "endash", Action::Character, u'\u2013' },
    KeywordEntry { "enspace", Action::Character, u' ' },
    KeywordEntry { "f", Action::Font },
    KeywordEntry { "fbidi", Action::FontFamily },
    KeywordEntry { "fcharset", Action::FontCharset },
    KeywordEntry { "fdecor", Action::FontFamily },
    KeywordEntry { "fi", Action::FirstIndent },
    KeywordEntry { "filetbl", Action::SkipDestination },
    KeywordEntry { "fldinst", Action::SkipDestination },
    KeywordEntry { "fmodern", Action::FontFamily },
    KeywordEntry { "fnil", Action::FontFamily },
    KeywordEntry { "fonttbl", Action::FontTable },
    KeywordEntry { "footer", Action::SkipDestination },
    KeywordEntry { "footerf", Action::SkipDestination },
    KeywordEntry { "footerl", Action::SkipDestination },
    KeywordEntry { "footerr", Action::SkipDestination },
    KeywordEntry { "footnote", Action::SkipDestination },
    KeywordEntry { "fprq", Action::FontPitch },
    KeywordEntry { "froman", Action::FontFamily },
    KeywordEntry { "fs", Action::FontSize },
    KeywordEntry { "fscript", Action::FontFamily },
    KeywordEntry { "fswiss", Action::FontFamily },
    KeywordEntry { "ftech", Action::FontFamily },
    KeywordEntry { "green", Action::Green },
    KeywordEntry { "header", Action::SkipDestination },
    KeywordEntry { "headerf", Action::SkipDestination },
    KeywordEntry { "headerl", Action::SkipDestination },
    KeywordEntry { "headerr", Action::SkipDestination },
    KeywordEntry { "highlight", Action::BackColor },
    KeywordEntry { "i", Action::Italic },
    KeywordEntry { "info", Action::SkipDestination },
    KeywordEntry { "intbl", Action::InTable },
    KeywordEntry { "itap", Action::NestingLevel },
    KeywordEntry { "keywords", Action::SkipDestination },
    KeywordEntry { "ldblquote", Action::Character, u'\u201C' },
    KeywordEntry { "li", Action::LeftIndent },
    KeywordEntry { "lin", Action::LeftIndent },
    KeywordEntry { "line", Action::LineEnd },
    KeywordEntry { "lquote", Action::Character, u'\u2018' },
    KeywordEntry { "nestcell", Action::NestedCellEnd },
    KeywordEntry { "nestrow", Action::NestedRowEnd },
    KeywordEntry { "nonesttables", Action::SkipDestination },
    KeywordEntry { "nonshppict", Action::SkipDestination },
    KeywordEntry { "objdata", Action::SkipDestination },
    KeywordEntry { "operator", Action::SkipDestination },
    KeywordEntry { "page", Action::PageBreak },
    KeywordEntry { "par", Action::ParagraphEnd },
    KeywordEntry { "pard", Action::Pard },
    KeywordEntry { "pict", Action::Picture },
    KeywordEntry { "plain", Action::Plain },
    KeywordEntry { "pn", Action::SkipDestination },
    KeywordEntry { "qc", Action::Align, u'c' },
    KeywordEntry { "qj", Action::Align, u'j' },
    KeywordEntry { "ql", Action::Align, u'l' },
    KeywordEntry { "qmspace", Action::Character, u' ' },
    KeywordEntry { "qr", Action::Align, u'r' },
    KeywordEntry { "rdblquote", Action::Character, u'\u201D' },
    KeywordEntry { "red", Action::Red },
    KeywordEntry { "revtbl", Action::SkipDestination },
    KeywordEntry { "ri", Action::RightIndent },
    KeywordEntry { "rin", Action::RightIndent },
    KeywordEntry { "row", Action::RowEnd },
    KeywordEntry { "rquote", Action::Character, u'\u2019' },
    KeywordEntry { "s", Action::ParagraphStyle },
    KeywordEntry { "sect", Action::ParagraphEnd },
    KeywordEntry { "shprslt", Action::SkipDestination },
    KeywordEntry { "strike", Action::Strike },
    KeywordEntry { "striked", Action::Strike },
    KeywordEntry { "stylesheet", Action::Stylesheet },
    KeywordEntry { "subject", Action::SkipDestination },
    KeywordEntry { "tab", Action::Tab },
    KeywordEntry { "tb", Action::TabStop },
    KeywordEntry { "tc", Action::SkipDestination },
    KeywordEntry { "themedata", Action::SkipDestination },
    KeywordEntry { "title", Action::SkipDestination },
    KeywordEntry { "trowd", Action::RowDefaults },
    KeywordEntry { "ts", Action::OtherStyle },
    KeywordEntry { "tx", Action::TabStop },
    KeywordEntry { "u", Action::Unicode },
    KeywordEntry { "uc", Action::UnicodeSkip },
    KeywordEntry { "ul", Action::Underline },
    KeywordEntry { "uld", Action::Underline },
    KeywordEntry { "uldash", Action::Underline },
    KeywordEntry { "uldashd", Action::Underline },
    KeywordEntry { "uldashdd", Action::Underline },
    KeywordEntry { "uldb", Action::Underline },
    KeywordEntry { "ulhwave", Action::Underline },
    KeywordEntry { "ulldash", Action::Underline },
    KeywordEntry { "ulnone", Action::UnderlineNone },
    KeywordEntry { "ulth", Action::Underline },
    KeywordEntry { "ulw", Action::Underline },
    KeywordEntry { "ulwave", Action::Underline },
    KeywordEntry { "v", Action::Hidden },
    KeywordEntry { "xe", Action::SkipDestination },
};
static_assert(
    std::is_sorted(kKeywords.begin(), kKeywords.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; }));

// The entry of a control word; null for one the table does not name.
inline const KeywordEntry* FindKeyword(std::string_view word)
{
    const auto found = std::lower_bound(kKeywords.begin(), kKeywords.end(), word,
        [](const KeywordEntry& entry, std::string_view key) { return entry.Name < key; });
    return found != kKeywords.end() && found->Name == word ? &*found : nullptr;
}

enum class PictureField : std::uint8_t { Kind, Width, Height, GoalWidth, GoalHeight, ScaleX, ScaleY };

struct PictureKeyword {
    std::string_view Name;
    PictureField Field;
};

inline constexpr std::array kPictureKeywords = {
    PictureKeyword { "dibitmap", PictureField::Kind },
    PictureKeyword { "emfblip", PictureField::Kind },
    PictureKeyword { "jpegblip", PictureField::Kind },
    PictureKeyword { "macpict", PictureField::Kind },
    PictureKeyword { "pich", PictureField::Height },
    PictureKeyword { "pichgoal", PictureField::GoalHeight },
    PictureKeyword { "picscalex", PictureField::ScaleX },
    PictureKeyword { "picscaley", PictureField::ScaleY },
    PictureKeyword { "picw", PictureField::Width },
    PictureKeyword { "picwgoal", PictureField::GoalWidth },
    PictureKeyword { "pngblip", PictureField::Kind },
    PictureKeyword { "wbitmap", PictureField::Kind },
    PictureKeyword { "wmetafile", PictureField::Kind },
};
static_assert(std::is_sorted(
    kPictureKeywords.begin(), kPictureKeywords.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; }));

} // namespace platform
