#include "PlainText.h"

#include "AppSettings.h"
#include "DialogHost.h"
#include "FakePrinter.h"
#include "PrintJob.h"
#include "TextFlow.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

namespace {

using namespace printengine::testing;
using shell::PlainTextEncoding;

class PlainTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("TALLOWIN_REGISTRY", "/nonexistent/tallowin-test-registry.reg", 1);
        core::ResetAppSettings();
        core::ResetRunOptions();
        printengine::ResetPrintEngine();
        InstallFakePrinter();
        core::Settings().QuickPrint = 1;
    }
    void TearDown() override
    {
        platform::SetDialogHost(nullptr);
        printengine::ResetPrintEngine();
        RemoveFakePrinter();
    }

    static void Print(std::string_view bytes, PlainTextEncoding encoding = PlainTextEncoding::EightBit)
    {
        shell::PrintPlainText(
            reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::int32_t>(bytes.size()), encoding);
    }
};

TEST_F(PlainTextTest, EightBitValuesAreTheirOwnCodesAndUtf16UnitsPassUnchanged)
{
    struct Row {
        std::string_view bytes;
        PlainTextEncoding encoding;
        std::u16string printed;
    };
    using namespace std::string_view_literals;
    const auto eightBit = PlainTextEncoding::EightBit;
    const auto utf16 = PlainTextEncoding::Utf16;
    const Row rows[] = {
        { "caf\xe9\n"sv, eightBit, u"café" },
        { "wait\x85\n"sv, eightBit, u"wait..." },
        { "no final line end"sv, eightBit, u"no final line end" },
        { "first\n\fsecond\n"sv, eightBit, u"first\fsecond" }, // a form feed starts a new page
        { "h\0i\0x"sv, utf16, u"hi" }, // an odd byte is dropped
        { "\x14\x04\xa9\x03"sv, utf16, u"ДΩ" },
        { "\x3d\xd8\x00\xde"sv, utf16, u"\U0001F600" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        InstallFakePrinter();
        Print(row.bytes, row.encoding);
        EXPECT_EQ(PrintedText(), row.printed);
        EXPECT_EQ(CallCount("EndDoc"), 1);
    }
}

TEST_F(PlainTextTest, PrintsInThePlainTextFontAtItsSizeWhateverTheResizeChoice)
{
    Print("one\ntwo");
    std::vector<DrawnText> nominal = FakeLog().Texts;
    ASSERT_EQ(nominal.size(), 2u);

    InstallFakePrinter();
    core::AppSettings& settings = core::Settings();
    std::u16string face = u"Liberation Mono";
    std::copy(face.begin(), face.end(), settings.TextFontFace);
    settings.TextFontFace[face.size()] = 0;
    settings.TextBold = 1;
    settings.TextItalic = 1;
    settings.ResizeChoice = core::kResizeChoice150;
    Print("one\ntwo");
    ASSERT_EQ(FakeLog().Texts.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(FakeLog().Texts[i].FontHeight, nominal[i].FontHeight) << i;
        EXPECT_EQ(FakeLog().Texts[i].Y, nominal[i].Y) << i;
        EXPECT_EQ(FakeLog().Texts[i].Face, face);
        EXPECT_TRUE(FakeLog().Texts[i].Bold && FakeLog().Texts[i].Italic);
    }
    EXPECT_EQ(settings.ResizeChoice, core::kResizeChoice150);
    EXPECT_EQ(printengine::CurrentCharFormat(), printengine::CharFormat {});
    EXPECT_EQ(printengine::Job().PlainTextMode, 0);
}

TEST_F(PlainTextTest, LastLineWithoutLineEndKeepsThePlainTextTabs)
{
    core::Settings().TextTabSize = 8;
    Print("a\tb\n");
    ASSERT_EQ(FakeLog().Texts.size(), 2u);
    int terminated = FakeLog().Texts[1].X;
    EXPECT_GT(terminated, FakeLog().Texts[0].X);
    InstallFakePrinter();
    Print("a\tb");
    ASSERT_EQ(FakeLog().Texts.size(), 2u);
    EXPECT_EQ(FakeLog().Texts[1].X, terminated);
}

TEST_F(PlainTextTest, OptionsDialogRunsUnlessQuickPrinting)
{
    for (const auto& [quickPrint, once, dialogRuns] : { std::array { 0, 0, 1 }, { 1, 0, 0 }, { 0, 1, 0 } }) {
        InstallFakePrinter();
        platform::ScriptedDialogHost host({ platform::DialogAction::Press(8) });
        platform::SetDialogHost(&host);
        core::Settings().QuickPrint = quickPrint;
        core::Options().QuickPrintOnce = once;
        Print("text\n");
        EXPECT_EQ(host.Runs(), dialogRuns) << quickPrint << once;
        EXPECT_EQ(PrintedText(), u"text");
        EXPECT_EQ(core::Options().QuickPrintOnce, 0);
    }
}

TEST_F(PlainTextTest, NullTextNegativeLengthOrAJobThatDoesNotStartPrintNothing)
{
    core::Settings().QuickPrint = 0;
    shell::PrintPlainText(nullptr, 5, PlainTextEncoding::EightBit);
    EXPECT_EQ(CallCount("Init"), 0);
    EXPECT_EQ(CallCount("PrintDlg"), 0);
    core::Settings().QuickPrint = 1;
    shell::PrintPlainText(reinterpret_cast<const std::uint8_t*>("abc"), -3, PlainTextEncoding::EightBit);
    EXPECT_TRUE(FakeLog().Texts.empty());
    EXPECT_EQ(CallCount("EndDoc"), 1);

    // A job that does not start still ends.
    InstallFakePrinter();
    FakeSetup().DialogResult = 0;
    FakeSetup().Status = 1;
    core::Settings().ResizeChoice = core::kResizeChoice75;
    Print("text\n");
    EXPECT_TRUE(FakeLog().Texts.empty());
    EXPECT_EQ(CallCount("UnInit"), 1);
    EXPECT_EQ(printengine::Job().FinalStatus, 1);
    EXPECT_FALSE(printengine::Job().Printing);
    EXPECT_EQ(core::Settings().ResizeChoice, core::kResizeChoice75);
}

} // namespace
