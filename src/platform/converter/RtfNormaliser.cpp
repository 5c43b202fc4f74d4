#include "RtfNormaliser.h"

#include "CharsetCodePages.h"
#include "CodePages.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

constexpr std::int32_t kDefaultHalfPoints = 24;

struct CharFormat {
    std::int32_t Font = -1; // the source's number; -1 is the default font
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

struct Font {
    std::string Name;
    std::uint16_t Charset = 0;
    bool SymbolFace = false;
};

struct Picture {
    std::string Kind; // "pngblip", "jpegblip", "dibitmap" or what the reader cannot draw
    std::vector<std::pair<std::string, std::int32_t>> Sizes;
    std::string Data;
    int HexHalf = -1;
};

// Symbol's letters and signs from 0x20 to 0xFF (0: not mapped).
constexpr std::array<char16_t, 96> kSymbolLow = {
    u' ', u'!', u'\u2200', u'#', u'\u2203', u'%', u'&', u'\u220B', u'(', u')', u'\u2217', u'+', u',', u'\u2212', u'.',
    u'/', u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9', u':', u';', u'<', u'=', u'>', u'?', u'\u2245',
    u'\u0391', u'\u0392', u'\u03A7', u'\u0394', u'\u0395', u'\u03A6', u'\u0393', u'\u0397', u'\u0399', u'\u03D1',
    u'\u039A', u'\u039B', u'\u039C', u'\u039D', u'\u039F', u'\u03A0', u'\u0398', u'\u03A1', u'\u03A3', u'\u03A4',
    u'\u03A5', u'\u03C2', u'\u03A9', u'\u039E', u'\u03A8', u'\u0396', u'[', u'\u2234', u']', u'\u22A5', u'_',
    u'\u203E', u'\u03B1', u'\u03B2', u'\u03C7', u'\u03B4', u'\u03B5', u'\u03C6', u'\u03B3', u'\u03B7', u'\u03B9',
    u'\u03D5', u'\u03BA', u'\u03BB', u'\u03BC', u'\u03BD', u'\u03BF', u'\u03C0', u'\u03B8', u'\u03C1', u'\u03C3',
    u'\u03C4', u'\u03C5', u'\u03D6', u'\u03C9', u'\u03BE', u'\u03C8', u'\u03B6', u'{', u'|', u'}', u'\u223C', 0 };

char16_t SymbolCharacter(std::uint8_t byte, std::string_view face)
{
    if (face == "Symbol") {
        if (byte >= 0x20 && byte < 0x80)
            return kSymbolLow[byte - 0x20];
        switch (byte) {
        case 0xA5: return u'\u221E';
        case 0xB0: return u'\u00B0';
        case 0xB1: return u'\u00B1';
        case 0xB4: return u'\u00D7';
        case 0xB7: return u'\u2022';
        case 0xB8: return u'\u00F7';
        case 0xB9: return u'\u2260';
        case 0xBA: return u'\u2261';
        case 0xBB: return u'\u2248';
        case 0xAE: return u'\u2192';
        case 0xAC: return u'\u2190';
        case 0xA3: return u'\u2264';
        case 0xB3: return u'\u2265';
        case 0xD6: return u'\u221A';
        case 0xE5: return u'\u2211';
        case 0xF2: return u'\u222B';
        default: return u'\u2022';
        }
    }
    // Wingdings and Webdings: list bullets and check marks; any other sign
    // prints as a bullet rather than blank.
    switch (byte) {
    case 0xA7: return u'\u25AA';
    case 0xA8: return u'\u25FB';
    case 0x6E: return u'\u25A0';
    case 0x71: return u'\u2751';
    case 0xD8: return u'\u27A2';
    case 0xFC: return u'\u2714';
    case 0xFB: return u'\u2718';
    case 0x4A: return u'\u263A';
    case 0xE0: return u'\u2192';
    default: return u'\u2022';
    }
}

bool IsSymbolFace(std::string_view face)
{
    return face == "Symbol" || face == "Wingdings" || face == "Webdings";
}

class Normaliser {
public:
    explicit Normaliser(std::span<const std::uint8_t> rtf)
        : in_(reinterpret_cast<const char*>(rtf.data()), rtf.size())
    {
    }
    std::optional<std::string> Run();

private:
    bool ControlWord(std::string_view word, bool hasParameter, std::int32_t parameter);
    void Character(char16_t ch);
    void Byte(std::uint8_t byte);
    void EndParagraph();
    void EmitFormats();
    void EndGroup(const Group& closed);
    void EndRow();
    std::int32_t FontIndex(std::int32_t source);
    Group& Top() { return groups_.back(); }

    std::string_view in_;
    std::size_t at_ = 0;
    std::vector<Group> groups_;
    std::uint16_t codePage_ = 1252;
    std::int32_t defaultFont_ = 0;
    std::unordered_map<std::int32_t, std::int32_t> fontIndex_;
    std::vector<Font> fonts_;
    std::int32_t pendingFont_ = 0;
    std::string pendingName_;
    std::uint16_t pendingCharset_ = 0;
    std::string colors_;
    std::int32_t colorCount_ = 0;
    std::unordered_map<std::int32_t, std::pair<CharFormat, ParaFormat>> styles_;
    std::int32_t pendingStyle_ = 0;
    Picture picture_;
    std::vector<std::int32_t> cellEdges_;
    std::int32_t skip_ = 0; // fallback characters still to skip after \u
    std::string body_;
    bool paragraphOpen_ = false;
    bool symbolFontNeeded_ = false;
    CharFormat written_;
    bool writtenValid_ = false;
    ParaFormat paraWritten_;
    int nestDepth_ = 0;
};

std::int32_t Normaliser::FontIndex(std::int32_t source)
{
    const auto found = fontIndex_.find(source);
    if (found != fontIndex_.end())
        return found->second;
    const auto deflt = fontIndex_.find(defaultFont_);
    return deflt != fontIndex_.end() ? deflt->second : 0;
}

void Normaliser::EmitFormats()
{
    const ParaFormat& para = Top().Para;
    if (!paragraphOpen_) {
        body_ += "\\pard";
        body_ += '\\';
        body_ += 'q';
        body_ += para.Align;
        if (para.Left)
            body_ += "\\li" + std::to_string(para.Left);
        if (para.Right)
            body_ += "\\ri" + std::to_string(para.Right);
        if (para.First)
            body_ += "\\fi" + std::to_string(para.First);
        const std::vector<std::int32_t>& tabs = para.InTable ? cellEdges_ : para.Tabs;
        for (std::size_t i = 0; i < tabs.size(); ++i)
            if (!para.InTable || i + 1 < tabs.size())
                body_ += "\\tx" + std::to_string(tabs[i]);
        body_ += ' ';
        paragraphOpen_ = true;
        writtenValid_ = false;
    }
    const CharFormat& chars = Top().Chars;
    if (writtenValid_ && chars == written_)
        return;
    body_ += "\\plain\\f" + std::to_string(FontIndex(chars.Font)) + "\\fs" + std::to_string(chars.HalfPoints);
    if (chars.Bold)
        body_ += "\\b";
    if (chars.Italic)
        body_ += "\\i";
    if (chars.Underline)
        body_ += "\\ul";
    if (chars.Strike)
        body_ += "\\strike";
    if (chars.Color > 0 && chars.Color < colorCount_)
        body_ += "\\cf" + std::to_string(chars.Color);
    if (chars.Background > 0 && chars.Background < colorCount_)
        body_ += "\\cb" + std::to_string(chars.Background);
    body_ += ' ';
    written_ = chars;
    writtenValid_ = true;
}

void Normaliser::Character(char16_t ch)
{
    if (skip_ > 0) {
        --skip_;
        return;
    }
    Group& top = Top();
    if (top.Dest == Destination::FontEntry || top.Dest == Destination::FontTable) {
        if (ch == u';') {
            if (fonts_.size() < kMaxNormaliseFonts && !fontIndex_.contains(pendingFont_)) {
                fontIndex_[pendingFont_] = static_cast<std::int32_t>(fonts_.size());
                fonts_.push_back({ pendingName_, pendingCharset_, IsSymbolFace(pendingName_) });
            }
            pendingName_.clear();
        } else if (ch >= 0x20 && ch < 0x7F && ch != u'\\' && ch != u'{' && ch != u'}' && pendingName_.size() < 64
            && !(pendingName_.empty() && ch == u' ')) {
            pendingName_ += static_cast<char>(ch);
        }
        return;
    }
    if (top.Dest == Destination::ColorTable) {
        if (ch == u';') {
            colors_ += ';';
            ++colorCount_;
        }
        return;
    }
    if (top.Dest == Destination::StyleEntry) {
        if (ch == u';')
            styles_[pendingStyle_] = { top.Chars, top.Para };
        return;
    }
    if (top.Dest != Destination::Body || top.Chars.Hidden)
        return;
    if (ch == u'\n' || ch == u'\r')
        return;
    EmitFormats();
    switch (ch) {
    case u'\\':
    case u'{':
    case u'}':
        body_ += '\\';
        body_ += static_cast<char>(ch);
        return;
    case u'\t':
        body_ += "\\tab ";
        return;
    default:
        break;
    }
    if (ch >= 0x20 && ch < 0x80) {
        body_ += static_cast<char>(ch);
        return;
    }
    if (ch < 0x20)
        return;
    body_ += "\\u" + std::to_string(static_cast<std::int16_t>(ch)) + "\\'3f";
}

void Normaliser::Byte(std::uint8_t byte)
{
    if (skip_ > 0) {
        --skip_;
        return;
    }
    Group& top = Top();
    if (top.Dest == Destination::Picture) {
        return;
    }
    const auto index = static_cast<std::size_t>(FontIndex(top.Chars.Font));
    const bool symbol = top.Dest == Destination::Body && index < fonts_.size() && fonts_[index].SymbolFace;
    if (byte < 0x80 && (!symbol || byte < 0x21)) {
        Character(byte);
        return;
    }
    if (symbol) {
        Character(SymbolCharacter(byte, fonts_[index].Name));
        return;
    }
    std::uint16_t codePage = codePage_;
    if (index < fonts_.size())
        if (auto fromCharset = CodePageOfCharset(fonts_[index].Charset); fromCharset && IsValidCodePage(*fromCharset))
            codePage = *fromCharset;
    const char c = static_cast<char>(byte);
    char16_t unit = 0;
    if (MultiByteToWideChar(codePage, 0, &c, 1, &unit, 1) != 1
        && MultiByteToWideChar(1252, 0, &c, 1, &unit, 1) != 1)
        unit = u'?';
    Character(unit);
}

void Normaliser::EndParagraph()
{
    if (Top().Dest != Destination::Body)
        return;
    if (!paragraphOpen_)
        EmitFormats();
    body_ += "\\par\n";
    paragraphOpen_ = false;
}

void Normaliser::EndRow()
{
    while (body_.size() >= 5 && body_.compare(body_.size() - 5, 5, "\\tab ") == 0)
        body_.resize(body_.size() - 5);
    EndParagraph();
}

void Normaliser::EndGroup(const Group& closed)
{
    if (closed.Dest == Destination::FontEntry && !pendingName_.empty())
        Character(u';');
    if (closed.Dest == Destination::Picture && groups_.back().Dest == Destination::Body && !Top().Chars.Hidden) {
        const bool drawable
            = picture_.Kind == "pngblip" || picture_.Kind == "jpegblip" || picture_.Kind == "dibitmap";
        if (drawable && !picture_.Data.empty()) {
            EmitFormats();
            body_ += "{\\pict\\" + picture_.Kind;
            for (const auto& [word, value] : picture_.Sizes)
                body_ += "\\" + word + std::to_string(value);
            body_ += "\\bin" + std::to_string(picture_.Data.size()) + ' ';
            body_ += picture_.Data;
            body_ += "}";
        }
        picture_ = {};
    }
}

// Destinations whose text does not print; "\*" destinations are left out too.
bool IsSkippedDestination(std::string_view word)
{
    static constexpr std::array<std::string_view, 24> kSkipped = { "info", "header", "headerl", "headerr",
        "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "pn", "filetbl", "fldinst", "xe", "tc",
        "nonesttables", "object", "objdata", "nonshppict", "annotation", "atnid", "atnauthor", "revtbl",
        "themedata" };
    return std::find(kSkipped.begin(), kSkipped.end(), word) != kSkipped.end();
}

bool Normaliser::ControlWord(std::string_view word, bool hasParameter, std::int32_t parameter)
{
    Group& top = Top();
    const bool on = !hasParameter || parameter != 0;
    if (top.Dest == Destination::Skip)
        return true;
    if (top.Dest == Destination::Picture) {
        if (word == "pngblip" || word == "jpegblip" || word == "dibitmap" || word == "wmetafile"
            || word == "emfblip" || word == "macpict" || word == "wbitmap")
            picture_.Kind = word;
        else if (word == "picw" || word == "pich" || word == "picwgoal" || word == "pichgoal"
            || word == "picscalex" || word == "picscaley" || word == "wbmbitspixel" || word == "wbmplanes"
            || word == "wbmwidthbytes")
            picture_.Sizes.emplace_back(std::string(word), parameter);
        return true;
    }
    // A skipped character after \u counts a whole control word.
    if (skip_ > 0 && word != "u") {
        --skip_;
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
    } else if (IsSkippedDestination(word)) {
        top.Dest = Destination::Skip;
    } else if (word == "f") {
        if (top.Dest == Destination::FontTable || top.Dest == Destination::FontEntry) {
            top.Dest = Destination::FontEntry;
            pendingFont_ = parameter;
            pendingName_.clear();
            pendingCharset_ = 0;
        } else {
            top.Chars.Font = parameter;
        }
    } else if (word == "fcharset") {
        pendingCharset_ = static_cast<std::uint16_t>(std::clamp(parameter, 0, 255));
    } else if (word == "deff") {
        defaultFont_ = parameter;
    } else if (word == "ansicpg") {
        if (IsValidCodePage(static_cast<UINT>(parameter)))
            codePage_ = static_cast<std::uint16_t>(parameter);
    } else if (word == "red" || word == "green" || word == "blue") {
        if (top.Dest == Destination::ColorTable)
            colors_ += "\\" + std::string(word) + std::to_string(std::clamp(parameter, 0, 255));
    } else if (word == "s" || word == "cs" || word == "ds" || word == "ts") {
        if (top.Dest == Destination::Stylesheet || top.Dest == Destination::StyleEntry) {
            top.Dest = Destination::StyleEntry;
            pendingStyle_ = (word == "cs" ? 1 << 20 : 0) + parameter;
        } else if (const auto found = styles_.find((word == "cs" ? 1 << 20 : 0) + parameter); found != styles_.end()) {
            const bool inTable = top.Para.InTable;
            top.Chars = found->second.first;
            if (word == "s") {
                top.Para = found->second.second;
                top.Para.InTable = inTable;
            }
        }
    } else if (word == "plain") {
        top.Chars = CharFormat {};
        if (top.Dest == Destination::StyleEntry)
            return true;
    } else if (word == "pard") {
        top.Para = ParaFormat {};
    } else if (word == "fs") {
        top.Chars.HalfPoints = hasParameter && parameter > 0 ? std::min(parameter, 3276) : kDefaultHalfPoints;
    } else if (word == "b") {
        top.Chars.Bold = on;
    } else if (word == "i") {
        top.Chars.Italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "ulth" || word == "uldash"
        || word == "ulwave" || word == "uldashd") {
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
        if (top.Para.Tabs.size() < 64)
            top.Para.Tabs.push_back(parameter);
    } else if (word == "uc") {
        top.SkipAfterUnicode = std::clamp(parameter, 0, 16);
    } else if (word == "u") {
        Character(static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter));
        skip_ = top.SkipAfterUnicode;
    } else if (word == "par" || word == "sect" || word == "line" || word == "column") {
        if (top.Para.InTable)
            Character(u' ');
        else
            EndParagraph();
    } else if (word == "page") {
        if (paragraphOpen_)
            EndParagraph();
        if (top.Dest == Destination::Body)
            body_ += "\\page\n";
    } else if (word == "tab") {
        Character(u'\t');
    } else if (word == "trowd") {
        cellEdges_.clear();
    } else if (word == "cellx") {
        if (cellEdges_.size() < 64 && nestDepth_ == 0)
            cellEdges_.push_back(parameter);
    } else if (word == "intbl") {
        if (top.Para.InTable != true && paragraphOpen_)
            EndParagraph();
        top.Para.InTable = true;
    } else if (word == "itap") {
        nestDepth_ = std::max(0, parameter - 1);
        if (parameter > 0)
            top.Para.InTable = true;
    } else if (word == "cell" || word == "nestcell") {
        Character(u'\t');
    } else if (word == "nestrow") {
        Character(u'\t');
    } else if (word == "row") {
        EndRow();
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
    }
    return true;
}

std::optional<std::string> Normaliser::Run()
{
    if (in_.substr(0, 5) != "{\\rtf")
        return std::nullopt;
    bool started = false;
    while (at_ < in_.size()) {
        const char c = in_[at_++];
        if (c == '{') {
            if (groups_.size() >= kMaxNormaliseDepth)
                return std::nullopt;
            Group next = groups_.empty() ? Group {} : Top();
            if (next.Dest == Destination::FontTable || next.Dest == Destination::Stylesheet)
                next.Dest = next.Dest == Destination::FontTable ? Destination::FontTable : Destination::Stylesheet;
            groups_.push_back(std::move(next));
            started = true;
            if (at_ + 1 < in_.size() && in_[at_] == '\\' && in_[at_ + 1] == '*') {
                // An optional destination: left out unless it is one the
                // converter reads.
                std::size_t word = at_ + 2;
                while (word < in_.size() && (in_[word] == ' ' || in_[word] == '\r' || in_[word] == '\n'))
                    ++word;
                if (in_.compare(word, 3, "\\cs") != 0 && in_.compare(word, 4, "\\shp") != 0)
                    Top().Dest = Destination::Skip;
                at_ += 2;
            }
            continue;
        }
        if (c == '}') {
            if (groups_.empty())
                return std::nullopt;
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
                std::size_t begin = at_;
                while (at_ < in_.size() && at_ - begin < 32
                    && ((in_[at_] >= 'a' && in_[at_] <= 'z') || (in_[at_] >= 'A' && in_[at_] <= 'Z')))
                    ++at_;
                const std::string_view word = in_.substr(begin, at_ - begin);
                bool negative = false;
                bool hasParameter = false;
                std::int64_t value = 0;
                if (at_ < in_.size() && in_[at_] == '-') {
                    negative = true;
                    ++at_;
                }
                while (at_ < in_.size() && in_[at_] >= '0' && in_[at_] <= '9') {
                    if (value < 100000000000)
                        value = value * 10 + (in_[at_] - '0');
                    hasParameter = true;
                    ++at_;
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
                ControlWord(word, hasParameter, parameter);
                continue;
            }
            ++at_;
            switch (next) {
            case '\'': {
                if (at_ + 2 > in_.size())
                    return std::nullopt;
                auto hex = [](char h) {
                    return h >= '0' && h <= '9' ? h - '0'
                        : h >= 'a' && h <= 'f'  ? h - 'a' + 10
                        : h >= 'A' && h <= 'F'  ? h - 'A' + 10
                                                : -1;
                };
                const int high = hex(in_[at_]);
                const int low = hex(in_[at_ + 1]);
                at_ += 2;
                if (high < 0 || low < 0)
                    return std::nullopt;
                Byte(static_cast<std::uint8_t>(high * 16 + low));
                break;
            }
            case '~':
                Character(u'\u00A0');
                break;
            case '_':
                Character(u'\u2011');
                break;
            case '-':
                if (skip_ > 0)
                    --skip_;
                break;
            case '\r':
            case '\n':
                ControlWord("par", false, 0);
                break;
            case '\\':
            case '{':
            case '}':
                Character(static_cast<char16_t>(next));
                break;
            case '*':
                break;
            default:
                if (skip_ > 0)
                    --skip_;
                break;
            }
            continue;
        }
        if (Top().Dest == Destination::Picture) {
            const int digit = c >= '0' && c <= '9' ? c - '0'
                : c >= 'a' && c <= 'f'             ? c - 'a' + 10
                : c >= 'A' && c <= 'F'             ? c - 'A' + 10
                                                   : -1;
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
        if (c == '\r' || c == '\n')
            continue;
        Byte(static_cast<std::uint8_t>(c));
    }
    if (!started || !groups_.empty())
        return std::nullopt;
    if (paragraphOpen_)
        EndParagraph();

    std::string out = "{\\rtf1\\ansi\\ansicpg" + std::to_string(codePage_) + "\\deff0{\\fonttbl";
    if (fonts_.empty())
        fonts_.push_back({ "Liberation Serif", 0, false });
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        const Font& font = fonts_[i];
        // Symbol faces' characters went out as Unicode, which a text face holds.
        const std::string name = font.SymbolFace ? "DejaVu Sans" : font.Name.empty() ? "Liberation Serif" : font.Name;
        const std::uint16_t charset = font.SymbolFace ? 0 : font.Charset;
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(charset) + ' ' + name + ";}";
    }
    out += '}';
    if (colorCount_ > 0)
        out += "{\\colortbl" + colors_ + '}';
    out += "\n\\plain\\f0\\fs24\n";
    out += body_;
    out += "}\n";
    return out;
}

} // namespace

std::optional<std::string> NormaliseRtf(std::span<const std::uint8_t> rtf)
{
    return Normaliser(rtf).Run();
}

} // namespace platform
