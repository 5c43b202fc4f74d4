// Control words: properties and their defaults, the font table, the colour
// table with its recovery rules, and pictures: the record filled from the
// picture keywords, binary data, and where the picture lands.

#include "RtfFixture.h"

#include <ColorTable.h>
#include <LineLayout.h>

#include <Pictures.h>
#include <PrintJob.h>
#include <SettingsStore.h>
#include <string>
#include <tuple>
#include <vector>

namespace rtf::testing {
namespace {

using printengine::CurrentCharFormat;
using printengine::CurrentParaFormat;

struct PropertyCase {
    const char* Name;
    std::string_view Document; // parsed without closing its group
    printengine::CharFormat Char;
    printengine::ParaFormat Para;
};

class RtfPropertyTest : public RtfTest, public ::testing::WithParamInterface<PropertyCase> { };

TEST_P(RtfPropertyTest, SetsTheFormat)
{
    const PropertyCase& row = GetParam();
    Parse(row.Document);
    const auto para = [](const printengine::ParaFormat& f) {
        return std::tie(f.LeftIndent, f.RightIndent, f.FirstIndent, f.Alignment);
    };
    EXPECT_EQ(CurrentCharFormat(), row.Char);
    EXPECT_EQ(para(CurrentParaFormat()), para(row.Para));
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfPropertyTest,
    ::testing::Values(PropertyCase { "bold_alone_switches_on", "{\\b ", { .Bold = 1 }, {} },
        PropertyCase { "bold_zero_switches_off", "{\\b\\b0 ", {}, {} },
        PropertyCase { "character_flags", "{\\i\\ul\\strike ", { .Underline = 1, .Italic = 1, .Strike = 1 }, {} },
        PropertyCase { "revised_and_deleted", "{\\revised\\deleted ", { .Underline = 1, .Strike = 1 }, {} },
        PropertyCase { "font_size_colours", "{\\f3\\fs20\\cf2\\cb1 ",
            { .FontNumber = 3, .Size = 20, .ForeColor = 2, .BackColor = 1 }, {} },
        PropertyCase { "font_size_without_parameter_is_zero", "{\\fs30\\fs ", {}, {} },
        PropertyCase { "plain_resets_to_twelve_points", "{\\b\\i\\fs40\\plain ", { .Size = 24 }, {} },
        PropertyCase { "byte_property_keeps_the_low_byte", "{\\b257 ", { .Bold = 1 }, {} },
        PropertyCase { "indents", "{\\li720\\ri-360\\fi-240 ", {}, { 720, -360, -240, 0 } },
        PropertyCase { "centre_with_a_parameter_still_centres", "{\\qc5 ", {}, { 0, 0, 0, printengine::kAlignCentre } },
        PropertyCase { "right_then_justify", "{\\qr\\qj ", {}, { 0, 0, 0, printengine::kAlignJustify } },
        PropertyCase { "pard_clears_the_paragraph", "{\\li720\\qc\\pard ", {}, {} },
        PropertyCase { "properties_in_a_skipped_group_do_nothing", "{\\*\\foo\\b\\li99 ", {}, {} }),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RtfTest, TabStopsAreAddedAndPardClearsThem)
{
    Parse("{\\tx720\\tx1440 ");
    EXPECT_EQ(printengine::TabStops().size(), 2u);
    Parse("{\\tx720\\pard ");
    EXPECT_TRUE(printengine::TabStops().empty());
}

struct ColorCase {
    const char* Name;
    std::string_view Body;
    std::vector<COLORREF> Table;
    std::u16string_view Text;
};

class RtfColorTableTest : public RtfTest, public ::testing::WithParamInterface<ColorCase> { };

TEST_P(RtfColorTableTest, ReadsTheTable)
{
    const ColorCase& row = GetParam();
    const std::string document = "{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}" + std::string(row.Body) + "\\f0 x\\par}";
    ASSERT_EQ(Parse(document), kRtfOk);
    EXPECT_EQ(printengine::ColorTable(), row.Table);
    printengine::EndPrintJob();
    EXPECT_EQ(DrawnText(), row.Text);
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfColorTableTest,
    ::testing::Values(ColorCase { "two_entries", "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}",
                          { PLW_RGB(255, 0, 0), PLW_RGB(0, 128, 255) }, u"x" },
        ColorCase { "missing_number_is_zero", "{\\colortbl;\\red\\green9\\blue;}", { PLW_RGB(0, 9, 0) }, u"x" },
        ColorCase {
            "components_modulo_256", "{\\colortbl;\\red256\\green257\\blue511;}", { PLW_RGB(0, 1, 255) }, u"x" },
        ColorCase { "empty_table", "{\\colortbl;}", {}, u"x" },
        ColorCase { "first_entry_without_red_prints_its_text", "{\\colortbl;\\green7\\blue0;}", { 0 }, u"green7;x" },
        ColorCase { "theme_words_before_the_components",
            "{\\colortbl;\\ctextone\\ctint255\\cshade255\\red1\\green2\\blue3;\\chyperlink\\red4\\green5\\blue6;}",
            { PLW_RGB(1, 2, 3), PLW_RGB(4, 5, 6) }, u"x" },
        ColorCase { "theme_word_without_components_prints_its_text", "{\\colortbl;\\ctextone;}", { 0 }, u"ctextone;x" },
        ColorCase {
            "unknown_word_before_red_prints_its_text", "{\\colortbl;\\cfoo\\red1\\green2\\blue3;}", { 0 }, u"cfoo;x" },
        ColorCase { "entry_without_backslash_keeps_earlier_entries", "{\\colortbl;\\red1\\green2\\blue3;x;}",
            { PLW_RGB(1, 2, 3), 0 }, u";x" }),
    [](const auto& info) { return std::string(info.param.Name); });

struct FontTableRow {
    std::int16_t Number;
    std::int16_t Family;
    std::int16_t Charset;
    std::u16string_view Face;
};

struct FontCase {
    const char* Name;
    std::string_view Table;
    std::vector<FontTableRow> Entries;
};

class RtfFontTableTest : public RtfTest, public ::testing::WithParamInterface<FontCase> { };

TEST_P(RtfFontTableTest, ReadsTheFonts)
{
    const FontCase& row = GetParam();
    ASSERT_EQ(Parse("{\\rtf1" + std::string(row.Table) + "}"), kRtfOk);
    const auto& table = printengine::Flow().FontTable;
    ASSERT_EQ(table.size(), row.Entries.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table[i].Number, row.Entries[i].Number);
        EXPECT_EQ(table[i].Family, row.Entries[i].Family);
        EXPECT_EQ(table[i].Charset, row.Entries[i].Charset);
        EXPECT_EQ(std::u16string_view(table[i].FaceName), row.Entries[i].Face);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfFontTableTest,
    ::testing::Values(FontCase { "two_fonts",
                          "{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fmodern\\fprq1 Courier New;}}",
                          { { 0, 2, 0, u"Times New Roman" }, { 1, 4, 0, u"Courier New" } } },
        FontCase { "fonts_without_groups", "{\\fonttbl\\f0\\fswiss Arial;\\f1\\fnil Symbol;}",
            { { 0, 3, 0, u"Arial" }, { 1, 1, 0, u"Symbol" } } },
        FontCase { "document_numbers_are_kept", "{\\fonttbl{\\f2 Arial;}{\\f7 Tahoma;}}",
            { { 2, 0, 0, u"Arial" }, { 7, 0, 0, u"Tahoma" } } },
        FontCase { "empty_face_keeps_its_number", "{\\fonttbl{\\f5}}", { { 5, 0, 0, u"" } } },
        FontCase { "face_name_cut_at_31", "{\\fonttbl{\\f0 ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij;}}",
            { { 0, 0, 0, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde" } } },
        FontCase { "hex_escape_in_face_name", "{\\fonttbl{\\f0\\fcharset0 Caf\\'e9;}}", { { 0, 0, 0, u"Caf\u00e9" } } },
        FontCase { "double_byte_face_name", "{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}}",
            { { 0, 0, 128, u"\uff2d\uff33" } } },
        FontCase { "panose_after_star_is_skipped", "{\\fonttbl{\\f0 {\\*\\panose 020b0604020202020204}Arial;}}",
            { { 0, 0, 0, u"Arial" } } }),
    [](const auto& info) { return std::string(info.param.Name); });

struct DrawnPicture {
    PLW_PICTURE Fields;
    std::vector<std::uint8_t> Data;
    std::int32_t X;
    std::int32_t Y;
};

std::vector<DrawnPicture> drawnPictures;

int32_t RecordPicture(HDC, const PLW_PICTURE* picture, int32_t x, int32_t y)
{
    drawnPictures.push_back(
        { *picture, std::vector<std::uint8_t>(picture->Data, picture->Data + picture->DataSize + 2), x, y });
    return 1;
}

class RtfPictureTest : public RtfTest {
protected:
    void SetUp() override
    {
        RtfTest::SetUp();
        drawnPictures.clear();
        PLW_DrawPictIndirect = RecordPicture;
    }

    static std::string Picture(std::string_view keywords, std::string_view data)
    {
        return "{\\pict" + std::string(keywords) + "\\bin" + std::to_string(data.size()) + " " + std::string(data)
            + "}";
    }
};

TEST_F(RtfPictureTest, KeywordsFillTheRecord)
{
    ASSERT_EQ(Parse("{\\rtf1{\\pict\\dibitmap0\\picw10\\pich20\\picwgoal1440\\pichgoal720\\picscalex50\\picscaley75"
                    "\\wbmbitspixel24\\wbmplanes1\\wbmwidthbytes32\\piccropl1\\piccropt2\\piccropr3\\piccropb4"),
        kRtfUnmatchedBrace);
    const auto& record = CurrentPicture();
    ASSERT_TRUE(record.has_value());
    const auto fields = [](const PLW_PICTURE& f) {
        return std::tie(f.Type, f.SourceWidth, f.SourceHeight, f.GoalWidth, f.GoalHeight, f.ScaleX, f.ScaleY,
            f.BitsPerPixel, f.Planes, f.BytesPerRow, f.CropLeft, f.CropTop, f.CropRight, f.CropBottom);
    };
    const PLW_PICTURE expected { 0, 10, 20, 1440, 720, 50, 75, 24, 1, 32, 0, 1, 2, 3, 4, nullptr };
    EXPECT_EQ(fields(record->Fields), fields(expected));
    EXPECT_FALSE(record->HasData);
}

struct PlacementCase {
    const char* Name;
    std::int32_t ResizeChoice;
    std::string_view Alignment;
    std::int32_t GoalWidth; // twips in the document
    std::int32_t RecordWidth;
    std::int32_t X; // from OriginX
};

class RtfPicturePlacementTest : public RtfPictureTest, public ::testing::WithParamInterface<PlacementCase> { };

TEST_P(RtfPicturePlacementTest, PlacesThePicture)
{
    const PlacementCase& row = GetParam();
    core::SetResizeChoice(row.ResizeChoice);
    ASSERT_EQ(Parse("{\\rtf1" + std::string(row.Alignment) + " "
                  + Picture("\\picwgoal" + std::to_string(row.GoalWidth) + "\\pichgoal1440", "DATA") + "}"),
        kRtfOk);
    ASSERT_EQ(drawnPictures.size(), 1u);
    const DrawnPicture& drawn = drawnPictures[0];
    EXPECT_EQ(drawn.Fields.GoalWidth, row.RecordWidth);
    EXPECT_EQ(drawn.X - printengine::Job().OriginX, row.X);
    EXPECT_EQ(drawn.Fields.DataSize, 4);
    EXPECT_EQ(drawn.Data, (std::vector<std::uint8_t> { 'D', 'A', 'T', 'A', 0, 0 }));
    EXPECT_FALSE(CurrentPicture().has_value());
}

// The double's column is 2550 dots at 300 dpi.
INSTANTIATE_TEST_SUITE_P(Rows, RtfPicturePlacementTest,
    ::testing::Values(PlacementCase { "left_at_full_size", core::kResizeChoice100, "\\ql", 1440, 1440, 0 },
        PlacementCase { "half_size", core::kResizeChoice50, "\\ql", 1440, 720, 0 },
        PlacementCase { "centred", core::kResizeChoice100, "\\qc", 1440, 1440, (2550 - 300) / 2 },
        PlacementCase { "right", core::kResizeChoice100, "\\qr", 1440, 1440, 2550 - 300 },
        PlacementCase { "justified_is_left", core::kResizeChoice100, "\\qj", 1440, 1440, 0 }),
    [](const auto& info) { return std::string(info.param.Name); });

// Right after a paragraph the pen does not move; after blank lines as high
// as the picture (24 dots) it moves up by two of them.
TEST_F(RtfPictureTest, APictureMovesUpOnlyOverBlankLinesAsHighAsItself)
{
    const std::tuple<const char*, const char*, std::int32_t, std::int32_t> rows[] = {
        { "line\\par ", "1440", 0, 300 },
        { "line\\par\\par\\par\\par ", "115", 2 * 24, 24 },
    };
    for (const auto& [text, goal, up, penX] : rows) {
        drawnPictures.clear();
        const std::string size = "\\picwgoal" + std::string(goal) + "\\pichgoal" + goal;
        ASSERT_EQ(Parse("{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f0\\fs24 " + std::string(text) + Picture(size, "x")
                      + "}"),
            kRtfOk);
        ASSERT_EQ(drawnPictures.size(), 1u);
        EXPECT_EQ(drawnPictures[0].Y, printengine::Job().OriginY + printengine::Job().PenY - up) << goal;
        EXPECT_EQ(printengine::Job().PenX, penX) << goal;
    }
}

TEST_F(RtfPictureTest, PictureWithoutBinaryDataDrawsNothingAndKeepsItsValues)
{
    ASSERT_EQ(Parse("{\\rtf1{\\pict\\picwgoal1440 0a0b0c}" + Picture("\\pichgoal720", "z") + "}"), kRtfOk);
    ASSERT_EQ(drawnPictures.size(), 1u);
    EXPECT_EQ(drawnPictures[0].Fields.GoalWidth, 1440);
    EXPECT_EQ(drawnPictures[0].Fields.GoalHeight, 720);
}

TEST_F(RtfPictureTest, HugeBinaryCountIsRefusedWithoutAllocating)
{
    EXPECT_EQ(Parse("{\\pict\\bin2000000000 abc}"), kRtfEndOfFile);
    EXPECT_FALSE(CurrentPicture().has_value() && CurrentPicture()->HasData);
}

} // namespace
} // namespace rtf::testing
