#include "RegistryText.h"

#include "Utf.h"

#include <cstdio>
#include <optional>
#include <unordered_map>

namespace platform::registry {
namespace {

constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeader4 = u"REGEDIT4";
constexpr std::string_view kHeaderText = "Windows Registry Editor Version 5.00";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kContinuation = "  ";

// The export format keeps hex lines within 80 columns: at most this many
// characters before the trailing backslash.
constexpr std::size_t kHexLineWidth = 77;

char16_t FoldUnit(char16_t unit)
{
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

std::u16string Fold(std::u16string_view text)
{
    std::u16string folded(text);
    for (auto& unit : folded)
        unit = FoldUnit(unit);
    return folded;
}

bool IsBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t';
}

std::u16string_view TrimBlanks(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string_view TrimLeadingBlanks(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

int HexDigit(char16_t unit)
{
    if (unit >= u'0' && unit <= u'9')
        return unit - u'0';
    if (unit >= u'a' && unit <= u'f')
        return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F')
        return unit - u'A' + 10;
    return -1;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && NamesEqual(text.substr(0, prefix.size()), prefix);
}

// Reads 1 to 8 hex digits; the view is advanced past them.
std::optional<std::uint32_t> ReadHexNumber(std::u16string_view& text)
{
    std::uint32_t value = 0;
    std::size_t count = 0;
    while (count < text.size() && HexDigit(text[count]) >= 0) {
        if (count == 8)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(HexDigit(text[count]));
        ++count;
    }
    if (count == 0)
        return std::nullopt;
    text.remove_prefix(count);
    return value;
}

// Turns the file image into UTF-16 text, or explains why it cannot.
std::optional<std::u16string> DecodeText(std::span<const std::uint8_t> bytes, std::string& reason)
{
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        if (bytes.size() % 2 != 0) {
            reason = "UTF-16 text with an odd number of bytes";
            return std::nullopt;
        }
        std::u16string text;
        text.reserve(bytes.size() / 2 - 1);
        for (std::size_t i = 2; i < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
        if (!IsWellFormedUtf16(text)) {
            reason = "malformed UTF-16 text";
            return std::nullopt;
        }
        return text;
    }
    std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (raw.starts_with("\xEF\xBB\xBF"))
        raw.remove_prefix(3);
    auto text = Utf8ToUtf16(raw);
    if (!text)
        reason = "text that is neither UTF-16 with a byte-order mark nor UTF-8";
    return text;
}

// Splits text into lines at CRLF, LF or CR.
class LineReader {
public:
    explicit LineReader(std::u16string_view text)
        : text_(text)
    {
    }

    bool Next(std::u16string_view& line)
    {
        if (position_ >= text_.size())
            return false;
        std::size_t end = position_;
        while (end < text_.size() && text_[end] != u'\r' && text_[end] != u'\n')
            ++end;
        line = text_.substr(position_, end - position_);
        position_ = end;
        if (position_ < text_.size()) {
            bool crlf = text_[position_] == u'\r' && position_ + 1 < text_.size() && text_[position_ + 1] == u'\n';
            position_ += crlf ? 2 : 1;
        }
        ++number_;
        return true;
    }

    std::size_t Number() const { return number_; }

private:
    std::u16string_view text_;
    std::size_t position_ = 0;
    std::size_t number_ = 0;
};

class Parser {
public:
    explicit Parser(ParseResult& result)
        : result_(result)
    {
    }

    bool Run(std::u16string_view text)
    {
        LineReader lines(text);
        std::u16string_view physical;
        bool headerSeen = false;
        while (lines.Next(physical)) {
            std::size_t firstLine = lines.Number();
            auto trimmed = TrimBlanks(physical);
            if (trimmed.empty() || trimmed.front() == u';') {
                notes_.emplace_back(physical);
                continue;
            }
            line_ = firstLine;
            // A line ending in a backslash continues on the next one; the
            // continuation's leading blanks are indentation.
            std::u16string joined;
            std::u16string_view logical = trimmed;
            if (trimmed.back() == u'\\') {
                joined.assign(trimmed.substr(0, trimmed.size() - 1));
                for (bool more = true; more;) {
                    if (!lines.Next(physical))
                        return Fail("a value cut short: its last line ends in a backslash");
                    auto part = TrimBlanks(physical);
                    more = !part.empty() && part.back() == u'\\';
                    if (more)
                        part.remove_suffix(1);
                    joined.append(part);
                }
                logical = joined;
            }
            if (!headerSeen) {
                if (logical != kHeader5 && logical != kHeader4)
                    return Fail("the first line is not \"Windows Registry Editor Version 5.00\"");
                headerSeen = true;
                result_.Data.Preamble = std::move(notes_);
                notes_.clear();
                continue;
            }
            bool ok = logical.front() == u'[' ? ParseKeyLine(logical) : ParseValueLine(logical);
            if (!ok)
                return false;
        }
        if (headerSeen) {
            result_.Data.Trailing = std::move(notes_);
            return true;
        }
        // A file without a header is empty: only its comments are kept.
        for (auto& note : notes_) {
            if (!TrimBlanks(note).empty())
                result_.Data.Preamble.push_back(std::move(note));
        }
        return true;
    }

private:
    bool Fail(std::string reason)
    {
        result_.Damaged = true;
        result_.Line = line_;
        result_.Reason = std::move(reason);
        return false;
    }

    bool ParseKeyLine(std::u16string_view line)
    {
        if (line.back() != u']')
            return Fail("a key line without its closing bracket");
        auto path = line.substr(1, line.size() - 2);
        if (path.empty())
            return Fail("a key without a name");
        if (path.front() == u'-')
            return Fail("a key deletion, which a settings file cannot hold");
        if (path.size() > kMaxNameUnits)
            return Fail("a key name that is too long");
        auto folded = Fold(path);
        auto found = keyIndex_.find(folded);
        if (found != keyIndex_.end()) {
            // A key named twice is written once: its notes go with the next
            // value or key.
            currentKey_ = found->second;
            return true;
        }
        currentKey_ = result_.Data.Keys.size();
        keyIndex_.emplace(std::move(folded), currentKey_);
        result_.Data.Keys.push_back(RegistryKey { std::u16string(path), {}, std::move(notes_) });
        notes_.clear();
        valueIndex_.emplace_back();
        return true;
    }

    // Reads a quoted text after its opening quote, undoing the \\ and \"
    // escapes; the view is advanced past the closing quote.
    std::optional<std::u16string> ReadQuoted(std::u16string_view& text)
    {
        std::u16string out;
        std::size_t i = 0;
        while (i < text.size()) {
            char16_t unit = text[i];
            if (unit == u'"') {
                text.remove_prefix(i + 1);
                return out;
            }
            if (unit == u'\\' && i + 1 < text.size() && (text[i + 1] == u'\\' || text[i + 1] == u'"')) {
                out.push_back(text[i + 1]);
                i += 2;
                continue;
            }
            out.push_back(unit);
            ++i;
        }
        return std::nullopt;
    }

    bool ParseValueLine(std::u16string_view line)
    {
        if (currentKey_ == kNoKey)
            return Fail("a value before the first key");
        std::u16string name;
        if (line.front() == u'@') {
            line.remove_prefix(1);
        } else if (line.front() == u'"') {
            line.remove_prefix(1);
            auto quoted = ReadQuoted(line);
            if (!quoted)
                return Fail("a value name without its closing quote");
            name = std::move(*quoted);
        } else {
            return Fail("a line that is neither a key nor a value");
        }
        if (name.size() > kMaxNameUnits)
            return Fail("a value name that is too long");
        line = TrimLeadingBlanks(line);
        if (line.empty() || line.front() != u'=')
            return Fail("a value without '='");
        line = TrimLeadingBlanks(line.substr(1));

        std::uint32_t type = kTypeBinary;
        std::vector<std::uint8_t> data;
        if (!line.empty() && line.front() == u'"') {
            line.remove_prefix(1);
            auto text = ReadQuoted(line);
            if (!text)
                return Fail("a string without its closing quote");
            if (!TrimBlanks(line).empty())
                return Fail("text after a string value");
            if (text->size() >= kMaxValueBytes / 2)
                return Fail("a value larger than 1 MiB");
            type = kTypeString;
            data.reserve(text->size() * 2 + 2);
            for (char16_t unit : *text) {
                data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
                data.push_back(static_cast<std::uint8_t>(unit >> 8));
            }
            data.push_back(0);
            data.push_back(0);
        } else if (StartsWithFolded(line, u"dword:")) {
            line.remove_prefix(6);
            auto number = ReadHexNumber(line);
            if (!number || !TrimBlanks(line).empty())
                return Fail("a dword value that is not 1 to 8 hex digits");
            type = kTypeDword;
            for (int i = 0; i < 4; ++i)
                data.push_back(static_cast<std::uint8_t>(*number >> (8 * i)));
        } else if (StartsWithFolded(line, u"hex")) {
            line.remove_prefix(3);
            if (!line.empty() && line.front() == u'(') {
                line.remove_prefix(1);
                auto number = ReadHexNumber(line);
                if (!number || line.empty() || line.front() != u')')
                    return Fail("a hex(type) value with a bad type");
                type = *number;
                line.remove_prefix(1);
            }
            if (line.empty() || line.front() != u':')
                return Fail("a hex value without ':'");
            line.remove_prefix(1);
            if (!ReadHexList(line, data))
                return false;
        } else if (line == u"-") {
            return Fail("a value deletion, which a settings file cannot hold");
        } else {
            return Fail("a value of unknown form");
        }

        auto& key = result_.Data.Keys[currentKey_];
        auto& index = valueIndex_[currentKey_];
        auto folded = Fold(name);
        auto found = index.find(folded);
        if (found != index.end()) {
            auto& value = key.Values[found->second];
            value.Type = type;
            value.Data = std::move(data);
            value.Before.insert(value.Before.end(), notes_.begin(), notes_.end());
        } else {
            index.emplace(std::move(folded), key.Values.size());
            key.Values.push_back(RegistryValue { std::move(name), type, std::move(data), std::move(notes_) });
        }
        notes_.clear();
        return true;
    }

    bool ReadHexList(std::u16string_view text, std::vector<std::uint8_t>& data)
    {
        for (;;) {
            text = TrimLeadingBlanks(text);
            if (text.empty())
                return true;
            int high = HexDigit(text.front());
            if (high < 0)
                return Fail("a hex value with a character that is not a hex digit");
            text.remove_prefix(1);
            int value = high;
            if (!text.empty() && HexDigit(text.front()) >= 0) {
                value = high * 16 + HexDigit(text.front());
                text.remove_prefix(1);
            }
            if (data.size() == kMaxValueBytes)
                return Fail("a value larger than 1 MiB");
            data.push_back(static_cast<std::uint8_t>(value));
            text = TrimLeadingBlanks(text);
            if (text.empty())
                return true;
            if (text.front() != u',')
                return Fail("hex bytes not separated by commas");
            text.remove_prefix(1);
            // The writer never ends a list with a comma: a file cut short
            // right after one does.
            if (TrimLeadingBlanks(text).empty())
                return Fail("a hex list cut short after a comma");
        }
    }

    static constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);

    ParseResult& result_;
    std::size_t line_ = 0;
    std::size_t currentKey_ = kNoKey;
    NoteLines notes_; // comment and blank lines not yet placed
    std::unordered_map<std::u16string, std::size_t> keyIndex_;
    std::vector<std::unordered_map<std::u16string, std::size_t>> valueIndex_;
};

void AppendEscaped(std::string& out, std::u16string_view text)
{
    // Names and strings reaching the writer are well formed (the registry
    // refuses others), so the conversion cannot fail.
    auto utf8 = Utf16ToUtf8(text).value_or(std::string());
    for (char c : utf8) {
        if (c == '\\' || c == '"')
            out.push_back('\\');
        out.push_back(c);
    }
}

// A REG_SZ is written as a quoted string only when reading it back gives the
// same bytes: one terminating NUL, no other NUL, no line breaks, well-formed
// UTF-16. Anything else is written as hex(1).
std::optional<std::u16string> PrintableString(const RegistryValue& value)
{
    const auto& data = value.Data;
    if (value.Type != kTypeString || data.size() < 2 || data.size() % 2 != 0)
        return std::nullopt;
    std::u16string text;
    for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
        auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (unit < 0x20 && unit != u'\t')
            return std::nullopt;
        text.push_back(unit);
    }
    if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0 || !IsWellFormedUtf16(text))
        return std::nullopt;
    return text;
}

void AppendHexList(std::string& out, std::size_t lineStart, std::span<const std::uint8_t> data)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::size_t onLine = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::size_t cell = i + 1 < data.size() ? 3 : 2;
        if (onLine > 0 && out.size() - lineStart + cell > kHexLineWidth) {
            out.push_back('\\');
            out.append(kLineEnd);
            lineStart = out.size();
            out.append(kContinuation);
            onLine = 0;
        }
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0xF]);
        if (i + 1 < data.size())
            out.push_back(',');
        ++onLine;
    }
}

void AppendNotes(std::string& out, const NoteLines& notes)
{
    for (const auto& line : notes) {
        out.append(Utf16ToUtf8(line).value_or(std::string()));
        out.append(kLineEnd);
    }
}

void AppendValue(std::string& out, const RegistryValue& value)
{
    AppendNotes(out, value.Before);
    std::size_t lineStart = out.size();
    if (value.Name.empty()) {
        out.push_back('@');
    } else {
        out.push_back('"');
        AppendEscaped(out, value.Name);
        out.push_back('"');
    }
    out.push_back('=');
    if (auto text = PrintableString(value)) {
        out.push_back('"');
        AppendEscaped(out, *text);
        out.push_back('"');
    } else if (value.Type == kTypeDword && value.Data.size() == 4) {
        char digits[9];
        std::uint32_t number = static_cast<std::uint32_t>(value.Data[0]) | (value.Data[1] << 8) | (value.Data[2] << 16)
            | (static_cast<std::uint32_t>(value.Data[3]) << 24);
        for (int i = 7; i >= 0; --i) {
            digits[i] = "0123456789abcdef"[number & 0xF];
            number >>= 4;
        }
        digits[8] = '\0';
        out.append("dword:");
        out.append(digits);
    } else {
        if (value.Type == kTypeBinary) {
            out.append("hex:");
        } else {
            char type[16];
            std::snprintf(type, sizeof type, "hex(%x):", value.Type);
            out.append(type);
        }
        AppendHexList(out, lineStart, value.Data);
    }
    out.append(kLineEnd);
}

} // namespace

ParseResult ParseRegistryText(std::span<const std::uint8_t> bytes)
{
    ParseResult result;
    if (bytes.size() > kMaxFileBytes) {
        result.Damaged = true;
        result.Reason = "larger than 16 MiB";
        return result;
    }
    auto text = DecodeText(bytes, result.Reason);
    if (!text) {
        result.Damaged = true;
        result.Line = 1;
        return result;
    }
    Parser parser(result);
    if (!parser.Run(*text))
        result.Data = RegistryData {};
    return result;
}

std::string FormatRegistryText(const RegistryData& data)
{
    std::string out;
    AppendNotes(out, data.Preamble);
    out.append(kHeaderText);
    out.append(kLineEnd);
    for (const auto& key : data.Keys) {
        AppendNotes(out, key.Before);
        out.push_back('[');
        out.append(Utf16ToUtf8(key.Path).value_or(std::string()));
        out.push_back(']');
        out.append(kLineEnd);
        for (const auto& value : key.Values)
            AppendValue(out, value);
    }
    AppendNotes(out, data.Trailing);
    return out;
}

bool NamesEqual(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldUnit(a[i]) != FoldUnit(b[i]))
            return false;
    }
    return true;
}

const RegistryKey* FindKey(const RegistryData& data, std::u16string_view path)
{
    for (const auto& key : data.Keys) {
        if (NamesEqual(key.Path, path))
            return &key;
    }
    return nullptr;
}

RegistryKey* FindKey(RegistryData& data, std::u16string_view path)
{
    return const_cast<RegistryKey*>(FindKey(static_cast<const RegistryData&>(data), path));
}

bool KeyExists(const RegistryData& data, std::u16string_view path)
{
    for (const auto& key : data.Keys) {
        std::u16string_view listed = key.Path;
        if (NamesEqual(listed, path))
            return true;
        if (listed.size() > path.size() && listed[path.size()] == u'\\'
            && NamesEqual(listed.substr(0, path.size()), path))
            return true;
    }
    return false;
}

RegistryKey& AddKey(RegistryData& data, std::u16string_view path)
{
    if (auto* key = FindKey(data, path))
        return *key;
    data.Keys.push_back(RegistryKey { std::u16string(path), {}, { u"" } });
    return data.Keys.back();
}

const RegistryValue* FindValue(const RegistryKey& key, std::u16string_view name)
{
    for (const auto& value : key.Values) {
        if (NamesEqual(value.Name, name))
            return &value;
    }
    return nullptr;
}

void SetValue(RegistryKey& key, std::u16string_view name, std::uint32_t type, std::span<const std::uint8_t> data)
{
    for (auto& value : key.Values) {
        if (NamesEqual(value.Name, name)) {
            value.Type = type;
            value.Data.assign(data.begin(), data.end());
            return;
        }
    }
    key.Values.push_back(RegistryValue { std::u16string(name), type, { data.begin(), data.end() }, {} });
}

} // namespace platform::registry
