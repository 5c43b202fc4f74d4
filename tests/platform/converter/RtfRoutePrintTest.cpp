// What the converter's RTF route does to the printed page.

#include "PocketWordReader.h"
#include "PocketWordWriter.h"
#include "RtfFixture.h"
#include "RtfNormaliser.h"

#include <cstdlib>
#include <tuple>
#include <vector>

namespace {

using namespace pocketword;

struct Drawn {
    std::int32_t Y;
    std::int32_t Page;
};

std::vector<Drawn>& Pictures()
{
    static std::vector<Drawn> pictures;
    return pictures;
}

class RtfRoutePrintTest : public rtf::testing::RtfTest {
protected:
    // Prints the document through the route; gives what was drawn.
    static std::vector<printengine::testing::DrawnText> PrintRouted(std::string_view rtf)
    {
        const std::optional<std::string> routed
            = platform::NormaliseRtf({ reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size() });
        EXPECT_TRUE(routed);
        return PrintAsIs(routed.value_or(""));
    }

    static std::vector<printengine::testing::DrawnText> PrintAsIs(std::string_view rtf)
    {
        printengine::testing::InstallFakePrinter();
        Pictures().clear();
        PLW_DrawPictIndirect = [](HDC, const PLW_PICTURE*, int32_t, int32_t y) -> int32_t {
            Pictures().push_back({ y, printengine::testing::FakeLog().Page });
            return 1;
        };
        rtf::ResetRtfReader();
        EXPECT_EQ(Print(rtf), 0);
        return printengine::testing::FakeLog().Texts;
    }

    static const printengine::testing::DrawnText& Find(
        const std::vector<printengine::testing::DrawnText>& texts, std::u16string_view text)
    {
        for (const auto& drawn : texts)
            if (drawn.Text.find(text) != std::u16string::npos)
                return drawn;
        static const printengine::testing::DrawnText none;
        ADD_FAILURE() << "not drawn";
        return none;
    }
};

TEST_F(RtfRoutePrintTest, AHandheldDocumentPrintsAsItDidAPictureTakesItsHeightAndAPageBreakStartsAPage)
{
    Document document = SampleLetter();
    document.Paragraphs.insert(document.Paragraphs.begin() + 2, Paragraph {});
    document.Paragraphs.push_back(Paragraph { Text("last") });
    const std::optional<std::string> handheld = platform::ReadPocketWordAsRtf(WritePocketWord(document), 1252);
    ASSERT_TRUE(handheld);

    const auto before = PrintAsIs(*handheld);
    const std::vector<LOGFONTW> fontsBefore = printengine::testing::FakeLog().FontsMade;
    const std::vector<COLORREF> colorsBefore = printengine::testing::FakeLog().TextColors;
    const auto after = PrintRouted(*handheld);
    ASSERT_EQ(before.size(), after.size());
    ASSERT_GT(before.size(), 4u);
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto fields
            = [](const printengine::testing::DrawnText& t) { return std::tie(t.X, t.Y, t.Text, t.Page, t.FontHeight); };
        EXPECT_EQ(fields(before[i]), fields(after[i])) << i;
    }
    const std::vector<LOGFONTW>& fontsAfter = printengine::testing::FakeLog().FontsMade;
    ASSERT_EQ(fontsBefore.size(), fontsAfter.size());
    for (std::size_t i = 0; i < fontsBefore.size(); ++i)
        EXPECT_EQ(std::memcmp(&fontsBefore[i], &fontsAfter[i], sizeof(LOGFONTW)), 0) << i;
    EXPECT_EQ(colorsBefore, printengine::testing::FakeLog().TextColors);

    // A 1-inch PNG (300 dots on the double) between two lines, after a blank line.
    const std::string png = "89504e470d0a1a0a0000000d494844520000001000000010";
    for (const char* lines : { "before\\par ", "before\\par\\par " }) {
        SCOPED_TRACE(lines);
        const auto texts = PrintRouted("{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f0\\fs24 " + std::string(lines)
            + "{\\pict\\pngblip\\picwgoal1440\\pichgoal1440 " + png + "}\\par after\\par}");
        ASSERT_EQ(Pictures().size(), 1u);
        const auto& first = Find(texts, u"before");
        const auto& next = Find(texts, u"after");
        EXPECT_GE(Pictures()[0].Y, first.Y + std::abs(first.FontHeight))
            << "drawn below the line before it, descenders and all";
        EXPECT_GE(next.Y, Pictures()[0].Y + 300) << "the next line starts below the picture";
        EXPECT_LT(next.Y, Pictures()[0].Y + 300 + 100) << "and no further than one line below";
    }
    // A page break starts the next page at its top.
    const auto texts
        = PrintRouted("{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f0\\fs24 one\\par two\\page three\\par}");
    const auto& one = Find(texts, u"one");
    const auto& two = Find(texts, u"two");
    const auto& three = Find(texts, u"three");
    EXPECT_EQ(two.Page, one.Page) << "text before the break stays on its page";
    EXPECT_EQ(three.Page, one.Page + 1);
    EXPECT_EQ(three.Y, one.Y) << "the first line of the new page sits where the first page's does";
}

} // namespace
