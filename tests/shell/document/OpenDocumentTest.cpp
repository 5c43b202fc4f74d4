#include "OpenDocument.h"

#include "AppSettings.h"
#include "DocumentType.h"
#include "FakePrinter.h"
#include "MessageBox.h"
#include "PrintJob.h"
#include "RichInk.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace printengine::testing;
using shell::DocumentType;

class OpenDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("LANG", "en_US.UTF-8", 1);
        core::ResetAppSettings();
        core::ResetRunOptions();
        printengine::ResetPrintEngine();
        InstallFakePrinter();
        core::Settings().QuickPrint = 1;
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view caption) {
            messages.push_back(std::u16string(caption) + u"|" + std::u16string(text));
            return platform::IDOK;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxHost({});
        printengine::ResetPrintEngine();
        RemoveFakePrinter();
    }

    std::u16string Write(const std::string& name, std::string_view bytes) { return dir.Write(name, bytes).u16string(); }

    int Open(const std::u16string& path) { return shell::OpenAndPrintDocument(nullptr, nullptr, path.c_str()); }

    testsupport::TempFolder dir;
    std::vector<std::u16string> messages;
};

TEST_F(OpenDocumentTest, TextFilesPrintTheirOwnCharactersAndRefusedOnesPrintRaw)
{
    struct Row {
        const char* name;
        std::string_view bytes;
        std::u16string printed;
    };
    using namespace std::string_view_literals;
    const Row rows[] = {
        { "text.txt", "caf\xe9 cr\xe8me \x80\n"sv, u"café crème €" },
        { "text.txt",
            "Latin \xc3\xa9, \xd0\x9a\xd0\xb8\xd1\x80\xd0\xb8\xd0\xbb\xd0\xbb\xd0\xb8\xd1\x86\xd0\xb0, \xce\x95\xce\xbb\n"sv,
            u"Latin é, Кириллица, Ελ" },
        { "text.txt", "\xef\xbb\xbfmarked \xe6\x97\xa5\n"sv, u"marked 日" },
        // UTF-16 after the mark, and not one character more: the odd byte goes.
        { "raw.txt", "\xff\xfeh\0\x14\x04\n\0z"sv, u"hД" },
        // A big-endian mark is not read as UTF-16.
        { "raw.txt", "\xfe\xff\0A"sv, u"\u00FE\u00FF\nA" },
        // A Pocket Word document that libwps cannot read.
        { "ink.pwi", "{\\pwi ink}"sv, u"{\\pwi ink}" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        BindFakePrinter({}); // a fresh log; the message boxes still come here
        EXPECT_EQ(Open(Write(row.name, row.bytes)), 1);
        EXPECT_EQ(PrintedText(), row.printed);
        EXPECT_EQ(printengine::Job().FinalStatus, 0);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(OpenDocumentTest, FilesThatCannotBeOpenedAreReported)
{
    std::u16string missing = (dir / "missing.txt").u16string();
    std::u16string directory = dir.Path().u16string();
    std::u16string empty = Write("empty.txt", "");
    // A NUL byte outside UTF-16 text: a program or an image, not a text.
    std::u16string binary = Write("binary.txt", std::string_view("ab\0\xe9\n", 5));
    std::u16string fifo = (dir / "pipe.txt").u16string();
    ASSERT_EQ(mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
    struct Row {
        std::u16string path;
        std::u16string message;
    };
    const Row rows[] = {
        // The reason follows the name.
        { missing, u"Alert...|Unable to open file: " + missing + u" (not found)" },
        { directory, u"Alert...|Unable to open file: " + directory + u" (a folder)" },
        { fifo, u"Alert...|Unable to open file: " + fifo + u" (not a regular file)" },
        { empty, u"Alert...|Invalid file type: " + empty },
        { binary, u"Alert...|Invalid file type: " + binary },
    };
    for (const Row& row : rows) {
        messages.clear();
        core::Options().PlainTextOnce = 1;
        EXPECT_EQ(Open(row.path), 0);
        EXPECT_EQ(messages, std::vector<std::u16string> { row.message });
        EXPECT_EQ(core::Options().PlainTextOnce, 0);
    }
    EXPECT_EQ(CallCount("Init"), 0);
}

TEST_F(OpenDocumentTest, PlainTextFlagPrintsRtfAsConvertedText)
{
    const std::string_view letter = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Liberation Sans;}}\\f0 Dear {\\b reader}"
                                    "{\\header top}\\par caf\\'e9\\tab \\u1055\\'3f\\par}";
    for (bool once : { true, false }) {
        BindFakePrinter({});
        core::Settings().PlainText = once ? 0 : 1;
        core::Options().PlainTextOnce = once ? 1 : 0;
        std::u16string path = Write("letter.rtf", letter);
        EXPECT_EQ(Open(path), 1);
        EXPECT_EQ(PrintedText(), u"Dear reader\ncaf\u00e9\u041f") << once;
        ASSERT_FALSE(FakeLog().Texts.empty());
        // One font for the whole text, the plain-text font: never the document's.
        for (const auto& text : FakeLog().Texts) {
            EXPECT_NE(text.Face, u"Liberation Sans");
            EXPECT_FALSE(text.Bold);
        }
        EXPECT_EQ(core::Options().PlainTextOnce, 0);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(OpenDocumentTest, CancelledPrintStillCountsAsHandedOver)
{
    core::Settings().QuickPrint = 0;
    FakeSetup().DialogResult = 0;
    FakeSetup().Status = 1;
    std::u16string path = Write("text.txt", "text\n");
    EXPECT_EQ(Open(path), 1);
    EXPECT_EQ(printengine::Job().FinalStatus, 1);
    EXPECT_TRUE(FakeLog().Texts.empty());
}

TEST(DocumentTypeTest, DetectsTheTypeFromTheFirstFiveBytes)
{
    struct Row {
        std::string_view bytes;
        DocumentType type;
        std::uintptr_t format;
    };
    const Row rows[] = {
        { "{\\rtf1\\ansi}", DocumentType::Rtf, platform::SF_RTF },
        { "{\\pwi ink", DocumentType::PocketWord, platform::SF_POCKETWORD_RTF },
        { "{\\rt", DocumentType::Other, platform::SF_POCKETWORD_RTF },
        { "{\\RTF1", DocumentType::Other, platform::SF_POCKETWORD_RTF },
        { "plain text", DocumentType::Other, platform::SF_POCKETWORD_RTF },
    };
    for (const Row& row : rows) {
        DocumentType type
            = shell::DetectDocumentType(reinterpret_cast<const std::uint8_t*>(row.bytes.data()), row.bytes.size());
        EXPECT_EQ(type, row.type) << row.bytes;
        EXPECT_EQ(shell::StreamInFormat(type), row.format) << row.bytes;
    }
    EXPECT_EQ(shell::DetectDocumentType(nullptr, 5), DocumentType::Other);
}

} // namespace
