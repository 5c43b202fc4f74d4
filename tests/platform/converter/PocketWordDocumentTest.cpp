#include "PocketWordDocument.h"

#include "PocketWordWriter.h"
#include "RtfText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace pocketword;

std::optional<std::string> Convert(const std::vector<std::uint8_t>& bytes, std::uint16_t codePage = 1252)
{
    return platform::PocketWordToRtf(bytes, codePage);
}

std::u16string TextOf(const std::string& rtf)
{
    return platform::RtfToUnicodeText(std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size()));
}

TEST(PocketWordDocumentTest, WritesWhatTheDocumentHoldsAsRtfReadingEightBitTextInTheCodePageGiven)
{
    const std::optional<std::string> rtf = Convert(WritePocketWord(SampleLetter()));
    ASSERT_TRUE(rtf);
    struct Row {
        const char* what;
        const char* piece;
    };
    const Row rows[] = {
        { "code page", "\\ansicpg1252" },
        { "fonts with charset", "{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}{\\f1\\fnil\\fcharset0 Courier New;}}" },
        { "centred bold title", "\\pard\\qc {\\f0\\fs32\\b\\cf1 Caf\\u233\\'3f menu}" },
        { "right-aligned paragraph", "\\pard\\qr " },
        { "italic", "{\\f0\\fs20\\i\\cf1 slanted}" },
        { "underline", "{\\f0\\fs20\\ul\\cf1 under}" },
        { "strike-out", "{\\f0\\fs20\\strike\\cf1 struck}" },
        { "colour", "{\\f0\\fs20\\cf2 red}" },
        { "tab", "\\tab " },
        { "second font", "{\\f1\\fs20\\cf1 mono}" },
        { "bullet in the format of its text",
            "\\pard\\ql\\li720\\ri1440\\fi-360\\tx720 {\\f0\\fs20\\cf1 \\u8226\\'3f\\tab first point}\\par" },
        { "colour table", "{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}" },
    };
    for (const Row& row : rows)
        EXPECT_NE(rtf->find(row.piece), std::string::npos) << row.what << "\n" << *rtf;

    // Eight-bit text is read in the code page given.
    const Document document { { { 0, u"Tahoma" } }, { { FontCode(0) + Text("\xe9\xe0") } } };
    struct CodePageRow {
        std::uint16_t codePage;
        std::u16string text;
        const char* charset;
    };
    const CodePageRow codePages[] = {
        { 1252, u"\u00e9\u00e0\r\n", "\\fcharset0 " },
        { 1251, u"\u0439\u0430\r\n", "\\fcharset204 " },
        { 1253, u"\u03b9\u03b0\r\n", "\\fcharset161 " },
    };
    for (const CodePageRow& row : codePages) {
        const std::optional<std::string> converted = Convert(WritePocketWord(document), row.codePage);
        ASSERT_TRUE(converted) << row.codePage;
        EXPECT_NE(converted->find(row.charset), std::string::npos) << *converted;
        EXPECT_EQ(TextOf(*converted), row.text) << row.codePage;
    }
}

// What is no Pocket Word document is refused, and a document cut anywhere is
// either refused or read: never a crash, and what is read is RTF.
TEST(PocketWordDocumentTest, RefusesWhatLibwpsCannotReadAndTruncatedDocumentsNeverCrash)
{
    const std::vector<std::uint8_t> whole = WritePocketWord(SampleLetter());
    // The signature alone, or text after it, the converter's own cases refuse.
    EXPECT_FALSE(Convert({})) << "empty";
    EXPECT_FALSE(Convert({ whole.begin(), whole.begin() + 14 })) << "header only";
    EXPECT_FALSE(Convert({ '{', '\\', 'r', 't', 'f', '1', '}' })) << "rtf";
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const std::optional<std::string> rtf = Convert({ whole.begin(), whole.begin() + length });
        if (rtf) {
            EXPECT_EQ(rtf->rfind("{\\rtf1", 0), 0u) << length;
        }
    }
}

// The committed samples, as a person would write them, read as their text.
TEST(PocketWordDocumentTest, SamplesReadAsTheirText)
{
    struct Row {
        const char* file;
        std::u16string text;
    };
    const Row rows[] = {
        { "shopping-list.psw",
            u"Market day\r\nSaturday, before ten\r\n\r\n\u2022\tCr\u00e8me fra\u00eeche and two baguettes\r\n"
            u"\u2022\tCaf\u00e9 beans, decaf dark roast\r\n\u2022\tAsk about the na\u00efve cheese\r\n"
            u"\u2022\tFlowers for Zo\u00eb\r\n\r\nBread\t2,40 \u20ac\r\nCheese\t6,90 \u20ac\r\nTotal\t9,30 "
            u"\u20ac\r\n" },
        { "meeting-notes.pwi",
            u"Harbour board\r\n6 December 2026\r\n\r\nThe first line of this paragraph starts half an inch in; the "
            u"lines after it start at the margin, as in a letter.\r\n\r\n\u201cThe tide waits for no one, and "
            u"neither does the harbour board.\u201d\r\n\r\nAgreed: dredge the bar in spring; report in March.\r\n" },
    };
    for (const Row& row : rows) {
        std::ifstream in(std::filesystem::path(POCKETWORD_SAMPLES_DIR) / row.file, std::ios::binary);
        const std::optional<std::string> rtf
            = Convert({ std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() });
        ASSERT_TRUE(rtf) << row.file;
        EXPECT_EQ(TextOf(*rtf), row.text) << row.file;
    }
}

} // namespace
