#include "Job.h"
#include "plotwise/plotwise.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace plotwise;

namespace {

// Opens a job on the recording destination and keeps it open, so the test
// can look at the operations of the current page.
class TextPlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("plotwise-placement-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        setenv("PLOTWISE_OUTPUT", (folder / "job.txt").c_str(), 1);
        PLW_Init(u"placement");
        PLW_PAGESETUP setup {};
        setup.lStructSize = sizeof setup;
        ASSERT_EQ(PLW_PrintDlg(&setup), 1);
        dc = PLW_GetPrinterDC();
        ASSERT_NE(dc, nullptr);
    }

    void TearDown() override
    {
        PLW_DeleteDC(dc);
        PLW_UnInit();
        unsetenv("PLOTWISE_OUTPUT");
        std::filesystem::remove_all(folder);
    }

    const TextOp& LastText() { return std::get<TextOp>(CurrentJob().Current.Ops.back()); }

    HFONT Font(const char16_t* face, int32_t height)
    {
        LOGFONTW font {};
        font.lfHeight = height;
        for (int i = 0; face[i]; ++i)
            font.lfFaceName[i] = face[i];
        return PLW_CreateFontIndirectW(&font);
    }

    std::filesystem::path folder;
    HDC dc = nullptr;
};

TEST_F(TextPlacementTest, EveryCharacterIsDrawnWhereItWasMeasured)
{
    const std::u16string texts[] = { u"Hello, world", u"Wörter mit Umlauten", u"Ελληνικά και Русский",
        u"mixed \u65E5\u672C text", u"a\U0001D400b", u"" };
    for (const char16_t* face : { u"Liberation Sans", u"Liberation Serif", u"Liberation Mono" }) {
        for (int32_t height : { -13, -50, -83, 41 }) {
            HFONT font = Font(face, height);
            HGDIOBJ previous = PLW_SelectObject(dc, font);
            for (const std::u16string& text : texts) {
                auto count = static_cast<int32_t>(text.size());
                std::vector<int32_t> extents(text.size() + 1, 0);
                SIZE size {};
                ASSERT_EQ(PLW_GetTextExtentExPoint(dc, text.data(), count, 0, nullptr, extents.data() + 1, &size), 1);
                ASSERT_EQ(PLW_ExtTextOut(dc, 1000, 2000, ETO_OPAQUE, nullptr, text.data(), count, nullptr), 1);
                if (text.empty())
                    continue;
                const TextOp& op = LastText();
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
            PLW_SelectObject(dc, previous);
            PLW_DeleteObject(font);
        }
    }
}

TEST_F(TextPlacementTest, GivenWidthsPlaceTheCharacters)
{
    HFONT font = Font(u"Liberation Sans", -50);
    PLW_SelectObject(dc, font);
    const int32_t dx[] = { 10, 20, 30, 40 };
    ASSERT_EQ(PLW_ExtTextOut(dc, 0, 0, 0, nullptr, u"abcd", 4, dx), 1);
    const TextOp& op = LastText();
    ASSERT_EQ(op.Glyphs.size(), 4u);
    EXPECT_EQ(op.Glyphs[0].X, 0);
    EXPECT_EQ(op.Glyphs[1].X, 10);
    EXPECT_EQ(op.Glyphs[2].X, 30);
    EXPECT_EQ(op.Glyphs[3].X, 60);
    EXPECT_EQ(op.Width, 100);
    PLW_SelectObject(dc, PLW_GetStockObject(SYSTEM_FONT));
    PLW_DeleteObject(font);
}

TEST_F(TextPlacementTest, MissingCharactersComeFromAnotherFace)
{
    HFONT font = Font(u"Liberation Mono", -50);
    PLW_SelectObject(dc, font);
    // Liberation Mono has Cyrillic; the arrows come from another face.
    ASSERT_EQ(PLW_ExtTextOut(dc, 0, 0, 0, nullptr, u"\u0416\u21D2", 2, nullptr), 1);
    const TextOp& op = LastText();
    ASSERT_EQ(op.Glyphs.size(), 2u);
    EXPECT_NE(op.Glyphs[0].Index, 0u);
    EXPECT_EQ(op.Glyphs[0].Face, &op.TextFont->Primary());
    if (op.Glyphs[1].Face == &op.TextFont->Primary())
        GTEST_SKIP() << "no face with U+21D2 installed";
    EXPECT_NE(op.Glyphs[1].Index, 0u);
    PLW_SelectObject(dc, PLW_GetStockObject(SYSTEM_FONT));
    PLW_DeleteObject(font);
}

} // namespace
