#include "RtfNormaliser.h"

#include "CharsetCodePages.h"
#include "CodePages.h"
#include "RtfDocumentWriter.h"
#include "RtfRouteKeywords.h"
#include "RtfRoutePictures.h"
#include "RtfRouteSymbols.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

constexpr std::uint16_t kFallbackCodePage = 1252;
constexpr std::int32_t kDefaultHalfPoints = 24;
constexpr std::int32_t kLargestHalfPoints = 3276;
constexpr std::size_t kMaxTabStops = 64;
constexpr std::int32_t kMaxUnicodeSkip = 16;
// Character styles and the other kinds share the style map with paragraph
// styles, apart by these offsets.
constexpr std::int32_t kCharacterStyleKey = 1 << 20;
constexpr std::int32_t kOtherStyleKey = -1;
constexpr std::int32_t kTwipsPerScreenPixel = 15;
constexpr std::int32_t kLargestTwips = 1 << 22;
// Metafiles give their size in hundredths of a millimetre.
constexpr std::int32_t kHundredthsOfMillimetrePerInch = 2540;
constexpr std::int32_t kTwipsPerInch = 1440;
constexpr std::uint8_t kSymbolCharset = 2;
// The face Symbol, Wingdings and Webdings characters print in once they are
// Unicode characters.
constexpr std::string_view kSymbolReplacementFace = "DejaVu Sans";

struct CharFormat {
    std::int32_t Font = -1; // the document's number; -1 is the default font
    std::int32_t HalfPoints = kDefaultHalfPoints;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    bool Hidden = false;
    std::int32_t Color = 0;
    std::int32_t Background = 0;
    bool operator==(const CharFormat&) const = default;
};

struct ParaFormat {
    char Align = 'l';
    std::int32_t Left = 0;
    std::int32_t Right = 0;
    std::int32_t First = 0;
    std::vector<std::int32_t> Tabs;
    bool InTable = false;
    bool operator==(const ParaFormat&) const = default;
};

enum class Destination { Body, Skip, FontTable, FontEntry, ColorTable, Stylesheet, StyleEntry, Picture };

struct Group {
    Destination Dest = Destination::Body;
    CharFormat Chars;
    ParaFormat Para;
    std::int32_t SkipAfterUnicode = 1;
    // A left-out group whose pictures print all the same: a floating
    // shape's properties, which hold its picture.
    bool PicturesOnly = false;
};

struct Font {
    RtfDocumentWriter::Font Written;
    int Index = 0; // in the writer's font table
    std::uint16_t CodePage = 0; // 0: the document's
    SymbolFace Symbols = SymbolFace::None;
};

struct Picture {
    std::string Kind;
    std::int32_t Width = 0; // \picw
    std::int32_t Height = 0;
    std::int32_t GoalWidth = 0;
    std::int32_t GoalHeight = 0;
    std::int32_t ScaleX = 0;
    std::int32_t ScaleY = 0;
    std::string Data;
    int HexHalf = -1;
};

int HexDigit(char h)
{
    return h >= '0' && h <= '9' ? h - '0'
        : h >= 'a' && h <= 'f'  ? h - 'a' + 10
        : h >= 'A' && h <= 'F'  ? h - 'A' + 10
                                : -1;
}

void AppendUtf8(std::string& out, char32_t ch)
{
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

std::string Utf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t ch = text[i];
        if (ch >= 0xD800 && ch < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            ch = 0x10000 + ((ch - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (ch >= 0xD800 && ch < 0xE000)
            ch = 0xFFFD;
        AppendUtf8(out, ch);
    }
    return out;
}

class Normaliser {
public:
    Normaliser(std::span<const std::uint8_t> rtf, std::uint16_t codePage)
        : in_(reinterpret_cast<const char*>(rtf.data()), rtf.size())
        , codePage_(IsValidCodePage(codePage) ? codePage : kFallbackCodePage)
    {
    }
    std::optional<std::string> Run();

private:
    RtfDocumentWriter& Writer();
    Group& Top() { return groups_.back(); }
    bool InBody() const { return groups_.back().Dest == Destination::Body && !groups_.back().Chars.Hidden; }
    bool ControlWord(std::string_view word, bool hasParameter, std::int32_t parameter);
    void PictureWord(std::string_view word, std::int32_t parameter);
    void ControlSymbol(char symbol);
    void Byte(std::uint8_t byte);
    void Character(char16_t ch);
    void Tab();
    void LineBreak();
    void EndParagraph();
    void PageBreak();
    void EmitPendingCells();
    void EnsureParagraph();
    librevenge::RVNGPropertyList ParagraphProperties(const ParaFormat& para) const;
    void EnsureSpan();
    void FlushText();
    void CloseSpan();
    void CommitFont();
    void EndGroup(const Group& closed);
    void EndPicture();
    const Font* FontOf(std::int32_t source) const;

    std::string_view in_;
    std::size_t at_ = 0;
    std::vector<Group> groups_;
    std::uint16_t codePage_;
    std::optional<RtfDocumentWriter> writer_;
    std::int32_t skip_ = 0; // fallback characters still to skip after \u
    std::int32_t leadByte_ = -1; // a double-byte lead byte waiting for its trail byte

    std::int32_t defaultFont_ = 0;
    std::unordered_map<std::int32_t, Font> fonts_;
    std::int32_t pendingFont_ = 0;
    std::string pendingName_;
    std::int32_t pendingCharset_ = 0;
    std::string pendingFamily_ = "fnil";
    std::int32_t pendingPitch_ = -1;
    bool fontPending_ = false;
    // The font looked up last; the table only grows, so a found font stays.
    mutable std::int32_t cachedNumber_ = 0;
    mutable const Font* cachedFont_ = nullptr;
    mutable bool cacheValid_ = false;

    std::vector<std::optional<std::uint32_t>> colors_;
    std::int32_t red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;

    std::unordered_map<std::int32_t, std::pair<CharFormat, ParaFormat>> styles_;
    std::int32_t pendingStyle_ = 0;

    Picture picture_;
    std::vector<std::int32_t> cellEdges_;
    int nestDepth_ = 0;
    int pendingCells_ = 0; // cell ends not written yet: tabs before the next text
    bool afterNestedRow_ = false;

    bool paragraphOpen_ = false;
    bool paragraphInTable_ = false;
    bool spanOpen_ = false;
    CharFormat spanFormat_;
    std::u16string text_;
    bool pageBreak_ = false;
    ParaFormat openedPara_; // the format of the open paragraph
    bool onlyPicture_ = false; // a picture is all the open paragraph holds since its last text
};

RtfDocumentWriter& Normaliser::Writer()
{
    if (!writer_)
        writer_.emplace(codePage_, RtfDocumentWriter::Options { true, true });
    return *writer_;
}

const Font* Normaliser::FontOf(std::int32_t source) const
{
    if (cacheValid_ && cachedNumber_ == source)
        return cachedFont_;
    const Font* font = nullptr;
    if (const auto found = fonts_.find(source); found != fonts_.end())
        font = &found->second;
    else if (const auto deflt = fonts_.find(defaultFont_); deflt != fonts_.end())
        font = &deflt->second;
    cachedNumber_ = source;
    cachedFont_ = font;
    cacheValid_ = true;
    return font;
}

void Normaliser::CommitFont()
{
    if (!fontPending_)
        return;
    fontPending_ = false;
    while (!pendingName_.empty() && (pendingName_.back() == ' ' || pendingName_.back() == ';'))
        pendingName_.pop_back();
    if (fonts_.size() >= kMaxNormaliseFonts || fonts_.contains(pendingFont_))
        return;
    Font font;
    font.Symbols = SymbolFaceOf(pendingName_);
    if (font.Symbols != SymbolFace::None)
        font.Written = { std::string(kSymbolReplacementFace), 0, "fswiss", -1 };
    else
        font.Written
            = { pendingName_, pendingCharset_ == kSymbolCharset ? 0 : pendingCharset_, pendingFamily_, pendingPitch_ };
    if (const auto codePage = CodePageOfCharset(static_cast<std::uint16_t>(pendingCharset_));
        codePage && IsValidCodePage(*codePage))
        font.CodePage = *codePage;
    font.Index = Writer().DeclareFont(font.Written);
    fonts_.emplace(pendingFont_, std::move(font));
    cacheValid_ = false;
}

librevenge::RVNGPropertyList Normaliser::ParagraphProperties(const ParaFormat& para) const
{
    librevenge::RVNGPropertyList props;
    static constexpr std::pair<char, const char*> kAlign[]
        = { { 'l', "left" }, { 'c', "center" }, { 'r', "end" }, { 'j', "justify" } };
    const bool table = para.InTable;
    // A row's columns line up only from the left.
    for (const auto& [code, name] : kAlign)
        if ((table ? 'l' : para.Align) == code)
            props.insert("fo:text-align", name);
    const std::int32_t left = table ? 0 : para.Left;
    if (!table) {
        props.insert("fo:margin-left", para.Left, librevenge::RVNG_TWIP);
        props.insert("fo:margin-right", para.Right, librevenge::RVNG_TWIP);
        props.insert("fo:text-indent", para.First, librevenge::RVNG_TWIP);
    }
    std::vector<std::int32_t> stops = table ? cellEdges_ : para.Tabs;
    if (table && !stops.empty())
        stops.pop_back(); // the right edge of the last cell
    librevenge::RVNGPropertyListVector tabs;
    for (std::int32_t stop : stops) {
        librevenge::RVNGPropertyList tab;
        tab.insert("style:position", stop - left, librevenge::RVNG_TWIP);
        tabs.append(tab);
    }
    if (tabs.count() > 0)
        props.insert("librevenge:tab-stops", tabs);
    return props;
}

void Normaliser::EnsureParagraph()
{
    // Text after a picture whose paragraph format has changed since (a
    // \pard with no paragraph end between) starts a paragraph of its own,
    // as the reader lays out the picture and the text apart.
    if (paragraphOpen_ && onlyPicture_ && !(openedPara_ == Top().Para)) {
        CloseSpan();
        Writer().closeParagraph();
        paragraphOpen_ = false;
    }
    onlyPicture_ = false;
    if (paragraphOpen_)
        return;
    const ParaFormat& para = Top().Para;
    openedPara_ = para;
    librevenge::RVNGPropertyList props = ParagraphProperties(para);
    if (pageBreak_)
        props.insert("fo:break-before", "page");
    Writer().openParagraph(props);
    paragraphOpen_ = true;
    paragraphInTable_ = para.InTable;
    pageBreak_ = false;
}

void Normaliser::EnsureSpan()
{
    EnsureParagraph();
    EmitPendingCells();
    const CharFormat& chars = Top().Chars;
    if (spanOpen_ && spanFormat_ == chars)
        return;
    CloseSpan();
    librevenge::RVNGPropertyList props;
    if (const Font* font = FontOf(chars.Font))
        props.insert("tallowin:font-index", font->Index);
    props.insert("fo:font-size", chars.HalfPoints / 2.0, librevenge::RVNG_POINT);
    if (chars.Bold)
        props.insert("fo:font-weight", "bold");
    if (chars.Italic)
        props.insert("fo:font-style", "italic");
    if (chars.Underline)
        props.insert("style:text-underline-type", "solid");
    if (chars.Strike)
        props.insert("style:text-line-through-type", "solid");
    auto color = [this](std::int32_t index) -> std::optional<std::string> {
        if (index <= 0 || static_cast<std::size_t>(index) >= colors_.size()
            || !colors_[static_cast<std::size_t>(index)])
            return std::nullopt;
        char text[8];
        std::snprintf(text, sizeof text, "#%06x", *colors_[static_cast<std::size_t>(index)] & 0xFFFFFF);
        return std::string(text);
    };
    if (const auto fore = color(chars.Color))
        props.insert("fo:color", fore->c_str());
    if (const auto back = color(chars.Background))
        props.insert("fo:background-color", back->c_str());
    Writer().openSpan(props);
    spanOpen_ = true;
    spanFormat_ = chars;
}

void Normaliser::FlushText()
{
    if (text_.empty())
        return;
    Writer().insertText(librevenge::RVNGString(Utf8(text_).c_str()));
    text_.clear();
}

void Normaliser::CloseSpan()
{
    FlushText();
    if (spanOpen_)
        Writer().closeSpan();
    spanOpen_ = false;
}

void Normaliser::EmitPendingCells()
{
    if (pendingCells_ == 0)
        return;
    FlushText();
    for (; pendingCells_ > 0; --pendingCells_)
        Writer().insertTab();
    afterNestedRow_ = false;
}

void Normaliser::Character(char16_t ch)
{
    Group& top = Top();
    switch (top.Dest) {
    case Destination::FontTable:
    case Destination::FontEntry:
        if (ch == u';')
            CommitFont();
        else if (ch >= 0x20 && pendingName_.size() < 64 && !(pendingName_.empty() && ch == u' '))
            pendingName_ += ch < 0x80 ? static_cast<char>(ch) : '?';
        return;
    case Destination::ColorTable:
        if (ch == u';') {
            colors_.push_back(
                colorGiven_ ? std::optional<std::uint32_t>(red_ << 16 | green_ << 8 | blue_) : std::nullopt);
            red_ = green_ = blue_ = 0;
            colorGiven_ = false;
        }
        return;
    case Destination::StyleEntry:
        if (ch == u';')
            styles_[pendingStyle_] = { top.Chars, top.Para };
        return;
    case Destination::Body:
        break;
    default:
        return;
    }
    if (top.Chars.Hidden || ch < 0x20)
        return;
    EnsureSpan();
    text_ += ch;
}

void Normaliser::Tab()
{
    if (!InBody())
        return;
    EnsureSpan();
    FlushText();
    Writer().insertTab();
}

void Normaliser::LineBreak()
{
    if (!InBody())
        return;
    EnsureSpan();
    FlushText();
    Writer().insertLineBreak();
}

void Normaliser::EndParagraph()
{
    if (Top().Dest != Destination::Body)
        return;
    if (!paragraphOpen_)
        EnsureParagraph();
    onlyPicture_ = false;
    pendingCells_ = 0;
    afterNestedRow_ = false;
    CloseSpan();
    // A paragraph takes the format it has at its end: a list's indents
    // often come after its label.
    if (!(openedPara_ == Top().Para))
        Writer().ReformatParagraph(ParagraphProperties(Top().Para));
    Writer().closeParagraph();
    paragraphOpen_ = false;
}

void Normaliser::PageBreak()
{
    if (Top().Dest != Destination::Body)
        return;
    if (paragraphOpen_)
        EndParagraph();
    pageBreak_ = true;
}

void Normaliser::Byte(std::uint8_t byte)
{
    const Group& top = Top();
    const Font* font = top.Dest == Destination::Body ? FontOf(top.Chars.Font) : nullptr;
    if (font != nullptr && font->Symbols != SymbolFace::None && byte > 0x20) {
        Character(SymbolCharacter(byte, font->Symbols));
        return;
    }
    const std::uint16_t codePage = font != nullptr && font->CodePage != 0 ? font->CodePage : codePage_;
    char bytes[2] = { static_cast<char>(byte), 0 };
    int count = 1;
    if (leadByte_ >= 0) {
        bytes[0] = static_cast<char>(leadByte_);
        bytes[1] = static_cast<char>(byte);
        count = 2;
        leadByte_ = -1;
    } else if (byte == '\t') {
        Tab();
        return;
    } else if (byte < 0x80) {
        Character(byte);
        return;
    } else if (IsDBCSLeadByteEx(codePage, byte)) {
        leadByte_ = byte;
        return;
    }
    char16_t unit = 0;
    if (MultiByteToWideChar(codePage, 0, bytes, count, &unit, 1) != 1
        && (count == 2 || MultiByteToWideChar(kFallbackCodePage, 0, bytes, 1, &unit, 1) != 1))
        unit = u'?';
    Character(unit);
}

void Normaliser::EndPicture()
{
    Picture picture = std::move(picture_);
    picture_ = {};
    if (!InBody() && !(Top().PicturesOnly && !Top().Chars.Hidden))
        return;
    std::string mime = picture.Kind == "pngblip" ? "image/png"
        : picture.Kind == "jpegblip"             ? "image/jpeg"
        : picture.Kind == "dibitmap"             ? "image/bmp"
                                                 : "";
    const auto pixels = mime.empty() ? std::nullopt : DrawablePixels(mime, picture.Data);
    const bool metafile = picture.Kind == "wmetafile" || picture.Kind == "emfblip";
    auto size = [&](std::int32_t goal, std::int32_t source, std::int32_t own, std::int32_t scale) {
        std::int64_t twips = goal > 0 ? goal
            : source > 0 ? (metafile ? std::int64_t { source } * kTwipsPerInch / kHundredthsOfMillimetrePerInch
                                     : std::int64_t { source } * kTwipsPerScreenPixel)
                         : std::int64_t { own } * kTwipsPerScreenPixel;
        if (scale > 0)
            twips = twips * std::min(scale, 1000) / 100;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(twips, 0, kLargestTwips));
    };
    std::int32_t width = size(picture.GoalWidth, picture.Width, pixels ? pixels->first : 0, picture.ScaleX);
    std::int32_t height = size(picture.GoalHeight, picture.Height, pixels ? pixels->second : 0, picture.ScaleY);
    if (width == 0 || height == 0) {
        if (picture.Data.empty())
            return;
        width = height = kTwipsPerInch;
    }
    if (!pixels) {
        if (picture.Data.empty())
            return;
        mime = "image/bmp";
        picture.Data = FramePlaceholder(width, height);
    }
    EnsureParagraph();
    EmitPendingCells();
    CloseSpan();
    librevenge::RVNGPropertyList props;
    props.insert("librevenge:mime-type", mime.c_str());
    props.insert("svg:width", width, librevenge::RVNG_TWIP);
    props.insert("svg:height", height, librevenge::RVNG_TWIP);
    props.insert("office:binary-data",
        librevenge::RVNGBinaryData(reinterpret_cast<const unsigned char*>(picture.Data.data()), picture.Data.size()));
    Writer().insertBinaryObject(props);
    onlyPicture_ = true;
}

void Normaliser::EndGroup(const Group& closed)
{
    if (closed.Dest == Destination::FontEntry || closed.Dest == Destination::FontTable)
        CommitFont();
    if (closed.Dest == Destination::Picture && Top().Dest != Destination::Picture)
        EndPicture();
}

bool Normaliser::ControlWord(std::string_view word, bool hasParameter, std::int32_t parameter)
{
    Group& top = Top();
    if (top.Dest == Destination::Picture) {
        PictureWord(word, parameter);
        return true;
    }
    const KeywordEntry* entry = FindKeyword(word);
    if (entry == nullptr)
        return true;
    const Action action = entry->Act;
    if (action == Action::NestedRowEnd) {
        // Ends a row of a nested table, in the properties the converter
        // leaves out: what follows in the cell is set off by a tab.
        pendingCells_ = 1;
        afterNestedRow_ = true;
        return true;
    }
    if (top.Dest == Destination::Skip) {
        if (top.PicturesOnly && action == Action::Picture) {
            top.Dest = Destination::Picture;
            picture_ = {};
        }
        return true;
    }
    const bool on = !hasParameter || parameter != 0;
    const bool inFontTable = top.Dest == Destination::FontTable || top.Dest == Destination::FontEntry;
    switch (action) {
    case Action::FontTable:
        top.Dest = Destination::FontTable;
        break;
    case Action::ColorTable:
        top.Dest = Destination::ColorTable;
        break;
    case Action::Stylesheet:
        top.Dest = Destination::Stylesheet;
        break;
    case Action::Picture:
        top.Dest = Destination::Picture;
        picture_ = {};
        break;
    case Action::SkipDestination:
        top.Dest = Destination::Skip;
        break;
    case Action::Font:
        if (inFontTable) {
            CommitFont();
            top.Dest = Destination::FontEntry;
            pendingFont_ = parameter;
            pendingName_.clear();
            pendingCharset_ = 0;
            pendingFamily_ = "fnil";
            pendingPitch_ = -1;
            fontPending_ = true;
        } else {
            top.Chars.Font = parameter;
        }
        break;
    case Action::FontCharset:
        pendingCharset_ = std::clamp(parameter, 0, 255);
        break;
    case Action::FontPitch:
        pendingPitch_ = std::clamp(parameter, 0, 2);
        break;
    case Action::FontFamily:
        pendingFamily_ = entry->Name;
        break;
    case Action::DefaultFont:
        defaultFont_ = parameter;
        cacheValid_ = false;
        break;
    case Action::CodePage:
        if (IsValidCodePage(static_cast<UINT>(parameter)))
            codePage_ = static_cast<std::uint16_t>(parameter);
        break;
    case Action::Red:
    case Action::Green:
    case Action::Blue:
        if (top.Dest == Destination::ColorTable) {
            (action == Action::Red ? red_ : action == Action::Green ? green_ : blue_) = std::clamp(parameter, 0, 255);
            colorGiven_ = true;
        }
        break;
    case Action::ParagraphStyle:
    case Action::CharacterStyle: {
        const std::int32_t key = (action == Action::ParagraphStyle ? 0 : kCharacterStyleKey) + parameter;
        if (top.Dest == Destination::Stylesheet || top.Dest == Destination::StyleEntry) {
            top.Dest = Destination::StyleEntry;
            pendingStyle_ = key;
        } else if (const auto found = styles_.find(key); found != styles_.end()) {
            const bool inTable = top.Para.InTable;
            top.Chars = found->second.first;
            if (action == Action::ParagraphStyle) {
                top.Para = found->second.second;
                top.Para.InTable = inTable;
            }
        }
        break;
    }
    case Action::OtherStyle:
        if (top.Dest == Destination::Stylesheet)
            top.Dest = Destination::StyleEntry;
        pendingStyle_ = kOtherStyleKey;
        break;
    case Action::Plain:
        top.Chars = CharFormat {};
        break;
    case Action::Pard:
        top.Para = ParaFormat {};
        break;
    case Action::FontSize:
        top.Chars.HalfPoints
            = hasParameter && parameter > 0 ? std::min(parameter, kLargestHalfPoints) : kDefaultHalfPoints;
        break;
    case Action::Bold:
        top.Chars.Bold = on;
        break;
    case Action::Italic:
        top.Chars.Italic = on;
        break;
    case Action::Underline:
        top.Chars.Underline = on;
        break;
    case Action::UnderlineNone:
        top.Chars.Underline = false;
        break;
    case Action::Strike:
        top.Chars.Strike = on;
        break;
    case Action::Hidden:
        top.Chars.Hidden = on;
        break;
    case Action::ForeColor:
        top.Chars.Color = parameter;
        break;
    case Action::BackColor:
        top.Chars.Background = parameter;
        break;
    case Action::Align:
        top.Para.Align = static_cast<char>(entry->Value);
        break;
    case Action::LeftIndent:
        top.Para.Left = parameter;
        break;
    case Action::RightIndent:
        top.Para.Right = parameter;
        break;
    case Action::FirstIndent:
        top.Para.First = parameter;
        break;
    case Action::TabStop:
        if (top.Para.Tabs.size() < kMaxTabStops)
            top.Para.Tabs.push_back(parameter);
        break;
    case Action::UnicodeSkip:
        top.SkipAfterUnicode = std::clamp(parameter, 0, kMaxUnicodeSkip);
        break;
    case Action::Unicode: {
        auto unit = static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter);
        const Font* font = top.Dest == Destination::Body ? FontOf(top.Chars.Font) : nullptr;
        // Symbol faces' characters written as Unicode stand in the private
        // area from U+F020.
        if (font != nullptr && font->Symbols != SymbolFace::None && unit >= 0xF020 && unit <= 0xF0FF)
            unit = SymbolCharacter(static_cast<std::uint8_t>(unit & 0xFF), font->Symbols);
        Character(unit);
        skip_ = top.SkipAfterUnicode;
        break;
    }
    case Action::ParagraphEnd:
        if (top.Para.InTable)
            Character(u' ');
        else if (!top.Chars.Hidden || paragraphOpen_) // a hidden paragraph leaves no blank line
            EndParagraph();
        break;
    case Action::LineEnd:
        if (top.Para.InTable)
            Character(u' ');
        else
            LineBreak();
        break;
    case Action::PageBreak:
        if (!top.Para.InTable)
            PageBreak();
        break;
    case Action::Tab:
        Tab();
        break;
    case Action::RowDefaults:
        if (nestDepth_ == 0)
            cellEdges_.clear();
        break;
    case Action::CellEdge:
        if (cellEdges_.size() < kMaxTabStops && nestDepth_ == 0)
            cellEdges_.push_back(parameter);
        break;
    case Action::InTable:
        if (paragraphOpen_ && !paragraphInTable_ && top.Dest == Destination::Body)
            EndParagraph();
        top.Para.InTable = true;
        break;
    case Action::NestingLevel:
        nestDepth_ = std::max(0, parameter - 1);
        if (parameter > 0)
            top.Para.InTable = true;
        break;
    case Action::CellEnd:
    case Action::NestedCellEnd:
        if (InBody()) {
            EnsureParagraph();
            // A nested table's last row already set off what follows it.
            if (!afterNestedRow_ || action != Action::CellEnd)
                ++pendingCells_;
            afterNestedRow_ = false;
        }
        break;
    case Action::RowEnd:
        if (top.Dest == Destination::Body)
            EndParagraph();
        break;
    case Action::Character:
        Character(entry->Value);
        break;
    case Action::NestedRowEnd:
        break;
    }
    return true;
}

void Normaliser::PictureWord(std::string_view word, std::int32_t parameter)
{
    const auto found = std::lower_bound(kPictureKeywords.begin(), kPictureKeywords.end(), word,
        [](const PictureKeyword& entry, std::string_view key) { return entry.Name < key; });
    if (found == kPictureKeywords.end() || found->Name != word)
        return;
    switch (found->Field) {
    case PictureField::Kind:
        picture_.Kind = found->Name;
        break;
    case PictureField::Width:
        picture_.Width = parameter;
        break;
    case PictureField::Height:
        picture_.Height = parameter;
        break;
    case PictureField::GoalWidth:
        picture_.GoalWidth = parameter;
        break;
    case PictureField::GoalHeight:
        picture_.GoalHeight = parameter;
        break;
    case PictureField::ScaleX:
        picture_.ScaleX = parameter;
        break;
    case PictureField::ScaleY:
        picture_.ScaleY = parameter;
        break;
    }
}

void Normaliser::ControlSymbol(char symbol)
{
    switch (symbol) {
    case '~':
        Character(u'\u00A0');
        break;
    case '_':
        Character(u'\u2011');
        break;
    case '\r':
    case '\n':
        ControlWord("par", false, 0);
        break;
    case '\\':
    case '{':
    case '}':
        Character(static_cast<char16_t>(symbol));
        break;
    default: // "\-", "\|", "\:" print nothing
        break;
    }
}

std::optional<std::string> Normaliser::Run()
{
    if (in_.substr(0, 5) != "{\\rtf")
        return std::nullopt;
    while (at_ < in_.size()) {
        const char c = in_[at_++];
        if (c == '{' || c == '}') {
            skip_ = 0;
            leadByte_ = -1;
            if (c == '{') {
                if (groups_.size() >= kMaxNormaliseDepth)
                    return std::nullopt;
                Group next = groups_.empty() ? Group {} : Top();
                groups_.push_back(std::move(next));
                if (in_.compare(at_, 2, "\\*") == 0) {
                    // An optional destination: left out unless it holds
                    // pictures or styles.
                    std::size_t word = at_ + 2;
                    while (word < in_.size() && (in_[word] == ' ' || in_[word] == '\r' || in_[word] == '\n'))
                        ++word;
                    if (in_.compare(word, 3, "\\cs") != 0 && in_.compare(word, 8, "\\shppict") != 0)
                        Top().Dest = Destination::Skip;
                    if (in_.compare(word, 8, "\\shpinst") == 0)
                        Top().PicturesOnly = true;
                    at_ += 2;
                }
                continue;
            }
            if (groups_.empty())
                return std::nullopt;
            if (groups_.size() == 1 && paragraphOpen_) {
                // The document ends: its last paragraph ends whatever
                // destination its outermost group was left in.
                Top().Dest = Destination::Body;
                EndParagraph();
            }
            Group closed = std::move(groups_.back());
            groups_.pop_back();
            if (groups_.empty())
                break;
            EndGroup(closed);
            continue;
        }
        if (groups_.empty())
            return std::nullopt;
        if (c == '\\') {
            if (at_ >= in_.size())
                return std::nullopt;
            const char next = in_[at_];
            if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z')) {
                const std::size_t begin = at_;
                while (at_ < in_.size() && at_ - begin < 32
                    && ((in_[at_] >= 'a' && in_[at_] <= 'z') || (in_[at_] >= 'A' && in_[at_] <= 'Z')))
                    ++at_;
                const std::string_view word = in_.substr(begin, at_ - begin);
                const bool negative = at_ < in_.size() && in_[at_] == '-';
                if (negative)
                    ++at_;
                bool hasParameter = false;
                std::int64_t value = 0;
                for (; at_ < in_.size() && in_[at_] >= '0' && in_[at_] <= '9'; ++at_) {
                    if (value < 100000000000)
                        value = value * 10 + (in_[at_] - '0');
                    hasParameter = true;
                }
                if (negative)
                    value = -value;
                const auto parameter = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
                if (at_ < in_.size() && in_[at_] == ' ')
                    ++at_;
                if (word == "bin") {
                    if (value < 0 || static_cast<std::uint64_t>(value) > in_.size() - at_)
                        return std::nullopt;
                    if (Top().Dest == Destination::Picture)
                        picture_.Data.assign(in_.data() + at_, static_cast<std::size_t>(value));
                    at_ += static_cast<std::size_t>(value);
                    continue;
                }
                if (skip_ > 0 && word != "u") {
                    --skip_;
                    continue;
                }
                ControlWord(word, hasParameter, parameter);
                continue;
            }
            ++at_;
            if (next == '\'') {
                if (at_ + 2 > in_.size())
                    return std::nullopt;
                const int high = HexDigit(in_[at_]);
                const int low = HexDigit(in_[at_ + 1]);
                at_ += 2;
                if (high < 0 || low < 0)
                    return std::nullopt;
                if (skip_ > 0) {
                    --skip_;
                    continue;
                }
                Byte(static_cast<std::uint8_t>(high * 16 + low));
                continue;
            }
            if (skip_ > 0 && next != '\r' && next != '\n') {
                --skip_;
                continue;
            }
            ControlSymbol(next);
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;
        if (Top().Dest == Destination::Picture) {
            const int digit = HexDigit(c);
            if (digit < 0)
                continue;
            if (picture_.HexHalf < 0) {
                picture_.HexHalf = digit;
            } else {
                picture_.Data += static_cast<char>(picture_.HexHalf * 16 + digit);
                picture_.HexHalf = -1;
            }
            continue;
        }
        if (skip_ > 0) {
            --skip_;
            continue;
        }
        Byte(static_cast<std::uint8_t>(c));
    }
    if (!groups_.empty())
        return std::nullopt;
    return Writer().Rtf();
}

} // namespace

std::optional<std::string> NormaliseRtf(std::span<const std::uint8_t> rtf, std::uint16_t codePage)
{
    return Normaliser(rtf, codePage).Run();
}

} // namespace platform
