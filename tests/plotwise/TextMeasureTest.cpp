#include "PlotwiseTestSupport.h"

#include <string>
#include <tuple>

using namespace plotwise_test;

namespace {

class TextMeasureTest : public ScreenTest {
protected:
    // The size of the text; fit, when given, counts the characters within maxExtent.
    SIZE Measure(const std::u16string& text, int32_t maxExtent = 0, int32_t* fit = nullptr)
    {
        SIZE size { -1, -1 };
        const auto count = static_cast<int32_t>(text.size());
        EXPECT_EQ(PLW_GetTextExtentExPoint(dc, text.data(), count, maxExtent, fit, nullptr, &size), 1);
        return size;
    }

    int32_t Extent(const std::u16string& text) { return Measure(text).cx; }
};

// Liberation Mono advances 1229/2048 em: at an em of 50 every character is
// 30.005 units, 30 whole units.
TEST_F(TextMeasureTest, FitCountsWholeCharactersWithinTheWidth)
{
    SelectedFont font(dc, MakeLogFont(u"Liberation Mono", -50));
    // The text, the width, how many characters fit, the text's width.
    const std::tuple<std::u16string, int32_t, int32_t, int32_t> rows[] = {
        { u"", 100, 0, 0 },
        { u"abc", 0, 0, 90 },
        { u"abc", 30, 1, 90 },
        { u"abc", 90, 3, 90 },
        { u"abcdefghij", 299, 9, 300 },
        // A negative width sets no limit.
        { u"abcd", -1, 4, 120 },
    };
    for (const auto& [text, maxExtent, fitting, width] : rows) {
        int32_t fit = -1;
        const SIZE size = Measure(text, maxExtent, &fit);
        SCOPED_TRACE(std::to_string(text.size()) + " characters in " + std::to_string(maxExtent));
        EXPECT_EQ(fit, fitting);
        EXPECT_EQ(size.cx, width);
        EXPECT_EQ(size.cy, 57);
    }
    // A surrogate pair is measured and fitted whole: U+1D400 MATHEMATICAL
    // BOLD CAPITAL A, as two UTF-16 units.
    std::u16string text = u"a\U0001D400b";
    ASSERT_EQ(text.size(), 4u);
    int32_t pairWidth = Extent(text) - Extent(u"ab");
    int32_t fit = -1;
    Measure(text, 30 + pairWidth - 1, &fit);
    EXPECT_EQ(fit, 1);
    Measure(text, 30 + pairWidth, &fit);
    EXPECT_EQ(fit, 3);
}

TEST_F(TextMeasureTest, MissingCharactersAreMeasuredInAFaceThatHasThem)
{
    SelectedFont font(dc, MakeLogFont(u"Liberation Sans", -50));
    // Liberation Sans has no CJK ideographs; a CJK face draws them, each a
    // full em wide. Machines without any CJK face skip this.
    std::u16string ideographs = u"\u65E5\u672C";
    int32_t width = Extent(ideographs);
    int32_t box = Extent(u"\uFFFF");
    if (width == 2 * box)
        GTEST_SKIP() << "no face with CJK ideographs installed";
    EXPECT_EQ(width, 100);
}

TEST_F(TextMeasureTest, BadArgumentsFail)
{
    SIZE size {};
    int32_t fit = 0;
    EXPECT_EQ(PLW_GetTextExtentExPoint(nullptr, u"a", 1, 10, &fit, nullptr, &size), 0);
    EXPECT_EQ(PLW_GetTextExtentExPoint(dc, u"a", -1, 10, &fit, nullptr, &size), 0);
    EXPECT_EQ(PLW_GetTextExtentExPoint(dc, nullptr, 3, 10, &fit, nullptr, &size), 0);
    EXPECT_EQ(PLW_GetTextExtentExPoint(dc, nullptr, 0, 10, &fit, nullptr, &size), 1);
    EXPECT_EQ(PLW_GetTextExtentExPoint(dc, u"abc", 3, 10, nullptr, nullptr, nullptr), 1);
    TEXTMETRICW metrics {};
    EXPECT_EQ(PLW_GetTextMetrics(nullptr, &metrics), 0);
    EXPECT_EQ(PLW_GetTextMetrics(dc, nullptr), 0);
}

} // namespace
