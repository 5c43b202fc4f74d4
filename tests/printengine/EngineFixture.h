#pragma once

// A fixture with the printing library double installed, the engine and the
// settings reset, and a U.S. locale.

#include "FakePrinter.h"

#include <AppSettings.h>
#include <LineLayout.h>
#include <PrintJob.h>
#include <TextFlow.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace printengine::testing {

// A drawn text as the tests compare it: position, ASCII text, page.
struct Placed {
    std::int32_t X;
    std::int32_t Y;
    std::string Text;
    std::int32_t Page = 0;
    friend bool operator==(const Placed&, const Placed&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Placed& placed)
{
    return out << "{" << placed.X << ", " << placed.Y << ", \"" << placed.Text << "\", page " << placed.Page << "}";
}

inline std::string Ascii(const std::u16string& text)
{
    std::string result;
    for (char16_t ch : text)
        result.push_back(ch < 128 ? static_cast<char>(ch) : '?');
    return result;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        core::ResetAppSettings();
        core::ResetRunOptions();
        ResetPrintEngine();
        InstallFakePrinter();
    }

    void TearDown() override { ResetPrintEngine(); }

    // Opens a job on the double and defines font 0 at the given size, then
    // narrows the column so lines break where the test wants.
    void StartJobWithFont(std::int32_t columnWidth, std::int32_t halfPoints = 24)
    {
        ASSERT_EQ(StartPrintJob(), kPrintJobStarted);
        BeginFontTable();
        SetFaceName(u"Liberation Mono");
        AddFontTableEntry();
        CurrentCharFormat() = CharFormat {};
        CurrentCharFormat().Size = halfPoints;
        Job().ColumnWidth = columnWidth;
    }

    static void Feed(std::u16string_view text)
    {
        for (char16_t ch : text)
            PutFlowChar(ch);
    }

    static std::vector<Placed> Drawn()
    {
        std::vector<Placed> result;
        for (const DrawnText& text : FakeLog().Texts)
            result.push_back(Placed { text.X, text.Y, Ascii(text.Text), text.Page });
        return result;
    }
};

} // namespace printengine::testing
