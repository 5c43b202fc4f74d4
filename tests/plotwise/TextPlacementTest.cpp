#include "Job.h"
#include "PlotwiseTestSupport.h"

#include <string>
#include <vector>

using namespace plotwise;
using namespace plotwise_test;

namespace {

using TextPlacementTest = OpenJobTest;

TEST_F(TextPlacementTest, EveryCharacterIsDrawnWhereItWasMeasured)
{
    const std::u16string texts[] = { u"Hello, world", u"Wörter mit Umlauten", u"Ελληνικά και Русский",
        u"mixed \u65E5\u672C text", u"a\U0001D400b", u"" };
    for (const char16_t* face : { u"Liberation Sans", u"Liberation Serif", u"Liberation Mono" }) {
        for (int32_t height : { -13, -50, -83, 41 }) {
            plotwise_test::SelectedFont font(dc, MakeLogFont(face, height));
            for (const std::u16string& text : texts) {
                auto count = static_cast<int32_t>(text.size());
                std::vector<int32_t> extents(text.size() + 1, 0);
                SIZE size {};
                ASSERT_EQ(PLW_GetTextExtentExPoint(dc, text.data(), count, 0, nullptr, extents.data() + 1, &size), 1);
                ASSERT_EQ(PLW_ExtTextOut(dc, 1000, 2000, ETO_OPAQUE, nullptr, text.data(), count, nullptr), 1);
                if (text.empty())
                    continue;
                const TextOp& op = std::get<TextOp>(CurrentJob().Current.Ops.back());
                EXPECT_EQ(op.Width, size.cx);
                // Glyph i starts where the characters before it end.
                size_t unit = 0;
                for (const GlyphPlacement& glyph : op.Glyphs) {
                    EXPECT_EQ(glyph.X, extents[unit]) << "unit " << unit;
                    bool pair = text[unit] >= 0xD800 && text[unit] < 0xDC00 && unit + 1 < text.size();
                    unit += pair ? 2 : 1;
                }
                EXPECT_EQ(unit, text.size());
            }
        }
    }
}

} // namespace
