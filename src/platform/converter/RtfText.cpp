#include "RtfText.h"

#include "CharsetCodePages.h"
#include "CodePages.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>
#include <vector>

namespace platform {
namespace {

constexpr std::size_t kMaxKeywordLength = 31;
constexpr int kMaxParameterDigits = 10;
constexpr std::int32_t kDefaultUnicodeSkip = 1;
// A \uc larger than this is taken as this: no real fallback is longer.
constexpr std::int32_t kMaxUnicodeSkip = 16;

enum class Action : std::uint8_t {
    Text, // gives the row's character
    ParagraphEnd,
    Skip, // the group is a destination whose text is left out
    FontTable,
    Unicode,
    UnicodeSkip,
    CodePage,
    DefaultFont,
    Font,
    Charset,
    Plain,
    Binary,
    Hex,
    Star,
};

struct Keyword {
    std::string_view Name;
    Action Kind;
    char16_t Character = 0;
};

// Sorted by name in byte order (checked below): looked up by binary search.
constexpr std::array kKeywords = {
    Keyword { "\n", Action::ParagraphEnd },
    Keyword { "\r", Action::ParagraphEnd },
    Keyword { "'", Action::Hex },
    Keyword { "*", Action::Star },
    Keyword { "-", Action::Text, 0 },
    Keyword { "\\", Action::Text, u'\\' },
    Keyword { "_", Action::Text, u'-' },
    Keyword { "ansicpg", Action::CodePage },
    Keyword { "author", Action::Skip },
    Keyword { "bin", Action::Binary },
    Keyword { "bullet", Action::Text, u'\u2022' },
    Keyword { "buptim", Action::Skip },
    Keyword { "cell", Action::Text, u'\t' },
    Keyword { "colortbl", Action::Skip },
    Keyword { "comment", Action::Skip },
    Keyword { "creatim", Action::Skip },
    Keyword { "deff", Action::DefaultFont },
    Keyword { "doccomm", Action::Skip },
    Keyword { "emdash", Action::Text, u'\u2014' },
    Keyword { "emspace", Action::Text, u'\u2003' },
    Keyword { "endash", Action::Text, u'\u2013' },
    Keyword { "enspace", Action::Text, u'\u2002' },
    Keyword { "f", Action::Font },
    Keyword { "fcharset", Action::Charset },
    Keyword { "fonttbl", Action::FontTable },
    Keyword { "footer", Action::Skip },
    Keyword { "footerf", Action::Skip },
    Keyword { "footerl", Action::Skip },
    Keyword { "footerr", Action::Skip },
    Keyword { "footnote", Action::Skip },
    Keyword { "ftncn", Action::Skip },
    Keyword { "ftnsep", Action::Skip },
    Keyword { "ftnsepc", Action::Skip },
    Keyword { "header", Action::Skip },
    Keyword { "headerf", Action::Skip },
    Keyword { "headerl", Action::Skip },
    Keyword { "headerr", Action::Skip },
    Keyword { "info", Action::Skip },
    Keyword { "keywords", Action::Skip },
    Keyword { "ldblquote", Action::Text, u'\u201C' },
    Keyword { "line", Action::ParagraphEnd },
    Keyword { "lquote", Action::Text, u'\u2018' },
    Keyword { "operator", Action::Skip },
    Keyword { "page", Action::Text, u'\f' },
    Keyword { "par", Action::ParagraphEnd },
    Keyword { "pict", Action::Skip },
    Keyword { "plain", Action::Plain },
    Keyword { "printim", Action::Skip },
    Keyword { "private1", Action::Skip },
    Keyword { "rdblquote", Action::Text, u'\u201D' },
    Keyword { "revtim", Action::Skip },
    Keyword { "row", Action::ParagraphEnd },
    Keyword { "rquote", Action::Text, u'\u2019' },
    Keyword { "rxe", Action::Skip },
    Keyword { "stylesheet", Action::Skip },
    Keyword { "subject", Action::Skip },
    Keyword { "tab", Action::Text, u'\t' },
    Keyword { "tc", Action::Skip },
    Keyword { "title", Action::Skip },
    Keyword { "txe", Action::Skip },
    Keyword { "u", Action::Unicode },
    Keyword { "uc", Action::UnicodeSkip },
    Keyword { "xe", Action::Skip },
    Keyword { "{", Action::Text, u'{' },
    Keyword { "}", Action::Text, u'}' },
    Keyword { "~", Action::Text, u'\u00A0' },
};

constexpr bool SortedByName()
{
    for (std::size_t i = 1; i < kKeywords.size(); ++i) {
        if (!(kKeywords[i - 1].Name < kKeywords[i].Name))
            return false;
    }
    return true;
}
static_assert(SortedByName(), "the converter's keyword table must be sorted by name in byte order");

const Keyword* FindKeyword(std::string_view name)
{
    const auto* found = std::lower_bound(kKeywords.begin(), kKeywords.end(), name,
        [](const Keyword& row, std::string_view key) { return row.Name < key; });
    return found != kKeywords.end() && found->Name == name ? found : nullptr;
}

constexpr bool IsLetter(int ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

constexpr bool IsDigit(int ch)
{
    return ch >= '0' && ch <= '9';
}

int HexValue(int ch)
{
    if (IsDigit(ch))
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

enum class Destination : std::uint8_t { Text, FontTable, Skip };

struct GroupState {
    Destination Where = Destination::Text;
    std::int32_t Font = 0;
    std::int32_t UnicodeSkip = kDefaultUnicodeSkip;
};

class Extractor {
public:
    explicit Extractor(std::span<const std::uint8_t> rtf)
        : rtf_(rtf)
    {
    }

    std::u16string Run();

private:
    int Next() { return pos_ < rtf_.size() ? rtf_[pos_++] : -1; }
    int Peek() const { return pos_ < rtf_.size() ? rtf_[pos_] : -1; }

    void ReadControlWord();
    void Apply(const Keyword* keyword, std::int32_t parameter, bool hasParameter);
    void ReadHexEscape();
    void TextByte(std::uint8_t byte);
    void Put(char16_t ch);
    void PutText(char16_t unit);
    std::uint16_t CurrentCodePage();
    void OpenGroup();
    void CloseGroup();

    std::span<const std::uint8_t> rtf_;
    std::size_t pos_ = 0;
    std::u16string out_;
    GroupState state_;
    std::vector<GroupState> stack_;
    // Groups opened beyond the depth limit; their text is left out.
    std::size_t overflowDepth_ = 0;
    bool star_ = false;
    std::int32_t skipLeft_ = 0; // fallback characters still to drop after \u
    std::int32_t defaultFont_ = 0;
    std::int32_t definingFont_ = 0;
    std::optional<std::uint16_t> documentCodePage_;
    std::map<std::int32_t, std::uint16_t> fontCharsets_;
    bool leadPending_ = false;
    std::uint8_t leadByte_ = 0;
};

std::u16string Extractor::Run()
{
    for (int ch = Next(); ch != -1; ch = Next()) {
        switch (ch) {
        case '{':
            OpenGroup();
            break;
        case '}':
            CloseGroup();
            break;
        case '\\':
            ReadControlWord();
            break;
        case '\r':
        case '\n':
            break;
        default:
            TextByte(static_cast<std::uint8_t>(ch));
            break;
        }
    }
    return std::move(out_);
}

void Extractor::OpenGroup()
{
    skipLeft_ = 0;
    if (overflowDepth_ > 0 || stack_.size() >= kMaxRtfTextGroupDepth) {
        ++overflowDepth_;
        return;
    }
    stack_.push_back(state_);
}

void Extractor::CloseGroup()
{
    skipLeft_ = 0;
    star_ = false;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.empty())
        return; // one closing brace too many: read on
    state_ = stack_.back();
    stack_.pop_back();
}

void Extractor::ReadControlWord()
{
    int ch = Next();
    if (ch == -1)
        return;
    if (!IsLetter(ch)) {
        const char symbol = static_cast<char>(ch);
        const std::string_view name(&symbol, 1);
        Apply(FindKeyword(name), 0, false);
        return;
    }
    std::array<char, kMaxKeywordLength> name {};
    std::size_t length = 0;
    while (IsLetter(ch)) {
        if (length < name.size())
            name[length++] = static_cast<char>(ch);
        ch = Next();
    }
    bool negative = false;
    if (ch == '-') {
        negative = true;
        ch = Next();
    }
    bool hasParameter = false;
    std::int64_t magnitude = 0;
    int digits = 0;
    while (IsDigit(ch)) {
        hasParameter = true;
        if (digits++ < kMaxParameterDigits)
            magnitude = magnitude * 10 + (ch - '0');
        ch = Next();
    }
    if (ch != ' ' && ch != -1)
        --pos_;
    const auto parameter = static_cast<std::int32_t>(static_cast<std::uint32_t>(negative ? -magnitude : magnitude));
    const std::string_view word(name.data(), length);
    Apply(FindKeyword(word), parameter, hasParameter);
}

void Extractor::Apply(const Keyword* keyword, std::int32_t parameter, bool hasParameter)
{
    const bool starred = star_;
    star_ = false;
    if (keyword == nullptr) {
        if (starred)
            state_.Where = Destination::Skip;
        return;
    }
    const bool skipping = overflowDepth_ > 0 || state_.Where == Destination::Skip;
    switch (keyword->Kind) {
    case Action::Binary: {
        // Binary data is skipped wherever it stands; in the text it would
        // be a fallback or a picture, never words.
        const std::size_t count = hasParameter && parameter > 0 ? static_cast<std::size_t>(parameter) : 0;
        pos_ += std::min(count, rtf_.size() - pos_);
        return;
    }
    case Action::Hex:
        ReadHexEscape();
        return;
    case Action::Star:
        star_ = true;
        return;
    default:
        break;
    }
    if (skipping)
        return;
    if (state_.Where == Destination::FontTable) {
        if (keyword->Kind == Action::Font)
            definingFont_ = parameter;
        else if (keyword->Kind == Action::Charset)
            fontCharsets_.emplace(definingFont_, static_cast<std::uint16_t>(parameter));
        return;
    }
    switch (keyword->Kind) {
    case Action::Text:
        if (keyword->Character != 0)
            Put(keyword->Character);
        break;
    case Action::ParagraphEnd:
        Put(u'\r');
        Put(u'\n');
        break;
    case Action::Skip:
        state_.Where = Destination::Skip;
        break;
    case Action::FontTable:
        state_.Where = Destination::FontTable;
        break;
    case Action::Unicode:
        leadPending_ = false;
        PutText(static_cast<char16_t>(parameter & 0xFFFF));
        skipLeft_ = state_.UnicodeSkip;
        break;
    case Action::UnicodeSkip:
        state_.UnicodeSkip = std::clamp(parameter, 0, kMaxUnicodeSkip);
        break;
    case Action::CodePage:
        documentCodePage_ = static_cast<std::uint16_t>(parameter);
        break;
    case Action::DefaultFont:
        defaultFont_ = parameter;
        state_.Font = parameter;
        break;
    case Action::Font:
        state_.Font = hasParameter ? parameter : 0;
        break;
    case Action::Plain:
        state_.Font = defaultFont_;
        break;
    default:
        break;
    }
}

void Extractor::ReadHexEscape()
{
    const int high = HexValue(Peek());
    if (high < 0)
        return;
    ++pos_;
    const int low = HexValue(Peek());
    if (low < 0)
        return;
    ++pos_;
    if (overflowDepth_ > 0 || state_.Where != Destination::Text)
        return;
    TextByte(static_cast<std::uint8_t>(high * 16 + low));
}

std::uint16_t Extractor::CurrentCodePage()
{
    const auto font = fontCharsets_.find(state_.Font);
    const std::uint16_t charset = font != fontCharsets_.end() ? font->second : 0;
    if (const auto codePage = CodePageOfCharset(charset))
        return *codePage;
    return documentCodePage_ ? *documentCodePage_ : static_cast<std::uint16_t>(GetACP());
}

// Converts one or two code-page bytes; when the code page cannot convert
// them, the raw value stands for the character, as in the printout.
void Extractor::TextByte(std::uint8_t byte)
{
    if (overflowDepth_ > 0 || state_.Where != Destination::Text)
        return;
    if (skipLeft_ > 0) {
        --skipLeft_;
        return;
    }
    const std::uint16_t codePage = CurrentCodePage();
    char16_t unit = 0;
    if (leadPending_) {
        leadPending_ = false;
        const std::array<char, 2> pair = { static_cast<char>(leadByte_), static_cast<char>(byte) };
        if (MultiByteToWideChar(codePage, 0, pair.data(), 2, &unit, 1) != 1)
            unit = static_cast<char16_t>(leadByte_ + 256 * byte);
        PutText(unit);
        return;
    }
    if (IsDBCSLeadByteEx(codePage, byte)) {
        leadPending_ = true;
        leadByte_ = byte;
        return;
    }
    const char single = static_cast<char>(byte);
    if (MultiByteToWideChar(codePage, 0, &single, 1, &unit, 1) != 1)
        unit = byte;
    PutText(unit);
}

// Control characters in the text itself would end lines or paragraphs of
// the plain-text printout where the document has none; only the tab stays.
void Extractor::PutText(char16_t unit)
{
    if (unit < 0x20 && unit != u'\t')
        return;
    out_.push_back(unit);
}

void Extractor::Put(char16_t ch)
{
    leadPending_ = false;
    skipLeft_ = 0;
    out_.push_back(ch);
}

} // namespace

std::u16string RtfToUnicodeText(std::span<const std::uint8_t> rtf)
{
    return Extractor(rtf).Run();
}

} // namespace platform
