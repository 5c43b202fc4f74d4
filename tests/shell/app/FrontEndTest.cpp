#include "FrontEnd.h"

#include "TempFolder.h"
#include "TextConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace shell {
namespace {

using Action = FrontEndRequest::Action;

struct Row {
    std::vector<std::string> arguments;
    Action action;
    std::string commandLine;
    std::optional<std::string> output = std::nullopt;
    std::optional<std::string> mailFile = std::nullopt;
    const char* saying = ""; // in the error of a refused line
};

std::string Backslashed(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

TEST(FrontEndTest, TranslatesArguments)
{
    const Row rows[] = {
        { {}, Action::Run, "" },
        { { "/F", "\\My Documents\\a b.txt", "/Q/E" }, Action::Run, "/F \"\\My Documents\\a b.txt\" /Q/E" },
        { { "/XZC300/50/end" }, Action::Run, "/XZC300/50/end" },
        { { "--file=/home/u/a b.txt", "--quick", "--exit-codes" }, Action::Run, "/F \"\\home\\u\\a b.txt\" /Q /E" },
        { { "--workbook=/w/b.pxl", "--no-sheet-dialog", "--sheet=2" }, Action::Run, "/A \"\\w\\b.pxl\" /XQ /XS2" },
        { { "--plain-text", "--documents", "--email", "--workbooks" }, Action::Run, "/P /W /I /X" },
        { { "--gridlines=off", "--headings=on", "--background-colors=off", "--center=on" }, Action::Run,
            "/XG0 /XH1 /XB0 /XC1" },
        { { "--range=custom", "--from=B3", "--to", "IV16384" }, Action::Run, "/XA3 /XAFB3 /XATIV16384" },
        { { "--sizing=normal", "--sizing=fit", "--sizing=75" }, Action::Run, "/XZ0 /XZ1 /XZ2 /XZC75" },
        { { "--output=/tmp/x.pdf", "/F", "\\a" }, Action::Run, "/F \\a", "/tmp/x.pdf" },
        { { "--printer=office", "/F", "\\a" }, Action::Run, "/F \\a", "cups:office" },
        { { "--printer", "office", "--output", "o.ps" }, Action::Run, "", "o.ps" },
        { { "--help" }, Action::Help, "" },
        { { "--version" }, Action::Version, "" },
        { { "--frobnicate" }, Action::UsageError, "" },
        { { "--file" }, Action::UsageError, "" },
        { { "--file=a\"b" }, Action::UsageError, "" },
        { { "--gridlines=maybe" }, Action::UsageError, "" },
        { { "--sheet=10" }, Action::UsageError, "" },
        { { "--from=B 3" }, Action::UsageError, "" },
        { { "--output=" }, Action::UsageError, "" },
        // An output the printing library cannot write is refused before anything prints.
        { { "--output=report.docx" }, Action::UsageError, "", std::nullopt, std::nullopt, ".pdf, .ps, .png or .txt" },
        { { "--output=/" }, Action::UsageError, "", std::nullopt, std::nullopt, "is a folder" },
        { { "--output=/no/such/folder/x.pdf" }, Action::UsageError, "", std::nullopt, std::nullopt, "does not exist" },
        { { "--format=jpeg" }, Action::UsageError, "", std::nullopt, std::nullopt, "pdf or ps" },
        { { "--paper=b7" }, Action::UsageError, "", std::nullopt, std::nullopt, "a3, a4, a5, legal, letter" },
        { { "--paper=8.5x11in", "/W" }, Action::Run, "/W" },
        { { "--file=-", "/Q" }, Action::Run, "/F \"<standard input>\" /Q" },
        { { "--output=x.pdf", "--output=-" }, Action::Run, "" },
        { { "--quick=yes" }, Action::UsageError, "" },
        // A message file goes beside the command line, which gets /E.
        { { "--mail", "/home/pat/Maildir/cur/1.x:2,S" }, Action::Run, "/E", std::nullopt,
            "/home/pat/Maildir/cur/1.x:2,S" },
        { { "--mail", "m.eml", "--exit-codes", "--output", "o.pdf" }, Action::Run, "/E /E", "o.pdf", "m.eml" },
        // --print takes the option of the file's ending.
        { { "--print", "/d/a.RTF" }, Action::Run, "/F \"\\d\\a.RTF\"" },
        { { "--print=/w/b.PXT" }, Action::Run, "/A \"\\w\\b.PXT\"" },
        { { "--print=m.eml" }, Action::Run, "/E", std::nullopt, "m.eml" },
        { { "--print=saved.MBOX", "--message", "2" }, Action::Run, "/E", std::nullopt, "saved.MBOX" },
        { { "--print=" }, Action::UsageError, "", std::nullopt, std::nullopt, "--file" },
        { { "--mail" }, Action::UsageError, "", std::nullopt, std::nullopt, "--mail" },
        { { "--mail", "a.eml", "--mail", "b.eml" }, Action::UsageError, "", std::nullopt, std::nullopt, "--mail" },
        { { "--mail", "a.eml", "--file", "b.txt" }, Action::UsageError, "", std::nullopt, std::nullopt, "--mail" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.arguments));
        FrontEndRequest request = TranslateArguments(row.arguments);
        EXPECT_EQ(request.action, row.action);
        if (row.action == Action::Run) {
            EXPECT_EQ(request.commandLine, row.commandLine);
            EXPECT_EQ(request.plotwiseOutput, row.output);
            EXPECT_EQ(request.mailFile, row.mailFile);
        }
        const std::string error = request.error.empty() ? "" : LoadFrontEndText(request.error);
        EXPECT_EQ(error.empty(), row.action != Action::UsageError) << error;
        EXPECT_NE(error.find(row.saying), std::string::npos) << error;
    }
}

FrontEndRequest Translate(const std::vector<std::string>& arguments)
{
    return TranslateArguments(arguments);
}

TEST(FrontEndTest, StandardStreamsAndABareFile)
{
    FrontEndRequest piped = Translate({ "--file=-", "--output=-", "--format=ps" });
    EXPECT_TRUE(piped.fileFromStandardInput);
    EXPECT_TRUE(piped.outputToStandardOutput);
    EXPECT_EQ(piped.standardOutputFormat, "ps");
    EXPECT_TRUE(Translate({ "--mail=-" }).mailFromStandardInput);
    EXPECT_FALSE(Translate({ "--mail=m.eml" }).mailFromStandardInput);
    EXPECT_EQ(Translate({ "--mail=box", "--message=12" }).mailMessage, 12u);
    EXPECT_TRUE(Translate({ "--quiet", "/F", "\\a" }).quiet);

    // A file as the only argument prints as --print would; a switch alone
    // stays a switch.
    const testsupport::TempFolder dir;
    const std::string workbook = dir.Write("a.pxl", "x").string();
    const std::string asWorkbook = "/A \"" + Backslashed(workbook) + "\"";
    EXPECT_EQ(Translate({ workbook }).commandLine, asWorkbook);
    EXPECT_EQ(Translate({ "/W" }).commandLine, "/W");
    // A document's name alone is a file even when there is none, so that a
    // mistyped name is reported rather than opening the window.
    EXPECT_EQ(Translate({ "no/such/Letter.RTF" }).commandLine, "/F \"no\\such\\Letter.RTF\"");
    EXPECT_EQ(Translate({ "no-such-word" }).commandLine, "no-such-word");
    // Long options may stand beside it, a separate value of theirs is no
    // file, and with a switch beside it the file is the switches' business.
    const FrontEndRequest paper = Translate({ "--paper=a4", workbook });
    EXPECT_EQ(paper.commandLine, asWorkbook);
    EXPECT_EQ(paper.paper, "a4");
    EXPECT_EQ(Translate({ "--output", workbook + ".pdf", workbook }).commandLine, asWorkbook);
    EXPECT_EQ(Translate({ "/Q", workbook }).commandLine, "/Q " + workbook);
    // A destination in the environment is checked as --output is.
    setenv("PLOTWISE_OUTPUT", "report.docx", 1);
    EXPECT_EQ(Translate({ workbook }).action, Action::UsageError);
    EXPECT_EQ(Translate({ "--output=x.pdf", workbook }).action, Action::Run);
    setenv("PLOTWISE_OUTPUT", "cups:", 1);
    EXPECT_EQ(Translate({ workbook }).action, Action::UsageError);
    unsetenv("PLOTWISE_OUTPUT");
}

TEST(FrontEndTest, HelpNamesEverySwitchAndTheEightBitStatus)
{
    std::string help = HelpText("tallowin");
    for (const char* needle :
        { "/F", "/A", "/E", "/Q", "/P", "/W", "/I", "/XZC", "--file", "--workbook", "--output", "--printer",
            "--mail=MESSAGE", "995 arrives as 227", "TALLOWIN_REGISTRY", "TALLOWIN_LIBDIR", "PLOTWISE_OUTPUT", "260" })
        EXPECT_NE(help.find(needle), std::string::npos) << needle;
}

TEST(FrontEndTest, FillsPlaceholdersInOnePass)
{
    struct Row {
        std::string_view text;
        std::vector<std::string> values;
        std::string filled;
    };
    const Row rows[] = {
        { "unknown option %s", { "--a%sb" }, "unknown option --a%sb" },
        { "%s: %s (x)", { "p" }, "p: %s (x)" },
        { "25% to 250%", { "v" }, "25% to 250%" },
        { "end %", { "v" }, "end %" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(FillPlaceholders(row.text, row.values), row.filled) << row.text;
}

TEST(TextConversionTest, Utf8AndUtf16BothWays)
{
    struct Row {
        std::string utf8;
        std::u16string utf16;
    };
    const Row rows[] = {
        { "", u"" },
        { "Gr\xc3\xbc\xc3\x9f", u"Gr\u00fc\u00df" },
        { "\xf0\x9f\x98\x80", u"\U0001F600" },
        { "a\xffz", u"a\uFFFDz" },
        { "\xc3", u"\uFFFD" },
        { "\xc0\xaf", u"\uFFFD\uFFFD" },
        { "\xed\xa0\x80", u"\uFFFD" },
        { "\xf4\x90\x80\x80", u"\uFFFD" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(Utf8ToUtf16(row.utf8), row.utf16) << row.utf8;
    // And back; a lone surrogate becomes the replacement character.
    EXPECT_EQ(Utf16ToUtf8(u"Tall\u00f6win \u20ac \U0001F600"), "Tall\xc3\xb6win \xe2\x82\xac \xf0\x9f\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xef\xbf\xbdx");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xDC00')), "\xef\xbf\xbd");
}

} // namespace
} // namespace shell
