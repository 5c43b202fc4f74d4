#include "HtmlToText.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace platform {

namespace {

// A character reference longer than this is taken as text.
constexpr std::size_t kMaxReferenceLength = 12;

struct NamedEntity {
    std::u16string_view name;
    char16_t value;
};

constexpr std::array<NamedEntity, 24> kNamedEntities { {
    { u"amp", u'&' },
    { u"lt", u'<' },
    { u"gt", u'>' },
    { u"quot", u'"' },
    { u"apos", u'\'' },
    { u"nbsp", u'\u00A0' },
    { u"copy", u'\u00A9' },
    { u"reg", u'\u00AE' },
    { u"euro", u'\u20AC' },
    { u"pound", u'\u00A3' },
    { u"ndash", u'\u2013' },
    { u"mdash", u'\u2014' },
    { u"hellip", u'\u2026' },
    { u"lsquo", u'\u2018' },
    { u"rsquo", u'\u2019' },
    { u"ldquo", u'\u201C' },
    { u"rdquo", u'\u201D' },
    { u"bull", u'\u2022' },
    { u"middot", u'\u00B7' },
    { u"auml", u'\u00E4' },
    { u"ouml", u'\u00F6' },
    { u"uuml", u'\u00FC' },
    { u"szlig", u'\u00DF' },
    { u"eacute", u'\u00E9' },
} };

constexpr std::array<std::u16string_view, 11> kParagraphElements { { u"p", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6",
    u"blockquote", u"pre", u"table", u"ul" } };
constexpr std::array<std::u16string_view, 8> kLineElements { { u"br", u"div", u"li", u"tr", u"ol", u"dt", u"dd",
    u"hr" } };
constexpr std::array<std::u16string_view, 4> kHiddenElements { { u"script", u"style", u"head", u"title" } };

char16_t ToLower(char16_t ch)
{
    return ch >= u'A' && ch <= u'Z' ? static_cast<char16_t>(ch - u'A' + u'a') : ch;
}

bool IsSpace(char16_t ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n' || ch == u'\f';
}

template <std::size_t N> bool OneOf(const std::array<std::u16string_view, N>& names, std::u16string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

void AppendCodePoint(std::u16string& out, std::uint32_t code)
{
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        out.push_back(u'\uFFFD');
    } else if (code >= 0x10000) {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(code));
    }
}

// Decodes the reference starting at html[i] == '&' into out; returns the
// number of units used, or 0 when it is not a reference.
std::size_t DecodeReference(std::u16string_view html, std::size_t i, std::u16string& out)
{
    const std::size_t semicolon = html.find(u';', i + 1);
    if (semicolon == std::u16string_view::npos || semicolon - i - 1 > kMaxReferenceLength || semicolon == i + 1) {
        return 0;
    }
    const std::u16string_view name = html.substr(i + 1, semicolon - i - 1);
    if (name[0] == u'#') {
        std::uint32_t code = 0;
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const std::size_t first = hex ? 2 : 1;
        if (first >= name.size()) {
            return 0;
        }
        for (std::size_t k = first; k < name.size(); ++k) {
            const char16_t ch = ToLower(name[k]);
            std::uint32_t digit = 0;
            if (ch >= u'0' && ch <= u'9') {
                digit = ch - u'0';
            } else if (hex && ch >= u'a' && ch <= u'f') {
                digit = ch - u'a' + 10;
            } else {
                return 0;
            }
            code = code * (hex ? 16 : 10) + digit;
            if (code > 0x10FFFF) {
                code = 0x110000;
            }
        }
        AppendCodePoint(out, code);
        return semicolon - i + 1;
    }
    for (const NamedEntity& entity : kNamedEntities) {
        if (entity.name == name) {
            out.push_back(entity.value);
            return semicolon - i + 1;
        }
    }
    return 0;
}

// The index after the tag that closes element `name` (found from `from`
// on, without regard to case), or the end of the text.
std::size_t FindClosingTag(std::u16string_view html, std::size_t from, std::u16string_view name)
{
    for (std::size_t i = html.find(u"</", from); i != std::u16string_view::npos; i = html.find(u"</", i + 2)) {
        if (html.size() - i - 2 < name.size()) {
            break;
        }
        bool same = true;
        for (std::size_t k = 0; k < name.size() && same; ++k) {
            same = ToLower(html[i + 2 + k]) == name[k];
        }
        if (same) {
            const std::size_t end = html.find(u'>', i + 2 + name.size());
            return end == std::u16string_view::npos ? html.size() : end + 1;
        }
    }
    return html.size();
}

class TextBuilder {
public:
    void PutText(char16_t ch)
    {
        if (IsSpace(ch) && !preformatted_) {
            pendingSpace_ = !text_.empty() && !AtLineStart();
            return;
        }
        if (pendingSpace_) {
            text_.push_back(u' ');
            pendingSpace_ = false;
        }
        if (ch == u'\n' && preformatted_) {
            text_ += u"\r\n";
            return;
        }
        if (ch == u'\r' && preformatted_) {
            return;
        }
        text_.push_back(ch == u'\u00A0' ? u' ' : ch);
    }

    // Ends the current line; `emptyLines` more empty lines follow unless the
    // text already ends with them.
    void BreakLine(int emptyLines)
    {
        pendingSpace_ = false;
        if (text_.empty()) {
            return;
        }
        int wanted = 1 + emptyLines;
        int present = TrailingLineEnds();
        while (present < wanted) {
            text_ += u"\r\n";
            ++present;
        }
    }

    // A line break that always ends a line, so two of them leave an empty one.
    void ForceLineEnd()
    {
        pendingSpace_ = false;
        text_ += u"\r\n";
    }

    void SetPreformatted(bool on) { preformatted_ = on; }

    std::u16string Finish()
    {
        while (text_.size() >= 2 && text_.compare(text_.size() - 2, 2, u"\r\n") == 0) {
            text_.resize(text_.size() - 2);
        }
        if (!text_.empty()) {
            text_ += u"\r\n";
        }
        return std::move(text_);
    }

private:
    bool AtLineStart() const { return text_.empty() || text_.back() == u'\n'; }

    int TrailingLineEnds() const
    {
        int count = 0;
        std::size_t end = text_.size();
        while (end >= 2 && text_[end - 1] == u'\n' && text_[end - 2] == u'\r') {
            ++count;
            end -= 2;
        }
        return count;
    }

    std::u16string text_;
    bool pendingSpace_ = false;
    bool preformatted_ = false;
};

} // namespace

std::u16string HtmlToText(std::u16string_view html)
{
    TextBuilder builder;
    std::u16string hiddenUntil;
    std::size_t i = 0;
    while (i < html.size()) {
        if (!hiddenUntil.empty()) {
            // Script and style hold text such as "a < b" that is no markup:
            // skip straight to the closing tag.
            i = FindClosingTag(html, i, hiddenUntil);
            hiddenUntil.clear();
            continue;
        }
        const char16_t ch = html[i];
        if (ch == u'<') {
            if (html.substr(i, 4) == u"<!--") {
                const std::size_t end = html.find(u"-->", i + 4);
                i = end == std::u16string_view::npos ? html.size() : end + 3;
                continue;
            }
            const std::size_t end = html.find(u'>', i + 1);
            if (end == std::u16string_view::npos) {
                break;
            }
            std::size_t k = i + 1;
            const bool closing = k < end && html[k] == u'/';
            if (closing) {
                ++k;
            }
            std::u16string name;
            while (k < end && !IsSpace(html[k]) && html[k] != u'/' && html[k] != u'>') {
                name.push_back(ToLower(html[k]));
                ++k;
            }
            i = end + 1;
            if (!closing && OneOf(kHiddenElements, name)) {
                hiddenUntil = name;
            } else if (OneOf(kParagraphElements, name)) {
                builder.BreakLine(1);
                if (name == u"pre") {
                    builder.SetPreformatted(!closing);
                }
            } else if (OneOf(kLineElements, name)) {
                if (name == u"br") {
                    builder.ForceLineEnd();
                    continue;
                }
                builder.BreakLine(0);
            }
            continue;
        }
        if (ch == u'&') {
            std::u16string decoded;
            const std::size_t used = DecodeReference(html, i, decoded);
            if (used > 0) {
                for (char16_t unit : decoded) {
                    builder.PutText(unit);
                }
                i += used;
                continue;
            }
        }
        builder.PutText(ch);
        ++i;
    }
    return builder.Finish();
}

} // namespace platform
