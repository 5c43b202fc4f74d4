#include "PlotwiseTestSupport.h"

#include <string>

using namespace plotwise_test;

namespace {

class TextMeasureTest : public ScreenTest {
protected:
    int32_t Extent(const std::u16string& text)
    {
        SIZE size { -1, -1 };
        EXPECT_EQ(
            PLW_GetTextExtentExPoint(dc, text.data(), static_cast<int32_t>(text.size()), 0, nullptr, nullptr, &size),
            1);
        return size.cx;
    }
};

struct FitRow {
    std::u16string Text;
    int32_t MaxExtent;
    int32_t Fit;
    int32_t Width;
};

// Liberation Mono advances 1229/2048 em: at an em of 50 every character is
// 30.005 units, 30 whole units.
TEST_F(TextMeasureTest, FitCountsTheCharactersWithinTheWidth)
{
    SelectedFont font(dc, MakeLogFont(u"Liberation Mono", -50));
    const FitRow rows[] = {
        { u"", 100, 0, 0 },
        { u"abc", 0, 0, 90 },
        { u"abc", 30, 1, 90 },
        { u"abc", 90, 3, 90 },
        { u"abcdefghij", 299, 9, 300 },
        // A negative width sets no limit.
        { u"abcd", -1, 4, 120 },
    };
    for (const FitRow& row : rows) {
        int32_t fit = -1;
        SIZE size { -1, -1 };
        ASSERT_EQ(PLW_GetTextExtentExPoint(
                      dc, row.Text.data(), static_cast<int32_t>(row.Text.size()), row.MaxExtent, &fit, nullptr, &size),
            1);
        SCOPED_TRACE(std::to_string(row.Text.size()) + " characters in " + std::to_string(row.MaxExtent));
        EXPECT_EQ(fit, row.Fit);
        EXPECT_EQ(size.cx, row.Width);
        EXPECT_EQ(size.cy, 57);
    }
}

TEST_F(TextMeasureTest, SurrogatePairsAreMeasuredAndFittedWhole)
{
    SelectedFont font(dc, MakeLogFont(u"Liberation Mono", -50));
    // U+1D400 MATHEMATICAL BOLD CAPITAL A, as two UTF-16 units.
    std::u16string text = u"a\U0001D400b";
    ASSERT_EQ(text.size(), 4u);
    int32_t pairWidth = Extent(text) - Extent(u"ab");
    int32_t fit = -1;
    SIZE size {};
    ASSERT_EQ(PLW_GetTextExtentExPoint(dc, text.data(), 4, 30 + pairWidth - 1, &fit, nullptr, &size), 1);
    EXPECT_EQ(fit, 1);
    ASSERT_EQ(PLW_GetTextExtentExPoint(dc, text.data(), 4, 30 + pairWidth, &fit, nullptr, &size), 1);
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
