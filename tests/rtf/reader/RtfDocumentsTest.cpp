// Documents in the style of other programs' RTF (word processors, editors,
// converters), whole and cut short: each prints, or ends with the one message
// "Error parsing rtf", without a crash or a hang, and the text that prints is
// the document's text as the converter's own RTF-to-text conversion reads it.

#include "RtfFixture.h"

#include <RtfText.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rtf::testing {
namespace {

using printengine::testing::ShownMessages;

std::string ReadDocument(const std::string& name)
{
    std::ifstream in(std::filesystem::path(RTF_DOCUMENTS_DIR) / name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

bool IsWordCharacter(char16_t ch)
{
    if (ch < 0x80)
        return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
    // Spaces, signs, punctuation and typographic marks differ between the
    // two readers by design (quotes, dashes, bullets, no-break spaces).
    return !(ch < 0xC0 || (ch >= 0x2000 && ch <= 0x206F) || (ch >= 0x3000 && ch <= 0x303F) || ch == 0xFFFD);
}

// The letters and digits of a text, in order.
std::u16string Words(std::u16string_view text)
{
    std::u16string words;
    std::copy_if(text.begin(), text.end(), std::back_inserter(words), IsWordCharacter);
    return words;
}

std::u16string ConvertedWords(std::string_view document)
{
    return Words(
        platform::RtfToUnicodeText(std::span(reinterpret_cast<const std::uint8_t*>(document.data()), document.size())));
}

enum class Outcome { Printed, ParseError };

class RtfDocumentsTest : public RtfTest {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("LANG", "en_US.UTF-8", 1);
        RtfTest::SetUp();
    }

    // Prints the document on a fresh printer; the outcome, and the words
    // printed.
    static std::pair<Outcome, std::u16string> PrintWords(std::string_view document)
    {
        printengine::testing::InstallFakePrinter();
        ShownMessages().clear();
        const int result = Print(document);
        const Outcome outcome = result == kRtfPrinted ? Outcome::Printed : Outcome::ParseError;
        EXPECT_EQ(
            ShownMessages(), std::vector<std::u16string>(outcome == Outcome::Printed ? 0 : 1, u"Error parsing rtf"));
        ReleaseSourceData();
        return { outcome, Words(DrawnText()) };
    }
};

TEST_F(RtfDocumentsTest, EachDocumentPrintsItsText)
{
    struct Row {
        const char* file;
        Outcome outcome;
        std::u16string_view mustPrint; // words that show the body printed
    };
    const Row rows[] = {
        { "word-2010.rtf", Outcome::Printed, u"Quarterlyreport" },
        { "wordpad.rtf", Outcome::Printed, u"crèmefraîche" },
        { "converter-minimal.rtf", Outcome::Printed, u"Thisdocumenthasnofonttable" },
        { "textedit.rtf", Outcome::Printed, u"Notesfromtheharbour" },
        { "pandoc.rtf", Outcome::Printed, u"Aheading" },
        { "libreoffice.rtf", Outcome::Printed, u"日本語の潮汐表" },
        { "nested-within-limit.rtf", Outcome::Printed, u"startdeepend" },
        // Deeper than the reader's groups go: what came before still prints.
        { "deeply-nested.rtf", Outcome::ParseError, u"before" },
    };
    for (const Row& row : rows) {
        const std::string document = ReadDocument(row.file);
        ASSERT_FALSE(document.empty()) << row.file;
        const auto [outcome, printed] = PrintWords(document);
        EXPECT_EQ(outcome, row.outcome) << row.file;
        EXPECT_NE(printed.find(row.mustPrint), std::u16string::npos) << row.file;
        const std::u16string expected = ConvertedWords(document);
        if (outcome == Outcome::Printed)
            EXPECT_EQ(printed, expected) << row.file;
        else
            EXPECT_EQ(expected.rfind(printed, 0), 0u) << row.file;
        if (row.file != std::string_view("word-2010.rtf"))
            continue;
        // Headers, footnotes, field instructions and table data do not print.
        for (std::u16string_view hidden : { u"Confidential", u"Subjecttofunding", u"HYPERLINK", u"MERGEFORMAT",
                 u"AWriter", u"DefaultParagraphFont", u"ctextone", u"504b0304" })
            EXPECT_EQ(printed.find(hidden), std::u16string::npos) << std::string(hidden.begin(), hidden.end());
        for (std::u16string_view shown : { u"theboardpages", u"Пристань", u"Λιμάνι" })
            EXPECT_NE(printed.find(shown), std::u16string::npos);
    }
}

// Cut anywhere, a document prints or ends with the message; once its tables
// are read, what prints is the beginning of what the cut document holds.
TEST_F(RtfDocumentsTest, DocumentsCutShortPrintWhatTheyHold)
{
    for (const char* file : { "word-2010.rtf", "wordpad.rtf", "textedit.rtf", "libreoffice.rtf", "pandoc.rtf" }) {
        const std::string document = ReadDocument(file);
        const std::size_t body = document.find("\\pard");
        ASSERT_NE(body, std::string::npos) << file;
        const std::size_t step = std::max<std::size_t>(1, document.size() / 150);
        for (std::size_t length = 0; length < document.size(); length += step) {
            const std::string_view cut(document.data(), length);
            const auto [outcome, printed] = PrintWords(cut);
            if (length > body) {
                EXPECT_EQ(ConvertedWords(cut).rfind(printed, 0), 0u) << file << " cut at " << length;
            }
        }
    }
}

} // namespace
} // namespace rtf::testing
