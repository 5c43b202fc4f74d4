// Random paragraphs, columns and indents through the flow and the layout:
// every paragraph must end, and no character may be drawn twice or lost
// except the spaces at line breaks (and, with tabs, the text the layout
// drops on purpose).

#include "EngineFixture.h"

#include <random>

namespace printengine::testing {
namespace {

using LayoutPropertyTest = EngineTest;

constexpr char16_t kEllipsis = 133;
constexpr char16_t kLeftQuote = 147;
constexpr char16_t kRightQuote = 148;

struct Case {
    std::u16string Text;
    std::vector<bool> ToggleBoldBefore; // per character: change the format first
    std::int32_t ColumnWidth;
    ParaFormat Format;
};

Case RandomCase(std::mt19937& random, bool withTabs)
{
    const std::u16string alphabet = withTabs ? u"abcdefgh      --\t\t\r\n" : u"abcdefgh      --\r\n";
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    std::uniform_int_distribution<int> length(0, 600);
    std::uniform_int_distribution<int> percent(0, 99);
    Case c;
    const int n = length(random);
    for (int i = 0; i < n; ++i) {
        const int p = percent(random);
        const char16_t special[] = { kEllipsis, kLeftQuote, kRightQuote, 12 };
        const char16_t ch = alphabet[static_cast<std::size_t>(pick(random))];
        c.Text.push_back(p < 4 ? special[p] : ch);
        c.ToggleBoldBefore.push_back(percent(random) < 5);
    }
    c.ColumnWidth = std::uniform_int_distribution<int>(1, 300)(random);
    c.Format.LeftIndent = std::uniform_int_distribution<int>(0, 2000)(random);
    c.Format.RightIndent = std::uniform_int_distribution<int>(0, 1000)(random);
    c.Format.FirstIndent = std::uniform_int_distribution<int>(-500, 1000)(random);
    c.Format.Alignment = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 3)(random));
    return c;
}

// The characters that must be drawn: no spaces, no line, page or tab
// characters, the ellipsis and the curly quotes as the flow stores them.
std::string VisibleCharacters(const std::u16string& text)
{
    std::string result;
    for (char16_t ch : text) {
        if (ch == kEllipsis)
            result += "...";
        else if (ch == kLeftQuote || ch == kRightQuote)
            result += '"';
        else if (ch > u' ' && ch < 127)
            result += static_cast<char>(ch);
    }
    return result;
}

std::string DrawnCharacters()
{
    std::string result;
    for (const DrawnText& text : FakeLog().Texts)
        result += Ascii(text.Text);
    std::erase(result, ' ');
    return result;
}

TEST_F(LayoutPropertyTest, EveryCharacterIsDrawnOnceAndInOrder)
{
    std::mt19937 random(20261206);
    for (int iteration = 0; iteration < 800; ++iteration) {
        // Odd iterations have tabs, and tabs past the line drop their text.
        const bool withTabs = iteration % 2 == 1;
        const Case c = RandomCase(random, withTabs);
        ResetPrintEngine();
        InstallFakePrinter();
        StartJobWithFont(c.ColumnWidth);
        Job().PlainTextMode = iteration % 4 == 3;
        CurrentParaFormat() = c.Format;
        for (std::size_t i = 0; i < c.Text.size(); ++i) {
            if (c.ToggleBoldBefore[i])
                CurrentCharFormat().Bold ^= 1;
            PutFlowChar(c.Text[i]);
        }
        PutFlowChar(0);
        SCOPED_TRACE("iteration " + std::to_string(iteration) + ", column " + std::to_string(c.ColumnWidth)
            + ", text \"" + Ascii(c.Text) + "\"");
        const std::string drawn = DrawnCharacters();
        const std::string visible = VisibleCharacters(c.Text);
        if (!withTabs) {
            ASSERT_EQ(drawn, visible);
        }
        std::size_t at = 0;
        for (char ch : drawn) {
            at = visible.find(ch, at);
            ASSERT_NE(at, std::string::npos);
            ++at;
        }
        EXPECT_EQ(Flow().FirstRun, nullptr);
        EndPrintJob();
    }
}

} // namespace
} // namespace printengine::testing
