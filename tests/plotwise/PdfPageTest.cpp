#include "PdfPage.h"

#include <hb.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace plotwise {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCjkCollection = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";

LOGFONTW Request(const std::u16string& face, int32_t height)
{
    LOGFONTW font {};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    for (size_t i = 0; i < face.size() && i < LF_FACESIZE - 1; ++i)
        font.lfFaceName[i] = face[i];
    return font;
}

// The content stream of one text drawn with the given glyphs of a face.
std::string ContentOf(const std::shared_ptr<Font>& font, const FontFace& face, std::vector<unsigned> glyphs,
    std::u16string text, PdfFontSet& fonts, PdfImageSet& images)
{
    TextOp op;
    op.X = 100;
    op.Y = 200;
    op.BkMode = TRANSPARENT;
    op.TextFont = font;
    op.Text = std::move(text);
    int32_t x = 0;
    for (unsigned glyph : glyphs) {
        op.Glyphs.push_back({ &face, glyph, x });
        x += 50;
    }
    op.Width = x;
    Page page;
    page.Ops.emplace_back(std::move(op));
    PageGeometry geometry;
    geometry.Dpi = 600;
    geometry.HeightPoints = 792;
    return PageContent(page, geometry, fonts, images);
}

class PdfPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("pdf-page-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        file_.Open((folder_ / "page.pdf").string(), ExistingFile::Replace, error_);
    }
    void TearDown() override
    {
        file_.Abandon();
        fs::remove_all(folder_);
    }

    fs::path folder_;
    std::string error_;
    OutputFile file_;
};

// A face that is neither TrueType nor OpenType, here the bare CFF program of
// a CJK collection, cannot be embedded as a subset: its glyphs are filled
// outlines at the text's place, outside any text object.
TEST_F(PdfPageTest, GlyphsOfAFaceThatCannotBeEmbeddedAreDrawnAsOutlines)
{
    ASSERT_TRUE(fs::exists(kCjkCollection)) << "scripts/install-deps.sh installs the CJK fonts";
    hb_blob_t* collection = hb_blob_create_from_file(kCjkCollection);
    hb_face_t* face = hb_face_create(collection, 0);
    // A bare CFF program has no character map: the glyph comes from the
    // collection's, whose glyph numbers the program shares.
    hb_font_t* hbFont = hb_font_create(face);
    hb_codepoint_t glyph = 0;
    ASSERT_TRUE(hb_font_get_nominal_glyph(hbFont, U'港', &glyph));
    hb_font_destroy(hbFont);
    hb_blob_t* cff = hb_face_reference_table(face, HB_TAG('C', 'F', 'F', ' '));
    unsigned length = 0;
    const char* bytes = hb_blob_get_data(cff, &length);
    ASSERT_GT(length, 0u);
    const fs::path bare = folder_ / "bare.cff";
    std::ofstream(bare, std::ios::binary).write(bytes, length);
    hb_blob_destroy(cff);
    hb_face_destroy(face);
    hb_blob_destroy(collection);

    std::shared_ptr<FontFace> bareFace = OpenFontFace(bare.string(), 0);
    ASSERT_NE(bareFace, nullptr);
    std::shared_ptr<Font> font = Font::Create(Request(u"Liberation Sans", -100));
    ASSERT_NE(font, nullptr);
    PdfFile pdf(file_);
    PdfFontSet fonts(pdf);
    PdfImageSet images(pdf);
    std::string content = ContentOf(font, *bareFace, { glyph, glyph }, u"港港", fonts, images);
    EXPECT_EQ(content.find("BT"), std::string::npos) << content;
    EXPECT_EQ(content.find("Tf"), std::string::npos);
    EXPECT_GT(std::count(content.begin(), content.end(), 'c'), 4) << content; // curves of the outline
    EXPECT_EQ(std::count(content.begin(), content.end(), 'f'), 2); // one fill per glyph
    std::string resources;
    fonts.AppendResources(resources);
    EXPECT_EQ(resources, "");
}

// Each size of a face is a font resource of its own; the same size drawn
// again uses the same resource.
TEST_F(PdfPageTest, EachSizeOfAFaceIsAFontResourceOfItsOwn)
{
    std::shared_ptr<Font> small = Font::Create(Request(u"Liberation Serif", -100));
    std::shared_ptr<Font> large = Font::Create(Request(u"Liberation Serif", -200));
    ASSERT_NE(small, nullptr);
    ASSERT_NE(large, nullptr);
    const FontFace& face = small->Primary();
    const unsigned a = face.GlyphIndex(U'a');
    PdfFile pdf(file_);
    PdfFontSet fonts(pdf);
    PdfImageSet images(pdf);
    std::string first = ContentOf(small, face, { a }, u"a", fonts, images);
    std::string second = ContentOf(large, large->Primary(), { a }, u"a", fonts, images);
    std::string third = ContentOf(small, face, { a }, u"a", fonts, images);
    EXPECT_NE(first.find("/F1 1 Tf"), std::string::npos) << first;
    EXPECT_NE(second.find("/F2 1 Tf"), std::string::npos) << second;
    EXPECT_NE(third.find("/F1 1 Tf"), std::string::npos) << third;
    std::string resources;
    fonts.AppendResources(resources);
    EXPECT_EQ(std::count(resources.begin(), resources.end(), '/'), 2) << resources;
}

} // namespace
} // namespace plotwise
