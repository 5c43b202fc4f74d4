// Control words: properties and their defaults, the font table and the
// colour table with its recovery rules.

#include "RtfFixture.h"

#include <ColorTable.h>
#include <Fonts.h>
#include <LineLayout.h>

#include <string>
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
    EXPECT_EQ(CurrentCharFormat(), row.Char);
    EXPECT_EQ(CurrentParaFormat().LeftIndent, row.Para.LeftIndent);
    EXPECT_EQ(CurrentParaFormat().RightIndent, row.Para.RightIndent);
    EXPECT_EQ(CurrentParaFormat().FirstIndent, row.Para.FirstIndent);
    EXPECT_EQ(CurrentParaFormat().Alignment, row.Para.Alignment);
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

} // namespace
} // namespace rtf::testing
