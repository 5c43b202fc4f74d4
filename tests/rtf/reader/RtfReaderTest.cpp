// The tokenizer: groups, control words, hex escapes, double-byte text,
// Unicode characters, skipped destinations and the error codes.

#include "RtfFixture.h"

#include <ByteDecoder.h>
#include <ReaderState.h>

#include <cstdint>
#include <string>
#include <tuple>

namespace rtf::testing {
namespace {

using printengine::testing::ShownMessages;

// A body in a document of one font, or a whole document as it is.
std::string Document(std::string_view body)
{
    if (body.starts_with("{\\rtf1"))
        return std::string(body);
    return std::string("{\\rtf1\\ansi{\\fonttbl{\\f0\\fmodern Liberation Mono;}}\\f0\\fs24 ") + std::string(body) + "}";
}

struct TextCase {
    const char* Name;
    std::string_view Body;
    std::u16string_view Expected;
};

class RtfTextTest : public RtfTest, public ::testing::WithParamInterface<TextCase> { };

TEST_P(RtfTextTest, PrintsTheDocumentText)
{
    const TextCase& row = GetParam();
    EXPECT_EQ(Print(Document(row.Body)), kRtfPrinted);
    EXPECT_EQ(DrawnText(), row.Expected);
    EXPECT_TRUE(ShownMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfTextTest,
    ::testing::Values(TextCase { "plain", "Hello world\\par", u"Hello world" },
        TextCase { "line_breaks_in_the_source_add_nothing", "Hello\r\nworld\\par", u"Helloworld" },
        TextCase { "hex_escape_through_code_page_1252", "caf\\'e9\\par", u"caf\u00e9" },
        TextCase { "hex_escape_upper_case_digits", "\\'C9t\\'E9\\par", u"\u00c9t\u00e9" },
        TextCase { "unicode_negative_parameter", "\\u-3913 x\\par", u"\uf0b7x" },
        TextCase { "unicode_drops_the_hex_fallback", "\\u233\\'e9 z\\par", u"\u00e9 z" },
        TextCase { "unicode_keeps_a_plain_fallback", "\\u8364 ?\\par", u"\u20ac?" },
        TextCase { "uc2_drops_two_hex_escapes", "\\uc2\\u26085\\'93\\'fa!\\par", u"\u65e5!" },
        TextCase { "uc0_drops_nothing", "\\uc0\\u233\\'e9\\par", u"\u00e9\u00e9" },
        TextCase { "uc_belongs_to_its_group", "{\\uc2\\u233\\'e9\\'e9}\\u233\\'e9\\'e9\\par", u"\u00e9\u00e9\u00e9" },
        TextCase { "plain_character_keeps_the_fallback_pending", "\\uc2\\u233 x\\'e9\\par", u"\u00e9x" },
        TextCase { "skipped_header", "a{\\header H}b\\par", u"ab" },
        TextCase { "skipped_footnote_and_info", "a{\\footnote F}{\\info{\\title T}}b\\par", u"ab" },
        TextCase { "unknown_destination_after_star", "a{\\*\\foo x}b\\par", u"ab" },
        TextCase { "unknown_word_without_star", "a{\\foo x}b\\par", u"axb" },
        TextCase { "double_quotes", "\\ldblquote q\\rdblquote\\par", u"\"q\"" },
        TextCase { "escaped_symbols", "\\{x\\}\\\\\\par", u"{x}\\" },
        TextCase { "paragraphs", "one\\par two\\par", u"one|two" },
        TextCase { "tab_character", "a\\tab b\\par", u"ab" },
        TextCase { "binary_data_outside_a_picture_is_text", "a\\bin3 xyzb\\par", u"axyzb" },
        TextCase { "empty_document", "", u"" },
        TextCase { "shift_jis_pair_of_hex_escapes",
            "{\\rtf1{\\fonttbl{\\f0\\fcharset128 Liberation Mono;}}\\f0 \\'82\\'a0\\par}", u"\u3042" },
        TextCase { "shift_jis_bytes_written_plain",
            "{\\rtf1{\\fonttbl{\\f0\\fcharset128 Liberation Mono;}}\\f0 \x82\xa0\\par}", u"\u3042" },
        TextCase { "document_code_page_serves_charsets_outside_the_table",
            "{\\rtf1\\ansicpg1251{\\fonttbl{\\f0\\fcharset77 Liberation Mono;}}\\f0 \\'c0\\par}", u"\u0410" },
        TextCase { "cyrillic_charset",
            "{\\rtf1{\\fonttbl{\\f0\\fcharset204 Liberation Mono;}}\\f0 \\'cf\\'f0\\'e8\\par}", u"\u041f\u0440\u0438" },
        TextCase { "non_sequential_font_number",
            "{\\rtf1{\\fonttbl{\\f0 Liberation Sans;}{\\f31506 Liberation Mono;}}\\f31506 text\\par}", u"text" },
        // Text in a font the font table does not define prints in the
        // library's default face instead of being dropped.
        TextCase { "no_font_table", "{\\rtf1 Dear reader\\par}", u"Dear reader" },
        TextCase { "font_never_defined", "{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f5 five\\par}", u"five" },
        TextCase { "undefined_font_unicode_character_only", "{\\rtf1 \\u1055\\'3f\\par}", u"\u041f" },
        TextCase { "undefined_font_hex_escape_reads_charset_0", "{\\rtf1 caf\\'e9\\par}", u"caf\u00e9" },
        // A number no font table entry can hold prints nothing, and adds no
        // entry for each of its characters.
        TextCase { "font_number_beyond_the_table", "{\\rtf1\\f70000 lost\\par}", u"" }),
    [](const auto& info) { return std::string(info.param.Name); });

struct ErrorCase {
    const char* Name;
    std::string_view Document;
    int Expected;
};

class RtfErrorTest : public RtfTest, public ::testing::WithParamInterface<ErrorCase> { };

TEST_P(RtfErrorTest, ReturnsTheErrorCode)
{
    const ErrorCase& row = GetParam();
    EXPECT_EQ(Parse(row.Document), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfErrorTest,
    ::testing::Values(ErrorCase { "balanced", "{a{b}c}", kRtfOk },
        ErrorCase { "one_closing_brace_too_many", "{a}}", kRtfStackUnderflow },
        ErrorCase { "one_closing_brace_too_few", "{a{b}", kRtfUnmatchedBrace },
        ErrorCase { "invalid_hex_digit", "{\\'zz}", kRtfInvalidHex },
        ErrorCase { "second_hex_digit_invalid", "{\\'4g}", kRtfInvalidHex },
        ErrorCase { "end_after_backslash", "{a\\", kRtfEndOfFile },
        ErrorCase { "end_after_minus_sign", "{\\li-", kRtfEndOfFile },
        ErrorCase { "picture_data_cut_short", "{\\pict\\bin10 abcd}", kRtfEndOfFile },
        ErrorCase { "negative_binary_count_in_a_picture", "{\\pict\\bin-5 abcd}", kRtfEndOfFile },
        // A keyword of 40 letters and a parameter of 30 digits are cut, not overrun.
        ErrorCase { "long_keyword_and_parameter",
            "{\\bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb x\\fs111111111111111111111111111111 y}", kRtfOk }),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RtfTest, TooDeeplyNestedGroupsAreRejected)
{
    const std::string deep(static_cast<std::size_t>(kMaxGroupDepth) + 1, '{');
    EXPECT_EQ(Parse(deep), kRtfStackOverflow);
    EXPECT_EQ(Reader().GroupDepth, kMaxGroupDepth);
}

// A brace too many stops at once; one too few is found at the end, after
// the whole text was laid out. Either shows one message and ends the job.
TEST_F(RtfTest, AnErrorShowsOneMessageAndPrintsWhatWasLaidOut)
{
    const std::pair<std::string_view, std::u16string_view> rows[] = {
        { "{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f0 before\\par}} after", u"before" },
        { "{\\rtf1{\\fonttbl{\\f0 Liberation Mono;}}\\f0 all of it\\par", u"all of it" },
    };
    for (const auto& [document, drawn] : rows) {
        printengine::testing::InstallFakePrinter();
        EXPECT_EQ(Print(document), kRtfNotPrinted);
        EXPECT_EQ(DrawnText(), drawn);
        EXPECT_EQ(ShownMessages(), std::vector<std::u16string> { u"Error parsing rtf" });
        EXPECT_EQ(printengine::testing::CallCount("EndDoc"), 1);
    }
}

TEST_F(RtfTest, WithoutSourceNothingStarts)
{
    ReleaseSourceData();
    EXPECT_EQ(RtfPrintDocument(), kRtfNotPrinted);
    EXPECT_EQ(printengine::testing::CallCount("Init"), 0);
}

TEST_F(RtfTest, AGroupKeepsItsFormatToItself)
{
    ASSERT_EQ(Parse("{\\rtf1{\\fonttbl{\\f0 M;}}\\f0 a {\\b bold} c"), kRtfUnmatchedBrace);
    EXPECT_EQ(printengine::CurrentCharFormat().Bold, 0);
    // Three runs: "a ", "bold" in bold, " c".
    int bold = 0;
    for (auto* run = printengine::Flow().FirstRun; run != nullptr; run = run->Next)
        bold += run->Format.Bold;
    EXPECT_EQ(bold, 1);
}

TEST_F(RtfTest, TheOuterGroupRestoresTheFormatsOfBeforeTheDocument)
{
    ASSERT_EQ(Parse("{\\b\\i\\qc\\li720 x}"), kRtfOk);
    EXPECT_EQ(printengine::CurrentCharFormat(), printengine::CharFormat {});
    EXPECT_EQ(printengine::CurrentParaFormat().Alignment, printengine::kAlignLeft);
    EXPECT_EQ(printengine::CurrentParaFormat().LeftIndent, 0);
}

TEST_F(RtfTest, AControlWordAtTheVeryEndIsReadOnce)
{
    ASSERT_EQ(Parse("{x}\\b"), kRtfOk);
    EXPECT_EQ(printengine::CurrentCharFormat().Bold, 1);
    EXPECT_EQ(
        std::u16string(printengine::Flow().Pending, static_cast<std::size_t>(printengine::Flow().PendingLength)), u"x");
}

TEST_F(RtfTest, AnUndefinedFontIsDefinedOnce)
{
    ASSERT_EQ(Parse("{\\rtf1\\f3 many characters\\par more\\par\\f70000 x}"), kRtfOk);
    ASSERT_EQ(printengine::Flow().FontTable.size(), 1u);
    EXPECT_EQ(printengine::Flow().FontTable[0].Number, 3);
    EXPECT_EQ(printengine::Flow().FontTable[0].FaceName[0], u'\0');
}

// Document bytes through the code pages, each byte met again after other
// code pages were used, so that a kept answer is checked as well as a new one.

struct ByteCase {
    std::uint16_t CodePage;
    std::uint8_t Byte;
    bool LeadByte;
    char16_t Unit; // when not a lead byte
};

constexpr ByteCase kBytes[] = {
    { 1252, 0x41, false, u'A' },
    { 1252, 0xE9, false, u'\u00E9' },
    { 1252, 0x80, false, u'\u20AC' },
    { 1252, 0x81, false, 0x81 }, // not defined in 1252: stands for itself
    { 1251, 0xE9, false, u'\u0439' },
    { 1251, 0xCF, false, u'\u041F' },
    { 1253, 0xE1, false, u'\u03B1' },
    { 932, 0x41, false, u'A' },
    { 932, 0x82, true, 0 },
    { 932, 0xB1, false, u'\uFF71' }, // a half-width katakana: one byte
    { 936, 0xC4, true, 0 },
    { 437, 0x41, false, u'A' }, // a code page that cannot be converted
    { 437, 0xE9, false, 0xE9 },
};

TEST(ByteDecoderTest, DecodesEachByteInItsCodePage)
{
    ByteDecoder decoder;
    for (int round = 0; round < 2; ++round) {
        for (const ByteCase& row : kBytes) {
            const ByteDecoder::Byte decoded = decoder.Decode(row.CodePage, row.Byte);
            EXPECT_EQ(decoded.LeadByte, row.LeadByte) << row.CodePage << " " << int { row.Byte } << " round " << round;
            if (!row.LeadByte) {
                EXPECT_EQ(decoded.Unit, row.Unit) << row.CodePage << " " << int { row.Byte } << " round " << round;
            }
        }
    }
}

TEST(ByteDecoderTest, DecodesPairs)
{
    // The code page, the lead and trail bytes and the unit they make.
    const std::tuple<std::uint16_t, std::uint8_t, std::uint8_t, char16_t> rows[] = {
        { 932, 0x82, 0xA0, u'\u3042' },
        { 936, 0xC4, 0xE3, u'\u4F60' },
        { 932, 0x82, 0x20, 0x2082 }, // no such pair: the bytes' little-endian value
        { 437, 0x82, 0xA0, 0xA082 },
    };
    for (const auto& [codePage, lead, trail, unit] : rows)
        EXPECT_EQ(ByteDecoder::DecodePair(codePage, lead, trail), unit) << codePage;
}

} // namespace
} // namespace rtf::testing
