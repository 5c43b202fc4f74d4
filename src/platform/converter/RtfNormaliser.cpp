#include "RtfNormaliser.h"

#include "CharsetCodePages.h"
#include "CodePages.h"
#include "RtfDocumentWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

constexpr std::int32_t kDefaultHalfPoints = 24;
constexpr std::int32_t kLargestHalfPoints = 3276;
constexpr std::size_t kMaxTabStops = 64;
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
};

enum class SymbolFace { None, Symbol, Dingbats };

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

// Symbol's letters and signs from 0x20 to 0x7F (0: not mapped).
constexpr std::array<char16_t, 96> kSymbolLow = { u' ', u'!', u'\u2200', u'#', u'\u2203', u'%', u'&', u'\u220B',
    u'(', u')', u'\u2217', u'+', u',', u'\u2212', u'.', u'/', u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8',
    u'9', u':', u';', u'<', u'=', u'>', u'?', u'\u2245', u'\u0391', u'\u0392', u'\u03A7', u'\u0394', u'\u0395',
    u'\u03A6', u'\u0393', u'\u0397', u'\u0399', u'\u03D1', u'\u039A', u'\u039B', u'\u039C', u'\u039D', u'\u039F',
    u'\u03A0', u'\u0398', u'\u03A1', u'\u03A3', u'\u03A4', u'\u03A5', u'\u03C2', u'\u03A9', u'\u039E', u'\u03A8',
    u'\u0396', u'[', u'\u2234', u']', u'\u22A5', u'_', u'\u203E', u'\u03B1', u'\u03B2', u'\u03C7', u'\u03B4',
    u'\u03B5', u'\u03C6', u'\u03B3', u'\u03B7', u'\u03B9', u'\u03D5', u'\u03BA', u'\u03BB', u'\u03BC', u'\u03BD',
    u'\u03BF', u'\u03C0', u'\u03B8', u'\u03C1', u'\u03C3', u'\u03C4', u'\u03C5', u'\u03D6', u'\u03C9', u'\u03BE',
    u'\u03C8', u'\u03B6', u'{', u'|', u'}', u'\u223C', 0 };

// A character of a symbol face as Unicode; signs without an equivalent
// here print as a bullet rather than blank.
char16_t SymbolCharacter(std::uint8_t code, SymbolFace face)
{
    if (face == SymbolFace::Symbol) {
        if (code >= 0x20 && code < 0x7F)
            return kSymbolLow[code - 0x20];
        switch (code) {
        case 0xA3: return u'\u2264';
        case 0xA5: return u'\u221E';
        case 0xAB: return u'\u2194';
        case 0xAC: return u'\u2190';
        case 0xAD: return u'\u2191';
        case 0xAE: return u'\u2192';
        case 0xAF: return u'\u2193';
        case 0xB0: return u'\u00B0';
        case 0xB1: return u'\u00B1';
        case 0xB3: return u'\u2265';
        case 0xB4: return u'\u00D7';
        case 0xB5: return u'\u221D';
        case 0xB6: return u'\u2202';
        case 0xB7: return u'\u2022';
        case 0xB8: return u'\u00F7';
        case 0xB9: return u'\u2260';
        case 0xBA: return u'\u2261';
        case 0xBB: return u'\u2248';
        case 0xC5: return u'\u2295';
        case 0xC6: return u'\u2205';
        case 0xC7: return u'\u2229';
        case 0xC8: return u'\u222A';
        case 0xCE: return u'\u2208';
        case 0xD1: return u'\u2207';
        case 0xD3: return u'\u00A9';
        case 0xD4: return u'\u2122';
        case 0xD5: return u'\u220F';
        case 0xD6: return u'\u221A';
        case 0xD7: return u'\u22C5';
        case 0xD8: return u'\u00AC';
        case 0xD9: return u'\u2227';
        case 0xDA: return u'\u2228';
        case 0xDE: return u'\u21D2';
        case 0xE5: return u'\u2211';
        case 0xF2: return u'\u222B';
        default: return u'\u2022';
        }
    }
    switch (code) {
    case 0x4A: return u'\u263A';
    case 0x6C: return u'\u25CF';
    case 0x6E: return u'\u25A0';
    case 0x6F: return u'\u25A1';
    case 0x71: return u'\u2751';
    case 0x76: return u'\u2756';
    case 0xA7: return u'\u25AA';
    case 0xA8: return u'\u25FB';
    case 0xD8: return u'\u27A2';
    case 0xE0: return u'\u2192';
    case 0xE8: return u'\u2794';
    case 0xFB: return u'\u2718';
    case 0xFC: return u'\u2714';
    case 0xFE: return u'\u2611';
    default: return u'\u2022';
    }
}

SymbolFace SymbolFaceOf(std::string_view face)
{
    if (face == "Symbol")
        return SymbolFace::Symbol;
    if (face == "Wingdings" || face == "Wingdings 2" || face == "Wingdings 3" || face == "Webdings")
        return SymbolFace::Dingbats;
    return SymbolFace::None;
}

// Destinations whose text does not print; "\*" destinations are left out too.
bool IsSkippedDestination(std::string_view word)
{
    static constexpr std::array<std::string_view, 31> kSkipped = { "info", "header", "headerl", "headerr",
        "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "pn", "filetbl", "fldinst", "xe", "tc",
        "nonesttables", "object", "objdata", "nonshppict", "annotation", "atnid", "atnauthor", "revtbl",
        "themedata", "comment", "author", "title", "subject", "keywords", "operator", "doccomm" };
    return std::find(kSkipped.begin(), kSkipped.end(), word) != kSkipped.end();
}

int HexDigit(char h)
{
    return h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10 : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
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

std::uint32_t BigEndian32(std::string_view data, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<std::uint8_t>(data[at + i]);
    return value;
}

std::int32_t LittleEndian32(std::string_view data, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | static_cast<std::uint8_t>(data[at + i]);
    return static_cast<std::int32_t>(value);
}

// The pixel size the picture's own header gives, when the data is of a
// kind the printing library draws; nothing for data it cannot draw.
std::optional<std::pair<std::int32_t, std::int32_t>> DrawablePixels(std::string_view mime, std::string_view data)
{
    if (mime == "image/png") {
        if (data.size() < 24 || data.substr(0, 8) != "\x89PNG\r\n\x1a\n")
            return std::nullopt;
        return std::pair { static_cast<std::int32_t>(BigEndian32(data, 16) & 0x7FFFFFFF),
            static_cast<std::int32_t>(BigEndian32(data, 20) & 0x7FFFFFFF) };
    }
    if (mime == "image/jpeg") {
        if (data.size() < 4 || data.substr(0, 2) != "\xFF\xD8")
            return std::nullopt;
        for (std::size_t at = 2; at + 9 <= data.size();) {
            if (static_cast<std::uint8_t>(data[at]) != 0xFF)
                return std::nullopt;
            const auto marker = static_cast<std::uint8_t>(data[at + 1]);
            const std::size_t length
                = static_cast<std::uint8_t>(data[at + 2]) << 8 | static_cast<std::uint8_t>(data[at + 3]);
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                const auto height = static_cast<std::uint8_t>(data[at + 5]) << 8 | static_cast<std::uint8_t>(data[at + 6]);
                const auto width = static_cast<std::uint8_t>(data[at + 7]) << 8 | static_cast<std::uint8_t>(data[at + 8]);
                return std::pair { width, height };
            }
            at += 2 + length;
        }
        return std::pair { 0, 0 };
    }
    const std::size_t start = data.substr(0, 2) == "BM" ? 14 : 0;
    if (data.size() < start + 40 || LittleEndian32(data, start) < 40)
        return std::nullopt;
    const std::int32_t height = LittleEndian32(data, start + 8);
    return std::pair { LittleEndian32(data, start + 4), height == INT32_MIN ? 0 : std::abs(height) };
}

// A device-independent bitmap of a frame: what prints for a picture no
// library here can draw, at the picture's size.
std::string FramePlaceholder(std::int32_t widthTwips, std::int32_t heightTwips)
{
    constexpr std::int32_t kFrame = 2;
    const std::int32_t width = std::clamp(widthTwips / kTwipsPerScreenPixel, 8, 512);
    const std::int32_t height = std::clamp(heightTwips / kTwipsPerScreenPixel, 8, 512);
    const std::int32_t stride = (width + 31) / 32 * 4;
    std::string dib;
    auto put32 = [&dib](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            dib += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    auto put16 = [&dib](std::uint16_t value) {
        dib += static_cast<char>(value & 0xFF);
        dib += static_cast<char>(value >> 8);
    };
    put32(40);
    put32(static_cast<std::uint32_t>(width));
    put32(static_cast<std::uint32_t>(height));
    put16(1);
    put16(1);
    for (int i = 0; i < 6; ++i)
        put32(i == 4 ? 2 : 0); // compression, size, resolutions, 2 colours, important
    put32(0x00FFFFFF); // white
    put32(0x00808080); // grey
    for (std::int32_t y = 0; y < height; ++y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (std::int32_t x = 0; x < width; ++x) {
            if (y < kFrame || y >= height - kFrame || x < kFrame || x >= width - kFrame)
                row[static_cast<std::size_t>(x / 8)] = static_cast<char>(row[static_cast<std::size_t>(x / 8)] | (0x80 >> (x % 8)));
        }
        dib += row;
    }
    return dib;
}

class Normaliser {
public:
    Normaliser(std::span<const std::uint8_t> rtf, std::uint16_t codePage)
        : in_(reinterpret_cast<const char*>(rtf.data()), rtf.size())
        , codePage_(IsValidCodePage(codePage) ? codePage : 1252)
    {
    }
    std::optional<std::string> Run();

private:
    RtfDocumentWriter& Writer();
    Group& Top() { return groups_.back(); }
    bool InBody() const { return groups_.back().Dest == Destination::Body && !groups_.back().Chars.Hidden; }
    bool Token();
    bool ControlWord(std::string_view word, bool hasParameter, std::int32_t parameter);
    void ControlSymbol(char symbol);
    void Byte(std::uint8_t byte);
    void Character(char16_t ch);
    void Tab();
    void LineBreak();
    void EndParagraph();
    void PageBreak();
    void EmitPendingCells();
    void EnsureParagraph();
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
        font.Written = { pendingName_, pendingCharset_ == kSymbolCharset ? 0 : pendingCharset_, pendingFamily_,
            pendingPitch_ };
    if (const auto codePage = CodePageOfCharset(static_cast<std::uint16_t>(pendingCharset_));
        codePage && IsValidCodePage(*codePage))
        font.CodePage = *codePage;
    font.Index = Writer().DeclareFont(font.Written);
    fonts_.emplace(pendingFont_, std::move(font));
    cacheValid_ = false;
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
    librevenge::RVNGPropertyList props;
    static constexpr std::pair<char, const char*> kAlign[] = { { 'l', "left" }, { 'c', "center" }, { 'r', "end" },
        { 'j', "justify" } };
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
    if (pageBreak_)
        props.insert("fo:break-before", "page");
    Writer().openParagraph(props);
    paragraphOpen_ = true;
    paragraphInTable_ = table;
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
        if (index <= 0 || static_cast<std::size_t>(index) >= colors_.size() || !colors_[static_cast<std::size_t>(index)])
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
            colors_.push_back(colorGiven_ ? std::optional<std::uint32_t>(red_ << 16 | green_ << 8 | blue_) : std::nullopt);
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
        && (count == 2 || MultiByteToWideChar(1252, 0, bytes, 1, &unit, 1) != 1))
        unit = u'?';
    Character(unit);
}

void Normaliser::EndPicture()
{
    Picture picture = std::move(picture_);
    picture_ = {};
    if (!InBody())
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
    const bool on = !hasParameter || parameter != 0;
    if (word == "nestrow") {
        // Ends a row of a nested table, in the properties the converter
        // leaves out: what follows in the cell is set off by a tab.
        pendingCells_ = 1;
        afterNestedRow_ = true;
        return true;
    }
    if (top.Dest == Destination::Skip)
        return true;
    if (top.Dest == Destination::Picture) {
        static constexpr std::string_view kKinds[]
            = { "pngblip", "jpegblip", "dibitmap", "wmetafile", "emfblip", "macpict", "wbitmap" };
        if (std::find(std::begin(kKinds), std::end(kKinds), word) != std::end(kKinds))
            picture_.Kind = word;
        else if (word == "picw")
            picture_.Width = parameter;
        else if (word == "pich")
            picture_.Height = parameter;
        else if (word == "picwgoal")
            picture_.GoalWidth = parameter;
        else if (word == "pichgoal")
            picture_.GoalHeight = parameter;
        else if (word == "picscalex")
            picture_.ScaleX = parameter;
        else if (word == "picscaley")
            picture_.ScaleY = parameter;
        return true;
    }
    if (word == "fonttbl") {
        top.Dest = Destination::FontTable;
    } else if (word == "colortbl") {
        top.Dest = Destination::ColorTable;
    } else if (word == "stylesheet") {
        top.Dest = Destination::Stylesheet;
    } else if (word == "pict") {
        top.Dest = Destination::Picture;
        picture_ = {};
    } else if (word == "f") {
        if (top.Dest == Destination::FontTable || top.Dest == Destination::FontEntry) {
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
    } else if (word == "fcharset") {
        pendingCharset_ = std::clamp(parameter, 0, 255);
    } else if (word == "fprq") {
        pendingPitch_ = std::clamp(parameter, 0, 2);
    } else if (word.size() >= 4 && word[0] == 'f'
        && (word == "fnil" || word == "froman" || word == "fswiss" || word == "fmodern" || word == "fscript"
            || word == "fdecor" || word == "ftech" || word == "fbidi")) {
        pendingFamily_ = word;
    } else if (word == "deff") {
        defaultFont_ = parameter;
        cacheValid_ = false;
    } else if (word == "ansicpg") {
        if (IsValidCodePage(static_cast<UINT>(parameter)))
            codePage_ = static_cast<std::uint16_t>(parameter);
    } else if (word == "red" || word == "green" || word == "blue") {
        if (top.Dest == Destination::ColorTable) {
            (word == "red" ? red_ : word == "green" ? green_ : blue_) = std::clamp(parameter, 0, 255);
            colorGiven_ = true;
        }
    } else if (word == "s" || word == "cs" || word == "ds" || word == "ts") {
        const std::int32_t key = (word == "s" ? 0 : 1 << 20) + parameter;
        if (top.Dest == Destination::Stylesheet || top.Dest == Destination::StyleEntry) {
            top.Dest = Destination::StyleEntry;
            pendingStyle_ = key;
        } else if (const auto found = styles_.find(key); found != styles_.end() && word != "ds" && word != "ts") {
            const bool inTable = top.Para.InTable;
            top.Chars = found->second.first;
            if (word == "s") {
                top.Para = found->second.second;
                top.Para.InTable = inTable;
            }
        }
    } else if (word == "plain") {
        top.Chars = CharFormat {};
    } else if (word == "pard") {
        top.Para = ParaFormat {};
    } else if (word == "fs") {
        top.Chars.HalfPoints = hasParameter && parameter > 0 ? std::min(parameter, kLargestHalfPoints) : kDefaultHalfPoints;
    } else if (word == "b") {
        top.Chars.Bold = on;
    } else if (word == "i") {
        top.Chars.Italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "ulth" || word == "uldash"
        || word == "ulwave" || word == "uldashd" || word == "uldashdd" || word == "ulhwave" || word == "ulldash") {
        top.Chars.Underline = on;
    } else if (word == "ulnone") {
        top.Chars.Underline = false;
    } else if (word == "strike" || word == "striked") {
        top.Chars.Strike = on;
    } else if (word == "v") {
        top.Chars.Hidden = on;
    } else if (word == "cf") {
        top.Chars.Color = parameter;
    } else if (word == "cb" || word == "highlight" || word == "chcbpat") {
        top.Chars.Background = parameter;
    } else if (word == "ql" || word == "qc" || word == "qr" || word == "qj") {
        top.Para.Align = word[1];
    } else if (word == "li" || word == "lin") {
        top.Para.Left = parameter;
    } else if (word == "ri" || word == "rin") {
        top.Para.Right = parameter;
    } else if (word == "fi") {
        top.Para.First = parameter;
    } else if (word == "tx" || word == "tb") {
        if (top.Para.Tabs.size() < kMaxTabStops)
            top.Para.Tabs.push_back(parameter);
    } else if (word == "uc") {
        top.SkipAfterUnicode = std::clamp(parameter, 0, 16);
    } else if (word == "u") {
        auto unit = static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter);
        const Font* font = top.Dest == Destination::Body ? FontOf(top.Chars.Font) : nullptr;
        if (font != nullptr && font->Symbols != SymbolFace::None && unit >= 0xF020 && unit <= 0xF0FF)
            unit = SymbolCharacter(static_cast<std::uint8_t>(unit & 0xFF), font->Symbols);
        Character(unit);
        skip_ = top.SkipAfterUnicode;
    } else if (word == "par" || word == "sect") {
        if (top.Para.InTable)
            Character(u' ');
        else if (!top.Chars.Hidden || paragraphOpen_) // a hidden paragraph leaves no blank line
            EndParagraph();
    } else if (word == "line" || word == "column") {
        if (top.Para.InTable)
            Character(u' ');
        else
            LineBreak();
    } else if (word == "page") {
        if (!top.Para.InTable)
            PageBreak();
    } else if (word == "tab") {
        Tab();
    } else if (word == "trowd") {
        if (nestDepth_ == 0)
            cellEdges_.clear();
    } else if (word == "cellx") {
        if (cellEdges_.size() < kMaxTabStops && nestDepth_ == 0)
            cellEdges_.push_back(parameter);
    } else if (word == "intbl") {
        if (paragraphOpen_ && !paragraphInTable_ && top.Dest == Destination::Body)
            EndParagraph();
        top.Para.InTable = true;
    } else if (word == "itap") {
        nestDepth_ = std::max(0, parameter - 1);
        if (parameter > 0)
            top.Para.InTable = true;
    } else if (word == "cell" || word == "nestcell") {
        if (InBody()) {
            EnsureParagraph();
            // A nested table's last row already set off what follows it.
            if (!afterNestedRow_ || word != "cell")
                ++pendingCells_;
            afterNestedRow_ = false;
        }
    } else if (word == "row") {
        if (top.Dest == Destination::Body)
            EndParagraph();
    } else if (word == "rquote") {
        Character(u'\u2019');
    } else if (word == "lquote") {
        Character(u'\u2018');
    } else if (word == "ldblquote") {
        Character(u'\u201C');
    } else if (word == "rdblquote") {
        Character(u'\u201D');
    } else if (word == "emdash") {
        Character(u'\u2014');
    } else if (word == "endash") {
        Character(u'\u2013');
    } else if (word == "bullet") {
        Character(u'\u2022');
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
        Character(u' ');
    } else if (IsSkippedDestination(word)) {
        top.Dest = Destination::Skip;
    }
    return true;
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
