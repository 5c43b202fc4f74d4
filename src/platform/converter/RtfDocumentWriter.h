#pragma once

// Writes what a librevenge text reader reports as an RTF document that the
// RTF reader prints: a font table with the charset of the text's code page,
// a colour table, character formats (font, size, bold, italic, underline,
// strike-out, text and background colour), paragraph formats (alignment,
// indents, tab stops), bullets as a bullet character and a tab, page
// breaks and paragraph ends. Text goes in as \u characters, so it keeps its
// characters whatever the font's code page. Headers, footers, notes,
// comments and text boxes are left out, as the RTF reader leaves them out.
//
// The converter's RTF route asks for more (Options): fonts declared in the
// order of the document's font table, each with its own charset, family and
// pitch; pictures (PNG, JPEG and device-independent bitmaps) as \bin data,
// each on a line of its own with a blank line as high as the picture below
// it, so that the text after a picture starts under it; and a page break
// that leaves no line's height at the top of the new page.

#include <librevenge/librevenge.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class RtfDocumentWriter final : public librevenge::RVNGTextInterface {
public:
    // `codePage` is the ANSI code page the document's text was read in; the
    // fonts get its charset and the document its \ansicpg.
    struct Options {
        bool Pictures = false;
        bool PageBreakAtTop = false;
    };

    // A font as the font table names it. An empty face is the default face;
    // a negative charset is the charset of the writer's code page, a
    // negative pitch none.
    struct Font {
        std::string Face;
        int Charset = -1;
        std::string Family = "fnil";
        int Pitch = -1;
        bool operator==(const Font&) const = default;
    };

    explicit RtfDocumentWriter(std::uint16_t codePage);
    RtfDocumentWriter(std::uint16_t codePage, Options options);

    // Adds a font to the table (once) and gives its number there. A span
    // names a declared font by that number, "tallowin:font-index", or by
    // "style:font-name" with its "tallowin:font-charset",
    // "tallowin:font-family" and "tallowin:font-pitch".
    int DeclareFont(Font font);

    // The whole document, from "{\rtf1" to its closing brace.
    std::string Rtf() const;

    void setDocumentMetaData(const librevenge::RVNGPropertyList&) override { }
    void startDocument(const librevenge::RVNGPropertyList&) override { }
    void endDocument() override { }
    void definePageStyle(const librevenge::RVNGPropertyList&) override { }
    void defineEmbeddedFont(const librevenge::RVNGPropertyList&) override { }
    void openPageSpan(const librevenge::RVNGPropertyList&) override { }
    void closePageSpan() override { }
    void openHeader(const librevenge::RVNGPropertyList&) override { ++leftOut_; }
    void closeHeader() override { EndLeftOut(); }
    void openFooter(const librevenge::RVNGPropertyList&) override { ++leftOut_; }
    void closeFooter() override { EndLeftOut(); }
    void defineParagraphStyle(const librevenge::RVNGPropertyList&) override { }
    void openParagraph(const librevenge::RVNGPropertyList& propList) override;
    // Gives the open paragraph other format properties: in RTF a paragraph
    // takes the format it has at its end, set before or after its first text.
    void ReformatParagraph(const librevenge::RVNGPropertyList& propList);
    void closeParagraph() override;
    void defineCharacterStyle(const librevenge::RVNGPropertyList&) override { }
    void openSpan(const librevenge::RVNGPropertyList& propList) override;
    void closeSpan() override;
    void openLink(const librevenge::RVNGPropertyList&) override { }
    void closeLink() override { }
    void defineSectionStyle(const librevenge::RVNGPropertyList&) override { }
    void openSection(const librevenge::RVNGPropertyList&) override { }
    void closeSection() override { }
    void insertTab() override;
    void insertSpace() override;
    void insertText(const librevenge::RVNGString& text) override;
    void insertLineBreak() override;
    void insertField(const librevenge::RVNGPropertyList&) override { }
    void openOrderedListLevel(const librevenge::RVNGPropertyList& propList) override;
    void openUnorderedListLevel(const librevenge::RVNGPropertyList& propList) override;
    void closeOrderedListLevel() override;
    void closeUnorderedListLevel() override;
    void openListElement(const librevenge::RVNGPropertyList& propList) override;
    void closeListElement() override;
    void openFootnote(const librevenge::RVNGPropertyList&) override { ++leftOut_; }
    void closeFootnote() override { EndLeftOut(); }
    void openEndnote(const librevenge::RVNGPropertyList&) override { ++leftOut_; }
    void closeEndnote() override { EndLeftOut(); }
    void openComment(const librevenge::RVNGPropertyList&) override { ++leftOut_; }
    void closeComment() override { EndLeftOut(); }
    void openTextBox(const librevenge::RVNGPropertyList&) override { ++leftOut_; }
    void closeTextBox() override { EndLeftOut(); }
    void openTable(const librevenge::RVNGPropertyList&) override { }
    void openTableRow(const librevenge::RVNGPropertyList&) override { }
    void closeTableRow() override { }
    void openTableCell(const librevenge::RVNGPropertyList&) override { }
    void closeTableCell() override { }
    void insertCoveredTableCell(const librevenge::RVNGPropertyList&) override { }
    void closeTable() override { }
    void openFrame(const librevenge::RVNGPropertyList&) override { }
    void closeFrame() override { }
    void insertBinaryObject(const librevenge::RVNGPropertyList& propList) override;
    void insertEquation(const librevenge::RVNGPropertyList&) override { }
    void openGroup(const librevenge::RVNGPropertyList&) override { }
    void closeGroup() override { }
    void defineGraphicStyle(const librevenge::RVNGPropertyList&) override { }
    void drawRectangle(const librevenge::RVNGPropertyList&) override { }
    void drawEllipse(const librevenge::RVNGPropertyList&) override { }
    void drawPolygon(const librevenge::RVNGPropertyList&) override { }
    void drawPolyline(const librevenge::RVNGPropertyList&) override { }
    void drawPath(const librevenge::RVNGPropertyList&) override { }
    void drawConnector(const librevenge::RVNGPropertyList&) override { }

private:
    struct ListLevel {
        bool Ordered = false;
        std::u32string Bullet;
        int Counter = 0;
    };

    void EndLeftOut()
    {
        if (leftOut_ > 0)
            --leftOut_;
    }
    bool Writing() const { return leftOut_ == 0; }
    void BeginParagraph(const librevenge::RVNGPropertyList& propList, bool listElement);
    void EndParagraph();
    void FlushLabel();
    void WriteText(std::u32string_view text);
    int FontIndex(const librevenge::RVNGPropertyList& propList);
    void Wrote() { afterPicture_ = false; }
    int ColorIndex(std::uint32_t rgb);

    std::uint16_t codePage_;
    std::uint8_t charset_;
    Options options_;
    std::vector<Font> fonts_;
    std::vector<std::uint32_t> colors_; // 0xRRGGBB, written from \cf1 on
    std::vector<ListLevel> lists_;
    std::string body_;
    std::u32string pendingLabel_; // the list label not written yet
    int leftOut_ = 0; // depth of the parts that do not print
    int openSpans_ = 0;
    std::size_t formatStart_ = 0; // where the open paragraph's format controls stand in body_
    std::size_t formatLength_ = 0;
    bool paragraphOpen_ = false;
    bool lineHasText_ = false; // something was written since the paragraph or line began
    bool afterPicture_ = false; // a picture, and its room, end the paragraph so far
    std::int32_t lastHalfPoints_ = 24; // the size of the span opened last
};

} // namespace platform
