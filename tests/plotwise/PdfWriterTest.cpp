// The PDF writer: numbers and strings, the file's objects and its
// cross-reference table, and the content of pages.

#include "PdfWriter.h"
#include "PdfPage.h"
#include "PlotwiseTestSupport.h"

#include <hb.h>

#include <limits>
#include <regex>
#include <thread>
#include <tuple>

namespace plotwise {
namespace {

using namespace plotwise_test;

TEST(PdfWriterTest, NumbersAreShortAndExactAndTextsUtf16WithAByteOrderMark)
{
    // A value, its decimals at most, the number written.
    const std::tuple<double, int, const char*> rows[] = {
        { 0, 2, "0" },
        { 0.5, 2, "0.5" },
        { -3.25, 2, "-3.25" },
        { 0.123456789, 6, "0.123457" },
        { 1.005, 2, "1" }, // 1.00499999... in binary
        { 2.675, 1, "2.7" },
        { 0.001, 2, "0" },
        { -0.001, 2, "0" },
        { -0.6, 0, "-1" },
        { 1e300, 2, "1000000000000" },
        { std::numeric_limits<double>::quiet_NaN(), 2, "0" },
        { 5.5, 9, "5.5" },
    };
    for (const auto& [value, decimals, expected] : rows) {
        std::string out;
        AppendReal(out, value, decimals);
        EXPECT_EQ(out, expected) << value << " with " << decimals;
    }
    std::string integers;
    for (int64_t value : { int64_t { 0 }, int64_t { -7 }, int64_t { 1234567890123 } }) {
        AppendInteger(integers, value);
        integers += ' ';
    }
    EXPECT_EQ(integers, "0 -7 1234567890123 ");

    // Text strings are UTF-16 with a byte order mark.
    const std::pair<std::string, const char*> texts[] = {
        { "", "<FEFF>" }, { "Ab", "<FEFF00410062>" }, { "Größe", "<FEFF0047007200F600DF0065>" },
        { "\xF0\x9F\x98\x80", "<FEFFD83DDE00>" }, // outside the basic plane: a surrogate pair
        { "\xFF", "<FEFFFFFD>" }, // not UTF-8
        { "a\xE2\x82", "<FEFF0061FFFDFFFD>" }, // cut short
    };
    for (const auto& [utf8, expected] : texts) {
        std::string out;
        AppendTextString(out, utf8);
        EXPECT_EQ(out, expected) << utf8;
    }
}

const PageGeometry kGeometry { .HeightPoints = 792 };

class PdfFileTest : public PlotwiseTest {
protected:
    void SetUp() override
    {
        PlotwiseTest::SetUp();
        std::string error;
        ASSERT_TRUE(file.Open(Path("out.pdf"), ExistingFile::Replace, error)) << error;
        ASSERT_TRUE(pdf.Begin());
    }

    // The content stream of a page with that operation alone.
    std::string ContentOf(DrawOp op)
    {
        Page page;
        page.Ops.push_back(std::move(op));
        return PageContent(page, kGeometry, fonts, images);
    }

    OutputFile file;
    PdfFile pdf { file };
    PdfFontSet fonts { pdf };
    PdfImageSet images { pdf };
};

// A text of a font as the library places it, every third glyph moved a
// little as justification moves them.
TextOp PlacedText(const std::shared_ptr<Font>& font, const std::u16string& text, int32_t y)
{
    TextOp op;
    op.X = 100;
    op.Y = y;
    op.BkMode = TRANSPARENT;
    op.TextFont = font;
    op.Text = text;
    int32_t x = 0;
    for (size_t position = 0; position < text.size();) {
        PlacedGlyph glyph
            = font->Glyph(NextCharacter(reinterpret_cast<const PLW_WCHAR*>(text.data()), text.size(), position));
        op.Glyphs.push_back({ glyph.Face, glyph.Index, x });
        x += glyph.Advance + (op.Glyphs.size() % 3 == 0 ? 7 : 0);
    }
    op.Width = x;
    return op;
}

// Every entry of the cross-reference table must point at its object, or a
// reader has to rebuild the table (and some refuse the file).
TEST_F(PdfFileTest, CrossReferenceTablePointsAtEveryObject)
{
    int catalog = pdf.Reserve();
    int pages = pdf.Reserve();
    int content = pdf.Reserve();
    int page = pdf.Reserve();
    int info = pdf.Reserve();
    // Written out of order, the way fonts are written after the pages.
    ASSERT_TRUE(pdf.WriteStream(content, "", std::string(5000, 'x'), StreamData::Compressed));
    ASSERT_TRUE(pdf.WriteObject(page, "<</Type/Page/Parent 2 0 R/MediaBox[0 0 100 100]/Contents 3 0 R>>"));
    ASSERT_TRUE(pdf.WriteObject(pages, "<</Type/Pages/Kids[4 0 R]/Count 1>>"));
    ASSERT_TRUE(pdf.WriteObject(catalog, "<</Type/Catalog/Pages 2 0 R>>"));
    ASSERT_TRUE(pdf.WriteObject(info, "<<>>"));
    ASSERT_TRUE(pdf.Finish(catalog, info));
    std::string error;
    ASSERT_TRUE(file.Commit(error)) << error;

    std::string bytes = ReadFile(Path("out.pdf"));
    size_t startxref = bytes.rfind("startxref\n");
    ASSERT_NE(startxref, std::string::npos);
    size_t table = std::stoul(bytes.substr(startxref + 10));
    // Six entries from object 0, the free head of the list first.
    const std::string head = "xref\n0 6\n0000000000 65535 f \n";
    ASSERT_EQ(bytes.compare(table, head.size(), head), 0) << bytes.substr(table, head.size());
    std::istringstream entries(bytes.substr(table + head.size()));
    std::string line;
    for (int number = 1; number < 6; ++number) {
        std::getline(entries, line);
        ASSERT_EQ(line.size(), 19u) << line; // twenty bytes with the newline
        const std::string object = std::to_string(number) + " 0 obj\n";
        EXPECT_EQ(bytes.compare(std::stoul(line.substr(0, 10)), object.size(), object), 0) << "object " << number;
    }
    std::smatch length;
    ASSERT_TRUE(std::regex_search(bytes, length, std::regex(R"(/Length (\d+)/Filter/FlateDecode>>\nstream\n)")));
    size_t streamStart = static_cast<size_t>(length.position(0) + length.length(0));
    EXPECT_EQ(bytes.compare(streamStart + std::stoul(length[1]), 10, "\nendstream"), 0);
    EXPECT_LT(std::stoul(length[1]), 100u); // five thousand alike bytes compress
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\n");
}

TEST_F(PdfFileTest, AnObjectReservedAndNeverWrittenFailsTheDocument)
{
    int catalog = pdf.Reserve();
    pdf.Reserve();
    ASSERT_TRUE(pdf.WriteObject(catalog, "<<>>"));
    EXPECT_FALSE(pdf.Finish(catalog, catalog));
}

constexpr const char* kCjkCollection = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";

// A face that is neither TrueType nor OpenType, here the bare CFF program of
// a CJK collection, cannot be embedded as a subset: its glyphs are filled
// outlines at the text's place, outside any text object.
TEST_F(PdfFileTest, GlyphsOfAFaceThatCannotBeEmbeddedAreDrawnAsOutlines)
{
    ASSERT_TRUE(std::filesystem::exists(kCjkCollection)) << "scripts/install-deps.sh installs the CJK fonts";
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
    const std::filesystem::path bare = folder / "bare.cff";
    std::ofstream(bare, std::ios::binary).write(bytes, length);
    hb_blob_destroy(cff);
    hb_face_destroy(face);
    hb_blob_destroy(collection);

    std::shared_ptr<FontFace> bareFace = OpenFontFace(bare.string(), 0);
    ASSERT_NE(bareFace, nullptr);
    std::shared_ptr<Font> font = Font::Create(MakeLogFont(u"Liberation Sans", -100));
    ASSERT_NE(font, nullptr);
    TextOp op = PlacedText(font, u"港港", 200);
    for (GlyphPlacement& placed : op.Glyphs)
        placed = { bareFace.get(), glyph, placed.X };
    std::string content = ContentOf(std::move(op));
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
TEST_F(PdfFileTest, EachSizeOfAFaceIsAFontResourceOfItsOwn)
{
    std::shared_ptr<Font> small = Font::Create(MakeLogFont(u"Liberation Serif", -100));
    std::shared_ptr<Font> large = Font::Create(MakeLogFont(u"Liberation Serif", -200));
    ASSERT_TRUE(small && large);
    const std::pair<std::shared_ptr<Font>, const char*> uses[]
        = { { small, "/F1 1 Tf" }, { large, "/F2 1 Tf" }, { small, "/F1 1 Tf" } };
    for (const auto& [font, resource] : uses) {
        const std::string content = ContentOf(PlacedText(font, u"a", 200));
        EXPECT_NE(content.find(resource), std::string::npos) << content;
    }
    std::string resources;
    fonts.AppendResources(resources);
    EXPECT_EQ(std::count(resources.begin(), resources.end(), '/'), 2) << resources;
}

// A page's content made on another thread, from the fonts fixed before,
// while the next page is fixed here, is the content made here at once; the
// same objects are reserved in the same order.
TEST_F(PdfFileTest, PagesMadeOnTheWritingThreadAreThoseMadeHere)
{
    std::shared_ptr<Font> serif = Font::Create(MakeLogFont(u"Liberation Serif", -100));
    std::shared_ptr<Font> sans = Font::Create(MakeLogFont(u"Liberation Sans", -200));
    LOGFONTW underlined = MakeLogFont(u"Liberation Serif", -100);
    underlined.lfUnderline = 1;
    std::shared_ptr<Font> underline = Font::Create(underlined);
    ASSERT_TRUE(serif && sans && underline);
    std::vector<Page> pages(4);
    pages[0].Ops.emplace_back(PlacedText(serif, u"abc", 100));
    pages[0].Ops.emplace_back(RectangleOp { { 10, 10, 500, 300 }, { false, 3, 0x0000FF }, { true, 0 } });
    pages[1].Ops.emplace_back(PlacedText(sans, u"abc xyz", 100));
    pages[1].Ops.emplace_back(PlacedText(serif, u"zebra \u00E9t\u00E9", 400));
    pages[2].Ops.emplace_back(PlacedText(underline, u"quick", 100));
    pages[3].Ops.emplace_back(PlacedText(serif, u"Zebra", 100));
    pages[3].Ops.emplace_back(PlacedText(sans, u"QUICK \u20AC", 400));
    OutputFile otherFile;
    std::string error;
    ASSERT_TRUE(otherFile.Open(Path("other.pdf"), ExistingFile::Replace, error)) << error;
    PdfFile other(otherFile);
    PdfFontSet fixedFonts(other);
    std::vector<std::string> expected;
    std::vector<std::string> made(pages.size());
    std::thread making;
    for (size_t i = 0; i < pages.size(); ++i) {
        expected.push_back(PageContent(pages[i], kGeometry, fonts, images));
        Page taken = pages[i];
        std::unique_ptr<StreamBuilder> builder = FixedPageContent(taken, kGeometry, fixedFonts);
        if (making.joinable())
            making.join();
        if (!builder) {
            ADD_FAILURE() << "page " << i << " was not made aside";
            break;
        }
        EXPECT_TRUE(taken.Ops.empty());
        EXPECT_EQ(pdf.Reserve(), other.Reserve()) << "page " << i;
        making = std::thread([&made, i, builder = std::move(builder)] { made[i] = builder->Build({}); });
    }
    if (making.joinable())
        making.join();
    EXPECT_EQ(made, expected);
    std::string resources;
    std::string fixedResources;
    fonts.AppendResources(resources);
    fixedFonts.AppendResources(fixedResources);
    EXPECT_EQ(fixedResources, resources);
    other.Cancel();
    otherFile.Abandon();

    // A page with a picture is made here, where its image is written.
    Page withPicture;
    withPicture.Ops.emplace_back(PlacedText(serif, u"abc", 100));
    withPicture.Ops.emplace_back(PictureOp {});
    EXPECT_EQ(FixedPageContent(withPicture, kGeometry, fonts), nullptr);
    EXPECT_EQ(withPicture.Ops.size(), 2u);
}

} // namespace
} // namespace plotwise
