#include "HtmlToText.h"

#include "TextConversion.h"
#include "XmlLibrary.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace platform {

namespace {

constexpr std::array<std::string_view, 11> kParagraphElements { { "p", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote",
    "pre", "table", "ul" } };
constexpr std::array<std::string_view, 8> kLineElements { { "br", "div", "li", "tr", "ol", "dt", "dd", "hr" } };
constexpr std::array<std::string_view, 6> kHiddenElements { { "script", "style", "head", "title", "noscript",
    "template" } };

bool IsSpace(char16_t ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\r' || ch == u'\n' || ch == u'\f';
}

template <std::size_t N> bool OneOf(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
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

// The text of a node and its descendants, in document order. The parser
// has already decoded character references, read attributes (quoted ones
// may hold any character) and mended the markup it could.
void RenderNodes(xmlNode* first, TextBuilder& builder)
{
    for (xmlNode* node = first; node != nullptr; node = node->next) {
        if (node->type == XML_TEXT_NODE && node->content != nullptr) {
            for (char16_t unit : Utf8ToUtf16(reinterpret_cast<const char*>(node->content)))
                builder.PutText(unit);
            continue;
        }
        if (node->type != XML_ELEMENT_NODE || node->name == nullptr)
            continue;
        const std::string_view name(reinterpret_cast<const char*>(node->name));
        if (OneOf(kHiddenElements, name))
            continue;
        if (name == "br") {
            builder.ForceLineEnd();
            continue;
        }
        const bool paragraph = OneOf(kParagraphElements, name);
        const bool line = OneOf(kLineElements, name);
        if (paragraph || line)
            builder.BreakLine(paragraph ? 1 : 0);
        if (name == "pre")
            builder.SetPreformatted(true);
        RenderNodes(node->children, builder);
        if (name == "pre")
            builder.SetPreformatted(false);
        if (paragraph || line)
            builder.BreakLine(paragraph ? 1 : 0);
    }
}

} // namespace

std::u16string HtmlToText(std::string_view html)
{
    TextBuilder builder;
    if (html.empty() || html.size() > INT_MAX || !LoadXmlLibrary())
        return builder.Finish();
    htmlDocPtr document = htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    if (document == nullptr)
        return builder.Finish();
    RenderNodes(document->children, builder);
    xmlFreeDoc(document);
    return builder.Finish();
}

} // namespace platform
