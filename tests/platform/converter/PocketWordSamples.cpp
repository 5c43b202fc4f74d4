#include "PocketWordSamples.h"

namespace pocketword {
namespace {

constexpr std::uint16_t kTahoma = 0;
constexpr std::uint16_t kCourier = 1;
constexpr std::uint16_t kTimes = 2;
constexpr std::uint16_t kRed = 4;
constexpr std::uint16_t kBlue = 6;
constexpr std::uint16_t kBlack = 0;

Paragraph Line(std::string content, std::uint8_t alignment = kAlignLeft)
{
    Paragraph paragraph;
    paragraph.Content = std::move(content);
    paragraph.Alignment = alignment;
    return paragraph;
}

Paragraph Bullet(std::string content)
{
    Paragraph paragraph;
    paragraph.Content = std::move(content);
    paragraph.Bullet = true;
    paragraph.LeftIndent = 720;
    paragraph.FirstIndent = -360;
    return paragraph;
}

// Text in code page 1252.
Document ShoppingList()
{
    Document document;
    document.Fonts = { { kTahoma, u"Tahoma" }, { kCourier, u"Courier New" } };
    document.Paragraphs = {
        Line(FontCode(kTahoma) + SizeCode(16) + WeightCode(kWeightBold) + ColorCode(kBlue) + Text("Market day")
                + WeightCode(kWeightNormal) + ColorCode(kBlack) + SizeCode(10),
            kAlignCentre),
        Line(ItalicCode(true) + Text("Saturday, before ten") + ItalicCode(false), kAlignCentre),
        Line(""),
        Bullet(Text("Cr\xe8me fra\xee") + Text("che and ") + UnderlineCode(true) + Text("two") + UnderlineCode(false)
            + Text(" baguettes")),
        Bullet(Text("Caf\xe9 beans, ") + StrikeCode(true) + Text("decaf") + StrikeCode(false) + Text(" dark roast")),
        Bullet(ColorCode(kRed) + Text("Ask about the na\xefve cheese") + ColorCode(kBlack)),
        Bullet(HighlightCode(true) + Text("Flowers for Zo\xeb") + HighlightCode(false)),
        Line(""),
        Line(FontCode(kCourier) + Text("Bread") + TabCode() + Text("2,40 \x80")),
        Line(Text("Cheese") + TabCode() + Text("6,90 \x80")),
        Line(Text("Total") + TabCode() + WeightCode(kWeightBold) + Text("9,30 \x80") + WeightCode(kWeightNormal)
            + FontCode(kTahoma)),
    };
    return document;
}

Document MeetingNotes()
{
    Document document;
    document.Fonts = { { kTahoma, u"Tahoma" }, { kTimes, u"Times New Roman" } };
    Paragraph quote = Line(FontCode(kTimes) + SizeCode(12) + ItalicCode(true)
        + Text("\x93The tide waits for no one, and neither does the harbour board.\x94") + ItalicCode(false));
    quote.LeftIndent = 1440;
    quote.RightIndent = 1440;
    Paragraph indented = Line(Text("The first line of this paragraph starts half an inch in; the lines after it "
                                   "start at the margin, as in a letter."));
    indented.FirstIndent = 720;
    document.Paragraphs = {
        Line(FontCode(kTahoma) + SizeCode(14) + WeightCode(kWeightBold) + Text("Harbour board")
            + WeightCode(kWeightNormal) + SizeCode(10)),
        Line(Text("6 December 2026"), kAlignRight),
        Line(""),
        indented,
        Line(""),
        quote,
        Line(""),
        Line(FontCode(kTahoma) + SizeCode(10) + Text("Agreed: ") + WeightCode(kWeightBold) + Text("dredge the bar")
            + WeightCode(kWeightNormal) + Text(" in spring; ") + UnderlineCode(true) + Text("report in March")
            + UnderlineCode(false) + Text(".")),
    };
    return document;
}

} // namespace

std::vector<Sample> Samples()
{
    return { { "shopping-list.psw", ShoppingList() }, { "meeting-notes.pwi", MeetingNotes() } };
}

} // namespace pocketword
